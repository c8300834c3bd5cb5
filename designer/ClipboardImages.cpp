#include "designer/ClipboardImages.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "core/Base64.h"
#include "core/FileHelpers.h"
#include "core/NameHelpers.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/ReferenceRenames.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kNotPlainNameTextId = 7394;  // "%s": not a plain 8.3 file name
constexpr int kNoFreeNameTextId = 7395;    // "%s": a different image has this name and no free name follows it
constexpr std::size_t kMaxStem = 8;
constexpr std::size_t kMaxExtension = 3;
constexpr std::string_view kForbiddenInName = "\\/:*?\"<>|;[]";

// Which attribute of a clipboard `img` identifies it.
enum class TImageKey { Name, LongName };

// How the kind element of an object refers to pictures, by its first letter.
struct TKindReferences {
  char letter;
  TImageKey key;
  // Attributes of the kind element, or (when null) the attribute of each of
  // its `img` children.
  const char* attributes[2];
  const char* childAttribute;
};

constexpr TKindReferences kKindReferences[] = {
    {'c', TImageKey::LongName, {nullptr, nullptr}, "longname"},  // canvas, camera
    {'i', TImageKey::Name, {"on", "off"}, nullptr},              // image, imagebtn, iframe
    {'m', TImageKey::Name, {nullptr, nullptr}, "name"},          // mulimg
    {'p', TImageKey::Name, {"img", nullptr}, nullptr},           // picture, postfile
};

struct TCollected {
  TmyXmlNode* img;
  TImageKey key;
};

const char* KeyAttribute(TImageKey key) { return key == TImageKey::Name ? "name" : "longname"; }

void AddReference(TmyXmlNode* images, std::vector<TCollected>& collected, TImageKey key, const std::string& value) {
  if (value.empty()) return;
  for (const TCollected& c : collected)
    if (c.key == key && c.img->GetAttr(KeyAttribute(key)) == value) return;
  TmyXmlNode* img = images->AddChild("img");
  img->SetAttr(KeyAttribute(key), value);
  collected.push_back({img, key});
}

void CollectKindElement(TmyXmlNode* kind, TmyXmlNode* images, std::vector<TCollected>& collected) {
  if (kind->name.empty() || kind->comment || kind->instruction) return;
  for (const TKindReferences& rule : kKindReferences) {
    if (kind->name[0] != rule.letter) continue;
    for (const char* attribute : rule.attributes)
      if (attribute != nullptr) AddReference(images, collected, rule.key, kind->GetAttr(attribute));
    if (rule.childAttribute == nullptr) continue;
    for (TmyXmlNode* child = kind->firstChild; child != nullptr; child = child->next)
      if (child->name == "img") AddReference(images, collected, rule.key, child->GetAttr(rule.childAttribute));
  }
}

TmyXmlNode* FindListedByName(TmyXmlNode* list, const std::string& name) {
  if (list == nullptr) return nullptr;
  for (TmyXmlNode* img = list->firstChild; img != nullptr; img = img->next)
    if (img->name == "img" && img->GetAttr("name") == name) return img;
  return nullptr;
}

TmyXmlNode* FindListedByLongName(TmyXmlNode* list, const std::string& longName) {
  if (list == nullptr) return nullptr;
  for (TmyXmlNode* img = list->firstChild; img != nullptr; img = img->next)
    if (img->name == "img" && img->GetAttr("longname") + "." + img->GetAttr("type") == longName) return img;
  return nullptr;
}

bool ListedIgnoringCase(TmyXmlNode* list, const std::string& name) {
  if (list == nullptr) return false;
  for (TmyXmlNode* img = list->firstChild; img != nullptr; img = img->next)
    if (img->name == "img" && SameText(img->GetAttr("name"), name)) return true;
  return false;
}

// Completes one collected `img` from the project's list; false when the list
// does not know it.
bool CompleteFromList(const TCollected& c, TmyXmlNode* list) {
  if (c.key == TImageKey::Name) {
    TmyXmlNode* listed = FindListedByName(list, c.img->GetAttr("name"));
    if (listed == nullptr) return false;
    for (const char* attribute : {"type", "height", "width", "longname"})
      c.img->SetAttr(attribute, listed->GetAttr(attribute));
    return true;
  }
  TmyXmlNode* listed = FindListedByLongName(list, c.img->GetAttr("longname"));
  if (listed == nullptr) return false;
  for (const char* attribute : {"name", "type", "height", "width"})
    c.img->SetAttr(attribute, listed->GetAttr(attribute));
  c.img->SetAttr("longname", listed->GetAttr("longname"));
  return true;
}

void AttachFile(TmyXmlNode* img, const TClipboardImageProject& project) {
  const std::string path = project.imagePath ? project.imagePath(img->GetAttr("name")) : std::string();
  if (path.empty()) return;
  std::uint32_t crc = 0;
  std::optional<std::string> data = FileToBase64(path, crc);
  if (!data) return;
  img->SetAttrIntStr("crc", static_cast<std::int32_t>(crc));
  img->value = std::move(*data);
}

