#pragma once
// The save-and-compile command: the open web project into the tree of web
// files under "[project]SendRoot\WWW\". It stamps the compile time, opens the
// host's web variable map pass, deletes the previous output, writes the
// password file, copies the import folder, prepares the page template and the
// template data page, runs the project compiler, writes the static assets,
// writes the project copy (with the change stamps the compile renewed),
// reports in the status window, closes the pass, writes the variables
// document and the stamp list, and gives unchanged files their previous times
// back.
//
// An exception in any of those steps ends the run: the pass is closed, the
// error goes to the host's message window and to the status window's status
// text, the status window is freed, and the result says the run failed. A
// file of the output that could not be written is reported where it happens
// and also makes the result a failure once the run has ended. No exception
// leaves Run.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ProjectFilePrint.h"
#include "generator/CompileContext.h"
#include "generator/ProjectCompiler.h"
#include "platform/win/FileLock.h"

class TComponent;
class TFormStatus1;
class TIniFile;
class TmyXmlNode;
struct TLoginOutput;

// The steps of a compile that the command hands to other parts of the
// generator: the page compiler, the copy of the import folder and the static
// assets.
class TCompileParts {
 public:
  virtual ~TCompileParts() = default;
  // The page compiler for this run's context.
  virtual TPageCompileStep& Pages(TCompileContext& context) = 0;
  // Copies the import folder (a system path ending in a backslash) into the
  // output root: every copy is registered and its path relative to the root
  // added to state.importedFiles; a "DEFAULT.XSL" becomes
  // state.userTemplatePath instead of being copied.
  virtual void CopyImportFolder(TCompileContext& context, const std::string& importFolder) = 0;
  virtual void WriteStaticAssets(TCompileContext& context) = 0;
};

// What the designer gives the command for one run.
struct TSaveAndCompileSetup {
  TCompileProject& project;
  // The designer's compile state (compileRunning, compileForHost and the
  // host window, generateXmlOnly, menuOff; the rest is the run's).
  TCompileState& state;
  TCompileHost& host;
  TCompileParts& parts;
  // The project's format code: only kFormatCodeCurrent is compiled.
  int formatCode = 0;
  // The host's global folder (ending with a backslash), for global mode.
  std::string globalFolder;
  // Stores the shown page into the project document (none: nothing shown).
  std::function<void()> storeShownPage;
  // The operator panels' variable structures and the loaded pictures' sizes
  // (see TProjectCompileInputs).
  std::vector<std::string> panelStructures;
  TPictureSizeLookup pictureSize;
  // Why the project files may not be written (the project file could not be
  // read when it was opened); when set the run writes nothing and fails.
  std::string overwriteRefusal{};
  // Why the designer holds no project (its opening was refused or gave up):
  // when set the run fails with it and touches nothing at all, not even what
  // a killed run left, since another run may be working on those files.
  std::string notOpened{};
  // Writes the project copy's text to its file in place of a plain write,
  // where that file is more than a copy (the project file itself, with its
  // backups); answers why it was not written, the words after the file's
  // name, empty when it was. None: a plain write.
  std::function<std::string(const std::string& copy, const std::string& text)> writeProjectCopy{};
  // Why the project files no longer hold what the designer read or last
  // wrote of them (another program saved them since), as the user is told;
  // empty when they still do. Asked under the project folder's lock before
  // the run writes anything. None: not asked.
  std::function<std::string()> projectFilesChanged{};
};

enum class TCompileOutcome {
  kCompiled,     // the run went to its end (errors of the project are in compileErrors)
  kNotCompiled,  // a project of a newer format: nothing was done
  kFailed,       // the run was refused, an error ended it or a file could not be written; `error` says what
};

struct TCompileResult {
  TCompileOutcome outcome = TCompileOutcome::kNotCompiled;
  std::string error;
  // The run reached the output tree: a failed run may have left it
  // incomplete (`error` says so), not as the last compile wrote it.
  bool outputTouched = false;
  // The project copy the run wrote (its path and content), for the build's
  // driver, which reads it next; empty when none was written.
  TProjectFilePrint projectCopy{};
  // The run was refused before it wrote anything (see Run), the compile time
  // included: the run as a whole writes nothing more, its settings file
  // neither.
  bool refused = false;
};

class TSaveAndCompile {
 public:
  explicit TSaveAndCompile(TSaveAndCompileSetup& setup);
  ~TSaveAndCompile();
  TSaveAndCompile(const TSaveAndCompile&) = delete;
  TSaveAndCompile& operator=(const TSaveAndCompile&) = delete;

  // One run of the command; compileRunning is set for its whole length. It
  // holds the project folder's lock (HoldProjectFolder) from before its
  // first check to after its last write, so that no other run saves or
  // compiles the project in between. A run that is refused (a project not
  // opened, the lock not had, the setup's overwrite refusal, project files
  // that another program changed since the designer read them, or data
  // pages with a level in the output that an earlier project left and this
  // run does not own, EarlierLogins.h) writes nothing and fails with the
  // reason.
  TCompileResult Run();

