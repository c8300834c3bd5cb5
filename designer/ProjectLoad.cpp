// TProjectDocument: loading the project. The file is read with its fallbacks
// (the ".bak" copy, then the built-in new project), the format version gates
// editing, the project-wide settings are taken from `web`, the pages of the
// split layout are merged in from their files, and what older files lack is
// repaired (Grid, unique ids, blanks in variable names, captions, images).

#include <cerrno>
#include <optional>
#include <random>
#include <system_error>
#include <utility>
#include <vector>

#include "core/FileHelpers.h"
#include "core/ProjectFileCommit.h"
#include "core/UiText.h"
#include "designer/ProjectDocument.h"
#include "generator/EarlierLogins.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileLock.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kNewerVersionTextId = 7205;
constexpr int kRecoveryFailedTextId = 7569;  // An interrupted save of the project could not be finished: %s. ...
constexpr int kNotOpenedTextId = 7570;       // The project is not opened: %s.
constexpr int kNoWebFolderTextId = 7595;     // the host names no folder of the web project
constexpr int kUnknownErrorTextId = 7400;    // unknown error
// The project is not opened: an empty new project does not take its place, ...
constexpr int kNotOpenedUnreadableTextId = 7596;
constexpr int kWarningCaptionId = 2038;
// The messages of a file that could not be used: who (with the file name),
// what happened to it, and what was loaded instead.
constexpr int kProjectFileTextId = 7328;     // The project file "%s"
constexpr int kBackupFileTextId = 7329;      // Its backup "%s"
constexpr int kPageFileTextId = 7330;        // The page file "%s"
constexpr int kMissingTextId = 7331;         // does not exist.
constexpr int kCannotOpenTextId = 7332;      // could not be read: it cannot be opened (%s).
constexpr int kMalformedTextId = 7333;       // could not be read: it is not well-formed XML (error 0x%X at line %d).
constexpr int kNoWebTextId = 7334;           // could not be read: it holds no web element.
constexpr int kBackupLoadedTextId = 7335;    // The backup "%s" was loaded instead.
constexpr int kTemplateLoadedTextId = 7336;  // An empty new project was loaded instead.
constexpr int kPartLoadedTextId = 7337;      // Only the part before the damage was loaded.
constexpr int kNoPageTextId = 7380;          // could not be read: it holds no page element.
constexpr int kPageEmptyTextId = 7381;       // The page was loaded empty.
// ... could not be read when the project was opened, so it is not overwritten ...
constexpr int kNotOverwrittenTextId = 7382;
constexpr int kLostFileTextId = 7342;        // The web folder holds the records of its last compile, ...
constexpr int kLostRefusalTextId = 7343;     // The project file "%s" does not exist, but the web folder ...
constexpr int kEarlierLoginsTextId = 7420;   // The web output "%s" holds the pages of an earlier project ...
constexpr int kEarlierRefusalTextId = 7421;  // The project file "%s" does not exist, and neither do the records ...
constexpr int kPageMissingTextId = 7422;  // was missing when the project was opened, so its page was loaded empty ...
constexpr int kSingleFileLoadedTextId = 7423;  // "%s" was loaded instead. A compile writes that file as a copy ...
constexpr int kStartAnewTextId = 7500;       // The project file "%s" was lost, ... Save it now as the project file? ...
constexpr int kImportedLevelsTextId = 7501;  // These pages of the import folder ask for a level, ...
constexpr int kUidRandomRange = 32768;
constexpr const char* kBackupExtension = ".bak";

// The new project that the designer starts from when there is no usable file.
constexpr const char* kProjectTemplate =
    "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n"
    "<web version=\"2.0\" propfont=\"true\" foot=\"Created with Tarnwell\" dwMode=\"1\">\r\n"
    "<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
    "<globalset newdim=\"1\" /><group caption=\"\">\r\n"
    "<page caption=\"Index\"name=\"PAGE1.XML\" ajax=\"true\" pause=\"1000\" default=\"true\">\r\n"
    "</page>\r\n"
    "</group>\r\n"
    "<images>\r\n"
    "</images>\r\n"
    "</web>";

// The system's words for an errno value ("Permission denied").
std::string SystemReason(int error) { return std::generic_category().message(error != 0 ? error : EIO); }

