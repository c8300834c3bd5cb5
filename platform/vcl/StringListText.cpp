// TStringList as one text: delimited and comma texts, name=value items, and
// the list as a file of lines.

#include "platform/vcl/Streams.h"
#include "platform/vcl/StringList.h"
#include "platform/win/FileIo.h"

namespace {

bool IsBlankOrControl(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

// The text between quotes, a doubled quote standing for one; `i` is at the
// opening quote and ends after the closing one (or at the end).
std::string QuotedItem(std::string_view text, std::size_t& i, char quote) {
  std::string item;
  ++i;
  while (i < text.size()) {
    if (text[i] == quote) {
      if (i + 1 < text.size() && text[i + 1] == quote) {
        item += quote;
        i += 2;
        continue;
      }
      ++i;
      return item;
    }
    item += text[i++];
  }
  return item;
}

std::string Quoted(const std::string& item, char quote) {
  std::string out(1, quote);
  for (char c : item) {
    out += c;
    if (c == quote) out += quote;
  }
  out += quote;
  return out;
}

std::string Delimited(const TStringList& list, char delimiter, char quote) {
  if (list.Count() == 1 && list.Strings(0).empty()) return std::string(2, quote);
  std::string out;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string& item = list.Strings(i);
    bool quoteIt = false;
    for (char c : item)
      if (c == '\0' || IsBlankOrControl(c) || c == delimiter || c == quote) quoteIt = true;
    if (i > 0) out += delimiter;
    out += quoteIt ? Quoted(item, quote) : item;
  }
  return out;
}

void SetDelimited(TStringList& list, std::string_view text, char delimiter, char quote) {
  text = text.substr(0, text.find('\0'));
  list.Clear();
  std::size_t i = 0;
  while (i < text.size() && IsBlankOrControl(text[i])) ++i;
  while (i < text.size()) {
    if (text[i] == quote) {
      list.Add(QuotedItem(text, i, quote));
    } else {
      const std::size_t start = i;
      while (i < text.size() && !IsBlankOrControl(text[i]) && text[i] != delimiter) ++i;
      list.Add(std::string(text.substr(start, i - start)));
    }
    while (i < text.size() && IsBlankOrControl(text[i])) ++i;
    if (i < text.size() && text[i] == delimiter) {
      if (i + 1 == text.size()) list.Add(std::string());
      ++i;
      while (i < text.size() && IsBlankOrControl(text[i])) ++i;
    }
  }
}

}  // namespace

std::string TStringList::DelimitedText() const { return Delimited(*this, Delimiter, QuoteChar); }

void TStringList::SetDelimitedText(std::string_view text) { SetDelimited(*this, text, Delimiter, QuoteChar); }

std::string TStringList::CommaText() const { return Delimited(*this, ',', '"'); }

void TStringList::SetCommaText(std::string_view text) { SetDelimited(*this, text, ',', '"'); }

std::string TStringList::Names(int index) const {
  const std::string& text = Strings(index);
  const std::size_t eq = text.find('=');
  return eq == std::string::npos ? std::string() : text.substr(0, eq);
}

int TStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& text = items_[static_cast<std::size_t>(i)].text;
    const std::size_t eq = text.find('=');
    if (eq != std::string::npos && Compare(std::string_view(text).substr(0, eq), name) == 0) return i;
  }
  return -1;
}

std::string TStringList::Values(std::string_view name) const {
  const int index = IndexOfName(name);
  if (index < 0) return {};
  const std::string& text = items_[static_cast<std::size_t>(index)].text;
  return text.substr(text.find('=') + 1);
}

void TStringList::SetValues(std::string_view name, std::string_view value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  const std::string text = std::string(name) + "=" + std::string(value);
  if (index < 0)
    Add(text);
  else
    SetStrings(index, text);
}

void TStringList::LoadFromFile(const std::string& fileName) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) throw EFOpenError("Cannot open file " + fileName);
  SetText(bytes);
}

void TStringList::SaveToFile(const std::string& fileName) const {
  const std::string text = Text();
  if (!WriteFileReplacing(fileName, text.data(), text.size())) throw EFCreateError("Cannot create file " + fileName);
}
