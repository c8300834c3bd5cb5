#pragma once
// Size and position of dialogs kept in the project's settings file, in a
// section named after the form, with the keys "Height", "Width", "Top" and
// "Left".

#include <string>

class TCustomForm;
class TIniFile;

// Reads the four keys of the section into the form, each set as soon as it is
// read: "Height" and "Width" default to the form's own size; "Top" and "Left"
// default to the form centred in the work area of the monitor nearest to the
// mouse cursor. When the form then lies on no monitor it is centred the same
// way in the work area of the monitor nearest to it. Nothing happens without
// an INI file.
void RestoreFormPlacement(const std::string& section, TCustomForm* form, TIniFile* iniFile);
// The name the dialogs call it by: the same operation.
void PlaceFormAtCursor(const std::string& section, TCustomForm* form, TIniFile* iniFile);

// Writes the form's "Height", "Width", "Top" and "Left" into the section, as
// the dialogs do when they close, with one write of the file (a failed one
// changes none of them and raises EIniFileException). Nothing without an INI
// file.
void SaveFormPlacement(const std::string& section, TCustomForm* form, TIniFile* iniFile);
