#include "designer/FormDesign1.h"

#include "core/ProjectPaths.h"
#include "core/XmlDocument.h"
#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"

TFormDesign1* FormDesign1 = nullptr;
bool gFlattenVariableNames = false;

namespace {

// The picture folder of the designer that exists (page objects ask it).
const char* DesignerImagePath(const std::string& name) {
  return FormDesign1 != nullptr ? FormDesign1->GetImagePath(name) : nullptr;
}

}  // namespace

TFormDesign1::TFormDesign1(TComponent* owner) : TForm(owner) {
  FHostBuild = false;
  FApplyDocking = true;
  FProject = std::make_unique<TmyXMLParser>();
  sbDesign1 = new TScrollBox(this);
  sbDesign1->SetParent(this);
  // The face of edit, upload and drop-down fields: "Verdana" when the project
  // asks for proportional fonts, which the project's loading sets.
  sbDesign1->Font()->Name = "Courier New";
  for (int i = 0; i < kLayerCount; ++i) FLayers[i] = TGridWebElement::TLayer{};
  if (FormDesign1 == nullptr) FormDesign1 = this;
  if (gGridImagePath == nullptr) gGridImagePath = DesignerImagePath;
}

TFormDesign1::~TFormDesign1() {
  if (FormDesign1 == this) FormDesign1 = nullptr;
  // The surface and its objects go first: they point into the shared record.
  delete sbDesign1;
  sbDesign1 = nullptr;
}

// Undo snapshots, the scroll extent, page jumps, variable drops and the status
// bar belong to the designer's editing; until they are built these handlers
// are bound and do nothing.
void TFormDesign1::ObjectBeforeMove(TObject*) {}
void TFormDesign1::ObjectBeforeResize(TObject*) {}
void TFormDesign1::UpdateScrollExtentHandler(TObject*) {}
void TFormDesign1::ChangeToPageByName(TObject*, const std::string&) {}
void TFormDesign1::ObjectDragOver(TObject*, TObject*, int, int, TDragState, bool&) {}
void TFormDesign1::ObjectDragDrop(TObject*, TObject*, int, int) {}
void TFormDesign1::ObjectMouseMove(TObject*, TShiftState, int, int) {}

void TFormDesign1::EditLabelObject(TObject*) {}
void TFormDesign1::EditEditObject(TObject*) {}
void TFormDesign1::EditLocalEditObject(TObject*) {}
void TFormDesign1::EditImageObject(TObject*) {}
void TFormDesign1::EditImageBtnObject(TObject*) {}
void TFormDesign1::EditMultiImageObject(TObject*) {}
void TFormDesign1::EditPictureObject(TObject*) {}
void TFormDesign1::EditCameraObject(TObject*) {}
void TFormDesign1::EditSubmitObject(TObject*) {}
void TFormDesign1::EditStrImgObject(TObject*) {}
void TFormDesign1::EditIFrameObject(TObject*) {}
void TFormDesign1::EditBlockObject(TObject*) {}
void TFormDesign1::EditCanvasObject(TObject*) {}
void TFormDesign1::EditPostFileObject(TObject*) {}
void TFormDesign1::EditDropDownObject(TObject*) {}

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

const char* TFormDesign1::GetImagePath(const std::string& name) const {
  if (name.empty()) return nullptr;
  return ::GetImagePath(name, FGlobalMode, FGlobalDir);
}
