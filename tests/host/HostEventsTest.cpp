// Events raised through the connection points to a subscribed sink, the
// compiler-events extension reached by QueryInterface, the synchronised read
// with its data-ready notification, the communication loop reached through
// the host interface, and the PLC communication services' error texts.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/sim/HalvexHost.h"
#include "platform/com/ClassFactory.h"
#include "platform/vcl/Application.h"
#include "tests/host/FakePlugin.h"
#include "tests/host/HostTestProject.h"
#include "tests/host/PlcRequests.h"

namespace {

using namespace std::chrono_literals;

class HostEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    host.OpenProject(DemoProjectFolder());
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(host.Object()->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    for (const IID* iid : {&IID_IQendProjectEvents, &IID_IQendDesktopEvents, &IID_IQendCpmEvents,
                           &IID_IHalvexCommStateEvent, &IID_IQendCompilerEvents, &IID_IHalvexOnlinePlcBackupEvent}) {
      IConnectionPoint* point = nullptr;
      ASSERT_EQ(container->FindConnectionPoint(*iid, &point), S_OK);
      std::uint32_t cookie = 0;
      ASSERT_EQ(point->Advise(plugin.Unknown(), &cookie), S_OK);
      ASSERT_NE(cookie, 0u);
      points.push_back({point, cookie});
    }
    IConnectionPoint* none = nullptr;
    EXPECT_TRUE(FAILED(container->FindConnectionPoint(IID_IQendMenuEvents, &none)));
    container->Release();
  }
  void TearDown() override {
    for (auto& [point, cookie] : points) {
      EXPECT_EQ(point->Unadvise(cookie), S_OK);
      point->Release();
    }
    EXPECT_EQ(plugin.refs.load(), 0) << "the host must give back every sink reference";
    EXPECT_EQ(host.TotalReferences(), 0u);
  }

  HalvexHost host;
  FakePlugin plugin;
  std::vector<std::pair<IConnectionPoint*, std::uint32_t>> points;
};

TEST_F(HostEvents, OpeningAndClosingReachTheSubscribedSink) {
  EXPECT_EQ(host.Events().SinkCount(IID_IQendProjectEvents), 1u);
  EXPECT_EQ(host.References().back().count, 0u);
  ASSERT_EQ(host.RaiseOpeningEvents(), S_OK);
  EXPECT_EQ(plugin.calls,
            (std::vector<std::string>{"OnOpenControler", "OnProjectVariablesReady", "OnCpmChanged 12",
                                      "OnCommunicationState on", "LoadDesktop", "OnProjectNotification 256 57"}));
  EXPECT_EQ(plugin.panels,
            (std::vector<std::string>{"0/1 HMI10 Line panel PnlIn1 PnlOut1", "2/5 HMI12  PnlIn2 PnlOut2"}));

  plugin.calls.clear();
  plugin.refuseClose = true;
  bool mayClose = true;
  ASSERT_EQ(host.RaiseClosingEvents(&mayClose), S_OK);
  EXPECT_FALSE(mayClose);
  EXPECT_EQ(plugin.calls,
            (std::vector<std::string>{"OnQueryCloseProject", "OnQueryCloseControler", "SaveDesktop",
                                      "StartOfClosingProject", "OnCloseControler", "EndOfClosingProject"}));
  EXPECT_FALSE(host.Events().Log().empty());
}

