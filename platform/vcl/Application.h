#pragma once
// TApplication (`Application`): the program's main form, its window handle,
// its executable name, and the message loop step ProcessMessages.

#include <exception>
#include <string>

#include "platform/vcl/Closure.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Component.h"
#include "platform/win/WindowMessages.h"

class TControl;
class TCustomForm;
class THintWindow;
class TTimer;

// What the program does with an exception that reached its message loop.
using TExceptionEvent = Closure<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // A hidden window of the application (the owner of its message boxes).
  HWND Handle();

  // The program's path (the host program sets it; empty until then).
  const std::string& ExeName() const { return exeName_; }
  void SetExeName(const std::string& value) { exeName_ = value; }
  // The title set, or else the program's file name without its extension.
  std::string Title() const;
  void SetTitle(const std::string& value) { title_ = value; }

  // The first form made with CreateForm, or the one set here (the host sets
  // its main window's form). Null again when that form is freed.
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form);

  // Makes a form owned by the application (the first one becomes the main
  // form) and fires its OnCreate.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    if (mainForm_ == nullptr) SetMainForm(reference);
    reference->AfterConstruction();
  }

  // Handles every message waiting in the thread's queue, and the timers that
  // are due, until none is left; messages the handlers post meanwhile are
  // handled too. WM_QUIT ends the application. A message whose handling
  // throws is reported (HandleException) and the next one handled.
  void ProcessMessages();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // A message box owned by the application window.
  int MessageBox(const std::string& text, const std::string& caption, int flags = 0);

  // The message loop's answer to an exception that would end the program:
  // OnException when assigned, else ShowException. Called inside a catch
  // block (it reads the exception in flight; outside one it does nothing).
  // The program goes on: what the user made is kept.
  void HandleException(TObject* sender);
  // An error box with the exception's text (a full stop added when it ends
  // without one), captioned with the Title.
  void ShowException(const std::exception& e);
  TExceptionEvent OnException;

  TColor HintColor = clInfoBk;
  int HintPause = 500;
  // How long a hint stays when the mouse rests on.
  int HintHidePause = 2500;
  bool ShowHint = true;

  // The mouse came onto `control` (null: onto no control): a shown hint
  // goes, and when the control shows a hint, its short hint shows after
  // HintPause below the mouse, for HintHidePause.
  void HintMouseMessage(TControl* control);
  // Hides the hint and forgets the control (a press, a key).
  void CancelHint();
  // The window of the hints; null until the first hint shows.
  THintWindow* HintWindow() const { return hintWindow_; }

  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string exeName_;
  std::string title_;
  TCustomForm* mainForm_ = nullptr;
  HWND handle_ = nullptr;
  bool terminated_ = false;

  void HintTimerTick(TObject* sender);
  void ForgetHintControl();
  TControl* hintControl_ = nullptr;  // the control whose hint waits or shows
  THintWindow* hintWindow_ = nullptr;
  TTimer* hintTimer_ = nullptr;
};

extern TApplication* Application;
