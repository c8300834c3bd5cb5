// The scripts copied whole into page scripts: their LF line ends become
// CR LF, nothing else changes, and a script the module lacks is named.

#include "generator/EmbeddedScript.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "AssetTools.h"

namespace {

// The resource's text with each LF (and each CR LF) as CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

TEST(EmbeddedScript, EachScriptComesWithCrLfLineEndsOnly) {
  for (const char* name : {"SCRIPT_LIBRARY_JS", "CANVAS_JS", "CANVAS2_JS"}) {
    const std::string raw = assettest::ResourceText(name);
    ASSERT_FALSE(raw.empty()) << name;
    ASSERT_NE(raw.find('\n'), std::string::npos) << name;
    const std::string text = EmbeddedScript(name);
    EXPECT_EQ(text, WithCrLf(raw)) << name;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
      ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << name << " at " << at;
  }
}

TEST(EmbeddedScript, AMissingScriptIsNamed) {
  try {
    EmbeddedScript("NO_SUCH_JS");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "missing resource NO_SUCH_JS");
  }
}
