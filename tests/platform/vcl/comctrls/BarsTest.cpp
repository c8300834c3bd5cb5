// Page controls, status bars, tool bars, progress bars, header controls and
// image lists.

#include "platform/vcl/ComCtrls.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/comctrls/ComCtrlsTestSupport.h"

namespace {

class BarsTest : public ComCtrlsTest {
 protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    form = new TForm(nullptr);
    PrepareForm(*form, 400, 300);
  }
  void TearDown() override {
    delete form;
    ComCtrlsTest::TearDown();
  }
  TForm* form = nullptr;
};

}  // namespace

TEST_F(BarsTest, PageControlSwitchesPagesByCodeSilentlyAndByTabClicksWithEvents) {
  auto* pc = new TPageControl(form);
  pc->SetParent(form);
  std::vector<TTabSheet*> sheets;
  for (const char* caption : {"General", "Fonts", "Links"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pc);
    sheet->SetCaption(caption);
    sheets.push_back(sheet);
  }
  ASSERT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->ActivePage(), sheets[0]);  // the first page shows
  EXPECT_TRUE(sheets[0]->Visible());
  EXPECT_FALSE(sheets[1]->Visible());
  EXPECT_EQ(sheets[2]->PageIndex(), 2);
  EXPECT_EQ(sheets[0]->BoundsRect(), pc->DisplayRect());

  EventLog log;
  bool allow = true;
  pc->OnChanging = [&](TObject*, bool& allowChange) {
    log.Add("changing:" + pc->ActivePage()->Caption());
    allowChange = allow;
  };
  pc->OnChange = [&](TObject*) { log.Add("change:" + pc->ActivePage()->Caption()); };
  pc->SetActivePageIndex(2);
  EXPECT_EQ(pc->ActivePage(), sheets[2]);
  EXPECT_TRUE(sheets[2]->Visible());
  EXPECT_FALSE(sheets[0]->Visible());
  EXPECT_EQ(log.Joined(), "");  // code: no events

  form->Show();
  const TRect tab = pc->TabRect(1);
  Driver::Click(pc, tab.Left + 5, tab.Top + 5);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(log.Joined(), "changing:Links change:Fonts");
  allow = false;
  Driver::Click(pc, pc->TabRect(0).Left + 5, 8);
  EXPECT_EQ(pc->ActivePageIndex(), 1);  // refused
  allow = true;
  log.Clear();
  Driver::PressKey(VK_TAB, ssCtrl);
  EXPECT_EQ(log.Joined(), "changing:Fonts change:Links");
  Driver::PressKey(VK_LEFT);  // the focused tabs take the arrows
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  // Ctrl+Shift+Tab from a control on a page turns back.
  auto* onPage = new TFocusBox(form);
  onPage->SetParent(sheets[1]);
  Driver::Click(onPage);
  ASSERT_TRUE(onPage->Focused());
  log.Clear();
  Driver::PressKey(VK_TAB, ssCtrl | ssShift);
  EXPECT_EQ(log.Joined(), "changing:Fonts change:General");
  pc->SetActivePageIndex(2);

  // A hidden tab takes its page away; the next one takes over.
  sheets[2]->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);  // none after it: the one before
  EXPECT_EQ(sheets[2]->TabIndex(), -1);
  EXPECT_TRUE(pc->TabRect(2).IsEmpty());
  sheets[1]->SetPageIndex(0);
  EXPECT_EQ(pc->Pages(0), sheets[1]);
  delete sheets[0];
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePage(), sheets[1]);
  pc->SetActivePage(nullptr);
  EXPECT_EQ(pc->ActivePageIndex(), -1);
}

