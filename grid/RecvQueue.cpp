#include "grid/RecvQueue.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/TraceLog.h"
#include "grid/TransferStart.h"
#include "platform/win/FileTime.h"
#include "platform/win/Paths.h"

namespace {

constexpr std::size_t kLocalNameLimit = 80;
constexpr std::size_t kPlcPathLimit = kPlcPathCapacity - 1;
// A path whose name has no query keeps at most this many characters.
constexpr std::size_t kPlainPathLimit = 79;
constexpr const char* kTemporaryName = "tmp.tmp";

std::string WithoutQuery(const std::string& name) { return name.substr(0, name.find('?')); }

}  // namespace

bool IsPlainRelativeName(const std::string& name) {
  if (name.find_first_of("\\:") != std::string::npos) return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20) return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t slash = name.find('/', start);
    if (slash == std::string::npos) slash = name.size();
    const std::string part = name.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = slash + 1;
  }
  return IsSafeRelativePath(name);
}

namespace {

// True when the native path lies below the folder (both made absolute,
// links resolved as far as they exist).
bool StaysBelow(const std::string& nativeFolder, const std::string& nativePath) {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::weakly_canonical(nativeFolder, ec);
  if (ec) return false;
  const std::filesystem::path path = std::filesystem::weakly_canonical(nativePath, ec);
  if (ec) return false;
  const std::filesystem::path relative = path.lexically_relative(folder);
  return !relative.empty() && *relative.begin() != ".." && !relative.is_absolute();
}

std::uint64_t TimeOf(const FILETIME& ft) { return FileTimeToUInt64(ft); }

}  // namespace

TRecvQueue::TRecvQueue(TRecvFile* transfer, TTempDirSource tempDir)
    : transfer_(transfer), tempDir_(std::move(tempDir)) {}

std::string TRecvQueue::GetTempDir() const { return tempDir_ ? tempDir_() : std::string(); }

std::string TRecvQueue::PlcPathOf(const std::string& name) {
  std::string rest = WithoutQuery(name);
  rest.erase(0, rest.find_first_not_of('/') == std::string::npos ? rest.size() : rest.find_first_not_of('/'));
  const bool device = rest.rfind("RAM/", 0) == 0 || rest.rfind("SDC/", 0) == 0;
  std::string path = (device ? "//" : "//WWW/") + rest;
  const bool query = name.find('?') != std::string::npos;
  // A path cut at its query still has to fit the request's buffer.
  path.resize(std::min(path.size(), query ? kPlcPathLimit : kPlainPathLimit));
  return path;
}

std::string TRecvQueue::LocalNameOf(const std::string& folder, const std::string& name) {
  if (folder.empty()) return {};
  std::string relative = name.substr(0, kLocalNameLimit);
  relative = WithoutQuery(relative);
  const std::size_t first = relative.find_first_not_of('/');
  relative.erase(0, first == std::string::npos ? relative.size() : first);
  if (!IsPlainRelativeName(relative)) return {};
  std::string local = folder;
  for (char c : relative) local += c == '/' ? '\\' : c;
  if (!StaysBelow(ToNativePath(folder), ToNativePath(local))) return {};
  return local;
}

int TRecvQueue::IndexOf(const TGridWebElement* owner) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->owner == owner) return static_cast<int>(i);
  return -1;
}

void TRecvQueue::Add(const TGridWebElement* owner, const std::string& fileName) {
  const int index = IndexOf(owner);
  if (index < 0) {
    auto item = std::make_unique<TRQListItem>();
    item->owner = owner;
    item->state = 1;
    item->file = fileName;
    items_.push_back(std::move(item));
    WriteTraceLog("Add file with new > " + fileName);
    return;
  }
  TRQListItem& item = *items_[static_cast<std::size_t>(index)];
  if (item.state == 0) {
    item.state = 1;
    item.file = fileName;
    WriteTraceLog("Add file > " + fileName);
  } else if (item.file != fileName) {
    item.pending = fileName;
    WriteTraceLog("Add pending file > " + fileName);
  }
}

