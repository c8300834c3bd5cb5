// The compile driver's run: the settings and paths, the folders, the
// password file and the import copy, in the order the host's build needs.

#include "generator/WebCompiler.h"

#include <cerrno>
#include <exception>
#include <optional>
#include <system_error>

#include "base/ScopeExit.h"
#include "core/BuildFileName.h"
#include "core/FileHelpers.h"
#include "core/OpenIniReg.h"
#include "core/ProjectPaths.h"
#include "core/StampList.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/CompileHost.h"
#include "generator/EarlierLogins.h"
#include "generator/FormStatus1.h"
#include "generator/ImportFolder.h"
#include "generator/PasswordFile.h"
#include "generator/ProjectSettings.h"
#include "generator/SaveAndCompile.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/FindFile.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kCannotCreateText = 7074;  // "[Tarnwell] - Cannot create :"
constexpr int kCannotDeleteText = 7522;  // "[Tarnwell] - Cannot delete the file of the last compile (%s); ..."
constexpr int kCompilingText = 7096;     // "Compiling..."
// Why the project copy could not be read: the file, what was wrong with it,
// and that the run wrote nothing.
constexpr int kProjectFileText = 7328;  // The project file "%s"
constexpr int kCannotOpenText = 7332;   // could not be read: it cannot be opened (%s).
constexpr int kMalformedText = 7333;    // could not be read: it is not well-formed XML (error 0x%X at line %d).
constexpr int kNoWebText = 7334;        // could not be read: it holds no web element.
constexpr int kNothingWrittenText = 7340;
constexpr int kCopyChangedText = 7651;    // The project file "%s" changed after this build's compile wrote it: ...
constexpr int kEarlierLoginsText = 7421;  // The project file "%s" does not exist, and neither do the records ...
constexpr const char* kSettingsSuffix = ".webx";
constexpr const char* kTimeStampsSection = "TimeStamps";
constexpr const char* kCompileTimeKey = "CompileTD";
constexpr const char* kGlobalKey = "Global";
constexpr const char* kGlobalDirKey = "GlobalDir";
constexpr const char* kUserTemplateName = "DEFAULT.XSL";
constexpr const char* kImagesFolder = "IMAGES";
constexpr const char* kFailureSource = "[Tarnwell]";

// A text of the host's project manager; empty when the host refuses.
std::string HostText(IQendProjectManager* manager, HRESULT (IQendProjectManager::*query)(char**)) {
  try {
    return QueryHostText(manager, query);
  } catch (const std::exception&) {
    return std::string();
  }
}

// The file names below `folder` + `relative` as the import copy walks them
// (entries beginning with "." are skipped), relative to `folder`.
void ListFolder(const std::string& folder, const std::string& relative, std::vector<std::string>& names) {
  TSearchRec entry;
  if (FindFirst(folder + relative + "*.*", faAnyFile, entry) != 0) return;
  ScopeExit closeListing([&] { FindClose(entry); });
  do {
    if (entry.Name.empty() || entry.Name[0] == '.') continue;
    if ((entry.Attr & faDirectory) != 0)
      ListFolder(folder, relative + entry.Name + "\\", names);
    else
      names.push_back(relative + entry.Name);
  } while (FindNext(entry) == 0);
}

}  // namespace

TWebCompiler::TWebCompiler(IQendProjectManager* manager, TCompileHost& host, TWebCompileProgress* progress,
                           TComponent* owner, bool quiet)
    : manager_(manager), host_(host), progress_(progress), owner_(owner), quiet_(quiet), files_(state_, host) {
  host_.AcquireCompilerMessages();
}

TWebCompiler::~TWebCompiler() {
  CloseStatus();
  host_.ReleaseCompilerMessages();
}

void TWebCompiler::AddMessage(const std::string& text, const std::string& source) {
  host_.AddCompilerMessage(text, source);
}

bool TWebCompiler::Compile() {
  failure_.clear();
  refused_ = false;
  try {
    Run();
  } catch (const std::exception& error) {
    WriteTraceLog(std::string("TWebCompiler::Compile - ") + error.what());
    failure_ = error.what();
  }
  if (!failure_.empty()) {
    AddMessage(kFailureSource, failure_);
    return false;
  }
  if ((state_.compileErrors & kCompileErrorFile) == 0) return true;
  AddMessage(kFailureSource, CompileStatusText(kCompileErrorFile));
  return false;
}

