// Values of the live view: text to raw bytes, limits, raw bytes to text.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/IecTypes.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Control.h"

namespace {

std::unique_ptr<TGridWebElement> Element(const std::string& type) {
  auto e = std::make_unique<TGridWebElement>(nullptr, nullptr, nullptr, 8, 0, 0, 1, 1, wkEdit, nullptr);
  e->FVarInfo.typeName = type;
  e->FVarInfo.typeCode = TypeCodeOfName(type.c_str());
  return e;
}

std::int32_t Int32(const std::uint8_t* b) {
  std::int32_t v;
  std::memcpy(&v, b, 4);
  return v;
}

// A plain control whose text stands for the in-place editor.
struct TTextControl : TControl {
  TTextControl() : TControl(nullptr) {}
};

}  // namespace

TEST(ParseValue, Bool) {
  auto e = Element("BOOL");
  for (const char* t : {"TRUE", " 1 ", "true"}) {
    e->FWriteBuf[0] = 9;
    EXPECT_TRUE(e->ParseValue(t)) << t;
    EXPECT_EQ(e->FWriteBuf[0], 1) << t;
  }
  for (const char* t : {"abc", "", "False", "0"}) {
    e->FWriteBuf[0] = 9;
    EXPECT_TRUE(e->ParseValue(t)) << t;
    EXPECT_EQ(e->FWriteBuf[0], 0) << t;
  }
  EXPECT_FALSE(e->ParseValue("2"));
  EXPECT_FALSE(e->ParseValue("-1"));
}

TEST(ParseValue, IntegerRanges) {
  auto u = Element("UINT");
  EXPECT_TRUE(u->ParseValue("65535"));
  EXPECT_EQ(u->FWriteBuf[0], 0xFF);
  EXPECT_EQ(u->FWriteBuf[1], 0xFF);
  EXPECT_FALSE(u->ParseValue("65536"));
  EXPECT_FALSE(u->ParseValue("-1"));
  EXPECT_FALSE(u->ParseValue(""));
  auto i = Element("INT");
  EXPECT_TRUE(i->ParseValue("-32768"));
  EXPECT_FALSE(i->ParseValue("32768"));
  auto d = Element("DINT");
  EXPECT_FALSE(d->ParseValue("2147483648"));
  EXPECT_TRUE(d->ParseValue("-2147483648"));
  EXPECT_EQ(Int32(d->FWriteBuf), INT32_MIN);
  EXPECT_FALSE(d->ParseValue("99999999999999999999999"));  // saturates, never overflows
  auto b = Element("BYTE");                                // hexadecimal by type
  EXPECT_TRUE(b->ParseValue("ff"));
  EXPECT_EQ(b->FWriteBuf[0], 255);
  EXPECT_FALSE(b->ParseValue("100"));
  auto s = Element("SINT");
  EXPECT_TRUE(s->ParseValue("-128"));
  EXPECT_EQ(s->FWriteBuf[0], 0x80);
  EXPECT_FALSE(s->ParseValue("128"));
}

TEST(ParseValue, ScaledDecimals) {
  auto e = Element("INT");
  e->FPrecision = 2;
  const struct {
    const char* text;
    int value;
  } cases[] = {{"12.3", 1230}, {"12.345", 1234}, {"-0.05", -5}, {"12", 1200}, {"1.5", 150}, {" -1.25", -125}};
  for (const auto& c : cases) {
    EXPECT_TRUE(e->ParseValue(c.text)) << c.text;
    EXPECT_EQ(static_cast<std::int16_t>(e->FWriteBuf[0] | e->FWriteBuf[1] << 8), c.value) << c.text;
  }
  e->FPrecision = 1;
  EXPECT_TRUE(e->ParseValue("3276.7"));
  EXPECT_FALSE(e->ParseValue("3276.8"));
  e->FPrecision = 1;
  auto neg = Element("INT");
  neg->FPrecision = 1;
  EXPECT_TRUE(neg->ParseValue("-0.5"));
  EXPECT_EQ(static_cast<std::int16_t>(neg->FWriteBuf[0] | neg->FWriteBuf[1] << 8), -5);
}

