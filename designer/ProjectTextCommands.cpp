// TFormDesign1: the alarms, object list and languages dialogs, and the export and import of the texts for translation,
// one file per project language (or "Texts.txt" without languages) in the web project's folder "Language".

#include <fstream>
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
  kReportNotWrittenId = 7412,  // The report '%s' could not be written.
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

bool WriteReport(const std::string& path, const std::vector<std::string>& report) {
  std::ofstream out(ToNativePath(path), std::ios::binary | std::ios::trunc);
  for (const std::string& line : report) out << line << "\r\n";
  return static_cast<bool>(out.flush());
}

}  // namespace

std::string TFormDesign1::TextsFolder() {
  return host_->ProjectLocation().hostProjectDir + kProductWord + "\\Language\\";
}

// A texts file that cannot be written (its folder takes no file, a full disk,
// a file that may not be changed) keeps what it held and is left off the list
// of generated files; the others are written all the same, and the notice
// names every one that failed in one box once the command ends. What the user
// changed before stays in the project, for its next save.
void TFormDesign1::ExportTexts1Click(TObject*) {
  const TWriteFailureNotice notice;
  WriteTraceLog("Start saving");
  if (FCurrentPage != nullptr && FCurrentPage->name == "page") SavePage(FCurrentPage);
  std::string message = GetUiText(kFilesGeneratedId) + "\r\n";
  const std::string folder = TextsFolder();
  ForceDirectories(folder);
  TMemoryStream stream;
  for (const auto& [fileName, code] : TextsFiles(*this, folder)) {
    stream.Clear();
    ExportTextsToStream(*this, stream, code);
    try {
      SaveTextsFileConfirmed(this, fileName, message, stream);
    } catch (const EFCreateError&) {
      NoteWriteFailure(fileName);
    }
  }
  MessageBox(nullptr, message.c_str(), Caption().c_str(), MB_OK | MB_TOPMOST);
  WriteTraceLog("End saving");
}

void TFormDesign1::ImportTexts1Click(TObject*) {
  SetModified();  // the save before the first file's import writes the project as it was
  std::vector<std::string> report;
  const std::string folder = TextsFolder();
  bool saved = false;
  for (const auto& [fileName, code] : TextsFiles(*this, folder)) {
    TTextsFile file;
    if (!ParseTextsFile(fileName, file, report)) continue;
    // Once for the command: a save that failed (and said so) is not tried,
    // nor told, again for each further language file.
    if (!saved) btnSave2Click(nullptr);
    saved = true;
    ImportTexts(*this, file, code, report);
  }
  // The imported texts are in the document only: the project is to be saved.
  SetModified();
  const std::string reportPath = folder + "report.txt";
  if (!WriteReport(reportPath, report)) {
    const std::string error = Format(GetUiText(kReportNotWrittenId), ShownPath(reportPath));
    MessageBox(Handle(), error.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
    return;
  }
  const std::string question = GetUiText(kImportedQuestionId);
  if (MessageBox(Handle(), question.c_str(), Caption().c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) {
    if (ComPtr<IQendTextEditor> editor = host_->TextEditor()) {
      HostLong unused = 0;
      editor->CloseFile(reportPath.c_str(), VARIANT_FALSE);
      editor->OpenFile(reportPath.c_str(), 0, &unused);
    }
  }
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
