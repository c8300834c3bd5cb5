// The project's picture list: the cursor, the lookups by name (exact case)
// and by long name, the long name of a picture, and the list helpers.

#include <gtest/gtest.h>

#include <memory>

#include "core/XmlDocument.h"
#include "generator/CompileState.h"
#include "generator/ProjectImages.h"

namespace {

constexpr const char* kImages =
    "<images>"
    "<img name=\"PUMP.PNG\" type=\"png\" longname=\"Pump running\" />"
    "<img name=\"pump.png\" type=\"png\" longname=\"Pump small\" />"
    "<img name=\"VALVE.GIF\" type=\"gif\" longname=\"Valve\" />"
    "<img name=\"NOLONG.BMP\" type=\"bmp\" />"
    "</images>";

class ProjectImagesLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    parser_.LoadFromString(kImages);
    root_.reset(parser_.Parse());
    ASSERT_EQ(parser_.errorWord, 0u);
    images_ = std::make_unique<TProjectImages>(root_->FindChild("images"), project_, state_, nullptr);
  }
  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> root_;
  TCompileProject project_;
  TCompileState state_;
  std::unique_ptr<TProjectImages> images_;
};

std::string NameOf(const TmyXmlNode* node) { return node != nullptr ? node->GetAttr("name") : "(none)"; }

}  // namespace

TEST_F(ProjectImagesLookupTest, FindImageNodeComparesNamesExactly) {
  const struct {
    const char* name;
    const char* found;
  } kNames[] = {
      {"PUMP.PNG", "PUMP.PNG"},   {"pump.png", "pump.png"}, {"Pump.png", "(none)"},
      {"VALVE.GIF", "VALVE.GIF"}, {"VALVE", "(none)"},      {"", "(none)"},
  };
  for (const auto& n : kNames) EXPECT_EQ(NameOf(images_->FindImageNode(n.name)), n.found) << n.name;
}

TEST(ProjectImageLookupTest, CommentsInstructionsAndNamelessNodesAreNoImages) {
  TmyXMLParser parser;
  parser.LoadFromString(
      "<images><!-- pictures --><?note ?><img type=\"png\" longname=\"No name\" />"
      "<img name=\"PUMP.PNG\" type=\"png\" longname=\"Pump\" /></images>");
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  ASSERT_EQ(parser.errorWord, 0u);
  const TmyXmlNode* images = root->FindChild("images");
  ASSERT_NE(images, nullptr);
  ASSERT_TRUE(images->firstChild != nullptr && images->firstChild->comment);
  ASSERT_TRUE(images->firstChild->next != nullptr && images->firstChild->next->instruction);
  const struct {
    const char* name;
    const char* found;
  } kNames[] = {{"", "(none)"}, {"PUMP.PNG", "PUMP.PNG"}, {"pump.png", "(none)"}, {"pictures", "(none)"}};
  for (const auto& n : kNames) EXPECT_EQ(NameOf(FindImageNode(images, n.name)), n.found) << n.name;
  EXPECT_EQ(FindImageNode(nullptr, "PUMP.PNG"), nullptr);
  TCompileProject project;
  TCompileState state;
  TProjectImages list(root->FindChild("images"), project, state, nullptr);
  EXPECT_EQ(list.FindImageNode(""), nullptr);
  EXPECT_EQ(list.CopyProjectImage("", "/tmp\\"), nullptr);
  EXPECT_EQ(state.compileErrors, 0u);
}

TEST_F(ProjectImagesLookupTest, FindImageByLongNameJoinsLongNameAndType) {
  const struct {
    const char* text;
    const char* found;
  } kTexts[] = {
      {"Pump running.png", "PUMP.PNG"}, {"Pump small.png", "pump.png"}, {"Valve.gif", "VALVE.GIF"},
      {".bmp", "NOLONG.BMP"},           {"Valve.GIF", "(none)"},        {"Valve", "(none)"},
  };
  for (const auto& t : kTexts) EXPECT_EQ(NameOf(images_->FindImageByLongName(t.text)), t.found) << t.text;
}

TEST_F(ProjectImagesLookupTest, GetImageLongNameIsEmptyForAnUnknownName) {
  EXPECT_EQ(images_->GetImageLongName("PUMP.PNG"), "Pump running");
  EXPECT_EQ(images_->GetImageLongName("pump.png"), "Pump small");
  EXPECT_EQ(images_->GetImageLongName("NOLONG.BMP"), "");
  EXPECT_EQ(images_->GetImageLongName("MISSING.PNG"), "");
}

TEST_F(ProjectImagesLookupTest, NextImageNodeWalksTheListWithOneCursor) {
  std::vector<std::string> names;
  for (TmyXmlNode* node = images_->NextImageNode(true); node != nullptr; node = images_->NextImageNode(false))
    names.push_back(NameOf(node));
  EXPECT_EQ(names, (std::vector<std::string>{"PUMP.PNG", "pump.png", "VALVE.GIF", "NOLONG.BMP"}));
  EXPECT_EQ(images_->NextImageNode(false), nullptr);
  EXPECT_EQ(NameOf(images_->NextImageNode(true)), "PUMP.PNG");
  EXPECT_EQ(NameOf(images_->NextImageNode(false)), "pump.png");
}

TEST(ProjectImagesWithoutListTest, EveryLookupFindsNothing) {
  TCompileProject project;
  TCompileState state;
  TProjectImages images(nullptr, project, state, nullptr);
  EXPECT_EQ(images.NextImageNode(true), nullptr);
  EXPECT_EQ(images.NextImageNode(false), nullptr);
  EXPECT_EQ(images.FindImageNode("PUMP.PNG"), nullptr);
  EXPECT_EQ(images.FindImageByLongName("Pump running.png"), nullptr);
  EXPECT_EQ(images.GetImageLongName("PUMP.PNG"), "");
  EXPECT_EQ(images.CopyProjectImage("PUMP.PNG", "/tmp\\"), nullptr);
  EXPECT_EQ(state.compileErrors, 0u);
}

TEST(ListHelpersTest, CollectAttributeValuesReadsTheNodeAndItsFollowingSiblings) {
  TmyXMLParser parser;
  parser.LoadFromString("<a v=\"1\" /><b /><c v=\"\" /><d v=\"4\" w=\"x\" />");
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  std::unique_ptr<TStringList> all = CollectAttributeValues(root->firstChild, "v");
  EXPECT_EQ(all->Text(), "1\r\n\r\n\r\n4\r\n");
  std::unique_ptr<TStringList> tail = CollectAttributeValues(root->firstChild->next->next->next, "w");
  EXPECT_EQ(tail->Text(), "x\r\n");
  EXPECT_EQ(CollectAttributeValues(nullptr, "v")->Count(), 0);
}

TEST(ListHelpersTest, StringAtIsEmptyOutsideTheList) {
  TStringList list;
  list.Add("zero");
  list.Add("one");
  const struct {
    int index;
    const char* text;
  } kIndexes[] = {{0, "zero"}, {1, "one"}, {2, ""}, {-1, ""}, {1000, ""}};
  for (const auto& i : kIndexes) EXPECT_EQ(StringAt(list, i.index), i.text) << i.index;
}
