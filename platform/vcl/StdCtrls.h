#pragma once
// The class library's StdCtrls unit in one include: labels, edits, memos,
// buttons, check boxes, radio buttons, group boxes, radio groups, combo
// boxes and list boxes.

#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/RadioGroup.h"
#include "platform/vcl/StdCtrlsTypes.h"