bool CaseInsensitiveEqual(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

// Whether the file is there, as far as the system tells: a folder on the way
// that may not be searched hides it (kUnknown, the system's error in
// `error`); a name too long for the system cannot be there.
enum class TPresence { kThere, kMissing, kUnknown };
TPresence PresenceOf(const std::string& path, int* error = nullptr) {
  errno = 0;
  if (PathExists(path)) return TPresence::kThere;
  const int why = errno;
  if (error != nullptr) *error = why;
  const bool missing = why == 0 || why == ENOENT || why == ENOTDIR || why == ENAMETOOLONG;
  return missing ? TPresence::kMissing : TPresence::kUnknown;
}

// A page of the split layout's main file as a save writes it: its name and
// nothing else, the page itself being in its file.
bool IsPageStub(const TmyXmlNode* page) {
  const TmyXmlAttrNode* attr = page->firstAttr;
  return page->firstChild == nullptr && attr != nullptr && attr->name == "name" && attr->next == nullptr;
}

// The folder whose files every compile copies into the output as they are.
std::string ImportFolder(const TProjectLocation& location) {
  if (location.globalMode) return location.projectPath + location.globalDir + "\\Import\\";
  return location.hostProjectDir + "Tarnwell\\Import\\";
}

void AddEmptyCaptionWhenMissing(TmyXmlNode* node) {
  if (node->FindAttr("caption") == nullptr) node->SetAttr("caption", "");
}

// The page takes its file's attributes in the file's order, so that a save
// writes the file as it was read, its own name in the file's place, then
// whatever else the main file gave it; and the file's children.
void TakePageFile(TmyXmlNode* page, TmyXmlNode& file, const std::string& name) {
  std::vector<std::pair<std::string, std::string>> own;
  for (const TmyXmlAttrNode* attr = page->firstAttr; attr != nullptr; attr = attr->next)
    if (file.FindAttr(attr->name) == nullptr) own.emplace_back(attr->name, attr->value);
  page->DeleteAllAttrs();
  page->CopyFrom(&file);
  page->SetAttr("name", name);
  for (const auto& [attrName, value] : own) page->SetAttr(attrName, value);
  file.MoveChildrenTo(page);
}

}  // namespace

// Why a file gave no document.
struct TProjectDocument::TReadAttempt {
  enum class TFault { None, NotTried, Missing, CannotOpen, Malformed, NoWeb, NoPage };
  std::string fileName;
  TFault fault = TFault::NotTried;
  std::uint32_t errorWord = 0;
  std::int32_t line = 0;
  // CannotOpen: the system's reason.
  std::string reason;

  // "The project file "NAME" could not be read (why)."; `whoTextId` names
  // the file.
  std::string Describe(int whoTextId) const {
    const std::string who = Format(GetUiText(whoTextId), ShownPath(fileName));
    switch (fault) {
      case TFault::Missing: return who + " " + GetUiText(kMissingTextId);
      case TFault::CannotOpen: return who + " " + Format(GetUiText(kCannotOpenTextId), reason);
      case TFault::Malformed:
        return who + " " +
               Format(GetUiText(kMalformedTextId), static_cast<unsigned>(errorWord), static_cast<int>(line));
      case TFault::NoWeb: return who + " " + GetUiText(kNoWebTextId);
      case TFault::NoPage: return who + " " + GetUiText(kNoPageTextId);
      case TFault::None:
      case TFault::NotTried: break;
    }
    return who;
  }
};

