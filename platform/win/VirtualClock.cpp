#include "platform/win/VirtualClock.h"

#include <time.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/win/WindowMessages.h"
#include "platform/win/WindowTimers.h"

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

struct ClockState {
  std::mutex mutex;
  ClockMode mode = ClockMode::Virtual;
  // Virtual mode: the tick count.
  std::atomic<ULONGLONG> virtualTicks{0};
  // Real mode: tick count = monotonic milliseconds + realOffset.
  std::int64_t realOffset = 0;
  // Virtual local time: milliseconds since 1970-01-01 00:00 local time at the
  // tick count localBaseTicks.
  bool localBaseSet = false;
  std::int64_t localBaseMs = 0;
  ULONGLONG localBaseTicks = 0;
};

ClockState& State() {
  static ClockState* state = new ClockState;  // used until the process ends
  return *state;
}

std::int64_t MonotonicMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

// The real local time as milliseconds since 1970-01-01 00:00 local time.
std::int64_t RealLocalMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm local{};
  if (::localtime_r(&ts.tv_sec, &local) == nullptr) return 0;
  const std::int64_t days = DaysFromCivil(std::int64_t{local.tm_year} + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                          static_cast<unsigned>(local.tm_mday));
  const int sec = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second stays in its minute
  return days * kMsPerDay + ((std::int64_t{local.tm_hour} * 60 + local.tm_min) * 60 + sec) * 1000 +
         ts.tv_nsec / 1000000;
}

ULONGLONG TicksLocked(ClockState& s) {
  if (s.mode == ClockMode::Virtual) return s.virtualTicks.load();
  const std::int64_t t = MonotonicMs() + s.realOffset;
  return t < 0 ? 0 : static_cast<ULONGLONG>(t);
}

void FillSystemTime(std::int64_t localMs, SYSTEMTIME* out) {
  std::int64_t days = localMs / kMsPerDay;
  std::int64_t rest = localMs % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  out->wYear = static_cast<WORD>(y);
  out->wMonth = static_cast<WORD>(m);
  out->wDay = static_cast<WORD>(d);
  // 1970-01-01 was a Thursday (4; Sunday is 0).
  out->wDayOfWeek = static_cast<WORD>(((days % 7) + 11) % 7);
  out->wHour = static_cast<WORD>(rest / 3600000);
  out->wMinute = static_cast<WORD>(rest / 60000 % 60);
  out->wSecond = static_cast<WORD>(rest / 1000 % 60);
  out->wMilliseconds = static_cast<WORD>(rest % 1000);
}

}  // namespace

void SetClockMode(ClockMode mode) {
  ClockState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.mode == mode) return;
  const ULONGLONG now = TicksLocked(s);
  if (mode == ClockMode::Real) {
    s.realOffset = static_cast<std::int64_t>(now) - MonotonicMs();
  } else {
    s.virtualTicks.store(now);
    // The virtual local time goes on from the real one.
    s.localBaseSet = true;
    s.localBaseMs = RealLocalMs();
    s.localBaseTicks = now;
  }
  s.mode = mode;
}

ClockMode GetClockMode() {
  ClockState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.mode;
}

ULONGLONG GetTickCount64() {
  ClockState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return TicksLocked(s);
}

DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }

void AdvanceVirtualClock(ULONGLONG ms) {
  ClockState& s = State();
  ULONGLONG target = 0;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.mode != ClockMode::Virtual) return;
    const ULONGLONG now = s.virtualTicks.load();
    target = now + ms < now ? ~ULONGLONG{0} : now + ms;
  }
  for (;;) {
    ULONGLONG due = 0;
    if (!window_timers::NextDueTime(&due) || due > target) break;
    ULONGLONG now = 0;
    {
      std::lock_guard<std::mutex> lock(s.mutex);
      if (s.mode != ClockMode::Virtual) return;  // a timer switched the clock
      now = s.virtualTicks.load();
      if (due > now) {
        s.virtualTicks.store(due);
        now = due;
      }
    }
    MSG msg;
    if (!window_timers::TakeDueTimer(now, nullptr, true, &msg)) continue;
    DispatchMessage(&msg);
  }
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.mode == ClockMode::Virtual && s.virtualTicks.load() < target) s.virtualTicks.store(target);
}

void ClockLocalTime(SYSTEMTIME* time) {
  if (time == nullptr) return;
  ClockState& s = State();
  std::int64_t localMs = 0;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.mode == ClockMode::Real) {
      localMs = RealLocalMs();
    } else {
      const ULONGLONG now = s.virtualTicks.load();
      if (!s.localBaseSet) {
        s.localBaseSet = true;
        s.localBaseMs = RealLocalMs();
        s.localBaseTicks = now;
      }
      localMs = s.localBaseMs + static_cast<std::int64_t>(now - s.localBaseTicks);
    }
  }
  FillSystemTime(localMs, time);
}

bool SetVirtualLocalTime(const SYSTEMTIME& t) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wHour > 23 || t.wMinute > 59 ||
      t.wSecond > 59 || t.wMilliseconds > 999)
    return false;
  const bool leap = (t.wYear % 4 == 0 && t.wYear % 100 != 0) || t.wYear % 400 == 0;
  const unsigned maxDay = kDays[t.wMonth - 1] + (t.wMonth == 2 && leap ? 1 : 0);
  if (t.wDay < 1 || t.wDay > maxDay) return false;
  ClockState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.mode != ClockMode::Virtual) return false;
  s.localBaseSet = true;
  s.localBaseMs = DaysFromCivil(t.wYear, t.wMonth, t.wDay) * kMsPerDay +
                  ((std::int64_t{t.wHour} * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
  s.localBaseTicks = s.virtualTicks.load();
  return true;
}
