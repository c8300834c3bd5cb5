// Save and compile from the designer: the designer's project, its shown page,
// its placeholder lists and compile state, and the host's compile services
// handed to the save-and-compile command.

#include <cstring>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "designer/FormDesign1.h"
#include "generator/CompileParts.h"
#include "generator/SaveAndCompile.h"
#include "generator/XmlUtilities.h"
#include "grid/PlaceholderResolver.h"
#include "pictures/PictureCache.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kNotOpenedText = 7570;     // The project is not opened: %s.
constexpr int kUnknownErrorText = 7400;  // unknown error

// The size of a project picture the designer has loaded.
TPictureSizeLookup LoadedPictureSizes(TFormDesign1& designer) {
  return [&designer](const std::string& name, int& width, int& height) {
    const char* path = designer.GetImagePath(name);
    TBitmap* picture = path != nullptr ? FindCachedPicture(path) : nullptr;
    if (picture == nullptr) return false;
    width = picture->Width();
    height = picture->Height();
    return true;
  };
}

// Page change stamps renewed during the compile, as the designer renews them.
class TDesignerUcid : public TUcidDesigner {
 public:
  explicit TDesignerUcid(TFormDesign1& designer) : designer_(designer) {}
  std::int32_t GetUcidTime() override { return designer_.GetUcidTime(); }
  TmyXmlNode* ShownPage() const override { return designer_.CurrentPage(); }
  void SetCurrentUcid(std::int32_t ucid) override { designer_.FCurrentUcid = ucid; }
  void Trace(const std::string& text) override { WriteTraceLog(text); }

 private:
  TFormDesign1& designer_;
};

}  // namespace

// The host's build runs it with the designer hidden, so the document is
// loaded here when none is held yet; a project that could not be opened is
// not compiled (SaveAndCompile fails with the reason).
void TFormDesign1::btnSave1Click(TObject*) {
  WriteTraceLog("btnSave1Click");
  EnsureProjectLoaded();
  lastCompile = SaveAndCompile();
  if (lastCompile.refused) FRunRefused = true;
}

TCompileResult TFormDesign1::SaveAndCompile() {
  const TProjectLocation location = host_->ProjectLocation();
  TCompileProject project;
  project.root = document_->Root();
  project.web = document_->Web();
  project.settings = &document_->Settings();
  project.debugXmz = document_->DebugXmz();
  project.projectDir = location.hostProjectDir;
  project.projectName = location.hostProjectName;
  project.globalMode = location.globalMode;
  project.globalDir = location.globalDir;
  project.webData = &FGlobalWebData;
  project.resolver = FWebNameConvertor.get();
  project.shownPage = FCurrentPage;
  // The pages show the objects' texts in the editor's language.
  project.languageTexts = FLangMutations;
  project.languageCode = FEditorLangCode;
  TDesignerUcid ucid(*this);
  project.ucid = &ucid;
  compileState.generateXmlOnly = document_->OnlyXml();
  compileState.menuOff = document_->Settings().menuOff;
  TGeneratorCompileParts parts;
  // Changes not saved yet are stored as a save stores them, so that the
  // compile's copy of the project file is what the save writes, and the save
  // that follows finds nothing left to write. A store of the shown page sizes
  // its objects to their texts after it writes them: stored here and again as
  // the compile begins, the page is written as the next store writes it.
  if (document_->Modified()) {
    SavePage(FCurrentPage);
    TProjectSaveHooks hooks;
    hooks.SavePanels = [this] { SavePanels(); };
    hooks.SaveLayers = [this] { SaveLayers(); };
    document_->StoreForSave(hooks);
  }
  TSaveAndCompileSetup setup{project,
                             compileState,
                             host_->CompileHost(),
                             parts,
                             document_->FormatCode(),
                             location.projectPath,
                             [this] { SavePage(FCurrentPage); },
                             host_->PanelStructures(),
                             LoadedPictureSizes(*this)};
  // A project that was not opened is not compiled as the empty designer.
  if (document_->Root() == nullptr)
    setup.notOpened =
        !FOpenFailure.empty() ? FOpenFailure : Format(GetUiText(kNotOpenedText), GetUiText(kUnknownErrorText));
  // Neither a project file that could not be read or may not be replaced nor
  // the pages of a lost project's last compile are written over.
  setup.overwriteRefusal = document_->SaveRefusal(location);
  if (setup.overwriteRefusal.empty()) setup.overwriteRefusal = document_->LostFileRefusal();
  setup.writeProjectCopy = [this, &location](const std::string& copy, const std::string& text) {
    return document_->WriteCompileCopy(location, copy, text);
  };
  setup.projectFilesChanged = [this, &location] {
    const std::string unfinished = document_->UnfinishedSaveRefusal(location);
    return unfinished.empty() ? document_->ChangedSinceRead(location) : unfinished;
  };
  return TSaveAndCompile(setup).Run();
}
