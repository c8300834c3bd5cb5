#pragma once
// The host project on disk: a folder holding the project file "halvex.prj",
// a small line-oriented text of the host's own (described in the README's
// "Demo" section). It names the project, its global folder, the CPU code
// (CPM), the UI language, the project's files and operator panels, the
// structure types, the memory areas, the files of the PLC's file system and
// the PLC variables (name, IEC type, memory area, byte offset, bit, TDI
// number) and the values some of them hold when the project opens.
//
// ReadHostProject reads and checks the whole file; every fault (an unknown
// keyword, a missing field, a bad number, an unknown type, a variable that
// leaves its area, a duplicate name, a preset of an unknown variable or with
// a value that does not fit its type ...) raises HostProjectError whose text
// names the file and the line.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/sim/PlcMemory.h"

inline constexpr const char* kHostProjectFileName = "halvex.prj";

class HostProjectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct HostStructMember {
  std::string name;
  std::string type;  // a type text as in a variable line
};

struct HostStructType {
  std::string name;
  std::vector<HostStructMember> members;
  int line = 0;
};

struct HostVariableDecl {
  std::string name;
  std::string type;  // the type text as written
  PlcArea area = PlcArea::R;
  std::uint32_t offset = 0;
  int bit = -1;           // 0..7 for a BOOL at a bit, -1 otherwise
  std::uint32_t tdi = 0;  // the variable's number in the web variable map; 0 = none given
  int line = 0;
};

struct HostPanelDecl {
  int rack = 0;
  int position = 0;
  std::string type;  // model prefix and number, for example "OPD100"
  std::string name;
  std::string in;
  std::string out;
};

// A file the PLC's file system holds when the project opens.
struct HostPlcFile {
  std::string plcPath;    // "//WWW/LOGO.PNG"
  std::string localFile;  // relative to the project folder
  int line = 0;
};

// A variable's value when the project opens (a `preset NAME VALUE` line),
// already placed and encoded (host/sim/PresetValue.h).
struct HostPresetDecl {
  std::string name;   // a variable, member or element name as written
  std::string value;  // the value text as written
  PlcArea area = PlcArea::R;
  std::uint32_t address = 0;
  int bit = -1;                     // 0..7 for a BOOL: bytes[0] is the bit's value
  std::vector<std::uint8_t> bytes;  // the value in memory order
  int line = 0;
};

struct HostAreaSize {
  PlcArea area = PlcArea::R;
  std::uint32_t size = 0;
};

struct HostProject {
  std::string folder;              // native path of the project folder, no trailing '/'
  std::string name;                // the project's name
  std::string globalFolder;        // native path of the global folder, no trailing '/'
  std::int32_t cpm = -1;           // CPU code; -1 when the file gives none
  std::int32_t language = 1033;    // the host's UI language (LCID)
  std::vector<std::string> files;  // the PLC project's files, relative names
  std::vector<HostPanelDecl> panels;
  std::vector<HostStructType> structs;
  std::vector<HostAreaSize> areaSizes;
  std::vector<HostPlcFile> plcFiles;
  std::vector<HostVariableDecl> variables;
  std::vector<HostPresetDecl> presets;
};

// Reads `folder`/halvex.prj (folder: a native path). Raises HostProjectError.
HostProject ReadHostProject(const std::string& folder);
// Reads project text already in memory; `fileLabel` names it in errors and
// `folder` is the folder relative paths start from.
HostProject ParseHostProject(const std::string& text, const std::string& folder, const std::string& fileLabel);