void TWebCompiler::Run() {
  onlyXml_ = false;
  wrotePasswordFile_ = false;
  wroteImportedFiles_ = false;
  globalMode_ = false;
  state_.compileErrors = 0;
  state_.failedFiles.clear();
  state_.undeletedFiles.clear();
  if (!ReadSettings()) {
    WriteTraceLog("TWebCompiler::Compile - the host names no project folder");
    return;
  }
  // An end from here to the stamp of the compile time is a refusal.
  refused_ = true;
  TCompileProject paths;
  paths.projectDir = projectDir_;
  paths.projectName = projectName_;
  paths.globalMode = globalMode_;
  paths.globalDir = globalDir_;
  // What a killed run left goes also when this run is refused.
  RemoveStrayTemporaryFiles(paths, globalFolder_);
  state_.tdiMapPass = !host_.TdiMapDisabled() && host_.OpenTdiPass();
  ScopeExit closePass([this] {
    if (state_.tdiMapPass) host_.CloseTdiPass();
    state_.tdiMapPass = false;
  });
  if (progress_ != nullptr && !quiet_) progress_->Progress(TWebCompileProgress::kWorkStarts);
  // From the read of the project copy to the run's last write, no other run
  // saves or compiles the project.
  std::optional<TFolderLock> lock;
  if (failure_ = HoldProjectFolder(lock, ProjectFilesFolder(paths, globalFolder_)); !failure_.empty()) {
    failure_ += " " + GetUiText(kNothingWrittenText);
    return;
  }
  // A project copy that is there but cannot be read ends the run before it
  // writes anything: the password file written from it would have no users.
  if (!CopyAsExpected() || !LoadProject()) return;
  const std::string importFolder = ImportFolderOf(paths, globalFolder_);
  // A folder this run writes into that is no folder would fail every file in
  // it: one message. It writes the password file and the import copy alone;
  // the pages' folders ("IMAGES", "NOTIFY") it only makes, and one that
  // cannot be made is reported as the run goes on.
  if (const std::string obstacle = OutputFolderObstacle(projectDir_, ImportSubfolders(importFolder));
      !obstacle.empty()) {
    failure_ = obstacle + " " + GetUiText(kNothingWrittenText);
    return;
  }
  if (!OwnsLevelPages(importFolder)) return;
  refused_ = false;
  StampCompileTime();
  if (!quiet_) ShowStatus();
  ScopeExit closeStatus([this] { CloseStatus(); });
  PrepareFolders();
  onlyXml_ = project_ != nullptr && project_->FindChild("OnlyXml", {}, true) != nullptr;
  TGeneratedFiles::StopWhenAsked();
  if (!onlyXml_) DeletePreviousFiles(stampList_, ListImportFiles(importFolder));
  // The pages with a level that the project lost go first; one that stays
  // keeps the old password file.
  if (project_ == nullptr || RemoveStaleLevelPages(LoginOutput(importFolder), host_, files_))
    wrotePasswordFile_ = WritePasswordFile();
  PrepareImagesFolder();
  CopyImportFiles(importFolder);
}

// Reads the project's mode from its settings file and works out the paths.
// False when the host gives no project folder.
bool TWebCompiler::ReadSettings() {
  TclOpenIniReg settings(manager_, kProductWord, kSettingsSuffix);
  if (TIniFile* ini = settings.GetIniFile()) {
    globalMode_ = ini->ReadBool(settings.GetSection(), kGlobalKey, false);
    if (globalMode_) globalDir_ = ini->ReadString(settings.GetSection(), kGlobalDirKey, kProductWord);
  }
  projectDir_ = HostText(manager_, &IQendProjectManager::GetProjectFolder);
  projectName_ = HostText(manager_, &IQendProjectManager::GetProjectName);
  if (globalMode_) globalFolder_ = HostText(manager_, &IQendProjectManager::GetGlobalFolder);
  if (projectDir_.empty()) return false;
  // The save-and-compile command keeps its stamp list beside the project's
  // own files, and writes the project copy where the designer reads it.
  TCompileProject project;
  project.projectDir = projectDir_;
  project.projectName = projectName_;
  const std::string base = CompileBaseName(project);
  stampList_ = base.empty() ? std::string() : base + ".txt";
  projectCopy_ = globalMode_ ? globalFolder_ + globalDir_ + "\\Global.xml" : base + ".xml";
  sendRoot_ = projectDir_ + "SendRoot\\";
  state_.outputRoot = sendRoot_ + "WWW\\";
  return true;
}

