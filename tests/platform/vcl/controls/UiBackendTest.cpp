// The hooks through which a screen back end learns what the forms do and
// answers modal calls for a person, checked with a recording back end.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/ScopeExit.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/MessageDialog.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/UiBackend.h"
#include "platform/win/MessageBox.h"

namespace {

// Records what it is told; each pump round runs `onPump` (the "person").
class TRecordingBackend : public TUiBackend {
 public:
  void FormShown(TCustomForm* form) override { log.Add("shown " + form->Name()); }
  void FormHidden(TCustomForm* form) override { log.Add("hidden " + form->Name()); }
  void FormDestroyed(TCustomForm* form) override { log.Add("destroyed " + form->Name()); }
  void FormInvalidated(TCustomForm* form) override { lastInvalidated = form; }
  void CaptionChanged(TCustomForm* form) override { log.Add("caption " + form->Caption()); }
  bool Interactive() const override { return interactive; }
  void PumpModal() override {
    ++pumps;
    if (onPump) onPump();
  }
  TMenuItem* TrackMenu(TMenuItem* items, const TPoint& at) override {
    log.Add("menu|" + std::to_string(items->Count()) + "|at|" + std::to_string(at.x) + "," + std::to_string(at.y));
    return chosen;
  }

  EventLog log;
  TCustomForm* lastInvalidated = nullptr;
  bool interactive = true;
  int pumps = 0;
  std::function<void()> onPump;
  TMenuItem* chosen = nullptr;
  int dialogAnswer = -1;
  int dialogs = 0;
  int ExecuteDialog(TCommonDialog& dialog) override {
    ++dialogs;
    if (auto* open = dynamic_cast<TOpenDialog*>(&dialog); open != nullptr && dialogAnswer == 1)
      open->FileName = "/tmp/chosen.txt";
    return dialogAnswer;
  }
};

class UiBackendTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    SetUiBackend(&backend);
  }
  void TearDown() override {
    SetUiBackend(nullptr);
    ControlsTest::TearDown();
  }
  TRecordingBackend backend;
};

TEST_F(UiBackendTest, HeadlessDefaultWaitsForNobody) {
  SetUiBackend(nullptr);
  EXPECT_FALSE(UiBackendInstalled());
  EXPECT_FALSE(UiBackend().Interactive());
  TMenuItem root(nullptr);
  EXPECT_EQ(UiBackend().TrackMenu(&root, {0, 0}), nullptr);
  TForm form(nullptr);
  EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(UiBackendTest, ShowingHidingRenamingAndFreeingAFormAreTold) {
  {
    TForm form(nullptr);
    form.SetName("Main");  // names the caption too
    form.Show();
    form.SetCaption("Hello");
    form.SetCaption("Hello");  // unchanged: nothing to tell
    form.Hide();
  }
  EXPECT_EQ(backend.log.events,
            (std::vector<std::string>{"caption Main", "shown Main", "caption Hello", "hidden Main", "destroyed Main"}));
}

TEST_F(UiBackendTest, InvalidatingAControlTellsItsForm) {
  TForm form(nullptr);
  auto* edit = new TFakeEdit(&form);
  edit->SetParent(&form);
  backend.lastInvalidated = nullptr;
  edit->Invalidate();
  EXPECT_EQ(backend.lastInvalidated, &form);
  // A control in no form shows nowhere.
  TFakeEdit loose(nullptr);
  backend.lastInvalidated = nullptr;
  loose.Invalidate();
  EXPECT_EQ(backend.lastInvalidated, nullptr);
}

TEST_F(UiBackendTest, ModalFormWaitsForThePersonAndAnswersWhatTheyClicked) {
  TForm form(nullptr);
  form.SetName("Ask");
  auto* ok = new TFakeButton(&form);
  ok->SetParent(&form);
  ok->ModalResult = mrOk;
  backend.onPump = [&] {
    if (backend.pumps == 3) Driver::Click(ok);
  };
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(backend.pumps, 3);
  EXPECT_FALSE(form.Visible());
  ASSERT_EQ(Driver::ModalLog().size(), 1u);
  EXPECT_FALSE(Driver::ModalLog()[0].answeredByHandler);
}

TEST_F(UiBackendTest, PersonRefusedManyTimesIsNeverCutOff) {
  TForm form(nullptr);
  int refusals = 0;
  form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++refusals > 150; };
  backend.onPump = [&] { form.ModalResult = mrOk; };
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(refusals, 151);
  ASSERT_EQ(Driver::ModalLog().size(), 1u);
  EXPECT_FALSE(Driver::ModalLog()[0].forced);
}

