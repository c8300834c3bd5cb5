#pragma once
// TWinControl: a control with a window handle, child controls, the keyboard
// and the input focus; TCustomControl: a windowed control that paints itself.
//
// Children lie in z-order, the graphic ones below the windowed ones (each
// group bottom first); Controls(i) lists the graphic children, then the
// windowed ones. The tab order is the order of the windowed children for
// Tab, by TabOrder.
//
// Focus: the top-level control (a form, or a windowed control without
// parent) remembers which of its controls has the focus. Within one
// top-level control a focus move fires OnExit on the controls it leaves
// (innermost first) and OnEnter on the ones it enters (outermost first); a
// move between top-level controls activates the other one (a form's
// OnDeactivate and OnActivate) and fires no OnExit or OnEnter.

#include <memory>
#include <vector>

#include "platform/vcl/Control.h"

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // --- window handle (made on first use) ---
  HWND Handle();
  bool HandleAllocated() const;
  void HandleNeeded() { Handle(); }

  // --- children ---
  int ControlCount() const { return static_cast<int>(graphicControls_.size() + winControls_.size()); }
  // EInvalidOperation for an index outside 0 .. ControlCount() - 1.
  TControl* Controls(int index) const;
  // This control or one of its children, at any depth.
  bool ContainsControl(const TControl* control) const;
  // The visible child at `pos` (client coordinates) that answers the hit
  // test, the top-most first; windowed children only with allowWinControls,
  // disabled ones only with allowDisabled.
  TControl* ControlAtPos(const TPoint& pos, bool allowDisabled, bool allowWinControls = false);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // Hands the message to every child until one answers (Result not 0).
  void Broadcast(TMessage& message);

  // --- layout ---
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  // The non-client frame: left, top, right and bottom widths (a form's
  // border and caption).
  virtual TRect BorderInsets() const { return {}; }
  // Where the aligned children go, in client coordinates.
  virtual void AdjustClientRect(TRect& rect) const { (void)rect; }
  void DisableAlign();
  void EnableAlign();
  // Takes back one DisableAlign without laying out: what waits is laid out
  // at the next EnableAlign or Realign (the way out of a step that failed).
  void ResumeAlignLater();
  // Lays the aligned children out again; `changed` (a child that moved or
  // changed size) keeps its place before siblings at the same position.
  void Realign(TControl* changed = nullptr);
  // Places the visible aligned children in the rectangle: alTop from the top
  // down (by their Top), alBottom from the bottom up, alLeft from the left,
  // alRight from the right, alClient in what remains.
  virtual void AlignControls(TControl* control, TRect& rect);

  // --- focus ---
  // Visible and enabled, with every parent up to the top-level control.
  virtual bool CanFocus() const;
  virtual bool Focused() const;
  // EInvalidOperation "Cannot focus a disabled or invisible window" when the
  // control cannot have the focus.
  virtual void SetFocus();
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  // The windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  void SelectFirst();

  bool DoubleBuffered = false;

  // --- keys: the form sees them first when its KeyPreview is set; a
  // handler consumes a key by setting it to 0 ---
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(WORD& key, TShiftState shift);
  // WM_KEYDOWN, WM_CHAR and WM_KEYUP: true when consumed; the message's
  // WParam holds the key as the handlers left it.
  bool DoKeyDown(TMessage& message);
  bool DoKeyPress(TMessage& message);
  bool DoKeyUp(TMessage& message);
  virtual void DoEnter();
  virtual void DoExit();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  void SetParent(TWinControl* parent) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  void Invalidate() override;
  void Update() override;
  void Dispatch(void* message) override;

  // --- the top-level control's focus (for the forms and the screen) ---
  TWinControl* TopLevel();
  // The control that gets (or has) the focus when this top-level control is
  // active; null: the top-level control itself.
  TWinControl* ActiveControl() const { return activeControl_; }
  // The control that last got the focus (OnEnter) in this top-level control.
  TWinControl* FocusedControl() const { return focusedControl_; }
  // Gives the focus to `control` (null: this top-level control itself):
  // activates this top-level control when another one is active, then moves
  // the focus inside with OnExit and OnEnter.
  void SetFocusedControl(TWinControl* control);
  // The control (or the one holding the focus in it) is hidden, disabled or
  // leaves the tree: the focus goes back to the top-level control.
  void DefocusControl(TWinControl* control, bool removing);
  // Activates this top-level control: the focus goes to its ActiveControl
  // (a form first chooses its first control in tab order when it has none).
  void ActivateTopLevel();

 protected:
  void SizeChanged() override;
  void ParentFontChanged() override;
  void FontChanged() override;
  // Moves a child to the top or the bottom of its group.
  void SetChildZOrder(TControl* control, bool topMost);
  // Moves every child by (dx, dy), as scrolling the client area does, each
  // place held within +-0x3FFFFFFF. A graphic child only takes its new
  // place: its size, constraints and layout stay, its anchor rules move with
  // it, it is marked for painting, and ChildChanged is not called for it
  // (the caller knows what moved). Windowed children move through
  // SetBounds. Answers the graphic children that were held at the limit
  // (they moved less than the others).
  std::vector<TControl*> ScrollChildren(int dx, int dy);
  // A child came or went, moved, changed its size, or was shown or hidden;
  // called as soon as its fields hold the change, before anything else
  // reacts. The child may be in the middle of its destruction: only its
  // Parent(), Visible() and bounds may be read.
  virtual void ChildChanged(TControl* child) { (void)child; }
  // Whether a form wants its first control focused when it is activated.
  virtual bool ChoosesFirstControl() const { return false; }
  // The top-level control became the active one, or stopped being it.
  virtual void TopLevelActivated() {}
  virtual void TopLevelDeactivated() {}
  // Sets ActiveControl without moving the focus (the control must be inside).
  void SetActiveControlField(TWinControl* control) { activeControl_ = control; }
  // The shift state of the keyboard.
  static TShiftState KeyboardShiftState();

 private:
  friend class TControl;
  void DestroyHandle();

  HWND handle_ = nullptr;
  bool destroyingHandle_ = false;
  std::vector<TControl*> graphicControls_;
  std::vector<TWinControl*> winControls_;
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  int alignDisabled_ = 0;
  // How many children have an Align other than alNone (without any, a
  // child's move lays nothing out).
  int alignedChildren_ = 0;
  bool aligning_ = false;
  bool alignPending_ = false;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  unsigned focusCount_ = 0;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas();
  virtual void Paint() {}

 private:
  std::unique_ptr<TCanvas> canvas_;
};
