#pragma once
// Shared pieces of the control tests: a fixture that leaves the driver and
// the screen clean, and an event log.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Screen.h"
#include "platform/win/Monitors.h"
#include "tests/support/EventLog.h"

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Driver::Reset();
    ResetMonitorLayout();
  }
  void TearDown() override {
    Application->ProcessMessages();  // frees released forms
    Driver::Reset();
    EXPECT_EQ(Screen->FormCount(), 0) << "a test left a form behind";
    EXPECT_EQ(Screen->ActiveTopLevel(), nullptr);
  }
};

#include "platform/vcl/WinControl.h"
#include "platform/win/VirtualKeys.h"

// A minimal edit: takes the focus when clicked, types characters into its
// text, wants the arrows (as the system's edit control does).
class TFakeEdit : public TWinControl {
 public:
  explicit TFakeEdit(TComponent* owner) : TWinControl(owner) {
    ControlStyle &= ~static_cast<unsigned>(csSetCaption);
    SetTabStop(true);
    SetBounds(0, 0, 100, 21);
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    if (CanFocus()) SetFocus();
    TWinControl::MouseDown(b, s, x, y);
  }
  void KeyPress(char& key) override {
    TWinControl::KeyPress(key);
    if (static_cast<unsigned char>(key) >= 32) SetText(Text() + key);
  }
  void Dispatch(void* message) override {
    auto& m = *static_cast<TMessage*>(message);
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    }
    TWinControl::Dispatch(message);
  }
};

// A minimal button: Default answers Enter, Cancel answers Escape, and a click
// gives the form its ModalResult.
class TFakeButton : public TWinControl {
 public:
  explicit TFakeButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
  }
  bool Default = false;
  bool Cancel = false;
  int ModalResult = 0;
  void Click() override {
    if (TCustomForm* form = GetParentForm(this); form != nullptr && ModalResult != 0) form->ModalResult = ModalResult;
    TWinControl::Click();
  }
  void Dispatch(void* message) override {
    auto& m = *static_cast<TMessage*>(message);
    if (m.Msg == CM_DIALOGKEY && ((m.WParam == VK_RETURN && Default) || (m.WParam == VK_ESCAPE && Cancel)) &&
        CanFocus()) {
      Click();
      m.Result = 1;
      return;
    }
    TWinControl::Dispatch(message);
  }
};
