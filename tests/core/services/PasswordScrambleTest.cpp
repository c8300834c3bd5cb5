// The keyless password scrambling: its example, round trips, the length
// limits and the stream form.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/PasswordScramble.h"

TEST(PasswordScramble, Example) {
  EXPECT_STREQ(ScrambleHex("abc"), "9E3BD7");
  EXPECT_STREQ(UnscrambleHex("9E3BD7"), "abc");
  EXPECT_STREQ(ScrambleHex(""), "");
  EXPECT_STREQ(ScrambleHex(nullptr), "");
  EXPECT_STREQ(UnscrambleHex(""), "");
}

TEST(PasswordScramble, RoundTripOfRandomPasswords) {
  std::mt19937 random(42);
  for (int round = 0; round < 200; ++round) {
    std::string password(random() % 129, '\0');
    for (char& c : password) c = static_cast<char>(1 + random() % 255);
    std::string scrambled = ScrambleHex(password.c_str());
    ASSERT_EQ(scrambled.size(), 2 * password.size());
    for (char c : scrambled) ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    EXPECT_EQ(std::string(UnscrambleHex(scrambled.c_str())), password);
  }
}

TEST(PasswordScramble, LengthLimits) {
  std::string password(200, 'p');
  for (int i = 0; i < 200; ++i) password[i] = static_cast<char>('A' + i % 26);
  std::string scrambled = ScrambleHex(password.c_str());
  EXPECT_EQ(scrambled.size(), 256u);
  EXPECT_EQ(std::string(UnscrambleHex(scrambled.c_str())), password.substr(0, 128));
  // More digits than the plain buffer holds: 254 bytes at most.
  std::string many(600, '1');
  EXPECT_EQ(std::strlen(UnscrambleHex(many.c_str())), 254u);
}

TEST(PasswordScramble, OddAndForeignDigits) {
  EXPECT_STREQ(UnscrambleHex("9E3BD"), "ab");   // the single last digit is dropped
  EXPECT_STREQ(UnscrambleHex("9E3Bxx"), "ab");  // decoding stops at a pair that is not hexadecimal
  EXPECT_STREQ(UnscrambleHex("9e3bd7"), "");    // digits are upper case
}

TEST(PasswordScramble, UserPasswordsKeepTenCharacters) {
  std::string stored = EncodeUserPassword("secret-password-long");
  EXPECT_EQ(stored, ScrambleHex("secret-pas"));
  EXPECT_EQ(DecodeUserPassword(stored), "secret-pas");
  EXPECT_EQ(DecodeUserPassword(stored + "0F0F"), "secret-pas");
  EXPECT_EQ(EncodeUserPassword(""), "");
}

TEST(PasswordScramble, StreamFormScramblesTheFirstByteAndTheRest) {
  std::string body = "v,1,4\r\nuser,pw,9\r\n";
  std::size_t pos = 0;
  ScrambleByteSource source = [&](unsigned char& byte) {
    if (pos >= body.size()) return false;
    byte = static_cast<unsigned char>(body[pos++]);
    return true;
  };
  std::string out;
  WriteScrambledStream(out, source, 'X');
  EXPECT_EQ(out, ScrambleHex(("X" + body).c_str()));
  EXPECT_EQ(out.size(), 2 * (body.size() + 1));

  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  pos = 0;
  WriteScrambledStream(file, source, 'X');
  std::rewind(file);
  char buffer[256] = {};
  std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
  std::fclose(file);
  EXPECT_EQ(std::string(buffer, n), out);
}
