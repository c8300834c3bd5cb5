#pragma once
// The public-variable list "TARNWELL.PUB": the PLC variables that the
// operator panels read and write, one line each, closed by a CRC line, written
// into the output root for the PLC side (nothing here reads it back).

#include <string>

struct TCompileContext;

// The line that stands in for the variables when the list is empty.
inline constexpr const char* kPublicVariableStandIn = "%SW22 S W 22 UINT PUB_INOUT";
inline constexpr const char* kPublicVariableFileName = "TARNWELL.PUB";

// The CRC line of the variable lines' text (each line with its CR LF):
// ;* Crc="XXXX" with the CRC-16 (base/Crc.h) in four upper-case hex digits.
std::string PublicVariableCrcLine(const std::string& linesText);

// Completes the state's public-variable list (the stand-in line when it is
// empty, then its CRC line appended unsorted) and writes it to the output
// root's "TARNWELL.PUB", registered and counted. A file that cannot be written
// is a host message and error bit 2. Without a list the stand-in alone is
// written; without an output root nothing is.
void WritePublicVariableList(TCompileContext& context);
