// The plug-ins' texts as the host shows them: from the ANSI code page (1252
// here) into the terminal's encoding, each path with '/' only.

#include "host/sim/ShownText.h"

#include <gtest/gtest.h>

namespace {

TEST(ShownText, ConvertsIntoTheTerminalsEncodingWithOneSeparator) {
  const struct {
    const char* text;
    const char* encoding;
    const char* shown;
  } rows[] = {
      {"Unknown variable :\xA0", "UTF-8", "Unknown variable :\xC2\xA0"},
      {"/tmp/demo\\Tarnwell\\Demo.xml", "UTF-8", "/tmp/demo/Tarnwell/Demo.xml"},
      {"caf\xE9 \x80", "ISO-8859-1", "caf\xE9 ?"},
      {"caf\xE9", "NO-SUCH-ENCODING", "caf\xC3\xA9"},
  };
  for (const auto& row : rows) EXPECT_EQ(ShownText(row.text, row.encoding), row.shown) << row.text;
}

}  // namespace
