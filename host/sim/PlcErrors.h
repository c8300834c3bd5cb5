#pragma once
// The result codes of the simulated PLC's communication services. They are
// interface-specific codes (facility 4), so that the plug-in asks the host's
// PLC communication services object for their texts (PlcErrorText).

#include "platform/com/Unknown.h"

inline constexpr HRESULT kPlcErrorUnknownService = static_cast<HRESULT>(0x80040A01u);
inline constexpr HRESULT kPlcErrorBadRequest = static_cast<HRESULT>(0x80040A02u);
inline constexpr HRESULT kPlcErrorReplyTooSmall = static_cast<HRESULT>(0x80040A03u);
inline constexpr HRESULT kPlcErrorAddress = static_cast<HRESULT>(0x80040A04u);
inline constexpr HRESULT kPlcErrorOffline = static_cast<HRESULT>(0x80040A05u);

// The English text of one of the codes above; empty for any other code.
const char* PlcErrorText(HRESULT code);
