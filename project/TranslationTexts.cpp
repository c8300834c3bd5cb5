// Export and import of the texts for translation. Both walk the document the
// same way: the `group` children of `web`, the `page` children of each group,
// the `object` children of each page, each counted among its own kind from 0.

#include "project/TranslationTexts.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <system_error>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"
#include "properties/DesignerContext.h"

namespace {

constexpr const char* kCrLf = "\r\n";
// The object kinds whose caption (and second caption) are texts to translate.
constexpr std::array<std::string_view, 5> kCaptionKinds = {"label", "image", "picture", "submit", "imagebtn"};

enum TUiTextId : int {
  kFileMissingId = 7164,
  kFileLoadedId = 7165,
  kObjectsToImportId = 7158,
  kObjectsImportedId = 7160,
  kGroupId = 7166,
  kPageId = 7167,
  kObjectId = 7156,
  kOnPageId = 7154,
  kNotImportedId = 7159,
  kNotFoundId = 7155,
  kCharactersDroppedId = 7327,
  kFileUnreadableId = 7417,
};

// The option list of a language anywhere below the object (not beyond it).
TmyXmlNode* OwnOptions(TmyXmlNode* node, int code) {
  const std::string codeText = std::to_string(code);
  for (TmyXmlNode* child = node->firstChild; child != nullptr; child = child->next) {
    if (child->name == "options" && child->FindAttr("code") != nullptr && child->GetAttr("code") == codeText)
      return child;
    if (TmyXmlNode* found = OwnOptions(child, code)) return found;
  }
  return nullptr;
}

bool IsCaptionKind(const TmyXmlNode* kind) {
  for (std::string_view k : kCaptionKinds)
    if (kind->name == k) return true;
  return false;
}

std::string UidKey(const TmyXmlNode* node) {
  char key[16];
  std::snprintf(key, sizeof key, "%08" PRIX32, static_cast<std::uint32_t>(node->GetAttrInt("Uid", 0)));
  return key;
}

std::string Header(const char* format, int ordinal, const TmyXmlNode* node) {
  char text[64];
  std::snprintf(text, sizeof text, format, ordinal, UidKey(node).c_str());
  return text;
}

template <class Visit>
void ForEachChild(TmyXmlNode* parent, std::string_view name, Visit visit) {
  int ordinal = 0;
  for (TmyXmlNode* child = parent != nullptr ? parent->firstChild : nullptr; child != nullptr; child = child->next)
    if (child->name == name) visit(child, ordinal++);
}

class TTextsExport {
 public:
  TTextsExport(TDesignerContext& designer, int code) : designer_(designer), code_(code) {}

  std::string Run() {
    ForEachChild(designer_.WebElement(), "group", [this](TmyXmlNode* group, int g) {
      Line(Header("{Group %03d : %s}", g, group) + Text(group, group, "caption"));
      ForEachChild(group, "page", [this](TmyXmlNode* page, int p) {
        Line(Header("  {Page %03d : %s}", p, page) + Text(page, page, "caption"));
        ForEachChild(page, "object", [this](TmyXmlNode* object, int o) { Object(object, o); });
      });
    });
    return out_;
  }

 private:
  void Line(const std::string& text) { out_ += text + kCrLf; }

  // A text of `holder`'s plain attribute, or of `element`'s per-language
  // entry for the exported language when it has a `lang` child.
  std::string Text(TmyXmlNode* element, TmyXmlNode* holder, const std::string& attr) const {
    std::string text;
    if (code_ != 0 && designer_.GetLangText(element, attr, text, code_)) return text;
    return holder->GetAttr(attr);
  }

  void Object(TmyXmlNode* object, int ordinal) {
    if (object->GetAttrInt("Uid", 0) == 0) return;
    for (TmyXmlNode* kind = object->firstChild; kind != nullptr; kind = kind->next) {
      if (kind->name == "lang") continue;
      Line(Header("    {Object %03d : %s}", ordinal, object));
      Line("      {Hint}" + Text(object, object, "hint"));
      if (IsCaptionKind(kind)) {
        Line("      {Caption0}" + Text(object, object, "caption"));
        if (kind->FindAttr("optcap") != nullptr) Line("      {Caption1}" + Text(object, kind, "optcap"));
      }
      if (kind->name == "dropdown") Options(object, kind);
    }
  }

  void Options(TmyXmlNode* object, TmyXmlNode* dropdown) {
    TmyXmlNode* own = code_ != 0 ? OwnOptions(object, code_) : nullptr;
    if (own != nullptr) {
      ForEachChild(own, "option", [this](TmyXmlNode* option, int) { Line("      {Option}" + option->value); });
      return;
    }
    const bool plain = code_ == 0 || code_ == designer_.EditorLangCode();
    ForEachChild(dropdown, "option", [this, plain](TmyXmlNode* option, int) {
      Line("      {Option}" + (plain ? option->value : std::string()));
    });
  }

