#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/Timer.h"
#include "platform/win/MessageBox.h"
#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"
#include "platform/win/WindowTimers.h"

namespace {

constexpr UINT WM_VARSREAD = 0x8578;
constexpr UINT WM_OFFLINE = 0x84C1;

// A window that records the messages it gets.
struct Recorder {
  std::vector<std::pair<UINT, WPARAM>> got;
  HWND hwnd = CreateWindowHandle([this](HWND, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    got.emplace_back(m, w);
    return static_cast<LRESULT>(w) + l;
  });
  ~Recorder() { DestroyWindow(hwnd); }
};

// A form whose WndProc takes its own messages, as the designer's does.
class TLiveForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<UINT> seen;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_OFFLINE || m.Msg == WM_VARSREAD) {
      seen.push_back(m.Msg);
      return;
    }
    TForm::WndProc(m);
  }
};

class MessagesTimersTest : public ControlsTest {};

TEST_F(MessagesTimersTest, SendCallsAtOncePostWaitsForProcessMessages) {
  Recorder r;
  EXPECT_EQ(SendMessage(r.hwnd, WM_USER + 1, 40, 2), 42);
  ASSERT_EQ(r.got.size(), 1u);
  EXPECT_TRUE(PostMessage(r.hwnd, WM_USER + 2, 1, 0));
  EXPECT_TRUE(PostMessage(r.hwnd, WM_USER + 3, 2, 0));
  EXPECT_EQ(r.got.size(), 1u);
  EXPECT_EQ(PendingMessageCount(), 2);
  Application->ProcessMessages();
  ASSERT_EQ(r.got.size(), 3u);
  EXPECT_EQ(r.got[1].first, WM_USER + 2u);
  EXPECT_EQ(r.got[2].first, WM_USER + 3u);
  EXPECT_EQ(PendingMessageCount(), 0);
}

