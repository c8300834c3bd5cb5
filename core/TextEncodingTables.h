#pragma once
// The system's own code-page tables (see TextEncodingTables.cpp).

extern const char16_t kCp1250Upper[128];  // bytes 0x80 to 0xFF
extern const char16_t kCp1251Upper[128];  // bytes 0x80 to 0xFF
extern const char16_t kCp1252Low[32];     // bytes 0x80 to 0x9F
extern const char16_t kCp1253Upper[128];  // bytes 0x80 to 0xFF
extern const char16_t kCp1254Upper[128];  // bytes 0x80 to 0xFF, undefined ones 0xFFFD
extern const char16_t kCp1255Upper[128];  // bytes 0x80 to 0xFF, undefined ones 0xFFFF
