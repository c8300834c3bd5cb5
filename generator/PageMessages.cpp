// Host messages of the page compiler and the object writers.

#include "generator/PageMessages.h"

#include <string_view>

#include "core/UiText.h"
#include "generator/CompileContext.h"
#include "generator/PageCompiler.h"
#include "generator/PageState.h"

namespace {

constexpr int kTextMissingVariable = 7069;
constexpr int kTextUnknownVariable = 7075;
constexpr int kTextUndefinedVariable = 7076;
constexpr std::string_view kDash = " - ";
constexpr std::string_view kPlaceOpen = " (";

}  // namespace

void AddPlacedMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                      const std::string& place, const std::string& what) {
  // detail + " - " + what + " (" + place + ")", the detail's part only when there is one.
  std::string source;
  source.reserve(detail.size() + kDash.size() + what.size() + kPlaceOpen.size() + place.size() + 1);
  if (!detail.empty()) {
    source += detail;
    source += kDash;
  }
  source += what;
  source += kPlaceOpen;
  source += place;
  source += ')';
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
  const int text = variable.empty()   ? kTextMissingVariable
                   : typeName.empty() ? kTextUndefinedVariable
                                      : kTextUnknownVariable;
  std::string detail;
  detail.reserve(variable.size() + kDash.size() + kindCaption.size());
  detail += variable;
  detail += kDash;
  detail += kindCaption;
  AddObjectMessage(context, GetUiText(text), detail, place, what, object);
}
