// TFormDesign1: the handlers of commands that come with later steps of the
// designer (properties dialogs, mouse tools, clipboards, z-order, alignment,
// layers and languages, conversions, the live view, the generator, the
// project dialogs). Each is bound to its components already and traces its
// name until it is filled in.

#include "core/TraceLog.h"
#include "designer/FormDesign1.h"

namespace {

void Trace(const char* handler) { WriteTraceLog(handler); }

}  // namespace

// The group and page properties: the dialog's answer is FPropertiesAnswer
// (OK unless a test says otherwise), so that a page added stays.
void TFormDesign1::tvPageListDblClick(TObject*) {
  Trace("tvPageListDblClick");
  FPropertiesResult = FPropertiesAnswer;
}
void TFormDesign1::GroupPageSettings1Click(TObject*) { Trace("GroupPageSettings1Click"); }
void TFormDesign1::sbDesign1DblClick(TObject*) { Trace("sbDesign1DblClick"); }
void TFormDesign1::btnImageManagerClick(TObject*) { Trace("btnImageManagerClick"); }
void TFormDesign1::tlbMain1DblClick(TObject*) {}
void TFormDesign1::DebugPict1Click(TObject*) { Trace("DebugPict1Click"); }
void TFormDesign1::FormUnDock(TObject*, TControl*, TWinControl*, bool&) {}
void TFormDesign1::tvPageListDeletion(TObject*, TTreeNode*) {}
void TFormDesign1::tvPageListExpanding(TObject*, TTreeNode*, bool&) {}
void TFormDesign1::btnDebugMouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::btnDebug2MouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::VarNameReplace1Click(TObject*) { Trace("VarNameReplace1Click"); }
void TFormDesign1::AutoIndexArray1Click(TObject*) { Trace("AutoIndexArray1Click"); }
void TFormDesign1::RenameAllPages1Click(TObject*) { Trace("RenameAllPages1Click"); }
