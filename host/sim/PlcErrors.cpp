#include "host/sim/PlcErrors.h"

const char* PlcErrorText(HRESULT code) {
  switch (code) {
    case kPlcErrorUnknownService: return "The PLC does not know the requested service.";
    case kPlcErrorBadRequest: return "The request to the PLC is malformed.";
    case kPlcErrorReplyTooSmall: return "The reply buffer is too small for the PLC's answer.";
    case kPlcErrorAddress: return "The request addresses memory outside the PLC's memory areas.";
    case kPlcErrorOffline: return "The PLC is not connected.";
    default: return "";
  }
}
