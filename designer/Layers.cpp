// TFormDesign1: the 16 layers of the design surface as the project's
// `Layers` element keeps them, the object menu's layer submenu and the move
// of selected objects to a layer. The active layer is always visible and
// never frozen, whatever the table or the file says.

#include <string>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/ObjectConversions.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"

namespace {

// Images of the layer items: a hidden layer, a visible frozen one.
constexpr int kHiddenLayerImage = 1;
constexpr int kFrozenLayerImage = 2;

bool IsLayerIndex(int index) { return index >= 0 && index < kLayerCount; }

}  // namespace

void TFormDesign1::LoadLayers(TmyXmlNode* layers) {
  if (layers != nullptr) {
    FActiveLayer = layers->GetAttrInt("active", 0);
    FPasteInActiveLayer = layers->GetAttrInt("pasteMode", 0) == 0;
    PasteInActiveLayer1->SetChecked(FPasteInActiveLayer);
  } else if (TmyXmlNode* web = document_->Web()) {
    layers = web->AddChild("Layers");
    layers->SetAttrIntStr("active", 0);
    FActiveLayer = 0;
  }
  // A damaged file may name a layer that does not exist: the first one is
  // active then.
  if (!IsLayerIndex(FActiveLayer)) FActiveLayer = 0;
  int k = 0;
  for (TmyXmlNode* child = layers != nullptr ? layers->firstChild : nullptr; child != nullptr && k < kLayerCount;
       child = child->next) {
    if (child->name != "layer") continue;
    TGridWebElement::TLayer& layer = FLayers[k];
    layer.Visible = k == FActiveLayer || child->GetAttrInt("visible", 0) != 0;
    layer.Frozen = k != FActiveLayer && child->GetAttrInt("frozen", 0) != 0;
    layer.Name = child->GetAttr("name");
    ++k;
  }
  for (; k < kLayerCount; ++k) {
    FLayers[k].Visible = true;
    FLayers[k].Frozen = false;
  }
}

void TFormDesign1::SaveLayers() {
  TmyXmlNode* layers = document_->LayersElement();
  if (layers == nullptr) return;
  layers->SetAttrIntStr("active", FActiveLayer);
  layers->SetAttrIntStr("pasteMode", FPasteInActiveLayer ? 0 : 1);
  auto write = [this](TmyXmlNode& element, int k) {
    const bool active = k == FActiveLayer;
    element.SetAttrIntStr("visible", active || FLayers[k].Visible ? 1 : 0);
    element.SetAttrIntStr("frozen", !active && FLayers[k].Frozen ? 1 : 0);
    element.SetAttr("name", FLayers[k].Name);
    element.closed = true;
  };
  int k = 0;
  for (TmyXmlNode* child = layers->firstChild; child != nullptr && k < kLayerCount; child = child->next)
    if (child->name == "layer") write(*child, k++);
  for (; k < kLayerCount; ++k) write(*layers->AddChild("layer"), k);
}

void TFormDesign1::FillLayerMenu() {
  miLayers->Clear();
  const std::vector<TGridWebElement*> selected = SelectedPageObjects(*sbDesign1);
  for (int k = 0; k < kLayerCount; ++k) {
    auto* item = new TMenuItem(this);
    item->SetCaption(std::to_string(k + 1) + ". " + FLayers[k].Name);
    item->Tag = k;
    item->OnClick = {this, &TFormDesign1::miLayersClick};
    if (!FLayers[k].Visible)
      item->ImageIndex = kHiddenLayerImage;
    else if (FLayers[k].Frozen)
      item->ImageIndex = kFrozenLayerImage;
    for (const TGridWebElement* object : selected)
      if (object->FLayer == k) item->SetChecked(true);
    miLayers->Add(item);
  }
}

void TFormDesign1::miLayersClick(TObject* sender) {
  const auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item != nullptr) MoveSelectedToLayer(item->Tag);
}

void TFormDesign1::MoveSelectedToLayer(int layer) {
  if (!IsLayerIndex(layer)) return;
  // Every move is an undo step and a change of the project, whoever asks.
  PushUndo();
  SetModified();
  for (TGridWebElement* object : SelectedPageObjects(*sbDesign1)) {
    object->FLayer = layer;
    if (!object->CanSelect()) object->DeselectInvalidate();
  }
  sbDesign1->Repaint();
}

void TFormDesign1::PasteInActiveLayer1Click(TObject*) {
  FPasteInActiveLayer = !FPasteInActiveLayer;
  PasteInActiveLayer1->SetChecked(FPasteInActiveLayer);
}
