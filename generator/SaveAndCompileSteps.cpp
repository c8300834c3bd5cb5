// The steps of the save-and-compile command between its start and its end:
// the output folders, the import folder, the page template and the template
// data page with the project compiler, the project copy, the status report,
// and the variables document with the stamp list.

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "core/ProjectFileCommit.h"
#include "core/ProjectLocation.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlResource.h"
#include "generator/EarlierLogins.h"
#include "generator/FormStatus1.h"
#include "generator/GeneratedFiles.h"
#include "generator/PasswordFile.h"
#include "generator/ProjectImages.h"
#include "generator/ProjectSettings.h"
#include "generator/SaveAndCompile.h"
#include "generator/SaveAndCompileRun.h"
#include "generator/WebVariables.h"
#include "generator/XmlUtilities.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/FindFile.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kCannotCreateText = 7074;     // "[Tarnwell] - Cannot create :"
constexpr int kProjectFileText = 7328;      // The project file "%s"
constexpr int kNotWrittenText = 7411;       // could not be written; it is kept as it was.
constexpr int kNoProjectFolderText = 7413;  // the host names no project folder
constexpr int kNotAFolderText = 7470;       // "%s" is not a folder, so no file for the PLC can be written into it; ...
constexpr std::uint64_t kMsPerMinute = 60000;
constexpr double kSecondsPerMs = 0.001;

// The status text of each error bit, the most serious first.
struct TStatusText {
  std::uint32_t bit;
  int text;
};
constexpr TStatusText kStatusTexts[] = {
    {kCompileErrorTooMany, 7071},   // "Error - too many variables on the page"
    {kCompileErrorFile, 7070},      // "Error - copying of images was not successful"
    {kCompileErrorVariable, 7068},  // "Error - Unknown or undefined variables"
};
constexpr int kWithoutErrorsText = 7067;

TProjectLocation LocationOf(const TCompileProject& project, const std::string& globalFolder) {
  return TProjectLocation{project.projectDir, project.projectName, project.globalMode, globalFolder, project.globalDir};
}

std::unique_ptr<TmyXmlNode> ParseFile(TmyXMLParser& parser, const std::string& path) {
  if (path.empty() || !parser.LoadFromFile(path)) return nullptr;
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  if (parser.errorWord != 0) return nullptr;
  return root;
}

std::unique_ptr<TmyXmlNode> ParseResource(TmyXMLParser& parser, const char* name) {
  std::unique_ptr<TmyXmlNode> root(LoadXmlResource(&parser, name));
  if (root == nullptr || parser.errorWord != 0) throw std::runtime_error(std::string("cannot read resource ") + name);
  return root;
}

// The cell after the "menu" comment takes the menu cell's place; with the
// menu off it goes. Without such a cell there is no menu.
void PlaceMenuCell(TmyXmlNode* pageTemplate, std::unique_ptr<TmyXmlNode> menuCell, bool menuOff) {
  TmyXmlNode* mark = pageTemplate->FindComment("menu");
  TmyXmlNode* cell = mark != nullptr ? mark->next : nullptr;
  if (cell == nullptr || cell->name != "td") return;
  if (!menuOff && menuCell != nullptr) cell->ReplaceWith(menuCell.release());
  std::unique_ptr<TmyXmlNode> old(cell);
}

// The folders below `folder` + `relative` that the import copy makes in the
// output (entries beginning with "." are skipped), relative to `folder`.
void AddImportSubfolders(const std::string& folder, const std::string& relative, std::vector<std::string>& folders) {
  TSearchRec entry;
  if (FindFirst(folder + relative + "*.*", faDirectory, entry) != 0) return;
  ScopeExit closeListing([&] { FindClose(entry); });
  do {
    if (entry.Name.empty() || entry.Name[0] == '.' || (entry.Attr & faDirectory) == 0) continue;
    const std::string subfolder = relative + entry.Name + "\\";
    folders.push_back(subfolder);
    AddImportSubfolders(folder, subfolder, folders);
  } while (FindNext(entry) == 0);
}

}  // namespace

