#pragma once
// The plug-in frame's way to the designer window (`FormDesign1`): it makes
// the designer, docks it into the host's IDE and shows it, lets it apply its
// saved placement, and closes, undocks and deletes it with the project.

#include <string>

#include "hostapi/HostTypes.h"
#include "platform/win/WindowTypes.h"

// Posted to a new designer's window: the PLC is offline or online (the
// designer's live view follows the communication state).
inline constexpr UINT kMsgDesignerPlcOffline = 0x84C1;
inline constexpr UINT kMsgDesignerPlcOnline = 0x84C2;

// Creates and docks the designer when it does not exist: shown (the project
// is loaded then), or hidden (for a build, which loads it when it needs it).
void OpenDesigner(bool show);
// Opens the designer shown, or shows and places the existing one.
void ShowDesigner();
// The person chose a line of the host's message window: when its source
// names a page of the designer's project (a message of the generator), the
// designer shows that page. Nothing without a designer.
void ShowPageOfMessage(const char* source);
// The desktop restore: a new designer, hidden, docked as the host's desktop
// storage says (the host shows it when it was shown), then placed without the
// docking keys of the settings file; told, as an opened one is, whether the
// PLC is online. Nothing when a designer exists.
void RestoreDesigner(DesktopStorage storage);
// Closes the designer (which saves the project when its FSaveOnClose is set;
// it cannot refuse the close), takes it out of the IDE and deletes it; `deleteTrace` is the trace line
// before the delete. Nothing when no designer exists.
void CloseDesigner(const char* deleteTrace);
// Takes the designer out of the IDE and deletes it without closing it.
void DropDesigner();
// True when the host reports that it is online with the PLC.
bool QueryHostApp();
// The error of the designer's last save-and-compile when it failed, taken
// (the next call answers empty until another compile fails); empty when it
// compiled, when none ran or without a designer.
std::string TakeDesignerCompileFailure();
// Why the designer holds no project: its opening was refused or gave up (the
// user was told); empty while it holds one, before it loaded, or without a
// designer.
std::string DesignerOpenFailure();
