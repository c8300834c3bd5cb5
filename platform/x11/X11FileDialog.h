#pragma once
// The open and save dialogs (TOpenDialog and its kin) for a person, as a
// modal form: the folder (an edit: a folder typed there and Enter go there),
// the list of its sub-folders (".." first, each with a '/' after it) and of
// the files that match the dialog's chosen filter, and the file name (a
// click on a file fills it; a double click opens a folder or chooses a
// file). OK takes the name as a file of the folder (a folder's name opens
// that folder instead); the dialog's own checks (a file that must exist, an
// existing one to replace) follow as after any answer. With
// ofAllowMultiSelect, Shift and Ctrl clicks choose several files, which the
// name field holds each in quotes ("a.png" "b.png"), and OK takes them all.
// The fields and the list show the file system's names (UTF-8) in the ANSI
// code page, and the names typed there are converted back.

#include <string>
#include <vector>

class TOpenDialog;

// 1 when the person pressed OK (the dialog's FileName then holds the native
// path of the chosen file, and Files every chosen one), 0 when they
// cancelled.
int ShowX11FileDialog(TOpenDialog& dialog);

// The entries the dialog lists for a folder: "../" (unless it is the root),
// the sub-folders with a '/' after them, then the files that match one of
// the patterns ("*.bmp;*.png" or "*.bmp; *.png"; empty: every file), each group sorted
// without regard to case. Hidden entries (a leading '.') are left out.
std::vector<std::string> FileDialogEntries(const std::string& folder, const std::string& patterns);

// The names the name field holds: with `several`, each name in quotes when
// it has any ("a.png" "b.png"); otherwise (or without quotes) the field as
// one name. None when the field is empty.
std::vector<std::string> FileDialogNames(const std::string& field, bool several);
