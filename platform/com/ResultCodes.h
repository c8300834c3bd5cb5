#pragma once
// Result codes beyond the basic ones of Unknown.h, and the parts of a code.

#include "platform/com/Unknown.h"

inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr HRESULT REGDB_E_WRITEREGDB = static_cast<HRESULT>(0x80040151u);
inline constexpr HRESULT SELFREG_E_TYPELIB = static_cast<HRESULT>(0x80040200u);
inline constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201u);
inline constexpr HRESULT TYPE_E_REGISTRYACCESS = static_cast<HRESULT>(0x8002801Cu);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = static_cast<HRESULT>(0x80040200u);
inline constexpr HRESULT CONNECT_E_ADVISELIMIT = static_cast<HRESULT>(0x80040201u);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = static_cast<HRESULT>(0x80040202u);

// Facilities (bits 16 to 28 of a code).
inline constexpr int FACILITY_NULL = 0;
inline constexpr int FACILITY_DISPATCH = 2;
inline constexpr int FACILITY_ITF = 4;
inline constexpr int FACILITY_WIN32 = 7;

constexpr int HRESULT_FACILITY(HRESULT code) {
  return static_cast<int>((static_cast<std::uint32_t>(code) >> 16) & 0x1FFF);
}
constexpr int HRESULT_CODE(HRESULT code) { return static_cast<int>(static_cast<std::uint32_t>(code) & 0xFFFF); }
constexpr HRESULT MAKE_HRESULT(unsigned severity, unsigned facility, unsigned code) {
  return static_cast<HRESULT>((severity << 31) | ((facility & 0x1FFF) << 16) | (code & 0xFFFF));
}
// A Win32 error number as a result code (0 stays S_OK).
constexpr HRESULT HRESULT_FROM_WIN32(std::uint32_t error) {
  return error == 0 ? S_OK : static_cast<HRESULT>((error & 0xFFFF) | (FACILITY_WIN32 << 16) | 0x80000000u);
}
