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

class TempFolder {
 public:
  // `prefix` starts the folder's name (six random characters follow).
  explicit TempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) != nullptr) FPath = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // The native path of an entry.
  std::string Native(const std::string& relative) const { return (FPath / relative).string(); }
  // A system path of an entry: the folder and the relative part joined by a backslash.
  std::string System(const std::string& relative) const { return FPath.string() + "\\" + relative; }

  void Write(const std::string& relative, const std::string& content) const {
    std::filesystem::create_directories((FPath / relative).parent_path());
    std::ofstream out(FPath / relative, std::ios::binary);
    out << content;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(FPath / relative, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // True for any entry, a dangling link too.
  bool Exists(const std::string& relative) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(FPath / relative, ec));
  }
  bool IsFolder(const std::string& relative) const { return std::filesystem::is_directory(FPath / relative); }

 private:
  std::filesystem::path FPath;
};

}  // namespace testsupport
