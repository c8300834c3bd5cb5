#pragma once
// Shared pieces of the common control, menu and dialog tests: a fixture that
// leaves the driver, the popup handlers and the screen clean, an event log,
// a form to put controls on, and pixel helpers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/Screen.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Monitors.h"
#include "tests/support/BitmapPixels.h"
#include "tests/support/EventLog.h"

class ComCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Driver::Reset();
    Driver::ResetPopups();
    ClearMessageBoxLog();
    ResetMonitorLayout();
  }
  void TearDown() override {
    Application->ProcessMessages();
    Driver::Reset();
    Driver::ResetPopups();
    EXPECT_EQ(Screen->FormCount(), 0) << "a test left a form behind";
  }
};

// A borderless form of a given client size, shown so that it takes input.
inline void PrepareForm(TForm& form, int width, int height) {
  form.SetBorderStyle(bsNone);
  form.SetBounds(100, 100, width, height);
  form.SetColor(clBtnFace);
}

inline std::string PicturePath(const std::string& name) {
  return std::string(TARNWELL_BINARY_DIR) + "/pictures/" + name;
}

// A bitmap of solid cells side by side (for image lists).
inline void MakeStrip(TBitmap& bmp, int cell, const std::vector<TColor>& colors) {
  bmp.SetSize(cell * static_cast<int>(colors.size()), cell);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    bmp.Canvas->Brush->Color = colors[i];
    bmp.Canvas->FillRect(Rect(static_cast<int>(i) * cell, 0, static_cast<int>(i + 1) * cell, cell));
  }
}

// A focusable windowed control that takes the focus when clicked.
class TFocusBox : public TCustomControl {
 public:
  explicit TFocusBox(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 80, 40);
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    if (CanFocus()) SetFocus();
    TCustomControl::MouseDown(b, s, x, y);
  }
};
