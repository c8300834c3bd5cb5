// The designer's live view on the demo project with the simulated host: the
// PLC's values in the objects of every kind, input written back to the
// PLC's memory, alarms that switch the shown page and back, the PLC's
// online and offline messages; pictures of the live pages are written next
// to the test (look at them).

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/VariableInfo.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/HostCommLoop.h"
#include "host/sim/HostMainWindow.h"
#include "host/sim/HostSyncedRead.h"
#include "hostapi/HostRecords.h"
#include "hostapi/ProjectEvents.h"
#include "platform/com/ConnectionPoints.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/Timer.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Resources.h"
#include "platform/win/VirtualClock.h"
#include "plugin/CommRecord.h"
#include "plugin/DesignerLink.h"
#include "plugin/LiveBinding.h"
#include "plugin/LiveView.h"
#include "plugin/PluginState.h"
#include "plugin/Switches.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/UploadProgress.h"
#include "project/DebugList.h"
#include "project/FormDebug1.h"
#include "tests/plugin/live/PlcLink.h"
#include "tests/support/BitmapPixels.h"
#include "tests/support/TempFolder.h"

namespace {

class DesignerLive : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    ResetCommLiveView();
    gStartup = TStartupValues();
    RegistryStore::SetPath(folder.Native("registry"));
    std::filesystem::copy(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo", folder.Path() / "demo",
                          std::filesystem::copy_options::recursive);
    AddAlarm();
    host.OpenProject(folder.Native("demo"));
    host.SetMainWindow(window.get());
    ASSERT_EQ(host.QueryInterface(IID_IQendProjectManager, gHost.ifPrjMngr.PutVoid()), S_OK);
    ASSERT_EQ(host.QueryInterface(IID_IHalvexIDE, gHost.ifHalvexIDE.PutVoid()), S_OK);
    ASSERT_EQ(host.QueryInterface(IID_IQendVariables, gHost.ifQendVariables.PutVoid()), S_OK);
    ASSERT_EQ(host.QueryInterface(IID_IIECManVariables, gHost.ifIECManVariables.PutVoid()), S_OK);
    ASSERT_EQ(host.QueryInterface(IID_IHalvexSyncedPlcRead, gHost.ifHalvexSyncedPlcRead.PutVoid()), S_OK);
    livetest::BindCoreProjectManager(gHost.ifPrjMngr.Get());
    // The page-object layer's hooks as the plug-in binds them at load.
    gGridVariableLookup = GetVariableInfo;
    BindLiveViewHooks();
  }
  void TearDown() override {
    for (const auto& [point, cookie] : subscriptions_) point->Unadvise(cookie);
    if (plugin_ != nullptr) plugin_->Release();
    if (FormDesign1 != nullptr && FormDesign1->btnDebug->Down()) FormDesign1->ToggleLiveViewButton();
    DropDesigner();
    Application->ProcessMessages();
    UnbindLiveViewHooks();
    gGridVariableLookup = nullptr;
    livetest::BindCoreProjectManager(nullptr);
    gHost.ifHalvexSyncedPlcRead.Reset();
    gHost.ifIECManVariables.Reset();
    gHost.ifQendVariables.Reset();
    gHost.ifHalvexIDE.Reset();
    gHost.ifPrjMngr.Reset();
    host.SetMainWindow(nullptr);
    window.reset();
    host.CloseProject();
    RegistryStore::SetPath("");
    // Ending the transfers asks the progress window of an upload the test
    // left running to close: it closes and goes now, not in a later test,
    // where its late close would clear that test's window from the shared
    // upload record and cancel that test's upload.
    ResetCommLiveView();
    Application->ProcessMessages();
    EXPECT_EQ(FormUploadProgress, nullptr);
    FreeUiTable();
  }

  // An alarm of the test project, after those it has; the fixture's: a high
  // level shows the diagnostics page.
  void AddAlarm(const std::string& variable = "HighLevel", const std::string& page = "DIAG.XML") {
    const std::string file = folder.Native("demo/Tarnwell/Demo.xml");
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string xml = text.str();
    if (xml.find("</alarms>") == std::string::npos) xml.insert(xml.rfind("</web>"), "\t<alarms>\r\n\t</alarms>\r\n");
    xml.insert(xml.rfind("\t</alarms>"), "\t\t<alarm var=\"" + variable + "\" page=\"" + page + "\" />\r\n");
    std::ofstream(file, std::ios::binary) << xml;
  }

  // The designer shown with the IDE logged in: the live view is on.
  TFormDesign1& OpenLive() {
    ShowDesigner();
    Application->ProcessMessages();
    return *FormDesign1;
  }
  TGridWebElement* Object(const std::string& variable, int kind = -1) {
    for (TGridWebElement* e : FormDesign1->PageObjects())
      if (e->GetVariable() == variable && (kind < 0 || e->Kind() == kind)) return e;
    ADD_FAILURE() << "no object of " << variable;
    return nullptr;
  }
  void ShowPage(const std::string& name) {
    TTreeNodes* nodes = FormDesign1->tvPageList->Items();
    for (int i = 0; i < nodes->Count(); ++i) {
      const auto* page = static_cast<const TmyXmlNode*>(nodes->Item(i)->Data);
      if (page != nullptr && page->name == "page" && page->GetAttr("name") == name) {
        FormDesign1->tvPageList->SetSelected(nodes->Item(i));
        Application->ProcessMessages();
        return;
      }
    }
    FAIL() << name;
  }
  // The host's read of the registered variables, as its announcement asks.
  void Read() {
    SyncedReadDataReady();
    Application->ProcessMessages();
  }
  // One variable pass of the communication loop (its send reaches the host's
  // PLC), and the designer's handling of the message it posts.
  void Pass() {
    CommLoopCallback(&HostSendToPlc, 0, 0, 0, COMM_LOOP_FLAG_ONLINE);
    AdvanceVirtualClock(201);
    CommLoopCallback(&HostSendToPlc, 0, 0, 0, COMM_LOOP_FLAG_ONLINE);
    Application->ProcessMessages();
  }
  std::vector<std::uint8_t> Memory(const std::string& variable) {
    const auto v = host.Variables().Resolve(variable);
    std::vector<std::uint8_t> bytes(v ? v->Size() : 0);
    if (v) host.Plc().Memory().Read(v->area, v->address, v->Size(), bytes.data());
    return bytes;
  }
  void SetMemory(const std::string& variable, std::vector<std::uint8_t> bytes) {
    const auto v = host.Variables().Resolve(variable);
    ASSERT_TRUE(v.has_value()) << variable;
    if (v->bit >= 0)
      host.Plc().Memory().WriteBit(v->area, v->address, v->bit, bytes.at(0) != 0);
    else
      host.Plc().Memory().Write(v->area, v->address, static_cast<std::uint32_t>(bytes.size()), bytes.data());
  }
  // The plug-in object takes the host's events of that interface.
  void Subscribe(REFIID events) {
    if (plugin_ == nullptr) {
      ASSERT_EQ(TTarnwellCoClassImpl::Create(IID_IUnknown, reinterpret_cast<void**>(&plugin_)), S_OK);
    }
    ConnectionPoint* point = host.Events().Point(events);
    std::uint32_t cookie = 0;
    ASSERT_EQ(point->Advise(plugin_->OwnUnknown(), &cookie), S_OK);
    subscriptions_.emplace_back(point, cookie);
  }
  // A click on a file-upload field, with `file` of the test's folder chosen
  // in the file dialog.
  void ChooseForUpload(TGridWebElement* field, const std::string& file) {
    const int handler = Driver::OnDialog("TOpenDialog", [&](TCommonDialog& dialog) {
      static_cast<TOpenDialog&>(dialog).FileName = folder.System(file);
      return true;
    });
    Driver::Click(field);
    Driver::RemoveHandler(handler);
  }
  // The upload through `field` run to its end, and its messages handled.
  void Upload(TGridWebElement* field, const std::string& file) {
    ChooseForUpload(field, file);
    for (int i = 0; i < 20 && gCommRecord.upload.state.load() != 0; ++i)
      CommLoopCallback(&HostSendToPlc, 0, 0, 0, COMM_LOOP_FLAG_ONLINE);
    Application->ProcessMessages();
  }
  // An upload larger than the PLC takes: it fails at the file's creation
  // and its progress window stays open.
  void FailAnUpload() {
    folder.Write("huge.csv", std::string(5u << 20, 'h'));
    Upload(Object("ParamFile"), "huge.csv");
    ASSERT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Failed);
    ASSERT_NE(FormUploadProgress, nullptr);
  }
  // The diagnostics page with its upload field, kept by the high level's alarm.
  TFormDesign1& OpenDiagnostics() {
    SetMemory("HighLevel", {1});
    TFormDesign1& d = OpenLive();
    ShowPage("DIAG.XML");
    return d;
  }
  // The object's in-place editor (made on its first click).
  static TEdit* EditorOf(TGridWebElement* object) {
    for (int i = 0; i < object->ComponentCount(); ++i)
      if (auto* editor = dynamic_cast<TEdit*>(object->Components(i))) return editor;
    return nullptr;
  }
  // The designer painted into `shot` (when given) and into NAME.png.
  void Picture(const char* name, TBitmap* shot = nullptr) {
    const std::string png = std::string(TARNWELL_BINARY_DIR) + "/tests/plugin/live/" + name + ".png";
    // Page objects take their size from what they measure while they paint:
    // painted once to settle, as a screen shows them again.
    TBitmap settle;
    PaintControlToBitmap(FormDesign1, settle);
    TBitmap& picture = shot != nullptr ? *shot : settle;
    PaintControlToBitmap(FormDesign1, picture);
    EXPECT_TRUE(SaveBitmapAsPng(picture, png)) << png;
  }
  // The rectangle `r` of the control (its own coordinates) in the designer's picture.
  static TRect InPicture(TWinControl* control, const TRect& r) {
    const TRect insets = control->BorderInsets();
    const TPoint at = control->ClientToScreen({r.Left - insets.Left, r.Top - insets.Top});
    const TPoint form = FormDesign1->ClientToScreen({0, 0});
    const TRect frame = FormDesign1->BorderInsets();
    return Bounds(at.x - form.x + frame.Left, at.y - form.y + frame.Top, r.Width(), r.Height());
  }

  TTarnwellCoClassImpl* plugin_ = nullptr;
  std::vector<std::pair<ConnectionPoint*, std::uint32_t>> subscriptions_;
  testsupport::TempFolder folder{"designerlive"};
  HalvexHost host;
  std::unique_ptr<HostMainWindow> window = std::make_unique<HostMainWindow>(nullptr);
};

