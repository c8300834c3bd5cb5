#pragma once
// The server's side of the login exchange (generator/LoginExchange.md): the
// password file "PSW.TXT", the challenges of the login page, the sessions by
// cookie and the user level of a request.
//
// Time comes from a clock the owner sets (tests step it), random ids from
// the system's random source. Every call takes the object's lock.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

struct PasswordFileLine {
  std::string name;
  std::string password;  // UTF-8
  int level = -1;        // -1 never logs in
  std::string startPage;
};

struct PasswordFileContent {
  bool present = false;   // the file exists
  bool readable = false;  // and its content could be read
  std::vector<PasswordFileLine> users;
  std::vector<PasswordFileLine> api;                    // level 0, or -1 for "-"
  std::vector<std::pair<std::string, int>> autoLogins;  // MAC, level (-1: none)
};

// Reads the bytes of a PSW.TXT; `codePage` converts the passwords to UTF-8
// (0: keep the bytes). Never throws: a broken file is present and unreadable.
PasswordFileContent ReadPasswordFile(const std::string& bytes, int codePage);

enum class LoginOutcome { LoggedIn, Failed, Expired };

struct LoginResult {
  LoginOutcome outcome = LoginOutcome::Failed;
  std::string sessionId;  // when logged in
  std::string location;   // the page to go to when logged in
};

class WebLogins {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit WebLogins(PasswordFileContent passwords);

  void SetClock(Clock clock);
  // Security is on: the file is readable and names a user, an API user or an
  // automatic login, or it is present and unreadable (then nobody logs in).
  bool SecurityOn() const;

  // A fresh challenge (32 hexadecimal digits), kept for one attempt.
  std::string NewChallenge();
  // Checks a login attempt of the client at `client`.
  LoginResult Login(const std::string& client, const std::string& user, const std::string& digest,
                    const std::string& challenge);
  // The level of a request with this session id (the cookie's value; empty
  // for none): the session's level, none for no live session.
  std::optional<int> SessionLevel(const std::string& sessionId);
  std::string StartPage(const std::string& sessionId);
  void Logout(const std::string& sessionId);

 private:
  struct Challenge {
    std::string text;
    std::chrono::steady_clock::time_point made;
  };
  struct Session {
    int level = 0;
    bool api = false;
    std::string startPage;
    std::chrono::steady_clock::time_point used;
  };
  struct Failures {
    int count = 0;
    std::chrono::steady_clock::time_point last;
  };

  std::string RandomHex();
  bool TakeChallenge(const std::string& text);
  const PasswordFileLine* FindLine(const std::string& user, bool* api) const;
  std::string NewSession(const PasswordFileLine& line, bool api);

  mutable std::mutex mutex_;
  PasswordFileContent passwords_;
  Clock clock_;
  std::random_device random_;
  std::vector<Challenge> challenges_;
  std::map<std::string, Session> sessions_;
  std::map<std::string, Failures> failures_;
};
