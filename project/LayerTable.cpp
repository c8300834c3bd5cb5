#include "project/LayerTable.h"

#include <string>

#include "core/XmlNode.h"

namespace {

constexpr const char* kLayers = "Layers";
constexpr const char* kLayer = "layer";

bool IsLayer(const TmyXmlNode* node) { return !node->comment && !node->instruction && node->name == kLayer; }

TmyXmlNode* NextLayer(TmyXmlNode* node) {
  while (node != nullptr && !IsLayer(node)) node = node->next;
  return node;
}

// A layer's three attributes; the active layer is written visible and not frozen.
void WriteLayer(TmyXmlNode* element, const TGridLayer& layer, bool active) {
  element->SetAttrInt("visible", active || layer.Visible ? 1 : 0);
  element->SetAttrInt("frozen", !active && layer.Frozen ? 1 : 0);
  element->UpdateAttr("name", layer.Name);
  element->closed = true;
}

}  // namespace

void ReadLayersNode(TmyXmlNode* web, TmyXmlNode* layersElement, const TLayerTable& table) {
  table.active = 0;
  if (layersElement != nullptr) {
    const int active = layersElement->GetAttrInt("active", 0);
    // A file's active layer outside the table would mark no layer active.
    table.active = active >= 0 && active < kLayerCount ? active : 0;
    table.pasteInActiveLayer = layersElement->GetAttrInt("pasteMode", 0) == 0;
  } else if (web != nullptr) {
    layersElement = web->AddChild(kLayers);
    layersElement->SetAttrInt("active", 0);
  }
  int index = 0;
  TmyXmlNode* child = layersElement != nullptr ? NextLayer(layersElement->firstChild) : nullptr;
  for (; child != nullptr && index < kLayerCount; child = NextLayer(child->next), ++index) {
    TGridLayer& layer = table.layers[index];
    const bool active = index == table.active;
    layer.Visible = active || child->GetAttrInt("visible", 0) != 0;
    layer.Frozen = !active && child->GetAttrInt("frozen", 0) != 0;
    layer.Name = child->GetAttr("name");
  }
  for (; index < kLayerCount; ++index) {
    table.layers[index].Visible = true;
    table.layers[index].Frozen = false;
  }
}

void WriteLayersNode(TmyXmlNode* web, const TLayerTable& table) {
  TmyXmlNode* layers = web != nullptr ? web->FindChild(kLayers) : nullptr;
  if (layers == nullptr) return;
  layers->SetAttrInt("active", table.active);
  layers->SetAttrInt("pasteMode", table.pasteInActiveLayer ? 0 : 1);
  int index = 0;
  for (TmyXmlNode* child = NextLayer(layers->firstChild); child != nullptr && index < kLayerCount;
       child = NextLayer(child->next), ++index)
    WriteLayer(child, table.layers[index], index == table.active);
  for (; index < kLayerCount; ++index) WriteLayer(layers->AddChild(kLayer), table.layers[index], index == table.active);
}
