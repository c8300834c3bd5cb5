#pragma once
// TFormImageManager: the project's pictures. The dialog works on a private
// copy of the project's `images` element: adding copies files into the image
// folder at once, removing moves them into the trash folder below it,
// renaming only records the name the file still has on disk. OK writes the
// copy back, renames files and references and empties the trash; any other
// close moves the trashed files back and deletes the files it copied in.

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"
#include "platform/vcl/ListView.h"

class TButton;
class TEdit;
class TImage;
class TLabel;
class TPanel;
class TToolBar;
class TToolButton;
class TBitmap;
class TStringList;
class TDesignerContext;
class TmyXmlNode;

class TFormImageManager : public TForm {
 public:
  explicit TFormImageManager(TComponent* owner);
  ~TFormImageManager() override;

  TListView* lvImages = nullptr;
  TPanel* Panel2 = nullptr;
  TImage* Image1 = nullptr;
  TPanel* pnlFields = nullptr;
  TLabel* lblLongName = nullptr;
  TEdit* edtLongName = nullptr;
  TLabel* lblName = nullptr;
  TEdit* edtName = nullptr;
  TLabel* lblHeight = nullptr;
  TEdit* edtHeight = nullptr;
  TLabel* lblWidth = nullptr;
  TEdit* edtWidth = nullptr;
  TToolBar* ToolBar1 = nullptr;
  TToolButton* btnAdd2 = nullptr;
  TToolButton* btnAdd = nullptr;
  TToolButton* btnRemove = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button3 = nullptr;

  // Set by the opener before LoadXML; not owned.
  TDesignerContext* Designer = nullptr;

  void LoadXML(TmyXmlNode* images);
  void SelectImage(const std::string& name);
  int FindItemByName(const std::string& name) const;
  void StoreEdits(TmyXmlNode* node);
  void StoreEditsOfItem(int index);
  void ShowImage(TmyXmlNode* node);
  // Makes `name` (stem, dot, extension) a valid name no other list item has;
  // when not adding, the shown item may keep its own name.
  void MakeUniqueName(std::string& name, bool adding);
  int SetItemCaption(int index, const std::string& text);
  // The image element chosen when OK closed the dialog (none otherwise).
  TmyXmlNode* ChosenImage() const { return chosen_; }
  // Adds picture files as the add buttons do after their file dialog.
  void AddFiles(const std::vector<std::string>& files);

  void lvImagesClick(TObject* sender);
  void lvImagesChange(TObject* sender, TListItem* item, TItemChange change);
  void lvImagesDblClick(TObject* sender);
  void lvImagesCustomDrawItem(TListView* sender, TListItem* item, TCustomDrawState state, bool& defaultDraw);
  void edtNameExit(TObject* sender);
  void edtLongNameChange(TObject* sender);
  void edtLongNameExit(TObject* sender);
  void edtHeightExit(TObject* sender);
  void edtWidthExit(TObject* sender);
  void edtMeasureChange(TObject* sender);
  void btnAddClick(TObject* sender);
  void btnRemoveClick(TObject* sender);
  void Button1Click(TObject* sender);
  void Button2Click(TObject* sender);
  void Button3Click(TObject* sender);
  void Panel2Resize(TObject* sender);
  void FormActivate(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void Dispatch(void* message) override;

  // The image folder and its trash folder (with a trailing backslash); empty
  // when the designer knows no image folder.
  std::string ImageFolder() const;
  std::string TrashFolder() const;

 private:
  void SetUiTexts();
  void EnableFields(bool enabled);
  TmyXmlNode* NodeOf(int index) const;
  std::string PathOf(const std::string& name) const;
  // Renames the files and references of every renamed entry.
  void ApplyRenames();
  // Moves the trashed files back and deletes the files copied in.
  void RestoreFiles();
  bool AddFile(const std::string& file);
  // The code page of the project's texts (its `encoding`).
  int ProjectCodePage() const;
  void RemoveSelected(bool ask);
  // Deletes a file copied in by this dialog, moves any other into the trash.
  void DiscardFile(const std::string& file);
  // The names the project's pages and objects use (sorted, any case).
  std::unique_ptr<TStringList> UsedNames() const;

  // "VirtualImagesNode": copies of the project's `img` elements.
  TmyXmlNode* working_ = nullptr;
  TmyXmlNode* images_ = nullptr;
  TmyXmlNode* projectRoot_ = nullptr;
  // The files copied into the image folder since the dialog opened: removing
  // one deletes it, Cancel deletes them all.
  std::vector<std::string> copiedFiles_;
  // The files moved into the trash by this dialog (Cancel moves them back).
  std::vector<std::string> trashed_;
  // The trash folder did not exist before this dialog made it.
  bool madeTrash_ = false;
  int lastSelected_ = -1;
  TmyXmlNode* current_ = nullptr;
  TmyXmlNode* chosen_ = nullptr;
  bool busy_ = false;
  bool listReacts_ = true;
  bool fieldsFilled_ = false;
  bool committed_ = false;
  bool restored_ = false;
  std::string type_;
};

// The open image manager; null while none exists.
extern TFormImageManager* FormImageManager;
