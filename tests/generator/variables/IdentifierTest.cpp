// The identifiers of PLC variables: the type families with their display
// formats, the area letters, the forms of the web variable map, literals,
// names with blanks and entities, types by size code for variables the IEC
// manager does not know, the record handed back, and FormatOfIdentifier.

#include <gtest/gtest.h>

#include "core/IecTypes.h"
#include "tests/generator/variables/VariablesTestSupport.h"

using namespace variablestest;

namespace {

struct IdentifierCase {
  const char* what;
  const char* typeName;
  int typeCode;
  std::uint8_t area;
  std::uint16_t sizeCode;
  std::int32_t offset;
  TIdentifierFormat format;
  const char* expected;
};

void PrintTo(const IdentifierCase& c, std::ostream* os) { *os << c.what; }

TIdentifierFormat Base(int base) {
  TIdentifierFormat f;
  f.base = base;
  return f;
}

TIdentifierFormat Field(int length, int precision, bool zero, bool left) {
  TIdentifierFormat f;
  f.length = length;
  f.precision = precision;
  f.zero = zero;
  f.left = left;
  return f;
}

TIdentifierFormat Time(const char* mask) {
  TIdentifierFormat f;
  f.timeFormat = mask;
  return f;
}

const IdentifierCase kIdentifierCases[] = {
    {"UINT word in S", "UINT", IecUint, kAreaS, kWord, 22, {}, "__S22_UINT_u"},
    {"BOOL bit 3 of byte 10 in R", "BOOL", IecBool, kAreaR, 3, 10, {}, "__R10.3_BOOL_i"},
    {"bit 0", "BOOL", IecBool, kAreaX, 0, 4, {}, "__X4.0_BOOL_i"},
    {"LREAL precision 2", "LREAL", IecLreal, kAreaR, kLreal, 8, Field(0, 2, false, false), "__R8_LREAL_.2lf"},
    {"REAL default", "REAL", IecReal, kAreaR, kReal, 4, {}, "__R4_REAL_.0f"},
    {"REAL zero length 8 precision 3", "REAL", IecReal, kAreaR, kReal, 4, Field(8, 3, true, false), "__R4_REAL_08.3f"},
    {"TIME with mask", "TIME", IecTime, kAreaS, kDword, 8, Time("hh:mm:ss"), "__S8_TIME_Thh:mm:ss"},
    {"TIME without mask", "TIME", IecTime, kAreaS, kDword, 8, {}, "__S8_TIME_s"},
    {"DATE", "DATE", IecDate, kAreaS, kDword, 8, Time("DD.MM.YYYY"), "__S8_DATE_TDD.MM.YYYY"},
    {"TOD", "TOD", IecTimeOfDay, kAreaS, kDword, 8, {}, "__S8_TOD_s"},
    {"DT", "DT", IecDateAndTime, kAreaS, kDword, 8, Time("YYYY"), "__S8_DT_TYYYY"},
    {"ENUM as USINT", "ENUM", IecEnum, kAreaR, kByte, 2, {}, "__R2_USINT_u"},
    {"ENUM hexadecimal", "ENUM", IecEnum, kAreaR, kByte, 2, Base(3), "__R2_USINT_X"},
    {"STRING as STRING[80]", "STRING", IecString, kAreaR, kByte, 100, {}, "__R100_STRING[80]_s"},
    {"STRUCT as UDINT", "STRUCT", IecStruct, kAreaR, kByte, 40, {}, "__R40_UDINT_u"},
    {"type text cut at its blank", "UINT (* counter *)", IecUint, kAreaS, kWord, 6, {}, "__S6_UINT_u"},
    // Base 0 to 3 per type family.
    {"WORD base 0", "WORD", IecWord, kAreaR, kWord, 0, Base(0), "__R0_WORD_X"},
    {"WORD base 1", "WORD", IecWord, kAreaR, kWord, 0, Base(1), "__R0_WORD_d"},
    {"WORD base 2", "WORD", IecWord, kAreaR, kWord, 0, Base(2), "__R0_WORD_u"},
    {"WORD base 3", "WORD", IecWord, kAreaR, kWord, 0, Base(3), "__R0_WORD_X"},
    {"BYTE base 0", "BYTE", IecByte, kAreaR, kByte, 0, Base(0), "__R0_BYTE_X"},
    {"DWORD base 1", "DWORD", IecDword, kAreaR, kDword, 0, Base(1), "__R0_DWORD_d"},
    {"INT base 0", "INT", IecInt, kAreaR, kWord, 0, Base(0), "__R0_INT_d"},
    {"INT base 1", "INT", IecInt, kAreaR, kWord, 0, Base(1), "__R0_INT_d"},
    {"INT base 2", "INT", IecInt, kAreaR, kWord, 0, Base(2), "__R0_INT_u"},
    {"INT base 3", "INT", IecInt, kAreaR, kWord, 0, Base(3), "__R0_INT_X"},
    {"SINT base 0", "SINT", IecSint, kAreaR, kByte, 0, Base(0), "__R0_SINT_d"},
    {"DINT base 2", "DINT", IecDint, kAreaR, kDword, 0, Base(2), "__R0_DINT_u"},
    {"UINT base 0", "UINT", IecUint, kAreaR, kWord, 0, Base(0), "__R0_UINT_u"},
    {"UINT base 1", "UINT", IecUint, kAreaR, kWord, 0, Base(1), "__R0_UINT_d"},
    {"UINT base 2", "UINT", IecUint, kAreaR, kWord, 0, Base(2), "__R0_UINT_u"},
    {"UINT base 3", "UINT", IecUint, kAreaR, kWord, 0, Base(3), "__R0_UINT_X"},
    {"USINT base 3", "USINT", IecUsint, kAreaR, kByte, 0, Base(3), "__R0_USINT_X"},
    {"UDINT base 1", "UDINT", IecUdint, kAreaR, kDword, 0, Base(1), "__R0_UDINT_d"},
    // Left, zero and length through the field format.
    {"zero fill length 5", "UINT", IecUint, kAreaR, kWord, 0, Field(5, 0, true, false), "__R0_UINT_05u"},
    {"left without length", "UINT", IecUint, kAreaR, kWord, 0, Field(0, 0, false, true), "__R0_UINT_-u"},
    {"length 6 precision 2", "INT", IecInt, kAreaR, kWord, 0, Field(6, 2, false, false), "__R0_INT_-6.2d"},
    {"hexadecimal zero length 4", "WORD", IecWord, kAreaR, kWord, 0, Field(4, 0, true, false), "__R0_WORD_04X"},
    // Types without identifier.
    {"LINT", "LINT", IecLint, kAreaR, kQuad, 0, {}, ""},
    {"ULINT", "ULINT", IecUlint, kAreaR, kQuad, 0, {}, ""},
    {"LWORD", "LWORD", IecLword, kAreaR, kQuad, 0, {}, ""},
    {"BOOL R_EDGE in a byte", "BOOL", IecBoolREdge, kAreaR, kByte, 0, {}, ""},
    {"WSTRING", "WSTRING", IecWstring, kAreaR, kByte, 0, {}, ""},
    {"ARRAY", "ARRAY", IecArray, kAreaR, kByte, 0, {}, ""},
    // Area letters.
    {"area 0", "UINT", IecUint, 0, kWord, 2, {}, "__X2_UINT_u"},
    {"area 1", "UINT", IecUint, 1, kWord, 2, {}, "__Y2_UINT_u"},
    {"area 2", "UINT", IecUint, 2, kWord, 2, {}, "__S2_UINT_u"},
    {"area 3", "UINT", IecUint, 3, kWord, 2, {}, "__R2_UINT_u"},
    {"area 4 has no identifier", "UINT", IecUint, 4, kWord, 2, {}, ""},
    {"a bit in area 4 has none either", "BOOL", IecBool, 4, 1, 2, {}, ""},
    {"area 5", "UINT", IecUint, 5, kWord, 2, {}, "__R2_UINT_u"},
    {"area 255", "UINT", IecUint, 255, kWord, 2, {}, "__R2_UINT_u"},
    {"area 0x20", "UINT", IecUint, 0x20, kWord, 2, {}, "__R2_UINT_u"},
};

class IdentifierFormTest : public testing::TestWithParam<IdentifierCase> {};

}  // namespace

