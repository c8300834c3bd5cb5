#pragma once
// The simulated PLC's file system and its answers to the file requests of the
// communication service 40.
//
// Paths are the PLC's: "//" followed by folder and file names separated by
// '/', a folder written with a trailing '/' ("//WWW/UPLOAD/"). Names compare
// without regard to case; ".", "..", empty names, backslashes and control
// characters are refused, and a path is at most 83 characters. The root "//"
// holds the folders "RAM" and "SDC" from the start; everything else is made
// by requests or by the host (AddFile, AddFolder).
//
// Requests (little-endian, no padding; a 6-byte PLC date is year - 1900,
// month, day, hour, minute, second):
//   open   2, mode u8 (1 existing, 6 create), value u32, path NUL-terminated
//   close  3, 0, handle u32, creation date, write date, attributes u32 (22)
//   read   4, handle u32, offset u32, count u32 (13)
//   write  5, handle u32, offset u32, count u32, count data bytes
// Answers:
//   open   28 bytes: status, handle (0xFFFFFFFF when none), size u32,
//          creation date, write date, attributes u32
//   close  8 bytes: status, handle
//   read   16 + delivered: status, handle, offset, delivered, the data
//   write  16 bytes: status, handle, offset, bytes written
// A folder created by a request is answered like an opened one; a file
// created with mode 6 starts empty (the value is the size announced, refused
// when it exceeds the file limit) and grows with its writes. Closing with a
// valid date sets it; a date whose month or day is 0 leaves the time as it is
// (the download closes with zero dates).
//
// The file system is used from the communication-loop thread and from the
// host's own thread; every call takes its lock.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/Unknown.h"

struct PlcDate {
  std::uint8_t bytes[6] = {0, 0, 0, 0, 0, 0};  // year - 1900, month, day, hour, minute, second
  bool operator==(const PlcDate&) const = default;
};

// The PLC date of a time in seconds since 1970 (UTC); years before 1900 and
// after 2155 are held at those ends.
PlcDate PlcDateOfUnixTime(std::int64_t seconds);

// Status words of the answers.
enum PlcFileStatus : std::uint32_t {
  kPlcFileOk = 0,
  kPlcFileNotFound = 1,     // the object, or the folder it should be made in, does not exist
  kPlcFileWrongKind = 2,    // a file where a folder is named, or the other way round
  kPlcFileBadHandle = 3,    // no such handle open
  kPlcFileBadPath = 4,      // malformed path
  kPlcFileBadRequest = 5,   // unknown command or mode, wrong length
  kPlcFileTooManyOpen = 6,  // all 16 handles in use
  kPlcFileNoSpace = 7,      // the file or the file system would grow over its limit
  kPlcFileBadOffset = 8,    // a write that would leave a hole, a read past the end
  kPlcFileNotWritable = 9,  // a write through a handle opened for reading
};

inline constexpr std::uint32_t kPlcMaxPathLength = 83;
inline constexpr std::uint32_t kPlcMaxOpenHandles = 16;
inline constexpr std::uint32_t kPlcMaxFileSize = 4u << 20;
inline constexpr std::uint32_t kPlcMaxTotalSize = 16u << 20;
inline constexpr std::uint32_t kPlcFolderAttribute = 0x10;

struct PlcFileInfo {
  bool folder = false;
  std::vector<std::uint8_t> data;
  PlcDate created;
  PlcDate written;
  std::uint32_t attributes = 0;
};

class PlcFileSystem {
 public:
  using Clock = std::function<PlcDate()>;

  PlcFileSystem();

  // The clock that dates new objects (default: the system's UTC time).
  void SetClock(Clock clock);

  // Host-side access (no handles): false for a bad path or a missing parent.
  bool AddFolder(const std::string& path);
  bool AddFile(const std::string& path, const std::vector<std::uint8_t>& data, const PlcDate& created,
               const PlcDate& written);
  std::optional<PlcFileInfo> Find(const std::string& path) const;
  // Every object's path in sorted order (folders with a trailing '/').
  std::vector<std::string> List() const;
  std::size_t OpenHandleCount() const;

  // Answers one service-40 request. `replyLength` holds the reply buffer's
  // capacity and receives the answer's length. A request too short to carry
  // a command, or a reply buffer too small for the answer, fails with
  // kPlcErrorBadRequest / kPlcErrorReplyTooSmall (nothing is changed);
  // everything else is answered with a status.
  HRESULT Handle(const std::uint8_t* request, std::uint32_t requestLength, std::uint8_t* reply,
                 std::uint32_t* replyLength);

  // The key of a path (upper case, no trailing '/'), and whether it names a
  // folder; none for a malformed path.
  static std::optional<std::string> KeyOfPath(const std::string& path, bool* folder);

 private:
  struct Node {
    PlcFileInfo info;
    std::string name;  // as first written
  };
  struct OpenEntry {
    std::string key;
    bool writable = false;
  };

  PlcDate Now() const;
  std::uint64_t TotalSize() const;
  static std::string ParentKey(const std::string& key);
  std::uint32_t NewHandle();

  std::uint32_t Open(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply);
  std::uint32_t Close(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply);
  std::uint32_t Read(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply, std::uint32_t capacity);
  std::uint32_t Write(const std::uint8_t* request, std::uint32_t length, std::uint8_t* reply);

  mutable std::mutex mutex_;
  Clock clock_;
  std::map<std::string, Node> nodes_;
  std::map<std::uint32_t, OpenEntry> handles_;
  std::uint32_t nextHandle_ = 1;
};
