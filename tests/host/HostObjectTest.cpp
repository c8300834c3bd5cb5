// The host object: its interfaces by QueryInterface with counted references,
// and the answers of the project manager, variables, IEC variables manager,
// web variable map, project file list, messages, menus and IDE.

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <sstream>

#include "base/ScopeExit.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/HostVariableBrowser.h"
#include "hostapi/IQendPlugin.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/UiBackend.h"
#include "tests/host/FakePlugin.h"
#include "tests/host/HostTestProject.h"

namespace {

template <class I>
I* Ask(HalvexHost& host, REFIID iid) {
  I* p = nullptr;
  EXPECT_EQ(host.Object()->QueryInterface(iid, reinterpret_cast<void**>(&p)), S_OK);
  return p;
}

std::string Take(char* text) {
  std::string s = text ? text : "(null)";
  CoTaskMemFree(text);
  return s;
}

class HostObject : public ::testing::Test {
 protected:
  void SetUp() override { host.OpenProject(DemoProjectFolder()); }
  HalvexHost host;
};

TEST_F(HostObject, AnswersEveryHostInterfaceAndCountsReferences) {
  const IID* iids[] = {&IID_IUnknown,          &IID_IQendProjectManager,
                       &IID_IQendMenu,         &IID_IQendVariables,
                       &IID_IHalvexWebTdiMap,  &IID_IQendMessages,
                       &IID_IQendProject,      &IID_IHalvexSyncedPlcRead,
                       &IID_IHalvexCommLoopEx, &IID_IConnectionPointContainer,
                       &IID_IQendCpm,          &IID_IHalvexIDE,
                       &IID_IQendTextEditor,   &IID_IHalvexPlcControl,
                       &IID_IQendLanguage,     &IID_IIECManVariables,
                       &IID_IQendApp,          &IID_IQendCompiler,
                       &IID_IQendWindows,      &IID_IQendOptionsStorageStreams};
  std::vector<IUnknown*> taken;
  for (const IID* iid : iids) {
    IUnknown* p = nullptr;
    ASSERT_EQ(host.Object()->QueryInterface(*iid, reinterpret_cast<void**>(&p)), S_OK);
    ASSERT_NE(p, nullptr);
    taken.push_back(p);
  }
  EXPECT_EQ(host.TotalReferences(), std::size(iids));
  // One identity: any part answers IUnknown with the same pointer.
  IUnknown* identity = nullptr;
  taken[5]->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  EXPECT_EQ(identity, host.Object());
  identity->Release();
  // The menu asked through the messages part is the menu part.
  IQendMenu* menu = nullptr;
  taken[5]->QueryInterface(IID_IQendMenu, reinterpret_cast<void**>(&menu));
  EXPECT_EQ(static_cast<IUnknown*>(menu), taken[2]);
  menu->Release();

  for (IUnknown* p : taken) p->Release();
  EXPECT_EQ(host.TotalReferences(), 0u);
  // The log keeps the order: each interface taken, the identity and menu
  // asked through the messages part, then everything given back.
  std::vector<std::string> log = host.ReferenceLog();
  ASSERT_EQ(log.size(), 2 * std::size(iids) + 4);
  EXPECT_EQ(log[0], "+IUnknown");
  EXPECT_EQ(log[2], "+IQendMenu");
  EXPECT_EQ(log[std::size(iids)], "+IUnknown");
  EXPECT_EQ(log[std::size(iids) + 1], "-IUnknown");
  EXPECT_EQ(log[std::size(iids) + 2], "+IQendMenu");
  EXPECT_EQ(log.back(), "-IQendOptionsStorageStreams");
  host.ClearReferenceLog();
  EXPECT_TRUE(host.ReferenceLog().empty());
  EXPECT_EQ(host.OverReleases(), 0);
  // A release too many is counted, not obeyed.
  taken[1]->Release();
  EXPECT_EQ(host.OverReleases(), 1);

  // A host without an interface.
  EXPECT_TRUE(host.SetInterfaceHidden("IHalvexWebTdiMap", true));
  IUnknown* map = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(host.Object()->QueryInterface(IID_IHalvexWebTdiMap, reinterpret_cast<void**>(&map)), E_NOINTERFACE);
  EXPECT_EQ(map, nullptr);
  EXPECT_TRUE(host.SetInterfaceHidden("IHalvexWebTdiMap", false));
  ASSERT_EQ(host.Object()->QueryInterface(IID_IHalvexWebTdiMap, reinterpret_cast<void**>(&map)), S_OK);
  map->Release();
  EXPECT_FALSE(host.SetInterfaceHidden("IQendNothing", true));

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(host.Object()->QueryInterface(IID_IQendPlugin, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(host.Object()->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(HostObject, ProjectManagerNamesFoldersAndList) {
  auto* pm = Ask<IQendProjectManager>(host, IID_IQendProjectManager);
  char* text = nullptr;
  ASSERT_EQ(pm->GetProjectName(&text), S_OK);
  EXPECT_EQ(Take(text), "Demo");
  ASSERT_EQ(pm->GetProjectFolder(&text), S_OK);
  EXPECT_EQ(Take(text), DemoProjectFolder() + "\\");
  ASSERT_EQ(pm->GetGlobalFolder(&text), S_OK);
  EXPECT_EQ(Take(text), std::string(TARNWELL_SOURCE_DIR) + "/examples/Global\\");
  ASSERT_EQ(pm->GetProjectList(&text), S_OK);
  EXPECT_EQ(Take(text), "Demo|" + DemoProjectFolder() + "\\halvex.prj\r\n");
  BSTR wide = nullptr;
  ASSERT_EQ(pm->GetProjectNameW(&wide), S_OK);
  EXPECT_EQ(BstrToWide(wide), u"Demo");
  SysFreeString(wide);
  EXPECT_EQ(pm->GetProjectName(nullptr), E_POINTER);
  EXPECT_EQ(pm->GetProjectNameW(nullptr), E_POINTER);
  EXPECT_EQ(pm->GetOwnerComponent(nullptr), E_POINTER);
  EXPECT_EQ(pm->GetProjectList(nullptr), E_POINTER);

  host.CloseProject();
  ASSERT_EQ(pm->GetProjectName(&text), S_OK);
  EXPECT_EQ(Take(text), "");
  EXPECT_EQ(pm->GetProjectNameW(&wide), E_FAIL);
  pm->Release();
}

TEST_F(HostObject, VariablePositionsAndWebTdiMap) {
  auto* vars = Ask<IQendVariables>(host, IID_IQendVariables);
  std::uint8_t area = 0, size = 0;
  std::uint16_t kind = 0;
  std::uint32_t address = 0;
  ASSERT_EQ(vars->GetVariablePosition("Lamp", &area, &kind, &address, &size), S_OK);
  EXPECT_EQ(area, 1) << "Y";
  EXPECT_EQ(kind, 7);
  EXPECT_EQ(address, 0u);
  EXPECT_EQ(size, 1);
  ASSERT_EQ(vars->GetVariablePosition("Canvas2.touch.color", &area, &kind, &address, &size), S_OK);
  EXPECT_EQ(area, 4) << "T";
  EXPECT_EQ(kind, 10);
  EXPECT_EQ(address, 1024u + 16u);
  EXPECT_EQ(size, 4);
  ASSERT_EQ(vars->GetVariablePosition("Canvas1", &area, &kind, &address, &size), S_OK);
  EXPECT_EQ(size, 255) << "sizes above a byte are reported as 255";
  ASSERT_EQ(vars->GetVariablePosition("Pressure", &area, &kind, &address, &size), S_OK);
  EXPECT_EQ(kind, 13);
  area = 9;
  EXPECT_TRUE(FAILED(vars->GetVariablePosition("Nope", &area, &kind, &address, &size)));
  EXPECT_EQ(area, 9) << "a failed query leaves the outputs";
  EXPECT_TRUE(FAILED(vars->GetVariablePosition(nullptr, &area, &kind, &address, &size)));
  EXPECT_EQ(vars->GetVariablePosition("Lamp", nullptr, &kind, &address, &size), E_POINTER);
  vars->Release();

  auto* map = Ask<IHalvexWebTdiMap>(host, IID_IHalvexWebTdiMap);
  WebTdiVarInfo info;
  EXPECT_EQ(map->WebTdi_AddVariable("Speed", &info), E_UNEXPECTED) << "no pass open";
  ASSERT_EQ(map->WebTdi_OpenPass(), S_OK);
  EXPECT_EQ(map->WebTdi_OpenPass(), E_UNEXPECTED);
  ASSERT_EQ(map->WebTdi_AddVariable("Speed", &info), S_OK);
  EXPECT_EQ(info.tdi, 21u);
  EXPECT_EQ(info.code, 4);
  EXPECT_EQ(info.offset, 2u);
  EXPECT_EQ(info.sizeCode, 9);
  EXPECT_EQ(info.areaCode, 3) << "R";
  // A member has a number of its own, above the numbers the project gives.
  ASSERT_EQ(map->WebTdi_AddVariable("Recipes[1].speed", &info), S_OK);
  EXPECT_GT(info.tdi, 74u);
  EXPECT_EQ(info.extra, 28u + 17u);
  ASSERT_EQ(map->WebTdi_AddVariable("StopButton", &info), S_OK);
  EXPECT_EQ(info.bit, 1);
  EXPECT_EQ(info.code, 1);
  EXPECT_TRUE(FAILED(map->WebTdi_AddVariable("Nope", &info)));
  EXPECT_EQ(map->WebTdi_AddVariable("Speed", nullptr), E_POINTER);
  ASSERT_EQ(map->WebTdi_ClosePass(), S_OK);
  EXPECT_EQ(map->WebTdi_ClosePass(), E_UNEXPECTED);
  ASSERT_EQ(host.TdiMap().LastPass().size(), 3u);
  EXPECT_EQ(host.TdiMap().LastPass()[2].name, "StopButton");
  ASSERT_EQ(map->WebTdi_GetVarInfo("Canvas1.buf[3]", &info), S_OK);
  const std::uint32_t element3 = info.tdi;
  EXPECT_EQ(info.extra, 12u + 8u + 3u + 3u);
  ASSERT_EQ(map->WebTdi_GetVarInfo("Canvas1.buf[2]", &info), S_OK);
  EXPECT_EQ(info.tdi + 1, element3);
  map->Release();
}

// The position query and the web variable map name a variable's area by the
// code the plug-in reads (0 X, 1 Y, 2 S, 3 R, 4 T); the map's memory code
// counts the areas from 1.
TEST_F(HostObject, EveryAreaIsAnsweredWithItsCode) {
  struct Case {
    const char* name;
    std::uint8_t areaCode;
    std::uint8_t memoryCode;
    std::uint32_t address;
  } cases[] = {
      {"StartButton", 0, 1, 0},
      {"OutputWord", 1, 2, 2},
      {"CycleCount", 2, 3, 0},
      {"Speed", 3, 4, 2},
      {"Canvas2.touch.color", 4, 5, 1040},
  };
  auto* vars = Ask<IQendVariables>(host, IID_IQendVariables);
  auto* map = Ask<IHalvexWebTdiMap>(host, IID_IHalvexWebTdiMap);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint8_t area = 0xEE, size = 0;
    std::uint16_t kind = 0;
    std::uint32_t address = 0;
    ASSERT_EQ(vars->GetVariablePosition(c.name, &area, &kind, &address, &size), S_OK);
    EXPECT_EQ(area, c.areaCode);
    EXPECT_EQ(address, c.address);
    WebTdiVarInfo info;
    info.areaCode = 0xEE;
    ASSERT_EQ(map->WebTdi_GetVarInfo(c.name, &info), S_OK);
    EXPECT_EQ(info.areaCode, c.areaCode);
    EXPECT_EQ(info.code, c.memoryCode);
    EXPECT_EQ(info.offset, c.address);
  }
  map->Release();
  vars->Release();
}

// Numbers follow the declarations, not the order of asking: the variables
// without a number of the project's first, then every member, depth first.
TEST(HostObjectTdi, VariablesWithoutNumbersAndMembersGetNumbersAboveTheProjects) {
  std::string folder = WriteTestProject(
      "project T\nstruct P\n  x INT\n  y INT\nend\nvar a UINT R 0 tdi 7\nvar b UINT R 2\nvar c INT R 4\n"
      "var p P R 6 tdi 3\n");
  HalvexHost host;
  host.OpenProject(folder);
  auto* map = Ask<IHalvexWebTdiMap>(host, IID_IHalvexWebTdiMap);
  const struct {
    const char* name;
    std::uint32_t tdi;
  } asked[] = {{"p.Y", 11}, {"c", 9}, {"p", 3}, {"b", 8}, {"C", 9}, {"p.x", 10}, {"a", 7}};
  map->WebTdi_OpenPass();
  for (const auto& a : asked) {
    WebTdiVarInfo info;
    EXPECT_EQ(map->WebTdi_AddVariable(a.name, &info), S_OK) << a.name;
    EXPECT_EQ(info.tdi, a.tdi) << a.name;
  }
  map->WebTdi_ClosePass();
  map->Release();
  std::filesystem::remove_all(folder);
}

TEST(HostObjectOpen, PlcFilesMemoryAreasAndBadProjects) {
  std::string folder = WriteTestProject(
      "project P\narea R 4096\nplcfile //WWW/PICS/LOGO.BIN logo.bin\nvar big ARRAY[0..1023] OF DWORD R 0\n");
  std::ofstream(folder + "/logo.bin", std::ios::binary) << std::string("\x01\x02\x00\x03", 4);
  HalvexHost host;
  host.OpenProject(folder);
  EXPECT_EQ(host.Plc().Memory().AreaSize(PlcArea::R), 4096u);
  auto file = host.Plc().Files().Find("//www/pics/logo.bin");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->data, (std::vector<std::uint8_t>{1, 2, 0, 3}));
  EXPECT_NE(file->written.bytes[1], 0) << "dated with the local file's time";
  EXPECT_TRUE(host.Plc().Files().Find("//WWW/PICS/")->folder);
  EXPECT_EQ(host.Variables().Resolve("big[1023]")->address, 4092u);

  // A project that cannot be opened leaves the open one as it was.
  std::filesystem::remove(folder + "/logo.bin");
  EXPECT_THROW(host.OpenProject(folder), HostProjectError);
  EXPECT_EQ(host.Project().name, "P");
  try {
    host.OpenProject(folder);
  } catch (const HostProjectError& e) {
    EXPECT_NE(std::string(e.what()).find("halvex.prj:3: cannot read logo.bin"), std::string::npos) << e.what();
  }
  std::filesystem::remove_all(folder);
}

TEST_F(HostObject, IecVariablesManagerTypesMembersAndSizes) {
  auto* iec = Ask<IIECManVariables>(host, IID_IIECManVariables);
  char* type = nullptr;
  char* further = nullptr;
  HostLong code = 0;
  ASSERT_EQ(iec->GetVariableInfo("ClockStamp", "", &type, &further, &code), S_OK);
  EXPECT_EQ(Take(type), "DATE_AND_TIME");
  EXPECT_EQ(Take(further), "");
  EXPECT_EQ(code, 20);
  ASSERT_EQ(iec->GetVariableInfo("canvas1", "", &type, &further, &code), S_OK);
  EXPECT_EQ(Take(type), "STRUCT");
  EXPECT_EQ(Take(further), "TCanvas");
  EXPECT_EQ(code, 24);
  ASSERT_EQ(iec->GetVariableInfo("Message", "", &type, &further, &code), S_OK);
  EXPECT_EQ(Take(type), "STRING[40]");
  Take(further);
  EXPECT_EQ(code, 21);
  ASSERT_EQ(iec->GetVariableInfo("ShiftStart", "", &type, &further, &code), S_OK);
  EXPECT_EQ(Take(type), "TIME_OF_DAY");
  Take(further);
  EXPECT_NE(iec->GetVariableInfo("Nope", "", &type, &further, &code), S_OK);
  EXPECT_EQ(type, nullptr);
  EXPECT_EQ(code, -1);
  EXPECT_NE(iec->GetVariableInfo("", "", &type, &further, &code), S_OK);
  EXPECT_EQ(iec->GetVariableInfo("Speed", "", nullptr, &further, &code), E_POINTER);

  // The members a drawing canvas must have, as the canvas check asks them.
  char* members = nullptr;
  ASSERT_EQ(iec->GetMembers("Canvas1", "", &members), S_OK);
  EXPECT_EQ(Take(members), "info\r\ntouch\r\nbufHead\r\nbuf\r\n");
  ASSERT_EQ(iec->GetMembers("Canvas1.info", "", &members), S_OK);
  EXPECT_EQ(Take(members), "ver\r\nflags\r\nmaxLen\r\nactLen\r\nmacroptr\r\n");
  ASSERT_EQ(iec->GetMembers("Canvas1.touch", "", &members), S_OK);
  EXPECT_EQ(Take(members), "x\r\ny\r\ncolor\r\n");
  ASSERT_EQ(iec->GetMembers("Canvas1.bufHead", "", &members), S_OK);
  EXPECT_EQ(Take(members), "dataChg\r\ndataLen\r\n");
  EXPECT_EQ(iec->GetMembers("Speed", "", &members), S_FALSE);
  EXPECT_EQ(members, nullptr);
  EXPECT_TRUE(FAILED(iec->GetMembers("Nope", "", &members)));

  HostLong size = 0;
  ASSERT_EQ(iec->GetVariableSize("Canvas1", &size), S_OK);
  EXPECT_EQ(size, 535);
  ASSERT_EQ(iec->GetVariableSize("WideText", &size), S_OK);
  EXPECT_EQ(size, 42);
  EXPECT_TRUE(FAILED(iec->GetVariableSize("Nope", &size)));

  char* types = nullptr;
  ASSERT_EQ(iec->GetTypeList(&types, 0), S_OK);
  EXPECT_EQ(Take(types),
            "TCanvasInfo\r\nTCanvasTouch\r\nTCanvasBufHead\r\nTCanvas\r\nTPanelIn\r\nTPanelOut\r\nTRecipe\r\n");

  // The browsers answer what is scripted, in order; unscripted they are cancelled.
  host.IecVariables().ScriptBrowser(std::string("Speed"));
  host.IecVariables().ScriptBrowser(std::nullopt);
  host.IecVariables().ScriptBrowser(std::string("Canvas2"));
  char* chosen = nullptr;
  ASSERT_EQ(iec->BrowseVariable("Sp", &chosen, 15), S_OK);
  EXPECT_EQ(Take(chosen), "Speed");
  EXPECT_EQ(iec->BrowseVariable("Speed", &chosen, 15), S_FALSE);
  EXPECT_EQ(chosen, nullptr);
  HostLong value = 5;
  ASSERT_EQ(iec->BrowseTypedVariable("", "TCanvas", &chosen, &value), S_OK);
  EXPECT_EQ(Take(chosen), "Canvas2");
  EXPECT_EQ(value, 0);
  EXPECT_EQ(iec->BrowseVariable("", &chosen, 15), S_FALSE);
  EXPECT_EQ(iec->BrowseVariable("", nullptr, 15), E_POINTER);
  auto calls = host.IecVariables().BrowserCalls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].current, "Sp");
  EXPECT_EQ(calls[0].flags, 15);
  EXPECT_EQ(calls[2].typeName, "TCanvas");
  iec->Release();
  EXPECT_EQ(host.TotalReferences(), 0u);
}

// On a screen an unscripted browser is the host's window: the variables of
// the type asked for, the current one chosen; the row the person double-clicks
// is the answer, Cancel answers none.
TEST_F(HostObject, BrowserOnAScreenOffersTheVariablesOfTheTypeForAPersonToChoose) {
  TUiBackend screen;
  SetUiBackend(&screen);
  ScopeExit headless([] {
    SetUiBackend(nullptr);
    Driver::Reset();
  });
  std::vector<std::string> rows;
  std::optional<std::string> positioned;
  Driver::OnModal("THostVariableBrowser", [&](TCustomForm& form) {
    auto& browser = dynamic_cast<THostVariableBrowser&>(form);
    for (int i = 0; i < browser.lbVariables->Items()->Count(); ++i)
      rows.push_back(browser.lbVariables->Items()->Strings(i));
    positioned = browser.Chosen();
    const TRect row = browser.lbVariables->ItemRect(2);
    Driver::DoubleClick(browser.lbVariables, row.Left + 4, row.Top + 2);
    return static_cast<int>(mrCancel);
  });
  auto* iec = Ask<IIECManVariables>(host, IID_IIECManVariables);
  char* chosen = nullptr;
  HostLong value = 5;
  ASSERT_EQ(iec->BrowseTypedVariable("flow", "REAL", &chosen, &value), S_OK);
  EXPECT_EQ(Take(chosen), "OutletPressure");
  EXPECT_EQ(rows, (std::vector<std::string>{"Temperature", "Flow", "OutletPressure"}));
  EXPECT_EQ(positioned, "Flow");
  Driver::Reset();
  Driver::OnModal("THostVariableBrowser", [&](TCustomForm& form) {
    positioned = dynamic_cast<THostVariableBrowser&>(form).Chosen();
    return static_cast<int>(mrCancel);
  });
  EXPECT_EQ(iec->BrowseVariable("Recipes[1].speed", &chosen, 15), S_FALSE);
  EXPECT_EQ(chosen, nullptr);
  EXPECT_EQ(positioned, "Recipes");
  EXPECT_EQ(host.IecVariables().BrowserCalls().back().answer, std::nullopt);
  iec->Release();
}

TEST_F(HostObject, ProjectFileListAddsRemovesAndMoves) {
  auto* project = Ask<IQendProject>(host, IID_IQendProject);
  char* list = nullptr;
  ASSERT_EQ(project->GetFileList(&list), S_OK);
  EXPECT_EQ(Take(list), "main.st\r\nio.st\r\n");
  HostLong id = 0, again = 0;
  ASSERT_EQ(project->AddFile((DemoProjectFolder() + "\\Tarnwell\\TarnwellConst.ST").c_str(), 1, "", &id), S_OK);
  EXPECT_EQ(project->AddFile((DemoProjectFolder() + "/tarnwell/tarnwellconst.st").c_str(), 1, "", &again), S_FALSE);
  EXPECT_EQ(again, id);
  ASSERT_EQ(project->GetFileList(&list), S_OK);
  EXPECT_EQ(Take(list), "main.st\r\nio.st\r\nTarnwell\\TarnwellConst.ST\r\n");
  ASSERT_EQ(project->MoveFile(id, 0, VARIANT_FALSE), S_OK);
  EXPECT_EQ(host.Files().Files()[0].name, "Tarnwell\\TarnwellConst.ST");
  EXPECT_EQ(project->MoveFile(id, 3, VARIANT_FALSE), E_INVALIDARG);
  EXPECT_EQ(project->MoveFile(999, 0, VARIANT_FALSE), E_INVALIDARG);
  ASSERT_EQ(project->RemoveFile(0, VARIANT_FALSE), S_OK);
  EXPECT_EQ(project->RemoveFile(2, VARIANT_FALSE), E_INVALIDARG);
  EXPECT_EQ(project->RemoveFile(-1, VARIANT_FALSE), E_INVALIDARG);
  EXPECT_EQ(project->AddFile("", 1, "", &id), E_INVALIDARG);
  EXPECT_EQ(project->AddFile("/x/a.st", 1, "", nullptr), E_POINTER);
  ASSERT_EQ(project->AddFile("/elsewhere/a.st", 1, "", &id), S_OK);
  EXPECT_EQ(host.Files().Files().back().name, "/elsewhere/a.st");
  project->Release();
}

TEST_F(HostObject, MessagesAreKeptAndPrintable) {
  auto* messages = Ask<IQendMessages>(host, IID_IQendMessages);
  auto* compiler = Ask<IQendCompiler>(host, IID_IQendCompiler);
  messages->AddMessage("first", "a.xml");
  messages->ResetMessages(1, VARIANT_FALSE);
  compiler->AddCompilerMessage(0, 0, "Tarnwell compilation time: 0:01.250", "Tarnwell", 1, 1);
  messages->AddMessage("no source", nullptr);
  EXPECT_EQ(messages->AddMessage(nullptr, "x"), E_POINTER);
  EXPECT_EQ(host.Messages().All().size(), 3u);
  EXPECT_EQ(host.Messages().Window().size(), 2u);
  EXPECT_EQ(host.Messages().ResetCount(), 1);
  std::ostringstream printed;
  host.Messages().Print(printed);
  EXPECT_EQ(printed.str(), "[a.xml] first\ncompiler: [Tarnwell] Tarnwell compilation time: 0:01.250\nno source\n");
  messages->Release();
  compiler->Release();
}

TEST_F(HostObject, MenuCommandsReachTheirSinks) {
  FakePlugin plugin;
  auto* menu = Ask<IQendMenu>(host, IID_IQendMenu);
  HostLong image = 0, id = 0;
  ASSERT_EQ(menu->AddBitmap(nullptr, &image), S_OK);
  EXPECT_EQ(image, -1);
  EXPECT_EQ(menu->AddBitmap(nullptr, nullptr), E_POINTER);
  // The host copies the caller's bitmap into its 16 x 16 images: a bitmap
  // twice as wide gives two pictures, the index is the first one's.
  {
    TBitmap wide;
    wide.SetSize(32, 16);  // white, so white is transparent
    wide.Canvas->Pixels[20][3] = clRed;
    ASSERT_EQ(menu->AddBitmap(reinterpret_cast<HBITMAP>(&wide), &image), S_OK);
    EXPECT_EQ(image, 0);
    TBitmap small;
    small.SetSize(16, 16);
    ASSERT_EQ(menu->AddBitmap(reinterpret_cast<HBITMAP>(&small), &image), S_OK);
    EXPECT_EQ(image, 2);
  }
  ASSERT_EQ(host.Menu().Images()->Count(), 3);
  TBitmap second;
  ASSERT_TRUE(host.Menu().Images()->GetBitmap(1, &second));
  EXPECT_EQ(static_cast<TColor>(second.Canvas->Pixels[4][3]), clRed);
  EXPECT_EQ(static_cast<TColor>(second.Canvas->Pixels[0][0]), clBlack) << "the key colour is transparent";
  ASSERT_EQ(host.Menu().Bitmaps().size(), 2u);
  EXPECT_EQ(host.Menu().Bitmaps()[0].width, 32);
  ASSERT_EQ(menu->RegisterCommand("Tarnwell", "Tarnwell", 0, image, plugin.Unknown(), VARIANT_FALSE, &id), S_OK);
  EXPECT_EQ(plugin.refs.load(), 1) << "the host keeps the sink";
  TMenuItem* item = nullptr;
  ASSERT_EQ(menu->PlaceInMenu(id, 8, 0, VARIANT_FALSE, &item), S_OK);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Caption(), "Tarnwell");
  item->SetEnabled(false);
  TToolButton* button = nullptr;
  ASSERT_EQ(menu->PlaceOnToolbar(id, 0, VARIANT_FALSE, &button), S_OK);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->ToolBar(), host.Menu().ToolBar(0));
  EXPECT_EQ(button->ImageIndex(), 2);
  // Placed again: the same button.
  TToolButton* again = nullptr;
  ASSERT_EQ(menu->PlaceOnToolbar(id, 0, VARIANT_FALSE, &again), S_OK);
  EXPECT_EQ(again, button);
  button->SetEnabled(false);
  EXPECT_EQ(host.Menu().ToolbarLines(), (std::vector<std::string>{"toolbar 0: Tarnwell (image 2, disabled)"}));
  TToolButton* missing = reinterpret_cast<TToolButton*>(1);
  EXPECT_EQ(menu->PlaceOnToolbar(id + 1, 0, VARIANT_FALSE, &missing), E_INVALIDARG);
  EXPECT_EQ(missing, nullptr);
  TMenuItem* none = nullptr;
  EXPECT_EQ(menu->PlaceInMenu(id + 1, 8, 0, VARIANT_FALSE, &none), E_INVALIDARG);

  // A help entry without an item gets one made by the host; the caller's own
  // item is hung into the help menu as it is.
  TMenuItem* submenu = nullptr;
  ASSERT_EQ(menu->AddHelpItem(9, "HELP", &submenu), S_OK);
  ASSERT_NE(submenu, nullptr);
  submenu->SetCaption("Tools");
  TMenuItem* own = new TMenuItem(nullptr);
  own->SetCaption("Tarnwell");
  ASSERT_EQ(menu->AddHelpItem(9, "TarnwellHELP", &own), S_OK);
  EXPECT_EQ(own->Parent(), submenu->Parent());
  own->Parent()->Remove(own);
  submenu->Add(own);
  EXPECT_EQ(menu->AddHelpItem(9, "x", nullptr), E_POINTER);
  EXPECT_EQ(host.Menu().MenuLines(),
            (std::vector<std::string>{"menu 8 Plug-ins: Tarnwell (disabled)",
                                      "menu 9 Help: Contents, About Halvex, Tools{Tarnwell}"}));
  EXPECT_EQ(host.Menu().BitmapCount(), 2);
  EXPECT_EQ(host.Menu().HelpMenuLines(), (std::vector<std::string>{"Help|Tools|Tarnwell"}));
  ASSERT_EQ(host.Menu().Commands().size(), 1u);
  EXPECT_TRUE(host.Menu().Commands()[0].inMenu);
  EXPECT_EQ(host.Menu().Commands()[0].menu, 8);
  EXPECT_TRUE(host.Menu().Commands()[0].onToolbar);
  ASSERT_EQ(host.Menu().HelpEntries().size(), 2u);
  EXPECT_TRUE(host.Menu().HelpEntries()[0].madeByHost);
  EXPECT_FALSE(host.Menu().HelpEntries()[1].madeByHost);

  // Clicking the host's item or button runs the command (when enabled).
  item->SetEnabled(true);
  item->Click();
  EXPECT_EQ(plugin.calls.back(), "OnMenuCommand " + std::to_string(id));
  plugin.calls.clear();
  Driver::Click(button);
  EXPECT_TRUE(plugin.calls.empty());
  button->SetEnabled(true);
  Driver::Click(button);
  EXPECT_EQ(plugin.calls.back(), "OnMenuCommand " + std::to_string(id));
  plugin.calls.clear();
  ASSERT_EQ(host.Menu().Choose(id), S_OK);
  EXPECT_EQ(plugin.calls.back(), "OnMenuCommand " + std::to_string(id));
  EXPECT_EQ(host.Menu().Choose(id + 5), E_INVALIDARG);
  ASSERT_EQ(menu->RemoveCommand(id), S_OK);
  EXPECT_EQ(plugin.refs.load(), 0);
  EXPECT_EQ(host.Menu().MenuLines()[0], "menu 8 Plug-ins:");
  EXPECT_EQ(host.Menu().ToolbarLines(), (std::vector<std::string>{"toolbar 0:"}));
  // At unload the items the plug-in made leave the host's menus.
  EXPECT_EQ(host.Menu().RemoveForeignItems(), 1);
  EXPECT_EQ(host.Menu().MenuLines()[1], "menu 9 Help: Contents, About Halvex, Tools");
  EXPECT_TRUE(host.Menu().HelpMenuLines().empty());
  EXPECT_EQ(menu->RemoveCommand(id), E_INVALIDARG);
  EXPECT_EQ(menu->RegisterCommand("x", "x", 0, 0, nullptr, VARIANT_FALSE, &id), E_INVALIDARG);
  menu->Release();
}

