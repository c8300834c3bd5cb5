#include "grid/TransferStart.h"

#include <cctype>
#include <cstring>
#include <limits>

#include "core/NameHelpers.h"
#include "platform/win/Paths.h"

namespace {

void CopyPath(char (&target)[kPlcPathCapacity], const std::string& path) {
  std::memset(target, 0, sizeof target);
  std::memcpy(target, path.data(), std::min(path.size(), sizeof target - 1));
}

}  // namespace

bool PrepareUpload(TPostFile& upload, const std::string& localName, const std::string& plcPath, bool* doneFlag) {
  if (upload.state.load(std::memory_order_acquire) != 0) return false;
  upload.localName = localName;
  std::FILE* file = std::fopen(ToNativePath(localName).c_str(), "rb");
  if (file == nullptr) return false;
  // Unbuffered: every block is read from the file as it is then, so a file
  // that shrank meanwhile gives a short read instead of stale bytes.
  std::setvbuf(file, nullptr, _IONBF, 0);
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  if (size < 0 || static_cast<unsigned long>(size) > std::numeric_limits<std::uint32_t>::max() ||
      std::fseek(file, 0, SEEK_SET) != 0) {
    std::fclose(file);
    return false;
  }
  if (upload.localFile != nullptr) std::fclose(upload.localFile);
  upload.localFile = file;
  upload.size.store(static_cast<std::uint32_t>(size), std::memory_order_relaxed);
  CopyPath(upload.plcPath, plcPath);
  upload.handle = -1;
  upload.offset.store(0, std::memory_order_relaxed);
  upload.block = 0;
  upload.doneFlag = doneFlag;
  upload.cancel.store(0, std::memory_order_relaxed);
  upload.outcome.store(TUploadOutcome::Running, std::memory_order_relaxed);
  return true;
}

void PublishUpload(TPostFile& upload, HWND progressWindow) {
  upload.progressWindow.store(progressWindow, std::memory_order_relaxed);
  upload.state.store(1, std::memory_order_release);
}

bool StartDownload(TRecvFile& download, const std::string& plcPath, const std::string& localName,
                   std::uint64_t creationTime, std::uint64_t writeTime) {
  const std::int32_t state = download.state.load(std::memory_order_acquire);
  if (state != 0 && state != 4) return false;
  CopyPath(download.plcPath, plcPath);
  download.localName = localName;
  download.creationTime = creationTime;
  download.writeTime = writeTime;
  download.handle = -1;
  download.offset.store(0, std::memory_order_relaxed);
  download.size.store(0, std::memory_order_relaxed);
  download.unchanged = 0;
  download.failing = false;
  download.state.store(1, std::memory_order_release);
  return true;
}

TGridShowUploadProgress gGridShowUploadProgress = nullptr;
TGridCloseUploadProgress gGridCloseUploadProgress = nullptr;

std::string UploadPlcPath(const std::string& fileName) {
  std::string path;
  if (!MakeUploadName(path, fileName)) return {};
  for (char& c : path) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool allowed = std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'Z') || c == '-' ||
                         c == '_' || c == '.' || c == '/';
    if (!allowed) c = '_';
  }
  if (path.size() >= kPlcPathCapacity) path.resize(kPlcPathCapacity - 1);
  return path;
}
