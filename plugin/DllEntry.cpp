#include "plugin/DllEntry.h"

#include <string>
#include <vector>

#include "core/UiText.h"
#include "core/XmlWriterHooks.h"
#include "designer/FormDesign1.h"
#include "grid/VariableInfo.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Application.h"
#include "platform/win/Resources.h"
#include "plugin/ComServer.h"
#include "plugin/HostStatus.h"
#include "plugin/LiveBinding.h"
#include "plugin/PluginState.h"
#include "plugin/Switches.h"
#include "plugin/VariableLookup.h"
#include "properties/VariableBrowser.h"

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
// The property dialogs' "..." buttons: the host's variable browser (flags
// 15); the chosen name the host allocated is freed here.
bool BrowseHostVariable(const std::string& current, std::string& chosen) {
  if (!gHost.ifIECManVariables) return false;
  char* name = nullptr;
  const HRESULT hr = gHost.ifIECManVariables->BrowseVariable(current.c_str(), &name, 15);
  const bool chosenOne = hr == S_OK && name != nullptr;
  if (chosenOne) chosen = name;
  CoTaskMemFree(name);
  return chosenOne;
}

void BindPageObjectLayer() {
  gGridVariableLookup = GetVariableInfo;
  gVariableBrowser = BrowseHostVariable;
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
  gVariableBrowser = nullptr;
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
