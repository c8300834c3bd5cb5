// A small host project built with `halvex build` as the user builds it (the
// plug-in's marker file makes the build compile the web pages, through the
// host's web variable map), then served by the simulated PLC's web server:
// what the compiled pages name and what the PLC fills into them.

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "host/sim/HostProject.h"
#include "host/sim/SimulatedPlc.h"
#include "host/sim/VariableTable.h"
#include "host/sim/web/PlcWebServer.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

const char* kHostProject =
    "project \"Pages\"\n"
    "cpm 12\n"
    "struct TCanvasInfo\n  ver UINT\n  flags UINT\n  maxLen UINT\n  actLen UINT\n  macroptr UDINT\nend\n"
    "struct TCanvasTouch\n  x INT\n  y INT\n  color UDINT\nend\n"
    "struct TCanvasBufHead\n  dataChg USINT\n  dataLen UINT\nend\n"
    "struct TCanvas\n  info TCanvasInfo\n  touch TCanvasTouch\n  bufHead TCanvasBufHead\n"
    "  buf ARRAY[0..63] OF BYTE\nend\n"
    "var Flow REAL R 0 tdi 1\n"
    "var Code WORD R 4 tdi 2\n"
    "var Mode (OFF,MANUAL,AUTO) R 6 tdi 3\n"
    "var Canvas1 TCanvas R 100 tdi 4\n"
    "var Lamp BOOL R 10.0 tdi 5\n"
    "var Colour UDINT R 12 tdi 6\n"
    "preset Flow 38.6\n"
    "preset Code 0x1A\n"
    "preset Mode AUTO\n"
    "preset Canvas1.buf[0] 0xC5\n"
    "preset Canvas1.buf[1] 1\n"
    "preset Colour 0x3CAA28\n";

// As the designer writes them: a drop-down list carries no `height`.
const char* kWebProject =
    "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n"
    "<web version=\"8.1\" encoding=\"windows-1250\" pavoa=\"1\" MaxUid=\"100\">\r\n"
    "<group caption=\"Main\" Uid=\"1\">\r\n"
    "<page caption=\"Values\" name=\"VALUES.XML\" ajax=\"true\" pause=\"1000\" default=\"true\" Uid=\"2\">\r\n"
    "<object caption=\"\" X=\"2\" Y=\"2\" size=\"13\" Uid=\"10\"><edit variable=\"Flow\" type=\"REAL\" intf=\"0\" "
    "timf=\"\" align=\"right\" zero=\"false\" prec=\"1\" size=\"6\" global=\"true\" border=\"true\" width=\"53\" "
    "height=\"21\" tabindex=\"1\" /></object>\r\n"
    "<object caption=\"\" X=\"2\" Y=\"6\" size=\"13\" Uid=\"11\"><edit variable=\"Code\" type=\"WORD\" intf=\"0\" "
    "timf=\"\" align=\"right\" zero=\"true\" prec=\"0\" size=\"4\" global=\"true\" border=\"true\" width=\"37\" "
    "height=\"21\" tabindex=\"2\" /></object>\r\n"
    "<object caption=\"\" X=\"2\" Y=\"10\" size=\"13\" Uid=\"12\"><dropdown global=\"false\" variable=\"Mode\" "
    "type=\"(OFF,MANUAL,AUTO)\" size=\"10\" border=\"false\"><option value=\"0\">Off</option>"
    "<option value=\"2\">Auto</option></dropdown></object>\r\n"
    "<object caption=\"\" X=\"2\" Y=\"14\" Uid=\"13\"><block variable=\"Colour\" type=\"UDINT\" "
    "dynamic=\"true\" color=\"1\" width=\"20\" height=\"20\" border=\"false\" /></object>\r\n"
    "<object caption=\"\" X=\"2\" Y=\"18\" Uid=\"14\"><image variable=\"Lamp\" type=\"BOOL\" "
    "on=\"lamp_on.png\" off=\"lamp_off.png\" optcap=\"\" /></object>\r\n"
    "</page>\r\n"
    "<page caption=\"Schematic\" name=\"CANVAS.XML\" ajax=\"true\" pause=\"1000\" Uid=\"3\">\r\n"
    "<object caption=\"\" X=\"2\" Y=\"2\" clickxvar=\"Canvas1.touch.X\" clickyvar=\"Canvas1.touch.Y\" "
    "clickcol=\"Canvas1.touch.Color\" Uid=\"20\"><canvas width=\"320\" height=\"200\" variable=\"Canvas1.bufHead\" "
    "datavariable=\"Canvas1.buf\"><img longname=\"pump_on.png\" /></canvas></object>\r\n"
    "</page>\r\n"
    "<page caption=\"Plain\" name=\"PLAIN.XML\" Uid=\"4\">\r\n"
    "<object caption=\"No script here\" X=\"2\" Y=\"2\" Uid=\"30\"><label /></object>\r\n"
    "</page>\r\n"
    "</group>\r\n"
    "<images>\r\n"
    "<img name=\"pump_on.png\" type=\"png\" height=\"32\" width=\"32\" longname=\"pump_on\" />\r\n"
    "<img name=\"lamp_on.png\" type=\"png\" height=\"20\" width=\"20\" longname=\"lamp_on\" />\r\n"
    "<img name=\"lamp_off.png\" type=\"png\" height=\"20\" width=\"20\" longname=\"lamp_off\" />\r\n"
    "</images>\r\n"
    "</web>\r\n";

