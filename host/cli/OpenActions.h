#pragma once
// What `halvex open` does as the user while the project is open: choosing a
// plug-in's command in the host's menus, and painting the window a plug-in
// docked into the IDE into a PNG file.

#include <ostream>
#include <string>

class HalvexHost;

// Chooses the command registered under `name` ("Tarnwell") as a user's click
// does: on its menu item, or on its tool button when it has no item; the
// host's menu then runs the command's sink. The work the command posted is
// handled before this returns. False, with the reason written to `err`, when
// no command has that name or it is disabled.
bool ChooseHostCommand(HalvexHost& host, const std::string& name, std::ostream& out, std::ostream& err);

// Clicks the control named `name` of the window that a plug-in docked into
// the IDE and that the IDE shows, as a user's click does (the designer's
// "btnSave1" saves and compiles), or chooses the window's menu item of that
// name from its menu (a pop-up menu pops up for it: the designer's "Copy3"
// copies the selected page); the work it posted is handled before this
// returns. Modal windows it opens are answered as the driver answers them
// without a handler. False, with the reason written to `err`, when no docked
// window is shown, it has no such control or item, the control or item is
// disabled (or hidden), or the command it ran failed (it showed an error box).
bool ClickInShownWindow(HalvexHost& host, const std::string& name, std::ostream& out, std::ostream& err);

// The text of the first error box shown since the driver's log held `before`
// boxes (a message box with the error icon, or an error dialog), on one line;
// empty when none was shown. A plug-in tells a command that failed so.
std::string ErrorShownSince(std::size_t before);

// With the IDE logged in: lets the communication loop, the synchronised
// read and the windows' messages run for a while (about a second), so that a
// live view shows the PLC's values. A stop asked for (Ctrl+C) ends it early.
void WaitForLiveValues(HalvexHost& host, std::ostream& out);

// Paints the window that a plug-in docked into the IDE and that the IDE shows
// (frame, tool bars, panels and all) into the PNG file `file` (a native path).
// False, with the reason written to `err`, when no docked window is shown or
// the file cannot be written.
bool SnapshotShownWindow(HalvexHost& host, const std::string& file, std::ostream& out, std::ostream& err);
