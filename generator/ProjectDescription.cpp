// The project description is built on a working copy of the project
// document, step by step in a fixed order: template pages are merged before
// the groups kept off the panels go, placeholders are expanded before the
// placeholder lists are removed, and the login data is digested last. The
// project document itself stays as it is.

#include "generator/ProjectDescription.h"

#include <array>
#include <memory>

#include "core/XmlDocument.h"
#include "generator/CompileContext.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectDescriptionSteps.h"
#include "generator/ProjectSettings.h"
#include "generator/WebVariables.h"
#include "generator/XmlUtilities.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kPageAreaInset = 20;     // the panels' page is the page area less this, both ways
constexpr int kGridStep = 8;           // one grid column or row in pixels
constexpr int kPagesPerGroup = 256;    // `numscr` = group * 256 + page
constexpr int kFirstTemplateSlot = 1;  // `usetemp` 1 to 9 names a template slot
constexpr int kLastTemplateSlot = 9;
constexpr const char* kMacFile = "Tarnwell\\mac.txt";
// The variable references of an object, resolved in this order, and the
// attribute that takes a known variable's IEC type name.
struct TReference {
  const char* attribute;
  const char* typeAttribute;  // null: the type is not kept
};
constexpr std::array<TReference, 4> kObjectReferences{{
    {"visvar", "vistype"},
    {"clickxvar", nullptr},
    {"clickyvar", nullptr},
    {"clickcol", nullptr},
}};

void DeleteElement(TmyXmlNode* node) { std::unique_ptr<TmyXmlNode> owned(node); }

bool IsTrue(const TmyXmlNode* node, const char* attribute) { return node->GetAttr(attribute) == "true"; }

// The first `group` at any depth and its following siblings that are groups.
template <typename Visit>
void ForEachGroup(TmyXmlNode* root, Visit visit) {
  TmyXmlNode* next = nullptr;
  for (TmyXmlNode* group = root->FindChild("group", {}, true); group != nullptr; group = next) {
    next = group->next;
    if (group->name == "group") visit(group);
  }
}

class TProjectDescription {
 public:
  explicit TProjectDescription(TCompileContext& context)
      : context_(context), project_(context.project), settings_(*context.project.settings) {}

  void Run() {
    const std::string xmlPath = context_.state.outputRoot + kProjectDescriptionXml;
    std::unique_ptr<TmyXmlNode> copy = WorkingCopy(xmlPath);
    if (copy == nullptr) return;
    Transform(copy.get());
    WriteFiles(copy.get(), xmlPath);
  }

 private:
  std::unique_ptr<TmyXmlNode> WorkingCopy(const std::string& xmlPath) {
    if (project_.debugXmz) {
      TmyXMLParser parser;
      parser.progress = false;
      parser.SaveToFile(project_.root, xmlPath, false);
      if (!parser.LoadFromFile(xmlPath)) return nullptr;
      return std::unique_ptr<TmyXmlNode>(parser.Parse());
    }
    auto copy = std::make_unique<TmyXmlNode>("Wrapper");
    copy->CopyFrom(project_.root);
    copy->CopyChildren(project_.root);
    return copy;
  }

  void Transform(TmyXmlNode* root) {
    ForEachGroup(root, [this](TmyXmlNode* group) { MergeTemplates(group); });
    ForEachGroup(root, [](TmyXmlNode* group) {
      if (IsTrue(group, "notforid")) DeleteElement(group);
    });
    StripUidAttrs(root);
    SetPageArea(root);
    DeleteElement(root->FindChild("Layers", {}, true));
    for (TmyXmlNode* object = root->FindDeep("object"); object != nullptr; object = object->FindDeep("object"))
      if (IsTrue(object, "visneg") && object->GetAttr("visvar").empty()) object->SetAttr("visneg", "false");
    ResolveAlarms(root);
    int groupCount = -1;
    ForEachGroup(root, [&](TmyXmlNode* group) { ResolveGroup(group, ++groupCount); });
    DeleteElement(root->FindChild("placeholders", {}, true));
    DigestUsers(root);
    DigestAutoLogins(root, ReadMacLines(MacFilePath()));
    DeleteElement(root->FindChild("vornapi", {}, true));
    StampImages(root, context_.files);
    TmyXmlNode* declaration = root->firstChild;
    if (declaration != nullptr && declaration->instruction) declaration->SetAttr("encoding", settings_.encoding);
  }

