#pragma once
// The page tree's clipboard (TFormDesign1::Copy3Click, Paste2Click).

#include <string>

// The stem of a page's file name: at most its first 31 characters, cut at the
// first ".".
std::string FileStem(const std::string& fileName);
