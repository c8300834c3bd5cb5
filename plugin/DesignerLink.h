#pragma once
// The plug-in frame's way to the designer window (`FormDesign1`). The designer
// is a subsystem of its own; while it is not built into the library the
// pointer stays null and these operations only trace what was asked.

// Creates and docks the designer when it does not exist (shown or hidden).
void OpenDesigner(bool show);
// Opens the designer shown, or shows the existing one.
void ShowDesigner();
// True when the host reports that it is online with the PLC.
bool QueryHostApp();
