#pragma once
// The library's version block and the query of one of its values.

#include <string>

// The named value of the file's version block in its first language, or an
// empty text. The library answers for its own file (named "Tarnwell.dll", or
// the name it was loaded under); any other file has no block here.
std::string GetModuleFileVersion(const std::string& fileName, const std::string& valueName);

// The full path the library was loaded from.
std::string ModuleFilePath();
