// TFormDesign1: the handlers of commands that come with later steps of the
// designer (properties dialogs, mouse tools, clipboards, z-order, alignment,
// layers and languages, conversions, the live view, the generator, the
// project dialogs). Each is bound to its components already and traces its
// name until it is filled in.

#include "core/TraceLog.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/StringList.h"

namespace {

void Trace(const char* handler) { WriteTraceLog(handler); }

}  // namespace

void TFormDesign1::tlbMain1DblClick(TObject*) {}
void TFormDesign1::DebugPict1Click(TObject*) { Trace("DebugPict1Click"); }
void TFormDesign1::FormUnDock(TObject*, TControl*, TWinControl*, bool&) {}
void TFormDesign1::tvPageListDeletion(TObject*, TTreeNode*) {}
void TFormDesign1::tvPageListExpanding(TObject*, TTreeNode*, bool&) {}
void TFormDesign1::btnDebugMouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::btnDebug2MouseMove(TObject*, TShiftState, int, int) {}
