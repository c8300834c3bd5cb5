#pragma once
// TIniFile of the class library: a settings file in the INI format that the
// Windows profile functions read and write.
//
// The file is text of 8-bit bytes: "[Section]" lines, "Key=Value" lines below
// them, lines ended by CR LF (LF or CR alone are read too). Reading, as
// Windows does: blanks around section names, keys and values are ignored, a
// value enclosed in a pair of equal quotes (" or ') loses them, names compare
// without regard to letter case, and the first section and the first key of a
// name count. A missing file reads as empty.
//
// Every write goes to the file at once: the file is read, the one line changed
// (a new key goes after the last line of its section, a new section to the
// end after a blank line), and the whole text written back through a
// temporary file and a rename, so that a failed write leaves the old file
// whole. Lines not touched keep their text. The file is created on the first
// write (its folder must exist). A failed write raises EIniFileException.

#include <string>
#include <utility>
#include <vector>

#include "platform/vcl/SysUtilsException.h"

class EIniFileException : public Exception {
 public:
  EIniFileException(const std::string& message, std::string fileName, std::string reason = {})
      : Exception(message), fileName_(std::move(fileName)), reason_(std::move(reason)) {}
  // The file that could not be written.
  const std::string& FileName() const { return fileName_; }
  // Why, in the system's words ("Permission denied"); empty when unknown.
  const std::string& Reason() const { return reason_; }

 private:
  std::string fileName_;
  std::string reason_;
};

class TIniFile {
 public:
  // `fileName` is a system path (see platform/win/Paths.h).
  explicit TIniFile(const std::string& fileName) : fileName_(fileName) {}
  virtual ~TIniFile() = default;

  const std::string& FileName() const { return fileName_; }

  // The value, or `defaultValue` when the section or key is missing (a key
  // with an empty value gives the empty text).
  std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue) const;
  // The value as an integer: decimal, "$" or "0x" followed by hexadecimal
  // digits, an optional sign; `defaultValue` when missing or not a 32-bit
  // integer.
  int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const;
  // ReadInteger with 1 or 0 as default, true for any value other than 0.
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const;

  // Sets the value (created when missing). A value is one line: it ends at its
  // first CR or LF.
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  // Sets several values of one section with a single write of the file, so
  // that a failed write leaves none of them changed.
  void WriteStrings(const std::string& section, const std::vector<std::pair<std::string, std::string>>& values);
  void WriteInteger(const std::string& section, const std::string& ident, int value);
  // Writes "-1" for true and "0" for false.
  void WriteBool(const std::string& section, const std::string& ident, bool value);

  // Every write has reached the file already; nothing to do.
  void UpdateFile() {}

 private:
  std::string fileName_;
};