TEST_P(IdentifierFormTest, TypeAreaAndFormatMakeTheIdentifier) {
  const IdentifierCase& c = GetParam();
  VariablesBench bench;
  bench.host.Declare("V", c.typeName, c.typeCode, c.area, c.sizeCode, c.offset);
  EXPECT_EQ(bench.Resolve("V", c.format), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentifierFormTest, testing::ValuesIn(kIdentifierCases),
                         [](const testing::TestParamInfo<IdentifierCase>& info) {
                           std::string name;
                           for (const char* p = info.param.what; *p != '\0'; ++p)
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           return name;
                         });

namespace {

struct TdiCase {
  const char* what;
  const char* typeName;
  int typeCode;
  std::uint16_t sizeCode;
  std::uint8_t code;
  const char* expected;
};

const TdiCase kTdiCases[] = {
    {"word with a code", "UINT", IecUint, kWord, 0x05, "__T00012AB3.05_UINT_u"},
    {"word without a code", "UINT", IecUint, kWord, 0, "__T00012AB3_UINT_u"},
    {"bit with a code", "BOOL", IecBool, 6, 0x1C, "__T00012AB3.1C_BOOL_i"},
    {"bit without a code", "BOOL", IecBool, 6, 0, "__T00012AB3_BOOL_i"},
    {"LREAL with a code", "LREAL", IecLreal, kLreal, 0xFF, "__T00012AB3.FF_LREAL_.0lf"},
    {"LINT has none", "LINT", IecLint, kQuad, 0x05, ""},
};

}  // namespace

TEST(IdentifierTdiTest, TheMapsNumberAndCodeReplaceAreaAndOffset) {
  for (const TdiCase& c : kTdiCases) {
    VariablesBench bench;
    FakeCompileHost::Variable& v = bench.host.Declare("V", c.typeName, c.typeCode, kAreaR, c.sizeCode, 10);
    v.tdi.tdi = 0x12AB3;
    v.tdi.code = c.code;
    // The position query would answer another place: the map is asked.
    v.position.offset = 999;
    bench.UseTdiMap();
    EXPECT_EQ(bench.Resolve("V"), c.expected) << c.what;
    EXPECT_EQ(bench.host.tdiAdded, std::vector<std::string>{"V"}) << c.what;
  }
}

TEST(IdentifierTdiTest, EveryResolveInThePassAddsTheVariableToTheMap) {
  VariablesBench bench;
  bench.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 22);
  bench.UseTdiMap();
  bench.variables.Begin("");
  bench.Resolve("V");
  bench.Resolve("V");
  EXPECT_EQ(bench.host.tdiAdded, (std::vector<std::string>{"V", "V"}));
}

