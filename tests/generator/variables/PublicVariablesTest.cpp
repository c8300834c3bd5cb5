// The public-variable lines that resolving a variable adds: their form per
// area and size, bits, renamed types, once per name, and no line while a
// not-for-id group is compiled or without a list.

#include <gtest/gtest.h>

#include "core/IecTypes.h"
#include "tests/generator/variables/VariablesTestSupport.h"

using namespace variablestest;

namespace {

struct LineCase {
  const char* name;
  const char* typeName;
  int typeCode;
  std::uint8_t area;
  std::uint16_t sizeCode;
  std::int32_t offset;
  const char* line;
};

const LineCase kLineCases[] = {
    {"%SW22", "UINT", IecUint, kAreaS, kWord, 22, "%SW22 S W 22 UINT PUB_INOUT"},
    {"Lamp", "BOOL", IecBool, kAreaR, 3, 12, "LAMP R B 12 .3 BOOL PUB_INOUT"},
    {"in0", "BOOL", IecBool, kAreaX, 0, 0, "IN0 X B 0 .0 BOOL PUB_INOUT"},
    {"out", "BYTE", IecByte, kAreaY, kByte, 1, "OUT Y B 1 BYTE PUB_INOUT"},
    {"Count", "UDINT", IecUdint, kAreaR, kDword, 40, "COUNT R L 40 UDINT PUB_INOUT"},
    {"Temp", "REAL", IecReal, kAreaR, kReal, 44, "TEMP R F 44 REAL PUB_INOUT"},
    {"Big", "LINT", IecLint, kAreaR, kQuad, 48, "BIG R Q 48 LINT PUB_INOUT"},
    {"Exact", "LREAL", IecLreal, kAreaR, kLreal, 56, "EXACT R D 56 LREAL PUB_INOUT"},
    {"Timer", "TIME", IecTime, kAreaT, kDword, 4, "TIMER T L 4 TIME PUB_INOUT"},
    {"Mode", "ENUM", IecEnum, kAreaR, kByte, 2, "MODE R B 2 USINT PUB_INOUT"},
    {"Text", "STRING", IecString, kAreaR, kByte, 100, "TEXT R B 100 STRING[80] PUB_INOUT"},
    {"Rec", "STRUCT", IecStruct, kAreaR, kByte, 64, "REC R L 64 UDINT PUB_INOUT"},
    {"Far", "UINT", IecUint, 5, kWord, 2, "FAR R W 2 UINT PUB_INOUT"},
    {"Odd", "UINT", IecUint, kAreaS, 14, 2, "ODD S B 2 UINT PUB_INOUT"},
};

}  // namespace

TEST(PublicVariablesTest, OneLinePerVariableInTheListsForm) {
  for (const LineCase& c : kLineCases) {
    VariablesBench bench;
    bench.state.publicVariables = std::make_unique<TStringList>();
    bench.host.Declare(c.name, c.typeName, c.typeCode, c.area, c.sizeCode, c.offset);
    bench.Resolve(c.name);
    ASSERT_EQ(bench.state.publicVariables->Count(), 1) << c.name;
    EXPECT_EQ(bench.state.publicVariables->Strings(0), c.line) << c.name;
  }
}

TEST(PublicVariablesTest, ALongNameIsWrittenWhole) {
  VariablesBench bench;
  bench.state.publicVariables = std::make_unique<TStringList>();
  const std::string name(1000, 'n');
  bench.host.Declare(name, "UINT", IecUint, kAreaS, kWord, 2);
  bench.Resolve(name);
  ASSERT_EQ(bench.state.publicVariables->Count(), 1);
  EXPECT_EQ(bench.state.publicVariables->Strings(0), std::string(1000, 'N') + " S W 2 UINT PUB_INOUT");
}

TEST(PublicVariablesTest, AVariableWithoutTypeTextLeavesTwoBlanks) {
  VariablesBench bench;
  bench.state.publicVariables = std::make_unique<TStringList>();
  bench.host.Declare("V", "", IecUint, kAreaS, kWord, 2);
  bench.Resolve("V");
  ASSERT_EQ(bench.state.publicVariables->Count(), 1);
  EXPECT_EQ(bench.state.publicVariables->Strings(0), "V S W 2  PUB_INOUT");
}

TEST(PublicVariablesTest, TheSortedListHoldsEachNameOnceWhateverItsCase) {
  VariablesBench bench;
  bench.state.publicVariables = std::make_unique<TStringList>();
  bench.state.publicVariables->SetSorted(true);
  bench.host.Declare("b", "UINT", IecUint, kAreaS, kWord, 2);
  bench.host.Declare("B", "UINT", IecUint, kAreaS, kWord, 2);
  bench.host.Declare("a", "UINT", IecUint, kAreaS, kWord, 4);
  for (const char* name : {"b", "a", "B", "b"}) bench.Resolve(name);
  EXPECT_EQ(bench.state.publicVariables->Text(), "A S W 4 UINT PUB_INOUT\r\nB S W 2 UINT PUB_INOUT\r\n");
}

TEST(PublicVariablesTest, NoLineWhileNotForIdOrWithoutAList) {
  VariablesBench notForId;
  notForId.state.publicVariables = std::make_unique<TStringList>();
  notForId.state.notForId = true;
  notForId.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 2);
  EXPECT_EQ(notForId.Resolve("V"), "__S2_UINT_u");
  EXPECT_EQ(notForId.state.publicVariables->Count(), 0);

  VariablesBench noList;
  noList.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 2);
  EXPECT_EQ(noList.Resolve("V"), "__S2_UINT_u");
  EXPECT_EQ(noList.state.publicVariables, nullptr);
}

TEST(PublicVariablesTest, UnknownVariablesAndLiteralsAddNoLine) {
  VariablesBench bench;
  bench.state.publicVariables = std::make_unique<TStringList>();
  bench.Resolve("Unknown");
  bench.Resolve("\"text\"");
  EXPECT_EQ(bench.state.publicVariables->Count(), 0);
}

TEST(PublicVariablesTest, WithTheMapTheLineUsesTheMapsPlace) {
  VariablesBench bench;
  bench.state.publicVariables = std::make_unique<TStringList>();
  FakeCompileHost::Variable& v = bench.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 2);
  v.tdi.offset = 30;
  v.tdi.areaCode = kAreaR;
  v.tdi.tdi = 7;
  bench.UseTdiMap();
  bench.Resolve("V");
  ASSERT_EQ(bench.state.publicVariables->Count(), 1);
  EXPECT_EQ(bench.state.publicVariables->Strings(0), "V R W 30 UINT PUB_INOUT");
}

TEST(PublicVariablesTest, ANewListGetsTheLinesOfTheVariablesAgain) {
  VariablesBench bench;
  bench.host.Declare("V", "UINT", IecUint, kAreaS, kWord, 2);
  for (int run = 0; run < 2; ++run) {
    bench.state.publicVariables = std::make_unique<TStringList>();
    bench.state.publicVariables->SetSorted(true);
    bench.Resolve("V");
    bench.Resolve("v");
    EXPECT_EQ(bench.state.publicVariables->Text(), "V S W 2 UINT PUB_INOUT\r\n") << run;
  }
}
