#pragma once
// `halvex open PROJECT --gui`: the host on an X display. The windows of the
// host and the plug-ins become X windows (platform/x11), the host's main
// window shows its menu bar, tool bars, message window and status line
// (HostGuiFrame), and a person works in them until they close the main
// window (or the program gets SIGINT or SIGTERM); then the run goes on as
// always (closing the project, uninstalling the plug-ins). Modal windows,
// popup menus and message boxes wait for the person while the back end is
// installed, the closing questions included; after a signal the windows
// close and the closing questions get their headless answers, and the run
// ends as a stopped one. The run's signal handling (HostSession.h) lets a
// second signal end the program at once, also while it is busy.

#include <memory>
#include <ostream>

class HalvexHost;
class HostMainWindow;
class HostGuiFrame;
class TX11Backend;

class GuiSession {
 public:
  // Connects to $DISPLAY and installs the back end; null, with the reason
  // written to `err`, when there is no display.
  static std::unique_ptr<GuiSession> Start(HalvexHost& host, HostMainWindow* window, std::ostream& err);
  ~GuiSession();
  GuiSession(const GuiSession&) = delete;
  GuiSession& operator=(const GuiSession&) = delete;

  // Shows the main window and handles the person's input until they close it.
  void Run(std::ostream& out);
  // The signal that ended the person's work (the stop is taken so that the
  // project closes as always, but the run was stopped); 0 when they closed
  // the window.
  int StoppedBy() const { return stoppedBy_; }

 private:
  GuiSession(std::unique_ptr<TX11Backend> backend, HalvexHost& host, HostMainWindow* window);

  std::unique_ptr<TX11Backend> backend_;
  HostMainWindow* window_;
  std::unique_ptr<HostGuiFrame> frame_;
  bool closeRequested_ = false;
  int stoppedBy_ = 0;
};

// Whether the environment asks for the screen (HALVEX_GUI set to 1).
bool GuiRequestedByEnvironment();
