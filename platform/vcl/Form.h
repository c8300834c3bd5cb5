#pragma once
// TCustomForm and TForm: top-level windows, shown modeless or modal.
//
// Creating: a form class builds its controls in its constructor and ends it
// with AfterConstruction(), which fires OnCreate (once; Application->
// CreateForm calls it too). Destroying: OnDestroy fires from
// BeforeDestruction, which the owner, Release and caFree call before the
// destructors; a form class whose OnDestroy handler uses the form's own
// fields, and which may be deleted directly, calls BeforeDestruction() first
// thing in its destructor.
//
// ShowModal shows the form and hands it to the driver (Driver.h), which acts
// as the user: a handler registered for the form's class name sets its
// controls, clicks its buttons and answers a modal result; without one the
// form is closed with mrCancel. The handler's wish goes through the form's
// usual closing (OnCloseQuery, OnClose); a form that refuses to close gets
// the handler again; after 100 rounds the form is hidden with mrCancel and
// the record (Driver::ModalLog) says so. With a screen back end installed
// (UiBackend.h) a form that no handler answers waits for the person instead,
// as long as they need.

#include <memory>
#include <string>

#include "platform/vcl/WinControl.h"

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;

enum TFormStateFlag : unsigned { fsCreating = 1, fsVisible = 2, fsShowing = 4, fsModal = 8, fsActivated = 16 };
using TFormState = unsigned;

using TCloseEvent = Closure<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = Closure<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Fires OnCreate, once.
  void AfterConstruction();
  // Fires OnDestroy, once.
  void BeforeDestruction() override;

  // --- looks and placement ---
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons value) { borderIcons_ = value; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle value) { formStyle_ = value; }
  // Where the form goes when it is first shown.
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  // Maximized fills the work area of the form's monitor; Normal brings the
  // bounds from before back.
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState value);
  TRect BorderInsets() const override;
  TCanvas* Canvas();

  bool KeyPreview = false;
  TModalResult ModalResult = mrNone;
  bool Scaled = true;
  bool DockSite = false;
  TFormState FormState = 0;

  // --- showing and closing ---
  void SetVisible(bool value) override;
  // Activates the form (a hidden or disabled one cannot be).
  void SetFocus() override;
  bool Active() const;
  // The control that has (or gets, when the form is activated) the focus.
  TWinControl* ActiveControl() const { return TWinControl::ActiveControl(); }
  // EInvalidOperation when the control cannot have the focus.
  void SetActiveControl(TWinControl* control);
  // The focus goes to `control` (a control of this form).
  void FocusControl(TWinControl* control);

  // A modal form gets ModalResult mrCancel. Otherwise OnCloseQuery, then
  // OnClose with the action caHide: caHide hides, caFree releases,
  // caMinimize minimizes, caNone keeps the form. Closing the main form ends
  // the application.
  void Close();
  // OnCloseQuery; true when the form may close.
  virtual bool CloseQuery();
  // Shows the form modally (see above) and answers its modal result.
  // EInvalidOperation "Cannot make a visible window modal" for a form that is
  // visible, disabled or already modal.
  int ShowModal();
  // Frees the form once the pending messages have been handled.
  void Release();

  // --- events ---
  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;
  TStartDockEvent OnStartDock;
  TEndDragEvent OnEndDock;
  TUnDockEvent OnUnDock;

  void Dispatch(void* message) override;

 protected:
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoClose(TCloseAction& action);
  bool ChoosesFirstControl() const override { return true; }
  void TopLevelActivated() override;
  void TopLevelDeactivated() override;

 private:
  friend class TModalLoop;
  void PlaceForShowing();
  // Ends the modal loop's round: OnCloseQuery and OnClose for a form whose
  // ModalResult was set.
  void CloseModal();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  TRect normalBounds_{};
  bool placed_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  bool releasePending_ = false;
  std::unique_ptr<TCanvas> canvas_;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};