// The `crc` of a clipboard `img` as the unsigned CRC-32 (it is written as a
// signed number); 0 when absent or not a number.
std::uint32_t ClipboardCrc(const TmyXmlNode* img) { return static_cast<std::uint32_t>(img->GetAttrInt("crc", 0)); }

std::string PathOf(const TClipboardImageProject& project, const std::string& name) {
  return project.imagePath ? project.imagePath(name) : std::string();
}

enum class TNameSearch { Free, Identical, Exhausted };

// Advances `name` until it is free (neither listed, in any letter case, nor a
// file of the folder) or names a listed image with the same CRC-32.
TNameSearch FindImportName(std::string& name, std::uint32_t crc, const TClipboardImageProject& project) {
  for (;;) {
    const std::string path = PathOf(project, name);
    const bool onDisk = !path.empty() && PathExists(path);
    if (!ListedIgnoringCase(project.images, name) && !onDisk) return TNameSearch::Free;
    if (FindListedByName(project.images, name) != nullptr && FileCrc32(path) == crc) return TNameSearch::Identical;
    if (!IncrementNameCounter(name)) return TNameSearch::Exhausted;
  }
}

void ImportOne(TmyXmlNode* top, TmyXmlNode* img, const TClipboardImageProject& project, TClipboardImageReport& report) {
  const std::string name = img->GetAttr("name");
  if (!IsPlainImageName(name)) {
    report.skipped.push_back(Format(GetUiText(kNotPlainNameTextId), name));
    return;
  }
  std::string target = name;
  const TNameSearch found = FindImportName(target, ClipboardCrc(img), project);
  if (found == TNameSearch::Exhausted) {
    report.skipped.push_back(Format(GetUiText(kNoFreeNameTextId), name));
    return;
  }
  if (target != name) {
    RenameImageReferencesAfter(top, name, target);
    report.renamed.push_back("\"" + name + "\" -> \"" + target + "\"");
  }
  if (found == TNameSearch::Identical) return;
  img->SetAttr("name", target);
  AddClipboardImage(PathOf(project, target), img, project.images);
}

}  // namespace

bool IsPlainImageName(const std::string& name) {
  const std::size_t dot = name.find('.');
  const std::size_t stem = dot == std::string::npos ? name.size() : dot;
  if (stem == 0 || stem > kMaxStem) return false;
  if (dot != std::string::npos) {
    const std::size_t extension = name.size() - dot - 1;
    if (extension == 0 || extension > kMaxExtension || name.find('.', dot + 1) != std::string::npos) return false;
  }
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x21 || u > 0x7E || kForbiddenInName.find(c) != std::string_view::npos) return false;
  }
  return true;
}

void CollectClipboardImages(TmyXmlNode* clipboard, TmyXmlNode* images, const TClipboardImageProject& project) {
  if (clipboard == nullptr || images == nullptr) return;
  std::vector<TCollected> collected;
  for (TmyXmlNode* page = clipboard->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
    AddReference(images, collected, TImageKey::Name, page->GetAttr("background"));
  for (TmyXmlNode* object = clipboard->FindDeep("object"); object != nullptr; object = object->FindDeep("object"))
    for (TmyXmlNode* kind = object->firstChild; kind != nullptr; kind = kind->next)
      CollectKindElement(kind, images, collected);
  for (const TCollected& c : collected) {
    if (!CompleteFromList(c, project.images) ||
        (c.img->GetAttr("name").empty() && c.img->GetAttr("longname").empty())) {
      delete c.img;
      continue;
    }
    AttachFile(c.img, project);
  }
}

TClipboardImageReport ImportClipboardImages(TmyXmlNode* top, const std::string& projectDir,
                                            const TClipboardImageProject& project) {
  TClipboardImageReport report;
  if (top == nullptr || top->GetAttr("src") == projectDir) return report;
  TmyXmlNode* images = top->FindDeep("images");
  if (images == nullptr) return report;
  if (project.ensureImageFolder) project.ensureImageFolder();
  for (TmyXmlNode* img = images->firstChild; img != nullptr; img = img->next)
    if (img->name == "img" && !img->GetAttr("name").empty()) ImportOne(top, img, project, report);
  return report;
}

void AddClipboardImage(const std::string& path, TmyXmlNode* img, TmyXmlNode* projectImages) {
  if (img == nullptr) return;
  if (!path.empty()) Base64ToFile(path, img->value);
  if (projectImages == nullptr) return;
  // A list read as an empty element is written with its new children.
  projectImages->closed = false;
  TmyXmlNode* listed = projectImages->AddChild("img");
  listed->closed = true;
  for (const char* attribute : {"name", "type", "height", "width", "longname"})
    listed->AppendAttr(attribute, img->GetAttr(attribute));
}
