#pragma once
// The ST constants file "TarnwellConst.ST" in the web project folder: one
// global constant per web page (group index * 256 + page index), so that the
// PLC program can switch an operator panel to a page. The designer's save
// writes it and adds it to the host's PLC project when the project has
// panels, and takes it out of the host project when it has none.
//
// The constants' names are IEC identifiers: "TWL_" and the page name without
// its extension, every character outside [A-Za-z0-9_] as '_', runs of '_'
// as one, no '_' at the end, and a name already given (IEC names ignore
// case) made unique with "_2", "_3", ...; each renaming is traced.

#include <string>
#include <vector>

class TmyXmlNode;

inline constexpr const char* kStConstantsFileName = "TarnwellConst.ST";
// The file's name in the host project's file list.
inline constexpr const char* kStConstantsProjectEntry = "Tarnwell\\TarnwellConst.ST";

// Writes the file and adds it to the host project when it is missing there.
// Answers what failed, for the user (empty: the file is in): a file that
// could not be written holds what it held, and is not added. A new file takes
// the mode and group of `projectFile` (the project file the save wrote),
// when given, as every other new file of the save does; an existing one
// keeps its own.
std::string AddStConstantsFile(TmyXmlNode* root, const std::string& projectFile = {});
// Takes the file out of the host project and cuts it back to its header; a
// file that cannot be cut back is noted as a settings file is
// (NoteWriteFailure): no program reads it any more.
void RemoveStConstantsFile();

// The file's content has one form: the header line, then the constants.
// Each writer puts the file's whole content in place at once (written beside
// it, then renamed over it), leaves a file that holds that content already
// untouched (so it keeps its times, and the host sees nothing to compile), and
// does not replace a read-only file. Each answers what failed, for the user;
// empty when the content is in.
//
// Cuts an existing file (in `folder`, ending in a backslash) back to the
// header line; nothing when there is no file.
std::string WriteStConstantsHeader(const std::string& folder);
// Writes the file for the project `root` (a new one with the mode and group
// of `projectFile`, when given); then, when `hostFiles` is given and does not
// name it, adds it to the host project.
std::string WriteStConstants(const std::string& folder, const std::vector<std::string>* hostFiles, TmyXmlNode* root,
                             const std::string& projectFile = {});
// The constant's name for a page name: see above; `used` holds the upper-case
// names given so far and receives this one.
std::string StConstantName(const std::string& pageName, std::vector<std::string>& used);
