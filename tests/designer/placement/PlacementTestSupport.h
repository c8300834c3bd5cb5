#pragma once
// Helpers of the placement tests: a stand-in of the host IDE that records
// the docking calls and holds each form's docking state, a stand-in of the
// host's synchronised read, the host context of the window with the live
// view's state, and a designer made on a host project in a temporary folder,
// with the registry and the trace log in that folder too.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "designer/DesignerHost.h"
#include "designer/FormDesign1.h"
#include "tests/support/TempFolder.h"

namespace placementtest {

// IHalvexIDE and IQendWindows in one object. Each call is recorded as
// "Name(value)"; a call can be made to fail.
class TFakeIde final : public IHalvexIDE, public IQendWindows {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }

  HRESULT InsertDockableForm(TCustomForm*) override { return Record("InsertDockableForm", ""); }
  HRESULT RemoveDockableForm(TCustomForm*) override { return Record("RemoveDockableForm", ""); }
  HRESULT ShowDockableForm(TCustomForm*) override { return Record("ShowDockableForm", ""); }
  HRESULT SetTabImage(TCustomForm*, HostLong) override { return Record("SetTabImage", ""); }
  HRESULT SaveDockingState(TCustomForm*, DesktopStorage, const char*) override { return E_NOTIMPL; }
  HRESULT SaveFurtherState(TCustomForm*, DesktopStorage) override { return E_NOTIMPL; }
  HRESULT FinishSave(TCustomForm*, DesktopStorage) override { return E_NOTIMPL; }
  HRESULT RestoreDockingState(TCustomForm*, DesktopStorage, const char*) override { return E_NOTIMPL; }
  HRESULT RestoreFurtherState(TCustomForm*, DesktopStorage) override { return E_NOTIMPL; }
  HRESULT IsDockedPageVisible(TCustomForm*, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT SetStayOnTop(TCustomForm* form, VARIANT_BOOL value) override;
  HRESULT GetStayOnTop(TCustomForm* form, VARIANT_BOOL* value) override;
  HRESULT SetCanDock(TCustomForm* form, VARIANT_BOOL value) override;
  HRESULT GetCanDock(TCustomForm* form, VARIANT_BOOL* value) override;
  HRESULT SetDockPosition(HostLong position, TCustomForm* form) override;
  HRESULT GetDockPosition(TCustomForm* form, HostLong* position) override;

  std::atomic<ULONG> refs{0};
  std::vector<std::string> calls;
  // The states the IDE keeps for the window.
  HostLong dockPosition = 0;
  bool stayOnTop = false;
  bool canDock = true;
  // Without IQendWindows; the get calls refused.
  bool withoutWindows = false;
  bool refuseGets = false;

 private:
  HRESULT Record(const std::string& call, const std::string& value);
};

class TFakeSyncedRead final : public IHalvexSyncedPlcRead {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT ReleaseObjects(std::uint32_t count, SyncedReadRecord* set) override;
  HRESULT CreateObjects(std::uint32_t, const char* const*, SyncedReadRecord*) override { return E_NOTIMPL; }
  HRESULT EnableObjects(HostLong, std::uint32_t, SyncedReadRecord*) override { return E_NOTIMPL; }
  HRESULT ReadObjects(std::uint32_t, SyncedReadRecord*) override { return E_NOTIMPL; }

  std::atomic<ULONG> refs{0};
  // The addresses of the records each release call named.
  std::vector<std::vector<std::uint32_t>> released;
};

// The window's host: the project "Proj" in the temporary folder, the IDE and
// the synchronised read when set, and the live view's state.
class TPlacementHost : public TDesignerHost {
 public:
  explicit TPlacementHost(const testsupport::TempFolder& folder) : folder_(folder) {}
  TProjectLocation ProjectLocation() override;
  std::string UpdateStConstants(TmyXmlNode*) override { return {}; }
  ComPtr<IHalvexIDE> Ide() override { return ComPtr<IHalvexIDE>(ide); }
  bool UploadRunning() override { return uploadRunning; }
  void StopLiveView() override { ++liveViewStops; }
  void FreeCommItems() override { ++commItemFrees; }
  ComPtr<IHalvexSyncedPlcRead> SyncedRead() override { return ComPtr<IHalvexSyncedPlcRead>(syncedRead); }
  std::string DownloadFolder() override { return useDownloadFolder ? downloadFolder : TDesignerHost::DownloadFolder(); }

  bool noProject = false;
  TFakeIde* ide = nullptr;
  TFakeSyncedRead* syncedRead = nullptr;
  bool uploadRunning = false;
  int liveViewStops = 0;
  int commItemFrees = 0;
  bool useDownloadFolder = false;
  std::string downloadFolder;

 private:
  const testsupport::TempFolder& folder_;
};

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the designer on the host (not shown, nothing loaded).
  TFormDesign1& MakeDesigner();
  // The settings file "Tarnwell/Proj.webx" as written.
  void PutSettings(const std::string& text);
  std::string Settings() const;
  // The trace log's lines so far.
  std::vector<std::string> TraceLines() const;
  bool Traced(const std::string& line) const;

  testsupport::TempFolder folder{"placement"};
  TFakeIde ide;
  TFakeSyncedRead syncedRead;
  TPlacementHost* host = nullptr;
  std::unique_ptr<TFormDesign1> designer;
};

}  // namespace placementtest
