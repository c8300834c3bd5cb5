// The save-and-compile command's run: the frame that holds the run's parts,
// the error trap at the command's boundary, and the steps in their order.

#include "generator/SaveAndCompile.h"

#include "generator/SaveAndCompileRun.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlDocument.h"
#include "generator/EarlierLogins.h"
#include "generator/ProjectSettings.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Paths.h"
#include "platform/win/WriteFault.h"

namespace {

constexpr int kCompilingText = 7096;  // "Compiling..."
constexpr const char* kFailureText = "[Tarnwell]";
constexpr int kWriteFailedText = 7410;      // Files of the output could not be written (see the messages).
constexpr int kUnknownErrorText = 7400;     // unknown error
constexpr int kIncompleteText = 7441;       // The pages for the PLC are incomplete until a compile runs to its end.
constexpr int kFilesNotWrittenText = 7442;  // These files of the compile could not be written: %s.
constexpr int kMoreFilesText = 7443;        // and %d more (see the messages)
constexpr int kFilesNotDeletedText = 7444;  // These files of the last compile could not be deleted: %s.
constexpr int kNothingWrittenText = 7340;   // Nothing was written for the PLC: ... stay as they were.
constexpr int kTimeNotWrittenText = 7640;   // The settings file "%s" could not be written (%s): ...
constexpr const char* kTimeStampsSection = "TimeStamps";
constexpr const char* kSaveTimeKey = "SaveTD";
constexpr const char* kCompileTimeKey = "CompileTD";
// The failed files a message names; the host's messages name every one.
constexpr std::size_t kNamedFailedFiles = 10;

// The files a message names, the first ten of them; the host's messages name
// every one.
std::string FileNames(const std::vector<std::string>& files) {
  std::string names;
  for (std::size_t i = 0; i < files.size() && i < kNamedFailedFiles; ++i)
    names += (i > 0 ? ", " : "") + ShownPath(files[i]);
  if (files.size() > kNamedFailedFiles)
    names += " " + Format(GetUiText(kMoreFilesText), static_cast<int>(files.size() - kNamedFailedFiles));
  return names;
}

// What a run whose files could not all be written (or, of the last compile,
// deleted) tells: which files, and that the pages are incomplete (a mix of
// this run's files and the last compile's) until a compile runs to its end;
// or, when the run wrote no file of the output, that everything there stays
// as it was.
std::string FailedFilesText(const TCompileState& state, bool wroteAny) {
  const std::string outcome = GetUiText(wroteAny ? kIncompleteText : kNothingWrittenText);
  if (state.failedFiles.empty() && state.undeletedFiles.empty()) return GetUiText(kWriteFailedText) + " " + outcome;
  std::string text;
  if (!state.failedFiles.empty()) text = Format(GetUiText(kFilesNotWrittenText), FileNames(state.failedFiles)) + " ";
  if (!state.undeletedFiles.empty())
    text += Format(GetUiText(kFilesNotDeletedText), FileNames(state.undeletedFiles)) + " ";
  return text + outcome;
}

}  // namespace

TSaveAndCompile::TSaveAndCompile(TSaveAndCompileSetup& setup) : setup_(setup), state_(setup.state), host_(setup.host) {}

TSaveAndCompile::~TSaveAndCompile() = default;

