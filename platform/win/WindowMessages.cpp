#include "platform/win/WindowMessages.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/win/VirtualClock.h"
#include "platform/win/WindowTimers.h"

namespace {

struct Window {
  WindowProcedure procedure;
  std::thread::id owner;
  HWND parent = nullptr;
  bool enabled = true;
  bool destroyed = false;
};

// A message sent from another thread, waiting for the window's thread.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::promise<LRESULT> result;
};

struct ThreadQueue {
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
};

struct WindowTable {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Window>> windows;
  std::uintptr_t nextHandle = 0x10000;  // never reused
  std::unordered_map<std::thread::id, ThreadQueue> queues;
};

WindowTable& Table() {
  static WindowTable* table = new WindowTable;  // used until the process ends
  return *table;
}

std::uintptr_t Key(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }

std::shared_ptr<Window> FindLocked(WindowTable& t, HWND hwnd) {
  auto it = t.windows.find(Key(hwnd));
  if (it == t.windows.end() || it->second->destroyed) return nullptr;
  return it->second;
}

std::shared_ptr<Window> Find(HWND hwnd) {
  WindowTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return FindLocked(t, hwnd);
}

LRESULT CallProcedure(const std::shared_ptr<Window>& window, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The shared pointer keeps the procedure alive even when the window
  // destroys itself while it runs.
  if (!window || !window->procedure) return 0;
  return window->procedure(hwnd, message, wParam, lParam);
}

// Delivers the messages other threads sent to windows of this thread.
void DeliverSentMessages() {
  WindowTable& t = Table();
  const std::thread::id self = std::this_thread::get_id();
  for (;;) {
    std::shared_ptr<SentMessage> sent;
    std::shared_ptr<Window> window;
    {
      std::lock_guard<std::mutex> lock(t.mutex);
      auto q = t.queues.find(self);
      if (q == t.queues.end() || q->second.sent.empty()) return;
      sent = q->second.sent.front();
      q->second.sent.pop_front();
      window = FindLocked(t, sent->hwnd);
    }
    LRESULT result = 0;
    try {
      result = window ? CallProcedure(window, sent->hwnd, sent->message, sent->wParam, sent->lParam) : 0;
    } catch (...) {
      sent->result.set_exception(std::current_exception());
      continue;
    }
    sent->result.set_value(result);
  }
}

// Answers 0 to every message still waiting for a window that is gone.
void AbandonSentMessagesLocked(WindowTable& t, HWND hwnd) {
  for (auto& [thread, queue] : t.queues) {
    for (auto it = queue.sent.begin(); it != queue.sent.end();) {
      if ((*it)->hwnd == hwnd) {
        (*it)->result.set_value(0);
        it = queue.sent.erase(it);
      } else {
        ++it;
      }
    }
    std::erase_if(queue.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
  }
}

}  // namespace

HWND CreateWindowHandle(WindowProcedure procedure, HWND parent) {
  auto window = std::make_shared<Window>();
  window->procedure = std::move(procedure);
  window->owner = std::this_thread::get_id();
  window->parent = parent;
  WindowTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  const std::uintptr_t key = t.nextHandle++;
  t.windows.emplace(key, std::move(window));
  return reinterpret_cast<HWND>(key);
}

BOOL DestroyWindow(HWND hwnd) {
  std::shared_ptr<Window> window;
  std::vector<HWND> children;
  WindowTable& t = Table();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    window = FindLocked(t, hwnd);
    if (!window || window->owner != std::this_thread::get_id()) return FALSE;
    window->destroyed = true;  // no message reaches it from here on, but WM_DESTROY
  }
  CallProcedure(window, hwnd, WM_DESTROY, 0, 0);
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    for (const auto& [key, w] : t.windows)
      if (w->parent == hwnd && !w->destroyed) children.push_back(reinterpret_cast<HWND>(key));
  }
  for (HWND child : children) DestroyWindow(child);
  window_timers::KillWindowTimers(hwnd);
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    t.windows.erase(Key(hwnd));
    AbandonSentMessagesLocked(t, hwnd);
  }
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) ? TRUE : FALSE; }

HWND GetParent(HWND hwnd) {
  auto window = Find(hwnd);
  return window ? window->parent : nullptr;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowTable& t = Table();
  std::shared_ptr<Window> window;
  std::shared_ptr<SentMessage> sent;
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    window = FindLocked(t, hwnd);
    if (!window) return 0;
    if (window->owner != std::this_thread::get_id()) {
      sent = std::make_shared<SentMessage>();
      sent->hwnd = hwnd;
      sent->message = message;
      sent->wParam = wParam;
      sent->lParam = lParam;
      t.queues[window->owner].sent.push_back(sent);
    }
  }
  if (!sent) return CallProcedure(window, hwnd, message, wParam, lParam);
  // Wait for the window's thread; meanwhile answer what is sent to this
  // thread's windows, so two threads sending to each other do not lock up.
  std::future<LRESULT> result = sent->result.get_future();
  while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) DeliverSentMessages();
  return result.get();
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowTable& t = Table();
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    std::thread::id owner = std::this_thread::get_id();
    if (hwnd != nullptr) {
      auto window = FindLocked(t, hwnd);
      if (!window) return FALSE;
      owner = window->owner;
    }
    t.queues[owner].posted.push_back(msg);
  }
  return TRUE;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (msg == nullptr) return FALSE;
  DeliverSentMessages();
  const bool any = filterMin == 0 && filterMax == 0;
  const bool remove = (removeFlags & PM_REMOVE) != 0;
  WindowTable& t = Table();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    auto q = t.queues.find(std::this_thread::get_id());
    if (q != t.queues.end()) {
      auto& posted = q->second.posted;
      for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (hwnd != nullptr && it->hwnd != hwnd) continue;
        if (!any && (it->message < filterMin || it->message > filterMax)) continue;
        *msg = *it;
        if (remove) posted.erase(it);
        return TRUE;
      }
    }
  }
  if (any || (WM_TIMER >= filterMin && WM_TIMER <= filterMax))
    return window_timers::TakeDueTimer(GetTickCount64(), hwnd, remove, msg) ? TRUE : FALSE;
  return FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    auto proc = reinterpret_cast<TIMERPROC>(static_cast<std::uintptr_t>(msg->lParam));
    proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  auto window = Find(msg->hwnd);
  if (!window) return 0;
  return CallProcedure(window, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  std::shared_ptr<Window> window;
  bool wasEnabled = false;
  {
    WindowTable& t = Table();
    std::lock_guard<std::mutex> lock(t.mutex);
    window = FindLocked(t, hwnd);
    if (!window) return FALSE;
    wasEnabled = window->enabled;
    window->enabled = enable != FALSE;
  }
  if (wasEnabled != (enable != FALSE)) SendMessage(hwnd, WM_ENABLE, enable != FALSE ? 1 : 0, 0);
  return wasEnabled ? FALSE : TRUE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto window = Find(hwnd);
  return window && window->enabled ? TRUE : FALSE;
}

int PendingMessageCount() {
  WindowTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto q = t.queues.find(std::this_thread::get_id());
  return q == t.queues.end() ? 0 : static_cast<int>(q->second.posted.size());
}

namespace window_messages {

bool OwnerThread(HWND hwnd, std::thread::id* owner) {
  auto window = Find(hwnd);
  if (!window) return false;
  if (owner != nullptr) *owner = window->owner;
  return true;
}

}  // namespace window_messages
