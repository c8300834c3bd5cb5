// TFormImageManager: what touches the image folder: adding picture files,
// removing into the trash, the purge of unused pictures, OK and Cancel.

#include <algorithm>
#include <map>

#include "core/FileHelpers.h"
#include "core/HostEnvironment.h"
#include "core/NameHelpers.h"
#include "core/OpenIniReg.h"
#include "core/SimpleLock.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "generator/ProjectSettings.h"
#include "pictures/PictureLoader.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/CodePage.h"
#include "platform/win/Folders.h"
#include "platform/win/MessageBox.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/ShortPath.h"
#include "project/DialogFilters.h"
#include "project/FormDeletePict.h"
#include "project/FormImageManager.h"
#include "project/ImageFileNames.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kCannotCopyText = 7077;  // "[Tarnwell] - Cannot copy : "
// The name of the file "%s" has letters that the project's code page cannot hold; ...
constexpr int kNameNotHeldText = 7490;
// The picture '%s' could not be renamed to '%s': a file of that name is already in the image folder. ...
constexpr int kRenameTakenTextId = 7326;
// The picture '%s' could not be renamed to '%s' in the image folder (%s). ...
constexpr int kRenameFailedTextId = 7641;

std::string UpToDot(const std::string& name) { return name.substr(0, name.find('.')); }

// The name under which an entry's file lies on disk.
std::string DiskName(const TmyXmlNode* node) {
  std::string old = node->GetAttr("oldname");
  return old.empty() ? node->GetAttr("name") : old;
}

}  // namespace

// --- adding -------------------------------------------------------------------

void TFormImageManager::btnAddClick(TObject* sender) {
  TclOpenIniReg settings(HostProjectManager(), "Tarnwell", ".webx");
  TIniFile* ini = settings.GetIniFile();
  if (ini == nullptr || Designer == nullptr || Designer->PictureOpenDialog() == nullptr) return;
  WriteTraceLog("Settings: " + ini->FileName());
  TOpenPictureDialog* dialog = Designer->PictureOpenDialog();
  dialog->Options |= ofAllowMultiSelect | ofFileMustExist;
  dialog->FileName.clear();
  dialog->InitialDir = ini->ReadString(settings.GetSection(), "PicturesPath", "");
  dialog->Filter = kImageManagerFilter;
  if (sender == btnAdd2 || dialog->InitialDir.empty()) dialog->InitialDir = ExtractFilePath(ParamStr(0)) + "..\\IMAGES";
  if (!dialog->Execute()) return;
  std::vector<std::string> files;
  for (int i = 0; i < dialog->Files()->Count(); ++i) files.push_back(dialog->Files()->Strings(i));
  if (!files.empty() && sender != btnAdd2)
    WriteSettings([&] { ini->WriteString(settings.GetSection(), "PicturesPath", ExtractFilePath(files.front())); });
  AddFiles(files);
}

void TFormImageManager::AddFiles(const std::vector<std::string>& files) {
  // A pending rename and the shown item's edits go into its node first, so
  // that the names compared below are the current ones.
  edtNameExit(this);
  WriteTraceLog("CLICK - AddClick");
  lvImagesClick(this);
  WriteTraceLog("CLICK - END");
  TSimpleLock lock(&busy_);
  for (const std::string& file : files) {
    if (!AddFile(file)) {
      lvImages->ClearSelection();
      if (lvImages->Items()->Count() > 0) lvImages->SetItemIndex(0);
      busy_ = false;
      WriteTraceLog("CLICK - AddClick");
      lvImagesClick(this);
      WriteTraceLog("CLICK - END");
      busy_ = true;
      lastSelected_ = -1;
    }
    Image1->Invalidate();
  }
}

