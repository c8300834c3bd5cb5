// Text: font mapping, metrics in the class library's meaning, drawing,
// clipping and the ANSI code page.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <climits>

#include "platform/vcl/FontEngine.h"
#include "platform/win/CodePage.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Count;
using gfxtest::Filled;

namespace {

// The font's own numbers, read with FreeType apart from the engine.
struct Tables {
  int upem, winAscent, winDescent;
};

Tables ReadTables(const std::string& path) {
  FT_Library library;
  FT_Face face;
  Tables t{};
  if (FT_Init_FreeType(&library) != 0) return t;
  if (FT_New_Face(library, path.c_str(), 0, &face) == 0) {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    t = {face->units_per_EM, os2->usWinAscent, os2->usWinDescent};
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return t;
}

int Round(long long num, long long den) { return static_cast<int>((num * 2 + den) / (2 * den)); }

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The bounding box of the pixels that are not the background.
TRect Ink(const TBitmap& b, TColor background) {
  TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (At(b, x, y) != background) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r;
}

}  // namespace

TEST(CanvasText, FontNamesMapToDebianFonts) {
  EXPECT_EQ(BaseName(FontEngine::FontFile("Arial", false, false)), "LiberationSans-Regular.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("arial", true, true)), "LiberationSans-BoldItalic.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("Courier New", true, false)), "LiberationMono-Bold.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("Times New Roman", false, true)), "LiberationSerif-Italic.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("Verdana", false, false)), "DejaVuSans.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("Tahoma", true, false)), "DejaVuSans-Bold.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("Segoe UI", false, true)), "DejaVuSans-Oblique.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("MS Sans Serif", true, true)), "DejaVuSans-BoldOblique.ttf");
  EXPECT_EQ(BaseName(FontEngine::FontFile("No Such Font", false, false)), "DejaVuSans.ttf");
}

TEST(CanvasText, HeightAndSizeFollowTheClassLibrary) {
  TFont font;
  font.SetSize(10);
  EXPECT_EQ(font.Height, -13);
  EXPECT_EQ(font.Size(), 10);
  font.Height = -11;
  EXPECT_EQ(font.Size(), 8);
  font.SetSize(9);
  EXPECT_EQ(font.Height, -12);
  font.Height = 13;  // a cell height gives a negative size
  EXPECT_EQ(font.Size(), -10);

  // Height -13 and Size 10 are the same font.
  TCanvas a, b;
  a.Font->Name = b.Font->Name = "Verdana";
  a.Font->Height = -13;
  b.Font->SetSize(10);
  EXPECT_EQ(a.TextExtent("Hello, World"), b.TextExtent("Hello, World"));
}

TEST(CanvasText, MetricsComeFromTheFontTables) {
  for (const char* name : {"Verdana", "Courier New", "Segoe UI", "Arial"}) {
    const Tables t = ReadTables(FontEngine::FontFile(name, false, false));
    ASSERT_GT(t.upem, 0) << name;
    TCanvas c;
    c.Font->Name = name;
    c.Font->Height = -13;
    const int ascent = Round(13LL * t.winAscent, t.upem), descent = Round(13LL * t.winDescent, t.upem);
    EXPECT_EQ(c.TextHeight("X"), ascent + descent) << name;
    EXPECT_EQ(c.TextHeight(""), ascent + descent) << name;
    const FontMetrics& m = c.Font->Realize()->Metrics();
    EXPECT_EQ(m.Ascent, ascent) << name;
    EXPECT_EQ(m.InternalLeading, ascent + descent - 13) << name;
    // A positive height is the cell height.
    c.Font->Height = ascent + descent;
    EXPECT_EQ(c.TextHeight("X"), ascent + descent) << name;
  }
}

TEST(CanvasText, WidthsAreDeterministicAndSensible) {
  TCanvas c;
  c.Font->Name = "Verdana";
  c.Font->Height = -13;
  EXPECT_GT(c.TextWidth("W"), c.TextWidth("i"));
  EXPECT_EQ(c.TextWidth(""), 0);
  EXPECT_EQ(c.TextWidth("Wi"), c.TextWidth("W") + c.TextWidth("i"));  // no kerning
  const int normal = c.TextWidth("Browse...12");
  c.Font->Style = fsBold;
  const int bold = c.TextWidth("Browse...12");
  EXPECT_GT(bold, normal);
  c.Font->Style = fsUnderline;  // underline does not change the width
  EXPECT_EQ(c.TextWidth("Browse...12"), normal);
  c.Font->Style = fsItalic;
  EXPECT_GT(c.TextWidth("Browse...12"), 0);

  // Courier New is monospaced.
  c.Font->Name = "Courier New";
  c.Font->Style = 0;
  EXPECT_EQ(c.TextWidth("iiii"), c.TextWidth("WWWW"));
  EXPECT_EQ(c.TextWidth("0000000000"), 10 * c.TextWidth("0"));

  // The same font at the same size measures the same in a fresh canvas.
  c.Font->Name = "Segoe UI";
  c.Font->Height = -12;
  TCanvas d;
  d.Font->Assign(*c.Font);
  EXPECT_EQ(c.TextExtent("The quick brown fox"), d.TextExtent("The quick brown fox"));
  // Bigger fonts are wider.
  d.Font->Height = -20;
  EXPECT_GT(d.TextWidth("The quick brown fox"), c.TextWidth("The quick brown fox"));
}

