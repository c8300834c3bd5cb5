#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/Frame.h"
#include "platform/vcl/MessageDialog.h"

namespace {

// A dialog with OK and Cancel buttons, as the system's dialogs are built.
class TFormAsk : public TForm {
 public:
  explicit TFormAsk(TComponent* owner) : TForm(owner) {
    SetName("FormAsk");
    SetCaption("Ask");
    btnOk = new TFakeButton(this);
    btnOk->SetName("btnOk");
    btnOk->SetParent(this);
    btnOk->ModalResult = mrOk;
    btnOk->Default = true;
    btnCancel = new TFakeButton(this);
    btnCancel->SetName("btnCancel");
    btnCancel->SetParent(this);
    btnCancel->SetLeft(100);
    btnCancel->ModalResult = mrCancel;
    btnCancel->Cancel = true;
    AfterConstruction();
  }
  TFakeButton* btnOk;
  TFakeButton* btnCancel;
};

class TFormNested : public TFormAsk {
 public:
  using TFormAsk::TFormAsk;
};

class FormModalTest : public ControlsTest {
 protected:
  EventLog log;
  void Watch(TCustomForm* f, const std::string& n) {
    f->OnShow = [this, n](TObject*) { log.Add(n + ".Show"); };
    f->OnHide = [this, n](TObject*) { log.Add(n + ".Hide"); };
    f->OnActivate = [this, n](TObject*) { log.Add(n + ".Activate"); };
    f->OnDeactivate = [this, n](TObject*) { log.Add(n + ".Deactivate"); };
    f->OnCloseQuery = [this, n](TObject*, bool&) { log.Add(n + ".CloseQuery"); };
    f->OnClose = [this, n](TObject*, TCloseAction& a) { log.Add(n + ".Close(" + std::to_string(a) + ")"); };
  }
};

TEST_F(FormModalTest, HandlerClicksAButtonAndTheFormClosesThroughItsEvents) {
  TFormAsk form(nullptr);
  Watch(&form, "ask");
  Driver::OnModal("TFormAsk", [this](TCustomForm& f) {
    log.Add("handler");
    EXPECT_TRUE(f.Visible());
    EXPECT_TRUE(f.FormState & fsModal);
    Driver::Click(static_cast<TFormAsk&>(f).btnOk);
    return mrNone;
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(log.Joined(), "ask.Show ask.Activate handler ask.CloseQuery ask.Close(1) ask.Deactivate ask.Hide");
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.FormState & fsModal);
  const auto records = Driver::ModalLog();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].className, "TFormAsk");
  EXPECT_EQ(records[0].name, "FormAsk");
  EXPECT_EQ(records[0].caption, "Ask");
  EXPECT_EQ(records[0].result, mrOk);
  EXPECT_TRUE(records[0].answeredByHandler);
  EXPECT_FALSE(records[0].forced);
}

TEST_F(FormModalTest, HandlerAnswersAResultOrPressesKeys) {
  TFormAsk form(nullptr);
  Driver::OnModal("TFormAsk", [](TCustomForm&) { return mrYes; });
  EXPECT_EQ(form.ShowModal(), mrYes);
  const int id = Driver::OnModal("TFormAsk", [](TCustomForm&) {
    Driver::PressKey(VK_ESCAPE);  // the cancel button
    return mrNone;
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  Driver::RemoveHandler(id);
  EXPECT_EQ(form.ShowModal(), mrYes);  // the earlier handler again
}

TEST_F(FormModalTest, WithoutHandlerTheFormIsCancelledAndRecorded) {
  TForm form(nullptr);
  form.SetCaption("Nobody answers");
  EXPECT_EQ(form.ShowModal(), mrCancel);
  const auto records = Driver::ModalLog();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].className, "TForm");
  EXPECT_EQ(records[0].caption, "Nobody answers");
  EXPECT_FALSE(records[0].answeredByHandler);
}

TEST_F(FormModalTest, NestedModalFormsDisableTheFormsBelow) {
  TForm main(nullptr);
  main.SetBounds(0, 0, 500, 400);
  main.Show();
  int mainClicks = 0;
  main.OnClick = [&](TObject*) { ++mainClicks; };
  TFormAsk outer(nullptr);
  TFormNested inner(nullptr);
  outer.btnOk->OnClick = [&](TObject*) { log.Add("inner=" + std::to_string(inner.ShowModal())); };
  Driver::OnModal("TFormAsk", [&](TCustomForm& f) {
    EXPECT_FALSE(IsWindowEnabled(main.Handle()));
    EXPECT_EQ(Driver::Click(&main, 200, 200), nullptr);  // blocked
    Driver::Click(static_cast<TFormAsk&>(f).btnOk);
    return mrNone;
  });
  Driver::OnModal("TFormNested", [&](TCustomForm&) {
    EXPECT_FALSE(IsWindowEnabled(outer.Handle()));
    EXPECT_FALSE(IsWindowEnabled(main.Handle()));
    return mrNo;
  });
  EXPECT_EQ(outer.ShowModal(), mrOk);
  EXPECT_EQ(log.Joined(), "inner=7");
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
  EXPECT_EQ(mainClicks, 0);
  EXPECT_EQ(Screen->ActiveForm(), &main);
  const auto records = Driver::ModalLog();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].className, "TFormNested");  // ended first
  EXPECT_EQ(records[1].className, "TFormAsk");
  Driver::Click(&main, 200, 200);
  EXPECT_EQ(mainClicks, 1);
}

