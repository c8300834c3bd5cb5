#include <gtest/gtest.h>

#include "PluginTestSupport.h"
#include "hostapi/CompilerEvents.h"
#include "hostapi/HostEvents.h"
#include "hostapi/IIECManVariables.h"
#include "hostapi/ProjectEvents.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComponentCategories.h"
#include "platform/com/Guid.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/TaskMem.h"
#include "platform/win/RegistryStore.h"

namespace {

using plugintest::CreatePlugin;
using plugintest::HostFolder;
using plugintest::Plugin;

std::string Text(const std::string& key, const std::string& name = "") {
  RegValue value;
  return RegistryStore::GetValue(HKEY_CLASSES_ROOT, key, name, value) ? value.text : std::string("<missing>");
}

bool Has(const std::string& key) { return RegistryStore::KeyExists(HKEY_CLASSES_ROOT, key); }

const std::string kClassKey = "CLSID\\{856AD462-70C8-467C-9061-DE72691E6A67}";
const std::string kCatA = "{06885EBA-E678-4B45-AFFE-F78FEB80059C}";
const std::string kCatB = "{3450C9E4-8D0A-40BF-A7B1-0EFB25820C4C}";

TEST(PluginServer, ClassFactoryServesOnlyTheCoclass) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(Plugin().getClassObject(IID_IQendPlugin, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Plugin().getClassObject(CLSID_TarnwellCoClass, IID_IClassFactory, nullptr), E_POINTER);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(Plugin().getClassObject(CLSID_TarnwellCoClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
  IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  // Every interface of the map, and no other.
  const IID* answered[] = {
      &IID_ITarnwellCoClass,    &IID_IQendPlugin,        &IID_IQendCompilerEvents,     &IID_IQendProjectEvents,
      &IID_IQendMenuEvents,     &IID_IQendDesktopEvents, &IID_IQendCpmEvents,          &IID_IHalvexCommStateEvent,
      &IID_IIECManVariables,    &IID_IQendDockEvents,    &IID_IQendCompilerEventsExt1, &IID_IHalvexOnlinePlcBackupEvent,
      &IID_IHalvexBuilderPlugin};
  for (const IID* iid : answered) {
    IUnknown* itf = nullptr;
    EXPECT_EQ(unknown->QueryInterface(*iid, reinterpret_cast<void**>(&itf)), S_OK) << GuidToString(*iid);
    ASSERT_NE(itf, nullptr);
    // Every interface leads back to one identity.
    IUnknown* identity = nullptr;
    itf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    EXPECT_EQ(identity, unknown);
    identity->Release();
    itf->Release();
  }
  EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(unknown->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(unknown->Release(), 0u);
  factory->Release();
}

TEST(PluginServer, CanUnloadOnlyWithoutObjectsAndLocks) {
  EXPECT_EQ(Plugin().canUnloadNow(), S_OK);
  ComPtr<IQendPlugin> plugin = CreatePlugin();
  ASSERT_TRUE(plugin);
  EXPECT_EQ(Plugin().canUnloadNow(), S_FALSE);
  EXPECT_EQ(Plugin().controledDestruction(0), S_FALSE);
  // The last reference frees the object.
  EXPECT_EQ(plugin.Detach()->Release(), 0u);
  EXPECT_EQ(Plugin().canUnloadNow(), S_OK);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(Plugin().getClassObject(CLSID_TarnwellCoClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
  factory->LockServer(TRUE);
  EXPECT_EQ(Plugin().canUnloadNow(), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(Plugin().canUnloadNow(), S_OK);
  factory->Release();
  EXPECT_EQ(Plugin().controledDestruction(0), S_OK);
}

TEST(PluginServer, NameVersionAndGuidAnswers) {
  ComPtr<IQendPlugin> plugin = CreatePlugin();
  ASSERT_TRUE(plugin);
  HostLong version = 0;
  EXPECT_EQ(plugin->GetPluginVersion(&version), S_OK);
  EXPECT_EQ(static_cast<std::uint32_t>(version), 0x18010000u);
  char* name = nullptr;
  HostLong value = 0;
  EXPECT_EQ(plugin->GetPluginName(&name, &value), S_OK);
  EXPECT_STREQ(name, "Tarnwell");
  EXPECT_EQ(value, -1);
  CoTaskMemFree(name);
  GUID guid = CLSID_TarnwellCoClass;
  EXPECT_EQ(plugin->GetPluginGuid(&guid), S_OK);
  EXPECT_EQ(guid, GUID_NULL);
  EXPECT_EQ(plugin->GetPluginGuid(nullptr), E_INVALIDARG);
  EXPECT_EQ(plugin->GetPluginVersion(nullptr), E_POINTER);
  EXPECT_EQ(plugin->GetPluginName(nullptr, &value), E_POINTER);

  ComPtr<IHalvexBuilderPlugin> builder = plugin.Query<IHalvexBuilderPlugin>(IID_IHalvexBuilderPlugin);
  ASSERT_TRUE(builder);
  version = 0;
  EXPECT_EQ(builder->BuilderGetPluginVersion(&version), S_OK);
  EXPECT_EQ(static_cast<std::uint32_t>(version), 0x18010000u);
  EXPECT_EQ(builder->BuilderGetPluginGuid(nullptr), E_INVALIDARG);
  EXPECT_EQ(builder->BuilderGetPluginName(&name, &value), S_OK);
  EXPECT_STREQ(name, "Tarnwell");
  CoTaskMemFree(name);

  // The compiler event that asks for a text answers an empty one.
  ComPtr<IQendCompilerEvents> compiler = plugin.Query<IQendCompilerEvents>(IID_IQendCompilerEvents);
  ASSERT_TRUE(compiler);
  char* text = nullptr;
  EXPECT_EQ(compiler->Reserved7(0, &text), S_OK);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  CoTaskMemFree(text);
  EXPECT_EQ(compiler->Reserved7(0, nullptr), E_POINTER);
}

TEST(PluginServer, RegistersEveryKeyAndValue) {
  HostFolder host;
  ASSERT_EQ(Plugin().registerServer(), S_OK);
  EXPECT_EQ(Text(kClassKey), "Plugin for Halvex (support for Webserver)");
  EXPECT_EQ(Text(kClassKey + "\\InprocServer32"), TARNWELL_PLUGIN_PATH);
  EXPECT_EQ(Text(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(Text(kClassKey + "\\ProgID"), "Tarnwell.TarnwellCoClass");
  EXPECT_EQ(Text(kClassKey + "\\Typelib"), "{BDF561BB-0693-4C16-B89A-7B80DCD3886F}");
  EXPECT_EQ(Text(kClassKey + "\\Version"), "1.0");
  EXPECT_TRUE(Has(kClassKey + "\\Implemented Categories\\" + kCatA));
  EXPECT_TRUE(Has(kClassKey + "\\Implemented Categories\\" + kCatB));
  EXPECT_EQ(Text("Tarnwell.TarnwellCoClass"), "Plugin for Halvex (support for Webserver)");
  EXPECT_EQ(Text("Tarnwell.TarnwellCoClass\\CLSID"), "{856AD462-70C8-467C-9061-DE72691E6A67}");
  EXPECT_EQ(Text("Tarnwell.TarnwellCoClass", "Load"), "1");
  EXPECT_EQ(Text("Tarnwell.TarnwellCoClass", "Version"), "24.1.0.1");
  EXPECT_EQ(Text("Tarnwell.TarnwellCoClass", "Description"), "Tarnwell for Halvex (support for web server)");
  const std::string libKey = "TypeLib\\{BDF561BB-0693-4C16-B89A-7B80DCD3886F}\\1.0";
  EXPECT_EQ(Text(libKey), "Project1 Library");
  EXPECT_EQ(Text(libKey + "\\409\\win32"), TARNWELL_PLUGIN_PATH);
  EXPECT_EQ(Text("Interface\\{C44729DB-2182-4AA9-B7EE-C1530ADA9AE7}"), "ITarnwellCoClass");

  // The host finds the plug-in by its category.
  std::vector<CLSID> found = ClassesImplementingCategory(CATID_HalvexPluginEx);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], CLSID_TarnwellCoClass);

  ASSERT_EQ(Plugin().unregisterServer(), S_OK);
  EXPECT_FALSE(Has(kClassKey));
  EXPECT_FALSE(Has("Tarnwell.TarnwellCoClass"));
  EXPECT_FALSE(Has("TypeLib\\{BDF561BB-0693-4C16-B89A-7B80DCD3886F}"));
  EXPECT_FALSE(Has("Interface\\{C44729DB-2182-4AA9-B7EE-C1530ADA9AE7}"));
  EXPECT_TRUE(ClassesImplementingCategory(CATID_HalvexPluginEx).empty());
}

TEST(PluginServer, UnregisterRemovesCategoriesEvenWithoutClassKeys) {
  HostFolder host;
  ASSERT_EQ(Plugin().registerServer(), S_OK);
  // Someone removed the class's own keys, leaving only the category marks.
  for (const char* sub : {"InprocServer32", "ProgID", "Typelib", "Version"})
    RegistryStore::DeleteKey(HKEY_CLASSES_ROOT, kClassKey + "\\" + std::string(sub));
  RegistryStore::DeleteValue(HKEY_CLASSES_ROOT, kClassKey, "");
  RegistryStore::DeleteKey(HKEY_CLASSES_ROOT, "Tarnwell.TarnwellCoClass");
  ASSERT_TRUE(Has(kClassKey + "\\Implemented Categories\\" + kCatB));

  Plugin().unregisterServer();
  EXPECT_FALSE(Has(kClassKey + "\\Implemented Categories\\" + kCatA));
  EXPECT_FALSE(Has(kClassKey + "\\Implemented Categories\\" + kCatB));
  EXPECT_FALSE(Has(kClassKey));
  EXPECT_TRUE(ClassesImplementingCategory(CATID_HalvexPlugin).empty());
}

}  // namespace
