#pragma once
// The plug-in's entry in the host's help menu: an item "Tarnwell" in the
// help menu's submenu "miPluginsHelpIn_miHelp" (which the first plug-in to
// need it makes, captioned with the UI text "Tools"), opening the plug-in's
// help file. The main form keeps the item and the submenu.

#include "hostapi/IQendMenu.h"

class TWebMainForm1;

// Makes the help item, hands it to the host's help menu (menu 9) and moves
// it to the end of the help submenu, making the submenu when the help menu
// has none. The host's answers are not reported: a host that puts the item
// into no menu gets no help entry (the item is freed again).
void AddHelpEntry(IQendMenu* menu, TWebMainForm1* form);

// Takes the help item out of the host's menus and frees it (its click
// handler belongs to the form and the library). The submenu is the host's
// and stays. Nothing happens when there is no help item.
void RemoveHelpEntry(TWebMainForm1* form);
