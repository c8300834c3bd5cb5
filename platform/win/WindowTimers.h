#pragma once
// Window timers on the clock of VirtualClock.h.
//
// A timer belongs to the thread that owns its window (or, without a window,
// to the thread that set it). When it is due it comes out of that thread's
// queue as WM_TIMER (PeekMessage), and AdvanceVirtualClock fires the due
// timers of the calling thread in the order of their due times. A timer fires
// again `elapse` milliseconds after it fired; it does not catch up on periods
// it missed while nobody took messages.

#include "platform/win/WindowTypes.h"

// Called with WM_TIMER, the timer's id and the tick count.
using TIMERPROC = void (*)(HWND hwnd, UINT message, UINT_PTR idEvent, DWORD time);

// Win32's shortest period; shorter ones are raised to it.
inline constexpr UINT USER_TIMER_MINIMUM = 10;

// Starts (or, for the same window and id, restarts) a timer. With a window
// the answer is `id` (0 when the window is no window); without a window a new
// id is chosen and answered.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

namespace window_timers {

// For PeekMessage: the earliest timer of the calling thread (and of `hwnd`
// when not null) due at `now`, as a WM_TIMER message; with `remove` it is
// rescheduled to `now` + its period.
bool TakeDueTimer(ULONGLONG now, HWND hwnd, bool remove, MSG* msg);

// For AdvanceVirtualClock: the due time of the calling thread's earliest
// timer, false when it has none.
bool NextDueTime(ULONGLONG* due);

// Forgets the timers of a destroyed window.
void KillWindowTimers(HWND hwnd);

}  // namespace window_timers
