#pragma once
// The designer window on the demo project with the shown page's objects
// replaced by the test's own, and text dumps of the surface and the undo
// history for the mouse, insert-tool and alignment tests.

#include <string>
#include <vector>

#include "tests/designer/window/WindowTestSupport.h"

class TGridWebElement;

namespace mousetest {

// An `object` with a block of the size at a page pixel (unit 1).
std::string Block(int uid, int left, int top, int width, int height, int layer = 0);

class MouseTest : public windowtest::WindowTest {
 protected:
  void SetUp() override;

  // The `object` elements of the text replace the surface's objects.
  void Load(const std::string& objectsText);
  TGridWebElement* Object(int uid) const;
  // The uids of the selected objects in creation order ("1 3").
  std::string Selected() const;
  // "uid x,y wxh" per object in creation order.
  std::string Dump() const;
  // The number of undo entries.
  int Entries() const;
  // A drag with the left button on the surface (client coordinates).
  void Drag(int x0, int y0, int x1, int y1, TShiftState shift = 0);
  std::string Status() const;
  // The surface painted into build/test-png/NAME.png.
  void SavePng(const std::string& name) const;
};

}  // namespace mousetest
