#pragma once
// TDesignerContext: what the property dialogs and the project dialogs may ask
// of the designer window that opens them. The window (TFormDesign1)
// implements it; a dialog holds a context, never the window, so that it can
// be read, built and tested without the window. Methods that bear the
// window's own names do what the window's methods of those names do.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ProjectLocation.h"
#include "grid/GlobalWebData.h"
#include "grid/GridWebElement.h"
#include "grid/StringDualListLang.h"
#include "hostapi/IIECManVariables.h"
#include "platform/com/ComPtr.h"
#include "platform/vcl/Closure.h"

class TColorDialog;
class TComponent;
class TCompileHost;
class TImageList;
class TmyXmlNode;
class TObject;
class TOpenPictureDialog;
class TPlaceholderResolver;
class TPopupMenu;
class TScrollBox;
class TStringList;

// The object commands of the designer that the object list offers on the
// objects it has selected.
enum class TObjectCommand {
  EditBase,
  EditVisibilityBase,
  VarNameReplace,
  AutoIndexArray,
  BringToFront,
  SendToBack,
  BringForward,
  SendBackward,
  Copy,
  Cut,
};

class TDesignerContext {
 public:
  virtual ~TDesignerContext() = default;

  // The owner of the dialogs' forms (the window).
  virtual TComponent* DialogOwner() = 0;

  // --- the project document and the host ---------------------------------------
  // The document's root and its `web` element; null without a project.
  virtual TmyXmlNode* ProjectRoot() const = 0;
  virtual TmyXmlNode* WebElement() const = 0;
  // Where the project's files lie, as the host says now.
  virtual TProjectLocation ProjectLocation() = 0;
  // The host's services for a compile (variables, messages, the clock).
  virtual TCompileHost& CompileHost() = 0;
  // The host's IEC variables manager (the variables' types and members);
  // empty when the host gave none.
  virtual ComPtr<IIECManVariables> IecVariables() = 0;
  // Switches the live view off and waits until the host's communication is idle.
  virtual void StopLiveView() = 0;

  // --- undo and the modified state ----------------------------------------------
  virtual void PushUndo() = 0;
  virtual void SetModified() = 0;
  // Saves the project (the window's save command).
  virtual void btnSave2Click(TObject* sender) = 0;

  // --- the shown page --------------------------------------------------------------
  // The design surface: its components are the shown page's objects.
  virtual TScrollBox* DesignSurface() const = 0;
  // The shown page's element; null when none is shown.
  virtual TmyXmlNode* CurrentPage() const = 0;
  // The shown page's objects in component order.
  virtual std::vector<TGridWebElement*> PageObjects() const = 0;
  // Stores the surface's objects into the page element.
  virtual void SavePage(TmyXmlNode* element) = 0;
  // Paints the shown page's background anew.
  virtual void DrawPageBackground() = 0;
  // The grid unit of the surface, in pixels.
  virtual int UnitPixels() const = 0;
  // The objects' tab order numbered anew.
  virtual void RenumberTabOrder(std::vector<TGridWebElement*>& objects) = 0;
  // Pastes the objects of a clipboard text at their stored positions, selected.
  virtual void PasteObjectsDirect(const std::string& text) = 0;
  // True when a canvas's variable is a drawing-canvas structure; says why not.
  virtual bool CheckCanvasVariable(const std::string& variable) = 0;
  // Runs one of the designer's object commands on the selected objects.
  virtual void RunObjectCommand(TObjectCommand command) = 0;

  // --- data every page object shares, the tools' templates -----------------------
  virtual TGridWebElement::TGlobalWebData& GlobalWebData() = 0;
  virtual const TGridWebElement::TGlobalWebData& GlobalWebData() const = 0;
  // The resolver of the project's placeholders in variable names.
  virtual TPlaceholderResolver* WebNameConvertor() const = 0;
  // The template an insert tool pastes, by its slot.
  virtual void SetToolTemplate(int slot, const std::string& text) = 0;

  // --- the project's languages -----------------------------------------------------
  virtual bool GetLangText(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const = 0;
  virtual bool GetLangTextIfAny(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const = 0;
  virtual void SetLangTextByCode(TmyXmlNode* node, const std::string& attr, const std::string& text, int code) = 0;
  virtual void SetElementLangTexts(const std::string& attr, TGridWebElement* element,
                                   const std::string texts[kLangSlots], const bool edited[kLangSlots]) = 0;
  virtual int GetLangTexts(const std::string& attr, bool fill, std::string texts[kLangSlots],
                           TmyXmlNode* node) const = 0;
  virtual bool SetLangCaption(TmyXmlNode* node, int code) = 0;
  virtual bool CopyLangTexts(TmyXmlNode* node, int code) = 0;
  virtual int GetLanguageListIndex(int slot) const = 0;
  virtual int EditorLangCode() const = 0;
  virtual bool LangMutations() const = 0;
  virtual int LangCodeOfSlot(int slot) const = 0;
  // The language codes of the kLangSlots text slots.
  virtual const int* LangCodes() const = 0;
  virtual bool DictionaryOff() = 0;
  virtual void SetDictionaryOff(bool off) = 0;

  // --- the project's images --------------------------------------------------------
  virtual const char* GetImagePath(const std::string& name) const = 0;
  virtual TmyXmlNode* FindImageNode(const std::string& name) const = 0;
  virtual TmyXmlNode* PickImage(const std::string& current) = 0;
  virtual std::unique_ptr<TStringList> PickImages(const std::string& current, bool withType) = 0;
  virtual void RenameImages(const std::map<std::string, std::string>& renames) = 0;
  virtual void RefreshImageList() = 0;
  virtual TOpenPictureDialog* PictureOpenDialog() const = 0;
  virtual TImageList* ToolImages() const = 0;

  // --- links to pages -----------------------------------------------------------------
  virtual TPopupMenu* FillPageLinkMenu(bool withBlank, TNotifyEvent handler) = 0;
  virtual TPopupMenu* PageLinkMenu() const = 0;
  virtual std::string GetPageDisplayName(const std::string& fileName) const = 0;

  // --- layers ---------------------------------------------------------------------------
  // A layer of the design surface, 0 to kLayerCount - 1.
  virtual TGridWebElement::TLayer& Layer(int index) = 0;
  virtual const TGridWebElement::TLayer& Layer(int index) const = 0;
  virtual int ActiveLayer() const = 0;
  virtual void SetActiveLayer(int layer) = 0;
  virtual void MoveSelectedToLayer(int layer) = 0;

  // --- the colour dialog ---------------------------------------------------------------
  virtual TColorDialog* ColorDialog() const = 0;
};
