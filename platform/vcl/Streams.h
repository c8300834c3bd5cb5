#pragma once
// Streams of the class library: the abstract TStream with its buffer helpers,
// memory streams, file streams and read-only streams over embedded resources.
// Positions and sizes are 64-bit; a short transfer through ReadBuffer or
// WriteBuffer raises EReadError or EWriteError.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vcl/SysUtilsException.h"
#include "platform/win/WinTypes.h"

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EFilerError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
 public:
  using EFilerError::EFilerError;
};
class EWriteError : public EFilerError {
 public:
  using EFilerError::EFilerError;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

// Seek origins (the class library's soFromBeginning, soFromCurrent, soFromEnd).
inline constexpr int soFromBeginning = 0;
inline constexpr int soFromCurrent = 1;
inline constexpr int soFromEnd = 2;

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Moves up to `count` bytes; answers how many moved (0 at the end, and for
  // a negative count).
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position relative to the origin; answers the new position.
  virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;

  std::int64_t Position() { return Seek(0, soFromCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, soFromBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size);

  // Exactly `count` bytes or an exception.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies `count` bytes from the source's position; a count of 0 copies the
  // whole source from its start. Answers the number copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// A stream over a block of memory that another object provides.
class TCustomMemoryStream : public TStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  std::int64_t Size() override { return size_; }

  void* Memory() const { return memory_; }
  void SaveToStream(TStream& stream);
  // Writes the whole content as the file's new content (temporary file and
  // rename); raises EFCreateError when that fails.
  void SaveToFile(const std::string& fileName);

 protected:
  void SetPointer(void* memory, std::int64_t size);
  unsigned char* memory_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

// A growable stream in memory. Writing beyond the end grows it (a gap left by
// a seek past the end reads as zeros); it never grows beyond 2 GiB.
class TMemoryStream : public TCustomMemoryStream {
 public:
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  void SetSize(std::int64_t size) override;
  void Clear();
  void LoadFromStream(TStream& stream);
  // Raises EFOpenError when the file cannot be read.
  void LoadFromFile(const std::string& fileName);

 private:
  std::vector<unsigned char> buffer_;
};

// File modes: one access mode, or fmCreate, combined with a sharing mode.
// Sharing modes are accepted and have no effect here.
inline constexpr unsigned fmCreate = 0xFFFF;
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
inline constexpr unsigned fmShareCompat = 0x0000;
inline constexpr unsigned fmShareExclusive = 0x0010;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyRead = 0x0030;
inline constexpr unsigned fmShareDenyNone = 0x0040;

// A stream over a file. The name is a system path (see platform/win/Paths.h).
// fmCreate makes a new, empty file (or empties an existing one) and raises
// EFCreateError when it cannot; the open modes raise EFOpenError.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, unsigned mode);
  ~TFileStream() override;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, int origin) override;
  void SetSize(std::int64_t size) override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
  int fd_ = -1;
};

// A read-only stream over a resource of a module (name and type as text or
// MAKEINTRESOURCE). Raises EResNotFound when the module has no such resource.
class TResourceStream : public TCustomMemoryStream {
 public:
  TResourceStream(HINSTANCE instance, LPCSTR resourceName, LPCSTR resourceType);
  std::int64_t Write(const void* buffer, std::int64_t count) override;
};
