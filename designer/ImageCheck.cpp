// TFormDesign1: the check of the project's image list when a project is
// loaded. A picture whose file is gone is brought back from the copy the
// last compile left in the output tree. One that cannot be brought back stays
// in the list, so that no save or compile drops it from the project for good,
// and the user is told which: objects naming it show no picture, and a
// compile whose pages use it fails, until its file is back.

#include <string>
#include <vector>

#include "core/FileHelpers.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"

namespace {

// The output root's pictures, as the last compile wrote them.
constexpr const char* kOutputImagesFolder = "SendRoot\\WWW\\IMAGES\\";
constexpr int kWarningCaptionId = 2038;
// These pictures of the project's image list are missing from its image folder ...
constexpr int kMissingPicturesTextId = 7480;
constexpr int kMorePicturesTextId = 7481;  // and %d more
// The pictures the message names; the trace log names every one.
constexpr std::size_t kNamedPictures = 10;

void TellMissingPictures(const std::string& folder, const std::vector<std::string>& missing) {
  std::string names;
  for (std::size_t i = 0; i < missing.size() && i < kNamedPictures; ++i) names += (i > 0 ? ", " : "") + missing[i];
  if (missing.size() > kNamedPictures)
    names += " " + Format(GetUiText(kMorePicturesTextId), static_cast<int>(missing.size() - kNamedPictures));
  const std::string text =
      Format(GetUiText(kMissingPicturesTextId), ShownPath(ExcludeTrailingBackslash(folder)), names);
  WriteTraceLog("CheckImages - " + text);
  MessageBox(nullptr, text.c_str(), GetUiText(kWarningCaptionId).c_str(), MB_OK | MB_ICONWARNING | MB_TOPMOST);
}

}  // namespace

void TFormDesign1::CheckImages() {
  WriteTraceLog("CheckImages");
  TmyXmlNode* images = document_->Images();
  // Without a host project folder there is no output tree to look in.
  const std::string outputImages =
      location_.hostProjectDir.empty() ? std::string() : location_.hostProjectDir + kOutputImagesFolder;
  std::vector<std::string> missing;
  std::string folder;
  for (TmyXmlNode* image = images != nullptr ? images->firstChild : nullptr; image != nullptr; image = image->next) {
    if (image->name != "img") continue;
    const std::string name = image->GetAttr("name");
    // A name that is no plain file name has no file to check.
    const char* found = GetImagePath(name);
    if (found == nullptr) continue;
    const std::string path = found;
    if (FileExists(path)) continue;
    WriteTraceLog("CheckImages - '" + path + "' doesn't exist");
    folder = ExtractFilePath(path);
    const std::string copy = outputImages.empty() ? std::string() : outputImages + name;
    // The copy comes back into the image folder as it is. A folder that is
    // gone is not made anew (it may have been moved away, to come back), and
    // a folder in the picture's place is left to the user.
    if (!copy.empty() && FileExists(copy) && DirectoryExists(folder) && !PathExists(path) &&
        CopyFileKeepTime(copy, path)) {
      WriteTraceLog("CheckImages - replaced by '" + copy + "'");
      continue;
    }
    WriteTraceLog("CheckImages - not found - kept");
    missing.push_back(name);
  }
  if (!missing.empty()) TellMissingPictures(folder, missing);
  WriteTraceLog("CheckImages - end");
}
