#pragma once
// Monitors and their work areas (the screen less the task bar).
//
// The layout is a setting: one monitor of 1920 x 1080 pixels with a work
// area of 1920 x 1040 unless a test or the host sets another. The first
// monitor of the layout is the primary one and lies at (0, 0).

#include <vector>

#include "platform/win/WindowTypes.h"

struct HMONITOR__;
using HMONITOR = HMONITOR__*;

inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;

struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags = 0;
};

// The monitor that holds the point. Outside every monitor: none, the primary
// one, or the nearest one, as `flags` says.
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
// The monitor that shares the largest area with the rectangle. Touching none:
// as `flags` says (the nearest is the one closest to the rectangle).
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;
// The screen sizes above (the primary monitor; the box around all monitors);
// 0 for other indexes.
int GetSystemMetrics(int index);

// --- the layout ---
struct MonitorLayout {
  RECT bounds;
  RECT workArea;
};
// Replaces the layout; an empty list, a first monitor not at (0, 0), or
// monitors with an empty rectangle or a work area outside their bounds are
// refused (false).
bool SetMonitorLayout(const std::vector<MonitorLayout>& monitors);
// Back to the default single monitor.
void ResetMonitorLayout();
std::vector<MonitorLayout> GetMonitorLayout();
// The handle of monitor `index` of the layout (null outside it).
HMONITOR MonitorHandle(int index);