TEST_F(HostObject, IdeDockingStateSavedAndRestored) {
  auto* ide = Ask<IHalvexIDE>(host, IID_IHalvexIDE);
  auto* windows = Ask<IQendWindows>(host, IID_IQendWindows);
  TForm designer(nullptr);
  designer.SetName("FormDesign1");
  TForm other(nullptr);
  TCustomForm* form = &designer;
  VARIANT_BOOL visible = VARIANT_TRUE;
  EXPECT_EQ(ide->IsDockedPageVisible(form, &visible), E_INVALIDARG);
  ASSERT_EQ(ide->InsertDockableForm(form), S_OK);
  ASSERT_EQ(ide->IsDockedPageVisible(form, &visible), S_OK);
  EXPECT_EQ(visible, VARIANT_FALSE);
  ide->ShowDockableForm(form);
  ide->SetTabImage(form, 64);
  windows->SetDockPosition(3, form);
  ASSERT_EQ(ide->IsDockedPageVisible(form, &visible), S_OK);
  EXPECT_EQ(visible, VARIANT_TRUE);
  host.Ide().SetPageVisible(form, false);
  ide->IsDockedPageVisible(form, &visible);
  EXPECT_EQ(visible, VARIANT_FALSE);
  host.Ide().SetPageVisible(form, true);

  DesktopStorage storage = &host.Desktop();
  ASSERT_EQ(ide->SaveDockingState(form, storage, "FormDesign1"), S_OK);
  ASSERT_EQ(ide->SaveFurtherState(form, storage), S_OK);
  ASSERT_EQ(ide->FinishSave(form, storage), S_OK);
  EXPECT_EQ(ide->SaveDockingState(form, reinterpret_cast<DesktopStorage>(0x5), "X"), E_INVALIDARG);
  ASSERT_EQ(ide->SaveDockingState(nullptr, storage, "Empty"), S_OK);
  ASSERT_EQ(ide->RemoveDockableForm(form), S_OK);
  EXPECT_TRUE(host.Ide().Forms().empty());

  TCustomForm* again = &other;
  ASSERT_EQ(ide->RestoreDockingState(again, storage, "FormDesign1"), S_OK);
  ASSERT_EQ(ide->RestoreFurtherState(again, storage), S_OK);
  HostLong position = 0;
  ASSERT_EQ(windows->GetDockPosition(again, &position), S_OK);
  EXPECT_EQ(position, 3);
  HostDockedForm state = host.Ide().Forms().at(again);
  EXPECT_TRUE(state.docked);
  EXPECT_TRUE(state.shown);
  EXPECT_EQ(state.tabImage, 64);
  EXPECT_EQ(ide->RestoreDockingState(again, storage, "Missing"), S_FALSE);

  ide->SetStayOnTop(again, VARIANT_TRUE);
  ide->SetCanDock(again, VARIANT_FALSE);
  VARIANT_BOOL top = 0, dock = -1;
  ide->GetStayOnTop(again, &top);
  ide->GetCanDock(again, &dock);
  EXPECT_EQ(top, VARIANT_TRUE);
  EXPECT_EQ(dock, VARIANT_FALSE);
  EXPECT_EQ(ide->GetCanDock(again, nullptr), E_POINTER);
  EXPECT_GE(host.Ide().Calls().size(), 12u);
  EXPECT_EQ(host.Ide().Calls()[0], "InsertDockableForm(FormDesign1)");
  EXPECT_EQ(host.Ide().Calls()[4], "SaveDockingState(FormDesign1, FormDesign1)");

  IUnknown* streams = nullptr;
  EXPECT_EQ(ide->QueryInterface(IID_IQendOptionsStorageStreams, reinterpret_cast<void**>(&streams)), S_OK);
  streams->Release();
  ide->Release();
  windows->Release();
}

