#pragma once
// TFormPageProperties: the properties of one page (or, with the file name
// and default box disabled, the settings common to all pages of a group):
// caption (per language), file name, default page, security level,
// background picture and colour, menu visibility, periodic refresh,
// notifications, JSON map and the page's placeholders. The designer fills
// the controls from the `page` element and writes them back on OK
// (designer/GroupPageProperties.cpp); each control the user changes is
// flagged (its Tag).

#include <functional>
#include <memory>
#include <string>

#include "properties/PropertyForm.h"

class TImage;
class TMenuItem;
class TPopupMenu;
class TStringList;
class TmyXmlNode;
class TPlaceholdersOpener;

class TFormPageProperties : public TPropertyForm {
 public:
  explicit TFormPageProperties(TDesignerContext& designer);
  ~TFormPageProperties() override;

  // Not an object dialog: no bindings, no kinds, no tool template.
  std::span<const TPropertyBinding> Bindings() const override { return {}; }
  bool TakesKind(int) const override { return false; }
  int TemplateSlot(const TGridWebElement&) const override { return 0; }

  // The page element being edited (handed in by the designer).
  TmyXmlNode* page = nullptr;
  // File-name stems already taken ("INDEX" and the project's other pages;
  // sorted, letter case aside) and the highest N of the pages "PAGE" + N.
  std::unique_ptr<TStringList> takenNames;
  int highestPageNumber = 0;
  // The background picture's image name; empty for none.
  std::string backgroundImage;
  // The project's image picker (the chosen image's name; false on Cancel);
  // empty: the picture cannot be chosen.
  std::function<bool(const std::string& current, std::string& chosen)> pickImage;

  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* GenerateJsonMap1 = nullptr;

  // The file name rule: upper case, at most 8 characters, cut at the first
  // '.', characters a file name cannot hold replaced by '_'.
  static std::string FileNameStem(const std::string& text);

  void FormActivate(TObject* sender);
  // Size and position from / into the project's settings file.
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void edtFileName1Change(TObject* sender);
  // A default page stays one until another page takes the mark.
  void cbIndexClick(TObject* sender);
  void cbAjaxClick(TObject* sender);
  void csRefresh1Exit(TObject* sender);
  void cbAlarmClick(TObject* sender);
  void Image1Click(TObject* sender);
  void btnClearImage1Click(TObject* sender);
  // Stores the name and shows the picture (no file: cleared).
  void SetBackgroundImage(TImage* image, const std::string& name);
  // Fits the picture into the panel, stretched with its aspect ratio only
  // when it is larger than the image control.
  void Panel3Resize(TObject* sender);
  void GenerateJsonMap1Click(TObject* sender);
  // OK: empty caption "-", a taken file name asked about (7020), an empty
  // one numbered; keeps the dialog open when the user says No.
  void Button1Click(TObject* sender);
  // The page's placeholders, edited in their own dialog; cancelled edits
  // are dropped; written with the OK of this dialog.
  void btnPlaceHoldersClick(TObject* sender);

 private:
  void ShowPanelText();
  std::unique_ptr<TPlaceholdersOpener> placeholders_;
  std::string settingsFile_;
};