TEST_F(FormModalTest, ARefusedCloseAsksTheHandlerAgain) {
  TFormAsk form(nullptr);
  int rounds = 0;
  bool valid = false;
  form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = valid; };
  Driver::OnModal("TFormAsk", [&](TCustomForm&) {
    ++rounds;
    if (rounds == 2) valid = true;  // the user mends the entry
    return mrOk;
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(rounds, 2);
}

TEST_F(FormModalTest, AFormThatNeverClosesIsHiddenAfterManyRounds) {
  TFormAsk form(nullptr);
  form.OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
  int rounds = 0;
  Driver::OnModal("TFormAsk", [&](TCustomForm&) {
    ++rounds;
    return mrOk;
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(rounds, 100);
  EXPECT_FALSE(form.Visible());
  ASSERT_EQ(Driver::ModalLog().size(), 1u);
  EXPECT_TRUE(Driver::ModalLog()[0].forced);
}

TEST_F(FormModalTest, CaFreeReleasesTheFormAfterShowModalReturns) {
  auto* form = new TFormAsk(nullptr);
  bool destroyed = false;
  form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(Screen->FormCount(), 1);
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormModalTest, ShowModalOfAVisibleFormIsRefused) {
  TForm form(nullptr);
  form.Show();
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
  form.Hide();
  form.SetEnabled(false);
  EXPECT_THROW(form.ShowModal(), EInvalidOperation);
}

TEST_F(FormModalTest, ModelessCloseFollowsTheCloseAction) {
  auto* form = new TForm(nullptr);
  Watch(form, "f");
  TCloseAction wanted = caHide;
  form->OnClose = [&](TObject*, TCloseAction& a) {
    log.Add("close");
    a = wanted;
  };
  form->Show();
  form->Close();
  EXPECT_FALSE(form->Visible());
  form->Show();
  wanted = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible());
  wanted = caMinimize;
  form->Close();
  EXPECT_EQ(form->WindowState(), wsMinimized);
  form->OnCloseQuery = [](TObject*, bool& can) { can = false; };
  log.Clear();
  form->Close();
  EXPECT_EQ(log.Joined(), "");  // refused before OnClose
  form->OnCloseQuery = nullptr;
  wanted = caFree;
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  // WM_CLOSE posted from anywhere closes it when the messages run.
  PostMessage(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form->Visible());
  Application->ProcessMessages();  // closes: caFree posts the release ...
  EXPECT_TRUE(destroyed);          // ... which the same pass handles
}

TEST_F(FormModalTest, CreateAndDestroyEventsRunOnce) {
  int created = 0, destroyed = 0;
  std::string hiddenFirst;
  auto* form = new TForm(nullptr);
  form->OnCreate = [&](TObject*) { ++created; };
  form->OnHide = [&](TObject*) { hiddenFirst += "hide "; };
  form->OnDestroy = [&](TObject*) {
    ++destroyed;
    hiddenFirst += "destroy";
  };
  form->AfterConstruction();
  form->AfterConstruction();
  EXPECT_EQ(created, 1);
  form->Show();
  form->BeforeDestruction();
  delete form;
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(hiddenFirst, "hide destroy");
  // An owned form gets its BeforeDestruction from the owner.
  TComponent owner(nullptr);
  auto* owned = new TForm(&owner);
  owned->OnDestroy = [&](TObject*) { ++destroyed; };
  owner.DestroyComponents();
  EXPECT_EQ(destroyed, 2);
  // Application->CreateForm makes the first form the main form.
  TForm* made = nullptr;
  ASSERT_EQ(Application->MainForm(), nullptr);
  Application->CreateForm(made);
  EXPECT_EQ(Application->MainForm(), made);
  EXPECT_EQ(made->Owner(), Application);
  delete made;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormModalTest, PositionPlacesTheFormWhenFirstShown) {
  TForm form(nullptr);
  form.SetBounds(5, 5, 400, 300);
  form.SetPosition(poScreenCenter);
  form.Show();
  EXPECT_EQ(form.BoundsRect(), Rect(760, 390, 1160, 690));
  form.Hide();
  form.SetLeft(10);
  form.Show();  // only the first showing places it
  EXPECT_EQ(form.Left(), 10);
  TForm owner(nullptr);
  owner.SetBounds(100, 100, 800, 600);
  TForm child(&owner);
  child.SetBounds(0, 0, 200, 100);
  child.SetPosition(poOwnerFormCenter);
  child.Show();
  EXPECT_EQ(child.BoundsRect(), Rect(400, 350, 600, 450));
  // Centred over a form that is larger than the desktop allows: kept on it.
  TForm big(&owner);
  big.SetBounds(0, 0, 1000, 1000);
  big.SetPosition(poOwnerFormCenter);
  big.Show();
  EXPECT_EQ(big.Left(), 0);
  EXPECT_EQ(big.Top(), 0);
}

TEST_F(FormModalTest, ClientAreaFramesAndWindowState) {
  TForm form(nullptr);
  form.SetBounds(10, 20, 400, 300);
  EXPECT_EQ(form.ClientWidth(), 392);
  EXPECT_EQ(form.ClientHeight(), 269);
  EXPECT_EQ(form.ClientOrigin(), (TPoint{14, 47}));
  form.Show();
  EXPECT_EQ(Driver::ControlAt(&form, 0, -5), nullptr);  // on the caption
  EXPECT_EQ(Driver::ControlAt(&form, 0, 0), &form);
  form.Hide();
  form.SetClientWidth(500);
  form.SetClientHeight(200);
  EXPECT_EQ(form.Width(), 508);
  EXPECT_EQ(form.Height(), 231);
  form.SetBorderStyle(bsDialog);
  EXPECT_EQ(form.ClientWidth(), 502);
  form.SetBorderStyle(bsNone);
  EXPECT_EQ(form.ClientRect(), Rect(0, 0, 508, 231));
  form.SetWindowState(wsMaximized);
  EXPECT_EQ(form.BoundsRect(), Rect(0, 0, 1920, 1040));
  form.SetWindowState(wsNormal);
  EXPECT_EQ(form.BoundsRect(), Rect(10, 20, 518, 251));
}

TEST_F(FormModalTest, FramesMadeAtRunTime) {
  TForm form(nullptr);
  for (int i = 1; i <= 2; ++i) {
    auto* frame = new TFrame(&form);
    frame->SetName("FrameRow" + std::to_string(i));
    frame->SetParent(&form);
    frame->SetBounds(0, 21 * (i - 1), 300, 21);
    auto* edit = new TFakeEdit(frame);
    edit->SetName("edtName");  // unique within its frame
    edit->SetParent(frame);
  }
  EXPECT_THROW(TFrame(&form).SetName("FrameRow1"), EComponentError);
  auto* second = static_cast<TFrame*>(form.FindComponent("framerow2"));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->ComponentCount(), 1);
  EXPECT_EQ(second->Components(0)->Name(), "edtName");
  form.Show();
  EXPECT_EQ(Driver::ControlAt(&form, 5, 25), second->Components(0));
}

// A standard dialog as the later dialog classes build on the base.
class TFileDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  std::string FileName;
};

