// The project settings taken from `web`, the code page of an encoding, the
// format version and the file names of a project location.

#include <gtest/gtest.h>

#include "core/ProjectLocation.h"
#include "generator/ProjectSettings.h"

namespace {

TEST(CodePageOfEncoding, TakesTheNumberAfterTheWindowsPrefixOrTheFirstFourCharacters) {
  const struct {
    const char* encoding;
    int codePage;
  } kCases[] = {
      {"windows-1250", 1250},
      {"windows-1251", 1251},
      {"windows-1252", 1252},
      {"windows-1253", 1253},
      {"windows-1254", 1254},
      {"windows-1255", 1255},
      {"windows-1256", 1256},
      {"windows-1257", 1257},
      {"windows-1258", 1258},
      {"Windows-1250", 1250},
      {"WINDOWS-1251", 1251},
      {"UTF-8", 8},
      {"utf-8", 8},
      {"windows-874", 874},
      {"Windows-932", 932},
      {"windows-1249", 1249},
      {"windows-1259", 1259},
      {"windows-12500", 12500},
      {"windows-65001", 65001},
      {"windows-125", 125},
      {"windows-12a0", 12},
      {"windows-", 0},
      {"windows-x1250", 0},
      {"windows-99999999999", 0},
      {"W", 0},
      {"iso-8859-2", 8859},
      {"UTF-16", 16},
      {"UTF8", 0},
      {"latin", 0},
      {"", 0},
  };
  for (const auto& c : kCases) EXPECT_EQ(CodePageOfEncoding(c.encoding), c.codePage) << c.encoding;
}

TEST(ParseFormatVersion, ReadsMajorAndMinorModulo100) {
  const struct {
    const char* text;
    int code;
  } kCases[] = {
      {"8.1", 8001},
      {"2.0", 2000},
      {"8.2", 8002},
      {"8.102", 8002},
      {"8.99", 8099},
      {"10.5", 10005},
      {" 8. 1", 8001},
      {"+8.1", 8001},
      {"8.1beta", 8001},
      {"8", 1000},
      {"8.", 1000},
      {".1", 1000},
      {"abc", 1000},
      {"", 1000},
      {"-8.1", 1000},
      {"8 .1", 1000},
      {"99999999999.1", 2147483647},
  };
  for (const auto& c : kCases) EXPECT_EQ(ParseFormatVersion(c.text), c.code) << c.text;
}

TEST(FormatVersionText, WritesMajorDotMinor) {
  EXPECT_EQ(FormatVersionText(8001), "8.1");
  EXPECT_EQ(FormatVersionText(8002), "8.2");
  EXPECT_EQ(FormatVersionText(10005), "10.5");
  EXPECT_EQ(FormatVersionText(1000), "1.0");
}

// One row per attribute and rule: the value read and the setting it gives.
TEST(ApplyWebAttribute, TakesEachAttributeByItsRule) {
  using S = TProjectSettings;
  const struct {
    const char* name;
    const char* value;
    bool S::*flag;
    int S::*number;
    int expected;  // the flag as 0/1, or the number
  } kCases[] = {
      {"border", "false", &S::borderOff, nullptr, 1},
      {"border", "true", &S::borderOff, nullptr, 0},
      {"border", "FALSE", &S::borderOff, nullptr, 0},
      {"menu", "false", &S::menuOff, nullptr, 1},
      {"title", "false", &S::titleOff, nullptr, 1},
      {"bgdupl", "false", &S::background, nullptr, 1},
      {"bgdupl", "true", &S::background, nullptr, 0},
      {"bgdupl", "", &S::background, nullptr, 0},
      {"fullscreen", "true", &S::fullScreen, nullptr, 1},
      {"fullscreen", "1", &S::fullScreen, nullptr, 0},
      {"useIniScale", "true", &S::useIniScale, nullptr, 1},
      {"useMaxScale", "true", &S::useMaxScale, nullptr, 1},
      {"userScale", "false", &S::userScale, nullptr, 0},
      {"userScale", "true", &S::userScale, nullptr, 1},
      {"propfont", "true", &S::propFont, nullptr, 1},
      {"webApp", "true", &S::webApp, nullptr, 1},
      {"pavoa", "1", &S::operatorPanels, nullptr, 1},
      {"pavoa", "0", &S::operatorPanels, nullptr, 0},
      {"pavoa", "yes", &S::operatorPanels, nullptr, 0},
      {"bgcolor", "255", nullptr, &S::bgColor, 255},
      {"bgcolor", "red", nullptr, &S::bgColor, 16777215},
      {"dwMode", "2", nullptr, &S::displayMode, 2},
      {"dwMode", "x", nullptr, &S::displayMode, 1},
      {"height", "300", nullptr, &S::pageHeight, 300},
      {"height", "tall", nullptr, &S::pageHeight, 560},
      {"width", "", nullptr, &S::pageWidth, 980},
      {"iniScale", "50", nullptr, &S::iniScale, 50},
      {"iniScale", "?", nullptr, &S::iniScale, 100},
      {"maxScale", "?", nullptr, &S::maxScale, 100},
      {"left", "3", nullptr, &S::leftMargin, 3},
      {"left", "?", nullptr, &S::leftMargin, 8},
      {"top", "?", nullptr, &S::topMargin, 8},
  };
  for (const auto& c : kCases) {
    TProjectSettings settings;
    // Start from the opposite of a flag's result, so that the row shows the
    // rule set or cleared it.
    if (c.flag != nullptr) settings.*c.flag = c.expected == 0;
    EXPECT_TRUE(ApplyWebAttribute(settings, c.name, c.value)) << c.name;
    const int got = c.flag != nullptr ? static_cast<int>(settings.*c.flag) : settings.*c.number;
    EXPECT_EQ(got, c.expected) << c.name << "=\"" << c.value << "\"";
  }
}

TEST(ApplyWebAttribute, KeepsHeightAndWidthWhenUnreadable) {
  TProjectSettings settings;
  settings.pageHeight = 333;
  ApplyWebAttribute(settings, "height", "x");
  EXPECT_EQ(settings.pageHeight, 333);
}

TEST(ApplyWebAttribute, StoresTheEncodingTextAndItsCodePage) {
  TProjectSettings settings;
  ApplyWebAttribute(settings, "encoding", "UTF-8");
  EXPECT_EQ(settings.encoding, "UTF-8");
  EXPECT_EQ(settings.codePage, 8);
  ApplyWebAttribute(settings, "encoding", "windows-1251");
  EXPECT_EQ(settings.codePage, 1251);
}

TEST(ApplyWebAttribute, RefusesUnknownAndDifferentlyCasedNames) {
  TProjectSettings settings;
  EXPECT_FALSE(ApplyWebAttribute(settings, "Border", "false"));
  EXPECT_FALSE(ApplyWebAttribute(settings, "version", "9.0"));
  EXPECT_FALSE(ApplyWebAttribute(settings, "foot", "x"));
  EXPECT_FALSE(settings.borderOff);
}

TEST(ProjectFileNames, FollowTheModeAndTheHostsAnswers) {
  TProjectLocation local;
  local.hostProjectDir = "/p/Machine\\";
  local.hostProjectName = "Mill";
  TProjectLocation global = local;
  global.globalMode = true;
  global.projectPath = "/g/Shared\\";
  global.globalDir = "Line1";

  const TProjectFileNames names = LoadFileNames(local);
  EXPECT_TRUE(names.usable);
  EXPECT_EQ(names.baseFile, "/p/Machine\\Tarnwell\\Mill.xml");
  EXPECT_EQ(names.mainFile, "/p/Machine\\Tarnwell\\web.xml");
  EXPECT_EQ(names.pageFolder, "/p/Machine\\Tarnwell\\pages\\");
  EXPECT_EQ(names.settingsFile, "/p/Machine\\Tarnwell\\Mill.webx");

  const TProjectFileNames shared = LoadFileNames(global);
  EXPECT_TRUE(shared.usable);
  EXPECT_EQ(shared.baseFile, "/g/Shared\\Line1\\Global.xml");
  EXPECT_EQ(shared.mainFile, "/g/Shared\\Line1\\web.xml");
  EXPECT_EQ(shared.settingsFile, "/p/Machine\\Tarnwell\\Mill.webx");

  TProjectLocation noProject;
  EXPECT_FALSE(LoadFileNames(noProject).usable);
  EXPECT_FALSE(SaveFileNames(noProject).usable);
  EXPECT_EQ(SaveFileNames(noProject).settingsFile, "");

  TProjectLocation failed = local;
  failed.hostAnswered = false;
  EXPECT_FALSE(LoadFileNames(failed).usable);
  EXPECT_FALSE(SaveFileNames(failed).usable);

  // Global mode: the load needs the global folder, the save also the project folder.
  TProjectLocation globalOnly = global;
  globalOnly.hostProjectDir.clear();
  EXPECT_TRUE(LoadFileNames(globalOnly).usable);
  EXPECT_FALSE(SaveFileNames(globalOnly).usable);

  // A shared folder name from the settings never leaves the global folder.
  TProjectLocation escaping = global;
  escaping.globalDir = "..";
  EXPECT_FALSE(LoadFileNames(escaping).usable);
  escaping.globalDir = "a\\b";
  EXPECT_FALSE(SaveFileNames(escaping).usable);
}

}  // namespace