TEST_F(DesignerLive, ShowsThePlcValuesInTheObjectsOfEveryKind) {
  TFormDesign1& d = OpenLive();
  ASSERT_TRUE(d.btnDebug->Down());
  EXPECT_TRUE(d.btnDebug2->Down());
  EXPECT_TRUE(d.FLiveMode);
  EXPECT_FALSE(d.btnSave1->Enabled());
  EXPECT_FALSE(d.btnLabel->Enabled());
  EXPECT_GT(PluginLiveView().EntryCount(), 0);
  EXPECT_GT(gCommRecord.registeredCount.load(), 0);
  EXPECT_EQ(Object("TankLevel")->FormatValue(), "182");
  EXPECT_EQ(Object("OutletPressure")->FormatValue(), "2.35");
  EXPECT_TRUE(Object("{:pump}")->IsValueNonZero());
  EXPECT_FALSE(Object("P2Running")->IsValueNonZero());
  EXPECT_TRUE(Object("ValveOpen")->IsValueNonZero());
  EXPECT_FALSE(Object("HighLevel")->IsValueNonZero());
  EXPECT_EQ(Object("Mode", wkMultiImage)->FValueBuf[0], 2);
  const std::uint8_t colour[3] = {0x28, 0xAA, 0x3C};
  EXPECT_EQ(std::memcmp(Object("StatusColor")->FValueBuf, colour, 3), 0);
  EXPECT_EQ(Object("{::level}")->FValueBuf[0], 46);
  for (TGridWebElement* e : d.PageObjects())
    if (!e->GetVariable().empty()) {
      EXPECT_TRUE(e->FVarValid) << e->GetVariable();
    }
  Picture("designer_live_overview");

  ShowPage("SETTINGS.XML");
  EXPECT_EQ(Object("StartLevel")->FormatValue(), "250");
  EXPECT_EQ(Object("StopLevel")->FormatValue(), "60");
  EXPECT_EQ(Object("Mode", wkDropDown)->FormatValue(), "2");
  EXPECT_FALSE(Object("AlternateTime")->FormatValue().empty());
  Picture("designer_live_settings");

  ShowPage("DIAG.XML");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Object("TrendPicture")->FValueBuf)), "images/logo.bmp");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Object("ParamFile")->FValueBuf)), "PARAMS/STATION.CSV");
  Picture("designer_live_diagnostics");
  // The picture named by the string comes from the project's images.
  TGridWebElement* trend = Object("TrendPicture");
  EXPECT_EQ(trend->FStrImgFile, "images/logo.bmp");
  EXPECT_GT(trend->Width(), 0);
}

