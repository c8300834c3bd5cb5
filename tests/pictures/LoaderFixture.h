#pragma once
// A clean picture loader for each test: no cache, no PNG library (the
// plug-in folder is an empty folder), no message boxes or handlers, the
// default cursor, the English UI texts, and the trace log written to a file
// of the test folder.

#include <gtest/gtest.h>

#include <string>

#include "PictureFiles.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "pictures/PictureCache.h"
#include "pictures/PictureLoader.h"
#include "pictures/PngLibrary.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Screen.h"
#include "platform/win/DynamicLibrary.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"

namespace picturetest {

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    DestroyPictureCache();
    UnloadPngLibrary();
    SetPluginModuleFolder(folder.Path("nolib"));
    ClearMessageBoxLog();
    ClearMessageBoxHandlers();
    Screen->SetCursor(crDefault);
    SetTraceLogPath(folder.Path("plugins.log"));
    SetTraceLogEnabled(true);
  }
  void TearDown() override {
    DestroyPictureCache();
    UnloadPngLibrary();
    SetPluginModuleFolder("");
    SetPictureStatusHook(nullptr);
    SetTraceLogEnabled(false);
    ClearMessageBoxLog();
  }

  // The pixel word at (x, y) of a bitmap.
  static std::uint32_t Pixel(const TBitmap& bitmap, int x, int y) {
    return bitmap.PixelData()[std::size_t(y) * bitmap.Width() + x];
  }
  static std::uint32_t Rgb(const TBitmap& bitmap, int x, int y) { return Pixel(bitmap, x, y) & 0xFFFFFFu; }
  std::string TraceText() const { return ReadBytes(folder.Path("plugins.log")); }

  TempFolder folder;
};

}  // namespace picturetest
