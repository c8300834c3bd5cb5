#include "platform/win/Monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <mutex>

namespace {

struct MonitorTable {
  std::mutex mutex;
  std::vector<MonitorLayout> monitors;
};

MonitorLayout DefaultMonitor() {
  MonitorLayout m;
  m.bounds = {0, 0, 1920, 1080};
  m.workArea = {0, 0, 1920, 1040};
  return m;
}

MonitorTable& Table() {
  static MonitorTable* table = [] {
    auto* t = new MonitorTable;  // used until the process ends
    t->monitors.push_back(DefaultMonitor());
    return t;
  }();
  return *table;
}

HMONITOR HandleOf(std::size_t index) { return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(index + 1)); }

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Squared distance from a point to the nearest pixel of a rectangle.
long long DistanceSquared(const RECT& r, long long x, long long y) {
  const long long dx = x < r.left ? r.left - x : (x >= r.right ? x - (static_cast<long long>(r.right) - 1) : 0);
  const long long dy = y < r.top ? r.top - y : (y >= r.bottom ? y - (static_cast<long long>(r.bottom) - 1) : 0);
  return dx * dx + dy * dy;
}

// Squared distance between two rectangles (0 when they touch or overlap).
long long RectDistanceSquared(const RECT& a, const RECT& b) {
  const long long dx = std::max<long long>(
      {0, static_cast<long long>(a.left) - b.right + 1, static_cast<long long>(b.left) - a.right + 1});
  const long long dy = std::max<long long>(
      {0, static_cast<long long>(a.top) - b.bottom + 1, static_cast<long long>(b.top) - a.bottom + 1});
  return dx * dx + dy * dy;
}

long long OverlapArea(const RECT& a, const RECT& b) {
  const long long w = std::min<long long>(a.right, b.right) - std::max<long long>(a.left, b.left);
  const long long h = std::min<long long>(a.bottom, b.bottom) - std::max<long long>(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

HMONITOR Fallback(DWORD flags, std::size_t nearest) {
  if (flags == MONITOR_DEFAULTTOPRIMARY) return HandleOf(0);
  if (flags == MONITOR_DEFAULTTONEAREST) return HandleOf(nearest);
  return nullptr;
}

bool ValidRect(const RECT& r) { return r.right > r.left && r.bottom > r.top; }

}  // namespace

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  std::size_t nearest = 0;
  long long best = std::numeric_limits<long long>::max();
  for (std::size_t i = 0; i < t.monitors.size(); ++i) {
    if (Contains(t.monitors[i].bounds, point)) return HandleOf(i);
    const long long d = DistanceSquared(t.monitors[i].bounds, point.x, point.y);
    if (d < best) {
      best = d;
      nearest = i;
    }
  }
  return Fallback(flags, nearest);
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
  if (rect == nullptr) return nullptr;
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  std::size_t bestIndex = 0;
  long long bestArea = 0;
  std::size_t nearest = 0;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (std::size_t i = 0; i < t.monitors.size(); ++i) {
    const long long area = OverlapArea(t.monitors[i].bounds, *rect);
    if (area > bestArea) {
      bestArea = area;
      bestIndex = i;
    }
    const long long d = RectDistanceSquared(t.monitors[i].bounds, *rect);
    if (d < bestDistance) {
      bestDistance = d;
      nearest = i;
    }
  }
  if (bestArea > 0) return HandleOf(bestIndex);
  return Fallback(flags, nearest);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  if (info == nullptr) return FALSE;
  const auto index = reinterpret_cast<std::uintptr_t>(monitor);
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (index == 0 || index > t.monitors.size()) return FALSE;
  info->rcMonitor = t.monitors[index - 1].bounds;
  info->rcWork = t.monitors[index - 1].workArea;
  info->dwFlags = index == 1 ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

int GetSystemMetrics(int index) {
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  const RECT& primary = t.monitors.front().bounds;
  RECT all = primary;
  for (const MonitorLayout& m : t.monitors) {
    all.left = std::min(all.left, m.bounds.left);
    all.top = std::min(all.top, m.bounds.top);
    all.right = std::max(all.right, m.bounds.right);
    all.bottom = std::max(all.bottom, m.bounds.bottom);
  }
  switch (index) {
    case SM_CXSCREEN: return primary.right - primary.left;
    case SM_CYSCREEN: return primary.bottom - primary.top;
    case SM_XVIRTUALSCREEN: return all.left;
    case SM_YVIRTUALSCREEN: return all.top;
    case SM_CXVIRTUALSCREEN: return all.right - all.left;
    case SM_CYVIRTUALSCREEN: return all.bottom - all.top;
    case SM_CMONITORS: return static_cast<int>(t.monitors.size());
    default: return 0;
  }
}

bool SetMonitorLayout(const std::vector<MonitorLayout>& monitors) {
  if (monitors.empty() || monitors.front().bounds.left != 0 || monitors.front().bounds.top != 0) return false;
  for (const MonitorLayout& m : monitors) {
    if (!ValidRect(m.bounds) || !ValidRect(m.workArea)) return false;
    if (m.workArea.left < m.bounds.left || m.workArea.top < m.bounds.top || m.workArea.right > m.bounds.right ||
        m.workArea.bottom > m.bounds.bottom)
      return false;
  }
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.monitors = monitors;
  return true;
}

void ResetMonitorLayout() {
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.monitors.assign(1, DefaultMonitor());
}

std::vector<MonitorLayout> GetMonitorLayout() {
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.monitors;
}

HMONITOR MonitorHandle(int index) {
  MonitorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (index < 0 || static_cast<std::size_t>(index) >= t.monitors.size()) return nullptr;
  return HandleOf(static_cast<std::size_t>(index));
}