// The in-place editors, open, in a picture of the designer: the demo's
// objects have no back colour, so the value shows on the UI's window colour,
// and the open list shows its options there, the chosen one highlighted.
TEST_F(DesignerLive, AnOpenEditorShowsItsValueOnTheWindowColour) {
  OpenLive();
  ShowPage("SETTINGS.XML");
  // The page as a person sees it before the click: the objects have their size.
  TBitmap seen;
  PaintControlToBitmap(FormDesign1, seen);
  const struct {
    const char* variable;
    int kind;
    const char* picture;
  } rows[] = {{"StartLevel", wkEdit, "designer_live_edit_open"}, {"Mode", wkDropDown, "designer_live_dropdown_open"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.variable);
    TGridWebElement* object = Object(row.variable, row.kind);
    Driver::Click(object);
    auto* combo = row.kind == wkDropDown ? object->FComboBox : nullptr;
    TWinControl* editor = combo != nullptr ? static_cast<TWinControl*>(combo) : EditorOf(object);
    ASSERT_NE(editor, nullptr);
    TBitmap shot;
    Picture(row.picture, &shot);
    const TRect field =
        InPicture(editor, Rect(2, 2, editor->Width() - (combo != nullptr ? 20 : 2), editor->Height() - 2));
    const int area = field.Width() * field.Height(), window = CountColor(shot, field, clWindow);
    EXPECT_GT(window, area / 2);
    EXPECT_GT(area - window, 20) << "the value";
    EXPECT_LT(CountColor(shot, field, clBlack), area / 4);
    if (combo == nullptr) continue;
    ASSERT_TRUE(combo->DroppedDown());
    const TRect list = InPicture(combo, combo->DroppedListRect());
    EXPECT_GT(CountColor(shot, list, clWindow), list.Width() * list.Height() / 3);
    EXPECT_GT(CountColor(shot, list, clHighlight), list.Width() * combo->ItemHeight() / 2);
  }
}

