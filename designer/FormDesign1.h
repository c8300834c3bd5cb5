#pragma once
// TFormDesign1: the designer window. It owns the project document and the
// shown page, whose objects live as TGridWebElement children of the design
// surface sbDesign1. Its members are split over files by concern:
//   FormDesign1.cpp        construction, the window's own handlers, help
//   DesignerLayout.cpp     the components, from one table (the stored layout)
//   DesignerTexts.cpp      the UI texts, the status bar, the wheel, the refresh timer
//   DesignerProjectLoad.cpp  loading the project, the page tree's filling
//   DesignerProjectSave.cpp  saving the project
//   DesignerCompile.cpp    save and compile
//   DesignerLanguages.cpp  the project's languages
//   PageTree.cpp           the commands of the page tree
//   PageJump.cpp           page names and the jump to a page
//   PageDisplay.cpp        showing and storing a page, the background
//   GroupPageProperties.cpp  the properties of groups and pages
//   DesignerUndo.cpp       the undo history over the design surface
//   DesignerKeys.cpp       the surface's keys, deleting objects, Edit1
//   DesignerPlacement.cpp  placement, docking, the left panel, colours
//   DesignerClosing.cpp    closing and destruction
//   DesignerMouse.cpp      the mouse on the surface, selection, alignment
//   DesignerInsertTools.cpp  the insert tools and their insertion frames
//   ObjectClipboard.cpp    the clipboard of page objects
//   PageClipboard.cpp      the clipboard of the page tree
//   ZOrder.cpp             the z-order commands and the grid switch
//   EditFieldCommands.cpp  the common edit pop-up, variable bases, find, preview
//   VariableCommands.cpp   the commands on the objects' PLC variables
//   BulkCommands.cpp       renames of variables and pages, array indices
//   ConversionCommands.cpp the conversions between object kinds
//   ReferenceRenames.cpp   references that follow a renamed page or image
//   Layers.cpp             the layers and the layer submenu
//   ImageCheck.cpp         the check of the image list at loading
//   ImageManagerCommand.cpp  the image manager and the image pickers
//   ProjectDialogs.cpp     the project dialogs' commands
//   ProjectTextCommands.cpp  alarms, object list, languages, texts for translation
//   Panels.cpp             the operator panels written at every save
//   LiveView.cpp           the live view
//   DesignerContextServices.cpp  what the dialogs ask of the window (TDesignerContext)
//   EmptyHandlers.cpp      the handlers that do nothing
//   LoadObjects.cpp        reading a page's `object` nodes onto a surface
//   LangTexts.cpp          the texts of objects per project language

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "designer/Alignment.h"
#include "designer/DesignerHost.h"
#include "designer/InsertTools.h"
#include "designer/LiveViewLink.h"
#include "designer/ObjectConversions.h"
#include "designer/ProjectDocument.h"
#include "designer/SurfaceKeys.h"
#include "designer/SurfaceMouse.h"
#include "designer/UndoHistory.h"
#include "generator/CompileState.h"
#include "generator/SaveAndCompile.h"
#include "grid/GlobalWebData.h"
#include "grid/GridWebElement.h"
#include "grid/StringDualListLang.h"
#include "platform/vcl/Form.h"
#include "platform/win/WindowTypes.h"
#include "properties/DesignerContext.h"

class TScrollBox;
class TCustomForm;
class TMemoryStream;
class TStringList;
struct TObjectReading;
class TmyXMLParser;
class TmyXmlNode;
class TPopupMenu;
class TMenuItem;
class TToolBar;
class TToolButton;
class TPanel;
class TTreeView;
class TTreeNode;
class TSplitter;
class TImage;
class TLabel;
struct TMessage;
class TStatusBar;
class TStatusPanel;
class TImageList;
class TOpenPictureDialog;
class TColorDialog;
class TTimer;
class TGridInsert;
class TPlaceholderResolver;
class TFormDebugList;
class TPropertyForm;
class TFormGroupProperties;
class TFormPageProperties;

// "/LINVAR": the page-object reader flattens the variable references it reads.
// The plug-in frame sets it from the host's command line at start-up.
extern bool gFlattenVariableNames;

// Number of alarm pages the live view keeps, and of the tools' templates.
inline constexpr int kAlarmPageCount = 8;
inline constexpr int kToolTemplateCount = 17;

// The insert tool in use (none: the arrow).
enum class TToolMode {
  None,
  Label,
  EditBox,
  EditBoxEx,
  GlobalSubmit,
  Rectangle,
  Bar,
  RectDynCol,
  StateImage,
  ImageBtn,
  Image,
  MultiImage,
  CameraPic,
  PostFileBox,
  StrImg,
  Canvas,
  IFrame,
  DropDown
};

class TFormDesign1 : public TForm, public TDesignerContext {
 public:
  // `host` gives the project's location and the ST constants refresh; none:
  // the host through the core services (TCoreDesignerHost).
  explicit TFormDesign1(TComponent* owner, std::unique_ptr<TDesignerHost> host = nullptr);
  ~TFormDesign1() override;

