#pragma once
// The check that a PLC variable is a structure that a drawing canvas can use
// (its members and theirs, generator/CanvasBuffer.md). The canvas writer asks
// it at compile time; the designer's canvas dialog asks the same.

#include <string>

class TCompileHost;

// True when the host's IEC variables manager answers the members of the
// variable, of its `info`, `touch` and `bufHead` exactly as a canvas needs
// them (names compared whole and case-sensitively, asked in that order and
// stopping at the first mismatch); false without the manager or an answer.
bool CheckCanvasVariable(TCompileHost& host, const std::string& variable);
