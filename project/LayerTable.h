#pragma once
// The 16 layers of the design surface in the project file: a `Layers`
// element of `web` with `active` (the active layer) and `pasteMode` (0:
// pasted objects go to the active layer, 1: they keep their own), and one
// empty `layer` element per layer with `visible`, `frozen` (1 or 0) and
// `name`. The active layer is always visible and never frozen: reading and
// writing force both.

#include "grid/GlobalWebData.h"

class TmyXmlNode;

// The designer's layer table, the active layer and the paste flag.
struct TLayerTable {
  TGridLayer (&layers)[kLayerCount];
  int& active;
  bool& pasteInActiveLayer;
};

// Reads the table from `layersElement` (the `Layers` child of `web`, or
// null: a `Layers` element with `active` 0 is appended to `web` and the
// paste flag keeps its value). An active layer outside 0 to 15 reads as 0.
// Only `layer` children count, the first 16 of them; the layers after the
// last one read are visible and not frozen and keep their names.
void ReadLayersNode(TmyXmlNode* web, TmyXmlNode* layersElement, const TLayerTable& table);

// Writes the table into the first `Layers` child of `web` (nothing without
// one): its two attributes, the existing `layer` elements in order, and new
// ones for the layers that have none.
void WriteLayersNode(TmyXmlNode* web, const TLayerTable& table);
