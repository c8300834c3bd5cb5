// The page script around the objects: the answer handler's beginning, the
// canvas and orientation support, the alarm lines, PostGlobal, gcImg and the
// JSON map.

#include <array>
#include <string_view>

#include "core/TextEncoding.h"
#include "core/TextEncodingTables.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/EmbeddedScript.h"
#include "generator/GeneratedFiles.h"
#include "generator/ObjectWriter.h"
#include "generator/PageCompiler.h"
#include "generator/PageCompilerSteps.h"
#include "generator/Template.h"
#include "grid/PlaceholderResolver.h"

namespace {

const TScriptTemplate& Frame() { return TScriptTemplate::Get("PAGE_FRAME_JS"); }

// The drawing and the touch scripts of canvas pages, in this order.
constexpr std::array<const char*, 2> kCanvasScripts = {"CANVAS_JS", "CANVAS2_JS"};

// A code page's characters 128 to 255 (or fewer) for ArrayToText.
struct TConversionTable {
  char digit;
  const char16_t* table;
  int size;
};

constexpr int kUpperHalf = 128;
constexpr int kCp1252Specials = 32;

// The tables by the code-page digit; every other digit takes windows-1250.
const TConversionTable kConversionTables[] = {
    {'0', kCp1250Upper, kUpperHalf}, {'1', kCp1251Upper, kUpperHalf}, {'2', kCp1252Low, kCp1252Specials},
    {'3', kCp1253Upper, kUpperHalf}, {'4', kCp1254Upper, kUpperHalf}, {'5', kCp1255Upper, kUpperHalf},
};

std::string TableText(const TConversionTable& table) {
  std::string text;
  for (int i = 0; i < table.size; ++i) {
    if (i > 0) text += ',';
    text += std::to_string(static_cast<unsigned>(table.table[i]));
  }
  return text;
}

std::string VariableOf(const TListedVariable& entry) { return entry.entry.substr(0, entry.variableLength); }

// The statement of one alarm on a page that is not the alarm's page.
void WriteAlarmJumps(TPageState& page, const std::vector<int>& indexes) {
  bool first = true;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (indexes[i] < 0) continue;
    TTemplateValues values;
    values.Raw("else", first ? "" : "else ").Int("index", indexes[i]);
    values.JsString("page", page.context.alarmVariables[i].alarm->GetAttr("page"));
    Frame().AppendTo(*page.stream1, "alarm-jump", values);
    first = false;
  }
}

// The condition by which an alarm page leaves: an alarm before its own is
// active, or its own is gone.
void WriteAlarmPageExit(TPageState& page, const std::vector<int>& indexes, std::size_t own) {
  if (indexes[own] < 0) return;
  Frame().AppendTo(*page.stream1, "alarm-page-begin");
  const std::size_t last = page.context.alarmVariables.size() - 1;
  for (std::size_t i = 0; i < own; ++i) {
    if (indexes[i] < 0) continue;
    TTemplateValues values;
    values.Int("index", indexes[i]).Raw("join", i == last ? ")" : "||");
    Frame().AppendTo(*page.stream1, "alarm-higher", values);
  }
  Frame().AppendTo(*page.stream1, "alarm-own", TTemplateValues().Int("index", indexes[own]));
}

std::string PostGlobalTerm(const TGlobalField& field) {
  const std::string n = std::to_string(field.element < 0 ? -field.element : field.element);
  if (field.element < 0) return "(Input" + n + ".name+'='+Input" + n + ".value+'&')";
  return "(InputEdited[" + n + "] ? encodeURIComponent(Input" + n + ".name)+'='+encodeURIComponent(Input" + n +
         ".value)+'&' : '')";
}

}  // namespace

std::string CanvasTextConversion(char codePageDigit) {
  if (codePageDigit == '8') return Frame().Fill("utf8-array-to-str");
  const TConversionTable* table = &kConversionTables[0];
  for (const TConversionTable& t : kConversionTables) {
    if (t.digit == codePageDigit) table = &t;
  }
  return Frame().Fill("array-to-text", TTemplateValues().Raw("table", TableText(*table)));
}

std::string CanvasScripts() {
  std::string text;
  for (const char* resource : kCanvasScripts) text += EmbeddedScript(resource);
  return text;
}

std::string OrientationSupport() { return Frame().Fill("orientation"); }

std::string AnswerHandlerBegin(const TPageState& page) {
  std::string text = Frame().Fill("answer-begin", TTemplateValues().Int("ucid", page.ucid));
  text += Frame().Fill(page.canvasPage ? "answer-canvas-values" : "answer-values");
  const bool orientation = !page.orientation[0].empty() || !page.orientation[1].empty() || !page.orientation[2].empty();
  if (!orientation) return text;
  TTemplateValues values;
  values.JsString("alpha", page.orientation[0]).JsString("beta", page.orientation[1]);
  values.JsString("gamma", page.orientation[2]);
  return text + Frame().Fill("answer-orientation", values);
}

