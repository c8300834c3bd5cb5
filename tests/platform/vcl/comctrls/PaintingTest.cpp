// A sample form with one of every common control, painted to PNGs in the
// build folder (normal, focused, disabled, with long texts), and checks of
// what the pictures must show.

#include <filesystem>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/PngWriter.h"
#include "tests/platform/vcl/comctrls/ComCtrlsTestSupport.h"

namespace {

struct Sample {
  TForm* form = nullptr;
  TImageList* images = nullptr;
  TImageList* states = nullptr;
  TToolBar* toolBar = nullptr;
  std::vector<TToolButton*> buttons;
  THeaderControl* header = nullptr;
  TListView* list = nullptr;
  TTreeView* tree = nullptr;
  TPageControl* pages = nullptr;
  TProgressBar* blocks = nullptr;
  TProgressBar* smooth = nullptr;
  TStatusBar* status = nullptr;
};

// Pictures for the image lists: coloured squares with a dark outline.
void MakePictures(TImageList* list, const std::vector<TColor>& colors) {
  TBitmap strip;
  strip.SetSize(16 * static_cast<int>(colors.size()), 16);
  strip.Canvas->Brush->Color = clFuchsia;
  strip.Canvas->FillRect(Rect(0, 0, strip.Width(), 16));
  for (std::size_t i = 0; i < colors.size(); ++i) {
    const int x = static_cast<int>(i) * 16;
    strip.Canvas->Brush->Color = colors[i];
    strip.Canvas->Pen->Color = clBlack;
    strip.Canvas->Rectangle(x + 2, 2, x + 14, 14);
  }
  list->AddMasked(&strip, clFuchsia);
}

Sample BuildSample(bool longTexts) {
  Sample s;
  s.form = new TForm(nullptr);
  s.form->SetCaption(longTexts ? "Common controls with rather long texts that do not fit" : "Common controls");
  s.form->SetBounds(50, 50, 640, 480);
  s.form->SetColor(clBtnFace);
  s.images = new TImageList(s.form);
  MakePictures(s.images, {clRed, clLime, clBlue, clYellow, clAqua});
  s.states = new TImageList(s.form);
  MakePictures(s.states, {clNone, clMaroon, clGreen});

  s.toolBar = new TToolBar(s.form);
  s.toolBar->SetParent(s.form);
  s.toolBar->SetImages(s.images);
  s.toolBar->SetFlat(true);
  for (int i = 0; i < 7; ++i) {
    auto* b = new TToolButton(s.form);
    b->SetParent(s.toolBar);
    b->SetImageIndex(i % 5);
    if (i == 3) b->SetStyle(tbsSeparator);
    if (i < 3) {
      b->SetStyle(tbsCheck);
      b->SetGrouped(true);
    }
    s.buttons.push_back(b);
  }
  s.buttons[0]->SetDown(true);
  s.buttons[5]->SetEnabled(false);
  s.buttons[6]->SetStyle(tbsCheck);
  s.buttons[6]->SetDown(true);

  s.status = new TStatusBar(s.form);
  s.status->SetParent(s.form);
  TStatusPanel* p0 = s.status->Panels()->Add();
  p0->SetWidth(260);
  p0->SetText(longTexts ? "x: 12 y: 7 (120x24) Edit field - PLC_PRG.Variable.With.A.Long.Name : INT" : "x: 12 y: 7");
  TStatusPanel* p1 = s.status->Panels()->Add();
  p1->SetWidth(120);
  p1->SetStyle(psOwnerDraw);
  p1->SetText("owner drawn");
  s.status->Panels()->Add()->SetText("ready");
  s.status->OnDrawPanel = [](TStatusBar* bar, TStatusPanel* panel, const TRect& rect) {
    bar->Canvas()->Brush->Color = clInfoBk;
    bar->Canvas()->FillRect(rect);
    bar->Canvas()->Font->Color = clNavy;
    bar->Canvas()->Brush->Style = bsClear;
    bar->Canvas()->TextOut(rect.Left + 2, rect.Top + 1, panel->Text());
  };

  s.header = new THeaderControl(s.form);
  s.header->SetParent(s.form);
  for (const char* t : {"Header", "Sections", "Here"}) {
    THeaderSection* sec = s.header->Sections()->Add();
    sec->SetText(t);
    sec->SetWidth(90);
  }
  s.header->Sections()->Items(2)->SetAlignment(taCenter);

  s.tree = new TTreeView(s.form);
  s.tree->SetParent(s.form);
  s.tree->SetBounds(8, 60, 180, 200);
  s.tree->SetStateImages(s.states);
  s.tree->SetHideSelection(false);
  TTreeNode* g1 = s.tree->Items()->Add(nullptr, "Group 1");
  g1->SetStateIndex(1);
  s.tree->Items()->AddChild(g1, "Page1 - PAGE1.XML");
  TTreeNode* sel = s.tree->Items()->AddChild(g1, longTexts ? "A page with a very long caption - PAGE2.XML" : "Page2");
  TTreeNode* g2 = s.tree->Items()->Add(nullptr, "Group 2");
  g2->SetStateIndex(2);
  s.tree->Items()->AddChild(g2, "Page3");
  TTreeNode* g3 = s.tree->Items()->Add(nullptr, "Group 3 (collapsed)");
  s.tree->Items()->AddChild(g3, "Hidden page");
  s.tree->Items()->Add(nullptr, "Empty group");
  g1->Expand(false);
  g2->Expand(false);
  s.tree->SetSelected(sel);

  s.list = new TListView(s.form);
  s.list->SetParent(s.form);
  s.list->SetBounds(196, 60, 300, 200);
  s.list->SetViewStyle(vsReport);
  s.list->SetCheckboxes(true);
  s.list->SetGridLines(true);
  s.list->SetRowSelect(true);
  s.list->SetHideSelection(false);
  s.list->SetSmallImages(s.images);
  const char* titles[] = {"Name", "Value to be set", "Kind"};
  const int widths[] = {110, 110, 60};
  for (int c = 0; c < 3; ++c) {
    TListColumn* col = s.list->Columns()->Add();
    col->SetCaption(titles[c]);
    col->SetWidth(widths[c]);
  }
  s.list->Columns()->Items(1)->SetAlignment(taRightJustify);
  for (int i = 0; i < 6; ++i) {
    TListItem* item = s.list->Items()->Add();
    item->SetCaption(longTexts ? "Option number " + std::to_string(i) + " with a long text"
                               : "Option " + std::to_string(i));
    item->SubItems()->Add(std::to_string(i * 10));
    item->SubItems()->Add(i % 2 ? "odd" : "even");
    item->SetImageIndex(i % 5);
    item->SetChecked(i % 3 == 0);
  }
  s.list->Items()->Item(2)->SetSelected(true);
  s.list->OnCustomDrawItem = [](TListView* sender, TListItem* item, TCustomDrawState, bool&) {
    if (item->Index() == 4) {  // a frozen-layer row
      sender->Canvas()->Brush->Color = static_cast<TColor>(0xFFF0D1);
      sender->Canvas()->Font->Color = static_cast<TColor>(0xFF6600);
    }
  };

  s.pages = new TPageControl(s.form);
  s.pages->SetParent(s.form);
  s.pages->SetBounds(8, 268, 300, 130);
  for (const char* caption : {"General", longTexts ? "Fonts and colours of everything" : "Fonts", "Links"}) {
    auto* sheet = new TTabSheet(s.form);
    sheet->SetPageControl(s.pages);
    sheet->SetCaption(caption);
  }
  s.pages->SetActivePageIndex(1);
  auto* inner = new TListView(s.form);  // something on the page
  inner->SetParent(s.pages->ActivePage());
  inner->SetBounds(8, 8, 150, 60);
  inner->SetViewStyle(vsList);
  inner->Items()->Add()->SetCaption("on the page");

  s.blocks = new TProgressBar(s.form);
  s.blocks->SetParent(s.form);
  s.blocks->SetBounds(316, 280, 200, 17);
  s.blocks->SetPosition(45);
  s.smooth = new TProgressBar(s.form);
  s.smooth->SetParent(s.form);
  s.smooth->SetBounds(316, 310, 200, 17);
  s.smooth->SetSmooth(true);
  s.smooth->SetPosition(70);
  return s;
}

class ComCtrlsPaintingTest : public ComCtrlsTest {
 protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    std::filesystem::create_directories(PicturePath(""));
  }
};

}  // namespace

