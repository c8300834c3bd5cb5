#pragma once
// TRadioGroup: a group box with one radio button per item, laid out in
// Columns (filled column by column). ItemIndex is the checked item (-1:
// none). Setting ItemIndex to an item, in code or by a click, fires OnClick,
// as the class library does; setting it to -1 does not.

#include <memory>
#include <vector>

#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Strings.h"

class TRadioButton;

class TCustomRadioGroup : public TCustomGroupBox {
 public:
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;

  TStrings* Items() { return items_.get(); }
  int ItemIndex() const { return itemIndex_; }
  // Values below -1 count as -1, values past the last item as the last item.
  void SetItemIndex(int value);
  int Columns() const { return columns_; }
  // 1 to 16.
  void SetColumns(int value);
  // The radio button of item i (after the items were last changed).
  TRadioButton* Buttons(int index);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }

  void Dispatch(void* message) override;
  void Paint() override;

 protected:
  void SizeChanged() override;
  void FontChanged() override;

 private:
  friend class TGroupButton;
  void ItemsChanged();
  void ArrangeButtons();
  void ButtonClicked(TRadioButton* button);

  std::unique_ptr<TStrings> items_;
  std::vector<TRadioButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

class TRadioGroup : public TCustomRadioGroup {
 public:
  using TCustomRadioGroup::TCustomRadioGroup;
};
