// A sample form with one of every standard control (normal, disabled,
// focused, with texts too long for them), painted to PNG pictures in the
// build folder for people to look at, and probed at a few pixels.

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/stdctrls/StdCtrlsTestSupport.h"

namespace {

class TSampleForm : public TForm {
 public:
  explicit TSampleForm(TComponent* owner) : TForm(owner) {
    SetCaption("Every standard control");
    SetBounds(0, 0, 660, 520);
    // Column 1: labels, edits, memo, buttons.
    lblNormal = Add<TLabel>(10, 10, 0, 0);
    lblNormal->SetCaption("Label");
    lblDisabled = Add<TLabel>(10, 30, 0, 0);
    lblDisabled->SetCaption("Disabled label");
    lblDisabled->SetEnabled(false);
    lblLong = Add<TLabel>(10, 50, 0, 0);
    lblLong->SetAutoSize(false);
    lblLong->SetBounds(10, 50, 120, 16);
    lblLong->SetCaption("A label whose text is far too long for it");
    edtNormal = Add<TEdit>(10, 75, 150, 21);
    edtNormal->SetText("Edit text");
    edtFocused = Add<TEdit>(10, 102, 150, 21);
    edtFocused->SetText("Focused, part selected");
    edtDisabled = Add<TEdit>(10, 129, 150, 21);
    edtDisabled->SetText("Disabled edit");
    edtDisabled->SetEnabled(false);
    edtPassword = Add<TEdit>(10, 156, 150, 21);
    edtPassword->SetPasswordChar('*');
    edtPassword->SetText("secret");
    edtLong = Add<TEdit>(10, 183, 150, 21);
    edtLong->SetText("An edit whose text is much longer than the box");
    memo = Add<TMemo>(10, 210, 150, 60);
    memo->Lines()->Add("Memo line one");
    memo->Lines()->Add("Memo line two, which is longer than the memo");
    btnOk = Add<TButton>(10, 280, 75, 25);
    btnOk->SetCaption("OK");
    btnOk->SetDefault(true);
    btnCancel = Add<TButton>(90, 280, 75, 25);
    btnCancel->SetCaption("Cancel");
    btnDisabled = Add<TButton>(10, 310, 75, 25);
    btnDisabled->SetCaption("Disabled");
    btnDisabled->SetEnabled(false);
    btnLong = Add<TButton>(90, 310, 75, 25);
    btnLong->SetCaption("A caption too long for the button");
    // Column 2: check boxes, radio buttons, groups, combo boxes.
    chkUnchecked = Add<TCheckBox>(180, 10, 150, 17);
    chkUnchecked->SetCaption("Unchecked");
    chkChecked = Add<TCheckBox>(180, 30, 150, 17);
    chkChecked->SetCaption("Checked");
    chkChecked->SetChecked(true);
    chkGrayed = Add<TCheckBox>(180, 50, 150, 17);
    chkGrayed->AllowGrayed = true;
    chkGrayed->SetCaption("Grayed");
    chkGrayed->SetState(cbGrayed);
    chkDisabled = Add<TCheckBox>(180, 70, 150, 17);
    chkDisabled->SetCaption("Disabled, checked");
    chkDisabled->SetChecked(true);
    chkDisabled->SetEnabled(false);
    chkLong = Add<TCheckBox>(180, 90, 150, 17);
    chkLong->SetCaption("A check box caption that does not fit");
    group = Add<TGroupBox>(180, 112, 150, 80);
    group->SetCaption("Group box");
    radio1 = new TRadioButton(this);
    radio1->SetParent(group);
    radio1->SetBounds(10, 20, 130, 17);
    radio1->SetCaption("Radio checked");
    radio1->SetChecked(true);
    radio2 = new TRadioButton(this);
    radio2->SetParent(group);
    radio2->SetBounds(10, 38, 130, 17);
    radio2->SetCaption("Radio");
    radio3 = new TRadioButton(this);
    radio3->SetParent(group);
    radio3->SetBounds(10, 56, 130, 17);
    radio3->SetCaption("Radio disabled");
    radio3->SetEnabled(false);
    radioGroup = Add<TRadioGroup>(180, 198, 150, 80);
    radioGroup->SetCaption("Integer format");
    for (const char* s : {"Default", "Signed", "Unsigned", "Hexadecimal"}) radioGroup->Items()->Add(s);
    radioGroup->SetColumns(2);
    radioGroup->SetItemIndex(3);
    cmbDropDown = Add<TComboBox>(180, 285, 150, 21);
    for (const char* s : {"red", "green", "blue"}) cmbDropDown->Items()->Add(s);
    cmbDropDown->SetItemIndex(1);
    cmbList = Add<TComboBox>(180, 312, 150, 21);
    cmbList->SetStyle(csDropDownList);
    cmbList->Items()->Add("A choice from a list that is too long");
    cmbList->SetItemIndex(0);
    cmbDisabled = Add<TComboBox>(180, 339, 150, 21);
    cmbDisabled->SetText("Disabled combo");
    cmbDisabled->SetEnabled(false);
    // Column 3: list box, panels, bevel, shapes, image, speed buttons.
    list = Add<TListBox>(345, 10, 140, 90);
    for (int i = 0; i < 12; ++i) list->Items()->Add("List item " + std::to_string(i));
    list->SetItemIndex(2);
    pnlRaised = Add<TPanel>(345, 108, 140, 35);
    pnlRaised->SetCaption("Raised panel");
    pnlLowered = Add<TPanel>(345, 148, 140, 35);
    pnlLowered->SetBevelOuter(bvLowered);
    pnlLowered->SetCaption("Lowered panel with a long caption");
    bevel = Add<TBevel>(345, 190, 140, 30);
    bevel->SetShape(bsFrame);
    shpRect = Add<TShape>(345, 228, 40, 30);
    shpRect->Brush->Color = clRed;
    shpCircle = Add<TShape>(392, 228, 40, 30);
    shpCircle->SetShape(stCircle);
    shpCircle->Brush->Color = clYellow;
    shpHatched = Add<TShape>(440, 228, 40, 30);
    shpHatched->Brush->Color = clBlue;
    shpHatched->Brush->Style = bsDiagCross;
    image = Add<TImage>(345, 265, 48, 48);
    TBitmap* pic = image->Picture()->Bitmap();
    pic->SetSize(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) pic->Canvas->Pixels[x][y] = static_cast<TColor>((x * 8) | ((y * 8) << 8) | 0x800000);
    image->SetStretch(true);
    for (int i = 0; i < 4; ++i) {
      speed[i] = Add<TSpeedButton>(400 + 25 * i, 265, 23, 22);
      speed[i]->SetGroupIndex(i < 2 ? 1 : 0);
      speed[i]->SetCaption(std::string(1, static_cast<char>('A' + i)));
    }
    speed[1]->SetDown(true);
    speed[2]->SetFlat(true);
    speed[3]->SetEnabled(false);
    speed[3]->Glyph()->SetSize(12, 12);
    speed[3]->Glyph()->Canvas->Brush->Color = clFuchsia;
    speed[3]->Glyph()->Canvas->FillRect(Rect(0, 0, 12, 12));
    speed[3]->Glyph()->Canvas->Brush->Color = clGreen;
    speed[3]->Glyph()->Canvas->FillRect(Rect(2, 2, 10, 10));
    speed[3]->SetCaption("");
    glyphButton = Add<TSpeedButton>(400, 290, 85, 22);
    glyphButton->Glyph()->Assign(speed[3]->Glyph());
    glyphButton->SetCaption("Glyph");
    // A scroll box scrolled a little, with a splitter beside a panel.
    scroll = Add<TScrollBox>(10, 345, 160, 120);
    scroll->SetColor(clWindow);
    for (int i = 0; i < 4; ++i) {
      auto* b = new TButton(this);
      b->SetParent(scroll);
      b->SetBounds(10 + 60 * i, 10 + 40 * i, 75, 25);
      b->SetCaption("In box " + std::to_string(i));
    }
    scroll->VertScrollBar()->SetPosition(20);
    scroll->HorzScrollBar()->SetPosition(15);
    host = Add<TPanel>(345, 320, 290, 100);
    host->SetBevelOuter(bvLowered);
    host->SetCaption("");
    left = new TPanel(this);
    left->SetParent(host);
    left->SetAlign(alLeft);
    left->SetWidth(90);
    left->SetCaption("Left");
    splitter = new TSplitter(this);
    splitter->SetParent(host);
    splitter->SetLeft(200);
    splitter->SetColor(clBtnShadow);
    right = new TPanel(this);
    right->SetParent(host);
    right->SetAlign(alClient);
    right->SetCaption("Rest");
  }