TCompileResult TSaveAndCompile::Run() {
  state_.compileRunning = true;
  ScopeExit running([this] { state_.compileRunning = false; });
  if (setup_.formatCode != kFormatCodeCurrent) return {TCompileOutcome::kNotCompiled, {}};
  if (Screen != nullptr) Screen->SetCursor(crHourGlass);
  ScopeExit cursor([] {
    if (Screen != nullptr) Screen->SetCursor(crDefault);
  });
  std::unique_ptr<TRun> run;
  ScopeExit lists([this] {
    state_.importedFiles.reset();
    state_.publicVariables.reset();
    state_.statusForm = nullptr;
  });
  std::string error;
  // Held until the run's last write, its failure's included.
  std::optional<TFolderLock> lock;
  // A refusal: the run goes no further and writes nothing.
  bool refused = false;
  const auto refuse = [&refused](const std::string& why) {
    refused = true;
    throw std::runtime_error(why);
  };
  try {
    // A project that was not opened has nothing to compile; its files are
    // left to whoever holds them.
    if (!setup_.notOpened.empty()) refuse(setup_.notOpened);
    // No other run saves or compiles the project from the check below to
    // the run's last write, so that the output is of the files it checked.
    if (const std::string refusal = HoldProjectFolder(lock, ProjectFilesFolder(setup_.project, setup_.globalFolder));
        !refusal.empty())
      refuse(refusal);
    // What a killed run left goes also when this run is refused.
    RemoveStrayTemporaryFiles(setup_.project, setup_.globalFolder);
    // A project file that could not be read is not replaced by the copy.
    if (!setup_.overwriteRefusal.empty()) refuse(setup_.overwriteRefusal);
    // Nor is anything compiled from a project that another program saved
    // since the designer read it: its pages would replace that program's.
    if (const std::string changed = setup_.projectFilesChanged ? setup_.projectFilesChanged() : std::string();
        !changed.empty())
      refuse(changed);
    // Nor is the password file written beside pages with a level that an
    // earlier project left and this compile does not own.
    if (const std::string refusal = UnownedLevelPagesRefusal(LoginOutput()); !refusal.empty()) refuse(refusal);
    // A stop asked before the run began leaves everything as it was.
    TGeneratedFiles::StopWhenAsked();
    StampCompileTime();
    run = std::make_unique<TRun>(setup_);
    run->writeFailuresAtStart = FileWriteFailureCount();
    run->startTicks = host_.TickCount();
    Compile(*run);
    if (RunIsWhole(*run)) return {TCompileOutcome::kCompiled, {}, true, run->projectCopy};
    return {TCompileOutcome::kFailed, FailedFilesText(state_, run->files.WroteAny()), true};
  } catch (const std::exception& failure) {
    error = failure.what();
  } catch (...) {
    error = GetUiText(kUnknownErrorText);
  }
  try {
    // The files this run wrote are listed with the previous ones: the next
    // compile deletes them all, and none stays behind unlisted.
    if (run != nullptr && run->outputTouched) run->files.SaveUnfinishedStampList(run->stampList);
  } catch (...) {
    WriteTraceLog("Compile failed - the stamp list could not be written");
  }
  try {
    ReportFailure(run.get(), error);
  } catch (...) {
    WriteTraceLog("Compile failed - the failure could not be reported");
  }
  return {TCompileOutcome::kFailed, error, run != nullptr && run->outputTouched, {}, refused};
}

TLoginOutput TSaveAndCompile::LoginOutput() const {
  const TCompileProject& project = setup_.project;
  TLoginOutput output;
  if (project.projectDir.empty()) return output;
  output.sendRoot = project.projectDir + "SendRoot\\";
  const std::string base = CompileBaseName(project);
  if (!base.empty()) output.stampList = base + ".txt";
  output.importFolder = ImportFolderOf(project, setup_.globalFolder);
  output.web = project.web;
  return output;
}

bool TSaveAndCompile::RunIsWhole(const TRun& run) const {
  return !run.writeFailed && state_.failedFiles.empty() && state_.undeletedFiles.empty() &&
         FileWriteFailureCount() == run.writeFailuresAtStart + run.files.KeptWriteFailures();
}

// "CompileTD" in the settings file: the time of the last compile.
void TSaveAndCompile::StampCompileTime() {
  const std::string base = CompileBaseName(setup_.project);
  WriteTraceLog(base + ".webx");
  if (base.empty()) return;
  TIniFile settings(base + ".webx");
  if (const std::string failure = WriteCompileTime(settings, static_cast<int>(host_.Now())); !failure.empty())
    throw std::runtime_error(failure);
}