std::string CompileBaseName(const TCompileProject& project) {
  if (project.projectDir.empty() || project.projectName.empty()) return std::string();
  return project.projectDir + "Tarnwell\\" + project.projectName;
}

std::string ImportFolderOf(const TCompileProject& project, const std::string& globalFolder) {
  if (project.globalMode) return globalFolder + project.globalDir + "\\Import\\";
  return project.projectDir.empty() ? std::string() : project.projectDir + "Tarnwell\\Import\\";
}

void RemoveStrayTemporaryFiles(const TCompileProject& project, const std::string& globalFolder) {
  if (project.projectDir.empty()) return;
  // A project save that a kill stopped is finished or undone first, so that
  // none of its staged files stays: the files the load recovers, in global
  // mode those of the shared folder.
  if (const TProjectFileNames names = SaveFileNames(LocationOf(project, globalFolder)); names.usable) {
    std::vector<std::string> files = {names.mainFile};
    if (!project.projectName.empty() || project.globalMode) files.push_back(names.baseFile);
    RecoverProjectSave(names.folder, files);
  }
  RemoveLeftTemporaryFiles(project.projectDir);
}

void RemoveLeftTemporaryFiles(const std::string& projectDir) {
  if (projectDir.empty()) return;
  RemoveOwnTemporaryFiles(projectDir + "SendRoot", true);
  const std::string webFolder = projectDir + "Tarnwell\\";
  for (const char* folder : {"", "pages", "Images"}) RemoveOwnTemporaryFiles(webFolder + folder, false);
}

std::string ProjectFilesFolder(const TCompileProject& project, const std::string& globalFolder) {
  if (project.projectDir.empty()) return std::string();
  const TProjectFileNames names = SaveFileNames(LocationOf(project, globalFolder));
  return names.usable ? names.folder : std::string();
}

std::string HoldProjectFolder(std::optional<TFolderLock>& lock, const std::string& folder) {
  if (folder.empty() || !DirectoryExists(folder)) return std::string();
  lock.emplace(ProjectLockFile(folder));
  switch (lock->State()) {
    case TFolderLock::TState::kHeld: return std::string();
    case TFolderLock::TState::kTaken: return ProjectSavedElsewhere(folder);
    case TFolderLock::TState::kNoLockFile: break;
  }
  return ProjectLockUnusable(folder, lock->Error());
}

std::vector<std::string> ImportSubfolders(const std::string& importFolder) {
  std::vector<std::string> folders;
  if (!importFolder.empty()) AddImportSubfolders(importFolder, std::string(), folders);
  return folders;
}

std::vector<std::string> OutputSubfolders(TmyXmlNode* project, const std::string& importFolder) {
  std::vector<std::string> folders = {"IMAGES\\"};
  if (project != nullptr && project->FindChild("page", "notification", true, "true") != nullptr)
    folders.push_back("NOTIFY\\");
  if (project != nullptr && project->FindChild("page", "jsonmap", true, "true") != nullptr) {
    folders.push_back("JS\\");
    folders.push_back("JSN\\");
  }
  for (const std::string& folder : ImportSubfolders(importFolder)) folders.push_back(folder);
  return folders;
}

std::string OutputFolderObstacle(const std::string& projectDir, const std::vector<std::string>& subfolders) {
  if (projectDir.empty()) return std::string();
  std::vector<std::string> folders = {"SendRoot", "SendRoot\\WWW"};
  for (const std::string& folder : subfolders) folders.push_back("SendRoot\\WWW\\" + ExcludeTrailingBackslash(folder));
  for (const std::string& folder : folders) {
    const std::string path = projectDir + folder;
    const std::filesystem::path native = ToNativePath(path);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(native, ec)) &&
        !std::filesystem::is_directory(native, ec))
      return Format(GetUiText(kNotAFolderText), ShownPath(SpeltAsOnDisk(path)));
  }
  return std::string();
}

std::string CompileStatusText(std::uint32_t compileErrors) {
  for (const TStatusText& status : kStatusTexts)
    if ((compileErrors & status.bit) != 0) return GetUiText(status.text);
  return GetUiText(kWithoutErrorsText);
}

