#include "core/Base64.h"

#include <algorithm>

#include "base/Crc.h"
#include "platform/win/FileIo.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

unsigned ValueOf(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<unsigned>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return 0;
}

}  // namespace

std::string Base64Encode(const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  std::string out;
  out.reserve((size + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3) {
    unsigned v = (unsigned{p[i]} << 16) | (unsigned{p[i + 1]} << 8) | p[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (std::size_t rest = size - i; rest > 0) {
    unsigned v = unsigned{p[i]} << 16;
    if (rest == 2) v |= unsigned{p[i + 1]} << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  if (text.empty() || text.size() % 4 != 0) return out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    unsigned v =
        (ValueOf(text[i]) << 18) | (ValueOf(text[i + 1]) << 12) | (ValueOf(text[i + 2]) << 6) | ValueOf(text[i + 3]);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
  }
  std::size_t padding = 0;
  while (padding < 2 && text[text.size() - 1 - padding] == '=') ++padding;
  out.resize(out.size() - padding);
  return out;
}

std::optional<std::string> FileToBase64(const std::string& fileName, std::uint32_t& crc) {
  std::string data;
  if (!ReadWholeFile(fileName, data)) return std::nullopt;
  Crc32 sum;
  for (std::size_t done = 0; done < data.size();) {
    std::uint32_t chunk = static_cast<std::uint32_t>(std::min<std::size_t>(data.size() - done, 1u << 30));
    sum.Update(data.data() + done, chunk);
    done += chunk;
  }
  crc = sum.Value();
  return Base64Encode(data.data(), data.size());
}

bool Base64ToFile(const std::string& fileName, std::string_view text) {
  std::string bytes = Base64Decode(text);
  return WriteFileReplacing(fileName, bytes.data(), bytes.size());
}
