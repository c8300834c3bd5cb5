#include <gtest/gtest.h>

#include "ComTestSupport.h"
#include "platform/com/ComModule.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ComponentCategories.h"
#include "platform/com/ConnectionPoints.h"
#include "platform/com/Guid.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/ServerRegistration.h"
#include "platform/com/TaskMem.h"

namespace {

using comtest::ScratchRegistry;
using comtest::TestSink;

constexpr CLSID kClass = {0x856AD462, 0x70C8, 0x467C, {0x90, 0x61, 0xDE, 0x72, 0x69, 0x1E, 0x6A, 0x67}};
constexpr CLSID kOtherClass = {0xAE285EB0, 0x2238, 0x4003, {0xA7, 0xAD, 0xAF, 0xA7, 0xE0, 0x88, 0x44, 0x54}};
constexpr GUID kLib = {0xBDF561BB, 0x0693, 0x4C16, {0xB8, 0x9A, 0x7B, 0x80, 0xDC, 0xD3, 0x88, 0x6F}};
constexpr GUID kCatA = {0x06885EBA, 0xE678, 0x4B45, {0xAF, 0xFE, 0xF7, 0x8F, 0xEB, 0x80, 0x05, 0x9C}};
constexpr GUID kCatB = {0x3450C9E4, 0x8D0A, 0x40BF, {0xA7, 0xB1, 0x0E, 0xFB, 0x25, 0x82, 0x0C, 0x4C}};

// A module object that counts itself in while it lives.
class ModuleObject final : public comtest::ITestEvents {
 public:
  ModuleObject() { ComModuleLock(); }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == comtest::IID_ITestEvents) {
      *object = static_cast<ITestEvents*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT OnPing(int) override { return S_OK; }
  static HRESULT Create(REFIID iid, void** object) {
    auto made = ComPtr<ITestEvents>::Adopt(new ModuleObject());
    return made->QueryInterface(iid, object);
  }

 private:
  ~ModuleObject() { ComModuleUnlock(); }
  ULONG refs_ = 1;
};

TEST(ComModule, FactoryCountsObjectsAndLocks) {
  ComModuleInit({{kClass, &ModuleObject::Create, "Lib.Class", "desc", "Apartment"}}, nullptr);
  IClassFactory* factory = nullptr;
  EXPECT_EQ(ComModuleGetClassObject(kOtherClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(factory, nullptr);
  ASSERT_EQ(ComModuleGetClassObject(kClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(ComModuleCanUnloadNow(), S_OK);

  comtest::ITestEvents* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, comtest::IID_ITestEvents, reinterpret_cast<void**>(&object)), S_OK);
  EXPECT_EQ(ComModuleCanUnloadNow(), S_FALSE);
  object->Release();
  EXPECT_EQ(ComModuleCanUnloadNow(), S_OK);

  factory->LockServer(TRUE);
  EXPECT_EQ(ComModuleCanUnloadNow(), S_FALSE);
  factory->LockServer(FALSE);
  factory->LockServer(FALSE);  // unbalanced: ignored
  EXPECT_EQ(ComModuleLockCount(), 0);

  TestSink outer;
  void* none = nullptr;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &none), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(ComModuleCanUnloadNow(), S_OK);  // the refused object is gone again
  EXPECT_EQ(ComModuleProgId(kClass), "Lib.Class");
  factory->Release();
  ComModuleTerm();
}

TEST(ClassTable, CoCreateInstanceThroughARegisteredFactory) {
  ComModuleInit({{kOtherClass, &ModuleObject::Create, "", "", ""}}, nullptr);
  IUnknown* factory = nullptr;
  ASSERT_EQ(ComModuleGetClassObject(kOtherClass, IID_IUnknown, reinterpret_cast<void**>(&factory)), S_OK);
  void* object = nullptr;
  EXPECT_EQ(CoCreateInstance(kOtherClass, nullptr, CLSCTX_INPROC_SERVER, comtest::IID_ITestEvents, &object),
            REGDB_E_CLASSNOTREG);
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kOtherClass, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
  ASSERT_EQ(CoCreateInstance(kOtherClass, nullptr, CLSCTX_ALL, comtest::IID_ITestEvents, &object), S_OK);
  static_cast<comtest::ITestEvents*>(object)->Release();
  // Not served in a local-server context.
  EXPECT_EQ(CoCreateInstance(kOtherClass, nullptr, CLSCTX_LOCAL_SERVER, comtest::IID_ITestEvents, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
  EXPECT_EQ(CoCreateInstance(kOtherClass, nullptr, CLSCTX_ALL, comtest::IID_ITestEvents, &object), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(kOtherClass, nullptr, CLSCTX_ALL, comtest::IID_ITestEvents, nullptr), E_POINTER);
  ComModuleTerm();
}

TEST(ComponentCategories, MarksAreWrittenFoundAndRemovedWithEmptyKeys) {
  ScratchRegistry registry;
  ICatRegister* manager = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_ALL, IID_ICatRegister,
                             reinterpret_cast<void**>(&manager)),
            S_OK);
  CATID cats[2] = {kCatA, kCatB};
  ASSERT_EQ(manager->RegisterClassImplCategories(kClass, 2, cats), S_OK);
  std::string classKey = "CLSID\\" + GuidToString(kClass);
  EXPECT_TRUE(registry.Has(classKey + "\\Implemented Categories\\" + GuidToString(kCatB)));
  ASSERT_EQ(ClassesImplementingCategory(kCatB).size(), 1u);
  EXPECT_EQ(ClassesImplementingCategory(kCatB)[0], kClass);
  EXPECT_TRUE(ClassesImplementingCategory(kLib).empty());

  // The class has no keys of its own: removing the marks leaves nothing.
  ASSERT_EQ(manager->UnRegisterClassImplCategories(kClass, 2, cats), S_OK);
  EXPECT_FALSE(registry.Has(classKey));
  EXPECT_TRUE(ClassesImplementingCategory(kCatB).empty());
  EXPECT_EQ(manager->UnRegisterClassImplCategories(kClass, 1, nullptr), E_INVALIDARG);
  manager->Release();
}

TEST(ServerRegistration, WritesEveryKeyAndRemovesThemAgain) {
  ScratchRegistry registry;
  ServerClassInfo info;
  info.clsid = kClass;
  info.progId = "Lib.Class";
  info.description = "A class";
  info.threadingModel = "Apartment";
  info.modulePath = "/opt/lib/libx.so";
  info.libid = &kLib;
  ASSERT_EQ(RegisterServerClass(info), S_OK);
  std::string classKey = "CLSID\\" + GuidToString(kClass);
  EXPECT_EQ(registry.Text(classKey), "A class");
  EXPECT_EQ(registry.Text(classKey + "\\InprocServer32"), "/opt/lib/libx.so");
  EXPECT_EQ(registry.Text(classKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(registry.Text(classKey + "\\ProgID"), "Lib.Class");
  EXPECT_EQ(registry.Text(classKey + "\\Typelib"), GuidToString(kLib));
  EXPECT_EQ(registry.Text(classKey + "\\Version"), "1.0");
  EXPECT_EQ(registry.Text("Lib.Class"), "A class");
  EXPECT_EQ(registry.Text("Lib.Class\\CLSID"), GuidToString(kClass));

  LPOLESTR progId = nullptr;
  ASSERT_EQ(ProgIDFromCLSID(kClass, &progId), S_OK);
  EXPECT_EQ(std::u16string(progId), u"Lib.Class");
  CoTaskMemFree(progId);
  CLSID found{};
  EXPECT_EQ(CLSIDFromProgID("Lib.Class", &found), S_OK);
  EXPECT_EQ(found, kClass);

  TypeLibInfo lib;
  lib.libid = kLib;
  lib.helpText = "Project1 Library";
  lib.lcid = 0x409;
  lib.modulePath = "/opt/lib/libx.so";
  lib.interfaces.push_back({comtest::IID_ITestEvents, "ITestEvents"});
  ASSERT_EQ(RegisterTypeLibEntries(lib), S_OK);
  std::string libKey = "TypeLib\\" + GuidToString(kLib) + "\\1.0";
  EXPECT_EQ(registry.Text(libKey), "Project1 Library");
  EXPECT_EQ(registry.Text(libKey + "\\409\\win32"), "/opt/lib/libx.so");
  EXPECT_EQ(registry.Text(libKey + "\\HELPDIR"), "/opt/lib/");
  std::string itfKey = "Interface\\" + GuidToString(comtest::IID_ITestEvents);
  EXPECT_EQ(registry.Text(itfKey + "\\TypeLib"), GuidToString(kLib));

  EXPECT_EQ(UnregisterServerClass(info), S_OK);
  EXPECT_FALSE(registry.Has(classKey));
  EXPECT_FALSE(registry.Has("Lib.Class"));
  EXPECT_EQ(ProgIDFromCLSID(kClass, &progId), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(UnregisterServerClass(info), S_OK);  // already gone: no failure
  EXPECT_EQ(UnRegisterTypeLib(kLib, 1, 0, 0, SYS_WIN32), S_OK);
  EXPECT_FALSE(registry.Has("TypeLib\\" + GuidToString(kLib)));
  EXPECT_FALSE(registry.Has(itfKey));
  EXPECT_EQ(UnRegisterTypeLib(kLib, 1, 0, 0, SYS_WIN32), TYPE_E_REGISTRYACCESS);
}

TEST(ConnectionPoints, AdviseHandsOutCookiesAndUnadviseEndsThem) {
  ConnectionPointList points;
  ConnectionPoint* point = points.Add(comtest::IID_ITestEvents, nullptr);
  TestSink first;
  TestSink second;
  std::uint32_t cookie1 = 0;
  std::uint32_t cookie2 = 0;
  ASSERT_EQ(point->Advise(&first, &cookie1), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookie2), S_OK);
  EXPECT_NE(cookie1, 0u);
  EXPECT_NE(cookie1, cookie2);
  EXPECT_EQ(first.refs, 2u);  // the point holds one

  point->Fire<comtest::ITestEvents>([](comtest::ITestEvents* sink) { sink->OnPing(3); });
  EXPECT_EQ(first.pings, 3);
  EXPECT_EQ(second.pings, 3);
  EXPECT_EQ(first.refs, 2u);

  EXPECT_EQ(point->Unadvise(cookie1), S_OK);
  EXPECT_EQ(first.refs, 1u);
  EXPECT_EQ(point->Unadvise(cookie1), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->SinkCount(), 1u);

  TestSink deaf;
  deaf.answersEvents = false;
  std::uint32_t cookie3 = 7;
  EXPECT_EQ(point->Advise(&deaf, &cookie3), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie3, 0u);
  EXPECT_EQ(point->Advise(nullptr, &cookie3), E_POINTER);

  IConnectionPoint* found = nullptr;
  ASSERT_EQ(points.FindConnectionPoint(comtest::IID_ITestEvents, &found), S_OK);
  EXPECT_EQ(found, point);
  IID iid{};
  found->GetConnectionInterface(&iid);
  EXPECT_EQ(iid, comtest::IID_ITestEvents);
  found->Release();
  EXPECT_EQ(points.FindConnectionPoint(IID_IUnknown, &found), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(found, nullptr);
  // The list ends the remaining subscription when it goes.
}

TEST(ConnectionPoints, ASinkMayEndItsSubscriptionWhileItIsCalled) {
  ConnectionPointList points;
  ConnectionPoint* point = points.Add(comtest::IID_ITestEvents, nullptr);
  TestSink first;
  TestSink second;
  std::uint32_t cookie1 = 0;
  std::uint32_t cookie2 = 0;
  ASSERT_EQ(point->Advise(&first, &cookie1), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookie2), S_OK);
  int called = 0;
  point->Fire<comtest::ITestEvents>([&](comtest::ITestEvents* sink) {
    ++called;
    if (sink != &first) return;
    EXPECT_EQ(point->Unadvise(cookie1), S_OK);
    // The raising keeps its own reference until the call is over.
    EXPECT_EQ(first.refs, 2u);
  });
  EXPECT_EQ(called, 2);
  EXPECT_EQ(first.refs, 1u);
  EXPECT_EQ(second.refs, 2u);
  EXPECT_EQ(point->SinkCount(), 1u);
}

TEST(ConnectionPoints, FoundPointsAreCountedUntilGivenBack) {
  ConnectionPointList points;
  ConnectionPoint* point = points.Add(comtest::IID_ITestEvents, nullptr);
  EXPECT_EQ(point->References(), 1u);  // the list's
  {
    ComPtr<IConnectionPoint> found;
    ASSERT_EQ(points.FindConnectionPoint(comtest::IID_ITestEvents, found.Put()), S_OK);
    EXPECT_EQ(point->References(), 2u);
    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(found->GetConnectionPointContainer(&container), E_FAIL);  // a point without container
    EXPECT_EQ(container, nullptr);
  }
  EXPECT_EQ(point->References(), 1u);
  EXPECT_EQ(points.Points(), std::vector<ConnectionPoint*>{point});
}

TEST(ConnectionPoints, ListEndsSubscriptionsWhenItGoes) {
  TestSink sink;
  {
    ConnectionPointList points;
    std::uint32_t cookie = 0;
    points.Add(comtest::IID_ITestEvents, nullptr)->Advise(&sink, &cookie);
    EXPECT_EQ(sink.refs, 2u);
  }
  EXPECT_EQ(sink.refs, 1u);
}

}  // namespace
