// Texts of PLC values: printing by type and format, reading back, comparing,
// and round trips over each integer type's range.

#include "properties/ValueTexts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "core/IecTypes.h"
#include "core/XmlNode.h"

namespace {

using TAttrs = std::vector<std::pair<const char*, const char*>>;

// A format element with the given attributes.
std::unique_ptr<TmyXmlNode> MakeFormat(const TAttrs& attrs) {
  auto node = std::unique_ptr<TmyXmlNode>(new TmyXmlNode("format"));
  for (const auto& [name, value] : attrs) node->SetAttr(name, value);
  return node;
}

TPinVariable Var(int code) {
  TPinVariable info;
  info.typeCode = code;
  return info;
}

std::uint32_t FloatBits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TPlcValue DoubleValue(double value) {
  TPlcValue result;
  std::memcpy(result.bytes.data(), &value, sizeof value);
  return result;
}

struct FormatCase {
  int code;
  std::uint32_t low;
  std::uint32_t high;
  TAttrs attrs;
  const char* expected;
};

TEST(ValueTexts, FormatsEachTypeByItsFormat) {
  const TPlcValue date = DoubleValue(1714521600.0);
  const TPlcValue dateTime = DoubleValue(1714566615.25);
  const std::vector<FormatCase> cases = {
      {IecDint, static_cast<std::uint32_t>(-5), 0, {{"Prec", "1"}}, "-0.5"},
      {IecDint, static_cast<std::uint32_t>(-50), 0, {{"Prec", "2"}}, "-0.50"},
      {IecDint, static_cast<std::uint32_t>(-5), 0, {{"Prec", "1"}, {"Length", "4"}, {"Align", "zero"}}, "-0.5"},
      {IecDint, static_cast<std::uint32_t>(-5), 0, {{"Prec", "1"}, {"Length", "5"}, {"Align", "right"}}, " -0.5"},
      {IecDint, static_cast<std::uint32_t>(-1234), 0, {{"Prec", "2"}}, "-12.34"},
      {IecDint, 1234, 0, {{"Prec", "2"}, {"Length", "8"}, {"Align", "zero"}}, "00012.34"},
      {IecDint, 0x80000000u, 0, {}, "-2147483648"},
      {IecDint, 0x80000000u, 0, {{"Prec", "2"}}, "-21474836.48"},
      {IecDint, 0xFFFFFFFFu, 0, {{"Int", "3"}}, "FFFFFFFF"},
      {IecUint, 70000, 0, {}, "4464"},
      {IecWord, 255, 0, {}, "FF"},
      {IecWord, 255, 0, {{"Length", "4"}, {"Align", "zero"}}, "00FF"},
      {IecWord, 255, 0, {{"Length", "4"}, {"Align", "right"}}, "  FF"},
      {IecWord, 255, 0, {{"Length", "4"}}, "FF"},
      {IecWord, 0xFFFF, 0, {{"Int", "1"}}, "-1"},
      {IecWord, 0xFFFF, 0, {{"Prec", "2"}}, "FFFF"},
      {IecDword, 0xDEADBEEF, 0, {}, "DEADBEEF"},
      {IecSint, 0xFF, 0, {}, "-1"},
      {IecInt, 0x8000, 0, {}, "-32768"},
      {IecInt, 0xFFFF, 0, {{"Int", "2"}}, "65535"},
      {IecByte, 0x1FF, 0, {{"Int", "2"}}, "255"},
      {IecByte, 0xFF, 0, {{"Int", "1"}}, "-1"},
      {IecUsint, 200, 0, {{"Prec", "1"}}, "20.0"},
      {IecUdint, 0xFFFFFFFFu, 0, {}, "4294967295"},
      {IecEnum, 3, 0, {}, "3"},
      {IecBool, 0x100, 0, {}, "0"},
      {IecBoolREdge, 5, 0, {}, "1"},
      {IecBool, 1, 0, {{"Length", "3"}, {"Align", "right"}}, "  1"},
      {IecBoolFEdge, 1, 0, {{"Length", "3"}, {"Align", "zero"}}, "001"},
      {IecReal, FloatBits(3.14159f), 0, {{"Length", "8"}, {"Prec", "2"}, {"Align", "right"}}, "    3.14"},
      {IecReal, FloatBits(3.14159f), 0, {{"Length", "8"}, {"Prec", "2"}}, "3.14    "},
      {IecReal, FloatBits(3.14159f), 0, {{"Length", "8"}, {"Prec", "2"}, {"Align", "zero"}}, "3.14    "},
      {IecReal, FloatBits(-2.5f), 0, {{"Prec", "-3"}}, "-2"},
      {IecLreal, DoubleValue(2.5).Low(), DoubleValue(2.5).High(), {{"Prec", "3"}}, "2.500"},
      {IecTime, 3723004, 0, {{"Time", ""}}, "01:02:03.004"},
      {IecTimeOfDay, 3723004, 0, {}, "01:02:03.004"},
      {IecTime, 3723004, 0, {{"Time", "h:mm"}}, "1:02"},
      {IecDate, date.Low(), date.High(), {}, "2024-05-01"},
      {IecDateAndTime, dateTime.Low(), dateTime.High(), {}, "2024-05-01-12:30:15.250"},
      {IecString, 65, 0, {}, ""},
      {IecLint, 5, 0, {{"Int", "1"}}, ""},
      {IecLword, 5, 0, {}, ""},
      {IecUlint, 5, 0, {}, ""},
      {IecStruct, 5, 0, {}, ""},
  };
  for (const auto& c : cases) {
    const auto format = MakeFormat(c.attrs);
    EXPECT_EQ(FormatPlcValueText(format.get(), Var(c.code), c.low, c.high), c.expected)
        << "type " << c.code << " value " << c.low;
  }
}

TEST(ValueTexts, NoFormatElementMeansEveryAttributeAbsent) {
  EXPECT_EQ(FormatPlcValueText(nullptr, Var(IecWord), 255, 0), "FF");
  EXPECT_EQ(FormatPlcValueText(nullptr, Var(IecTime), 1500, 0), "00:00:01.500");
  EXPECT_EQ(FormatIntegerValueText(-7, nullptr, Var(IecDint)), "-7");
  EXPECT_EQ(IntegerValueFromText("ff", nullptr, Var(IecByte)), 255);
}

TEST(ValueTexts, IntegerTextOfATypeWithoutNotationIsEmpty) {
  EXPECT_EQ(FormatIntegerValueText(12, nullptr, Var(IecReal)), "");
  EXPECT_EQ(FormatIntegerValueText(12, MakeFormat({{"Int", "1"}}).get(), Var(IecReal)), "12");
  EXPECT_EQ(IntegerValueFromText("12", nullptr, Var(IecLint)), 0);
}

TEST(ValueTexts, FixedPointTextsReadInUnitsOfTheDecimals) {
  const auto format = MakeFormat({{"Prec", "2"}});
  const std::vector<std::pair<const char*, std::int32_t>> cases = {
      {"12.5", 1250}, {"12.345", 1234}, {"-0.5", -50}, {"7", 700}, {"  -3.07", -307}, {"7.", 700}, {"abc", 0},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(IntegerValueFromText(text, format.get(), Var(IecDint)), expected) << text;
  }
  EXPECT_EQ(IntegerValueFromText("12.5", format.get(), Var(IecUdint)), 1250);
}

struct ParseCase {
  int code;
  const char* text;
  TAttrs attrs;
  std::uint32_t low;
  std::uint32_t high;
};

TEST(ValueTexts, ParsesEachTypeIntoItsBytes) {
  const TPlcValue dateTime = DoubleValue(1714566615.25);
  const std::vector<ParseCase> cases = {
      {IecBool, "yes", {}, 0, 0},
      {IecBool, "2", {}, 0, 0},
      {IecBool, " TRUE ", {}, 1, 0},
      {IecBoolREdge, "1", {}, 1, 0},
      {IecDint, "12.5", {{"Prec", "2"}}, 1250, 0},
      {IecDint, "-0.5", {{"Prec", "2"}}, static_cast<std::uint32_t>(-50), 0},
      {IecWord, "1FFFF", {}, 0xFFFF, 0},
      {IecWord, " 00ff ", {}, 0xFF, 0},
      {IecSint, "-1", {}, 0xFF, 0},
      {IecInt, "-2", {}, 0xFFFE, 0},
      {IecUdint, "4294967295", {}, 0xFFFFFFFFu, 0},
      {IecEnum, "300", {}, 300 & 0xFF, 0},
      {IecReal, "3.5", {}, FloatBits(3.5f), 0},
      {IecReal, "x", {}, 0, 0},
      {IecLreal, "2.5", {}, DoubleValue(2.5).Low(), DoubleValue(2.5).High()},
      {IecTime, "01:02:03.004", {}, 3723004, 0},
      {IecTimeOfDay, " 00:00:01.5 ", {{"Time", "hh:mm:ss.zzz"}}, 1500, 0},
      {IecDateAndTime, "2024-05-01-12:30:15.250", {}, dateTime.Low(), dateTime.High()},
      {IecString, "65", {}, 65, 0},
      {IecString, "none", {}, 0, 0},
      {IecLint, "5", {}, 0, 0},
      {IecArray, "5", {}, 0, 0},
  };
  for (const auto& c : cases) {
    const auto format = MakeFormat(c.attrs);
    const TPlcValue value = PlcValueFromText(Var(c.code), c.text, format.get());
    EXPECT_EQ(value.Low(), c.low) << "type " << c.code << " text '" << c.text << "'";
    EXPECT_EQ(value.High(), c.high) << "type " << c.code << " text '" << c.text << "'";
  }
}

struct CompareCase {
  int code;
  const char* a;
  const char* b;
  TAttrs attrs;
  double expected;
};

TEST(ValueTexts, ComparesByTheVariablesType) {
  const std::vector<CompareCase> cases = {
      {IecBool, "true", "0", {}, 1.0},
      {IecBool, "yes", "1", {}, -1.0},
      {IecDint, "5", "7", {}, -2.0},
      {IecDint, "1.5", "1.25", {{"Prec", "2"}}, 25.0},
      {IecWord, "10", "1", {}, 15.0},
      // 32 unsigned bits: values at and above 2^31 are not negative.
      {IecUdint, "3000000000", "0", {}, 3000000000.0},
      {IecDword, "0", "FFFFFFFF", {}, -4294967295.0},
      {IecUdint, "300000000.5", "0", {{"Prec", "1"}}, 3000000005.0},
      {IecUdint, "3000000000", "0", {{"Int", "1"}}, -1294967296.0},
      {IecReal, "2.5", "1", {}, 1.5},
      {IecLreal, "x", "1", {}, -1.0},
      {IecTime, "00:00:01.000", "00:00:00.500", {}, 500.0},
      {IecDate, "2024-05-02", "2024-05-01", {}, 86400.0},
      {IecString, "b", "a", {}, 0.0},
      {IecLint, "1", "100", {}, 1.0},
      {IecStruct, "1", "1", {}, 1.0},
      {30, "1", "1", {}, 1.0},
  };
  for (const auto& c : cases) {
    const auto format = MakeFormat(c.attrs);
    EXPECT_DOUBLE_EQ(ComparePlcValueTexts(c.a, c.b, format.get(), Var(c.code)), c.expected)
        << "type " << c.code << " '" << c.a << "' - '" << c.b << "'";
  }
}

// Values of a type's width: every value of 8 and 16 bits, samples of 32.
std::vector<std::uint32_t> SampleValues(int code) {
  std::vector<std::uint32_t> values;
  const bool byte = code == IecByte || code == IecSint || code == IecUsint || code == IecEnum;
  const bool word = code == IecWord || code == IecInt || code == IecUint;
  if (byte || word) {
    for (std::uint32_t v = 0; v <= (byte ? 0xFFu : 0xFFFFu); ++v) values.push_back(v);
    return values;
  }
  for (std::uint64_t v = 0; v <= 0xFFFFFFFFull; v += 0xFFFFFFFFull / 4099)
    values.push_back(static_cast<std::uint32_t>(v));
  for (std::uint32_t v : {0u, 1u, 9u, 10u, 99u, 100u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFFFFFEu})
    values.push_back(v);
  return values;
}

TEST(ValueTexts, IntegerTextsReadBackToTheirValue) {
  const std::vector<TAttrs> formats = {
      {},
      {{"Int", "1"}},
      {{"Int", "2"}},
      {{"Int", "3"}},
      {{"Prec", "1"}},
      {{"Prec", "2"}, {"Length", "9"}, {"Align", "zero"}},
      {{"Prec", "3"}, {"Length", "12"}, {"Align", "right"}},
      {{"Length", "6"}, {"Align", "zero"}},
      {{"Int", "3"}, {"Length", "10"}, {"Align", "right"}},
  };
  for (int code : {IecByte, IecWord, IecDword, IecSint, IecInt, IecDint, IecUsint, IecUint, IecUdint, IecEnum}) {
    const std::uint32_t mask = SampleValues(code).back() > 0xFFFFu ? 0xFFFFFFFFu : SampleValues(code).back();
    for (const auto& attrs : formats) {
      const auto format = MakeFormat(attrs);
      for (std::uint32_t v : SampleValues(code)) {
        const std::string text = FormatPlcValueText(format.get(), Var(code), v, 0);
        const TPlcValue back = PlcValueFromText(Var(code), text, format.get());
        ASSERT_EQ(back.Low(), v & mask) << "type " << code << " value " << v << " text '" << text << "'";
      }
    }
  }
}

TEST(ValueTexts, TimeAndDateTextsReadBackToTheirValue) {
  for (std::int32_t ms : {0, 1, 999, 59999, 3723004, 86399999, 360000000}) {
    const std::string text = FormatPlcValueText(nullptr, Var(IecTime), static_cast<std::uint32_t>(ms), 0);
    EXPECT_EQ(static_cast<std::int32_t>(PlcValueFromText(Var(IecTime), text, nullptr).Low()), ms) << text;
  }
  for (double seconds : {946684800.0, 1714566615.25, 4102444799.999}) {
    const TPlcValue value = DoubleValue(seconds);
    const std::string text = FormatPlcValueText(nullptr, Var(IecDateAndTime), value.Low(), value.High());
    const TPlcValue back = PlcValueFromText(Var(IecDateAndTime), text, nullptr);
    double read = 0;
    std::memcpy(&read, back.bytes.data(), sizeof read);
    EXPECT_NEAR(read, seconds, 0.0005) << text;
  }
}

TEST(ValueTexts, DamagedAttributesGiveBoundedTexts) {
  const auto format = MakeFormat({{"Prec", "99999"}, {"Length", "2000000000"}, {"Align", "right"}});
  EXPECT_LE(FormatPlcValueText(format.get(), Var(IecDint), 5, 0).size(), 300u);
  EXPECT_LE(FormatPlcValueText(format.get(), Var(IecReal), FloatBits(1.0f), 0).size(), 600u);
  EXPECT_EQ(IntegerValueFromText("1.5", format.get(), Var(IecDint)),
            static_cast<std::int32_t>(1'500'000'000'000'000'000ull));
}

}  // namespace
