// A page with one object of every kind (texts in two languages, placeholders,
// every optional attribute) is read onto a design surface and written back
// byte for byte as it was; so is a page with objects of kinds the designer
// does not know.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/MessageBox.h"
#include "tests/grid/GridTestSupport.h"

using namespace gridtest;

TEST(GoldenRoundTrip, EveryKindWritesBackByteForByte) {
  const std::string fixture = ReadFile(SourcePath("tests/grid/data/golden_page.xml"));
  ASSERT_FALSE(fixture.empty());
  TDesignerFixture designer;
  EXPECT_EQ(RoundTripPage(designer, fixture), fixture);
  EXPECT_TRUE(designer.designer()->FLoadFailures.empty());
}

TEST(GoldenRoundTrip, AttributesAndChildrenTheReaderIgnoresAreDropped) {
  const std::string fixture = ReadFile(SourcePath("tests/grid/data/golden_page.xml"));
  TParsed parsed(fixture);
  ASSERT_NE(parsed.root, nullptr);
  TmyXmlNode* page = parsed.root->FindChild("page");
  int index = 0;
  for (TmyXmlNode* object = page->firstChild; object != nullptr; object = object->next, ++index) {
    object->AppendAttr("foo", "bar");
    object->AppendAttr("x", "99");
    object->AddChild("extra")->closed = true;
    if (TmyXmlNode* lang = object->FindChild("lang")) lang->SetAttr("stale", "1");
    TmyXmlNode* kind = object->FindChild("lang") != nullptr ? object->firstChild->next : object->firstChild;
    if (kind->name == "picture" || kind->name == "camera") {
      kind->AppendAttr("variable", "Level");
      kind->AppendAttr("type", "SINT");
    }
    if (kind->name == "edit") kind->SetAttr("width", "999");
    if (kind->name == "label") {
      kind->AppendAttr("back", "77");
      kind->SetAttr("variable", "Level");  // labels read no variable
      kind->SetAttr("type", "SINT");
    }
    if (kind->name == "mulimg") kind->AddChild("note")->closed = true;
  }
  TDesignerFixture designer;
  designer.LoadAndWriteBack(page);
  EXPECT_EQ(WriteTree(parsed.root.get()), fixture);
}

TEST(GoldenRoundTrip, ObjectsOfUnknownKindsWriteBackByteForByte) {
  const std::string fixture = ReadFile(SourcePath("tests/grid/data/unknown_kinds_page.xml"));
  ASSERT_FALSE(fixture.empty());
  TDesignerFixture designer;
  std::string shown;
  const int handler = AddMessageBoxHandler("", [&](const MessageBoxRecord& box) {
    shown = box.text;
    return 0;
  });
  const std::string written = RoundTripPage(designer, fixture);
  RemoveMessageBoxHandler(handler);
  EXPECT_EQ(written, fixture);
  const std::vector<std::string> failures = {"Object 1: unknown kind \"gauge\"", "Object 3: no kind element",
                                             "Object 4: no kind element", "Object 5: unknown kind \"slider\""};
  EXPECT_EQ(designer.designer()->FLoadFailures, failures);
  for (const std::string& failure : failures) EXPECT_NE(shown.find(failure), std::string::npos) << failure;
}
