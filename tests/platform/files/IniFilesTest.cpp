// TIniFile: files as Windows programs write them read back equal, writes that
// change one line and reach the file at once, the class library's number
// and boolean forms.

#include <gtest/gtest.h>

#include "platform/vcl/IniFiles.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

TEST(IniFile, ReadsWhatWindowsWritesWithOddSpacingAndCase) {
  TempFolder dir;
  dir.Write("p.webx",
            "; written by hand\r\n"
            "[Settings]\r\n"
            "Global=0\r\n"
            "GlobalDir=Shared Web\r\n"
            "  Show = -1  \r\n"
            "Ask\t=\t1\r\n"
            "Quoted=\"  spaced  \"\r\n"
            "Single='x'\r\n"
            "Empty=\r\n"
            "Odd=\"unbalanced\r\n"
            "\r\n"
            "[ TimeStamps ]\r\n"
            "SaveTD=1700000000\r\n"
            "[settings]\r\n"
            "Global=1\r\n");
  TIniFile ini(dir.System("p.webx"));
  EXPECT_EQ(ini.ReadString("Settings", "GlobalDir", "?"), "Shared Web");
  EXPECT_EQ(ini.ReadString("SETTINGS", "globaldir", "?"), "Shared Web");
  EXPECT_TRUE(ini.ReadBool("settings", "SHOW", false));
  EXPECT_EQ(ini.ReadInteger("Settings", "Ask", 0), 1);
  EXPECT_EQ(ini.ReadString("Settings", "Quoted", "?"), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Settings", "Single", "?"), "x");
  EXPECT_EQ(ini.ReadString("Settings", "Empty", "?"), "");
  EXPECT_EQ(ini.ReadString("Settings", "Odd", "?"), "\"unbalanced");
  EXPECT_EQ(ini.ReadString("Settings", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("Nowhere", "Global", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("TimeStamps", "SaveTD", 0), 1700000000);
  // The first section of a name counts.
  EXPECT_FALSE(ini.ReadBool("Settings", "Global", true));
}

TEST(IniFile, ReadsLfAndCrLineEndsToo) {
  TempFolder dir;
  dir.Write("lf.ini", "[A]\nx=1\ny=2");
  dir.Write("cr.ini", "[A]\rx=3\r");
  EXPECT_EQ(TIniFile(dir.System("lf.ini")).ReadInteger("A", "y", 0), 2);
  EXPECT_EQ(TIniFile(dir.System("cr.ini")).ReadInteger("A", "x", 0), 3);
}

TEST(IniFile, NumbersAndBooleansAsTheClassLibraryReadsThem) {
  TempFolder dir;
  dir.Write("n.ini",
            "[N]\r\ndec=-42\r\nhex1=$1F\r\nhex2=0x1f\r\nall=$FFFFFFFF\r\nbig=4294967296\r\n"
            "text=yes\r\nplus=+7\r\nblank=\r\none=1\r\nminus=-1\r\nzero=0\r\n");
  TIniFile ini(dir.System("n.ini"));
  EXPECT_EQ(ini.ReadInteger("N", "dec", 0), -42);
  EXPECT_EQ(ini.ReadInteger("N", "hex1", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "hex2", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "all", 0), -1);
  EXPECT_EQ(ini.ReadInteger("N", "big", 5), 5);
  EXPECT_EQ(ini.ReadInteger("N", "text", 5), 5);
  EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 7);
  EXPECT_EQ(ini.ReadInteger("N", "blank", 5), 5);
  EXPECT_TRUE(ini.ReadBool("N", "one", false));
  EXPECT_TRUE(ini.ReadBool("N", "minus", false));
  EXPECT_FALSE(ini.ReadBool("N", "zero", true));
  EXPECT_TRUE(ini.ReadBool("N", "text", true));  // not a number: the default
  EXPECT_FALSE(ini.ReadBool("N", "text", false));
}

TEST(IniFile, MissingFileReadsEmptyAndIsCreatedOnFirstWrite) {
  TempFolder dir;
  TIniFile ini(dir.System("new.webx"));
  EXPECT_EQ(ini.ReadString("Settings", "Global", "d"), "d");
  EXPECT_FALSE(dir.Exists("new.webx"));
  ini.WriteBool("Settings", "Global", true);
  EXPECT_EQ(dir.Read("new.webx"), "[Settings]\r\nGlobal=-1\r\n");
  ini.WriteBool("Settings", "Show", false);
  ini.WriteInteger("TimeStamps", "SaveTD", 1234);
  ini.WriteString("Settings", "GlobalDir", "Web");
  EXPECT_EQ(dir.Read("new.webx"),
            "[Settings]\r\nGlobal=-1\r\nShow=0\r\nGlobalDir=Web\r\n\r\n[TimeStamps]\r\nSaveTD=1234\r\n");
  // Read back through another object: the writes are on disk.
  TIniFile again(dir.System("NEW.WEBX"));
  EXPECT_TRUE(again.ReadBool("Settings", "Global", false));
  EXPECT_FALSE(again.ReadBool("Settings", "Show", true));
  EXPECT_EQ(again.ReadString("Settings", "GlobalDir", ""), "Web");
}

TEST(IniFile, WriteChangesOneLineAndKeepsTheRest) {
  TempFolder dir;
  dir.Write("k.ini",
            "; comment stays\r\n"
            "[FormDesign1]\r\n"
            "  Height = 400\r\n"
            "Width=300\r\n"
            "\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=1\r\n");
  TIniFile ini(dir.System("k.ini"));
  ini.WriteInteger("formdesign1", "HEIGHT", 480);
  ini.WriteInteger("FormDesign1", "Top", 10);
  EXPECT_EQ(dir.Read("k.ini"),
            "; comment stays\r\n"
            "[FormDesign1]\r\n"
            "Height=480\r\n"
            "Width=300\r\n"
            "Top=10\r\n"
            "\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=1\r\n");
}

TEST(IniFile, RoundTripOfManyValues) {
  TempFolder dir;
  TIniFile ini(dir.System("r.ini"));
  for (int i = 0; i < 20; ++i) {
    ini.WriteString("S" + std::to_string(i % 3), "Key" + std::to_string(i), "value " + std::to_string(i * 7));
    ini.WriteInteger("Numbers", "n" + std::to_string(i), -i * 1000);
  }
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(ini.ReadString("s" + std::to_string(i % 3), "KEY" + std::to_string(i), ""),
              "value " + std::to_string(i * 7));
    EXPECT_EQ(ini.ReadInteger("numbers", "N" + std::to_string(i), 1), -i * 1000);
  }
}

TEST(IniFile, ValueIsOneLineAndAFailedWriteRaises) {
  TempFolder dir;
  TIniFile ini(dir.System("v.ini"));
  ini.WriteString("S", "k", "first\r\n[Injected]\r\nx=1");
  EXPECT_EQ(dir.Read("v.ini"), "[S]\r\nk=first\r\n");
  EXPECT_EQ(ini.ReadString("Injected", "x", "none"), "none");

  TIniFile nowhere(dir.System("missing\\folder\\x.ini"));
  EXPECT_THROW(nowhere.WriteString("S", "k", "v"), EIniFileException);
}