// False when the file was refused as already added; a file that is no
// picture, or that cannot be copied in, is skipped. Until the new entry
// exists the fields and the preview go on showing the selected entry: the
// next selection change and OK store the fields into it, so a file that is
// skipped or refused leaves that entry as it was.
bool TFormImageManager::AddFile(const std::string& file) {
  TBitmap picture;
  if (!LoadPictureFile(file, &picture, true, nullptr) || picture.Empty()) return true;
  // The file system's name (UTF-8) becomes a text of the project, in its
  // code page; a name with letters the code page lacks is told.
  bool held = true;
  const std::string fileName = ExtractFileName(file);
  const std::string longName = UpToDot(TextOfFileName(fileName, ProjectCodePage(), &held));
  if (!held) {
    const std::string text = Format(GetUiText(kNameNotHeldText), TextOfFileName(fileName, CP_ACP).c_str(),
                                    TextOfFileName(FileNameOfText(longName, ProjectCodePage()), CP_ACP).c_str());
    MessageBox(nullptr, text.c_str(), Caption().c_str(), MB_OK | MB_ICONWARNING);
  }
  char shortPath[1024] = {};
  const DWORD length = GetShortPathName(file.c_str(), shortPath, sizeof shortPath);
  std::string name =
      UpperCaseUploadName(ExtractFileName(length > 0 && length < sizeof shortPath ? std::string(shortPath) : file));
  if (name.find('.') == std::string::npos) name += ".";
  MakeUniqueName(name, true);
  const std::string folder = ImageFolder();
  if (folder.empty()) return true;
  ForceDirectories(folder);
  // A leftover file of that name outside the list is reused only when it
  // holds the same picture; otherwise the next free name is taken.
  while (PathExists(folder + name)) {
    for (TmyXmlNode* node = working_->firstChild; node != nullptr; node = node->next) {
      if (DiskName(node) == name) {
        MessageBox(nullptr, GetUiText(7019).c_str(), Caption().c_str(), MB_OK);
        return false;
      }
    }
    if (SameFileContent(file, folder + name)) break;
    std::string next = name;
    if (!IncrementNameCounter(next)) break;
    name = next;
    MakeUniqueName(name, true);
  }
  const std::string destination = folder + name;
  if (!PathExists(destination) && !SameText(destination, file)) {
    if (!CopyFileKeepTime(file, destination)) {
      const std::string text = GetUiText(kCannotCopyText) + ShownPath(file);
      MessageBox(nullptr, text.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
      return true;
    }
    copiedFiles_.push_back(name);
  }
  Image1->Picture()->Bitmap()->Assign(&picture);
  Panel2Resize(this);
  edtHeight->SetText(std::to_string(picture.Height()));
  edtWidth->SetText(std::to_string(picture.Width()));
  edtLongName->SetText(longName);
  const std::size_t dot = name.rfind('.');
  edtName->SetText(name.substr(0, dot));
  type_ = name.substr(dot + 1, 3);
  TmyXmlNode* node = working_->AddChild("img");
  node->closed = true;
  StoreEdits(node);
  listReacts_ = false;
  TListItem* item = lvImages->Items()->Add();
  item->Data = node;
  item->SetCaption(longName);
  lvImages->ClearSelection();
  item->SetSelected(true);
  lastSelected_ = lvImages->Items()->IndexOf(item);
  current_ = node;
  item->MakeVisible(false);
  listReacts_ = true;
  EnableFields(true);
  Image1->SetTransparent(!SameText(type_, "BMP") && !SameText(type_, "JPG"));
  return true;
}

int TFormImageManager::ProjectCodePage() const {
  const TmyXmlNode* web = Designer != nullptr ? Designer->WebElement() : nullptr;
  const std::string encoding = web != nullptr ? web->GetAttr("encoding") : std::string();
  return CodePageOfEncoding(encoding.empty() ? TProjectSettings().encoding : encoding);
}

// --- removing and the purge ----------------------------------------------------

void TFormImageManager::btnRemoveClick(TObject* sender) {
  btnRemove->SetEnabled(false);
  RemoveSelected(sender != nullptr);
  btnRemove->SetEnabled(true);
}

void TFormImageManager::RemoveSelected(bool ask) {
  TListItem* item = lvImages->Selected();
  if (item == nullptr) return;
  auto* node = static_cast<TmyXmlNode*>(item->Data);
  if (ask) {
    TFormDeletePict question(this);
    question.ShowPicture(node->GetAttr("longname"), Image1->Picture()->Bitmap());
    question.HideExtraButtons();
    const int answer = question.ShowModal();
    if (answer != mrYes) return;
  }
  DiscardFile(DiskName(node));
  const int index = lvImages->Items()->IndexOf(item);
  listReacts_ = false;
  lvImages->Items()->Delete(index);
  listReacts_ = true;
  lastSelected_ = -1;
  current_ = nullptr;
  const int count = lvImages->Items()->Count();
  if (count > 0) {
    lvImages->SetItemIndex(std::min(index, count - 1));
    WriteTraceLog("CLICK - btnRemoveClick");
    lvImagesClick(lvImages);
    WriteTraceLog("CLICK - END");
  } else {
    Image1->Picture()->Assign(static_cast<const TPicture*>(nullptr));
    for (TControl* control :
         std::initializer_list<TControl*>{edtName, edtHeight, edtWidth, lblName, lblHeight, lblWidth})
      control->SetEnabled(false);
  }
  delete node;
}

void TFormImageManager::DiscardFile(const std::string& file) {
  const std::string folder = ImageFolder();
  if (folder.empty()) return;
  // A file this dialog copied in was not in the folder before: it goes at
  // once. Any other file waits in the trash, so that Cancel can put it back.
  const auto copied = std::find(copiedFiles_.begin(), copiedFiles_.end(), file);
  if (copied != copiedFiles_.end()) {
    DeleteFile(folder + file);
    copiedFiles_.erase(copied);
    return;
  }
  const std::string trash = TrashFolder();
  if (!DirectoryExists(trash)) {
    ForceDirectories(trash);
    madeTrash_ = true;
  }
  if (MoveFile((folder + file).c_str(), (trash + file).c_str())) trashed_.push_back(file);
}

std::unique_ptr<TStringList> TFormImageManager::UsedNames() const {
  auto used = std::make_unique<TStringList>();
  used->SetSorted(true);
  used->SetDuplicates(dupIgnore);
  if (projectRoot_ == nullptr) return used;
  // The open page's latest changes count as used too.
  if (Designer != nullptr && Designer->CurrentPage() != nullptr) Designer->SavePage(Designer->CurrentPage());
  // A canvas names its pictures by long name and type: the entry of that
  // title is the one in use (with its name on disk as well).
  const auto canvasName = [this, &used](const std::string& longName) {
    for (const TmyXmlNode* node = working_->firstChild; node != nullptr; node = node->next) {
      if (!SameText(node->GetAttr("longname") + "." + node->GetAttr("type"), longName)) continue;
      used->Add(DiskName(node));
      return node->GetAttr("name");
    }
    return longName;
  };
  for (TmyXmlNode* object = projectRoot_->FindDeep("object"); object != nullptr; object = object->FindDeep("object"))
    CollectObjectImages(object, canvasName, *used);
  for (TmyXmlNode* page = projectRoot_->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
    used->Add(page->GetAttr("background"));
  return used;
}

void TFormImageManager::Button3Click(TObject*) {
  const std::unique_ptr<TStringList> used = UsedNames();
  if (lvImages->CanFocus()) lvImages->SetFocus();
  TFormDeletePict question(this);
  int last = mrNone;
  int i = 0;
  while (i < lvImages->Items()->Count()) {
    const TmyXmlNode* node = NodeOf(i);
    // An entry renamed since the dialog opened is still known to the pages by
    // its old name until OK renames the references.
    if (used->IndexOf(node->GetAttr("name")) >= 0 || used->IndexOf(DiskName(node)) >= 0) {
      ++i;
      continue;
    }
    lvImages->ClearSelection();
    lvImages->SetItemIndex(i);
    lvImagesClick(lvImages);
    if (last != mrAll) {
      question.ShowPicture(node->GetAttr("longname"), Image1->Picture()->Bitmap());
      last = question.ShowModal();
    }
    if (last == mrCancel) break;
    if (last == mrYes || last == mrAll)
      btnRemoveClick(nullptr);
    else
      ++i;
  }
}

// --- OK and Cancel ----------------------------------------------------------------

void TFormImageManager::Button1Click(TObject*) {
  WriteTraceLog("Button1Click");
  edtNameExit(this);
  edtHeightExit(this);
  edtWidthExit(this);
  lastSelected_ = lvImages->ItemIndex() >= 0 ? lastSelected_ : -1;
  if (lastSelected_ != -1) StoreEditsOfItem(lastSelected_);
  lastSelected_ = -1;
  lvImagesClick(this);
  WriteTraceLog("CLICK - END");
  // The chosen entry is kept by its element, not by its name: a rename that
  // cannot be done gives it its old name back.
  TmyXmlNode* selected = lvImages->Selected() == nullptr ? nullptr : NodeOf(lvImages->ItemIndex());
  const std::string trash = TrashFolder();
  if (!trash.empty()) DeleteDirTree(trash);
  ApplyRenames();
  chosen_ = nullptr;
  if (images_ != nullptr) {
    images_->DeleteChildren();
    working_->MoveChildrenTo(images_);
    chosen_ = selected;
  }
  committed_ = true;
  if (Designer != nullptr) Designer->RefreshImageList();
}

void TFormImageManager::ApplyRenames() {
  std::vector<TImageRename> renames;
  for (TmyXmlNode* node = working_->firstChild; node != nullptr; node = node->next) {
    const std::string old = node->GetAttr("oldname");
    if (old.empty()) continue;
    node->DeleteAttr("oldname");
    if (old != node->GetAttr("name")) renames.push_back({node, old, node->GetAttr("name")});
  }
  if (renames.empty()) return;
  const std::string folder = ImageFolder();
  RenameImageFiles(folder, renames, [](const std::string& from, const std::string& to) {
    return MoveFile(from.c_str(), to.c_str()) != 0;
  });
  std::map<std::string, std::string> map;
  for (const TImageRename& rename : renames) {
    if (!rename.done) {
      rename.node->UpdateAttr("name", rename.oldName);
      WriteTraceLog("Image rename failed: " + rename.oldName + " -> " + rename.newName);
      // A file in the way, or a folder (or file) the system would not change.
      const std::string text =
          rename.failure.empty()
              ? Format(GetUiText(kRenameTakenTextId), rename.oldName, rename.newName)
              : Format(GetUiText(kRenameFailedTextId), rename.oldName, rename.newName, rename.failure);
      MessageBox(nullptr, text.c_str(), Caption().c_str(), MB_OK | MB_ICONWARNING);
      continue;
    }
    map[rename.oldName] = rename.newName;
  }
  if (Designer != nullptr && !map.empty()) Designer->RenameImages(map);
}

void TFormImageManager::Button2Click(TObject*) { RestoreFiles(); }

void TFormImageManager::RestoreFiles() {
  if (restored_ || committed_) return;
  restored_ = true;
  const std::string folder = ImageFolder();
  if (folder.empty()) return;
  // The copies go first: one of them may hold the name of a trashed file
  // that is about to come back.
  for (const std::string& name : copiedFiles_)
    if (PathExists(folder + name)) DeleteFile(folder + name);
  copiedFiles_.clear();
  // Only what this dialog moved into the trash comes back; anything the
  // trash held before stays where it was. A file that someone else put
  // under a trashed name meanwhile is not deleted: the trashed one then
  // stays in the trash.
  const std::string trash = TrashFolder();
  for (const std::string& name : trashed_) MoveFile((trash + name).c_str(), (folder + name).c_str());
  trashed_.clear();
  if (madeTrash_) RemoveDir(trash);
}
