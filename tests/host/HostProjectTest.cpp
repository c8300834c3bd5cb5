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
  EXPECT_EQ(p.panels[0].type, "OPD101");
  EXPECT_EQ(p.panels[0].name, "Line panel");
  EXPECT_EQ(p.panels[1].name, "");
  EXPECT_EQ(p.panels[1].out, "PnlOut2");
  EXPECT_EQ(p.variables.size(), 60u);  // every IEC type, then the pumping station
  EXPECT_EQ(p.structs.size(), 5u);
  const HostVariableDecl& lamp = p.variables[5];
  EXPECT_EQ(lamp.name, "Lamp");
  EXPECT_EQ(lamp.area, PlcArea::Y);
  EXPECT_EQ(lamp.offset, 0u);
  EXPECT_EQ(lamp.bit, 7);
  EXPECT_EQ(lamp.tdi, 6u);
  ASSERT_EQ(p.plcFiles.size(), 1u);
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