void TRecvQueue::Poll() {
  if (items_.empty()) return;
  const std::int32_t state = transfer_->state.load(std::memory_order_acquire);
  if (current_ >= 0 && current_ < static_cast<int>(items_.size())) {
    TRQListItem& item = *items_[static_cast<std::size_t>(current_)];
    item.state = state;
    WriteTraceLog("Active file > " + item.file);
    if (state == 4 && !item.placed) {
      PutInPlace(item);
      item.placed = true;
    }
  }
  if (state != 0 && state != 4) return;
  if (!StartNextWaiting()) current_ = -1;
}

bool TRecvQueue::StartNextWaiting() {
  const int count = static_cast<int>(items_.size());
  for (int step = 1; step <= count; ++step) {
    const int index = ((current_ < 0 ? -1 : current_) + step) % count;
    if (index == current_) break;
    TRQListItem& item = *items_[static_cast<std::size_t>(index)];
    if (item.state != 1) continue;
    Start(item, index);
    return true;
  }
  return false;
}

void TRecvQueue::Start(TRQListItem& item, int index) {
  current_ = index;
  item.placed = false;
  WriteTraceLog("Processing file > " + item.file);
  const std::string folder = GetTempDir();
  const std::string local = LocalNameOf(folder, item.file);
  if (local.empty()) {
    // A refused name (or no project): nothing is fetched.
    WriteTraceLog("Refused file name > " + item.file);
    item.state = 0;
    return;
  }
  std::error_code ec;
  std::filesystem::create_directories(ToNativePath(folder), ec);
  const std::string temporary = folder + kTemporaryName;
  // A temporary file left by an earlier download never becomes this file.
  std::filesystem::remove(ToNativePath(temporary), ec);
  FILETIME created{};
  FILETIME written{};
  if (!GetPathFileTime(local, &created, nullptr, &written)) created = written = FILETIME{};
  StartDownload(*transfer_, PlcPathOf(item.file), temporary, TimeOf(created), TimeOf(written));
}

void TRecvQueue::PutInPlace(const TRQListItem& item) {
  if (transfer_->unchanged != 0) return;
  const std::string folder = GetTempDir();
  const std::string local = LocalNameOf(folder, item.file);
  const std::string temporary = ToNativePath(folder + kTemporaryName);
  std::error_code ec;
  if (local.empty() || !std::filesystem::exists(temporary, ec)) return;
  const std::string nativeLocal = ToNativePath(local);
  std::filesystem::create_directories(std::filesystem::path(nativeLocal).parent_path(), ec);
  std::filesystem::rename(temporary, nativeLocal, ec);
  if (ec) {
    WriteTraceLog("Rename failed > " + item.file);
    return;
  }
  if (transfer_->creationTime == 0) return;
  const FILETIME created = UInt64ToFileTime(transfer_->creationTime);
  const FILETIME written = UInt64ToFileTime(transfer_->writeTime);
  SetPathFileTime(local, &created, nullptr, &written);
}

int TRecvQueue::Finish(const TGridWebElement* owner) {
  const int index = IndexOf(owner);
  if (index < 0) return -1;
  TRQListItem& item = *items_[static_cast<std::size_t>(index)];
  if (item.state == 4) {
    WriteTraceLog("Rename downloaded file > " + item.file);
    item.state = 0;
    if (!item.placed) PutInPlace(item);
    item.placed = true;
  }
  if (item.state == 0 && !item.pending.empty()) {
    WriteTraceLog("Another file is waiting > " + item.pending);
    item.file = item.pending;
    item.pending.clear();
    item.state = 1;
    return 0;
  }
  return item.state;
}

std::string TRecvQueue::LocalFileOf(const TGridWebElement* owner) const {
  const int index = IndexOf(owner);
  if (index < 0) return {};
  return LocalNameOf(GetTempDir(), items_[static_cast<std::size_t>(index)]->file);
}

void TRecvQueue::Remove(const TGridWebElement* owner) {
  const int index = IndexOf(owner);
  if (index < 0) return;
  items_.erase(items_.begin() + index);
  // The current index follows its item; the removed item's download runs on
  // in the record, but its outcome is copied into no other entry.
  if (current_ == index)
    current_ = -1;
  else if (current_ > index)
    --current_;
}
