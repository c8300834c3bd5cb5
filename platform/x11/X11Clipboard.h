#pragma once
// The clipboard as text between the process's clipboard (CF_UNICODETEXT,
// and CF_TEXT in the ANSI code page) and the X display's CLIPBOARD selection
// (UTF-8). Another client's text is put in both formats, each made from the
// UTF-8: a reader of the Unicode text gets every character, also those the
// ANSI code page lacks.
//
// A text the program puts on its clipboard is offered to the other clients:
// the back end takes the selection and answers their requests (TARGETS,
// UTF8_STRING, STRING, TEXT). When the program reads its clipboard (a paste)
// while another client holds the selection, that client's text is asked for
// then and waited for, at most a second, and put on the program's clipboard:
// the paste takes what the clipboard holds when it is made. When no client
// holds the selection (the one that copied last has ended) the program's
// clipboard holds nothing.

#include <chrono>
#include <string>

#include "platform/win/WinTypes.h"
#include "platform/x11/X11Display.h"

class TX11Clipboard {
 public:
  explicit TX11Clipboard(TX11Display& display);
  ~TX11Clipboard();
  TX11Clipboard(const TX11Clipboard&) = delete;
  TX11Clipboard& operator=(const TX11Clipboard&) = delete;

  // How long Refresh waits for the owner's answer.
  static constexpr std::chrono::milliseconds kAnswerTimeLimit{1000};

  // Takes the selection when the program put something on its clipboard
  // since the last look.
  void Poll();
  // Before the program reads its clipboard: when another client holds the
  // selection, asks it for its text and waits for the answer (answering
  // the requests that reach the clipboard's own window meanwhile; the other
  // events wait for the next round). The program's clipboard then holds
  // that text, or nothing when the owner has no text, refuses it or does
  // not answer in time.
  void Refresh();
  // Handles the selection events; false for any other event.
  bool Handle(XEvent& event);

  // The process's clipboard text in UTF-8 (from CF_UNICODETEXT, made from
  // CF_TEXT when only that was put), empty when there is none.
  static std::string ProcessText();
  // Replaces what the process's clipboard holds with a UTF-8 text, as
  // CF_UNICODETEXT and CF_TEXT (an empty text: nothing).
  static void SetProcessText(const std::string& text);

 private:
  void Answer(const XSelectionRequestEvent& request);
  // The text of the owner's answer in UTF-8 (empty when it gave none).
  std::string Receive(const XSelectionEvent& event);
  // Puts another client's text on the program's clipboard, not to be
  // offered back as the program's own.
  void Take(const std::string& text);

  TX11Display& display_;
  ::Window window_;      // owns the selection and receives the fetched text
  std::string offered_;  // the text the selection holds while it is ours (UTF-8)
  DWORD seen_ = 0;       // the program's clipboard's change count last looked at
  bool owner_ = false;
};
