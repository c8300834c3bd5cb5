// The asset step: one table row per asset, written in table order. The rows
// differ only in their columns, except the site icon, which may come from the
// project's pictures.

#include "generator/StaticAssets.h"

#include <string>
#include <string_view>

#include "core/FileHelpers.h"
#include "core/ProjectPaths.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/CompileHost.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Folders.h"
#include "platform/win/Resources.h"

namespace {

// CopyFileKeepTime's answers.
constexpr int kCopyFailed = 0;
constexpr int kCopyDone = 1;

// The site icon that the import folder may bring.
constexpr const char* kImportedIconKey = "FAVICON.ICO";

enum class TAssetCondition { Always, JsonMap, NotificationPage };
enum class TAssetKind { File, Image, SiteIcon };
// The compile creates the output root, "IMAGES" and "NOTIFY" before this step;
// the JSON-map client's folder exists only for it and is created here.
enum class TAssetFolder { Existing, Created };

struct TStaticAsset {
  TAssetCondition condition;
  const char* importedKey;  // the import folder's file that replaces it; null: never skipped
  const char* userCopy;     // its name in the scripts folder; null: none
  const char* resource;
  const char* subFolder;  // below the output root, with its backslash; "" for the root
  const char* fileName;
  TAssetKind kind;
  TAssetFolder folder = TAssetFolder::Existing;
};

constexpr TStaticAsset kStaticAssets[] = {
    {TAssetCondition::JsonMap, "JS\\VORN_VAR.JS", "VORN_VAR.JS", "VORN_VAR_JS", "JS\\", "VORN_VAR.JS", TAssetKind::File,
     TAssetFolder::Created},
    {TAssetCondition::Always, nullptr, nullptr, "REFCLR_JS", "", "REFCLR.JS", TAssetKind::File},
    {TAssetCondition::Always, nullptr, nullptr, "FAVICON_ICO", "", "FAVICON.ICO", TAssetKind::SiteIcon},
    {TAssetCondition::Always, "STYLE.CSS", nullptr, "STYLE_CSS", "", "STYLE.CSS", TAssetKind::File},
    {TAssetCondition::Always, "IMAGES\\LEFT.PNG", nullptr, "LEFT_PNG", "images\\", "LEFT.PNG", TAssetKind::Image},
    {TAssetCondition::Always, "IMAGES\\TOP.PNG", nullptr, "TOP_PNG", "images\\", "TOP.PNG", TAssetKind::Image},
    {TAssetCondition::Always, "LOGIN.XML", nullptr, "LOGIN_XML", "", "LOGIN.XML", TAssetKind::File},
    {TAssetCondition::Always, "LOGIN.XSL", nullptr, "LOGIN_XSL", "", "LOGIN.XSL", TAssetKind::File},
    {TAssetCondition::Always, "LOGOUT.XML", nullptr, "LOGOUT_XML", "", "LOGOUT.XML", TAssetKind::File},
    {TAssetCondition::Always, "LOGOUT.XSL", nullptr, "LOGOUT_XSL", "", "LOGOUT.XSL", TAssetKind::File},
    {TAssetCondition::Always, "PLCFORM.CSS", nullptr, "PLCFORM_CSS", "", "PLCFORM.CSS", TAssetKind::File},
    {TAssetCondition::Always, "SHA1.JS", nullptr, "SHA1_JS", "", "SHA1.JS", TAssetKind::File},
    {TAssetCondition::NotificationPage, "NOTIFY\\CLIENT.JS", "CLIENT.JS", "CLIENT_JS", "NOTIFY\\", "CLIENT.JS",
     TAssetKind::File},
    {TAssetCondition::NotificationPage, "NOTIFY\\NOTIFYSW.JS", "NOTIFYSW.JS", "WORKER_JS", "NOTIFY\\", "NOTIFYSW.JS",
     TAssetKind::File},
    {TAssetCondition::NotificationPage, "NOTIFY\\NOTIFRAM.JS", "NOTIFRAM.JS", "NOTIFRAM_JS", "NOTIFY\\", "NOTIFRAM.JS",
     TAssetKind::File},
    {TAssetCondition::NotificationPage, "NOTIFY\\NOTIFRAM.HTM", "NOTIFRAM.HTM", "NOTIFRAM_HTM", "NOTIFY\\",
     "NOTIFRAM.HTM", TAssetKind::File},
    {TAssetCondition::NotificationPage, "NOTIFY\\CLIENT.CSS", "CLIENT.CSS", "CLIENT_CSS", "NOTIFY\\", "CLIENT.CSS",
     TAssetKind::File},
};

// The bytes of an embedded RCDATA resource; empty when the module has none.
std::string_view ResourceBytes(const char* name) {
  HRSRC found = FindResource(HInstance, name, RT_RCDATA);
  if (found == nullptr) return {};
  const auto* data = static_cast<const char*>(LockResource(LoadResource(HInstance, found)));
  return data == nullptr ? std::string_view{} : std::string_view(data, SizeofResource(HInstance, found));
}

// A relative path with backslashes only, for comparisons.
std::string BackslashPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

bool ImportedFileHolds(const TCompileState& state, const char* key) {
  if (key == nullptr || state.importedFiles == nullptr) return false;
  const TStringList& list = *state.importedFiles;
  for (int i = 0; i < list.Count(); ++i)
    if (SameText(BackslashPath(list[i]), key)) return true;
  return false;
}

bool HasNotificationPage(const TCompileProject& project) {
  TmyXmlNode* start = project.root != nullptr ? project.root : project.web;
  if (start == nullptr) return false;
  if (start->name == "page" && start->GetAttr("notification") == "true") return true;
  return start->FindDeepAttr("page", "notification", "true") != nullptr;
}

class TAssetWriter {
 public:
  TAssetWriter(const TCompileProject& project, TCompileState& state, TCompileHost& host, TGeneratedFiles& files)
      : project_(project), state_(state), host_(host), files_(files) {}

