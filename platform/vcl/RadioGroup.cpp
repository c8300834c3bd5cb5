#include "platform/vcl/RadioGroup.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/RadioButton.h"

// The buttons of a radio group: they report their clicks to the group.
class TGroupButton : public TRadioButton {
 public:
  TGroupButton(TCustomRadioGroup* group) : TRadioButton(group), group_(group) { SetParent(group); }
  void Click() override {
    TRadioButton::Click();
    if (Checked()) group_->ButtonClicked(this);
  }

 private:
  TCustomRadioGroup* group_;
};

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner) {
  ControlStyle &= ~static_cast<unsigned>(csAcceptsControls);
  items_ = std::make_unique<TStrings>();
  items_->OnChange = [this] { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() { items_->OnChange = nullptr; }

void TCustomRadioGroup::ItemsChanged() {
  // One button per item; the buttons take the items' texts.
  const int count = items_->Count();
  while (static_cast<int>(buttons_.size()) > count) {
    TRadioButton* b = buttons_.back();
    buttons_.pop_back();
    FreeComponent(b);
  }
  while (static_cast<int>(buttons_.size()) < count) buttons_.push_back(new TGroupButton(this));
  updating_ = true;
  for (int i = 0; i < count; ++i) {
    TRadioButton* b = buttons_[static_cast<std::size_t>(i)];
    b->SetCaption(items_->Strings(i));
    b->SetEnabled(Enabled());
    b->SetClicksDisabled(true);
    b->SetChecked(i == itemIndex_);
    b->SetClicksDisabled(false);
  }
  updating_ = false;
  if (itemIndex_ >= count) itemIndex_ = -1;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  TCanvas measure;
  measure.Font->Assign(*Font());
  const int textHeight = measure.TextHeight("0");
  const int count = static_cast<int>(buttons_.size());
  const int perColumn = (count + columns_ - 1) / columns_;
  const int buttonWidth = (Width() - 10) / columns_;
  const int free = Height() - textHeight - 5;
  const int buttonHeight = free / perColumn;
  const int topMargin = textHeight + 1 + (free % perColumn) / 2;
  for (int i = 0; i < count; ++i) {
    buttons_[static_cast<std::size_t>(i)]->SetBounds(
        (i / perColumn) * buttonWidth + 8, (i % perColumn) * buttonHeight + topMargin - 2, buttonWidth, buttonHeight);
  }
}

void TCustomRadioGroup::SizeChanged() {
  TCustomGroupBox::SizeChanged();
  ArrangeButtons();
}

void TCustomRadioGroup::FontChanged() {
  TCustomGroupBox::FontChanged();
  ArrangeButtons();
}

void TCustomRadioGroup::SetColumns(int value) {
  value = std::clamp(value, 1, 16);
  if (value == columns_) return;
  columns_ = value;
  ArrangeButtons();
  Invalidate();
}

TRadioButton* TCustomRadioGroup::Buttons(int index) {
  if (index < 0 || index >= ButtonCount()) throw EInvalidOperation("Button index out of bounds");
  return buttons_[static_cast<std::size_t>(index)];
}

void TCustomRadioGroup::SetItemIndex(int value) {
  value = std::clamp(value, -1, static_cast<int>(buttons_.size()) - 1);
  if (value == itemIndex_) return;
  if (itemIndex_ >= 0) buttons_[static_cast<std::size_t>(itemIndex_)]->SetChecked(false);
  itemIndex_ = value;
  // Checking the button clicks it, and the click reaches the group.
  if (itemIndex_ >= 0) buttons_[static_cast<std::size_t>(itemIndex_)]->SetChecked(true);
  Invalidate();
}

void TCustomRadioGroup::ButtonClicked(TRadioButton* button) {
  if (updating_) return;
  auto it = std::find(buttons_.begin(), buttons_.end(), button);
  if (it == buttons_.end()) return;
  itemIndex_ = static_cast<int>(it - buttons_.begin());
  Click();
}

void TCustomRadioGroup::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  TCustomGroupBox::Dispatch(message);
  if (m.Msg == CM_ENABLEDCHANGED)
    for (TRadioButton* b : buttons_) b->SetEnabled(Enabled());
  if (m.Msg == CM_TEXTCHANGED) Invalidate();
}

void TCustomRadioGroup::Paint() { TCustomGroupBox::Paint(); }