// The value of an attribute in the first element that matches `element`.
std::string AttributeOf(const std::string& text, const std::string& element, const std::string& attribute) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex(element + "[^>]*" + attribute + "=\"([^\"]*)\""))) return "<none>";
  return m[1];
}

// The `NAME` of each entry of a data page, in order.
std::vector<std::string> EntryNames(const std::string& page, const std::string& tag) {
  std::vector<std::string> names;
  const std::regex entry("<" + tag + " NAME=\"([^\"]*)\"");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), entry); it != std::sregex_iterator(); ++it)
    names.push_back((*it)[1]);
  return names;
}

class BuiltPages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<testsupport::TempFolder>("built-pages-");
    folder_->Write("project/halvex.prj", kHostProject);
    folder_->Write("project/Tarnwell/Pages.xml", kWebProject);
    folder_->Write("project/Tarnwell/Pages.auto", "On");
    std::filesystem::create_directories(folder_->Native("project/Tarnwell/Images"));
    for (const char* picture : {"pump_on.png", "lamp_on.png", "lamp_off.png"})
      std::filesystem::copy_file(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo/Tarnwell/Images/" + picture,
                                 folder_->Native(std::string("project/Tarnwell/Images/") + picture));
    ASSERT_EQ(Halvex("register '" + std::string(TARNWELL_PLUGIN_PATH) + "'").status, 0);
    // Two builds of the unchanged project: the second keeps what the first gave.
    ProgramRun first = Halvex("build '" + folder_->Native("project") + "'");
    ASSERT_EQ(first.status, 0) << first.out;
    firstValues_ = Www("VALUES.XML");
    projectAfterFirst_ = folder_->Read("project/Tarnwell/Pages.xml");
    ProgramRun second = Halvex("build '" + folder_->Native("project") + "'");
    ASSERT_EQ(second.status, 0) << second.out;
  }
  static void TearDownTestSuite() { folder_.reset(); }

  static ProgramRun Halvex(const std::string& arguments) {
    return RunProgram("HALVEX_HOME='" + folder_->Native("home") + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments);
  }
  static std::string Www(const std::string& file) { return folder_->Read("project/SendRoot/WWW/" + file); }

  // The PLC of the host project with its presets, serving the built tree.
  void Serve() {
    project_ = ReadHostProject(folder_->Native("project"));
    variables_ = VariableTable(project_);
    for (const HostPresetDecl& p : project_.presets)
      plc_.Memory().Write(p.area, p.address, static_cast<std::uint32_t>(p.bytes.size()), p.bytes.data());
    server_ =
        std::make_unique<PlcWebServer>(plc_, project_, variables_,
                                       PlcWebOptions{folder_->Native("project/SendRoot"),
                                                     folder_->Native("project/Tarnwell/Pages_var.xml"), true, ""});
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_->Start(0));
    client_->set_read_timeout(10, 0);
  }
  std::string Get(const std::string& path) {
    const auto answer = client_->Get(path);
    return answer ? answer->body : "<no answer>";
  }
  void Post(const std::string& path, const std::string& body) {
    client_->Post(path, body, "application/x-www-form-urlencoded");
  }

  static std::unique_ptr<testsupport::TempFolder> folder_;
  static std::string firstValues_;
  static std::string projectAfterFirst_;
  HostProject project_;
  VariableTable variables_;
  SimulatedPlc plc_;
  std::unique_ptr<PlcWebServer> server_;
  std::unique_ptr<httplib::Client> client_;
};

