#pragma once
// What the module learns about its host when it is loaded and installed, and
// the hooks through which the core services speak to the host and the user.
//
// The plug-in's entry code fills these (the host's executable, the folder of
// an "/OEMDIR=" switch, the project manager obtained at installation) and the
// later layers bind the hook of the host's message window. Until then the
// values are empty and the hook does nothing. Used on the host's
// user-interface thread.

#include <functional>
#include <string>

class IQendProjectManager;

// The host executable's full path (the class library's Application->ExeName).
void SetHostExeName(const std::string& path);
const std::string& HostExeName();

// The folder given with "/OEMDIR=" (upper-cased as the switch was read), or
// empty when the switch was not given.
void SetOemDir(const std::string& dir);
const std::string& OemDir();

// The base folder of the help files: the OEM folder when set, otherwise the
// folder of the host executable, without a trailing separator.
std::string HelpBaseFolder();

// The host's project manager (not owned: the installation holds the
// reference); null when there is no host connection.
void SetHostProjectManager(IQendProjectManager* manager);
IQendProjectManager* HostProjectManager();

// A line for the host's message window with the name of its source (a file).
using HostMessageHook = std::function<void(const std::string& text, const std::string& source)>;
void SetHostMessageHook(HostMessageHook hook);
void ReportHostMessage(const std::string& text, const std::string& source);

// A plain message box with a text for the user: the class library's
// ShowMessage, answered and recorded as every other box is.
void ShowPlainMessage(const std::string& text);
