#include "plugin/FileRequests.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/TraceLog.h"
#include "platform/com/Bstr.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ResultCodes.h"
#include "platform/win/CodePage.h"
#include "platform/win/FileTime.h"
#include "platform/win/SystemError.h"

namespace {

constexpr std::uint8_t kCommandOpen = 2;
constexpr std::uint8_t kCommandClose = 3;
constexpr std::uint8_t kCommandRead = 4;
constexpr std::uint8_t kCommandWrite = 5;
constexpr std::uint32_t kCloseLength = 22;
constexpr std::uint32_t kReadLength = 13;
constexpr std::uint32_t kWriteHeader = 13;
constexpr int kPlcYearBase = 1900;
constexpr int kPlcLastYear = kPlcYearBase + 255;

void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t BlockOf(std::uint32_t size, std::uint32_t offset) {
  return offset >= size ? 0 : std::min(size - offset, kFileBlockSize);
}

// The 13-byte head of a read or write: command, handle, offset and the next
// block's count, which the record keeps; answers the offset.
template <typename Record>
std::uint32_t BuildDataHeader(std::uint8_t* buffer, std::uint8_t command, Record& record) {
  const std::uint32_t offset = record.offset.load(std::memory_order_relaxed);
  record.block = BlockOf(record.size.load(std::memory_order_relaxed), offset);
  buffer[0] = command;
  PutU32(buffer + 1, static_cast<std::uint32_t>(record.handle));
  PutU32(buffer + 5, offset);
  PutU32(buffer + 9, record.block);
  return offset;
}

std::uint64_t SystemFileTimeNow() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return FileTimeToUInt64(now);
}

std::uint32_t BuildClose(std::uint8_t* buffer, std::uint32_t handle, const std::uint8_t* created,
                         const std::uint8_t* written, std::uint32_t attributes) {
  buffer[0] = kCommandClose;
  buffer[1] = 0;
  PutU32(buffer + 2, handle);
  std::memcpy(buffer + 6, created, 6);
  std::memcpy(buffer + 12, written, 6);
  PutU32(buffer + 18, attributes);
  return kCloseLength;
}

std::string PlcErrorText(HRESULT code, HRESULT* failure) {
  ComPtr<IVornConnectedPlc> plc;
  *failure = CoCreateInstance(CLSID_HalvexPlcCommunicationServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IVornConnectedPlc, reinterpret_cast<void**>(plc.Put()));
  if (FAILED(*failure)) return {};
  BSTR text = nullptr;
  *failure = plc->GetErrorText(code, &text);
  if (FAILED(*failure)) return {};
  std::string ansi = WideToMultiByte(CP_ACP, BstrToWide(text));
  SysFreeString(text);
  return ansi;
}

}  // namespace

std::uint32_t AnswerU32(const std::uint8_t* answer, std::uint32_t at) {
  return std::uint32_t{answer[at]} | (std::uint32_t{answer[at + 1]} << 8) | (std::uint32_t{answer[at + 2]} << 16) |
         (std::uint32_t{answer[at + 3]} << 24);
}

void PlcDateOfFileTime(std::uint64_t fileTime, std::uint8_t* date) {
  FILETIME ft = UInt64ToFileTime(fileTime);
  SYSTEMTIME st{};
  if (!FileTimeToSystemTime(&ft, &st)) st = SYSTEMTIME{};
  const int year = std::clamp<int>(st.wYear, kPlcYearBase, kPlcLastYear);
  date[0] = static_cast<std::uint8_t>(year - kPlcYearBase);
  date[1] = static_cast<std::uint8_t>(st.wMonth);
  date[2] = static_cast<std::uint8_t>(st.wDay);
  date[3] = static_cast<std::uint8_t>(st.wHour);
  date[4] = static_cast<std::uint8_t>(st.wMinute);
  date[5] = static_cast<std::uint8_t>(st.wSecond);
}

