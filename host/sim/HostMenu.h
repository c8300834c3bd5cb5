#pragma once
// The host's menus (IQendMenu): the bitmaps, commands, menu and toolbar
// placements and help-menu entries that plug-ins add, kept so that the host
// can list them and run a command (which reports to the command's sink
// through IQendMenuEvents).
//
// The host's main menu holds class-library menu items: menu 8 "Plug-ins"
// (where commands are placed) and menu 9 "Help" (with the host's own
// "Contents" and "About Halvex"); other numbers are made when first named.
// A command placed in a menu gets an item the host makes (clicking it runs
// the command; removing the command frees it); placed on a tool bar, it gets
// a tool button the host makes on that bar (the same). The host keeps the
// command's sink (one reference), item and button until the command goes. A help entry hangs the
// caller's item into the menu, or an item the host makes when the caller
// gives none. Bitmaps are copied into the host's 16 x 16 image list (the
// colour of their bottom-left pixel transparent), which the menus and tool
// bars show; the image index is the first picture's place in it.

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/IQendMenu.h"
#include "platform/com/ComPtr.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ToolBar.h"

// A registered command as the host lists it.
struct HostMenuCommand {
  HostLong id = 0;
  std::string name;
  std::string caption;
  HostLong value = 0;
  HostLong imageIndex = -1;
  bool flag = false;
  bool inMenu = false;
  HostLong menu = 0;
  HostLong menuPosition = 0;
  bool onToolbar = false;
  HostLong toolbar = 0;
  TMenuItem* item = nullptr;      // the host's item of the command (when placed in a menu)
  TToolButton* button = nullptr;  // the host's button of the command (when on a tool bar)
};

// A bitmap a plug-in handed over, as the host received it.
struct HostMenuBitmap {
  int width = 0;
  int height = 0;
  HostLong imageIndex = -1;
};

struct HostHelpEntry {
  HostLong menuNumber = 0;
  std::string name;
  bool madeByHost = false;
};

class HostMenu final : public HostInterface<IQendMenu> {
 public:
  using HostInterface::HostInterface;
  ~HostMenu();

  HRESULT Reserved3() override { return E_NOTIMPL; }
  HRESULT AddBitmap(HBITMAP bitmap, HostLong* imageIndex) override;
  HRESULT AddHelpItem(HostLong menuNumber, const char* name, TMenuItem** item) override;
  HRESULT RegisterCommand(const char* name, const char* caption, HostLong value, HostLong imageIndex, IUnknown* sink,
                          VARIANT_BOOL flag, HostLong* commandId) override;
  HRESULT PlaceInMenu(HostLong commandId, HostLong menu, HostLong position, VARIANT_BOOL flag,
                      TMenuItem** item) override;
  HRESULT PlaceOnToolbar(HostLong commandId, HostLong toolbar, VARIANT_BOOL flag, TToolButton** button) override;
  HRESULT RemoveCommand(HostLong commandId) override;

  std::vector<HostMenuCommand> Commands() const;
  std::vector<HostHelpEntry> HelpEntries() const;
  // Bitmaps added (a null bitmap adds none and gets the image index -1).
  int BitmapCount() const;
  std::vector<HostMenuBitmap> Bitmaps() const;
  // The host's menu images: every picture copied from the bitmaps.
  TImageList* Images();
  // Runs a command as if the user chose it: its sink's IQendMenuEvents
  // position 3 with the id. E_INVALIDARG for an unknown id.
  HRESULT Choose(HostLong commandId);
  // Releases the sinks of the commands still registered and frees their
  // items (the host unloads the plug-ins).
  void ReleaseAll();
  // Takes every item that the host did not make out of its menus and frees
  // it (a plug-in's items go with the plug-in); answers how many.
  int RemoveForeignItems();

  // The top menu of a number (made when missing).
  TMenuItem* TopMenu(HostLong menuNumber);
  // The tool bar of a number (made when missing).
  TToolBar* ToolBar(HostLong toolbarNumber);
  // For the main window shown on a screen: the main menu's top items (null
  // before any menu was made) and the tool bars made so far.
  TMenuItem* MainMenuItems();
  std::vector<TToolBar*> ToolBars();
  // The tool bars as text, one a line: "toolbar 0: Tarnwell (image 0,
  // disabled)".
  std::vector<std::string> ToolbarLines();
  // The items of the help menu that the host did not make, by caption path
  // ("Help|Tools|Tarnwell"), "(disabled)" after a disabled one.
  std::vector<std::string> HelpMenuLines();
  // The menus as text, one top menu a line: "menu 9 Help: Contents, About
  // Halvex, Tools{Tarnwell}"; "(disabled)" after a disabled item.
  std::vector<std::string> MenuLines();

 private:
  // A registered command with what the host holds for it; the sink is given
  // back after the item and button are freed.
  struct Command {
    HostMenuCommand info;
    ComPtr<IUnknown> sink;
    std::unique_ptr<TMenuItem> item;
    std::unique_ptr<TToolButton> button;
  };

  Command* Find(HostLong id);
  // A new item of the host's, which then hangs in one of its menus.
  std::unique_ptr<TMenuItem> MakeItem(const std::string& caption);
  TImageList* ImagesLocked();
  TToolBar* ToolBarLocked(HostLong toolbarNumber);
  // Takes the commands out of the list (their items out of the host's
  // items) for the caller to free outside the lock.
  std::vector<Command> TakeCommandsLocked(HostLong id, bool all);
  void HangInMenu(Command& command, HostLong menu, HostLong position);
  void PutOnToolbar(Command& command, TToolBar* bar);

  mutable std::mutex mutex_;
  std::vector<HostMenuBitmap> bitmaps_;
  std::vector<HostHelpEntry> help_;
  HostLong nextId_ = 1001;
  // The menus and bars come before the commands, so that the commands' items
  // and buttons are freed first.
  std::unique_ptr<TImageList> images_;
  std::vector<std::pair<HostLong, std::unique_ptr<TToolBar>>> toolBars_;
  std::unique_ptr<TMainMenu> mainMenu_;
  std::vector<std::pair<HostLong, TMenuItem*>> topMenus_;
  std::set<const TMenuItem*> hostItems_;
  std::vector<Command> commands_;
};
