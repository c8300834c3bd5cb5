#include "properties/OptionRows.h"

#include <array>
#include <string>

#include "grid/StringDualListLang.h"
#include "platform/vcl/ListView.h"

namespace {

// Swaps what two rows show and whether they are selected.
void SwapRows(TListItem* a, TListItem* b) {
  const std::string caption = a->Caption();
  TStringList subItems;
  for (int i = 0; i < a->SubItems()->Count(); ++i) subItems.Add(a->SubItems()->Strings(i));
  const bool selected = a->Selected();
  a->SetCaption(b->Caption());
  a->SubItems()->Assign(*b->SubItems());
  a->SetSelected(b->Selected());
  b->SetCaption(caption);
  b->SubItems()->Assign(subItems);
  b->SetSelected(selected);
}

}  // namespace

void FillListView(const TStringDualListLang& options, TListView* view) {
  TListItems* rows = view->Items();
  rows->BeginUpdate();
  rows->Clear();
  for (int i = 0; i < options.Count(); ++i) {
    TListItem* row = rows->Add();
    row->SetCaption(options.GetValue(i));
    row->SubItems()->Add(options.GetKey(i));
    for (const std::string& text : options.GetTexts(i)->texts) row->SubItems()->Add(text);
  }
  rows->EndUpdate();
}

bool SameAsListView(const TStringDualListLang& options, TListView* view) {
  TListItems* rows = view->Items();
  if (rows->Count() != options.Count()) return false;
  for (int i = 0; i < rows->Count(); ++i) {
    TStrings* sub = rows->Item(i)->SubItems();
    if (sub->Count() < 1 || sub->Strings(0) != options.GetKey(i)) return false;
    const auto& texts = options.GetTexts(i)->texts;
    for (int j = 1; j < sub->Count(); ++j)
      if (j - 1 >= kLangSlots || sub->Strings(j) != texts[j - 1]) return false;
  }
  return true;
}

void ReadListView(TStringDualListLang& options, TListView* view) {
  options.Clear();
  TListItems* rows = view->Items();
  for (int i = 0; i < rows->Count(); ++i) {
    TStrings* sub = rows->Item(i)->SubItems();
    std::array<std::string, kLangSlots> texts;
    for (int j = 1; j < sub->Count() && j - 1 < kLangSlots; ++j) texts[j - 1] = sub->Strings(j);
    options.AddTexts(sub->Count() > 0 ? sub->Strings(0) : std::string(), texts);
  }
}

void MoveSelectedRows(TListView* view, bool up) {
  TListItems* rows = view->Items();
  const int n = rows->Count();
  if (up) {
    // The unselected row above a run goes below it.
    for (int i = 1; i < n; ++i) {
      if (!rows->Item(i)->Selected() || rows->Item(i - 1)->Selected()) continue;
      int end = i;
      while (end + 1 < n && rows->Item(end + 1)->Selected()) ++end;
      for (int k = i; k <= end; ++k) SwapRows(rows->Item(k - 1), rows->Item(k));
      i = end;
    }
  } else {
    for (int i = n - 2; i >= 0; --i) {
      if (!rows->Item(i)->Selected() || rows->Item(i + 1)->Selected()) continue;
      int start = i;
      while (start - 1 >= 0 && rows->Item(start - 1)->Selected()) --start;
      for (int k = i; k >= start; --k) SwapRows(rows->Item(k), rows->Item(k + 1));
      i = start;
    }
  }
}
