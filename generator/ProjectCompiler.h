#pragma once
// The project compiler: the whole web project into the output root. It
// prepares the project (default page, the operator panels' host variables,
// picture sizes, alarm variables, template pages), checks the page template
// for the marks it fills and adapts it once to the project's settings, then
// fills the page template and the template data page for every page of every
// group, lets the page compiler write the page's content into them and writes
// the page's script, data page and stylesheet (and the index page for the
// default page). Problems become host messages and error bits; the compile
// never stops on them.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/CompileContext.h"

class TmyXmlNode;

// The page compiler as the project compiler calls it (TPageCompiler in the
// generator; tests give their own).
class TPageCompileStep {
 public:
  virtual ~TPageCompileStep() = default;
  virtual std::string CompilePage(TmyXmlNode* page, TmyXmlNode* body, std::string& pageFileName, int& refreshPeriod,
                                  std::string& stream2, std::string& stream3, std::string& stream1, bool& hasScript,
                                  TmyXmlNode* planCell, TmyXmlNode* templateData) = 0;
};

// The size of a loaded project picture by its `name`; false when the picture
// is not loaded.
using TPictureSizeLookup = std::function<bool(const std::string& name, int& width, int& height)>;

struct TProjectCompileInputs {
  TPageCompileStep& pages;
  // The variable structures of the host's operator panels: for each panel in
  // the panel list's order its "in" name, then its "out" name.
  std::vector<std::string> panelStructures;
  // Empty: no picture is loaded (the image sizes stay as they are).
  TPictureSizeLookup pictureSize;
};

// Compiles the project of the context. `templateData` is the root of the
// parsed template data page, `pageTemplate` the root of the parsed page
// template; both stay the caller's and are changed for every page.
void CompileProject(TCompileContext& context, TmyXmlNode* templateData, TmyXmlNode* pageTemplate,
                    const TProjectCompileInputs& inputs);

// --- the preparation steps ---------------------------------------------------------
// When no page of `web` has `default`, the first page gets `default` "true".
void EnsureDefaultPage(TmyXmlNode* web);
// Resolves the member variables of each structure (the host answers their
// names), so that they enter the variables document and the public-variable
// list.
void RefreshHostVariables(TCompileContext& context, const std::vector<std::string>& structures);
// Gives every `img` of the project's `images` element (null: none) that has
// both `height` and `width` the size of its loaded picture when either differs.
void UpdateImageSizes(TmyXmlNode* images, const TPictureSizeLookup& pictureSize);
// Resolves the variable of every alarm of the project's `alarms` element (null:
// none) that names a page: known ones fill context.alarmVariables, unknown ones
// give a host message and error bit 1.
void CheckAlarmVariables(TCompileContext& context, TmyXmlNode* alarms);
// Fills the context's foreground and background template slots 1 to 9 from
// the pages named "#TEMPFG%i.XML" and "#TEMPBG%i.XML".
void ScanTemplatePages(TCompileContext& context);

// --- the page script's watchdog -------------------------------------
// The watchdog reloads a page when no answer came for 20 refresh periods, but
// waits at least 5000 ms.
int WatchdogPeriod(int refreshPeriod);

// --- the fixed texts of the page script ------------------------------------------------
// The script library every page script starts with, with CR LF line ends.
const std::string& ScriptLibrary();
// The back command: to the previous page, or to the index page when there is
// none, when it is the current page, an alarm page, or the login or logout page.
std::string BackToReferrerScript(const std::vector<TAlarmVariable>& alarms);
// Closes the answer handler that the page compiler opened, requests the next
// data page, and defines the watchdog.
std::string PageScriptClosing(const std::string& pageFileName, int refreshPeriod);

// The 8-bit text as UTF-8, converted from the project's code page (UTF-8
// texts stay as they are, and so do texts of ASCII alone: a text passed as a
// temporary is then handed back without a copy).
std::string ProjectTextToUtf8(std::string text, int codePage);
// True when ProjectTextToUtf8 would hand the text back unchanged.
bool ProjectTextIsUtf8(std::string_view text, int codePage);
