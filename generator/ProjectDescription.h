#pragma once
// The compiled project description for the operator panels and the PLC's web
// server: a copy of the project document with template pages merged into the
// pages that use them, groups kept off the panels removed, placeholders and
// variable references resolved and typed, passwords and MAC addresses
// replaced by SHA-1 digests and each image given its file time and size.
// Written as "TARNWELL.XML" (with its CRC comment line) and compressed into
// "TARNWELL.XMZ" in the output root; the XML is deleted again unless the
// project holds `DebugXmz`.

#include <string>
#include <string_view>

struct TCompileContext;

inline constexpr const char* kProjectDescriptionXml = "TARNWELL.XML";
inline constexpr const char* kProjectDescriptionXmz = "TARNWELL.XMZ";

// Builds and writes the description of the context's project. Only
// "TARNWELL.XMZ" is registered and counted. Without an output root or a
// project nothing is written. A `count` of `security` or of the first
// `autologin` entry that is not an integer raises EConvertError.
void WriteProjectDescription(TCompileContext& context);

// The SHA-1 of the 8-bit text as 40 upper-case hexadecimal digits.
std::string Sha1Hex(std::string_view text);

// The file's bytes compressed into the gzip file format (no stored name,
// time 0); false when the file cannot be read.
bool GzipFile(const std::string& sourcePath, std::string& zipped);
