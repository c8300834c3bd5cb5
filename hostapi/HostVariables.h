#pragma once
// The host's variables: the memory position of a PLC variable
// (IQendVariables) and the web variable map that numbers the variables of
// the web pages (IHalvexWebTdiMap).

#include "hostapi/HostTypes.h"

// {E5433F9C-C9C4-41AC-A134-13468EE53CDD}
inline constexpr IID IID_IQendVariables = {
    0xE5433F9C, 0xC9C4, 0x41AC, {0xA1, 0x34, 0x13, 0x46, 0x8E, 0xE5, 0x3C, 0xDD}};
// {9ADE5018-5419-415D-B93D-1AAC52522A34}
inline constexpr IID IID_IHalvexWebTdiMap = {
    0x9ADE5018, 0x5419, 0x415D, {0xB9, 0x3D, 0x1A, 0xAC, 0x52, 0x52, 0x2A, 0x34}};

class IQendVariables : public IUnknown {
 public:
  // Position 3: where a variable lies: memory area code, kind (0 to 7: a bit
  // of that number; 8 byte, 9 word, 10 double word, 11 real, 12 long word,
  // 13 long real), address (byte offset) and size in bytes. A failing result
  // for a name the host does not know.
  virtual HRESULT GetVariablePosition(const char* name, std::uint8_t* area, std::uint16_t* kind, std::uint32_t* address,
                                      std::uint8_t* size) = 0;

 protected:
  ~IQendVariables() = default;
};

// What the web variable map answers for a variable.
struct WebTdiVarInfo {
  std::uint32_t tdi = 0;       // position in the map
  std::uint8_t code = 0;       // memory code
  std::uint32_t offset = 0;    // byte offset in its area
  std::uint8_t bit = 0;        // a further byte (the bit number of a bit)
  std::uint16_t sizeCode = 0;  // size code (below 8: a bit)
  std::uint8_t areaCode = 0;   // memory area
  std::uint32_t extra = 0;     // a further value
};

class IHalvexWebTdiMap : public IUnknown {
 public:
  // Position 3: begins a pass; S_OK (0) when the map is in use.
  virtual HRESULT WebTdi_OpenPass() = 0;
  // Position 4: adds a variable to the open pass and answers its entry; a
  // failing result for a variable the host does not know.
  virtual HRESULT WebTdi_AddVariable(const char* name, WebTdiVarInfo* info) = 0;
  // Position 5: ends the pass.
  virtual HRESULT WebTdi_ClosePass() = 0;
  // Position 6: the entry of a variable without adding it.
  virtual HRESULT WebTdi_GetVarInfo(const char* name, WebTdiVarInfo* info) = 0;

 protected:
  ~IHalvexWebTdiMap() = default;
};