  // --- components (the window's stored layout, DesignerLayout.cpp) -------------
  TToolBar* tlbMain1 = nullptr;
  TToolButton* btnShowPanel1 = nullptr;
  TToolButton* btnHidePages = nullptr;
  TToolButton* btnDebug = nullptr;
  TToolButton* btnLoadBackground = nullptr;
  TToolButton* btnSave1 = nullptr;
  TToolButton* tbPreview1 = nullptr;
  TToolButton* btnSave2 = nullptr;
  TToolButton* tbUndo = nullptr;
  TToolButton* tbRedo = nullptr;
  TToolButton* btnArrow = nullptr;
  TToolButton* btnLabel = nullptr;
  TToolButton* btnEditBox = nullptr;
  TToolButton* btnEditBoxEx = nullptr;
  TToolButton* btnGlobalSubmit = nullptr;
  TToolButton* btnRectangle = nullptr;
  TToolButton* btnBar = nullptr;
  TToolButton* btnRectDynCol = nullptr;
  TToolButton* btnStateImage = nullptr;
  TToolButton* btnImageBtn = nullptr;
  TToolButton* btnImage = nullptr;
  TToolButton* btnMultiImage = nullptr;
  TToolButton* btnCameraPic = nullptr;
  TToolButton* btnPostFileBox = nullptr;
  TToolButton* btnStrImg = nullptr;
  TToolButton* btnCanvas = nullptr;
  TToolButton* btnIFrame = nullptr;
  TToolButton* btnDropDown = nullptr;
  TToolButton* tbObjectList = nullptr;
  TToolButton* tbLayers = nullptr;
  TToolButton* btnImageManager = nullptr;
  TToolButton* btnGlobal = nullptr;
  TToolButton* btnPass = nullptr;
  TToolButton* tbAlarm = nullptr;
  TToolButton* tbLang = nullptr;
  TToolButton* tbAbout = nullptr;
  TToolButton* tbGridOff = nullptr;
  TToolButton* tbGridOn = nullptr;
  TToolButton* ToolButton6 = nullptr;
  TPanel* pnlLeft = nullptr;
  TToolBar* tlbLeft1 = nullptr;
  TToolButton* btnAddGroup = nullptr;
  TToolButton* btnAddPage = nullptr;
  TToolButton* btnDeletePage = nullptr;
  TToolButton* btnPageUp = nullptr;
  TToolButton* btnPageDown = nullptr;
  TTreeView* tvPageList = nullptr;
  TSplitter* Splitter1 = nullptr;
  TPanel* pnlCenter = nullptr;
  TScrollBox* sbDesign1 = nullptr;
  TImage* imgBg = nullptr;
  TLabel* lblDummy = nullptr;
  TStatusBar* sbStatus = nullptr;
  TToolBar* tlbDebug1 = nullptr;
  TToolButton* btnShowPanel2 = nullptr;
  TToolButton* btnDebug2 = nullptr;
  // Pop-up menus and their items.
  TPopupMenu* ObjectPopup = nullptr;
  TMenuItem* Edit1 = nullptr;
  TMenuItem* Copy1 = nullptr;
  TMenuItem* Cut1 = nullptr;
  TMenuItem* Delete1 = nullptr;
  TMenuItem* Bringtofront1 = nullptr;
  TMenuItem* Sendtoback1 = nullptr;
  TMenuItem* BringForward1 = nullptr;
  TMenuItem* SendBackward1 = nullptr;
  TMenuItem* Align1 = nullptr;
  TMenuItem* AlignTop1 = nullptr;
  TMenuItem* AlignBottom1 = nullptr;
  TMenuItem* AlignLeft1 = nullptr;
  TMenuItem* AlignRight1 = nullptr;
  TMenuItem* AlignMiddle1 = nullptr;
  TMenuItem* AlignCenter1 = nullptr;
  TMenuItem* DistributeHorizontally1 = nullptr;
  TMenuItem* Left1 = nullptr;
  TMenuItem* Centre1 = nullptr;
  TMenuItem* Spacing1 = nullptr;
  TMenuItem* Right1 = nullptr;
  TMenuItem* DistributeVertically1 = nullptr;
  TMenuItem* Top1 = nullptr;
  TMenuItem* Centre2 = nullptr;
  TMenuItem* Spacing2 = nullptr;
  TMenuItem* Bottom1 = nullptr;
  TMenuItem* AlignToGrid1 = nullptr;
  TMenuItem* Editbase1 = nullptr;
  TMenuItem* EditVisibilityBase1 = nullptr;
  TMenuItem* VarNameReplace1 = nullptr;
  TMenuItem* AutoIndexArray1 = nullptr;
  TMenuItem* miLayers = nullptr;
  TMenuItem* Convert1 = nullptr;
  TMenuItem* ToPicture1 = nullptr;
  TMenuItem* ToImage1 = nullptr;
  TMenuItem* ToImageBtn1 = nullptr;
  TMenuItem* ToMulimg1 = nullptr;
  TMenuItem* ToBlock1 = nullptr;
  TMenuItem* ToBlockBar1 = nullptr;
  TMenuItem* ToBlockColor1 = nullptr;
  TPopupMenu* ScrollPopup = nullptr;
  TMenuItem* Edit3 = nullptr;
  TMenuItem* Undo1 = nullptr;
  TMenuItem* Copy2 = nullptr;
  TMenuItem* Cut2 = nullptr;
  TMenuItem* Paste1 = nullptr;
  TMenuItem* PasteDirect1 = nullptr;
  TMenuItem* PasteInActiveLayer1 = nullptr;
  TMenuItem* SelectAll1 = nullptr;
  TMenuItem* Grid1 = nullptr;
  TMenuItem* Find1 = nullptr;
  TMenuItem* ShowInNewWindow1 = nullptr;
  TMenuItem* DebugPict1 = nullptr;
  TMenuItem* GlobalSettings1 = nullptr;
  TMenuItem* LanguageSettings1 = nullptr;
  TMenuItem* ExportTexts1 = nullptr;
  TMenuItem* ImportTexts1 = nullptr;
  TPopupMenu* TreePopup = nullptr;
  TMenuItem* Addgroup1 = nullptr;
  TMenuItem* Addpage1 = nullptr;
  TMenuItem* Delete2 = nullptr;
  TMenuItem* MoveUp1 = nullptr;
  TMenuItem* MoveDown1 = nullptr;
  TMenuItem* Edit2 = nullptr;
  TMenuItem* GroupPageSettings1 = nullptr;
  TMenuItem* Copy3 = nullptr;
  TMenuItem* Paste2 = nullptr;
  TMenuItem* RenameAllPages1 = nullptr;
  TMenuItem* PagesDisplayFormat1 = nullptr;
  TMenuItem* Caption1 = nullptr;
  TMenuItem* FileName1 = nullptr;
  TMenuItem* CaptionFileName1 = nullptr;
  TPopupMenu* PagesPopup1 = nullptr;
  TPopupMenu* CommonEditPopup1 = nullptr;
  TMenuItem* CommonCut = nullptr;
  TMenuItem* CommonCopy = nullptr;
  TMenuItem* CommonPaste = nullptr;
  TMenuItem* CommonSelectAll = nullptr;
  TPopupMenu* LangPopup1 = nullptr;
  // Image lists, dialogs, timers.
  TImageList* ImageList1 = nullptr;
  TImageList* ilStates = nullptr;
  TImageList* ilLayers = nullptr;
  TOpenPictureDialog* OpenPictureDialog1 = nullptr;
  TColorDialog* ColorDialog1 = nullptr;
  TTimer* CommTimer1 = nullptr;
  TTimer* RefreshTimer1 = nullptr;

