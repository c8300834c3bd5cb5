// The variables document: one `Item` per variable in the order of first
// resolution, the file written byte for byte, and the moved flag against the
// previous compile's document (with and without the web variable map).

#include <gtest/gtest.h>

#include "base/ScopeExit.h"
#include "core/IecTypes.h"
#include "core/TraceLog.h"
#include "tests/generator/variables/VariablesTestSupport.h"
#include "tests/support/TempFolder.h"

using namespace variablestest;
using testsupport::TempFolder;

namespace {

// The writer's layout: CR LF line ends, a tab per depth, closed elements.
std::string Document(const std::string& items) { return "<Variables>\r\n" + items + "</Variables>\r\n"; }

class VariablesDocumentTest : public testing::Test {
 protected:
  std::string Save() {
    const std::string path = folder_.System("Plant1_var.xml");
    EXPECT_TRUE(bench_.variables.Save(path));
    return folder_.Read("Plant1_var.xml");
  }
  TempFolder folder_{"vardoc"};
  VariablesBench bench_;
};

}  // namespace

TEST_F(VariablesDocumentTest, TheDocumentIsWrittenByteForByte) {
  bench_.host.Declare("Speed", "UINT", IecUint, kAreaS, kWord, 22);
  bench_.host.Declare("Lamp", "BOOL", IecBool, kAreaR, 3, 10);
  bench_.host.Declare("Mode", "ENUM", IecEnum, kAreaY, kByte, 0x123456);
  bench_.host.Declare("Rec", "STRUCT", IecStruct, kAreaR, kByte, 64);
  bench_.host.Declare("Big", "LINT", IecLint, kAreaX, kQuad, 8);
  bench_.variables.Begin("");
  for (const char* name : {"Speed", "Lamp", "Mode", "Speed", "Rec", "Big", "Unknown"}) bench_.Resolve(name);
  EXPECT_EQ(Save(), Document("\t<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" />\r\n"
                             "\t<Item Name=\"Lamp\" Pos=\"0300000A\" Type=\"3\" />\r\n"
                             "\t<Item Name=\"Mode\" Pos=\"01123456\" Type=\"8\" />\r\n"
                             "\t<Item Name=\"Rec\" Pos=\"03000040\" Type=\"244\" />\r\n"
                             "\t<Item Name=\"Big\" Pos=\"00000008\" Type=\"15\" />\r\n"));
}

TEST_F(VariablesDocumentTest, WithTheMapItemsCarryTdiAndACodeOnlyWhenNotZero) {
  FakeCompileHost::Variable& coded = bench_.host.Declare("Coded", "UINT", IecUint, kAreaS, kWord, 22);
  coded.tdi.tdi = 0xABC;
  coded.tdi.code = 0x3;
  FakeCompileHost::Variable& plain = bench_.host.Declare("Plain", "BOOL", IecBool, kAreaR, 7, 1);
  plain.tdi.tdi = 0x1;
  bench_.UseTdiMap();
  bench_.variables.Begin("");
  bench_.Resolve("Coded");
  bench_.Resolve("Plain");
  EXPECT_EQ(Save(), Document("\t<Item Name=\"Coded\" Pos=\"02000016\" Tdi=\"00000ABC\" Ccd=\"03\" Type=\"10\" />\r\n"
                             "\t<Item Name=\"Plain\" Pos=\"03000001\" Tdi=\"00000001\" Type=\"7\" />\r\n"));
}

