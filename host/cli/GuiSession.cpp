#include "host/cli/GuiSession.h"

#include <cstdlib>
#include <cstring>

#include "host/sim/HalvexHost.h"
#include "host/sim/HostGuiFrame.h"
#include "host/sim/HostMainWindow.h"
#include "platform/vcl/Application.h"
#include "platform/win/StopRequest.h"
#include "platform/x11/X11Backend.h"

namespace {

bool StopRequested() { return StopRequestSignal() != 0; }

}  // namespace

bool GuiRequestedByEnvironment() {
  const char* value = std::getenv("HALVEX_GUI");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::unique_ptr<GuiSession> GuiSession::Start(HalvexHost& host, HostMainWindow* window, std::ostream& err) {
  std::string error;
  std::unique_ptr<TX11Backend> backend = TX11Backend::Open(nullptr, error);
  if (!backend) {
    err << "halvex: --gui: " << error << "\n";
    return nullptr;
  }
  return std::unique_ptr<GuiSession>(new GuiSession(std::move(backend), host, window));
}

GuiSession::GuiSession(std::unique_ptr<TX11Backend> backend, HalvexHost& host, HostMainWindow* window)
    : backend_(std::move(backend)), window_(window) {
  // A stop from outside ends every wait for the person, modal ones too, and a
  // compile at its next file.
  backend_->SetStopCheck(StopRequested);
  backend_->Install();
  frame_ = std::make_unique<HostGuiFrame>(*window_, host.Menu(), host.Messages(),
                                          [&host](const HostMessageLine& line) { host.RaiseMessageChosen(line); });
  // Closing the main window ends the person's work; the host then closes the
  // project as after any run.
  window_->OnClose = [this](TObject*, TCloseAction& action) {
    action = caNone;
    closeRequested_ = true;
  };
}

GuiSession::~GuiSession() {
  window_->OnClose = nullptr;
  frame_.reset();
  backend_->Uninstall();
}

void GuiSession::Run(std::ostream& out) {
  out << "on the screen: close the Halvex window, or press Ctrl+C here, to end the run\n" << std::flush;
  window_->Show();
  frame_->Refresh();
  while (!closeRequested_ && !StopRequested() && !Application->Terminated()) backend_->Pump(10);
  if (StopRequested()) {
    // Stopped from outside: nobody is at the screen to answer the closing
    // questions, which get their headless answers.
    out << "stopped by a signal: the windows close\n";
    stoppedBy_ = StopRequestSignal();
    frame_.reset();
    backend_->Uninstall();
    // The stop is taken: the project closes as after any run (a second
    // signal still ends the program at once).
    ClearStopRequest();
    return;
  }
  out << "the Halvex window was closed\n";
}
