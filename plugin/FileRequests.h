#pragma once
// The file requests of the PLC's file service (40) that the live view's
// transfers send, and the checks of their answers.
//
// Requests, little-endian, no padding (a 6-byte PLC date is year - 1900,
// month, day, hour, minute, second):
//   open   2, mode u8 (1 existing, 6 create), value u32, path NUL-terminated
//   close  3, 0, handle u32, creation date, write date, attributes u32 (22)
//   read   4, handle u32, offset u32, count u32 (13)
//   write  5, handle u32, offset u32, count u32, count data bytes
// Each builder fills a caller's buffer of kFileRequestCapacity bytes and
// answers the request's length.

#include <cstdint>
#include <optional>

#include "grid/TransferRecords.h"
#include "hostapi/CommLoop.h"

inline constexpr std::uint32_t kFileRequestCapacity = 256;
inline constexpr std::uint32_t kFileAnswerCapacity = 256;
// The most data bytes one read or write request carries.
inline constexpr std::uint32_t kFileBlockSize = 220;
inline constexpr std::uint8_t kOpenExisting = 1;
inline constexpr std::uint8_t kOpenCreate = 6;
inline constexpr std::uint32_t kNoPlcHandle = 0xFFFFFFFFu;
inline constexpr std::uint32_t kFolderAttributes = 0x10;

// Open: the path is cut so that the request fits the buffer.
std::uint32_t BuildFileOpenRequest(std::uint8_t* buffer, const char* path, std::uint8_t mode, std::uint32_t value);
// Close of `handle` with the two times (64-bit file times, UTC): a missing
// creation time is the current time, a missing write time equals the
// creation date.
std::uint32_t BuildFileTimeRequest(std::uint8_t* buffer, std::uint32_t handle, const std::uint64_t* creation,
                                   const std::uint64_t* write, std::uint32_t attributes);
// Close of a PLC folder: both dates of the all-zero calendar time, the
// folder attribute.
std::uint32_t BuildFolderCloseRequest(std::uint8_t* buffer, std::uint32_t handle);
// The download's open of its PLC path for reading; offset back to 0.
std::uint32_t BuildFileOpenReadRequest(std::uint8_t* buffer, TRecvFile& download);
// The download's next read: count = min(size - offset, 220), kept as block.
std::uint32_t BuildFileReadRequest(std::uint8_t* buffer, TRecvFile& download);
// The download's close: every byte after the handle zero.
std::uint32_t BuildFileCloseRequest(std::uint8_t* buffer, const TRecvFile& download);
// The upload's next write: count = min(size - offset, 220) bytes read from the
// local file at the offset. 0 (no request) when the file gives fewer bytes
// than that: it shrank or could not be read.
std::uint32_t BuildFileWriteRequest(std::uint8_t* buffer, TPostFile& upload);

// A 6-byte PLC date of a 64-bit file time (UTC); years outside 1900 to 2155
// are held at those ends.
void PlcDateOfFileTime(std::uint64_t fileTime, std::uint8_t* date);
// The file time of a PLC date (milliseconds 0); none when the date names no
// moment.
std::optional<std::uint64_t> FileTimeOfPlcDate(const std::uint8_t* date);

// Little-endian u32 of an answer.
std::uint32_t AnswerU32(const std::uint8_t* answer, std::uint32_t at);

// Logs the text of a failed request's result code and answers the code: the
// host's text for an interface-specific code, else the system's.
HRESULT ReportCommError(HRESULT code);
