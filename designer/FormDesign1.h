#pragma once
// TFormDesign1: the designer window. It owns the project document and the
// shown page, whose objects live as TGridWebElement children of the design
// surface sbDesign1. Its members are split over files by concern:
//   FormDesign1.cpp   construction, shared record, layers, handlers
//   LoadObjects.cpp   reading a page's `object` nodes onto a surface
//   LangTexts.cpp     the texts of objects per project language

#include <memory>
#include <string>
#include <vector>

#include "grid/GlobalWebData.h"
#include "grid/GridWebElement.h"
#include "grid/StringDualListLang.h"
#include "platform/vcl/Form.h"
#include "platform/win/WindowTypes.h"

class TScrollBox;
struct TObjectReading;
class TmyXMLParser;
class TmyXmlNode;
class TPopupMenu;

// "/LINVAR": the page-object reader flattens the variable references it reads.
// The plug-in frame sets it from the host's command line at start-up.
extern bool gFlattenVariableNames;

class TFormDesign1 : public TForm {
 public:
  explicit TFormDesign1(TComponent* owner);
  ~TFormDesign1() override;

  // --- reading page objects (LoadObjects.cpp) ----------------------------------
  // Makes one page object per `object` child of the container on the surface
  // (which must be the designer's scroll box or one like it). An object that
  // cannot be built, or whose kind this designer does not know, is kept as its
  // unchanged node (it is written back with the page), traced and reported
  // once the walk ends.
  void LoadObjects(TmyXmlNode* container, TWinControl* parent);
  // The full path of a picture of the project's image folder; null for none.
  const char* GetImagePath(const std::string& name) const;

  // --- texts per language (LangTexts.cpp) ----------------------------------------
  bool GetLangText(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const;
  bool GetLangTextIfAny(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const;
  void SetLangTextByCode(TmyXmlNode* node, const std::string& attr, const std::string& text, int code);
  void SetLangTexts(const std::string& attr, TmyXmlNode* node, const std::string texts[kLangSlots],
                    const bool edited[kLangSlots]);
  void SetElementLangTexts(const std::string& attr, TGridWebElement* element, const std::string texts[kLangSlots],
                           const bool edited[kLangSlots]);
  int GetLangTexts(const std::string& attr, bool fill, std::string texts[kLangSlots], TmyXmlNode* node) const;
  bool SetLangCaption(TmyXmlNode* node, int code);
  bool CopyLangTexts(TmyXmlNode* node, int code);

  // --- handlers bound to every page object (FormDesign1.cpp) --------------------
  void ObjectBeforeMove(TObject* sender);
  void ObjectBeforeResize(TObject* sender);
  void UpdateScrollExtentHandler(TObject* sender);
  void ChangeToPageByName(TObject* sender, const std::string& pageName);
  void ObjectDragOver(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept);
  void ObjectDragDrop(TObject* sender, TObject* source, int x, int y);
  void ObjectMouseMove(TObject* sender, TShiftState shift, int x, int y);
  // Property bridges by object kind (double click); the property dialogs
  // fill them in.
  void EditLabelObject(TObject* sender);
  void EditEditObject(TObject* sender);
  void EditLocalEditObject(TObject* sender);
  void EditImageObject(TObject* sender);
  void EditImageBtnObject(TObject* sender);
  void EditMultiImageObject(TObject* sender);
  void EditPictureObject(TObject* sender);
  void EditCameraObject(TObject* sender);
  void EditSubmitObject(TObject* sender);
  void EditStrImgObject(TObject* sender);
  void EditIFrameObject(TObject* sender);
  void EditBlockObject(TObject* sender);
  void EditCanvasObject(TObject* sender);
  void EditPostFileObject(TObject* sender);
  void EditDropDownObject(TObject* sender);

  // --- fields set by the plug-in frame -----------------------------------------
  HWND FHostStatusWindow = nullptr;
  bool FHostBuild = false;
  bool FSaveOnClose = true;
  bool FDockingInProgress = false;
  bool FApplyDocking = false;

  // --- fields read by the page objects and their reader --------------------------
  TScrollBox* sbDesign1 = nullptr;
  int FUnitPixels = 8;
  bool FLiveMode = false;
  int FGridX = 5;
  int FGridY = 5;
  TPopupMenu* ObjectPopup = nullptr;
  TPopupMenu* CommonEditPopup1 = nullptr;
  int FMaxUid = 0;
  bool FLangMutations = false;
  int FEditorLangCode = 0;
  int FLangCodes[kLangSlots] = {};
  // The project document and its root (the `web` element's parent).
  std::unique_ptr<TmyXMLParser> FProject;
  TmyXmlNode* FProjectRoot = nullptr;
  // The global mode of the project and the global folder's name (images).
  bool FGlobalMode = false;
  std::string FGlobalDir;

  // The record shared by every page object and the table of layers.
  TGridWebElement::TGlobalWebData FGlobalWebData;
  TGridWebElement::TLayer FLayers[kLayerCount];

  // Upload state of file-upload objects and picture download queue of string
  // pictures (process-wide; wired by the live view).
  void* FUploadState = nullptr;
  void* FRecvQueue = nullptr;

  // What the last LoadObjects could not build: one line per object.
  std::vector<std::string> FLoadFailures;

 private:
  // The surface's scroll position while a page is read.
  struct TScroll {
    int x = 0;
    int y = 0;
  };
  // One `object` node onto the surface; null (nothing made) when it has no
  // kind element this designer knows.
  TGridWebElement* ReadObject(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll);
  // The object of the node's (last) kind element, read up to its closing steps.
  std::unique_ptr<TGridWebElement> ReadKindElement(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll,
                                                   TObjectReading& reading);
  // The designer's handlers, menus and flags given to the object, which is
  // placed on the parent.
  void WireObject(TGridWebElement& element, TWinControl* parent);
  // A hidden stand-in that writes the node back unchanged; the reason is
  // traced and reported.
  void KeepUnreadObject(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll, int index,
                        const std::string& reason);
  TNotifyEvent BridgeOfKind(int kind);
};

// The process-wide designer; null while none exists.
extern TFormDesign1* FormDesign1;
