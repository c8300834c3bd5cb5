#include "core/WriteFailureNotice.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kNotWrittenTextId = 7411;         // could not be written; it is kept as it was.
constexpr int kNotWrittenBecauseTextId = 7414;  // could not be written (%s); it is kept as it was.
constexpr const char* kWriteFailureCaption = "Tarnwell";

// A file that could not be written and why.
using TWriteFailure = std::pair<std::string, std::string>;

// The files noted while a notice is held; commands run on the UI thread.
struct TWriteFailures {
  int depth = 0;
  std::vector<TWriteFailure> files;
  // The files the command's own error tells.
  std::vector<std::string> told;
};
TWriteFailures gWriteFailures;

// One file, however its path is spelt.
bool SameFile(const std::string& a, const std::string& b) { return SameText(ShownPath(a), ShownPath(b)); }

bool Holds(const std::vector<std::string>& files, const std::string& file) {
  return std::any_of(files.begin(), files.end(), [&](const std::string& held) { return SameFile(held, file); });
}

// One box for every file that failed, each named once.
void TellWriteFailures(const std::vector<TWriteFailure>& files, TWriteFailureLoss loss) {
  std::string text;
  for (const auto& [file, reason] : files) {
    if (!text.empty()) text += "\r\n";
    text += WriteFailureLine(file, reason);
  }
  const UINT icon = loss == TWriteFailureLoss::kLostWithClose ? MB_ICONERROR : MB_ICONWARNING;
  MessageBox(nullptr, text.c_str(), kWriteFailureCaption, MB_OK | icon);
}

}  // namespace

TWriteFailureNotice::TWriteFailureNotice(TWriteFailureLoss loss) noexcept
    : outermost_(gWriteFailures.depth == 0), loss_(loss) {
  ++gWriteFailures.depth;
}

TWriteFailureNotice::~TWriteFailureNotice() {
  --gWriteFailures.depth;
  if (!outermost_) return;
  gWriteFailures.told.clear();
  if (gWriteFailures.files.empty()) return;
  std::vector<TWriteFailure> files;
  files.swap(gWriteFailures.files);
  try {
    TellWriteFailures(files, loss_);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("TWriteFailureNotice - ") + e.what());
  }
}

void NoteWriteFailure(const std::string& file, const std::string& reason) {
  WriteTraceLog("Cannot write " + file + (reason.empty() ? "" : " (" + reason + ")"));
  if (gWriteFailures.depth == 0) {
    TellWriteFailures({{file, reason}}, TWriteFailureLoss::kWrittenLater);
    return;
  }
  std::vector<TWriteFailure>& files = gWriteFailures.files;
  const bool noted = std::any_of(files.begin(), files.end(),
                                 [&file](const TWriteFailure& held) { return SameFile(held.first, file); });
  if (!noted && !Holds(gWriteFailures.told, file)) files.emplace_back(file, reason);
}

void WriteFailureToldElsewhere(const std::string& file) {
  if (gWriteFailures.depth == 0) return;
  std::vector<TWriteFailure>& files = gWriteFailures.files;
  files.erase(
      std::remove_if(files.begin(), files.end(), [&](const TWriteFailure& held) { return SameFile(held.first, file); }),
      files.end());
  gWriteFailures.told.push_back(file);
}

std::string WriteFailureLine(const std::string& file, const std::string& reason) {
  const std::string words =
      reason.empty() ? GetUiText(kNotWrittenTextId) : Format(GetUiText(kNotWrittenBecauseTextId), reason);
  return "\"" + ShownPath(file) + "\" " + words;
}

std::string WriteFailureReason(int error) { return std::generic_category().message(error != 0 ? error : EIO); }

bool WriteSettings(const std::function<void()>& write) {
  try {
    write();
    return true;
  } catch (const EIniFileException& e) {
    NoteWriteFailure(e.FileName(), e.Reason());
    return false;
  }
}

int ShowModalWithNotice(TCustomForm& form) {
  const TWriteFailureNotice notice;
  return form.ShowModal();
}