TEST_F(UiBackendTest, ModalFormFreedWhileWaitingEndsTheLoop) {
  auto* form = new TForm(nullptr);
  backend.onPump = [&] { FreeComponent(form); };
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(backend.pumps, 1);
}

TEST_F(UiBackendTest, ModalFormHiddenOrApplicationEndingCancels) {
  TForm form(nullptr);
  backend.onPump = [&] { form.Hide(); };
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(backend.pumps, 1);
}

TEST_F(UiBackendTest, DriverHandlerStillAnswersWithoutWaiting) {
  TForm form(nullptr);
  Driver::OnModal("TForm", [](TCustomForm&) { return mrYes; });
  EXPECT_EQ(form.ShowModal(), mrYes);
  EXPECT_EQ(backend.pumps, 0);
}

TEST_F(UiBackendTest, PopupMenuWithoutHandlerIsTrackedOnTheScreen) {
  TPopupMenu menu(nullptr);
  menu.SetName("Menu");
  auto* item = new TMenuItem(&menu);
  item->SetCaption("Go");
  int clicks = 0;
  item->OnClick = [&](TObject*) { ++clicks; };
  menu.Items()->Add(item);
  backend.chosen = item;
  menu.Popup(10, 20);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(backend.log.Joined(), "menu|1|at|10,20");
  // A handler answers first; the screen is not asked.
  const int id = Driver::ChoosePopupItem("Menu", "Go");
  ScopeExit remove([id] { Driver::RemovePopupHandler(id); });
  menu.Popup(1, 2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(backend.log.Joined(), "menu|1|at|10,20");
  Driver::ResetPopups();
}

TEST_F(UiBackendTest, StandardDialogWithoutHandlerIsFilledOnTheScreen) {
  TOpenDialog dialog(nullptr);
  dialog.FileName = "before.txt";
  backend.dialogAnswer = 1;
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/chosen.txt");
  backend.dialogAnswer = 0;
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/chosen.txt") << "a cancelled dialog keeps the name";
  backend.dialogAnswer = -1;  // no window for it: cancelled as headless
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(backend.dialogs, 3);
  Driver::OnDialog("TOpenDialog", [](TCommonDialog&) { return false; });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(backend.dialogs, 3) << "a handler answers first";
}

TEST_F(UiBackendTest, OverlayPaintsWholeOutsideItsForm) {
  TForm form(nullptr);
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  combo->SetBounds(10, 10, 120, 24);
  for (const char* item : {"One", "Two", "Three"}) combo->Items()->Add(item);
  TBitmap list;
  list.SetSize(120, 3 * combo->ItemHeight() + 2);
  PaintOverlayTo(combo, list, 0, -combo->Height());
  const auto pixel = [&](int px, int py) {
    return static_cast<const std::uint32_t*>(list.ScanLine(py))[px] & 0xFFFFFF;
  };
  EXPECT_EQ(pixel(5, 5), 0xFFFFFFu) << "nothing painted while closed";
  combo->SetDroppedDown(true);
  PaintOverlayTo(combo, list, 0, -combo->Height());
  EXPECT_NE(pixel(0, 0), 0xFFFFFFu) << "the list's frame";
  EXPECT_EQ(pixel(119, list.Height() - 1), pixel(0, 0));
  int dark = 0;  // the texts of the rows
  for (int py = 1; py < list.Height() - 1; ++py)
    for (int px = 1; px < 60; ++px) dark += pixel(px, py) < 0x808080u ? 1 : 0;
  EXPECT_GT(dark, 20);
}

TEST_F(UiBackendTest, MessageBoxesWithoutHandlerGoToThePresenter) {
  std::vector<int> offered;
  SetMessageBoxPresenter([&](const MessageBoxRecord&, const std::vector<int>& answers) {
    offered = answers;
    return IDNO;
  });
  ScopeExit clear([] { SetMessageBoxPresenter(nullptr); });
  EXPECT_EQ(MessageBox(nullptr, "Save?", "Q", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(offered, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
  ASSERT_FALSE(MessageBoxLog().empty());
  EXPECT_FALSE(MessageBoxLog().back().answeredByHandler);
  // No is no button of this dialog: it gives its own unanswered answer.
  EXPECT_EQ(MessageDlg("Go on?", mtConfirmation, mbOK | mbCancel), mrCancel);
  EXPECT_EQ(offered, (std::vector<int>{mrOk, mrCancel}));
}

}  // namespace