TEST_F(ComCtrlsPaintingTest, SampleFormPaintsEveryControlInTheClassicLook) {
  Sample s = BuildSample(false);
  TBitmap bmp;
  PaintClientToBitmap(s.form, bmp);
  ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath("comctrls-sample.png")));
  // Enlarged details for the eye: the tool bar and the tabs.
  auto zoom = [&](const TRect& part, int factor, const std::string& name) {
    TBitmap big;
    big.SetSize(static_cast<int>(part.Width()) * factor, static_cast<int>(part.Height()) * factor);
    big.Canvas->CopyRect(Rect(0, 0, big.Width(), big.Height()), bmp.Canvas, part);
    ASSERT_TRUE(SaveBitmapAsPng(big, PicturePath(name)));
  };
  zoom(Rect(0, 0, 200, 50), 4, "comctrls-sample-toolbar-x4.png");
  zoom(Rect(0, 262, 320, 300), 3, "comctrls-sample-tabs-x3.png");

  auto at = [&](TControl* c, int x, int y) {
    const TPoint p = s.form->ScreenToClient(c->ClientToScreen({x, y}));
    return PixelAt(bmp, p.x, p.y);
  };
  // The tree's selected label shows in the button face colour (unfocused,
  // HideSelection off), its lines and buttons are there.
  const TRect selRect = s.tree->Selected()->DisplayRect(true);
  EXPECT_EQ(at(s.tree, selRect.Left + 1, selRect.Top + 1), ColorToRGB(clBtnFace));
  const TPoint client = s.form->ScreenToClient(s.tree->ClientToScreen({0, 0}));
  EXPECT_GT(CountColor(bmp, Rect(client.x, client.y, client.x + 40, client.y + 100), clBtnShadow), 20);
  // The list view: the frozen row's colours, the selected row in button face.
  const TRect row4 = s.list->ItemRect(s.list->Items()->Item(4));
  EXPECT_EQ(at(s.list, 250, row4.Top + 1), static_cast<TColor>(0xFFF0D1));
  const TRect row2 = s.list->ItemRect(s.list->Items()->Item(2));
  EXPECT_EQ(at(s.list, 250, row2.Top + 1), ColorToRGB(clBtnFace));
  // Progress bars: blocks with gaps, a continuous fill.
  EXPECT_EQ(at(s.smooth, 10, 7), ColorToRGB(clHighlight));
  EXPECT_EQ(at(s.smooth, 190, 7), ColorToRGB(clBtnFace));
  int gaps = 0;
  for (int x = 1; x < 80; ++x) gaps += at(s.blocks, x, 7) == ColorToRGB(clBtnFace) ? 1 : 0;
  EXPECT_GT(gaps, 5);
  // The owner-drawn status panel.
  const TRect panel = s.status->PanelRect(1);
  EXPECT_EQ(at(s.status, panel.Left + 3, panel.Bottom - 3), ColorToRGB(clInfoBk));
  // The down tool button is dithered, the picture of the first one red.
  EXPECT_GT(CountColor(bmp, Rect(0, 0, 23, 29), clRed), 50);
  delete s.form;
}

