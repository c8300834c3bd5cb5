#pragma once
// The designer's record shared by every page object of the open page
// (TGridWebElement::TGlobalWebData) and its table of layers
// (TGridWebElement::TLayer).

#include <string>

#include "grid/StringDualList.h"

struct TGridGlobalWebData {
  // The edited group is locked: no object may be changed or selected.
  bool GroupLocked = false;
  // Placeholder lists of the project, the group and the page (name to text).
  TStringDualList GlobalPlaceHolders{true};
  TStringDualList GroupPlaceHolders{true};
  TStringDualList PagePlaceHolders{true};
  // The project's pictures: picture name to long file name.
  TStringDualList Images{true};
  // Edit and drop-down widths are measured with the real font.
  bool MeasuredFonts = false;
};

struct TGridLayer {
  std::string Name;
  bool Visible = true;
  bool Frozen = false;
};

constexpr int kLayerCount = 16;