TEST_F(MessagesTimersTest, StaleHandlesAreRefusedAndTheirMessagesDropped) {
  HWND stale;
  {
    Recorder r;
    stale = r.hwnd;
    PostMessage(r.hwnd, WM_USER, 0, 0);
    EXPECT_TRUE(IsWindow(stale));
  }
  EXPECT_FALSE(IsWindow(stale));
  EXPECT_FALSE(PostMessage(stale, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(stale, WM_USER, 1, 1), 0);
  EXPECT_FALSE(DestroyWindow(stale));
  Application->ProcessMessages();  // the message posted before is gone quietly
  Recorder next;
  EXPECT_NE(next.hwnd, stale);  // handles are never reused
}

TEST_F(MessagesTimersTest, DestroyWindowSendsWmDestroyAndTakesTheChildren) {
  std::vector<std::string> order;
  HWND parent = CreateWindowHandle([&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
    if (m == WM_DESTROY) order.push_back("parent");
    return 0;
  });
  HWND child = CreateWindowHandle(
      [&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
        if (m == WM_DESTROY) order.push_back("child");
        return 0;
      },
      parent);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(order, (std::vector<std::string>{"parent", "child"}));
}

TEST_F(MessagesTimersTest, PostedFromAnotherThreadArriveInOrder) {
  TLiveForm form(nullptr);
  HWND hwnd = form.Handle();
  std::vector<int> values;
  Recorder r;
  constexpr int kCount = 2000;
  std::thread poster([&] {
    for (int i = 0; i < kCount; ++i) PostMessage(r.hwnd, WM_USER, static_cast<WPARAM>(i), 0);
    PostMessage(hwnd, WM_VARSREAD, 0, 0);
  });
  // The user-interface thread keeps handling messages while the other one
  // posts, as the host's communication loop runs beside the windows.
  while (form.seen.empty()) {
    Application->ProcessMessages();
    std::this_thread::yield();
  }
  poster.join();
  Application->ProcessMessages();
  ASSERT_EQ(r.got.size(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(r.got[static_cast<std::size_t>(i)].second, static_cast<WPARAM>(i));
  EXPECT_EQ(form.seen, std::vector<UINT>{WM_VARSREAD});
}

TEST_F(MessagesTimersTest, SendFromAnotherThreadRunsOnTheWindowsThread) {
  const std::thread::id uiThread = std::this_thread::get_id();
  std::thread::id ranOn;
  HWND hwnd = CreateWindowHandle([&](HWND, UINT, WPARAM w, LPARAM) -> LRESULT {
    ranOn = std::this_thread::get_id();
    return static_cast<LRESULT>(w * 2);
  });
  std::atomic<LRESULT> answer{0};
  std::atomic<bool> done{false};
  std::thread sender([&] {
    answer = SendMessage(hwnd, WM_USER, 21, 0);
    done = true;
  });
  while (!done) {
    Application->ProcessMessages();
    std::this_thread::yield();
  }
  sender.join();
  EXPECT_EQ(answer.load(), 42);
  EXPECT_EQ(ranOn, uiThread);
  DestroyWindow(hwnd);
}

TEST_F(MessagesTimersTest, FormWindowProcedureGetsPostedAndSentMessages) {
  TLiveForm form(nullptr);
  PostMessage(form.Handle(), WM_OFFLINE, 0, 0);
  SendMessage(form.Handle(), WM_VARSREAD, 0, 0);
  EXPECT_EQ(form.seen, std::vector<UINT>{WM_VARSREAD});
  Application->ProcessMessages();
  EXPECT_EQ(form.seen, (std::vector<UINT>{WM_VARSREAD, WM_OFFLINE}));
}

// A handler that fails ends no program: the message loop tells the user
// in an error box with the exception's text and goes on with the next
// message; an application that handles exceptions itself gets them instead.
TEST_F(MessagesTimersTest, AFailingHandlerIsToldInAnErrorBoxAndTheLoopGoesOn) {
  struct Case {
    std::function<void()> fail;
    std::string box;
  };
  const Case cases[] = {
      {[] { throw EOutOfResources("Out of system resources"); }, "Out of system resources."},
      {[] { throw Exception("The page is gone."); }, "The page is gone."},
      {[] { throw std::bad_alloc(); }, "std::bad_alloc."},
      {[] { throw 42; }, "Unknown exception."},
  };
  std::vector<UINT> handled;
  const Case* current = nullptr;
  HWND hwnd = CreateWindowHandle([&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
    handled.push_back(m);
    if (m == WM_USER) current->fail();
    return 0;
  });
  for (const Case& c : cases) {
    current = &c;
    handled.clear();
    ClearMessageBoxLog();
    PostMessage(hwnd, WM_USER, 0, 0);
    PostMessage(hwnd, WM_USER + 1, 0, 0);
    EXPECT_NO_THROW(Application->ProcessMessages()) << c.box;
    EXPECT_EQ(handled, (std::vector<UINT>{WM_USER, WM_USER + 1})) << c.box;
    const auto boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << c.box;
    EXPECT_EQ(boxes[0].text, c.box);
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, MB_ICONSTOP);
  }
  std::string told;
  Application->OnException = [&](TObject* sender, const std::exception& e) {
    EXPECT_EQ(sender, Application);
    told = e.what();
  };
  ClearMessageBoxLog();
  current = &cases[0];
  PostMessage(hwnd, WM_USER, 0, 0);
  Application->ProcessMessages();
  Application->OnException = nullptr;
  EXPECT_EQ(told, "Out of system resources");
  EXPECT_TRUE(MessageBoxLog().empty());
  DestroyWindow(hwnd);
}

TEST_F(MessagesTimersTest, EnableWindowAnswersThePreviousState) {
  Recorder r;
  EXPECT_TRUE(IsWindowEnabled(r.hwnd));
  EXPECT_FALSE(EnableWindow(r.hwnd, FALSE));  // was enabled
  EXPECT_FALSE(IsWindowEnabled(r.hwnd));
  EXPECT_TRUE(EnableWindow(r.hwnd, FALSE));  // was disabled; no message
  EXPECT_TRUE(EnableWindow(r.hwnd, TRUE));
  ASSERT_EQ(r.got.size(), 2u);
  EXPECT_EQ(r.got[0], (std::pair<UINT, WPARAM>{WM_ENABLE, 0}));
  EXPECT_EQ(r.got[1], (std::pair<UINT, WPARAM>{WM_ENABLE, 1}));
}

TEST_F(MessagesTimersTest, TimersFireInTheOrderOfTheirDueTimes) {
  TTimer fast(nullptr);
  TTimer slow(nullptr);
  std::vector<std::string> ticks;
  const ULONGLONG start = GetTickCount64();
  fast.SetInterval(30);
  slow.SetInterval(50);
  fast.OnTimer = [&](TObject*) { ticks.push_back("f" + std::to_string(GetTickCount64() - start)); };
  slow.OnTimer = [&](TObject*) { ticks.push_back("s" + std::to_string(GetTickCount64() - start)); };
  AdvanceVirtualClock(150);
  EXPECT_EQ(ticks, (std::vector<std::string>{"f30", "s50", "f60", "f90", "s100", "f120", "f150", "s150"}));
  EXPECT_EQ(GetTickCount64() - start, 150u);
  ticks.clear();
  AdvanceVirtualClock(29);
  EXPECT_TRUE(ticks.empty());
}

TEST_F(MessagesTimersTest, EnablingIntervalAndTagCountdown) {
  TTimer timer(nullptr);
  timer.SetEnabled(false);
  timer.SetInterval(50);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  AdvanceVirtualClock(200);
  EXPECT_EQ(ticks, 0);
  timer.SetEnabled(true);
  AdvanceVirtualClock(40);
  timer.SetEnabled(true);  // running already: the period goes on
  AdvanceVirtualClock(10);
  EXPECT_EQ(ticks, 1);
  AdvanceVirtualClock(40);
  timer.SetInterval(100);  // restarts the period
  AdvanceVirtualClock(99);
  EXPECT_EQ(ticks, 1);
  AdvanceVirtualClock(1);
  EXPECT_EQ(ticks, 2);
  // The Tag as a countdown, the timer stopping itself at the end.
  timer.SetInterval(50);
  timer.Tag = 3;
  timer.OnTimer = [&](TObject* sender) {
    auto* t = static_cast<TTimer*>(sender);
    if (--t->Tag <= 0) t->SetEnabled(false);
  };
  AdvanceVirtualClock(1000);
  EXPECT_EQ(timer.Tag, 0);
  EXPECT_FALSE(timer.Enabled());
  timer.SetEnabled(true);
  timer.SetInterval(0);  // no ticks
  timer.OnTimer = [&](TObject*) { ++ticks; };
  AdvanceVirtualClock(1000);
  EXPECT_EQ(ticks, 2);
}

TEST_F(MessagesTimersTest, ATimerFreedInItsOwnTickAndOwnedTimers) {
  auto* owner = new TComponent(nullptr);
  auto* timer = new TTimer(owner);
  timer->SetInterval(20);
  int ticks = 0;
  timer->OnTimer = [&](TObject*) {
    ++ticks;
    delete timer;
  };
  AdvanceVirtualClock(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(owner->ComponentCount(), 0);
  auto* another = new TTimer(owner);
  another->SetInterval(10);
  another->OnTimer = [&](TObject*) { ++ticks; };
  delete owner;  // frees the timer: no more ticks
  AdvanceVirtualClock(100);
  EXPECT_EQ(ticks, 1);
}

TEST_F(MessagesTimersTest, ProcessMessagesRunsADueTimerOnceWithoutCatchingUp) {
  // A timer of another thread: moving the clock here does not fire it; that
  // thread's ProcessMessages does, once, however many periods went by.
  static std::atomic<int> ticks{0};
  ticks = 0;
  std::atomic<int> step{0};
  UINT_PTR id = 0;
  std::thread other([&] {
    id = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++ticks; });
    step = 1;
    while (step != 2) std::this_thread::yield();
    Application->ProcessMessages();
    Application->ProcessMessages();  // not due again yet
    step = 3;
    while (step != 4) std::this_thread::yield();
    KillTimer(nullptr, id);
  });
  while (step != 1) std::this_thread::yield();
  AdvanceVirtualClock(35);
  EXPECT_EQ(ticks.load(), 0);
  step = 2;
  while (step != 3) std::this_thread::yield();
  EXPECT_EQ(ticks.load(), 1);
  step = 4;
  other.join();
  EXPECT_FALSE(KillTimer(nullptr, id));
}

TEST_F(MessagesTimersTest, TickCountsAndLocalTime) {
  const ULONGLONG t0 = GetTickCount64();
  AdvanceVirtualClock(0x100000000ull);
  EXPECT_EQ(GetTickCount64() - t0, 0x100000000ull);
  EXPECT_EQ(GetTickCount(), static_cast<DWORD>(t0));  // the 32-bit count wrapped
  SYSTEMTIME t;
  t.wYear = 2024;
  t.wMonth = 2;
  t.wDay = 28;
  t.wHour = 23;
  t.wMinute = 59;
  t.wSecond = 59;
  t.wMilliseconds = 500;
  ASSERT_TRUE(SetVirtualLocalTime(t));
  AdvanceVirtualClock(1000);
  SYSTEMTIME now;
  ClockLocalTime(&now);
  EXPECT_EQ(now.wYear, 2024);
  EXPECT_EQ(now.wMonth, 2);
  EXPECT_EQ(now.wDay, 29);
  EXPECT_EQ(now.wHour, 0);
  EXPECT_EQ(now.wMinute, 0);
  EXPECT_EQ(now.wSecond, 0);
  EXPECT_EQ(now.wMilliseconds, 500);
  EXPECT_EQ(now.wDayOfWeek, 4);  // a Thursday
  t.wDay = 30;                   // no 30 February
  EXPECT_FALSE(SetVirtualLocalTime(t));
  // The real clock goes on from the virtual count.
  const ULONGLONG before = GetTickCount64();
  SetClockMode(ClockMode::Real);
  EXPECT_EQ(GetClockMode(), ClockMode::Real);
  EXPECT_GE(GetTickCount64(), before);
  EXPECT_FALSE(SetVirtualLocalTime(t));
  SetClockMode(ClockMode::Virtual);
  EXPECT_GE(GetTickCount64(), before);
}

}  // namespace
