#pragma once
// TPropertyForm: what every object property dialog keeps and does besides its
// own controls: the designer that opened it, `loaded`, the editor-language
// slot, the texts held per project language, and the handlers that many
// dialogs share (the common change handler, the per-language boxes and
// buttons, colour swatches, numeric exits, variable boxes, help). A dialog
// derives from it, names its component table and its bindings, and adds the
// few rules a table cannot say.

#include <array>
#include <memory>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "grid/StringDualListLang.h"
#include "platform/vcl/Form.h"
#include "properties/Bindings.h"
#include "properties/ComponentTable.h"

class TDesignerContext;
class TGridWebElement;
class TEdit;
class TLabel;
class TShape;

// One text held per project language: its attribute, the plain box and the
// "..." button of the dialog, the 15 slot texts and their changed flags.
struct TLangText {
  std::string attr;
  const char* edit = "";
  const char* button = "";
  std::array<std::string, kLangSlots> texts{};
  std::array<bool, kLangSlots> changed{};
};

class TPropertyForm : public TForm {
 public:
  // The form's font is "Segoe UI", 9 pt; its components come from the rows.
  TPropertyForm(TDesignerContext& designer, std::span<const TComponentRow> rows, int captionId);

  TDesignerContext& Designer() const { return designer_; }
  bool loaded = false;
  int editorSlot = -1;
  std::vector<TLangText> langTexts;
  TLangText* FindLangText(const std::string& attr);

  // The component of that name as T; std::logic_error when it is missing or
  // of another class (a fault of the dialog's tables).
  template <class T>
  T* Get(const std::string& name) const {
    auto* component = dynamic_cast<T*>(FindComponent(name));
    if (component == nullptr) throw std::logic_error("property form: no control " + name);
    return component;
  }
  // Whether the user changed the control (its Tag).
  bool Flagged(const std::string& name) const;
  // Flags the control on purpose (a choice the user made through it); it is
  // no longer mixed.
  void Flag(const std::string& name);
  // The fill left the control mixed: the selected objects differ in its
  // field. A mixed edit box counts as changed only once the user types in it
  // (or a handler flags it): the dialog's own rewrites of it (a reformat) are
  // no input of the user, so an untouched mixed box writes nothing.
  void MarkMixed(const std::string& name);
  bool Mixed(const std::string& name) const;

  // --- the dialog's description, read by the bridge --------------------------------
  virtual std::span<const TPropertyBinding> Bindings() const = 0;
  // The kinds the bridge takes.
  virtual bool TakesKind(int kind) const = 0;
  // The designer's tool template slot the written object refreshes.
  virtual int TemplateSlot(const TGridWebElement& element) const = 0;
  // Every object of the surface, in component order, before the walk.
  virtual void NoteSurfaceObject(TGridWebElement& /*element*/, int /*componentIndex*/) {}
  // After the walk and the language buttons: the dependent controls.
  virtual void AfterFill() {}
  // After the OK walk wrote every object.
  virtual void AfterWriteBack() {}
  // Shows the "..." buttons of the per-language texts or hides them.
  virtual void ShowLangButtons(bool visible);
  // Step 7: the plain boxes' texts into the editor-language slot.
  void SyncEditorSlot();

  // --- shared handlers ----------------------------------------------------------
  // The common change handler: the sender's Tag := 1 once loaded (a numeric
  // box's own normalisation, and any rewrite of a mixed edit box that the
  // user did not type, is no change of the user's).
  void OnChange(TObject* sender);
  // A plain box of a per-language text: into the editor-language slot, flagged.
  void LangEditChange(TObject* sender);
  // A "..." button: the language text editor on its text's slots.
  void LangButtonClick(TObject* sender);
  // Colour swatches: the designer's colour dialog; the background swatch
  // also makes the object opaque (cbTransparent).
  void shFrontMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void shBackMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void cbTransparentClick(TObject* sender);
  // The designer's colour dialog on the swatch's colour; true when one was chosen.
  bool PickColour(TObject* sender);
  // Numeric boxes left: positions not below 0, levels 0 .. 9, widths in
  // characters not below 2, others read.
  void ceOffExit(TObject* sender);
  void seSecLevelExit(TObject* sender);
  void seSizeCharExit(TObject* sender);
  void NormaliseExit(TObject* sender);
  // The main and visibility variable boxes: "..." opens the host's browser;
  // a change shows the resolved name and type beside the box (lblType,
  // lblVisType) and flags the box.
  void Button3Click(TObject* sender);
  void btnVisClick(TObject* sender);
  void edtVariableChange(TObject* sender);
  void edtVisVarChange(TObject* sender);
  // seSecLevel and Label3 enabled (objects that are not read-only).
  void SetSecLevelEnabled(bool enabled);
  void cbReadOnlyClick(TObject* sender);
  // The host's variable browser for the edit beside the button (flags 15).
  void BrowseVariable(TEdit* edit);
  // The edit's reference resolved: its tooltip, and `label` := resolved
  // + " : " + type name; the type code answered (-1 unknown).
  int ShowVariableType(TEdit* edit, TLabel* label);
  // The resolved form of a reference (the designer's placeholders).
  std::string Resolve(const std::string& reference) const;

  // The page-link picker (PageLinkPicker.cpp): the link's label, edtLink1
  // and AddPage enabled with cbLink (the edit in the window colour, else the
  // button face), cbLink flagged; "..." pops up the designer's page menu and
  // the chosen page's file name becomes the link.
  void cbLinkClick(TObject* sender);
  void AddPageClick(TObject* sender);
  void OnMenuClick(TObject* sender);

  // The captions from the string table again (dialogs that set them on every
  // activation bind it to OnActivate), with room for their texts.
  void FormActivate(TObject* sender);

  void Dispatch(void* message) override;

 protected:
  // As the dialog is shown, its controls make room for texts that are longer
  // in this language (FitControlsToTexts).
  void DoShow() override;

  // Wires the shared handlers to the controls of these names when present.
  void WireCommonHandlers();
  // The colour swatches open the colour dialog on the press of the mouse
  // instead of its release (after WireCommonHandlers).
  void OpenSwatchesOnPress();
  // cbLink and AddPage to the page-link picker; `label` is enabled with the box.
  void WireLinkPicker(const char* label);
  std::span<const TComponentRow> rows_;
  int captionId_;

 private:
  TDesignerContext& designer_;
  const char* linkLabel_ = "Label2";
  std::set<std::string> mixed_;
};

// A dialog whose OK renumbers the page's tab order (edit, submit, drop-down):
// every page object is noted with its component index, and after the
// write-back the designer's order is renumbered over all of them.
class TTabOrderedForm : public TPropertyForm {
 public:
  using TPropertyForm::TPropertyForm;
  void NoteSurfaceObject(TGridWebElement& element, int componentIndex) override;
  void AfterWriteBack() override;
  std::vector<TGridWebElement*> surfaceObjects;
};

// A binding's field text helpers for variable references: after the write,
// the type of the resolved reference is looked up again and kept.
void RefreshVariableInfo(TGridWebElement& element);
void RefreshVisVariableInfo(TGridWebElement& element);