  template <class T>
  T* Add(int x, int y, int w, int h) {
    auto* c = new T(this);
    c->SetParent(this);
    if (w > 0)
      c->SetBounds(x, y, w, h);
    else {
      c->SetLeft(x);
      c->SetTop(y);
    }
    return c;
  }

  TLabel *lblNormal, *lblDisabled, *lblLong;
  TEdit *edtNormal, *edtFocused, *edtDisabled, *edtPassword, *edtLong;
  TMemo* memo;
  TButton *btnOk, *btnCancel, *btnDisabled, *btnLong;
  TCheckBox *chkUnchecked, *chkChecked, *chkGrayed, *chkDisabled, *chkLong;
  TGroupBox* group;
  TRadioButton *radio1, *radio2, *radio3;
  TRadioGroup* radioGroup;
  TComboBox *cmbDropDown, *cmbList, *cmbDisabled;
  TListBox* list;
  TPanel *pnlRaised, *pnlLowered, *host, *left, *right;
  TBevel* bevel;
  TShape *shpRect, *shpCircle, *shpHatched;
  TImage* image;
  TSpeedButton* speed[4];
  TSpeedButton* glyphButton;
  TScrollBox* scroll;
  TSplitter* splitter;
};

// Client coordinates of a point of a control on the form.
TPoint OnForm(TForm& form, TControl* c, int x, int y) { return form.ScreenToClient(c->ClientToScreen({x, y})); }

}  // namespace

