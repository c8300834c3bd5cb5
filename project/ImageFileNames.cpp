#include "project/ImageFileNames.h"

#include <fstream>
#include <iterator>

#include "core/FileHelpers.h"
#include "core/XmlNode.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Paths.h"

bool SameFileContent(const std::string& a, const std::string& b) {
  std::ifstream first(ToNativePath(a), std::ios::binary);
  std::ifstream second(ToNativePath(b), std::ios::binary);
  if (!first || !second) return false;
  std::istreambuf_iterator<char> end;
  return std::equal(std::istreambuf_iterator<char>(first), end, std::istreambuf_iterator<char>(second), end);
}

void RenameImageFiles(const std::string& folder, std::vector<TImageRename>& renames, const TFileMove& move) {
  // Leave out, until nothing changes, every entry whose target is taken by a
  // file that will not move away.
  std::vector<bool> moving(renames.size(), true);
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t i = 0; i < renames.size(); ++i) {
      if (!moving[i] || !PathExists(folder + renames[i].newName)) continue;
      bool freed = false;
      for (std::size_t j = 0; j < renames.size(); ++j)
        if (moving[j] && j != i && SameText(renames[j].oldName, renames[i].newName)) freed = true;
      if (!freed) {
        moving[i] = false;
        changed = true;
      }
    }
  }
  std::vector<std::string> parked(renames.size());
  for (std::size_t i = 0; i < renames.size(); ++i) {
    TImageRename& rename = renames[i];
    const std::string from = folder + rename.oldName;
    if (!moving[i]) continue;
    if (!PathExists(from)) {
      rename.done = true;
      continue;
    }
    std::string temp;
    for (int n = 0;; ++n) {
      temp = folder + "~ren" + std::to_string(i) + "_" + std::to_string(n) + ".tmp";
      if (!PathExists(temp)) break;
    }
    if (move(from, temp))
      parked[i] = temp;
    else
      rename.failure = LastErrorReason();
  }
  for (std::size_t i = 0; i < renames.size(); ++i) {
    TImageRename& rename = renames[i];
    if (parked[i].empty()) continue;
    const std::string to = folder + rename.newName;
    if (PathExists(to)) {
      move(parked[i], folder + rename.oldName);
    } else if (move(parked[i], to)) {
      rename.done = true;
    } else {
      rename.failure = LastErrorReason();
      move(parked[i], folder + rename.oldName);
    }
  }
}

void CollectObjectImages(const TmyXmlNode* object, const TCanvasName& canvasName, TStringList& used) {
  for (const TmyXmlNode* child = object->firstChild; child != nullptr; child = child->next) {
    if (child->comment || child->instruction) continue;
    if (child->name == "picture") {
      used.Add(child->GetAttr("img"));
    } else if (child->name == "image" || child->name == "imagebtn") {
      used.Add(child->GetAttr("on"));
      used.Add(child->GetAttr("off"));
    } else if (child->name == "mulimg") {
      for (const TmyXmlNode* img = child->firstChild; img != nullptr; img = img->next)
        if (img->name == "img") used.Add(img->GetAttr("name"));
    } else if (child->name == "canvas") {
      for (const TmyXmlNode* img = child->firstChild; img != nullptr; img = img->next) {
        if (img->name != "img") continue;
        used.Add(canvasName(img->GetAttr("longname")));
      }
    } else {
      continue;
    }
    return;
  }
}