  // --- the window as a whole (FormDesign1.cpp) ---------------------------------
  void SelectAll1Click(TObject* sender);
  void btnLoadBackgroundClick(TObject* sender);
  // The help request (0x53) opens the help at "Tarnwell"; the rest goes on.
  void Dispatch(void* message) override;
  void ShowDesignerHelp();
  // Seconds since 1970, the value of the pages' change stamps.
  std::int32_t GetUcidTime() const;
  TProjectDocument& Document() { return *document_; }
  const TProjectDocument& Document() const { return *document_; }
  TDesignerHost& Host() { return *host_; }
  // Every command that changes the project: modified, and btnSave2 enabled.
  void SetModified() override;

  // --- loading (DesignerProjectLoad.cpp) --------------------------------------------
  void FormShow(TObject* sender);
  // The whole load of the host's project; a held document is dropped first.
  void LoadProject();
  // Loads the project when the window holds no document, whether it is shown
  // or not (a build with the designer hidden needs one too); true when a
  // document is held afterwards, else FOpenFailure says why.
  bool EnsureProjectLoaded();
  // The project's languages (DesignerLanguages.cpp): the slots' codes, the
  // editor's language, texts per language or not; a missing `Languages` is
  // made.
  void LoadLanguages(TmyXmlNode* languages);
  void SetEditorLanguage(int code);
  // The position in the list of languages (1..66) of a language slot's
  // language; 0 outside the slots or for a slot not in use.
  int GetLanguageListIndex(int slot) const override;
  // Writes an exported texts file, asking first (owned by `owner`) when it
  // exists; a written file's name goes onto the list text after CR LF.
  // False when the user kept the old file.
  bool SaveTextsFileConfirmed(TCustomForm* owner, const std::string& fileName, std::string& listText,
                              TMemoryStream& stream);
  // The 16 layers, the active layer and the paste flag from `Layers`; a
  // missing element is made (Layers.cpp).
  void LoadLayers(TmyXmlNode* layers);
  // The shared record's image names from the project's `images`.
  void RefreshImageList() override;
  // Raster from `Grid` (grid on) or 1 x 1 (grid off).
  void tbGridOnClick(TObject* sender);
  void tbGridOffClick(TObject* sender);
  // The page tree anew from the document (inside one update of the tree).
  void FillPageTree();

  // --- saving (DesignerProjectSave.cpp) ------------------------------------------
  void btnSave2Click(TObject* sender) override;
  // The save the designer makes without the user's word: the host's desktop
  // save and the close's. A project whose file was lost is saved (started
  // anew) only when the user answers Yes to the question, whose default is
  // No. A project file that holds the document already is left as it is,
  // with its backups. A save that cannot write says what becomes of the
  // changes (`unsaved`). False when it could not save them; true when they
  // are saved, there were none, or the user declined to start the project
  // anew.
  bool SaveUnasked(TUnsavedChanges unsaved);
  void SavePanels();
  void SaveLayers();

  // --- the page tree (PageTree.cpp) ----------------------------------------------
  void btnAddGroupClick(TObject* sender);
  void btnAddPageClick(TObject* sender);
  void btnDeletePageClick(TObject* sender);
  void btnPageUpClick(TObject* sender);
  void btnPageDownClick(TObject* sender);
  void EnsureDefaultPage();
  void tvPageListCollapsing(TObject* sender, TTreeNode* node, bool& allowCollapse);
  void tvPageListMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  // Every page's `ucid` := the current time (read for each page); answers the
  // last time read. The shown page's new stamp becomes the current UCID.
  std::int32_t RenewAllPageUcids();
  // One page's `ucid` := the current time, which it answers; for the shown
  // page also the current UCID.
  std::int32_t RenewPageUcid(TmyXmlNode* page);
  // The text of a page or group node by the page-name display format.
  std::string NodeText(TmyXmlNode* element) const;

  // --- showing and storing a page (PageDisplay.cpp) ------------------------------
  void tvPageListChanging(TObject* sender, TTreeNode* node, bool& allowChange);
  void tvPageListChange(TObject* sender, TTreeNode* node);
  // Builds the surface from a page element (or an undo snapshot); image and
  // container default to imgBg and sbDesign1.
  void LoadPage(TmyXmlNode* element, TImage* image = nullptr, TWinControl* container = nullptr);
  // Writes the surface back into a page element; none: nothing.
  void SavePage(TmyXmlNode* element) override;
  void DrawPageBackground() override;
  // Frees every page object of the surface.
  void ClearDesignElements();
  // The scroll range covers every object (lblDummy at the farthest edges).
  void UpdateScrollExtent();
  // The page objects on the surface, back to front.
  std::vector<TGridWebElement*> PageObjects() const override;
  // Renumbers the tab order of the page's objects before it is stored
  // (VariableCommands.cpp).
  void BuildTabOrder();
  // The page shown (none for a group without pages or no selection).
  TmyXmlNode* CurrentPage() const override { return FCurrentPage; }