TEST(ParseValue, FourByteIntegersAreRangeCheckedInEveryFormat) {
  auto d = Element("DINT");
  d->FPrecision = 2;
  EXPECT_FALSE(d->ParseValue("30000000.00"));  // 3,000,000,000 does not fit
  EXPECT_TRUE(d->ParseValue("21474836.47"));
  EXPECT_EQ(Int32(d->FWriteBuf), INT32_MAX);
  EXPECT_FALSE(d->ParseValue("21474836.48"));
  auto u = Element("UDINT");
  u->FPrecision = 1;
  EXPECT_FALSE(u->ParseValue("-1.0"));
  EXPECT_TRUE(u->ParseValue("429496729.5"));
  EXPECT_FALSE(u->ParseValue("429496729.6"));
  auto w = Element("DWORD");  // hexadecimal
  EXPECT_TRUE(w->ParseValue("FFFFFFFF"));
  EXPECT_EQ(static_cast<std::uint32_t>(Int32(w->FWriteBuf)), 0xFFFFFFFFu);
  EXPECT_FALSE(w->ParseValue("1FFFFFFFF"));
  EXPECT_FALSE(w->ParseValue("-1"));
  EXPECT_TRUE(w->ParseValue("0x10"));
  EXPECT_EQ(Int32(w->FWriteBuf), 16);
  auto signedHex = Element("DINT");
  signedHex->FIntFormat = 3;
  EXPECT_FALSE(signedHex->ParseValue("100000000"));
}

TEST(ParseValue, FormatsOutsideTheRangeReadNothing) {
  auto e = Element("INT");
  e->FIntFormat = 7;
  EXPECT_FALSE(e->ParseValue("5"));
  std::string text = "x";
  e->FormatInteger(5, text);
  EXPECT_EQ(text, "");
}

TEST(ParseValue, RealsTimesAndOthers) {
  auto r = Element("REAL");
  EXPECT_TRUE(r->ParseValue(" 2.5 "));
  float f;
  std::memcpy(&f, r->FWriteBuf, 4);
  EXPECT_EQ(f, 2.5f);
  EXPECT_FALSE(r->ParseValue("x"));
  auto t = Element("TIME");
  EXPECT_TRUE(t->ParseValue("1:30:15.5"));
  EXPECT_EQ(Int32(t->FWriteBuf), 5415500);
  auto date = Element("DATE");
  EXPECT_TRUE(date->ParseValue("2024-05-01"));
  double seconds;
  std::memcpy(&seconds, date->FWriteBuf, 8);
  EXPECT_EQ(seconds, 1714521600.0);
  EXPECT_FALSE(Element("LINT")->ParseValue("1"));
  EXPECT_FALSE(Element("WSTRING[4]")->ParseValue("a"));
}

TEST(ParseValue, StringsEndAtTheirLengthWithEveryByteWritten) {
  auto e = Element("STRING[5]");
  std::memset(e->FWriteBuf, 'x', sizeof e->FWriteBuf);
  EXPECT_TRUE(e->ParseValue(" abc"));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e->FWriteBuf), 7), std::string(" abc\0\0x", 7));
  std::memset(e->FWriteBuf, 'x', sizeof e->FWriteBuf);
  EXPECT_TRUE(e->ParseValue("abcdefgh"));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(e->FWriteBuf), 7), std::string("abcde\0x", 7));
  auto plain = Element("STRING");
  EXPECT_TRUE(plain->ParseValue(std::string(100, 'q')));
  EXPECT_EQ(std::strlen(reinterpret_cast<char*>(plain->FWriteBuf)), 81u);
  auto big = Element("STRING[300]");
  std::memset(big->FWriteBuf, 'x', sizeof big->FWriteBuf);
  EXPECT_TRUE(big->ParseValue(std::string(300, 'q')));
  EXPECT_EQ(big->FWriteBuf[240], 0);
  EXPECT_EQ(big->FWriteBuf[241], 'x');
  EXPECT_EQ(std::strlen(reinterpret_cast<char*>(big->FWriteBuf)), 240u);
  auto odd = Element("STRING[-3]");
  EXPECT_TRUE(odd->ParseValue("abc"));
  EXPECT_EQ(odd->FWriteBuf[0], 0);
}

