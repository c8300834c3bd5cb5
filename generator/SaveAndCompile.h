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
#include <string>
#include <vector>

#include "generator/CompileContext.h"
#include "generator/ProjectCompiler.h"

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
};

class TSaveAndCompile {
 public:
  explicit TSaveAndCompile(TSaveAndCompileSetup& setup);
  ~TSaveAndCompile();
  TSaveAndCompile(const TSaveAndCompile&) = delete;
  TSaveAndCompile& operator=(const TSaveAndCompile&) = delete;

  // One run of the command; compileRunning is set for its whole length. A
  // run that is refused (a project not opened, the setup's overwrite
  // refusal, or data pages with a level in the output that an earlier
  // project left and this run does not own, EarlierLogins.h) writes nothing
  // and fails with the reason.
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
  void WriteProjectCopy(const TRun& run);
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
