#pragma once
// The clipboard as text between the process's clipboard (CF_TEXT in the
// ANSI code page) and the X display's CLIPBOARD selection (UTF-8).
//
// A text the program puts on its clipboard is offered to the other clients:
// the back end takes the selection and answers their requests (TARGETS,
// UTF8_STRING, STRING, TEXT). When one of the program's windows gets the
// focus while another client holds the selection, its text is fetched and
// put on the program's clipboard, so that the next paste finds it.

#include <string>

#include "platform/x11/X11Display.h"

class TX11Clipboard {
 public:
  explicit TX11Clipboard(TX11Display& display);
  ~TX11Clipboard();
  TX11Clipboard(const TX11Clipboard&) = delete;
  TX11Clipboard& operator=(const TX11Clipboard&) = delete;

  // Takes the selection when the program's clipboard text changed.
  void Poll();
  // Asks the selection's owner for its text (nothing when it is ours).
  void Fetch();
  // Handles the selection events; false for any other event.
  bool Handle(XEvent& event);

  // The process's clipboard text (CF_TEXT), empty when there is none.
  static std::string ProcessText();
  static void SetProcessText(const std::string& text);

 private:
  void Answer(const XSelectionRequestEvent& request);
  void Receive(const XSelectionEvent& event);

  TX11Display& display_;
  ::Window window_;      // owns the selection and receives the fetched text
  std::string offered_;  // the text the selection holds while it is ours
  bool owner_ = false;
};
