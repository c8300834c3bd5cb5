// The template engine: holes, escaping by destination, markup copies.

#include "generator/Template.h"

#include <gtest/gtest.h>

#include "core/XmlDocument.h"

namespace {

struct EscapeCase {
  const char* input;
  const char* expected;
};

TEST(EscapeXslAttributeTest, DoublesEveryBraceAndNothingElse) {
  const EscapeCase cases[] = {
      {"", ""},
      {"plain <text> & 'more'", "plain <text> & 'more'"},
      {"{", "{{"},
      {"}", "}}"},
      {"a {b} c", "a {{b}} c"},
      {"{{", "{{{{"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(EscapeXslAttribute(c.input), c.expected) << c.input;
}

TEST(TemplateValuesTest, EachSetterEscapesForItsDestination) {
  TTemplateValues values;
  values.Raw("raw", "{INPUT[1]/@VALUE}").XslAttribute("xsl", "a{b}").JsString("js", "it's \\").Int("n", -12);
  EXPECT_EQ(*values.Find("raw"), "{INPUT[1]/@VALUE}");
  EXPECT_EQ(*values.Find("xsl"), "a{{b}}");
  EXPECT_EQ(*values.Find("js"), "it\\'s \\\\");
  EXPECT_EQ(*values.Find("n"), "-12");
  EXPECT_EQ(values.Find("missing"), nullptr);
}

TEST(ScriptTemplateTest, PartsEndLinesWithCrLfAndJoinBackslashLines) {
  TScriptTemplate t("test.js", "file comment\n@@ one\nvar a = %%a%%;\nif(x) \\\n{y();}\n@@ two\nz();\n");
  EXPECT_EQ(t.Fill("one", TTemplateValues().Raw("a", "1")), "var a = 1;\r\nif(x) {y();}\r\n");
  EXPECT_EQ(t.Fill("two"), "z();\r\n");
}

TEST(ScriptTemplateTest, UnfilledUnknownAndMissingPartsNameTemplateAndHole) {
  TScriptTemplate t("test.js", "@@ one\nvar a = %%a%%;\n@@ open\nb = %%a%%; c = %%b\n");
  struct Case {
    TTemplateValues values;
    const char* part;
    const char* message;
  };
  const Case cases[] = {
      {TTemplateValues(), "one", "test.js part 'one': hole 'a' is not filled"},
      {TTemplateValues().Raw("a", "1").Raw("b", "2"), "one", "test.js part 'one': no hole 'b'"},
      {TTemplateValues(), "three", "test.js: no part 'three'"},
      {TTemplateValues().Raw("a", "1"), "open", "test.js part 'open': unclosed hole"},
  };
  for (const Case& c : cases) {
    try {
      t.Fill(c.part, c.values);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const ETemplateError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(ScriptTemplateTest, ValuesUsedAgainAreCheckedAgainstEachPartAlone) {
  TScriptTemplate t("test.js", "@@ both\n%%a%% %%b%%\n@@ one\n%%a%%\n");
  const TTemplateValues values = TTemplateValues().Raw("a", "1").Raw("b", "2");
  std::string stream = t.Fill("both", values);
  EXPECT_THROW(t.AppendTo(stream, "one", values), ETemplateError);
  EXPECT_EQ(stream, "1 2\r\n");
}

TEST(MarkupTemplateTest, CopiesFilledNodesAndDropsEmptyOptionalAttributes) {
  TMarkupTemplate t("test.xsl",
                    "<parts><part name=\"div\"><div title=\"%%hint?%%\" style=\"top: %%top%%px;\">%%caption%%"
                    "<img src=\"x\" /></div></part></parts>");
  TmyXmlNode root("Wrapper");
  TmyXmlNode* first =
      t.AppendTo(&root, "div", TTemplateValues().XslAttribute("hint", "").Int("top", 8).Raw("caption", "A<B"));
  TmyXmlNode* second =
      t.AppendTo(&root, "div", TTemplateValues().XslAttribute("hint", "{x}").Int("top", 16).Raw("caption", "C"));
  TmyXMLParser writer;
  writer.progress = false;
  EXPECT_EQ(first->next, second);
  EXPECT_EQ(writer.WriteNode(&root, 0),
            "<div style=\"top: 8px;\">\r\n\t<img src=\"x\" />\r\nA&lt;B</div>\r\n"
            "<div title=\"{{x}}\" style=\"top: 16px;\">\r\n\t<img src=\"x\" />\r\nC</div>\r\n");
}

TEST(MarkupTemplateTest, AnUnfilledHoleInAnAttributeIsAnError) {
  TMarkupTemplate t("test.xsl", "<parts><part name=\"a\"><a href=\"%%href%%\" /></part></parts>");
  TmyXmlNode root("Wrapper");
  EXPECT_THROW(t.AppendTo(&root, "a", TTemplateValues()), ETemplateError);
  EXPECT_THROW(t.AppendTo(&root, "b", TTemplateValues()), ETemplateError);
  // A value without its hole: nothing of the failed use stays behind.
  EXPECT_THROW(t.AppendTo(&root, "a", TTemplateValues().Raw("href", "x").Raw("title", "y")), ETemplateError);
  EXPECT_EQ(root.firstChild, nullptr);
}

}  // namespace