std::string CompileTimeText(std::uint64_t elapsedMs) {
  char text[64];
  std::snprintf(text, sizeof text, "%i:%02.3f", static_cast<int>(elapsedMs / kMsPerMinute),
                static_cast<double>(elapsedMs % kMsPerMinute) * kSecondsPerMs);
  return text;
}

void TSaveAndCompile::PrepareOutput(TRun& run) {
  const TCompileProject& project = setup_.project;
  if (!run.hidden) {
    run.status->Show();
    WriteTraceLog("ProcessMessages");
    if (Application != nullptr) Application->ProcessMessages();
  }
  if (project.projectDir.empty()) throw std::runtime_error(GetUiText(kNoProjectFolderText));
  const std::string sendRoot = project.projectDir + "SendRoot\\";
  state_.outputRoot = sendRoot + "WWW\\";
  run.status->pnlPath->SetCaption(ShownPath(state_.outputRoot));
  // One message for what would fail every file of a folder, before anything
  // is written.
  const std::vector<std::string> folders = OutputSubfolders(project.root, ImportFolderOf(project, setup_.globalFolder));
  if (const std::string obstacle = OutputFolderObstacle(project.projectDir, folders); !obstacle.empty())
    throw std::runtime_error(obstacle);
  run.outputTouched = true;
  auto makeFolder = [&](const std::string& folder) {
    if (ForceDirectories(folder)) return;
    run.files.ReportWriteFailure(folder);
    run.writeFailed = true;
  };
  makeFolder(state_.outputRoot);
  if (project.root != nullptr && project.root->FindChild("page", "notification", true, "true") != nullptr)
    makeFolder(state_.outputRoot + "NOTIFY\\");
  // Also a run of the data pages only reads the list: it deletes nothing, and
  // keeps listed the files of the last full compile that it does not write.
  run.files.LoadGeneratedFileTable(run.stampList);
  // The pages with a level that the project lost go before the new password
  // file is written, also when the run fails later or writes XML files alone;
  // one that stays keeps the old password file.
  if (RemoveStaleLevelPages(LoginOutput(), host_, run.files))
    WriteCompilePasswordFile(project, setup_.formatCode, sendRoot, state_, host_, run.files);
  // The password file and the pages before it are the only steps so far
  // that mark a file error.
  if ((state_.compileErrors & kCompileErrorFile) != 0) run.writeFailed = true;
  makeFolder(state_.outputRoot + "IMAGES");
  // A folder of that name in another letter case is named "IMAGES" afterwards.
  if (DirectoryExists(state_.outputRoot + "IMAGES"))
    MoveFileA((state_.outputRoot + "IMAGES").c_str(), (state_.outputRoot + "IMAGES").c_str());
}

void TSaveAndCompile::CopyImportFolder(TRun& run) {
  state_.importedFiles.reset();
  state_.userTemplatePath.clear();
  const std::string folder = ImportFolderOf(setup_.project, setup_.globalFolder);
  if (folder.empty() || !DirectoryExists(folder)) return;
  state_.importedFiles = std::make_unique<TStringList>();
  setup_.parts.CopyImportFolder(run.context, folder);
  state_.importedFiles->Sort();
}

void TSaveAndCompile::CompilePages(TRun& run) {
  std::unique_ptr<TmyXmlNode> menuCell = BuildMenuCell(setup_.project.web);
  TmyXMLParser templateParser;
  std::unique_ptr<TmyXmlNode> pageTemplate = ParseFile(templateParser, state_.userTemplatePath);
  if (pageTemplate != nullptr)
    run.context.AddHostMessage("[Tarnwell]", "User defined DEFAULT.XSL used!");
  else
    pageTemplate = ParseResource(templateParser, "DEFAULT_XSL");
  TmyXMLParser dataParser;
  std::unique_ptr<TmyXmlNode> templateData = ParseResource(dataParser, "DEFAULT_XML");
  PlaceMenuCell(pageTemplate.get(), std::move(menuCell), state_.menuOff);
  if (TmyXmlNode* declaration = templateData->firstChild)
    declaration->SetAttr("encoding", setup_.project.settings != nullptr ? setup_.project.settings->encoding : "");
  run.files.LoadPreviousStamps(run.stampList);
  TProjectCompileInputs inputs{setup_.parts.Pages(run.context), setup_.panelStructures, setup_.pictureSize};
  CompileProject(run.context, templateData.get(), pageTemplate.get(), inputs);
}

