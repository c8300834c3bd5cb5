// The template engine: holes, escaping by destination, the parsed markup and
// script templates (parsed once per process and kept by resource name).

#include "generator/Template.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

#include "core/TextEncoding.h"
#include "core/XmlDocument.h"
#include "core/XmlResource.h"
#include "platform/win/Resources.h"

namespace {

constexpr std::string_view kHoleMark = "%%";
constexpr char kOptionalMark = '?';
constexpr std::string_view kPartHeader = "@@ ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kJoinMark = '\\';

// The embedded resource's bytes; ETemplateError when it does not exist.
std::string_view ResourceText(const std::string& resource) {
  HRSRC found = FindResource(HInstance, resource.c_str(), RT_RCDATA);
  if (found == nullptr) throw ETemplateError("template '" + resource + "' is not embedded");
  const void* data = LockResource(LoadResource(HInstance, found));
  return {static_cast<const char*>(data), SizeofResource(HInstance, found)};
}

std::string Where(const std::string& name, std::string_view part) { return name + " part '" + std::string(part) + "'"; }

// An attribute value that is one optional hole, "%%name?%%".
bool IsOptionalHole(std::string_view value) {
  constexpr std::string_view kOptionalEnd = "?%%";
  if (!value.starts_with(kHoleMark) || !value.ends_with(kOptionalEnd)) return false;
  return value.find(kHoleMark, kHoleMark.size()) == value.size() - kHoleMark.size();
}

// What a text holds from a position on: no further hole, a hole, or a "%%"
// that no "%%" closes.
enum class THoleScan { kNone, kHole, kUnclosed };

// The first hole of the text at or after pos.
THoleScan NextHole(std::string_view text, std::size_t pos, TTemplateHole& hole) {
  const std::size_t open = text.find(kHoleMark, pos);
  if (open == std::string_view::npos) return THoleScan::kNone;
  const std::size_t start = open + kHoleMark.size();
  const std::size_t close = text.find(kHoleMark, start);
  if (close == std::string_view::npos) return THoleScan::kUnclosed;
  std::size_t size = close - start;
  if (size > 0 && text[close - 1] == kOptionalMark) --size;
  hole = {open, close + kHoleMark.size(), start, size};
  return THoleScan::kHole;
}

// The two escapings put a mark before some characters: the character again
// ("{" as "{{") for the stylesheet, a backslash for a script string. The
// marks say which (0: none); the values write the escaped text in place.
char XslMark(char c) { return c == '{' || c == '}' ? c : '\0'; }
char JsMark(char c) { return c == '\'' || c == '\\' ? '\\' : '\0'; }

template <class Mark>
std::size_t EscapedSize(std::string_view text, Mark mark) {
  std::size_t size = text.size();
  for (char c : text) size += mark(c) != '\0' ? 1 : 0;
  return size;
}

// Writes the escaped text (EscapedSize bytes) at `out`.
template <class Mark>
void CopyEscaped(std::string_view text, Mark mark, char* out) {
  for (char c : text) {
    if (const char m = mark(c); m != '\0') *out++ = m;
    *out++ = c;
  }
}

// Names are short and mostly differ in size: compared here, where a call of
// memcmp would cost more than the few letters.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

// The room of one markup use's filled texts: each text is copied into its node
// before the next is filled, so one room serves the whole use. It belongs to
// the use, not to the thread: an object with a destructor kept for a thread
// would keep the plug-in's library loaded until that thread ends.
constexpr std::size_t kFilledRoom = 256;

}  // namespace

// Fills the holes of one use of a part: every text of the part, then the check
// that each value found its hole. The values' marks say which were filled.
class THoleFiller {
 public:
  // sharing: the copies may keep views of the source's texts (the source
  // outlives them).
  THoleFiller(const TTemplateValues& values, const std::string& name, std::string_view part, bool sharing = false)
      : values_(values), name_(name), part_(part), sharing_(sharing) {
    for (const TTemplateValues::TValue& v : values_.Values()) v.used = false;
  }

