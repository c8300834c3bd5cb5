#pragma once
// Types shared by the standard controls (units StdCtrls and ExtCtrls).

#include <string>

#include "platform/vcl/Closure.h"
#include "platform/vcl/GraphicsTypes.h"

class TObject;
class TWinControl;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TLeftRight { lrLeftJustify = 0, lrRightJustify = 1 };

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// The state of an owner-drawn item.
enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1,
  odGrayed = 2,
  odDisabled = 4,
  odChecked = 8,
  odFocused = 16,
  odDefault = 32,
  odComboBoxEdit = 4096,
};
using TOwnerDrawState = unsigned;

using TDrawItemEvent = Closure<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
