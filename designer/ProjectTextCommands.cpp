// TFormDesign1: the alarms, object list and languages dialogs, and the export and import of the texts for translation,
// one file per project language (or "Texts.txt" without languages) in the web project's folder "Language".

#include <cerrno>
#include <memory>
#include <vector>

#include "core/LanguageList.h"
#include "core/ProjectPaths.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/vcl/TreeView.h"
#include "platform/win/FileIo.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"
#include "project/FormAlarms.h"
#include "project/FormLangProperties.h"
#include "project/FormObjectList.h"
#include "project/TranslationTexts.h"

namespace {

enum TTextsUiId : int {
  kUnnamedId = 7141,
  kImportedQuestionId = 7153,
  kFilesGeneratedId = 7163,
  kReportNotWrittenId = 7412,  // The report '%s' could not be written (%s).
  kNothingLoadedId = 7415,     // No texts were imported, as no texts file could be loaded: ...
  kNothingFoundId = 7416,      // No text has been imported: no group, page or object ... was found ...
  kImportedId = 7418,          // The texts have been imported.
  kOpenReportId = 7419,        // Do you want to open report?
  kFolderNotMadeId = 7700,     // The texts files could not be written: the folder "%s" ...
};

// Each language file (name, code) in slot order; "Texts.txt" with code 0 in
// a project without languages.
std::vector<std::pair<std::string, int>> TextsFiles(const TFormDesign1& designer, const std::string& folder) {
  std::vector<std::pair<std::string, int>> files;
  if (!designer.LangMutations()) {
    files.emplace_back(folder + "Texts.txt", 0);
    return files;
  }
  for (int slot = 0; slot < kLangSlots && designer.LangCodeOfSlot(slot) != 0; ++slot)
    files.emplace_back(folder + LanguageIndexName(designer.GetLanguageListIndex(slot)) + "_Texts.txt",
                       designer.LangCodeOfSlot(slot));
  return files;
}

// The lines with CR LF between them.
std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : "\r\n") + lines[i];
  return text;
}

// The report replaces the old one whole: a failed write leaves that one, or
// none. Every line is ended by CR LF.
bool WriteReport(const std::string& path, const std::vector<std::string>& report) {
  const std::string text = Joined(report) + "\r\n";
  return WriteFileReplacing(path, text.data(), text.size());
}

// Writes the report and asks whether to open it. A report that cannot be
// written leaves the import in effect, and the warning says so; an import
// that found nothing of the project in the files is a warning too.
void TellImported(TFormDesign1& designer, bool any, const std::string& reportPath,
                  const std::vector<std::string>& report) {
  const std::string outcome = any ? GetUiText(kImportedId) : GetUiText(kNothingFoundId);
  if (!WriteReport(reportPath, report)) {
    const std::string reason = WriteFailureReason(errno);
    const std::string warning = outcome + " " + Format(GetUiText(kReportNotWrittenId), ShownPath(reportPath), reason);
    MessageBox(designer.Handle(), warning.c_str(), designer.Caption().c_str(), MB_OK | MB_ICONWARNING);
    return;
  }
  const std::string question = any ? GetUiText(kImportedQuestionId) : outcome + " " + GetUiText(kOpenReportId);
  if (MessageBox(designer.Handle(), question.c_str(), designer.Caption().c_str(),
                 MB_YESNO | (any ? MB_ICONQUESTION : MB_ICONWARNING)) != IDYES)
    return;
  if (ComPtr<IQendTextEditor> editor = designer.Host().TextEditor()) {
    HostLong unused = 0;
    editor->CloseFile(reportPath.c_str(), VARIANT_FALSE);
    editor->OpenFile(reportPath.c_str(), 0, &unused);
  }
}

}  // namespace

std::string TFormDesign1::TextsFolder() {
  return host_->ProjectLocation().hostProjectDir + kProductWord + "\\Language\\";
}

