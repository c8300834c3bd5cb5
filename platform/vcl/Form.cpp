#include "platform/vcl/Form.h"

#include <cstdio>
#include <vector>

#include "base/ScopeExit.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/UiBackend.h"
#include "platform/win/VirtualKeys.h"

namespace {

constexpr int kCaptionHeight = 23;
constexpr int kToolCaptionHeight = 17;
constexpr int kFixedFrame = 3;
constexpr int kSizingFrame = 4;
// Rounds of a modal form whose handler leaves it open before it is hidden.
constexpr int kMaxModalRounds = 100;

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisibleField(false);
  ControlStyle |= csAcceptsControls;
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Screen != nullptr) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (!destroyed_) {
    // Deleted directly: the derived parts are gone, so a handler of the form
    // itself cannot run any more.
    destroyed_ = true;
    if (OnDestroy && OnDestroy.Data() != static_cast<void*>(this))
      OnDestroy(this);
    else if (OnDestroy)
      std::fprintf(stderr, "OnDestroy of form %s not run: call BeforeDestruction() in its destructor\n",
                   Name().c_str());
  }
  UiBackend().FormDestroyed(this);
  if (Screen != nullptr) {
    if (Screen->ActiveTopLevel() == this) Screen->SetActiveTopLevel(nullptr);
    Screen->RemoveForm(this);
  }
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  DoCreate();
}

void TCustomForm::BeforeDestruction() {
  if (destroyed_) return;
  destroyed_ = true;
  Destroying();
  if (Visible()) SetVisible(false);
  DoDestroy();
  TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TCustomForm::TopLevelActivated() {
  FormState |= fsActivated;
  Perform(CM_ACTIVATE, 0, 0);
}

void TCustomForm::TopLevelDeactivated() { Perform(CM_DEACTIVATE, 0, 0); }

// --- looks ---

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SizeChanged();  // the client area changed
}

TRect TCustomForm::BorderInsets() const {
  switch (borderStyle_) {
    case bsNone: return {0, 0, 0, 0};
    case bsSingle:
    case bsDialog: return {kFixedFrame, kFixedFrame + kCaptionHeight, kFixedFrame, kFixedFrame};
    case bsToolWindow: return {kFixedFrame, kFixedFrame + kToolCaptionHeight, kFixedFrame, kFixedFrame};
    case bsSizeToolWin: return {kSizingFrame, kSizingFrame + kToolCaptionHeight, kSizingFrame, kSizingFrame};
    case bsSizeable:
    default: return {kSizingFrame, kSizingFrame + kCaptionHeight, kSizingFrame, kSizingFrame};
  }
}

TCanvas* TCustomForm::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  return canvas_.get();
}

void TCustomForm::SetWindowState(TWindowState value) {
  if (value == windowState_) return;
  const TWindowState before = windowState_;
  windowState_ = value;
  if (value == wsMaximized) {
    normalBounds_ = BoundsRect();
    TMonitor* monitor = Screen->MonitorFromRect(BoundsRect());
    if (monitor != nullptr) SetBoundsRect(monitor->WorkareaRect());
  } else if (value == wsNormal && before == wsMaximized) {
    SetBoundsRect(normalBounds_);
  }
}