  // --- undo (DesignerUndo.cpp) ----------------------------------------------------
  // Records the surface's objects before a change; marks the project modified.
  void PushUndo() override;
  // Empties the history (the shown page changes); undo and redo are disabled.
  void ResetUndo();
  void tbUndoClick(TObject* sender);
  void tbRedoClick(TObject* sender);
  void ToolButton6Click(TObject* sender);
  // The insertion frame's before-drop event: a snapshot before the drop.
  void InsertCarrierUndo(TObject* sender);

  // --- the surface's keys, deleting objects, the object menu's Edit (DesignerKeys.cpp)
  void sbDesign1KeyDown(TObject* sender, WORD& key, TShiftState shift);
  void sbDesign1KeyPress(TObject* sender, char& key);
  void sbDesign1KeyUp(TObject* sender, WORD& key, TShiftState shift);
  // A snapshot, then every selected page object that may be selected now is
  // freed (the Delete key, Delete1 and the cut commands).
  void DeleteSelectedObjects();
  void Delete1Click(TObject* sender);
  // The page object the object menu popped up for opens its property dialog.
  void Edit1Click(TObject* sender);
  // The insertion frame's cancel event: the window forgets the frame.
  void CancelInsertTool(TObject* sender);

  // --- placement, docking (DesignerPlacement.cpp), closing (DesignerClosing.cpp) --
  // The custom colours from the registry.
  void FormCreate(TObject* sender);
  // The UI texts of the current language.
  void FormActivate(TObject* sender);
  void FormDeactivate(TObject* sender);
  // A dock drag: the page tree's changes are suppressed until it ends.
  void FormStartDock(TObject* sender, TDragDockObject*& dragObject);
  void FormEndDock(TObject* sender, TObject* target, int x, int y);
  // Refuses while the pages are created or a file upload runs, or when the
  // save it makes (FSaveOnClose set) failed and the close can be refused
  // (FCloseForced clear); ends the live view.
  void FormCloseQuery(TObject* sender, bool& canClose);
  // Stores the placement, empties the live view's download folder, frees the
  // placeholder resolver (FWebNameConvertor is null after), hides.
  void FormClose(TObject* sender, TCloseAction& action);
  // Stores the custom colours, frees the document; FormDesign1 is null after.
  void FormDestroy(TObject* sender);
  // Docking (unless FApplyDocking is clear) and the left panel's width from
  // the settings file, section "FormDesign1".
  void LoadFormPlacement();
  // Docking, size, position and the left panel's width into the settings
  // file; only with the host's IDE.
  void SaveFormPlacement();
  void Splitter1Moved(TObject* sender);
  // Shows the collapsed left panel again.
  void btnShowPanel1Click(TObject* sender);
  void ColorDialog1Close(TObject* sender);
  void ColorDialog1Show(TObject* sender);
  // All UI texts from the string table of the current language.
  void ApplyLanguageTexts();
  // The live view's read items handed to the host's synchronised read; the
  // host takes them back when the window closes.
  std::vector<SyncedReadRecord> FReadItems;

  // --- group and page properties (GroupPageProperties.cpp) ----------------------
  // The selected group's or page's properties (nothing while the live view
  // runs); the dialog's modal result is left in FPropertiesResult.
  void tvPageListDblClick(TObject* sender);
  // The settings common to all pages of the selected group (or the page's).
  void GroupPageSettings1Click(TObject* sender);
  // The properties of the shown page (a group stands for its first page).
  void sbDesign1DblClick(TObject* sender);
  void EditGroupProperties(TTreeNode* node, TmyXmlNode* group);
  void EditPageProperties(TTreeNode* node, TmyXmlNode* page);
  // The caption in the editor language over the caption box, the language
  // slots (`firstCall`: filled, else mixed slots emptied), the "..." button.
  void LoadCaptionSlots(TPropertyForm& form, TmyXmlNode* element, bool firstCall);
  // The caption box's text into the editor's slot when it differs (changed).
  void SyncCaptionSlot(TPropertyForm& form);
  // Every attribute of the group anew from the dialog, in the stored order.
  void WriteGroup(TFormGroupProperties& form, TTreeNode* node, TmyXmlNode* group, bool notification);
  // Every attribute of the page anew from the dialog, in the stored order;
  // references follow a renamed page, one page alone keeps `default`.
  void WritePage(TFormPageProperties& form, TTreeNode* node, TmyXmlNode* page, const std::string& oldName);
  // The common page settings of the group's pages: mixed values shown as
  // such; on OK only the controls the user changed are written to each page.
  void EditCommonPageSettings(TmyXmlNode* group);
  // The first page node of the group's node; none when it has none.
  TTreeNode* FirstPageNodeOf(TmyXmlNode* group) const;

