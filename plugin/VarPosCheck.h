#pragma once
// The check whether the variables of the last compilation still lie where
// the variables document ("_var.xml") recorded them, and the host lookups it
// uses: a variable's position from the host's variables interface, the IEC
// type name of a type code, and the name of the host's open project.

#include <cstdint>
#include <string>

#include "plugin/VariableLookup.h"

class TmyXmlNode;

// Where a variable lies in the PLC's memory.
struct TVarPosition {
  std::uint8_t area = 255;  // 255: unknown
  std::uint32_t address = 0;
  std::int32_t bit = -1;   // -1: not a bit
  std::uint32_t size = 0;  // bytes; 1 for a bit
};

// The 6-byte key of a variable: (area << 24 | address) in big-endian order,
// the PLC type byte (a BOOL's bit number), the host's size byte.
using TVarKey = std::uint8_t[6];

// Asks the host's variables interface; true on success. `typeCode` -1 is
// completed from the host's kind. Without the interface nothing is touched;
// a failed query sets the key to 0 with byte 4 = 255 and the area to 255.
bool LookupHostVariable(const std::string& name, std::uint8_t* key, std::int32_t& typeCode, TVarPosition* position);

// Completes an unknown type code through LookupHostVariable and sets the type
// name of the codes 0 and 11 to 16.
void IecTypeName(TPinVariable& record);

// The host's open project's name; empty (and a trace line) on failure.
std::string GetHostProjectName();

// True when the variable of `item` (an `Item` element) did not move.
bool CheckVarPos(TmyXmlNode* item, bool useMap);
// True when no variable of the `Variables` element moved. The first argument
// is not read.
bool CheckAllVarPos(void* unused, TmyXmlNode* variables);
