#pragma once
// TMemo: a text box of several lines. Its Text holds the lines separated by
// CR LF; Lines() is a view of the same text line by line (changes through it
// change Text and fire OnChange). Enter types a line end (WantReturns), Tab
// goes to the form unless WantTabs.

#include <string>
#include <vector>

#include "platform/vcl/Edit.h"
#include "platform/vcl/StringList.h"

class TCustomMemo;

// The lines of a memo; every change goes straight into the memo's text.
class TMemoLines {
 public:
  explicit TMemoLines(TCustomMemo* memo) : memo_(memo) {}
  int Count() const;
  std::string Strings(int index) const;
  std::string operator[](int index) const { return Strings(index); }
  void SetStrings(int index, const std::string& text);
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
  // Every line followed by CR LF.
  std::string Text() const;
  void SetText(const std::string& text);
  void BeginUpdate() {}
  void EndUpdate() {}

 private:
  std::vector<std::string> Split() const;
  void Join(const std::vector<std::string>& lines);
  TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* AOwner);
  TMemoLines* Lines() { return &lines_; }
  bool WantReturns = true;
  bool WantTabs = false;

  void Dispatch(void* message) override;
  void KeyPress(char& key) override;
  void Paint() override;

 protected:
  bool MultiLine() const override { return true; }
  int PositionAt(int x, int y) override;

 private:
  TMemoLines lines_;
};

class TMemo : public TCustomMemo {
 public:
  using TCustomMemo::TCustomMemo;
};
