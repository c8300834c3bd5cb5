#pragma once
// The generator's template engine. The markup and script that the page
// compiler and the object writers produce come from template files embedded
// at build time (resources/templates/...), filled through named holes written
// "%%name%%", a delimiter that XML, XSL, CSS and JavaScript never use.
//
// A value is escaped when it is set, by where it goes: a literal attribute of
// the stylesheet (braces doubled, so that XSLT does not read them as an
// attribute value template), a single-quoted JavaScript string, or raw. XML
// escaping is left to the XML writer: the model holds decoded texts.
//
// Two kinds of template files:
// - markup: an XML file whose `part` elements (attribute `name`), children
//   of its one top element, each hold the nodes of one snippet. The file is parsed once; each use
//   copies the part's nodes with the holes of attribute values and texts
//   filled. An attribute whose whole value is an optional hole "%%name?%%"
//   is dropped when the value is empty (a `title` without a hint).
// - script: a text file of parts, each started by a line "@@ name"; lines
//   before the first part are the file's comment. Every line of a part ends
//   with CR LF, except a line whose last character is a backslash: the
//   backslash goes and the next line follows directly.
//
// A hole that the values do not fill, and a value for which the part has no
// hole, raise ETemplateError naming the template, the part and the hole.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/vcl/SysUtilsException.h"

class TmyXmlNode;

class ETemplateError : public Exception {
 public:
  using Exception::Exception;
};

// "{" as "{{" and "}" as "}}": a text in a literal attribute of the stylesheet.
std::string EscapeXslAttribute(std::string_view text);

// Where a hole "%%name%%" (or "%%name?%%") lies in a template's text.
struct TTemplateHole {
  std::size_t open = 0;       // the first "%%"
  std::size_t end = 0;        // after the closing "%%"
  std::size_t nameStart = 0;  // the name, without the optional mark
  std::size_t nameSize = 0;
};

// The name of a template value: a string literal, written where the value is
// set. The values keep a view of the name, not a copy, so a name must outlive
// them; a literal always does, and a name made at run time does not compile.
// Implicit, so that a caller writes the literal: values.Raw("style", ...).
class TTemplateName {
 public:
  template <std::size_t N>
  consteval TTemplateName(const char (&name)[N]) : text_(name, N - 1) {
    // Read at compile time: only a constant array (a literal) gets here.
    if (name[N - 1] != '\0') throw "a template value's name is a string literal";
  }
  std::string_view Text() const { return text_; }

 private:
  std::string_view text_;
};

// The values of one use of a template part, each escaped as it is set.
//
// A use sets a handful of short values and is gone when the part is filled:
// the entries and their texts sit in the object itself while they fit, so a
// use allocates nothing; more entries or a longer text move to the heap.
class TTemplateValues {
 public:
  TTemplateValues() = default;
  TTemplateValues(const TTemplateValues& other);
  TTemplateValues& operator=(const TTemplateValues& other);

  // A name set again gets the new value, at the place of its first.

  // The text as it is (markup that must stay active, such as "{INPUT[1]/@VALUE}",
  // or a text that the XML writer escapes).
  TTemplateValues& Raw(TTemplateName name, std::string_view value);
  TTemplateValues& Int(TTemplateName name, long long value);
  // A text for a literal attribute of the stylesheet (EscapeXslAttribute).
  TTemplateValues& XslAttribute(TTemplateName name, std::string_view value);
  // A text inside a single-quoted script string (EscapeJsString).
  TTemplateValues& JsString(TTemplateName name, std::string_view value);

  // The value of the hole, valid until the next value is set; none when it
  // was not set.
  std::optional<std::string_view> Find(std::string_view name) const;

 private:
  friend class THoleFiller;
  struct TValue {
    std::string_view name;  // the literal the caller named it with
    std::uint32_t start;    // the value in the text
    std::uint32_t size;
    mutable bool used;  // filled into the part being filled now
  };
  // Room for the values of nearly every use.
  static constexpr std::size_t kInlineValues = 12;
  static constexpr std::size_t kInlineText = 480;

