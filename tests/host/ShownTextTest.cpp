// The plug-ins' texts as the host shows them: from the ANSI code page (1252
// here) into the terminal's encoding, each path with '/' only; a path as the
// file system names it (UTF-8) through the code page too.

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
      // A path as the file system names it (UTF-8), through the code page.
      {"/tmp/Gr\xC3\xBC\xC3\x9F"
       "e\\SendRoot",
       "UTF-8",
       "/tmp/Gr\xC3\xBC\xC3\x9F"
       "e/SendRoot"},
      {"/tmp/\xC4\x8D"
       "erpac\xC3\xAD",
       "UTF-8", "/tmp/?erpac\xC3\xAD"},
  };
  for (const auto& row : rows) EXPECT_EQ(ShownText(row.text, row.encoding), row.shown) << row.text;
}

}  // namespace