TEST_F(BarsTest, StatusBarPanelsAndOwnerDrawnPanelsPaintInPlace) {
  auto* sb = new TStatusBar(form);
  sb->SetParent(form);
  EXPECT_EQ(sb->Align(), alBottom);
  EXPECT_EQ(sb->Top(), 300 - sb->Height());
  TStatusPanel* p0 = sb->Panels()->Add();
  p0->SetWidth(150);
  p0->SetStyle(psOwnerDraw);
  TStatusPanel* p1 = sb->Panels()->Add();
  p1->SetWidth(80);
  p1->SetText("second");
  EXPECT_THROW(sb->Panels()->Items(2), EInvalidOperation);
  std::vector<TRect> drawn;
  sb->OnDrawPanel = [&](TStatusBar* bar, TStatusPanel* panel, const TRect& rect) {
    EXPECT_EQ(panel, p0);
    drawn.push_back(rect);
    bar->Canvas()->Brush->Color = clLime;
    bar->Canvas()->FillRect(Rect(-100, -100, 1000, 1000));  // stays inside the panel
    bar->Canvas()->Brush->Style = bsClear;
    bar->Canvas()->TextOut(rect.Left, rect.Top, panel->Text());
  };
  p0->SetText("x: 3 y: 4");
  sb->SetNeedsPaint(false);
  p0->SetText("x: 5 y: 6");
  EXPECT_TRUE(sb->NeedsPaint());  // a new text asks for painting
  TBitmap bmp;
  PaintClientToBitmap(sb, bmp);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0], Rect(1, 3, 149, sb->ClientHeight() - 1));
  EXPECT_EQ(PixelAt(bmp, 100, 10), clLime);
  EXPECT_EQ(PixelAt(bmp, 160, 10), ColorToRGB(clBtnFace));  // the lime did not leak
  EXPECT_EQ(sb->PanelRect(1).Right, sb->ClientWidth());     // the last one reaches the end

  sb->SetSimplePanel(true);
  sb->SetSimpleText("simple");
  drawn.clear();
  PaintClientToBitmap(sb, bmp);
  EXPECT_TRUE(drawn.empty());
}

TEST_F(BarsTest, ToolButtonsOfAGroupStayDownOneAtATimeAndClicksChangeDownFirst) {
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  TImageList images(nullptr);
  TBitmap strip;
  MakeStrip(strip, 16, {clRed, clGreen});
  images.AddMasked(&strip, clFuchsia);
  bar->SetImages(&images);
  std::vector<TToolButton*> buttons;
  EventLog log;
  for (int i = 0; i < 4; ++i) {
    auto* b = new TToolButton(form);
    b->SetParent(bar);
    b->SetName("btn" + std::to_string(i));
    b->Tag = i;
    b->SetImageIndex(i % 2);
    b->OnClick = [&log, b](TObject*) { log.Add(b->Name() + (b->Down() ? ":down" : ":up")); };
    buttons.push_back(b);
  }
  for (int i = 0; i < 3; ++i) {
    buttons[static_cast<std::size_t>(i)]->SetStyle(tbsCheck);
    buttons[static_cast<std::size_t>(i)]->SetGrouped(true);
  }
  buttons[3]->SetStyle(tbsSeparator);
  ASSERT_EQ(bar->ButtonCount(), 4);
  EXPECT_EQ(buttons[1]->Left(), bar->ButtonWidth());
  EXPECT_EQ(buttons[3]->Width(), 8);
  EXPECT_EQ(buttons[2]->Index(), 2);

  buttons[0]->SetDown(true);  // code: no click
  buttons[2]->SetDown(true);
  EXPECT_FALSE(buttons[0]->Down());
  EXPECT_EQ(log.Joined(), "");
  form->Show();
  Driver::Click(buttons[1]);
  EXPECT_TRUE(buttons[1]->Down());
  EXPECT_FALSE(buttons[2]->Down());
  Driver::Click(buttons[1]);  // stays down in its group
  EXPECT_TRUE(buttons[1]->Down());
  buttons[1]->SetEnabled(false);
  Driver::Click(buttons[1]);
  EXPECT_EQ(log.Joined(), "btn1:down btn1:down");

  // A plain check button toggles; a plain button springs back.
  auto* single = new TToolButton(form);
  single->SetParent(bar);
  single->SetStyle(tbsCheck);
  Driver::Click(single);
  EXPECT_TRUE(single->Down());
  Driver::Click(single);
  EXPECT_FALSE(single->Down());
  // Hiding a button closes the gap.
  const int left = single->Left();
  buttons[3]->SetVisible(false);
  EXPECT_EQ(single->Left(), left - 8);
  delete buttons[0];
  EXPECT_EQ(bar->ButtonCount(), 4);
}

