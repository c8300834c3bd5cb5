// The build's string-table compiler, run as the build runs it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/core/strings/StringTableTestSupport.h"

using namespace strtest;
namespace fs = std::filesystem;

namespace {

class StrtabTool : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() / ("strtab-test-" + std::to_string(getpid()));
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  struct Result {
    int status = -1;
    std::string messages;
  };

  // Writes `source` to `name`, runs the tool on it into OUT.str (which holds an
  // older table beforehand) and collects its exit status and messages.
  Result Run(const std::string& name, const std::string& source) {
    const fs::path in = FDir / name;
    std::ofstream(in, std::ios::binary) << source;
    std::ofstream(Out(), std::ios::binary) << "old table";
    const fs::path err = FDir / "stderr.txt";
    const std::string command = "'" + kBinaryDir + "/tools/strtab/strtab' '" + in.string() + "' '" + Out().string() +
                                "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.messages = ReadFileBytes(err.string());
    return r;
  }
  fs::path Out() const { return FDir / "OUT.str"; }
  fs::path FDir;
};

// A complete source, "T<id>" for every id, as lines.
std::vector<std::string> CompleteLines() {
  std::vector<std::string> lines;
  for (std::uint32_t id : AllIds()) lines.push_back(std::to_string(id) + "\tT" + std::to_string(id));
  return lines;
}

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\n") {
  std::string s;
  for (const std::string& l : lines) s += l + end;
  return s;
}

}  // namespace

TEST_F(StrtabTool, WritesTheTableOfASoundSource) {
  std::vector<std::string> lines = CompleteLines();
  std::map<std::uint32_t, std::string> expected;
  for (std::uint32_t id : AllIds()) expected[id] = "T" + std::to_string(id);
  // Texts as they stand: escapes, a trailing no-break space and a blank, a
  // letter outside the 16-bit plane (a surrogate pair), an empty text.
  expected[2065] = "Import error.\\nIsn't it?";
  expected[7074] = "Cannot create :\xC2\xA0";
  expected[7323] = "Modify \\ ";
  expected[8001] = "smile \xF0\x9F\x98\x80 \xC5\x99";
  expected[8134] = "";
  for (std::string& l : lines) {
    const std::uint32_t id = static_cast<std::uint32_t>(std::stoul(l.substr(0, l.find('\t'))));
    l = std::to_string(id) + "\t" + expected[id];
  }
  std::reverse(lines.begin(), lines.end());  // order in the file does not matter
  lines.insert(lines.begin() + 100, "");
  lines.insert(lines.begin() + 200, "# a comment\twith a TAB");
  const std::string source = "\xEF\xBB\xBF# texts\r\n" + Join(lines, "\r\n");

  const Result r = Run("sound.tsv", source);
  ASSERT_EQ(r.status, 0) << r.messages;
  EXPECT_EQ(r.messages, "");
  EXPECT_EQ(ReadFileBytes(Out().string()), BuildStr0Utf8(expected));
  EXPECT_FALSE(fs::exists(FDir / "OUT.str.tmp"));
}

TEST_F(StrtabTool, RefusesFaultySourcesNamingFileAndLine) {
  struct Case {
    const char* what;
    std::size_t line;          // 1-based line of the complete source to replace
    std::string replacement;   // the new line
    std::size_t reportedLine;  // the line the message must name
    const char* fragment;      // a piece of the message
  };
  const std::size_t last = AllIds().size();
  const Case cases[] = {
      {"no TAB", 3, "2003 Yes", 3, "malformed"},
      {"id not a number", 4, "x2004\tNo", 4, "not a decimal id"},
      {"signed id", 4, "+2004\tNo", 4, "not a decimal id"},
      {"empty id", 4, "\tNo", 4, "not a decimal id"},
      {"huge id", 4, "123456789012\tNo", 4, "not a decimal id"},
      {"TAB in text", 5, "2005\tO\tK", 5, "control character"},
      {"raw CR in text", 5, "2005\tO\rK", 5, "control character"},
      {"duplicate id", 6, "2005\tagain", 6, "duplicate id 2005"},
      {"id below the ranges", 7, "2000\tx", 7, "outside"},
      {"id between the ranges", 7, "7000\tx", 7, "outside"},
      {"id above the ranges", 7, "8135\tx", 7, "outside"},
      {"id between two blocks", 7, "7338\tx", 7,
       "outside the ranges 2001-2069, 7001-7337, 7340-7343, 7360-7361, 7380-7400, 7410-7419, 7420-7425, 7440-7444, "
       "7460, 7470, 7480-7481, 7490, 7500-7505, 7520-7522, 7540-7545, 7560-7570, 7580-7586, 7590-7605, 7620-7622, "
       "7640-7641, 7650-7651, 7660-7664, 7680-7682, 7690-7691, 7700, 7710-7711, 7715 and "
       "8001-8134"},
      {"missing id", last, "# the last line gone", last, "missing: 8134"},
      {"lone continuation byte", 8, "2008\ta\x80", 8, "invalid UTF-8"},
      {"overlong form", 8, "2008\t\xC0\xAF", 8, "invalid UTF-8"},
      {"overlong 3-byte form", 8, "2008\t\xE0\x80\xAF", 8, "invalid UTF-8"},
      {"overlong 4-byte form", 8, "2008\t\xF0\x80\x80\xAF", 8, "invalid UTF-8"},
      {"surrogate", 8, "2008\t\xED\xA0\x80", 8, "invalid UTF-8"},
      {"above U+10FFFF", 8, "2008\t\xF4\x90\x80\x80", 8, "invalid UTF-8"},
      {"cut sequence", 8, "2008\t\xE2\x82", 8, "invalid UTF-8"},
      {"Latin-1 byte", 8, "2008\tK\xF6ln", 8, "invalid UTF-8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> lines = CompleteLines();
    lines[c.line - 1] = c.replacement;
    const Result r = Run("bad.tsv", Join(lines));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.messages.find("bad.tsv:" + std::to_string(c.reportedLine) + ": "), std::string::npos) << r.messages;
    EXPECT_NE(r.messages.find(c.fragment), std::string::npos) << r.messages;
    EXPECT_FALSE(fs::exists(Out())) << "a stale table was left";
  }

  const Result empty = Run("empty.tsv", "");
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.messages.find("663 id(s) missing"), std::string::npos) << empty.messages;

  const Result cut = Run("cut.tsv", Join(CompleteLines()) + "8134\t\xC3");  // ends inside a letter
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.messages.find("cut.tsv:" + std::to_string(last + 1) + ": "), std::string::npos) << cut.messages;
}
