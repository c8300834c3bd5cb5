#pragma once
// Files on disk as tests compare them: a folder's files with their bytes, and
// the temporary files that the program's writers make beside a file they
// replace.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace testsupport {

// A file's bytes; none when it cannot be read. Copied by the stream library
// in one go: the tests' own code is not optimised, and a loop over the
// characters here took a good part of the time of the tests that compare
// whole trees.
inline std::string ReadFileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  return bytes.str();
}

// Every regular file below `root` with its bytes, by its path relative to
// `root` ('/' between names); none when `root` is gone.
inline std::map<std::string, std::string> ReadFileTree(const std::filesystem::path& root) {
  std::map<std::string, std::string> tree;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    tree[std::filesystem::relative(it->path(), root).generic_string()] = ReadFileText(it->path());
  }
  return tree;
}

// The names whose bytes differ between two trees or that only `after` holds,
// then those that only `before` holds.
inline std::vector<std::string> ChangedFiles(const std::map<std::string, std::string>& before,
                                             const std::map<std::string, std::string>& after) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : after)
    if (!before.count(name) || before.at(name) != bytes) names.push_back(name);
  for (const auto& [name, bytes] : before)
    if (!after.count(name)) names.push_back(name);
  return names;
}

// The temporary files of the program's writers ("NAME.~tarnwell~XXXXXX",
// "NAME.~tarnwell~cpPID_N") below `root`, by path.
inline std::vector<std::string> WriterTemporaryFiles(const std::filesystem::path& root) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".~tarnwell~") != std::string::npos) found.push_back(entry.path().string());
  }
  return found;
}

}  // namespace testsupport
