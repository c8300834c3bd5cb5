// The README's excerpt of the demo's output against a real run of
// scripts/demo.sh on this build: every line of the excerpt comes in the same
// order as the script prints it, a line "..." (indented or not) stands for
// lines left out, and the excerpt ends where the run ends. What differs
// between two machines or two runs is made equal first: the build folder (the
// README shows build-demo/ in the repository's folder /home/me/tarnwell), the
// page stamps that every compile draws anew and the size of the gzip copy
// that holds one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/ProgramRun.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

constexpr const char* kReadmeFolder = "/home/me/tarnwell";
constexpr const char* kReadmeBuild = "build-demo";
constexpr const char* kExcerptStart = "The end of a real run:";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // the data page's CR LF
    lines.push_back(line);
  }
  return lines;
}

// The ```text block that follows the excerpt's announcement in the README.
std::vector<std::string> ReadmeExcerpt() {
  std::stringstream text;
  text << std::ifstream(std::string(TARNWELL_SOURCE_DIR) + "/README.md").rdbuf();
  const std::string readme = text.str();
  const std::size_t said = readme.find(kExcerptStart);
  const std::size_t open = readme.find("```text\n", said);
  const std::size_t close = readme.find("\n```", open + 8);
  if (said == std::string::npos || open == std::string::npos || close == std::string::npos) return {};
  return Lines(readme.substr(open + 8, close - open - 8));
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A line as the README shows it: the README's folders, no page stamps.
std::string Normalized(std::string line, const std::string& build) {
  line = ReplaceAll(line, std::string(TARNWELL_SOURCE_DIR) + "/" + build + "/",
                    std::string(kReadmeFolder) + "/" + kReadmeBuild + "/");
  const std::string pattern = std::regex_replace(build, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
  line = std::regex_replace(line, std::regex("(^|[ (])" + pattern + "/"), std::string("$1") + kReadmeBuild + "/");
  line = std::regex_replace(line, std::regex("(U=|UCID=\")[0-9]+"), "$1STAMP");
  // The gzip copy of the project description holds a stamp too: its size varies by a few bytes.
  return std::regex_replace(line, std::regex("(TARNWELL\\.XMZ[ (]+)[0-9]+"), "$1SIZE");
}

// Whether `excerpt` matches the end of `run` ("...", indented or not, skips
// any lines): the
// first line it could not place, or empty.
std::string Unmatched(const std::vector<std::string>& excerpt, const std::vector<std::string>& run) {
  std::size_t next = 0;
  bool skipping = true;  // the excerpt starts anywhere in the run
  for (const std::string& line : excerpt) {
    if (line.find_first_not_of(' ') != std::string::npos && line.substr(line.find_first_not_of(' ')) == "...") {
      skipping = true;
      continue;
    }
    while (skipping && next < run.size() && run[next] != line) ++next;
    if (next == run.size() || run[next] != line) return line;
    ++next;
    skipping = false;
  }
  return skipping || next == run.size() ? std::string() : "(the run goes on with: " + run[next] + ")";
}

// A fresh folder in the build folder that holds the build's halvex and
// plug-in where scripts/demo.sh looks for them; removed with its contents.
struct RunFolder {
  std::string path;
  RunFolder() {
    std::string name = std::string(TARNWELL_BINARY_DIR) + "/readme-demo-XXXXXX";
    if (mkdtemp(name.data()) == nullptr) return;
    path = name;
    fs::create_directories(path + "/host/cli");
    fs::create_directories(path + "/plugin");
    fs::create_symlink(TARNWELL_HALVEX_PATH, path + "/host/cli/halvex");
    fs::create_symlink(TARNWELL_PLUGIN_PATH, path + "/plugin/libtarnwell.so");
  }
  ~RunFolder() {
    std::error_code ec;
    if (!path.empty()) fs::remove_all(path, ec);
  }
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
};

TEST(ReadmeDemo, TheExcerptIsTheEndOfARealRun) {
  const std::vector<std::string> excerpt = ReadmeExcerpt();
  ASSERT_GT(excerpt.size(), 10u) << "no excerpt after \"" << kExcerptStart << "\" in README.md";
  // The script takes a build folder inside the repository (as CI's are).
  if (fs::relative(TARNWELL_BINARY_DIR, TARNWELL_SOURCE_DIR).string().rfind("..", 0) == 0)
    GTEST_SKIP() << "the build folder lies outside the repository";
  // The script keeps its copy and host home in the folder it is given: a folder
  // of this run's own, with the build's programs linked in, so that two runs of
  // the suite from one build do not share them.
  const RunFolder folder;
  ASSERT_FALSE(folder.path.empty()) << "no folder for the run in " << TARNWELL_BINARY_DIR;
  const std::string build = fs::relative(folder.path, TARNWELL_SOURCE_DIR).string();
  const ProgramRun run = RunProgram("bash '" + std::string(TARNWELL_SOURCE_DIR) + "/scripts/demo.sh' '" + build + "'");
  ASSERT_EQ(run.status, 0) << run.out;
  std::vector<std::string> lines;
  for (const std::string& line : Lines(run.out)) lines.push_back(Normalized(line, build));
  std::vector<std::string> expected;
  for (const std::string& line : excerpt) expected.push_back(Normalized(line, build));
  const std::string unmatched = Unmatched(expected, lines);
  EXPECT_EQ(unmatched, "") << "the README's excerpt differs from this run of scripts/demo.sh:\n" << run.out;
}

}  // namespace

#endif
