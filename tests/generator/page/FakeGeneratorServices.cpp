// Stand-ins for the generator services that the page compiler calls and that
// are built in their own files (the variables document and the project's
// pictures): just enough for the page compiler's tests. The identifiers follow the real grammar for the types these
// tests declare, so the golden pages stay the same with the real services.
//
// Test-only knobs: a variable whose position's `extra` is 1 reads as moved;
// copied pictures are recorded in gFakeCopiedImages.

#include <cstdio>
#include <string>
#include <vector>

#include "core/IecTypes.h"
#include "core/XmlNode.h"
#include "generator/CompileHost.h"
#include "generator/CompileState.h"
#include "generator/ProjectImages.h"
#include "generator/WebVariables.h"

std::vector<std::string> gFakeCopiedImages;

namespace {

const char kAreaLetters[] = {'X', 'Y', 'S', 'R', 'T'};
constexpr int kAreaTimers = 4;
constexpr std::uint32_t kMovedMark = 1;

// The suffix of the numeric and text kinds these tests use.
std::string Suffix(int typeCode) {
  switch (typeCode) {
    case IecByte:
    case IecWord:
    case IecDword: return "X";
    case IecSint:
    case IecInt:
    case IecDint: return "d";
    case IecUsint:
    case IecUint:
    case IecUdint: return "u";
    case IecReal: return "f";
    case IecString: return "s";
    default: return "";
  }
}

}  // namespace

TWebVariables::TWebVariables(TCompileState& state, TCompileHost& host) : state_(state), host_(host) {}
TWebVariables::~TWebVariables() = default;

std::string TWebVariables::ResolveWebVariable(const std::string& name, const TIdentifierFormat&, TPinVariable* info) {
  moved_ = false;
  TPinVariable record;
  host_.GetVariableInfo(name, record);
  if (info != nullptr) *info = record;
  TVariablePosition position;
  if (!host_.HasVariablesInterface() || !host_.GetVariablePosition(name, position)) return "";
  moved_ = position.extra == kMovedMark;
  if (position.area == kAreaTimers) return "";
  const char area = position.area < sizeof kAreaLetters ? kAreaLetters[position.area] : 'R';
  char text[128];
  if (position.sizeCode < 8) {
    std::snprintf(text, sizeof text, "__%c%i.%i_%s_i", area, position.offset, position.sizeCode,
                  record.typeName.c_str());
    return text;
  }
  const std::string suffix = Suffix(record.typeCode);
  if (suffix.empty()) return "";
  const std::string type = record.typeName == "STRING" ? "STRING[80]" : record.typeName;
  std::snprintf(text, sizeof text, "__%c%i_%s_%s", area, position.offset, type.c_str(), suffix.c_str());
  return text;
}

std::string FormatOfIdentifier(const std::string& identifier) {
  const std::size_t underscore = identifier.rfind('_');
  return "%" + (underscore == std::string::npos ? identifier : identifier.substr(underscore + 1));
}

TProjectImages::TProjectImages(TmyXmlNode* images, TCompileProject& project, TCompileState& state,
                               TGeneratedFiles* files)
    : images_(images), project_(project), state_(state), files_(files) {}

TmyXmlNode* TProjectImages::FindImageNode(const std::string& name) const {
  if (images_ == nullptr) return nullptr;
  for (TmyXmlNode* n = images_->firstChild; n != nullptr; n = n->next) {
    if (n->GetAttr("name") == name) return n;
  }
  return nullptr;
}

TmyXmlNode* TProjectImages::CopyProjectImage(const std::string& name, const std::string& folder) {
  TmyXmlNode* image = FindImageNode(name);
  if (image != nullptr) gFakeCopiedImages.push_back(folder + name);
  return image;
}