TEST(CheckLimits, IntegersRealsAndTimes) {
  TTextControl editor;
  auto e = Element("INT");
  e->FLimits = true;
  e->FLoLimit = "10";
  e->FHiLimit = "20";
  e->SetEditorForTest(&editor);
  editor.SetText("15");
  EXPECT_TRUE(e->CheckLimits());
  editor.SetText("25");
  EXPECT_FALSE(e->CheckLimits());
  editor.SetText("abc");
  EXPECT_FALSE(e->CheckLimits());
  e->FLimits = false;
  EXPECT_TRUE(e->CheckLimits());
  auto r = Element("LREAL");
  r->SetEditorForTest(&editor);
  r->FLimits = true;
  r->FLoLimit = "-1.5";
  r->FHiLimit = "1.5";
  editor.SetText("1.5");
  EXPECT_TRUE(r->CheckLimits());
  editor.SetText("1.51");
  EXPECT_FALSE(r->CheckLimits());
  auto t = Element("TIME");
  t->SetEditorForTest(&editor);
  t->FLimits = true;
  t->FLoLimit = "0:0:1";
  t->FHiLimit = "0:1:0";
  editor.SetText("0:0:30");
  EXPECT_TRUE(t->CheckLimits());
  editor.SetText("0:2:0");
  EXPECT_FALSE(t->CheckLimits());
  auto s = Element("STRING[4]");
  s->SetEditorForTest(&editor);
  s->FLimits = true;
  EXPECT_TRUE(s->CheckLimits());
  auto u = Element("UDINT");
  u->SetEditorForTest(&editor);
  u->FLimits = true;
  u->FLoLimit = "1";
  u->FHiLimit = "4000000000";  // above 2^31: compared unsigned
  editor.SetText("3000000000");
  EXPECT_TRUE(u->CheckLimits());
  t->SetEditorForTest(nullptr);
  e->SetEditorForTest(nullptr);
  r->SetEditorForTest(nullptr);
  s->SetEditorForTest(nullptr);
  u->SetEditorForTest(nullptr);
}

TEST(FormatValue, Integers) {
  auto e = Element("INT");
  const std::int16_t minus5 = -5;
  std::memcpy(e->FValueBuf, &minus5, 2);
  e->FPrecision = 1;
  e->FSize = 6;
  e->FZero = true;
  EXPECT_EQ(e->FormatValue(), "-000.5");
  e->FZero = false;
  EXPECT_EQ(e->FormatValue(), "-0.5");
  auto b = Element("BYTE");
  b->FValueBuf[0] = 200;
  b->FIntFormat = 1;
  EXPECT_EQ(b->FormatValue(), "-56");
  b->FIntFormat = 3;
  EXPECT_EQ(b->FormatValue(), "C8");
  b->FSize = 4;
  b->FZero = true;
  EXPECT_EQ(b->FormatValue(), "00C8");
  b->FIntFormat = 2;
  b->FZero = false;
  EXPECT_EQ(b->FormatValue(), "200");
  auto d = Element("DINT");
  const std::int32_t big = -2147483647 - 1;
  std::memcpy(d->FValueBuf, &big, 4);
  d->FPrecision = 2;
  EXPECT_EQ(d->FormatValue(), "-21474836.48");
  auto u = Element("UDINT");
  std::memset(u->FValueBuf, 0xFF, 4);
  EXPECT_EQ(u->FormatValue(), "4294967295");
  EXPECT_FALSE(Element("LINT")->IsValueNonZero());
}

