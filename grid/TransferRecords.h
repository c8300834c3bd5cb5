#pragma once
// The two file-transfer records that the live view shares between the
// user-interface thread and the host's communication-loop thread: the upload
// of a file into the PLC (started by a file-upload object) and the download
// of a picture from the PLC (started by the picture download queue).
//
// Ownership of the fields moves with the state: while the state is 0 (and 4
// for a download) the user-interface thread owns every field; it fills them
// and then stores the state 1 with release order, after which only the
// communication-loop callback writes them until it stores 0 (or 4) again.
// The fields the user-interface thread reads while a transfer runs (offset,
// size, cancel, the progress window) are atomics.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win/WindowTypes.h"

inline constexpr std::size_t kPlcPathCapacity = 84;

// How an upload ended, for the progress window.
enum class TUploadOutcome : std::uint8_t { Running, Complete, Cancelled, Failed };

struct TPostFile {
  // 0 idle, 1 to 4 the PLC folders, 11 create, 12 data, 13 close, 21 end.
  std::atomic<std::int32_t> state{0};
  std::string localName;
  std::FILE* localFile = nullptr;
  char plcPath[kPlcPathCapacity] = {};
  std::int32_t handle = -1;
  std::atomic<std::uint32_t> offset{0};
  std::atomic<std::uint32_t> size{0};
  std::uint32_t block = 0;
  // The starting object's written flag (FWritten): set, through an atomic
  // reference, only when the whole file arrived.
  bool* doneFlag = nullptr;
  std::atomic<HWND> progressWindow{nullptr};
  std::atomic<std::uint8_t> cancel{0};
  std::atomic<TUploadOutcome> outcome{TUploadOutcome::Running};
};

struct TRecvFile {
  // 0 idle or failed, 1 open, 2 reading, 3 closing, 4 done.
  std::atomic<std::int32_t> state{0};
  std::string localName;
  std::FILE* localFile = nullptr;
  std::uint64_t creationTime = 0;
  std::uint64_t writeTime = 0;
  char plcPath[kPlcPathCapacity] = {};
  std::int32_t handle = -1;
  std::atomic<std::uint32_t> offset{0};
  std::atomic<std::uint32_t> size{0};
  std::uint32_t block = 0;
  std::uint8_t unchanged = 0;
  // Set when the machine is to end as failed once the PLC file is closed
  // (a short or refused read, a temporary file that could not be made).
  bool failing = false;
};