// The project copy that the compile driver reads; outside global mode it is
// the project file itself. It is written once the pages are compiled, since
// the page compiler renews the change stamps (`ucid`) of pages whose
// variables moved or whose template pages changed: the next compile starts
// from this file and would otherwise give those pages their old stamps back,
// with the variables document already saying that nothing moved. A copy that
// cannot be written (or that would replace a project file another program
// saved since the run read it) ends the run before the variables document,
// so the next compile finds the same moves and renews the stamps again. The
// `format` attributes that the writers left on the objects belong to this
// compile alone; they go, as the project save drops them.
void TSaveAndCompile::WriteProjectCopy(TRun& run) {
  const TCompileProject& project = setup_.project;
  if (project.projectDir.empty() || project.root == nullptr) return;
  const std::string copy =
      project.globalMode ? setup_.globalFolder + project.globalDir + "\\Global.xml" : run.baseName + ".xml";
  SweepFormat(project.web);
  std::string notWritten;
  // The run holds the folder's lock: the file holds what was written.
  if (setup_.writeProjectCopy) {
    const std::string text = TmyXMLParser().WriteNode(project.root, 0);
    notWritten = setup_.writeProjectCopy(copy, text);
    run.projectCopy = ProjectFilePrintOf(copy, text);
  } else if (TmyXMLParser().SaveToFile(project.root, copy, false) == 0) {
    notWritten = GetUiText(kNotWrittenText);
  } else {
    run.projectCopy = ReadProjectFilePrint(copy);
  }
  if (!notWritten.empty())
    throw std::runtime_error(Format(GetUiText(kProjectFileText), ShownPath(copy)) + " " + notWritten);
}

void TSaveAndCompile::Report(TRun& run) {
  WriteTraceLog("End saving");
  TFormStatus1& status = *run.status;
  status.pnlStatus->SetCaption(CompileStatusText(state_.compileErrors));
  const TColor colour = state_.compileErrors != 0 ? clRed : clGreen;
  status.pnlStatus->Font()->Color = colour;
  status.pnlGenerated->Font()->Color = colour;
  status.pnlFileNum->SetCaption(std::to_string(state_.compiledFiles));
  status.pnlImgNum->SetCaption(std::to_string(state_.compiledImages));
  if (host_.ReportCompileTime())
    run.context.AddHostMessage("Tarnwell compilation time:", CompileTimeText(host_.TickCount() - run.startTicks));
  CloseStatusWindow(run);
}

// The variables document and the stamp list; one that cannot be written is
// reported like any other file of the output.
void TSaveAndCompile::Finish(TRun& run) {
  if (state_.tdiMapPass) host_.CloseTdiPass();
  state_.tdiMapPass = false;
  const auto cannotCreate = [&](const std::string& path) {
    run.files.ReportWriteFailure(path);
    run.writeFailed = true;
  };
  if (!run.variablesDocument.empty() && !run.variables.Save(run.variablesDocument)) cannotCreate(run.variablesDocument);
  if (!RunIsWhole(run)) {
    // The previous compile's files that were not written again stay, whole,
    // and listed, so that the next compile deletes what it does not write.
    run.files.SaveUnfinishedStampList(run.stampList);
    host_.ReleaseCompilerMessages();
    return;
  }
  if (state_.generateXmlOnly) {
    // The scripts, stylesheets and assets of the last full compile stay, and
    // stay listed: the next full compile replaces or deletes them.
    if (!run.files.SaveUnfinishedStampList(run.stampList)) cannotCreate(run.stampList);
    host_.ReleaseCompilerMessages();
    return;
  }
  run.files.DeleteStaleFiles();
  if (!run.files.MergeStamps(run.stampList)) cannotCreate(run.stampList);
  host_.ReleaseCompilerMessages();
}