TEST(FormatValue, RealsTimesStringsAndBools) {
  auto r = Element("REAL");
  const float pi = 3.14159f;
  std::memcpy(r->FValueBuf, &pi, 4);
  r->FPrecision = 2;
  r->FSize = 8;
  r->FZero = true;
  EXPECT_EQ(r->FormatValue(), "00003.14");
  r->FZero = false;
  EXPECT_EQ(r->FormatValue(), "3.14");
  auto t = Element("TIME");
  const std::int32_t ms = 5415500;
  std::memcpy(t->FValueBuf, &ms, 4);
  EXPECT_EQ(t->FormatValue(), "1:30:15.500");
  auto tod = Element("TOD");
  const std::int32_t noon = 43200000;
  std::memcpy(tod->FValueBuf, &noon, 4);
  EXPECT_EQ(tod->FormatValue(), "12:00:00.000");
  auto s = Element("STRING[5]");
  std::memset(s->FValueBuf, 'a', sizeof s->FValueBuf);
  EXPECT_EQ(s->FormatValue(), "aaaaa");
  auto big = Element("STRING[999]");
  std::memset(big->FValueBuf, 'a', sizeof big->FValueBuf);
  EXPECT_EQ(big->FormatValue().size(), 240u);
  auto b = Element("BOOL");
  b->FValueBuf[0] = 7;
  EXPECT_EQ(b->FormatValue(), "1");
  b->FZero = true;
  b->FSize = 3;
  EXPECT_EQ(b->FormatValue(), "001");
  EXPECT_EQ(Element("ARRAY")->FormatValue(), "");
}

TEST(Values, NonZeroAndShownByVariable) {
  auto w = Element("WORD");
  EXPECT_FALSE(w->IsValueNonZero());
  w->FValueBuf[1] = 1;
  EXPECT_TRUE(w->IsValueNonZero());
  w->FValueBuf[1] = 0;
  w->FValueBuf[2] = 1;
  EXPECT_FALSE(w->IsValueNonZero());
  auto e = Element("BOOL");
  EXPECT_TRUE(e->IsShownByVariable());  // no visibility variable
  e->SetVisVariable("Lamp");
  e->FVisInfo.typeCode = 0;
  e->FVisNeg = true;
  EXPECT_TRUE(e->IsShownByVariable());
  e->FVisValue[0] = 1;
  EXPECT_FALSE(e->IsShownByVariable());
  e->FVisNeg = false;
  EXPECT_TRUE(e->IsShownByVariable());
  e->FVisInfo.typeCode = 23;
  e->FVisValue[0] = 0;
  EXPECT_TRUE(e->IsShownByVariable());
}

TEST(InPlaceEditors, ExitByResult) {
  TTextControl editor;
  auto e = Element("INT");
  e->SetEditorForTest(&editor);
  e->FLimits = true;
  e->FLoLimit = "10";
  e->FHiLimit = "20";
  editor.SetText("15");
  editor.Tag = 2;  // Enter
  e->EditorExit(nullptr);
  EXPECT_TRUE(e->FWritten);
  EXPECT_FALSE(e->FPending);
  EXPECT_EQ(editor.Tag, 0);
  EXPECT_FALSE(editor.Visible());
  e->FWritten = false;
  editor.SetText("25");  // outside the limits: parsed, but not to be written
  editor.Tag = 2;
  e->EditorExit(nullptr);
  EXPECT_FALSE(e->FWritten);
  EXPECT_EQ(e->FWriteBuf[0], 25);
  editor.SetText("12");
  editor.Tag = 1;  // focus lost while open
  e->EditorExit(nullptr);
  EXPECT_TRUE(e->FPending);
  EXPECT_EQ(e->FPendingText, "12");
  e->FPending = false;
  editor.Show();
  editor.Tag = 0;  // Escape: only hidden
  e->EditorExit(nullptr);
  EXPECT_FALSE(e->FPending);
  EXPECT_FALSE(e->FWritten);
  EXPECT_FALSE(editor.Visible());
  e->SetEditorForTest(nullptr);
}

TEST(InPlaceEditors, DropDownExitUsesTheOptionValue) {
  TComboBox combo(nullptr);
  auto e = Element("USINT");
  e->FOptions.Add("7", "Seven");
  e->FOptions.Add("9", "Nine");
  combo.Items()->Add("Seven");
  combo.Items()->Add("Nine");
  combo.SetItemIndex(1);
  e->FComboBox = &combo;
  combo.Tag = 2;
  e->ComboExit(nullptr);
  EXPECT_TRUE(e->FWritten);
  EXPECT_EQ(e->FWriteBuf[0], 9);
  combo.SetItemIndex(0);
  combo.Tag = 1;
  e->ComboExit(nullptr);
  EXPECT_TRUE(e->FPending);
  EXPECT_EQ(e->FPendingText, "7");
  e->FComboBox = nullptr;
}

