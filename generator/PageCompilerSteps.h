#pragma once
// The steps of compiling one page, by concern: the page's layout in the
// template (background, size, viewport, page area), its objects (the object
// record, the visibility wrapping, the writers), and its script (answer
// handler, canvas and orientation support, alarms, PostGlobal, gcImg, JSON
// map). TPageCompiler::CompilePage calls them in order.

#include <string>
#include <string_view>

#include "generator/PageState.h"

class TmyXmlNode;
struct TCompileProject;

// --- layout (PageLayout.cpp) ------------------------------------------------------------
struct TPageLayout {
  TmyXmlNode* body = nullptr;
  TmyXmlNode* planCell = nullptr;
  TmyXmlNode* area = nullptr;  // the page area `div`
  TmyXmlNode* form = nullptr;  // its `form`
  bool hasScript = false;
};
// Steps 14 to 20: background, `onload`, size, viewport, UCID guards, page area and form.
void BuildPageLayout(TPageState& page, TPageLayout& layout);

// --- objects (PageObjects.cpp) ----------------------------------------------------------
// The attributes of an `object` element that the page compiler reads, in one pass.
void FindObjectAttrs(const TmyXmlNode* object, TObjectAttrs& attrs);
// The object record of an `object` element from its attributes (FindObjectAttrs).
TObjectData ReadObjectData(TPageState& page, TmyXmlNode* object, const TObjectAttrs& attrs);
// The object's text `name` in the project's language from its `lang` child;
// `text` stays as it is without texts per language or without `lang`.
void TakeLanguageText(const TCompileProject& project, TmyXmlNode* object, std::string_view name, std::string& text);
// The kind element: the first child that is not `lang`; null when none.
TmyXmlNode* KindElement(TmyXmlNode* object);
// Step 21: every object of the page through the writers, with visibility wrapping.
void WritePageObjects(TPageState& page, const TPageLayout& layout);

// --- script (PageScript.cpp) ------------------------------------------------------------
// Step 9: the text conversion function of canvas pages by the code-page digit.
std::string CanvasTextConversion(char codePageDigit);
// Step 9: the drawing and touch scripts of canvas pages, after the conversion.
std::string CanvasScripts();
// Step 10: the orientation support.
std::string OrientationSupport();
// Step 11: the beginning of the answer handler (left open).
std::string AnswerHandlerBegin(const TPageState& page);
// Step 22: the alarm lines.
void WriteAlarms(TPageState& page);
// Step 12: the beginning of PostGlobal.
void WritePostGlobalBegin(TPageState& page);
// Steps 25 and 26: the end of PostGlobal and the gcImg function.
void WritePostGlobalEnd(TPageState& page);
void WriteImageCache(TPageState& page);
// Step 27: closes the JSON map and writes it to "JSN\".
void WriteJsonMap(TPageState& page);

// The page's own entry for a variable of the page compiler (visibility,
// alarm): its data index; a new one takes an INPUT entry when the variable
// limit allows, else error bit 4 and -1.
int PageVariableIndex(TPageState& page, const std::string& variable, const std::string& identifier);