TProjectLoadResult TProjectDocument::LoadProject(const TProjectLocation& location, int rasterX, int rasterY) {
  ResetForLoad();
  const TProjectFileNames names = LoadFileNames(location);
  // The files are read while no other run saves them (another run's lock, or
  // its save that runs where the lock file was deleted by hand, refuses the
  // load), and a save that a kill stopped is finished or undone first.
  std::optional<TFolderLock> lock;
  const auto refuse = [&] {
    TProjectLoadResult refused;
    refused.failure = Format(GetUiText(kNotOpenedTextId), ProjectSavedElsewhere(names.folder));
    ui_.ShowMessage(refused.failure, GetUiText(kWarningCaptionId), TProjectDocumentUi::TIcon::Warning);
    return refused;
  };
  if (names.usable) {
    lock.emplace(ProjectLockFile(names.folder));
    if (lock->State() == TFolderLock::TState::kTaken) return refuse();
    std::vector<std::string> files = {names.mainFile};
    if (!CaseInsensitiveEqual(names.mainFile, names.baseFile)) files.push_back(names.baseFile);
    bool elsewhere = false;
    if (std::string fault; !RecoverProjectSave(names.folder, files, &fault, &elsewhere)) {
      if (elsewhere) return refuse();
      ui_.ShowMessage(Format(GetUiText(kRecoveryFailedTextId), fault), GetUiText(kWarningCaptionId),
                      TProjectDocumentUi::TIcon::Warning);
    }
    // What the files hold as they are read: a save or a compile's copy
    // replaces them only while they still hold it.
    seenSingle_ = ReadProjectFilePrint(names.baseFile);
    seenSplit_ = ReadProjectFilePrint(names.mainFile, names.pageFolder);
  }
  splitLayout_ = names.usable && PathExists(names.mainFile) && !CaseInsensitiveEqual(names.mainFile, names.baseFile);
  TProjectLoadResult result;
  if (!names.usable) {
    result.failure = Format(GetUiText(kNotOpenedTextId), GetUiText(kNoWebFolderTextId));
    return result;
  }

  const std::string fileName = splitLayout_ ? names.mainFile : names.baseFile;
  root_ = ReadWithFallbacks(fileName, result.source, result.failure);
  if (result.source == TProjectSource::Template) CheckForLostFile(location, fileName);
  if (result.source == TProjectSource::BaseFile && !splitLayout_) CheckForLostMainFile(names);
  TmyXmlNode* web = Web();
  if (web == nullptr) {
    root_.reset();
    result.source = TProjectSource::None;
    if (result.failure.empty()) result.failure = Format(GetUiText(kNotOpenedTextId), GetUiText(kUnknownErrorTextId));
    return result;
  }
  ReadGlobalElements(web);
  ReadWebAttributes(web);
  varNames_ = web->FindChild("VarNames") != nullptr;
  onlyXml_ = web->FindChild("OnlyXml") != nullptr;
  debugXmz_ = web->FindChild("DebugXmz") != nullptr;
  web->SetAttr("version", FormatVersionText(formatCode_));
  InsertGridWhenMissing(web, rasterX, rasterY);
  if (splitLayout_) MergePageFiles(web, names.pageFolder);
  SetupUidsAndStripVariables(web);
  RepairGroupsAndImages(web);
  result.readOnly = readOnly_;
  result.formatCode = formatCode_;
  return result;
}

void TProjectDocument::ResetForLoad() {
  Clear();
  unreadableFile_.clear();
  unreadablePages_.clear();
  lostFile_.clear();
  lostSendRoot_.clear();
  missingPages_.clear();
  seenSingle_ = seenSplit_ = TProjectFilePrint{};
  modified_ = false;
  compileCopyUnsaved_ = false;
  readOnly_ = false;
  formatCode_ = kFormatCodeCurrent;
  splitLayout_ = false;
  settings_ = TProjectSettings{};
  newDimension_ = false;
  pageNameFormat_ = 0;
  varNames_ = onlyXml_ = debugXmz_ = false;
}

std::unique_ptr<TmyXmlNode> TProjectDocument::ReadProjectFile(const std::string& fileName, TReadAttempt& attempt) {
  using TFault = TReadAttempt::TFault;
  std::unique_ptr<TmyXmlNode> root = ReadParsedFile(fileName, attempt);
  // Any error of the reader, a text that ends inside open elements included,
  // means the file is damaged, even when a `web` element was read so far.
  if (attempt.fault != TFault::None) return nullptr;
  const TmyXmlNode* last = root->lastChild;
  if (last == nullptr || last->comment || last->instruction || last->name != "web") {
    attempt.fault = TFault::NoWeb;
    return nullptr;
  }
  return root;
}

std::unique_ptr<TmyXmlNode> TProjectDocument::ReadWithFallbacks(const std::string& fileName, TProjectSource& source,
                                                                std::string& failure) {
  using TFault = TReadAttempt::TFault;
  TReadAttempt file;
  TReadAttempt backup;
  std::unique_ptr<TmyXmlNode> root = ReadProjectFile(fileName, file);
  source = TProjectSource::BaseFile;
  if (root == nullptr) {
    root = ReadProjectFile(fileName + kBackupExtension, backup);
    source = TProjectSource::Backup;
  }
  if (root == nullptr && (file.fault == TFault::CannotOpen || backup.fault == TFault::CannotOpen)) {
    source = TProjectSource::None;
    failure = ReportFallback(file, backup, source);
    return nullptr;
  }
  if (root == nullptr) {
    root = ReadTemplate();
    source = TProjectSource::Template;
  }
  if (source != TProjectSource::BaseFile) ReportFallback(file, backup, source);
  if (source != TProjectSource::BaseFile && file.fault != TReadAttempt::TFault::Missing) unreadableFile_ = fileName;
  return root;
}