TEST(CanvasText, MeasuresStayTheSameFromRunToRun) {
  // Sizes of page objects follow these numbers and are saved in projects, so
  // they must not drift: the values of Debian 12's fonts-dejavu-core 2.37
  // and fonts-liberation 1.07.4.
  struct Case {
    const char* name;
    int height;
    TFontStyles style;
    int textHeight, zero, browse;
  };
  for (const Case& k : {Case{"Verdana", -13, 0, 15, 8, 76}, Case{"Verdana", -13, fsBold, 15, 9, 87},
                        Case{"Verdana", -11, 0, 13, 7, 65}, Case{"Courier New", -13, 0, 15, 8, 88},
                        Case{"Courier New", -20, 0, 23, 12, 132}, Case{"Segoe UI", -12, 0, 14, 8, 71},
                        Case{"Segoe UI", -12, fsBold, 14, 8, 80}, Case{"Arial", -13, 0, 15, 7, 69}}) {
    TCanvas c;
    c.Font->Name = k.name;
    c.Font->Height = k.height;
    c.Font->Style = k.style;
    EXPECT_EQ(c.TextHeight("0"), k.textHeight) << k.name << k.height << k.style;
    EXPECT_EQ(c.TextWidth("0"), k.zero) << k.name << k.height << k.style;
    EXPECT_EQ(c.TextWidth("Browse...12"), k.browse) << k.name << k.height << k.style;
  }
}

TEST(CanvasText, TextOutDrawsInTheCellAndMovesThePen) {
  auto b = Filled(120, 30, clWhite);
  TCanvas& c = *b->Canvas;
  c.Font->Name = "Arial";
  c.Font->Height = -16;
  c.Font->Color = clBlue;
  c.Brush->Style = bsClear;
  c.TextOut(10, 5, "Hxg");
  const TSize extent = c.TextExtent("Hxg");
  EXPECT_EQ(c.PenPos(), Point(10 + extent.cx, 5));
  const TRect ink = Ink(*b, clWhite);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 10 + extent.cx + 1);
  EXPECT_GE(ink.Top, 5);
  EXPECT_LE(ink.Bottom, 5 + extent.cy);
  EXPECT_GT(Count(*b, Rect(0, 0, 120, 30), clBlue), 20);  // full-coverage pixels in the font colour

  // A solid brush fills exactly the text cell.
  auto o = Filled(120, 30, clWhite);
  o->Canvas->Font->Assign(*c.Font);
  o->Canvas->Brush->Color = clYellow;
  o->Canvas->TextOut(10, 5, "Hxg");
  EXPECT_EQ(Ink(*o, clWhite), Rect(10, 5, 10 + extent.cx, 5 + extent.cy));
}

TEST(CanvasText, UnderlineAndStrikeOut) {
  auto plain = Filled(60, 30, clWhite);
  plain->Canvas->Font->Height = -16;
  plain->Canvas->TextOut(2, 2, "ab");
  auto under = Filled(60, 30, clWhite);
  under->Canvas->Font->Height = -16;
  under->Canvas->Font->Style = fsUnderline;
  under->Canvas->TextOut(2, 2, "ab");
  const int width = under->Canvas->TextWidth("ab");
  const FontMetrics& m = under->Canvas->Font->Realize()->Metrics();
  const int row = 2 + m.Ascent + m.UnderlineOffset;
  EXPECT_EQ(Count(*under, Rect(2, row, 2 + width, row + 1), clBlack), width);
  EXPECT_LT(Count(*plain, Rect(2, row, 2 + width, row + 1), clBlack), width);
  EXPECT_LT(row, 2 + m.Height);

  auto strike = Filled(60, 30, clWhite);
  strike->Canvas->Font->Height = -16;
  strike->Canvas->Font->Style = fsStrikeOut;
  strike->Canvas->TextOut(2, 2, "ab");
  const int srow = 2 + m.Ascent - m.StrikeOutOffset;
  EXPECT_EQ(Count(*strike, Rect(2, srow, 2 + width, srow + 1), clBlack), width);
}