// A texts file that cannot be written (its folder takes no file, a full disk,
// a file that may not be changed) keeps what it held and is left off the list
// of generated files; the others are written all the same, and one error box
// after the list names every one that failed, with why. The list is shown
// only when it names a file: an export that wrote none generated nothing. A
// folder "Language" that cannot be made takes no file at all: the one box
// names it, and why, instead of each file.
void TFormDesign1::ExportTexts1Click(TObject*) {
  const TWriteFailureNotice notice;
  WriteTraceLog("Start saving");
  if (FCurrentPage != nullptr && FCurrentPage->name == "page") SavePage(FCurrentPage);
  std::string message = GetUiText(kFilesGeneratedId) + "\r\n";
  bool generated = false;
  std::vector<std::string> failures;
  const std::string folder = TextsFolder();
  if (!ForceDirectories(folder)) {
    const std::string reason = WriteFailureReason(errno);
    WriteTraceLog("Cannot make " + folder + " (" + reason + ")");
    const std::string error = Format(GetUiText(kFolderNotMadeId), ShownPath(ExcludeTrailingBackslash(folder)), reason);
    MessageBox(Handle(), error.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
    WriteTraceLog("End saving");
    return;
  }
  TMemoryStream stream;
  for (const auto& [fileName, code] : TextsFiles(*this, folder)) {
    stream.Clear();
    ExportTextsToStream(*this, stream, code);
    try {
      generated = SaveTextsFileConfirmed(this, fileName, message, stream) || generated;
    } catch (const EFCreateError&) {
      const std::string reason = WriteFailureReason(errno);
      WriteTraceLog("Cannot write " + fileName + " (" + reason + ")");
      failures.push_back(WriteFailureLine(fileName, reason));
    }
  }
  if (generated) MessageBox(nullptr, message.c_str(), Caption().c_str(), MB_OK | MB_TOPMOST);
  if (!failures.empty()) MessageBox(Handle(), Joined(failures).c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
  WriteTraceLog("End saving");
}

// The project is saved (as it was) only once a file is loaded, right before
// its texts change the document. With no file to load nothing is saved,
// marked or reported, and an error box tells which files were looked for.
void TFormDesign1::ImportTexts1Click(TObject*) {
  std::vector<std::string> report;
  const std::string folder = TextsFolder();
  bool loaded = false;
  int imported = 0;
  for (const auto& [fileName, code] : TextsFiles(*this, folder)) {
    TTextsFile file;
    if (!ParseTextsFile(fileName, file, report)) continue;
    // Once for the command: a save that failed (and said so) is not tried,
    // nor told, again for each further language file.
    if (!loaded) {
      SetModified();
      btnSave2Click(nullptr);
    }
    loaded = true;
    imported += ImportTexts(*this, file, code, report);
  }
  if (!loaded) {
    const std::string error = GetUiText(kNothingLoadedId) + "\r\n\r\n" + Joined(report);
    MessageBox(Handle(), error.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
    return;
  }
  // The imported texts are in the document only: the project is to be saved.
  if (imported > 0) SetModified();
  TellImported(*this, imported > 0, folder + "report.txt", report);
  tvPageListChange(tvPageList, tvPageList->Selected());
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
    const auto* element = static_cast<TmyXmlNode*>(node->Data);
    if (element == nullptr) continue;
    const std::string caption = element->GetAttr("caption");
    node->SetText(caption.empty() ? GetUiText(kUnnamedId) : caption);
  }
}

void TFormDesign1::tbAlarmClick(TObject*) {
  TmyXmlNode* root = document_->Root();
  if (root == nullptr) return;
  auto dialog = std::make_unique<TFormAlarms>(this);
  dialog->SetPageList(this);
  dialog->LoadFromXml(root->FindDeep("alarms"));
  if (ShowModalWithNotice(*dialog) != mrOk) return;
  SetModified();
  RenewAllPageUcids();
}

void TFormDesign1::tbLangClick(TObject*) {
  TmyXmlNode* web = document_->Web();
  if (web == nullptr) return;
  if (FCurrentPage != nullptr && FCurrentPage->name == "page") SavePage(FCurrentPage);
  auto dialog = std::make_unique<TFormLangProperties>(this);
  dialog->Designer = this;
  dialog->WebNode = web;
  dialog->LanguagesNode = Document().LanguagesElement();
  // The dialog keeps its size and place in a `LanguagesProp` element under `web`.
  dialog->PlacementNode = web;
  dialog->LoadFromXml();
  if (ShowModalWithNotice(*dialog) != mrOk) return;
  SetModified();
  LoadLanguages(dialog->LanguagesNode);
}

void TFormDesign1::tbObjectListClick(TObject*) {
  auto dialog = std::make_unique<TFormObjectList>(this);
  dialog->Designer = this;
  dialog->RefreshObjectList();
  ShowModalWithNotice(*dialog);
}
