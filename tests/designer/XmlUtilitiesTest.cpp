// The generator's XML utilities: change stamps of pages and templates, the
// removal of `format` and `Uid` attributes, the broken-down time and integer
// texts.

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "core/XmlDocument.h"
#include "generator/XmlUtilities.h"

namespace {

std::unique_ptr<TmyXmlNode> Parse(const std::string& text) {
  TmyXMLParser parser;
  EXPECT_TRUE(parser.LoadFromString(text.c_str()));
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  EXPECT_EQ(parser.errorWord, 0u);
  return root;
}

std::string Text(TmyXmlNode* root) {
  TmyXMLParser parser;
  return parser.WriteNode(root, 0);
}

// A designer with a settable clock and shown page that records what it is told.
struct TFakeDesigner : TUcidDesigner {
  std::int32_t now = 1000;
  TmyXmlNode* shown = nullptr;
  std::int32_t currentUcid = 0;
  std::vector<std::string> traces;

  std::int32_t GetUcidTime() override { return now; }
  TmyXmlNode* ShownPage() const override { return shown; }
  void SetCurrentUcid(std::int32_t ucid) override { currentUcid = ucid; }
  void Trace(const std::string& text) override { traces.push_back(text); }
};

TEST(SweepFormat, RemovesFormatFromTheNodeItsSiblingsAndTheirDescendants) {
  auto root = Parse(
      "<r><a format=\"1\"><b format=\"2\" x=\"1\"><c format=\"3\" /></b></a>"
      "<a format=\"4\" /><a><d format=\"5\" /></a></r>");
  TmyXmlNode* first = root->firstChild->firstChild;
  EXPECT_EQ(SweepFormat(first), 5);
  EXPECT_EQ(Text(root.get()).find("format"), std::string::npos);
  EXPECT_NE(Text(root.get()).find("x=\"1\""), std::string::npos);
}

TEST(SweepFormat, LeavesPrecedingSiblingsAndTheParent) {
  auto root = Parse("<r format=\"0\"><a format=\"1\" /><b format=\"2\" /><c format=\"3\" /></r>");
  TmyXmlNode* second = root->firstChild->firstChild->next;
  EXPECT_EQ(SweepFormat(second), 2);
  EXPECT_EQ(root->firstChild->GetAttr("format"), "0");
  EXPECT_EQ(root->firstChild->firstChild->GetAttr("format"), "1");
}

TEST(SweepFormat, AnswersZeroAndChangesNothingWithoutFormat) {
  auto root = Parse("<r><a x=\"1\"><b y=\"2\" /></a></r>");
  const std::string before = Text(root.get());
  EXPECT_EQ(SweepFormat(root->firstChild), 0);
  EXPECT_EQ(Text(root.get()), before);
  EXPECT_EQ(SweepFormat(nullptr), 0);
}

TEST(SweepFormat, HandlesATreeDeeperThanTheStackWouldAllow) {
  constexpr int kDepth = 200000;
  TmyXmlNode root("r");
  TmyXmlNode* node = &root;
  for (int i = 0; i < kDepth; ++i) {
    node = node->AddChild("n");
    node->SetAttr("format", "x");
  }
  EXPECT_EQ(SweepFormat(root.firstChild), kDepth);
  EXPECT_EQ(node->FindAttr("format"), nullptr);
}

TEST(StripUidAttrs, RemovesUidEverywhereAtAndAfterTheNode) {
  auto root =
      Parse("<clipboard><object Uid=\"1\" X=\"2\"><label Uid=\"9\" /></object><object Uid=\"3\" /></clipboard>");
  StripUidAttrs(root->firstChild->firstChild);
  EXPECT_EQ(Text(root.get()),
            "<clipboard>\r\n\t<object X=\"2\">\r\n\t\t<label />\r\n\t</object>\r\n\t<object />\r\n</clipboard>\r\n");
  StripUidAttrs(nullptr);
}

TEST(GetUcidTime, ReadsTheClockInSeconds) {
  EXPECT_EQ(GetUcidTime([] { return std::int64_t{1700000000}; }), 1700000000);
  EXPECT_EQ(GetUcidTime([] { return std::int64_t{1} << 40; }), INT_MAX);
  const std::int64_t before = std::time(nullptr);
  const std::int32_t now = GetUcidTime();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

TEST(SetPageUcid, StampsThePageAndTheDesignerWhenItIsTheShownPage) {
  auto root = Parse("<g><page name=\"A\" /><page name=\"B\" /></g>");
  TmyXmlNode* a = root->firstChild->firstChild;
  TmyXmlNode* b = a->next;
  TFakeDesigner designer;
  designer.shown = a;
  designer.now = 1234;
  SetPageUcid(designer, b);
  EXPECT_EQ(b->GetAttr("ucid"), "1234");
  EXPECT_EQ(designer.currentUcid, 0);
  SetPageUcid(designer, a);
  EXPECT_EQ(a->GetAttr("ucid"), "1234");
  EXPECT_EQ(designer.currentUcid, 1234);
  SetPageUcid(designer, nullptr);
}

TEST(SetPageUcid, GivesTheSameStampTwiceWithinOneSecond) {
  auto root = Parse("<page name=\"A\" />");
  TmyXmlNode* page = root->firstChild;
  TFakeDesigner designer;
  designer.now = 77;
  SetPageUcid(designer, page);
  const std::string first = page->GetAttr("ucid");
  SetPageUcid(designer, page);
  EXPECT_EQ(page->GetAttr("ucid"), first);
  EXPECT_EQ(first, "77");
}

TEST(CheckTemplateUcid, KeepsThePageWhileItsRecordMatchesTheTemplate) {
  auto root = Parse("<g><page name=\"P\" ucid=\"5\" ucidtf=\"40\" /><page name=\"T\" ucid=\"40\" /></g>");
  TmyXmlNode* page = root->firstChild->firstChild;
  TFakeDesigner designer;
  CheckTemplateUcid(designer, page, page->next, false);
  EXPECT_EQ(page->GetAttr("ucid"), "5");
  EXPECT_TRUE(designer.traces.empty());
}

TEST(CheckTemplateUcid, RenewsThePageAndRecordsTheTemplateAfterItChanged) {
  auto root = Parse("<g><page name=\"P\" ucid=\"5\" ucidtf=\"40\" /><page name=\"T\" ucid=\"41\" /></g>");
  TmyXmlNode* page = root->firstChild->firstChild;
  TFakeDesigner designer;
  designer.now = 900;
  designer.shown = page;
  CheckTemplateUcid(designer, page, page->next, false);
  EXPECT_EQ(page->GetAttr("ucid"), "900");
  EXPECT_EQ(page->GetAttr("ucidtf"), "41");
  EXPECT_EQ(designer.currentUcid, 900);
  ASSERT_EQ(designer.traces.size(), 1u);
  EXPECT_EQ(designer.traces[0], "template 'T' changed 41 != 40");
  // The next compilation finds them equal again.
  designer.now = 950;
  CheckTemplateUcid(designer, page, page->next, false);
  EXPECT_EQ(page->GetAttr("ucid"), "900");
}

TEST(CheckTemplateUcid, TheBackgroundTemplateUsesItsOwnRecord) {
  auto root = Parse("<g><page name=\"P\" ucid=\"5\" ucidtf=\"41\" /><page name=\"B\" ucid=\"41\" /></g>");
  TmyXmlNode* page = root->firstChild->firstChild;
  TFakeDesigner designer;
  CheckTemplateUcid(designer, page, page->next, true);
  EXPECT_EQ(page->GetAttr("ucid"), "1000");
  EXPECT_EQ(page->GetAttr("ucidtb"), "41");
  EXPECT_EQ(page->GetAttr("ucidtf"), "41");
}

TEST(CheckTemplateUcid, AbsentStampsCountAsEqualAndMissingPagesDoNothing) {
  auto root = Parse("<g><page name=\"P\" ucid=\"5\" /><page name=\"T\" /></g>");
  TmyXmlNode* page = root->firstChild->firstChild;
  TFakeDesigner designer;
  CheckTemplateUcid(designer, page, page->next, false);
  CheckTemplateUcid(designer, page, page->next, true);
  CheckTemplateUcid(designer, nullptr, page->next, false);
  CheckTemplateUcid(designer, page, nullptr, false);
  EXPECT_EQ(page->GetAttr("ucid"), "5");
  EXPECT_EQ(page->FindAttr("ucidtf"), nullptr);
  EXPECT_TRUE(designer.traces.empty());
}

TEST(SystemTimeToTm, FillsTheBrokenDownTime) {
  SYSTEMTIME time;
  time.wYear = 2024;
  time.wMonth = 3;
  time.wDayOfWeek = 5;
  time.wDay = 15;
  time.wHour = 13;
  time.wMinute = 45;
  time.wSecond = 30;
  time.wMilliseconds = 999;
  std::tm out;
  out.tm_wday = 3;
  out.tm_yday = 70;
  out.tm_isdst = 1;
  SystemTimeToTm(out, time);
  EXPECT_EQ(out.tm_sec, 30);
  EXPECT_EQ(out.tm_min, 45);
  EXPECT_EQ(out.tm_hour, 13);
  EXPECT_EQ(out.tm_mday, 15);
  EXPECT_EQ(out.tm_mon, 2);
  EXPECT_EQ(out.tm_year, 124);
  EXPECT_EQ(out.tm_wday, 0);
  EXPECT_EQ(out.tm_yday, 0);
  EXPECT_EQ(out.tm_isdst, 0);
}

TEST(AssignIntToStr, WritesSignedDecimals) {
  const struct {
    std::int32_t value;
    const char* text;
  } kCases[] = {{0, "0"}, {42, "42"}, {-7, "-7"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
  for (const auto& c : kCases) {
    std::string text = "old";
    EXPECT_EQ(&AssignIntToStr(c.value, text), &text);
    EXPECT_EQ(text, c.text);
  }
}

}  // namespace
