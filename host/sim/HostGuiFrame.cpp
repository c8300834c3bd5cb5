#include "host/sim/HostGuiFrame.h"

#include <algorithm>
#include <cctype>

#include "host/sim/HostMainWindow.h"
#include "host/sim/HostMenu.h"
#include "host/sim/HostMessages.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/SpeedButton.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/ToolBar.h"
#include "platform/vcl/UiBackend.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kMenuBarHeight = 22;
constexpr int kMessagesHeight = 110;
constexpr int kRefreshMs = 250;
constexpr int kMenuButtonPadding = 16;

// "mnu" and the letters and digits of the caption ("mnuPlugins").
std::string MenuButtonName(const std::string& caption) {
  std::string name = "mnu";
  for (char c : StripHotkey(caption))
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;
}

}  // namespace

HostGuiFrame::HostGuiFrame(HostMainWindow& window, HostMenu& menu, const HostMessageLog& messages, MessageChosen chosen)
    : TComponent(nullptr), window_(window), menu_(menu), messageLog_(messages), chosen_(std::move(chosen)) {
  window_.SetCaption("Halvex");
  // Below the plug-ins' windows, which the IDE would dock into it.
  const int height = 300;
  window_.SetBounds(0, std::max(0, Screen->Height() - height - 40), 640, height);
  menuBar_ = new TPanel(this);
  menuBar_->SetName("MenuBar");
  menuBar_->SetBevelOuter(bvNone);
  menuBar_->SetCaption("");
  menuBar_->SetHeight(kMenuBarHeight);
  menuBar_->SetParent(&window_);
  menuBar_->SetAlign(alTop);
  status_ = new TStatusBar(this);
  status_->SetName("StatusLine");
  status_->SetSimplePanel(true);
  status_->SetParent(&window_);
  status_->SetAlign(alBottom);
  messages_ = new TListBox(this);
  messages_->SetName("MessageList");
  messages_->SetHeight(kMessagesHeight);
  messages_->SetParent(&window_);
  messages_->SetAlign(alClient);
  messages_->OnDblClick = {this, &HostGuiFrame::MessageListDblClick};
  timer_ = new TTimer(this);
  timer_->SetInterval(kRefreshMs);
  timer_->OnTimer = {this, &HostGuiFrame::TimerTick};
  Refresh();
}

HostGuiFrame::~HostGuiFrame() {
  // The tool bars are the host menu's: out of the window before it frees
  // its children. The frame's own controls go with the frame.
  for (TToolBar* bar : shownBars_) bar->SetParent(nullptr);
  shownBars_.clear();
  timer_->SetEnabled(false);
}

void HostGuiFrame::TimerTick(TObject*) { Refresh(); }

void HostGuiFrame::Refresh() {
  RefreshMenuBar();
  RefreshToolBars();
  RefreshMessages();
  const std::string status = window_.CurrentStatus();
  if (status != status_->SimpleText()) status_->SetSimpleText(status);
}

void HostGuiFrame::RefreshMenuBar() {
  TMenuItem* items = menu_.MainMenuItems();
  std::vector<std::string> captions;
  for (int i = 0; items != nullptr && i < items->Count(); ++i)
    if (items->Items(i)->Visible()) captions.push_back(items->Items(i)->Caption());
  if (captions == menuCaptions_) return;
  menuCaptions_ = captions;
  for (TSpeedButton* b : menuButtons_) FreeComponent(b);
  menuButtons_.clear();
  TCanvas* canvas = window_.Canvas();
  canvas->Font->Assign(*window_.Font());
  int x = 2;
  for (const std::string& caption : captions) {
    auto* button = new TSpeedButton(this);
    button->SetName(MenuButtonName(caption));
    button->SetFlat(true);
    button->SetCaption(caption);
    const int width = canvas->TextWidth(StripHotkey(caption)) + kMenuButtonPadding;
    button->SetBounds(x, 1, width, kMenuBarHeight - 2);
    button->SetParent(menuBar_);
    button->OnClick = {this, &HostGuiFrame::MenuButtonClick};
    menuButtons_.push_back(button);
    x += width;
  }
}

void HostGuiFrame::RefreshToolBars() {
  for (TToolBar* bar : menu_.ToolBars()) {
    if (bar->Parent() == &window_) continue;
    bar->SetParent(&window_);
    bar->SetAlign(alTop);
    bar->SetTop(kMenuBarHeight + 1);  // below the menu bar
    shownBars_.push_back(bar);
  }
}

void HostGuiFrame::RefreshMessages() {
  const std::vector<HostMessageLine> lines = messageLog_.All();
  if (lines.size() == shownMessages_) return;
  for (std::size_t i = shownMessages_; i < lines.size(); ++i) {
    const HostMessageLine& m = lines[i];
    // The plug-ins' texts name files by their paths, shown with '/'.
    messages_->Items()->Add((m.origin == HostMessageLine::Origin::Compiler ? "compiler: " : "") +
                            (m.source.empty() ? "" : "[" + ShownPath(m.source) + "] ") + ShownPath(m.text));
  }
  shownMessages_ = lines.size();
  messages_->SetItemIndex(static_cast<int>(shownMessages_) - 1);
}

// The list shows the log's lines in their order, one row each.
void HostGuiFrame::MessageListDblClick(TObject*) {
  const int index = messages_->ItemIndex();
  const std::vector<HostMessageLine> lines = messageLog_.All();
  if (!chosen_ || index < 0 || static_cast<std::size_t>(index) >= lines.size()) return;
  chosen_(lines[static_cast<std::size_t>(index)]);
}

TSpeedButton* HostGuiFrame::MenuButton(const std::string& caption) const {
  for (TSpeedButton* b : menuButtons_)
    if (StripHotkey(b->Caption()) == caption) return b;
  return nullptr;
}

void HostGuiFrame::MenuButtonClick(TObject* sender) {
  auto* button = dynamic_cast<TSpeedButton*>(sender);
  TMenuItem* items = menu_.MainMenuItems();
  if (button == nullptr || items == nullptr) return;
  TMenuItem* top = items->Find(StripHotkey(button->Caption()));
  if (top == nullptr) return;
  const TPoint below = button->ClientToScreen({0, button->Height()});
  if (TMenuItem* chosen = UiBackend().TrackMenu(top, below)) chosen->Click();
}