void TCustomForm::PlaceForShowing() {
  if (placed_) return;
  placed_ = true;
  auto centreOver = [this](const TRect& r) {
    return TPoint{static_cast<int>(r.Left + (r.Width() - Width()) / 2),
                  static_cast<int>(r.Top + (r.Height() - Height()) / 2)};
  };
  TPoint p{Left(), Top()};
  TCustomForm* over = nullptr;
  switch (position_) {
    case poScreenCenter: p = {(Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2}; break;
    case poDesktopCenter:
      p = centreOver(
          Bounds(Screen->DesktopLeft(), Screen->DesktopTop(), Screen->DesktopWidth(), Screen->DesktopHeight()));
      break;
    case poOwnerFormCenter: over = dynamic_cast<TCustomForm*>(Owner()); [[fallthrough]];
    case poMainFormCenter:
      if (over == nullptr || over == this) over = Application->MainForm();
      if (over != nullptr && over != this)
        p = centreOver(over->BoundsRect());
      else
        p = {(Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2};
      if (p.x < Screen->DesktopLeft()) p.x = Screen->DesktopLeft();
      if (p.y < Screen->DesktopTop()) p.y = Screen->DesktopTop();
      break;
    default: return;
  }
  SetBounds(p.x, p.y, Width(), Height());
}

// --- showing ---

void TCustomForm::SetVisible(bool value) {
  if (value == Visible()) {
    if (value && Screen->ActiveTopLevel() != this) ActivateTopLevel();
    return;
  }
  if (value) {
    PlaceForShowing();
    DoShow();
    TControl::SetVisible(true);
    UiBackend().FormShown(this);
    ActivateTopLevel();
  } else {
    DoHide();
    TControl::SetVisible(false);
    UiBackend().FormHidden(this);
    if (Screen->ActiveTopLevel() == this) {
      TWinControl* next = Screen->PreviousTopLevel(this);
      if (next != nullptr) {
        next->ActivateTopLevel();
      } else {
        Screen->SetActiveTopLevel(nullptr);
        TopLevelDeactivated();
      }
    }
  }
}

bool TCustomForm::Active() const { return Screen->ActiveTopLevel() == this; }

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ActivateTopLevel();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == ActiveControl()) return;
  if (control != nullptr) {
    // While the form is hidden the control only has to be one of its own;
    // whether it can have the focus is seen when the form is activated.
    const bool ownControl = control != this && GetParentForm(control) == this;
    if (!ownControl || (Showing() && !control->CanFocus()))
      throw EInvalidOperation("Cannot focus a disabled or invisible window");
  }
  SetActiveControlField(control);
  if (Active()) SetFocusedControl(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
  const bool wasActive = Active();
  SetActiveControl(control == this ? nullptr : control);
  if (!wasActive) SetFocus();
}

// --- closing ---

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FormState & fsModal) {
    ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: ModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (releasePending_) return;
  releasePending_ = true;
  PostMessage(Handle(), CM_RELEASE, 0, 0);
}

// One run of ShowModal: the other windows disabled while it lasts, the
// rounds that let the driver answer and the posted messages run, and the way
// back to the window that was active before.
class TModalLoop {
 public:
  explicit TModalLoop(TCustomForm& form) : form_(form), watch_(&form) {}

  int Run() {
    DisableOtherWindows();
    form_.FormState |= fsModal;
    form_.ModalResult = mrNone;
    record_.className = form_.ClassName();
    record_.name = form_.Name();
    record_.caption = form_.Caption();
    record_.shownOrder = NextShownOrder();
    {
      // A handler that raises ends the loop: the other windows come back and
      // the form (when it still exists) is no longer modal and hides.
      ScopeExit undo([this] {
        EnableOtherWindows();
        if (!Alive()) return;
        form_.FormState &= ~static_cast<unsigned>(fsModal);
        if (form_.Visible()) form_.Hide();
      });
      form_.Show();
      AnswerUntilClosed();
      undo.Dismiss();
    }
    EnableOtherWindows();
    return Finish();
  }

 private:
  // Notes when the form is freed while it is modal (a handler, Release).
  class FreeWatch : public TComponent {
   public:
    explicit FreeWatch(TComponent* target) : TComponent(nullptr), target_(target) { FreeNotification(target); }
    void Notification(TComponent* component, TOperation operation) override {
      TComponent::Notification(component, operation);
      if (operation == opRemove && component == target_) target_ = nullptr;
    }
    bool Alive() const { return target_ != nullptr; }

   private:
    TComponent* target_;
  };

  bool Alive() const { return watch_.Alive(); }

