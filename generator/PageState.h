#pragma once
// What the page compiler keeps while it compiles one page, and the record of
// one page object (TFormDesign1::TObjectData) that the object writers read.
// Created at the start of a page, read and extended by the writers, consumed
// by the page compiler's closing steps.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TCompileContext;
class TmyXmlNode;
class TmyXmlAttrNode;

// One page object as the frame reads it from the `object` attributes.
struct TObjectData {
  int left = 0;  // pixels
  int top = 0;
  std::uint32_t background = 0;  // CSS byte order
  std::uint32_t foreground = 0;
  std::string caption;  // entities decoded
  std::string hint;
  int fontSize = 13;
  bool italic = false;
  bool strong = false;
  bool transparent = false;
  bool readOnly = false;
  int templateMark = 0;  // `ti`: -n background template n, +n foreground template n
  int level = 0;         // the user level 0 to 9 that may use the object
  std::string visVar;    // placeholders expanded
  std::string visType;   // kept, not read by the frame
  bool visNeg = false;
};

// The attributes of an `object` element that the page compiler reads: the
// object record's, then the three touch variables of the moved scan. Their
// names are in this order in PageObjects.cpp (FindObjectAttrs).
enum TObjectAttr : std::size_t {
  kAttrX,
  kAttrXOffset,
  kAttrY,
  kAttrYOffset,
  kAttrBack,
  kAttrFront,
  kAttrCaption,
  kAttrHint,
  kAttrSize,
  kAttrItalic,
  kAttrStrong,
  kAttrTransparent,
  kAttrReadOnly,
  kAttrTemplateMark,
  kAttrLevel,
  kAttrVisVar,
  kAttrVisType,
  kAttrVisNeg,
  kAttrClickX,
  kAttrClickY,
  kAttrClickColour,
  kObjectAttrCount
};

// One object's attributes by TObjectAttr, null where it has none.
struct TObjectAttrs {
  const TmyXmlNode* object = nullptr;
  std::array<const TmyXmlAttrNode*, kObjectAttrCount> found{};
};

// A field that the page's common submit button posts (PostGlobal): its element
// number (-n: the hidden companion of element n) and its limit-check text.
struct TGlobalField {
  int element = 0;
  std::string limitCheck;
};

// A variable of the written-only list: variable text + identifier, and the
// length of the variable text.
struct TListedVariable {
  std::string entry;
  std::size_t variableLength = 0;
};

struct TPageState {
  explicit TPageState(TCompileContext& aContext) : context(aContext) {}

  TCompileContext& context;
  TmyXmlNode* page = nullptr;
  std::string name;     // the page file name ("PAGE1.XML")
  std::string caption;  // the page caption
  std::int32_t ucid = 0;
  // 8 for "utf-8", else the last digit of the windows code page name.
  char codePageDigit = '0';
  std::string pictureFolder;  // output root + "images\"

  // The data page's entries: variable text + identifier, by data index.
  std::vector<std::string> inputs;
  std::vector<TListedVariable> datas;
  std::vector<TListedVariable> writtenOnly;
  std::vector<TGlobalField> globalFields;
  std::vector<std::string> postPairs;
  std::vector<std::string> pictures;
  std::vector<std::string> pictureFiles;

  // The JSON map of the page (only with `jsonmap`="true").
  bool jsonMap = false;
  std::string json;
  bool jsonFirst = true;

  bool newVariable = false;   // the last bound variable was not yet an INPUT entry
  bool hiddenCopy = false;    // the copy for the hidden state is written
  bool idsOn = false;         // objects without a variable still get "INPUT%i"
  bool varAttribute = false;  // data entries carry `VAR`
  bool readsValues = false;
  bool hasSubmit = false;
  bool canvasPage = false;
  std::array<std::string, 3> orientation;  // identifiers of alpha, beta, gamma
  // The attributes of the page's `object` children in page order, found once
  // by the moved scan and used again for each object's record when it is
  // written. The pointers stay valid and complete from the scan to the writing:
  // in between nothing adds or deletes an attribute of an object (the writers
  // set only the object's `format`, which is not among them), and the values
  // are read when the record is made.
  std::vector<TObjectAttrs> objectAttrs;

  int elementCounter = 0;
  int cameraCount = 0;
  // Left by a writer for the visibility script: its show statement ("" for
  // the default) and whether it declared its element in the script.
  std::string showText;
  bool inputDeclared = false;

  // The outputs: the data page's `PAGE` element, the script streams.
  TmyXmlNode* dataParent = nullptr;
  std::string* stream1 = nullptr;  // the open answer handler: update lines
  std::string* stream2 = nullptr;  // PostGlobal, gcImg
  std::string* stream3 = nullptr;  // whole functions of the writers
  // What the post code needs: the address PostXML posts to, its optional
  // third argument, and whether the page posts by script.
  std::string postTarget;
  std::string postThird;
  bool scriptPost = false;
};

// May the page take the variable that set `newVariable`? True for a known
// one; for a new one (the flag is cleared) while the INPUT and DATA entries
// stay below the page's limit (MaxPageVariables).
bool CanAddPageVariable(TPageState& page);

// The position of variable text + identifier in the INPUT list; -1 when absent.
int FindInputEntry(const TPageState& page, const std::string& entry);
// The same for the entry of `variable` followed by `identifier`.
int FindInputEntry(const TPageState& page, std::string_view variable, std::string_view identifier);