// The build's question whether to compile the pages compares this time with
// the last save's. A save the build left uncompiled keeps its question: the
// time is not moved past it, as this run compiles no page. Otherwise the
// question reads the same whether or not the time moves, so a settings file
// that cannot take it does not hold back the password file and the imports.
void TWebCompiler::StampCompileTime() {
  TclOpenIniReg settings(manager_, kProductWord, kSettingsSuffix);
  TIniFile* ini = settings.GetIniFile();
  if (ini == nullptr || SaveAwaitsCompile(*ini)) return;
  try {
    ini->WriteInteger(kTimeStampsSection, kCompileTimeKey, static_cast<int>(host_.Now()));
  } catch (const EIniFileException& e) {
    WriteTraceLog("TWebCompiler::StampCompileTime - " + e.Message());
  }
}

// The password file is written from the copy of the pages the build's
// compile wrote, never from another run's.
bool TWebCompiler::CopyAsExpected() {
  if (expectedCopy_.files.empty() ||
      ReadProjectFilePrint(projectCopy_).files[projectCopy_] == expectedCopy_.files.begin()->second)
    return true;
  failure_ = Format(GetUiText(kCopyChangedText), ShownPath(projectCopy_));
  return false;
}

// Without a project copy there is nothing to read (a project never
// compiled), unless the copy was lost: the web output holds the pages of an
// earlier project that asked for logins. One that is there is read as the
// designer reads it: well-formed, its last top-level node the `web` element;
// else the failure says why.
bool TWebCompiler::LoadProject() {
  project_.reset();
  if (!FileExists(projectCopy_)) return !LostProject();
  TmyXMLParser parser;
  errno = 0;
  const bool read = parser.LoadFromFile(projectCopy_);
  const int error = read || errno == 0 ? EIO : errno;
  std::unique_ptr<TmyXmlNode> root(read ? parser.Parse() : nullptr);
  std::string fault;
  if (root == nullptr) {
    fault = Format(GetUiText(kCannotOpenText), std::generic_category().message(error));
  } else if (parser.errorWord != 0) {
    fault =
        Format(GetUiText(kMalformedText), static_cast<unsigned>(parser.errorWord), static_cast<int>(parser.GetLine()));
  } else if (const TmyXmlNode* last = root->lastChild;
             last == nullptr || last->comment || last->instruction || last->name != "web") {
    fault = GetUiText(kNoWebText);
  }
  if (fault.empty()) {
    project_ = std::move(root);
    return true;
  }
  failure_ =
      Format(GetUiText(kProjectFileText), ShownPath(projectCopy_)) + " " + fault + " " + GetUiText(kNothingWrittenText);
  return false;
}

// The project has neither its file (the copy, or "web.xml" of the split
// layout beside it) nor the records of its compiles, while the web output
// holds the pages of an earlier project that asked for logins: the run is
// refused with the reason, so that the build does not pass for a good one.
bool TWebCompiler::LostProject() {
  const std::string base = projectCopy_.substr(0, projectCopy_.size() - std::char_traits<char>::length(".xml"));
  if (FileExists(ExtractFilePath(projectCopy_) + "web.xml") || FileExists(base + "_var.xml")) return false;
  if (!stampList_.empty() && FileExists(stampList_)) return false;
  const std::string sign = FindEarlierLoginSign(sendRoot_);
  if (sign.empty()) return false;
  failure_ = Format(GetUiText(kEarlierLoginsText), ShownPath(projectCopy_), ShownPath(sendRoot_), ShownPath(sign),
                    ShownPath(sendRoot_));
  return true;
}

// The password file written from the project copy is not put beside data
// pages with a level that an earlier project left: neither the last
// compile's stamp list names them nor the copy compiles them. The run is
// refused before it writes anything, with the pages and the way on.
bool TWebCompiler::OwnsLevelPages(const std::string& importFolder) {
  if (project_ == nullptr) return true;
  failure_ = UnownedLevelPagesRefusal(LoginOutput(importFolder));
  if (failure_.empty()) return true;
  failure_ += " " + GetUiText(kNothingWrittenText);
  return false;
}