std::unique_ptr<TmyXmlNode> TProjectDocument::ReadTemplate() {
  if (!parser_.LoadFromString(kProjectTemplate)) return nullptr;
  return std::unique_ptr<TmyXmlNode>(parser_.Parse());
}

// Tells the user once which file could not be used and what was loaded
// instead (source None: that nothing was); answers the text told. A project
// that has no file and no backup yet (a new host project) starts from the
// template without a word.
std::string TProjectDocument::ReportFallback(const TReadAttempt& file, const TReadAttempt& backup,
                                             TProjectSource source) {
  using TFault = TReadAttempt::TFault;
  if (file.fault == TFault::Missing && backup.fault == TFault::Missing) return std::string();
  std::string text = file.Describe(kProjectFileTextId);
  if (source == TProjectSource::Backup) {
    text += " " + Format(GetUiText(kBackupLoadedTextId), ShownPath(backup.fileName));
  } else {
    if (backup.fault != TFault::Missing) text += " " + backup.Describe(kBackupFileTextId);
    text += " " + GetUiText(source == TProjectSource::None ? kNotOpenedUnreadableTextId : kTemplateLoadedTextId);
  }
  ui_.Trace("LoadProject - " + text);
  ui_.ShowMessage(text, GetUiText(kWarningCaptionId), TProjectDocumentUi::TIcon::Warning);
  return text;
}

// A project file that is gone while the web folder still holds what its
// compiles wrote (the stamp list, the variables document), or while the web
// output holds the pages of an earlier project that asked for logins, was
// lost: the new project is no project of its own. The user is told, unless
// the fallback message told of a damaged backup already; a new host project,
// with none of those records and no such output, starts empty without a word.
void TProjectDocument::CheckForLostFile(const TProjectLocation& location, const std::string& fileName) {
  if (PathExists(fileName) || location.hostProjectDir.empty() || location.hostProjectName.empty()) return;
  const std::string records = location.hostProjectDir + "Tarnwell\\" + location.hostProjectName;
  std::string reason;
  if (PathExists(records + ".txt") || PathExists(records + "_var.xml")) {
    reason = GetUiText(kLostFileTextId);
  } else {
    const std::string sendRoot = location.hostProjectDir + "SendRoot\\";
    const std::string sign = FindEarlierLoginSign(sendRoot);
    if (sign.empty()) return;
    lostSendRoot_ = sendRoot;
    reason = Format(GetUiText(kEarlierLoginsTextId), ShownPath(sendRoot), ShownPath(sign), ShownPath(sendRoot));
  }
  lostFile_ = fileName;
  if (PathExists(fileName + kBackupExtension)) return;
  TReadAttempt file;
  file.fileName = fileName;
  file.fault = TReadAttempt::TFault::Missing;
  std::string text = file.Describe(kProjectFileTextId) + " " + GetUiText(kTemplateLoadedTextId) + " " + reason;
  // The new project names no user: pages with a level that every compile
  // copies in from the import folder would be open to anyone beside its
  // password file.
  if (const std::vector<std::string> pages = FindImportedLevelPages(ImportFolder(location)); !pages.empty())
    text += " " + Format(GetUiText(kImportedLevelsTextId), LevelPageList(pages));
  ui_.Trace("LoadProject - " + text);
  ui_.ShowMessage(text, GetUiText(kWarningCaptionId), TProjectDocumentUi::TIcon::Warning);
}

// A split project whose "web.xml" is gone (its page files or its backup are
// still there) is read from the single file. Who wrote that file is not
// known: a compile writes it as a copy of the project (changes saved after
// that compile are not in it), and a save writes it as the project's one file
// when the project was started anew there. The user is told both, and that
// the page files are not read.
void TProjectDocument::CheckForLostMainFile(const TProjectFileNames& names) {
  if (PathExists(names.mainFile) || CaseInsensitiveEqual(names.mainFile, names.baseFile)) return;
  if (!DirectoryExists(names.pageFolder) && !PathExists(names.mainFile + kBackupExtension)) return;
  TReadAttempt file;
  file.fileName = names.mainFile;
  file.fault = TReadAttempt::TFault::Missing;
  const std::string text =
      file.Describe(kProjectFileTextId) + " " +
      Format(GetUiText(kSingleFileLoadedTextId), ShownPath(names.baseFile), ShownPath(names.pageFolder));
  ui_.Trace("LoadProject - " + text);
  ui_.ShowMessage(text, GetUiText(kWarningCaptionId), TProjectDocumentUi::TIcon::Warning);
}

