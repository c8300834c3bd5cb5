#include <gtest/gtest.h>

#include <memory>

#include "FrameTestSupport.h"
#include "core/IecTypes.h"
#include "core/XmlNode.h"
#include "plugin/PluginState.h"
#include "plugin/VarPosCheck.h"
#include "plugin/VariableLookup.h"

namespace {

using frametest::HostTables;
using frametest::TraceFile;

class Variables : public ::testing::Test {
 protected:
  void SetUp() override {
    tables.variables["Motor.Speed"] = {2, 9, 0x10, 2};  // UINT word at area 2, offset 16
    tables.variables["Lamp"] = {1, 3, 0x20, 1};         // bit 3
    tables.variables["Temp"] = {2, 11, 0x40, 4};        // REAL
    tables.iec["Motor.Speed"] = {"UINT", "", 12, S_OK};
    tables.iec["Clock"] = {"DATE_AND_TIME", "extra", 20, S_OK};
    tables.iec["Recipe"] = {"STRUCT", "", 24, S_OK};
    tables.iec["Mixed"] = {"Struct", "", 24, S_OK};
    tables.iec["Temp"] = {"REAL", "", 15, S_FALSE};
    gHost.ifQendVariables = ComPtr<IQendVariables>(&tables);
    gHost.ifIECManVariables = ComPtr<IIECManVariables>(&tables);
    gHost.ifHalvexWebTdiMap = ComPtr<IHalvexWebTdiMap>(&tables);
    gWebTdiMapDisabled = false;
  }
  void TearDown() override {
    gHost.ifQendVariables = nullptr;
    gHost.ifIECManVariables = nullptr;
    gHost.ifHalvexWebTdiMap = nullptr;
    gWebTdiMapDisabled = false;
  }

  TmyXmlNode* Item(const char* name, const char* pos, const char* type, const char* tdi = nullptr,
                   const char* ccd = nullptr) {
    TmyXmlNode* item = variables->AddChild("Item");
    if (name != nullptr) item->SetAttr("Name", name);
    if (pos != nullptr) item->SetAttr("Pos", pos);
    if (tdi != nullptr) item->SetAttr("Tdi", tdi);
    if (ccd != nullptr) item->SetAttr("Ccd", ccd);
    if (type != nullptr) item->SetAttr("Type", type);
    return item;
  }