// Widths and decimals far outside what a dialog allows are clamped to 255
// characters when a value is shown; parsing saturates instead of overflowing.
TEST(Values, ExtremeFieldsAreClampedWhenShown) {
  const struct {
    const char* type;
    int precision;
    int size;
    bool zero;
    std::string shown;
  } cases[] = {
      // -1 with 255 decimals at most (the whole part is 0 and keeps its sign).
      {"INT", INT32_MAX, INT32_MAX, true, "-0." + std::string(254, '0') + "1"},
      {"INT", INT32_MAX, 0, false, "-0." + std::string(254, '0') + "1"},
      // Zero fill to at most 255 characters, a negative width left-aligns.
      {"INT", 0, INT32_MAX, true, "-" + std::string(253, '0') + "1"},
      {"INT", 0, INT32_MIN, true, "-1" + std::string(253, ' ')},
      {"UDINT", 0, INT32_MAX, true, std::string(245, '0') + "4294967295"},
      {"DWORD", 0, INT32_MAX, true, std::string(247, '0') + "FFFFFFFF"},
      {"BOOL", 0, INT32_MAX, true, std::string(254, '0') + "1"},
      {"BOOL", 0, INT32_MIN, true, "1" + std::string(254, ' ')},
      // The declared length of a STRING ends it.
      {"STRING[5]", INT32_MAX, INT32_MAX, true, std::string(5, '\xFF')},
  };
  for (const auto& c : cases) {
    auto e = Element(c.type);
    e->FPrecision = c.precision;
    e->FSize = c.size;
    e->FZero = c.zero;
    std::memset(e->FValueBuf, 0xFF, sizeof e->FValueBuf);
    EXPECT_EQ(e->FormatValue(), c.shown) << c.type << " " << c.precision << " " << c.size;
  }
}

TEST(Values, RealsAreShownWithAtMost255DecimalsAndWidth) {
  auto r = Element("REAL");
  const float value = 1.5f;
  std::memcpy(r->FValueBuf, &value, 4);
  r->FPrecision = INT32_MAX;
  r->FSize = 0;
  EXPECT_EQ(r->FormatValue(), "1.5" + std::string(254, '0'));
  r->FPrecision = 1;
  r->FSize = INT32_MIN;  // a width of 255
  r->FAlignRight = true;
  EXPECT_EQ(r->FormatValue(), std::string(252, ' ') + "1.5");
}

TEST(Values, ExtremeTextsSaturateInsteadOfOverflowing) {
  const struct {
    const char* type;
    int precision;
    const char* text;
    bool accepted;
  } cases[] = {
      {"DINT", INT32_MAX, "-2147483648.99999", false},
      {"DINT", INT32_MAX, "99999999999999999999.9", false},
      {"DINT", 0, "99999999999999999999", false},
      {"UDINT", INT32_MIN, "99999999999999999999.9", false},
      {"DINT", 18, "0.000000000000000001", true},
      {"INT", 2, "327.67", true},
      {"INT", 2, "327.68", false},
      {"SINT", INT32_MAX, "-1", false},
      {"DWORD", INT32_MAX, "FFFFFFFFFFFFFFFFFFFFFFFF", false},
  };
  for (const auto& c : cases) {
    auto e = Element(c.type);
    e->FPrecision = c.precision;
    EXPECT_EQ(e->ParseValue(c.text), c.accepted) << c.type << " " << c.precision << " " << c.text;
  }
  auto r = Element("REAL");
  ASSERT_TRUE(r->ParseValue("99999999999999999999.9"));
  float f = 0;
  std::memcpy(&f, r->FWriteBuf, 4);
  EXPECT_EQ(f, 1e20f);
  auto d = Element("DINT");
  d->FPrecision = 2;
  ASSERT_TRUE(d->ParseValue("-21474836.48"));
  EXPECT_EQ(Int32(d->FWriteBuf), INT32_MIN);
}
