#pragma once
// The host's main window as a person sees it when the host runs on a screen
// (halvex open --gui): a menu bar with the host's top menus (a click pops the
// menu up; choosing an item clicks it, which runs a plug-in's command), the
// host's tool bars (the menu bar's buttons are named "mnu" and the letters of
// the menu's caption: mnuPlugins), the message window with the lines of the
// host's message log (a double click on a line hands it to the plug-ins),
// and the status line with the status text the plug-ins send. A timer brings
// the menu bar, the messages and the status line up to date.
//
// The tool bars belong to the host's menus: the frame only shows them in the
// window and takes them out again when it ends, before the window goes.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

class HostMainWindow;
class HostMenu;
class HostMessageLog;
struct HostMessageLine;
class TPanel;
class TListBox;
class TStatusBar;
class TSpeedButton;
class TTimer;
class TToolBar;

class HostGuiFrame : public TComponent {
 public:
  // `chosen` gets the line of the message window that the person
  // double-clicks.
  using MessageChosen = std::function<void(const HostMessageLine& line)>;
  HostGuiFrame(HostMainWindow& window, HostMenu& menu, const HostMessageLog& messages, MessageChosen chosen = {});
  ~HostGuiFrame() override;

  // Brings the menu bar, the tool bars, the messages and the status line up
  // to date (the timer calls it).
  void Refresh();
  // The menu bar's button of a top menu (by caption without '&'), or null.
  TSpeedButton* MenuButton(const std::string& caption) const;
  TListBox* MessageList() const { return messages_; }
  TStatusBar* StatusLine() const { return status_; }

 private:
  void RefreshMenuBar();
  void RefreshToolBars();
  void RefreshMessages();
  void MenuButtonClick(TObject* sender);
  void MessageListDblClick(TObject* sender);
  void TimerTick(TObject* sender);

  HostMainWindow& window_;
  HostMenu& menu_;
  const HostMessageLog& messageLog_;
  MessageChosen chosen_;
  TPanel* menuBar_ = nullptr;
  TListBox* messages_ = nullptr;
  TStatusBar* status_ = nullptr;
  TTimer* timer_ = nullptr;
  std::vector<TSpeedButton*> menuButtons_;
  std::vector<std::string> menuCaptions_;
  std::vector<TToolBar*> shownBars_;
  std::size_t shownMessages_ = 0;
};
