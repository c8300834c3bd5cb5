#pragma once
// A compile state, a fake host and the variables document under test, with
// shorthands for declaring variables and resolving them.

#include <string>

#include "generator/CompileState.h"
#include "generator/WebVariables.h"
#include "tests/support/FakeCompileHost.h"

namespace variablestest {

// Area codes as the host answers them.
enum Area : std::uint8_t { kAreaX = 0, kAreaY = 1, kAreaS = 2, kAreaR = 3, kAreaT = 4 };
// Size codes: below 8 a bit number.
enum Size : std::uint16_t { kByte = 8, kWord = 9, kDword = 10, kReal = 11, kQuad = 12, kLreal = 13 };

struct VariablesBench {
  TCompileState state;
  FakeCompileHost host;
  TWebVariables variables{state, host};

  std::string Resolve(const std::string& name, const TIdentifierFormat& format = {}) {
    return variables.ResolveWebVariable(name, format);
  }
  // Switches the web variable map's pass on; the variable gets the TDI
  // number and code.
  void UseTdiMap() {
    host.hasTdiMap = true;
    state.tdiMapPass = host.OpenTdiPass();
  }
};

}  // namespace variablestest