  TDesignerContext& designer_;
  const int code_;
  std::string out_;
};

// The lines of a file whose lines end in CR LF, LF or CR alone (editors of
// other systems write either).
std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// Removes the control characters that an XML document cannot hold (all
// below a blank but the tab; line breaks are gone with the split): a project
// holding one could not be read again. Answers whether any was removed.
bool DropNonXmlCharacters(std::string& line) {
  const auto bad = [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; };
  const auto end = std::remove_if(line.begin(), line.end(), bad);
  if (end == line.end()) return false;
  line.erase(end, line.end());
  return true;
}

bool IsHeaderLine(const std::string& line) {
  return line.find("{Object") != std::string::npos || line.find("{Page") != std::string::npos ||
         line.find("{Group") != std::string::npos;
}

// The rest of the header line after its first '}'.
std::string HeaderText(const std::string& line) {
  const std::size_t brace = line.find('}');
  return brace == std::string::npos ? std::string() : line.substr(brace + 1);
}

std::string PageWords(const TmyXmlNode* page) {
  return " " + GetUiText(kOnPageId) + " '" + page->GetAttr("name") + "' (" + page->GetAttr("caption") + ") ";
}

class TTextsImport {
 public:
  TTextsImport(TDesignerContext& designer, const TTextsFile& file, int code, std::vector<std::string>& report)
      : designer_(designer), file_(file), code_(code), report_(report) {
    plain_ = code == 0 || code == designer.EditorLangCode();
  }

  int Run() {
    ForEachChild(designer_.WebElement(), "group", [this](TmyXmlNode* group, int) {
      Named(group, GetUiText(kGroupId) + " '" + group->GetAttr("caption") + "' ");
      ForEachChild(group, "page", [this](TmyXmlNode* page, int) {
        const std::string words =
            GetUiText(kPageId) + " '" + page->GetAttr("name") + "' (" + page->GetAttr("caption") + ") ";
        Named(page, words);
        ForEachChild(page, "object", [this, page](TmyXmlNode* object, int o) { Object(page, object, o); });
      });
    });
    report_.push_back("");
    report_.push_back(std::to_string(imported_) + " " + GetUiText(kObjectsImportedId));
    report_.push_back("");
    return imported_;
  }

 private:
  const std::string* HeaderOf(const TmyXmlNode* node) const {
    const auto it = file_.index.find(UidKey(node));
    if (it == file_.index.end() || it->second < 0 || it->second >= static_cast<int>(file_.lines.size())) return nullptr;
    return &file_.lines[static_cast<std::size_t>(it->second)];
  }

  // A group's or page's caption from its header line; false (and reported)
  // when the file has no header for it.
  void Named(TmyXmlNode* node, const std::string& words) {
    const std::string* header = HeaderOf(node);
    if (header == nullptr) {
      report_.push_back(words + GetUiText(kNotImportedId));
      return;
    }
    SetText(node, node, "caption", HeaderText(*header));
    ++imported_;
  }

  // Sets the plain attribute of `holder` (only when it exists) for the
  // editor's language, the per-language entry of `element` for a language.
  void SetText(TmyXmlNode* element, TmyXmlNode* holder, const std::string& attr, const std::string& text) {
    if (plain_ && holder->FindAttr(attr) != nullptr) holder->SetAttr(attr, text);
    if (code_ != 0) designer_.SetLangTextByCode(element, attr, text, code_);
  }

  void Object(TmyXmlNode* page, TmyXmlNode* object, int ordinal) {
    const std::string prefix = GetUiText(kObjectId) + " " + std::to_string(ordinal) + " '";
    const std::string caption = object->GetAttr("caption");
    for (TmyXmlNode* kind = object->firstChild; kind != nullptr; kind = kind->next) {
      if (kind->name == "lang") continue;
      const auto it = file_.index.find(UidKey(object));
      if (it == file_.index.end()) {
        report_.push_back(prefix + caption + "'" + PageWords(page) + GetUiText(kNotImportedId));
        continue;
      }
      Block(object, kind, it->second);
      const std::string where = PageWords(page);
      if (pending_[0]) report_.push_back(prefix + object->GetAttr("hint") + "'" + where + "{Hint}" + NotFound());
      if (pending_[1]) report_.push_back(prefix + caption + "'" + where + "{Caption0}" + NotFound());
      if (pending_[2]) report_.push_back(prefix + caption + "'" + where + "{Caption1}" + NotFound());
      if (pending_[3]) report_.push_back(prefix + caption + "'" + where + "{Option}" + NotFound());
      ++imported_;
    }
  }

  static std::string NotFound() { return GetUiText(kNotFoundId); }

