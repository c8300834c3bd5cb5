#include "plugin/VariablePass.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"
#include "plugin/CommRecord.h"
#include "plugin/FileTransfers.h"
#include "plugin/LiveView.h"
#include "plugin/Switches.h"

namespace {

constexpr std::size_t kBatchLimit = 240;
constexpr std::uint32_t kReadTotalLimit = 8191;
constexpr std::uint8_t kUnknownArea = 255;
constexpr std::uint8_t kBitSet = 0x80;

using Bytes = std::vector<std::uint8_t>;

void PutHeader(Bytes& batch, const TVarPosition& p, std::uint32_t address, std::uint8_t last) {
  batch.push_back(static_cast<std::uint8_t>(p.area + (address >> 16)));
  batch.push_back(static_cast<std::uint8_t>(address & 0xFF));
  batch.push_back(static_cast<std::uint8_t>((address >> 8) & 0xFF));
  batch.push_back(last);
}

// The requests of one pass and the reply buffer of its reads.
class PassBatches {
 public:
  explicit PassBatches(CommSendFunction send) : send_(send) { reply_.fill(0); }

  void QueueWrite(TCommItem& entry) {
    const TVarPosition& p = entry.position;
    if (p.bit >= 0) {
      const std::uint8_t set = entry.outgoing[0] != 0 ? kBitSet : 0;
      PutHeader(bits_, p, p.address, static_cast<std::uint8_t>(p.bit | set));
      if (bits_.size() >= kBatchLimit) SendWrites(bits_, PLC_SERVICE_WRITE_BITS);
      return;
    }
    const auto n = static_cast<std::uint8_t>(std::min<std::uint32_t>(p.size, kBatchLimit));
    if (bytes_.size() + 4 + n > kBatchLimit) SendWrites(bytes_, PLC_SERVICE_WRITE_BYTES);
    PutHeader(bytes_, p, p.address, n);
    bytes_.insert(bytes_.end(), entry.outgoing.begin(), entry.outgoing.begin() + n);
    if (bytes_.size() == kBatchLimit) SendWrites(bytes_, PLC_SERVICE_WRITE_BYTES);
  }

  // False when the pass's read total would pass its limit (the entry is not
  // read).
  bool QueueRead(TCommItem& entry) {
    const TVarPosition& p = entry.position;
    const std::uint32_t n = std::min<std::uint32_t>(p.size, kBatchLimit);
    total_ += n;
    if (total_ > kReadTotalLimit) return false;
    entry.replyOffset = static_cast<std::int32_t>(total_);
    std::uint32_t address = p.address;
    std::uint32_t rest = n;
    if (readData_ + rest > kBatchLimit) {
      const auto part = static_cast<std::uint32_t>(kBatchLimit - readData_);
      PutHeader(reads_, p, address, static_cast<std::uint8_t>(part));
      readData_ += part;
      SendReads();
      address += part;
      rest -= part;
    }
    PutHeader(reads_, p, address, static_cast<std::uint8_t>(rest));
    readData_ += rest;
    if (readData_ == kBatchLimit || reads_.size() >= kBatchLimit) SendReads();
    return true;
  }

  void Flush() {
    if (!bytes_.empty()) SendWrites(bytes_, PLC_SERVICE_WRITE_BYTES);
    if (!bits_.empty()) SendWrites(bits_, PLC_SERVICE_WRITE_BITS);
    if (!reads_.empty()) SendReads();
  }

  // The read data ending at `end`, when all of it arrived.
  const std::uint8_t* DataEndingAt(std::int32_t end, std::uint32_t size) const {
    const auto from = static_cast<std::size_t>(end) - size;
    for (std::size_t i = from; i < static_cast<std::size_t>(end); ++i)
      if (!valid_[i]) return nullptr;
    return reply_.data() + from;
  }

 private:
  void SendWrites(Bytes& batch, std::uint32_t service) {
    std::uint32_t replyLength = 0;
    send_(0, service, static_cast<std::uint32_t>(batch.size()), batch.data(), &replyLength, nullptr);
    batch.clear();
  }
  void SendReads() {
    std::uint32_t replyLength = readData_;
    const HRESULT hr = send_(0, PLC_SERVICE_READ, static_cast<std::uint32_t>(reads_.size()), reads_.data(),
                             &replyLength, reply_.data() + batchStart_);
    if (SUCCEEDED(hr) && replyLength == readData_)
      std::fill_n(valid_.begin() + batchStart_, readData_, static_cast<std::uint8_t>(1));
    batchStart_ += readData_;
    readData_ = 0;
    reads_.clear();
  }

  CommSendFunction send_;
  Bytes bytes_;
  Bytes bits_;
  Bytes reads_;
  std::uint32_t readData_ = 0;
  std::uint32_t batchStart_ = 0;
  std::uint32_t total_ = 0;
  std::array<std::uint8_t, kReadTotalLimit + 1 + kBatchLimit> reply_{};
  std::array<std::uint8_t, kReadTotalLimit + 1 + kBatchLimit> valid_{};
};

bool LiveViewOn() { return gCommRecord.liveViewOn.load(std::memory_order_acquire) != 0; }

// The read values into the entries' incoming buffers (bits masked).
void TakeReadValues(const PassBatches& batches, TCommItem* entries, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    TCommItem& entry = entries[i];
    if (entry.replyOffset < 0) continue;
    const std::uint32_t size = std::min<std::uint32_t>(entry.position.size, kBatchLimit);
    const std::uint8_t* data = batches.DataEndingAt(entry.replyOffset, size);
    if (data == nullptr) continue;
    std::copy_n(data, size, entry.incoming.begin());
    if (entry.position.bit >= 0)
      entry.incoming[0] = static_cast<std::uint8_t>(entry.incoming[0] & (1u << entry.position.bit));
    entry.incomingValid = true;
  }
}

}  // namespace

void RunVariablePass(CommSendFunction send) {
  gCommRecord.variablePassRan.store(1, std::memory_order_release);
  gCommRecord.lastPassTicks = GetTickCount();
  TCommItem* entries = gCommRecord.entries;
  const std::int32_t count = gCommRecord.entryCount.load(std::memory_order_acquire);
  if (entries == nullptr) return;
  PassBatches batches(send);
  const bool readHere = gStartup.oldLiveComm;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!LiveViewOn()) return;
    TCommItem& entry = entries[i];
    entry.replyOffset = -1;
    if (entry.position.area >= kUnknownArea) continue;
    if (entry.writePending) {
      entry.writePending = false;
      batches.QueueWrite(entry);
    } else if (readHere && entry.writeOnly == 0) {
      if (!batches.QueueRead(entry)) entry.replyOffset = -1;
    }
  }
  batches.Flush();
  if (readHere) TakeReadValues(batches, entries, count);
  if (gCommRecord.alarmPageChange.load(std::memory_order_acquire) == 0)
    gCommRecord.valuesValid.store(1, std::memory_order_release);
  if (HWND designer = gCommRecord.designerWindow.load(std::memory_order_acquire); designer != nullptr)
    PostMessage(designer, kMsgCommProgress, 0, 0);
}
