#include "generator/WebVariables.h"

#include <algorithm>
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

  bool operator==(const Place&) const = default;
};

// A name as written, cleaned, and what follows from the host's last answer for
// it: the fields after `answered` hold for answeredRecord and answeredPlace.
struct TWebVariables::Resolved {
  std::string rawName;  // the name as written, the entry's key
  std::string name;     // the cleaned name the host is asked for
  bool answered = false;
  // The last answer was the host's type and position for a name it knows, given outside the
  // web variable map's pass after Begin: it holds until the next Begin, and the host is not
  // asked again for the name until then, unless the map's pass is open.
  bool known = false;
  TPinVariable answeredRecord;
  Place answeredPlace;
  TPinVariable record;  // the type name normalised, the type of a name the IEC manager does not know
  Place place;          // a structure read as its double-word address
  std::uint32_t typeByte = 0;
  bool entered = false;  // entered_ holds the name: its item is made (a changed answer keeps the first item)
  bool moved = false;
  std::string moveTrace;       // written to the trace at every resolve that finds the move
  std::string stem;            // the identifier without its format suffix
  std::string publicLine;      // "" until a list asks for it
  std::uint64_t publicIn = 0;  // the generation of publicLines_ that holds the line
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

// Appends the format suffix of an identifier; false for a type without
// identifier.
bool AppendFormatSuffix(std::string& identifier, int typeCode, const TIdentifierFormat& format) {
  switch (typeCode) {
    case IecTime:
    case IecDate:
    case IecTimeOfDay:
    case IecDateAndTime:
      if (format.timeFormat.empty()) {
        identifier += 's';
      } else {
        identifier += 'T';
        identifier += format.timeFormat.c_str();
      }
      return true;
    case IecString: identifier += 's'; return true;
    case IecStruct: identifier += 'u'; return true;
    case IecArray:
      if (!format.whole) return false;
      identifier += 'u';
      return true;
    default: break;
  }
  const char letter = IntegerLetter(typeCode, format.base);
  if (letter == 0) return false;
  std::array<char, 32> field{};
  FormatIntField(field.data(), letter, -format.length, format.precision, format.zero, format.left);
  identifier += field.data();
  if (letter == 'l') identifier += 'f';
  return true;
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

bool SameAnswer(const TPinVariable& a, const TPinVariable& b) {
  return a.typeCode == b.typeCode && a.name == b.name && a.typeName == b.typeName && a.furtherText == b.furtherText;
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
  resolved_.clear();
  slots_.clear();
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

namespace {

// FNV-1a of the name's bytes.
std::uint32_t NameHash(std::string_view name) {
  std::uint32_t hash = 2166136261U;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
  return hash;
}

}  // namespace

TWebVariables::Resolved& TWebVariables::Entry(const std::string& rawName) {
  const std::uint32_t hash = NameHash(rawName);
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = hash & mask;
  for (; !slots_.empty() && slots_[at].second != 0; at = (at + 1) & mask) {
    Resolved& entry = *resolved_[slots_[at].second - 1];
    if (slots_[at].first == hash && entry.rawName == rawName) return entry;
  }
  auto entry = std::make_unique<Resolved>();
  entry->rawName = rawName;
  entry->name = CleanName(rawName);
  resolved_.push_back(std::move(entry));
  if (2 * resolved_.size() > slots_.size()) {
    // Twice the room, every entry placed again.
    slots_.assign(std::max<std::size_t>(64, 2 * slots_.size()), {0, 0});
    for (std::size_t i = 0; i < resolved_.size(); ++i) {
      const std::uint32_t h = NameHash(resolved_[i]->rawName);
      std::size_t free = h & (slots_.size() - 1);
      while (slots_[free].second != 0) free = (free + 1) & (slots_.size() - 1);
      slots_[free] = {h, static_cast<std::uint32_t>(i + 1)};
    }
  } else {
    slots_[at] = {hash, static_cast<std::uint32_t>(resolved_.size())};
  }
  return *resolved_.back();
}

void TWebVariables::Derive(Resolved& entry, const TPinVariable& answer, const Place& answered) {
  entry.answered = true;
  entry.answeredRecord = answer;
  entry.answeredPlace = answered;
  entry.record = answer;
  entry.place = answered;
  NormaliseType(entry.record, entry.place.sizeCode);
  if (entry.record.typeCode == IecStruct) entry.place.sizeCode = kSizeDoubleWord;
  entry.typeByte = entry.record.typeCode == IecBool ? entry.place.sizeCode : PlcTypeOfTypeCode(entry.record.typeCode);
  CheckMoved(entry);
  MakeStem(entry);
  entry.publicLine.clear();
  entry.publicIn = 0;
}

void TWebVariables::RecordItem(const Resolved& entry) {
  // One item a name, whatever the case it is written in; the first place found is kept.
  if (!entered_.insert(LowerCase(entry.name)).second) return;
  const Place& place = entry.place;
  TmyXmlNode* item = variables_->AddChild("Item");
  item->closed = true;
  item->AppendAttr("Name", entry.name);
  item->AppendAttr("Pos", Hex(PositionWord(place), 8));
  if (place.tdi) {
    item->AppendAttr("Tdi", Hex(place.tdiNumber, 8));
    if (place.code != 0) item->AppendAttr("Ccd", Hex(place.code, 2));
  }
  item->AppendAttr("Type", std::to_string(entry.typeByte));
}

// Without a previous document every variable counts as moved; a name the
// previous document does not hold is new, not moved.
void TWebVariables::CheckMoved(Resolved& entry) const {
  entry.moved = false;
  entry.moveTrace.clear();
  if (!previous_) {
    entry.moved = true;
    return;
  }
  const auto found = previousItems_.find(UpperCase(entry.name));
  if (found == previousItems_.end()) return;
  const TmyXmlNode* old = found->second;
  const Place& place = entry.place;
  const auto oldType = static_cast<std::uint32_t>(old->GetAttrInt("Type", 0));
  if (!place.tdi) {
    entry.moved = old->GetAttrHex("Pos") != PositionWord(place) || oldType != entry.typeByte;
    return;
  }
  const std::uint32_t oldTdi = old->GetAttrHex("Tdi");
  const std::uint32_t oldCode = old->GetAttrHex("Ccd");
  entry.moved = oldTdi != place.tdiNumber || oldCode != place.code || oldType != entry.typeByte;
  if (entry.moved)
    entry.moveTrace =
        Format("%s moved Tdi: %08X ? %08X Ccd: %02X ? %02X Type: %i ? %i ", entry.name.c_str(), place.tdiNumber, oldTdi,
               unsigned{place.code}, oldCode, static_cast<int>(entry.typeByte), static_cast<int>(oldType));
}

void TWebVariables::AddPublicLine(Resolved& entry) {
  if (state_.notForId || !state_.publicVariables) return;
  if (entry.publicLine.empty()) {
    // "NAME A S OFFSET [.BIT ]TYPE PUB_INOUT"; the names end at a NUL as printf's would.
    const Place& place = entry.place;
    std::string& line = entry.publicLine;
    line = UpperCase(std::string(entry.name.c_str()));
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
    line += entry.record.typeName.c_str();
    line += " PUB_INOUT";
  }
  TStringList& list = *state_.publicVariables;
  // A sorted list that ignores duplicates keeps a line once, letter case aside, and most
  // variables are used again and again: a line this resolver added already is not searched
  // for in the list again. The set is dropped when the list is another one or changed.
  if (!list.Sorted() || list.Duplicates() != dupIgnore || list.CaseSensitive()) {
    list.Add(entry.publicLine);
    return;
  }
  if (&list != publicList_ || list.Count() != publicCount_) {
    publicLines_.clear();
    ++publicGeneration_;
    publicList_ = &list;
  }
  if (entry.publicIn == publicGeneration_) return;
  entry.publicIn = publicGeneration_;
  if (!publicLines_.insert(LowerCase(entry.publicLine)).second) return;
  list.Add(entry.publicLine);
  publicCount_ = list.Count();
}

// The identifier up to its format suffix: "__" and the place ("X12", "X12.3"
// for a bit, "T0000001F" or "T0000001F.02" in a TDI), the type name and "_".
void TWebVariables::MakeStem(Resolved& entry) {
  const Place& place = entry.place;
  std::string& stem = entry.stem;
  stem = "__";
  if (!place.tdi) {
    stem += AreaLetter(place.area);
    AppendDecimal(stem, place.offset);
    if (IsBit(place.sizeCode)) {
      stem += '.';
      AppendDecimal(stem, place.sizeCode);
    }
  } else {
    stem += 'T';
    AppendHex(stem, place.tdiNumber, 8);
    if (place.code != 0) {
      stem += '.';
      AppendHex(stem, place.code, 2);
    }
  }
  stem += '_';
  stem += entry.record.typeName.c_str();
  stem += '_';
}

// The stem and the suffix of the display format ("i" for a bit); "" for a
// timer of area T and for a type without identifier.
std::string TWebVariables::MakeIdentifier(const Resolved& entry, const TIdentifierFormat& format) {
  if (entry.place.area == kAreaTimers) return "";
  std::string identifier = entry.stem;
  if (IsBit(entry.place.sizeCode)) {
    identifier += 'i';
  } else if (!AppendFormatSuffix(identifier, entry.record.typeCode, format)) {
    return "";
  }
  return identifier;
}

std::string TWebVariables::ResolveWebVariable(const std::string& rawName, const TIdentifierFormat& format,
                                              TPinVariable* info) {
  Resolved& entry = Entry(rawName);
  const std::string& name = entry.name;
  moved_ = false;
  if (!name.empty() && name.front() == '"') {
    if (info != nullptr) *info = TPinVariable{};
    return name.size() < 2 ? std::string() : name.substr(1, name.size() - 2);
  }
  if (!entry.known || state_.tdiMapPass) {
    TPinVariable answer;
    host_.GetVariableInfo(name, answer);
    if (!host_.HasVariablesInterface()) return "";
    Place place;
    if (!QueryPlace(name, place)) return "";
    if (!entry.answered || place != entry.answeredPlace || !SameAnswer(answer, entry.answeredRecord))
      Derive(entry, answer, place);
    entry.known = variables_ != nullptr && !state_.tdiMapPass && answer.typeCode != IecNone;
  }
  if (variables_ != nullptr) {
    if (!entry.entered) RecordItem(entry);
    entry.entered = true;
    moved_ = entry.moved;
    if (!entry.moveTrace.empty()) WriteTraceLog(entry.moveTrace);
  }
  AddPublicLine(entry);
  std::string identifier = MakeIdentifier(entry, format);
  if (info != nullptr) *info = entry.record;
  return identifier;
}

std::string FormatOfIdentifier(const std::string& identifier) {
  const std::size_t last = identifier.rfind('_');
  return "%" + (last == std::string::npos ? identifier : identifier.substr(last + 1));
}
