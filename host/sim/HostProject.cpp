#include "host/sim/HostProject.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "host/sim/PlcFileSystem.h"
#include "host/sim/PlcTypeShape.h"
#include "host/sim/PresetValue.h"
#include "host/sim/VariableTable.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

constexpr std::size_t kMaxProjectFile = 1 << 20;
constexpr std::uint64_t kMaxLanguageId = 0xFFFF;
constexpr std::uint64_t kMaxSigned = 0x7FFFFFFF;
constexpr std::uint64_t kMaxUnsigned = 0xFFFFFFFF;
constexpr std::uint64_t kMaxBitNumber = 7;
constexpr std::size_t kMaxIdentifier = 64;

class Reader {
 public:
  Reader(const std::string& folder, const std::string& label) : label_(label) { project_.folder = folder; }

  HostProject Run(const std::string& text) {
    std::size_t pos = 0;
    while (pos <= text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      ++line_;
      Line(Tokens(text.substr(pos, end - pos)));
      pos = end + 1;
    }
    if (current_) Fail(current_->line, "structure " + current_->name + " has no \"end\"");
    if (!sawName_) Fail(0, "the file names no project (a line: project NAME)");
    Check();
    return std::move(project_);
  }

 private:
  [[noreturn]] void Fail(int line, const std::string& text) const {
    throw HostProjectError(label_ + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + text);
  }

