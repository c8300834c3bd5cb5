#pragma once
// TGridWebElement: one page object on the design surface, of one of fifteen
// kinds (label, edit, edit with its own submit, image, submit, picture, camera,
// block, multi-image, post file, image button, string image, canvas, iframe,
// drop-down). It keeps every property of the object, a private copy of the
// object's XML node (which carries the texts per language), its pictures and,
// in the live view, its current value. It writes itself back as an `object`
// element (GridWebElementXml.cpp) and parses, checks and formats values
// (GridWebElementValues.cpp).
//
// The fields are open to the designer's reader and the property bridges,
// which set them directly, as the object's own code does.

#include <cstdint>
#include <memory>
#include <string>

#include "grid/GlobalWebData.h"
#include "grid/GridGraphic.h"
#include "grid/GridImageList.h"
#include "grid/PinVariable.h"
#include "grid/PlaceholderResolver.h"
#include "grid/StringDualList.h"

class TComboBox;
class TmyXmlNode;
class TPicture;
class TTimer;

// Object kind codes; each names the child element of its `object` node.
enum TGridWebKind : int {
  wkLabel = 0,
  wkEdit = 1,
  wkEditLocal = 2,
  wkImage = 3,
  wkSubmit = 4,
  wkPicture = 5,
  wkCamera = 6,
  wkBlock = 7,
  wkMultiImage = 8,
  wkPostFile = 9,
  wkImageBtn = 10,
  wkStrImg = 11,
  wkCanvas = 12,
  wkIFrame = 13,
  wkDropDown = 14,
};
// Kind codes run from 0 to kKindCount - 1.
constexpr int kKindCount = 15;

// Positions are counted in units of the design surface; 8 units make one grid
// cell, and the `X` and `Y` of an `object` node count cells from 1.
constexpr int kUnitsPerCell = 8;

// Defaults of a new element, which the reader also takes for numbers it
// cannot read.
constexpr int kDefaultFontSize = 13;
// Edit and drop-down fields: the width in characters; a camera's refresh.
constexpr int kDefaultSize = 3;
// Image buttons: milliseconds the pressed picture stays.
constexpr int kDefaultTimeout = 500;

class TGridWebElement : public TGridGraphic {
 public:
  using TGlobalWebData = TGridGlobalWebData;
  using TLayer = TGridLayer;
  using THyperLinkEvent = Closure<void(TObject* Sender, const std::string& link)>;

  TGridWebElement(TComponent* owner, TGlobalWebData* globalData, TLayer* layers, int unitPixels, int scrollX,
                  int scrollY, int posX, int posY, int kind, const TmyXmlNode* source);
  ~TGridWebElement() override;

  // --- kind, node, state ------------------------------------------------------
  int Kind() const { return FKind; }
  // Kind 1 becomes 2 (and back) when the reader sees `global`="false".
  void SetKind(int kind) { FKind = kind; }
  std::string GetKindCaption() const;
  bool IsGroupLocked() const;
  TmyXmlNode* GetXmlNode() const { return FXmlNode.get(); }

  bool CanSelect() override;
  // "Object UID": objects have no component name.
  std::string MapName() const override { return "Object " + std::to_string(FUid); }
  TRect GetRect() override;
  void SetPosition(int posX, int posY) override;
  void SetElementPosition(int posX, int posY);
  // Moves the element to the nearest point of the designer's grid (steps
  // FGridX, FGridY; none is a step of 1); a position on the grid stays.
  TPoint SnapToGrid();
  // Left and Top rescaled to a new unit size (the size stays).
  void SetZoom(int newUnitPixels);

  TSize GetContentSize() const { return {FContentWidth, FContentHeight}; }
  void SetContentWidth(int w);
  void SetContentHeight(int h);

  // --- texts and variable references ------------------------------------------
  void SetCaption(const std::string& text) { FCaption = text; }
  const std::string& GetCaption() const { return FCaption; }
  void SetOptCaption(const std::string& text) { FOptCaption = text; }
  const std::string& GetOptCaption() const { return FOptCaption; }
  void SetValue(const std::string& text) { FValue = text; }
  const std::string& GetValue() const { return FValue; }