  // The pages of a group that uses template slot 1 to 9 get the background
  // template's children in front of their own and the foreground's after.
  void MergeTemplates(TmyXmlNode* group) {
    const std::int32_t slot = group->GetAttrInt("usetemp", 0);
    if (slot < kFirstTemplateSlot || slot > kLastTemplateSlot) return;
    const TmyXmlNode* background = context_.backgroundTemplates[static_cast<std::size_t>(slot)];
    const TmyXmlNode* foreground = context_.foregroundTemplates[static_cast<std::size_t>(slot)];
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      if (background != nullptr) page->CopyChildrenFirstExcept(background, "placeholders");
      if (foreground != nullptr) page->CopyChildrenExcept(foreground, "placeholders");
    }
  }

  void SetPageArea(TmyXmlNode* root) const {
    TmyXmlNode* web = root->FindChild("web", {}, true);
    if (web == nullptr) return;
    web->SetAttr("height", std::to_string(settings_.pageHeight - kPageAreaInset));
    web->SetAttr("width", std::to_string(settings_.pageWidth - kPageAreaInset));
    web->DeleteChildrenByNameDeep("lang");
  }

  void ResolveAlarms(TmyXmlNode* root) const {
    TmyXmlNode* alarms = root->FindChild("alarms", {}, true);
    if (alarms == nullptr) return;
    TmyXmlNode* next = nullptr;
    for (TmyXmlNode* alarm = alarms->firstChild; alarm != nullptr; alarm = next) {
      next = alarm->next;
      if (alarm->name != "alarm") continue;
      const std::string variable = UpperCase(ExpandGlobalPlaceholders(project_.resolver, alarm->GetAttr("var")));
      if (variable.empty() || alarm->GetAttr("page").empty())
        DeleteElement(alarm);
      else
        alarm->SetAttr("var", variable);
    }
  }

  void ResolveGroup(TmyXmlNode* group, int groupCount) {
    LoadPlaceholders(group, /*page=*/false);
    int pageCount = 0;
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      ++pageCount;
      page->AppendAttr("numscr", std::to_string(groupCount * kPagesPerGroup + pageCount));
      LoadPlaceholders(page, /*page=*/true);
      for (TmyXmlNode* object = page->firstChild; object != nullptr; object = object->next) ResolveObject(object);
    }
  }

  // The group's or page's placeholder list from its first `placeholders`
  // child, which then leaves the copy.
  void LoadPlaceholders(TmyXmlNode* node, bool page) {
    TmyXmlNode* placeholders = node->FindChild("placeholders");
    if (TGridGlobalWebData* data = project_.webData)
      (page ? data->PagePlaceHolders : data->GroupPlaceHolders).ClearAndLoad(placeholders);
    DeleteElement(placeholders);
  }

  void ResolveObject(TmyXmlNode* object) {
    for (const TReference& reference : kObjectReferences)
      ResolveReference(object, reference.attribute, reference.typeAttribute);
    CorrectPosition(object, "X", "xoff");
    CorrectPosition(object, "Y", "yoff");
    object->DeleteAttr("layer");
    if (TmyXmlNode* kind = object->firstChild) {
      ResolveReference(kind, "variable", "type");
      ResolveReference(kind, "datavariable", nullptr);
    }
  }

  // Expands, trims and upper-cases the reference; an unknown variable empties
  // it, a known one writes its IEC type name to `typeAttribute` when given.
  void ResolveReference(TmyXmlNode* node, const char* attribute, const char* typeAttribute) {
    if (node->FindAttr(attribute) == nullptr) return;
    const std::string name = UpperCase(Trim(ExpandPlaceholders(project_.resolver, node->GetAttr(attribute))));
    node->SetAttr(attribute, name);
    if (name.empty()) return;
    TPinVariable info;
    if (context_.variables.ResolveWebVariable(name, TIdentifierFormat{}, &info).empty()) {
      node->SetAttr(attribute, "");
      return;
    }
    if (typeAttribute != nullptr) node->SetAttr(typeAttribute, info.typeName);
  }

  // A position left of (or above) the first grid cell moves to its start.
  static void CorrectPosition(TmyXmlNode* object, const char* cell, const char* offset) {
    const std::int64_t pixels =
        (static_cast<std::int64_t>(object->GetAttrInt(cell, 0)) - 1) * kGridStep + object->GetAttrInt(offset, 0);
    if (pixels >= 0) return;
    object->SetAttr(cell, "1");
    object->SetAttr(offset, "0");
  }

  std::string MacFilePath() const { return project_.projectDir.empty() ? "" : project_.projectDir + kMacFile; }

  void WriteFiles(TmyXmlNode* copy, const std::string& xmlPath) {
    const bool utf8 = settings_.codePage == kCodePageUtf8;
    TmyXMLParser writer;
    writer.progress = false;
    writer.codePage = settings_.codePage;
    const bool xmlWritten = writer.SaveToFileCrcTag(copy, xmlPath, utf8, utf8) != 0;
    const std::string xmzPath = context_.state.outputRoot + kProjectDescriptionXmz;
    std::string zipped;
    if (xmlWritten && GzipFile(xmlPath, zipped) && context_.files.WriteGeneratedFile(xmzPath, zipped)) {
      context_.files.StepCompileProgress();
    } else {
      context_.files.ReportWriteFailure(xmzPath);
    }
    if (project_.debugXmz) return;
    DeleteFile(xmlPath);
  }

  TCompileContext& context_;
  TCompileProject& project_;
  const TProjectSettings& settings_;
};

}  // namespace

void WriteProjectDescription(TCompileContext& context) {
  if (context.state.outputRoot.empty() || context.project.root == nullptr || context.project.settings == nullptr)
    return;
  TProjectDescription(context).Run();
}