class SampleFormTest : public StdCtrlsTest {};

TEST_F(SampleFormTest, PaintsEveryControlIntoPictures) {
  TSampleForm form(nullptr);
  form.Show();
  form.edtFocused->SetFocus();
  form.edtFocused->SetSelStart(9);
  form.edtFocused->SetSelLength(4);
  ASSERT_TRUE(SaveControlAsPng(&form, PicturePath("stdctrls-sample-edit-focused.png")));

  TBitmap client;
  PaintClientToBitmap(&form, client);
  // A disabled label is grey (no black text pixels, some shadow ones).
  const TRect disabledLabel = form.lblDisabled->BoundsRect();
  EXPECT_EQ(CountDark(client, disabledLabel), 0);
  EXPECT_GT(CountColor(client, disabledLabel, clBtnShadow), 10);
  EXPECT_GT(CountDark(client, form.lblNormal->BoundsRect()), 10);
  // The long label is cut at its right edge.
  EXPECT_EQ(CountOther(client, Rect(form.lblLong->Left() + form.lblLong->Width(), 50, 170, 66), clBtnFace), 0);
  // The focused edit shows its selection in the highlight colour and its
  // caret; the unfocused one shows neither.
  TRect focusedRect = form.edtFocused->BoundsRect();
  EXPECT_GT(CountColor(client, focusedRect, clHighlight), 20);
  EXPECT_EQ(CountColor(client, form.edtNormal->BoundsRect(), clHighlight), 0);
  // The disabled edit has the face colour inside its border and grey text.
  EXPECT_EQ(PixelAt(client, form.edtDisabled->Left() + 3, form.edtDisabled->Top() + 3), ColorToRGB(clBtnFace));
  EXPECT_GT(CountColor(client, form.edtDisabled->BoundsRect(), clGrayText), 5);
  // A checked box has its check mark in the window text colour, an unchecked
  // one none; the disabled one shows it grey.
  auto boxRect = [&](TControl* c) {
    const TPoint p = OnForm(form, c, 0, (c->Height() - 13) / 2);
    return Bounds(p.x + 2, p.y + 2, 9, 9);
  };
  EXPECT_GT(CountColor(client, boxRect(form.chkChecked), clWindowText), 10);
  EXPECT_EQ(CountColor(client, boxRect(form.chkUnchecked), clWindowText), 0);
  EXPECT_EQ(CountColor(client, boxRect(form.chkDisabled), clWindowText), 0);
  EXPECT_GT(CountColor(client, boxRect(form.chkDisabled), clBtnShadow), 10);
  // The default button has its dark frame.
  EXPECT_EQ(PixelAt(client, form.btnOk->Left(), form.btnOk->Top() + 10), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(PixelAt(client, form.btnCancel->Left(), form.btnCancel->Top() + 10), ColorToRGB(clBtnHighlight));
  // The checked radio button has its dot.
  const TPoint dot = OnForm(form, form.radio1, 6, form.radio1->Height() / 2);
  EXPECT_EQ(PixelAt(client, dot.x, dot.y), ColorToRGB(clWindowText));
  const TPoint noDot = OnForm(form, form.radio2, 6, form.radio2->Height() / 2);
  EXPECT_EQ(PixelAt(client, noDot.x, noDot.y), ColorToRGB(clWindow));
  // The list box shows its chosen item highlighted.
  const TPoint item = OnForm(form, form.list, 100, form.list->ItemRect(2).Top + 3);
  EXPECT_EQ(PixelAt(client, item.x, item.y), ColorToRGB(clHighlight));

  // Focus on the check box: its focus rectangle appears, the edit loses its
  // selection colour.
  form.chkLong->SetFocus();
  ASSERT_TRUE(SaveControlAsPng(&form, PicturePath("stdctrls-sample-checkbox-focused.png")));
  PaintClientToBitmap(&form, client);
  EXPECT_EQ(CountColor(client, focusedRect, clHighlight), 0);
  // Focus on the drop-down list, the list box and a button.
  form.cmbList->SetFocus();
  ASSERT_TRUE(SaveControlAsPng(&form, PicturePath("stdctrls-sample-combo-focused.png")));
  PaintClientToBitmap(&form, client);
  EXPECT_GT(CountColor(client, form.cmbList->BoundsRect(), clHighlight), 50);
  form.list->SetFocus();
  ASSERT_TRUE(SaveControlAsPng(&form, PicturePath("stdctrls-sample-listbox-focused.png")));
  form.btnCancel->SetFocus();
  ASSERT_TRUE(SaveControlAsPng(&form, PicturePath("stdctrls-sample-button-focused.png")));
  PaintClientToBitmap(&form, client);
  // The focused button takes the dark frame from the default button.
  EXPECT_EQ(PixelAt(client, form.btnCancel->Left(), form.btnCancel->Top() + 10), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(PixelAt(client, form.btnOk->Left(), form.btnOk->Top() + 10), ColorToRGB(clBtnHighlight));
  // Zoomed parts for a closer look: check boxes and radio buttons, the
  // splitter, the speed buttons.
  PaintClientToBitmap(&form, client);
  auto zoom = [&](const TRect& r, const std::string& name) {
    TBitmap big;
    big.SetSize(static_cast<int>(r.Width()) * 4, static_cast<int>(r.Height()) * 4);
    big.Canvas->CopyRect(Rect(0, 0, big.Width(), big.Height()), client.Canvas, r);
    EXPECT_TRUE(SaveBitmapAsPng(big, PicturePath(name)));
  };
  zoom(Rect(175, 5, 335, 195), "stdctrls-zoom-checks.png");
  zoom(Rect(400, 260, 490, 315), "stdctrls-zoom-speedbuttons.png");
  zoom(Rect(420, 320, 470, 360), "stdctrls-zoom-splitter.png");
  form.Hide();
}
