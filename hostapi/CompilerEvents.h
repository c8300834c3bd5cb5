#pragma once
// The host's compiler events, raised to the plug-in through the compiler
// connection point, and the extension reached by QueryInterface on the sink.

#include "hostapi/HostTypes.h"

// {153EF7B6-7670-4AC2-9547-F0612BC3A79B}
inline constexpr IID IID_IQendCompilerEvents = {
    0x153EF7B6, 0x7670, 0x4AC2, {0x95, 0x47, 0xF0, 0x61, 0x2B, 0xC3, 0xA7, 0x9B}};
// {491E4A7A-303A-4BAE-B448-51B009556D9D}
inline constexpr IID IID_IQendCompilerEventsExt1 = {
    0x491E4A7A, 0x303A, 0x4BAE, {0xB4, 0x48, 0x51, 0xB0, 0x09, 0x55, 0x6D, 0x9D}};

class IQendCompilerEvents : public IUnknown {
 public:
  // Positions 3 and 4: a compilation starts, ends.
  virtual HRESULT OnStartCompiling(std::uint32_t value) = 0;
  virtual HRESULT OnEndCompiling(std::uint32_t value) = 0;
  // Positions 5 and 6: further compiler steps (seven and five values).
  virtual HRESULT Reserved5(std::uint32_t v1, std::uint32_t v2, std::uint32_t v3, std::uint32_t v4, std::uint32_t v5,
                            std::uint32_t v6, std::uint32_t v7) = 0;
  virtual HRESULT Reserved6(std::uint32_t v1, std::uint32_t v2, std::uint32_t v3, std::uint32_t v4,
                            std::uint32_t v5) = 0;
  // Position 7: asks the sink for a text (CoTaskMemAlloc; the host frees it).
  virtual HRESULT Reserved7(std::uint32_t value, char** text) = 0;
  // Positions 8 and 9.
  virtual HRESULT Reserved8() = 0;
  virtual HRESULT Reserved9() = 0;

 protected:
  ~IQendCompilerEvents() = default;
};

class IQendCompilerEventsExt1 : public IUnknown {
 public:
  // Position 3: the host links the PLC program; the first value is the handle
  // of the host's status window, the other five are not used by the system.
  virtual HRESULT OnLinkingExtendedProgMap(std::uint32_t statusWindow, std::uint32_t v2, std::uint32_t v3,
                                           std::uint32_t v4, std::uint32_t v5, std::uint32_t v6) = 0;

 protected:
  ~IQendCompilerEventsExt1() = default;
};
