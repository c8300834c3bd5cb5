#pragma once
// Standard base64 (RFC 4648 alphabet and '=' padding) and the base64 form of
// whole files, as the project keeps pictures inside its XML.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Three bytes to four characters; a last group of one or two bytes is
// completed with zero bits and padded with "==" or "=".
std::string Base64Encode(const void* data, std::size_t size);
inline std::string Base64Encode(std::string_view bytes) { return Base64Encode(bytes.data(), bytes.size()); }

// Four characters to three bytes; a character outside the alphabet counts as
// 0, and each '=' at the end (at most two) takes one byte off the result.
// A text whose length is not a multiple of four decodes to nothing.
std::string Base64Decode(std::string_view text);

// The whole file as base64, with its CRC-32 in `crc`; nothing (and `crc`
// untouched) when the file cannot be read.
std::optional<std::string> FileToBase64(const std::string& fileName, std::uint32_t& crc);

// Decodes the text and writes the bytes as the file's new content (through a
// temporary file and a rename). False when the file cannot be written.
bool Base64ToFile(const std::string& fileName, std::string_view text);
