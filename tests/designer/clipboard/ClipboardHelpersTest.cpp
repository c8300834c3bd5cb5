// The clipboard's helpers without the window: z-order sequences, the edit
// pop-up's mapping of Unicode to 8-bit text, common prefixes, plain image
// names, reading clipboard texts, renames in a tree, and the images that a
// copy collects and a paste imports.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Crc.h"
#include "core/Base64.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/ClipboardImages.h"
#include "designer/ClipboardText.h"
#include "designer/EditFieldCommands.h"
#include "designer/PageClipboard.h"
#include "designer/ReferenceRenames.h"
#include "designer/ZOrder.h"
#include "platform/win/Resources.h"
#include "tests/support/TempFolder.h"

namespace {

// The English UI texts while it lives: the refusals are read from them.
struct TEnglishTexts {
  TEnglishTexts() { EXPECT_TRUE(LoadDefaultUiTable(HInstance)); }
  ~TEnglishTexts() { FreeUiTable(); }
  TEnglishTexts(const TEnglishTexts&) = delete;
  TEnglishTexts& operator=(const TEnglishTexts&) = delete;
};

std::unique_ptr<TmyXmlNode> Parse(const std::string& text) {
  TmyXMLParser parser;
  EXPECT_TRUE(parser.LoadFromString(text.c_str()));
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  EXPECT_EQ(parser.errorWord, 0u) << text;
  return root;
}

std::string Write(TmyXmlNode* root) {
  TmyXMLParser writer;
  writer.progress = false;
  writer.indent = false;
  std::string text = writer.WriteNode(root, 0);
  std::string compact;
  for (char c : text)
    if (c != '\r' && c != '\n') compact += c;
  return compact;
}

// "PQR" with selected letters in lower case -> the new order in upper case.
std::string Reorder(const std::string& objects, TZOrderCommand command) {
  std::vector<bool> selected;
  for (char c : objects) selected.push_back(std::islower(static_cast<unsigned char>(c)) != 0);
  std::string result;
  for (int index : ReorderZ(selected, command))
    result += static_cast<char>(std::toupper(static_cast<unsigned char>(objects[static_cast<std::size_t>(index)])));
  return result;
}

}  // namespace

