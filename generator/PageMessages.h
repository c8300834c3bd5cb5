#pragma once
// The host messages of the page compiler and the object writers: a message
// placed on a page, on an object (naming the template page it came from),
// and the report of a missing, undefined or unknown variable.

#include <string>

struct TCompileContext;
struct TObjectData;

// Source: detail + " - " + what + " (" + place + ")", or what + " (" + place
// + ")" without a detail.
void AddPlacedMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                      const std::string& place, const std::string& what);
// The place gains " <- " and the template page's name for an object copied
// from a template page.
void AddObjectMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                      const std::string& place, const std::string& what, const TObjectData& object);
// `what` becomes prefix + " - " + what when the prefix is not empty.
void AddNamedObjectMessage(TCompileContext& context, const std::string& text, const std::string& detail,
                           const std::string& place, const std::string& what, const TObjectData& object,
                           const std::string& prefix);
// No variable text: "missing variable" with the detail " - " + kind caption;
// a variable without type: "Undefined variable"; with a type: "Unknown
// variable"; the detail of the last two is the variable + " - " + kind caption.
void ReportVariableProblem(TCompileContext& context, const std::string& kindCaption, const std::string& variable,
                           const std::string& typeName, const std::string& place, const std::string& what,
                           const TObjectData& object);