TEST_F(FormModalTest, StandardDialogsAnswerThroughTheirHandlers) {
  TFileDialog dialog(nullptr);
  std::string events;
  dialog.OnShow = [&](TObject*) { events += "show "; };
  dialog.OnClose = [&](TObject*) { events += "close"; };
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(events, "show close");
  Driver::OnDialog("TFileDialog", [](TCommonDialog& d) {
    static_cast<TFileDialog&>(d).FileName = "C:\\data\\a.png";
    return true;
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "C:\\data\\a.png");
  const auto records = Driver::DialogLog();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].answeredByHandler);
  EXPECT_FALSE(records[0].result);
  EXPECT_TRUE(records[1].answeredByHandler);
  EXPECT_TRUE(records[1].result);
}

TEST_F(FormModalTest, AModalHandlerAnswersTheMessageBoxesOfItsForm) {
  TFormAsk form(nullptr);
  form.btnOk->OnClick = [&](TObject*) {
    if (MessageDlg("Overwrite the file?", mtConfirmation, mbYes | mbNo) == mrYes) form.ModalResult = mrOk;
  };
  form.btnOk->ModalResult = mrNone;
  Driver::AnswerMessageBox("Overwrite", mrYes);
  Driver::OnModal("TFormAsk", [](TCustomForm& f) {
    Driver::Click(static_cast<TFormAsk&>(f).btnOk);
    return mrNone;
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  ASSERT_EQ(Driver::MessageBoxes().size(), 1u);
  EXPECT_EQ(Driver::MessageBoxes()[0].caption, "Confirm");
}

}  // namespace

TEST_F(FormModalTest, AHandlerThatRaisesEndsTheModalStateAndEnablesTheOtherWindows) {
  TForm main(nullptr);
  main.Show();
  TFormAsk ask(nullptr);
  Driver::OnModal("TFormAsk", [](TCustomForm&) -> int { throw Exception("the handler failed"); });
  EXPECT_THROW(ask.ShowModal(), Exception);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
  EXPECT_FALSE(ask.Visible());
  EXPECT_EQ(ask.FormState & fsModal, 0u);
  // The form can be shown modally again.
  Driver::Reset();
  EXPECT_EQ(ask.ShowModal(), mrCancel);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}
