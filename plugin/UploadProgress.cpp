#include "plugin/UploadProgress.h"

#include <cstdio>

#include "core/NameHelpers.h"
#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"
#include "plugin/FileTransfers.h"

TFormUploadProgress* FormUploadProgress = nullptr;

namespace {

constexpr int kClientWidth = 342;
constexpr int kClientHeight = 128;
constexpr int kLeft = 8;
constexpr int kName1Top = 8;
constexpr int kName2Top = 24;
constexpr int kBarTop = 40;
constexpr int kBarWidth = 321;
constexpr int kBarHeight = 17;
constexpr int kProgressTop = 64;
constexpr int kButtonLeft = 128;
constexpr int kButtonTop = 88;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kFontPoints = 9;
constexpr int kTextCaption = 7236;
constexpr int kTextCancel = 2006;
constexpr double kPercent = 100.0;
constexpr int kMsPerMinute = 60000;
constexpr int kMsPerSecond = 1000;

TLabel* MakeLabel(TForm* form, const char* name, int top, const std::string& text) {
  auto* label = new TLabel(form);
  label->SetName(name);
  label->SetParent(form);
  label->SetLeft(kLeft);
  label->SetTop(top);
  label->SetCaption(text);
  return label;
}

std::string NamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TFormUploadProgress::TFormUploadProgress(TComponent* AOwner, TPostFile& upload) : TForm(AOwner), upload_(upload) {
  SetName("FormUploadProgress");
  Font()->Name = "Segoe UI";
  Font()->SetSize(kFontPoints);
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  CreateComponents();
  OnActivate = {this, &TFormUploadProgress::FormActivate};
  OnClose = {this, &TFormUploadProgress::FormClose};
  AfterConstruction();
}

void TFormUploadProgress::CreateComponents() {
  lblName1 = MakeLabel(this, "lblName1", kName1Top, "lblName1");
  lblName2 = MakeLabel(this, "lblName2", kName2Top, "lblName2");
  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->SetName("ProgressBar1");
  ProgressBar1->SetParent(this);
  ProgressBar1->SetBounds(kLeft, kBarTop, kBarWidth, kBarHeight);
  ProgressBar1->SetRange(0, static_cast<int>(kPercent));
  ProgressBar1->SetSmooth(true);
  lblProgress = MakeLabel(this, "lblProgress", kProgressTop, "??:??");
  Button1 = new TButton(this);
  Button1->SetName("Button1");
  Button1->SetParent(this);
  Button1->SetBounds(kButtonLeft, kButtonTop, kButtonWidth, kButtonHeight);
  Button1->SetCaption(GetUiText(kTextCancel));
  Button1->Cancel = true;
  Button1->OnClick = {this, &TFormUploadProgress::Button1Click};
}

void TFormUploadProgress::FormActivate(TObject*) {
  SetCaption(GetUiText(kTextCaption));
  Button1->SetCaption(GetUiText(kTextCancel));
  lblName1->SetCaption(NamePart(upload_.localName));
  lblName2->SetCaption(upload_.plcPath);
  if (BlockedWindow != nullptr) EnableWindow(BlockedWindow, FALSE);
}

void TFormUploadProgress::Button1Click(TObject*) {
  upload_.cancel.store(1, std::memory_order_release);
  Button1->SetEnabled(false);
}

void TFormUploadProgress::FormClose(TObject*, TCloseAction& Action) {
  if (BlockedWindow != nullptr) EnableWindow(BlockedWindow, TRUE);
  Action = caFree;
  upload_.cancel.store(1, std::memory_order_release);
  upload_.progressWindow.store(nullptr, std::memory_order_release);
  if (FormUploadProgress == this) FormUploadProgress = nullptr;
}

void TFormUploadProgress::UpdateProgress() {
  const std::uint32_t size = upload_.size.load(std::memory_order_relaxed);
  const std::uint32_t offset = upload_.offset.load(std::memory_order_relaxed);
  if (size != 0) {
    ProgressBar1->SetPosition(static_cast<int>(static_cast<std::uint64_t>(offset) * 100 / size));
    if (!started_) {
      startTicks_ = GetTickCount();
      started_ = true;
    }
    if (offset != 0) {
      const std::uint32_t elapsed = GetTickCount() - startTicks_;
      const double total = elapsed / (static_cast<double>(offset) / size);
      const int totalMs = static_cast<int>(total);
      const int elapsedMs = static_cast<int>(elapsed);
      char text[96];
      std::snprintf(
          text, sizeof text, "(%s/%s) %i:%02i/%i:%02i", FormatSizeText(static_cast<std::int32_t>(offset)).c_str(),
          FormatSizeText(static_cast<std::int32_t>(size)).c_str(), elapsedMs / kMsPerMinute,
          (elapsedMs % kMsPerMinute) / kMsPerSecond, totalMs / kMsPerMinute, (totalMs % kMsPerMinute) / kMsPerSecond);
      lblProgress->SetCaption(text);
    }
  }
  if (upload_.state.load(std::memory_order_acquire) == 0 &&
      upload_.outcome.load(std::memory_order_acquire) == TUploadOutcome::Failed)
    ShowFailure(offset, size);
  Invalidate();
}

// A failed upload: the bar turns red, the times give way to "--:--" after
// the counts reached, and only closing is left.
void TFormUploadProgress::ShowFailure(std::uint32_t offset, std::uint32_t size) {
  ProgressBar1->BarColor = clRed;
  lblProgress->SetCaption("(" + FormatSizeText(static_cast<std::int32_t>(offset)) + "/" +
                          FormatSizeText(static_cast<std::int32_t>(size)) + ") --:--");
  Button1->SetEnabled(false);
}

void TFormUploadProgress::WndProc(TMessage& message) {
  if (message.Msg == kMsgCommProgress) return UpdateProgress();
  TForm::WndProc(message);
}

void CloseUploadProgress() {
  if (FormUploadProgress != nullptr) FormUploadProgress->Close();
}

HWND ShowUploadProgress(TPostFile& upload, HWND blocked) {
  CloseUploadProgress();
  FormUploadProgress = new TFormUploadProgress(nullptr, upload);
  FormUploadProgress->BlockedWindow = blocked;
  FormUploadProgress->Show();
  return FormUploadProgress->Handle();
}
