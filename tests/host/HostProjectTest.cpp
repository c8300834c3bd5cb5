// The host project file: the demo project reads whole, broken files give
// errors that name the file, the line and the fault.

#include <gtest/gtest.h>

#include "host/sim/HostProject.h"

namespace {

const std::string kDemo = std::string(TARNWELL_SOURCE_DIR) + "/examples/demo";

std::string ErrorOf(const std::string& text) {
  try {
    ParseHostProject(text, "/p", "t.prj");
  } catch (const HostProjectError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(HostProjectFile, DemoProjectReads) {
  HostProject p = ReadHostProject(kDemo);
  EXPECT_EQ(p.name, "Demo");
  EXPECT_EQ(p.folder, kDemo);
  EXPECT_EQ(p.globalFolder, std::string(TARNWELL_SOURCE_DIR) + "/examples/Global");
  EXPECT_EQ(p.cpm, 12);
  EXPECT_EQ(p.language, 1033);
  EXPECT_EQ(p.files, (std::vector<std::string>{"main.st", "io.st"}));
  ASSERT_EQ(p.panels.size(), 2u);
  EXPECT_EQ(p.panels[0].rack, 0);
  EXPECT_EQ(p.panels[0].position, 1);
  EXPECT_EQ(p.panels[0].type, "HMI10");
  EXPECT_EQ(p.panels[0].name, "Line panel");
  EXPECT_EQ(p.panels[1].name, "");
  EXPECT_EQ(p.panels[1].out, "PnlOut2");
  EXPECT_EQ(p.variables.size(), 65u);  // every IEC type, then the pumping station
  EXPECT_EQ(p.structs.size(), 7u);
  EXPECT_EQ(p.presets.size(), 21u);  // the station's live values and its drawing
  const HostVariableDecl& lamp = p.variables[5];
  EXPECT_EQ(lamp.name, "Lamp");
  EXPECT_EQ(lamp.area, PlcArea::Y);
  EXPECT_EQ(lamp.offset, 0u);
  EXPECT_EQ(lamp.bit, 7);
  EXPECT_EQ(lamp.tdi, 6u);
  ASSERT_EQ(p.plcFiles.size(), 3u);
  EXPECT_EQ(p.plcFiles[0].plcPath, "//RAM/STATUS.TXT");
  EXPECT_EQ(p.plcFiles[0].localFile, "plc/status.txt");
}

TEST(HostProjectFile, QuotesCommentsAndCrLf) {
  HostProject p = ParseHostProject(
      "project \"My \\\"big\\\" one\" # comment\r\n"
      "panel -1 2 \"OPD 1\" \"a # b\"\r\n"
      "var v_1 ARRAY[0..1] OF STRING[3] R 0x10\r\n",
      "/p", "t.prj");
  EXPECT_EQ(p.name, "My \"big\" one");
  EXPECT_EQ(p.panels[0].rack, -1);
  EXPECT_EQ(p.panels[0].type, "OPD 1");
  EXPECT_EQ(p.panels[0].name, "a # b");
  EXPECT_EQ(p.variables[0].type, "ARRAY[0..1] OF STRING[3]");
  EXPECT_EQ(p.variables[0].offset, 16u);
  EXPECT_EQ(p.variables[0].tdi, 0u);
  EXPECT_EQ(p.cpm, -1);
  EXPECT_EQ(p.globalFolder, "");
}

TEST(HostProjectFile, AnAreaTakesUpTo64KiB) {
  HostProject p = ParseHostProject("project A\narea T 65536\nvar last BYTE T 0xFFFF\n", "/p", "t.prj");
  ASSERT_EQ(p.areaSizes.size(), 1u);
  EXPECT_EQ(p.areaSizes[0].area, PlcArea::T);
  EXPECT_EQ(p.areaSizes[0].size, 65536u);
  ASSERT_EQ(p.variables.size(), 1u);
  EXPECT_EQ(p.variables[0].offset, 0xFFFFu);
}

TEST(HostProjectFile, BrokenFilesGiveClearErrors) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"", "t.prj: the file names no project"},
      {"project A\nfoo 1\n", "t.prj:2: unknown keyword \"foo\""},
      {"project A\nproject\n", "t.prj:2: expected: project NAME"},
      {"project \"A\n", "t.prj:1: a quoted text is not closed"},
      {"project A\ncpm 12x\n", "t.prj:2: bad CPU code \"12x\""},
      {"project A\nglobal \"\"\n", "t.prj:2: empty global folder"},
      {"project A\nvar x UINT Q 0\n", "t.prj:2: unknown memory area \"Q\""},
      {"project A\nvar x UINT R\n", "t.prj:2: expected: var NAME TYPE AREA OFFSET"},
      {"project A\nvar 1x UINT R 0\n", "t.prj:2: bad variable name \"1x\""},
      {"project A\nvar x BOOL R 0.8\n", "t.prj:2: bit number 8 is too large"},
      {"project A\n\nvar x UINT R 0.1\n", "t.prj:3: variable x: only a BOOL can stand at a bit"},
      {"project A\nvar x FOO R 0\n", "t.prj:2: variable x: unknown type FOO"},
      {"project A\nvar x ANY_NUM R 0\n", "t.prj:2: variable x: the generic type ANY_NUM cannot be a variable's type"},
      {"project A\nvar x ARRAY[3..1] OF INT R 0\n",
       "t.prj:2: variable x: array bounds in ARRAY[3..1] OF INT are reversed"},
      {"project A\nvar x ARRAY[0..1] INT R 0\n", "t.prj:2: variable x: malformed array type"},
      {"project A\nvar x STRING[0] R 0\n", "t.prj:2: variable x: string length out of 1..254"},
      {"project A\nvar x UINT X 1023\n", "t.prj:2: variable x leaves memory area X"},
      {"project A\narea X 16\nvar x ARRAY[0..16] OF BYTE X 0\n", "t.prj:3: variable x leaves memory area X"},
      {"project A\nvar x UINT R 0\nvar X INT R 2\n", "t.prj:3: variable X declared twice"},
      {"project A\nvar x UINT R 0 tdi 5\nvar y INT R 2 tdi 5\n", "t.prj:3: TDI number 5 used twice"},
      {"project A\nstruct S\n a INT\n", "t.prj:2: structure S has no \"end\""},
      {"project A\nstruct S\nend\n", "t.prj:3: structure S has no members"},
      {"project A\nend\n", "t.prj:2: \"end\" without \"struct\""},
      {"project A\nstruct S\n a INT\n A INT\nend\n", "t.prj:4: member A declared twice"},
      {"project A\nstruct S\n a S\nend\n", "t.prj:2: structure S: types nested too deeply"},
      {"project A\nstruct S\n a T\nend\nstruct T\n b S\nend\n", "t.prj:2: structure S: types nested too deeply"},
      {"project A\nfile ../x.st\n", "t.prj:2: bad file name \"../x.st\""},
      {"project A\narea R 0x300000\n", "t.prj:2: memory area R of 0x300000 bytes is too large (at most 65536 bytes)"},
      {"project A\narea R 65537\n", "t.prj:2: memory area R of 65537 bytes is too large (at most 65536 bytes)"},
      {"project A\n\narea t 0x10001\n", "t.prj:3: memory area T of 0x10001 bytes is too large (at most 65536 bytes)"},
      {"project A\narea R 0x100000000\n", "t.prj:2: bad area size \"0x100000000\""},
      {"project A\nvar x BYTE R 65536\n", "t.prj:2: offset 65536 is too large"},
      {"project A\nvar x ARRAY[0..16384] OF DWORD R 0\n",
       "t.prj:2: variable x: array ARRAY[0..16384] OF DWORD is larger than an area"},
      {"project A\nvar x UINT R 99999999999\n", "t.prj:2: bad offset \"99999999999\""},
      {"project A\nlanguage \"\x01\"\n", "t.prj:2: control character in a word"},
      {"project A\nplcfile //WWW/ a.txt\n", "t.prj:2: bad PLC file path \"//WWW/\""},
      {"project A\nplcfile WWW/A.TXT a.txt\n", "t.prj:2: bad PLC file path"},
      {"project A\nplcfile //WWW/A.TXT ../a.txt\n", "t.prj:2: bad file name \"../a.txt\""},
      {"project A\nplcfile //WWW/A.TXT\n", "t.prj:2: expected: plcfile PLCPATH FILE"},
  };
  for (const Case& c : cases) {
    std::string error = ErrorOf(c.text);
    EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "for:\n" << c.text << "\ngot: " << error;
  }
}

