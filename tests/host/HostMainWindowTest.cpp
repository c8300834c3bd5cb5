// The host's main window records status texts and counts keep-alive messages
// sent to its window handle.

#include <gtest/gtest.h>

#include "host/sim/HostMainWindow.h"

namespace {

TEST(HostMainWindowMessages, StatusTextsAndKeepAlive) {
  HostMainWindow window(nullptr);
  ASSERT_TRUE(IsWindow(window.Handle()));
  const char* text = "Saving XML...";
  SendMessage(window.Handle(), kHostMsgStatusText, reinterpret_cast<WPARAM>(text), 0);
  EXPECT_EQ(window.CurrentStatus(), "Saving XML...");
  SendMessage(window.Handle(), kHostMsgStatusText, 0, 0);
  EXPECT_EQ(window.CurrentStatus(), "");
  EXPECT_EQ(window.StatusTexts(), (std::vector<std::string>{"Saving XML...", ""}));

  SendMessage(window.Handle(), kHostMsgKeepAlive, 5, 0);
  SendMessage(window.Handle(), kHostMsgKeepAlive, 5, 0);
  SendMessage(window.Handle(), kHostMsgKeepAlive, 4, 0);
  EXPECT_EQ(window.KeepAliveCount(), 2u);
  EXPECT_EQ(window.OtherKeepAliveCount(), 1u);
  // Other messages change nothing.
  SendMessage(window.Handle(), WM_USER, 1, 2);
  EXPECT_EQ(window.StatusTexts().size(), 2u);
}

}  // namespace