TEST(IdentifierTdiTest, AVariableTheMapDoesNotKnowHasNoIdentifier) {
  VariablesBench bench;
  bench.UseTdiMap();
  EXPECT_EQ(bench.Resolve("Nowhere"), "");
}

TEST(IdentifierTest, AStringLiteralGivesItsTextAndAnEmptyRecord) {
  const struct {
    const char* name;
    const char* text;
  } kLiterals[] = {
      {"\"abc\"", "abc"},
      {"  \"a b c\"  ", "abc"},    // blanks go before the quotes are read
      {"&quot;xyz&quot;", "xyz"},  // entities are decoded first
      {"\"\"", ""},
      {"\"", ""},
  };
  for (const auto& literal : kLiterals) {
    VariablesBench bench;
    bench.state.publicVariables = std::make_unique<TStringList>();
    bench.variables.Begin("");
    TPinVariable info;
    info.name = "before";
    info.typeCode = 7;
    EXPECT_EQ(bench.variables.ResolveWebVariable(literal.name, {}, &info), literal.text) << literal.name;
    EXPECT_EQ(info.name, "") << literal.name;
    EXPECT_EQ(info.typeName, "") << literal.name;
    EXPECT_EQ(info.typeCode, -1) << literal.name;
    EXPECT_EQ(info.furtherText, "") << literal.name;
    EXPECT_FALSE(bench.variables.Moved()) << literal.name;
    EXPECT_EQ(bench.state.publicVariables->Count(), 0) << literal.name;
  }
}

TEST(IdentifierTest, BlanksAreRemovedAndEntitiesDecodedBeforeTheLookup) {
  const struct {
    const char* declared;
    const char* written;
  } kNames[] = {
      {"Motor.Speed", "  Motor . Speed "},
      {"Motor.Speed", "\tMotor.Speed\r\n"},
      {"A&B", "A&amp;B"},
      {"A<B>", "A&lt;B&gt;"},
  };
  for (const auto& name : kNames) {
    VariablesBench bench;
    bench.host.Declare(name.declared, "UINT", IecUint, kAreaS, kWord, 22);
    TPinVariable info;
    EXPECT_EQ(bench.variables.ResolveWebVariable(name.written, {}, &info), "__S22_UINT_u") << name.written;
    EXPECT_EQ(info.name, name.declared) << name.written;
  }
}

TEST(IdentifierTest, AVariableUnknownToTheIecManagerIsTypedBySize) {
  const struct {
    std::uint16_t sizeCode;
    const char* typeName;
    int typeCode;
    const char* expected;
  } kSizes[] = {
      {kByte, "USINT", IecUsint, "__S2_USINT_u"},
      {kWord, "UINT", IecUint, "__S2_UINT_u"},
      {kDword, "UDINT", IecUdint, "__S2_UDINT_u"},
      {kReal, "REAL", IecReal, "__S2_REAL_.0f"},
      {kQuad, "ULINT", IecUlint, ""},
      {kLreal, "LREAL", IecLreal, "__S2_LREAL_.0lf"},
  };
  for (const auto& size : kSizes) {
    VariablesBench bench;
    bench.host.Declare("V", "", -1, kAreaS, size.sizeCode, 2).knownToIecManager = false;
    TPinVariable info;
    EXPECT_EQ(bench.variables.ResolveWebVariable("V", {}, &info), size.expected) << size.sizeCode;
    EXPECT_EQ(info.typeName, size.typeName) << size.sizeCode;
    EXPECT_EQ(info.typeCode, size.typeCode) << size.sizeCode;
  }
}