TEST_F(DesignerLive, AStringAlarmReadsOnlyItsFirstByte) {
  AddAlarm("Message", "OVERVIEW.XML");
  OpenLive();
  const std::vector<TCommItem>& entries = PluginLiveView().Entries();
  ASSERT_GE(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "HighLevel");
  EXPECT_EQ(entries[1].name, "Message");
  EXPECT_EQ(entries[1].position.size, 1u);
}

TEST_F(DesignerLive, InputIsWrittenBackToThePlc) {
  OpenLive();
  ShowPage("SETTINGS.XML");
  TGridWebElement* start = Object("StartLevel");
  Driver::Click(start);
  TEdit* editor = EditorOf(start);
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->Visible());
  EXPECT_EQ(editor->Text(), "250");
  editor->SetText("300");
  Driver::KeyPress('\r', editor);
  EXPECT_FALSE(editor->Visible());
  EXPECT_TRUE(start->FWritten);
  Pass();  // the value is handed over
  Pass();  // and written
  EXPECT_EQ(Memory("StartLevel"), (std::vector<std::uint8_t>{0x2C, 0x01}));
  EXPECT_FALSE(start->FWritten);

  // Escape drops what was typed.
  TGridWebElement* stop = Object("StopLevel");
  Driver::Click(stop);
  TEdit* stopEditor = EditorOf(stop);
  ASSERT_NE(stopEditor, nullptr);
  stopEditor->SetText("70");
  Driver::KeyPress(27, stopEditor);
  Pass();
  Pass();
  EXPECT_EQ(Memory("StopLevel"), (std::vector<std::uint8_t>{60, 0}));

  // A local drop-down writes the chosen option at once.
  TGridWebElement* mode = Object("Mode", wkDropDown);
  Driver::Click(mode);
  ASSERT_NE(mode->FComboBox, nullptr);
  EXPECT_TRUE(mode->FComboBox->Visible());
  mode->FComboBox->SetItemIndex(1);
  mode->FComboBox->OnChange(mode->FComboBox);
  Pass();
  Pass();
  EXPECT_EQ(Memory("Mode").at(0), 1);
}

