// TFormDesign1: the insert tools and the insertion frame of a tool. The
// tool's template is pasted into a frame as a clipboard text is (tool mode);
// TInsertTools runs the tool clicks and the frame's handlers.

#include <memory>
#include <utility>

#include "designer/FormDesign1.h"
#include "designer/InsertTools.h"
#include "designer/ObjectTemplates.h"
#include "grid/GridInsert.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ScrollBox.h"

static_assert(kToolTemplateCount == kTemplateSlots, "one template slot a tool");

namespace {

// The tool mode of each tool's Tag.
struct TToolOfTag {
  int tag;
  TToolMode mode;
};
constexpr TToolOfTag kToolModes[] = {
    {0, TToolMode::Label},        {1, TToolMode::EditBox},     {2, TToolMode::EditBoxEx},    {3, TToolMode::StateImage},
    {4, TToolMode::GlobalSubmit}, {6, TToolMode::Image},       {7, TToolMode::CameraPic},    {8, TToolMode::Rectangle},
    {9, TToolMode::Bar},          {10, TToolMode::MultiImage}, {11, TToolMode::PostFileBox}, {12, TToolMode::ImageBtn},
    {13, TToolMode::RectDynCol},  {14, TToolMode::StrImg},     {15, TToolMode::Canvas},      {16, TToolMode::IFrame},
    {17, TToolMode::DropDown},
};

TToolMode ToolModeOfTag(int tag) {
  for (const TToolOfTag& row : kToolModes)
    if (row.tag == tag) return row.mode;
  return TToolMode::None;
}

}  // namespace

void TFormDesign1::CreateInsertTools() {
  btnArrow->Tag = -1;
  for (const TObjectTemplate& tool : kObjectTemplates)
    if (TComponent* button = FindComponent(tool.button)) button->Tag = tool.tag;

  // A tool's frame opens the placed object's properties when dropped.
  FToolPlacedHandler = {this, &TFormDesign1::PlaceInsertedObject};

  TInsertToolsContext tools;
  tools.surface = sbDesign1;
  tools.pending = &FInsert;
  tools.templates = &FToolTemplates;
  tools.pasteTemplate = [this](int tag, const std::string& text) { PasteToolTemplate(tag, text); };
  tools.pressArrow = [this] { btnArrow->SetDown(true); };
  insertTools_ = std::make_unique<TInsertTools>(std::move(tools));
}

// Tool mode lasts from the tool click until the frame is built.
void TFormDesign1::PasteToolTemplate(int tag, const std::string& text) {
  FToolMode = ToolModeOfTag(tag);
  PasteObjectsFromText(text);
  FToolMode = TToolMode::None;
}

void TFormDesign1::btnFunctionClick(TObject* sender) { insertTools_->ToolClick(sender); }

void TFormDesign1::PlaceInsertedObject(TObject* sender) { insertTools_->PlaceInsertedObject(sender); }

void TFormDesign1::ReleaseInsertTool(TObject* sender) { insertTools_->ReleaseInsertTool(sender); }

void TFormDesign1::CancelInsertTool(TObject* sender) { insertTools_->CancelInsertTool(sender); }

void TFormDesign1::CancelInsertion() { insertTools_->CancelPending(); }