  // The text with its holes filled, appended to `out`.
  void AppendFilled(std::string_view text, std::string& out) const {
    std::size_t pos = 0;
    TTemplateHole hole;
    for (THoleScan found; (found = NextHole(text, pos, hole)) != THoleScan::kNone;) {
      if (found == THoleScan::kUnclosed) throw ETemplateError(Where(name_, part_) + ": unclosed hole");
      pos = AppendUpToHole(text, pos, hole, out);
    }
    out.append(text.substr(pos));
  }

  // The same for a text whose holes were found before (NextHole): `holes` in
  // order, `unclosed` a "%%" after the last one that nothing closes.
  void AppendIndexed(std::string_view text, const std::vector<TTemplateHole>& holes, bool unclosed,
                     std::string& out) const {
    std::size_t pos = 0;
    for (const TTemplateHole& hole : holes) pos = AppendUpToHole(text, pos, hole, out);
    if (unclosed) throw ETemplateError(Where(name_, part_) + ": unclosed hole");
    out.append(text.substr(pos));
  }

  // The text with its holes filled, in `out`; false, and `out` as it was, when
  // the text has no hole.
  bool Fill(std::string_view text, std::string& out) const {
    if (text.find(kHoleMark) == std::string_view::npos) return false;
    out.clear();
    out.reserve(text.size() + values_.textSize_);  // room for each value once
    AppendFilled(text, out);
    return true;
  }

  // A copy of the node and its subtree, as the last child of `parent`, with
  // every text filled and without the attributes whose optional hole came out
  // empty. Each text is filled as it is copied: most have no hole and are
  // copied as they are, or shared when the filler may share.
  // `filled`: where the texts are filled, the use's room.
  void CopyFilled(const TmyXmlNode* source, TmyXmlNode* parent, std::string& filled) const {
    TmyXmlNode* copy = sharing_ ? parent->AddChildSharingName(*source) : parent->AddChild(source->name);
    copy->closed = source->closed;
    copy->instruction = source->instruction;
    copy->comment = source->comment;
    if (Fill(source->value, filled))
      copy->value = filled;
    else if (sharing_)
      copy->ShareValue(*source);
    else
      copy->value = source->value.view();
    for (const TmyXmlAttrNode* a = source->firstAttr; a != nullptr; a = a->next) {
      if (!Fill(a->value, filled)) {
        if (sharing_)
          copy->AppendAttrSharing(*a);
        else
          copy->SetAttr(a->name, a->value);
      } else if (!filled.empty() || !IsOptionalHole(a->value)) {
        if (sharing_)
          copy->AppendAttrSharingName(*a, filled);
        else
          copy->SetAttr(a->name, filled);
      }
    }
    for (const TmyXmlNode* c = source->firstChild; c != nullptr; c = c->next) CopyFilled(c, copy, filled);
  }

  // Appends the text from pos to the hole and the hole's value; the position
  // after the hole.
  std::size_t AppendUpToHole(std::string_view text, std::size_t pos, const TTemplateHole& hole,
                             std::string& out) const {
    const std::string_view value = ValueFor(text, hole);
    out.append(text.substr(pos, hole.open - pos));
    out.append(value);
    return hole.end;
  }

  // The bytes of all the values' texts.
  std::size_t ValuesSize() const { return values_.textSize_; }

  // The value of the text's hole, marked as filled; ETemplateError when it
  // was not set.
  std::string_view ValueFor(std::string_view text, const TTemplateHole& hole) const {
    const std::string_view name = text.substr(hole.nameStart, hole.nameSize);
    const TTemplateValues::TValue* value = ValueOf(name);
    if (value == nullptr)
      throw ETemplateError(Where(name_, part_) + ": hole '" + std::string(name) + "' is not filled");
    value->used = true;
    return values_.Text(*value);
  }

  // The value of the hole; null when it was not set. The values are mostly
  // set in the order of their holes: the search starts after the last found.
  const TTemplateValues::TValue* ValueOf(std::string_view name) const {
    const std::span<const TTemplateValues::TValue> values = values_.Values();
    std::size_t i = next_ < values.size() ? next_ : 0;
    for (std::size_t n = 0; n < values.size(); ++n) {
      const std::size_t at = i;
      i = i + 1 < values.size() ? i + 1 : 0;
      if (SameName(values[at].name, name)) {
        next_ = i;
        return &values[at];
      }
    }
    return nullptr;
  }

