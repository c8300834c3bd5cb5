// The server's side of the login exchange reads the password file's
// scrambled body back as the exchange's description says: pairs of
// hexadecimal running sums, byte i = ~(s[i] - s[i-1]), led by the sum of the
// body's bytes. Checked against the writer that the password file uses.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/PasswordScramble.h"

namespace {

// The description's decoding; false when the body is not whole pairs of
// hexadecimal digits or the leading sum does not match.
bool DecodeScrambledBody(const std::string& digits, std::string& text) {
  if (digits.size() % 2 != 0 || digits.size() < 2) return false;
  std::string bytes;
  unsigned previous = 0;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const unsigned sum = static_cast<unsigned>(std::stoul(digits.substr(i, 2), nullptr, 16));
    bytes += static_cast<char>(~(sum - previous) & 0xFFu);
    previous = sum;
  }
  unsigned total = 0;
  for (std::size_t i = 1; i < bytes.size(); ++i) total += static_cast<unsigned char>(bytes[i]);
  text = bytes.substr(1);
  return (total & 0xFFu) == static_cast<unsigned char>(bytes[0]);
}

TEST(LoginExchange, ScrambledPasswordBodyDecodesAsDescribed) {
  const std::string body =
      "OPERATOR,Pa$$w0rd,3\r\n1,01,-1\r\n00:11:22:AA:BB:CC,5\r\n00:00:00:00:00:00,0\r\n/PAGE2.XML\r\n\r\n";
  unsigned sum = 0;
  for (unsigned char c : body) sum += c;
  std::size_t at = 0;
  std::string digits;
  WriteScrambledStream(
      digits,
      [&](unsigned char& byte) {
        if (at == body.size()) return false;
        byte = static_cast<unsigned char>(body[at++]);
        return true;
      },
      static_cast<unsigned char>(sum & 0xFFu));
  ASSERT_EQ(digits.size(), 2 * (body.size() + 1));
  std::string decoded;
  ASSERT_TRUE(DecodeScrambledBody(digits, decoded));
  EXPECT_EQ(decoded, body);
  // A changed last byte breaks the leading sum.
  char& last = digits.back();
  last = last == '0' ? '1' : '0';
  EXPECT_FALSE(DecodeScrambledBody(digits, decoded));
}

}  // namespace