TEST_F(DesignerLive, AnAlarmShowsItsPageAndItsEndTheOneBefore) {
  TFormDesign1& d = OpenLive();
  ASSERT_EQ(d.CurrentPage()->GetAttr("name"), "OVERVIEW.XML");
  SetMemory("HighLevel", {1});
  Read();
  EXPECT_TRUE(d.CommTimer1->Enabled());
  EXPECT_EQ(gCommRecord.alarmPageChange.load(), 1);
  Pass();
  AdvanceVirtualClock(50);
  Application->ProcessMessages();
  EXPECT_FALSE(d.CommTimer1->Enabled());
  ASSERT_EQ(d.CurrentPage()->GetAttr("name"), "DIAG.XML");
  EXPECT_EQ(gCommRecord.alarmPageChange.load(), 0);
  Picture("designer_live_alarm");

  SetMemory("HighLevel", {0});
  Pass();  // values valid again after the change
  Read();
  Pass();
  AdvanceVirtualClock(50);
  Application->ProcessMessages();
  EXPECT_EQ(d.CurrentPage()->GetAttr("name"), "OVERVIEW.XML");
}

TEST_F(DesignerLive, AnUploadFieldSendsTheChosenFileAndWritesItsName) {
  TFormDesign1& d = OpenDiagnostics();
  folder.Write("my params.csv", "a;b;c\n1;2;3\n");
  TGridWebElement* field = Object("ParamFile");
  ChooseForUpload(field, "my params.csv");
  ASSERT_NE(gCommRecord.upload.state.load(), 0);
  ASSERT_NE(FormUploadProgress, nullptr);
  EXPECT_FALSE(IsWindowEnabled(d.Handle())) << "the designer waits for the upload";
  const std::string target = gCommRecord.upload.plcPath;
  EXPECT_EQ(target.rfind("//WWW/UPLOAD/MY_P", 0), 0u) << target;
  EXPECT_EQ(target.find(' '), std::string::npos);
  for (int i = 0; i < 20 && gCommRecord.upload.state.load() != 0; ++i)
    CommLoopCallback(&HostSendToPlc, 0, 0, 0, COMM_LOOP_FLAG_ONLINE);
  Application->ProcessMessages();
  EXPECT_EQ(FormUploadProgress, nullptr);
  EXPECT_TRUE(IsWindowEnabled(d.Handle()));
  EXPECT_TRUE(field->FWritten);
  const auto stored = host.Plc().Files().Find(target);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(std::string(stored->data.begin(), stored->data.end()), "a;b;c\n1;2;3\n");
  // The display text "PLC path : file name" goes to the field's variable.
  Pass();
  Pass();
  const std::vector<std::uint8_t> written = Memory("ParamFile");
  const std::string text(reinterpret_cast<const char*>(written.data()));
  EXPECT_EQ(text, target.substr(2) + " : my params.csv");
}

TEST_F(DesignerLive, ASecondUploadWhileAFailedOnesWindowIsOpenSendsTheWholeFile) {
  TFormDesign1& d = OpenDiagnostics();
  // The designer waits for the failed upload's window; an extra live window
  // of the same page does not.
  d.ShowInNewWindow1Click(nullptr);
  Application->ProcessMessages();
  auto* window = dynamic_cast<TFormDebug1*>(d.FDebugList->Items(0));
  ASSERT_NE(window, nullptr);
  TGridWebElement* second = nullptr;
  for (int i = 0; i < window->sbDesign1->ComponentCount(); ++i)
    if (auto* e = dynamic_cast<TGridWebElement*>(window->sbDesign1->Components(i));
        e && e->GetVariable() == "ParamFile")
      second = e;
  ASSERT_NE(second, nullptr);
  ASSERT_NO_FATAL_FAILURE(FailAnUpload());
  folder.Write("params.csv", std::string(700, 'p'));
  Upload(second, "params.csv");
  EXPECT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Complete);
  EXPECT_TRUE(second->FWritten);
  const auto stored = host.Plc().Files().Find(gCommRecord.upload.plcPath);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->data.size(), 700u);
  EXPECT_EQ(FormUploadProgress, nullptr);
  EXPECT_TRUE(IsWindowEnabled(d.Handle()));
  window->Close();
  Application->ProcessMessages();
}

