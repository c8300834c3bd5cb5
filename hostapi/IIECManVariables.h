#pragma once
// The host's IEC variables manager: a variable's IEC type, a structure's
// members, a variable's size, and the host's variable browsers. The plug-in
// object answers this interface too (all its methods do nothing there).
//
// Texts handed out are 8-bit texts from CoTaskMemAlloc that the caller frees;
// every method answers S_OK on success.

#include "hostapi/HostTypes.h"

// {0168E2A7-0CC5-4965-9A7E-3883A8541B6B}
inline constexpr IID IID_IIECManVariables = {
    0x0168E2A7, 0x0CC5, 0x4965, {0x9A, 0x7E, 0x38, 0x83, 0xA8, 0x54, 0x1B, 0x6B}};

class IIECManVariables : public IUnknown {
 public:
  // Position 3: the variable browser, positioned on `current`; the chosen
  // name comes back in `chosen` (flags 15).
  virtual HRESULT BrowseVariable(const char* current, char** chosen, HostLong flags) = 0;
  // Position 4: the browser offering variables of `typeName` only; the
  // second value is not used by the system.
  virtual HRESULT BrowseTypedVariable(const char* current, const char* typeName, char** chosen, HostLong* value) = 0;
  // Position 5: the variable's IEC type name (e.g. "UINT", "STRUCT",
  // "STRING[20]"), a further text and the IEC type code. `scope` is "".
  virtual HRESULT GetVariableInfo(const char* name, const char* scope, char** typeName, char** furtherText,
                                  HostLong* typeCode) = 0;
  // Position 6: the names of further types, one per line (flags 0).
  virtual HRESULT GetTypeList(char** types, HostLong flags) = 0;
  // Position 7: the members of a structure or structured variable, each line
  // ended by CR LF. `scope` is "".
  virtual HRESULT GetMembers(const char* name, const char* scope, char** members) = 0;
  // Position 8: the variable's size in bytes.
  virtual HRESULT GetVariableSize(const char* name, HostLong* size) = 0;
  virtual HRESULT Reserved9() = 0;
  virtual HRESULT Reserved10() = 0;
  virtual HRESULT Reserved11() = 0;

 protected:
  ~IIECManVariables() = default;
};
