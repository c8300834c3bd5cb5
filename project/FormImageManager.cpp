#include "project/FormImageManager.h"

#include "core/FileHelpers.h"
#include "core/FormPlacement.h"
#include "core/HostEnvironment.h"
#include "core/NameHelpers.h"
#include "core/OpenIniReg.h"
#include "core/SimpleLock.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "pictures/PictureLoader.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/WindowMessages.h"
#include "project/DialogControls.h"
#include "properties/DesignerContext.h"

TFormImageManager* FormImageManager = nullptr;

namespace {

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 420;
constexpr int kListWidth = 220;
constexpr int kFieldsHeight = 112;

// The picture is drawn transparent unless its format has no transparency.
bool TransparentType(const std::string& type) { return !SameText(type, "BMP") && !SameText(type, "JPG"); }

std::string UpToDot(const std::string& name) { return name.substr(0, name.find('.')); }

// The type of an entry: its `type`, or for an entry without one the
// extension of its name (a picture is always reached by its own name), "JPG"
// only when the name has none.
std::string EntryType(const TmyXmlNode* node) {
  const std::string type = node->GetAttr("type");
  if (!type.empty()) return type;
  const std::string name = node->GetAttr("name");
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot + 1 == name.size() ? "JPG" : name.substr(dot + 1);
}

bool IsCount(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

TFormImageManager::TFormImageManager(TComponent* owner) : TForm(owner) {
  FormImageManager = this;
  SetName("FormImageManager");
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  working_ = new TmyXmlNode("VirtualImagesNode");

  ToolBar1 = AddControl<TToolBar>(this, this, "ToolBar1", {0, 0, kClientWidth, 26});
  ToolBar1->SetShowCaptions(true);
  ToolBar1->SetButtonWidth(40);
  btnAdd2 = AddControl<TToolButton>(this, ToolBar1, "btnAdd2", {0, 0, 40, 22});
  btnAdd2->SetCaption("+");
  btnAdd = AddControl<TToolButton>(this, ToolBar1, "btnAdd", {40, 0, 40, 22});
  btnAdd->SetCaption("+...");
  btnRemove = AddControl<TToolButton>(this, ToolBar1, "btnRemove", {80, 0, 40, 22});
  btnRemove->SetCaption("-");
  for (TToolButton* button : {btnAdd2, btnAdd, btnRemove}) button->OnClick = {this, &TFormImageManager::btnAddClick};
  btnRemove->OnClick = {this, &TFormImageManager::btnRemoveClick};
  ToolBar1->SetShowHint(true);

  const int bodyTop = 30;
  const int bodyHeight = kClientHeight - bodyTop - 44;
  lvImages = AddControl<TListView>(this, this, "lvImages", {6, bodyTop, kListWidth, bodyHeight});
  lvImages->SetViewStyle(vsReport);
  lvImages->SetShowColumnHeaders(false);
  lvImages->Columns()->Add()->SetWidth(kListWidth - 8);
  lvImages->ReadOnly = true;
  lvImages->SetRowSelect(true);
  lvImages->SetHideSelection(false);
  lvImages->SetSortType(stText);
  lvImages->OnClick = {this, &TFormImageManager::lvImagesClick};
  lvImages->OnChange = {this, &TFormImageManager::lvImagesChange};
  lvImages->OnDblClick = {this, &TFormImageManager::lvImagesDblClick};
  lvImages->OnCustomDrawItem = {this, &TFormImageManager::lvImagesCustomDrawItem};

  const int right = kListWidth + 12;
  const int rightWidth = kClientWidth - right - 6;
  Panel2 = AddControl<TPanel>(this, this, "Panel2", {right, bodyTop, rightWidth, bodyHeight});
  Panel2->SetBevelOuter(bvNone);
  Panel2->SetCaption("");
  Panel2->DoubleBuffered = true;
  Panel2->OnResize = {this, &TFormImageManager::Panel2Resize};
  Image1 = AddControl<TImage>(this, Panel2, "Image1", {0, 0, rightWidth, bodyHeight - kFieldsHeight});
  Image1->SetCenter(true);
  pnlFields = AddControl<TPanel>(this, Panel2, "pnlFields", {0, bodyHeight - kFieldsHeight, rightWidth, kFieldsHeight});
  pnlFields->SetBevelOuter(bvNone);
  pnlFields->SetCaption("");
  pnlFields->SetAlign(alBottom);
  struct Row {
    TLabel** label;
    TEdit** edit;
    const char* labelName;
    const char* editName;
  };
  const Row rows[] = {{&lblLongName, &edtLongName, "lblLongName", "edtLongName"},
                      {&lblName, &edtName, "lblName", "edtName"},
                      {&lblHeight, &edtHeight, "lblHeight", "edtHeight"},
                      {&lblWidth, &edtWidth, "lblWidth", "edtWidth"}};
  int top = 6;
  for (const Row& row : rows) {
    *row.label = AddControl<TLabel>(this, pnlFields, row.labelName, {4, top + 3, 80, 15});
    *row.edit = AddControl<TEdit>(this, pnlFields, row.editName, {96, top, rightWidth - 104, 23});
    top += 26;
  }
  edtHeight->SetReadOnly(true);
  edtWidth->SetReadOnly(true);
  edtName->SetMaxLength(8);
  edtName->OnExit = {this, &TFormImageManager::edtNameExit};
  edtLongName->OnChange = {this, &TFormImageManager::edtLongNameChange};
  edtLongName->OnExit = {this, &TFormImageManager::edtLongNameExit};
  edtHeight->OnExit = {this, &TFormImageManager::edtHeightExit};
  edtWidth->OnExit = {this, &TFormImageManager::edtWidthExit};
  edtHeight->OnChange = {this, &TFormImageManager::edtMeasureChange};
  edtWidth->OnChange = {this, &TFormImageManager::edtMeasureChange};
  EnableFields(false);

  const int bottom = kClientHeight - 34;
  Button3 = AddControl<TButton>(this, this, "Button3", {6, bottom, 180, 25});
  Button3->OnClick = {this, &TFormImageManager::Button3Click};
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 166, bottom, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button1->OnClick = {this, &TFormImageManager::Button1Click};
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 83, bottom, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  Button2->OnClick = {this, &TFormImageManager::Button2Click};

  OnActivate = {this, &TFormImageManager::FormActivate};
  OnShow = {this, &TFormImageManager::FormShow};
  OnClose = {this, &TFormImageManager::FormClose};
  SetUiTexts();
  AfterConstruction();
}

TFormImageManager::~TFormImageManager() {
  // A dialog freed without OK or Cancel leaves no file behind it moved.
  if (!committed_) RestoreFiles();
  listReacts_ = false;
  lvImages->OnChange = nullptr;
  delete working_;
  if (FormImageManager == this) FormImageManager = nullptr;
}

void TFormImageManager::SetUiTexts() {
  SetCaption(GetUiText(7009));
  btnAdd->Hint = GetUiText(7021);
  btnRemove->Hint = GetUiText(7023);
  lblName->SetCaption(GetUiText(2056));
  lblLongName->SetCaption(GetUiText(7029));
  lblHeight->SetCaption(GetUiText(7024));
  lblWidth->SetCaption(GetUiText(7025));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
  Button3->SetCaption(GetUiText(7212));
}

void TFormImageManager::EnableFields(bool enabled) {
  for (TControl* control : std::initializer_list<TControl*>{edtLongName, edtName, edtHeight, edtWidth, lblLongName,
                                                            lblName, lblHeight, lblWidth})
    control->SetEnabled(enabled);
}

TmyXmlNode* TFormImageManager::NodeOf(int index) const {
  if (index < 0 || index >= lvImages->Items()->Count()) return nullptr;
  return static_cast<TmyXmlNode*>(lvImages->Items()->Item(index)->Data);
}

std::string TFormImageManager::PathOf(const std::string& name) const {
  if (Designer == nullptr) return "";
  const char* path = Designer->GetImagePath(name);
  return path == nullptr ? "" : path;
}

std::string TFormImageManager::ImageFolder() const {
  const std::string probe = PathOf("X");
  return probe.empty() ? "" : ExtractFilePath(probe);
}

std::string TFormImageManager::TrashFolder() const {
  const std::string folder = ImageFolder();
  return folder.empty() ? "" : folder + "Trash\\";
}

void TFormImageManager::LoadXML(TmyXmlNode* images) {
  if (images == nullptr) return;
  images_ = images;
  projectRoot_ = images->parent;
  for (TmyXmlNode* child = images->firstChild; child != nullptr; child = child->next) {
    if (child->comment || child->instruction) continue;
    TmyXmlNode* copy = working_->AddChild(child->name);
    copy->CopyFrom(child);
    const std::string path = PathOf(copy->GetAttr("name"));
    if (path.empty() || !PathExists(path)) {
      delete copy;
      continue;
    }
    if (copy->GetAttr("longname").empty()) copy->UpdateAttr("longname", UpToDot(copy->GetAttr("name")));
    TListItem* item = lvImages->Items()->Add();
    item->Data = copy;
    item->SetCaption(copy->GetAttr("longname"));
  }
  if (lvImages->Items()->Count() > 0) {
    lvImages->ClearSelection();
    lvImages->SetItemIndex(0);
    WriteTraceLog("CLICK - LoadXML");
    lvImagesClick(this);
    WriteTraceLog("CLICK - END");
  }
}

int TFormImageManager::FindItemByName(const std::string& name) const {
  for (int i = 0; i < lvImages->Items()->Count(); ++i)
    if (SameText(NodeOf(i)->GetAttr("name"), name)) return i;
  return -1;
}

void TFormImageManager::SelectImage(const std::string& name) {
  const int index = FindItemByName(name);
  if (name.empty() || index < 0) return;
  WriteTraceLog("CLICK - SelectImage");
  lvImages->ClearSelection();
  lvImages->SetItemIndex(index);
  lvImagesClick(this);
}

void TFormImageManager::lvImagesClick(TObject* sender) {
  WriteTraceLog("CLICK - lvImagesClick - last=" + std::to_string(lastSelected_));
  const int selected = lvImages->ItemIndex();
  if (sender == lvImages && selected == lastSelected_ && selected >= 0) return;
  if (!listReacts_) return;
  if (lastSelected_ != -1) StoreEditsOfItem(lastSelected_);
  lastSelected_ = selected;
  current_ = NodeOf(selected);
  if (current_ != nullptr) {
    ShowImage(current_);
    EnableFields(true);
  } else {
    EnableFields(false);
  }
}

void TFormImageManager::lvImagesChange(TObject*, TListItem*, TItemChange) {
  if (!listReacts_ || busy_ || ComponentState() & csDestroying) return;
  lvImagesClick(lvImages);
}

void TFormImageManager::lvImagesDblClick(TObject*) {
  if (edtName->CanFocus()) edtName->SetFocus();
}

void TFormImageManager::lvImagesCustomDrawItem(TListView* sender, TListItem* item, TCustomDrawState, bool&) {
  if (!item->Selected()) return;
  sender->Canvas()->Brush->Color = clHighlight;
  sender->Canvas()->Font->Color = clHighlightText;
}

void TFormImageManager::ShowImage(TmyXmlNode* node) {
  TSimpleLock lock(&busy_);
  fieldsFilled_ = false;
  edtLongName->SetText("");
  // The preview starts empty: a file that cannot be read shows nothing
  // rather than the picture of the entry shown before.
  Image1->Picture()->Assign(static_cast<const TPicture*>(nullptr));
  TBitmap* preview = Image1->Picture()->Bitmap();
  type_ = EntryType(node).substr(0, 3);
  Image1->SetTransparent(TransparentType(type_));
  auto load = [&](const std::string& name) {
    const std::string path = PathOf(name);
    if (path.empty() || !PathExists(path)) return;
    if (LoadPictureFile(path, preview, true, nullptr)) Panel2Resize(this);
  };
  for (TmyXmlAttrNode* attr = node->firstAttr; attr != nullptr; attr = attr->next) {
    if (attr->name == "height") {
      edtHeight->SetText(attr->value);
    } else if (attr->name == "longname") {
      edtLongName->SetText(attr->value);
    } else if (attr->name == "name") {
      edtName->SetText(UpToDot(attr->value));
      load(attr->value);
    } else if (attr->name == "oldname") {
      load(attr->value);
    } else if (attr->name == "width") {
      edtWidth->SetText(attr->value);
    }
  }
  if (edtLongName->Text().empty()) edtLongName->SetText(edtName->Text());
  fieldsFilled_ = true;
  Image1->Invalidate();
  // Without a picture there is no real size to correct the stored one by.
  const int height = Image1->Picture()->Height();
  const int width = Image1->Picture()->Width();
  if (height == 0 || width == 0) return;
  if (StrToIntDef(edtHeight->Text(), 0) != height || StrToIntDef(edtWidth->Text(), 0) != width) {
    WriteTraceLog("Measure error: " + edtHeight->Text() + "x" + edtWidth->Text() + " / " + std::to_string(height) +
                  "x" + std::to_string(width));
    edtHeight->SetText(std::to_string(height));
    edtWidth->SetText(std::to_string(width));
  }
}

void TFormImageManager::StoreEdits(TmyXmlNode* node) {
  if (node == nullptr) return;
  const std::string stem = edtName->Text();
  const TmyXmlAttrNode* current = node->FindAttr("name");
  // The field shows the name up to its first dot. While it shows the entry's
  // own name (or one that differs only in letter case), the entry keeps its
  // whole name and type, however long or dotted: the pages name the picture
  // exactly so, and its file lies on disk under that name.
  const bool keepName =
      current != nullptr && (stem == UpToDot(current->value) || SameText(stem + "." + type_, current->value));
  // An existing entry without `type` gains none: a canvas names its pictures
  // by long name and type, and would no longer find it.
  const bool keepTypeless = current != nullptr && node->FindAttr("type") == nullptr;
  const std::pair<std::string_view, std::string> values[] = {{"name", stem + "." + type_},
                                                             {"type", type_},
                                                             {"height", edtHeight->Text()},
                                                             {"width", edtWidth->Text()},
                                                             {"longname", edtLongName->Text()}};
  for (const auto& [key, value] : values) {
    const bool nameOrType = key == "name" || key == "type";
    if (node->FindAttr(key) != nullptr) {
      if (!(keepName && nameOrType)) node->UpdateAttr(key, value);
    } else if (!(keepTypeless && key == "type")) {
      node->AppendAttr(key, value);
    }
  }
}

void TFormImageManager::StoreEditsOfItem(int index) { StoreEdits(NodeOf(index)); }

void TFormImageManager::MakeUniqueName(std::string& name, bool adding) {
  std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
  const std::string fallback = "IMG00000" + extension;
  if (dot != std::string::npos && name.compare(dot + 1, std::string::npos, "JPE") == 0) name[dot + 3] = 'G';
  SanitizeFileName(name);
  if (name.empty() || name[0] == '.') name = fallback;
  int found = FindItemByName(name);
  while (found >= 0) {
    if (!adding && found == lastSelected_) break;
    if (!IncrementNameCounter(name)) {
      dot = name.rfind('.');
      name = "IMG00000." + (dot == std::string::npos ? std::string() : name.substr(dot + 1));
    }
    found = FindItemByName(name);
  }
}

int TFormImageManager::SetItemCaption(int index, const std::string& text) {
  if (index < 0 || index >= lvImages->Items()->Count()) return -1;
  TListItem* item = lvImages->Items()->Item(index);
  item->SetCaption(text);
  return lvImages->Items()->IndexOf(item);
}

void TFormImageManager::edtNameExit(TObject*) {
  if (lastSelected_ == -1 || current_ == nullptr) return;
  // Only a name the user typed becomes a new name. Leaving the field, OK or
  // an add without an edit, or after typing the name shown, rename nothing:
  // the name shown is not cut to 8.3, however long it is.
  if (!edtName->Modified) return;
  edtName->Modified = false;
  const std::string oldName = current_->GetAttr("name");
  if (edtName->Text() == UpToDot(oldName)) return;
  // The new name takes the three letters of the type that StoreEdits writes.
  const std::string type = EntryType(current_).substr(0, 3);
  std::string name = Make83Name(edtName->Text(), type);
  MakeUniqueName(name, false);
  type_ = type;
  edtName->SetText(UpToDot(name));
  if (current_->GetAttr("oldname").empty()) current_->UpdateAttr("oldname", oldName);
}

void TFormImageManager::edtLongNameChange(TObject*) {
  if (busy_ || lastSelected_ == -1) return;
  lastSelected_ = SetItemCaption(lastSelected_, edtLongName->Text());
}

void TFormImageManager::edtLongNameExit(TObject*) {
  if (current_ != nullptr) current_->UpdateAttr("longname", edtLongName->Text());
}

void TFormImageManager::edtHeightExit(TObject*) {
  if (!IsCount(edtHeight->Text())) edtHeight->SetText(std::to_string(Image1->Picture()->Height()));
}

void TFormImageManager::edtWidthExit(TObject*) {
  if (!IsCount(edtWidth->Text())) edtWidth->SetText(std::to_string(Image1->Picture()->Width()));
}

void TFormImageManager::edtMeasureChange(TObject* sender) {
  if (auto* edit = dynamic_cast<TEdit*>(sender)) edit->Font()->Color = fieldsFilled_ ? clRed : clWindowText;
}

void TFormImageManager::Panel2Resize(TObject*) {
  if (Image1 == nullptr || pnlFields == nullptr) return;
  const int pw = Image1->Picture()->Width();
  const int ph = Image1->Picture()->Height();
  const int areaHeight = Panel2->Height() - pnlFields->Height();
  const bool stretch = pw > Panel2->Width() || ph > areaHeight;
  Image1->SetStretch(stretch);
  Image1->SetBounds(0, 0, Panel2->Width(), areaHeight);
  if (!stretch || pw <= 0 || ph <= 0) return;
  const int w = Image1->Width();
  const int h = Image1->Height();
  const int fitHeight = ph * w / pw;
  const int fitWidth = pw * h / ph;
  if (h >= fitHeight)
    Image1->SetBounds(0, (h - fitHeight) / 2, w, fitHeight);
  else if (w >= fitWidth)
    Image1->SetBounds((w - fitWidth) / 2, 0, fitWidth, h);
}

void TFormImageManager::FormActivate(TObject*) {
  SetUiTexts();
  lvImages->SetWidth(lvImages->Width() + 1);
  lvImages->SetWidth(lvImages->Width() - 1);
  if (TListItem* item = lvImages->Selected()) item->MakeVisible(false);
}

void TFormImageManager::FormShow(TObject*) {
  TclOpenIniReg settings(HostProjectManager(), "Tarnwell", ".webx");
  PlaceFormAtCursor(Name(), this, settings.GetIniFile());
}

void TFormImageManager::FormClose(TObject*, TCloseAction&) {
  {
    TclOpenIniReg settings(HostProjectManager(), "Tarnwell", ".webx");
    WriteSettings([&] { SaveFormPlacement(Name(), this, settings.GetIniFile()); });
  }
  // Closing by the window's button counts as Cancel: the trashed files go
  // back, so that the project's list never names a file in the trash.
  if (ModalResult != mrOk) RestoreFiles();
}

void TFormImageManager::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowProjectHelp();
    return;
  }
  TForm::Dispatch(message);
}
