#include "plugin/FileTransfers.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/win/Paths.h"
#include "platform/win/WindowMessages.h"
#include "plugin/FileRequests.h"

namespace {

constexpr int kBlocksPerStep = 5;
constexpr std::uint32_t kOpenAnswerLength = 28;
constexpr std::uint32_t kCloseAnswerLength = 8;
constexpr std::uint32_t kWriteAnswerLength = 16;
constexpr std::uint32_t kReadAnswerHeader = 16;
constexpr char kWebFolder[] = "//WWW/";
constexpr char kUploadFolder[] = "//WWW/UPLOAD/";

enum UploadState : std::int32_t {
  kUploadIdle = 0,
  kOpenWeb = 1,
  kMakeWeb = 2,
  kOpenUpload = 3,
  kMakeUpload = 4,
  kCreateTarget = 11,
  kWriteData = 12,
  kCloseTarget = 13,
  kUploadEnd = 21,
};

enum DownloadState : std::int32_t { kDownloadIdle = 0, kOpenSource = 1, kReadData = 2, kCloseSource = 3, kDone = 4 };

struct Answer {
  HRESULT result = S_OK;
  std::uint32_t length = 0;
  std::uint8_t bytes[kFileAnswerCapacity] = {};

  bool Ok(std::uint32_t expected) const { return length == expected && AnswerU32(bytes, 0) == 0; }
};

// One file request; a negative result is logged when `log` is set.
Answer Send(CommSendFunction send, const std::uint8_t* request, std::uint32_t length, bool log) {
  Answer answer;
  answer.length = kFileAnswerCapacity;
  answer.result = send(0, PLC_SERVICE_FILE, length, request, &answer.length, answer.bytes);
  if (answer.result < 0) {
    if (log) ReportCommError(answer.result);
    answer.length = 0;
  }
  answer.length = std::min(answer.length, kFileAnswerCapacity);
  return answer;
}

void CloseStream(std::FILE*& file) {
  if (file != nullptr) std::fclose(file);
  file = nullptr;
}

void PostTo(const std::atomic<HWND>& window, UINT message) {
  if (HWND hwnd = window.load(std::memory_order_acquire); hwnd != nullptr) PostMessage(hwnd, message, 0, 0);
}

// The upload ends: its outcome is published before the state returns to 0.
void EndUpload(TPostFile& upload, TUploadOutcome outcome) {
  CloseStream(upload.localFile);
  upload.outcome.store(outcome, std::memory_order_release);
  upload.state.store(kUploadIdle, std::memory_order_release);
  // A finished or cancelled upload closes its window; a failed one stays
  // open, showing the failure, until the user closes it.
  PostTo(upload.progressWindow, outcome == TUploadOutcome::Failed ? kMsgCommProgress : WM_CLOSE);
}

std::int32_t OpenFolder(TPostFile& upload, CommSendFunction send, const char* folder, std::int32_t next) {
  std::uint8_t request[kFileRequestCapacity];
  const Answer answer = Send(send, request, BuildFileOpenRequest(request, folder, kOpenExisting, 0), true);
  if (answer.length != kOpenAnswerLength) return kUploadIdle;
  upload.handle = static_cast<std::int32_t>(AnswerU32(answer.bytes, 4));
  return next;
}

// Creates the folder when the open found none, then closes it.
std::int32_t MakeFolder(TPostFile& upload, CommSendFunction send, const char* folder, std::int32_t next) {
  std::uint8_t request[kFileRequestCapacity];
  if (upload.handle == -1) {
    const Answer made = Send(send, request, BuildFileOpenRequest(request, folder, kOpenCreate, 0), true);
    if (made.Ok(kOpenAnswerLength)) upload.handle = static_cast<std::int32_t>(AnswerU32(made.bytes, 4));
  }
  if (upload.handle == -1) return kUploadIdle;
  const Answer closed =
      Send(send, request, BuildFolderCloseRequest(request, static_cast<std::uint32_t>(upload.handle)), true);
  upload.handle = -1;
  return closed.Ok(kCloseAnswerLength) ? next : kUploadIdle;
}

std::int32_t CreateTarget(TPostFile& upload, CommSendFunction send) {
  std::uint8_t request[kFileRequestCapacity];
  const std::uint32_t size = upload.size.load(std::memory_order_relaxed);
  const Answer answer = Send(send, request, BuildFileOpenRequest(request, upload.plcPath, kOpenCreate, size), true);
  if (!answer.Ok(kOpenAnswerLength)) return kUploadIdle;
  upload.handle = static_cast<std::int32_t>(AnswerU32(answer.bytes, 4));
  return kWriteData;
}

// One write; false ends the data phase. The PLC's count must be what was
// asked for or less, and more than nothing unless nothing was asked for.
bool WriteBlock(TPostFile& upload, CommSendFunction send) {
  std::uint8_t request[kFileRequestCapacity];
  const std::uint32_t length = BuildFileWriteRequest(request, upload);
  if (length == 0) return false;
  const Answer answer = Send(send, request, length, true);
  if (!answer.Ok(kWriteAnswerLength)) return false;
  const std::uint32_t written = AnswerU32(answer.bytes, 12);
  if (written > upload.block || (written == 0 && upload.block != 0)) return false;
  const std::uint32_t offset = upload.offset.load(std::memory_order_relaxed) + written;
  upload.offset.store(offset, std::memory_order_relaxed);
  return upload.cancel.load(std::memory_order_acquire) == 0 && offset < upload.size.load(std::memory_order_relaxed);
}

std::int32_t CloseTarget(TPostFile& upload, CommSendFunction send) {
  std::uint8_t request[kFileRequestCapacity];
  const Answer answer =
      Send(send, request, BuildFileTimeRequest(request, static_cast<std::uint32_t>(upload.handle), nullptr, nullptr, 0),
           true);
  upload.handle = -1;
  return answer.Ok(kCloseAnswerLength) ? kUploadEnd : kUploadIdle;
}

void FinishUpload(TPostFile& upload) {
  const bool whole = upload.offset.load(std::memory_order_relaxed) == upload.size.load(std::memory_order_relaxed);
  const bool cancelled = upload.cancel.load(std::memory_order_acquire) != 0;
  if (whole && !cancelled && upload.doneFlag != nullptr)
    std::atomic_ref<bool>(*upload.doneFlag).store(true, std::memory_order_release);
  EndUpload(upload, cancelled ? TUploadOutcome::Cancelled : whole ? TUploadOutcome::Complete : TUploadOutcome::Failed);
}

void RemoveTemporary(const TRecvFile& download) {
  if (!download.localName.empty()) std::remove(ToNativePath(download.localName).c_str());
}

void SetDownloadState(TRecvFile& download, std::int32_t state) {
  download.state.store(state, std::memory_order_release);
}

void OpenSource(TRecvFile& download, CommSendFunction send) {
  std::uint8_t request[kFileRequestCapacity];
  download.unchanged = 0;
  download.failing = false;
  const Answer answer = Send(send, request, BuildFileOpenReadRequest(request, download), true);
  if (!answer.Ok(kOpenAnswerLength)) return SetDownloadState(download, kDownloadIdle);
  download.handle = static_cast<std::int32_t>(AnswerU32(answer.bytes, 4));
  download.size.store(AnswerU32(answer.bytes, 8), std::memory_order_relaxed);
  const std::uint64_t created = FileTimeOfPlcDate(answer.bytes + 12).value_or(0);
  const std::uint64_t written = FileTimeOfPlcDate(answer.bytes + 18).value_or(0);
  // Times of 0 mean "no local copy": such a file is always read. A local
  // file system that keeps no creation time gives the write time for it;
  // then the write times alone decide.
  const bool creationKept = download.creationTime != download.writeTime;
  if (download.creationTime != 0 && written == download.writeTime &&
      (created == download.creationTime || !creationKept)) {
    Send(send, request, BuildFileCloseRequest(request, download), false);
    download.unchanged = 1;
    return SetDownloadState(download, kDone);
  }
  download.creationTime = created;
  download.writeTime = written;
  if (!download.localName.empty()) download.localFile = std::fopen(ToNativePath(download.localName).c_str(), "wb");
  download.failing = download.localFile == nullptr;
  SetDownloadState(download, download.localFile != nullptr ? kReadData : kCloseSource);
}

// One read; false ends the data phase (with `failing` set when it ended
// early). A negative send result asks for the block again on the next call.
bool ReadBlock(TRecvFile& download, CommSendFunction send, bool* retry) {
  if (download.offset.load(std::memory_order_relaxed) >= download.size.load(std::memory_order_relaxed)) return false;
  std::uint8_t request[kFileRequestCapacity];
  const Answer answer = Send(send, request, BuildFileReadRequest(request, download), false);
  if (answer.result < 0) {
    *retry = true;
    return false;
  }
  const std::uint32_t delivered = answer.length >= kReadAnswerHeader ? AnswerU32(answer.bytes, 12) : 0;
  const bool valid = answer.Ok(kReadAnswerHeader + download.block) && delivered > 0 && delivered <= download.block;
  if (!valid || std::fwrite(answer.bytes + kReadAnswerHeader, 1, delivered, download.localFile) != delivered) {
    download.failing = true;
    return false;
  }
  const std::uint32_t offset = download.offset.load(std::memory_order_relaxed) + delivered;
  download.offset.store(offset, std::memory_order_relaxed);
  return offset < download.size.load(std::memory_order_relaxed);
}

void ReadData(TRecvFile& download, CommSendFunction send) {
  bool retry = false;
  for (int i = 0; i < kBlocksPerStep; ++i)
    if (!ReadBlock(download, send, &retry)) {
      if (!retry) SetDownloadState(download, kCloseSource);
      return;
    }
}

void CloseSource(TRecvFile& download, CommSendFunction send) {
  std::uint8_t request[kFileRequestCapacity];
  const Answer answer = Send(send, request, BuildFileCloseRequest(request, download), false);
  const bool flushed = download.localFile == nullptr || std::fflush(download.localFile) == 0;
  CloseStream(download.localFile);
  const bool whole = download.offset.load(std::memory_order_relaxed) == download.size.load(std::memory_order_relaxed);
  if (answer.Ok(kCloseAnswerLength) && flushed && whole && !download.failing) return SetDownloadState(download, kDone);
  RemoveTemporary(download);
  SetDownloadState(download, kDownloadIdle);
}

}  // namespace

