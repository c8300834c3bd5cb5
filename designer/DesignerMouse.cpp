// TFormDesign1: the mouse on the design surface and its objects, the
// selection, the scroll range, "Align to Grid" and the alignment commands.
// TSurfaceMouse and TObjectAlignment do the work; the window's handlers forward.

#include <array>
#include <memory>
#include <utility>

#include "designer/Alignment.h"
#include "designer/FormDesign1.h"
#include "designer/SurfaceMouse.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdCtrls.h"

namespace {

// The alignment items and the command each one's Tag names.
struct TAlignItem {
  TMenuItem* TFormDesign1::*item;
  TAlignCommand command;
};
constexpr std::array<TAlignItem, kAlignCommandCount> kAlignItems = {{
    {&TFormDesign1::AlignTop1, TAlignCommand::Top},
    {&TFormDesign1::AlignBottom1, TAlignCommand::Bottom},
    {&TFormDesign1::AlignLeft1, TAlignCommand::Left},
    {&TFormDesign1::AlignRight1, TAlignCommand::Right},
    {&TFormDesign1::AlignMiddle1, TAlignCommand::Middle},
    {&TFormDesign1::AlignCenter1, TAlignCommand::Center},
    {&TFormDesign1::Centre1, TAlignCommand::DistributeCentreX},
    {&TFormDesign1::Centre2, TAlignCommand::DistributeCentreY},
    {&TFormDesign1::Left1, TAlignCommand::DistributeLeft},
    {&TFormDesign1::Top1, TAlignCommand::DistributeTop},
    {&TFormDesign1::Right1, TAlignCommand::DistributeRight},
    {&TFormDesign1::Bottom1, TAlignCommand::DistributeBottom},
    {&TFormDesign1::Spacing1, TAlignCommand::SpacingX},
    {&TFormDesign1::Spacing2, TAlignCommand::SpacingY},
}};

}  // namespace

void TFormDesign1::CreateSurfaceMouse() {
  TSurfaceMouseContext context;
  context.surface = sbDesign1;
  context.background = imgBg;
  context.marker = lblDummy;
  context.liveView = [this] { return btnDebug->Down(); };
  context.insertion = [this] { return FInsert; };
  context.showStatus = [this](const std::string& text) { sbStatus->Panels()->Items(0)->SetText(text); };
  context.popup = [this](int x, int y) { ScrollPopup->Popup(x, y); };
  context.pushUndo = [this] { PushUndo(); };
  context.rasterX = &FGridX;
  context.rasterY = &FGridY;
  context.unitPixels = &FUnitPixels;
  mouse_ = std::make_unique<TSurfaceMouse>(std::move(context));

  // The two submenus carry the Tags of their first commands but no handler.
  for (const TAlignItem& row : kAlignItems) (this->*row.item)->Tag = static_cast<int>(row.command);
  DistributeHorizontally1->Tag = static_cast<int>(TAlignCommand::DistributeCentreX);
  DistributeVertically1->Tag = static_cast<int>(TAlignCommand::DistributeCentreY);
  alignment_ = std::make_unique<TObjectAlignment>(TObjectAlignmentContext{sbDesign1, [this] { PushUndo(); }});
}

void TFormDesign1::sbDesign1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
  mouse_->MouseDown(sender, button, shift, x, y);
}

void TFormDesign1::sbDesign1MouseMove(TObject* sender, TShiftState shift, int x, int y) {
  mouse_->MouseMove(sender, shift, x, y);
}

void TFormDesign1::sbDesign1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
  mouse_->MouseUp(sender, button, shift, x, y);
}

void TFormDesign1::ObjectMouseMove(TObject* sender, TShiftState shift, int x, int y) {
  mouse_->ObjectMouseMove(sender, shift, x, y);
}

void TFormDesign1::ObjectBeforeMove(TObject*) { PushUndo(); }

void TFormDesign1::ObjectBeforeResize(TObject*) { PushUndo(); }

void TFormDesign1::ClearSelection() { mouse_->ClearSelection(); }

void TFormDesign1::UpdateScrollExtent() { mouse_->UpdateScrollExtent(); }

void TFormDesign1::AlignToGrid1Click(TObject*) { mouse_->AlignToGrid(); }

void TFormDesign1::AlignClick(TObject* sender) { alignment_->AlignClick(sender); }