  // --- handlers of the commands, tool bars, surface and page tree (each defined
  // in the file of its concern; those that do nothing in EmptyHandlers.cpp) -------
  void sbDesign1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void sbDesign1MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void sbDesign1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void AlignToGrid1Click(TObject* sender);
  void btnFunctionClick(TObject* sender);
  void Copy1Click(TObject* sender);
  void Paste1Click(TObject* sender);
  void Copy3Click(TObject* sender);
  void Paste2Click(TObject* sender);
  void Bringtofront1Click(TObject* sender);
  void Sendtoback1Click(TObject* sender);
  void BringForward1Click(TObject* sender);
  void SendBackward1Click(TObject* sender);
  void Grid1Click(TObject* sender);
  void Editbase1Click(TObject* sender);
  void tbPreview1Click(TObject* sender);
  void Find1Click(TObject* sender);
  void CommonCopyClick(TObject* sender);
  void CommonCutClick(TObject* sender);
  void CommonPasteClick(TObject* sender);
  void CommonSelectAllClick(TObject* sender);
  void tbObjectListClick(TObject* sender);
  void tbAlarmClick(TObject* sender);
  void ObjectPopupPopup(TObject* sender);
  void sbStatusDrawPanel(TStatusBar* statusBar, TStatusPanel* panel, const TRect& rect);
  void tvPageListMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void sbDesign1MouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
  void PasteDirect1Click(TObject* sender);
  void PagesDisplayFormat1Click(TObject* sender);
  void tlbMain1DblClick(TObject* sender);
  void DebugPict1Click(TObject* sender);
  void FormUnDock(TObject* sender, TControl* client, TWinControl* newTarget, bool& allow);
  void RefreshTimer1Timer(TObject* sender);
  void tvPageListDeletion(TObject* sender, TTreeNode* node);
  void tvPageListExpanding(TObject* sender, TTreeNode* node, bool& allowExpansion);
  void btnDebugMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void btnDebug2MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void AlignClick(TObject* sender);
  void tbLangClick(TObject* sender);
  void PasteInActiveLayer1Click(TObject* sender);
  void EditVisibilityBase1Click(TObject* sender);
  void VarNameReplace1Click(TObject* sender);
  void AutoIndexArray1Click(TObject* sender);
  void ToPicture1Click(TObject* sender);
  void ToImage1Click(TObject* sender);
  void ToImageBtn1Click(TObject* sender);
  void ToMulimg1Click(TObject* sender);
  void ToBlock1Click(TObject* sender);
  void ToBlockBar1Click(TObject* sender);
  void ToBlockColor1Click(TObject* sender);
  void RenameAllPages1Click(TObject* sender);
  void btnSave1Click(TObject* sender);
  // Saves and compiles the project into the output tree (btnSave1Click).
  TCompileResult SaveAndCompile();
  void btnDebugClick(TObject* sender);
  void CommTimer1Timer(TObject* sender);
  void ShowInNewWindow1Click(TObject* sender);
  void ExportTexts1Click(TObject* sender);
  void ImportTexts1Click(TObject* sender);
  // The list of live-view windows lost one (the live view's button follows).
  void DebugListRemoved(TObject* sender);

  // --- mouse and selection, alignment (DesignerMouse.cpp), insert tools
  // (DesignerInsertTools.cpp) ------------------------------------------------------
  // Deselects every item of the surface and repaints it.
  void ClearSelection();
  // The insertion frame's after-drop handlers: a tool's placed object opens
  // its properties dialog through its double-click action (the kind's
  // Edit...Object bridge), then the arrow is pressed and the frame released;
  // a paste's frame is released and the arrow pressed.
  void PlaceInsertedObject(TObject* sender);
  void ReleaseInsertTool(TObject* sender);
  // Pastes a tool's template into an insertion frame (tool mode meanwhile).
  void PasteToolTemplate(int tag, const std::string& text);
  // Cancels a pending insertion frame: its objects go, the frame is released
  // and the arrow pressed.
  void CancelInsertion();

  // --- clipboards, z-order, grid, preview, edit fields, renames -----------------
  // (ObjectClipboard.cpp, PageClipboard.cpp, ZOrder.cpp, EditFieldCommands.cpp,
  // ReferenceRenames.cpp; their handlers are declared with the handlers above.)
  // Pastes the objects of a clipboard text (or a tool's template) hidden into
  // the insertion frame, which the user drops on the page. A text that is not
  // the designer's own, is malformed or too large pastes nothing and says so.
  void PasteObjectsFromText(const std::string& text);
  // Pastes the objects of a clipboard text at their stored positions, selected.
  void PasteObjectsDirect(const std::string& text) override;
  // Brings the foreign images of a pasted clipboard tree into the project;
  // images that had to be skipped are reported.
  void ImportClipboardImages(TmyXmlNode* top);
  // Fills the clipboard's `images` element (its last `images` child).
  void CollectClipboardImages(TmyXmlNode* clipboard);
  // The text a copy writes: the wrapper's children in the writer's layout.
  std::string ClipboardTextOf(TmyXmlNode* wrapper);
  // The folder the clipboard's `src` names (the host project's folder).
  std::string ClipboardSource() const;
  // The after-placement handler of a tool's frame (the insert tools set it);
  // none: the frame is released as after a paste.
  TNotifyEvent FToolPlacedHandler;
  // Puts the pasted objects (hidden, smallest Left and Top given) into a new
  // insertion frame centred on the mouse pointer.
  void CarryPastedObjects(const std::vector<TGridGraphic*>& carried, int minLeft, int minTop);
  // Image and page renames: in a tree after `root` (none: the whole project
  // document), on the shown page's objects, and for pages both.
  void RenameImageReferences(TmyXmlNode* root, const std::string& oldName, const std::string& newName);
  void RenameImageOnPage(const std::string& oldName, const std::string& newName);
  void RenamePageReferences(const std::string& oldName, const std::string& newName);
  // "group > page - FILE.XML" of the page tree's node of that file name (any
  // letter case); "" when none.
  std::string GetPageDisplayName(const std::string& fileName) const override;
  // Asks for the page of that file name through the live view's page change.
  void ChangeToPageByName(const std::string& pageName);
  // The page a compiler message of the generator names by its source (see
  // MessagePageName): true when the page tree holds it; then the page is
  // asked for as by ChangeToPageByName.
  bool ShowPageOfMessage(const std::string& source);
  // The one-line input dialog: true on OK, with the edited text.
  bool PromptSimpleEdit(const std::string& caption, std::string& text);

