#pragma once
// The clock of the user interface: tick counts, the local time and the
// timers run on it.
//
// In the virtual mode (the default) time stands still until a test moves it
// with AdvanceVirtualClock, which fires the due timers of the calling thread
// in order, each at its own due time, so timer-driven behaviour is tested
// without sleeping. The real mode (for the host program) follows the
// system's monotonic clock and wall-clock time. Switching modes keeps the
// tick count running from where it stood and keeps each timer's remaining
// time.

#include "platform/win/FileTime.h"
#include "platform/win/WindowTypes.h"

enum class ClockMode { Virtual, Real };

void SetClockMode(ClockMode mode);
ClockMode GetClockMode();

// Milliseconds since the clock started; the 32-bit count wraps after 49.7
// days as Win32's does.
DWORD GetTickCount();
ULONGLONG GetTickCount64();

// Virtual mode: moves the clock forward by `ms`, firing on the way every
// timer of the calling thread that falls due, in the order of the due times
// (timers due at the same moment in the order they were set), with the clock
// standing at each one's due time while it runs. Messages the timers post
// stay queued for ProcessMessages. In the real mode it does nothing.
void AdvanceVirtualClock(ULONGLONG ms);

// The local date and time on this clock (GetLocalTime of FileTime.h is the
// system's own). In the real mode the system's local time; in the virtual
// mode the local time at which the virtual clock started (or the one set
// with SetVirtualLocalTime) plus the virtual milliseconds elapsed since.
void ClockLocalTime(SYSTEMTIME* time);

// Virtual mode: the local time the clock shows from now on (it keeps
// advancing with AdvanceVirtualClock). Fields out of range, and a call in
// the real mode, are refused (false).
bool SetVirtualLocalTime(const SYSTEMTIME& time);