 private:
  struct TRun;

  void StampCompileTime();
  // The output the run writes the password file into, with what it owns.
  TLoginOutput LoginOutput() const;
  // True when every file and folder of the run was written.
  bool RunIsWhole(const TRun& run) const;
  void Compile(TRun& run);
  void Begin(TRun& run);
  void PrepareOutput(TRun& run);
  void CopyImportFolder(TRun& run);
  void CompilePages(TRun& run);
  void WriteProjectCopy(TRun& run);
  void Report(TRun& run);
  void Finish(TRun& run);
  void ReportFailure(TRun* run, const std::string& error);
  void CloseStatusWindow(TRun& run);

  TSaveAndCompileSetup& setup_;
  TCompileState& state_;
  TCompileHost& host_;
};

// "[dir]Tarnwell\[name]": the start of the settings file's, the stamp list's,
// the variables document's and the project copy's paths; empty without a
// project folder or name.
std::string CompileBaseName(const TCompileProject& project);
// Writes the time of a compile ("CompileTD" under "TimeStamps") into the
// settings file, before the compile writes anything. Empty when written;
// else the text that ends the compile: the file, why, and what to do. The
// command's notice of settings files not written (core/WriteFailureNotice.h)
// leaves the file out: that text tells it.
std::string WriteCompileTime(TIniFile& settings, int time);
// True when the pages were saved after their last compile: "SaveTD" (under
// "TimeStamps") not 0 and later than "CompileTD", compared as unsigned 32-bit
// numbers. The host's build then asks whether to compile them.
bool SaveAwaitsCompile(const TIniFile& settings);
// "[dir]Tarnwell\Import\", or in global mode "[global folder][GlobalDir]\Import\".
std::string ImportFolderOf(const TCompileProject& project, const std::string& globalFolder);
// Finishes or undoes a project save that a kill stopped (RecoverProjectSave,
// as the next load of the project does; in global mode in the shared folder
// "[global folder][GlobalDir]\"), and deletes the temporary files of this
// program's writers that an earlier run left (it was killed before it renamed
// them, IsOwnTemporaryFileName): in the whole output tree "[dir]SendRoot\",
// and in the web project's folder "[dir]Tarnwell\" with its "pages" and
// "Images" folders. Every compile and every run of the build's driver start
// with it, also one that is then refused, so that none is ever kept, counted
// or shipped.
void RemoveStrayTemporaryFiles(const TCompileProject& project, const std::string& globalFolder);
// The sweep of RemoveStrayTemporaryFiles without the recovery, in the host
// project's folder `projectDir` (ending with a backslash): the opening of the
// project runs it after its own recovery.
void RemoveLeftTemporaryFiles(const std::string& projectDir);
// The folder of the web project's files ("[dir]Tarnwell\", in global mode
// the shared folder), ending with a backslash; empty without a project
// folder.
std::string ProjectFilesFolder(const TCompileProject& project, const std::string& globalFolder);
// Takes the lock of the project files' folder `folder` (ProjectLockFile)
// into `lock`, for a run that reads the project's files and writes what
// follows from them: saves of other runs wait until it is given back.
// Answers why the run may not go on (another run held the lock for the
// whole wait, or the lock file cannot be used, as a save is told); empty
// when it holds the lock, or when the folder does not exist (no project
// file to keep).
std::string HoldProjectFolder(std::optional<TFolderLock>& lock, const std::string& folder);
// The folders below "[dir]SendRoot\WWW\" that the import copy of the import
// folder `importFolder` makes (relative to it, each ending with a backslash,
// a parent before its children): with the password file all that the
// build's driver writes into.
std::vector<std::string> ImportSubfolders(const std::string& importFolder);
// The folders below "[dir]SendRoot\WWW\" that a compile of the pages of the
// project file `root` writes into (as ImportSubfolders gives them): the
// pictures' "IMAGES\", "NOTIFY\" for a notification page, "JS\" and "JSN\"
// for a page with a JSON map, and the import copy's.
std::vector<std::string> OutputSubfolders(TmyXmlNode* root, const std::string& importFolder);
// Why no file can be written into a folder the compile writes into:
// "[dir]SendRoot", its "WWW" or one of `subfolders` below "WWW" (as
// OutputSubfolders or ImportSubfolders give them) is there but is no folder
// (a file, or a link to nothing): UI text 7470 for the first. Empty when
// nothing stands in the way (a folder that is missing is made).
std::string OutputFolderObstacle(const std::string& projectDir, const std::vector<std::string>& subfolders = {});
// The status text of the error bits: too many variables before a file error
// before an unknown variable; none: "Without errors".
std::string CompileStatusText(std::uint32_t compileErrors);
// The compile time as the host message gives it: minutes, ":" and the
// remaining seconds with three decimals (65250 ms gives "1:5.250").
std::string CompileTimeText(std::uint64_t elapsedMs);