TEST_F(VariablesDocumentTest, TheSameVariableOnTenPagesIsOneItem) {
  bench_.host.Declare("Speed", "UINT", IecUint, kAreaS, kWord, 22);
  bench_.host.Declare("SPEED", "UINT", IecUint, kAreaS, kWord, 22);
  bench_.variables.Begin("");
  // Names are entered once whatever their letter case.
  const char* const kWritten[] = {"Speed", " Spe ed ", "SPEED"};
  for (int page = 0; page < 10; ++page) EXPECT_EQ(bench_.Resolve(kWritten[page % 3]), "__S22_UINT_u");
  EXPECT_EQ(Save(), Document("\t<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" />\r\n"));
}

TEST_F(VariablesDocumentTest, LiteralsUnknownVariablesAndTimersOfAreaTAreHandledApart) {
  bench_.host.Declare("Timer", "TIME", IecTime, kAreaT, kDword, 4);
  bench_.variables.Begin("");
  EXPECT_EQ(bench_.Resolve("\"Speed\""), "Speed");
  EXPECT_EQ(bench_.Resolve("Unknown"), "");
  // A timer has no identifier but its place is recorded.
  EXPECT_EQ(bench_.Resolve("Timer"), "");
  EXPECT_EQ(Save(), Document("\t<Item Name=\"Timer\" Pos=\"04000004\" Type=\"51\" />\r\n"));
}

TEST_F(VariablesDocumentTest, BeginStartsANewDocument) {
  bench_.host.Declare("Speed", "UINT", IecUint, kAreaS, kWord, 22);
  bench_.variables.Begin("");
  bench_.Resolve("Speed");
  bench_.variables.Begin("");
  bench_.host.Declare("Other", "UINT", IecUint, kAreaS, kWord, 24);
  bench_.Resolve("Other");
  bench_.Resolve("Speed");
  EXPECT_EQ(Save(), Document("\t<Item Name=\"Other\" Pos=\"02000018\" Type=\"10\" />\r\n"
                             "\t<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" />\r\n"));
}

TEST_F(VariablesDocumentTest, WithoutBeginNothingIsRecordedOrSaved) {
  bench_.host.Declare("Speed", "UINT", IecUint, kAreaS, kWord, 22);
  EXPECT_EQ(bench_.Resolve("Speed"), "__S22_UINT_u");
  EXPECT_FALSE(bench_.variables.Moved());
  EXPECT_FALSE(bench_.variables.Save(folder_.System("none.xml")));
  EXPECT_FALSE(folder_.Exists("none.xml"));
}

TEST_F(VariablesDocumentTest, ADocumentThatCannotBeWrittenIsReported) {
  bench_.variables.Begin("");
  EXPECT_FALSE(bench_.variables.Save(folder_.System("missing\\Plant1_var.xml")));
}

namespace {

// One row: the previous document (null: none), the variable now, whether it moved.
struct MovedCase {
  const char* what;
  const char* previous;
  std::uint8_t area;
  std::uint16_t sizeCode;
  std::int32_t offset;
  bool moved;
};

const MovedCase kMovedCases[] = {
    {"unchanged", "<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" />", kAreaS, kWord, 22, false},
    {"name in other letter case", "<Item Name=\"SPEED\" Pos=\"02000016\" Type=\"10\" />", kAreaS, kWord, 22, false},
    {"offset changed", "<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" />", kAreaS, kWord, 24, true},
    {"area changed", "<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" />", kAreaR, kWord, 22, true},
    {"type changed", "<Item Name=\"Speed\" Pos=\"02000016\" Type=\"12\" />", kAreaS, kWord, 22, true},
    {"not in the previous document", "<Item Name=\"Other\" Pos=\"02000016\" Type=\"10\" />", kAreaS, kWord, 24, false},
    {"no previous document", nullptr, kAreaS, kWord, 22, true},
    {"previous document malformed", "<Item Name=\"Speed\" Pos=\"02000016\" Type=\"10\" ", kAreaS, kWord, 22, true},
};

}  // namespace

TEST_F(VariablesDocumentTest, MovedAgainstThePreviousPositionAndType) {
  for (const MovedCase& c : kMovedCases) {
    VariablesBench bench;
    bench.host.Declare("Speed", "UINT", IecUint, c.area, c.sizeCode, c.offset);
    std::string path = folder_.System("none_var.xml");
    if (c.previous != nullptr) {
      folder_.Write("previous_var.xml", Document(std::string("\t") + c.previous + "\r\n"));
      path = folder_.System("previous_var.xml");
    }
    bench.variables.Begin(path);
    bench.Resolve("Speed");
    EXPECT_EQ(bench.variables.Moved(), c.moved) << c.what;
  }
}

TEST_F(VariablesDocumentTest, TheMovedFlagIsClearedByEachResolve) {
  folder_.Write("previous_var.xml", Document("\t<Item Name=\"A\" Pos=\"02000016\" Type=\"10\" />\r\n"
                                             "\t<Item Name=\"B\" Pos=\"02000018\" Type=\"10\" />\r\n"));
  bench_.host.Declare("A", "UINT", IecUint, kAreaS, kWord, 20);
  bench_.host.Declare("B", "UINT", IecUint, kAreaS, kWord, 24);
  bench_.variables.Begin(folder_.System("previous_var.xml"));
  bench_.Resolve("A");
  EXPECT_TRUE(bench_.variables.Moved());
  bench_.Resolve("B");
  EXPECT_FALSE(bench_.variables.Moved());
  bench_.Resolve("\"text\"");
  EXPECT_FALSE(bench_.variables.Moved());
}

TEST_F(VariablesDocumentTest, ADocumentWrittenThenReadBackMovesNothing) {
  bench_.host.Declare("Speed", "UINT", IecUint, kAreaS, kWord, 22);
  bench_.host.Declare("Lamp", "BOOL", IecBool, kAreaR, 3, 10);
  bench_.variables.Begin("");
  bench_.Resolve("Speed");
  bench_.Resolve("Lamp");
  Save();
  bench_.variables.Begin(folder_.System("Plant1_var.xml"));
  bench_.Resolve("Lamp");
  EXPECT_FALSE(bench_.variables.Moved());
  bench_.Resolve("Speed");
  EXPECT_FALSE(bench_.variables.Moved());
  Save();
  bench_.host.variables["Lamp"].position.sizeCode = 4;  // another bit of the same byte
  bench_.variables.Begin(folder_.System("Plant1_var.xml"));
  bench_.Resolve("Lamp");
  EXPECT_TRUE(bench_.variables.Moved());
}

namespace {

struct TdiMovedCase {
  const char* what;
  const char* previous;
  bool moved;
};

// Now: TDI 0x10, code 2, UINT (type byte 10), at S 22.
const TdiMovedCase kTdiMovedCases[] = {
    {"unchanged", "Pos=\"02000016\" Tdi=\"00000010\" Ccd=\"02\" Type=\"10\"", false},
    {"position changed alone", "Pos=\"02000099\" Tdi=\"00000010\" Ccd=\"02\" Type=\"10\"", false},
    {"TDI changed", "Pos=\"02000016\" Tdi=\"00000011\" Ccd=\"02\" Type=\"10\"", true},
    {"code changed", "Pos=\"02000016\" Tdi=\"00000010\" Ccd=\"03\" Type=\"10\"", true},
    {"code absent before", "Pos=\"02000016\" Tdi=\"00000010\" Type=\"10\"", true},
    {"type changed", "Pos=\"02000016\" Tdi=\"00000010\" Ccd=\"02\" Type=\"12\"", true},
};

}  // namespace

TEST_F(VariablesDocumentTest, WithTheMapMovedAgainstTdiCodeAndType) {
  for (const TdiMovedCase& c : kTdiMovedCases) {
    VariablesBench bench;
    FakeCompileHost::Variable& v = bench.host.Declare("Speed", "UINT", IecUint, kAreaS, kWord, 22);
    v.tdi.tdi = 0x10;
    v.tdi.code = 2;
    bench.UseTdiMap();
    folder_.Write("previous_var.xml", Document(std::string("\t<Item Name=\"Speed\" ") + c.previous + " />\r\n"));
    bench.variables.Begin(folder_.System("previous_var.xml"));
    bench.Resolve("Speed");
    EXPECT_EQ(bench.variables.Moved(), c.moved) << c.what;
  }
}

TEST_F(VariablesDocumentTest, AVariableMovedInTheMapIsTraced) {
  SetTraceLogPath(folder_.Native("plugins.log"));
  SetTraceLogEnabled(true);
  ScopeExit logOff([] { SetTraceLogEnabled(false); });
  FakeCompileHost::Variable& v = bench_.host.Declare("Speed", "INT", IecInt, kAreaS, kWord, 22);
  v.tdi.tdi = 0x10;
  v.tdi.code = 2;
  bench_.UseTdiMap();
  folder_.Write("previous_var.xml",
                Document("\t<Item Name=\"Speed\" Pos=\"02000016\" Tdi=\"0000000F\" Ccd=\"01\" Type=\"10\" />\r\n"));
  bench_.variables.Begin(folder_.System("previous_var.xml"));
  bench_.Resolve("Speed");
  ASSERT_TRUE(bench_.variables.Moved());
  EXPECT_NE(folder_.Read("plugins.log").find("Speed moved Tdi: 00000010 ? 0000000F Ccd: 02 ? 01 Type: 11 ? 10 "),
            std::string::npos)
      << folder_.Read("plugins.log");
}
