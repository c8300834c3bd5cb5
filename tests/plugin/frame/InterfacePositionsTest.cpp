// The host calls the plug-in, and the plug-in the host, by position in the
// interface: these tests call methods through the raw table of virtual
// functions at the positions the host uses, so that a placeholder too many or
// too few shows.

#include <gtest/gtest.h>

#include <cstring>

#include "FrameTestSupport.h"
#include "core/UiText.h"
#include "hostapi/HostServices.h"
#include "hostapi/IQendProjectManager.h"
#include "hostapi/ProjectEvents.h"
#include "platform/com/TaskMem.h"
#include "platform/win/Resources.h"
#include "plugin/TarnwellCoClassImpl.h"

namespace {

using frametest::TraceFile;

// The function at `position` of an interface's table (positions 0 to 2 are
// IUnknown's).
template <class Signature>
Signature Slot(void* itf, int position) {
  void** table = *static_cast<void***>(itf);
  return reinterpret_cast<Signature>(table[position]);
}

template <class I>
I* Ask(IUnknown* object, REFIID iid) {
  I* itf = nullptr;
  EXPECT_EQ(object->QueryInterface(iid, reinterpret_cast<void**>(&itf)), S_OK);
  return itf;
}

class Positions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(TTarnwellCoClassImpl::Create(IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
  }
  void TearDown() override { object->Release(); }
  IUnknown* object = nullptr;
};

TEST_F(Positions, PluginInterface) {
  auto* plugin = Ask<IQendPlugin>(object, IID_IQendPlugin);
  HostLong version = 0;
  EXPECT_EQ(Slot<HRESULT (*)(void*, HostLong*)>(plugin, 5)(plugin, &version), S_OK);
  EXPECT_EQ(static_cast<std::uint32_t>(version), 0x18010000u);
  char* name = nullptr;
  HostLong value = 0;
  EXPECT_EQ(Slot<HRESULT (*)(void*, char**, HostLong*)>(plugin, 6)(plugin, &name, &value), S_OK);
  EXPECT_STREQ(name, "Tarnwell");
  CoTaskMemFree(name);
  EXPECT_EQ(Slot<HRESULT (*)(void*, GUID*)>(plugin, 7)(plugin, nullptr), E_INVALIDARG);
  plugin->Release();

  auto* builder = Ask<IHalvexBuilderPlugin>(object, IID_IHalvexBuilderPlugin);
  EXPECT_EQ(Slot<HRESULT (*)(void*, GUID*)>(builder, 8)(builder, nullptr), E_INVALIDARG);
  EXPECT_EQ(Slot<HRESULT (*)(void*, HostLong*)>(builder, 6)(builder, &version), S_OK);
  builder->Release();
}

TEST_F(Positions, ProjectDesktopCpmAndCompilerEvents) {
  TraceFile trace;
  auto* project = Ask<IQendProjectEvents>(object, IID_IQendProjectEvents);
  HostLong result = 77;
  EXPECT_EQ(Slot<HRESULT (*)(void*, std::uint32_t, std::uint32_t, void*, HostLong*)>(project, 17)(project, 1, 0x55,
                                                                                                  nullptr, &result),
            S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Slot<HRESULT (*)(void*)>(project, 15)(project), S_OK);
  EXPECT_TRUE(trace.Has("OnProject_StartOfClosingProject - end"));
  EXPECT_EQ(Slot<HRESULT (*)(void*)>(project, 16)(project), S_OK);
  EXPECT_TRUE(trace.Has("EndOfClosingProject - end"));
  EXPECT_EQ(Slot<HRESULT (*)(void*)>(project, 9)(project), S_OK);
  EXPECT_TRUE(trace.Has("OnCloseControler - end"));
  for (int position : {3, 5, 7, 10, 11, 13, 14, 18, 19, 20})
    EXPECT_EQ(Slot<HRESULT (*)(void*)>(project, position)(project), S_OK) << position;
  project->Release();

  auto* cpm = Ask<IQendCpmEvents>(object, IID_IQendCpmEvents);
  EXPECT_EQ(Slot<HRESULT (*)(void*, std::uint32_t, HostLong, std::uint32_t)>(cpm, 4)(cpm, 0, 11, 0), S_OK);
  EXPECT_TRUE(trace.Has("OnCpmChanged - end"));
  cpm->Release();

  auto* compiler = Ask<IQendCompilerEvents>(object, IID_IQendCompilerEvents);
  EXPECT_EQ(Slot<HRESULT (*)(void*, std::uint32_t)>(compiler, 4)(compiler, 0), S_OK);
  EXPECT_TRUE(trace.Has("OnEndCompiling - end "));
  char* text = nullptr;
  EXPECT_EQ(Slot<HRESULT (*)(void*, std::uint32_t, char**)>(compiler, 7)(compiler, 0, &text), S_OK);
  EXPECT_STREQ(text, "");
  CoTaskMemFree(text);
  compiler->Release();
}

TEST_F(Positions, LanguageChangeSelectsTheTableByLanguageId) {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  auto* desktop = Ask<IQendDesktopEvents>(object, IID_IQendDesktopEvents);
  auto change = Slot<HRESULT (*)(void*, HostLcid, std::uint32_t)>(desktop, 5);
  const std::pair<HostLcid, int> cases[] = {{1029, 0}, {1031, 4}, {1045, 5}, {1049, 2}, {2055, 1}, {1033, 1}};
  for (const auto& [lcid, index] : cases) {
    EXPECT_EQ(change(desktop, lcid, 0), S_OK);
    EXPECT_EQ(GetUiLanguageIndex(), index) << lcid;
  }
  // 1049 (Russian) shows the English texts.
  change(desktop, 1049, 0);
  std::string russian = GetUiText(2063);
  change(desktop, 1033, 0);
  EXPECT_EQ(russian, GetUiText(2063));
  desktop->Release();
  FreeUiTable();
}

class RecordingProjectManager final : public IQendProjectManager {
 public:
  std::string last;
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT GetProjectName(char**) override { return Note("name"); }
  HRESULT GetProjectFolder(char**) override { return Note("folder"); }
  HRESULT GetGlobalFolder(char**) override { return Note("global"); }
  HRESULT GetOwnerComponent(TComponent**) override { return Note("owner"); }
  HRESULT GetProjectNameW(BSTR*) override { return Note("wide name"); }
  HRESULT GetProjectList(char**) override { return Note("list"); }

