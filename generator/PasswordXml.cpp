// The password model and the project's `security`, `autologin` and `vornapi`
// elements: loading the rows of each kind and writing them back.

#include <string_view>

#include "core/PasswordScramble.h"
#include "core/XmlNode.h"
#include "generator/PasswordFile.h"

namespace {

constexpr int kMinUserLevel = -1;
constexpr int kMaxLevel = 9;

// An element written back holds its rows as empty elements.
TmyXmlNode* AddRowElement(TmyXmlNode* parent, std::string_view name) {
  TmyXmlNode* child = parent->AddChild(name);
  child->closed = true;
  return child;
}

// The last row of a kind that is written back: row 9, or the last row from
// 10 on that is in use.
template <class InUse>
int LastRowToKeep(int rows, InUse inUse) {
  int last = kPasswordDefaultRows - 1;
  for (int i = kPasswordDefaultRows; i < rows && i < kPasswordMaxRows; ++i)
    if (inUse(i)) last = i;
  return last;
}

// Appends a new element for each missing one, and empties every element.
void PrepareElement(TmyXmlNode*& element, TmyXmlNode* web, std::string_view name) {
  if (element == nullptr && web != nullptr) element = web->AddChild(name);
  if (element != nullptr) element->DeleteChildren();
}

}  // namespace

std::string TPasswordModel::StartPageOf(const std::string& page) const {
  if (page.empty() || !pageLookup_) return page;
  return pageLookup_(page);
}

// The rows of one kind that the element's children fill, in document order,
// at most one per row (rows 0 to 99); children of other names are skipped.
template <class Load>
void TPasswordModel::LoadRows(TmyXmlNode* element, std::string_view childName, Load load) {
  int index = 0;
  for (TmyXmlNode* child = element->firstChild; child != nullptr && index < kPasswordMaxRows; child = child->next) {
    if (child->comment || child->instruction || child->name != childName) continue;
    load(*child, index++);
  }
}

void TPasswordModel::LoadUserRow(const TmyXmlNode& child, TPasswordUserRow& row) const {
  const int level = child.GetAttrInt("level", 0);
  if (level < kMinUserLevel || level > kMaxLevel) return;
  row.levelIndex = level + 1;
  // The row's edits filter what they are given, loaded texts too.
  row.name = SanitizeUserName(child.GetAttr("name"));
  row.password = SanitizePassword(DecodeUserPassword(child.GetAttr("pass")));
  row.startPage = StartPageOf(child.GetAttr("page"));
}

void TPasswordModel::LoadUsers(TmyXmlNode* security) {
  securityNode_ = security;
  if (security == nullptr) {
    crypt = true;
    return;
  }
  crypt = security->GetAttrInt("crypt", 1) != 0;
  SetUserCount(LoadedRows(security));
  LoadRows(security, "user", [this](const TmyXmlNode& child, int index) { LoadUserRow(child, User(index)); });
}

void TPasswordModel::LoadAutologin(TmyXmlNode* autologin) {
  autologinNode_ = autologin;
  if (autologin == nullptr) return;
  SetMacCount(LoadedRows(autologin));
  LoadRows(autologin, "mac", [this](const TmyXmlNode& child, int index) {
    TPasswordMacRow& row = Mac(index);
    // The MAC edit formats the text it is given.
    if (child.FindAttr("mac") != nullptr) row.mac = FormatMacText(child.GetAttr("mac"));
    const int level = child.GetAttrInt("level", 0);
    row.levelIndex = level >= 0 && level <= kMaxLevel ? level : -1;
    row.startPage = StartPageOf(child.GetAttr("page"));
    row.note = child.GetAttr("note");
  });
}

void TPasswordModel::LoadApiUsers(TmyXmlNode* vornapi) {
  apiNode_ = vornapi;
  if (vornapi == nullptr) return;
  SetApiCount(LoadedRows(vornapi));
  LoadRows(vornapi, "api", [this](const TmyXmlNode& child, int index) {
    TPasswordUserRow& row = Api(index);
    LoadUserRow(child, row);
    row.startPage.clear();  // API users have no start page
  });
}

void TPasswordModel::WriteXml(TmyXmlNode* web) {
  PrepareElement(securityNode_, web, "security");
  PrepareElement(autologinNode_, web, "autologin");
  PrepareElement(apiNode_, web, "vornapi");
  if (securityNode_ != nullptr) WriteUserElements();
  if (autologinNode_ != nullptr) WriteMacElements();
  if (apiNode_ != nullptr) WriteApiElements();
}

void TPasswordModel::WriteUserElements() {
  securityNode_->SetAttrInt("crypt", crypt ? 1 : 0);
  securityNode_->SetAttrInt("count", userCount_);
  const int last = LastRowToKeep(UserRows(), [this](int i) { return UserInUse(i); });
  for (int i = 0; i <= last && i < UserRows(); ++i) {
    const TPasswordUserRow& row = users_[static_cast<std::size_t>(i)];
    TmyXmlNode* user = AddRowElement(securityNode_, "user");
    user->SetAttrInt("level", row.levelIndex - 1);
    user->SetAttr("name", row.name);
    user->SetAttr("pass", EncodeUserPassword(row.password));
    if (!row.startPage.empty()) user->SetAttr("page", row.startPage);
  }
}

void TPasswordModel::WriteMacElements() {
  autologinNode_->SetAttrInt("count", macCount_);
  const int last = LastRowToKeep(MacRows(), [this](int i) { return MacInUse(i); });
  for (int i = 0; i <= last && i < MacRows(); ++i) {
    const TPasswordMacRow& row = macs_[static_cast<std::size_t>(i)];
    TmyXmlNode* mac = AddRowElement(autologinNode_, "mac");
    mac->SetAttrInt("level", row.levelIndex);
    mac->SetAttr("mac", row.mac);
    if (!row.startPage.empty()) mac->SetAttr("page", row.startPage);
    mac->SetAttr("note", row.note);
  }
}

void TPasswordModel::WriteApiElements() {
  apiNode_->SetAttrInt("count", apiCount_);
  const int last = LastRowToKeep(ApiRows(), [this](int i) { return ApiInUse(i); });
  for (int i = 0; i <= last && i < ApiRows(); ++i) {
    const TPasswordUserRow& row = apis_[static_cast<std::size_t>(i)];
    TmyXmlNode* api = AddRowElement(apiNode_, "api");
    api->SetAttrInt("level", row.levelIndex - 1);
    api->SetAttr("name", row.name);
    api->SetAttr("pass", EncodeUserPassword(row.password));
  }
}
