#include "generator/PasswordFile.h"

#include <cerrno>
#include <cstdint>

#include "core/PasswordScramble.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileHost.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/SystemError.h"
#include "platform/win/WriteFault.h"

namespace {

// Central units from this code on offer more than ten rows of each kind.
constexpr int kCpmWithCounts = 11;
constexpr int kCpmUnknown = -1;
// File versions: start pages from 2, API users from 3, the counts line from 4.
constexpr int kVersionStartPages = 2;
constexpr int kVersionApiUsers = 3;
constexpr int kVersionCounts = 4;
constexpr int kRowsStep = 10;
constexpr const char* kPasswordFileName = "PSW.TXT";

// Caps the number of rows to what the model holds.
int CappedRows(int count) { return count < kPasswordMaxRows ? count : kPasswordMaxRows; }

std::string LevelDigit(int level) { return std::string(1, static_cast<char>('0' + level)); }

// The shown text of a user or API row's level choice: "-" or "0" to "9".
std::string UserLevelText(int levelIndex) { return levelIndex <= 0 ? "-" : LevelDigit(levelIndex - 1); }
// The shown text of a MAC row's level choice: "0" to "9", empty when none.
std::string MacLevelText(int levelIndex) { return levelIndex < 0 ? "" : LevelDigit(levelIndex); }

// A page name as a start-page line: "/" and the name, or nothing.
std::string StartPageLine(const std::string& page) { return (page.empty() ? "" : "/" + page) + "\r\n"; }

// The page's own name for a start page named in the project (its `page`
// element's name, found without regard to case); empty when no page has it.
std::string ProjectPageName(TmyXmlNode* root, const std::string& name) {
  if (root == nullptr || name.empty()) return {};
  for (TmyXmlNode* page = root->FindDeep("page"); page != nullptr; page = page->FindDeep("page")) {
    const std::string own = page->GetAttr("name");
    if (SameText(own, name)) return own;
  }
  return {};
}

}  // namespace

TPasswordCounts PasswordCountsForCpm(int cpmCode) {
  if (cpmCode == kCpmUnknown) return TPasswordCounts::kFromProject;
  return cpmCode >= kCpmWithCounts ? TPasswordCounts::kChosen : TPasswordCounts::kFixed;
}

std::string PageNameOfRow(const std::string& shownText) {
  if (shownText.find('-') == std::string::npos) return shownText;
  const std::size_t separator = shownText.rfind(" - ");
  if (separator != std::string::npos) return shownText.substr(separator + 3);
  return Trim(shownText.substr(shownText.rfind('-') + 1));
}

TPasswordModel::TPasswordModel(TPasswordCounts counts) : counts_(counts) {
  EnsureUsers(kPasswordDefaultRows);
  EnsureMacs(kPasswordDefaultRows);
  EnsureApis(kPasswordDefaultRows);
}

void TPasswordModel::EnsureUsers(int count) {
  for (int i = static_cast<int>(users_.size()); i < CappedRows(count); ++i) {
    TPasswordUserRow row;
    // A new user row is named by its index, and its password is that index
    // too: every row of a new project can log in until it is given its own.
    row.name = std::to_string(i);
    row.password = std::to_string(i);
    users_.push_back(row);
  }
}

void TPasswordModel::EnsureMacs(int count) {
  if (static_cast<int>(macs_.size()) < CappedRows(count)) macs_.resize(CappedRows(count));
}

void TPasswordModel::EnsureApis(int count) {
  if (static_cast<int>(apis_.size()) < CappedRows(count)) apis_.resize(CappedRows(count));
}

TPasswordUserRow& TPasswordModel::User(int index) {
  EnsureUsers(index + 1);
  return users_.at(static_cast<std::size_t>(index));
}

TPasswordMacRow& TPasswordModel::Mac(int index) {
  EnsureMacs(index + 1);
  return macs_.at(static_cast<std::size_t>(index));
}

TPasswordUserRow& TPasswordModel::Api(int index) {
  EnsureApis(index + 1);
  return apis_.at(static_cast<std::size_t>(index));
}

int TPasswordModel::CountFor(int loadedRows) const {
  return counts_ == TPasswordCounts::kFixed ? kPasswordDefaultRows : loadedRows;
}

void TPasswordModel::SetUserCount(int count) {
  userCount_ = CountFor(count);
  EnsureUsers(userCount_);
}

void TPasswordModel::SetMacCount(int count) {
  macCount_ = CountFor(count);
  EnsureMacs(macCount_);
}

void TPasswordModel::SetApiCount(int count) {
  apiCount_ = CountFor(count);
  EnsureApis(apiCount_);
}

// The rows an element's `count` asks for: its tens, 10 to 90.
int TPasswordModel::LoadedRows(const TmyXmlNode* element) const {
  int tens = element->GetAttrInt("count", 0) / kRowsStep;
  if (tens < 1) tens = 1;
  if (tens > kPasswordMaxCount / kRowsStep) tens = kPasswordMaxCount / kRowsStep;
  return tens * kRowsStep;
}

bool TPasswordModel::UserInUse(int index) const {
  if (index < 0 || index >= UserRows()) return false;
  const TPasswordUserRow& row = users_[static_cast<std::size_t>(index)];
  const std::string byDefault = std::to_string(index);
  return row.levelIndex > 0 || row.name != byDefault || row.password != byDefault;
}

