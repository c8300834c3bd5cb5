// The steps that prepare a project for compiling: the default page, the host
// variables of the operator panels, the picture sizes, the alarm variables and
// the template pages.

#include <cstdio>

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/ProjectCompiler.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"

namespace {

constexpr int kUnknownVariableText = 7075;  // "[Tarnwell] - Unknown variable :"
constexpr int kAlarmsText = 7231;           // "Alarms"
constexpr int kFirstTemplateSlot = 1;
constexpr int kLastTemplateSlot = 9;

// The slot number of a template page's name read with the pattern; -1 when the
// pattern does not match. sscanf reads it as the pattern's number, so the text
// after the number is not checked.
int TemplateSlot(const std::string& name, const char* pattern) {
  int slot = 0;
  if (std::sscanf(name.c_str(), pattern, &slot) != 1) return -1;
  return slot;
}

bool InSlotRange(int slot) { return slot >= kFirstTemplateSlot && slot <= kLastTemplateSlot; }

}  // namespace

void EnsureDefaultPage(TmyXmlNode* web) {
  if (web == nullptr) return;
  TmyXmlNode* first = web->FindDeep("page");
  for (TmyXmlNode* page = first; page != nullptr; page = page->FindDeep("page"))
    if (page->FindAttr("default") != nullptr) return;
  if (first != nullptr) first->SetAttr("default", "true");
}

void RefreshHostVariables(TCompileContext& context, const std::vector<std::string>& structures) {
  for (const std::string& structure : structures) {
    std::vector<std::string> members;
    if (!context.host.GetMembers(structure, members)) continue;
    // Only the side effects count: the members enter the variables document
    // and the public-variable list. The host names each member as the
    // structure knows it ("keys"), so the variable is the structure's member.
    for (const std::string& member : members)
      if (!member.empty()) context.variables.ResolveWebVariable(structure + "." + member, TIdentifierFormat{});
  }
}

void UpdateImageSizes(TmyXmlNode* images, const TPictureSizeLookup& pictureSize) {
  if (images == nullptr || !pictureSize) return;
  for (TmyXmlNode* image = images->firstChild; image != nullptr; image = image->next) {
    const std::string name = image->GetAttr("name");
    int width = 0;
    int height = 0;
    if (name.empty() || !pictureSize(name, width, height)) continue;
    if (image->FindAttr("height") == nullptr || image->FindAttr("width") == nullptr) continue;
    if (image->GetAttrInt("height", 0) == height && image->GetAttrInt("width", 0) == width) continue;
    image->SetAttrIntStr("height", height);
    image->SetAttrIntStr("width", width);
  }
}

void CheckAlarmVariables(TCompileContext& context, TmyXmlNode* alarms) {
  context.alarmVariables.clear();
  if (alarms == nullptr) return;
  for (TmyXmlNode* alarm = alarms->firstChild; alarm != nullptr; alarm = alarm->next) {
    if (alarm->name != "alarm") continue;
    const std::string page = alarm->GetAttr("page");
    if (page.empty()) continue;
    const std::string variable = ExpandGlobalPlaceholders(context.project.resolver, alarm->GetAttr("var"));
    if (variable.empty()) continue;
    const std::string identifier = context.variables.ResolveWebVariable(variable, TIdentifierFormat{});
    if (!identifier.empty()) {
      context.alarmVariables.push_back({identifier, alarm});
      continue;
    }
    context.state.compileErrors |= kCompileErrorVariable;
    context.AddHostMessage(GetUiText(kUnknownVariableText),
                           variable + " - " + GetUiText(kAlarmsText) + " - " + " (" + page + ")");
  }
}

void ScanTemplatePages(TCompileContext& context) {
  context.foregroundTemplates.fill(nullptr);
  context.backgroundTemplates.fill(nullptr);
  TmyXmlNode* web = context.project.web;
  if (web == nullptr) return;
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      const std::string name = page->GetAttr("name");
      if (name.empty() || name[0] != '#') continue;
      int slot = TemplateSlot(name, "#TEMPFG%i.XML");
      if (slot >= 0) {
        if (InSlotRange(slot)) context.foregroundTemplates[static_cast<std::size_t>(slot)] = page;
        continue;
      }
      slot = TemplateSlot(name, "#TEMPBG%i.XML");
      if (InSlotRange(slot)) context.backgroundTemplates[static_cast<std::size_t>(slot)] = page;
    }
  }
}
