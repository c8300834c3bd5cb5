#pragma once
// The page compiler: one `page` element of the project into its share of the
// web output. The page's content goes into the page template (an XSL
// stylesheet) under the plan cell, its data entries (`ACCESS`, `INPUT`,
// `DATA`) under the template data page's `PAGE` element, its script into the
// three script streams, and its JSON map, when it asks for one, into "JSN\".
// The project compiler writes the page's files afterwards.

#include <memory>
#include <string>

struct TCompileContext;
class TmyXmlNode;

class TPageCompiler {
 public:
  explicit TPageCompiler(TCompileContext& context);
  ~TPageCompiler();
  TPageCompiler(const TPageCompiler&) = delete;
  TPageCompiler& operator=(const TPageCompiler&) = delete;

  // Compiles the page. `stream1` receives the page script up to and into the
  // open answer handler, `stream2` the PostGlobal and gcImg functions, the
  // writers also add to `stream3`; the caller appends stream 2 and stream 3
  // to stream 1. `refreshPeriod` is in milliseconds, `hasScript` tells
  // whether the page gets a script file. Answers the page file name (also
  // given in `pageFileName`).
  // Objects that need no element number still take one and give their outer
  // element the id "INPUT%i" (off by default).
  void SetElementIds(bool on);

  std::string CompilePage(TmyXmlNode* page, TmyXmlNode* body, std::string& pageFileName, int& refreshPeriod,
                          std::string& stream2, std::string& stream3, std::string& stream1, bool& hasScript,
                          TmyXmlNode* planCell, TmyXmlNode* templateData);

 private:
  struct TState;
  TCompileContext& context_;
  std::unique_ptr<TState> state_;
  bool elementIds_ = false;
};

// "#TEMPBG%i.XML" for a negative template mark, "#TEMPFG%i.XML" for a
// positive one, "" for 0.
std::string TemplatePageName(int mark);
// The variables a page may hold: 128 while the central unit's code is below
// 11, else 256; a data page may hold 64 bytes per variable.
int MaxPageVariables(int cpmCode);
int MaxDataPageBytes(int cpmCode);
