#pragma once
// Types shared by the common controls (unit ComCtrls): the state and stage
// of a custom-drawn item.

enum TCustomDrawStateFlag : unsigned {
  cdsSelected = 1,
  cdsGrayed = 2,
  cdsDisabled = 4,
  cdsChecked = 8,
  cdsFocused = 16,
  cdsDefault = 32,
  cdsHot = 64,
  cdsMarked = 128,
  cdsIndeterminate = 256,
};
using TCustomDrawState = unsigned;
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
