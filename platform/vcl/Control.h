#pragma once
// TControl: a visual component with bounds inside a parent, and the mouse,
// drag and message machinery of the class library (unit Controls).
//
// Conventions of the control classes:
// - A property with behaviour is a pair of methods: `Width()` reads,
//   `SetWidth(v)` writes. Sub-objects come back as pointers (`Font()->Name`).
//   A property that the class library keeps as a plain field is a public
//   data member (`Tag`, `Hint`, `ControlStyle`, the events).
// - Events are Closure fields (Closure.h): `btn->OnClick = {this,
//   &TForm1::btnClick};`, tested with `if (OnClick)`, compared with nullptr.
// - Messages: Perform and SendMessage hand a TMessage to WindowProc, which is
//   WndProc unless replaced. WndProc passes it on to Dispatch, and Dispatch
//   turns the messages it knows into the virtual message methods (MouseDown,
//   Click, ...), which fire the events. A class overrides WndProc or Dispatch
//   (handling its own messages and passing the rest to its base class), or
//   the message methods.
// - Coordinates of a control are in its parent's client area; a control
//   without parent (a form) has screen coordinates.

#include <memory>
#include <string>

#include "platform/vcl/Closure.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/GraphicsTypes.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TCanvas;
class TDragObject;
class TDragDockObject;

class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// Event types (TNotifyEvent is in Component.h).
using TMouseEvent = Closure<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = Closure<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    Closure<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = Closure<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = Closure<void(TObject* Sender, char& Key)>;
using TDragOverEvent = Closure<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = Closure<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = Closure<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDockEvent = Closure<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TUnDockEvent = Closure<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TWndMethod = Closure<void(TMessage& Message)>;

enum TControlStyleFlag : unsigned {
  csAcceptsControls = 0x0001,
  csCaptureMouse = 0x0002,
  csDesignInteractive = 0x0004,
  csClickEvents = 0x0008,
  csFramed = 0x0010,
  csSetCaption = 0x0020,
  csOpaque = 0x0040,
  csDoubleClicks = 0x0080,
  csFixedWidth = 0x0100,
  csFixedHeight = 0x0200,
  csNoDesignVisible = 0x0400,
  csReplicatable = 0x0800,
  csNoStdEvents = 0x1000,
};
using TControlStyle = unsigned;

enum TControlStateFlag : unsigned {
  csLButtonDown = 0x0001,
  csClicked = 0x0002,
  csAlignmentNeeded = 0x0010,
  csFocusing = 0x0020,
  csCreating = 0x0040,
};
using TControlState = unsigned;

// Limits of a control's size (0: no limit). A change takes effect at the
// next change of the control's bounds.
struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
};

// What a drag carries. A drag that starts from a control carries a
// TDragControlObject, and the targets see that control as the source; a
// drag object that a control makes itself (InternalObject false, as the
// host's variable list makes its own) and any other drag object reach them
// as they are.
class TDragObject : public TObject {
 public:
  // Set by the target that took the drop.
  TObject* DragTarget = nullptr;
  TPoint DragPos;
};

class TDragControlObject : public TDragObject {
 public:
  explicit TDragControlObject(TControl* control) : Control(control) {}
  TControl* Control;
  // True for the object the layer makes for a control's drag: the targets
  // see Control in its place.
  bool InternalObject = true;
};

class TDragDockObject : public TDragControlObject {
 public:
  using TDragControlObject::TDragControlObject;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // --- parent and tree ---
  TWinControl* Parent() const { return parent_; }
  // Moves the control into another parent's child list (at the top of the
  // z-order) or out of every one (null).
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const { return parent_ != nullptr; }

  // --- bounds ---
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  // All four at once: one repaint, one realignment, one OnResize when the
  // size changed. Sizes follow Constraints.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& rect);

