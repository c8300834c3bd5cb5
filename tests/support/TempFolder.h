#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards; with helpers to write, read and look up
// the entries below it.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testsupport {

// A new empty folder under the system's temporary folder (TMPDIR, which CI
// points at a RAM file system when the machine has one) whose name starts
// with `prefix`; empty when none could be made. The caller removes it.
inline std::string MakeTempFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// Lets every user pass through the folders above `path` (adds the search
// bit where it is missing), so that a test's child acting as another user
// reaches `path`: the temporary folder that CI makes for the tests is its
// own (rwx------).
inline void LetOtherUsersReach(const std::filesystem::path& path) {
  std::error_code ec;
  for (std::filesystem::path up = path.parent_path(); !up.empty() && up != up.root_path(); up = up.parent_path()) {
    const std::filesystem::perms mode = std::filesystem::status(up, ec).permissions();
    if (!ec && (mode & std::filesystem::perms::others_exec) == std::filesystem::perms::none)
      std::filesystem::permissions(up, std::filesystem::perms::others_exec, std::filesystem::perm_options::add, ec);
  }
}

class TempFolder {
 public:
  // `prefix` starts the folder's name (six random characters follow).
  explicit TempFolder(const std::string& prefix) : path_(MakeTempFolder(prefix)) {}
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The native path of an entry.
  std::string Native(const std::string& relative) const { return (path_ / relative).string(); }
  // A system path of an entry: the folder and the relative part joined by a backslash.
  std::string System(const std::string& relative) const { return path_.string() + "\\" + relative; }

  void Write(const std::string& relative, const std::string& content) const {
    std::filesystem::create_directories((path_ / relative).parent_path());
    std::ofstream out(path_ / relative, std::ios::binary);
    out << content;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // True for any entry, a dangling link too.
  bool Exists(const std::string& relative) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path_ / relative, ec));
  }
  bool IsFolder(const std::string& relative) const { return std::filesystem::is_directory(path_ / relative); }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
