// TFormDesign1: the window's components, made from one table that reads like
// the window's stored layout (class and field, name, parent, bounds, align,
// text id, image index, click handler, shortcut, tag, flags), and the events
// of the components that are not clicks.

#include <array>
#include <exception>
#include <string>

#include "core/UiText.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Timer.h"
#include "platform/win/Resources.h"

namespace {

using TClick = void (TFormDesign1::*)(TObject*);

enum TRowFlag : unsigned {
  kPlain = 0,
  kHidden = 1,     // starts invisible
  kTool = 2,       // a grouped check button of a group in which one stays down
  kSeparator = 4,  // a tool bar separator or a menu line
  kRadio = 8,      // a radio menu item
  kCheck = 16,     // a check button that may be raised again
};

struct TBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct TComponentRow {
  TComponent* (*make)(TFormDesign1& form);
  const char* name;
  const char* parent;  // "" for the form; for menu items their menu or item
  TBounds bounds;
  TAlign align;
  int textId;  // hint of a tool button, caption of the rest; 0 none
  int image;   // -1 none
  TClick click;
  const char* shortCut;
  int tag;
  unsigned flags;
};

// Makes the component owned by the form and sets its field.
template <class T, T* TFormDesign1::*Field>
TComponent* Make(TFormDesign1& form) {
  T* component = new T(&form);
  form.*Field = component;
  return component;
}
// A component without a field (tool bar separators, menu lines).
template <class T>
TComponent* MakeUnnamed(TFormDesign1& form) {
  return new T(&form);
}

#define FIELD(Type, Name) &Make<Type, &TFormDesign1::Name>, #Name
#define SEPARATOR(Type) &MakeUnnamed<Type>, ""

using F = TFormDesign1;
constexpr TBounds kNoBounds{};
constexpr TBounds kButton{0, 0, 23, 22};
constexpr TBounds kSep{0, 0, 8, 22};

// The window's stored layout. Parents come before their children; tool
// buttons and menu items stand in their order.
const TComponentRow kLayout[] = {
    // Image lists, dialogs and timers first: the bars and menus refer to them.
    {FIELD(TImageList, ImageList1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TImageList, ilStates), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TImageList, ilLayers), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TOpenPictureDialog, OpenPictureDialog1), "", kNoBounds, alNone, 7017, -1, nullptr, "", 0, kPlain},
    {FIELD(TColorDialog, ColorDialog1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TTimer, CommTimer1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TTimer, RefreshTimer1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    // Main tool bar.
    {FIELD(TToolBar, tlbMain1), "", {0, 0, 984, 26}, alTop, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TToolButton, btnShowPanel1), "tlbMain1", kButton, alNone, 0, 0, &F::btnShowPanel1Click, "", 0, kHidden},
    {FIELD(TToolButton, btnHidePages), "tlbMain1", kButton, alNone, 0, 1, nullptr, "", 0, kPlain},
    {FIELD(TToolButton, btnDebug), "tlbMain1", kButton, alNone, 0, 2, &F::btnDebugClick, "", 0, kCheck},
    {FIELD(TToolButton, btnLoadBackground), "tlbMain1", kButton, alNone, 0, 3, &F::btnLoadBackgroundClick, "", 0,
     kPlain},
    {SEPARATOR(TToolButton), "tlbMain1", kSep, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TToolButton, btnSave1), "tlbMain1", kButton, alNone, 7010, 4, &F::btnSave1Click, "", 0, kPlain},
    {FIELD(TToolButton, tbPreview1), "tlbMain1", kButton, alNone, 7099, 5, &F::tbPreview1Click, "", 0, kHidden},
    {FIELD(TToolButton, btnSave2), "tlbMain1", kButton, alNone, 2018, 6, &F::btnSave2Click, "", 0, kPlain},
    {SEPARATOR(TToolButton), "tlbMain1", kSep, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TToolButton, tbUndo), "tlbMain1", kButton, alNone, 7120, 7, &F::tbUndoClick, "", 0, kPlain},
    {FIELD(TToolButton, tbRedo), "tlbMain1", kButton, alNone, 7121, 8, &F::tbRedoClick, "", 0, kPlain},
    {SEPARATOR(TToolButton), "tlbMain1", kSep, alNone, 0, -1, nullptr, "", 0, kSeparator},
    // The 18 tools: the tag is the tool's number.
    {FIELD(TToolButton, btnArrow), "tlbMain1", kButton, alNone, 7001, 9, &F::btnFunctionClick, "", 0, kTool},
    {FIELD(TToolButton, btnLabel), "tlbMain1", kButton, alNone, 7002, 10, &F::btnFunctionClick, "", 1, kTool},
    {FIELD(TToolButton, btnEditBox), "tlbMain1", kButton, alNone, 7003, 11, &F::btnFunctionClick, "", 2, kTool},
    {FIELD(TToolButton, btnEditBoxEx), "tlbMain1", kButton, alNone, 7004, 12, &F::btnFunctionClick, "", 3, kTool},
    {FIELD(TToolButton, btnGlobalSubmit), "tlbMain1", kButton, alNone, 7006, 13, &F::btnFunctionClick, "", 4, kTool},
    {FIELD(TToolButton, btnRectangle), "tlbMain1", kButton, alNone, 7137, 14, &F::btnFunctionClick, "", 5, kTool},
    {FIELD(TToolButton, btnBar), "tlbMain1", kButton, alNone, 7138, 15, &F::btnFunctionClick, "", 6, kTool},
    {FIELD(TToolButton, btnRectDynCol), "tlbMain1", kButton, alNone, 7245, 16, &F::btnFunctionClick, "", 7, kTool},
    {FIELD(TToolButton, btnStateImage), "tlbMain1", kButton, alNone, 7005, 17, &F::btnFunctionClick, "", 8, kTool},
    {FIELD(TToolButton, btnImageBtn), "tlbMain1", kButton, alNone, 7237, 18, &F::btnFunctionClick, "", 9, kTool},
    {FIELD(TToolButton, btnImage), "tlbMain1", kButton, alNone, 7007, 19, &F::btnFunctionClick, "", 10, kTool},
    {FIELD(TToolButton, btnMultiImage), "tlbMain1", kButton, alNone, 7173, 20, &F::btnFunctionClick, "", 11, kTool},
    {FIELD(TToolButton, btnCameraPic), "tlbMain1", kButton, alNone, 7008, 21, &F::btnFunctionClick, "", 12, kTool},
    {FIELD(TToolButton, btnPostFileBox), "tlbMain1", kButton, alNone, 7234, 22, &F::btnFunctionClick, "", 13, kTool},
    {FIELD(TToolButton, btnStrImg), "tlbMain1", kButton, alNone, 7243, 23, &F::btnFunctionClick, "", 14, kTool},
    {FIELD(TToolButton, btnCanvas), "tlbMain1", kButton, alNone, 7266, 24, &F::btnFunctionClick, "", 15, kTool},
    {FIELD(TToolButton, btnIFrame), "tlbMain1", kButton, alNone, 7283, 25, &F::btnFunctionClick, "", 16, kTool},
    {FIELD(TToolButton, btnDropDown), "tlbMain1", kButton, alNone, 7313, 26, &F::btnFunctionClick, "", 17, kTool},
    {SEPARATOR(TToolButton), "tlbMain1", kSep, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TToolButton, tbObjectList), "tlbMain1", kButton, alNone, 7189, 27, &F::tbObjectListClick, "", 0, kPlain},
    {FIELD(TToolButton, tbLayers), "tlbMain1", kButton, alNone, 7248, 28, &F::tbLayersClick, "", 0, kPlain},
    {FIELD(TToolButton, btnImageManager), "tlbMain1", kButton, alNone, 7009, 29, &F::btnImageManagerClick, "", 0,
     kPlain},
    {FIELD(TToolButton, btnGlobal), "tlbMain1", kButton, alNone, 7011, 30, &F::btnGlobalClick, "", 0, kPlain},
    {FIELD(TToolButton, btnPass), "tlbMain1", kButton, alNone, 7081, 31, &F::btnPassClick, "", 0, kPlain},
    {FIELD(TToolButton, tbAlarm), "tlbMain1", kButton, alNone, 7231, 32, &F::tbAlarmClick, "", 0, kPlain},
    {FIELD(TToolButton, tbLang), "tlbMain1", kButton, alNone, 8007, 33, &F::tbLangClick, "", 0, kPlain},
    {FIELD(TToolButton, tbAbout), "tlbMain1", kButton, alNone, 0, 34, &F::tbAboutClick, "", 0, kPlain},
    {SEPARATOR(TToolButton), "tlbMain1", kSep, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TToolButton, tbGridOff), "tlbMain1", kButton, alNone, 0, 35, &F::tbGridOffClick, "", 0, kHidden},
    {FIELD(TToolButton, tbGridOn), "tlbMain1", kButton, alNone, 0, 36, &F::tbGridOnClick, "", 0, kHidden},
    {FIELD(TToolButton, ToolButton6), "tlbMain1", kButton, alNone, 0, -1, &F::ToolButton6Click, "", 0, kHidden},
    // Live-view tool bar (shown in the live view and for read-only projects).
    {FIELD(TToolBar, tlbDebug1), "", {0, 26, 984, 26}, alTop, 0, -1, nullptr, "", 0, kHidden},
    {FIELD(TToolButton, btnShowPanel2), "tlbDebug1", kButton, alNone, 0, 0, &F::btnShowPanel1Click, "", 0, kHidden},
    {FIELD(TToolButton, btnDebug2), "tlbDebug1", kButton, alNone, 0, 2, &F::btnDebugClick, "", 0, kCheck},
    // Status bar.
    {FIELD(TStatusBar, sbStatus), "", {0, 602, 984, 19}, alBottom, 0, -1, nullptr, "", 0, kPlain},
    // Left panel: its tool bar and the page tree.
    {FIELD(TPanel, pnlLeft), "", {0, 26, 145, 576}, alLeft, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TToolBar, tlbLeft1), "pnlLeft", {0, 0, 145, 26}, alTop, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TToolButton, btnAddGroup), "tlbLeft1", kButton, alNone, 7012, 37, &F::btnAddGroupClick, "", 0, kPlain},
    {FIELD(TToolButton, btnAddPage), "tlbLeft1", kButton, alNone, 7013, 38, &F::btnAddPageClick, "", 0, kPlain},
    {FIELD(TToolButton, btnDeletePage), "tlbLeft1", kButton, alNone, 2009, 39, &F::btnDeletePageClick, "", 0, kPlain},
    {FIELD(TToolButton, btnPageUp), "tlbLeft1", kButton, alNone, 7014, 40, &F::btnPageUpClick, "", 0, kPlain},
    {FIELD(TToolButton, btnPageDown), "tlbLeft1", kButton, alNone, 7015, 41, &F::btnPageDownClick, "", 0, kPlain},
    {FIELD(TTreeView, tvPageList), "pnlLeft", {0, 26, 145, 550}, alClient, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TSplitter, Splitter1), "", {145, 26, 3, 576}, alLeft, 0, -1, nullptr, "", 0, kPlain},
    // The design area: the surface with the background picture.
    {FIELD(TPanel, pnlCenter), "", {148, 26, 836, 576}, alClient, 7018, -1, nullptr, "", 0, kPlain},
    {FIELD(TScrollBox, sbDesign1), "pnlCenter", {0, 0, 836, 576}, alClient, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TImage, imgBg), "sbDesign1", {0, 0, 800, 500}, alNone, 0, -1, nullptr, "", 0, kHidden},
    {FIELD(TLabel, lblDummy), "sbDesign1", {0, 0, 1, 1}, alNone, 0, -1, nullptr, "", 0, kPlain},
    // The objects' menu.
    {FIELD(TPopupMenu, ObjectPopup), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Edit1), "ObjectPopup", kNoBounds, alNone, 7016, -1, &F::Edit1Click, "", 0, kPlain},
    {SEPARATOR(TMenuItem), "ObjectPopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Copy1), "ObjectPopup", kNoBounds, alNone, 2029, -1, &F::Copy1Click, "Ctrl+C", 0, kPlain},
    {FIELD(TMenuItem, Cut1), "ObjectPopup", kNoBounds, alNone, 2028, -1, &F::Copy1Click, "Ctrl+X", 1, kPlain},
    {FIELD(TMenuItem, Delete1), "ObjectPopup", kNoBounds, alNone, 2009, -1, &F::Delete1Click, "", 0, kPlain},
    {SEPARATOR(TMenuItem), "ObjectPopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Bringtofront1), "ObjectPopup", kNoBounds, alNone, 7106, -1, &F::Bringtofront1Click, "", 0,
     kPlain},
    {FIELD(TMenuItem, Sendtoback1), "ObjectPopup", kNoBounds, alNone, 7107, -1, &F::Sendtoback1Click, "", 0, kPlain},
    {FIELD(TMenuItem, BringForward1), "ObjectPopup", kNoBounds, alNone, 7108, -1, &F::BringForward1Click, "Ctrl+U", 0,
     kPlain},
    {FIELD(TMenuItem, SendBackward1), "ObjectPopup", kNoBounds, alNone, 7109, -1, &F::SendBackward1Click, "Ctrl+D", 0,
     kPlain},
    {SEPARATOR(TMenuItem), "ObjectPopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Align1), "ObjectPopup", kNoBounds, alNone, 7180, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, AlignTop1), "Align1", kNoBounds, alNone, 7176, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, AlignBottom1), "Align1", kNoBounds, alNone, 7177, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, AlignLeft1), "Align1", kNoBounds, alNone, 7111, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, AlignRight1), "Align1", kNoBounds, alNone, 7175, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, AlignMiddle1), "Align1", kNoBounds, alNone, 7179, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, AlignCenter1), "Align1", kNoBounds, alNone, 7178, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, DistributeHorizontally1), "Align1", kNoBounds, alNone, 7181, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Left1), "DistributeHorizontally1", kNoBounds, alNone, 7183, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, Centre1), "DistributeHorizontally1", kNoBounds, alNone, 7184, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, Spacing1), "DistributeHorizontally1", kNoBounds, alNone, 7185, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, Right1), "DistributeHorizontally1", kNoBounds, alNone, 7186, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, DistributeVertically1), "Align1", kNoBounds, alNone, 7182, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Top1), "DistributeVertically1", kNoBounds, alNone, 7187, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, Centre2), "DistributeVertically1", kNoBounds, alNone, 7184, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, Spacing2), "DistributeVertically1", kNoBounds, alNone, 7185, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, Bottom1), "DistributeVertically1", kNoBounds, alNone, 7188, -1, &F::AlignClick, "", 0, kPlain},
    {FIELD(TMenuItem, AlignToGrid1), "Align1", kNoBounds, alNone, 7143, -1, &F::AlignToGrid1Click, "", 0, kPlain},
    {FIELD(TMenuItem, Editbase1), "ObjectPopup", kNoBounds, alNone, 7110, -1, &F::Editbase1Click, "", 0, kPlain},
    {FIELD(TMenuItem, EditVisibilityBase1), "ObjectPopup", kNoBounds, alNone, 7149, -1, &F::EditVisibilityBase1Click,
     "", 0, kPlain},
    {FIELD(TMenuItem, VarNameReplace1), "ObjectPopup", kNoBounds, alNone, 7320, -1, &F::VarNameReplace1Click, "", 0,
     kPlain},
    {FIELD(TMenuItem, AutoIndexArray1), "ObjectPopup", kNoBounds, alNone, 7193, -1, &F::AutoIndexArray1Click, "", 0,
     kPlain},
    {FIELD(TMenuItem, miLayers), "ObjectPopup", kNoBounds, alNone, 7248, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Convert1), "ObjectPopup", kNoBounds, alNone, 8074, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, ToPicture1), "Convert1", kNoBounds, alNone, 7007, -1, &F::ToPicture1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ToImage1), "Convert1", kNoBounds, alNone, 7005, -1, &F::ToImage1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ToImageBtn1), "Convert1", kNoBounds, alNone, 7237, -1, &F::ToImageBtn1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ToMulimg1), "Convert1", kNoBounds, alNone, 7173, -1, &F::ToMulimg1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ToBlock1), "Convert1", kNoBounds, alNone, 7137, -1, &F::ToBlock1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ToBlockBar1), "Convert1", kNoBounds, alNone, 7138, -1, &F::ToBlockBar1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ToBlockColor1), "Convert1", kNoBounds, alNone, 7245, -1, &F::ToBlockColor1Click, "", 0, kPlain},
    // The design surface's menu.
    {FIELD(TPopupMenu, ScrollPopup), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Edit3), "ScrollPopup", kNoBounds, alNone, 7016, -1, &F::sbDesign1DblClick, "", 0, kPlain},
    {SEPARATOR(TMenuItem), "ScrollPopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Undo1), "ScrollPopup", kNoBounds, alNone, 7120, -1, &F::tbUndoClick, "Ctrl+Z", 0, kPlain},
    {FIELD(TMenuItem, Copy2), "ScrollPopup", kNoBounds, alNone, 2029, -1, &F::Copy1Click, "Ctrl+C", 0, kPlain},
    {FIELD(TMenuItem, Cut2), "ScrollPopup", kNoBounds, alNone, 2028, -1, &F::Copy1Click, "Ctrl+X", 1, kPlain},
    {FIELD(TMenuItem, Paste1), "ScrollPopup", kNoBounds, alNone, 2030, -1, &F::Paste1Click, "Ctrl+V", 0, kPlain},
    {FIELD(TMenuItem, PasteDirect1), "ScrollPopup", kNoBounds, alNone, 7306, -1, &F::PasteDirect1Click, "Ctrl+Shift+V",
     0, kPlain},
    {FIELD(TMenuItem, PasteInActiveLayer1), "ScrollPopup", kNoBounds, alNone, 2069, -1, &F::PasteInActiveLayer1Click,
     "", 0, kPlain},
    {FIELD(TMenuItem, SelectAll1), "ScrollPopup", kNoBounds, alNone, 2027, -1, &F::SelectAll1Click, "Ctrl+A", 0,
     kPlain},
    {SEPARATOR(TMenuItem), "ScrollPopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Grid1), "ScrollPopup", kNoBounds, alNone, 7098, -1, &F::Grid1Click, "", 0, kPlain},
    {FIELD(TMenuItem, Find1), "ScrollPopup", kNoBounds, alNone, 0, -1, &F::Find1Click, "Ctrl+F", 0, kHidden},
    {FIELD(TMenuItem, ShowInNewWindow1), "ScrollPopup", kNoBounds, alNone, 7115, -1, &F::ShowInNewWindow1Click, "", 0,
     kPlain},
    {FIELD(TMenuItem, DebugPict1), "ScrollPopup", kNoBounds, alNone, 0, -1, &F::DebugPict1Click, "", 0, kHidden},
    {SEPARATOR(TMenuItem), "ScrollPopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, GlobalSettings1), "ScrollPopup", kNoBounds, alNone, 7011, -1, &F::btnGlobalClick, "", 0, kPlain},
    {FIELD(TMenuItem, LanguageSettings1), "ScrollPopup", kNoBounds, alNone, 8007, -1, &F::tbLangClick, "", 0, kPlain},
    {FIELD(TMenuItem, ExportTexts1), "ScrollPopup", kNoBounds, alNone, 7151, -1, &F::ExportTexts1Click, "", 0, kPlain},
    {FIELD(TMenuItem, ImportTexts1), "ScrollPopup", kNoBounds, alNone, 7150, -1, &F::ImportTexts1Click, "", 0, kPlain},
    // The page tree's menu.
    {FIELD(TPopupMenu, TreePopup), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Addgroup1), "TreePopup", kNoBounds, alNone, 7012, -1, &F::btnAddGroupClick, "", 0, kPlain},
    {FIELD(TMenuItem, Addpage1), "TreePopup", kNoBounds, alNone, 7013, -1, &F::btnAddPageClick, "", 0, kPlain},
    {FIELD(TMenuItem, Delete2), "TreePopup", kNoBounds, alNone, 2009, -1, &F::btnDeletePageClick, "", 0, kPlain},
    {SEPARATOR(TMenuItem), "TreePopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, MoveUp1), "TreePopup", kNoBounds, alNone, 7014, -1, &F::btnPageUpClick, "", 0, kPlain},
    {FIELD(TMenuItem, MoveDown1), "TreePopup", kNoBounds, alNone, 7015, -1, &F::btnPageDownClick, "", 0, kPlain},
    {SEPARATOR(TMenuItem), "TreePopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Edit2), "TreePopup", kNoBounds, alNone, 7016, -1, &F::tvPageListDblClick, "", 0, kPlain},
    {FIELD(TMenuItem, GroupPageSettings1), "TreePopup", kNoBounds, alNone, 7116, -1, &F::GroupPageSettings1Click, "", 0,
     kPlain},
    {SEPARATOR(TMenuItem), "TreePopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, Copy3), "TreePopup", kNoBounds, alNone, 2029, -1, &F::Copy3Click, "Ctrl+C", 0, kPlain},
    {FIELD(TMenuItem, Paste2), "TreePopup", kNoBounds, alNone, 2030, -1, &F::Paste2Click, "Ctrl+V", 0, kPlain},
    {SEPARATOR(TMenuItem), "TreePopup", kNoBounds, alNone, 0, -1, nullptr, "", 0, kSeparator},
    {FIELD(TMenuItem, RenameAllPages1), "TreePopup", kNoBounds, alNone, 7290, -1, &F::RenameAllPages1Click, "", 0,
     kPlain},
    {FIELD(TMenuItem, PagesDisplayFormat1), "TreePopup", kNoBounds, alNone, 7319, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, Caption1), "PagesDisplayFormat1", kNoBounds, alNone, 7094, -1, &F::PagesDisplayFormat1Click, "",
     0, kRadio},
    {FIELD(TMenuItem, FileName1), "PagesDisplayFormat1", kNoBounds, alNone, 7030, -1, &F::PagesDisplayFormat1Click, "",
     1, kRadio},
    {FIELD(TMenuItem, CaptionFileName1), "PagesDisplayFormat1", kNoBounds, alNone, 0, -1, &F::PagesDisplayFormat1Click,
     "", 2, kRadio},
    // Menus filled while the window runs, and the edit fields' menu.
    {FIELD(TPopupMenu, PagesPopup1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TPopupMenu, LangPopup1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TPopupMenu, CommonEditPopup1), "", kNoBounds, alNone, 0, -1, nullptr, "", 0, kPlain},
    {FIELD(TMenuItem, CommonCut), "CommonEditPopup1", kNoBounds, alNone, 2028, -1, &F::CommonCutClick, "Ctrl+X", 0,
     kPlain},
    {FIELD(TMenuItem, CommonCopy), "CommonEditPopup1", kNoBounds, alNone, 2029, -1, &F::CommonCopyClick, "Ctrl+C", 0,
     kPlain},
    {FIELD(TMenuItem, CommonPaste), "CommonEditPopup1", kNoBounds, alNone, 2030, -1, &F::CommonPasteClick, "Ctrl+V", 0,
     kPlain},
    {FIELD(TMenuItem, CommonSelectAll), "CommonEditPopup1", kNoBounds, alNone, 2027, -1, &F::CommonSelectAllClick,
     "Ctrl+A", 0, kPlain},
};

#undef FIELD
#undef SEPARATOR

constexpr int kFormWidth = 1000;
constexpr int kFormHeight = 660;
constexpr int kGlyphSize = 16;
// The pictures of the tool bars' buttons, in the order of the image indexes
// above, and those of the layer menu (a visible, a hidden, a frozen layer):
// strips of 16 x 16 pictures, fuchsia transparent.
constexpr const char* kToolBarPictures = "TOOLBAR_BMP";
constexpr const char* kLayerPictures = "LAYERS_BMP";
constexpr int kCaptionTextId = 7094;
constexpr int kFileNameTextId = 7030;
constexpr int kStatusPanelWidth = 320;
constexpr unsigned kLiveViewInterval = 50;
constexpr unsigned kRefreshInterval = 100;

std::string TextOf(int id) { return id != 0 ? GetUiText(id) : std::string(); }

void PlaceToolButton(TToolButton& button, const TComponentRow& row, TWinControl* parent) {
  button.SetImageIndex(row.image);
  if (row.flags & kSeparator) {
    button.SetStyle(tbsSeparator);
    button.SetWidth(row.bounds.width);
  }
  if (row.flags & (kTool | kCheck)) button.SetStyle(tbsCheck);
  if (row.flags & kTool) button.SetGrouped(true);
  button.SetParent(parent);
}

void PlaceMenuItem(TMenuItem& item, const TComponentRow& row, TComponent* parent) {
  item.SetCaption(row.flags & kSeparator ? std::string("-") : TextOf(row.textId));
  item.SetShortCut(TextToShortCut(row.shortCut));
  item.SetRadioItem((row.flags & kRadio) != 0);
  item.SetVisible((row.flags & kHidden) == 0);
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(&item);
  else if (auto* parentItem = dynamic_cast<TMenuItem*>(parent))
    parentItem->Add(&item);
}

void PlaceControl(TControl& control, const TComponentRow& row, TWinControl* parent) {
  control.SetBounds(row.bounds.left, row.bounds.top, row.bounds.width, row.bounds.height);
  control.SetAlign(row.align);
  control.SetVisible((row.flags & kHidden) == 0);
  if (auto* button = dynamic_cast<TToolButton*>(&control)) {
    button->Hint = TextOf(row.textId);
    button->SetShowHint(true);
    PlaceToolButton(*button, row, parent);
    return;
  }
  if (row.textId != 0) control.SetCaption(TextOf(row.textId));
  control.SetParent(parent);
}

// Adds the pictures of a strip of the library's resources to the list; a
// build without the resource leaves the list as it is (the buttons show no
// picture).
void AddPictureStrip(TImageList& list, const char* resourceName) {
  try {
    TBitmap strip;
    strip.LoadFromResourceName(HInstance, resourceName);
    list.AddMasked(&strip, clFuchsia);
  } catch (const std::exception&) {}
}

// A 16 x 16 picture of one colour with a dark frame: a tree state mark.
void AddGlyph(TImageList& list, TColor fill) {
  TBitmap glyph;
  glyph.SetSize(kGlyphSize, kGlyphSize);
  glyph.Canvas->Brush->Color = clFuchsia;
  glyph.Canvas->FillRect({0, 0, kGlyphSize, kGlyphSize});
  glyph.Canvas->Brush->Color = fill;
  glyph.Canvas->Pen->Color = clGray;
  glyph.Canvas->Rectangle(3, 3, kGlyphSize - 3, kGlyphSize - 3);
  list.AddMasked(&glyph, clFuchsia);
}

}  // namespace

void TFormDesign1::CreateComponents() {
  SetBounds(0, 0, kFormWidth, kFormHeight);
  for (const TComponentRow& row : kLayout) {
    TComponent* component = row.make(*this);
    component->SetName(row.name);
    component->Tag = row.tag;
    TComponent* parent = row.parent[0] != '\0' ? FindComponent(row.parent) : this;
    if (auto* item = dynamic_cast<TMenuItem*>(component)) {
      PlaceMenuItem(*item, row, parent);
      if (row.click != nullptr) item->OnClick = {this, row.click};
    } else if (auto* control = dynamic_cast<TControl*>(component)) {
      PlaceControl(*control, row, dynamic_cast<TWinControl*>(parent));
      if (row.click != nullptr) control->OnClick = {this, row.click};
    } else if (auto* dialog = dynamic_cast<TOpenDialog*>(component)) {
      dialog->Title = TextOf(row.textId);
    }
  }
}

void TFormDesign1::BindEvents() {
  // Forms.
  OnCreate = {this, &TFormDesign1::FormCreate};
  OnShow = {this, &TFormDesign1::FormShow};
  OnActivate = {this, &TFormDesign1::FormActivate};
  OnDeactivate = {this, &TFormDesign1::FormDeactivate};
  OnCloseQuery = {this, &TFormDesign1::FormCloseQuery};
  OnClose = {this, &TFormDesign1::FormClose};
  OnDestroy = {this, &TFormDesign1::FormDestroy};
  OnStartDock = {this, &TFormDesign1::FormStartDock};
  OnEndDock = {this, &TFormDesign1::FormEndDock};
  OnUnDock = {this, &TFormDesign1::FormUnDock};
  // The page tree.
  tvPageList->OnChanging = {this, &TFormDesign1::tvPageListChanging};
  tvPageList->OnChange = {this, &TFormDesign1::tvPageListChange};
  tvPageList->OnCollapsing = {this, &TFormDesign1::tvPageListCollapsing};
  tvPageList->OnExpanding = {this, &TFormDesign1::tvPageListExpanding};
  tvPageList->OnDeletion = {this, &TFormDesign1::tvPageListDeletion};
  tvPageList->OnMouseDown = {this, &TFormDesign1::tvPageListMouseDown};
  tvPageList->OnMouseMove = {this, &TFormDesign1::tvPageListMouseMove};
  tvPageList->OnDblClick = {this, &TFormDesign1::tvPageListDblClick};
  // The design surface and its background picture.
  for (TControl* surface : {static_cast<TControl*>(sbDesign1), static_cast<TControl*>(imgBg)}) {
    surface->OnMouseDown = {this, &TFormDesign1::sbDesign1MouseDown};
    surface->OnMouseMove = {this, &TFormDesign1::sbDesign1MouseMove};
    surface->OnMouseUp = {this, &TFormDesign1::sbDesign1MouseUp};
    surface->OnDblClick = {this, &TFormDesign1::sbDesign1DblClick};
  }
  sbDesign1->OnMouseWheel = {this, &TFormDesign1::sbDesign1MouseWheel};
  // Bars, menus, timers.
  Splitter1->OnMoved = {this, &TFormDesign1::Splitter1Moved};
  sbStatus->OnDrawPanel = {this, &TFormDesign1::sbStatusDrawPanel};
  tlbMain1->OnDblClick = {this, &TFormDesign1::tlbMain1DblClick};
  btnDebug->OnMouseMove = {this, &TFormDesign1::btnDebugMouseMove};
  btnDebug2->OnMouseMove = {this, &TFormDesign1::btnDebug2MouseMove};
  ObjectPopup->OnPopup = {this, &TFormDesign1::ObjectPopupPopup};
  ColorDialog1->OnClose = {this, &TFormDesign1::ColorDialog1Close};
  CommTimer1->OnTimer = {this, &TFormDesign1::CommTimer1Timer};
  RefreshTimer1->OnTimer = {this, &TFormDesign1::RefreshTimer1Timer};
  ConfigureComponents();
}

// What the table's columns do not hold: pictures, tree and bar options,
// status panels, timers, the composed caption.
void TFormDesign1::ConfigureComponents() {
  AddPictureStrip(*ImageList1, kToolBarPictures);
  AddPictureStrip(*ilLayers, kLayerPictures);
  AddGlyph(*ilStates, clWhite);   // 0: the system's reserved first state picture
  AddGlyph(*ilStates, clYellow);  // 1: a locked group
  AddGlyph(*ilStates, clRed);     // 2: a locked group with notifications
  for (TToolBar* bar : {tlbMain1, tlbLeft1, tlbDebug1}) {
    bar->SetImages(ImageList1);
    bar->SetFlat(true);
  }
  tvPageList->SetStateImages(ilStates);
  tvPageList->SetHideSelection(false);
  tvPageList->ReadOnly = true;
  for (int i = 0; i < 2; ++i) {
    TStatusPanel* panel = sbStatus->Panels()->Add();
    panel->SetStyle(psOwnerDraw);
    panel->SetWidth(kStatusPanelWidth);
  }
  lblDummy->SetCaption("");
  lblDummy->SetTransparent(true);
  CommTimer1->SetEnabled(false);
  CommTimer1->SetInterval(kLiveViewInterval);
  RefreshTimer1->SetEnabled(false);
  RefreshTimer1->SetInterval(kRefreshInterval);
  ObjectPopup->SetImages(ilLayers);
  // The surface and the page tree carry their menus, so that the menus'
  // shortcuts reach the commands while either has the keys; their mouse
  // handlers pop the menus up themselves.
  ScrollPopup->AutoPopup = false;
  TreePopup->AutoPopup = false;
  sbDesign1->SetPopupMenu(ScrollPopup);
  tvPageList->SetPopupMenu(TreePopup);
  CaptionFileName1->SetCaption(GetUiText(kCaptionTextId) + " (" + GetUiText(kFileNameTextId) + ")");
  Caption1->SetChecked(true);
}
