#pragma once
// The host's main window: a form whose window procedure takes the two
// messages a plug-in sends it during long work:
//   0x8003  status text: the first parameter is the address of an 8-bit,
//           NUL-terminated text, read during the call; 0 clears the status
//   0x8002  keep-alive: first parameter 5
// It records every status text (an empty text for a cleared status) and
// counts the keep-alive messages. The host makes it the application's main
// form, which is where the plug-in sends them.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

inline constexpr UINT kHostMsgKeepAlive = 0x8002;
inline constexpr UINT kHostMsgStatusText = 0x8003;
// The host's own message: work the host posted to its user-interface thread
// (the data-ready announcements of the synchronised read).
inline constexpr UINT kHostMsgHostEvent = 0x8100;
// The timer that announces the data of a synchronised read a little after
// the read was asked for (as the PLC's answer takes its time).
inline constexpr UINT_PTR kHostDataReadyTimer = 0x8101;

class HostMainWindow : public TForm {
 public:
  explicit HostMainWindow(TComponent* owner);

  std::vector<std::string> StatusTexts() const;
  // The status shown now (the last text; empty when cleared or none came).
  std::string CurrentStatus() const;
  std::uint32_t KeepAliveCount() const;
  // Keep-alive messages whose first parameter was not 5.
  std::uint32_t OtherKeepAliveCount() const;

  // Called when kHostMsgHostEvent arrives, and when kHostDataReadyTimer
  // fires (the timer is killed first).
  std::function<void()> OnHostEvent;

 protected:
  void WndProc(TMessage& message) override;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> statusTexts_;
  std::uint32_t keepAlive_ = 0;
  std::uint32_t otherKeepAlive_ = 0;
};
