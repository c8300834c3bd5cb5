#include "generator/ProjectImages.h"

#include <cstdio>

#include "core/FileHelpers.h"
#include "core/ProjectPaths.h"
#include "core/XmlNode.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectSettings.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr const char* kLevelTest = "%i <= ACCESS/@USER_LEVEL";
constexpr const char* kUntitledMenuStyle = " border-top: 1px solid black; width: 150px;";

template <typename TVisit>
void ForEachImage(TmyXmlNode* images, TVisit visit) {
  if (images == nullptr) return;
  for (TmyXmlNode* node = images->firstChild; node != nullptr; node = node->next)
    if (visit(node)) return;
}

TmyXmlNode* AddClosed(TmyXmlNode* parent, const char* name) {
  TmyXmlNode* node = parent->AddChild(name);
  node->closed = true;
  return node;
}

// The parent for the content of a group or page: an `xsl:if` on the user's
// level under `parent` when the level is not 0, otherwise `parent` itself.
TmyXmlNode* LevelParent(TmyXmlNode* parent, const TmyXmlNode* entry) {
  const int level = entry->GetAttrInt("level", 0);
  if (level == 0) return parent;
  TmyXmlNode* test = parent->AddChild("xsl:if");
  char text[48];
  std::snprintf(text, sizeof text, kLevelTest, level);
  test->SetAttr("test", text);
  return test;
}

void AddPageLinks(TmyXmlNode* parent, const TmyXmlNode* group) {
  TmyXmlNode* pages = parent->AddChild("div");
  pages->SetAttr("class", "pages");
  for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
    if (page->name != "page" || page->GetAttr("hidden") == "true") continue;
    TmyXmlNode* target = LevelParent(pages, page);
    TmyXmlNode* link = target->AddChild("a");
    link->value = page->GetAttr("caption");
    link->SetAttr("href", page->GetAttr("name"));
    AddClosed(target, "br");
  }
}

void AddGroup(TmyXmlNode* cell, const TmyXmlNode* group, bool first) {
  TmyXmlNode* parent = LevelParent(cell, group);
  if (!first) AddClosed(parent, "br");
  const std::string caption = group->GetAttr("caption");
  if (!caption.empty()) {
    TmyXmlNode* span = parent->AddChild("span");
    span->value = caption;
    span->SetAttr("id", "group");
    AddClosed(parent, "br");
  }
  AddPageLinks(parent, group);
}

}  // namespace

TProjectImages::TProjectImages(TmyXmlNode* images, TCompileProject& project, TCompileState& state,
                               TGeneratedFiles* files)
    : images_(images), project_(project), state_(state), files_(files) {}

TmyXmlNode* TProjectImages::NextImageNode(bool first) {
  if (first)
    cursor_ = images_ != nullptr ? images_->firstChild : nullptr;
  else if (cursor_ != nullptr)
    cursor_ = cursor_->next;
  return cursor_;
}

TmyXmlNode* FindImageNode(const TmyXmlNode* images, const std::string& name) {
  if (images == nullptr || name.empty()) return nullptr;
  for (TmyXmlNode* node = images->firstChild; node != nullptr; node = node->next)
    if (!node->comment && !node->instruction && node->GetAttr("name") == name) return node;
  return nullptr;
}

TmyXmlNode* TProjectImages::FindImageNode(const std::string& name) const { return ::FindImageNode(images_, name); }

TmyXmlNode* TProjectImages::FindImageByLongName(const std::string& text) const {
  TmyXmlNode* found = nullptr;
  ForEachImage(images_, [&](TmyXmlNode* node) {
    if (node->GetAttr("longname") + "." + node->GetAttr("type") == text) found = node;
    return found != nullptr;
  });
  return found;
}

std::string TProjectImages::GetImageLongName(const std::string& name) const {
  const TmyXmlNode* node = FindImageNode(name);
  return node != nullptr ? node->GetAttr("longname") : std::string();
}

TmyXmlNode* TProjectImages::CopyProjectImage(const std::string& name, const std::string& folder) {
  TmyXmlNode* node = FindImageNode(name);
  if (node == nullptr) return nullptr;
  // Pictures of a group kept off the web server are still needed by the
  // operator panels, unless the group is kept off those too.
  const bool panels = project_.settings != nullptr && project_.settings->operatorPanels;
  if (state_.notForWww && (state_.notForId || !panels)) return node;
  const char* found = GetImagePath(name, project_.globalMode, project_.globalDir);
  if (found == nullptr) {
    state_.compileErrors |= kCompileErrorFile;
    return node;
  }
  const std::string source = found;
  const std::string destination = folder + name;
  // A picture that could not be copied is an output file not written, as the
  // pages refer to it: the run fails and the last compile's copy stays. It is
  // reported once, however many objects show it.
  if (files_ != nullptr && files_->Failed(destination)) return node;
  const bool sourceFolder = DirectoryExists(source);
  if (sourceFolder || DirectoryExists(destination)) {
    state_.compileErrors |= kCompileErrorFile;
    if (files_ != nullptr) files_->ReportFolderInPlace(source, sourceFolder ? source : destination, destination);
    return node;
  }
  if (CopyFileKeepTime(source, destination, true) != 1) {
    state_.compileErrors |= kCompileErrorFile;
    // The copy reported why (a picture file that is gone, for one).
    if (files_ != nullptr) {
      files_->ReportWriteFailure(destination);
      // The copy that stays in the output (an earlier one of this run, or the
      // previous compile's) is still this picture's, for this page too.
      if (PathExists(destination)) files_->RegisterGeneratedFile(destination, false);
    }
    return node;
  }
  if (files_ != nullptr) {
    files_->RegisterGeneratedFile(destination);
    files_->StepImageProgress();
  }
  return node;
}

std::unique_ptr<TmyXmlNode> BuildMenuCell(TmyXmlNode* web) {
  auto cell = std::make_unique<TmyXmlNode>("td");
  cell->SetAttr("id", "menu");
  if (web != nullptr && web->GetAttr("title") == "false") cell->SetAttr("style", kUntitledMenuStyle);
  bool first = true;
  for (TmyXmlNode* group = web != nullptr ? web->firstChild : nullptr; group != nullptr; group = group->next) {
    if (group->name != "group" || group->GetAttr("notforwww") == "true") continue;
    AddGroup(cell.get(), group, first);
    first = false;
  }
  AddClosed(cell.get(), "br");
  TmyXmlNode* logout = cell->AddChild("div");
  logout->SetAttr("class", "pages");
  TmyXmlNode* link = logout->AddChild("a");
  link->value = "Logout";
  link->SetAttr("href", "logout.xml");
  return cell;
}

std::unique_ptr<TStringList> CollectAttributeValues(TmyXmlNode* first, const std::string& attribute) {
  auto list = std::make_unique<TStringList>();
  for (TmyXmlNode* node = first; node != nullptr; node = node->next) list->Add(node->GetAttr(attribute));
  return list;
}

std::string StringAt(const TStringList& list, int index) {
  return index >= 0 && index < list.Count() ? list.Strings(index) : std::string();
}