TEST_F(HostEvents, NotificationsCompilerExtensionAndBackup) {
  HostLong result = 0;
  HostPanelDecl panel{3, 4, "OPD102", "P", "i", "o"};
  ASSERT_EQ(host.RaisePanelRecord(PANEL_ADD, panel, &result), S_OK);
  EXPECT_EQ(result, 7);
  EXPECT_EQ(plugin.panels.back(), "op1 3/4 OPD102");
  ASSERT_EQ(host.RaiseFileListRequest("/tmp/list.txt"), S_OK);
  EXPECT_EQ(plugin.panels.back(), "list Demo /tmp/list.txt");
  host.RaiseShowDesigner(true);
  EXPECT_EQ(plugin.calls.back(), "OnProjectNotification 256 22");

  plugin.calls.clear();
  host.Events().StartCompiling();
  int reached = 0;
  host.Events().LinkingExtendedProgMap(0x1234, &reached);
  host.Events().EndCompiling();
  EXPECT_EQ(reached, 1);
  EXPECT_EQ(plugin.calls,
            (std::vector<std::string>{"OnStartCompiling", "OnLinkingExtendedProgMap 4660", "OnEndCompiling"}));
  plugin.answerExtension = false;
  host.Events().LinkingExtendedProgMap(1, &reached);
  EXPECT_EQ(reached, 0) << "a sink without the extension is not asked";

  plugin.backupFile = DemoProjectFolder() + "/main.st";
  ASSERT_EQ(host.RaiseOnlineBackup(), S_OK);
  ASSERT_EQ(host.OnlineBackup().Files().size(), 1u);
  EXPECT_TRUE(host.OnlineBackup().Files()[0].exists);
  EXPECT_EQ(host.OnlineBackup().References(), 0u) << "the sink released the backup object";

  host.Events().LanguageChanged(1031);
  host.Events().CpmChanged(5);
  host.SetOnline(false);
  EXPECT_EQ(plugin.calls.back(), "OnCommunicationState off");
  EXPECT_FALSE(host.Plc().Online());
}

TEST_F(HostEvents, SyncedReadCopiesValuesAndAnnouncesThem) {
  auto* read = static_cast<IHalvexSyncedPlcRead*>(nullptr);
  ASSERT_EQ(host.Object()->QueryInterface(IID_IHalvexSyncedPlcRead, reinterpret_cast<void**>(&read)), S_OK);
  const char* names[] = {"Speed", "", "StopButton", "Message"};
  SyncedReadRecord set[4];
  std::uint8_t values[4][256] = {};
  ASSERT_EQ(read->CreateObjects(4, names, set), S_OK);
  for (int i = 0; i < 4; ++i) set[i].value = values[i];
  ASSERT_EQ(read->EnableObjects(-1, 4, set), S_OK);
  EXPECT_TRUE(host.SyncedRead().Enabled(set));

  std::uint8_t speed[2] = {0x34, 0x12};
  host.Plc().Memory().Write(PlcArea::R, 2, 2, speed);
  host.Plc().Memory().WriteBit(PlcArea::X, 0, 1, true);
  host.Plc().Memory().WriteBit(PlcArea::X, 0, 0, true);  // a neighbour bit, not StopButton's
  const char text[] = "hello";
  host.Plc().Memory().Write(PlcArea::R, 58, 6, reinterpret_cast<const std::uint8_t*>(text));

  ASSERT_EQ(read->ReadObjects(4, set), S_OK);
  EXPECT_EQ(values[0][0], 0x34);
  EXPECT_EQ(values[0][1], 0x12);
  EXPECT_EQ(values[2][0], 0x02) << "a bit comes with only its own bit";
  EXPECT_STREQ(reinterpret_cast<char*>(values[3]), "hello");
  EXPECT_EQ(set[0].changed, 1);
  EXPECT_EQ(set[1].changed, 0) << "an unknown name is never read";

  // The data are announced from the host's own thread, not inside the call.
  EXPECT_EQ(plugin.dataReady, 0);
  EXPECT_EQ(host.ProcessHostEvents(), 1);
  EXPECT_EQ(plugin.dataReady, 1);

  ASSERT_EQ(read->ReadObjects(4, set), S_OK);
  EXPECT_EQ(set[0].changed, 0);
  speed[0] = 0x35;
  host.Plc().Memory().Write(PlcArea::R, 2, 2, speed);
  read->ReadObjects(4, set);
  EXPECT_EQ(set[0].changed, 1);
  EXPECT_EQ(set[2].changed, 0);

  EXPECT_EQ(read->ReadObjects(3, set), E_INVALIDARG) << "count must match the set";
  SyncedReadRecord other[1];
  EXPECT_EQ(read->ReadObjects(1, other), E_INVALIDARG);
  EXPECT_EQ(read->CreateObjects(1, nullptr, other), E_POINTER);
  ASSERT_EQ(read->ReleaseObjects(4, set), S_OK);
  EXPECT_EQ(read->ReleaseObjects(4, set), E_INVALIDARG);
  EXPECT_EQ(host.SyncedRead().SetCount(), 0u);
  host.ProcessHostEvents();
  read->Release();
}

