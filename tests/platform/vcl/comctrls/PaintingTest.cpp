// A sample form with one of every common control, painted to PNGs in the
// build folder (normal, focused, disabled, with long texts), and checks of
// what the pictures must show.

#include <filesystem>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/MenuLevel.h"
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
    // The selected row of the disabled list: button face, grey text.
    TBitmap list;
    PaintClientToBitmap(s.list, list);
    const TRect row = s.list->ItemRect(s.list->Items()->Item(2));
    EXPECT_EQ(PixelAt(list, 250, row.Top + 1), ColorToRGB(clBtnFace));
    EXPECT_EQ(CountColor(list, row, clWindowText), 0);
    EXPECT_GT(CountColor(list, row, clGrayText), 5);
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

namespace {

// Whether a pixel is dark text (or its dark edge) on a light background.
bool IsDark(TColor c) {
  const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return r + g + b < 3 * 0x80;
}

// The dark pixels of one column of a rectangle.
int DarkInColumn(TBitmap& bmp, int x, int top, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y) n += IsDark(PixelAt(bmp, x, y)) ? 1 : 0;
  return n;
}

// The rightmost column of the rectangle that holds a dark pixel (-1: none).
int RightmostDark(TBitmap& bmp, const TRect& r) {
  for (int x = r.Right - 1; x >= r.Left; --x)
    if (DarkInColumn(bmp, x, r.Top, r.Bottom) > 0) return x;
  return -1;
}

}  // namespace

TEST_F(ComCtrlsPaintingTest, DisabledViewsShowTheirSelectionInButtonFaceWithGreyText) {
  TForm form(nullptr);
  PrepareForm(form, 400, 200);
  auto* tree = new TTreeView(&form);
  tree->SetParent(&form);
  tree->SetBounds(0, 0, 180, 200);
  tree->SetHideSelection(false);
  tree->Items()->Add(nullptr, "First");
  tree->SetSelected(tree->Items()->Add(nullptr, "Chosen node"));
  auto* list = new TListView(&form);
  list->SetParent(&form);
  list->SetBounds(190, 0, 200, 200);
  list->SetViewStyle(vsReport);
  list->SetRowSelect(true);
  list->SetHideSelection(false);
  list->Columns()->Add()->SetWidth(150);
  list->Items()->Add()->SetCaption("First");
  list->Items()->Add()->SetCaption("Chosen item");
  list->Items()->Item(1)->SetSelected(true);
  form.Show();
  tree->SetEnabled(false);
  list->SetEnabled(false);

  TBitmap bmp;
  PaintClientToBitmap(tree, bmp);
  ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath("comctrls-disabled-tree-selection.png")));
  const TRect label = tree->Selected()->DisplayRect(true);
  EXPECT_EQ(PixelAt(bmp, label.Left + 1, label.Top + 1), ColorToRGB(clBtnFace));
  EXPECT_GT(CountColor(bmp, label, clGrayText), 5);
  EXPECT_EQ(CountColor(bmp, label, clWindowText), 0);
  EXPECT_EQ(CountColor(bmp, label, clHighlight), 0);

  PaintClientToBitmap(list, bmp);
  ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath("comctrls-disabled-list-selection.png")));
  const TRect row = list->ItemRect(list->Items()->Item(1));
  EXPECT_EQ(PixelAt(bmp, 140, row.Top + 1), ColorToRGB(clBtnFace));
  EXPECT_GT(CountColor(bmp, row, clGrayText), 5);
  EXPECT_EQ(CountColor(bmp, row, clWindowText), 0);
  EXPECT_EQ(CountColor(bmp, row, clHighlight), 0);
}

