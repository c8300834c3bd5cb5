#pragma once
// Shared pieces of the design-surface tests: a designer whose surface is a
// sized scroll box, page objects made on it, pictures of the demo project,
// and pixel probes of a painted surface.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "designer/FormDesign1.h"
#include "grid/GridGraphic.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ScrollBox.h"

namespace surfacetest {

std::string SourcePath(const std::string& relative);
// The folder the pictures of the tests are written to (made on first use).
std::string OutputPath(const std::string& fileName);

// A plain item: its unit position places it as page objects are placed.
class TTestItem : public TGridGraphic {
 public:
  TTestItem(TComponent* owner, int unitPixels, int posX, int posY, int w, int h);
  void SetPosition(int posX, int posY) override;
  bool selectable = true;
  bool CanSelect() override { return selectable; }
  int moveHooks = 0;
  bool wantsHook = false;
  bool WantsMoveHook() override { return wantsHook; }
  void MoveHook(int, int) override { ++moveHooks; }
};

// A designer with a 640 x 480 surface ("Verdana" as its font), 8 pixels a
// unit, the variable lookup of the demo project's variables and the demo's
// picture folder bound while it lives.
class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TScrollBox* box() const { return designer_->sbDesign1; }
  TFormDesign1* designer() const { return designer_.get(); }
  // A page object of a kind at a unit position, wired like the reader's.
  TGridWebElement* Make(int kind, int posX = 1, int posY = 1);
  // The surface painted (twice, so that sizes set while drawing settle).
  void PaintSurface(TBitmap& bitmap);
  // The element drawn alone into a bitmap of w x h filled with `fill`, at
  // (x, y); drawn twice so that its size settles.
  void DrawAlone(TGridWebElement* e, TBitmap& bitmap, int w, int h, int x = 0, int y = 0, TColor fill = clWhite);

  std::unique_ptr<TFormDesign1> designer_;
};

// The colour of a bitmap pixel as 0x00BBGGRR.
TColor PixelAt(const TBitmap& bitmap, int x, int y);
// How many pixels of the rectangle have the colour.
int CountColor(const TBitmap& bitmap, const TRect& rect, TColor colour);
// A crop of a bitmap, enlarged by a whole factor, saved as PNG.
void SaveCrop(const TBitmap& bitmap, const TRect& rect, int factor, const std::string& path);

}  // namespace surfacetest

namespace surfacetest {
// A live value of the element: its variable's type and the value in the
// PLC's little-endian layout (text for strings).
void SetLiveValue(TGridWebElement* e, const std::string& typeName, long long value);
void SetLiveText(TGridWebElement* e, const std::string& typeName, const std::string& text);
}  // namespace surfacetest