std::unique_ptr<testsupport::TempFolder> BuiltPages::folder_;
std::string BuiltPages::firstValues_;
std::string BuiltPages::projectAfterFirst_;

TEST_F(BuiltPages, ACanvasPageCarriesTheDataEntryOfItsBufferAndThePlcFillsIt) {
  ASSERT_EQ(EntryNames(Www("CANVAS.XML"), "DATA").size(), 1u) << Www("CANVAS.XML");
  EXPECT_EQ(AttributeOf(Www("CANVAS.XML"), "<DATA", "ML"), "87");  // the whole structure
  Serve();
  const std::string served = Get("/CANVAS.XML");
  EXPECT_EQ(AttributeOf(served, "<DATA", "VALUE").substr(0, 8), "C5010000") << served;
}

// The entries of the values page, as they are named and as the PLC fills
// them: the edit fields as the designer shows them (the decimals of a REAL,
// the length and zero fill of a WORD); an enumeration, which the host types
// "ENUM", as an unsigned byte with nothing of its list; a colour rectangle's
// UDINT in the hexadecimal digits that GetColor reads.
TEST_F(BuiltPages, TheValuesPageNamesItsVariablesAsTheirObjectsShowThem) {
  const struct {
    std::size_t entry;
    const char* identifier;  // after "__T<number>.04_"
    const char* served;
  } rows[] = {
      {0, "REAL_.1f", "38.6"},
      {1, "WORD_04X", "001A"},
      {2, "USINT_u", "2"},
      {3, "UDINT_X", "3CAA28"},
  };
  const std::vector<std::string> inputs = EntryNames(Www("VALUES.XML"), "INPUT");
  ASSERT_EQ(inputs.size(), 5u) << Www("VALUES.XML");
  Serve();
  const std::string served = Get("/VALUES.XML");
  for (const auto& row : rows) {
    const std::string& name = inputs[row.entry];
    EXPECT_TRUE(std::regex_match(name, std::regex(std::string("__T[0-9A-F]{8}\\.04_") + row.identifier))) << name;
    EXPECT_EQ(AttributeOf(served, "<INPUT NAME=\"" + name + "\"", "VALUE"), row.served) << name;
  }
}

// A touch posts x and y under identifiers of their own, and each reaches its member.
TEST_F(BuiltPages, ATouchWritesBothItsCoordinates) {
  const std::string script = Www("CANVAS.JS");
  std::smatch m;
  ASSERT_TRUE(
      std::regex_search(script, m, std::regex("PostCanvas\\(pd.length>0,gCI\\[0\\],'([^']*)','([^']*)','([^']*)'\\)")))
      << script;
  const std::string x = m[1], y = m[2];
  ASSERT_NE(x, y);
  Serve();
  Post("/CANVAS.XML", x + "=17&" + y + "=23");
  EXPECT_EQ(Get("/~control/value?name=Canvas1.touch.x"), "17");
  EXPECT_EQ(Get("/~control/value?name=Canvas1.touch.y"), "23");
}

TEST_F(BuiltPages, APageWithoutAScriptOfItsOwnLoadsNone) {
  EXPECT_EQ(AttributeOf(Www("PLAIN.XSL"), "<body", "onload"), "");
  EXPECT_EQ(AttributeOf(Www("CANVAS.XSL"), "<body", "onload"), "GetXML('CANVAS.XML'); FunWatchDog();");
}

// The designer gives a drop-down list no height: it keeps the browser's.
TEST_F(BuiltPages, ADropDownListWithoutBorderKeepsItsHeight) {
  const std::string style = AttributeOf(Www("VALUES.XSL"), "<select", "style");
  EXPECT_EQ(style.find("height"), std::string::npos) << style;
}

// Pictures that only a canvas draws are not among the operator panels' images.
TEST_F(BuiltPages, PicturesOnlyACanvasDrawsStayOutOfThePanelsDescription) {
  const ProgramRun description = RunProgram("zcat '" + folder_->Native("project/SendRoot/WWW/TARNWELL.XMZ") + "'");
  ASSERT_EQ(description.status, 0) << description.out;
  EXPECT_NE(description.out.find("<img name=\"lamp_on.png\""), std::string::npos) << description.out;
  EXPECT_EQ(description.out.find("<img name=\"pump_on.png\""), std::string::npos) << description.out;
  EXPECT_TRUE(std::filesystem::exists(folder_->Native("project/SendRoot/WWW/IMAGES/pump_on.png")));
}

}  // namespace

#endif
