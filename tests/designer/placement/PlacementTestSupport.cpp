#include "tests/designer/placement/PlacementTestSupport.h"

#include <fstream>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "platform/vcl/Driver.h"
#include "platform/win/MessageBox.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Resources.h"

namespace placementtest {

HRESULT TFakeIde::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IHalvexIDE)
    *object = static_cast<IHalvexIDE*>(this);
  else if (iid == IID_IQendWindows && !withoutWindows)
    *object = static_cast<IQendWindows*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT TFakeIde::Record(const std::string& call, const std::string& value) {
  calls.push_back(call + "(" + value + ")");
  return S_OK;
}

HRESULT TFakeIde::SetStayOnTop(TCustomForm*, VARIANT_BOOL value) {
  stayOnTop = value != VARIANT_FALSE;
  return Record("SetStayOnTop", stayOnTop ? "true" : "false");
}

HRESULT TFakeIde::GetStayOnTop(TCustomForm*, VARIANT_BOOL* value) {
  if (refuseGets) return E_FAIL;
  *value = ToVariantBool(stayOnTop);
  return S_OK;
}

HRESULT TFakeIde::SetCanDock(TCustomForm*, VARIANT_BOOL value) {
  canDock = value != VARIANT_FALSE;
  return Record("SetCanDock", canDock ? "true" : "false");
}

HRESULT TFakeIde::GetCanDock(TCustomForm*, VARIANT_BOOL* value) {
  if (refuseGets) return E_FAIL;
  *value = ToVariantBool(canDock);
  return S_OK;
}

HRESULT TFakeIde::SetDockPosition(HostLong position, TCustomForm*) {
  dockPosition = position;
  return Record("SetDockPosition", std::to_string(position));
}

HRESULT TFakeIde::GetDockPosition(TCustomForm*, HostLong* position) {
  if (refuseGets) return E_FAIL;
  *position = dockPosition;
  return S_OK;
}

HRESULT TFakeSyncedRead::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IHalvexSyncedPlcRead) return E_NOINTERFACE;
  *object = static_cast<IHalvexSyncedPlcRead*>(this);
  AddRef();
  return S_OK;
}

HRESULT TFakeSyncedRead::ReleaseObjects(std::uint32_t count, SyncedReadRecord* set) {
  std::vector<std::uint32_t> addresses;
  for (std::uint32_t i = 0; i < count; ++i) addresses.push_back(set[i].address);
  released.push_back(addresses);
  return S_OK;
}

TProjectLocation TPlacementHost::ProjectLocation() {
  TProjectLocation location;
  if (noProject) return location;
  location.hostProjectDir = folder_.Path().string() + "\\";
  location.hostProjectName = "Proj";
  return location;
}

void PlacementTest::SetUp() {
  ASSERT_FALSE(folder.Path().empty());
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  Driver::Reset();
  ClearMessageBoxLog();
  RegistryStore::SetPath(folder.Native("registry"));
  SetTraceLogPath(folder.Native("plugins.log"));
  SetTraceLogEnabled(true);
  std::filesystem::create_directories(folder.Path() / "Tarnwell");
}

void PlacementTest::TearDown() {
  designer.reset();
  EXPECT_EQ(ide.refs, 0u) << "the window keeps a reference to the IDE";
  EXPECT_EQ(syncedRead.refs, 0u) << "the window keeps a reference to the synchronised read";
  SetTraceLogEnabled(false);
  SetTraceLogPath("");
  RegistryStore::SetPath("");
  Driver::Reset();
  ClearMessageBoxLog();
  FreeUiTable();
}

TFormDesign1& PlacementTest::MakeDesigner() {
  auto made = std::make_unique<TPlacementHost>(folder);
  host = made.get();
  host->ide = &ide;
  designer = std::make_unique<TFormDesign1>(nullptr, std::move(made));
  return *designer;
}

void PlacementTest::PutSettings(const std::string& text) { folder.Write("Tarnwell/Proj.webx", text); }

std::string PlacementTest::Settings() const { return folder.Read("Tarnwell/Proj.webx"); }

std::vector<std::string> PlacementTest::TraceLines() const {
  std::vector<std::string> lines;
  std::ifstream in(folder.Path() / "plugins.log");
  // Each line: date and time, "Tarnwell", an empty field, the text and " (ms)".
  for (std::string line; std::getline(in, line);) {
    const std::size_t text = line.rfind('\t');
    const std::size_t ms = line.rfind(" (");
    lines.push_back(line.substr(text + 1, ms == std::string::npos ? std::string::npos : ms - text - 1));
  }
  return lines;
}

bool PlacementTest::Traced(const std::string& line) const {
  for (const std::string& l : TraceLines())
    if (l == line) return true;
  return false;
}

}  // namespace placementtest
