#pragma once
// Host projects for the tests: the demo project, and small projects written
// into a fresh temporary folder.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "tests/support/TempFolder.h"

inline std::string DemoProjectFolder() { return std::string(TARNWELL_SOURCE_DIR) + "/examples/demo"; }

// A new temporary folder holding `text` as halvex.prj.
inline std::string WriteTestProject(const std::string& text) {
  const std::string base = testsupport::MakeTempFolder("host-test-");
  if (base.empty()) return std::string();
  std::ofstream(base + "/halvex.prj") << text;
  return base;
}

// The demo's project file text with its group "Service" (whose page DIAG.XML
// asks for level 5) kept off the web, no user with a level and, with
// `xmlOnly`, its XML files compiled alone; empty when the text is not the
// demo's.
inline std::string DemoWithoutServiceAndUsers(std::string text, bool xmlOnly = true) {
  const std::pair<std::string, std::string> changes[] = {
      {"<group caption=\"Service\"", "<group caption=\"Service\" notforwww=\"true\""},
      {"<user level=\"1\"", "<user level=\"-1\""},
      {"<user level=\"9\"", "<user level=\"-1\""}};
  for (const auto& [from, to] : changes) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) return std::string();
    text.replace(at, from.size(), to);
  }
  const std::size_t web = text.find("<web ");
  if (web == std::string::npos) return std::string();
  return xmlOnly ? text.insert(text.find('>', web) + 1, "<OnlyXml />") : text;
}
