#pragma once
// Host projects for the tests: the demo project, and small projects written
// into a fresh temporary folder.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

inline std::string DemoProjectFolder() { return std::string(TARNWELL_SOURCE_DIR) + "/examples/demo"; }

// A new folder under the build tree holding `text` as halvex.prj.
inline std::string WriteTestProject(const std::string& text) {
  std::string base = std::string(TARNWELL_BINARY_DIR) + "/host-test-XXXXXX";
  std::filesystem::create_directories(TARNWELL_BINARY_DIR);
  char* made = mkdtemp(base.data());
  if (made == nullptr) return std::string();
  std::ofstream(base + "/halvex.prj") << text;
  return base;
}
