#pragma once
// The shell's open operation (ShellExecute): hands a file or an address to
// the program the desktop opens it with.
//
// No program is started here: every request is recorded, and a handler set
// by the host or a test acts on it (for example a browser stand-in that
// loads the address). Without a handler the request is only recorded and
// reported as done, as the shell does when it has passed the file on.

#include <functional>
#include <string>
#include <vector>

#include "platform/win/WindowTypes.h"

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

// One request as the caller made it (null texts become empty).
struct TShellOpenRequest {
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand = 0;
};

// Answers true when it opened the request.
using TShellOpenHandler = std::function<bool(const TShellOpenRequest& request)>;

// Records the request and passes it to the handler. Answers a value above 32
// on success, as the shell does; 2 (file not found) for an empty file name,
// 31 (no association) when the handler refused it.
std::intptr_t ShellExecute(HWND window, const char* verb, const char* file, const char* parameters,
                           const char* directory, int showCommand);

void SetShellOpenHandler(TShellOpenHandler handler);
std::vector<TShellOpenRequest> ShellOpenLog();
void ClearShellOpenLog();
