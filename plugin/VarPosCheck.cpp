#include "plugin/VarPosCheck.h"

#include <cstdio>
#include <cstring>

#include "core/IecTypes.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "platform/com/TaskMem.h"
#include "platform/win/CodePage.h"
#include "plugin/PluginState.h"

namespace {

// The IEC type code of the host's kinds 8 to 13.
std::int32_t TypeCodeOfKind(std::uint16_t kind) {
  switch (kind) {
    case 8: return 11;   // USINT
    case 9: return 12;   // UINT
    case 10: return 13;  // UDINT
    case 11: return 15;  // REAL
    case 12: return 14;  // ULINT
    case 13: return 16;  // LREAL
    default: return -1;
  }
}

}  // namespace

bool LookupHostVariable(const std::string& name, std::uint8_t* key, std::int32_t& typeCode, TVarPosition* position) {
  if (!gHost.ifQendVariables) return false;
  std::uint8_t area = 0;
  std::uint16_t kind = 0;
  std::uint32_t address = 0;
  std::uint8_t size = 0;
  HRESULT hr = gHost.ifQendVariables->GetVariablePosition(name.c_str(), &area, &kind, &address, &size);
  if (FAILED(hr)) {
    if (key != nullptr) {
      std::memset(key, 0, 6);
      key[4] = 255;
    }
    if (position != nullptr) position->area = 255;
    return false;
  }
  std::int32_t bit = -1;
  std::uint32_t bytes = size;
  if (kind <= 7) {
    bit = kind;
    bytes = 1;
    if (typeCode == -1) typeCode = 0;
  } else if (typeCode == -1) {
    typeCode = TypeCodeOfKind(kind);
  }
  if (position != nullptr) {
    position->area = area;
    position->address = address;
    position->bit = bit;
    position->size = bytes;
  }
  if (key != nullptr) {
    std::uint32_t value = (static_cast<std::uint32_t>(area) << 24) | address;
    key[0] = static_cast<std::uint8_t>(value >> 24);
    key[1] = static_cast<std::uint8_t>(value >> 16);
    key[2] = static_cast<std::uint8_t>(value >> 8);
    key[3] = static_cast<std::uint8_t>(value);
    key[4] = bit >= 0 ? static_cast<std::uint8_t>(bit) : PlcTypeOfTypeCode(typeCode);
    key[5] = size;
  }
  return true;
}

void IecTypeName(TPinVariable& record) {
  if (record.typeCode == -1) LookupHostVariable(record.name, nullptr, record.typeCode, nullptr);
  switch (record.typeCode) {
    case 0: record.typeName = "BOOL"; break;
    case 11: record.typeName = "USINT"; break;
    case 12: record.typeName = "UINT"; break;
    case 13: record.typeName = "UDINT"; break;
    case 14: record.typeName = "ULINT"; break;
    case 15: record.typeName = "REAL"; break;
    case 16: record.typeName = "LREAL"; break;
    default: break;
  }
}

std::string GetHostProjectName() {
  IQendProjectManager* manager = gHost.ifPrjMngr.Get();
  if (manager != nullptr) {
    BSTR wide = nullptr;
    HRESULT hr = manager->GetProjectNameW(&wide);
    if (SUCCEEDED(hr)) {
      std::string name = WideToMultiByte(CP_ACP, BstrToWide(wide));
      SysFreeString(wide);
      return name;
    }
    SysFreeString(wide);
    if (hr == E_NOTIMPL) {
      // A host without the wide query: its 8-bit one.
      char* text = nullptr;
      hr = manager->GetProjectName(&text);
      std::string name = (SUCCEEDED(hr) && text != nullptr) ? std::string(text) : std::string();
      CoTaskMemFree(text);
      if (SUCCEEDED(hr)) return name;
    }
  }
  WriteTraceLog("ERR! Unable to get current project name.");
  return {};
}

bool CheckVarPos(TmyXmlNode* item, bool useMap) {
  if (item == nullptr) return true;
  std::string name = item->GetAttr("Name");
  if (name.empty()) return true;
  TPinVariable pin;
  GetVariableInfo(name, pin);
  std::int32_t typeCode = pin.typeCode;
  std::uint8_t key[6] = {0, 0, 0, 0, 0, 0};
  LookupHostVariable(name, key, typeCode, nullptr);
  std::int32_t docType = item->GetAttrInt("Type", 0);
  if (useMap) {
    WebTdiVarInfo info;
    if (FAILED(gHost.ifHalvexWebTdiMap->WebTdi_AddVariable(name.c_str(), &info)))
      WriteTraceLog("WebTdi_AddVariable - failed");
    std::uint32_t docTdi = item->GetAttrHex("Tdi", 0);
    std::uint32_t docCcd = item->GetAttrHex("Ccd", 0);
    bool moved = docTdi != info.tdi || docCcd != info.code || docType != key[4];
    if (moved) {
      char text[512];
      std::snprintf(text, sizeof text, "CheckVarPos: %.300s moved Tdi: %08X ? %08X Ccd: %02X ? %02X Type: %i ? %i ",
                    name.c_str(), static_cast<unsigned>(info.tdi), static_cast<unsigned>(docTdi),
                    static_cast<unsigned>(info.code), static_cast<unsigned>(docCcd), static_cast<int>(key[4]),
                    static_cast<int>(docType));
      WriteTraceLog(text);
    }
    return !moved;
  }
  std::uint32_t hostPos = (static_cast<std::uint32_t>(key[0]) << 24) | (static_cast<std::uint32_t>(key[1]) << 16) |
                          (static_cast<std::uint32_t>(key[2]) << 8) | key[3];
  return item->GetAttrHex("Pos", 0) == hostPos && docType == key[4];
}

bool CheckAllVarPos(void*, TmyXmlNode* variables) {
  WriteTraceLog("CheckAllVarPos");
  bool useMap = !gWebTdiMapDisabled && gHost.ifHalvexWebTdiMap && gHost.ifHalvexWebTdiMap->WebTdi_OpenPass() == 0;
  bool anyMoved = false;
  for (TmyXmlNode* item = variables != nullptr ? variables->firstChild : nullptr; item != nullptr; item = item->next) {
    if (item->name != "Item") continue;
    if (!CheckVarPos(item, useMap)) {
      anyMoved = true;
      if (!useMap) {
        WriteTraceLog("CheckAllVarPos - end (false)");
        return false;
      }
    }
  }
  if (useMap) gHost.ifHalvexWebTdiMap->WebTdi_ClosePass();
  WriteTraceLog(anyMoved ? "CheckAllVarPos - end (result=false)" : "CheckAllVarPos - end (result=true)");
  return !anyMoved;
}