 private:
  HRESULT Note(const char* what) {
    last = what;
    return S_OK;
  }
};

TEST(HostPositions, ProjectManagersListSitsAtPosition29) {
  RecordingProjectManager manager;
  IQendProjectManager* itf = &manager;
  char* text = nullptr;
  Slot<HRESULT (*)(void*, char**)>(itf, 29)(itf, &text);
  EXPECT_EQ(manager.last, "list");
  Slot<HRESULT (*)(void*, char**)>(itf, 3)(itf, &text);
  EXPECT_EQ(manager.last, "name");
  Slot<HRESULT (*)(void*, char**)>(itf, 5)(itf, &text);
  EXPECT_EQ(manager.last, "global");
}

TEST(HostPositions, IecVariablesInfoSitsAtPosition5) {
  frametest::HostTables tables;
  tables.iec["X"] = {"INT", "", 8, S_OK};
  IIECManVariables* itf = &tables;
  char* type = nullptr;
  char* further = nullptr;
  HostLong code = 0;
  EXPECT_EQ((Slot<HRESULT (*)(void*, const char*, const char*, char**, char**, HostLong*)>(itf, 5)(itf, "X", "", &type,
                                                                                                   &further, &code)),
            S_OK);
  EXPECT_STREQ(type, "INT");
  EXPECT_EQ(code, 8);
  CoTaskMemFree(type);
  CoTaskMemFree(further);
}

}  // namespace
