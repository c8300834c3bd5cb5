// Host messages of the page compiler and the object writers.

#include "generator/PageMessages.h"

#include "core/UiText.h"
#include "generator/CompileContext.h"
#include "generator/PageCompiler.h"
#include "generator/PageState.h"

namespace {

constexpr int kTextMissingVariable = 7069;
constexpr int kTextUnknownVariable = 7075;
constexpr int kTextUndefinedVariable = 7076;

}  // namespace

void AddPlacedMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                      const std::string& place, const std::string& what) {
  std::string source = what + " (" + place + ")";
  if (!detail.empty()) source = detail + " - " + source;
  context.AddHostMessage(text, source);
}

void AddObjectMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                      const std::string& place, const std::string& what, const TObjectData& object) {
  if (object.templateMark == 0) return AddPlacedMessage(context, text, detail, place, what);
  AddPlacedMessage(context, text, detail, place + " <- " + TemplatePageName(object.templateMark), what);
}

void AddNamedObjectMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                           const std::string& place, const std::string& what, const TObjectData& object,
                           const std::string& prefix) {
  AddObjectMessage(context, text, detail, place, prefix.empty() ? what : prefix + " - " + what, object);
}

void ReportVariableProblem(TCompileContext& context, const std::string& kindCaption, const std::string& variable,
                           const std::string& typeName, const std::string& place, const std::string& what,
                           const TObjectData& object) {
  if (variable.empty())
    return AddObjectMessage(context, GetUiText(kTextMissingVariable), " - " + kindCaption, place, what, object);
  const int text = typeName.empty() ? kTextUndefinedVariable : kTextUnknownVariable;
  AddObjectMessage(context, GetUiText(text), variable + " - " + kindCaption, place, what, object);
}
