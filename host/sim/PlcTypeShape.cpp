#include "host/sim/PlcTypeShape.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/IecTypes.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr std::uint32_t kMaxTypeSize = kPlcAreaMaxSize;
constexpr int kMaxNesting = 16;

// Blanks and tabs only, unlike SysUtils' Trim (every byte up to ' '): other
// control characters of a declaration stay as they are.
std::string TrimBlanks(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

[[noreturn]] void Fail(const std::string& text) { throw HostProjectError(text); }

bool ParseInt(const std::string& text, std::int64_t* value) {
  std::string t = TrimBlanks(text);
  if (t.empty() || t.size() > 12) return false;
  std::size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i == t.size()) return false;
  for (std::size_t k = i; k < t.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
  *value = std::strtoll(t.c_str(), nullptr, 10);
  return true;
}

// The size codes the host's variables interface reports (the header lists
// them): a BOOL's is its bit number, 0 for one that has a byte of its own.
constexpr std::uint16_t kSizeCodeBit = 0;
constexpr std::uint16_t kSizeCodeByte = 8;
constexpr std::uint16_t kSizeCodeWord = 9;
constexpr std::uint16_t kSizeCodeDword = 10;
constexpr std::uint16_t kSizeCodeReal = 11;
constexpr std::uint16_t kSizeCodeLword = 12;
constexpr std::uint16_t kSizeCodeLreal = 13;

// STRING without a length, and the longest one.
constexpr std::int64_t kDefaultStringLength = 80;
constexpr std::int64_t kMaxStringLength = 254;
constexpr std::int64_t kMaxArrayElements = 65536;

struct Elementary {
  int code;
  std::uint32_t size;
  std::uint16_t sizeCode;
};

constexpr Elementary kElementaryTypes[] = {
    {IecBool, 1, kSizeCodeBit},      {IecBoolREdge, 1, kSizeCodeBit},     {IecBoolFEdge, 1, kSizeCodeBit},
    {IecByte, 1, kSizeCodeByte},     {IecSint, 1, kSizeCodeByte},         {IecUsint, 1, kSizeCodeByte},
    {IecEnum, 1, kSizeCodeByte},     {IecWord, 2, kSizeCodeWord},         {IecInt, 2, kSizeCodeWord},
    {IecUint, 2, kSizeCodeWord},     {IecDword, 4, kSizeCodeDword},       {IecDint, 4, kSizeCodeDword},
    {IecUdint, 4, kSizeCodeDword},   {IecTime, 4, kSizeCodeDword},        {IecTimeOfDay, 4, kSizeCodeDword},
    {IecPointer, 4, kSizeCodeDword}, {IecReal, 4, kSizeCodeReal},         {IecLword, 8, kSizeCodeLword},
    {IecLint, 8, kSizeCodeLword},    {IecUlint, 8, kSizeCodeLword},       {IecLreal, 8, kSizeCodeLreal},
    {IecDate, 8, kSizeCodeLreal},    {IecDateAndTime, 8, kSizeCodeLreal},
};

// The layout of an elementary type code; null for a code that needs a
// declaration.
const Elementary* ElementaryOf(int code) {
  for (const Elementary& e : kElementaryTypes)
    if (e.code == code) return &e;
  return nullptr;
}

// ARRAY[low..high] OF element, taken apart.
struct ArrayDeclaration {
  std::int64_t low = 0;
  std::int64_t high = -1;
  std::string elementText;
};

ArrayDeclaration ParseArrayDeclaration(const std::string& text) {
  std::string upper = UpperCase(text);
  std::size_t open = upper.find('[');
  std::size_t close = upper.find(']');
  std::size_t dots = upper.find("..");
  std::size_t of = upper.find(" OF ");
  if (open == std::string::npos || close == std::string::npos || dots == std::string::npos || of == std::string::npos ||
      !(open < dots && dots < close && close < of))
    Fail("malformed array type " + text + " (ARRAY[low..high] OF type)");
  ArrayDeclaration array;
  if (!ParseInt(upper.substr(open + 1, dots - open - 1), &array.low) ||
      !ParseInt(upper.substr(dots + 2, close - dots - 2), &array.high))
    Fail("malformed array bounds in " + text);
  if (array.high < array.low) Fail("array bounds in " + text + " are reversed");
  if (array.high - array.low + 1 > kMaxArrayElements) Fail("array " + text + " has more than 65536 elements");
  array.elementText = text.substr(of + 4);
  return array;
}

// The name the host reports for an elementary type as written.
std::string HostNameOf(const std::string& upperText, int code) {
  if (code == IecDateAndTime) return "DATE_AND_TIME";
  if (code == IecTimeOfDay) return "TIME_OF_DAY";
  if (upperText == "BIT") return "BOOL";
  return upperText;
}

class Shaper {
 public:
  explicit Shaper(const std::vector<HostStructType>& structs) : structs_(structs) {}

  PlcTypeShapePtr Shape(const std::string& rawText, int depth) {
    if (depth > kMaxNesting) Fail("types nested too deeply (a structure that contains itself?)");
    std::string text = TrimBlanks(rawText);
    if (text.empty()) Fail("missing type");
    std::string upper = UpperCase(text);

    if (upper.rfind("ARRAY", 0) == 0 && upper.size() > 5 && (upper[5] == '[' || upper[5] == ' '))
      return Array(text, depth);
    if (text[0] == '(') return Enumeration(text);
    if (upper.rfind("WSTRING", 0) == 0 || upper.rfind("STRING", 0) == 0) return String(text, upper);

    int code = TypeCodeOfName(upper.c_str());
    if (code == IecUnknown) return Struct(text, depth);
    return ElementaryShape(upper, code);
  }

 private:
  static PlcTypeShapePtr ElementaryShape(const std::string& upper, int code) {
    if (code >= IecAny && code <= IecAnyReal) Fail("the generic type " + upper + " cannot be a variable's type");
    const Elementary* e = ElementaryOf(code);
    if (e == nullptr) Fail("type " + upper + " needs a declaration (ARRAY[..] OF, a structure name)");
    auto s = std::make_shared<PlcTypeShape>();
    s->kind = PlcTypeShape::Kind::Elementary;
    s->code = code;
    s->hostTypeName = HostNameOf(upper, code);
    s->size = e->size;
    s->sizeCode = e->sizeCode;
    s->isBit = e->sizeCode == kSizeCodeBit;
    return s;
  }

  static PlcTypeShapePtr Enumeration(const std::string& text) {
    if (text.back() != ')' || text.size() < 3) Fail("malformed enumeration " + text);
    // As a real host reports an enumeration: the type name "ENUM", its list
    // as the further text.
    auto s = std::make_shared<PlcTypeShape>();
    s->code = IecEnum;
    s->hostTypeName = "ENUM";
    s->furtherText = text;
    s->size = 1;
    s->sizeCode = kSizeCodeByte;
    return s;
  }

  static PlcTypeShapePtr String(const std::string& text, const std::string& upper) {
    bool wide = upper[0] == 'W';
    std::size_t base = wide ? std::strlen("WSTRING") : std::strlen("STRING");
    std::int64_t length = kDefaultStringLength;
    std::string rest = TrimBlanks(upper.substr(base));
    if (!rest.empty()) {
      if (rest.front() != '[' || rest.back() != ']' || !ParseInt(rest.substr(1, rest.size() - 2), &length))
        Fail("malformed string type " + text);
      if (length < 1 || length > kMaxStringLength) Fail("string length out of 1..254 in " + text);
    }
    auto s = std::make_shared<PlcTypeShape>();
    s->kind = PlcTypeShape::Kind::String;
    s->code = wide ? IecWstring : IecString;
    s->hostTypeName = std::string(wide ? "WSTRING" : "STRING") + "[" + std::to_string(length) + "]";
    s->size = static_cast<std::uint32_t>((length + 1) * (wide ? 2 : 1));
    s->sizeCode = kSizeCodeByte;
    return s;
  }

  PlcTypeShapePtr Array(const std::string& text, int depth) {
    const ArrayDeclaration array = ParseArrayDeclaration(text);
    PlcTypeShapePtr element = Shape(array.elementText, depth + 1);
    std::uint64_t count = static_cast<std::uint64_t>(array.high - array.low + 1);
    std::uint64_t elementSize = element->isBit ? 1 : element->size;
    if (count * elementSize > kMaxTypeSize) Fail("array " + text + " is larger than an area");
    auto s = std::make_shared<PlcTypeShape>();
    s->kind = PlcTypeShape::Kind::Array;
    s->code = IecArray;
    s->hostTypeName = "ARRAY";
    s->furtherText = "ARRAY[" + std::to_string(array.low) + ".." + std::to_string(array.high) + "] OF " +
                     (element->kind == PlcTypeShape::Kind::Struct ? element->furtherText : element->hostTypeName);
    s->low = static_cast<std::int32_t>(array.low);
    s->high = static_cast<std::int32_t>(array.high);
    s->element = element;
    s->size = static_cast<std::uint32_t>(count * elementSize);
    s->sizeCode = kSizeCodeByte;
    return s;
  }

  PlcTypeShapePtr Struct(const std::string& text, int depth) {
    std::string upper = UpperCase(text);
    auto cached = cache_.find(upper);
    if (cached != cache_.end()) return cached->second;
    const HostStructType* found = nullptr;
    for (const HostStructType& t : structs_)
      if (UpperCase(t.name) == upper) found = &t;
    if (!found) Fail("unknown type " + text);
    auto s = std::make_shared<PlcTypeShape>();
    s->kind = PlcTypeShape::Kind::Struct;
    s->code = IecStruct;
    s->hostTypeName = "STRUCT";
    s->furtherText = found->name;
    std::uint64_t offset = 0;
    for (const HostStructMember& m : found->members) {
      PlcTypeShapePtr ms = Shape(m.type, depth + 1);
      s->members.push_back({m.name, static_cast<std::uint32_t>(offset), ms});
      offset += ms->isBit ? 1 : ms->size;
      if (offset > kMaxTypeSize) Fail("structure " + found->name + " is larger than an area");
    }
    s->size = static_cast<std::uint32_t>(offset);
    s->sizeCode = kSizeCodeByte;
    cache_[upper] = s;
    return s;
  }

  const std::vector<HostStructType>& structs_;
  std::map<std::string, PlcTypeShapePtr> cache_;
};

}  // namespace

PlcTypeShapePtr ShapeOfType(const std::string& typeText, const std::vector<HostStructType>& structs) {
  Shaper shaper(structs);
  return shaper.Shape(typeText, 0);
}
