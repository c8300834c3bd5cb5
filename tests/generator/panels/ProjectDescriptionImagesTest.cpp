// The images of the project description: kept only when the compile wrote
// them for the panels, with `longname` completed and `time` and `size` taken
// from the generated-file table (or from the previous compile's record when
// the file did not change, or when a failed run kept its old copy).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>

#include "base/Crc.h"
#include "generator/ProjectDescription.h"
#include "platform/win/FileTime.h"
#include "tests/generator/panels/PanelsSupport.h"

namespace {

using panelstest::PanelsCompile;
using panelstest::Quoted;
using panelstest::RunTool;

constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600;
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000;

FILETIME FileTimeOfSeconds(std::int64_t seconds) {
  const auto ticks = static_cast<std::uint64_t>((seconds + kUnixEpochInFileTimeSeconds) * kFileTimeTicksPerSecond);
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

// Writes an image into the output root's "images" folder with the given
// last-write time and registers it.
void WriteImage(PanelsCompile& compile, const std::string& name, const std::string& bytes, std::int64_t seconds) {
  compile.Folder().Write("WWW/images/" + name, bytes);
  const std::string path = compile.state.outputRoot + "images\\" + name;
  const FILETIME time = FileTimeOfSeconds(seconds);
  ASSERT_TRUE(SetPathFileTime(path, nullptr, nullptr, &time));
  compile.files.RegisterGeneratedFile(path);
}

// The attributes of every `img` of the description by its `name`.
std::map<std::string, std::string> Images(PanelsCompile& compile) {
  const panelstest::ToolRun run = RunTool("zcat " + Quoted(compile.OutputPath(kProjectDescriptionXmz)));
  EXPECT_EQ(run.exitCode, 0);
  const std::string document = run.output.substr(0, run.output.rfind("<!--Crc="));
  TmyXMLParser reader;
  reader.LoadFromString(document.c_str());
  std::unique_ptr<TmyXmlNode> root(reader.Parse());
  std::map<std::string, std::string> images;
  TmyXmlNode* list = root != nullptr ? root->FindChild("images", {}, true) : nullptr;
  if (list == nullptr) return images;
  for (TmyXmlNode* image = list->firstChild; image != nullptr; image = image->next) {
    std::string attributes;
    for (TmyXmlAttrNode* a = image->firstAttr; a != nullptr; a = a->next) attributes += a->name + "=" + a->value + " ";
    images[image->GetAttr("name")] = attributes;
  }
  return images;
}

// One line of the stamp list for a previous compile's image.
std::string StampLine(const std::string& name, const std::string& bytes, std::int64_t seconds) {
  const FILETIME time = FileTimeOfSeconds(seconds);
  std::array<char, 160> line{};
  std::snprintf(line.data(), line.size(), "images\\%s,%X,%X,%X,%X,%X,%X\r\n", name.c_str(),
                unsigned{time.dwLowDateTime}, unsigned{time.dwHighDateTime}, unsigned{time.dwLowDateTime},
                unsigned{time.dwHighDateTime}, Crc32::Of(bytes.data(), static_cast<std::uint32_t>(bytes.size())),
                static_cast<unsigned>(bytes.size()));
  return line.data();
}

constexpr const char* kProject =
    "<web><group name=\"G\"><page name=\"P1.XML\"/></group><images>"
    "<img name=\"pump.png\" longname=\"Pump\" type=\"png\" Uid=\"7\"/>"
    "<img name=\"valve.png\" type=\"png\"/>"
    "<img name=\"service.png\" longname=\"Service\" type=\"png\"/>"
    "<img name=\"missing.png\" longname=\"Missing\" type=\"png\"/>"
    "<img name=\"same.png\" type=\"png\"/><img name=\"changed.png\" type=\"png\"/>"
    "</images></web>";

constexpr std::int64_t kNow = 1733500000;       // 2024-12-06 15:46:40 UTC
constexpr std::int64_t kPrevious = 1700000000;  // 2023-11-14 22:13:20 UTC

TEST(ProjectDescriptionImages, KeepsThePanelsImagesWithTheirFileTimeAndSize) {
  PanelsCompile compile(kProject);
  compile.settings.operatorPanels = true;
  WriteImage(compile, "pump.png", "PUMPDATA", kNow);
  WriteImage(compile, "valve.png", "VALVE-IMAGE", kNow + 61);
  compile.state.notForId = true;
  WriteImage(compile, "service.png", "SERVICE", kNow);
  compile.state.notForId = false;
  WriteImage(compile, "same.png", "SAME", kNow);
  WriteImage(compile, "changed.png", "CHANGED", kNow);
  // The previous compile wrote "same.png" with the same bytes and
  // "changed.png" with other bytes of the same size, both earlier.
  const std::string stamps = compile.Folder().Native("stamps.txt");
  const std::string text = StampLine("same.png", "SAME", kPrevious) + StampLine("changed.png", "CHANGES", kPrevious);
  compile.Folder().Write("stamps.txt", text);
  compile.files.LoadPreviousStamps(stamps);
  compile.RunResolving();

  const std::map<std::string, std::string> expected = {
      {"pump.png", "name=pump.png longname=Pump.png type=png time=1733500000 size=8 "},
      {"valve.png", "name=valve.png type=png time=1733500061 size=11 "},
      {"same.png", "name=same.png type=png time=1700000000 size=4 "},
      {"changed.png", "name=changed.png type=png time=1733500000 size=7 "},
  };
  EXPECT_EQ(Images(compile), expected);
}

// A run that failed to write a file keeps the previous compile's files: a
// picture it could not copy is described by the previous record while its old
// copy is in the output, and not once that copy is gone.
TEST(ProjectDescriptionImages, AFailedRunDescribesThePreviousCopiesItKept) {
  PanelsCompile compile(kProject);
  compile.settings.operatorPanels = true;
  WriteImage(compile, "pump.png", "PUMPDATA", kNow);
  compile.Folder().Write("WWW/images/missing.png", "OLD");
  const std::string stamps = compile.Folder().Native("stamps.txt");
  compile.Folder().Write("stamps.txt",
                         StampLine("missing.png", "OLD", kPrevious) + StampLine("valve.png", "V", kPrevious));
  compile.files.LoadPreviousStamps(stamps);
  for (const char* name : {"missing.png", "valve.png"})
    compile.files.ReportWriteFailure(compile.state.outputRoot + "images\\" + name);
  compile.RunResolving();

  const std::map<std::string, std::string> expected = {
      {"pump.png", "name=pump.png longname=Pump.png type=png time=1733500000 size=8 "},
      {"missing.png", "name=missing.png longname=Missing.png type=png time=1700000000 size=3 "},
  };
  EXPECT_EQ(Images(compile), expected);
}

}  // namespace
