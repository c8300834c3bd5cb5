#pragma once
// The project-wide settings that the designer takes from the attributes of the
// project's `web` element when it loads a project, with the values a new
// designer starts with; the code page of the project's encoding; the format
// version of the project file.

#include <cstdint>
#include <string>
#include <string_view>

// Code page numbers that the encoding names map to (CodePageOfEncoding).
inline constexpr int kCodePageUtf8 = 8;         // "UTF-8": the generator compares with 8
inline constexpr int kCodePageMachineAnsi = 0;  // names without a number: the machine's ANSI code page
inline constexpr int kCodePageWindowsFirst = 1250;

// Format codes: major * 1000 + minor. The designer edits projects up to 8.1
// and opens newer ones read-only; a version that is not two numbers reads as 1.0.
inline constexpr int kFormatCodeCurrent = 8001;
inline constexpr int kFormatCodeUnreadable = 1000;

struct TProjectSettings {
  bool borderOff = false;
  bool menuOff = false;
  bool titleOff = false;
  bool fullScreen = false;
  bool propFont = false;  // the surface's edit fields use "Verdana" instead of "Courier New"
  bool webApp = false;
  bool useIniScale = false;
  bool useMaxScale = false;
  bool userScale = true;
  bool background = true;
  bool operatorPanels = false;  // `pavoa`
  int bgColor = 16777215;       // white
  int displayMode = 0;
  int pageHeight = 560;
  int pageWidth = 980;
  int leftMargin = 8;
  int topMargin = 8;
  int iniScale = 100;
  int maxScale = 100;
  std::string encoding = "windows-1250";
  int codePage = kCodePageWindowsFirst;
};

// Takes one attribute of `web` into the settings by the table of recognised
// attribute names (exact, case-sensitive). False, and nothing changed, for a
// name the table does not hold (`version` included: the document reads it).
bool ApplyWebAttribute(TProjectSettings& settings, std::string_view name, std::string_view value);

// The code page of an encoding name: a name beginning with "W" or "w" gives the
// decimal number after its first eight characters ("windows-1250" 1250,
// "windows-874" 874), any other name the number after its first four ("UTF-8"
// 8). No digits there, or a number past the integer range, give 0 (the
// machine's ANSI code page, as the XML writer reads 0).
int CodePageOfEncoding(std::string_view encoding);

// "%u.%u" read as major and minor: major * 1000 + (minor mod 100); 1000 when
// the text does not begin with two numbers joined by a dot. Codes past the
// integer range stay at the largest integer.
int ParseFormatVersion(std::string_view text);
// The format code as "%u.%u" of (code / 1000, code mod 1000): 8001 gives "8.1".
std::string FormatVersionText(int formatCode);