TEST_F(ComCtrlsPaintingTest, ListViewTextsCutAtAColumnEdgeEndInAnEllipsis) {
  TForm form(nullptr);
  PrepareForm(form, 300, 120);
  auto* list = new TListView(&form);
  list->SetParent(&form);
  list->SetBounds(0, 0, 300, 120);
  list->SetViewStyle(vsReport);
  // Letters that reach from the baseline to the top, so that a letter cut
  // at the edge and the dots of an ellipsis tell apart.
  const std::string tall(40, 'l');
  for (const char* caption : {"lllllllllllllllllllllllllllllll", "l"}) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(70);
  }
  TListItem* item = list->Items()->Add();
  item->SetCaption(tall);
  item->SubItems()->Add("lll");  // fits: no ellipsis
  TBitmap bmp;
  PaintClientToBitmap(list, bmp);
  ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath("comctrls-list-ellipsis.png")));

  // The cut caption ends in dots on the baseline, inside the cell's margin.
  const TRect row = list->ItemRect(item);
  const TRect cell = Rect(0, row.Top, 70, row.Bottom);
  const int last = RightmostDark(bmp, cell);
  ASSERT_GE(last, 0);
  EXPECT_LE(last, cell.Right - 6);
  EXPECT_LE(DarkInColumn(bmp, last, row.Top, row.Bottom), 3) << "a letter, not a dot, ends the text";
  // A text that fits keeps its last letter whole.
  const TRect second = Rect(70, row.Top, 140, row.Bottom);
  const int lastOfFitting = RightmostDark(bmp, second);
  ASSERT_GE(lastOfFitting, 0);
  EXPECT_GT(DarkInColumn(bmp, lastOfFitting, row.Top, row.Bottom), 6);
  // The column header's caption is cut the same way.
  const TRect header = Rect(0, 0, 70, list->HeaderHeight());
  const int lastOfHeader = RightmostDark(bmp, Rect(header.Left, header.Top + 2, header.Right - 2, header.Bottom - 2));
  ASSERT_GE(lastOfHeader, 0);
  EXPECT_LE(DarkInColumn(bmp, lastOfHeader, header.Top + 2, header.Bottom - 2), 3);
}

TEST_F(ComCtrlsPaintingTest, TheActiveTabIsDrawnWholeOverItsNeighbours) {
  TForm form(nullptr);
  PrepareForm(form, 300, 150);
  auto* pages = new TPageControl(&form);
  pages->SetParent(&form);
  pages->SetBounds(0, 0, 300, 150);
  for (const char* caption : {"General", "Fonts", "Links"}) {
    auto* sheet = new TTabSheet(&form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  for (int active = 0; active < 3; ++active) {
    pages->SetActivePageIndex(active);
    TBitmap bmp;
    PaintClientToBitmap(pages, bmp);
    ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath("comctrls-tabs-" + std::to_string(active) + ".png")));
    // The active tab stands two pixels out on each side; its right edge is
    // dark from below the corner down to the page.
    const TRect tab = pages->TabRect(active);
    const int right = tab.Right + 2 - 1;
    for (int y = tab.Top - 2 + 2; y < tab.Bottom; ++y) {
      EXPECT_EQ(PixelAt(bmp, right, y), ColorToRGB(cl3DDkShadow)) << "active " << active << " y " << y;
      EXPECT_EQ(PixelAt(bmp, right - 1, y), ColorToRGB(clBtnShadow)) << "active " << active << " y " << y;
    }
    // Every tab's left edge (but the one the active tab covers): highlight
    // outside, light inside.
    for (int i = 0; i < 3; ++i) {
      if (i == active + 1) continue;
      const TRect r = pages->TabRect(i);
      const int left = i == active ? r.Left - 2 : r.Left;
      const int y = r.Bottom - 3;
      EXPECT_EQ(PixelAt(bmp, left, y), ColorToRGB(clBtnHighlight)) << "active " << active << " tab " << i;
      EXPECT_EQ(PixelAt(bmp, left + 1, y), ColorToRGB(cl3DLight)) << "active " << active << " tab " << i;
    }
  }
}

