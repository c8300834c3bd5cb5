#pragma once
// The access settings of a web project without their dialog: the rows of web
// users, of devices that log in automatically by MAC address, and of API
// users, loaded from the project's `security`, `autologin` and `vornapi`
// elements, written back into them, and written as the password file
// "PSW.TXT" that the PLC's web server reads. The save-and-compile command
// uses it now; the passwords dialog keeps its rows in it later.
//
// The password file: a plain header line "c,1,V" (scrambled body) or "v,1,V"
// (plain body), V the version 1 to 4; then, from version 4, the counts line
// "U,M,A"; U user lines "name,password,level"; M MAC lines "mac,level"; from
// version 2 U and M start-page lines ("/" and the page, or empty); from
// version 3 A API lines "name,password,level". Every line ends with CR LF;
// texts are the project's 8-bit texts. A scrambled body is the text above
// as WriteScrambledStream (core/PasswordScramble.h) writes it, led by the sum
// of its bytes modulo 256.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TmyXmlNode;
class TCompileHost;
class TGeneratedFiles;
struct TCompileProject;
struct TCompileState;

// Rows of each kind, and the row counts the project may choose.
inline constexpr int kPasswordMaxRows = 100;
inline constexpr int kPasswordDefaultRows = 10;
inline constexpr int kPasswordMaxCount = 90;
// The project format that writes a password file.
inline constexpr int kPasswordFileFormat = 8001;
// A MAC row's address until one is set.
inline constexpr const char* kEmptyMac = "00:00:00:00:00:00";

// A user row, or an API-user row. The level index is the level choice: 0 is
// "-" (row not in use), 1 to 10 the levels 0 to 9.
struct TPasswordUserRow {
  int levelIndex = 0;
  std::string name;
  std::string password;
  std::string startPage;  // the page name; empty for none (API rows have none)
};

// A MAC row: the level index is the level 0 to 9, -1 when none is chosen.
struct TPasswordMacRow {
  std::string mac = kEmptyMac;
  int levelIndex = 0;
  std::string startPage;
  std::string note;
};

// How the row counts follow the central unit the host last reported.
enum class TPasswordCounts {
  kFixed,        // older units: ten rows of each kind in the file, count 10 written back
  kChosen,       // units that support more rows (code 11 or above): the user chooses
  kFromProject,  // the unit is not known yet (-1): the counts stored in the project stay
};
TPasswordCounts PasswordCountsForCpm(int cpmCode);

// The page name that a start-page text ends with: after its last " - "; the
// whole text when it holds no "-"; empty for an empty text.
std::string PageNameOfRow(const std::string& shownText);

// A user name and a password as the row's edits keep them: the first 10
// bytes, with every byte the name (or password) may not hold replaced by
// '_' and the letters of code page 1250 with diacritics by their plain
// letters. Names keep '*', '-', '.', '_', digits and ASCII letters;
// passwords every printable ASCII byte except '"', '&', '\'', ',', '<', '>'.
std::string SanitizeUserName(std::string_view text);
std::string SanitizePassword(std::string_view text);

// A MAC text as the MAC edit formats what it is given: blanks at the ends
// removed, upper case, at most 19 characters read, hexadecimal digits in
// pairs joined by ':' (at most six pairs), everything else dropped. With
// `caret` (a caret position in the text) it moves past each ':' inserted
// before it, as the edit keeps the caret behind what was typed.
std::string FormatMacText(const std::string& text, int* caret = nullptr);
// The full form of a MAC text: up to six hexadecimal numbers read as
// "%X:%X:%X:%X:%X:%X" reads them (the numbers not read are 0), written as
// "%02X:%02X:%02X:%02X:%02X:%02X".
std::string NormalizeMac(const std::string& text);

class TPasswordModel {
 public:
  // Ten rows of each kind with their defaults; the counts follow the unit.
  explicit TPasswordModel(TPasswordCounts counts);

  // How a start page read from the project is kept: the lookup answers the
  // page's own name, or empty when the project has no such page (the row
  // then has no start page). Without a lookup the name is kept as read.
  using TPageLookup = std::function<std::string(const std::string& name)>;
  void SetPageLookup(TPageLookup lookup) { pageLookup_ = std::move(lookup); }