  void Block(TmyXmlNode* object, TmyXmlNode* kind, int headerLine) {
    pending_ = {true, IsCaptionKind(kind), kind->FindAttr("optcap") != nullptr, kind->name == "dropdown"};
    int option = 0;
    for (std::size_t i = static_cast<std::size_t>(headerLine) + 1; i < file_.lines.size(); ++i) {
      const std::string& line = file_.lines[i];
      if (IsHeaderLine(line)) break;
      if (const auto text = After(line, "{Hint}")) {
        SetText(object, object, "hint", *text);
        pending_[0] = false;
      }
      if (const auto text = After(line, "{Caption0}")) {
        if (object->FindAttr("caption") != nullptr)
          SetText(object, object, "caption", *text);
        else
          WriteTraceLog("xaCap - missing for {Caption0}");
        pending_[1] = false;
      }
      if (const auto text = After(line, "{Caption1}")) {
        if (kind->FindAttr("optcap") != nullptr)
          SetText(object, kind, "optcap", *text);
        else
          WriteTraceLog("xaOptCap - missing for {Caption1}");
        pending_[2] = false;
      }
      if (const auto text = After(line, "{Option}")) {
        Option(object, kind, ++option, *text);
        pending_[3] = false;
      }
    }
  }

  static std::optional<std::string> After(const std::string& line, std::string_view marker) {
    const std::size_t at = line.find(marker);
    if (at == std::string::npos) return std::nullopt;
    return line.substr(at + marker.size());
  }

  // The k-th option (1-based) of the drop-down and of its option list of
  // the imported language; an option the drop-down lacks is ignored.
  void Option(TmyXmlNode* object, TmyXmlNode* kind, int k, const std::string& text) {
    TmyXmlNode* option = kind->FindChildN(k, "option");
    if (option == nullptr) return;
    if (plain_) option->value = text;
    if (code_ == 0) return;
    TmyXmlNode* own = OwnOptions(object, code_);
    if (own == nullptr) return;
    TmyXmlNode* target = own->FindChildN(k, "option");
    while (target == nullptr) {
      own->AddChild("option");
      target = own->FindChildN(k, "option");
    }
    target->value = text;
  }

  TDesignerContext& designer_;
  const TTextsFile& file_;
  const int code_;
  bool plain_ = false;
  std::vector<std::string>& report_;
  std::array<bool, 4> pending_{};
  int imported_ = 0;
};

}  // namespace

std::string ExportTextsToString(TDesignerContext& designer, int code) { return TTextsExport(designer, code).Run(); }

void ExportTextsToStream(TDesignerContext& designer, TMemoryStream& stream, int code) {
  const std::string text = ExportTextsToString(designer, code);
  stream.Write(text.data(), static_cast<std::int64_t>(text.size()));
}

std::string TextsHeaderKey(const std::string& line) {
  struct THeader {
    const char* tag;
    std::size_t offset;  // right after the colon of a header with a three-digit number
  };
  static constexpr THeader kHeaders[] = {{"{Object", 13}, {"{Page", 11}, {"{Group", 12}};
  for (const THeader& header : kHeaders) {
    const std::size_t at = line.find(header.tag);
    if (at == std::string::npos) continue;
    std::size_t i = at + header.offset;
    if (i >= line.size()) return {};
    while (i < line.size() && (line[i] == ':' || line[i] == ' ')) ++i;
    std::size_t end = i;
    while (end < line.size() && ((line[end] >= '0' && line[end] <= '9') || (line[end] >= 'A' && line[end] <= 'F')))
      ++end;
    return line.substr(i, end - i);
  }
  return {};
}

bool ParseTextsFile(const std::string& fileName, TTextsFile& file, std::vector<std::string>& report) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) {
    // Missing is only what the system finds missing: a file in a folder that
    // may not be searched, or a folder in the file's place, is there for all
    // the user knows, and cannot be read.
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR)
      report.push_back(Format(GetUiText(kFileMissingId), ShownPath(fileName)));
    else
      report.push_back(
          Format(GetUiText(kFileUnreadableId), ShownPath(fileName), std::generic_category().message(error)));
    return false;
  }
  file.lines = SplitLines(bytes);
  report.push_back(Format(GetUiText(kFileLoadedId), ShownPath(fileName)));
  for (std::size_t i = 0; i < file.lines.size(); ++i)
    if (DropNonXmlCharacters(file.lines[i]))
      report.push_back(Format(GetUiText(kCharactersDroppedId), static_cast<int>(i + 1)));
  file.index.clear();
  for (std::size_t i = 0; i < file.lines.size(); ++i)
    if (IsHeaderLine(file.lines[i])) file.index.emplace(TextsHeaderKey(file.lines[i]), static_cast<int>(i));
  report.push_back("");
  report.push_back(std::to_string(file.index.size()) + " " + GetUiText(kObjectsToImportId));
  return true;
}

int ImportTexts(TDesignerContext& designer, const TTextsFile& file, int code, std::vector<std::string>& report) {
  return TTextsImport(designer, file, code, report).Run();
}
