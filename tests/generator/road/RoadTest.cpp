// The road's behaviours beyond one tree: a second compile of an unchanged
// project, the import folder, and the errors that turn the status red.

#include <gtest/gtest.h>

#include "RoadSupport.h"
#include "platform/win/CodePage.h"
#include "tests/support/TempFolder.h"

namespace {

using road::fs::path;

// A block bound to the variable, as the designer writes it.
std::string Block(const std::string& variable, int uid) {
  return "<object caption=\"\" X=\"1\" Y=\"" + std::to_string(uid % 30) +
         "\" xoff=\"0\" yoff=\"0\" level=\"0\" readonly=\"false\" front=\"0\" back=\"-1\" strong=\"false\" "
         "italic=\"false\" size=\"13\" transparent=\"true\" visneg=\"false\" Uid=\"" +
         std::to_string(uid) +
         "\"><block dynamic=\"true\" width=\"40\" height=\"10\" border=\"true\" horz=\"1\" "
         "natv=\"0\" variable=\"" +
         variable + "\" type=\"INT\" /></object>";
}

std::string Label(const std::string& caption, int uid) {
  return "<object caption=\"" + caption +
         "\" X=\"1\" Y=\"1\" xoff=\"0\" yoff=\"0\" level=\"0\" readonly=\"false\" "
         "front=\"0\" back=\"-1\" strong=\"false\" italic=\"false\" size=\"13\" transparent=\"true\" "
         "visneg=\"false\" Uid=\"" +
         std::to_string(uid) + "\"><label /></object>";
}

std::string Project(const std::string& page1, const std::string& page2 = "") {
  return "<web version=\"8.1\" encoding=\"windows-1250\" width=\"980\" height=\"560\">"
         "<group caption=\"G\" Uid=\"1\"><page caption=\"One\" name=\"ONE.XML\" ajax=\"true\" pause=\"1000\" "
         "default=\"true\" Uid=\"2\">" +
         page1 +
         "</page><page caption=\"Two\" name=\"TWO.XML\" ajax=\"true\" "
         "pause=\"1000\" Uid=\"3\">" +
         page2 + "</page></group></web>";
}

class Road : public testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(input.Native("variables.txt")) << "Level INT 8 3 9 1000\n";
    for (int i = 0; i < 200; ++i)
      std::ofstream(input.Native("variables.txt"), std::ios::app) << "V" << i << " INT 8 3 9 " << 2 * i << "\n";
  }
  void Write(const std::string& project) { input.Write("project.xml", project); }
  std::unique_ptr<road::RoadCompile> Compile() {
    auto compile = std::make_unique<road::RoadCompile>(input.Path(), work.Path() / "host");
    return compile;
  }

  testsupport::TempFolder input{"road-input-"};
  testsupport::TempFolder work{"road-work-"};
};

// Stamp lists keep file times in whole units of 100 ns (rounded down).
long long InFileTimeUnits(road::fs::file_time_type time) {
  const long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
  return ns >= 0 ? ns / 100 : (ns - 99) / 100;
}

std::map<std::string, road::fs::file_time_type> TimesOf(const path& folder) {
  std::map<std::string, road::fs::file_time_type> times;
  for (const std::string& file : road::TreeOf(folder)) times[file] = road::fs::last_write_time(folder / file);
  return times;
}

TEST_F(Road, SecondCompileKeepsTheTimesOfUnchangedFiles) {
  Write(Project(Label("Same", 10), Label("Before", 11)));
  auto compile = Compile();
  ASSERT_EQ(compile->Run().outcome, TCompileOutcome::kCompiled);
  const auto first = TimesOf(compile->Output());
  compile->SetProject(Project(Label("Same", 10), Label("After", 11)));
  ASSERT_EQ(compile->Run().outcome, TCompileOutcome::kCompiled);
  const auto second = TimesOf(compile->Output());
  ASSERT_EQ(first.size(), second.size());
  int kept = 0;
  for (const auto& [file, time] : first) {
    const bool changed = road::ReadFile(compile->Output() / file).find("After") != std::string::npos;
    if (changed || road::fs::file_size(compile->Output() / file) == 0) {
      EXPECT_NE(second.at(file), time) << file;
    } else {
      EXPECT_EQ(InFileTimeUnits(second.at(file)), InFileTimeUnits(time)) << file;
      ++kept;
    }
  }
  EXPECT_GT(kept, 3);
}

TEST_F(Road, ImportFolderOverridesAndAddsFiles) {
  Write(Project(Label("One", 10)));
  input.Write("Import/ONE.XSL", "<?xml version=\"1.0\"?>\r\n<user />\r\n");
  input.Write("Import/extra/readme.txt", "added");
  auto compile = Compile();
  ASSERT_EQ(compile->Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_EQ(road::ReadFile(compile->Output() / "WWW/ONE.XSL"), "<?xml version=\"1.0\"?>\r\n<user />\r\n");
  EXPECT_EQ(road::ReadFile(compile->Output() / "WWW/extra/readme.txt"), "added");
  EXPECT_TRUE(road::fs::exists(compile->Output() / "WWW/TWO.XSL"));
  // The output folder as the status window shows it: with '/' only.
  EXPECT_EQ(compile->statusPaths, std::vector<std::string>{compile->Output().string() + "/WWW/"});
}

// A project in a folder named with Czech letters (UTF-8 on the file system),
// in the Czech UI: the status window shows the path in the code page 1250.
TEST_F(Road, TheStatusWindowShowsAFolderNamedBeyondAscii) {
  Write(Project(Label("One", 10)));
  const UINT saved = GetACP();
  SetAnsiCodePage(1250);
  road::RoadCompile compile(input.Path(), work.Path() / "\u010Derpac\u00ED stanice");
  const TCompileOutcome outcome = compile.Run().outcome;
  SetAnsiCodePage(saved);
  ASSERT_EQ(outcome, TCompileOutcome::kCompiled);
  EXPECT_EQ(compile.statusPaths, std::vector<std::string>{work.Path().string() + "/\xE8"
                                                                                 "erpac\xED stanice/SendRoot/WWW/"});
}

TEST_F(Road, UnknownVariableIsReportedAndTheStatusIsRed) {
  Write(Project(Block("Missing", 10)));
  auto compile = Compile();
  ASSERT_EQ(compile->Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_NE(compile->state.compileErrors & kCompileErrorVariable, 0u);
  bool reported = false;
  for (const auto& [text, source] : compile->host.messages) reported |= source == "Missing";
  EXPECT_TRUE(reported);
  EXPECT_EQ(compile->statusTexts, std::vector<std::string>{"Error - Unknown or undefined variables"});
  EXPECT_EQ(compile->statusColours, std::vector<TColor>{clRed});
}

TEST_F(Road, TooManyVariablesForTheCentralUnitTurnTheStatusRed) {
  std::string blocks;
  for (int i = 0; i < 129; ++i) blocks += Block("V" + std::to_string(i), 100 + i);
  Write(Project(blocks));
  auto compile = Compile();
  compile->host.cpmCode = 10;
  ASSERT_EQ(compile->Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_NE(compile->state.compileErrors & kCompileErrorTooMany, 0u);
  EXPECT_EQ(compile->statusTexts, std::vector<std::string>{"Error - too many variables on the page"});
  EXPECT_EQ(compile->statusColours, std::vector<TColor>{clRed});
}

}  // namespace