using Bytes = std::vector<std::uint8_t>;

// The single preset of a one-variable project: x of `type` at R 0.
HostPresetDecl PresetOf(const std::string& type, const std::string& value) {
  HostProject p = ParseHostProject("project A\nvar x " + type + " R 0\npreset x \"" + value + "\"\n", "/p", "t.prj");
  return p.presets.at(0);
}

TEST(HostProjectPresets, ValuesTakeTheBytesTheMemoryHolds) {
  struct Case {
    const char* type;
    const char* value;
    Bytes expected;
  } cases[] = {
      {"BOOL", "TRUE", {1}},
      {"BOOL", "false", {0}},
      {"BOOL", "1", {1}},
      {"BOOL R_EDGE", "0", {0}},
      {"BYTE", "0xFF", {0xFF}},
      {"USINT", "46", {46}},
      {"SINT", "-128", {0x80}},
      {"UINT", "182", {182, 0}},
      {"UINT", "65535", {0xFF, 0xFF}},
      {"WORD", "0x1234", {0x34, 0x12}},
      {"INT", "-2", {0xFE, 0xFF}},
      {"INT", "-32768", {0x00, 0x80}},
      {"DINT", "-1", {0xFF, 0xFF, 0xFF, 0xFF}},
      {"DWORD", "0x3CAA28", {0x28, 0xAA, 0x3C, 0x00}},
      {"UDINT", "12875", {0x4B, 0x32, 0x00, 0x00}},
      {"LWORD", "0x0102030405060708", {8, 7, 6, 5, 4, 3, 2, 1}},
      {"LINT", "-9223372036854775808", {0, 0, 0, 0, 0, 0, 0, 0x80}},
      {"ULINT", "18446744073709551615", Bytes(8, 0xFF)},
      {"REAL", "1.5", {0x00, 0x00, 0xC0, 0x3F}},
      {"REAL", "-2", {0x00, 0x00, 0x00, 0xC0}},
      {"LREAL", "1.5", {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
      {"TIME", "T#4h", {0x00, 0xBA, 0xDB, 0x00}},
      {"TIME", "TIME#1h30m15s250ms", {0x52, 0xA1, 0x52, 0x00}},
      {"TIME", "t#4:00:00", {0x00, 0xBA, 0xDB, 0x00}},
      {"TIME", "T#-2s", {0x30, 0xF8, 0xFF, 0xFF}},
      {"TIME", "1500", {0xDC, 0x05, 0x00, 0x00}},
      {"TIME", "4h", {0x00, 0xBA, 0xDB, 0x00}},
      {"TIME", "-2S", {0x30, 0xF8, 0xFF, 0xFF}},
      {"TOD", "TOD#12:00:00", {0x00, 0x2E, 0x93, 0x02}},
      {"DATE", "D#1970-01-02", {0, 0, 0, 0, 0, 0x18, 0xF5, 0x40}},
      {"(OFF,MANUAL,AUTO)", "AUTO", {2}},
      {"(OFF,MANUAL,AUTO)", "manual", {1}},
      {"(OFF,MANUAL,AUTO)", "0", {0}},
      {"ENUM", "7", {7}},
      {"POINTER", "0x10", {0x10, 0, 0, 0}},
      {"STRING[4]", "ab", {'a', 'b', 0, 0, 0}},
      {"STRING[3]", "abc", {'a', 'b', 'c', 0}},
      {"STRING[2]", "", {0, 0, 0}},
      {"WSTRING[2]", "ab", {'a', 0, 'b', 0, 0, 0}},
      {"ARRAY[0..3] OF BYTE", "C5 01 0a", {0xC5, 0x01, 0x0A, 0}},
      {"ARRAY[1..2] OF USINT", "FF00", {0xFF, 0}},
  };
  for (const Case& c : cases) {
    HostPresetDecl p = PresetOf(c.type, c.value);
    EXPECT_EQ(p.bytes, c.expected) << c.type << " " << c.value;
  }
}

TEST(HostProjectPresets, MembersElementsAndBitsArePlacedAsTheVariablesInterfaceNamesThem) {
  HostProject p = ParseHostProject(
      "project A\n"
      "struct S\n a INT\n flag BOOL\n name STRING[8]\nend\n"
      "var lamp BOOL Y 3.5\n"
      "var recipes ARRAY[1..3] OF S R 100\n"
      "preset lamp 1\n"
      "preset Recipes[2].a -5\n"
      "preset recipes[2].FLAG TRUE\n"
      "preset recipes[3].name \"salt\"\n",
      "/p", "t.prj");
  ASSERT_EQ(p.presets.size(), 4u);
  struct Expected {
    PlcArea area;
    std::uint32_t address;
    int bit;
    Bytes bytes;
  } expected[] = {
      {PlcArea::Y, 3, 5, {1}},
      {PlcArea::R, 112, -1, {0xFB, 0xFF}},  // an S takes 12 bytes: the second starts at 112
      {PlcArea::R, 114, 0, {1}},            // a member BOOL has a byte of its own
      {PlcArea::R, 127, -1, {'s', 'a', 'l', 't', 0, 0, 0, 0, 0}},
  };
  for (std::size_t i = 0; i < p.presets.size(); ++i) {
    EXPECT_EQ(p.presets[i].area, expected[i].area) << p.presets[i].name;
    EXPECT_EQ(p.presets[i].address, expected[i].address) << p.presets[i].name;
    EXPECT_EQ(p.presets[i].bit, expected[i].bit) << p.presets[i].name;
    EXPECT_EQ(p.presets[i].bytes, expected[i].bytes) << p.presets[i].name;
    EXPECT_EQ(p.presets[i].line, static_cast<int>(9 + i));
  }
}

TEST(HostProjectPresets, BadPresetsGiveClearErrors) {
  struct Case {
    const char* declaration;  // the variable line before the preset on line 3
    std::string preset;
    const char* expected;
  } cases[] = {
      {"var x UINT R 0", "preset x", "t.prj:3: expected: preset NAME VALUE"},
      {"var x UINT R 0", "preset x 1 2", "t.prj:3: expected: preset NAME VALUE"},
      {"var x UINT R 0", "preset nobody 1", "t.prj:3: preset of an unknown variable \"nobody\""},
      {"var x UINT R 0", "preset x.y 1", "t.prj:3: preset of an unknown variable \"x.y\""},
      {"var x ARRAY[0..1] OF INT R 0", "preset x[2] 1", "t.prj:3: preset of an unknown variable \"x[2]\""},
      {"var x USINT R 0", "preset x 256", "t.prj:3: preset x: value 256 is out of range for USINT (0..255)"},
      {"var x UINT R 0", "preset x -1", "t.prj:3: preset x: value -1 is out of range for UINT (0..65535)"},
      {"var x UINT R 0", "preset x 0x10000", "t.prj:3: preset x: value 0x10000 is out of range for UINT (0..65535)"},
      {"var x INT R 0", "preset x 32768", "t.prj:3: preset x: value 32768 is out of range for INT (-32768..32767)"},
      {"var x SINT R 0", "preset x -129", "t.prj:3: preset x: value -129 is out of range for SINT (-128..127)"},
      {"var x ULINT R 0", "preset x 18446744073709551616", "t.prj:3: preset x: bad value \"18446744073709551616\""},
      {"var x UINT R 0", "preset x 12a", "t.prj:3: preset x: bad value \"12a\" for UINT"},
      {"var x UINT R 0", "preset x 0x", "t.prj:3: preset x: bad value \"0x\" for UINT"},
      {"var x UINT R 0", "preset x +5", "t.prj:3: preset x: bad value \"+5\" for UINT"},
      {"var x UINT R 0", "preset x \"\"", "t.prj:3: preset x: bad value \"\" for UINT"},
      {"var x BOOL X 0.1", "preset x 2", "t.prj:3: preset x: bad value \"2\" for BOOL"},
      {"var x REAL R 0", "preset x 1,5", "t.prj:3: preset x: bad value \"1,5\" for REAL"},
      {"var x REAL R 0", "preset x nan", "t.prj:3: preset x: bad value \"nan\" for REAL"},
      {"var x REAL R 0", "preset x 1e39", "t.prj:3: preset x: value 1e39 is out of range for REAL"},
      {"var x LREAL R 0", "preset x 1e400", "t.prj:3: preset x: value 1e400 is out of range for LREAL"},
      {"var x REAL R 0", "preset x inf", "t.prj:3: preset x: value inf is out of range for REAL"},
      {"var x TIME R 0", "preset x \"T#4x\"", "t.prj:3: preset x: bad value \"T#4x\" for TIME"},
      {"var x TIME R 0", "preset x \"T#30m4h\"", "t.prj:3: preset x: bad value \"T#30m4h\" for TIME"},
      {"var x TIME R 0", "preset x \"T#\"", "t.prj:3: preset x: bad value \"T#\" for TIME"},
      {"var x TIME R 0", "preset x \"T#600h\"", "t.prj:3: preset x: value T#600h is out of range for TIME"},
      {"var x TIME R 0", "preset x 4x", "t.prj:3: preset x: bad value \"4x\" for TIME"},
      {"var x TIME R 0", "preset x 1h4h", "t.prj:3: preset x: bad value \"1h4h\" for TIME"},
      {"var x TOD R 0", "preset x \"T#1h\"", "t.prj:3: preset x: bad value \"T#1h\" for TIME_OF_DAY"},
      {"var x DATE R 0", "preset x 2024-01-01", "t.prj:3: preset x: bad value \"2024-01-01\" for DATE"},
      {"var x STRING[5] R 0", "preset x toolong", "t.prj:3: preset x: text of 7 characters is longer than STRING[5]"},
      {"var x STRING R 0", "preset x \"" + std::string(81, 'a') + "\"",
       "t.prj:3: preset x: text of 81 characters is longer than STRING[80]"},
      {"var x WSTRING[4] R 0", "preset x \"\xC3\xA9\"",
       "t.prj:3: preset x: a WSTRING[4] preset takes ASCII characters only"},
      {"var x (OFF,ON) R 0", "preset x AUTO", "t.prj:3: preset x: \"AUTO\" is not a value of (OFF,ON)"},
      {"var x (OFF,ON) R 0", "preset x 2", "t.prj:3: preset x: value 2 is out of range for (OFF,ON) (0..1)"},
      {"var x ARRAY[0..1] OF INT R 0", "preset x 1",
       "t.prj:3: preset x: a whole array takes no preset (give its elements or members)"},
      {"var x ARRAY[0..1] OF BYTE R 0", "preset x \"01 02 03\"",
       "t.prj:3: preset x: 3 bytes are more than ARRAY[0..1] OF BYTE holds"},
      {"var x ARRAY[0..1] OF BYTE R 0", "preset x 0G", "t.prj:3: preset x: bad value \"0G\" for ARRAY"},
      {"var x ARRAY[0..1] OF BYTE R 0", "preset x 012", "t.prj:3: preset x: bad value \"012\" for ARRAY"},
      {"var x TCanvasTouch R 0", "preset x 1",
       "t.prj:3: preset x: a whole structure takes no preset (give its elements or members)"},
  };
  for (const Case& c : cases) {
    const std::string structure = "struct TCanvasTouch\n x INT\nend\n";
    std::string text = "project A\n" + std::string(c.declaration) + "\n" + c.preset + "\n";
    if (std::string(c.declaration).find("TCanvasTouch") != std::string::npos) text += structure;
    std::string error = ErrorOf(text);
    EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "for:\n" << text << "\ngot: " << error;
  }
  EXPECT_EQ(ErrorOf("project A\nvar x UINT R 0\npreset x 1\npreset X 2\n"), "t.prj:4: preset of X given twice");
}

TEST(HostProjectFile, MissingAndOversizedFiles) {
  try {
    ReadHostProject("/nonexistent/folder");
    FAIL();
  } catch (const HostProjectError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/folder/halvex.prj: cannot read the project file"),
              std::string::npos);
  }
  std::string big(1100000, '#');
  EXPECT_NE(ErrorOf(big).find("larger than 1 MiB"), std::string::npos);
}

}  // namespace
