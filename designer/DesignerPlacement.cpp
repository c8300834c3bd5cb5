// TFormDesign1: placement, docking and closing of the window. Until they are
// built these handlers trace their name; the form's own closing (hide) and
// destruction stand meanwhile.

#include "core/TraceLog.h"
#include "designer/FormDesign1.h"

void TFormDesign1::FormCreate(TObject*) { WriteTraceLog("FormCreate"); }
void TFormDesign1::FormActivate(TObject*) { WriteTraceLog("FormActivate"); }
void TFormDesign1::FormDeactivate(TObject*) {}
void TFormDesign1::FormStartDock(TObject*, TDragDockObject*&) { WriteTraceLog("FormStartDock"); }
void TFormDesign1::FormEndDock(TObject*, TObject*, int, int) { WriteTraceLog("FormEndDock"); }
void TFormDesign1::FormCloseQuery(TObject*, bool&) { WriteTraceLog("FormCloseQuery"); }
void TFormDesign1::FormClose(TObject*, TCloseAction&) { WriteTraceLog("FormClose"); }
void TFormDesign1::FormDestroy(TObject*) { WriteTraceLog("FormDestroy"); }
void TFormDesign1::LoadFormPlacement() { WriteTraceLog("LoadFormPlacement"); }
void TFormDesign1::SaveFormPlacement() { WriteTraceLog("SaveFormPlacement"); }
void TFormDesign1::Splitter1Moved(TObject*) { WriteTraceLog("Splitter1Moved"); }
void TFormDesign1::btnShowPanel1Click(TObject*) { WriteTraceLog("btnShowPanel1Click"); }
void TFormDesign1::ColorDialog1Close(TObject*) {}
void TFormDesign1::ColorDialog1Show(TObject*) {}
