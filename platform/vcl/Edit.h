#pragma once
// TEdit: a one-line text box.
//
// The text is the control's Text. OnChange fires whenever the text changes:
// by typing, by the clipboard commands, and by setting Text in code when the
// new text differs (setting it in code puts the caret at the start and
// clears Modified; typing sets Modified).
//
// Typing: printable characters replace the selection (MaxLength, when above
// 0, limits what typing and pasting can add); Backspace and Delete remove;
// the arrows, Home and End move the caret (with Shift they select); Ctrl+C,
// Ctrl+X, Ctrl+V (and Ctrl+Insert, Shift+Delete, Shift+Insert) are the
// clipboard. A ReadOnly edit takes no changes from the user, and an edit
// with a PasswordChar shows that character for every one of its own and lets
// nothing be copied or cut. Enter, Escape and Tab go to the form (default and
// cancel buttons, focus moves) unless a handler consumes them.

#include <string>

#include "platform/vcl/Painting.h"
#include "platform/vcl/WinControl.h"

class TCustomEdit : public TCustomControl, public TNonClientPainter {
 public:
  explicit TCustomEdit(TComponent* AOwner);

  // --- looks ---
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  // Height follows the font (the default).
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  bool HideSelection = true;
  // Selects the whole text when the edit gets the focus from the keyboard.
  bool AutoSelect = true;

  // --- text ---
  int MaxLength() const { return maxLength_; }
  // 0: no limit. Does not shorten the text already there.
  void SetMaxLength(int value) { maxLength_ = value < 0 ? 0 : value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool Modified = false;
  void Clear() { SetText(""); }

  // --- selection (byte positions in the text) ---
  int SelStart() const;
  // Puts the caret at the position, selecting nothing.
  void SetSelStart(int value);
  int SelLength() const;
  // Selects from SelStart on.
  void SetSelLength(int value);
  std::string SelText() const;
  // Replaces the selection (in code: neither MaxLength nor ReadOnly apply).
  void SetSelText(const std::string& value);
  void SelectAll();
  void ClearSelection();
  // The caret position (the end of the selection that moves).
  int CaretPos() const { return caret_; }

  // --- clipboard ---
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  TNotifyEvent OnChange;

  // --- for the class library ---
  void Dispatch(void* message) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  // A double click selects the word under the caret.
  void DblClick() override;
  void DoEnter() override;
  void SetParent(TWinControl* parent) override;
  TRect BorderInsets() const override;
  void Paint() override;
  void PaintNonClient(TCanvas* canvas) override;

 protected:
  virtual void Change();
  // Whether Enter types a line end (memos).
  virtual bool MultiLine() const { return false; }
  // The text as shown (password characters).
  std::string DisplayText() const;
  // The caret position nearest to the point (client coordinates).
  virtual int PositionAt(int x, int y);
  // Replaces the selection as the user does: MaxLength, ReadOnly; fires
  // OnChange; false when nothing could change.
  bool UserReplace(const std::string& insert);
  // Replaces the text keeping the caret where `caret` says (no reset).
  void ReplaceText(const std::string& text, int caret);
  void SetCaret(int caret, bool extend);
  void AdjustHeight();
  int anchor_ = 0;
  int caret_ = 0;
  int scrollX_ = 0;

 private:
  TBorderStyle borderStyle_ = bsSingle;
  bool autoSize_ = true;
  char passwordChar_ = 0;
  int maxLength_ = 0;
  bool readOnly_ = false;
  bool internalChange_ = false;
  bool focusingByMouse_ = false;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};
