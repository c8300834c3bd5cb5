#include "platform/vcl/OpenDialog.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/win/CodePage.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kPictureFilter =
    "All (*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.ico)|*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.ico|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "PNG Image File (*.png)|*.png|GIF Image File (*.gif)|*.gif|Icons (*.ico)|*.ico";

bool HasExtension(const std::string& name) {
  const auto slash = name.find_last_of("\\/");
  const auto dot = name.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < name.size();
}

// The name of the file as the boxes show it (in the ANSI code page).
std::string FileTitle(const std::string& name) {
  const auto slash = name.find_last_of("\\/");
  return TextOfFileName(slash == std::string::npos ? name : name.substr(slash + 1), CP_ACP);
}

}  // namespace

bool DialogFileExists(const std::string& fileName) {
  if (fileName.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(ToNativePath(fileName), ec);
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

std::string TOpenDialog::FilterPatterns(int filterIndex) const {
  std::vector<std::string> parts;
  std::string part;
  for (char c : Filter) {
    if (c == '|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  const std::size_t at = static_cast<std::size_t>(filterIndex) * 2 - 1;
  if (filterIndex < 1 || at >= parts.size()) return "";
  return parts[at];
}

bool TOpenDialog::Execute() {
  const std::string fileName = FileName;
  const TStringList files = *files_;
  const int filterIndex = FilterIndex;
  files_->Clear();
  bool accepted = TCommonDialog::Execute();
  if (accepted) {
    if (files_->Count() == 0 && !FileName.empty()) files_->Add(FileName);
    if (!(Options & ofAllowMultiSelect))
      while (files_->Count() > 1) files_->Delete(files_->Count() - 1);
    if (!DefaultExt.empty()) {
      const std::string ext = DefaultExt[0] == '.' ? DefaultExt : "." + DefaultExt;
      for (int i = 0; i < files_->Count(); ++i)
        if (!HasExtension(files_->Strings(i))) files_->SetStrings(i, files_->Strings(i) + ext);
    }
    accepted = files_->Count() > 0 && !files_->Strings(0).empty();
    if (accepted) {
      FileName = files_->Strings(0);
      accepted = AcceptChoice();
    }
  }
  if (!accepted) {
    FileName = fileName;
    *files_ = files;
    FilterIndex = filterIndex;
  }
  return accepted;
}

bool TOpenDialog::AcceptChoice() {
  if (!(Options & ofFileMustExist)) return true;
  for (int i = 0; i < files_->Count(); ++i) {
    const std::string& name = files_->Strings(i);
    if (DialogFileExists(name)) continue;
    const std::string text = FileTitle(name) + "\r\nFile not found.\r\nCheck the file name and try again.";
    MessageBox(nullptr, text.c_str(), Title.empty() ? "Open" : Title.c_str(), MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

bool TSaveDialog::AcceptChoice() {
  if (!(Options & ofOverwritePrompt) || !DialogFileExists(FileName)) return true;
  const std::string text = FileTitle(FileName) + " already exists.\r\nDo you want to replace it?";
  return MessageBox(nullptr, text.c_str(), Title.empty() ? "Confirm Save As" : Title.c_str(),
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) { Filter = kPictureFilter; }

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner) { Filter = kPictureFilter; }
