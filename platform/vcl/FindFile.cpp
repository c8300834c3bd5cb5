#include "platform/vcl/FindFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "platform/vcl/SysUtils.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kNoMoreFiles = 18;

int DosTime(time_t t) {
  tm local{};
  if (::localtime_r(&t, &local) == nullptr || local.tm_year < 80) return (1 << 21) | (1 << 16);  // 1980-01-01
  return ((local.tm_year - 80) << 25) | ((local.tm_mon + 1) << 21) | (local.tm_mday << 16) | (local.tm_hour << 11) |
         (local.tm_min << 5) | (local.tm_sec / 2);
}

TSearchRec::Entry EntryOf(const std::string& name, const struct stat& st) {
  TSearchRec::Entry e;
  e.name = name;
  e.attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if ((st.st_mode & 0222) == 0) e.attr |= faReadOnly;
  e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
  e.time = DosTime(st.st_mtime);
  return e;
}

void TakeNext(TSearchRec& rec) {
  const TSearchRec::Entry& e = rec.Pending.front();
  rec.Name = e.name;
  rec.Attr = e.attr;
  rec.Time = e.time;
  rec.Size = e.size;
  rec.Pending.erase(rec.Pending.begin());
}

}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
  FindClose(rec);
  rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  std::size_t cut = path.find_last_of("\\/");
  std::string mask = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string folderText = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  std::string folder = folderText.empty() ? std::string(".") : ToNativePath(folderText);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  DIR* d = ::opendir(folder.c_str());
  if (d == nullptr) return kPathNotFound;
  std::vector<TSearchRec::Entry> found;
  while (dirent* entry = ::readdir(d)) {
    std::string name = entry->d_name;
    if (!WildcardMatch(mask, name)) continue;
    if ((name == "." || name == "..") && folder == "/") continue;
    struct stat st;
    if (::lstat((folder == "/" ? "/" + name : folder + "/" + name).c_str(), &st) != 0) continue;
    TSearchRec::Entry e = EntryOf(name, st);
    if ((e.attr & rec.ExcludeAttr) != 0) continue;
    found.push_back(std::move(e));
  }
  ::closedir(d);
  std::sort(found.begin(), found.end(), [](const TSearchRec::Entry& a, const TSearchRec::Entry& b) {
    bool aDots = a.name == "." || a.name == "..", bDots = b.name == "." || b.name == "..";
    if (aDots != bDots) return aDots;
    return UpperCase(a.name) < UpperCase(b.name);
  });
  if (found.empty()) return kFileNotFound;
  rec.Pending = std::move(found);
  TakeNext(rec);
  return 0;
}

int FindNext(TSearchRec& rec) {
  if (rec.Pending.empty()) return kNoMoreFiles;
  TakeNext(rec);
  return 0;
}

void FindClose(TSearchRec& rec) { rec.Pending.clear(); }
