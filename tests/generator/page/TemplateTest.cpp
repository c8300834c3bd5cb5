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
  EXPECT_EQ(values.Find("missing"), std::nullopt);
}

TEST(TemplateValuesTest, MoreAndLongerValuesThanAUseSetsAreKeptWhole) {
  // More values than the object holds in itself, texts longer than its room
  // (escaped ones among them), a value set again and one copied from another
  // value while the text moves.
  TScriptTemplate t("test.js",
                    "@@ all\n%%a%%%%b%%%%c%%%%d%%%%e%%%%f%%%%g%%%%h%%%%i%%%%j%%%%k%%%%l%%%%m%%"
                    "|%%long%%|%%xsl%%|%%js%%|%%copy%%\n");
  const std::string text(600, 'r');
  TTemplateValues values;
  values.Int("a", 1).Int("b", 2).Int("c", 3).Int("d", 4).Int("e", 5).Int("f", 6).Int("g", 7).Int("h", 8);
  values.Int("i", 9).Int("j", 10).Int("k", 11).Int("l", 12).Int("m", -13);
  values.Raw("long", text).XslAttribute("xsl", std::string(300, '{')).JsString("js", std::string(300, '\''));
  values.Raw("c", "three").Raw("copy", *values.Find("long"));
  const TTemplateValues copy = values;
  std::string expected = "12three456789101112-13|" + text + "|" + std::string(600, '{') + "|";
  for (int i = 0; i < 300; ++i) expected += "\\'";
  expected += "|" + text + "\r\n";
  EXPECT_EQ(t.Fill("all", values), expected);
  EXPECT_EQ(t.Fill("all", copy), expected);
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

// The written form of a part is what writing its filled copies gives, at every
// depth and for values the writer escapes, including the parts it must copy
// instead (a "&" before a hole, a "#" after one, holes that meet, a comment
// holding "%%", a repeated attribute).
TEST(MarkupTemplateTest, WrittenPartsAreWhatWritingTheCopiesGives) {
  const char* const kParts[] = {
      "<div title=\"%%a?%%\" style=\"top: %%b%%px;\">%%c%%<img src=\"x\" /></div>",
      "<a href=\"%%a%%\">%%b%%</a><span class=\"%%c?%%\" />",
      "<p>x&amp;%%a%%</p><i>%%b%%#</i><b>%%c%%</b>",
      "<p>%%a%%%%b%%</p><i title=\"%%c%%\" />",
      "<!-- %%note%% --><p a=\"%%a%%\" b=\"%%b%%\" c=\"%%c%%\" />",
      "<p x=\"%%a%%\" x=\"%%b%%\">%%c%%</p>",
      "<xsl:if test=\"%%a%%\"><xsl:if test=\"%%b%%\"><img alt=\"%%c?%%\" /></xsl:if></xsl:if>",
  };
  const TTemplateValues kValues[] = {
      // Each starts with "#" and ends with "&", which the writer escapes by
      // what comes before and after them.
      TTemplateValues().Raw("a", "#1 < \"2\" &").Raw("b", "#&#160;\nline&").Raw("c", "#x&"),
      TTemplateValues().Raw("a", "").Raw("b", "").Raw("c", ""),
  };
  TmyXMLParser writer;
  writer.progress = false;
  for (const char* part : kParts) {
    TMarkupTemplate t("test.xsl", std::string("<parts><part name=\"p\">") + part + "</part></parts>");
    for (const TTemplateValues& values : kValues) {
      TmyXmlNode copied("Wrapper");
      TmyXmlNode written("Wrapper");
      TmyXmlNode* copyParent = &copied;
      TmyXmlNode* writeParent = &written;
      for (int depth = 1; depth <= 3; ++depth) {
        t.AppendTo(copyParent, "p", values);
        t.AppendWritten(writeParent, "p", values);
        copyParent = copyParent->AddChild("level");
        writeParent = writeParent->AddChild("level");
      }
      EXPECT_EQ(writer.WriteNode(&written, 0), writer.WriteNode(&copied, 0)) << part;
    }
  }
  // An error is the copy's, and the parent stays as it was.
  TMarkupTemplate t("test.xsl", std::string("<parts><part name=\"p\">") + kParts[0] + "</part></parts>");
  TmyXmlNode root("Wrapper");
  EXPECT_THROW(t.AppendWritten(&root, "p", TTemplateValues().Raw("a", "").Raw("b", "")), ETemplateError);
  EXPECT_EQ(root.firstChild, nullptr);
}

// A written node's text is made for its depth: written anywhere else it would
// be indented wrongly, which the writer refuses.
TEST(MarkupTemplateTest, AWrittenPartMovedToAnotherDepthIsRefused) {
  TMarkupTemplate t("test.xsl", "<parts><part name=\"p\"><p>%%a%%</p></part></parts>");
  TmyXmlNode root("Wrapper");
  TmyXmlNode* level = root.AddChild("level");
  t.AppendWritten(level, "p", TTemplateValues().Raw("a", "x"));
  level->MoveChildrenTo(&root);
  TmyXMLParser writer;
  writer.progress = false;
  EXPECT_THROW(writer.WriteNode(&root, 0), std::logic_error);
}

}  // namespace
