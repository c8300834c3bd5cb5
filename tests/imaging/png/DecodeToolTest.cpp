// tarnwell-decode on PNG files: a decoded picture is written as a PNG, a refused one ends
// with the decoder's message and exit code 1 (the 66-byte file of a 2^26 pixels wide 16-bit
// RGBA row made the tool crash when its row size wrapped to 0).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/imaging/png/LibpngReference.h"
#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::PngBuilder;

struct ToolRun {
  int status = -1;
  std::string output;  // standard output and standard error
};

ToolRun RunTool(const std::string& input, const std::string& output) {
  const std::string tool = std::string(TARNWELL_BINARY_DIR) + "/tools/decode/tarnwell-decode";
  ToolRun run;
  FILE* pipe = popen(("'" + tool + "' '" + input + "' '" + output + "' 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class DecodeTool : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "decode-tool-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  std::string folder;
};

TEST_F(DecodeTool, WritesTheDecodedPicture) {
  const Bytes rows = {0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  const std::string input = Write("rgb.png", PngBuilder().Header(2, 1, 8, 2).Rows(rows).End().bytes);
  const std::string output = folder + "/out.png";
  const ToolRun run = RunTool(input, output);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "7 2 1\n");
  const auto written = TarnwellTest::ReadWithLibpng(output);
  ASSERT_EQ(written.error, "");
  EXPECT_EQ(written.pixels, (std::vector<std::uint32_t>{0xFF102030u, 0xFF405060u}));
}

TEST_F(DecodeTool, RefusedFilesEndWithTheDecodersMessage) {
  const std::string wide = Write("wide.png", PngBuilder().Header(1u << 26, 1, 16, 6).Rows({0}).End().bytes);
  ToolRun run = RunTool(wide, folder + "/wide-out.png");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "Image too large\n");
  const std::string empty = Write("empty.png", PngBuilder().Header(0, 0x7FFFFFFF, 8, 0).Rows({0}).End().bytes);
  run = RunTool(empty, folder + "/empty-out.png");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "Image has no pixels\n");
  EXPECT_FALSE(std::filesystem::exists(folder + "/wide-out.png"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/empty-out.png"));
}

}  // namespace
