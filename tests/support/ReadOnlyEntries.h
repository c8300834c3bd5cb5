#pragma once
// Entries of a test's folder that refuse changes for as long as the object
// lives: read-only folders (for root, which writes into read-only folders,
// also immutable), and one file that cannot be deleted or replaced (the
// immutable flag, which only root can set). Each tells whether it holds, so
// that a test can skip where the system does not let it.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace testsupport {

// Sets or clears the immutable flag of a file or folder; false when the
// system refused.
inline bool SetImmutable(const std::filesystem::path& entry, bool on) {
  const int fd = open(entry.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool set = false;
  if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    set = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return set;
}

// The folder `root` read-only, with every folder below it unless `recursive`
// is clear.
class ReadOnlyFolders {
 public:
  explicit ReadOnlyFolders(const std::filesystem::path& root, bool recursive = true) {
    namespace fs = std::filesystem;
    folders_.push_back(root);
    if (recursive)
      for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_directory()) folders_.push_back(entry.path());
    for (const fs::path& folder : folders_) {
      fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
      if (geteuid() == 0) SetImmutable(folder, true);
    }
    const int probe = creat((root / "probe").c_str(), 0644);
    holds_ = probe < 0;
    if (probe >= 0) close(probe);
  }
  ~ReadOnlyFolders() {
    namespace fs = std::filesystem;
    for (const fs::path& folder : folders_) {
      if (geteuid() == 0) SetImmutable(folder, false);
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    }
    std::error_code ec;
    fs::remove(folders_.front() / "probe", ec);
  }
  ReadOnlyFolders(const ReadOnlyFolders&) = delete;
  ReadOnlyFolders& operator=(const ReadOnlyFolders&) = delete;
  // False where no folder can be made read-only (no file can be made in it).
  bool Holds() const { return holds_; }

 private:
  std::vector<std::filesystem::path> folders_;
  bool holds_ = false;
};

// One file that can be neither deleted nor replaced, while its folder takes
// other files.
class UndeletableFile {
 public:
  explicit UndeletableFile(const std::filesystem::path& file) : file_(file), holds_(SetImmutable(file, true)) {}
  ~UndeletableFile() {
    if (holds_) SetImmutable(file_, false);
  }
  UndeletableFile(const UndeletableFile&) = delete;
  UndeletableFile& operator=(const UndeletableFile&) = delete;
  bool Holds() const { return holds_; }

 private:
  std::filesystem::path file_;
  bool holds_;
};

}  // namespace testsupport