TEST(CanvasText, TextRectClipsAndFillsTheRectangle) {
  auto b = Filled(100, 30, clWhite);
  TCanvas& c = *b->Canvas;
  c.Font->Height = -13;
  c.Brush->Style = bsClear;
  c.TextRect(Rect(10, 5, 30, 20), 5, 5, "A long value that is cut");
  const TRect ink = Ink(*b, clWhite);
  EXPECT_GE(ink.Left, 10);
  EXPECT_LE(ink.Right, 30);
  EXPECT_LE(ink.Bottom, 20);
  EXPECT_EQ(c.PenPos(), Point(0, 0));  // TextRect does not move the pen

  auto o = Filled(100, 30, clWhite);
  o->Canvas->Brush->Color = clAqua;
  o->Canvas->TextRect(Rect(10, 5, 30, 20), 12, 6, "x");
  EXPECT_EQ(At(*o, 10, 5), clAqua);
  EXPECT_EQ(At(*o, 29, 19), clAqua);
  EXPECT_EQ(At(*o, 30, 19), clWhite);
  EXPECT_EQ(Ink(*o, clWhite), Rect(10, 5, 30, 20));
}

TEST(CanvasText, EightBitTextUsesTheAnsiCodePage) {
  const UINT saved = GetACP();
  TCanvas c;
  c.Font->Name = "Arial";
  c.Font->Height = -20;
  SetAnsiCodePage(1252);
  const int a = c.TextWidth("\xE9");  // e with acute in 1252
  const int questionMark = c.TextWidth("?");
  SetAnsiCodePage(1251);
  const int zhe = c.TextWidth("\xC6");  // Cyrillic Zhe in 1251, AE in 1252
  SetAnsiCodePage(1252);
  const int ae = c.TextWidth("\xC6");
  SetAnsiCodePage(saved);
  EXPECT_EQ(a, c.TextWidth("e"));  // an accented e is as wide as e in Liberation Sans
  EXPECT_NE(zhe, ae);
  EXPECT_GT(zhe, questionMark);

  // Drawing a non-ASCII character puts ink down.
  SetAnsiCodePage(1250);
  auto b = Filled(40, 30, clWhite);
  b->Canvas->Font->Height = -20;
  b->Canvas->TextOut(2, 2, "\x8A");  // S with caron
  SetAnsiCodePage(saved);
  EXPECT_GT(Count(*b, Rect(0, 0, 40, 30), clWhite), 0);
  EXPECT_LT(Count(*b, Rect(0, 0, 40, 30), clWhite), 40 * 30);
}

// The widths of a text's starts and the position nearest to a point, taken
// in one pass, are those of measuring every start on its own, in fonts whose
// advances differ from letter to letter and in single- and multi-byte code
// pages (characters cut in their middle, bytes that begin no character).
TEST(CanvasText, PrefixWidthsAndPositionsAreThoseOfEveryStartMeasured) {
  struct Row {
    UINT codePage;
    const char* font;
    int height;
    TFontStyles style;
    std::string text;
  };
  const Row rows[] = {
      {1252, "Arial", -13, 0, "AVA WWW iii.lj, T\xE9l\xE9phone \x80\x89\x99 \xC6\xDF fi"},
      {1250, "Times New Roman", -17, fsBold, "\xC8\x65rpac\xED stanice \x96 \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2"},
      {1252, "Courier New", -11, fsItalic, "mono  \t\x01 \xA0|"},
      {CP_UTF8, "Tahoma", -15, 0,
       "\xC4\x8C\x65rpadlo \xE2\x82\xAC 1 \xF0\x9F\x98\x80 x\x80y\xE2\x82 z\xC0\x80 \xF8! \xED\xA0\x80 \xC3"},
      {932, "Arial", -14, 0, "\x82\xA0\x82\xA2 \x93\xFA\x96\x7B\xB1\xB2 A\x81\x7F\x82\x20 \x88"},
  };
  const UINT saved = GetACP();
  for (const Row& row : rows) {
    SetAnsiCodePage(row.codePage);
    TCanvas c;
    c.Font->Name = row.font;
    c.Font->Height = row.height;
    c.Font->Style = row.style;
    std::vector<int> each;
    for (std::size_t i = 0; i <= row.text.size(); ++i) each.push_back(c.TextWidth(row.text.substr(0, i)));
    EXPECT_EQ(c.TextPrefixWidths(row.text), each) << row.codePage << " " << row.font;
    for (int x = -4; x <= each.back() + 4; ++x) {
      int nearest = 0;
      for (int i = 1; i < static_cast<int>(each.size()); ++i)
        if (std::abs(x - each[static_cast<std::size_t>(i)]) < std::abs(x - each[static_cast<std::size_t>(nearest)]))
          nearest = i;
      ASSERT_EQ(c.TextPositionAt(row.text, x), nearest) << row.codePage << " " << row.font << " x=" << x;
    }
  }
  SetAnsiCodePage(saved);
}
