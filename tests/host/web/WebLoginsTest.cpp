// The server's side of the login exchange: reading PSW.TXT (plain and
// scrambled, every version), the challenges, the sessions and the lock after
// failed attempts, on a clock the test steps.

#include <gtest/gtest.h>

#include "core/PasswordScramble.h"
#include "generator/PasswordFile.h"
#include "host/sim/web/WebLogins.h"
#include "tests/host/web/Sha1Hex.h"

namespace {

std::string Scrambled(int version, const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(c));
  std::string out = "c,1," + std::to_string(version) + "\r\n";
  std::size_t at = 0;
  WriteScrambledStream(
      out,
      [&](unsigned char& byte) {
        if (at == body.size()) return false;
        byte = static_cast<unsigned char>(body[at++]);
        return true;
      },
      sum);
  return out;
}

// Version 4: one user, one automatic login, one API user.
const std::string kBody4 =
    "2,1,2\r\nanna,Pa$$w0rd,5\r\nold,x,-1\r\n00:11:22:33:44:55,3\r\n/SECRET.XML\r\n\r\n\r\napi,key,0\r\nnone,k,-\r\n";

TEST(PasswordFile, ReadsEveryVersionPlainAndScrambled) {
  for (const bool scrambled : {false, true}) {
    SCOPED_TRACE(scrambled ? "scrambled" : "plain");
    const auto content = ReadPasswordFile(scrambled ? Scrambled(4, kBody4) : "v,1,4\r\n" + kBody4, 0);
    ASSERT_TRUE(content.readable);
    ASSERT_EQ(content.users.size(), 2u);
    EXPECT_EQ(content.users[0].name, "anna");
    EXPECT_EQ(content.users[0].password, "Pa$$w0rd");
    EXPECT_EQ(content.users[0].level, 5);
    EXPECT_EQ(content.users[0].startPage, "/SECRET.XML");
    EXPECT_EQ(content.users[1].level, -1);
    ASSERT_EQ(content.autoLogins.size(), 1u);
    EXPECT_EQ(content.autoLogins[0], (std::pair<std::string, int>{"00:11:22:33:44:55", 3}));
    ASSERT_EQ(content.api.size(), 2u);
    EXPECT_EQ(content.api[0].level, 0);
    EXPECT_EQ(content.api[1].level, -1);
  }
  // Version 1: ten user lines and ten automatic-login lines, nothing else.
  std::string body;
  for (int i = 0; i < 10; ++i) body += i == 0 ? "bob,pw,2\r\n" : ",,-1\r\n";
  for (int i = 0; i < 10; ++i) body += ",\r\n";
  const auto v1 = ReadPasswordFile(Scrambled(1, body), 0);
  ASSERT_TRUE(v1.readable);
  EXPECT_EQ(v1.users.size(), 10u);
  EXPECT_EQ(v1.users[0].level, 2);
  EXPECT_TRUE(v1.users[0].startPage.empty());
}