TEST_F(ComCtrlsPaintingTest, FocusedDisabledAndLongTextVariantsPaint) {
  {
    Sample s = BuildSample(false);
    s.form->Show();
    s.list->SetFocus();
    TBitmap bmp;
    PaintControlToBitmap(s.form, bmp);
    ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath("comctrls-focused-list.png")));
    const TPoint p =
        s.form->ScreenToClient(s.list->ClientToScreen({250, s.list->ItemRect(s.list->Items()->Item(2)).Top + 2}));
    const TRect insets = s.form->BorderInsets();
    EXPECT_EQ(PixelAt(bmp, p.x + insets.Left, p.y + insets.Top), ColorToRGB(clHighlight));
    s.tree->SetFocus();
    ASSERT_TRUE(SaveControlAsPng(s.form, PicturePath("comctrls-focused-tree.png")));
    s.pages->SetFocus();
    ASSERT_TRUE(SaveControlAsPng(s.pages, PicturePath("comctrls-focused-pages.png")));
    delete s.form;
  }
  {
    Sample s = BuildSample(false);
    for (TControl* c : std::vector<TControl*>{s.toolBar, s.list, s.tree, s.pages, s.header, s.status, s.blocks})
      c->SetEnabled(false);
    for (TToolButton* b : s.buttons) b->SetEnabled(false);
    ASSERT_TRUE(SaveControlAsPng(s.form, PicturePath("comctrls-disabled.png")));
    delete s.form;
  }
  {
    Sample s = BuildSample(true);
    ASSERT_TRUE(SaveControlAsPng(s.form, PicturePath("comctrls-long-texts.png")));
    delete s.form;
  }
}

TEST_F(ComCtrlsPaintingTest, StateImagesStartAtZeroInListsButTreesReserveTheFirstOne) {
  TForm form(nullptr);
  PrepareForm(form, 300, 200);
  TImageList states(&form);
  TBitmap strip;
  MakeStrip(strip, 16, {clRed, clBlue});
  states.AddMasked(&strip, clFuchsia);
  auto* list = new TListView(&form);
  list->SetParent(&form);
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetWidth(100);
  list->SetStateImages(&states);
  list->Items()->Add()->SetStateIndex(0);
  list->Items()->Add()->SetStateIndex(-1);
  auto* tree = new TTreeView(&form);
  tree->SetParent(&form);
  tree->SetStateImages(&states);
  tree->Items()->Add(nullptr, "none")->SetStateIndex(0);
  tree->Items()->Add(nullptr, "blue")->SetStateIndex(1);

  TBitmap bmp;
  PaintClientToBitmap(list, bmp);
  const int row0 = list->ItemRect(list->Items()->Item(0)).Top;
  const int row1 = list->ItemRect(list->Items()->Item(1)).Top;
  EXPECT_GT(CountColor(bmp, Rect(0, row0, 30, row0 + list->RowHeight()), clRed), 100);
  EXPECT_EQ(CountColor(bmp, Rect(0, row1, 30, row1 + list->RowHeight()), clRed), 0);
  PaintClientToBitmap(tree, bmp);
  const int h = tree->ItemHeight();
  EXPECT_EQ(CountColor(bmp, Rect(0, 0, 60, h), clRed), 0);
  EXPECT_GT(CountColor(bmp, Rect(0, h, 60, 2 * h), clBlue), 100);
}
