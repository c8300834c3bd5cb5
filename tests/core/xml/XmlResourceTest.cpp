// Documents read from the module's embedded resources.

#include <gtest/gtest.h>

#include <memory>

#include "core/XmlResource.h"
#include "platform/win/Resources.h"
#include "tests/core/xml/XmlTestUtil.h"

namespace {

const unsigned char kTemplate[] = "<xsl:stylesheet version=\"1.0\"><xsl:template match=\"/\"/></xsl:stylesheet>";
// Exactly its length: no NUL of its own after the last byte.
const unsigned char kCut[] = {'<', 'a', '>', 'x', '<', '/', 'a', '>', '<', 'b'};

void RegisterTestResources() {
  static const EmbeddedResource table[] = {
      {"TEST_XSL", "#10", kTemplate, sizeof kTemplate - 1},
      {"TEST_CUT", "#10", kCut, sizeof kCut},
      {"TEST_EMPTY", "#10", kCut, 0},
      {"TEST_ICON", "#3", kTemplate, sizeof kTemplate - 1},
  };
  static bool done = false;
  if (!done) RegisterEmbeddedResources(table, sizeof table / sizeof table[0]);
  done = true;
}

TEST(XmlResource, LoadsAndParsesRawData) {
  RegisterTestResources();
  TmyXMLParser doc;
  std::unique_ptr<TmyXmlNode> root(LoadXmlResource(&doc, "test_xsl"));  // names compare without case
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(doc.errorWord, 0u);
  EXPECT_EQ(xmltest::ChildNames(root.get()), "xsl:stylesheet");
  EXPECT_EQ(root->firstChild->firstChild->GetAttr("match"), "/");

  std::unique_ptr<TmyXmlNode> cut(LoadXmlResource(&doc, "TEST_CUT"));
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(xmltest::ChildNames(cut.get()), "a");  // reading ended with the top element
  std::unique_ptr<TmyXmlNode> empty(LoadXmlResource(&doc, "TEST_EMPTY"));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->firstChild, nullptr);
}

TEST(XmlResource, MissingResourceKeepsTheBuffer) {
  RegisterTestResources();
  TmyXMLParser doc;
  EXPECT_EQ(LoadXmlResource(&doc, "NO_SUCH_RESOURCE"), nullptr);
  EXPECT_EQ(doc.Parse(), nullptr);                         // still no buffer
  EXPECT_EQ(LoadXmlResource(&doc, "TEST_ICON"), nullptr);  // another type
  ASSERT_TRUE(doc.LoadFromString("<kept/>"));
  EXPECT_EQ(LoadXmlResource(&doc, "NO_SUCH_RESOURCE"), nullptr);
  std::unique_ptr<TmyXmlNode> root(doc.Parse());
  EXPECT_EQ(xmltest::ChildNames(root.get()), "kept");
  EXPECT_EQ(LoadXmlResource(nullptr, "TEST_XSL"), nullptr);
}

}  // namespace