TEST(ZOrder, SequencesOfTheFourCommands) {
  struct Row {
    const char* objects;
    TZOrderCommand command;
    const char* expected;
  };
  const Row rows[] = {
      {"pqR", TZOrderCommand::BringForward, "RPQ"},   {"PqR", TZOrderCommand::BringForward, "PRQ"},
      {"PQr", TZOrderCommand::BringForward, "PQR"},  // the top object stays on top
      {"pQr", TZOrderCommand::BringForward, "QPR"},   {"Pqr", TZOrderCommand::SendBackward, "QRP"},
      {"pQR", TZOrderCommand::SendBackward, "PQR"},  // the bottom object stays
      {"PqRs", TZOrderCommand::SendBackward, "QPSR"}, {"pQrS", TZOrderCommand::BringToFront, "QSPR"},
      {"PqRs", TZOrderCommand::SendToBack, "QSPR"},   {"PQR", TZOrderCommand::BringToFront, "PQR"},
      {"", TZOrderCommand::SendBackward, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(Reorder(row.objects, row.command), row.expected) << row.objects;
}

TEST(EditFieldPaste, UnicodeToProjectBytes) {
  struct Row {
    std::u16string text;
    int codePage;
    std::string expected;
  };
  const Row rows[] = {
      {u"\u0416\u20AC", 1251, "\xC6\x88"},  // Zhe, euro as the circumflex of 1252
      {u"\u015E", 1254, "\xDE"},            // S cedilla as T cedilla of 1250
      {u"\u015F", 1254, "\xFE"},            // s cedilla as t cedilla of 1250
      {u"\u20AC", 1250, "\x80"},            // euro of 1250
      {u"\u4E2D", 1250, "?"},               // unmappable
      {u"\u05D0\u05F2", 1255, "\xE0\xD6"},  // Hebrew letters by rule
      {u"\u018F\u0259\u20AA", 1250, "\xC6\xE6\x99"},
      {u"\u03A9", 1250, "\xD9"},                   // Greek capital omega of 1253
      {u"\u2122\u2116", 1250, "\x99\xB9"},         // trade mark of 1250, numero of 1251
      {u"ab\u00E9", 1250, "ab\xE9"},               // Latin-1 as it is
      {std::u16string(u"ab\0cd", 5), 1250, "ab"},  // up to the first 0
  };
  for (const Row& row : rows)
    EXPECT_EQ(PastedUnicodeToProjectText(row.text, row.codePage), row.expected) << static_cast<int>(row.text[0]);
  EXPECT_EQ(PastedUnicodeToProjectText(std::u16string(3000, u'x'), 1250).size(), kMaxPastedUnits);
}

TEST(EditFieldPaste, SingleCodeUnits) {
  EXPECT_EQ(WideCharToAnsiByte(u'A'), 'A');
  EXPECT_EQ(static_cast<unsigned char>(WideCharToAnsiByte(0x05B0)), 0xC0);
  EXPECT_EQ(static_cast<unsigned char>(WideCharToAnsiByte(0x05F4)), 0xD8);
  EXPECT_EQ(WideCharToAnsiByte(0x05EB), '?');                               // between the two Hebrew runs
  EXPECT_EQ(WideCharToAnsiByte(0x0410 + 0x100), '?');                       // Cyrillic outside the ranges
  EXPECT_EQ(static_cast<unsigned char>(WideCharToAnsiByte(0x0104)), 0xA5);  // A ogonek of 1250
  EXPECT_EQ(static_cast<unsigned char>(WideCharToAnsiByte(0x2014)), 0x97);  // em dash
}

TEST(EditBase, CommonPrefixLength) {
  EXPECT_EQ(CommonPrefixLength("Tank1.Level", "TANK1.Temp"), 6u);
  EXPECT_EQ(CommonPrefixLength("abc", "xbc"), 0u);
  EXPECT_EQ(CommonPrefixLength("abc", "ab"), 2u);
  EXPECT_EQ(CommonPrefixLength("", "ab"), 0u);
  EXPECT_EQ(CommonPrefixLength("Motor", "motor"), 5u);
}

TEST(FindObject, PageOfTheFirstObjectWithTheVariable) {
  auto root = Parse(
      "<web><group><page name=\"A.XML\"><object><label variable=\"x\" /></object></page>"
      "<page name=\"B.XML\"><object><edit variable=\"Tank.Level\" /></object></page></group></web>");
  EXPECT_EQ(FindObjectByVariable(root.get(), "Tank.Level"), "B.XML");
  EXPECT_EQ(FindObjectByVariable(root.get(), "tank.level"), "");
  EXPECT_EQ(FindObjectByVariable(root.get(), "nothing"), "");
  auto flat = Parse("<x variable=\"v\" />");
  EXPECT_EQ(FindObjectByVariable(flat.get(), "v"), "");
}

TEST(ClipboardImages, PlainImageNames) {
  for (const char* good : {"A.PNG", "PUMP1.JPG", "README", "a-b_c.gi", "12345678.BMP", "X.P"})
    EXPECT_TRUE(IsPlainImageName(good)) << good;
  for (const char* bad : {"", "..", "..\\A.PNG", "../A.PNG", "C:A.PNG", "IMG\\A.PNG", "123456789.PNG", "A.PNGX",
                          "A.B.C", ".PNG", "A.", "A B.PNG", "A*.PNG", "A?.PNG", "A|.PNG", "A\xE9.PNG"})
    EXPECT_FALSE(IsPlainImageName(bad)) << bad;
}

TEST(PageFileStem, CutAt31CharactersAndTheFirstDot) {
  EXPECT_EQ(FileStem("PAGE3.XML"), "PAGE3");
  EXPECT_EQ(FileStem("noext"), "noext");
  EXPECT_EQ(FileStem(std::string(40, 'A') + ".XML"), std::string(31, 'A'));
  EXPECT_EQ(FileStem("a.b.c"), "a");
}

TEST(ClipboardText, RefusesWhatIsNotTheDesignersOwn) {
  const TEnglishTexts texts;
  struct Row {
    std::string text;
    std::string fault;
  };
  const Row rows[] = {
      {"hello world", "The clipboard does not hold a designer copy."},
      {"<html><body /></html>", "The clipboard does not hold a designer copy."},
      {"<clipboard><object>", "The clipboard text is not well-formed XML (line 1)."},
      {"<clipboard a=b />", "The clipboard text is not well-formed XML (line 1)."},
      {std::string("<clipboard>\0</clipboard>", 24), "The clipboard does not hold a designer copy."},
      {"<clipboard " + std::string(kMaxClipboardText, ' ') + "/>",
       "The clipboard text is too large (" + std::to_string(kMaxClipboardText + 13) + " bytes)."},
  };
  for (const Row& row : rows) {
    const TClipboardDocument document = ReadClipboardText(row.text, {"clipboard"});
    EXPECT_EQ(document.top, nullptr) << row.text.substr(0, 40);
    EXPECT_EQ(document.fault, row.fault) << row.text.substr(0, 40);
  }
  const TClipboardDocument empty = ReadClipboardText("", {"clipboard"});
  EXPECT_EQ(empty.top, nullptr);
  EXPECT_EQ(empty.fault, "");
  const TClipboardDocument good =
      ReadClipboardText("<!--c--><template><object /></template>", {"clipboard", "template"});
  ASSERT_NE(good.top, nullptr);
  EXPECT_EQ(good.top->name, "template");
}

TEST(ReferenceRenames, ImageReferencesFollowExactly) {
  auto root = Parse(
      "<web><group><page background=\"X.PNG\"><object><image on=\"X.PNG\" off=\"X.PNG\" /></object>"
      "<object><imagebtn on=\"Y.PNG\" off=\"X.PNG\" /></object><object><picture img=\"x.png\" /></object>"
      "<object><picture img=\"X.PNG\" /></object><object><mulimg><img name=\"X.PNG\" /><img name=\"Z.PNG\" />"
      "</mulimg></object><object><canvas><img longname=\"X.PNG\" /></canvas></object></page></group></web>");
  EXPECT_EQ(RenameImageReferencesAfter(root.get(), "X.PNG", "X1.PNG"), 6);
  EXPECT_EQ(Write(root.get()),
            "<web><group><page background=\"X1.PNG\"><object><image on=\"X1.PNG\" off=\"X1.PNG\" /></object>"
            "<object><imagebtn on=\"Y.PNG\" off=\"X1.PNG\" /></object><object><picture img=\"x.png\" /></object>"
            "<object><picture img=\"X1.PNG\" /></object><object><mulimg><img name=\"X1.PNG\" /><img name=\"Z.PNG\" />"
            "</mulimg></object><object><canvas><img longname=\"X.PNG\" /></canvas></object></page></group></web>");
}

TEST(ReferenceRenames, PageReferencesInLinksAlarmsUsersAndAutologins) {
  auto root = Parse(
      "<web><group><page name=\"NEW.XML\"><object><label href=\"OLD.XML\" /></object>"
      "<object><label href=\"old.xml\" /></object></page></group>"
      "<alarms><alarm page=\"OLD.XML\" /><other page=\"OLD.XML\" /></alarms>"
      "<security><user page=\"OLD.XML\" /></security><autologin><mac page=\"OLD.XML\" /></autologin>"
      "<alarms><alarm page=\"OLD.XML\" /></alarms></web>");
  EXPECT_EQ(RenamePageReferencesBelow(root.get(), "OLD.XML", "NEW.XML"), 4);
  const std::string text = Write(root.get());
  EXPECT_NE(text.find("<label href=\"NEW.XML\" />"), std::string::npos);
  EXPECT_NE(text.find("<label href=\"old.xml\" />"), std::string::npos);
  EXPECT_NE(text.find("<alarm page=\"NEW.XML\" /><other page=\"OLD.XML\" />"), std::string::npos);
  EXPECT_NE(text.find("<user page=\"NEW.XML\" />"), std::string::npos);
  EXPECT_NE(text.find("<mac page=\"NEW.XML\" />"), std::string::npos);
  // Only the first list of alarms counts.
  EXPECT_NE(text.find("<alarms><alarm page=\"OLD.XML\" /></alarms>"), std::string::npos);
}

namespace {

// A project image folder in a temporary folder with its `images` list.
class ImageProject {
 public:
  explicit ImageProject(const std::string& listText) : list_(Parse(listText)) {
    project.images = list_->firstChild;
    project.imagePath = [this](const std::string& name) { return folder.Native("Images/" + name); };
    project.ensureImageFolder = [this] { std::filesystem::create_directories(folder.Path() / "Images"); };
  }
  void Put(const std::string& name, const std::string& bytes) { folder.Write("Images/" + name, bytes); }
  std::string Get(const std::string& name) const { return folder.Read("Images/" + name); }
  std::string List() const { return Write(list_.get()); }

  testsupport::TempFolder folder{"clipimg"};
  TClipboardImageProject project;
  TEnglishTexts texts;

 private:
  std::unique_ptr<TmyXmlNode> list_;
};

std::int32_t SignedCrc(const std::string& bytes) {
  return static_cast<std::int32_t>(Crc32::Of(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
}

std::string Img(const std::string& name, const std::string& bytes) {
  return "<img name=\"" + name + "\" type=\"png\" height=\"2\" width=\"3\" longname=\"" + name + "L\" crc=\"" +
         std::to_string(SignedCrc(bytes)) + "\">" + Base64Encode(bytes) + "</img>";
}

}  // namespace

TEST(ClipboardImages, CopyListsEachImageOnceWithItsFile) {
  ImageProject p(
      "<images><img name=\"A.PNG\" type=\"png\" height=\"2\" width=\"3\" longname=\"alpha\" />"
      "<img name=\"B.PNG\" type=\"png\" height=\"4\" width=\"5\" longname=\"beta\" />"
      "<img name=\"C.GIF\" type=\"gif\" height=\"6\" width=\"7\" longname=\"gamma\" /></images>");
  p.Put("A.PNG", "aaaa");
  auto root = Parse(
      "<clipboard><page background=\"B.PNG\" /><object><picture img=\"A.PNG\" /></object>"
      "<object><image on=\"A.PNG\" off=\"GONE.PNG\" /></object><object><canvas><img longname=\"gamma.gif\" />"
      "</canvas></object><images /></clipboard>");
  TmyXmlNode* clipboard = root->firstChild;
  CollectClipboardImages(clipboard, clipboard->lastChild, p.project);
  EXPECT_EQ(Write(clipboard->lastChild),
            "<img name=\"B.PNG\" type=\"png\" height=\"4\" width=\"5\" longname=\"beta\"></img>"
            "<img name=\"A.PNG\" type=\"png\" height=\"2\" width=\"3\" longname=\"alpha\" crc=\"" +
                std::to_string(SignedCrc("aaaa")) + "\">" + Base64Encode(std::string("aaaa")) +
                "</img><img longname=\"gamma\" name=\"C.GIF\" type=\"gif\" height=\"6\" width=\"7\"></img>");
}

TEST(ClipboardImages, PasteIntoTheSameProjectImportsNothing) {
  ImageProject p("<images><img name=\"A.PNG\" /></images>");
  p.Put("A.PNG", "mine");
  auto root = Parse("<clipboard src=\"C:\\P\\\"><object><picture img=\"A.PNG\" /></object><images>" +
                    Img("A.PNG", "theirs") + "</images></clipboard>");
  const TClipboardImageReport report = ImportClipboardImages(root->firstChild, "C:\\P\\", p.project);
  EXPECT_TRUE(report.renamed.empty());
  EXPECT_EQ(p.Get("A.PNG"), "mine");
  EXPECT_EQ(p.List(), "<images><img name=\"A.PNG\" /></images>");
}

TEST(ClipboardImages, ADifferentImageOfTheSameNameArrivesCountedUp) {
  ImageProject p("<images><img name=\"A.PNG\" /><img name=\"B.PNG\" /></images>");
  p.Put("A.PNG", "mine");
  p.Put("B.PNG", "same");
  auto root = Parse(
      "<clipboard src=\"C:\\Other\\\"><object><picture img=\"A.PNG\" /></object>"
      "<object><picture img=\"B.PNG\" /></object><images>" +
      Img("A.PNG", "theirs") + Img("B.PNG", "same") + Img("N.PNG", "new") + "</images></clipboard>");
  const TClipboardImageReport report = ImportClipboardImages(root->firstChild, "C:\\P\\", p.project);
  EXPECT_EQ(report.renamed, std::vector<std::string>{"\"A.PNG\" -> \"A1.PNG\""});
  EXPECT_TRUE(report.skipped.empty());
  EXPECT_EQ(p.Get("A.PNG"), "mine");
  EXPECT_EQ(p.Get("A1.PNG"), "theirs");
  EXPECT_EQ(p.Get("N.PNG"), "new");
  EXPECT_EQ(p.List(),
            "<images><img name=\"A.PNG\" /><img name=\"B.PNG\" />"
            "<img name=\"A1.PNG\" type=\"png\" height=\"2\" width=\"3\" longname=\"A.PNGL\" />"
            "<img name=\"N.PNG\" type=\"png\" height=\"2\" width=\"3\" longname=\"N.PNGL\" /></images>");
  const std::string tree = Write(root.get());
  EXPECT_NE(tree.find("<picture img=\"A1.PNG\" />"), std::string::npos);
  EXPECT_NE(tree.find("<picture img=\"B.PNG\" />"), std::string::npos);
}

TEST(ClipboardImages, TheSearchStopsAtAnIdenticalCountedImage) {
  ImageProject p("<images><img name=\"A.PNG\" /><img name=\"A1.PNG\" /></images>");
  p.Put("A.PNG", "mine");
  p.Put("A1.PNG", "theirs");
  auto root = Parse("<clipboard src=\"x\"><object><picture img=\"A.PNG\" /></object><images>" + Img("A.PNG", "theirs") +
                    "</images></clipboard>");
  ImportClipboardImages(root->firstChild, "y", p.project);
  EXPECT_EQ(p.List(), "<images><img name=\"A.PNG\" /><img name=\"A1.PNG\" /></images>");
  EXPECT_NE(Write(root.get()).find("<picture img=\"A1.PNG\" />"), std::string::npos);
}

TEST(ClipboardImages, UnsafeNamesAreSkippedAndNothingLeavesTheFolder) {
  ImageProject p("<images />");
  p.folder.Write("outside.txt", "keep");
  auto root = Parse("<clipboard src=\"x\"><object><picture img=\"..\\outside.txt\" /></object><images>" +
                    Img("..\\outside.txt", "evil") + Img("../outside.txt", "evil") + Img("C:X.PNG", "evil") +
                    Img("SUB\\X.PNG", "evil") + Img("LONGNAME12.PNG", "evil") + "</images></clipboard>");
  const TClipboardImageReport report = ImportClipboardImages(root->firstChild, "y", p.project);
  ASSERT_EQ(report.skipped.size(), 5u);
  EXPECT_EQ(report.skipped[0], "\"..\\outside.txt\": not a plain 8.3 file name");
  EXPECT_EQ(p.folder.Read("outside.txt"), "keep");
  EXPECT_EQ(p.List(), "<images />");
  EXPECT_NE(Write(root.get()).find("img=\"..\\outside.txt\""), std::string::npos);
}

TEST(ClipboardImages, AnUnlistedFileIsNotOverwritten) {
  ImageProject p("<images />");
  p.Put("A.PNG", "stray");
  auto root = Parse("<clipboard src=\"x\"><object><picture img=\"a.png\" /></object><images>" + Img("a.png", "theirs") +
                    "</images></clipboard>");
  const TClipboardImageReport report = ImportClipboardImages(root->firstChild, "y", p.project);
  EXPECT_EQ(report.renamed, std::vector<std::string>{"\"a.png\" -> \"a1.png\""});
  EXPECT_EQ(p.Get("A.PNG"), "stray");
  EXPECT_EQ(p.Get("a1.png"), "theirs");
  // The list, read as an empty element, is written with its new entry.
  EXPECT_EQ(p.List(),
            "<images><img name=\"a1.png\" type=\"png\" height=\"2\" width=\"3\" longname=\"a.pngL\" /></images>");
}

TEST(ClipboardImages, ANameThatCannotBeCountedIsSkipped) {
  ImageProject p("<images><img name=\"LOGO\" /></images>");
  p.Put("LOGO", "mine");
  auto root = Parse("<clipboard src=\"x\"><object><picture img=\"LOGO\" /></object><images>" + Img("LOGO", "theirs") +
                    "</images></clipboard>");
  const TClipboardImageReport report = ImportClipboardImages(root->firstChild, "y", p.project);
  EXPECT_EQ(report.skipped,
            std::vector<std::string>{"\"LOGO\": a different image has this name and no free name follows it"});
  EXPECT_EQ(p.Get("LOGO"), "mine");
  EXPECT_EQ(p.List(), "<images><img name=\"LOGO\" /></images>");
}