TEST(IdentifierTest, AnUnknownBitGetsTypeCodeZero) {
  VariablesBench bench;
  bench.host.Declare("V", "", -1, kAreaR, 5, 12).knownToIecManager = false;
  TPinVariable info;
  bench.variables.ResolveWebVariable("V", {}, &info);
  EXPECT_EQ(info.typeCode, IecBool);
}

TEST(IdentifierTest, TheRecordCarriesTheRenamedTypeAndKeepsTheTypeCode) {
  const struct {
    const char* hostType;
    int typeCode;
    const char* typeName;
  } kTypes[] = {
      {"ENUM", IecEnum, "USINT"},           {"STRING", IecString, "STRING[80]"},     {"STRUCT", IecStruct, "UDINT"},
      {"UINT (* note *)", IecUint, "UINT"}, {"STRING(20)", IecString, "STRING(20)"},
  };
  for (const auto& type : kTypes) {
    VariablesBench bench;
    bench.host.Declare("V", type.hostType, type.typeCode, kAreaR, kByte, 0);
    TPinVariable info;
    bench.variables.ResolveWebVariable("V", {}, &info);
    EXPECT_EQ(info.name, "V") << type.hostType;
    EXPECT_EQ(info.typeName, type.typeName) << type.hostType;
    EXPECT_EQ(info.typeCode, type.typeCode) << type.hostType;
  }
}

TEST(IdentifierTest, UnknownVariablesAndAHostWithoutPositionsGiveNoIdentifier) {
  VariablesBench unknown;
  unknown.variables.Begin("");
  EXPECT_EQ(unknown.Resolve("Nowhere"), "");

  VariablesBench noInterface;
  noInterface.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 22);
  noInterface.host.hasVariablesInterface = false;
  noInterface.variables.Begin("");
  EXPECT_EQ(noInterface.Resolve("V"), "");
  EXPECT_FALSE(noInterface.variables.Moved());
}

TEST(IdentifierTest, ANameResolvedAgainFollowsTheHostsNewAnswer) {
  VariablesBench bench;
  FakeCompileHost::Variable& v = bench.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 22);
  bench.variables.Begin("");
  EXPECT_EQ(bench.Resolve("V"), "__S22_UINT_u");
  EXPECT_EQ(bench.Resolve("W"), "");
  bench.host.Declare("W", "INT", IecInt, kAreaS, kWord, 30);
  EXPECT_EQ(bench.Resolve("W"), "__S30_INT_d");
  v.typeName = "INT";
  v.typeCode = IecInt;
  v.position.offset = 24;
  bench.variables.Begin("");
  EXPECT_EQ(bench.Resolve("V"), "__S24_INT_d");
}

// Many names, each resolved again after all the others were and after the
// host's answers changed: within a compile every known name keeps its first
// answer, however often the names' table grew meanwhile.
TEST(IdentifierTest, ManyNamesEachKeepTheirOwnAnswer) {
  VariablesBench bench;
  constexpr int kNames = 300;
  std::vector<FakeCompileHost::Variable*> declared;
  for (int i = 0; i < kNames; ++i)
    declared.push_back(&bench.host.Declare("N" + std::to_string(i), "INT", IecInt, kAreaS, kWord, 2 * i));
  bench.variables.Begin("");
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < kNames; ++i)
      ASSERT_EQ(bench.Resolve("N" + std::to_string(i)), "__S" + std::to_string(2 * i) + "_INT_d") << round;
    for (FakeCompileHost::Variable* v : declared) v->position.offset += 1000;
  }
}

TEST(FormatOfIdentifierTest, PercentAndTheTextAfterTheLastUnderscore) {
  const struct {
    const char* identifier;
    const char* format;
  } kFormats[] = {
      {"__S22_UINT_u", "%u"},
      {"__R8_LREAL_.2lf", "%.2lf"},
      {"__T00012AB3_TIME_Thh:mm", "%Thh:mm"},
      {"__R10.3_BOOL_i", "%i"},
      {"plain", "%plain"},
      {"ends_", "%"},
      {"", "%"},
  };
  for (const auto& f : kFormats) EXPECT_EQ(FormatOfIdentifier(f.identifier), f.format) << f.identifier;
}
