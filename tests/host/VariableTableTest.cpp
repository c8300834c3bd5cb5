// The variable table of the demo project: positions, size codes, sizes, type
// names and codes, structure members, and the names that must not resolve.

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "core/IecTypes.h"
#include "host/sim/VariableTable.h"

namespace {

class DemoVariables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    project_ = std::make_unique<HostProject>(ReadHostProject(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo"));
    table_ = std::make_unique<VariableTable>(*project_);
  }
  static void TearDownTestSuite() {
    table_.reset();
    project_.reset();
  }
  static ResolvedVariable Get(const std::string& name) {
    auto r = table_->Resolve(name);
    EXPECT_TRUE(r) << name;
    return r ? *r : ResolvedVariable{};
  }
  static std::unique_ptr<HostProject> project_;
  static std::unique_ptr<VariableTable> table_;
};
std::unique_ptr<HostProject> DemoVariables::project_;
std::unique_ptr<VariableTable> DemoVariables::table_;

TEST_F(DemoVariables, CoversEveryConcreteIecType) {
  std::set<int> codes;
  std::function<void(const PlcTypeShape&)> walk = [&](const PlcTypeShape& s) {
    codes.insert(s.code);
    if (s.element) walk(*s.element);
    for (const PlcTypeMember& m : s.members) walk(*m.shape);
  };
  for (const std::string& name : table_->Names()) walk(*Get(name).shape);
  for (int code = IecBool; code <= IecEnum; ++code) EXPECT_TRUE(codes.count(code)) << "type code " << code;
  EXPECT_TRUE(codes.count(IecPointer));
  // All five areas are used.
  std::set<PlcArea> areas;
  for (const HostVariableDecl& v : project_->variables) areas.insert(v.area);
  EXPECT_EQ(areas.size(), 5u);
}

TEST_F(DemoVariables, BitsAndSizeCodes) {
  ResolvedVariable lamp = Get("lamp");
  EXPECT_EQ(lamp.area, PlcArea::Y);
  EXPECT_EQ(lamp.address, 0u);
  EXPECT_EQ(lamp.bit, 7);
  EXPECT_EQ(lamp.SizeCode(), 7);
  EXPECT_EQ(lamp.Size(), 1u);
  EXPECT_EQ(lamp.shape->hostTypeName, "BOOL");
  EXPECT_EQ(Get("DoorOpen").shape->code, IecBoolREdge);
  EXPECT_EQ(Get("DoorClosed").SizeCode(), 3);

  struct Row {
    const char* name;
    std::uint16_t sizeCode;
    std::uint32_t size;
    int code;
    const char* hostName;
  } rows[] = {
      {"InputByte", 8, 1, IecByte, "BYTE"},
      {"OutputWord", 9, 2, IecWord, "WORD"},
      {"CycleCount", 10, 4, IecUdint, "UDINT"},
      {"SysFlags", 10, 4, IecDword, "DWORD"},
      {"Uptime", 10, 4, IecTime, "TIME"},
      {"ClockDate", 13, 8, IecDate, "DATE"},
      {"ClockTime", 10, 4, IecTimeOfDay, "TIME_OF_DAY"},
      {"ClockStamp", 13, 8, IecDateAndTime, "DATE_AND_TIME"},
      {"Level", 8, 1, IecSint, "SINT"},
      {"Speed", 9, 2, IecInt, "INT"},
      {"Position", 10, 4, IecDint, "DINT"},
      {"Energy", 12, 8, IecLint, "LINT"},
      {"Percent", 8, 1, IecUsint, "USINT"},
      {"Setpoint", 9, 2, IecUint, "UINT"},
      {"Total", 12, 8, IecUlint, "ULINT"},
      {"Temperature", 11, 4, IecReal, "REAL"},
      {"Pressure", 13, 8, IecLreal, "LREAL"},
      {"Pattern", 12, 8, IecLword, "LWORD"},
      {"Mode", 8, 1, IecEnum, "ENUM"},
      {"DataPtr", 10, 4, IecPointer, "POINTER"},
      {"Message", 8, 41, IecString, "STRING[40]"},
      {"Title", 8, 81, IecString, "STRING[80]"},
      {"WideText", 8, 42, IecWstring, "WSTRING[20]"},
      {"Temps", 8, 32, IecArray, "ARRAY"},
      {"Canvas1", 8, 535, IecStruct, "STRUCT"},
  };
  for (const Row& r : rows) {
    ResolvedVariable v = Get(r.name);
    EXPECT_EQ(v.SizeCode(), r.sizeCode) << r.name;
    EXPECT_EQ(v.Size(), r.size) << r.name;
    EXPECT_EQ(v.shape->code, r.code) << r.name;
    EXPECT_EQ(v.shape->hostTypeName, r.hostName) << r.name;
    EXPECT_EQ(v.bit, -1) << r.name;
  }
  // An enumeration is named as a real host names it, its list in the further text.
  EXPECT_EQ(Get("Mode").shape->furtherText, "(OFF,MANUAL,AUTO)");
  // The host's long names go through the plug-in's substitutions; the code agrees with the name table.
  EXPECT_EQ(TypeCodeOfName(Get("ClockStamp").shape->hostTypeName.c_str()), IecDateAndTime);
  EXPECT_EQ(TypeCodeOfName(Get("Message").shape->hostTypeName.c_str()), IecString);
}

TEST_F(DemoVariables, MembersAndElements) {
  EXPECT_EQ(*table_->Members("Canvas1"), (std::vector<std::string>{"info", "touch", "bufHead", "buf"}));
  EXPECT_EQ(*table_->Members("canvas1.INFO"),
            (std::vector<std::string>{"ver", "flags", "maxLen", "actLen", "macroptr"}));
  EXPECT_EQ(*table_->Members("Canvas2.touch"), (std::vector<std::string>{"x", "y", "color"}));
  EXPECT_EQ(*table_->Members("Canvas1.bufHead"), (std::vector<std::string>{"dataChg", "dataLen"}));
  EXPECT_FALSE(table_->Members("Canvas1.buf"));
  EXPECT_FALSE(table_->Members("Speed"));
  EXPECT_FALSE(table_->Members("Nothing"));

  ResolvedVariable x = Get("Canvas2.touch.x");
  EXPECT_EQ(x.area, PlcArea::T);
  EXPECT_EQ(x.address, 1024u + 12u);
  EXPECT_NE(x.tdi, 41u) << "a member has a number of its own";
  EXPECT_NE(x.tdi, Get("Canvas2.touch.y").tdi);
  EXPECT_EQ(x.tdiOffset, 12u);
  EXPECT_EQ(x.shape->hostTypeName, "INT");
  ResolvedVariable len = Get("Canvas1.bufHead.dataLen");
  EXPECT_EQ(len.address, 2048u + 12u + 8u + 1u);
  ResolvedVariable buf = Get("Canvas1.buf[511]");
  EXPECT_EQ(buf.address, 2048u + 534u);
  EXPECT_EQ(buf.shape->hostTypeName, "BYTE");

  ResolvedVariable t = Get("Temps[1]");
  EXPECT_EQ(t.address, 224u);
  EXPECT_EQ(Get("Temps[8]").address, 224u + 28u);
  EXPECT_EQ(Get("Temps").shape->furtherText, "ARRAY[1..8] OF REAL");
  ResolvedVariable flag = Get("Flags[9]");
  EXPECT_EQ(flag.address, 265u);
  EXPECT_EQ(flag.bit, 0);
  EXPECT_EQ(flag.SizeCode(), 0);
  ResolvedVariable active = Get("Recipes[2].active");
  EXPECT_EQ(active.address, 272u + 2 * 28u + 17u + 2u + 4u);
  EXPECT_EQ(active.bit, 0);
  EXPECT_EQ(Get("Recipes[3].name").shape->hostTypeName, "STRING[16]");
  EXPECT_EQ(Get("Recipes").shape->furtherText, "ARRAY[0..3] OF TRecipe");
  EXPECT_EQ(Get("Recipes[0]").shape->furtherText, "TRecipe");

  for (const char* bad : {"", "Temps[0]", "Temps[9]", "Temps[x]", "Temps[", "Temps[-1]", "Speed.x", "Canvas1.nope",
                          "Canvas1.", "Canvas1..info", "Speed[0]", "Recipes[1]x", ".Speed", "Unknown"})
    EXPECT_FALSE(table_->Resolve(bad)) << bad;
}

TEST_F(DemoVariables, TypedListsAndStructNames) {
  EXPECT_EQ(table_->NamesOfType("REAL"), (std::vector<std::string>{"Temperature", "Flow", "OutletPressure"}));
  EXPECT_EQ(table_->NamesOfType("tcanvas"), (std::vector<std::string>{"Canvas2", "Canvas1"}));
  EXPECT_EQ(table_->StructTypeNames().size(), 7u);
}

}  // namespace
