#pragma once
// The designer's page-link menu (PagesPopup1) as the link pickers use it: one
// submenu per page group with an item "caption - FILE.XML" per page, then a
// separator and "Logout - LOGOUT.XML"; the chosen item's file name is the
// link.

#include <string>

#include "platform/vcl/Component.h"

class TDesignerContext;
class TObject;

// Fills the menu (with an empty first entry and a separator when asked);
// every page item and the logout item call `click`.
void FillPageLinkMenu(TDesignerContext& designer, bool withEmptyEntry, TNotifyEvent click);
// Fills the menu without the empty entry and pops it up at the cursor.
void PopUpPageLinkMenu(TDesignerContext& designer, TNotifyEvent click);
// The file name of a chosen item: the text behind the " - " in front of the
// file name (captions may themselves hold " - ").
std::string PageLinkOfMenuItem(TObject* item);
