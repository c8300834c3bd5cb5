#include "host/sim/PlcFileSystem.h"

#include <cctype>
#include <cstring>
#include <ctime>

#include "host/sim/PlcErrors.h"

namespace {

constexpr std::uint32_t kNoHandle = 0xFFFFFFFFu;

std::uint32_t GetU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

void PutU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

bool DateValid(const std::uint8_t* d) {
  return d[1] >= 1 && d[1] <= 12 && d[2] >= 1 && d[2] <= 31 && d[3] < 24 && d[4] < 60 && d[5] < 60;
}

PlcDate SystemNow() { return PlcDateOfUnixTime(static_cast<std::int64_t>(std::time(nullptr))); }

}  // namespace

PlcDate PlcDateOfUnixTime(std::int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  PlcDate d;
  int year = tm.tm_year < 0 ? 0 : (tm.tm_year > 255 ? 255 : tm.tm_year);
  d.bytes[0] = static_cast<std::uint8_t>(year);
  d.bytes[1] = static_cast<std::uint8_t>(tm.tm_mon + 1);
  d.bytes[2] = static_cast<std::uint8_t>(tm.tm_mday);
  d.bytes[3] = static_cast<std::uint8_t>(tm.tm_hour);
  d.bytes[4] = static_cast<std::uint8_t>(tm.tm_min);
  d.bytes[5] = static_cast<std::uint8_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
  return d;
}

PlcFileSystem::PlcFileSystem() : clock_(SystemNow) {
  PlcDate now = Now();
  for (const char* name : {"//", "//RAM", "//SDC"}) {
    Node n;
    n.info.folder = true;
    n.info.attributes = kPlcFolderAttribute;
    n.info.created = n.info.written = now;
    n.name = name;
    nodes_[name] = n;
  }
}

void PlcFileSystem::SetClock(Clock clock) {
  std::lock_guard<std::mutex> lock(mutex_);
  clock_ = clock ? std::move(clock) : Clock(SystemNow);
}

PlcDate PlcFileSystem::Now() const { return clock_(); }

std::optional<std::string> PlcFileSystem::KeyOfPath(const std::string& path, bool* folder) {
  if (path.size() < 2 || path.size() > kPlcMaxPathLength || path.compare(0, 2, "//") != 0) return std::nullopt;
  std::string rest = path.substr(2);
  bool isFolder = rest.empty() || rest.back() == '/';
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  std::string key = "//";
  std::size_t pos = 0;
  bool first = true;
  while (!rest.empty() && pos <= rest.size()) {
    std::size_t slash = rest.find('/', pos);
    if (slash == std::string::npos) slash = rest.size();
    std::string part = rest.substr(pos, slash - pos);
    if (part.empty() || part == "." || part == "..") return std::nullopt;
    for (char c : part)
      if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == ':' || c == '*' || c == '?') return std::nullopt;
    if (!first) key += '/';
    first = false;
    for (char c : part) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    pos = slash + 1;
  }
  if (folder) *folder = isFolder;
  return key;
}

std::string PlcFileSystem::ParentKey(const std::string& key) {
  std::size_t slash = key.rfind('/');
  if (slash <= 1) return "//";
  return key.substr(0, slash);
}

std::uint64_t PlcFileSystem::TotalSize() const {
  std::uint64_t total = 0;
  for (const auto& [key, node] : nodes_) total += node.info.data.size();
  return total;
}

bool PlcFileSystem::AddFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  bool folder;
  auto key = KeyOfPath(path, &folder);
  if (!key) return false;
  auto parent = nodes_.find(ParentKey(*key));
  if (parent == nodes_.end() || !parent->second.info.folder) return false;
  auto it = nodes_.find(*key);
  if (it != nodes_.end()) return it->second.info.folder;
  Node n;
  n.info.folder = true;
  n.info.attributes = kPlcFolderAttribute;
  n.info.created = n.info.written = Now();
  n.name = path;
  nodes_[*key] = n;
  return true;
}

bool PlcFileSystem::AddFile(const std::string& path, const std::vector<std::uint8_t>& data, const PlcDate& created,
                            const PlcDate& written) {
  std::lock_guard<std::mutex> lock(mutex_);
  bool folder;
  auto key = KeyOfPath(path, &folder);
  if (!key || folder || data.size() > kPlcMaxFileSize) return false;
  auto parent = nodes_.find(ParentKey(*key));
  if (parent == nodes_.end() || !parent->second.info.folder) return false;
  auto it = nodes_.find(*key);
  if (it != nodes_.end() && it->second.info.folder) return false;
  Node n;
  n.info.data = data;
  n.info.created = created;
  n.info.written = written;
  n.name = path;
  nodes_[*key] = n;
  return true;
}