  void SetVariable(const std::string& text);
  void SetVisVariable(const std::string& text) { FVisVariable = text; }
  void SetDataVariable(const std::string& text) { FDataVariable = text; }
  void SetClickXVariable(const std::string& text) { FClickXVariable = text; }
  void SetClickYVariable(const std::string& text) { FClickYVariable = text; }
  void SetClickColorVariable(const std::string& text) { FClickColorVariable = text; }
  const std::string& GetVariable() const { return FVariable; }
  const std::string& GetVisVariable() const { return FVisVariable; }
  const std::string& GetDataVariable() const { return FDataVariable; }
  const std::string& GetClickXVariable() const { return FClickXVariable; }
  const std::string& GetClickYVariable() const { return FClickYVariable; }
  const std::string& GetClickColorVariable() const { return FClickColorVariable; }
  std::string GetResolvedVariable() const { return ResolvePlaceholders(FVariable); }
  std::string GetResolvedVisVariable() const { return ResolvePlaceholders(FVisVariable); }
  std::string GetResolvedDataVariable() const { return ResolvePlaceholders(FDataVariable); }
  std::string GetResolvedClickXVariable() const { return ResolvePlaceholders(FClickXVariable); }
  std::string GetResolvedClickYVariable() const { return ResolvePlaceholders(FClickYVariable); }
  std::string GetResolvedClickColorVariable() const { return ResolvePlaceholders(FClickColorVariable); }
  // The main reference up to its first "."; empty without ".".
  std::string GetVariableBase() const;
  std::string ResolvePlaceholders(const std::string& text) const;
  // Looks the six resolved references up (main, visibility, data, click X,
  // click Y, click colour).
  void ResolveVariables();

  // --- pictures ---------------------------------------------------------------
  void SetOnImageName(const std::string& name) { FOnImage = name; }
  void SetOffImageName(const std::string& name) { FOffImage = name; }
  const std::string& GetOnImageName() const { return FOnImage; }
  const std::string& GetOffImageName() const { return FOffImage; }
  // path is a system path, null or empty for none.
  void LoadOnImage(const std::string& name, const char* path);
  void LoadOffImage(const std::string& name, const char* path);
  TPicture* OnPicture() const { return FOnPicture; }
  TPicture* OffPicture() const { return FOffPicture; }

  int GetImageCount() const;
  std::string GetImageName(int index) const;
  int AddImage(const std::string& name, bool force);
  void ClearImages();
  void RenameImage(const std::string& oldName, const std::string& newName);
  TSize GetImagesMaxSize() const;
  TPicture* GetImagePicture(int index) const;

