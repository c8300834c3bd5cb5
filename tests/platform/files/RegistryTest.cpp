// The registry store and TRegistry over it: keys and values under the three
// roots, names without regard to case, deletion of key trees, persistence in
// the store's file, and the class library's errors.

#include <gtest/gtest.h>

#include "platform/vcl/Registry.h"
#include "platform/win/RegistryStore.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

namespace {

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { RegistryStore::SetPath(dir.Native("store/registry")); }
  void TearDown() override { RegistryStore::SetPath(""); }
  TempFolder dir;
};

}  // namespace

TEST_F(RegistryTest, OpenKeyCreatesOnlyWhenAsked) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKey("Software\\Vorn\\Halvex\\Tarnwell", false));
  EXPECT_TRUE(reg.OpenKey("Software\\Vorn\\Halvex\\Tarnwell", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Vorn\\Halvex\\Tarnwell");
  reg.CloseKey();
  EXPECT_TRUE(reg.KeyExists("SOFTWARE\\vorn"));
  EXPECT_TRUE(reg.OpenKey("\\software\\VORN\\halvex\\tarnwell\\", false));
  EXPECT_FALSE(RegistryStore::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Vorn"));
}

TEST_F(RegistryTest, ValuesByNameWithoutRegardToCaseAndAcrossObjects) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vorn\\Halvex\\Tarnwell", true));
    std::string colors = "ColorA=FFFFFF\r\nColorB=\"quoted\" \\ back\r\n";
    reg.WriteString("Colors", colors);
    reg.WriteInteger("Count", -2);
    reg.WriteString("", "default");
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("software\\vorn\\halvex\\tarnwell", false));
  EXPECT_TRUE(reg.ValueExists("COLORS"));
  EXPECT_EQ(reg.ReadString("colors"), "ColorA=FFFFFF\r\nColorB=\"quoted\" \\ back\r\n");
  EXPECT_EQ(reg.ReadInteger("count"), -2);
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("Colors"), ERegistryException);
  EXPECT_THROW(reg.ReadString("Count"), ERegistryException);
  reg.WriteString("colors", "replaced");
  EXPECT_EQ(RegistryStore::ValueNames(HKEY_CURRENT_USER, "Software\\Vorn\\Halvex\\Tarnwell"),
            (std::vector<std::string>{"", "Colors", "Count"}));
  EXPECT_TRUE(reg.DeleteValue("Count"));
  EXPECT_FALSE(reg.DeleteValue("Count"));
  EXPECT_FALSE(reg.ValueExists("Count"));
}

TEST_F(RegistryTest, RelativeKeysFollowTheOpenKey) {
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("CLSID\\{856AD462-70C8-467C-9061-DE72691E6A67}", true));
  reg.WriteString("", "Plugin for Halvex (support for Webserver)");
  ASSERT_TRUE(reg.OpenKey("InprocServer32", true));
  EXPECT_EQ(reg.CurrentPath(), "CLSID\\{856AD462-70C8-467C-9061-DE72691E6A67}\\InprocServer32");
  reg.WriteString("ThreadingModel", "Apartment");
  EXPECT_EQ(RegistryStore::SubKeyNames(HKEY_CLASSES_ROOT, "clsid"),
            (std::vector<std::string>{"{856AD462-70C8-467C-9061-DE72691E6A67}"}));
  RegValue value;
  ASSERT_TRUE(RegistryStore::GetValue(
      HKEY_CLASSES_ROOT, "CLSID\\{856ad462-70c8-467c-9061-de72691e6a67}\\InprocServer32", "threadingmodel", value));
  EXPECT_EQ(value.type, REG_SZ);
  EXPECT_EQ(value.text, "Apartment");
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeTreeAndClosesIt) {
  TRegistry reg;
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("Tarnwell.TarnwellCoClass\\CLSID", true));
  reg.WriteString("", "{x}");
  ASSERT_TRUE(reg.OpenKey("\\Tarnwell.TarnwellCoClassX", true));  // a name that merely begins alike
  ASSERT_TRUE(reg.OpenKey("\\Tarnwell.TarnwellCoClass", false));
  reg.WriteString("Load", "1");
  EXPECT_TRUE(reg.DeleteKey("\\tarnwell.tarnwellcoclass"));
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_FALSE(reg.KeyExists("Tarnwell.TarnwellCoClass\\CLSID"));
  EXPECT_FALSE(reg.KeyExists("Tarnwell.TarnwellCoClass"));
  EXPECT_TRUE(reg.KeyExists("Tarnwell.TarnwellCoClassX"));
  EXPECT_FALSE(reg.DeleteKey("Tarnwell.TarnwellCoClass"));
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);  // no key open
}

TEST_F(RegistryTest, StoreFileHoldsEveryChangeAndReadsBack) {
  ASSERT_TRUE(RegistryStore::CreateKey(HKEY_LOCAL_MACHINE, "Software\\A"));
  RegValue dword;
  dword.type = REG_DWORD;
  dword.number = 0xDEADBEEF;
  ASSERT_TRUE(RegistryStore::SetValue(HKEY_LOCAL_MACHINE, "Software\\A", "n", dword));
  RegValue text;
  text.text = std::string("tab\there, \x01 ctl, ") + "\xE9" + " high\\end\r\n";
  ASSERT_TRUE(RegistryStore::SetValue(HKEY_LOCAL_MACHINE, "Software\\A", "Name \"q\"", text));
  EXPECT_FALSE(RegistryStore::SetValue(HKEY_LOCAL_MACHINE, "Software\\Missing", "n", dword));
  EXPECT_FALSE(RegistryStore::CreateKey(HKEY_LOCAL_MACHINE, "Bad\nName"));

  std::string file = dir.Read("store/registry");
  EXPECT_NE(file.find("[HKEY_LOCAL_MACHINE\\Software\\A]"), std::string::npos);
  EXPECT_NE(file.find("\"n\"=dword:deadbeef"), std::string::npos);

  // Another process would read the same file: drop nothing, change nothing.
  RegValue back;
  ASSERT_TRUE(RegistryStore::GetValue(HKEY_LOCAL_MACHINE, "software\\a", "N", back));
  EXPECT_EQ(back.type, REG_DWORD);
  EXPECT_EQ(back.number, 0xDEADBEEFu);
  ASSERT_TRUE(RegistryStore::GetValue(HKEY_LOCAL_MACHINE, "Software\\A", "name \"Q\"", back));
  EXPECT_EQ(back.text, text.text);
  EXPECT_TRUE(RegistryStore::KeyExists(HKEY_LOCAL_MACHINE, ""));
  EXPECT_FALSE(RegistryStore::DeleteKey(HKEY_LOCAL_MACHINE, ""));
}

TEST(RegistryStorePath, DefaultsToTheUsersDataFolder) {
  RegistryStore::SetPath("");
  std::string path = RegistryStore::Path();
  const char* halvexHome = std::getenv("HALVEX_HOME");
  if (halvexHome != nullptr && *halvexHome != '\0')
    EXPECT_EQ(path, std::string(halvexHome) + "/registry");
  else
    EXPECT_NE(path.find("/.local/share/halvex/registry"), std::string::npos);
}
