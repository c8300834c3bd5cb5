#include "generator/WebVariables.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "core/IecFormatSpec.h"
#include "core/IecTypes.h"
#include "core/TextEncoding.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "generator/CompileHost.h"
#include "generator/CompileState.h"
#include "platform/vcl/SysUtils.h"

// What the host answered for a variable: from the position query, or from the
// web variable map while its pass is open (then with TDI number and code).
struct TWebVariables::Place {
  bool tdi = false;
  std::uint32_t tdiNumber = 0;
  std::uint8_t code = 0;
  std::uint8_t area = 255;
  std::uint16_t sizeCode = 65535;
  std::int32_t offset = -1;
};

namespace {

// Size codes of the host's position answers.
constexpr std::uint16_t kSizeByte = 8;
constexpr std::uint16_t kSizeDoubleWord = 10;
constexpr int kAreaShift = 24;
constexpr std::uint8_t kAreaTimers = 4;

// Type names the identifiers and the public-variable list write differently.
struct TypeRename {
  std::string_view from;
  std::string_view to;
};
constexpr std::array<TypeRename, 3> kTypeRenames{{
    {"ENUM", "USINT"},
    {"STRING", "STRING[80]"},
    {"STRUCT", "UDINT"},
}};

// The type of a variable the IEC manager does not know, by its size code
// (8 byte .. 13 LREAL).
struct SizeType {
  int typeCode;
  std::string_view typeName;
};
constexpr std::array<SizeType, 6> kTypeOfSize{{
    {IecUsint, "USINT"},
    {IecUint, "UINT"},
    {IecUdint, "UDINT"},
    {IecReal, "REAL"},
    {IecUlint, "ULINT"},
    {IecLreal, "LREAL"},
}};

// The size letter of the public-variable line by size code (9 .. 13); every
// other code writes "B".
constexpr std::array<char, 5> kSizeLetters{'W', 'L', 'F', 'Q', 'D'};
constexpr std::uint16_t kFirstLetteredSize = 9;

char AreaLetter(std::uint8_t area) {
  static constexpr std::array<char, 5> kLetters{'X', 'Y', 'S', 'R', 'T'};
  return area < kLetters.size() ? kLetters[area] : 'R';
}

char SizeLetter(std::uint16_t sizeCode) {
  if (sizeCode < kFirstLetteredSize || sizeCode >= kFirstLetteredSize + kSizeLetters.size()) return 'B';
  return kSizeLetters[sizeCode - kFirstLetteredSize];
}

bool IsBit(std::uint16_t sizeCode) { return sizeCode < kSizeByte; }

// The `Pos` of the variables document: the area code in the top 8 bits, the
// byte offset below.
template <typename TPlace>
std::uint32_t PositionWord(const TPlace& place) {
  return (static_cast<std::uint32_t>(place.area) << kAreaShift) | static_cast<std::uint32_t>(place.offset);
}

// The conversion letter of an integer type by the display base (0 default,
// 1 signed, 2 unsigned, 3 hexadecimal); 0 for a type that is not an integer.
char IntegerLetter(int typeCode, int base) {
  using Letters = std::array<char, 4>;
  static constexpr Letters kBits{'X', 'd', 'u', 'X'};
  static constexpr Letters kSigned{'d', 'd', 'u', 'X'};
  static constexpr Letters kUnsigned{'u', 'd', 'u', 'X'};
  const std::size_t slot = base >= 0 && base < 4 ? static_cast<std::size_t>(base) : 0;
  switch (typeCode) {
    case IecByte:
    case IecWord:
    case IecDword: return kBits[slot];
    case IecSint:
    case IecInt:
    case IecDint: return kSigned[slot];
    case IecUsint:
    case IecUint:
    case IecUdint:
    case IecEnum: return kUnsigned[slot];
    case IecReal: return 'f';
    case IecLreal: return 'l';
    default: return 0;
  }
}

// The format suffix of an identifier; "" for a type without identifier.
std::string FormatSuffix(int typeCode, const TIdentifierFormat& format) {
  switch (typeCode) {
    case IecTime:
    case IecDate:
    case IecTimeOfDay:
    case IecDateAndTime: return format.timeFormat.empty() ? "s" : "T" + format.timeFormat;
    case IecString: return "s";
    case IecStruct: return "u";
    case IecArray: return format.whole ? "u" : "";
    default: break;
  }
  const char letter = IntegerLetter(typeCode, format.base);
  if (letter == 0) return "";
  std::array<char, 32> field{};
  FormatIntField(field.data(), letter, -format.length, format.precision, format.zero, format.left);
  std::string suffix = field.data();
  if (letter == 'l') suffix += 'f';
  return suffix;
}

template <typename... Args>
std::string Format(const char* pattern, Args... args) {
  const int length = std::snprintf(nullptr, 0, pattern, args...);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, args...);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// The identifiers, items and public lines are built by appending their parts,
// as printf's "%i", "%u" and "%0NX" write them; they are made for every
// variable of every object, where a formatted print costs more than the rest.
void AppendDecimal(std::string& text, long long value) {
  std::array<char, 24> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  text.append(digits.data(), end);
}

// Upper-case hexadecimal, at least `width` digits with zeros in front.
void AppendHex(std::string& text, std::uint32_t value, std::size_t width) {
  std::array<char, 8> digits{};
  std::size_t count = 0;
  do {
    digits[count++] = "0123456789ABCDEF"[value & 15U];
    value >>= 4;
  } while (value != 0);
  if (width > count) text.append(width - count, '0');
  while (count > 0) text += digits[--count];
}

std::string Hex(std::uint32_t value, std::size_t width) {
  std::string text;
  AppendHex(text, value, width);
  return text;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Entities decoded, the ends trimmed and every blank inside removed.
std::string CleanName(const std::string& name) {
  const std::string decoded = DecodeHtmlEntities(name);
  std::size_t begin = 0;
  std::size_t end = decoded.size();
  while (begin < end && static_cast<unsigned char>(decoded[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(decoded[end - 1]) <= ' ') --end;
  std::string clean;
  for (std::size_t i = begin; i < end; ++i)
    if (decoded[i] != ' ') clean += decoded[i];
  return clean;
}

// The host's type name cut at its first blank and renamed where the PLC's web
// server reads another name; a variable the IEC manager does not know takes
// its type from the size code.
void NormaliseType(TPinVariable& record, std::uint16_t sizeCode) {
  const std::size_t blank = record.typeName.find(' ');
  if (blank != std::string::npos) record.typeName.erase(blank);
  for (const TypeRename& rename : kTypeRenames)
    if (record.typeName == rename.from) record.typeName = rename.to;
  if (record.typeCode != IecNone) return;
  if (IsBit(sizeCode)) {
    record.typeCode = IecBool;
  } else if (sizeCode - kSizeByte < static_cast<int>(kTypeOfSize.size())) {
    record.typeCode = kTypeOfSize[sizeCode - kSizeByte].typeCode;
    record.typeName = kTypeOfSize[sizeCode - kSizeByte].typeName;
  }
}

}  // namespace

TWebVariables::TWebVariables(TCompileState& state, TCompileHost& host) : state_(state), host_(host) {}

TWebVariables::~TWebVariables() = default;

void TWebVariables::Begin(const std::string& previousDocumentPath) {
  previousItems_.clear();
  previous_.reset();
  if (!ReadPrevious(previousDocumentPath)) {
    previous_.reset();
    previousItems_.clear();
  }
  entered_.clear();
  document_ = std::make_unique<TmyXmlNode>("Wrapper");
  variables_ = document_->AddChild("Variables");
}

bool TWebVariables::ReadPrevious(const std::string& path) {
  TmyXMLParser reader;
  if (path.empty() || !reader.LoadFromFile(path)) return false;
  previous_.reset(reader.Parse());
  if (!previous_ || reader.errorWord != 0) return false;
  TmyXmlNode* top = previous_->firstChild;
  while (top != nullptr && (top->comment || top->instruction)) top = top->next;
  if (top == nullptr) return false;
  for (TmyXmlNode* item = top->firstChild; item != nullptr; item = item->next)
    if (!item->comment && !item->instruction) previousItems_.emplace(UpperCase(item->GetAttr("Name")), item);
  return true;
}

bool TWebVariables::Save(const std::string& path) {
  if (!document_) return false;
  // The writer's progress goes where the compile's other status texts go.
  parser_.progressWindow = state_.hostStatusWindow;
  return parser_.SaveToFile(document_.get(), path, false) != 0;
}

bool TWebVariables::QueryPlace(const std::string& name, Place& place) {
  if (state_.tdiMapPass) {
    WebTdiVarInfo info;
    info.areaCode = place.area;
    info.sizeCode = place.sizeCode;
    info.offset = static_cast<std::uint32_t>(place.offset);
    if (!host_.AddTdiVariable(name, info)) return false;
    place.tdi = true;
    place.tdiNumber = info.tdi;
    place.code = info.code;
    place.area = info.areaCode;
    place.sizeCode = info.sizeCode;
    place.offset = static_cast<std::int32_t>(info.offset);
    return true;
  }
  TVariablePosition position;
  if (!host_.GetVariablePosition(name, position)) return false;
  place.area = position.area;
  place.sizeCode = position.sizeCode;
  place.offset = position.offset;
  return true;
}

void TWebVariables::RecordItem(const std::string& name, const Place& place, int typeCode) {
  const std::uint32_t typeByte = typeCode == IecBool ? place.sizeCode : PlcTypeOfTypeCode(typeCode);
  // One item a name, whatever the case it is written in.
  if (entered_.insert(LowerCase(name)).second) {
    TmyXmlNode* item = variables_->AddChild("Item");
    item->closed = true;
    item->AppendAttr("Name", name);
    item->AppendAttr("Pos", Hex(PositionWord(place), 8));
    if (place.tdi) {
      item->AppendAttr("Tdi", Hex(place.tdiNumber, 8));
      if (place.code != 0) item->AppendAttr("Ccd", Hex(place.code, 2));
    }
    item->AppendAttr("Type", std::to_string(typeByte));
  }
  CheckMoved(name, place, typeByte);
}

// Without a previous document every variable counts as moved; a name the
// previous document does not hold is new, not moved.
void TWebVariables::CheckMoved(const std::string& name, const Place& place, std::uint32_t typeByte) {
  if (!previous_) {
    moved_ = true;
    return;
  }
  const auto found = previousItems_.find(UpperCase(name));
  if (found == previousItems_.end()) return;
  const TmyXmlNode* old = found->second;
  const auto oldType = static_cast<std::uint32_t>(old->GetAttrInt("Type", 0));
  if (!place.tdi) {
    moved_ = old->GetAttrHex("Pos") != PositionWord(place) || oldType != typeByte;
    return;
  }
  const std::uint32_t oldTdi = old->GetAttrHex("Tdi");
  const std::uint32_t oldCode = old->GetAttrHex("Ccd");
  moved_ = oldTdi != place.tdiNumber || oldCode != place.code || oldType != typeByte;
  if (moved_)
    WriteTraceLog(Format("%s moved Tdi: %08X ? %08X Ccd: %02X ? %02X Type: %i ? %i ", name.c_str(), place.tdiNumber,
                         oldTdi, unsigned{place.code}, oldCode, static_cast<int>(typeByte), static_cast<int>(oldType)));
}

void TWebVariables::AddPublicLine(const std::string& name, const Place& place, const std::string& typeName) {
  if (state_.notForId || !state_.publicVariables) return;
  // "NAME A S OFFSET [.BIT ]TYPE PUB_INOUT"; the names end at a NUL as printf's would.
  std::string line = UpperCase(std::string(name.c_str()));
  line += ' ';
  line += AreaLetter(place.area);
  line += ' ';
  line += SizeLetter(place.sizeCode);
  line += ' ';
  AppendDecimal(line, place.offset);
  line += ' ';
  if (IsBit(place.sizeCode)) {
    line += '.';
    AppendDecimal(line, place.sizeCode);
    line += ' ';
  }
  line += typeName.c_str();
  line += " PUB_INOUT";
  TStringList& list = *state_.publicVariables;
  // A sorted list that ignores duplicates keeps a line once, letter case aside, and most
  // variables are used again and again: a line this resolver added already is not searched
  // for in the list again. The set is dropped when the list is another one or changed.
  if (!list.Sorted() || list.Duplicates() != dupIgnore || list.CaseSensitive()) {
    list.Add(line);
    return;
  }
  if (&list != publicList_ || list.Count() != publicCount_) {
    publicLines_.clear();
    publicList_ = &list;
  }
  if (!publicLines_.insert(LowerCase(line)).second) return;
  list.Add(line);
  publicCount_ = list.Count();
}

std::string TWebVariables::MakeIdentifier(const Place& place, char area, const TPinVariable& record,
                                          const TIdentifierFormat& format) const {
  // "__" and the place ("X12", "X12.3" for a bit, "T0000001F" or "T0000001F.02"
  // in a TDI), the type name and the format suffix ("i" for a bit).
  const bool bit = IsBit(place.sizeCode);
  const std::string suffix = bit ? "i" : FormatSuffix(record.typeCode, format);
  if (suffix.empty()) return "";
  std::string identifier = "__";
  if (!place.tdi) {
    identifier += area;
    AppendDecimal(identifier, place.offset);
    if (bit) {
      identifier += '.';
      AppendDecimal(identifier, place.sizeCode);
    }
  } else {
    identifier += 'T';
    AppendHex(identifier, place.tdiNumber, 8);
    if (place.code != 0) {
      identifier += '.';
      AppendHex(identifier, place.code, 2);
    }
  }
  identifier += '_';
  identifier += record.typeName.c_str();
  identifier += '_';
  identifier += suffix.c_str();
  return identifier;
}

std::string TWebVariables::ResolveWebVariable(const std::string& rawName, const TIdentifierFormat& format,
                                              TPinVariable* info) {
  const std::string name = CleanName(rawName);
  moved_ = false;
  if (!name.empty() && name.front() == '"') {
    if (info != nullptr) *info = TPinVariable{};
    return name.size() < 2 ? std::string() : name.substr(1, name.size() - 2);
  }
  TPinVariable record;
  host_.GetVariableInfo(name, record);
  if (!host_.HasVariablesInterface()) return "";
  Place place;
  if (!QueryPlace(name, place)) return "";
  NormaliseType(record, place.sizeCode);
  if (record.typeCode == IecStruct) place.sizeCode = kSizeDoubleWord;
  if (variables_ != nullptr) RecordItem(name, place, record.typeCode);
  const char area = AreaLetter(place.area);
  AddPublicLine(name, place, record.typeName);
  const std::string identifier = place.area == kAreaTimers ? "" : MakeIdentifier(place, area, record, format);
  if (info != nullptr) *info = record;
  return identifier;
}

std::string FormatOfIdentifier(const std::string& identifier) {
  const std::size_t last = identifier.rfind('_');
  return "%" + (last == std::string::npos ? identifier : identifier.substr(last + 1));
}
