#include "platform/com/ComCheck.h"

#include <cstdio>

HRESULT OleCheck(HRESULT result) {
  if (FAILED(result)) {
    char text[32];
    std::snprintf(text, sizeof text, "OLE error %08X", static_cast<unsigned>(result));
    throw EOleSysError(text, result);
  }
  return result;
}
