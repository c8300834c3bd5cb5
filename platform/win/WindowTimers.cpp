#include "platform/win/WindowTimers.h"

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"

namespace {

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  std::thread::id owner;
  ULONGLONG due = 0;
  std::uint64_t order = 0;  // when it was set: breaks ties of equal due times
};

struct TimerTable {
  std::mutex mutex;
  std::vector<Timer> timers;
  std::uint64_t nextOrder = 1;
  UINT_PTR nextFreeId = 1;
};

TimerTable& Table() {
  static TimerTable* table = new TimerTable;  // used until the process ends
  return *table;
}

// The earliest due timer of this thread (and window), or null.
Timer* Earliest(TimerTable& t, HWND hwnd) {
  const std::thread::id self = std::this_thread::get_id();
  Timer* best = nullptr;
  for (Timer& timer : t.timers) {
    if (timer.owner != self || (hwnd != nullptr && timer.hwnd != hwnd)) continue;
    if (best == nullptr || timer.due < best->due || (timer.due == best->due && timer.order < best->order))
      best = &timer;
  }
  return best;
}

}  // namespace

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  std::thread::id owner = std::this_thread::get_id();
  if (hwnd != nullptr && !window_messages::OwnerThread(hwnd, &owner)) return 0;
  if (elapse < USER_TIMER_MINIMUM) elapse = USER_TIMER_MINIMUM;
  if (elapse > 0x7FFFFFFF) elapse = 0x7FFFFFFF;
  const ULONGLONG now = GetTickCount64();
  TimerTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  for (Timer& timer : t.timers) {
    const bool same = hwnd != nullptr ? timer.hwnd == hwnd && timer.id == id
                                      : timer.hwnd == nullptr && timer.id == id && timer.owner == owner && id != 0;
    if (same) {
      timer.elapse = elapse;
      timer.proc = proc;
      timer.due = now + elapse;
      timer.order = t.nextOrder++;
      return id;
    }
  }
  if (hwnd == nullptr) {
    // A timer without a window gets an id of its own.
    for (;;) {
      id = t.nextFreeId++;
      if (id == 0) continue;
      bool taken = false;
      for (const Timer& timer : t.timers)
        if (timer.hwnd == nullptr && timer.id == id) taken = true;
      if (!taken) break;
    }
  }
  Timer timer;
  timer.hwnd = hwnd;
  timer.id = id;
  timer.elapse = elapse;
  timer.proc = proc;
  timer.owner = owner;
  timer.due = now + elapse;
  timer.order = t.nextOrder++;
  t.timers.push_back(timer);
  return hwnd != nullptr ? (id != 0 ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  for (auto it = t.timers.begin(); it != t.timers.end(); ++it) {
    if (it->hwnd == hwnd && it->id == id) {
      t.timers.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}

namespace window_timers {

bool TakeDueTimer(ULONGLONG now, HWND hwnd, bool remove, MSG* msg) {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  Timer* timer = Earliest(t, hwnd);
  if (timer == nullptr || timer->due > now) return false;
  msg->hwnd = timer->hwnd;
  msg->message = WM_TIMER;
  msg->wParam = timer->id;
  msg->lParam = static_cast<LPARAM>(reinterpret_cast<std::uintptr_t>(timer->proc));
  msg->time = static_cast<DWORD>(now);
  if (remove) timer->due = now + timer->elapse;
  return true;
}

bool NextDueTime(ULONGLONG* due) {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  Timer* timer = Earliest(t, nullptr);
  if (timer == nullptr) return false;
  *due = timer->due;
  return true;
}

void KillWindowTimers(HWND hwnd) {
  if (hwnd == nullptr) return;
  TimerTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  std::erase_if(t.timers, [hwnd](const Timer& timer) { return timer.hwnd == hwnd; });
}

}  // namespace window_timers
