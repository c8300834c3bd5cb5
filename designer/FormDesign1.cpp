// TFormDesign1: construction and destruction, the window's own handlers and
// the handlers bound to every page object.

#include "designer/FormDesign1.h"

#include <cstdio>

#include "core/HelpLink.h"
#include "core/ProjectPaths.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/ProjectDocumentUi.h"
#include "generator/XmlUtilities.h"
#include "grid/PictureLoading.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Paths.h"
#include "project/DebugList.h"

TFormDesign1* FormDesign1 = nullptr;
bool gFlattenVariableNames = false;

namespace {

constexpr const char* kFormName = "FormDesign1";
constexpr const char* kCaption = "Tarnwell";
constexpr const char* kWindowFont = "Segoe UI";
constexpr int kWindowFontSize = 9;
constexpr const char* kSurfaceFont = "Courier New";
constexpr const char* kHelpKeyword = "Tarnwell";
constexpr const char* kImagesFolder = "Images\\";

// The picture folder of the designer that exists (page objects ask it).
const char* DesignerImagePath(const std::string& name) {
  return FormDesign1 != nullptr ? FormDesign1->GetImagePath(name) : nullptr;
}

}  // namespace

TFormDesign1::TFormDesign1(TComponent* owner, std::unique_ptr<TDesignerHost> host)
    : TForm(owner),
      host_(host != nullptr ? std::move(host) : std::make_unique<TCoreDesignerHost>()),
      documentUi_(std::make_unique<TDesignerProjectUi>()),
      document_(std::make_unique<TProjectDocument>(*documentUi_)) {
  // 1. The stored layout.
  SetName(kFormName);
  DockSite = true;
  CreateComponents();
  BindEvents();
  // 2. The layers start without names; the shared record's lists are its own.
  for (TGridWebElement::TLayer& layer : FLayers) layer = TGridWebElement::TLayer{};
  // 3. The window's font.
  Font()->Name = kWindowFont;
  Font()->SetSize(kWindowFontSize);
  // 4, 5. Flags and values: the field initialisers; the project settings are
  // the document's, with the same starting values.
  // 6. Caption.
  SetCaption(kCaption);
  // 7. Surface and status bar double-buffered; the surface's font is the one
  // of edit, upload and drop-down fields ("Verdana" with proportional fonts,
  // which the project's loading sets); the arrow tool is down.
  sbDesign1->DoubleBuffered = true;
  sbStatus->DoubleBuffered = true;
  sbDesign1->Font()->Name = kSurfaceFont;
  btnArrow->SetDown(true);
  // 8. Undo history (both buttons off), live-view windows, surface keys.
  CreateUndoHistory();
  FDebugList = std::make_unique<TFormDebugList>();
  FDebugList->OnRemove = {this, &TFormDesign1::DebugListRemoved};
  CreateSurfaceKeys();
  CreateSurfaceMouse();
  CreateInsertTools();
  // 9. The placeholder resolver over the shared record.
  FWebNameConvertor = std::make_unique<TPlaceholderResolver>(&FGlobalWebData);
  char address[32];
  std::snprintf(address, sizeof address, "%08X",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(FWebNameConvertor.get())));
  WriteTraceLog(std::string("WebNameConvertor 0x") + address);

  if (FormDesign1 == nullptr) FormDesign1 = this;
  if (gGridImagePath == nullptr) gGridImagePath = DesignerImagePath;
  AfterConstruction();
}

TFormDesign1::~TFormDesign1() {
  // OnDestroy (FormDestroy) runs while every field still stands.
  BeforeDestruction();
  if (FormDesign1 == this) FormDesign1 = nullptr;
  EndLiveView();
  // The page objects go before the shared record and the layers they point
  // into; the rest of the components with the form.
  ClearDesignElements();
}

void TFormDesign1::SelectAll1Click(TObject*) {
  for (int i = 0; i < sbDesign1->ControlCount(); ++i)
    if (auto* item = dynamic_cast<TGridGraphic*>(sbDesign1->Controls(i))) item->Select();
}

void TFormDesign1::btnLoadBackgroundClick(TObject*) {}

void TFormDesign1::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowDesignerHelp();
    return;
  }
  if (LiveViewMessage(*static_cast<TMessage*>(message))) return;
  TForm::Dispatch(message);
}

void TFormDesign1::ShowDesignerHelp() { ShowHelp(GetUiLanguageIndex(), kHelpKeyword, "", ""); }

std::int32_t TFormDesign1::GetUcidTime() const { return ::GetUcidTime(); }

void TFormDesign1::SetModified() {
  document_->SetModified(true);
  FSaveRefusalShown = false;
  btnSave2->SetEnabled(true);
}

// Page jumps and variable drops belong to the designer's editing; until they
// are built these handlers are bound and do nothing.
void TFormDesign1::UpdateScrollExtentHandler(TObject*) { UpdateScrollExtent(); }

TNotifyEvent TFormDesign1::BridgeOfKind(int kind) {
  switch (kind) {
    case wkLabel: return {this, &TFormDesign1::EditLabelObject};
    case wkEdit: return {this, &TFormDesign1::EditEditObject};
    case wkEditLocal: return {this, &TFormDesign1::EditLocalEditObject};
    case wkImage: return {this, &TFormDesign1::EditImageObject};
    case wkSubmit: return {this, &TFormDesign1::EditSubmitObject};
    case wkPicture: return {this, &TFormDesign1::EditPictureObject};
    case wkCamera: return {this, &TFormDesign1::EditCameraObject};
    case wkBlock: return {this, &TFormDesign1::EditBlockObject};
    case wkMultiImage: return {this, &TFormDesign1::EditMultiImageObject};
    case wkPostFile: return {this, &TFormDesign1::EditPostFileObject};
    case wkImageBtn: return {this, &TFormDesign1::EditImageBtnObject};
    case wkStrImg: return {this, &TFormDesign1::EditStrImgObject};
    case wkCanvas: return {this, &TFormDesign1::EditCanvasObject};
    case wkIFrame: return {this, &TFormDesign1::EditIFrameObject};
    case wkDropDown: return {this, &TFormDesign1::EditDropDownObject};
    default: return nullptr;
  }
}

// The project's "Images" folder: in the web project's folder, or in global
// mode in the shared folder. Names that are no plain file name give none.
const char* TFormDesign1::GetImagePath(const std::string& name) const {
  if (name.empty() || !IsSafeFileName(name)) return nullptr;
  std::string folder;
  if (location_.globalMode) {
    if (location_.projectPath.empty() || !IsSafeFileName(location_.globalDir)) return nullptr;
    folder = location_.projectPath + location_.globalDir + "\\";
  } else {
    if (location_.hostProjectDir.empty()) return nullptr;
    folder = location_.hostProjectDir + kProductWord + "\\";
  }
  imagePath_ = folder + kImagesFolder + name;
  return imagePath_.c_str();
}
