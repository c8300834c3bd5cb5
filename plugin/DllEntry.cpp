#include "plugin/DllEntry.h"

#include <string>
#include <vector>

#include "core/UiText.h"
#include "core/XmlWriterHooks.h"
#include "designer/FormDesign1.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Application.h"
#include "platform/win/Resources.h"
#include "plugin/ComServer.h"
#include "plugin/HostStatus.h"
#include "plugin/LiveBinding.h"
#include "plugin/Switches.h"
#include "plugin/VariableLookup.h"

namespace {

// The host executable: the class library application's name when the host set
// it, else argument 0 of its command line.
std::string HostExecutable(const std::string& argument0) {
  if (Application != nullptr && !Application->ExeName().empty()) return Application->ExeName();
  return argument0;
}

// The page-object layer reaches the host through the frame: its variable
// lookup is the frame's, and its reader flattens variable references when
// the host was started with "/LINVAR".
void BindPageObjectLayer() {
  gGridVariableLookup = GetVariableInfo;
  gFlattenVariableNames = gStartup.flattenVariables;
  BindLiveViewHooks();
}

}  // namespace

void TarnwellProcessAttach() {
  InitTarnwellModule();
  ReadHostSwitches(HostExecutable(std::string()), {});
  BindPageObjectLayer();
  LoadDefaultUiTable(HInstance);
  SetXmlStatusTextHook([](HWND window, const char* text) { SendHostStatusText(window, text != nullptr ? text : ""); });
  SetXmlKeepAliveHook([](HWND window) { KeepHostResponsive(window); });
}

void TarnwellProcessDetach() {
  gGridVariableLookup = nullptr;
  UnbindLiveViewHooks();
  SetXmlStatusTextHook(nullptr);
  SetXmlKeepAliveHook(nullptr);
}

void TarnwellReadHostCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  if (argv != nullptr)
    for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
  ReadHostSwitches(HostExecutable(arguments.empty() ? std::string() : arguments[0]), arguments);
  BindPageObjectLayer();
}