  // --- drawing and sizing (GridWebElementDraw*.cpp, GridWebElementSize.cpp) ----
  void Paint() override;
  // Draws the element at (x, y) of the canvas and fits its size to what it
  // shows (a block also its place).
  void Draw(int x, int y, TCanvas* canvas) override;
  // Hit test (none for elements hidden by their variable or layer, and for
  // the idle button strip of kind 2 in the live view), hover.
  void WndProc(TMessage& message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

 public:
  // The size rule of the element's kind, without drawing.
  void AutoSize();
  // In the design view, the size the element's next paint gives it, taken
  // now without painting (an element read from a page has its real size
  // before the surface is painted).
  void TakeDrawnSize();
  // The picture of entry `index` of the image list, loaded on first use.
  TPicture* GetImage(int index);
  // The surface font: the parent's font name, "Courier New" without parent.
  std::string SurfaceFontName() const;

  // --- the mouse in the design view (GridWebElementMouse.cpp) -------------------
  // Submit, camera, block, string picture, canvas and inserted page have
  // handles at the right edge, the bottom edge and the corner.
  bool IsResizable() const;
  struct THandle {
    bool right = false;
    bool bottom = false;
  };
  // The handle under (x, y) of the element (none for kinds without handles).
  THandle HandleAt(int x, int y) const;
  // Ends a drag: the move state is cleared and FOnMoved fires.
  void EndMove();

  // --- XML --------------------------------------------------------------------
  // Appends the element as an `object` child of parent (nothing when hidden or
  // without parent); with languages the stored `lang` child is copied first.
  void SaveToXml(TmyXmlNode* parent, bool withLanguages);
  // The width of "0" in the element's value font (Verdana, or the surface's
  // font) at FFontSize.
  int MeasureDigitWidth(bool useSurfaceFont);
  int MeasureDigitHeight(bool useSurfaceFont);
  // The `width` and `height` an edit field is written with.
  TSize EditFieldXmlSize();

  // An object node that could not be read into an object: the element stands
  // in for it on the surface (hidden, never selectable) and writes the node
  // back unchanged, so that saving the page keeps it.
  void KeepUnreadNode(const TmyXmlNode* node);
  bool IsUnreadNode() const { return FUnreadNode != nullptr; }

  // --- values -----------------------------------------------------------------
  bool ParseValue(const std::string& text, const TPinVariable* variable = nullptr, std::uint8_t* target = nullptr);
  std::int32_t ParseInteger(const std::string& text, bool& verdict);
  bool CheckLimits();
  std::string FormatValue();
  void FormatInteger(std::int64_t value, std::string& text);
  bool IsValueNonZero() const;
  bool IsShownByVariable() const;
  // The integer format in force: 1 signed, 2 unsigned, 3 hexadecimal, 0 none.
  int EffectiveIntFormat() const;
  // The in-place editor whose text CheckLimits reads (made by the live view).
  void SetEditorForTest(TControl* editor) { FEditor = editor; }
  // Exit handlers of the in-place edit and drop-down: by the editor's Tag (1
  // left open, 2 confirmed, 0 cancelled) the entered value is parsed into the
  // write buffer as pending or written; the editor is then hidden.
  void EditorExit(TObject* sender);
  void ComboExit(TObject* sender);

  // --- the mouse in both modes (GridWebElementLive.cpp) -------------------------
  // A pending entry parsed into the write buffer and written.
  void CommitPending();
  // FValue parsed into the write buffer and written.
  void CommitValue();
  // Every global edit and drop-down of the surface commits its pending entry,
  // every submit whose variable is known its value.
  void CommitAll();
  // Enter writes the entry and commits the page; Escape drops it.
  void EditorKeyPress(TObject* sender, char& key);

  // --- fields ------------------------------------------------------------------
  TComboBox* FComboBox = nullptr;
  bool FMovePending = false;
  bool FSizePending = false;
  bool FMoving = false;
  bool FSizingX = false;
  bool FSizingY = false;
  int FTimeout = 500;
  int FContentWidth = 0;
  int FContentHeight = 0;
  int FDownX = 0;
  int FDownY = 0;
  std::unique_ptr<TmyXmlNode> FXmlNode;
  TLayer* FLayers = nullptr;
  TGlobalWebData* FGlobalData = nullptr;
  std::unique_ptr<TPlaceholderResolver> FResolver;
  std::string FCaption;
  std::string FOptCaption;
  std::string FStrImgFile;
  int FStrImgPending = 0;
  bool FStrImgLoaded = false;
  std::string FValue;
  TTimer* FTimer = nullptr;  // a component of the element
  // The element's pictures (owned by it: see the private part).
  TPicture* FOnPicture = nullptr;
  TPicture* FOffPicture = nullptr;
  std::string FOnImage;
  std::string FOffImage;
  TGridImageList FImages;
  int FPadX = 0;
  int FPadY = 0;
  TPicture* FBrokenPicture = nullptr;
  TPicture* FDropDownPicture = nullptr;
  std::string FVisVariable;
  std::string FVariable;
  std::string FClickColorVariable;
  std::string FClickXVariable;
  std::string FClickYVariable;
  std::string FDataVariable;
  int FTabIndex = -1;
  int FTabSeq = 0;
  int FLayer = 0;
  int FUid = 0;
  bool FHorz = false;
  bool FNatv = false;
  bool FDynamic = false;
  bool FGradient = false;
  bool FColorMode = false;
  bool FNoScroll = false;
  bool FLimits = false;
  bool FPassword = false;
  std::string FLoLimit;
  std::string FHiLimit;
  std::string FDelimiter;
  std::string FDroppedVariable;
  int* FGridX = nullptr;
  int* FGridY = nullptr;
  bool FIgnoreMouseDown = false;
  std::uint8_t FVisValue[8] = {};
  std::uint8_t FValueBuf[256] = {};
  std::uint8_t FWriteBuf[256] = {};
  void* FUploadState = nullptr;
  void* FRecvQueue = nullptr;
  bool FWritten = false;
  // The values of the click X, Y and colour variables (in that order) that
  // the live view writes when their flag is set.
  std::uint8_t FClickValues[3][8] = {};
  bool FClickWritten[3] = {};
  bool FVarValid = true;
  bool FPending = false;
  std::string FPendingText;
  bool FReadOnly = false;
  bool FStrong = false;
  bool FItalic = false;
  bool FTransparent = true;
  bool FBorder = true;
  int FFontSize = 13;
  int FFrontColor = 0;
  int FBackColor = -1;
  int FLevel = 0;
  int FSize = 3;
  TPinVariable FVisInfo;
  TPinVariable FDataInfo;
  TPinVariable FClickXInfo;
  TPinVariable FClickYInfo;
  TPinVariable FClickColorInfo;
  bool FVisNeg = false;
  bool FGlobal = false;
  TPinVariable FVarInfo;
  int FIntFormat = 0;
  std::string FTimeFormat;
  int FPrecision = 0;
  bool FAlignRight = false;
  bool FAlignCenter = false;
  bool FZero = false;
  std::string FHref;
  int FKind = 0;
  TStringDualList FOptions{false};
  THyperLinkEvent FOnHyperLink;
  std::unique_ptr<TmyXmlNode> FUnreadNode;

 private:
  // GridWebElementMouse.cpp: the steps of a design-view drag.
  void TakeDroppedVariable(TShiftState shift);
  void ShowHandleCursor(int x, int y);
  void DragMove(int x, int y);
  void DragResize(int x, int y);
  // The pictures that FOnPicture, FOffPicture, FBrokenPicture and
  // FDropDownPicture point at, from construction to destruction.
  std::unique_ptr<TPicture> onPicture_;
  std::unique_ptr<TPicture> offPicture_;
  std::unique_ptr<TPicture> brokenPicture_;
  std::unique_ptr<TPicture> dropDownPicture_;

  // Where one Draw call paints: origin shifted by the padding and the size
  // less the padding, on the canvas, in the design or live view.
  struct TDrawArea {
    TCanvas* canvas = nullptr;
    int X = 0, Y = 0, W = 0, H = 0;
    bool live = false;
  };
  void SetDrawnSize(TDrawArea& a, long long w, long long h);
  void PrologueFont(TCanvas* canvas);
  void DrawLabel(TDrawArea& a);
  void DrawEdit(TDrawArea& a);
  void DrawEditLocal(TDrawArea& a);
  void DrawSubmit(TDrawArea& a);
  void DrawPostFile(TDrawArea& a);
  void DrawDropDown(TDrawArea& a);
  void DrawTwoState(TDrawArea& a);
  void DrawMultiImage(TDrawArea& a);
  void DrawStrImg(TDrawArea& a);
  void DrawCameraBox(TDrawArea& a);
  void DrawCanvasKind(TDrawArea& a);
  void DrawBlock(TDrawArea& a);
  void DrawResizeHandles(TDrawArea& a);
  void DrawFieldBackground(TDrawArea& a, int w, int h, bool measuredBottom);
  void DrawLinkFrame(TDrawArea& a);
  // The edit-field size rule (kinds 1 and 2) with the canvas font set to the
  // surface font.
  TSize EditFieldRule(TCanvas* canvas);
  void PlaceBlockAtDesign(int width, int height);
  void ImageBtnTimer(TObject* sender);

 private:
  // GridWebElementLive.cpp
  int LiveTextWidth();
  void OpenEditor();
  void OpenComboBox();
  void StartUploadFromDialog();
  void LiveMouseDown(TMouseButton button, int x);
  void PopUpReadOnlyMenu();
  TCursor LiveCursor(int x) const;
  void LoadPicture(TPicture* picture, std::string& nameField, const std::string& name, const char* path);
  // The canvas font that edit values are measured with.
  void SetValueFont(TCanvas& canvas, bool useSurfaceFont) const;
  // A copy of the stored `lang` child (its children) as the first child of the
  // written `object` element.
  void CopyLangChild(TmyXmlNode& object) const;
};

// Takes a string picture's queued download out of the picture download queue
// (bound by the queue; the element is about to be destroyed).
using TGridForgetQueuedPicture = void (*)(void* queue, TGridWebElement* owner);
extern TGridForgetQueuedPicture gGridForgetQueuedPicture;

// The caption of a kind code ("?" for an unknown one); block captions depend
// on its dynamic and colour modes.
std::string GridWebKindCaption(int kind, bool dynamic = false, bool colorMode = false);
// The name of the kind element of a kind code; empty for an unknown one.
const char* GridWebKindElement(int kind);

// A raised push button with its caption centred, in a font fitted to the
// button's height (the file-upload field's button).
void DrawButton3D(TCanvas* canvas, int x, int y, int w, int h, const std::string& text);
// The raised two-line frame of buttons on (l, t, r, b).
void DrawRaisedFrame(TCanvas* canvas, int l, int t, int r, int b);
