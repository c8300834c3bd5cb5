#pragma once
// What a compile of the web project asks of the host IDE and of the machine:
// the host's compiler messages, the PLC variables (IEC types, memory
// positions, the web variable map, sizes and structure members), the central
// unit's code, the host's status line, and the clock. Everything that makes
// a compile depend on the world outside the project comes through here, so
// that tests pass a fake and generated files are deterministic.
//
// The plug-in frame gives the real one (through the host's interfaces); the
// compile driver of the host's build and the save-and-compile command use the
// same interface.

#include <cstdint>
#include <string>
#include <vector>

#include "grid/PinVariable.h"
#include "hostapi/HostVariables.h"
#include "platform/win/WindowTypes.h"

// A variable's place as the host's variables interface answers it. The
// values before a query: area 255, size code 65535, offset -1.
struct TVariablePosition {
  std::uint8_t area = 255;         // 0 X, 1 Y, 2 S, 3 R, 4 T
  std::uint16_t sizeCode = 65535;  // 0..7 the bit number, 8 byte, 9 word, 10 double word, 11 REAL, 12 64-bit, 13 LREAL
  std::int32_t offset = -1;        // byte offset in the area
  std::uint32_t extra = 0;         // read and not used
};

class TCompileHost {
 public:
  virtual ~TCompileHost() = default;

  // --- messages -----------------------------------------------------------------
  // The host's message window is prepared once before a compile that is not
  // for the host's build (IQendMessages, its second operation with 1, false).
  virtual void PrepareMessages() = 0;
  // Asks the project manager for the compiler-message interface for this
  // compile (true when the host gave one) / releases it.
  virtual bool AcquireCompilerMessages() = 0;
  virtual void ReleaseCompilerMessages() = 0;
  // One line in the host's message window (kind 0, the text, the source, 1,
  // 1); dropped while no compiler-message interface is held.
  virtual void AddCompilerMessage(const std::string& text, const std::string& source) = 0;

  // --- variables ----------------------------------------------------------------
  // The variable's IEC type as the host knows it (typeCode -1: unknown).
  virtual void GetVariableInfo(const std::string& name, TPinVariable& record) = 0;
  // True when the host gave its variables interface (position queries).
  virtual bool HasVariablesInterface() = 0;
  // The position query; false when the host does not know the name.
  virtual bool GetVariablePosition(const std::string& name, TVariablePosition& position) = 0;
  // The web variable map (IHalvexWebTdiMap): a pass opens (true on success;
  // false also when the host has no map), variables are added to the open
  // pass with their entry answered (false for an unknown one), the pass is
  // closed.
  virtual bool OpenTdiPass() = 0;
  virtual bool AddTdiVariable(const std::string& name, WebTdiVarInfo& info) = 0;
  virtual void CloseTdiPass() = 0;
  // The IEC variables manager: the size of a variable in bytes, and the
  // member names of a structure (one per line of the host's answer); false
  // when the host has no manager or refuses.
  virtual bool GetVariableSize(const std::string& name, int& size) = 0;
  virtual bool GetMembers(const std::string& name, std::vector<std::string>& members) = 0;
  // The central unit's code the host last reported (-1 while unknown).
  virtual int CpmCode() = 0;

  // --- the host's status line -----------------------------------------------------
  // Message 0x8003 with the text, and the keep-alive 0x8002, to the window
  // (none: the host's main window).
  virtual void SendStatusText(HWND window, const std::string& text) = 0;
  virtual void KeepResponsive(HWND window) = 0;

  // --- switches and the machine ---------------------------------------------------
  // "/WEBCOMPTIME": the compile time goes to the message window.
  virtual bool ReportCompileTime() = 0;
  // "disable.tdi" lay in the project folder when the project was opened.
  virtual bool TdiMapDisabled() = 0;
  // The global settings switch the flag for the whole process at once.
  virtual void SetTdiMapDisabled(bool) {}
  // The folder "SCRIPTS" beside the folder of the host's program (a system
  // path ending in a backslash): user copies of some static scripts.
  virtual std::string ScriptsFolder() = 0;
  // Seconds since 1970-01-01 UTC, and a millisecond tick count.
  virtual std::int64_t Now() = 0;
  virtual std::uint64_t TickCount() = 0;
};
