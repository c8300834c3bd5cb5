#pragma once
// The host's menus and toolbars: the plug-in's bitmap, its command with menu
// item and toolbar button, and its entry in the help menu. The command's
// choice comes back through IQendMenuEvents of the sink given at
// registration.

#include "hostapi/HostTypes.h"

// {3FD9E64F-8312-4C08-A51E-C90C5E35DF67}
inline constexpr IID IID_IQendMenu = {0x3FD9E64F, 0x8312, 0x4C08, {0xA5, 0x1E, 0xC9, 0x0C, 0x5E, 0x35, 0xDF, 0x67}};

// The host menu number of the help menu.
inline constexpr HostLong HOST_MENU_HELP = 9;

class IQendMenu : public IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;
  // Position 4: adds a bitmap to the host's menu images (the host copies it).
  virtual HRESULT AddBitmap(HBITMAP bitmap, HostLong* imageIndex) = 0;
  // Position 5: places `*item` (made by the caller) in host menu `menuNumber`
  // under `name`; with an empty `*item` the host makes a new item and hands
  // it back.
  virtual HRESULT AddHelpItem(HostLong menuNumber, const char* name, TMenuItem** item) = 0;
  // Position 6: registers a command; its choice is reported to `sink`'s
  // IQendMenuEvents with the id handed out.
  virtual HRESULT RegisterCommand(const char* name, const char* caption, HostLong value, HostLong imageIndex,
                                  IUnknown* sink, VARIANT_BOOL flag, HostLong* commandId) = 0;
  // Position 7: places the command in a host menu (the system passes 8, 0);
  // the host's menu item comes back (or null).
  virtual HRESULT PlaceInMenu(HostLong commandId, HostLong menu, HostLong position, VARIANT_BOOL flag,
                              TMenuItem** item) = 0;
  // Position 8: places the command on a toolbar; the host's button comes back
  // (or null).
  virtual HRESULT PlaceOnToolbar(HostLong commandId, HostLong toolbar, VARIANT_BOOL flag, TToolButton** button) = 0;
  // Position 9: removes the command with its items.
  virtual HRESULT RemoveCommand(HostLong commandId) = 0;

 protected:
  ~IQendMenu() = default;
};