TEST(HostDesktop, StorageRoundTripAndBadFiles) {
  std::string folder = WriteTestProject("project D\n");
  HostDesktopStorage storage;
  storage.values["FormDesign1"] = "docked=1;shown=1";
  storage.values["a=b\\c"] = "line1\r\nline2 = x\\";
  storage.values[""] = "";
  ASSERT_TRUE(storage.Save(folder + "/desktop.txt"));
  HostDesktopStorage back;
  ASSERT_TRUE(back.Load(folder + "/desktop.txt"));
  EXPECT_EQ(back.values, storage.values);

  for (const char* bad : {"no separator\n", "a\\q=1\n", "a=trailing\\\n"}) {
    std::ofstream(folder + "/bad.txt", std::ios::binary) << bad;
    HostDesktopStorage kept = back;
    EXPECT_FALSE(kept.Load(folder + "/bad.txt")) << bad;
    EXPECT_EQ(kept.values, back.values) << "a failed load changes nothing";
  }
  EXPECT_FALSE(back.Load(folder + "/missing.txt"));
  EXPECT_FALSE(storage.Save(folder + "/no/such/folder/desktop.txt"));
  std::filesystem::remove_all(folder);
}

TEST_F(HostObject, SmallServices) {
  auto* app = Ask<IQendApp>(host, IID_IQendApp);
  std::int16_t online = 0;
  ASSERT_EQ(app->IsOnline(&online), S_OK);
  EXPECT_EQ(online, 1);
  host.Plc().SetOnline(false);
  app->IsOnline(&online);
  EXPECT_EQ(online, 0);
  app->Release();

  auto* language = Ask<IQendLanguage>(host, IID_IQendLanguage);
  HostLong index = -1;
  language->GetLanguageIndex(&index);
  EXPECT_EQ(index, 1);
  host.SetLanguage(1031);
  language->GetLanguageIndex(&index);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(LanguageIndexOfLcid(1029), 0);
  EXPECT_EQ(LanguageIndexOfLcid(1045), 5);
  EXPECT_EQ(LanguageIndexOfLcid(1049), 2);
  EXPECT_EQ(LanguageIndexOfLcid(2055), 1);
  language->Release();

  auto* cpm = Ask<IQendCpm>(host, IID_IQendCpm);
  HostLong type = 0;
  ASSERT_EQ(cpm->GetCpmType(&type), S_OK);
  EXPECT_EQ(type, 12);
  cpm->Release();

  auto* editor = Ask<IQendTextEditor>(host, IID_IQendTextEditor);
  std::string file = DemoProjectFolder() + "/main.st";
  HostLong result = 0;
  ASSERT_EQ(editor->CloseFile(file.c_str(), VARIANT_FALSE), S_FALSE);
  ASSERT_EQ(editor->OpenFile(file.c_str(), 0, &result), S_OK);
  EXPECT_EQ(host.TextEditor().OpenFiles(), std::vector<std::string>{file});
  EXPECT_EQ(editor->CloseFile(file.c_str(), VARIANT_FALSE), S_OK);
  EXPECT_TRUE(FAILED(editor->OpenFile((DemoProjectFolder() + "/none.txt").c_str(), 0, &result)));
  EXPECT_EQ(host.TextEditor().Calls().size(), 4u);
  editor->Release();
  EXPECT_EQ(host.TotalReferences(), 0u);
}

}  // namespace