  // Splits a line into words; double quotes make one word of blanks, \" and
  // \\ stand for themselves inside them; '#' outside quotes starts a comment.
  std::vector<std::string> Tokens(std::string raw) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < raw.size()) {
      char c = raw[i];
      if (c == ' ' || c == '\t') {
        ++i;
        continue;
      }
      if (c == '#') break;
      std::string word;
      if (c == '"') {
        ++i;
        bool closed = false;
        while (i < raw.size()) {
          if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\')) {
            word += raw[i + 1];
            i += 2;
          } else if (raw[i] == '"') {
            closed = true;
            ++i;
            break;
          } else {
            word += raw[i++];
          }
        }
        if (!closed) Fail(line_, "a quoted text is not closed");
      } else {
        while (i < raw.size() && raw[i] != ' ' && raw[i] != '\t' && raw[i] != '#') word += raw[i++];
      }
      for (char w : word)
        if (static_cast<unsigned char>(w) < 0x20) Fail(line_, "control character in a word");
      out.push_back(word);
    }
    return out;
  }

  std::uint32_t Number(const std::string& word, const char* what, std::uint64_t max) const {
    std::uint64_t value = 0;
    bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    std::size_t start = hex ? 2 : 0;
    if (word.size() == start || word.size() - start > (hex ? 8u : 10u))
      Fail(line_, std::string("bad ") + what + " \"" + word + "\"");
    for (std::size_t i = start; i < word.size(); ++i) {
      char c = word[i];
      int digit;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      else
        Fail(line_, std::string("bad ") + what + " \"" + word + "\"");
      value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    }
    if (value > max) Fail(line_, std::string(what) + " " + word + " is too large");
    return static_cast<std::uint32_t>(value);
  }

  std::int32_t Signed(const std::string& word, const char* what) const {
    if (!word.empty() && word[0] == '-') return -static_cast<std::int32_t>(Number(word.substr(1), what, kMaxSigned));
    return static_cast<std::int32_t>(Number(word, what, kMaxSigned));
  }

  void Count(const std::vector<std::string>& t, std::size_t min, std::size_t max, const char* usage) const {
    if (t.size() < min || t.size() > max) Fail(line_, std::string("expected: ") + usage);
  }

  static bool IsIdentifier(const std::string& s) {
    if (s.empty() || s.size() > kMaxIdentifier) return false;
    if (!(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
    for (char c : s)
      if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    return true;
  }

  // One line of the file: a keyword and its words, or a member of the
  // structure being declared.
  void Line(const std::vector<std::string>& t);
  void StructMemberLine(const std::vector<std::string>& t);

  void ProjectLine(const std::vector<std::string>& t) {
    Count(t, 2, 2, "project NAME");
    if (t[1].empty()) Fail(line_, "empty project name");
    project_.name = t[1];
    sawName_ = true;
  }

  void GlobalLine(const std::vector<std::string>& t) {
    Count(t, 2, 2, "global FOLDER");
    if (t[1].empty()) Fail(line_, "empty global folder");
    std::string& global = project_.globalFolder;
    global = std::filesystem::path(t[1][0] == '/' ? t[1] : project_.folder + "/" + t[1]).lexically_normal().string();
    while (global.size() > 1 && global.back() == '/') global.pop_back();
  }

  void CpmLine(const std::vector<std::string>& t) {
    Count(t, 2, 2, "cpm NUMBER");
    project_.cpm = Signed(t[1], "CPU code");
  }

  void LanguageLine(const std::vector<std::string>& t) {
    Count(t, 2, 2, "language LCID");
    project_.language = static_cast<std::int32_t>(Number(t[1], "language id", kMaxLanguageId));
  }

  void FileLine(const std::vector<std::string>& t) {
    Count(t, 2, 2, "file NAME");
    if (t[1].empty() || t[1].find_first_of("|\r\n") != std::string::npos || t[1][0] == '/' ||
        t[1].find("..") != std::string::npos)
      Fail(line_, "bad file name \"" + t[1] + "\"");
    project_.files.push_back(t[1]);
  }

  void PanelLine(const std::vector<std::string>& t) {
    Count(t, 4, 7, "panel RACK POSITION TYPE [NAME [IN [OUT]]]");
    HostPanelDecl p;
    p.rack = Signed(t[1], "rack");
    p.position = Signed(t[2], "position");
    p.type = t[3];
    if (t.size() > 4) p.name = t[4];
    if (t.size() > 5) p.in = t[5];
    if (t.size() > 6) p.out = t[6];
    project_.panels.push_back(p);
  }

  void AreaLine(const std::vector<std::string>& t) {
    Count(t, 3, 3, "area X|Y|S|R|T SIZE");
    auto area = PlcAreaOfName(t[1]);
    if (!area) Fail(line_, "unknown memory area \"" + t[1] + "\" (X, Y, S, R or T)");
    std::uint32_t size = Number(t[2], "area size", kMaxUnsigned);
    if (size > kPlcAreaMaxSize)
      Fail(line_, std::string("memory area ") + PlcAreaName(*area) + " of " + t[2] + " bytes is too large (at most " +
                      std::to_string(kPlcAreaMaxSize) + " bytes)");
    project_.areaSizes.push_back({*area, size});
  }

  void PlcFileLine(const std::vector<std::string>& t) {
    Count(t, 3, 3, "plcfile PLCPATH FILE");
    bool folder = false;
    if (!PlcFileSystem::KeyOfPath(t[1], &folder) || folder) Fail(line_, "bad PLC file path \"" + t[1] + "\"");
    if (!IsSafeRelativePath(t[2])) Fail(line_, "bad file name \"" + t[2] + "\" (relative to the project folder)");
    project_.plcFiles.push_back({t[1], t[2], line_});
  }

  void StructLine(const std::vector<std::string>& t) {
    Count(t, 2, 2, "struct NAME");
    if (!IsIdentifier(t[1])) Fail(line_, "bad structure name \"" + t[1] + "\"");
    for (const HostStructType& s : project_.structs)
      if (UpperCase(s.name) == UpperCase(t[1])) Fail(line_, "structure " + t[1] + " declared twice");
    current_ = HostStructType{t[1], {}, line_};
  }

  void EndLine(const std::vector<std::string>&) { Fail(line_, "\"end\" without \"struct\""); }

  static std::string Join(const std::vector<std::string>& t, std::size_t from, std::size_t to = std::string::npos) {
    std::string out;
    for (std::size_t i = from; i < t.size() && i < to; ++i) {
      if (!out.empty()) out += ' ';
      out += t[i];
    }
    return out;
  }

  // var NAME TYPE... AREA OFFSET[.BIT] [tdi N]
  void Variable(const std::vector<std::string>& t) {
    const char* usage = "var NAME TYPE AREA OFFSET[.BIT] [tdi NUMBER]";
    std::size_t n = t.size();
    HostVariableDecl v;
    v.line = line_;
    if (n >= 2 && UpperCase(t[n - 2]) == "TDI") {
      v.tdi = Number(t[n - 1], "TDI number", kMaxUnsigned);
      n -= 2;
    }
    if (n < 5) Fail(line_, std::string("expected: ") + usage);
    if (!IsIdentifier(t[1])) Fail(line_, "bad variable name \"" + t[1] + "\"");
    v.name = t[1];
    v.type = Join(t, 2, n - 2);
    auto area = PlcAreaOfName(t[n - 2]);
    if (!area) Fail(line_, "unknown memory area \"" + t[n - 2] + "\" (X, Y, S, R or T)");
    v.area = *area;
    std::string address = t[n - 1];
    std::size_t dot = address.find('.');
    if (dot != std::string::npos) {
      v.bit = static_cast<int>(Number(address.substr(dot + 1), "bit number", kMaxBitNumber));
      address.resize(dot);
    }
    v.offset = Number(address, "offset", kPlcAreaMaxSize - 1);
    project_.variables.push_back(v);
  }

  // preset NAME VALUE
  void PresetLine(const std::vector<std::string>& t) {
    Count(t, 3, 3, "preset NAME VALUE");
    HostPresetDecl p;
    p.name = t[1];
    p.value = t[2];
    p.line = line_;
    project_.presets.push_back(p);
  }

  // Checks that need the whole file: types, sizes, duplicates, presets.
  void Check() {
    CheckStructs();
    CheckVariables(AreaSizes());
    PlacePresets();
  }

  // Resolves each preset's name as the variables interface does and encodes
  // its value; a name given twice is refused, as the second value would hide
  // the first.
  void PlacePresets() {
    if (project_.presets.empty()) return;
    const VariableTable table(project_);
    std::set<std::string> names;
    for (HostPresetDecl& p : project_.presets) {
      auto variable = table.Resolve(p.name);
      if (!variable) Fail(p.line, "preset of an unknown variable \"" + p.name + "\"");
      if (!names.insert(UpperCase(p.name)).second) Fail(p.line, "preset of " + p.name + " given twice");
      try {
        p.bytes = EncodePresetValue(*variable->shape, p.value);
      } catch (const HostProjectError& e) {
        Fail(p.line, "preset " + p.name + ": " + e.what());
      }
      p.area = variable->area;
      p.address = variable->address;
      p.bit = variable->bit;
    }
  }

  void CheckStructs() const {
    for (const HostStructType& s : project_.structs) {
      try {
        ShapeOfType(s.name, project_.structs);
      } catch (const HostProjectError& e) {
        Fail(s.line, "structure " + s.name + ": " + e.what());
      }
    }
  }

  // The size of each memory area: the PLC's default unless the file sets it.
  std::map<PlcArea, std::uint32_t> AreaSizes() const {
    std::map<PlcArea, std::uint32_t> sizes;
    const PlcMemory defaults;
    for (PlcArea a : {PlcArea::X, PlcArea::Y, PlcArea::S, PlcArea::R, PlcArea::T}) sizes[a] = defaults.AreaSize(a);
    for (const HostAreaSize& s : project_.areaSizes) sizes[s.area] = s.size;
    return sizes;
  }

  // Names and TDI numbers once each; a known type; inside its area.
  void CheckVariables(const std::map<PlcArea, std::uint32_t>& areaSizes) {
    std::set<std::string> names;
    std::set<std::uint32_t> tdis;
    for (const HostVariableDecl& v : project_.variables) {
      line_ = v.line;
      if (!names.insert(UpperCase(v.name)).second) Fail(v.line, "variable " + v.name + " declared twice");
      if (v.tdi != 0 && !tdis.insert(v.tdi).second) Fail(v.line, "TDI number " + std::to_string(v.tdi) + " used twice");
      PlcTypeShapePtr shape;
      try {
        shape = ShapeOfType(v.type, project_.structs);
      } catch (const HostProjectError& e) {
        Fail(v.line, "variable " + v.name + ": " + e.what());
      }
      if (v.bit >= 0 && !shape->isBit) Fail(v.line, "variable " + v.name + ": only a BOOL can stand at a bit");
      std::uint64_t end = std::uint64_t{v.offset} + (shape->isBit ? 1 : shape->size);
      if (end > areaSizes.at(v.area)) Fail(v.line, "variable " + v.name + " leaves memory area " + PlcAreaName(v.area));
    }
  }

  using LineReader = void (Reader::*)(const std::vector<std::string>&);
  struct Keyword {
    const char* name;  // upper case
    LineReader read;
  };
  static const Keyword kKeywords[];

  std::string label_;
  HostProject project_;
  std::optional<HostStructType> current_;
  bool sawName_ = false;
  int line_ = 0;
};

const Reader::Keyword Reader::kKeywords[] = {
    {"PROJECT", &Reader::ProjectLine},   {"GLOBAL", &Reader::GlobalLine},   {"CPM", &Reader::CpmLine},
    {"LANGUAGE", &Reader::LanguageLine}, {"FILE", &Reader::FileLine},       {"PANEL", &Reader::PanelLine},
    {"AREA", &Reader::AreaLine},         {"PLCFILE", &Reader::PlcFileLine}, {"STRUCT", &Reader::StructLine},
    {"END", &Reader::EndLine},           {"VAR", &Reader::Variable},        {"PRESET", &Reader::PresetLine},
};

void Reader::Line(const std::vector<std::string>& t) {
  if (t.empty()) return;
  if (current_) return StructMemberLine(t);
  const std::string key = UpperCase(t[0]);
  for (const Keyword& keyword : kKeywords)
    if (key == keyword.name) return (this->*keyword.read)(t);
  Fail(line_, "unknown keyword \"" + t[0] + "\"");
}

void Reader::StructMemberLine(const std::vector<std::string>& t) {
  if (UpperCase(t[0]) == "END") {
    Count(t, 1, 1, "end");
    if (current_->members.empty()) Fail(line_, "structure " + current_->name + " has no members");
    project_.structs.push_back(*current_);
    current_.reset();
    return;
  }
  if (t.size() < 2) Fail(line_, "expected: MEMBER TYPE (or end)");
  if (!IsIdentifier(t[0])) Fail(line_, "bad member name \"" + t[0] + "\"");
  for (const HostStructMember& m : current_->members)
    if (UpperCase(m.name) == UpperCase(t[0])) Fail(line_, "member " + t[0] + " declared twice");
  current_->members.push_back({t[0], Join(t, 1)});
}

}  // namespace

HostProject ParseHostProject(const std::string& text, const std::string& folder, const std::string& fileLabel) {
  if (text.size() > kMaxProjectFile) throw HostProjectError(fileLabel + ": the file is larger than 1 MiB");
  Reader reader(folder, fileLabel);
  return reader.Run(text);
}

HostProject ReadHostProject(const std::string& folder) {
  std::string dir = folder;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  std::string path = dir + "/" + kHostProjectFileName;
  std::error_code ec;
  auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxProjectFile) throw HostProjectError(path + ": the file is larger than 1 MiB");
  std::string text;
  if (!ReadWholeFile(path, text)) throw HostProjectError(path + ": cannot read the project file");
  return ParseHostProject(text, dir, path);
}