TEST_F(DesignerLive, TheHostsReadAnnouncementUpdatesTheUploadProgress) {
  OpenDiagnostics();
  Subscribe(IID_IQendProjectEvents);
  folder.Write("params.csv", std::string(5000, 'p'));
  ChooseForUpload(Object("ParamFile"), "params.csv");
  // The folders, the file's creation and five blocks.
  for (int i = 0; i < 6; ++i) CommLoopCallback(&HostSendToPlc, 0, 0, 0, COMM_LOOP_FLAG_ONLINE);
  Application->ProcessMessages();
  ASSERT_NE(FormUploadProgress, nullptr);
  EXPECT_EQ(FormUploadProgress->lblProgress->Caption(), "(1.100B/5.000B) 0:00/0:00");
  AdvanceVirtualClock(30000);
  // Only the synchronised read's kind announces read data: the designer asks
  // for the next read, and the progress window shows the upload's state.
  const int reads = host.SyncedRead().ReadCount();
  HostDataReady ready;
  ready.kind = 1;
  host.Events().Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_DATA_READY, &ready);
  EXPECT_EQ(host.SyncedRead().ReadCount(), reads);
  ready.kind = DATA_READY_SYNCED_READ;
  host.Events().Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_DATA_READY, &ready);
  EXPECT_EQ(host.SyncedRead().ReadCount(), reads + 1);
  Application->ProcessMessages();
  EXPECT_EQ(FormUploadProgress->lblProgress->Caption(), "(1.100B/5.000B) 0:30/2:16");
}

TEST_F(DesignerLive, ThePlcGoingOfflineClosesAFailedUploadsWindow) {
  TFormDesign1& d = OpenDiagnostics();
  Subscribe(IID_IHalvexCommStateEvent);
  ASSERT_NO_FATAL_FAILURE(FailAnUpload());
  host.SetOnline(false);
  Application->ProcessMessages();
  EXPECT_EQ(FormUploadProgress, nullptr);
  EXPECT_TRUE(IsWindowEnabled(d.Handle()));
}

TEST_F(DesignerLive, AnExtraLiveWindowShowsItsPageAndClosingItEndsTheLiveView) {
  TFormDesign1& d = OpenLive();
  const int entries = PluginLiveView().EntryCount();
  d.ShowInNewWindow1Click(nullptr);
  Application->ProcessMessages();
  ASSERT_EQ(d.FDebugList->Count(), 1);
  auto* window = dynamic_cast<TFormDebug1*>(d.FDebugList->Items(0));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Caption(), d.Caption() + " (0) - Overview");
  // Its client area takes the page's size (980 x 560): every object is in view.
  EXPECT_EQ(window->ClientWidth(), 980);
  EXPECT_EQ(window->ClientHeight(), 560);
  for (int i = 0; i < window->sbDesign1->ControlCount(); ++i) {
    const TControl* shown = window->sbDesign1->Controls(i);
    EXPECT_LE(shown->Left() + shown->Width(), window->ClientWidth()) << shown->Name();
    EXPECT_LE(shown->Top() + shown->Height(), window->ClientHeight()) << shown->Name();
  }
  // The window's objects are watched too; the alarm once.
  EXPECT_EQ(PluginLiveView().EntryCount(), 2 * entries - 1);
  bool found = false;
  for (int i = 0; i < window->sbDesign1->ComponentCount(); ++i)
    if (auto* e = dynamic_cast<TGridWebElement*>(window->sbDesign1->Components(i));
        e && e->GetVariable() == "TankLevel") {
      found = true;
      EXPECT_EQ(e->FormatValue(), "182");
    }
  EXPECT_TRUE(found);
  window->Close();
  Application->ProcessMessages();
  EXPECT_EQ(d.FDebugList->Count(), 0);
  EXPECT_FALSE(d.btnDebug->Down());
  EXPECT_EQ(PluginLiveView().EntryCount(), 0);
}

TEST_F(DesignerLive, OfflineEndsTheLiveViewUnlessAnUploadRuns) {
  TFormDesign1& d = OpenLive();
  ASSERT_TRUE(d.btnDebug->Down());
  gCommRecord.upload.state.store(3);
  PostMessage(d.Handle(), kMsgDesignerPlcOffline, 0, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(d.btnDebug->Down());
  gCommRecord.upload.state.store(0);
  PostMessage(d.Handle(), kMsgDesignerPlcOffline, 0, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(d.btnDebug->Down());
  EXPECT_FALSE(d.FLiveMode);
  EXPECT_TRUE(d.btnSave1->Enabled());
  EXPECT_EQ(PluginLiveView().EntryCount(), 0);
  EXPECT_EQ(gCommRecord.liveViewOn.load(), 0);
  EXPECT_EQ(host.SyncedRead().SetCount(), 0u);
}

}  // namespace
