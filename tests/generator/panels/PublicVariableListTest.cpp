// The public-variable list: its lines, their order, the not-for-id rule, the
// stand-in line of an empty list and the CRC line, checked against a CRC-16
// computed here from its definition.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/IecTypes.h"
#include "generator/PublicVariableList.h"
#include "tests/generator/panels/PanelsSupport.h"

namespace {

using panelstest::PanelsCompile;
using panelstest::ReferenceCrc16;

std::string CrcLineOf(const std::string& linesText) {
  std::array<char, 32> line{};
  std::snprintf(line.data(), line.size(), ";* Crc=\"%04X\"", static_cast<unsigned>(ReferenceCrc16(linesText)));
  return line.data();
}

// Declares the plant's variables: every area and size letter, a bit, and the
// three renamed types.
void DeclarePlant(FakeCompileHost& host) {
  host.Declare("Level", "UINT", IecUint, 2, 9, 22);
  host.Declare("level", "UINT", IecUint, 2, 9, 22);
  host.Declare("Pump.Run", "BOOL", IecBool, 0, 3, 12);
  host.Declare("Valve", "BOOL", IecBool, 1, 0, 7);
  host.Declare("Text", "STRING", IecString, 1, 13, 40);
  host.Declare("Mode", "ENUM", IecEnum, 4, 8, -4);
  host.Declare("Flow", "REAL", IecReal, 3, 11, 8);
  host.Declare("Total", "LINT", IecLint, 2, 12, 64);
  host.Declare("Recipe", "STRUCT", IecStruct, 2, 10, 100);
  host.Declare("Hidden", "INT", IecInt, 2, 9, 30);
}

constexpr const char* kPlant =
    "<web><group name=\"Plant\">"
    "<page name=\"P1.XML\"><object var=\"Level\"/><object var=\"Pump.Run\"/><object var=\"Text\"/>"
    "<object var=\"Mode\"/><object var=\"Unknown\"/></page>"
    "<page name=\"P2.XML\"><object var=\"level\"/><object var=\"Flow\"/><object var=\"Valve\"/>"
    "<object var=\"Total\"/><object var=\"Recipe\"/></page>"
    "</group><group name=\"Service\" notforid=\"true\">"
    "<page name=\"P3.XML\"><object var=\"Hidden\"/><object var=\"Level\"/></page>"
    "</group></web>";

TEST(PublicVariableList, ListsEachPanelVariableOnceSortedWithItsCrcLine) {
  PanelsCompile compile(kPlant);
  compile.settings.operatorPanels = true;
  DeclarePlant(compile.host);
  compile.RunResolving();

  const std::string lines =
      "FLOW R F 8 REAL PUB_INOUT\r\n"
      "LEVEL S W 22 UINT PUB_INOUT\r\n"
      "MODE T B -4 USINT PUB_INOUT\r\n"
      "PUMP.RUN X B 12 .3 BOOL PUB_INOUT\r\n"
      "RECIPE S L 100 UDINT PUB_INOUT\r\n"
      "TEXT Y D 40 STRING[80] PUB_INOUT\r\n"
      "TOTAL S Q 64 LINT PUB_INOUT\r\n"
      "VALVE Y B 7 .0 BOOL PUB_INOUT\r\n";
  EXPECT_EQ(compile.Read(kPublicVariableFileName), lines + CrcLineOf(lines) + "\r\n");
}

TEST(PublicVariableList, ProjectWithoutPanelVariablesHoldsTheStandInAndItsCrcLine) {
  const std::string stand = std::string(kPublicVariableStandIn) + "\r\n";
  struct Case {
    const char* name;
    const char* project;
  } cases[] = {
      {"no page", "<web/>"},
      {"page without variables", "<web><group name=\"G\"><page name=\"P1.XML\"/></group></web>"},
      {"only not-for-id groups",
       "<web><group name=\"G\" notforid=\"true\"><page name=\"P1.XML\"><object var=\"Level\"/></page></group></web>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PanelsCompile compile(c.project);
    compile.settings.operatorPanels = true;
    DeclarePlant(compile.host);
    compile.RunResolving();
    EXPECT_EQ(compile.Read(kPublicVariableFileName), stand + CrcLineOf(stand) + "\r\n");
  }
}

TEST(PublicVariableList, CrcLineCoversEveryByteOfTheLinesAndTheirLineEnds) {
  std::string highBytes;
  for (int i = 0; i < 300; ++i) highBytes += static_cast<char>(0x80 + i % 0x80);
  const std::string texts[] = {
      "A\r\n",
      "A\r\nB\r\n",
      std::string(kPublicVariableStandIn) + "\r\n",
      std::string(kPublicVariableStandIn),  // without its line end the CRC differs
      highBytes + "\r\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 20));
    EXPECT_EQ(PublicVariableCrcLine(text), CrcLineOf(text));
  }
  EXPECT_NE(PublicVariableCrcLine(texts[2]), PublicVariableCrcLine(texts[3]));
}

TEST(PublicVariableList, IsRegisteredWithItsSize) {
  PanelsCompile compile(kPlant);
  compile.settings.operatorPanels = true;
  DeclarePlant(compile.host);
  compile.RunResolving();

  const GeneratedFileRecord* record = compile.files.Find(kPublicVariableFileName);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, compile.Read(kPublicVariableFileName).size());
}

TEST(OperatorPanelOutputs, NothingIsWrittenWithoutTheOperatorPanelFlag) {
  PanelsCompile compile(kPlant);
  DeclarePlant(compile.host);
  compile.Folder().Write("WWW/TARNWELL.XMZ", "old");
  compile.RunResolving();

  EXPECT_FALSE(compile.Exists(kPublicVariableFileName));
  EXPECT_FALSE(compile.Exists("TARNWELL.XML"));
  EXPECT_EQ(compile.Read("TARNWELL.XMZ"), "old");
  EXPECT_EQ(compile.files.Find("TARNWELL.XMZ"), nullptr);
}

TEST(OperatorPanelOutputs, WithTheFlagThePubAndXmzAreCountedAsTwoMoreFiles) {
  PanelsCompile without(kPlant);
  DeclarePlant(without.host);
  without.RunResolving();
  PanelsCompile with(kPlant);
  with.settings.operatorPanels = true;
  DeclarePlant(with.host);
  with.RunResolving();

  EXPECT_EQ(with.state.compiledFiles, without.state.compiledFiles + 2);
  EXPECT_NE(with.files.Find("TARNWELL.XMZ"), nullptr);
  EXPECT_EQ(with.files.Find("TARNWELL.XML"), nullptr);
}

}  // namespace