  // --- the live view (LiveView.cpp) ---------------------------------------------
  // Records the live state and locks the editing controls while live (or
  // read-only); every object's pending entry is dropped.
  void SetLiveViewLock(bool live);
  // Rebuilds the watched variables of the shown page, the alarms and the
  // live windows; true when the live view reads.
  bool CollectWatchedVariables();
  // Both live-view buttons up, and the live view off.
  void ToggleLiveViewButton();
  void OpenLiveWindow(TmyXmlNode* page);
  // The page's (or its group's) size, colour and picture on a live view.
  void ApplyPageView(TmyXmlNode* node, TImage* image, TWinControl* surface);
  // The PLC's online and offline messages and the plug-in's 0x8578; false
  // for every other message.
  bool LiveViewMessage(const TMessage& message);
  void LiveViewProgress();
  void SwitchAlarmPage();
  // Around a page change while live: the entries go before the objects.
  void LiveViewPageLeaving();
  void LiveViewPageShown();
  // The window goes: nothing of the live view may point into it.
  void EndLiveView();
  // The eight alarms' value buffers and changed bytes.
  std::array<std::array<std::uint8_t, kAlarmValueSize>, kAlarmPageCount> FAlarmValues{};
  std::array<bool, kAlarmPageCount> FAlarmChanged{};
  // The undo buttons' states while the live view locks them.
  bool FLiveUndoEnabled = false;
  bool FLiveRedoEnabled = false;

  // --- variable commands (VariableCommands.cpp) ----------------------------------
  // True when the PLC variable is a structure a drawing canvas can draw from
  // (the host's variable information answers its members as a canvas needs).
  bool CheckCanvasVariable(const std::string& variable) override;

  // The common base of the selected objects' visibility variables, edited by
  // `edit` (false: cancelled, nothing changes); on OK an undo step, then every
  // non-empty reference gets the edited base. The one-line edit dialog of
  // EditVisibilityBase1Click is the `edit` step.
  bool EditVisibilityBase(const std::function<bool(std::string& base)>& edit);
  // Every page object of the surface looks its variables up again.
  void RefreshAllObjectVarInfo();
  // Edit fields, submit buttons and drop-downs numbered 1, 2, ... by their
  // tab index, then their order (FTabSeq); every other object gets -1.
  void RenumberTabOrder(std::vector<TGridWebElement*>& objects) override;

  // --- texts, status bar and menus (DesignerTexts.cpp) -----------------------------
  // Every page tree node's text again by the page name display format.
  void RefreshTreeTexts();
  // Fills PagesPopup1 with the project's pages (each group an item without
  // handler); with a blank entry first, or else the logout page last.
  TPopupMenu* FillPageLinkMenu(bool withBlank, TNotifyEvent handler) override;
  // Every direct page of the group gets the current time as its `ucid`;
  // answers the last time read.
  std::int32_t RenewGroupPageUcids(TmyXmlNode* group);

  // --- layers (Layers.cpp) and operator panels (Panels.cpp) ---------------------
  // The object menu's layer submenu: one item a layer, checked for the
  // layers of the selected objects.
  void FillLayerMenu();
  void miLayersClick(TObject* sender);
  // An undo step, then every selected object goes to the layer; those that
  // may not be selected there are deselected. The project is modified.
  void MoveSelectedToLayer(int layer) override;

  // --- kind conversions (ConversionCommands.cpp) ----------------------------------
  // The selected objects of the kinds that convert to `target`; image buttons
  // without a value then get "1" when converting to image buttons.
  void ConvertSelectedPictures(int target);
  void SetSelectedBlockVariant(TBlockVariant variant);

  // --- the project dialogs (ProjectDialogs.cpp, page links: PageLinks.cpp) ---------
  // Access settings, global settings, the about box and the layers: each
  // dialog is made for one use, shown modally and freed.
  void btnPassClick(TObject* sender);
  void btnGlobalClick(TObject* sender);
  void tbAboutClick(TObject* sender);
  void tbLayersClick(TObject* sender);
  // The dictionary-off flag (the file "disable.tdi"): the host's web
  // variable map is not used while it is set.
  bool DictionaryOff() override;
  void SetDictionaryOff(bool off) override;

  // --- the image manager and the image pickers (ImageManagerCommand.cpp) ---------
  void btnImageManagerClick(TObject* sender);
  // The project's image element chosen in the image manager (`current`
  // preselected); none on Cancel or when nothing was chosen.
  TmyXmlNode* PickImage(const std::string& current) override;
  // One line per image chosen in the image manager: its name, or with
  // `withType` its long name, "." and its type; none on Cancel.
  std::unique_ptr<TStringList> PickImages(const std::string& current, bool withType) override;
  // The element of the project's `images` with that name (exact case); none.
  TmyXmlNode* FindImageNode(const std::string& name) const override;
  // Renames images in the project and on the shown page in one step, so that
  // a name may be both an old and a new one (B to C and A to B).
  void RenameImages(const std::map<std::string, std::string>& renames) override;

  // --- bulk commands (BulkCommands.cpp) and the image check (ImageCheck.cpp) -----
  // (VarNameReplace1Click, AutoIndexArray1Click and RenameAllPages1Click are
  // declared with the handlers above.)
  // Gives pages[i] (a row of the rename dialog, old stem oldStems[i]) the
  // file name newStems[i] + ".XML", freeing a name still in use through a
  // temporary one first; every reference follows each step. Pages whose
  // name is not their stem + ".XML" (in any case of the extension) keep it.
  void RenamePages(const std::vector<TmyXmlNode*>& pages, std::vector<std::string> oldStems,
                   const std::vector<std::string>& newStems);
  // Every picture of the project's image list must have its file: a missing
  // one is copied back from the output's "IMAGES" folder; the user is told
  // of those that cannot be, which stay in the list.
  void CheckImages();

  // --- reading page objects (LoadObjects.cpp) ----------------------------------
  // Makes one page object per `object` child of the container on the surface
  // (which must be the designer's scroll box or one like it). An object that
  // cannot be built, or whose kind this designer does not know, is kept as its
  // unchanged node (it is written back with the page), traced and reported
  // once the walk ends.
  void LoadObjects(TmyXmlNode* container, TWinControl* parent);
  // The full path of a picture of the project's image folder; null for none.
  const char* GetImagePath(const std::string& name) const override;