  // ETemplateError naming the first value that found no hole.
  void CheckAllUsed() const {
    for (const TTemplateValues::TValue& v : values_.Values())
      if (!v.used) throw ETemplateError(Where(name_, part_) + ": no hole '" + std::string(v.name) + "'");
  }

 private:
  const TTemplateValues& values_;
  const std::string& name_;
  std::string_view part_;
  bool sharing_;
  mutable std::size_t next_ = 0;  // the value after the last one found (ValueOf)
};

std::string EscapeXslAttribute(std::string_view text) {
  std::string out(EscapedSize(text, XslMark), '\0');
  CopyEscaped(text, XslMark, out.data());
  return out;
}

// --- TTemplateValues ---------------------------------------------------------------

TTemplateValues::TTemplateValues(const TTemplateValues& other) { *this = other; }

TTemplateValues& TTemplateValues::operator=(const TTemplateValues& other) {
  if (this != &other) {
    // Only the entries and text in use: the rest of the inline room is unset.
    count_ = other.count_;
    more_ = other.more_;
    textSize_ = other.textSize_;
    moreText_ = other.moreText_;
    if (more_.empty()) std::copy_n(other.inline_.begin(), count_, inline_.begin());
    if (moreText_.empty()) std::copy_n(other.inlineText_.begin(), textSize_, inlineText_.begin());
  }
  return *this;
}

void TTemplateValues::Grow(std::size_t size, std::string_view& source) {
  // The entries hold offsets of 32 bits.
  if (size > std::numeric_limits<std::uint32_t>::max() - textSize_) throw std::length_error("template values too long");
  const char* old = TextData();
  const bool inside = !source.empty() && std::less_equal<const char*>()(old, source.data()) &&
                      std::less<const char*>()(source.data(), old + textSize_);
  const std::size_t offset = inside ? static_cast<std::size_t>(source.data() - old) : 0;
  const std::size_t capacity = moreText_.empty() ? kInlineText : moreText_.size();
  std::string grown(std::max(2 * capacity, textSize_ + size), '\0');
  std::char_traits<char>::copy(grown.data(), old, textSize_);
  moreText_ = std::move(grown);
  if (inside) source = std::string_view(moreText_.data() + offset, source.size());
}

TTemplateValues& TTemplateValues::Set(TTemplateName name, std::size_t size) {
  const auto start = static_cast<std::uint32_t>(textSize_);
  textSize_ += size;
  if (TValue* found = FindValue(name.Text())) {
    found->start = start;
    found->size = static_cast<std::uint32_t>(size);
    return *this;
  }
  const TValue added{name.Text(), start, static_cast<std::uint32_t>(size), false};
  if (count_ < kInlineValues) {
    inline_[count_] = added;
  } else {
    if (count_ == kInlineValues) more_.assign(inline_.begin(), inline_.end());
    more_.push_back(added);
  }
  ++count_;
  return *this;
}

TTemplateValues& TTemplateValues::Raw(TTemplateName name, std::string_view value) {
  char* to = Room(value.size(), value);
  std::char_traits<char>::copy(to, value.data(), value.size());
  return Set(name, value.size());
}

TTemplateValues& TTemplateValues::Int(TTemplateName name, long long value) {
  constexpr std::size_t kLongest = 20;  // "-9223372036854775808"
  std::string_view none;
  char* to = Room(kLongest, none);
  const auto [end, ec] = std::to_chars(to, to + kLongest, value);
  (void)ec;
  return Set(name, static_cast<std::size_t>(end - to));
}

TTemplateValues& TTemplateValues::XslAttribute(TTemplateName name, std::string_view value) {
  const std::size_t size = EscapedSize(value, XslMark);
  char* to = Room(size, value);
  CopyEscaped(value, XslMark, to);
  return Set(name, size);
}

TTemplateValues& TTemplateValues::JsString(TTemplateName name, std::string_view value) {
  const std::size_t size = EscapedSize(value, JsMark);
  char* to = Room(size, value);
  CopyEscaped(value, JsMark, to);
  return Set(name, size);
}

TTemplateValues::TValue* TTemplateValues::FindValue(std::string_view name) {
  return const_cast<TValue*>(std::as_const(*this).FindValue(name));
}

