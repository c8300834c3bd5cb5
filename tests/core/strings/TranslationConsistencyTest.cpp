// Every translation keeps what the code relies on in the English text: the
// format placeholders in their order, the line-break escapes and the trailing
// no-break space.

#include <gtest/gtest.h>

#include <cctype>

#include "tests/core/strings/StringTableTestSupport.h"

using namespace strtest;

namespace {

// The printf placeholders of a text ("%s", "%i", "%5.2f", "%-3d", ...) in order;
// "%%" is a plain percent sign.
std::vector<std::string> Placeholders(const std::string& text) {
  static const std::string kConversions = "diuoxXsScfFeEgGpn";
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 1 < text.size() && text[i + 1] == '%') {
      ++i;
      continue;
    }
    std::size_t k = i + 1;
    while (k < text.size() && std::string("-+0#").find(text[k]) != std::string::npos) ++k;
    while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
    if (k < text.size() && text[k] == '.') {
      ++k;
      while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
    }
    while (k < text.size() && (text[k] == 'l' || text[k] == 'h')) ++k;
    if (k < text.size() && kConversions.find(text[k]) != std::string::npos) {
      out.push_back(text.substr(i, k - i + 1));
      i = k;
    }
  }
  return out;
}

struct EscapeCounts {
  int lineFeeds = 0, returns = 0, others = 0;
  bool operator==(const EscapeCounts&) const = default;
};

EscapeCounts CountEscapes(const std::string& text) {
  EscapeCounts c;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') continue;
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (next == 'n')
      ++c.lineFeeds;
    else if (next == 'r')
      ++c.returns;
    else
      ++c.others;
    ++i;
  }
  return c;
}

bool EndsWithNoBreakSpace(const std::string& text) {
  return text.size() >= 2 && text.compare(text.size() - 2, 2, "\xC2\xA0") == 0;
}

}  // namespace

TEST(TranslationConsistency, PlaceholderScannerFindsWhatPrintfWouldSee) {
  EXPECT_EQ(Placeholders("File '%s' already exists"), std::vector<std::string>{"%s"});
  EXPECT_EQ(Placeholders("%i of %5.2f, 100%% and %-3d%s"), (std::vector<std::string>{"%i", "%5.2f", "%-3d", "%s"}));
  EXPECT_TRUE(Placeholders("50 % more, 10 %").empty());
  EXPECT_EQ(CountEscapes("a\\nb\\r\\n\\\\"), (EscapeCounts{2, 1, 1}));
}

TEST(TranslationConsistency, EveryLanguageKeepsPlaceholdersEscapesAndNoBreakSpaces) {
  const auto english = ReadTableSource("en.tsv");
  ASSERT_EQ(english.size(), 663u);
  for (const TableFile& table : kTables) {
    SCOPED_TRACE(table.file);
    const auto texts = ReadTableSource(table.file);
    ASSERT_EQ(texts.size(), english.size());
    for (const auto& [id, original] : english) {
      auto it = texts.find(id);
      ASSERT_NE(it, texts.end()) << "id " << id << " missing";
      const std::string& text = it->second;
      EXPECT_EQ(Placeholders(text), Placeholders(original)) << "id " << id << ": " << text;
      EXPECT_EQ(CountEscapes(text), CountEscapes(original)) << "id " << id << ": " << text;
      EXPECT_EQ(EndsWithNoBreakSpace(text), EndsWithNoBreakSpace(original)) << "id " << id << ": " << text;
    }
  }
}
