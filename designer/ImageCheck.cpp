// TFormDesign1: the check of the project's image list when a project is
// loaded. A picture whose file is gone is brought back from the copy the
// last compile left in the output tree; one that cannot be brought back
// leaves the list (objects naming it then show no picture).

#include <string>

#include "core/FileHelpers.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/SysUtils.h"

namespace {

// The output root's pictures, as the last compile wrote them.
constexpr const char* kOutputImagesFolder = "SendRoot\\WWW\\images\\";

}  // namespace

bool TFormDesign1::CheckImages() {
  WriteTraceLog("CheckImages");
  bool dropped = false;
  TmyXmlNode* images = document_->Images();
  // Without a host project folder there is no output tree to look in.
  const std::string outputImages =
      location_.hostProjectDir.empty() ? std::string() : location_.hostProjectDir + kOutputImagesFolder;
  TmyXmlNode* next = nullptr;
  for (TmyXmlNode* image = images != nullptr ? images->firstChild : nullptr; image != nullptr; image = next) {
    next = image->next;
    if (image->name != "img") continue;
    const std::string name = image->GetAttr("name");
    // A name that is no plain file name has no file to check.
    const char* found = GetImagePath(name);
    if (found == nullptr) continue;
    const std::string path = found;
    if (FileExists(path)) continue;
    WriteTraceLog("CheckImages - '" + path + "' doesn't exist");
    const std::string copy = outputImages.empty() ? std::string() : outputImages + name;
    if (!copy.empty() && FileExists(copy)) {
      // A failed copy keeps the entry: the picture may come back later.
      if (CopyFileKeepTime(copy, path)) WriteTraceLog("CheckImages - replaced by '" + copy + "'");
      continue;
    }
    WriteTraceLog("CheckImages - not found - deleted");
    delete image;
    dropped = true;
  }
  WriteTraceLog("CheckImages - end");
  return dropped;
}