const TTemplateValues::TValue* TTemplateValues::FindValue(std::string_view name) const {
  for (const TValue& v : Values())
    if (SameName(v.name, name)) return &v;
  return nullptr;
}

std::optional<std::string_view> TTemplateValues::Find(std::string_view name) const {
  const TValue* found = FindValue(name);
  if (found == nullptr) return std::nullopt;
  return Text(*found);
}

// --- TScriptTemplate ---------------------------------------------------------------

const TScriptTemplate& TScriptTemplate::Get(std::string_view resource) {
  static std::map<std::string, std::unique_ptr<TScriptTemplate>, std::less<>> cache;
  auto it = cache.find(resource);
  if (it == cache.end())
    it = cache
             .emplace(std::string(resource),
                      std::make_unique<TScriptTemplate>(std::string(resource), ResourceText(std::string(resource))))
             .first;
  return *it->second;
}

TScriptTemplate::TScriptTemplate(std::string name, std::string_view text) : name_(std::move(name)) {
  TPart* part = nullptr;
  bool joinNext = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with(kPartHeader)) {
      part = &parts_[std::string(line.substr(kPartHeader.size()))];
      joinNext = false;
      continue;
    }
    if (part == nullptr) continue;  // the file's comment
    joinNext = !line.empty() && line.back() == kJoinMark;
    if (joinNext) line.remove_suffix(1);
    part->text.append(line);
    if (!joinNext) part->text.append(kLineEnd);
  }
  for (auto& [partName, text] : parts_) IndexHoles(text);
}

void TScriptTemplate::IndexHoles(TPart& part) {
  std::size_t pos = 0;
  TTemplateHole hole;
  THoleScan found;
  while ((found = NextHole(part.text, pos, hole)) == THoleScan::kHole) {
    part.holes.push_back(hole);
    pos = hole.end;
  }
  part.unclosed = found == THoleScan::kUnclosed;
}

std::string TScriptTemplate::Fill(std::string_view part, const TTemplateValues& values) const {
  std::string text;
  AppendTo(text, part, values);
  return text;
}

void TScriptTemplate::AppendTo(std::string& stream, std::string_view part, const TTemplateValues& values) const {
  auto it = parts_.find(part);
  if (it == parts_.end()) throw ETemplateError(name_ + ": no part '" + std::string(part) + "'");
  const THoleFiller filler(values, name_, part);
  const std::size_t before = stream.size();
  try {
    filler.AppendIndexed(it->second.text, it->second.holes, it->second.unclosed, stream);
    filler.CheckAllUsed();
  } catch (...) {
    stream.resize(before);
    throw;
  }
}

// --- TMarkupTemplate ---------------------------------------------------------------

const TMarkupTemplate& TMarkupTemplate::Get(std::string_view resource) {
  // Destroyed when the process ends or the plug-in is unloaded (not leaked,
  // which the unloaded plug-in's memory would be). The page trees made from
  // these templates keep views of their texts; a view is never read when its
  // tree is freed, so a tree may still be freed after the templates went.
  static std::map<std::string, std::unique_ptr<TMarkupTemplate>, std::less<>> cache;
  auto it = cache.find(resource);
  if (it == cache.end()) {
    auto made =
        std::make_unique<TMarkupTemplate>(std::string(resource), std::string(ResourceText(std::string(resource))));
    made->lasting_ = true;
    it = cache.emplace(std::string(resource), std::move(made)).first;
  }
  return *it->second;
}

namespace {

// True when two attributes of the node have the same name.
bool RepeatsAttrs(const TmyXmlNode* node) {
  for (const TmyXmlAttrNode* a = node->firstAttr; a != nullptr; a = a->next)
    for (const TmyXmlAttrNode* b = node->firstAttr; b != a; b = b->next)
      if (b->name == a->name.view()) return true;
  return false;
}

}  // namespace

