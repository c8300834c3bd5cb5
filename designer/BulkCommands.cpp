// TFormDesign1: the commands that change many things at once: part of the
// selected objects' variable names replaced, an index of their references
// numbered, and every page of the project renamed by a template.

#include <memory>
#include <string>
#include <vector>

#include "core/TraceLog.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/ObjectConversions.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/SysUtils.h"
#include "project/FormRenamePages1.h"
#include "project/FormVarNameReplace.h"
#include "project/FromAutoArray.h"

namespace {

constexpr const char* kPageExtension = ".XML";
constexpr const char* kTemporaryStem = "temporary";

// The part of a page's file name before its first '.'; empty without one.
std::string PageStem(const std::string& name) {
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

// The pages the renaming works on: the page is named stem + ".XML" (the
// extension in any letter case, as the add-page command writes ".xml").
bool IsRenamable(const TmyXmlNode* page, const std::string& stem) {
  const std::string name = page->GetAttr("name");
  return !stem.empty() && name.size() > stem.size() && name.compare(0, stem.size(), stem) == 0 &&
         SameText(name.substr(stem.size()), kPageExtension);
}

bool NameInUse(const std::vector<TmyXmlNode*>& pages, const std::string& name) {
  for (const TmyXmlNode* page : pages)
    if (SameText(page->GetAttr("name"), name)) return true;
  return false;
}

std::vector<TmyXmlNode*> ProjectPages(TmyXmlNode* web) {
  std::vector<TmyXmlNode*> pages;
  if (web == nullptr) return pages;
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next)
      if (page->name == "page") pages.push_back(page);
  }
  return pages;
}

}  // namespace

void TFormDesign1::VarNameReplace1Click(TObject*) {
  auto dialog = std::make_unique<TFormVarNameReplace>(this);
  for (TGridWebElement* object : SelectedPageObjects(*sbDesign1)) dialog->AddObject(object);
  dialog->Designer = this;
  ShowModalWithNotice(*dialog);
  sbDesign1->Repaint();
}

void TFormDesign1::AutoIndexArray1Click(TObject*) {
  auto dialog = std::make_unique<TFromAutoArray>(this);
  for (TGridWebElement* object : SelectedPageObjects(*sbDesign1)) dialog->AddObject(object);
  dialog->Designer = this;
  ShowModalWithNotice(*dialog);
  sbDesign1->Repaint();
}

void TFormDesign1::RenameAllPages1Click(TObject*) {
  const std::vector<TmyXmlNode*> pages = ProjectPages(document_->Web());
  auto dialog = std::make_unique<TFormRenamePages1>(this);
  for (const TmyXmlNode* page : pages) dialog->AddRow(PageStem(page->GetAttr("name")));
  dialog->ApplyTemplate();
  if (ShowModalWithNotice(*dialog) == mrOk) {
    // The shown page's edits go into the document before it is reloaded.
    const bool pageShown = FCurrentPage != nullptr && FCurrentPage->name == "page";
    if (pageShown) SavePage(FCurrentPage);
    RenamePages(pages, dialog->OldNames(), dialog->NewNames());
    SetModified();
    ClearDesignElements();
    // The undo steps hold the page's links under the old names.
    ResetUndo();
    if (pageShown) ShowCurrentPage();
  }
  dialog.reset();
  RefreshTreeTexts();
}

void TFormDesign1::RenamePages(const std::vector<TmyXmlNode*>& pages, std::vector<std::string> oldStems,
                               const std::vector<std::string>& newStems) {
  const std::size_t rows = std::min({pages.size(), oldStems.size(), newStems.size()});
  std::vector<bool> renamable(rows);
  for (std::size_t i = 0; i < rows; ++i) renamable[i] = IsRenamable(pages[i], oldStems[i]);
  auto rename = [this](TmyXmlNode* page, const std::string& newName) {
    const std::string oldName = page->GetAttr("name");
    WriteTraceLog("RenamePages - " + oldName + " -> " + newName);
    page->SetAttr("name", newName);
    RenamePageReferences(oldName, newName);
  };
  for (std::size_t i = 0; i < rows; ++i) {
    for (std::size_t j = 0; j < rows; ++j) {
      if (!renamable[j] || !SameText(oldStems[j], newStems[i])) continue;
      // The name is still another row's (or this row's own): that page goes
      // out of the way under a name no page has.
      std::string temporary = kTemporaryStem + std::to_string(i);
      for (int n = 1; NameInUse(pages, temporary + kPageExtension); ++n)
        temporary = kTemporaryStem + std::to_string(i) + "_" + std::to_string(n);
      rename(pages[j], temporary + kPageExtension);
      oldStems[j] = temporary;
      break;
    }
    if (!renamable[i]) continue;
    rename(pages[i], newStems[i] + kPageExtension);
    oldStems[i] = newStems[i];
  }
}