// What the compile writes, plain and scrambled, in every version its rows
// choose, reads back with the same users, levels, start pages and API users.
TEST(PasswordFile, ReadsWhatTheGeneratorWrites) {
  for (const TPasswordCounts counts : {TPasswordCounts::kFixed, TPasswordCounts::kChosen}) {
    for (const bool crypt : {true, false}) {
      for (const bool extras : {false, true}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(counts)) + (crypt ? " scrambled" : " plain") +
                     (extras ? " with start page and API user" : ""));
        TPasswordModel model(counts);
        model.crypt = crypt;
        model.User(0) = {6, "anna", "Pa$$w0rd", extras ? "SECRET.XML" : ""};
        model.User(3) = {1, "zero", "z", ""};
        if (extras) model.Api(0) = {1, "api", "key", ""};
        model.Mac(0).mac = "00:11:22:33:44:55";
        model.Mac(0).levelIndex = 3;
        const auto content = ReadPasswordFile(model.FileText(), 0);
        ASSERT_TRUE(content.readable) << model.FileText();
        ASSERT_GE(content.users.size(), 10u);
        EXPECT_EQ(content.users[0].name, "anna");
        EXPECT_EQ(content.users[0].password, "Pa$$w0rd");
        EXPECT_EQ(content.users[0].level, 5);
        EXPECT_EQ(content.users[0].startPage, extras ? "/SECRET.XML" : "");
        EXPECT_EQ(content.users[3].level, 0);
        EXPECT_EQ(content.users[1].level, -1);
        ASSERT_FALSE(content.autoLogins.empty());
        EXPECT_EQ(content.autoLogins[0], (std::pair<std::string, int>{"00:11:22:33:44:55", 3}));
        if (extras) {
          ASSERT_FALSE(content.api.empty());
          EXPECT_EQ(content.api[0].name, "api");
          EXPECT_EQ(content.api[0].level, 0);
        }
        WebLogins logins(content);
        EXPECT_TRUE(logins.SecurityOn());
      }
    }
  }
}

TEST(PasswordFile, ABrokenFileIsPresentAndUnreadable) {
  std::string badSum = Scrambled(4, kBody4);
  badSum[badSum.size() - 1] = badSum[badSum.size() - 1] == '0' ? '1' : '0';
  for (const std::string& bytes :
       {std::string("x,1,4\r\n") + kBody4, std::string("v,1,9\r\n") + kBody4, std::string("v,1,4") + kBody4,
        std::string("c,1,4\r\nABC"), std::string("c,1,4\r\nZZ"), badSum, std::string("v,1,4\r\n5,0,0\r\nanna,pw,1\r\n"),
        std::string("v,1,4\r\n1,0,0\r\nanna,pw,12\r\n\r\n")}) {
    SCOPED_TRACE(bytes);
    const auto content = ReadPasswordFile(bytes, 0);
    EXPECT_TRUE(content.present);
    EXPECT_FALSE(content.readable);
    WebLogins logins(content);
    EXPECT_TRUE(logins.SecurityOn());
  }
}

TEST(PasswordFile, PasswordsTurnIntoUtf8FromTheProjectsCodePage) {
  const auto content = ReadPasswordFile(
      "v,1,4\r\n1,0,0\r\nanna,\xE8"
      "aj,1\r\n\r\n",
      1250);
  ASSERT_TRUE(content.readable);
  EXPECT_EQ(content.users[0].password,
            "\xC4\x8D"
            "aj");
}

class Logins : public ::testing::Test {
 protected:
  Logins() : logins_(ReadPasswordFile("v,1,4\r\n" + kBody4, 0)) {
    logins_.SetClock([this] { return now_; });
  }
  LoginResult Try(const std::string& user, const std::string& password, const std::string& client = "127.0.0.1") {
    const std::string challenge = logins_.NewChallenge();
    return logins_.Login(client, user, Sha1Hex(challenge + password), challenge);
  }

  std::chrono::steady_clock::time_point now_{std::chrono::hours(1)};
  WebLogins logins_;
};

TEST_F(Logins, AUserWithTheRightPasswordGetsASessionWithItsLevelAndStartPage) {
  EXPECT_TRUE(logins_.SecurityOn());
  const LoginResult result = Try("anna", "Pa$$w0rd");
  ASSERT_EQ(result.outcome, LoginOutcome::LoggedIn);
  EXPECT_EQ(result.sessionId.size(), 32u);
  EXPECT_EQ(result.location, "/SECRET.XML");
  EXPECT_EQ(logins_.SessionLevel(result.sessionId), 5);
  logins_.Logout(result.sessionId);
  EXPECT_EQ(logins_.SessionLevel(result.sessionId), std::nullopt);
}

