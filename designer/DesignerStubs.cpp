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
void TFormDesign1::sbDesign1MouseDown(TObject*, TMouseButton, TShiftState, int, int) { Trace("sbDesign1MouseDown"); }
void TFormDesign1::sbDesign1MouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::sbDesign1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { Trace("sbDesign1MouseUp"); }
void TFormDesign1::AlignToGrid1Click(TObject*) { Trace("AlignToGrid1Click"); }
void TFormDesign1::btnFunctionClick(TObject*) { Trace("btnFunctionClick"); }
void TFormDesign1::Copy1Click(TObject*) { Trace("Copy1Click"); }
void TFormDesign1::Paste1Click(TObject*) { Trace("Paste1Click"); }
void TFormDesign1::Copy3Click(TObject*) { Trace("Copy3Click"); }
void TFormDesign1::Paste2Click(TObject*) { Trace("Paste2Click"); }
void TFormDesign1::Bringtofront1Click(TObject*) { Trace("Bringtofront1Click"); }
void TFormDesign1::Sendtoback1Click(TObject*) { Trace("Sendtoback1Click"); }
void TFormDesign1::BringForward1Click(TObject*) { Trace("BringForward1Click"); }
void TFormDesign1::SendBackward1Click(TObject*) { Trace("SendBackward1Click"); }
void TFormDesign1::Grid1Click(TObject*) { Trace("Grid1Click"); }
void TFormDesign1::Editbase1Click(TObject*) { Trace("Editbase1Click"); }
void TFormDesign1::tbPreview1Click(TObject*) { Trace("tbPreview1Click"); }
void TFormDesign1::Find1Click(TObject*) { Trace("Find1Click"); }
void TFormDesign1::CommonCopyClick(TObject*) { Trace("CommonCopyClick"); }
void TFormDesign1::CommonCutClick(TObject*) { Trace("CommonCutClick"); }
void TFormDesign1::CommonPasteClick(TObject*) { Trace("CommonPasteClick"); }
void TFormDesign1::CommonSelectAllClick(TObject*) { Trace("CommonSelectAllClick"); }
void TFormDesign1::tbObjectListClick(TObject*) { Trace("tbObjectListClick"); }
void TFormDesign1::btnPassClick(TObject*) { Trace("btnPassClick"); }
void TFormDesign1::tbAlarmClick(TObject*) { Trace("tbAlarmClick"); }
void TFormDesign1::tbAboutClick(TObject*) { Trace("tbAboutClick"); }
void TFormDesign1::ObjectPopupPopup(TObject*) { Trace("ObjectPopupPopup"); }
void TFormDesign1::sbStatusDrawPanel(TStatusBar*, TStatusPanel*, const TRect&) {}
void TFormDesign1::tvPageListMouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::sbDesign1MouseWheel(TObject*, TShiftState, int, TPoint, bool&) { Trace("sbDesign1MouseWheel"); }
void TFormDesign1::PasteDirect1Click(TObject*) { Trace("PasteDirect1Click"); }
void TFormDesign1::PagesDisplayFormat1Click(TObject*) { Trace("PagesDisplayFormat1Click"); }
void TFormDesign1::tlbMain1DblClick(TObject*) {}
void TFormDesign1::DebugPict1Click(TObject*) { Trace("DebugPict1Click"); }
void TFormDesign1::FormUnDock(TObject*, TControl*, TWinControl*, bool&) {}
void TFormDesign1::RefreshTimer1Timer(TObject*) { Trace("RefreshTimer1Timer"); }
void TFormDesign1::tvPageListDeletion(TObject*, TTreeNode*) {}
void TFormDesign1::tvPageListExpanding(TObject*, TTreeNode*, bool&) {}
void TFormDesign1::btnDebugMouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::btnDebug2MouseMove(TObject*, TShiftState, int, int) {}
void TFormDesign1::AlignClick(TObject*) { Trace("AlignClick"); }
void TFormDesign1::tbLayersClick(TObject*) { Trace("tbLayersClick"); }
void TFormDesign1::tbLangClick(TObject*) { Trace("tbLangClick"); }
void TFormDesign1::PasteInActiveLayer1Click(TObject*) { Trace("PasteInActiveLayer1Click"); }
void TFormDesign1::EditVisibilityBase1Click(TObject*) { Trace("EditVisibilityBase1Click"); }
void TFormDesign1::VarNameReplace1Click(TObject*) { Trace("VarNameReplace1Click"); }
void TFormDesign1::AutoIndexArray1Click(TObject*) { Trace("AutoIndexArray1Click"); }
void TFormDesign1::ToPicture1Click(TObject*) { Trace("ToPicture1Click"); }
void TFormDesign1::ToImage1Click(TObject*) { Trace("ToImage1Click"); }
void TFormDesign1::ToImageBtn1Click(TObject*) { Trace("ToImageBtn1Click"); }
void TFormDesign1::ToMulimg1Click(TObject*) { Trace("ToMulimg1Click"); }
void TFormDesign1::ToBlock1Click(TObject*) { Trace("ToBlock1Click"); }
void TFormDesign1::ToBlockBar1Click(TObject*) { Trace("ToBlockBar1Click"); }
void TFormDesign1::ToBlockColor1Click(TObject*) { Trace("ToBlockColor1Click"); }
void TFormDesign1::RenameAllPages1Click(TObject*) { Trace("RenameAllPages1Click"); }
void TFormDesign1::btnGlobalClick(TObject*) { Trace("btnGlobalClick"); }
void TFormDesign1::ExportTexts1Click(TObject*) { Trace("ExportTexts1Click"); }
void TFormDesign1::ImportTexts1Click(TObject*) { Trace("ImportTexts1Click"); }
// The designer's texts in the current language.
void TFormDesign1::ApplyLanguageTexts() { Trace("ApplyLanguageTexts"); }

// The layers and operator panels of the project.
void TFormDesign1::LoadLayers(TmyXmlNode*) { Trace("LoadLayers"); }
void TFormDesign1::SavePanels() { Trace("SavePanels"); }
void TFormDesign1::SaveLayers() { Trace("SaveLayers"); }
// The tab order of the page's objects.
void TFormDesign1::BuildTabOrder() {}
