// TFormDesign1: the commands on the page objects' PLC variables: the common
// base of the visibility variables, variable names dropped from the host's
// variable list, looking every object's variables up again, the canvas
// structure check and the tab order of the input objects.

#include <algorithm>
#include <cstdint>

#include "core/UiText.h"
#include "designer/FormDesign1.h"
#include "designer/ObjectConversions.h"
#include "designer/SurfaceObjects.h"
#include "designer/VisibilityBase.h"
#include "generator/CanvasVariable.h"
#include "platform/vcl/ProvideVarNameDragObject.h"
#include "platform/vcl/ScrollBox.h"

namespace {

constexpr const char* kVarNameDragClass = "TProvideVarNameDragControlObject";
constexpr int kEditVisibilityBaseCaption = 7110;  // "Edit common base of variable name"

// The host's drag object of a variable name; null for any other source.
TProvideVarNameDragControlObject* VarNameDrag(TObject* source) {
  if (source == nullptr || source->ClassName() != kVarNameDragClass) return nullptr;
  return dynamic_cast<TProvideVarNameDragControlObject*>(source);
}

bool TakesTabStop(int kind) { return kind == wkEdit || kind == wkEditLocal || kind == wkSubmit || kind == wkDropDown; }

// Tab index first, then the order on the surface; -1 (no index) sorts last.
std::uint32_t TabOrderKey(const TGridWebElement& object) {
  return ((static_cast<std::uint32_t>(object.FTabIndex) << 16) & 0x7FFFFFFFu) |
         static_cast<std::uint32_t>(object.FTabSeq);
}

}  // namespace

// The canvas dialog asks the same check as the compile, through the host the
// designer compiles with.
bool TFormDesign1::CheckCanvasVariable(const std::string& variable) {
  return ::CheckCanvasVariable(Host().CompileHost(), variable);
}

bool TFormDesign1::EditVisibilityBase(const std::function<bool(std::string& base)>& edit) {
  const std::vector<TGridWebElement*> selected = SelectedPageObjects(*sbDesign1);
  const std::string base = CommonVisibilityBase(selected);
  std::string edited = base;
  if (!edit(edited)) return false;
  PushUndo();
  RebaseVisibilityVariables(selected, base.size(), edited);
  return true;
}

void TFormDesign1::ObjectDragOver(TObject*, TObject* source, int, int, TDragState, bool& accept) {
  const TProvideVarNameDragControlObject* drag = VarNameDrag(source);
  accept = !FLiveMode && drag != nullptr && !drag->refuseDrop;
}

void TFormDesign1::ObjectDragDrop(TObject* sender, TObject* source, int, int) {
  const TProvideVarNameDragControlObject* drag = VarNameDrag(source);
  auto* target = dynamic_cast<TGridWebElement*>(sender);
  if (drag == nullptr || target == nullptr) return;
  PushUndo();
  // The object takes the name at the next mouse movement over it.
  target->FDroppedVariable = drag->VariableName();
}

void TFormDesign1::RefreshAllObjectVarInfo() {
  for (TGridWebElement* object : PageObjectsInZOrder(*sbDesign1)) object->ResolveVariables();
}

void TFormDesign1::BuildTabOrder() {
  std::vector<TGridWebElement*> objects = OwnedPageObjects(*sbDesign1);
  for (std::size_t i = 0; i < objects.size(); ++i) objects[i]->FTabSeq = static_cast<int>(i);
  RenumberTabOrder(objects);
}

void TFormDesign1::RenumberTabOrder(std::vector<TGridWebElement*>& objects) {
  std::sort(objects.begin(), objects.end(),
            [](const TGridWebElement* a, const TGridWebElement* b) { return TabOrderKey(*a) < TabOrderKey(*b); });
  int next = 1;
  for (TGridWebElement* object : objects) object->FTabIndex = TakesTabStop(object->Kind()) ? next++ : -1;
}

void TFormDesign1::EditVisibilityBase1Click(TObject*) {
  EditVisibilityBase(
      [this](std::string& base) { return PromptSimpleEdit(GetUiText(kEditVisibilityBaseCaption), base); });
}
