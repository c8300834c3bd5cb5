#include "core/TraceLog.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "platform/win/Paths.h"

namespace {

std::atomic<bool> gLogOn{false};

// Everything below is shared by the user-interface thread and the host's
// communication loop, which both trace; one lock keeps the lines whole and the
// previous time consistent.
std::mutex gLogLock;
std::string gLogPath;
TraceLogClock gLogClock = nullptr;
TDateTime gPreviousTime = 0.0;
bool gHavePreviousTime = false;

TDateTime ReadClock() { return gLogClock != nullptr ? gLogClock() : Now(); }

// Milliseconds from `from` to `to`, truncated towards zero. Near today a
// TDateTime resolves about 0.6 microseconds, so the difference of two readings
// can fall a hair short of the whole milliseconds that passed (1.5 s may come
// out as 1499.9999 ms); a shortfall below 5 microseconds counts as the whole
// millisecond. The count is 64 bits wide: a host can run longer than the
// 24.8 days that fit into 32 bits between two lines.
std::int64_t ElapsedMilliseconds(TDateTime from, TDateTime to) {
  const double ms = (to - from) * 86400000.0;
  if (!std::isfinite(ms)) return 0;
  constexpr double kSlack = 0.005;
  const double whole = std::trunc(ms >= 0 ? ms + kSlack : ms - kSlack);
  constexpr double kLimit = 9.0e18;
  if (whole >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (whole <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(whole);
}

}  // namespace

bool WriteTraceLog(const char* text) {
  if (!gLogOn.load(std::memory_order_relaxed)) return true;
  std::lock_guard<std::mutex> guard(gLogLock);
  if (!gHavePreviousTime) {
    gPreviousTime = ReadClock();
    gHavePreviousTime = true;
  }
  std::FILE* file = std::fopen(ToNativePath(gLogPath).c_str(), "a");
  if (file == nullptr) return false;
  const TDateTime now = ReadClock();
  std::string line = FormatDateTime("dd.mm.yyyy hh:nn:ss.zzz", now);
  line += "\tTarnwell\t\t";
  line += text != nullptr ? text : "";
  line += " (";
  line += std::to_string(ElapsedMilliseconds(gPreviousTime, now));
  line += ")\n";
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  const bool closed = std::fclose(file) == 0;
  // A line that did not reach the file is not counted as the previous line.
  if (!written || !closed) return false;
  gPreviousTime = now;
  return true;
}

bool WriteTraceLog(const std::string& text) { return WriteTraceLog(text.c_str()); }

void SetTraceLogEnabled(bool on) { gLogOn.store(on, std::memory_order_relaxed); }

bool TraceLogEnabled() { return gLogOn.load(std::memory_order_relaxed); }

void SetTraceLogPath(const std::string& path) {
  std::lock_guard<std::mutex> guard(gLogLock);
  gLogPath = path;
}

std::string TraceLogPath() {
  std::lock_guard<std::mutex> guard(gLogLock);
  return gLogPath;
}

void SetTraceLogClock(TraceLogClock clock) {
  std::lock_guard<std::mutex> guard(gLogLock);
  gLogClock = clock;
}

void ResetTraceLogTimer() {
  std::lock_guard<std::mutex> guard(gLogLock);
  gHavePreviousTime = false;
  gPreviousTime = 0.0;
}
