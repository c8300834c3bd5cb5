#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"
#include "plugin/HostStatus.h"

namespace {

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::string text;  // the status text, read during the call
};

class HostWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SetClockMode(ClockMode::Virtual);
    ResetKeepAliveClock();
    window = CreateWindowHandle([this](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      Received r{message, wParam, lParam, {}};
      if (message == kMsgHostStatusText && wParam != 0) r.text = reinterpret_cast<const char*>(wParam);
      if (message == kMsgHostStatusText || message == kMsgHostKeepAlive) received.push_back(r);
      return 0;
    });
  }
  void TearDown() override { DestroyWindow(window); }

  int KeepAlives() const {
    int count = 0;
    for (const Received& r : received)
      if (r.message == kMsgHostKeepAlive && r.wParam == kHostKeepAliveCode && r.lParam == 0) ++count;
    return count;
  }

  HWND window = nullptr;
  std::vector<Received> received;
};

TEST_F(HostWindow, StatusTextIsSentWithItsAddressOrZeroWhenEmpty) {
  SendHostStatusText(window, "Saving XML...");
  SendHostStatusText(window, "");
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].message, kMsgHostStatusText);
  EXPECT_EQ(received[0].text, "Saving XML...");
  EXPECT_EQ(received[0].lParam, 0);
  EXPECT_EQ(received[1].wParam, 0u);
  EXPECT_EQ(received[1].lParam, 0);
}

TEST_F(HostWindow, KeepAliveAtMostEvery34MillisecondsOnTheClock) {
  KeepHostResponsive(window);  // starts the clock only
  EXPECT_EQ(KeepAlives(), 0);
  AdvanceVirtualClock(10);
  KeepHostResponsive(window);
  EXPECT_EQ(KeepAlives(), 0);
  AdvanceVirtualClock(23);  // 33 ms
  KeepHostResponsive(window);
  EXPECT_EQ(KeepAlives(), 0);
  AdvanceVirtualClock(1);  // 34 ms
  KeepHostResponsive(window);
  EXPECT_EQ(KeepAlives(), 1);
  // Two calls 10 ms apart: at most one message.
  AdvanceVirtualClock(30);
  KeepHostResponsive(window);
  AdvanceVirtualClock(10);
  KeepHostResponsive(window);
  EXPECT_EQ(KeepAlives(), 2);
  KeepHostResponsive(window);
  EXPECT_EQ(KeepAlives(), 2);
  AdvanceVirtualClock(1000);
  KeepHostResponsive(window);
  EXPECT_EQ(KeepAlives(), 3);
}

TEST_F(HostWindow, WithoutAWindowAndWithoutAMainFormNothingIsSent) {
  ASSERT_EQ(HostMainWindow(), nullptr);
  SendHostStatusText(nullptr, "lost");
  KeepHostResponsive(nullptr);
  AdvanceVirtualClock(100);
  KeepHostResponsive(nullptr);
  EXPECT_TRUE(received.empty());
}

}  // namespace
