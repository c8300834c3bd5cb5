#pragma once
// Folder helpers of the class library and the shell, on system paths (see
// Paths.h): folders are created and tested through the same case-insensitive
// resolution as every other file call.

#include <string>
#include <string_view>

// Creates the folder with every missing parent. True when the folder exists
// afterwards (also when it existed before); false for an empty path or when
// something in the way is a file or cannot be created, errno telling why
// (EEXIST for a file in the way).
bool ForceDirectories(const std::string& dir);

// True when the path names an existing folder (a link to a folder counts).
bool DirectoryExists(const std::string& dir);

// Matches a name against a Windows wildcard mask, letters compared without
// regard to case: '*' stands for any run of characters, '?' for one
// character, and "*.*" for every name (with or without a dot).
bool WildcardMatch(std::string_view mask, std::string_view name);

// True when the text holds '*' or '?'.
bool HasWildcards(std::string_view text);