int PageVariableIndex(TPageState& page, const std::string& variable, const std::string& identifier) {
  const int index = FindInputEntry(page, variable + identifier);
  if (index >= 0) return index;
  page.newVariable = true;
  if (!CanAddPageVariable(page)) {
    page.context.state.compileErrors |= kCompileErrorTooMany;
    return -1;
  }
  AddDataEntry(page, page.dataParent, false, variable, identifier, variable);
  return static_cast<int>(page.inputs.size()) - 1;
}

void WriteAlarms(TPageState& page) {
  const std::vector<TAlarmVariable>& alarms = page.context.alarmVariables;
  if (alarms.empty()) return;
  std::size_t own = alarms.size();
  for (std::size_t i = 0; i < alarms.size() && own == alarms.size(); ++i) {
    if (alarms[i].alarm->GetAttr("page") == page.name) own = i;
  }
  // On an alarm page only the alarms up to its own count.
  const std::size_t count = own < alarms.size() ? own + 1 : alarms.size();
  std::vector<int> indexes;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string variable =
        ExpandGlobalPlaceholders(page.context.project.resolver, alarms[i].alarm->GetAttr("var"));
    indexes.push_back(PageVariableIndex(page, variable, alarms[i].identifier));
  }
  if (own < alarms.size())
    WriteAlarmPageExit(page, indexes, own);
  else
    WriteAlarmJumps(page, indexes);
}

void WritePostGlobalBegin(TPageState& page) { Frame().AppendTo(*page.stream2, "post-global-begin"); }

void WritePostGlobalEnd(TPageState& page) {
  std::string& out = *page.stream2;
  if (!page.globalFields.empty() || !page.postPairs.empty()) {
    std::string terms;
    for (const TGlobalField& field : page.globalFields) {
      const int n = field.element < 0 ? -field.element : field.element;
      const std::string id = std::to_string(n) + (field.element < 0 ? "h" : "");
      Frame().AppendTo(out, "post-global-field",
                       TTemplateValues().Int("element", n).Raw("id", id).Raw("limit", field.limitCheck));
      terms += (terms.empty() ? "" : "+") + PostGlobalTerm(field);
    }
    for (const std::string& pair : page.postPairs) terms += (terms.empty() ? "" : "+") + pair;
    Frame().AppendTo(out, "post-global-call", TTemplateValues().JsString("page", page.name).Raw("terms", terms));
    for (const TGlobalField& field : page.globalFields) {
      if (field.element > 0)
        Frame().AppendTo(out, "post-global-edited", TTemplateValues().Int("element", field.element));
    }
    if (!page.postPairs.empty()) Frame().AppendTo(out, "post-global-pressed");
  }
  Frame().AppendTo(out, "post-global-end");
}

void WriteImageCache(TPageState& page) {
  if (!page.canvasPage || page.pictures.empty()) return;
  std::string names, files;
  for (std::size_t i = 0; i < page.pictures.size(); ++i) {
    names += (i > 0 ? "','" : "") + EscapeJsString(page.pictures[i]);
    files += (i > 0 ? "','" : "") + EscapeJsString(i < page.pictureFiles.size() ? page.pictureFiles[i] : "");
  }
  Frame().AppendTo(*page.stream2, "image-cache", TTemplateValues().Raw("names", names).Raw("files", files));
}

void WriteJsonMap(TPageState& page) {
  if (!page.jsonMap) return;
  std::string& json = page.json;
  json += "],\"d\":[";
  for (std::size_t i = 0; i < page.datas.size(); ++i)
    json += (i > 0 ? "," : "") + JsonString(VariableOf(page.datas[i]));
  json += "],\"w\":[";
  for (std::size_t i = 0; i < page.writtenOnly.size(); ++i) {
    const TListedVariable& v = page.writtenOnly[i];
    json += (i > 0 ? ",{\"n\":" : "{\"n\":") + JsonString(VariableOf(v)) +
            ",\"v\":" + JsonString(v.entry.substr(v.variableLength)) + "}";
  }
  json += "]}";
  const std::string file = page.name.substr(0, page.name.size() >= 3 ? page.name.size() - 3 : 0) + "JSN";
  const std::string path = page.context.state.outputRoot + "JSN\\" + file;
  if (!page.context.files.WriteGeneratedFile(path, json)) page.context.files.ReportWriteFailure(path);
}
