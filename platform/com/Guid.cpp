#include "platform/com/Guid.h"

#include <cstdio>

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hexadecimal digits at `pos`.
bool ReadHex(std::string_view text, std::size_t pos, int digits, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    int v = HexValue(text[pos + static_cast<std::size_t>(i)]);
    if (v < 0) return false;
    value = (value << 4) | static_cast<std::uint32_t>(v);
  }
  return true;
}

}  // namespace

std::string GuidToString(REFGUID g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(g.Data1),
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return text;
}

bool StringToGuid(std::string_view text, GUID& guid) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: 38 characters.
  if (text.size() != 38 || text[0] != '{' || text[37] != '}') return false;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return false;
  GUID g{};
  std::uint32_t v = 0;
  if (!ReadHex(text, 1, 8, v)) return false;
  g.Data1 = v;
  if (!ReadHex(text, 10, 4, v)) return false;
  g.Data2 = static_cast<std::uint16_t>(v);
  if (!ReadHex(text, 15, 4, v)) return false;
  g.Data3 = static_cast<std::uint16_t>(v);
  static constexpr std::size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, kBytePos[i], 2, v)) return false;
    g.Data4[i] = static_cast<std::uint8_t>(v);
  }
  guid = g;
  return true;
}

std::u16string GuidToWide(REFGUID guid) {
  std::string text = GuidToString(guid);
  return std::u16string(text.begin(), text.end());
}

HRESULT CLSIDFromString(const char16_t* text, CLSID* clsid) {
  if (text == nullptr || clsid == nullptr) return E_INVALIDARG;
  std::string narrow;
  for (const char16_t* p = text; *p != 0; ++p) {
    if (*p > 0x7F || narrow.size() > 38) return E_INVALIDARG;
    narrow.push_back(static_cast<char>(*p));
  }
  return StringToGuid(narrow, *clsid) ? S_OK : E_INVALIDARG;
}

GUID GuidFromText(std::string_view text) {
  GUID g = GUID_NULL;
  if (!StringToGuid(text, g)) return GUID_NULL;
  return g;
}