TLoginOutput TWebCompiler::LoginOutput(const std::string& importFolder) const {
  TLoginOutput output;
  output.sendRoot = sendRoot_;
  output.stampList = stampList_;
  output.importFolder = importFolder;
  output.web = project_ != nullptr ? project_->FindChild("web", {}, true) : nullptr;
  return output;
}

void TWebCompiler::ShowStatus() {
  status_ = std::make_unique<TFormStatus1>(owner_);
  state_.statusForm = status_.get();
  status_->pnlStatus->SetCaption(GetUiText(kCompilingText));
  status_->Button1->SetEnabled(false);
  status_->Show();
  WriteTraceLog("ProcessMessages");
  if (Application != nullptr) Application->ProcessMessages();
}

// The window goes with the run: a driver has nobody to wait for its OK.
void TWebCompiler::CloseStatus() {
  state_.statusForm = nullptr;
  if (status_ == nullptr) return;
  status_->Hide();
  status_.reset();
}

void TWebCompiler::MakeFolder(const std::string& folder) {
  if (!ForceDirectories(folder)) AddMessage(GetUiText(kCannotCreateText), folder);
}

void TWebCompiler::PrepareFolders() {
  if (status_ != nullptr) status_->pnlPath->SetCaption(ShownPath(state_.outputRoot));
  MakeFolder(state_.outputRoot);
  if (project_ != nullptr && project_->FindChild("page", "notification", true, "true") != nullptr)
    MakeFolder(state_.outputRoot + "NOTIFY\\");
}

// A folder of that name in another letter case is named "IMAGES" afterwards.
void TWebCompiler::PrepareImagesFolder() {
  const std::string images = state_.outputRoot + kImagesFolder;
  MakeFolder(images);
  if (DirectoryExists(images)) MoveFileA(images.c_str(), images.c_str());
}

std::vector<std::string> TWebCompiler::ListImportFiles(const std::string& importFolder) const {
  std::vector<std::string> names;
  if (!importFolder.empty() && DirectoryExists(importFolder)) ListFolder(importFolder, std::string(), names);
  return names;
}

// Of the files the previous compile listed, those the import copy writes
// again are deleted first; everything else it listed stays, since the
// driver writes no pages to take their place.
void TWebCompiler::DeletePreviousFiles(const std::string& stampListPath, const std::vector<std::string>& rewritten) {
  if (stampListPath.empty() || rewritten.empty() || !FileExists(stampListPath)) return;
  TStringList previous;
  previous.SetSorted(true);
  LoadHexRecordList(stampListPath, &previous);
  ScopeExit freeRecords([&] { FreeListItems(&previous); });
  int index = 0;
  for (const std::string& name : rewritten) {
    if (SameText(ExtractFileName(name), kUserTemplateName) || !previous.Find(name, index)) continue;
    const std::string path = state_.outputRoot + name;
    // The stamp list, which the driver does not write, keeps naming it.
    if (FileExists(path) && !DeleteFile(path))
      AddMessage(Format(GetUiText(kCannotDeleteText), LastErrorReason()), SpeltAsOnDisk(path));
  }
}

// The same writer as the save-and-compile command's, on the project copy.
// True when it wrote the file.
bool TWebCompiler::WritePasswordFile() {
  if (project_ == nullptr) return false;
  TmyXmlNode* web = project_->FindChild("web", {}, true);
  int format = web != nullptr ? ParseFormatVersion(web->GetAttr("version")) : kFormatCodeCurrent;
  // Older formats are read as the current one, as the designer reads them.
  if (format < kFormatCodeCurrent) format = kFormatCodeCurrent;
  TCompileProject project;
  project.root = project_.get();
  project.web = web != nullptr ? web : project_.get();
  return WriteCompilePasswordFile(project, format, sendRoot_, state_, host_, files_);
}

void TWebCompiler::CopyImportFiles(const std::string& importFolder) {
  state_.userTemplatePath.clear();
  if (importFolder.empty() || !DirectoryExists(importFolder)) return;
  state_.importedFiles = std::make_unique<TStringList>();
  const int registered = files_.Table().Count();
  CopyFolderToOutput(importFolder, std::string(), state_, files_);
  wroteImportedFiles_ = files_.Table().Count() > registered;
  state_.importedFiles.reset();
}
