// TFormDesign1: the handlers that do nothing. The tool bar's double click, the
// page tree's deletion and expansion (expansion stays allowed), undocking
// (it stays allowed) and the mouse over the two debug buttons are bound to
// their components and leave everything as it is; the scroll menu's hidden
// debug-picture item only traces its name.

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
