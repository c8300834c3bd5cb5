#pragma once
// The host's variable browser as the property dialogs reach it: the plug-in
// frame binds gVariableBrowser to the host's IEC variables manager (flags
// 15); unbound (no host connection) a browse changes nothing.

#include <string>

// Shows the browser on `current`; true with the chosen name when the host
// answered with success.
using TVariableBrowser = bool (*)(const std::string& current, std::string& chosen);
extern TVariableBrowser gVariableBrowser;
