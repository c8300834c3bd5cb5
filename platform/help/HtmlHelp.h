#pragma once
// The HTML Help viewer ("HHCTRL.OCX", entry "HtmlHelpA").
//
// There is no help viewer here: the stand-in records every request (the
// file, the command and the keywords) so that tests and the host can see what
// would have been shown, and answers as the viewer would: a window for a
// displayed topic, and for a keyword or A-link lookup a window when the
// lookup finds its topic, none otherwise (settable, found by default).
// Window handles are opaque pointers.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

inline constexpr UINT HH_DISPLAY_TOPIC = 0;
inline constexpr UINT HH_KEYWORD_LOOKUP = 13;
inline constexpr UINT HH_ALINK_LOOKUP = 19;

// The keyword and A-link lookup record.
struct HH_AKLINK {
  int cbStruct = 0;
  BOOL fReserved = FALSE;
  LPCSTR pszKeywords = nullptr;
  LPCSTR pszUrl = nullptr;
  LPCSTR pszMsgText = nullptr;
  LPCSTR pszMsgTitle = nullptr;
  LPCSTR pszWindow = nullptr;
  BOOL fIndexOnFail = FALSE;
};

using HtmlHelpAProc = void* (*)(void* caller, LPCSTR file, UINT command, std::uintptr_t data);

// Loads the viewer library and returns its "HtmlHelpA" entry; null when the
// viewer is not installed.
HtmlHelpAProc LoadHtmlHelpLibrary();

// Shows help: `data` is 0 for HH_DISPLAY_TOPIC and points to an HH_AKLINK for
// the two lookups. Returns the viewer's window, or null when nothing is shown.
void* HtmlHelpA(void* caller, LPCSTR file, UINT command, std::uintptr_t data);

// What the stand-in was asked to show, oldest first.
struct HtmlHelpRequest {
  std::string file;
  UINT command = 0;
  std::string keywords;  // the lookup record's keywords; empty for a topic display
};
std::vector<HtmlHelpRequest> HtmlHelpRequests();
void ClearHtmlHelpRequests();

// Whether the viewer counts as installed (default true) and whether lookups
// find their topic (default true).
void SetHtmlHelpInstalled(bool installed);
void SetHtmlHelpLookupFinds(bool finds);