  // --- texts per language (LangTexts.cpp) ----------------------------------------
  bool GetLangText(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const override;
  bool GetLangTextIfAny(TmyXmlNode* node, const std::string& attr, std::string& text, int code) const override;
  void SetLangTextByCode(TmyXmlNode* node, const std::string& attr, const std::string& text, int code) override;
  void SetLangTexts(const std::string& attr, TmyXmlNode* node, const std::string texts[kLangSlots],
                    const bool edited[kLangSlots]);
  void SetElementLangTexts(const std::string& attr, TGridWebElement* element, const std::string texts[kLangSlots],
                           const bool edited[kLangSlots]) override;
  int GetLangTexts(const std::string& attr, bool fill, std::string texts[kLangSlots], TmyXmlNode* node) const override;
  bool SetLangCaption(TmyXmlNode* node, int code) override;
  bool CopyLangTexts(TmyXmlNode* node, int code) override;

  // --- texts for translation, alarms, object list, languages (ProjectTextCommands.cpp)
  // The project's language slots (0 ends the list), the editor's language
  // and whether texts are kept per language, as loaded.
  int LangCodeOfSlot(int slot) const override { return slot >= 0 && slot < kLangSlots ? FLangCodes[slot] : 0; }
  int EditorLangCode() const override { return FEditorLangCode; }
  bool LangMutations() const override { return FLangMutations; }
  // The folder of the texts files: the host project's "Tarnwell\Language\".
  std::string TextsFolder();

  // --- handlers bound to every page object (FormDesign1.cpp) --------------------
  void ObjectBeforeMove(TObject* sender);
  void ObjectBeforeResize(TObject* sender);
  void UpdateScrollExtentHandler(TObject* sender);
  void ChangeToPageByName(TObject* sender, const std::string& pageName);
  void ObjectDragOver(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept);
  void ObjectDragDrop(TObject* sender, TObject* source, int x, int y);
  void ObjectMouseMove(TObject* sender, TShiftState shift, int x, int y);
  // Property bridges by object kind (double click); the property dialogs
  // fill them in.
  void EditLabelObject(TObject* sender);
  void EditEditObject(TObject* sender);
  void EditLocalEditObject(TObject* sender);
  void EditImageObject(TObject* sender);
  void EditImageBtnObject(TObject* sender);
  void EditMultiImageObject(TObject* sender);
  void EditPictureObject(TObject* sender);
  void EditCameraObject(TObject* sender);
  void EditSubmitObject(TObject* sender);
  void EditStrImgObject(TObject* sender);
  void EditIFrameObject(TObject* sender);
  void EditBlockObject(TObject* sender);
  void EditCanvasObject(TObject* sender);
  void EditPostFileObject(TObject* sender);
  void EditDropDownObject(TObject* sender);

  // --- the designer context of the dialogs (DesignerContextServices.cpp) -------------
  TComponent* DialogOwner() override { return this; }
  TmyXmlNode* ProjectRoot() const override;
  TmyXmlNode* WebElement() const override;
  TProjectLocation ProjectLocation() override;
  TCompileHost& CompileHost() override;
  ComPtr<IIECManVariables> IecVariables() override;
  void StopLiveView() override;
  TScrollBox* DesignSurface() const override { return sbDesign1; }
  int UnitPixels() const override { return FUnitPixels; }
  void RunObjectCommand(TObjectCommand command) override;
  TGridWebElement::TGlobalWebData& GlobalWebData() override { return FGlobalWebData; }
  const TGridWebElement::TGlobalWebData& GlobalWebData() const override { return FGlobalWebData; }
  TPlaceholderResolver* WebNameConvertor() const override { return FWebNameConvertor.get(); }
  void SetToolTemplate(int slot, const std::string& text) override;
  const int* LangCodes() const override { return FLangCodes; }
  TOpenPictureDialog* PictureOpenDialog() const override { return OpenPictureDialog1; }
  TImageList* ToolImages() const override { return ImageList1; }
  TPopupMenu* PageLinkMenu() const override { return PagesPopup1; }
  TGridWebElement::TLayer& Layer(int index) override { return FLayers[index]; }
  const TGridWebElement::TLayer& Layer(int index) const override { return FLayers[index]; }
  int ActiveLayer() const override { return FActiveLayer; }
  void SetActiveLayer(int layer) override { FActiveLayer = layer; }
  TColorDialog* ColorDialog() const override { return ColorDialog1; }

  // --- property dialogs (PropertyBridges.cpp) -----------------------------------
  // Opens the property dialog of the object's kind as a double click does and
  // clears the object's ignore-next-press flag afterwards (the insert tools
  // call it for an object just placed, the menus for the chosen object).
  void ShowObjectProperties(TGridWebElement* object);

  // --- fields of the document and the shown page ----------------------------------
  // The page element shown on the surface; none for a group or nothing.
  TmyXmlNode* FCurrentPage = nullptr;
  // The change stamp (`ucid`) of the shown page.
  std::int32_t FCurrentUcid = 0;
  // The undo history's root "UndoTree" (the history owns it).
  TmyXmlNode* FUndoTree = nullptr;
  bool FSaveOnClose = true;
  // The close cannot be refused: the plug-in removes the designer with the
  // host's project, whatever FormCloseQuery answers.
  bool FCloseForced = false;
  // The last save was refused (a project file that may not be replaced) and
  // the user was told; cleared by the next change or save.
  bool FSaveRefusalShown = false;
  // The compile state of save and compile; while it runs (compileRunning)
  // closing is refused.
  TCompileState compileState;
  // How the last save and compile ended.
  TCompileResult lastCompile;
  // Why the last load gave the window no project (its opening was refused or
  // gave up; the user was told); empty while a project is held or before the
  // first load. Nothing is compiled or saved for a project that was not
  // opened, and its settings file is left as it is.
  std::string FOpenFailure;
  // Set when a compile of this run was refused (TCompileResult::refused), or
  // the build's driver after it (the plug-in frame sets it then): such a run
  // writes nothing, so its close leaves the settings file as it is too.
  // Cleared when the project is loaded anew.
  bool FRunRefused = false;
  // While set, selection changes of the page tree are only traced.
  bool FTreeChangeSuppressed = false;
  bool FApplyDocking = true;
  // Tree commands that act on the page of the surface (the properties of the
  // surface's page) rather than the selected group.
  bool FFromDesignSurface = false;
  // The modal result of the last group or page properties dialog.
  int FPropertiesResult = 0;

  // --- fields set by the plug-in frame -----------------------------------------
  // (The host's build sets compileState.hostStatusWindow and compileForHost.)
  bool FDockingInProgress = false;

  // --- fields read by the page objects and their reader --------------------------
  int FUnitPixels = 1;
  bool FLiveMode = false;
  // The snapping raster (pixels): 1 x 1 with the grid off.
  int FGridX = 5;
  int FGridY = 5;
  int FPasteRaster = 1;
  TToolMode FToolMode = TToolMode::None;
  std::array<std::string, kToolTemplateCount> FToolTemplates;
  // The insertion frame while a tool or a paste carries objects.
  TGridInsert* FInsert = nullptr;
  bool FMouseDown = false;
  bool FLangMutations = false;
  int FEditorLangCode = -1;
  int FLangCodes[kLangSlots] = {};

  // The record shared by every page object and the table of layers.
  TGridWebElement::TGlobalWebData FGlobalWebData;
  TGridWebElement::TLayer FLayers[kLayerCount];
  int FActiveLayer = 0;
  bool FPasteInActiveLayer = true;
  // The placeholder resolver over the shared record.
  std::unique_ptr<TPlaceholderResolver> FWebNameConvertor;

  // --- live view --------------------------------------------------------------------
  std::unique_ptr<TFormDebugList> FDebugList;
  std::array<std::string, kAlarmPageCount> FAlarmPages;
  std::string FDefaultPageName;
  // The page to go back to when an alarm ends, and the shown page's name.
  std::string FReturnPage;
  std::string FShownPageName;
  TTreeNode* FPendingPageNode = nullptr;
  bool FPageChangePending = false;
  bool FReadingActive = false;
  bool FReadRequested = false;
  // Upload state of file-upload objects and picture download queue of string
  // pictures (process-wide; wired by the live view).
  void* FUploadState = nullptr;
  void* FRecvQueue = nullptr;

  // What the last LoadObjects could not build: one line per object.
  std::vector<std::string> FLoadFailures;

 private:
  // The surface's scroll position while a page is read.
  struct TScroll {
    int x = 0;
    int y = 0;
  };
  // DesignerLayout.cpp
  void CreateComponents();
  void BindEvents();
  void ConfigureComponents();
  // DesignerProjectLoad.cpp
  void ShowEditingBars(bool editable);
  void ReadDocumentSettings();
  TTreeNode* AddGroupNode(TmyXmlNode* group);
  void AddPageNode(TTreeNode* groupNode, TmyXmlNode* page);
  void ReplaceCaptionByEditorText(TmyXmlNode* element);
  // PageTree.cpp
  TmyXmlNode* GroupOfNode(TTreeNode* node) const;
  void MoveSelectedNode(bool up);
  void RemoveSelectedNode(TTreeNode* node, TmyXmlNode* element);
  // DesignerClosing.cpp
  void CloseLiveViewWindows();
  // The last save was refused and told, and would be refused again now.
  bool SaveRefusedJustNow() const;
  // DesignerProjectSave.cpp
  TProjectSaveResult SaveProject(const TSaveOccasion& occasion);
  void ReleaseReadItems();
  // PageDisplay.cpp
  void SetTreeCommandStates(TTreeNode* node, bool editable);
  void SetToolStates(bool tools);
  void ShowCurrentPage();
  void LoadBackgroundPicture(TmyXmlNode* element, TImage* image);
  void ApplyPageBackground();
  void TileBackground(TImage* image, int w, int h);
  // LoadObjects.cpp
  // One `object` node onto the surface; null (nothing made) when it has no
  // kind element this designer knows.
  TGridWebElement* ReadObject(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll);
  // The object of the node's (last) kind element, read up to its closing steps.
  std::unique_ptr<TGridWebElement> ReadKindElement(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll,
                                                   TObjectReading& reading);
  // The designer's handlers, menus and flags given to the object, which is
  // placed on the parent.
  void WireObject(TGridWebElement& element, TWinControl* parent);
  // A hidden stand-in that writes the node back unchanged; the reason is
  // traced and reported.
  void KeepUnreadObject(TmyXmlNode* node, TWinControl* parent, const TScroll& scroll, int index,
                        const std::string& reason);
  TNotifyEvent BridgeOfKind(int kind);

  std::unique_ptr<TDesignerHost> host_;
  std::unique_ptr<TProjectDocumentUi> documentUi_;
  std::unique_ptr<TProjectDocument> document_;
  // Where the held project was loaded from (the pictures' folder).
  TProjectLocation location_;
  // GetImagePath's answer, valid until its next call.
  mutable std::string imagePath_;

  // DesignerUndo.cpp, DesignerKeys.cpp: the undo history over the surface and
  // the surface's keys, made at construction.
  void CreateUndoHistory();
  void CreateSurfaceKeys();
  std::unique_ptr<TUndoSurface> undoSurface_;
  std::unique_ptr<TUndoHistory> undo_;
  std::unique_ptr<TSurfaceKeys> keys_;
  // DesignerMouse.cpp, DesignerInsertTools.cpp: the surface's mouse, the
  // alignment commands, the insert tools and their frames' paste.
  void CreateSurfaceMouse();
  void CreateInsertTools();
  std::unique_ptr<TSurfaceMouse> mouse_;
  std::unique_ptr<TObjectAlignment> alignment_;
  std::unique_ptr<TInsertTools> insertTools_;
};

// The process-wide designer; null while none exists.
extern TFormDesign1* FormDesign1;
