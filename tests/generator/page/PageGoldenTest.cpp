// Golden pages: one small page per object kind and variant, compiled and
// compared byte for byte with data/cases/NAME/expected.{xsl,xml,js}.
// TARNWELL_UPDATE_GOLDEN=1 rewrites the expected files (review the diff).
// The expected files themselves must pass xmllint, render with xsltproc
// (the labels' texts are in the HTML) and pass node --check.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <unistd.h>

#include "core/XmlDocument.h"
#include "tests/generator/page/PageHarness.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PageDataDir() + "/cases")) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// "" when equal; else the first differing line, numbered from 1.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream e(expected), a(actual);
  std::string le, la;
  for (int line = 1;; ++line) {
    const bool he = static_cast<bool>(std::getline(e, le));
    const bool ha = static_cast<bool>(std::getline(a, la));
    if (!he && !ha) return "line endings or the final line differ";
    if (he != ha || le != la)
      return "line " + std::to_string(line) + ":\n  expected: " + (he ? le : "<end>") +
             "\n  actual:   " + (ha ? la : "<end>");
  }
}

// Runs a command; its exit status and what it printed (both streams).
int RunTool(const std::string& command, std::string& output) {
  const fs::path log = fs::temp_directory_path() / ("tarnwell-page-tool-" + std::to_string(::getpid()) + ".log");
  const int status = std::system((command + " >" + log.string() + " 2>&1").c_str());
  output = ReadAll(log);
  fs::remove(log);
  return status;
}

// The caption texts of the case's labels (what the rendered page must show).
std::vector<std::string> LabelCaptions(const std::string& inputXml) {
  TmyXMLParser parser;
  parser.LoadFromString(inputXml.c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  std::vector<std::string> captions;
  for (TmyXmlNode* n = root->FindDeep("label"); n != nullptr; n = n->FindDeep("label")) {
    const std::string caption = n->parent->GetAttr("caption");
    if (!caption.empty() && n->parent->GetAttr("ti").empty()) captions.push_back(caption);
  }
  return captions;
}

class PageGoldenTest : public ::testing::TestWithParam<std::string> {
 protected:
  fs::path Dir() const { return fs::path(PageDataDir()) / "cases" / GetParam(); }
};

TEST_P(PageGoldenTest, CompiledPageEqualsExpectedFiles) {
  PageHarness harness;
  harness.Load(ReadAll(Dir() / "input.xml"));
  const TPageRun run = harness.Compile();
  const std::pair<const char*, const std::string*> outputs[] = {
      {"expected.xsl", &run.stylesheet}, {"expected.xml", &run.dataPage}, {"expected.js", &run.script}};
  const bool update = std::getenv("TARNWELL_UPDATE_GOLDEN") != nullptr;
  for (const auto& [file, text] : outputs) {
    if (update) WriteAll(Dir() / file, *text);
    const std::string difference = FirstDifference(ReadAll(Dir() / file), *text);
    EXPECT_EQ(difference, "") << GetParam() << "/" << file;
  }
}

TEST_P(PageGoldenTest, ExpectedFilesPassXmllintXsltprocAndNode) {
  const std::string xsl = (Dir() / "expected.xsl").string();
  const std::string xml = (Dir() / "expected.xml").string();
  std::string out;
  EXPECT_EQ(RunTool("xmllint --noout '" + xsl + "' '" + xml + "'", out), 0) << out;
  ASSERT_EQ(RunTool("xsltproc '" + xsl + "' '" + xml + "'", out), 0) << out;
  EXPECT_NE(out.find("<html"), std::string::npos) << out;
  for (const std::string& caption : LabelCaptions(ReadAll(Dir() / "input.xml")))
    EXPECT_NE(out.find(caption), std::string::npos) << caption << " not rendered:\n" << out;
  std::string check;
  EXPECT_EQ(RunTool("node --check '" + (Dir() / "expected.js").string() + "'", check), 0) << check;
}

// Every function that the markup's event attributes call is defined by the
// page's own script or by one of the shared scripts a page loads; a click on
// an object must never end in an undefined name.
TEST_P(PageGoldenTest, EventHandlersCallDefinedFunctions) {
  const fs::path source(TARNWELL_SOURCE_DIR);
  std::string scripts = ReadAll(Dir() / "expected.js");
  for (const char* shared : {"resources/templates/project/ScriptLibrary.js", "resources/web/CANVAS.JS",
                             "resources/web/CANVAS2.JS", "resources/web/CLIENT.JS"})
    scripts += ReadAll(source / shared);
  // The names in ` on...="NAME(` attributes.
  const std::string xsl = ReadAll(Dir() / "expected.xsl");
  std::set<std::string> called;
  for (std::size_t at = xsl.find(" on"); at != std::string::npos; at = xsl.find(" on", at + 1)) {
    std::size_t i = at + 3;
    while (i < xsl.size() && std::islower(static_cast<unsigned char>(xsl[i]))) ++i;
    if (xsl.compare(i, 2, "=\"") != 0) continue;
    const std::size_t begin = i + 2;
    std::size_t end = begin;
    while (end < xsl.size() && (std::isalnum(static_cast<unsigned char>(xsl[end])) || xsl[end] == '_')) ++end;
    if (end > begin && end < xsl.size() && xsl[end] == '(') called.insert(xsl.substr(begin, end - begin));
  }
  for (const std::string& name : called) {
    EXPECT_NE(scripts.find("function " + name + "("), std::string::npos)
        << GetParam() << ": " << name << " is called but not defined";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PageGoldenTest, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
