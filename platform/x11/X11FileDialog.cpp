#include "platform/x11/X11FileDialog.h"

#include <fnmatch.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>

#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/win/CodePage.h"
#include "platform/win/Paths.h"

namespace fs = std::filesystem;

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

// The patterns are separated by ';', with blanks around them or not
// ("*.jpg; *.png"); as on Windows, case does not count and "*.*" takes every
// name, one without a dot too.
bool Matches(const std::string& name, const std::string& patterns) {
  if (patterns.empty()) return true;
  std::stringstream parts(patterns);
  std::string pattern;
  while (std::getline(parts, pattern, ';')) {
    const auto first = pattern.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    pattern = pattern.substr(first, pattern.find_last_not_of(" \t") - first + 1);
    if (pattern == "*.*" || fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  }
  return false;
}

// The form of the dialog; its class name lets a test's modal handler act on
// it like on any other form.
class TFileDialogForm : public TForm {
 public:
  explicit TFileDialogForm(TOpenDialog& dialog) : TForm(nullptr), dialog_(dialog) {
    SetName("FileDialogForm");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption(!dialog.Title.empty() ? dialog.Title : dynamic_cast<TSaveDialog*>(&dialog) ? "Save As" : "Open");
    SetClientWidth(420);
    SetClientHeight(330);
    Add<TLabel>("lblFolder", 8, 10, 50, 16)->SetCaption("Folder:");
    edFolder = Add<TEdit>("edFolder", 60, 6, 352, 22);
    lbFiles = Add<TListBox>("lbFiles", 8, 34, 404, 220);
    lbFiles->SetMultiSelect((dialog.Options & ofAllowMultiSelect) != 0);
    lbFiles->OnClick = {this, &TFileDialogForm::ListClick};
    lbFiles->OnDblClick = {this, &TFileDialogForm::ListDblClick};
    Add<TLabel>("lblName", 8, 266, 70, 16)->SetCaption("File name:");
    edName = Add<TEdit>("edName", 80, 262, 332, 22);
    btnOk = Add<TButton>("btnOk", 256, 296, 75, 25);
    btnOk->SetCaption("OK");
    btnOk->SetDefault(true);
    btnOk->OnClick = {this, &TFileDialogForm::OkClick};
    btnCancel = Add<TButton>("btnCancel", 337, 296, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnCancel->Cancel = true;
    btnCancel->ModalResult = mrCancel;
    std::error_code ec;
    fs::path start = dialog.InitialDir.empty() ? fs::path() : fs::path(ToNativePath(dialog.InitialDir));
    const fs::path chosen = dialog.FileName.empty() ? fs::path() : fs::path(ToNativePath(dialog.FileName));
    if (start.empty() && chosen.has_parent_path()) start = chosen.parent_path();
    if (start.empty() || !fs::is_directory(start, ec)) start = fs::current_path(ec);
    edName->SetText(TextOfFileName(chosen.filename().string(), CP_ACP));
    Open(fs::absolute(start, ec).lexically_normal().string());
    SetActiveControl(edName);
    AfterConstruction();
  }

  std::string ClassName() const override { return "TFileDialogForm"; }

  // The chosen files' paths after OK (several only with ofAllowMultiSelect).
  std::vector<std::string> chosen;
  TEdit* edFolder;
  TListBox* lbFiles;
  TEdit* edName;
  TButton* btnOk;
  TButton* btnCancel;

 private:
  template <class T>
  T* Add(const char* name, int left, int top, int width, int height) {
    auto* control = new T(this);
    control->SetName(name);
    control->SetParent(this);
    control->SetBounds(left, top, width, height);
    return control;
  }

  // The fields and the list show names as texts in the ANSI code page; the
  // folder and its entries are kept as the file system names them.
  void Open(const std::string& folder) {
    folder_ = folder;
    edFolder->SetText(TextOfFileName(folder, CP_ACP));
    lbFiles->Items()->Clear();
    entries_ = FileDialogEntries(folder, dialog_.FilterPatterns(dialog_.FilterIndex));
    for (const std::string& entry : entries_) lbFiles->Items()->Add(TextOfFileName(entry, CP_ACP));
  }

  // The file system's path of a name (or a path) the person typed or chose:
  // an entry of the list by the text it is shown with (also one whose
  // letters the code page lacks), anything else converted.
  fs::path NativePath(const std::string& text) const {
    for (int i = 0; i < lbFiles->Items()->Count() && i < static_cast<int>(entries_.size()); ++i) {
      const std::string& shown = lbFiles->Items()->Strings(i);
      if (shown != text && shown != text + "/") continue;
      std::string entry = entries_[i];
      if (entry.back() == '/') entry.pop_back();
      return fs::path(folder_) / entry;
    }
    const fs::path path = FileNameOfText(text, CP_ACP);
    return path.is_absolute() ? path : fs::path(folder_) / path;
  }

  // A name of the folder, or a path: a folder opens, anything else is the
  // choice (false).
  bool OpenIfFolder(const std::string& name) {
    std::error_code ec;
    const fs::path path = NativePath(name);
    if (!fs::is_directory(path, ec)) return false;
    Open(path.lexically_normal().string());
    return true;
  }

  std::string SelectedEntry() const {
    const int i = lbFiles->ItemIndex();
    return i >= 0 && i < lbFiles->Items()->Count() ? lbFiles->Items()->Strings(i) : std::string();
  }

  void ListClick(TObject*) {
    // Several chosen files stand in the name field each in quotes.
    if (lbFiles->MultiSelect() && lbFiles->SelCount() > 1) {
      std::string names;
      for (int i = 0; i < lbFiles->Items()->Count(); ++i) {
        const std::string& entry = lbFiles->Items()->Strings(i);
        if (lbFiles->Selected(i) && entry.back() != '/') names += (names.empty() ? "\"" : " \"") + entry + "\"";
      }
      if (!names.empty()) edName->SetText(names);
      return;
    }
    const std::string entry = SelectedEntry();
    if (!entry.empty() && entry.back() != '/') edName->SetText(entry);
  }

  void ListDblClick(TObject*) {
    const std::string entry = SelectedEntry();
    if (entry.empty()) return;
    if (entry.back() == '/') {
      OpenIfFolder(entry.substr(0, entry.size() - 1));
      return;
    }
    edName->SetText(entry);
    Choose();
  }

  void OkClick(TObject*) {
    // Enter in the folder's edit goes to the folder typed there.
    if (ActiveControl() == edFolder) {
      OpenIfFolder(edFolder->Text());
      return;
    }
    Choose();
  }

  void Choose() {
    const std::vector<std::string> names = FileDialogNames(edName->Text(), lbFiles->MultiSelect());
    if (names.empty() || (names.size() == 1 && OpenIfFolder(names.front()))) return;
    chosen.clear();
    for (const std::string& name : names) chosen.push_back(NativePath(name).lexically_normal().string());
    ModalResult = mrOk;
  }

  TOpenDialog& dialog_;
  std::string folder_;
  std::vector<std::string> entries_;  // the listed entries as the file system names them
};

}  // namespace

std::vector<std::string> FileDialogEntries(const std::string& folder, const std::string& patterns) {
  std::vector<std::string> folders;
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    if (it->is_directory(typeError))
      folders.push_back(name + "/");
    else if (Matches(name, patterns))
      files.push_back(name);
  }
  std::sort(folders.begin(), folders.end(), LessNoCase);
  std::sort(files.begin(), files.end(), LessNoCase);
  std::vector<std::string> entries;
  if (fs::path(folder).lexically_normal() != fs::path(folder).root_path()) entries.push_back("../");
  entries.insert(entries.end(), folders.begin(), folders.end());
  entries.insert(entries.end(), files.begin(), files.end());
  return entries;
}

std::vector<std::string> FileDialogNames(const std::string& field, bool several) {
  if (!several || field.find('"') == std::string::npos)
    return field.empty() ? std::vector<std::string>{} : std::vector{field};
  std::vector<std::string> names;
  for (std::size_t open = field.find('"'); open != std::string::npos; open = field.find('"', open)) {
    const std::size_t close = field.find('"', open + 1);
    const std::string name = field.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    if (!name.empty()) names.push_back(name);
    if (close == std::string::npos) break;
    open = close + 1;
  }
  return names;
}

int ShowX11FileDialog(TOpenDialog& dialog) {
  auto form = std::make_unique<TFileDialogForm>(dialog);
  if (form->ShowModal() != mrOk || form->chosen.empty()) return 0;
  dialog.FileName = form->chosen.front();
  dialog.Files()->Clear();
  for (const std::string& path : form->chosen) dialog.Files()->Add(path);
  return 1;
}