TEST_F(ComCtrlsPaintingTest, AHeaderSectionShowsPressedOnlyWhileTheMouseHoldsItInside) {
  TForm form(nullptr);
  PrepareForm(form, 300, 100);
  auto* header = new THeaderControl(&form);
  header->SetParent(&form);
  for (const char* caption : {"Name", "Value"}) {
    THeaderSection* s = header->Sections()->Add();
    s->SetText(caption);
    s->SetWidth(100);
  }
  EventLog log;
  header->OnSectionClick = [&](THeaderControl*, THeaderSection* s) { log.Add("click:" + s->Text()); };
  form.Show();
  // A raised cell has a highlight at its top-left corner, a pressed one the
  // shadow of its frame.
  auto corner = [&] {
    TBitmap bmp;
    PaintClientToBitmap(header, bmp);
    return PixelAt(bmp, 0, 0);
  };
  EXPECT_EQ(corner(), ColorToRGB(clBtnHighlight));
  Driver::MouseDown(header, 50, 8);
  EXPECT_EQ(corner(), ColorToRGB(clBtnShadow));
  Driver::MouseMove(header, 150, 8, ssLeft);  // onto the next section
  EXPECT_EQ(corner(), ColorToRGB(clBtnHighlight));
  Driver::MouseMove(header, 60, 8, ssLeft);
  EXPECT_EQ(corner(), ColorToRGB(clBtnShadow));
  Driver::MouseMove(header, 60, 80, ssLeft);  // below the header
  Driver::MouseUp(header, 60, 80);
  EXPECT_EQ(corner(), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(log.Joined(), "");
  Driver::Click(header, 150, 8);
  EXPECT_EQ(log.Joined(), "click:Value");
}

namespace {

struct MenuLevelCase {
  const char* name;
  int items;
  int longCaptionAt;  // the item with a caption of 1,000,000 letters (-1: none)
  TSize area;
  bool scrolls;
};

const MenuLevelCase kMenuLevelCases[] = {
    {"FewShortItems", 5, -1, {1280, 1024}, false},
    {"OneCaptionOfAMillionLetters", 5, 2, {1280, 1024}, false},
    {"ThreeThousandPages", 3000, -1, {1280, 1024}, true},
    {"ThreeThousandThreeHundredPagesAndALongName", 3300, 1500, {1280, 1024}, true},
    {"AnAreaSmallerThanOneItem", 40, 0, {120, 30}, true},
};

}  // namespace

// A popped-up menu level keeps within the work area whatever its items: a
// long caption is cut with an ellipsis, a column taller than the area
// scrolls, and every item can be brought into view and hit.
TEST_F(ComCtrlsPaintingTest, MenuLevelFitsTheWorkAreaAndShowsEveryItemWhenScrolled) {
  for (const MenuLevelCase& c : kMenuLevelCases) {
    SCOPED_TRACE(c.name);
    TPopupMenu menu(nullptr);
    for (int i = 0; i < c.items; ++i) {
      auto* item = new TMenuItem(&menu);
      item->SetCaption(i == c.longCaptionAt ? std::string(1000000, 'l') : "Page " + std::to_string(i));
      menu.Items()->Add(item);
    }
    TBitmap bmp;
    TMenuLevel level(menu.Items(), bmp.Canvas, c.area);
    EXPECT_EQ(level.Scrolls(), c.scrolls);
    EXPECT_LE(level.Width(), std::min(static_cast<int>(c.area.cx), kMenuTextMaxWidth + 60));
    EXPECT_LE(level.Height(), std::max(static_cast<int>(c.area.cy), 2 * kMenuScrollArrowHeight + 26));
    if (c.longCaptionAt >= 0) {
      const std::string& shown = level.Text(c.longCaptionAt);
      EXPECT_LE(bmp.Canvas->TextWidth(shown), kMenuTextMaxWidth);  // the layout left the menu font set
      EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    }
    for (int i : {c.items - 1, 0, c.items / 2, c.items - 1}) {
      level.ShowItem(i);
      const TRect r = level.ItemRect(i);
      ASSERT_FALSE(r.IsEmpty()) << i;
      EXPECT_GE(r.Top, 0);
      EXPECT_LE(r.Bottom, level.Height());
      EXPECT_EQ(level.HitTest({static_cast<int>(r.Left) + 5, static_cast<int>(r.Top) + 5}), i);
    }
    // At the end: the last item lit, the arrow up dark, the arrow down grey.
    bmp.SetSize(level.Width(), level.Height());
    level.Paint(bmp.Canvas, c.items - 1);
    const TRect last = level.ItemRect(c.items - 1);
    EXPECT_EQ(PixelAt(bmp, static_cast<int>(last.Left) + 2, static_cast<int>(last.Top) + 2), ColorToRGB(clHighlight));
    if (c.scrolls) {
      const int mx = level.Width() / 2;
      EXPECT_EQ(level.HitTest({mx, 1 + kMenuBorder}), TMenuLevel::kUpArrow);
      EXPECT_EQ(PixelAt(bmp, mx, kMenuBorder + kMenuScrollArrowHeight / 2 + 1), ColorToRGB(clMenuText));
      EXPECT_EQ(PixelAt(bmp, mx, level.Height() - kMenuBorder - kMenuScrollArrowHeight / 2 - 1),
                ColorToRGB(clGrayText));
    }
    ASSERT_TRUE(SaveBitmapAsPng(bmp, PicturePath(std::string("comctrls-menu-") + c.name + ".png")));
  }
}