void StepUpload(TPostFile& upload, CommSendFunction send) {
  std::int32_t next = kUploadIdle;
  switch (upload.state.load(std::memory_order_acquire)) {
    case kOpenWeb: next = OpenFolder(upload, send, kWebFolder, kMakeWeb); break;
    case kMakeWeb: next = MakeFolder(upload, send, kWebFolder, kOpenUpload); break;
    case kOpenUpload: next = OpenFolder(upload, send, kUploadFolder, kMakeUpload); break;
    case kMakeUpload: next = MakeFolder(upload, send, kUploadFolder, kCreateTarget); break;
    case kCreateTarget: next = CreateTarget(upload, send); break;
    case kWriteData: {
      bool more = true;
      for (int i = 0; i < kBlocksPerStep && more; ++i) more = WriteBlock(upload, send);
      next = more ? kWriteData : kCloseTarget;
      break;
    }
    case kCloseTarget: next = CloseTarget(upload, send); break;
    case kUploadEnd: return FinishUpload(upload);
    default: return;
  }
  if (next == kUploadIdle) return EndUpload(upload, TUploadOutcome::Failed);
  upload.state.store(next, std::memory_order_release);
}

void StepDownload(TRecvFile& download, CommSendFunction send) {
  switch (download.state.load(std::memory_order_acquire)) {
    case kOpenSource: return OpenSource(download, send);
    case kReadData: return ReadData(download, send);
    case kCloseSource: return CloseSource(download, send);
    default: return;
  }
}

void AbortTransfers(TPostFile& upload, TRecvFile& download) {
  CloseStream(upload.localFile);
  if (upload.state.load(std::memory_order_acquire) != kUploadIdle)
    upload.outcome.store(TUploadOutcome::Failed, std::memory_order_release);
  upload.state.store(kUploadIdle, std::memory_order_release);
  // Also the window a failed upload left open.
  PostTo(upload.progressWindow, WM_CLOSE);
  CloseStream(download.localFile);
  // A finished download that the queue has not put in place yet is dropped
  // too: its object shows the local copy it had, if any.
  SetDownloadState(download, kDownloadIdle);
}