TMarkupTemplate::TMarkupTemplate(std::string name, const std::string& text) : name_(std::move(name)) {
  TmyXMLParser parser;
  if (!parser.LoadFromString(text.c_str())) throw ETemplateError(name_ + ": empty template");
  root_.reset(parser.Parse());
  if (root_ == nullptr || parser.errorWord != 0)
    throw ETemplateError(name_ + ":" + std::to_string(parser.lineCounter) + ": not well-formed");
  // Every use of the template looks its part up by name: indexed once, walking
  // the tree in document order so that the first part of a name wins.
  const TmyXmlNode* node = root_->firstChild;
  while (node != nullptr) {
    if (node->name == "part")
      if (const TmyXmlAttrNode* partName = node->FindAttr("name")) parts_.emplace(partName->value.view(), node);
    repeatsAttrs_ = repeatsAttrs_ || RepeatsAttrs(node);
    if (node->firstChild != nullptr) {
      node = node->firstChild;
      continue;
    }
    while (node != nullptr && node->next == nullptr) node = node->parent == root_.get() ? nullptr : node->parent;
    if (node != nullptr) node = node->next;
  }
}

TMarkupTemplate::~TMarkupTemplate() = default;

const TmyXmlNode* TMarkupTemplate::FindPart(std::string_view part) const {
  if (!part.empty()) {
    if (auto found = parts_.find(part); found != parts_.end()) return found->second;
  } else if (TmyXmlNode* found = root_->FindChild("part", "name", true, part)) {
    return found;
  }
  throw ETemplateError(name_ + ": no part '" + std::string(part) + "'");
}

TmyXmlNode* TMarkupTemplate::AppendTo(TmyXmlNode* parent, std::string_view part, const TTemplateValues& values) const {
  const TmyXmlNode* source = FindPart(part);
  const THoleFiller filler(values, name_, part, lasting_ && !repeatsAttrs_);
  // The copies join the parent once they are all made and filled: a template
  // error leaves the parent as it was. They are made where the parent's new
  // children are (a page's arena, XmlBuildArena.h).
  const std::unique_ptr<TmyXmlNode> copies(TmyXmlNode::NewFor(std::string_view(), parent));
  std::string room;
  room.reserve(kFilledRoom);
  for (const TmyXmlNode* n = source->firstChild; n != nullptr; n = n->next) filler.CopyFilled(n, copies.get(), room);
  filler.CheckAllUsed();
  TmyXmlNode* first = copies->firstChild;
  copies->MoveChildrenTo(parent);
  return first;
}

// --- the written form of a part ----------------------------------------------------

// A part as the XML writer writes its nodes at one depth, the holes left in
// the text: a use copies the text between the holes and puts each value in
// with the writer's escaping, instead of making the nodes and writing them.
struct TMarkupTemplate::TWrittenForm {
  struct THole {
    TTemplateHole at;
    // For an attribute whose whole value is an optional hole: where the
    // attribute (its leading blank) starts, dropped with its value when the
    // value is empty; npos otherwise.
    std::size_t dropFrom = std::string::npos;
  };
  bool exact = false;  // false: the text cannot stand for the copies; they are made
  std::string text;
  std::vector<THole> holes;
};

namespace {

// The depth at which the writer writes a new child of the parent (1 for a
// child of the root), as it counts from the top of the parent's document.
int ChildWriteDepth(const TmyXmlNode* parent) {
  int depth = 1;
  for (const TmyXmlNode* p = parent; p->parent != nullptr; p = p->parent) ++depth;
  return depth;
}

// The holes in the texts of the nodes below `source`; false when a text has a
// "%%" that nothing closes, or a name (a comment's text) holds "%%", which
// the written text would show as a hole.
bool CountHoles(const TmyXmlNode* source, std::size_t& count) {
  const auto holesIn = [&count](std::string_view text) {
    std::size_t pos = 0;
    TTemplateHole hole;
    THoleScan found;
    while ((found = NextHole(text, pos, hole)) == THoleScan::kHole) {
      ++count;
      pos = hole.end;
    }
    return found == THoleScan::kNone;
  };
  const TmyXmlNode* node = source->firstChild;
  while (node != nullptr) {
    if (node->name.view().find(kHoleMark) != std::string_view::npos || !holesIn(node->value.view())) return false;
    for (const TmyXmlAttrNode* a = node->firstAttr; a != nullptr; a = a->next)
      if (!holesIn(a->value.view())) return false;
    if (node->firstChild != nullptr) {
      node = node->firstChild;
      continue;
    }
    while (node != nullptr && node->next == nullptr) node = node->parent == source ? nullptr : node->parent;
    if (node != nullptr) node = node->next;
  }
  return true;
}

}  // namespace