// The pages of an earlier project that asked for logins keep the refusal
// while they are there, also after a save wrote the project file: a compile
// of this project would still leave them to anyone.
std::string TProjectDocument::LostFileRefusal() const {
  if (lostFile_.empty()) return std::string();
  if (!lostSendRoot_.empty()) {
    const std::string sign = FindEarlierLoginSign(lostSendRoot_);
    if (sign.empty()) return std::string();
    return Format(GetUiText(kEarlierRefusalTextId), ShownPath(lostFile_), ShownPath(lostSendRoot_), ShownPath(sign),
                  ShownPath(lostSendRoot_));
  }
  if (PathExists(lostFile_)) return std::string();
  return Format(GetUiText(kLostRefusalTextId), ShownPath(lostFile_));
}

std::string TProjectDocument::StartAnewQuestion() const {
  if (lostFile_.empty() || PathExists(lostFile_)) return std::string();
  return Format(GetUiText(kStartAnewTextId), ShownPath(lostFile_));
}

// A file that could not be read is refused while it is there, or while its
// presence cannot be told (its folder may not be searched): a save would
// put what the designer holds in its place.
std::string TProjectDocument::OverwriteRefusal() const {
  if (!unreadableFile_.empty() && PresenceOf(unreadableFile_) != TPresence::kMissing)
    return Format(GetUiText(kProjectFileTextId), ShownPath(unreadableFile_)) + " " + GetUiText(kNotOverwrittenTextId);
  for (const std::string& page : unreadablePages_)
    if (PresenceOf(page) != TPresence::kMissing)
      return Format(GetUiText(kPageFileTextId), ShownPath(page)) + " " + GetUiText(kNotOverwrittenTextId);
  for (const auto& [file, name] : missingPages_)
    if (HoldsPage(name))
      return Format(GetUiText(kPageFileTextId), ShownPath(file)) + " " + GetUiText(kPageMissingTextId);
  return std::string();
}