  // The client area in the control's own coordinates ((0, 0) at its top-left
  // corner).
  virtual TRect ClientRect() const;
  int ClientWidth() const;
  int ClientHeight() const;
  virtual void SetClientWidth(int value);
  virtual void SetClientHeight(int value);
  // The screen point of the client area's (0, 0).
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& point) const;
  TPoint ScreenToClient(const TPoint& point) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors value);
  TSizeConstraints Constraints;

  // --- visibility, state ---
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  void Show();
  void Hide();
  // Visible, and every parent too (a control without parent: its own
  // visibility).
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);
  // The name a script that drives the program finds the control by (the
  // X11 back end's control map): its Name; a control made at run time
  // without one may give another; empty leaves it out.
  virtual std::string MapName() const { return Name(); }

  // --- text, looks ---
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& value) { SetText(value); }
  virtual std::string Text() const { return text_; }
  // Stores the text; when it differs, CM_TEXTCHANGED follows.
  virtual void SetText(const std::string& value);

  std::string Hint;
  int HelpContext = 0;
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value) { showHint_ = value; }

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);

  // With ParentColor the parent's colour (kept until the colour is set).
  TColor Color() const;
  void SetColor(TColor value);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  // With ParentFont the font follows the parent's font until the font is
  // changed here (through this pointer or SetFont).
  TFont* Font();
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  TPopupMenu* PopupMenu() const { return popupMenu_; }
  template <class Menu = TPopupMenu>
  void SetPopupMenu(Menu* menu) {
    SetPopupMenuImpl(menu, menu);
  }

  TControlStyle ControlStyle = 0;
  TControlState ControlState = 0;
  TDragMode DragMode = dmManual;

  // --- painting (the canvas layer paints; here only what needs painting) ---
  virtual void Invalidate();
  // Invalidate and Update.
  virtual void Repaint();
  void Refresh() { Repaint(); }
  // Paints at once what waits to be painted (WM_PAINT of the windowed
  // control that holds this one).
  virtual void Update();
  // Whether the control waits to be painted.
  bool NeedsPaint() const { return needsPaint_; }
  void SetNeedsPaint(bool value) { needsPaint_ = value; }

  // --- z-order among the siblings of the same kind (windowed controls lie
  // above graphic ones) ---
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool topMost);

  // --- messages ---
  LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Where Perform and the window handle deliver messages; WndProc unless
  // replaced.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& message);
  void Dispatch(void* message) override;

  // --- message methods: each fires its event ---
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Starts Accept true when OnDragOver is assigned, false otherwise.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  virtual void DoEndDrag(TObject* target, int x, int y);
  // OnMouseWheel; true when handled.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos);
  virtual void Resize();

  // Mouse capture: while set, the mouse goes to this control.
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

  // --- events ---
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TNotifyEvent OnResize;

  void Notification(TComponent* component, TOperation operation) override;
  void SetName(const std::string& name) override;

 protected:
  // Message handling for Dispatch.
  virtual void WMMouseButton(TMessage& message);
  virtual void WMContextMenu(TMessage& message);
  // Records the parent; called by TWinControl when it takes the control in
  // or lets it go.
  void SetParentField(TWinControl* parent) { parent_ = parent; }
  // Sets the visibility without any message (a class's starting state).
  void SetVisibleField(bool value) { visible_ = value; }
  // Bounds set by the parent's alignment and anchors: they keep the anchor
  // rules.
  void SetBoundsFromLayout(int left, int top, int width, int height);
  // Lets the parent lay out its children again after a change of this one.
  void RequestAlign();
  // The parent's client size the anchor rules refer to changed: the control
  // moves or sizes as its anchors say.
  void ApplyAnchors(int parentClientWidth, int parentClientHeight);
  void UpdateAnchorRules();
  // The size changed (SetBounds, after the new bounds are stored).
  virtual void SizeChanged() {}
  // Font and colour changed in the parent.
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  // The font changed (here or, with ParentFont, in a parent).
  virtual void FontChanged();

 private:
  friend class TWinControl;
  void SetPopupMenuImpl(TPopupMenu* menu, TComponent* asComponent);
  void SyncParentFont();
  void ApplyConstraints(int& width, int& height) const;

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TAlign align_ = alNone;
  TAnchors anchors_ = akLeft | akTop;
  // Anchor rules: the parent's client size and the control's bounds they were
  // taken at.
  bool anchorRulesSet_ = false;
  int anchorParentWidth_ = 0;
  int anchorParentHeight_ = 0;
  TRect anchorBounds_{};
  bool layingOut_ = false;
  bool visible_ = true;
  bool enabled_ = true;
  bool showHint_ = false;
  bool needsPaint_ = true;
  std::string text_;
  TCursor cursor_ = crDefault;
  TColor color_ = clWindow;
  bool parentColor_ = true;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  // The font as it was last set from outside (the parent's copy, SetFont):
  // a difference means it was changed through Font() since.
  std::unique_ptr<TFont> fontBaseline_;
  TPopupMenu* popupMenu_ = nullptr;
  TComponent* popupMenuComponent_ = nullptr;
};

// A control without a window: it paints on its parent and gets the mouse
// through it.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  // The canvas Paint draws on; the painting layer points it at the control's
  // area before it calls Paint.
  TCanvas* Canvas();
  virtual void Paint() {}

 private:
  std::unique_ptr<TCanvas> canvas_;
};

// The form that holds a control (its top-most parent when that is a form),
// or null.
TCustomForm* GetParentForm(const TControl* control);
// As GetParentForm; EInvalidOperation when there is none.
TCustomForm* ValidParentForm(const TControl* control);

// The control that has the mouse captured, or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// The shift state of mouse message keys (MK_*) with the Alt key's state.
TShiftState KeysToShiftState(WPARAM keys);
// MK_* keys of a shift state.
WPARAM ShiftStateToKeys(TShiftState shift);

// The popup menus live in the Menus unit: it installs how a control's
// PopupMenu pops up on a right click (WM_CONTEXTMENU) and how a menu answers
// a shortcut key, the first time a menu is made.
// The popup hook answers whether the menu popped up.
using TPopupMenuPopupHook = bool (*)(TPopupMenu* menu, TControl* component, const TPoint& screenPos);
using TPopupMenuShortCutHook = bool (*)(TPopupMenu* menu, WORD key, TShiftState shift);
void SetPopupMenuHooks(TPopupMenuPopupHook popup, TPopupMenuShortCutHook shortCut);
TPopupMenuPopupHook PopupMenuPopupHook();
TPopupMenuShortCutHook PopupMenuShortCutHook();

// Told when a control is being destroyed (the driver and the screen forget
// what they hold of it).
void RegisterControlDestroyHook(void (*hook)(TControl* control));