const TMarkupTemplate::TWrittenForm& TMarkupTemplate::WrittenForm(const TmyXmlNode* source, int depth) const {
  const std::lock_guard<std::mutex> lock(formsLock_);
  std::unique_ptr<TWrittenForm>& form = forms_[{source, depth}];
  if (form != nullptr) return *form;
  form = std::make_unique<TWrittenForm>();
  // A repeated attribute name keeps one attribute in a copy, and the writer
  // writes what the copy holds: such a part is copied.
  std::size_t expected = 0;
  if (repeatsAttrs_ || !CountHoles(source, expected)) return *form;
  std::string text;
  TmyXMLParser writer;
  writer.WriteNode(const_cast<TmyXmlNode*>(source->firstChild), text, depth);
  // The writer escapes a text as a whole: "&" stays before "#" (a character
  // reference). A value put in alone is escaped alone, which is the same
  // unless a "&" of the part comes right before a hole, a "#" right after
  // one, or two holes meet: such a part is copied.
  std::size_t pos = 0;
  std::size_t lastEnd = std::string::npos;
  TTemplateHole hole;
  THoleScan found;
  std::vector<TWrittenForm::THole> holes;
  while ((found = NextHole(text, pos, hole)) == THoleScan::kHole) {
    constexpr std::string_view kAmp = "&amp;";
    constexpr std::string_view kValueStart = "=\"";
    const std::string_view before = std::string_view(text).substr(0, hole.open);
    const bool followed = hole.end < text.size();
    if (hole.open == lastEnd || before.ends_with(kAmp) || (followed && text[hole.end] == '#')) return *form;
    TWrittenForm::THole written{hole};
    const bool optional = hole.end - (hole.nameStart + hole.nameSize) == kHoleMark.size() + 1;
    if (optional && before.ends_with(kValueStart) && followed && text[hole.end] == '"') {
      written.dropFrom = before.rfind(' ');
      if (written.dropFrom == std::string_view::npos) return *form;
    }
    holes.push_back(written);
    lastEnd = pos = hole.end;
  }
  if (found != THoleScan::kNone || holes.size() != expected) return *form;
  form->text = std::move(text);
  form->holes = std::move(holes);
  form->exact = true;
  return *form;
}

void TMarkupTemplate::AppendWritten(TmyXmlNode* parent, std::string_view part, const TTemplateValues& values) const {
  const TmyXmlNode* source = FindPart(part);
  const int depth = ChildWriteDepth(parent);
  const TWrittenForm* form =
      depth <= std::numeric_limits<decltype(TmyXmlNode::writtenDepth)>::max() ? &WrittenForm(source, depth) : nullptr;
  // A part without nodes adds nothing (a node would give the parent a child).
  if (form == nullptr || !form->exact || form->text.empty()) {
    AppendTo(parent, part, values);
    return;
  }
  const THoleFiller filler(values, name_, part);
  std::string out;
  out.reserve(form->text.size() + filler.ValuesSize());
  const std::string_view text = form->text;
  std::size_t pos = 0;
  try {
    for (const TWrittenForm::THole& hole : form->holes) {
      const std::string_view value = filler.ValueFor(text, hole.at);
      if (hole.dropFrom != std::string::npos && value.empty()) {
        out.append(text.substr(pos, hole.dropFrom - pos));
        pos = hole.at.end + 1;  // after the closing quote
        continue;
      }
      out.append(text.substr(pos, hole.at.open - pos));
      AppendXmlEscaped(out, value);
      pos = hole.at.end;
    }
    out.append(text.substr(pos));
    filler.CheckAllUsed();
  } catch (const ETemplateError&) {
    // The copy reports the error as it always does, in its order of the
    // holes, and leaves the parent as it was.
    AppendTo(parent, part, values);
    throw;
  }
  TmyXmlNode* written = parent->AddChild(std::string_view());
  written->value = out;
  written->writtenDepth = static_cast<std::uint8_t>(depth);
}
