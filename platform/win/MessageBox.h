#pragma once
// Message boxes, answered without a user.
//
// Every box is answered by a handler that a test (or the host's script)
// registered for a part of its text; the most recently registered handler
// whose text part occurs in the box's text answers. Without a handler the
// box answers as Escape would: Cancel when it has a Cancel button, OK for a
// box with only OK, and otherwise its default button (MB_DEFBUTTONn, the
// first button unless another is named). Every box shown is recorded with
// its answer, so tests can assert what the user was asked.
//
// The class library's message dialogs (MessageDlg) are answered and recorded
// here too, with kind Dialog.

#include <functional>
#include <string>
#include <vector>

#include "platform/win/WindowTypes.h"

// Buttons.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONSTOP = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
// Default button.
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement.
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_HELP = 0x00004000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

struct MessageBoxRecord {
  enum Kind { Box, Dialog };
  Kind kind = Box;
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT flags = 0;  // Box: the MB_ flags
  // Dialog: the dialog type, the set of buttons and the help context of the
  // MessageDlg call (see the class library's MessageDialog.h).
  int dialogType = 0;
  unsigned dialogButtons = 0;
  int helpContext = 0;
  // The answer (IDOK ..., for a dialog the equal modal result mrOk ...), and
  // who gave it: a handler, a person on the screen, or nobody (the default).
  int answer = 0;
  bool answeredByHandler = false;
  bool answeredByPerson = false;
  // When it was shown, among the boxes and the modal forms (NextShownOrder).
  unsigned long long shownOrder = 0;
};

// A number for a box or modal form about to be shown, larger than every
// number given before: the order in which the user saw them.
unsigned long long NextShownOrder();

// A handler sees the box (answer not yet set) and returns the button that
// the user presses (IDYES ...), or 0 to give the box's unanswered default.
// Answering a button the box does not have is a fault of the handler and
// throws std::invalid_argument.
using MessageBoxHandler = std::function<int(const MessageBoxRecord& box)>;

// Registers a handler for boxes whose text contains `textPart` (an empty
// part matches every box); answers an id for RemoveMessageBoxHandler.
int AddMessageBoxHandler(const std::string& textPart, MessageBoxHandler handler);
void RemoveMessageBoxHandler(int id);
void ClearMessageBoxHandlers();

std::vector<MessageBoxRecord> MessageBoxLog();
void ClearMessageBoxLog();

// Shows a box to a person when no handler answered it (a back end that puts
// windows on a screen installs one; headless there is none). It answers one
// of `validAnswers`, or 0 when the box was dismissed (the box then gives its
// unanswered default). The box is recorded as not answered by a handler.
using MessageBoxPresenter = std::function<int(const MessageBoxRecord& box, const std::vector<int>& validAnswers)>;
void SetMessageBoxPresenter(MessageBoxPresenter presenter);
// Shows (answers and records) a box; `text` and `caption` may be null
// (empty; a null caption reads "Error", as Win32's).
int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// For the class library's dialogs: answers `box` through the handlers
// (`validAnswers` are the answers its buttons give; `unanswered` is the
// answer without a handler), records it and returns the answer.
int AnswerMessageBox(MessageBoxRecord box, const std::vector<int>& validAnswers, int unanswered);
