#pragma once
// Where the variable of a data-page identifier lies in the simulated PLC's
// memory, and its type.
//
// A direct identifier ("__R10_UINT_u") names its area, offset and type. A
// mapped one ("__T0000003D.04_USINT_u") names a number of the host's web
// variable map; the numbers are the ones the last compile's variables
// document ("Tarnwell/<project>_var.xml": `Item` elements with `Name`, `Tdi`
// and `Ccd`) gives the variables, else the numbers the host's map gives the
// declared variables. Where several names carry one number, the one whose
// type is the identifier's is taken, else the first.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/VariableTable.h"
#include "host/sim/web/WebIdentifier.h"

struct WebVariable {
  PlcArea area = PlcArea::R;
  std::uint32_t address = 0;
  int bit = -1;  // 0..7 for a bit placed in a byte with others
  PlcTypeShapePtr shape;
  std::string format;
};

class WebVariableMap {
 public:
  // `variablesDocument` may be empty or name a missing file.
  WebVariableMap(const HostProject& project, const VariableTable& table, const std::string& variablesDocument);

  std::optional<WebVariable> Locate(const std::string& identifier) const;

 private:
  std::optional<WebVariable> LocateDirect(const WebIdentifier& id) const;
  std::optional<WebVariable> LocateMapped(const WebIdentifier& id) const;
  void AddMapped(std::uint32_t tdi, const ResolvedVariable& variable);

  std::vector<HostStructType> structs_;
  std::map<std::uint32_t, std::vector<ResolvedVariable>> mapped_;
};