std::optional<std::uint64_t> FileTimeOfPlcDate(const std::uint8_t* date) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(date[0] + kPlcYearBase);
  st.wMonth = date[1];
  st.wDay = date[2];
  st.wHour = date[3];
  st.wMinute = date[4];
  st.wSecond = date[5];
  FILETIME ft{};
  if (!SystemTimeToFileTime(&st, &ft)) return std::nullopt;
  return FileTimeToUInt64(ft);
}

std::uint32_t BuildFileOpenRequest(std::uint8_t* buffer, const char* path, std::uint8_t mode, std::uint32_t value) {
  buffer[0] = kCommandOpen;
  buffer[1] = mode;
  PutU32(buffer + 2, value);
  const std::size_t length = strnlen(path, kFileRequestCapacity - 7);
  std::memcpy(buffer + 6, path, length);
  buffer[6 + length] = 0;
  return static_cast<std::uint32_t>(7 + length);
}

std::uint32_t BuildFileTimeRequest(std::uint8_t* buffer, std::uint32_t handle, const std::uint64_t* creation,
                                   const std::uint64_t* write, std::uint32_t attributes) {
  std::uint8_t created[6];
  std::uint8_t written[6];
  PlcDateOfFileTime(creation != nullptr ? *creation : SystemFileTimeNow(), created);
  if (write != nullptr)
    PlcDateOfFileTime(*write, written);
  else
    std::memcpy(written, created, sizeof written);
  return BuildClose(buffer, handle, created, written, attributes);
}

std::uint32_t BuildFolderCloseRequest(std::uint8_t* buffer, std::uint32_t handle) {
  // The dates built from an all-zero calendar time: the year byte alone is
  // set, every other byte 0, which the PLC takes as no date.
  static constexpr std::uint8_t kZeroDate[6] = {148, 0, 0, 0, 0, 0};
  return BuildClose(buffer, handle, kZeroDate, kZeroDate, kFolderAttributes);
}

std::uint32_t BuildFileOpenReadRequest(std::uint8_t* buffer, TRecvFile& download) {
  download.offset.store(0, std::memory_order_relaxed);
  return BuildFileOpenRequest(buffer, download.plcPath, kOpenExisting, 0);
}

std::uint32_t BuildFileReadRequest(std::uint8_t* buffer, TRecvFile& download) {
  BuildDataHeader(buffer, kCommandRead, download);
  return kReadLength;
}

std::uint32_t BuildFileCloseRequest(std::uint8_t* buffer, const TRecvFile& download) {
  static constexpr std::uint8_t kNoDate[6] = {0, 0, 0, 0, 0, 0};
  return BuildClose(buffer, static_cast<std::uint32_t>(download.handle), kNoDate, kNoDate, 0);
}

std::uint32_t BuildFileWriteRequest(std::uint8_t* buffer, TPostFile& upload) {
  const std::uint32_t offset = BuildDataHeader(buffer, kCommandWrite, upload);
  if (upload.block == 0) return kWriteHeader;
  // Read from the offset the PLC confirmed, not from wherever the last read
  // left the stream, and refuse a file that no longer has the bytes.
  if (upload.localFile == nullptr || std::fseek(upload.localFile, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  if (std::fread(buffer + kWriteHeader, 1, upload.block, upload.localFile) != upload.block) return 0;
  return kWriteHeader + upload.block;
}

HRESULT ReportCommError(HRESULT code) {
  std::string text;
  HRESULT textOf = code;
  if (code < 0 && HRESULT_FACILITY(code) == FACILITY_ITF) {
    HRESULT failure = S_OK;
    text = PlcErrorText(code, &failure);
    if (FAILED(failure)) textOf = failure;
  }
  if (text.empty()) text = textOf != 0 ? SystemMessageText(static_cast<DWORD>(textOf)) : LastErrorText();
  WriteTraceLog(text);
  return code;
}
