// halvex open PROJECT --live --command Tarnwell --snapshot FILE.png: the IDE
// logged in to the simulated PLC, the designer opens in its live view and
// the picture shows the PLC's values: pump 1 running and the inlet valve open
// in green, where the design view shows both off. A designer that comes back
// from the desktop an earlier run kept in the same host home goes live too.
// With /WEBOLDCOMM the values come through the communication loop's own reads.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/vcl/IconFile.h"
#include "tests/host/HostTestProject.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

// Pixels of the page surface that are clearly green.
int GreenPixels(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const IconPicture picture = ReadPngPicture(data.data(), data.size(), 4000LL * 4000LL);
  int n = 0;
  for (int y = 55; y < 630 && y < picture.height; ++y)
    for (int x = 155; x < 990 && x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      n += g > r + 60 && g > b + 60 ? 1 : 0;
    }
  return n;
}

class LiveSnapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = testsupport::MakeTempFolder("halvex-live-");
    ASSERT_NE(home_, "");
  }
  void TearDown() override { std::filesystem::remove_all(home_); }

  // A fresh copy of the demo (no desktop kept from an earlier run).
  std::string Demo(const std::string& name) {
    const std::string demo = home_ + "/" + name;
    std::filesystem::copy(DemoProjectFolder(), demo, std::filesystem::copy_options::recursive);
    return demo;
  }
  // halvex with a home of its own (the plug-in registered there first).
  ProgramRun Halvex(const std::string& arguments, const std::string& homeName) const {
    const std::string run = "HALVEX_HOME='" + home_ + "/" + homeName + "' '" + TARNWELL_HALVEX_PATH + "' ";
    const ProgramRun registered = RunProgram(run + "register '" + TARNWELL_PLUGIN_PATH + "'");
    if (registered.status != 0) return registered;
    return RunProgram(run + arguments);
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  std::string home_;
};

TEST_F(LiveSnapshot, TheLiveViewShowsThePlcValues) {
  const std::string design = home_ + "/design.png";
  const std::string live = home_ + "/live.png";
  ProgramRun r = Halvex("open '" + Demo("d1") + "' --command Tarnwell --snapshot '" + design + "'", "h1");
  ASSERT_EQ(r.status, 0) << r.out;
  r = Halvex("open '" + Demo("d2") + "' --live --command Tarnwell --snapshot '" + live + "'", "h2");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "live view: ")) << r.out;
  EXPECT_FALSE(Has(r.out, "live view: 0 synchronised read(s)")) << r.out;
  std::filesystem::copy_file(live, std::string(TARNWELL_BINARY_DIR) + "/tests/host/halvex_live.png",
                             std::filesystem::copy_options::overwrite_existing);
  EXPECT_LT(GreenPixels(design), 50);
  EXPECT_GT(GreenPixels(live), 200) << "pump 1 running, the valve open";
}

TEST_F(LiveSnapshot, ADesignerRestoredFromTheKeptDesktopGoesLive) {
  const std::string demo = Demo("d4");
  const std::string live = home_ + "/restored.png";
  ProgramRun r = Halvex("open '" + demo + "' --command Tarnwell", "h4");
  ASSERT_EQ(r.status, 0) << r.out;
  r = Halvex("open '" + demo + "' --live --command Tarnwell --snapshot '" + live + "'", "h4");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "desktop: ")) << r.out;
  EXPECT_FALSE(Has(r.out, "live view: 0 synchronised read(s)")) << r.out;
  EXPECT_GT(GreenPixels(live), 200);
}

TEST_F(LiveSnapshot, WithOldCommTheLoopReadsTheValues) {
  const std::string live = home_ + "/old.png";
  const ProgramRun r =
      Halvex("open '" + Demo("d3") + "' /WEBOLDCOMM --live --command Tarnwell --snapshot '" + live + "'", "h3");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "live view: 0 synchronised read(s)")) << r.out;
  EXPECT_FALSE(Has(r.out, "PLC requests: files 0, reads 0,")) << r.out;
  EXPECT_GT(GreenPixels(live), 200);
}

}  // namespace

#endif
