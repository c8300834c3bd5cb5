#pragma once
// The SysUtils unit of the class library: conversions between numbers and
// texts, letter case and comparison, Format, file names and files, the
// program's parameters, the pseudo-random numbers, and Unix times.
//
// Texts are 8-bit strings. The "Ansi" functions treat the bytes as text in
// the machine's ANSI code page (CodePage.h: GetACP); the others touch only
// the ASCII letters, as the class library's do.
//
// File names are the system's backslash paths; '/' counts as a separator
// too, and ':' ends a drive. The file calls reach the file system through
// ToNativePath (Paths.h), so names resolve without regard to case.
//
// Including this header brings the whole unit: also Format
// (SysUtilsFormat.h), dates and times (DateTime.h), FindFirst and its kin
// (FindFile.h), DirectoryExists and ForceDirectories (Folders.h) and the
// exceptions (SysUtilsException.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/vcl/DateTime.h"
#include "platform/vcl/FindFile.h"
#include "platform/vcl/SysUtilsException.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/win/Folders.h"  // DirectoryExists, ForceDirectories

// --- numbers and texts ---

// The decimal text of any integer ("-12").
template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
std::string IntToStr(T value) {
  return std::to_string(value);
}

// Reads a 32-bit integer as the class library does: blanks before it are
// skipped, then an optional sign, then decimal digits, or hexadecimal digits
// after "$", "x", "X", "0x" or "0X" (up to 8 of them; "$FFFFFFFF" reads as
// -1). Nothing may follow. A decimal value outside the 32-bit range, an empty
// text or any other character raises EConvertError
// "'<text>' is not a valid integer value".
int StrToInt(std::string_view text);
// As StrToInt; `defaultValue` for a text that does not convert.
int StrToIntDef(std::string_view text, int defaultValue);
// As StrToInt; false (and `value` unchanged) for a text that does not convert.
bool TryStrToInt(std::string_view text, int& value);

// --- blanks, letter case, comparison ---

// Without the blanks and control characters (bytes up to ' ') at both ends,
// at the start, at the end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// ASCII letters only; other bytes stay.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// Every letter of the ANSI code page that has a capital (small) letter in the
// same code page ("é" -> "É" in 1252, "ř" -> "Ř" in 1250); "ß" and letters
// whose other case the code page lacks stay.
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

// Comparisons without regard to letter case: < 0, 0 or > 0 as a sorts before,
// with or after b. CompareText folds the ASCII letters to capitals and
// compares the bytes; AnsiCompareText folds every letter of the ANSI code
// page to small letters and compares the bytes of the results (the order of
// the code page; no language's collation).
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// --- file names ---

// The part up to and including the last '\', '/' or ':' ("" when none).
std::string ExtractFilePath(std::string_view fileName);
// The part after the last '\', '/' or ':'.
std::string ExtractFileName(std::string_view fileName);
// The extension with its dot (".xml"), or "" when the name has no dot after
// its last separator.
std::string ExtractFileExt(std::string_view fileName);
// The name with its extension replaced (added when it had none); `extension`
// brings its own dot, "" removes the extension.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
// The path of `destName` relative to the folder of `baseName` (only the
// folder part of `baseName` counts: a folder ends with a separator):
// "..\" for each folder of the base that is not shared, then the folders of
// the destination below the shared ones and its file name, with '\'
// separators. Folder names compare without regard to case. When the drives
// differ ("C:" against "D:", or a drive against none) the destination comes
// back as it is.
std::string ExtractRelativePath(std::string_view baseName, std::string_view destName);
// The path with one trailing backslash (a separator already there stays; ""
// becomes "\"); the path without its trailing separator.
std::string IncludeTrailingBackslash(std::string_view path);
std::string ExcludeTrailingBackslash(std::string_view path);

// --- files and folders (DirectoryExists and ForceDirectories: Folders.h) ---

// True when the path names an existing file (not a folder).
bool FileExists(const std::string& fileName);
// Creates one folder; false when it exists already or its parent is missing.
bool CreateDir(const std::string& dir);
// Removes an empty folder.
bool RemoveDir(const std::string& dir);
// Deletes a file (not a folder). The Win32 call of the same name takes a
// char pointer (Win32File.h) and does the same.
bool DeleteFile(const std::string& fileName);
// Renames or moves a file or folder; false when the new name exists already
// (letter case aside) or the old one does not.
bool RenameFile(const std::string& oldName, const std::string& newName);

// --- the program's parameters ---

// The parameters the program was started with: ParamStr(0) is the program,
// ParamStr(1) .. ParamStr(ParamCount()) its arguments, "" for any other
// index. Until SetCommandLine is called they are the process's own.
int ParamCount();
std::string ParamStr(int index);
// Sets the program and its arguments (the host passes its command line);
// `args[0]` is the program.
void SetCommandLine(const std::vector<std::string>& args);

// --- pseudo-random numbers ---

// The class library's generator: RandSeed = RandSeed * 134775813 + 1 for
// each number, so a given seed repeats its sequence. Random(range) is
// 0 .. range - 1 (0 for a range below 1), Random() a real in [0, 1).
int Random(int range);
double Random();
// Seeds the generator from the system's clock.
void Randomize();
std::uint32_t RandSeed();
void SetRandSeed(std::uint32_t seed);

// --- Unix times ---

// Seconds since 1970-01-01 00:00:00 of a TDateTime (no time zone involved),
// rounded to the nearest second; EConvertError for a value that is not a
// number or lies outside the calendar (DateTime.h).
std::int64_t DateTimeToUnix(TDateTime value);
TDateTime UnixToDateTime(std::int64_t seconds);