TEST_F(Logins, WrongNamesPasswordsAndUnusedSlotsFail) {
  EXPECT_EQ(Try("anna", "wrong").outcome, LoginOutcome::Failed);
  EXPECT_EQ(Try("Anna", "Pa$$w0rd").outcome, LoginOutcome::Failed);
  EXPECT_EQ(Try("old", "x").outcome, LoginOutcome::Failed);
  EXPECT_EQ(Try("none", "k").outcome, LoginOutcome::Failed);
  EXPECT_EQ(Try("", "").outcome, LoginOutcome::Failed);
  const LoginResult api = Try("api", "key", "127.0.0.9");
  ASSERT_EQ(api.outcome, LoginOutcome::LoggedIn);
  EXPECT_EQ(api.location, "/INDEX.XML");
  EXPECT_EQ(logins_.SessionLevel(api.sessionId), 0);
}

TEST_F(Logins, AChallengeServesOneAttemptForTwoMinutes) {
  const std::string challenge = logins_.NewChallenge();
  const std::string digest = Sha1Hex(challenge + "Pa$$w0rd");
  EXPECT_EQ(logins_.Login("c", "anna", digest, challenge).outcome, LoginOutcome::LoggedIn);
  EXPECT_EQ(logins_.Login("c", "anna", digest, challenge).outcome, LoginOutcome::Expired);
  const std::string late = logins_.NewChallenge();
  now_ += std::chrono::seconds(120);
  EXPECT_EQ(logins_.Login("c", "anna", Sha1Hex(late + "Pa$$w0rd"), late).outcome, LoginOutcome::Expired);
  EXPECT_EQ(logins_.Login("c", "anna", digest, "00000000000000000000000000000000").outcome, LoginOutcome::Expired);
  // Only the eight newest challenges are kept.
  const std::string first = logins_.NewChallenge();
  for (int i = 0; i < 8; ++i) logins_.NewChallenge();
  EXPECT_EQ(logins_.Login("c", "anna", Sha1Hex(first + "Pa$$w0rd"), first).outcome, LoginOutcome::Expired);
}

TEST_F(Logins, FiveFailuresLockTheClientForThirtySeconds) {
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Try("anna", "guess").outcome, LoginOutcome::Failed);
  EXPECT_EQ(Try("anna", "Pa$$w0rd").outcome, LoginOutcome::Failed);
  EXPECT_EQ(Try("anna", "Pa$$w0rd", "127.0.0.2").outcome, LoginOutcome::LoggedIn);
  now_ += std::chrono::seconds(30);
  EXPECT_EQ(Try("anna", "Pa$$w0rd").outcome, LoginOutcome::LoggedIn);
}

TEST_F(Logins, SessionsEndAfterThirtyIdleMinutesAndTheTableKeepsSixteen) {
  const std::string idle = Try("anna", "Pa$$w0rd").sessionId;
  now_ += std::chrono::minutes(29);
  EXPECT_EQ(logins_.SessionLevel(idle), 5);
  now_ += std::chrono::minutes(30);
  EXPECT_EQ(logins_.SessionLevel(idle), std::nullopt);
  std::vector<std::string> ids;
  for (int i = 0; i < 17; ++i) {
    now_ += std::chrono::seconds(1);
    ids.push_back(Try("anna", "Pa$$w0rd").sessionId);
  }
  EXPECT_EQ(logins_.SessionLevel(ids.front()), std::nullopt);
  EXPECT_EQ(logins_.SessionLevel(ids.back()), 5);
}

TEST(LoginsSecurity, IsOffWithoutAFileOrWithoutUsers) {
  EXPECT_FALSE(WebLogins(PasswordFileContent{}).SecurityOn());
  EXPECT_FALSE(
      WebLogins(ReadPasswordFile("v,1,4\r\n1,1,1\r\n,,-1\r\n00:00:00:00:00:00,1\r\n\r\n\r\n,,-\r\n", 0)).SecurityOn());
  EXPECT_TRUE(WebLogins(ReadPasswordFile("v,1,4\r\n0,1,0\r\n00:11:22:33:44:55,\r\n\r\n", 0)).SecurityOn());
}

}  // namespace