  HostTables tables;
  std::unique_ptr<TmyXmlNode> variables = std::make_unique<TmyXmlNode>("Variables");
};

TEST_F(Variables, LookupSubstitutesTypeNamesAndFallsBackToTheHostsKinds) {
  TPinVariable pin;
  GetVariableInfo("Clock", pin);
  EXPECT_EQ(pin.name, "Clock");
  EXPECT_EQ(pin.typeName, "DT");
  EXPECT_EQ(pin.typeCode, 20);
  EXPECT_EQ(pin.furtherText, "extra");
  GetVariableInfo("Recipe", pin);
  EXPECT_EQ(pin.typeName, "UDINT");
  GetVariableInfo("Mixed", pin);
  EXPECT_EQ(pin.typeName, "Struct");  // exact comparison only
  // S_FALSE counts as a failure: the type comes from the variables interface.
  GetVariableInfo("Temp", pin);
  EXPECT_EQ(pin.typeCode, 15);
  EXPECT_EQ(pin.typeName, "REAL");
  EXPECT_EQ(pin.furtherText, "");
  GetVariableInfo("Lamp", pin);
  EXPECT_EQ(pin.typeCode, 0);
  EXPECT_EQ(pin.typeName, "BOOL");
  GetVariableInfo("Nowhere", pin);
  EXPECT_EQ(pin.typeCode, -1);
  EXPECT_EQ(pin.typeName, "");
  // An empty name goes to the host as an empty text, with an empty scope.
  GetVariableInfo("", pin);
  EXPECT_EQ(tables.calls.back(), "position ");
  EXPECT_EQ(pin.typeCode, -1);
  bool askedEmpty = false;
  for (const std::string& call : tables.calls) askedEmpty |= call == "info |";
  EXPECT_TRUE(askedEmpty);
  // Without the manager the lookup goes straight to the fallback.
  gHost.ifIECManVariables = nullptr;
  GetVariableInfo("Motor.Speed", pin);
  EXPECT_EQ(pin.typeCode, 12);
  EXPECT_EQ(pin.typeName, "UINT");
}

TEST_F(Variables, HostPositionAndKey) {
  std::uint8_t key[6] = {};
  std::int32_t code = -1;
  TVarPosition position;
  ASSERT_TRUE(LookupHostVariable("Lamp", key, code, &position));
  EXPECT_EQ(code, 0);
  EXPECT_EQ(position.bit, 3);
  EXPECT_EQ(position.size, 1u);
  EXPECT_EQ(key[0], 0x01);
  EXPECT_EQ(key[3], 0x20);
  EXPECT_EQ(key[4], 3);  // a BOOL's bit number
  code = -1;
  ASSERT_TRUE(LookupHostVariable("Motor.Speed", key, code, &position));
  EXPECT_EQ(code, 12);
  EXPECT_EQ(position.bit, -1);
  EXPECT_EQ(position.area, 2);
  EXPECT_EQ(key[0], 0x02);
  EXPECT_EQ(key[3], 0x10);
  EXPECT_EQ(key[4], PlcTypeOfTypeCode(12));
  EXPECT_EQ(key[5], 2);
  EXPECT_FALSE(LookupHostVariable("Nowhere", key, code, &position));
  EXPECT_EQ(position.area, 255);
  EXPECT_EQ(key[4], 255);
  EXPECT_EQ(key[0] | key[1] | key[2] | key[3] | key[5], 0);
  gHost.ifQendVariables = nullptr;
  key[0] = 7;
  EXPECT_FALSE(LookupHostVariable("Lamp", key, code, &position));
  EXPECT_EQ(key[0], 7);  // untouched
}

TEST_F(Variables, CheckWithoutTheMapComparesPositionAndType) {
  TraceFile trace;
  gWebTdiMapDisabled = true;                 // "disable.tdi" in the project folder
  Item(nullptr, "0", "0");                   // no name: never moved
  Item("Lamp", "01000020", "3");             // unchanged bit
  Item("Motor.Speed", "02000010", nullptr);  // type absent counts as 0, the host's type byte is not 0
  EXPECT_FALSE(CheckAllVarPos(nullptr, variables.get()));
  EXPECT_TRUE(trace.Has("CheckAllVarPos - end (false)"));
  for (const std::string& call : tables.calls) EXPECT_NE(call, "open pass");
}

TEST_F(Variables, CheckWithoutTheMapAllUnchanged) {
  gWebTdiMapDisabled = true;
  Item("Lamp", "01000020", "3");
  std::uint8_t key[6] = {};
  std::int32_t code = 12;
  LookupHostVariable("Motor.Speed", key, code, nullptr);
  Item("Motor.Speed", "2000010", std::to_string(key[4]).c_str());
  EXPECT_TRUE(CheckAllVarPos(nullptr, variables.get()));
  // A moved address and an unknown variable are moves.
  Item("Lamp", "01000021", "3");
  EXPECT_FALSE(CheckAllVarPos(nullptr, variables.get()));
  variables->DeleteChildren();
  Item("Nowhere", "0", "0");
  EXPECT_FALSE(CheckAllVarPos(nullptr, variables.get()));
  variables->DeleteChildren();
  EXPECT_TRUE(CheckAllVarPos(nullptr, variables.get()));
  EXPECT_TRUE(CheckAllVarPos(nullptr, nullptr));
}

TEST_F(Variables, CheckWithTheMapAddsEveryVariableAndLogsEveryMove) {
  TraceFile trace;
  tables.map["Lamp"] = {0x100, 0x05, 0x20, 3, 1, 1, 0};
  tables.map["Motor.Speed"] = {0x101, 0x00, 0x10, 0, 9, 2, 0};
  tables.map["Temp"] = {0x102, 0x00, 0x40, 0, 11, 2, 0};
  Item("Lamp", nullptr, "3", "100", "05");        // unchanged
  Item("Motor.Speed", nullptr, "0", "00000199");  // moved (Tdi)
  Item("Temp", nullptr, "0", "102", "07");        // moved (Ccd)
  EXPECT_FALSE(CheckAllVarPos(nullptr, variables.get()));
  std::vector<std::string> expected = {"open pass", "add Lamp", "add Motor.Speed", "add Temp", "close pass"};
  std::vector<std::string> mapCalls;
  for (const std::string& call : tables.calls)
    if (call == "open pass" || call == "close pass" || call.rfind("add ", 0) == 0) mapCalls.push_back(call);
  EXPECT_EQ(mapCalls, expected);
  EXPECT_TRUE(trace.Has("CheckVarPos: Motor.Speed moved Tdi: 00000101 ? 00000199 Ccd: 00 ? 00 Type: "));
  EXPECT_TRUE(trace.Has("CheckVarPos: Temp moved Tdi: 00000102 ? 00000102 Ccd: 00 ? 07 Type: "));
  EXPECT_FALSE(trace.Has("CheckVarPos: Lamp"));
  EXPECT_TRUE(trace.Has("CheckAllVarPos - end (result=false)"));
}

TEST_F(Variables, MapFailuresAndARefusedPass) {
  TraceFile trace;
  Item("Unknown", nullptr, "0", "0", "0");
  // The map does not know it: logged, compared with zeros (and the type byte 255).
  EXPECT_FALSE(CheckAllVarPos(nullptr, variables.get()));
  EXPECT_TRUE(trace.Has("WebTdi_AddVariable - failed"));
  // A pass the host refuses means the map is not in use.
  tables.calls.clear();
  tables.openPassAnswer = 1;
  variables->DeleteChildren();
  Item("Lamp", "01000020", "3");
  EXPECT_TRUE(CheckAllVarPos(nullptr, variables.get()));
  for (const std::string& call : tables.calls) EXPECT_NE(call, "close pass");
  // No map interface at all (the host may leave it out): not in use either.
  gHost.ifHalvexWebTdiMap = nullptr;
  EXPECT_TRUE(CheckAllVarPos(nullptr, variables.get()));
}

}  // namespace
