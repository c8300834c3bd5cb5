#pragma once
// The global settings command: fills TFormGlobalSettings from the designer's
// settings, the project's `web` element and the two marker files of the
// project folder, shows it and, on OK of an editable project, writes every
// setting back: the designer's state (renewing every page's change stamp
// when the page layout changed), the `web` element and its small child
// elements, the marker files and the dictionary-off flag.
//
// Marker files in the project folder: the host project's name with ".auto"
// (content "On": the host's build compiles the web pages) and "disable.tdi"
// (content "Disable": the host's web variable map is not used). They are
// created (an existing one is left as it is) or deleted on OK only.

class TFormDesign1;
class TFormGlobalSettings;

void RunGlobalSettings(TFormDesign1& designer);

// The two halves, for the command and its tests.
void FillGlobalSettings(TFormGlobalSettings& form, TFormDesign1& designer);
void StoreGlobalSettings(TFormGlobalSettings& form, TFormDesign1& designer);
