#include "generator/ImportFolder.h"

#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "platform/vcl/FindFile.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Folders.h"

namespace {

constexpr const char* kUserTemplateName = "DEFAULT.XSL";

// One file of the import folder, by its path relative to the folders.
void ImportFile(const std::string& baseFolder, const std::string& relativeName, TCompileState& state,
                TGeneratedFiles& files) {
  if (state.importedFiles != nullptr) state.importedFiles->Add(relativeName);
  const std::string source = baseFolder + relativeName;
  if (SameText(ExtractFileName(relativeName), kUserTemplateName)) {
    state.userTemplatePath = source;
    return;
  }
  const std::string target = state.outputRoot + relativeName;
  if (!CopyFileKeepTime(source, target)) {
    files.ReportWriteFailure(target);
    return;
  }
  files.RegisterGeneratedFile(target);
}

}  // namespace

void CopyFolderToOutput(const std::string& baseFolder, const std::string& relativeFolder, TCompileState& state,
                        TGeneratedFiles& files) {
  // Without an output root nothing is copied: no path relative to the
  // working folder is ever made.
  if (state.outputRoot.empty()) return;
  TSearchRec entry;
  if (FindFirst(baseFolder + relativeFolder + "*.*", faAnyFile, entry) != 0) return;
  ScopeExit closeListing([&] { FindClose(entry); });
  do {
    // Hidden entries of version control and the folder's own "." and "..".
    if (entry.Name.empty() || entry.Name[0] == '.') continue;
    const std::string relativeName = relativeFolder + entry.Name;
    if ((entry.Attr & faDirectory) != 0) {
      ForceDirectories(state.outputRoot + relativeName);
      CopyFolderToOutput(baseFolder, relativeName + "\\", state, files);
    } else {
      ImportFile(baseFolder, relativeName, state, files);
    }
  } while (FindNext(entry) == 0);
}
