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

#include <cstdint>
#include <string>
#include <vector>

class TmyXmlNode;

// The facts about a file that decide whether it changed. All zero: there was
// no file.
struct TFileCrcInfo {
  std::uint32_t creationLow = 0;
  std::uint32_t creationHigh = 0;
  std::uint32_t accessLow = 0;  // always 0
  std::uint32_t accessHigh = 0;
  std::uint32_t writeLow = 0;
  std::uint32_t writeHigh = 0;
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  std::uint32_t reserved = 0;
};

inline constexpr const char* kStConstantsFileName = "TarnwellConst.ST";
// The file's name in the host project's file list.
inline constexpr const char* kStConstantsProjectEntry = "Tarnwell\\TarnwellConst.ST";

// Writes the file and adds it to the host project when it is missing there.
// Errors end it silently.
void AddStConstantsFile(TmyXmlNode* root);
// Takes the file out of the host project and cuts it back to its header.
void RemoveStConstantsFile();

// Rewrites an existing file (in `folder`, ending in a backslash) with only
// the header line; answers the previous file's facts (all zero: no file).
TFileCrcInfo WriteStConstantsHeader(const std::string& folder);
// Appends the constants of the project `root`; keeps the old times when the
// content did not change; adds the file to the host project when `hostFiles`
// is given and does not name it.
void WriteStConstants(const std::string& folder, const std::vector<std::string>* hostFiles, TmyXmlNode* root,
                      const TFileCrcInfo& previous);
// The constant's name for a page name: see above; `used` holds the upper-case
// names given so far and receives this one.
std::string StConstantName(const std::string& pageName, std::vector<std::string>& used);

// A file's facts; a file that cannot be opened leaves `info` as it was.
void GetFileCrcInfo(const std::string& file, TFileCrcInfo& info);
// Sets the file's creation and last-write times from `info`.
void SetFileTimeFrom(const std::string& file, const TFileCrcInfo& info);
