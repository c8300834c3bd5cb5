#pragma once
// TWebCompiler: the compile driver that the host's build runs through the
// plug-in's export, without the designer. It compiles no pages (those come
// from the save-and-compile command); it prepares the output tree around
// them: it stamps the compile time in the settings file, makes the output
// folders, writes the password file "PSW.TXT" from the project copy that the
// last save-and-compile wrote (through the same writer, so both give the
// same bytes), and copies the import folder into the output root.
//
// Of the previous compile's files only those the driver writes again (the
// import copies) are deleted first: the pages, scripts and lists of the last
// save-and-compile stay in place, but for the pages with a level that the
// project copy no longer has, which go before the password file is written
// (EarlierLogins.h).
//
// For the host's build the driver runs quiet (no window); otherwise its
// status window is shown while it runs and closed and freed at its end.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/ProjectFilePrint.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"

class IQendProjectManager;
class TComponent;
class TCompileHost;
class TFormStatus1;
class TmyXmlNode;
struct TLoginOutput;

// Told when the driver's work starts.
class TWebCompileProgress {
 public:
  virtual ~TWebCompileProgress() = default;
  // Called with kWorkStarts once the paths are known.
  virtual void Progress(int state) = 0;
  static constexpr int kWorkStarts = 1;
};

class TWebCompiler {
 public:
  // The project manager gives the project's folders and name; the compile
  // host the compiler messages (asked for here), the web variable map, the
  // central unit's code and the clock. Neither is owned. Without `quiet` the
  // status window is shown (its owner `owner`) and the progress is told.
  TWebCompiler(IQendProjectManager* manager, TCompileHost& host, TWebCompileProgress* progress, TComponent* owner,
               bool quiet);
  // Frees the documents and the window, gives the compiler messages back.
  ~TWebCompiler();
  TWebCompiler(const TWebCompiler&) = delete;
  TWebCompiler& operator=(const TWebCompiler&) = delete;

  // The steps of one run, in order; failures of single files are host
  // messages (UI texts 7074, 7077) and the run goes on. A project copy that
  // is there but cannot be read ends the run before it writes anything (the
  // settings file's stamp included), and so do data pages with a level in
  // the output that an earlier project left and the run does not own
  // (EarlierLogins.h); a settings file that cannot be written ends it too.
  // Each gives a host message with the reason (Failure()).
  // False when the run was ended or a file could not be written; no
  // exception leaves it.
  bool Compile();
  // The project copy as the build's compile wrote it just before (path and
  // content; empty: none was written). The run holds the project folder's
  // lock from before it reads the copy to its end, and one that holds
  // anything else (another run compiled or saved the project in between) is
  // not read: the run ends before it writes anything, with UI text 7651.
  void ExpectProjectCopy(TProjectFilePrint copy) { expectedCopy_ = std::move(copy); }
  // Why the last run was ended; empty when it was not.
  const std::string& Failure() const { return failure_; }
  // The last run was ended before it wrote anything, the settings file's
  // stamp included.
  bool Refused() const { return refused_ && !failure_.empty(); }

  // One line in the host's message window; nothing without its interface.
  void AddMessage(const std::string& text, const std::string& source);

  // What a run found and did, for the caller and for tests.
  const std::string& SendRoot() const { return sendRoot_; }
  const std::string& OutputRoot() const { return state_.outputRoot; }
  // A "DEFAULT.XSL" of the import folder (not copied); empty without one.
  const std::string& UserStylesheet() const { return state_.userTemplatePath; }
  // The records of the files the run wrote: the import copies by their
  // paths relative to the output root, the password file as "..\PSW.TXT".
  const TGeneratedFiles& Stamps() const { return files_; }
  bool OnlyXml() const { return onlyXml_; }
  // Whether the last run wrote the password file, and any import copy.
  bool WrotePasswordFile() const { return wrotePasswordFile_; }
  bool WroteImportedFiles() const { return wroteImportedFiles_; }
  bool StatusShown() const { return status_ != nullptr; }

 private:
  void Run();
  bool ReadSettings();
  // "CompileTD" in the settings file, unless a save awaits compilation; a
  // file that cannot take it is traced, and the run goes on.
  void StampCompileTime();
  bool LoadProject();
  bool CopyAsExpected();
  bool LostProject();
  bool OwnsLevelPages(const std::string& importFolder);
  TLoginOutput LoginOutput(const std::string& importFolder) const;
  void ShowStatus();
  void CloseStatus();
  void MakeFolder(const std::string& folder);
  void PrepareFolders();
  void PrepareImagesFolder();
  std::vector<std::string> ListImportFiles(const std::string& importFolder) const;
  void DeletePreviousFiles(const std::string& stampListPath, const std::vector<std::string>& rewritten);
  bool WritePasswordFile();
  void CopyImportFiles(const std::string& importFolder);

  IQendProjectManager* manager_;
  TCompileHost& host_;
  TWebCompileProgress* progress_;
  TComponent* owner_;
  bool quiet_;

  bool onlyXml_ = false;
  bool wrotePasswordFile_ = false;
  bool wroteImportedFiles_ = false;
  bool globalMode_ = false;
  std::string globalDir_;
  std::string projectDir_;
  std::string projectName_;
  std::string globalFolder_;
  std::string sendRoot_;
  std::string stampList_;
  std::string projectCopy_;
  std::string failure_;
  bool refused_ = false;
  TProjectFilePrint expectedCopy_;

  TCompileState state_;
  TGeneratedFiles files_;
  std::unique_ptr<TmyXmlNode> project_;
  std::unique_ptr<TFormStatus1> status_;
};
