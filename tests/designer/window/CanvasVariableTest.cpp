// The designer's canvas-structure check asks the host the designer compiles
// with: a structure whose members are a canvas's passes, one member short or
// misspelt (or no variable information at all) does not.

#include <gtest/gtest.h>

#include "tests/designer/window/WindowTestSupport.h"
#include "tests/support/FakeCompileHost.h"

using namespace windowtest;

namespace {

class TCanvasHost : public TTestHost {
 public:
  using TTestHost::TTestHost;
  TCompileHost& CompileHost() override { return compileHost; }
  FakeCompileHost compileHost;
};

class CanvasVariable : public WindowTest {
 protected:
  TFormDesign1& Make() {
    auto testHost = std::make_unique<TCanvasHost>(folder, "Proj");
    canvasHost = testHost.get();
    host = testHost.get();
    designer = std::make_unique<TFormDesign1>(nullptr, std::move(testHost));
    FakeCompileHost& h = canvasHost->compileHost;
    h.members["CV"] = {"info", "touch", "bufHead", "buf"};
    h.members["CV.info"] = {"ver", "flags", "maxLen", "actLen", "macroptr"};
    h.members["CV.touch"] = {"x", "y", "color"};
    h.members["CV.bufHead"] = {"dataChg", "dataLen"};
    return *designer;
  }
  TCanvasHost* canvasHost = nullptr;
};

TEST_F(CanvasVariable, AcceptsOnlyAStructureWithTheCanvasMembers) {
  TFormDesign1& d = Make();
  EXPECT_TRUE(d.CheckCanvasVariable("CV"));
  EXPECT_FALSE(d.CheckCanvasVariable("Other"));

  canvasHost->compileHost.members["CV.touch"] = {"x", "y"};
  EXPECT_FALSE(d.CheckCanvasVariable("CV"));
  canvasHost->compileHost.members["CV.touch"] = {"x", "y", "Color"};
  EXPECT_FALSE(d.CheckCanvasVariable("CV"));
  canvasHost->compileHost.members["CV.touch"] = {"x", "y", "color"};
  canvasHost->compileHost.hasIecManager = false;
  EXPECT_FALSE(d.CheckCanvasVariable("CV"));
}

}  // namespace