bool TPasswordModel::MacInUse(int index) const {
  return index >= 0 && index < MacRows() && macs_[static_cast<std::size_t>(index)].mac != kEmptyMac;
}

bool TPasswordModel::ApiInUse(int index) const {
  if (index < 0 || index >= ApiRows()) return false;
  const TPasswordUserRow& row = apis_[static_cast<std::size_t>(index)];
  return row.levelIndex > 0 || !row.name.empty() || !row.password.empty();
}

void TPasswordModel::NormalizeMacs() {
  for (TPasswordMacRow& row : macs_) row.mac = NormalizeMac(row.mac);
}

int TPasswordModel::FileVersion() const {
  int version = 1;
  for (int i = 0; i < kPasswordDefaultRows; ++i) {
    if (!macs_[static_cast<std::size_t>(i)].startPage.empty() || !users_[static_cast<std::size_t>(i)].startPage.empty())
      version = kVersionStartPages;
  }
  for (int i = 0; i < kPasswordDefaultRows; ++i) {
    if (apis_[static_cast<std::size_t>(i)].levelIndex != 0) version = kVersionApiUsers;
  }
  if (counts_ == TPasswordCounts::kFixed) return version;
  if (userCount_ > kPasswordDefaultRows || macCount_ > kPasswordDefaultRows || apiCount_ > kPasswordDefaultRows)
    version = kVersionCounts;
  return version;
}

std::string TPasswordModel::BodyText(int version) const {
  // The rows of the counts exist: loading and the counts make them.
  const int users = counts_ == TPasswordCounts::kFixed ? kPasswordDefaultRows : userCount_;
  const int macs = counts_ == TPasswordCounts::kFixed ? kPasswordDefaultRows : macCount_;
  const int apis = counts_ == TPasswordCounts::kFixed ? kPasswordDefaultRows : apiCount_;
  std::string text;
  if (version >= kVersionCounts)
    text += std::to_string(users) + "," + std::to_string(macs) + "," + std::to_string(apis) + "\r\n";
  for (int i = 0; i < users; ++i) {
    const TPasswordUserRow& row = users_[static_cast<std::size_t>(i)];
    text += row.name + "," + row.password + "," + std::to_string(row.levelIndex - 1) + "\r\n";
  }
  for (int i = 0; i < macs; ++i) {
    const TPasswordMacRow& row = macs_[static_cast<std::size_t>(i)];
    text += row.mac + "," + MacLevelText(row.levelIndex) + "\r\n";
  }
  if (version >= kVersionStartPages) {
    for (int i = 0; i < users; ++i) text += StartPageLine(users_[static_cast<std::size_t>(i)].startPage);
    for (int i = 0; i < macs; ++i) text += StartPageLine(macs_[static_cast<std::size_t>(i)].startPage);
  }
  if (version >= kVersionApiUsers) {
    for (int i = 0; i < apis; ++i) {
      const TPasswordUserRow& row = apis_[static_cast<std::size_t>(i)];
      text += row.name + "," + row.password + "," + UserLevelText(row.levelIndex) + "\r\n";
    }
  }
  return text;
}

std::string TPasswordModel::FileText() const {
  const int version = FileVersion();
  std::string text = std::string(crypt ? "c" : "v") + ",1," + std::to_string(version) + "\r\n";
  const std::string body = BodyText(version);
  if (!crypt) return text + body;
  unsigned char sum = 0;
  for (char c : body) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(c));
  std::size_t next = 0;
  WriteScrambledStream(
      text,
      [&](unsigned char& byte) {
        if (next >= body.size()) return false;
        byte = static_cast<unsigned char>(body[next++]);
        return true;
      },
      sum);
  return text;
}

bool TPasswordModel::WritePasswordFile(const std::string& path) const {
  const std::string text = FileText();
  return WriteFileReplacing(path, text.data(), text.size());
}

bool WriteCompilePasswordFile(const TCompileProject& project, int formatVersion, const std::string& sendRootDir,
                              TCompileState& /*state: reported into through `files`*/, TCompileHost& host,
                              TGeneratedFiles& files) {
  TPasswordModel model(PasswordCountsForCpm(host.CpmCode()));
  TmyXmlNode* root = project.root;
  model.SetPageLookup([root](const std::string& name) { return ProjectPageName(root, name); });
  // The three lists in one walk of the project.
  constexpr std::string_view kLists[] = {"security", "autologin", "vornapi"};
  TmyXmlNode* lists[std::size(kLists)] = {};
  if (root != nullptr) root->FindDeepEach(kLists, lists);
  model.LoadUsers(lists[0]);
  model.LoadAutologin(lists[1]);
  model.LoadApiUsers(lists[2]);
  model.NormalizeMacs();
  bool written = false;
  if (formatVersion == kPasswordFileFormat && !sendRootDir.empty()) {
    const std::string path = sendRootDir + kPasswordFileName;
    const std::uint64_t failuresBefore = FileWriteFailureCount();
    written = model.WritePasswordFile(path);
    if (written) {
      files.RegisterGeneratedFile(path);
    } else {
      SetLastErrorFromErrno(errno);
      if (!files.KeepWhatItHolds(path, model.FileText(), failuresBefore)) files.ReportWriteFailure(path);
    }
  }
  model.WriteXml(project.web);
  return written;
}