TEST_F(HostEvents, DataReadyGoesThroughTheMainWindowsQueue) {
  HostMainWindow window(nullptr);
  host.SetMainWindow(&window);
  host.PostDataReady();
  EXPECT_EQ(plugin.dataReady, 0);
  Application->ProcessMessages();
  EXPECT_EQ(plugin.dataReady, 1);
  host.SetMainWindow(nullptr);
}

// A callback as a plug-in registers it: writes a word through the send
// function on every call made while the PLC is online.
std::atomic<int> g_calls{0};
std::atomic<std::uint32_t> g_flags{0};
std::atomic<HRESULT> g_lastSend{S_OK};
std::atomic<std::thread::id> g_thread;

std::uint32_t TestCallback(CommSendFunction send, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t flags) {
  g_flags = flags;
  g_thread = std::this_thread::get_id();
  if (flags & COMM_LOOP_FLAG_ONLINE) {
    Bytes request;
    PutHeader(request, static_cast<std::uint8_t>(PlcArea::R), 18, 2);
    request.push_back(static_cast<std::uint8_t>(g_calls.load() + 1));
    request.push_back(0xAB);
    std::uint32_t replyLength = 0;
    g_lastSend = send(0, PLC_SERVICE_WRITE_BYTES, static_cast<std::uint32_t>(request.size()), request.data(),
                      &replyLength, nullptr);
  }
  ++g_calls;
  return 0;
}

TEST_F(HostEvents, CommLoopInterfaceCallsTheCallbackOnTheLoopThread) {
  IHalvexCommLoopEx* loop = nullptr;
  ASSERT_EQ(host.Object()->QueryInterface(IID_IHalvexCommLoopEx, reinterpret_cast<void**>(&loop)), S_OK);
  ASSERT_EQ(loop->AddCallback(&TestCallback, 88, "Tarnwell"), S_OK);
  EXPECT_EQ(loop->AddCallback(&TestCallback, 88, "Tarnwell"), E_INVALIDARG);
  EXPECT_EQ(loop->AddCallback(nullptr, 88, "x"), E_POINTER);
  ASSERT_EQ(host.Loop().Registrations().size(), 1u);
  EXPECT_EQ(host.Loop().Registrations()[0].value, 88);

  host.Loop().Start(1ms);
  ASSERT_TRUE(host.Loop().WaitForRounds(3, 10s));
  EXPECT_NE(g_thread.load(), std::this_thread::get_id());
  EXPECT_EQ(g_flags.load(), COMM_LOOP_FLAG_ONLINE);
  EXPECT_EQ(g_lastSend.load(), S_OK);
  std::uint8_t word[2] = {};
  host.Plc().Memory().Read(PlcArea::R, 18, 2, word);
  EXPECT_EQ(word[1], 0xAB);
  EXPECT_GE(host.Plc().RequestCount(PLC_SERVICE_WRITE_BYTES), 2u);

  ASSERT_EQ(loop->RemoveCallback(&TestCallback), S_OK);
  int after = g_calls.load();
  ASSERT_TRUE(host.Loop().WaitForRounds(host.Loop().Rounds() + 2, 10s));
  EXPECT_EQ(g_calls.load(), after);
  EXPECT_EQ(loop->RemoveCallback(&TestCallback), E_INVALIDARG);
  host.Loop().Stop();
  loop->Release();
}

TEST(PlcCommunicationServicesClass, GivesTheTextsOfThePlcsCodes) {
  HalvexHost host;
  IVornConnectedPlc* plc = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_HalvexPlcCommunicationServices, nullptr, CLSCTX_INPROC_SERVER, IID_IVornConnectedPlc,
                             reinterpret_cast<void**>(&plc)),
            S_OK);
  EXPECT_EQ(PlcCommunicationServicesRegistration::LivingObjects(), 1);
  BSTR text = nullptr;
  ASSERT_EQ(plc->GetErrorText(kPlcErrorOffline, &text), S_OK);
  EXPECT_EQ(BstrToWide(text), u"The PLC is not connected.");
  SysFreeString(text);
  EXPECT_TRUE(FAILED(plc->GetErrorText(E_FAIL, &text)));
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(plc->GetErrorText(kPlcErrorOffline, nullptr), E_POINTER);
  plc->Release();
  EXPECT_EQ(PlcCommunicationServicesRegistration::LivingObjects(), 0);
}

}  // namespace
