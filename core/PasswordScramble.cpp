#include "core/PasswordScramble.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kMaxPlain = 128;
constexpr std::size_t kMaxUnscrambled = 254;

char gScrambled[2 * kMaxPlain + 1];
char gPlain[kMaxUnscrambled + 1];

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendScrambled(std::string& out, unsigned char& sum, unsigned char byte) {
  sum = static_cast<unsigned char>(sum + (255 - byte));
  out += kHex[sum >> 4];
  out += kHex[sum & 15];
}

}  // namespace

const char* ScrambleHex(const char* plain) {
  std::size_t n = 0;
  unsigned char sum = 0;
  for (std::size_t i = 0; plain != nullptr && plain[i] != '\0' && i < kMaxPlain; ++i) {
    sum = static_cast<unsigned char>(sum + (255 - static_cast<unsigned char>(plain[i])));
    gScrambled[n++] = kHex[sum >> 4];
    gScrambled[n++] = kHex[sum & 15];
  }
  gScrambled[n] = '\0';
  return gScrambled;
}

const char* UnscrambleHex(const char* scrambled) {
  std::size_t n = 0;
  unsigned previous = 0;
  for (const char* p = scrambled; p != nullptr && n < kMaxUnscrambled && p[0] != '\0' && p[1] != '\0'; p += 2) {
    int high = DigitValue(p[0]), low = DigitValue(p[1]);
    if (high < 0 || low < 0) break;
    unsigned value = static_cast<unsigned>(high * 16 + low);
    gPlain[n++] = static_cast<char>(255 - ((value - previous) & 0xFF));
    previous = value;
  }
  gPlain[n] = '\0';
  return gPlain;
}

std::string EncodeUserPassword(const std::string& password) { return ScrambleHex(password.substr(0, 10).c_str()); }

std::string DecodeUserPassword(const std::string& text) { return UnscrambleHex(text.substr(0, 20).c_str()); }

void WriteScrambledStream(std::string& out, const ScrambleByteSource& source, unsigned char first) {
  unsigned char sum = 0;
  AppendScrambled(out, sum, first);
  unsigned char byte = 0;
  while (source && source(byte)) AppendScrambled(out, sum, byte);
}

void WriteScrambledStream(std::FILE* file, const ScrambleByteSource& source, unsigned char first) {
  std::string out;
  WriteScrambledStream(out, source, first);
  if (file != nullptr) std::fwrite(out.data(), 1, out.size(), file);
}
