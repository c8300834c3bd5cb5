#pragma once
// The import folder of a web project: files the user keeps beside the
// project to be copied into every compile's output tree as they are (their
// own pages, scripts, pictures), overriding generated files of the same
// name. A "DEFAULT.XSL" among them is not copied: the compile uses it as its
// page template.

#include <string>

struct TCompileState;
class TGeneratedFiles;

// Copies base folder + relative folder (relative: empty, or ending with a
// backslash) into the output root + relative folder, sub-folders too.
// Entries whose names begin with "." are skipped (".", "..", ".svn", ...).
// Every file's relative path goes into state.importedFiles when that list
// exists; a file named "DEFAULT.XSL" (in any letter case) becomes
// state.userTemplatePath; every other file replaces the output's file with
// the source's times (CopyFileKeepTime) and is registered, not counted. A
// copy that fails is reported by the copy and sets the compile's file
// error.
void CopyFolderToOutput(const std::string& baseFolder, const std::string& relativeFolder, TCompileState& state,
                        TGeneratedFiles& files);
