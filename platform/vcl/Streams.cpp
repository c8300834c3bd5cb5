#include "platform/vcl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/win/FileFault.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"
#include "platform/win/Resources.h"

namespace {

// A memory stream never grows beyond this, so a seek far past the end followed
// by a write cannot ask for unbounded memory.
constexpr std::int64_t kMaxMemoryStreamSize = 0x7FFFFFFF;

std::int64_t NewPosition(std::int64_t current, std::int64_t size, std::int64_t offset, int origin) {
  std::int64_t base = 0;
  if (origin == soFromCurrent)
    base = current;
  else if (origin == soFromEnd)
    base = size;
  // Saturate instead of overflowing on absurd offsets.
  if (offset > 0 && base > INT64_MAX - offset) return INT64_MAX;
  if (offset < 0 && base < INT64_MIN - offset) return INT64_MIN;
  return base + offset;
}

std::string ResourceNameText(LPCSTR name) {
  if (name == nullptr) return "";
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

}  // namespace

// --- TStream ---

std::int64_t TStream::Size() {
  const std::int64_t position = Seek(0, soFromCurrent);
  const std::int64_t size = Seek(0, soFromEnd);
  Seek(position, soFromBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<unsigned char> buffer(
      static_cast<std::size_t>(std::min<std::int64_t>(std::max<std::int64_t>(count, 0), 0xF000)));
  std::int64_t done = 0;
  while (done < count) {
    const std::int64_t n = std::min<std::int64_t>(count - done, static_cast<std::int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    done += n;
  }
  return done;
}

// --- TCustomMemoryStream ---

void TCustomMemoryStream::SetPointer(void* memory, std::int64_t size) {
  memory_ = static_cast<unsigned char*>(memory);
  size_ = size;
}

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || position_ < 0 || position_ >= size_) return 0;
  const std::int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, memory_ + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, int origin) {
  position_ = NewPosition(position_, size_, offset, origin);
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) {
  if (size_ > 0) stream.WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
  if (!WriteFileReplacing(fileName, memory_, static_cast<std::size_t>(size_)))
    throw EFCreateError("Cannot create file " + fileName);
}

// --- TMemoryStream ---

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) size = 0;
  if (size > kMaxMemoryStreamSize) throw EStreamError("Out of memory while expanding memory stream");
  try {
    buffer_.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EStreamError("Out of memory while expanding memory stream");
  }
  SetPointer(buffer_.data(), size);
  if (position_ > size) position_ = size;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  if (position_ > kMaxMemoryStreamSize - count) throw EStreamError("Out of memory while expanding memory stream");
  const std::int64_t end = position_ + count;
  if (end > size_) {
    const std::int64_t keep = position_;
    SetSize(end);
    position_ = keep;
  }
  std::memcpy(memory_ + position_, buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

void TMemoryStream::Clear() {
  buffer_.clear();
  buffer_.shrink_to_fit();
  SetPointer(nullptr, 0);
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const std::int64_t count = stream.Size();
  SetSize(count);
  if (count != 0) stream.ReadBuffer(memory_, count);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) throw EFOpenError("Cannot open file " + fileName);
  SetSize(static_cast<std::int64_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(memory_, bytes.data(), bytes.size());
  position_ = 0;
}

// --- TFileStream ---

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
  const std::string path = ToNativePath(fileName);
  if (mode == fmCreate || (mode & 0xFF00) == 0xFF00) {
    if (FileOpFault(TFileOp::kCreate, path) == 0)
      fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw EFCreateError("Cannot create file " + fileName);
  } else {
    int flags = O_RDONLY;
    if ((mode & 3) == fmOpenWrite)
      flags = O_WRONLY;
    else if ((mode & 3) == fmOpenReadWrite)
      flags = O_RDWR;
    if (flags == O_RDONLY || FileOpFault(TFileOp::kCreate, path) == 0) fd_ = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd_ < 0) throw EFOpenError("Cannot open file " + fileName);
  }
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    if (mode == fmCreate) throw EFCreateError("Cannot create file " + fileName);
    throw EFOpenError("Cannot open file " + fileName);
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  auto* out = static_cast<unsigned char*>(buffer);
  while (done < count) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - done, 1 << 30));
    const ssize_t n = ::read(fd_, out + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count > 0 && FileOpFaultOnFd(TFileOp::kWrite, fd_) != 0) return 0;
  std::int64_t done = 0;
  const auto* in = static_cast<const unsigned char*>(buffer);
  while (done < count) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(count - done, 1 << 30));
    const ssize_t n = ::write(fd_, in + done, chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, int origin) {
  const int whence = origin == soFromCurrent ? SEEK_CUR : origin == soFromEnd ? SEEK_END : SEEK_SET;
  const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (result < 0) return ::lseek(fd_, 0, SEEK_CUR);
  return result;
}

void TFileStream::SetSize(std::int64_t size) {
  if (size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw EStreamError("Stream size cannot be changed");
  if (Position() > size) Seek(size, soFromBeginning);
}

// --- TResourceStream ---

TResourceStream::TResourceStream(HINSTANCE instance, LPCSTR resourceName, LPCSTR resourceType) {
  HRSRC resource = FindResource(instance, resourceName, resourceType);
  if (resource == nullptr) throw EResNotFound("Resource " + ResourceNameText(resourceName) + " not found");
  SetPointer(LockResource(LoadResource(instance, resource)), SizeofResource(instance, resource));
}

std::int64_t TResourceStream::Write(const void*, std::int64_t) {
  throw EStreamError("Can't write to a read-only resource stream");
}