std::optional<PlcFileInfo> PlcFileSystem::Find(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto key = KeyOfPath(path, nullptr);
  if (!key) return std::nullopt;
  auto it = nodes_.find(*key);
  if (it == nodes_.end()) return std::nullopt;
  return it->second.info;
}

std::vector<std::string> PlcFileSystem::List() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& [key, node] : nodes_) out.push_back(node.info.folder && key != "//" ? key + "/" : key);
  return out;
}

std::size_t PlcFileSystem::OpenHandleCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handles_.size();
}

std::uint32_t PlcFileSystem::NewHandle() {
  for (;;) {
    std::uint32_t h = nextHandle_++;
    if (nextHandle_ == kNoHandle) nextHandle_ = 1;
    if (h != 0 && h != kNoHandle && handles_.count(h) == 0) return h;
  }
}

HRESULT PlcFileSystem::Handle(const std::uint8_t* request, std::uint32_t requestLength, std::uint8_t* reply,
                              std::uint32_t* replyLength) {
  if (replyLength == nullptr || (request == nullptr && requestLength != 0)) return E_POINTER;
  std::uint32_t capacity = *replyLength;
  *replyLength = 0;
  if (requestLength == 0) return kPlcErrorBadRequest;
  std::uint32_t needed;
  switch (request[0]) {
    case 2: needed = 28; break;
    case 4: needed = 16; break;
    case 5: needed = 16; break;
    default: needed = 8; break;  // close, and the answer to an unknown command
  }
  if (capacity < needed || reply == nullptr) return kPlcErrorReplyTooSmall;
  std::lock_guard<std::mutex> lock(mutex_);
  std::memset(reply, 0, needed);
  switch (request[0]) {
    case 2: *replyLength = Open(request, requestLength, reply); break;
    case 3: *replyLength = Close(request, requestLength, reply); break;
    case 4: *replyLength = Read(request, requestLength, reply, capacity); break;
    case 5: *replyLength = Write(request, requestLength, reply); break;
    default:
      PutU32(reply, kPlcFileBadRequest);
      *replyLength = 8;
      break;
  }
  return S_OK;
}

std::uint32_t PlcFileSystem::Open(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply) {
  PutU32(reply + 4, kNoHandle);
  auto fail = [&](std::uint32_t status) {
    PutU32(reply, status);
    return 28u;
  };
  if (length < 7) return fail(kPlcFileBadRequest);
  const std::uint8_t* end = static_cast<const std::uint8_t*>(std::memchr(request + 6, 0, length - 6));
  if (end == nullptr) return fail(kPlcFileBadPath);
  std::string path(reinterpret_cast<const char*>(request + 6), static_cast<std::size_t>(end - (request + 6)));
  std::uint8_t mode = request[1];
  std::uint32_t value = GetU32(request + 2);
  if (mode != 1 && mode != 6) return fail(kPlcFileBadRequest);
  bool folder;
  auto key = KeyOfPath(path, &folder);
  if (!key) return fail(kPlcFileBadPath);
  if (handles_.size() >= kPlcMaxOpenHandles) return fail(kPlcFileTooManyOpen);

  auto it = nodes_.find(*key);
  if (mode == 1) {
    if (it == nodes_.end()) return fail(kPlcFileNotFound);
    if (it->second.info.folder != folder) return fail(kPlcFileWrongKind);
  } else {
    auto parent = nodes_.find(ParentKey(*key));
    if (parent == nodes_.end() || !parent->second.info.folder) return fail(kPlcFileNotFound);
    if (it != nodes_.end() && it->second.info.folder != folder) return fail(kPlcFileWrongKind);
    if (!folder) {
      std::uint64_t old = it != nodes_.end() ? it->second.info.data.size() : 0;
      if (value > kPlcMaxFileSize || TotalSize() - old + value > kPlcMaxTotalSize) return fail(kPlcFileNoSpace);
      for (const auto& [h, entry] : handles_)
        if (entry.key == *key) return fail(kPlcFileNotWritable);  // a file open elsewhere is not replaced
    }
    if (it == nodes_.end() || !folder) {
      Node n;
      n.info.folder = folder;
      n.info.attributes = folder ? kPlcFolderAttribute : 0;
      n.info.created = n.info.written = Now();
      n.name = path;
      it = nodes_.insert_or_assign(*key, n).first;
    }
  }
  std::uint32_t handle = NewHandle();
  handles_[handle] = {*key, mode == 6 && !folder};
  const PlcFileInfo& info = it->second.info;
  PutU32(reply, kPlcFileOk);
  PutU32(reply + 4, handle);
  PutU32(reply + 8, static_cast<std::uint32_t>(info.data.size()));
  std::memcpy(reply + 12, info.created.bytes, 6);
  std::memcpy(reply + 18, info.written.bytes, 6);
  PutU32(reply + 24, info.attributes);
  return 28;
}

