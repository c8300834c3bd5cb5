#include "platform/win/FolderNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Folders whose names are kept at once; beyond it the oldest is dropped. Each
// holds an inotify watch, which the user's programs share.
constexpr std::size_t kMaxFolders = 256;

constexpr std::uint32_t kWatchedEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR;

// File systems that other machines change without a notification here.
constexpr unsigned long kRemoteFileSystems[] = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x65735546,  // FUSE (sshfs and the like)
    0x00C36400,  // Ceph
    0x5346414F,  // AFS
    0x01021997,  // 9P
    0x73757245,  // Coda
    0x564C,      // NCP
};

std::string Fold(std::string_view name) {
  std::string folded(name);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

const char* FolderPath(const std::string& folder) { return folder.empty() ? "." : folder.c_str(); }

struct FolderId {
  dev_t device;
  ino_t inode;
  bool operator<(const FolderId& other) const {
    return device != other.device ? device < other.device : inode < other.inode;
  }
  bool operator==(const FolderId& other) const { return device == other.device && inode == other.inode; }
};

// The names of one folder by their folded form (several when names differ in
// case only), in the order they were listed or created.
class FoldedNames {
 public:
  void Add(const std::string& name) {
    std::vector<std::string>& same = names_[Fold(name)];
    if (std::find(same.begin(), same.end(), name) == same.end()) same.push_back(name);
  }
  void Remove(const std::string& name) {
    const auto it = names_.find(Fold(name));
    if (it == names_.end()) return;
    std::erase(it->second, name);
    if (it->second.empty()) names_.erase(it);
  }
  // The name itself when it is kept as written, else the first that differs in case.
  std::optional<std::string> Find(const std::string& name) const {
    const auto it = names_.find(Fold(name));
    if (it == names_.end()) return std::nullopt;
    const auto exact = std::find(it->second.begin(), it->second.end(), name);
    return exact != it->second.end() ? *exact : it->second.front();
  }

 private:
  std::unordered_map<std::string, std::vector<std::string>> names_;
};

// Lists the open folder and closes it; false when it cannot be read. `listed`
// is the folder that was read.
bool ListFolder(DIR* d, FoldedNames& names, FolderId& listed) {
  if (d == nullptr) return false;
  struct stat st;
  const bool identified = ::fstat(::dirfd(d), &st) == 0;
  listed = {st.st_dev, st.st_ino};
  while (const dirent* e = ::readdir(d))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.Add(e->d_name);
  ::closedir(d);
  return identified;
}

bool ListFolder(const std::string& folder, FoldedNames& names, FolderId& listed) {
  return ListFolder(::opendir(FolderPath(folder)), names, listed);
}

// Lists the folder a descriptor holds (through a descriptor of its own, so the
// one held keeps its state).
bool ListFolder(int folderFd, FoldedNames& names) {
  const int fd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* d = ::fdopendir(fd);
  if (d == nullptr) ::close(fd);
  FolderId listed{};
  return ListFolder(d, names, listed);
}

bool IsRemote(const std::string& folder) {
  struct statfs fs;
  if (::statfs(FolderPath(folder), &fs) != 0) return true;
  const auto type = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFul;
  return std::find(std::begin(kRemoteFileSystems), std::end(kRemoteFileSystems), type) != std::end(kRemoteFileSystems);
}

// The kept names of the folders looked in, with one inotify instance whose
// events are applied under the lock before every answer. The kernel queues a
// folder's event before the call that changed the folder returns, so a change
// that finished before a look-up began is always applied to it.
class FolderNameCache {
 public:
  FolderNameCache() {
    Open();
    ::pthread_atfork([] { Instance().mutex_.lock(); }, [] { Instance().mutex_.unlock(); },
                     [] {
                       // The child shares the parent's event queue: it takes its own.
                       Instance().forked_ = true;
                       Instance().mutex_.unlock();
                     });
  }
  FolderNameCache(const FolderNameCache&) = delete;
  FolderNameCache& operator=(const FolderNameCache&) = delete;

  // Never destroyed: paths may still be looked up while other static objects
  // are destroyed at exit.
  static FolderNameCache& Instance() {
    static FolderNameCache* const cache = new FolderNameCache;
    return *cache;
  }

  std::optional<std::string> Find(const std::string& folder, const std::string& name, bool& folderFound) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (forked_) Reopen();
    ApplyEvents();
    struct stat st;
    folderFound = ::stat(FolderPath(folder), &st) == 0 && S_ISDIR(st.st_mode);
    if (!folderFound) return std::nullopt;
    const auto found = Kept(folder, {st.st_dev, st.st_ino});
    if (found != folders_.end()) return found->second.names.Find(name);
    // Not kept: listed for this look-up alone.
    FoldedNames names;
    FolderId listed;
    if (!ListFolder(folder, names, listed)) return std::nullopt;
    return names.Find(name);
  }

  std::optional<std::string> Find(const OpenFolder& folder, const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (forked_) Reopen();
    ApplyEvents();
    const FolderId id{static_cast<dev_t>(folder.device), static_cast<ino_t>(folder.inode)};
    const auto found = Kept(folder.path, id);
    if (found != folders_.end()) return found->second.names.Find(name);
    // Not kept: a name that exists as written needs no listing.
    struct stat st;
    if (::fstatat(folder.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return name;
    FoldedNames names;
    if (!ListFolder(folder.fd, names)) return std::nullopt;
    return names.Find(name);
  }

 private:
  struct Folder {
    int watch;
    FoldedNames names;
  };

  // The kept names of the folder `id`, kept from now on when they were not;
  // the end when they cannot be kept.
  std::map<FolderId, Folder>::iterator Kept(const std::string& folder, const FolderId& id) {
    const auto it = folders_.find(id);
    return it != folders_.end() ? it : Watch(folder, id);
  }

  void Open() { notify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC); }

  void Reopen() {
    if (notify_ >= 0) ::close(notify_);  // the parent's watches stay with the parent
    folders_.clear();
    folderOfWatch_.clear();
    order_.clear();
    forked_ = false;
    Open();
  }

  // Starts keeping the names of `folder` (the folder `id`): the watch first,
  // then the listing, so no change falls between them. The end when the
  // folder cannot be kept.
  std::map<FolderId, Folder>::iterator Watch(const std::string& folder, const FolderId& id) {
    if (notify_ < 0 || IsRemote(folder)) return folders_.end();
    if (folders_.size() >= kMaxFolders) Drop(order_.front());
    const int watch = ::inotify_add_watch(notify_, FolderPath(folder), kWatchedEvents);
    if (watch < 0) return folders_.end();
    Folder kept{watch, {}};
    FolderId listed{};
    if (!ListFolder(folder, kept.names, listed) || !(listed == id)) {
      // The path was changed meanwhile: this look-up lists on its own.
      if (folderOfWatch_.count(watch) == 0) ::inotify_rm_watch(notify_, watch);
      return folders_.end();
    }
    folderOfWatch_[watch] = id;
    order_.push_back(id);
    return folders_.emplace(id, std::move(kept)).first;
  }

  // By value: callers pass ids that live in the maps and the list it erases from.
  void Drop(FolderId id) {
    const auto it = folders_.find(id);
    if (it == folders_.end()) return;
    ::inotify_rm_watch(notify_, it->second.watch);
    folderOfWatch_.erase(it->second.watch);
    folders_.erase(it);
    std::erase(order_, id);
  }

  void DropAll() {
    while (!order_.empty()) Drop(order_.front());
  }

  void ApplyEvents() {
    if (notify_ < 0) return;
    alignas(inotify_event) char buffer[16 * 1024];
    // A read takes every queued event that fits: when one more event of the
    // longest name would still have fitted, the queue was empty at that
    // moment, and any later event is of a change that had not finished when
    // this look-up began, so no second read (which would only fail) is made.
    constexpr ssize_t kLongestEvent = sizeof(inotify_event) + NAME_MAX + 1;
    for (;;) {
      const ssize_t size = ::read(notify_, buffer, sizeof buffer);
      if (size < 0 && errno == EINTR) continue;
      if (size <= 0) return;
      for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        Apply(*event);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
      if (size <= static_cast<ssize_t>(sizeof buffer) - kLongestEvent) return;
    }
  }

  void Apply(const inotify_event& event) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
      // Events were lost: nothing kept can be trusted.
      DropAll();
      return;
    }
    const auto owner = folderOfWatch_.find(event.wd);
    if (owner == folderOfWatch_.end()) return;
    if ((event.mask & (IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT)) != 0) {
      // The folder is gone (its inode may come back as another folder).
      Drop(owner->second);
      return;
    }
    if (event.len == 0) return;
    FoldedNames& names = folders_.at(owner->second).names;
    const std::string name(event.name);
    if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) names.Add(name);
    if ((event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) names.Remove(name);
  }

  std::mutex mutex_;
  std::atomic<bool> forked_{false};
  int notify_ = -1;
  std::map<FolderId, Folder> folders_;
  std::unordered_map<int, FolderId> folderOfWatch_;
  std::deque<FolderId> order_;  // oldest first
};

}  // namespace

std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name,
                                                 bool* folderFound) {
  bool found = false;
  std::optional<std::string> entry = FolderNameCache::Instance().Find(folder, name, found);
  if (folderFound != nullptr) *folderFound = found;
  return entry;
}

std::optional<std::string> FindEntryIgnoringCase(const OpenFolder& folder, const std::string& name) {
  if (folder.fd < 0) return std::nullopt;
  return FolderNameCache::Instance().Find(folder, name);
}
