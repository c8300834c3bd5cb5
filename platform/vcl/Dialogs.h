#pragma once
// The standard dialogs of the class library's Dialogs and ExtDlgs units in
// one include: colour, open, save and open-picture dialogs.

#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/OpenDialog.h"
