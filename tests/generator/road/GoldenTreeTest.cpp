// Every case under tests/generator/cases compiles into exactly its expected
// tree, byte for byte; the expected trees pass xmllint, xsltproc and node.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "RoadSupport.h"
#include "tests/support/TempFolder.h"

namespace {

using road::fs::path;

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : road::fs::directory_iterator(road::CasesFolder()))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The output tree of a compile with the variables document beside it and
// the compiler messages the host was sent ("messages.txt", one a line:
// source, a tab, text).
void CollectOutput(const road::RoadCompile& compile, const path& into) {
  road::fs::create_directories(into);
  road::fs::copy(compile.Output(), into / "SendRoot", road::fs::copy_options::recursive);
  road::fs::copy_file(compile.Folder() / "Tarnwell" / "ROAD_var.xml", into / "ROAD_var.xml");
  std::ofstream messages(into / "messages.txt", std::ios::binary);
  for (const auto& [text, source] : compile.host.messages) messages << source << '\t' << text << '\n';
}

class GoldenTree : public testing::TestWithParam<std::string> {};

TEST_P(GoldenTree, CompiledTreeEqualsTheExpectedTree) {
  const path caseFolder = road::CasesFolder() / GetParam();
  testsupport::TempFolder work("golden-tree-");
  road::RoadCompile compile(caseFolder / "input", work.Path() / "host");
  const TCompileResult result = compile.Run();
  ASSERT_EQ(result.outcome, TCompileOutcome::kCompiled) << result.error;
  const path actual = work.Path() / "actual";
  CollectOutput(compile, actual);
  const path expected = caseFolder / "expected";
  const char* update = std::getenv("TARNWELL_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    road::fs::remove_all(expected);
    road::fs::copy(actual, expected, road::fs::copy_options::recursive);
  }
  const std::vector<std::string> files = road::TreeOf(actual);
  ASSERT_EQ(files, road::TreeOf(expected));
  for (const std::string& file : files) {
    const int line = road::FirstDifferentLine(road::ReadFile(actual / file), road::ReadFile(expected / file));
    EXPECT_EQ(line, 0) << GetParam() << ": " << file << " differs first in line " << line;
  }
}

TEST_P(GoldenTree, ExpectedTreePassesTheOutsideTools) {
  const path expected = road::CasesFolder() / GetParam() / "expected";
  const std::vector<std::string> files = road::TreeOf(expected);
  ASSERT_FALSE(files.empty());
  // node takes a script only by the extension ".js".
  testsupport::TempFolder scripts("golden-scripts-");
  int pages = 0;
  for (const std::string& file : files) {
    const std::string full = "'" + (expected / file).string() + "'";
    if (EndsWith(file, ".XML") || EndsWith(file, ".XSL") || EndsWith(file, ".xml")) {
      EXPECT_EQ(road::RunTool("xmllint --noout " + full), 0) << file;
    }
    if (EndsWith(file, ".JS")) {
      const std::string copy = scripts.Native(std::to_string(pages) + "-" + path(file).filename().string() + ".js");
      road::fs::copy_file(expected / file, copy, road::fs::copy_options::overwrite_existing);
      EXPECT_EQ(road::RunTool("node --check '" + copy + "'"), 0) << file;
    }
    if (!EndsWith(file, ".XSL") || file.rfind("SendRoot/WWW/", 0) != 0) continue;
    const std::string data = file.substr(0, file.size() - 2) + "ML";
    if (!road::fs::exists(expected / data)) continue;
    ++pages;
    EXPECT_EQ(road::RunTool("xsltproc " + full + " '" + (expected / data).string() + "'"), 0) << file;
  }
  EXPECT_GT(pages, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTree, testing::ValuesIn(CaseNames()));

}  // namespace
