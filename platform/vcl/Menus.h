#pragma once
// The Menus unit: menu items, main menus and popup menus, and shortcuts.
//
// TMenuItem is one entry; its sub-items make it a submenu. Items are made
// with any owner (or none, as the host's and the plug-in's run-time items
// are) and put into a parent with Add or Insert. A parent frees its
// sub-items when it is freed or cleared; a freed item leaves its parent.
// Items of the host's menus and of the plug-in are the same class, so one
// side may hang its items into the other's menus.
//
// A click (Click, a shortcut, a choice in a popped-up menu) does nothing on
// a disabled item; on an enabled one it first toggles Checked when
// AutoCheck is set (a radio item only checks), then fires OnClick. Checking
// a radio item unchecks the radio items of the same parent and GroupIndex.
//
// Headless popups: TPopupMenu::Popup fires OnPopup, records the popup and
// asks the driver's popup handlers (Driver::OnPopupMenu below) which item
// the user chooses; with no handler nothing is chosen, as when the user
// dismisses the menu.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Component.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/GraphicsTypes.h"

class TMenu;
class TCustomImageList;
class TControl;

class EMenuError : public Exception {
 public:
  using Exception::Exception;
};

// A key with Shift, Ctrl and Alt bits, 0 for none.
using TShortCut = WORD;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+C", "Ctrl+Shift+V", "F5", "Del", "Alt+BkSp" ...; empty for none.
std::string ShortCutToText(TShortCut shortCut);
// The reverse, modifiers and key names compared without regard to case;
// 0 for a text that names no shortcut.
TShortCut TextToShortCut(const std::string& text);

// The text of a caption without its '&' marks ("&&" stands for one '&').
std::string StripHotkey(const std::string& caption);

// A caption as it shows: its text without the '&' marks, and where in that
// text the character stands that the first single '&' marks (the one drawn
// underlined; npos when none does).
struct THotkeyText {
  std::string text;
  std::size_t hotkey = std::string::npos;
};
THotkeyText SplitHotkey(const std::string& caption);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  // A caption of "-" makes a separator line.
  bool IsLine() const { return caption_ == "-"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AutoCheck = false;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  bool Default = false;
  int ImageIndex = -1;
  std::string Hint;
  TNotifyEvent OnClick;

  // --- the item tree ---
  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // EMenuError for an index outside 0 .. Count() - 1.
  TMenuItem* Items(int index) const;
  TMenuItem* operator[](int index) const { return Items(index); }
  // Appends; EMenuError when the item already has a parent.
  void Add(TMenuItem* item);
  void Add(const std::vector<TMenuItem*>& items);
  // Inserts before `index` (0 .. Count()); EMenuError when the item already
  // has a parent or the index is outside.
  void Insert(int index, TMenuItem* item);
  // Takes the item out without freeing it; EMenuError when it is not ours.
  void Remove(TMenuItem* item);
  // Takes the item at the index out without freeing it.
  void Delete(int index);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The place in the parent (-1 without parent).
  int MenuIndex() const;
  void SetMenuIndex(int value);
  // The sub-item with that caption ('&' marks and letter case aside).
  TMenuItem* Find(const std::string& caption) const;
  // The menu the item tree belongs to (null when it hangs in none).
  TMenu* GetParentMenu() const;

  virtual void Click();

 private:
  friend class TMenu;
  void TurnSiblingsOff();

  std::string caption_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  TShortCut shortCut_ = 0;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item
  std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The invisible root item: its sub-items are the menu's entries.
  TMenuItem* Items() const { return items_.get(); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);

  // The first item, depth first, with that shortcut (null when none).
  TMenuItem* FindShortCut(TShortCut shortCut) const;
  // Clicks the enabled item of the shortcut (its parents enabled too) and
  // answers true; false (the key goes on) otherwise. A hidden item keeps its
  // shortcut, so a menu can hold commands that only a key reaches.
  bool IsShortCut(WORD key, TShiftState shift);

  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::unique_ptr<TMenuItem> items_;
  TCustomImageList* images_ = nullptr;
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
};

enum TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // The control whose right click (or context menu key) popped the menu up
  // last; set before OnPopup. Code may set it before calling Popup.
  TComponent* PopupComponent = nullptr;
  // The screen point of the last popup.
  TPoint PopupPoint{};
  // Pops up on a right click of the controls whose PopupMenu it is.
  bool AutoPopup = true;
  TPopupAlignment Alignment = paLeft;
  TNotifyEvent OnPopup;

  // Shows the menu at a screen point: OnPopup, then the user's choice (the
  // driver's popup handler) is clicked.
  virtual void Popup(int x, int y);

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  virtual void DoPopup();
};

// --- the driver's side of popup menus ---
namespace Driver {

struct PopupRecord {
  std::string menuName;
  std::string componentName;  // PopupComponent's name ("" when none)
  TPoint screenPos{};
  // The caption of the chosen item ("" when nothing was chosen).
  std::string chosen;
  // The handler chose an item that could not be clicked (disabled,
  // invisible, a submenu, or not in the menu).
  bool refused = false;
  bool answeredByHandler = false;
};

// Runs when a popup menu of that name ("" for any) pops up; answers the
// item the user clicks (null: the menu is dismissed).
using PopupHandler = std::function<TMenuItem*(TPopupMenu& menu)>;
int OnPopupMenu(const std::string& menuName, PopupHandler handler);
// Shorthand: choose the item of a caption path ("Align|Left", '&' marks and
// letter case aside).
int ChoosePopupItem(const std::string& menuName, const std::string& captionPath);
void RemovePopupHandler(int id);
std::vector<PopupRecord> PopupLog();
// Forgets the popup handlers and the records.
void ResetPopups();

// The item of a caption path below `root` ("File|Open"), or null.
TMenuItem* FindMenuItem(TMenuItem* root, const std::string& captionPath);

}  // namespace Driver