  std::span<TValue> Values() { return {count_ <= kInlineValues ? inline_.data() : more_.data(), count_}; }
  std::span<const TValue> Values() const { return {count_ <= kInlineValues ? inline_.data() : more_.data(), count_}; }
  TValue* FindValue(std::string_view name);
  const TValue* FindValue(std::string_view name) const;
  std::string_view Text(const TValue& value) const { return {TextData() + value.start, value.size}; }
  const char* TextData() const { return moreText_.empty() ? inlineText_.data() : moreText_.data(); }
  char* TextData() { return moreText_.empty() ? inlineText_.data() : moreText_.data(); }
  // Where `size` more bytes of text go. `source`, when it is a view of this
  // object's own text (a value read back with Find), is moved with the text.
  char* Room(std::size_t size, std::string_view& source) {
    const std::size_t capacity = moreText_.empty() ? kInlineText : moreText_.size();
    if (size > capacity - textSize_) Grow(size, source);
    return TextData() + textSize_;
  }
  void Grow(std::size_t size, std::string_view& source);
  // The value of `name` is the `size` bytes just written at the end of the text.
  TTemplateValues& Set(TTemplateName name, std::size_t size);

  // The entries in set order: in inline_ while they fit, then all in more_.
  std::size_t count_ = 0;
  std::array<TValue, kInlineValues> inline_;
  std::vector<TValue> more_;
  // The values' texts one after another: in inlineText_ while they fit, then
  // all in moreText_ (its whole size is the room). A value set again leaves
  // its old text unused.
  std::size_t textSize_ = 0;
  std::array<char, kInlineText> inlineText_;
  std::string moreText_;
};

class TScriptTemplate {
 public:
  // The parsed script template of the embedded resource (parsed at its first
  // use; ETemplateError when the resource does not exist).
  static const TScriptTemplate& Get(std::string_view resource);
  // From a text (tests and the embedded files alike).
  TScriptTemplate(std::string name, std::string_view text);

  // The part with its holes filled.
  std::string Fill(std::string_view part, const TTemplateValues& values = {}) const;
  // The same appended to the stream.
  void AppendTo(std::string& stream, std::string_view part, const TTemplateValues& values = {}) const;

 private:
  // A part's text, with where its holes are, found once when the template is
  // parsed: each use copies the text between them instead of searching it.
  struct TPart {
    std::string text;
    std::vector<TTemplateHole> holes;
    bool unclosed = false;  // the text goes on from the last hole with a "%%" that no "%%" closes
  };
  void IndexHoles(TPart& part);

  std::string name_;
  std::map<std::string, TPart, std::less<>> parts_;
};

class TMarkupTemplate {
 public:
  // The parsed markup template of the embedded resource (parsed at its first
  // use; ETemplateError when it is missing or not well-formed).
  static const TMarkupTemplate& Get(std::string_view resource);
  // From an XML text.
  TMarkupTemplate(std::string name, const std::string& text);
  ~TMarkupTemplate();
  TMarkupTemplate(const TMarkupTemplate&) = delete;
  TMarkupTemplate& operator=(const TMarkupTemplate&) = delete;

  // Appends filled copies of the part's nodes as the parent's last children;
  // the first copied top-level node (the part's outer element).
  TmyXmlNode* AppendTo(TmyXmlNode* parent, std::string_view part, const TTemplateValues& values = {}) const;
  // The same copies as the XML writer will write them, in one node that holds
  // their text (TmyXmlNode::writtenDepth), for a use whose copies nothing reads
  // or changes before the document is written: a page's markup is most of
  // what a compile builds and writes, and its copies are never looked at
  // again. The text is made for the depth of the parent's new child in its
  // document; the parent must stay at its depth until it is written. A part
  // whose text cannot be made so exactly (see WrittenForm) is copied as
  // AppendTo copies it. Errors as AppendTo's.
  void AppendWritten(TmyXmlNode* parent, std::string_view part, const TTemplateValues& values = {}) const;

 private:
  struct TWrittenForm;
  const TmyXmlNode* FindPart(std::string_view part) const;
  // The part written at the depth, with where its holes are; made at its first use.
  const TWrittenForm& WrittenForm(const TmyXmlNode* source, int depth) const;

  std::string name_;
  // Kept until the process ends (Get): its copies share the template's texts
  // instead of copying them. A template made by the constructor alone may go
  // before its copies, which then copy every text.
  bool lasting_ = false;
  // Some element repeats an attribute name: its copy keeps one attribute of
  // the name (SetAttr), so the copies must look each name up.
  bool repeatsAttrs_ = false;
  std::unique_ptr<TmyXmlNode> root_;
  // The `part` elements by `name`, the first in document order for a name.
  std::map<std::string, const TmyXmlNode*, std::less<>> parts_;
  // The written forms by part and depth; compiles on several threads share them.
  mutable std::mutex formsLock_;
  mutable std::map<std::pair<const TmyXmlNode*, int>, std::unique_ptr<TWrittenForm>> forms_;
};
