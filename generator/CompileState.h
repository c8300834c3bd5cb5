#pragma once
// The state of one compile of the web project, shared by the save-and-compile
// command, the project and page compilers, the object writers, the
// generated-file table and the variables document. The command (or the
// compile driver of the host's build) owns it for one run.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/StringList.h"
#include "platform/win/WindowTypes.h"

class TFormStatus1;

// Bits of `compileErrors`; the status window reports them.
enum TCompileError : std::uint32_t {
  kCompileErrorVariable = 1,  // an unknown or undefined variable
  kCompileErrorFile = 2,      // a file could not be written or copied (a missing image too)
  kCompileErrorTooMany = 4,   // too many variables on a page
};

struct TCompileState {
  bool compileRunning = false;
  // For the host's build: no window is shown and no dialog waits; status
  // texts and keep-alives go to hostStatusWindow.
  bool compileForHost = false;
  HWND hostStatusWindow = nullptr;
  // The file name (without folder) of the last registered file.
  std::string hostStatusText;

  std::uint32_t compileErrors = 0;
  // The output files (system paths) that this run could not write or copy,
  // in the order they failed: a run with any of them failed.
  std::vector<std::string> failedFiles;
  // The files of the last compile that this run was to delete and could not
  // (system paths): a run with any of them failed too.
  std::vector<std::string> undeletedFiles;
  std::int32_t compiledFiles = 0;
  std::int32_t compiledImages = 0;

  // The status window of this run (not owned here); null without one.
  TFormStatus1* statusForm = nullptr;
  // True while the web variable map's pass is open.
  bool tdiMapPass = false;

  // The output root, "[project]SendRoot\WWW\" (a system path with a trailing
  // backslash); empty when the host gives no project folder.
  std::string outputRoot;
  // Files copied from the import folder, relative to the output root; null
  // when there is no import folder. Compared without regard to case.
  std::unique_ptr<TStringList> importedFiles;
  // A "DEFAULT.XSL" of the import folder, used as the page template.
  std::string userTemplatePath;

  bool anyJsonMap = false;
  bool generateXmlOnly = false;
  bool menuOff = false;
  // While the project compiler works on a group marked not-for-id /
  // not-for-www (the canvas writer raises not-for-id around its pictures).
  bool notForId = false;
  bool notForWww = false;

  // The public-variable list (sorted lines), filled while variables resolve.
  std::unique_ptr<TStringList> publicVariables;
};

class TmyXmlNode;
class TPlaceholderResolver;
class TUcidDesigner;
struct TGridGlobalWebData;
struct TProjectSettings;

// The project being compiled and the designer's context around it (borrowed
// for the run).
struct TCompileProject {
  TmyXmlNode* root = nullptr;  // the document's root "Wrapper"
  TmyXmlNode* web = nullptr;   // its `web` element
  const TProjectSettings* settings = nullptr;
  bool debugXmz = false;  // the project holds a `DebugXmz` element
  // The host project: its folder (ending with a backslash; empty when the
  // host gives none) and name; the shared web project of global mode.
  std::string projectDir;
  std::string projectName;
  bool globalMode = false;
  std::string globalDir;
  // The placeholder lists (reloaded per group and page) and their resolver.
  TGridGlobalWebData* webData = nullptr;
  const TPlaceholderResolver* resolver = nullptr;
  // The page shown in the designer (null without one or without a designer);
  // its placeholders are restored after the compile. Pages get new change
  // stamps through `ucid`.
  TmyXmlNode* shownPage = nullptr;
  TUcidDesigner* ucid = nullptr;
  // The project keeps texts per language; the editor's language code.
  bool languageTexts = false;
  int languageCode = 0;
};
