#include "core/WriteFailureNotice.h"

#include <algorithm>
#include <vector>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kNotWrittenTextId = 7411;  // could not be written; it is kept as it was.
constexpr const char* kWriteFailureCaption = "Tarnwell";

// The files noted while a notice is held; commands run on the UI thread.
struct TWriteFailures {
  int depth = 0;
  std::vector<std::string> files;
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
void TellWriteFailures(const std::vector<std::string>& files) {
  std::string text;
  for (const std::string& file : files) {
    if (!text.empty()) text += "\r\n";
    text += "\"" + ShownPath(file) + "\" " + GetUiText(kNotWrittenTextId);
  }
  MessageBox(nullptr, text.c_str(), kWriteFailureCaption, MB_OK | MB_ICONWARNING);
}

}  // namespace

TWriteFailureNotice::TWriteFailureNotice() noexcept : outermost_(gWriteFailures.depth == 0) { ++gWriteFailures.depth; }

TWriteFailureNotice::~TWriteFailureNotice() {
  --gWriteFailures.depth;
  if (!outermost_) return;
  gWriteFailures.told.clear();
  if (gWriteFailures.files.empty()) return;
  std::vector<std::string> files;
  files.swap(gWriteFailures.files);
  try {
    TellWriteFailures(files);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("TWriteFailureNotice - ") + e.what());
  }
}

void NoteWriteFailure(const std::string& file) {
  WriteTraceLog("Cannot write " + file);
  if (gWriteFailures.depth == 0) {
    TellWriteFailures({file});
    return;
  }
  if (!Holds(gWriteFailures.files, file) && !Holds(gWriteFailures.told, file)) gWriteFailures.files.push_back(file);
}

void WriteFailureToldElsewhere(const std::string& file) {
  if (gWriteFailures.depth == 0) return;
  std::vector<std::string>& files = gWriteFailures.files;
  files.erase(std::remove_if(files.begin(), files.end(), [&](const std::string& held) { return SameFile(held, file); }),
              files.end());
  gWriteFailures.told.push_back(file);
}

bool WriteSettings(const std::function<void()>& write) {
  try {
    write();
    return true;
  } catch (const EIniFileException& e) {
    NoteWriteFailure(e.FileName());
    return false;
  }
}

int ShowModalWithNotice(TCustomForm& form) {
  const TWriteFailureNotice notice;
  return form.ShowModal();
}