std::string WriteCompileTime(TIniFile& settings, int time) {
  try {
    settings.WriteInteger(kTimeStampsSection, kCompileTimeKey, time);
    return {};
  } catch (const EIniFileException& e) {
    // The build's question whether to compile reads this time: a compile
    // that could not record it does not begin.
    const std::string why = e.Reason().empty() ? GetUiText(kUnknownErrorText) : e.Reason();
    WriteFailureToldElsewhere(e.FileName());
    return Format(GetUiText(kTimeNotWrittenText), ShownPath(e.FileName()), why);
  }
}

bool SaveAwaitsCompile(const TIniFile& settings) {
  const auto compiled = static_cast<std::uint32_t>(settings.ReadInteger(kTimeStampsSection, kCompileTimeKey, 0));
  const auto saved = static_cast<std::uint32_t>(settings.ReadInteger(kTimeStampsSection, kSaveTimeKey, 0));
  return saved != 0 && saved > compiled;
}

void TSaveAndCompile::Compile(TRun& run) {
  Begin(run);
  PrepareOutput(run);
  CopyImportFolder(run);
  CompilePages(run);
  setup_.parts.WriteStaticAssets(run.context);
  WriteProjectCopy(run);
  Report(run);
  Finish(run);
}

void TSaveAndCompile::Begin(TRun& run) {
  state_.tdiMapPass = !host_.TdiMapDisabled() && host_.OpenTdiPass();
  run.baseName = CompileBaseName(setup_.project);
  if (!run.baseName.empty()) {
    run.stampList = run.baseName + ".txt";
    run.variablesDocument = run.baseName + "_var.xml";
  }
  run.hidden = state_.compileForHost;
  state_.compileForHost = false;
  // The public-variable list is written with the operator panels' files only;
  // without them no list is kept, and resolving a variable adds no line.
  const TProjectSettings* settings = setup_.project.settings;
  state_.publicVariables.reset();
  if (settings == nullptr || settings->operatorPanels) {
    state_.publicVariables = std::make_unique<TStringList>();
    state_.publicVariables->SetSorted(true);
  }
  run.variables.Begin(run.variablesDocument);
  if (!run.hidden) host_.PrepareMessages();
  host_.AcquireCompilerMessages();
  run.status = std::make_unique<TFormStatus1>(nullptr);
  run.status->pnlStatus->SetCaption(GetUiText(kCompilingText));
  run.status->Button1->SetEnabled(false);
  state_.statusForm = run.status.get();
  state_.compileErrors = 0;
  state_.failedFiles.clear();
  state_.undeletedFiles.clear();
  state_.compiledImages = 0;
  state_.compiledFiles = 0;
  WriteTraceLog("Start saving");
  if (setup_.project.shownPage != nullptr && setup_.storeShownPage) setup_.storeShownPage();
}

void TSaveAndCompile::ReportFailure(TRun* run, const std::string& error) {
  WriteTraceLog("Compile failed: " + error);
  if (state_.tdiMapPass) host_.CloseTdiPass();
  state_.tdiMapPass = false;
  // A run ended before it took the message window takes it now.
  host_.AcquireCompilerMessages();
  host_.AddCompilerMessage(kFailureText, error);
  host_.ReleaseCompilerMessages();
  if (run == nullptr || run->status == nullptr) return;
  run->status->pnlStatus->SetCaption(error);
  run->status->pnlStatus->Font()->Color = clRed;
  run->status->pnlGenerated->Font()->Color = clRed;
  CloseStatusWindow(*run);
}

// The user's own compile ends with the status window shown modally; it is
// freed in every case.
void TSaveAndCompile::CloseStatusWindow(TRun& run) {
  if (!run.hidden) {
    run.status->Hide();
    run.status->Button1->SetEnabled(true);
    run.status->ShowModal();
  }
  state_.statusForm = nullptr;
  run.status.reset();
}