  // Every other visible window is disabled while the form is modal.
  void DisableOtherWindows() {
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TCustomForm* other = Screen->Forms(i);
      if (other == &form_ || !other->Visible()) continue;
      HWND h = other->Handle();
      if (IsWindowEnabled(h)) {
        EnableWindow(h, FALSE);
        disabled_.push_back(h);
      }
    }
  }

  void EnableOtherWindows() {
    for (HWND h : disabled_)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    disabled_.clear();
  }

  // Rounds until the form closes: the driver's handler answers (nobody
  // answering is the user cancelling), CloseModal asks the form, and what
  // was posted runs before the next round.
  void AnswerUntilClosed() {
    for (int round = 0;; ++round) {
      if (!Alive()) return;
      if (form_.ModalResult == mrNone) {
        // A person may be refused any number of times; a handler that
        // never lets the form close is cut off.
        if (round >= kMaxModalRounds && !UiBackend().Interactive()) {
          record_.forced = true;
          return;
        }
        const Driver::detail::ModalAnswer answer = Driver::detail::AnswerModal(form_);
        if (!Alive()) return;
        if (answer.handled) {
          record_.answeredByHandler = true;
          if (form_.ModalResult == mrNone) form_.ModalResult = answer.result;
        } else if (form_.ModalResult == mrNone && UiBackend().Interactive()) {
          WaitForPerson();
          if (!Alive()) return;
        } else if (form_.ModalResult == mrNone) {
          form_.ModalResult = mrCancel;
        }
      }
      if (form_.ModalResult != mrNone) {
        form_.CloseModal();
        if (!Alive() || form_.ModalResult != mrNone) return;
      }
      Application->ProcessMessages();
    }
  }

  // A person answers on the screen: the back end's rounds run until the form
  // has a modal result, is hidden or freed, or the application ends or the
  // back end stops waiting for a person (which cancel it).
  void WaitForPerson() {
    while (Alive() && form_.ModalResult == mrNone && form_.Visible() && !Application->Terminated() &&
           UiBackend().Interactive())
      UiBackend().PumpModal();
    if (!Alive()) return;
    if (form_.ModalResult == mrNone)
      form_.ModalResult = mrCancel;
    else
      record_.answeredByPerson = true;
  }

  // The form leaves its modal state: deactivated before it hides, then the
  // window that was active before it comes back.
  int Finish() {
    int result = mrCancel;
    if (Alive()) {
      if (record_.forced) form_.ModalResult = mrCancel;
      result = form_.ModalResult;
      form_.FormState &= ~static_cast<unsigned>(fsModal);
      if (Screen->ActiveTopLevel() == &form_) {
        Screen->SetActiveTopLevel(nullptr);
        form_.TopLevelDeactivated();
      }
      if (Alive() && form_.Visible()) form_.Hide();
      if (TWinControl* previous = Screen->PreviousTopLevel(&form_);
          previous != nullptr && Screen->ActiveTopLevel() == nullptr)
        previous->ActivateTopLevel();
    }
    record_.result = result;
    Driver::detail::RecordModal(record_);
    return result;
  }

  TCustomForm& form_;
  FreeWatch watch_;
  std::vector<HWND> disabled_;
  Driver::ModalRecord record_;
};

int TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || (FormState & fsModal) || formStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  SetCaptureControl(nullptr);
  TModalLoop loop(*this);
  return loop.Run();
}

// --- messages ---

void TCustomForm::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  switch (m.Msg) {
    case WM_CLOSE: Close(); return;
    case CM_RELEASE: FreeComponent(this); return;
    case CM_ACTIVATE: Activate(); return;
    case CM_DEACTIVATE: Deactivate(); return;
    case WM_HELP: return;  // a form's help request goes no further
    case CM_TEXTCHANGED:
      UiBackend().CaptionChanged(this);
      TWinControl::Dispatch(message);
      return;
    case CM_DIALOGKEY:
      if (GetKeyState(VK_MENU) >= 0) {
        switch (m.WParam) {
          case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
              SelectNext(ActiveControl(), GetKeyState(VK_SHIFT) >= 0, true);
              m.Result = 1;
              return;
            }
            break;
          case VK_LEFT:
          case VK_RIGHT:
          case VK_UP:
          case VK_DOWN:
            if (ActiveControl() != nullptr && ActiveControl()->Parent() != nullptr) {
              ActiveControl()->Parent()->SelectNext(ActiveControl(), m.WParam == VK_RIGHT || m.WParam == VK_DOWN,
                                                    false);
              m.Result = 1;
            }
            return;
          default: break;
        }
      }
      TWinControl::Dispatch(message);
      return;
    default: TWinControl::Dispatch(message);
  }
}