  // Each loads its kind from the element (null: the defaults; users are
  // then scrambled) and remembers the element for WriteXml. Rows are filled
  // from the children in document order (at most 100); a user or API row
  // whose level lies outside -1 to 9 keeps its defaults; names, passwords
  // and MAC texts pass the filters of their edits.
  void LoadUsers(TmyXmlNode* security);
  void LoadAutologin(TmyXmlNode* autologin);
  void LoadApiUsers(TmyXmlNode* vornapi);

  // Rows are made on demand (index 0 to 99) with their defaults. A new user
  // row i has level "-" and both the name and the password i in decimal;
  // a new API row has level "-" and empty texts.
  TPasswordUserRow& User(int index);
  TPasswordMacRow& Mac(int index);
  TPasswordUserRow& Api(int index);
  int UserRows() const { return static_cast<int>(users_.size()); }
  int MacRows() const { return static_cast<int>(macs_.size()); }
  int ApiRows() const { return static_cast<int>(apis_.size()); }

  // The counts of each kind (10 to 90 in steps of 10); setting one (as the
  // dialog's count chooser does) makes the rows it needs.
  int UserCount() const { return userCount_; }
  int MacCount() const { return macCount_; }
  int ApiCount() const { return apiCount_; }
  void SetUserCount(int count);
  void SetMacCount(int count);
  void SetApiCount(int count);
  TPasswordCounts Counts() const { return counts_; }

  bool crypt = true;

  // Brings every MAC text into its full form (NormalizeMac).
  void NormalizeMacs();
  // The file version 1 to 4 of the rows and counts as they are.
  int FileVersion() const;
  // The whole password file as it is written.
  std::string FileText() const;
  // Writes the file (through a temporary file: a failed write leaves an old
  // file whole); false when it could not be written.
  bool WritePasswordFile(const std::string& path) const;

  // Writes the three elements back: each missing one is appended to `web`
  // (and remembered), their children are replaced by the rows up to the
  // last row of each kind in use (at least rows 0 to 9), and their `crypt`
  // and `count` attributes are set.
  void WriteXml(TmyXmlNode* web);

  bool UserInUse(int index) const;
  bool MacInUse(int index) const;
  bool ApiInUse(int index) const;

 private:
  std::string BodyText(int version) const;
  std::string StartPageOf(const std::string& page) const;
  template <class Load>
  void LoadRows(TmyXmlNode* element, std::string_view childName, Load load);
  void LoadUserRow(const TmyXmlNode& child, TPasswordUserRow& row) const;
  void WriteUserElements();
  void WriteMacElements();
  void WriteApiElements();
  int LoadedRows(const TmyXmlNode* element) const;
  int CountFor(int loadedRows) const;
  void EnsureUsers(int count);
  void EnsureMacs(int count);
  void EnsureApis(int count);

  TPasswordCounts counts_;
  std::vector<TPasswordUserRow> users_;
  std::vector<TPasswordMacRow> macs_;
  std::vector<TPasswordUserRow> apis_;
  int userCount_ = kPasswordDefaultRows;
  int macCount_ = kPasswordDefaultRows;
  int apiCount_ = kPasswordDefaultRows;
  TmyXmlNode* securityNode_ = nullptr;
  TmyXmlNode* autologinNode_ = nullptr;
  TmyXmlNode* apiNode_ = nullptr;
  TPageLookup pageLookup_;
};

// The password step of the save-and-compile command: loads the rows from the
// project's three elements (found at any depth), writes the elements back,
// and for a project of format 8001 writes "PSW.TXT" into `sendRootDir`
// (ending with a backslash). A file that was written is registered, and so is
// one that could not be written but holds its text already; another is a host
// message (UI text 7074 with its path and why) and sets the file bit of the
// compile errors. True when the file was written.
bool WriteCompilePasswordFile(const TCompileProject& project, int formatVersion, const std::string& sendRootDir,
                              TCompileState& state, TCompileHost& host, TGeneratedFiles& files);