TEST_F(BarsTest, ProgressBarKeepsThePositionInsideTheRangeAndStepItWraps) {
  TProgressBar bar(nullptr);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetRange(10, 20);
  EXPECT_EQ(bar.Position(), 10);
  bar.Step = 4;
  bar.StepIt();
  bar.StepIt();
  EXPECT_EQ(bar.Position(), 18);
  bar.StepIt();  // past Max: back to Min
  EXPECT_EQ(bar.Position(), 10);
  bar.StepBy(100);
  EXPECT_EQ(bar.Position(), 20);
  bar.SetMax(15);
  EXPECT_EQ(bar.Position(), 15);

  // Painted fill: half of a smooth bar.
  TProgressBar smooth(nullptr);
  smooth.SetSmooth(true);
  smooth.SetBounds(0, 0, 102, 17);
  smooth.SetPosition(50);
  TBitmap bmp;
  PaintClientToBitmap(&smooth, bmp);
  EXPECT_EQ(PixelAt(bmp, 20, 7), ColorToRGB(clHighlight));
  EXPECT_EQ(PixelAt(bmp, 80, 7), ColorToRGB(clBtnFace));
}

TEST_F(BarsTest, ImageListCutsBitmapsIntoPicturesAndDrawsThemTransparently) {
  TImageList list(nullptr);
  list.SetSize(8, 8);
  TBitmap strip;
  MakeStrip(strip, 8, {clRed, clFuchsia, clBlue});
  strip.Canvas->Pixels[1][1] = clFuchsia;
  EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Add(&strip, nullptr), 3);
  EXPECT_EQ(list.Count(), 6);
  TBitmap empty;
  EXPECT_EQ(list.Add(&empty, nullptr), -1);

  TBitmap target;
  target.SetSize(30, 10);
  target.Canvas->Brush->Color = clWhite;
  target.Canvas->FillRect(Rect(0, 0, 30, 10));
  list.Draw(target.Canvas, 0, 0, 0);
  list.Draw(target.Canvas, 10, 0, 1);   // all transparent
  list.Draw(target.Canvas, 20, 0, 99);  // outside: nothing
  EXPECT_EQ(PixelAt(target, 0, 0), clRed);
  EXPECT_EQ(PixelAt(target, 1, 1), clWhite);  // the mask colour left out
  EXPECT_EQ(PixelAt(target, 12, 4), clWhite);
  list.Draw(target.Canvas, 20, 0, 2, false);  // disabled: embossed grey
  EXPECT_NE(PixelAt(target, 23, 4), clBlue);

  TBitmap copy;
  EXPECT_TRUE(list.GetBitmap(3, &copy));
  EXPECT_EQ(copy.Width(), 8);
  EXPECT_EQ(PixelAt(copy, 2, 2), clRed);
  EXPECT_FALSE(list.GetBitmap(6, &copy));
  list.Delete(0);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_THROW(list.Delete(5), EComponentError);
  list.SetSize(16, 16);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(BarsTest, HeaderControlClicksAndResizesSections) {
  auto* header = new THeaderControl(form);
  header->SetParent(form);
  THeaderSection* a = header->Sections()->Add();
  a->SetText("Name");
  a->SetWidth(100);
  THeaderSection* b = header->Sections()->Add();
  b->SetText("Value");
  b->SetWidth(60);
  b->MinWidth = 30;
  EXPECT_EQ(b->Left(), 100);
  EventLog log;
  header->OnSectionClick = [&](THeaderControl*, THeaderSection* s) { log.Add("click:" + s->Text()); };
  header->OnSectionResize = [&](THeaderControl*, THeaderSection* s) {
    log.Add("resize:" + s->Text() + "=" + std::to_string(s->Width()));
  };
  form->Show();
  Driver::Click(header, 130, 8);
  Driver::MouseDown(header, 160, 8);  // b's right edge
  Driver::MouseMove(header, 100, 8);
  Driver::MouseUp(header, 100, 8);
  EXPECT_EQ(log.Joined(), "click:Value resize:Value=30");
  EXPECT_EQ(header->SectionAt(50), a);
  EXPECT_EQ(header->SectionAt(500), nullptr);
}