bool TProjectDocument::HoldsPage(const std::string& name) const {
  TmyXmlNode* web = Web();
  if (web == nullptr) return false;
  for (TmyXmlNode* page = web->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
    if (CaseInsensitiveEqual(page->GetAttr("name"), name)) return true;
  return false;
}

void TProjectDocument::ReadGlobalElements(TmyXmlNode* web) {
  const TmyXmlNode* globalset = web->FindChild("globalset");
  if (globalset == nullptr) return;
  newDimension_ = globalset->GetAttrInt("newdim", 0) != 0;
  pageNameFormat_ = globalset->GetAttrInt("pvstyle", pageNameFormat_);
}

// The attributes in document order; `version` gates editing.
void TProjectDocument::ReadWebAttributes(TmyXmlNode* web) {
  for (const TmyXmlAttrNode* attr = web->firstAttr; attr != nullptr; attr = attr->next) {
    if (attr->name != "version") {
      ApplyWebAttribute(settings_, attr->name, attr->value);
      continue;
    }
    formatCode_ = ParseFormatVersion(attr->value);
    if (formatCode_ <= kFormatCodeCurrent) {
      formatCode_ = kFormatCodeCurrent;
      continue;
    }
    readOnly_ = true;
    ui_.ShowMessage(GetUiText(kNewerVersionTextId), GetUiText(kWarningCaptionId), TProjectDocumentUi::TIcon::Error);
  }
}

void TProjectDocument::InsertGridWhenMissing(TmyXmlNode* web, int rasterX, int rasterY) {
  grid_ = web->FindChild("Grid");
  if (grid_ != nullptr) return;
  grid_ = web->InsertFirstChild("Grid");
  grid_->closed = true;
  grid_->SetAttr("Enable", "1");
  grid_->SetAttrIntStr("X", rasterX);
  grid_->SetAttrIntStr("Y", rasterY);
}

// Each page stub of "web.xml" takes the attributes and children of its file
// and keeps its own name. A file that is there but cannot be read whole gives
// what was read before the damage (or nothing), the user is told, as for the
// project file, and the file is not written over (OverwriteRefusal). A
// missing file (or a link to nothing) behind a stub leaves the page empty: it
// is told the same way, and the empty page is neither saved nor compiled in
// its place, since it lost the page's objects and its level. A page that is
// whole in the main file needs no file.
void TProjectDocument::MergePageFiles(TmyXmlNode* web, const std::string& pageFolder) {
  std::string damaged;
  for (TmyXmlNode* page = web->FindDeep("page"); page != nullptr; page = page->FindDeep("page")) {
    page->closed = false;
    const std::string name = page->GetAttr("name");
    if (!IsSafeFileName(name)) {
      ui_.Trace("LoadProject - page name \"" + name + "\" is not a file name");
      continue;
    }
    TReadAttempt attempt;
    std::unique_ptr<TmyXmlNode> pageRoot = ReadParsedFile(pageFolder + name, attempt);
    TmyXmlNode* full = pageRoot != nullptr ? pageRoot->firstChild : nullptr;
    while (full != nullptr && (full->comment || full->instruction)) full = full->next;
    if (full == nullptr && attempt.fault == TReadAttempt::TFault::None) attempt.fault = TReadAttempt::TFault::NoPage;
    if (attempt.fault == TReadAttempt::TFault::Missing) {
      if (!IsPageStub(page)) continue;  // the page is whole in the main file
      missingPages_.emplace_back(attempt.fileName, name);
    }
    if (attempt.fault != TReadAttempt::TFault::None) {
      const std::string text =
          attempt.Describe(kPageFileTextId) + " " + GetUiText(full != nullptr ? kPartLoadedTextId : kPageEmptyTextId);
      ui_.Trace("LoadProject - " + text);
      damaged += (damaged.empty() ? "" : "\n") + text;
      if (attempt.fault != TReadAttempt::TFault::Missing) unreadablePages_.push_back(attempt.fileName);
    }
    if (full == nullptr) continue;
    TakePageFile(page, *full, name);
  }
  if (!damaged.empty()) ui_.ShowMessage(damaged, GetUiText(kWarningCaptionId), TProjectDocumentUi::TIcon::Warning);
}

// A file as the parser reads it; `attempt` says why it is not whole. A
// damaged file still gives what was read before the damage.
std::unique_ptr<TmyXmlNode> TProjectDocument::ReadParsedFile(const std::string& fileName, TReadAttempt& attempt) {
  using TFault = TReadAttempt::TFault;
  attempt.fileName = fileName;
  attempt.fault = TFault::None;
  // A file whose presence is hidden is told as one that cannot be opened,
  // never taken for a missing one.
  int error = 0;
  if (const TPresence presence = PresenceOf(fileName, &error); presence != TPresence::kThere) {
    attempt.fault = presence == TPresence::kMissing ? TFault::Missing : TFault::CannotOpen;
    if (attempt.fault == TFault::CannotOpen) attempt.reason = SystemReason(error);
    return nullptr;
  }
  errno = 0;
  const bool read = parser_.LoadFromFile(fileName);
  error = read ? 0 : errno;
  std::unique_ptr<TmyXmlNode> root(read ? parser_.Parse() : nullptr);
  if (root == nullptr) {
    attempt.fault = TFault::CannotOpen;
    attempt.reason = SystemReason(error);
  } else if (parser_.errorWord != 0) {
    attempt.fault = TFault::Malformed;
    attempt.errorWord = parser_.errorWord;
    attempt.line = parser_.GetLine();
  }
  return root;
}

void TProjectDocument::SetupUidsAndStripVariables(TmyXmlNode* web) {
  const auto randomStart = [this] {
    if (randomUid_) return randomUid_();
    std::random_device device;
    return static_cast<int>(device() % kUidRandomRange);
  };
  const TmyXmlAttrNode* maxUid = web->FindAttr("MaxUid");
  if (maxUid == nullptr) {
    uidCounter_ = randomStart();
    web->SetAttrIntStr("MaxUid", uidCounter_);
  } else if (!TryStrToInt(maxUid->value, uidCounter_)) {
    uidCounter_ = randomStart();
  }
  AssignUids(web, true);
}

void TProjectDocument::RepairGroupsAndImages(TmyXmlNode* web) {
  for (TmyXmlNode* child = web->firstChild; child != nullptr; child = child->next) {
    if (child->comment || child->instruction) continue;
    if (child->name == "images") images_ = child;
    if (child->name != "group") continue;
    AddEmptyCaptionWhenMissing(child);
    for (TmyXmlNode* page = child->FindChild("page"); page != nullptr; page = TmyXmlNode::FindNext(page->next, "page"))
      AddEmptyCaptionWhenMissing(page);
  }
  if (images_ == nullptr) images_ = web->AddChild("images");
}