std::uint32_t PlcFileSystem::Close(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply) {
  if (length != 22) {
    PutU32(reply, kPlcFileBadRequest);
    return 8;
  }
  std::uint32_t handle = GetU32(request + 2);
  PutU32(reply + 4, handle);
  auto h = handles_.find(handle);
  if (h == handles_.end()) {
    PutU32(reply, kPlcFileBadHandle);
    return 8;
  }
  auto it = nodes_.find(h->second.key);
  if (it != nodes_.end()) {
    PlcFileInfo& info = it->second.info;
    if (DateValid(request + 6)) std::memcpy(info.created.bytes, request + 6, 6);
    if (DateValid(request + 12)) std::memcpy(info.written.bytes, request + 12, 6);
    if (!info.folder) info.attributes = GetU32(request + 18) & ~kPlcFolderAttribute;
  }
  handles_.erase(h);
  PutU32(reply, kPlcFileOk);
  return 8;
}

std::uint32_t PlcFileSystem::Read(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply,
                                  std::uint32_t capacity) {
  if (length != 13) {
    PutU32(reply, kPlcFileBadRequest);
    return 16;
  }
  std::uint32_t handle = GetU32(request + 1);
  std::uint32_t offset = GetU32(request + 5);
  std::uint32_t count = GetU32(request + 9);
  PutU32(reply + 4, handle);
  PutU32(reply + 8, offset);
  auto h = handles_.find(handle);
  if (h == handles_.end()) {
    PutU32(reply, kPlcFileBadHandle);
    return 16;
  }
  const PlcFileInfo& info = nodes_.at(h->second.key).info;
  if (info.folder) {
    PutU32(reply, kPlcFileWrongKind);
    return 16;
  }
  if (offset > info.data.size()) {
    PutU32(reply, kPlcFileBadOffset);
    return 16;
  }
  std::uint32_t available = static_cast<std::uint32_t>(info.data.size()) - offset;
  std::uint32_t delivered = count < available ? count : available;
  if (delivered > capacity - 16) delivered = capacity - 16;
  if (delivered) std::memcpy(reply + 16, info.data.data() + offset, delivered);
  PutU32(reply, kPlcFileOk);
  PutU32(reply + 12, delivered);
  return 16 + delivered;
}

std::uint32_t PlcFileSystem::Write(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply) {
  if (length < 13) {
    PutU32(reply, kPlcFileBadRequest);
    return 16;
  }
  std::uint32_t handle = GetU32(request + 1);
  std::uint32_t offset = GetU32(request + 5);
  std::uint32_t count = GetU32(request + 9);
  PutU32(reply + 4, handle);
  PutU32(reply + 8, offset);
  if (count != length - 13) {
    PutU32(reply, kPlcFileBadRequest);
    return 16;
  }
  auto h = handles_.find(handle);
  if (h == handles_.end()) {
    PutU32(reply, kPlcFileBadHandle);
    return 16;
  }
  if (!h->second.writable) {
    PutU32(reply, kPlcFileNotWritable);
    return 16;
  }
  PlcFileInfo& info = nodes_.at(h->second.key).info;
  if (offset > info.data.size()) {
    PutU32(reply, kPlcFileBadOffset);
    return 16;
  }
  std::uint64_t end = std::uint64_t{offset} + count;
  if (end > info.data.size()) {
    std::uint64_t grow = end - info.data.size();
    if (end > kPlcMaxFileSize || TotalSize() + grow > kPlcMaxTotalSize) {
      PutU32(reply, kPlcFileNoSpace);
      return 16;
    }
    info.data.resize(static_cast<std::size_t>(end));
  }
  if (count) std::memcpy(info.data.data() + offset, request + 13, count);
  PutU32(reply, kPlcFileOk);
  PutU32(reply + 12, count);
  return 16;
}