  void WriteAll() {
    const bool notificationPage = HasNotificationPage(project_);
    for (const TStaticAsset& asset : kStaticAssets) {
      if (asset.condition == TAssetCondition::JsonMap && !state_.anyJsonMap) continue;
      if (asset.condition == TAssetCondition::NotificationPage && !notificationPage) continue;
      if (state_.generateXmlOnly && FileExists(Destination(asset))) continue;
      if (asset.kind == TAssetKind::SiteIcon)
        WriteSiteIcon(asset);
      else
        WriteAsset(asset);
    }
  }

 private:
  std::string Destination(const TStaticAsset& asset) const {
    return state_.outputRoot + asset.subFolder + asset.fileName;
  }

  void Count(TAssetKind kind) {
    if (kind == TAssetKind::Image)
      files_.StepImageProgress();
    else
      files_.StepCompileProgress();
  }

  // The resource's bytes over the destination. A failed write is counted like
  // a written one and then taken back, so the counts tell the files written.
  void WriteResource(const TStaticAsset& asset, TAssetKind countAs) {
    const std::string_view bytes = ResourceBytes(asset.resource);
    const bool written = !bytes.empty() && files_.WriteGeneratedFile(Destination(asset), bytes);
    Count(countAs);
    if (written) return;
    files_.ReportWriteFailure(Destination(asset));
    --state_.compiledFiles;
    if (countAs == TAssetKind::Image) --state_.compiledImages;
  }

  // The user's copy replaces what lies at the destination, as the built-in
  // asset would: the file there is an earlier compile's (also one that no
  // stamp list names any more, after a lost list), and an imported file of
  // that path skipped the asset before. A failed copy is reported by the
  // copy itself and as a file not written.
  void CopyUserFile(const std::string& source, const std::string& destination) {
    if (CopyFileKeepTime(source, destination, true) == kCopyDone) {
      files_.RegisterGeneratedFile(destination);
      files_.StepCompileProgress();
      return;
    }
    files_.ReportWriteFailure(destination);
  }

  void WriteAsset(const TStaticAsset& asset) {
    if (ImportedFileHolds(state_, asset.importedKey)) return;
    if (asset.folder == TAssetFolder::Created) ForceDirectories(state_.outputRoot + asset.subFolder);
    if (asset.userCopy != nullptr) {
      const std::string folder = host_.ScriptsFolder();
      const std::string source = folder + asset.userCopy;
      if (!folder.empty() && PathExists(source)) {
        CopyUserFile(source, Destination(asset));
        return;
      }
    }
    WriteResource(asset, asset.kind);
  }

  // The project's icon picture: the `icon` of `web` in the project's pictures
  // folder; empty when the project names none or it does not exist.
  std::string IconPicture() const {
    if (project_.web == nullptr) return {};
    const std::string name = project_.web->GetAttr("icon");
    if (name.empty()) return {};
    const char* path = GetImagePath(name, project_.globalMode, project_.globalDir);
    if (path == nullptr) return {};
    std::string picture = path;
    return PathExists(picture) ? picture : std::string();
  }

  void WriteSiteIcon(const TStaticAsset& asset) {
    const std::string picture = IconPicture();
    if (picture.empty()) {
      WriteResource(asset, TAssetKind::File);
      return;
    }
    // Only an icon the import folder brought this run stays; any other file
    // there is an earlier compile's, of an icon picture that may have changed.
    const std::string destination = Destination(asset);
    const int result = CopyFileKeepTime(picture, destination, !ImportedFileHolds(state_, kImportedIconKey));
    files_.RegisterGeneratedFile(destination, result == kCopyDone);
    if (result == kCopyDone)
      files_.StepImageProgress();
    else if (result == kCopyFailed)
      files_.ReportWriteFailure(destination);
  }

  const TCompileProject& project_;
  TCompileState& state_;
  TCompileHost& host_;
  TGeneratedFiles& files_;
};

}  // namespace

void WriteStaticAssets(const TCompileProject& project, TCompileState& state, TCompileHost& host,
                       TGeneratedFiles& files) {
  TAssetWriter(project, state, host, files).WriteAll();
}

void WriteStaticAssets(TCompileContext& context) {
  WriteStaticAssets(context.project, context.state, context.host, context.files);
}
