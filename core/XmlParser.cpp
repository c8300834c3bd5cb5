// TmyXMLParser::Parse: the reader. A small hand-written tokenizer with a state
// machine of seven states, not a conforming XML parser: elements, attributes in
// single or double quotes, character data, comments and processing
// instructions, five entities. It stops at the first error, at the end of the
// text, or once the first top-level element that was opened is closed. A text
// that ends while elements are still open is reported as such
// (XML_ERR_OPEN_AT_END): it is a file cut short, not a whole document.
//
// One pass over a copy of the text that the tree's arena keeps; names and
// values are views into that copy, each ended by a NUL written over the
// character that ended its token (never part of another text), entities
// decoded in place (a decoded text is never longer). Every such write lies
// behind the reading position: no scan reads a byte after it was changed.

#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>

#include "core/XmlDocument.h"

namespace {

enum : unsigned char {
  kBlank = 1,       // space, TAB, CR, LF
  kStop = 2,        // ends an unquoted token: the blanks, " ' / < = > ? and NUL
  kStopDouble = 4,  // looked at inside "...": the quote, NUL, LF and '&'
  kStopSingle = 8,  // looked at inside '...': the quote, NUL, LF and '&'
};

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> t{};
  for (unsigned char c : {' ', '\t', '\r', '\n'}) t[c] = kBlank | kStop;
  for (unsigned char c : {'"', '\'', '/', '<', '=', '>', '?', '\0'}) t[c] |= kStop;
  for (unsigned char c : {'\0', '\n', '&'}) t[c] |= kStopDouble | kStopSingle;
  t[static_cast<unsigned char>('"')] |= kStopDouble;
  t[static_cast<unsigned char>('\'')] |= kStopSingle;
  return t;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

// "<!--" after the '<', and "-->".
constexpr std::string_view kCommentOpen = "!--";
constexpr std::string_view kCommentClose = "-->";

inline bool HasClass(char c, unsigned char aMask) { return (kClasses[static_cast<unsigned char>(c)] & aMask) != 0; }
inline bool IsBlank(char c) { return HasClass(c, kBlank); }

// The first character at or after p whose class has a bit of aMask, four
// characters a round. The text's closing NUL has every stop bit, so no
// character after it is read.
inline const char* SkipTo(const char* p, unsigned char aMask) {
  for (;; p += 4) {
    if (HasClass(p[0], aMask)) return p;
    if (HasClass(p[1], aMask)) return p + 1;
    if (HasClass(p[2], aMask)) return p + 2;
    if (HasClass(p[3], aMask)) return p + 3;
  }
}

std::int64_t CountLf(const char* from, const char* to) {
  std::int64_t n = 0;
  while (from < to) {
    const void* hit = std::memchr(from, '\n', static_cast<std::size_t>(to - from));
    if (hit == nullptr) break;
    ++n;
    from = static_cast<const char*>(hit) + 1;
  }
  return n;
}

// "&amp;", "&gt;", "&lt;", "&nbsp;" and "&quot;" as '&', '>', '<', byte 0xA0
// and '"', left to right, a produced '&' never starting another entity (as
// DecodeHtmlEntities); written over the text itself. Returns the new length.
std::size_t DecodeEntitiesInPlace(char* s, std::size_t n) {
  struct Entity {
    std::string_view name;  // after the '&'
    char ch;
  };
  static constexpr Entity kEntities[] = {{"amp;", '&'}, {"gt;", '>'}, {"lt;", '<'}, {"nbsp;", '\xA0'}, {"quot;", '"'}};
  const auto* amp = static_cast<const char*>(std::memchr(s, '&', n));
  if (amp == nullptr) return n;
  std::size_t r = static_cast<std::size_t>(amp - s);
  std::size_t w = r;
  while (r < n) {
    if (s[r] != '&') {
      s[w++] = s[r++];
      continue;
    }
    ++r;
    char produced = '&';
    for (const Entity& e : kEntities) {
      if (n - r >= e.name.size() && std::memcmp(s + r, e.name.data(), e.name.size()) == 0) {
        produced = e.ch;
        r += e.name.size();
        break;
      }
    }
    s[w++] = produced;  // behind r: nothing still to read is overwritten
  }
  return w;
}

std::int32_t ClampLine(std::int64_t line) {
  return line > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                         : static_cast<std::int32_t>(line);
}

// A token and the character that ended it (0 for the end of the text).
struct Token {
  const char* start;
  std::size_t len;
  char term;
  bool quoted;
  bool amp;           // a quoted token holds an '&' (entities to decode)
  std::int64_t line;  // line of the token's first character

  std::string_view text() const { return {start, len}; }
};

// The reader's states: what the next token is read as.
enum class ReadState : unsigned char {
  kContent,       // character data up to the next '<'
  kAfterLt,       // a tag name, "/", "?" or "!--" after '<'
  kEndTag,        // the name of an end tag
  kInStartTag,    // attribute names, or the '/', '?' or '>' that ends a start tag
  kValue,         // a quoted attribute value after '='
  kGtWanted,      // the '>' after an end tag's name or a closing '/' or '?'
  kEqualsWanted,  // '=' after an attribute name and blanks
};

}  // namespace

class TXmlReader {
 public:
  TXmlReader(const char* text, std::size_t size) : pos_(text), end_(text + size), arena_(TXmlArena::Create()) {}
  ~TXmlReader() { arena_->Finish(); }
  TXmlReader(const TXmlReader&) = delete;
  TXmlReader& operator=(const TXmlReader&) = delete;

  // Reads the whole text; the root is the caller's. Out of memory leaves
  // nothing half-built behind: the root and what hangs on it go with root_.
  TmyXmlNode* Run(std::uint32_t& errorWord, std::int32_t& lineCounter) {
    static constexpr std::string_view kRootName = "Wrapper";
    root_.reset(new (arena_) TmyXmlNode(TmyXmlNode::ReadTag{}, kRootName.data(), kRootName.size(), nullptr));
    CopyText();  // from here on the reader reads the copy
    current_ = root_.get();
    char term;
    do {
      term = Step();
    } while (error_ == 0 && term != '\0' && !ended_);
    if (error_ == 0 && !ended_ && current_ != root_.get()) error_ = XML_ERR_OPEN_AT_END;
    errorWord = error_;
    lineCounter = ClampLine(line_);
    arena_->SetRoot(root_.get());
    return root_.release();
  }

 private:
  // The arena's copy of the text, with the NUL after it.
  void CopyText() {
    const auto size = static_cast<std::size_t>(end_ - pos_);
    char* copy = arena_->AllocateBytes(size + 1);
    // Names and values keep their flags in the top bits of the addresses
    // into this copy (XmlString.h).
    if ((TXmlString::Address(copy + size) & ~TXmlString::kAddress) != 0) throw std::bad_alloc();
    std::memcpy(copy, pos_, size);
    copy[size] = '\0';
    pos_ = copy;
    end_ = copy + size;
  }

  // A name or value has at most 32 bits of length (XmlString.h); a longer one
  // fails the parse as running out of memory would.
  static void CheckLength(std::size_t aLen) {
    if (aLen > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("XML text longer than 4 GiB");
  }

  // The text at p, aLen bytes, made NUL-terminated: the NUL goes over the
  // character that ended the token.
  static const char* Own(const char* p, std::size_t aLen) {
    CheckLength(aLen);
    char* own = const_cast<char*>(p);
    own[aLen] = '\0';
    return own;
  }

  // The same with its entities decoded; aLen becomes the decoded length.
  static const char* OwnDecoded(const char* p, std::size_t& aLen) {
    CheckLength(aLen);
    char* own = const_cast<char*>(p);
    aLen = DecodeEntitiesInPlace(own, aLen);
    own[aLen] = '\0';
    return own;
  }

  // Takes one token from the current position. The text ends with a NUL at
  // end_ (its first NUL), which stops every scan below.
  Token Next() {
    const char* p = pos_;
    for (unsigned char c; (kClasses[c = static_cast<unsigned char>(*p)] & kBlank) != 0; ++p)
      if (c == '\n') ++line_;
    if (*p == '"' || *p == '\'') return NextQuoted(p);
    Token t;
    t.line = line_;
    t.amp = false;
    t.start = p;
    t.quoted = false;
    p = SkipTo(p, kStop);
    t.len = static_cast<std::size_t>(p - t.start);
    t.term = *p;
    if (t.term == '\n') ++line_;
    pos_ = p < end_ ? p + 1 : end_;
    return t;
  }

  // A quoted token at the quote p: up to the same quote or the end of the
  // text, counting the lines inside and noting entities to decode.
  Token NextQuoted(const char* p) {
    Token t;
    t.line = line_;
    t.amp = false;
    t.start = p + 1;
    t.quoted = true;
    p = ScanQuoted(p, line_, t.amp);
    t.len = static_cast<std::size_t>(p - t.start);
    t.term = *p;  // the quote, or NUL at the end
    pos_ = p < end_ ? p + 1 : end_;
    return t;
  }

  // The end of the quoted text whose opening quote is at p: the same quote or
  // the NUL at the end of the text. Counts the line feeds inside into aLine
  // and notes an '&' in aAmp.
  static const char* ScanQuoted(const char* p, std::int64_t& aLine, bool& aAmp) {
    const unsigned char stop = *p == '"' ? kStopDouble : kStopSingle;
    for (++p;; ++p) {
      p = SkipTo(p, stop);
      if (*p == '\n')
        ++aLine;
      else if (*p == '&')
        aAmp = true;
      else
        return p;
    }
  }

  // Inside a start tag, the common name="value" pairs, read without the
  // token steps: blanks, a name ended by '=', a quote right after it, the
  // value up to the same quote. Each pair has the effect that the steps would
  // have had; anything else stops here and is left to the steps.
  void ReadAttributesFast() {
    for (;;) {
      const char* p = pos_;
      std::int64_t line = line_;
      for (unsigned char c; (kClasses[c = static_cast<unsigned char>(*p)] & kBlank) != 0; ++p)
        if (c == '\n') ++line;
      if (HasClass(*p, kStop)) return;
      const char* name = p;
      p = SkipTo(p, kStop);
      if (p[0] != '=' || (p[1] != '"' && p[1] != '\'')) return;
      const std::size_t nameLen = static_cast<std::size_t>(p - name);
      const char* value = p + 2;
      bool amp = false;
      p = ScanQuoted(p + 1, line, amp);
      if (*p == '\0') return;  // unclosed: the steps report it
      line_ = line;
      pos_ = p + 1;
      attr_ = new (arena_) TmyXmlAttrNode(TmyXmlAttrNode::ReadTag{}, Own(name, nameLen), nameLen, reading_);
      std::size_t len = static_cast<std::size_t>(p - value);
      const char* own = amp ? OwnDecoded(value, len) : Own(value, len);
      attr_->value.SetResidentView(own, len);
    }
  }

  // One step: a token, acted on by the current state. Returns the character
  // that ended the step (0 at the end of the text).
  char Step() {
    if (state_ == ReadState::kInStartTag) ReadAttributesFast();
    const char* stepStart = pos_;
    const std::int64_t stepLine = line_;
    const Token t = Next();
    char term = t.term;
    // A token that began with '>' (an empty token ended by '>', or the end of
    // a comment): a text piece in the next step starts right after it.
    bool beganWithGt = !t.quoted && t.len == 0 && t.term == '>';
    switch (state_) {
      case ReadState::kContent: term = ReadContent(t, stepStart, stepLine); break;
      case ReadState::kAfterLt:
        if (ReadAfterLt(t, stepStart, stepLine)) {
          beganWithGt = true;  // the step ended on the '>' of "-->"
          term = error_ != 0 ? '\0' : '>';
        }
        break;
      case ReadState::kEndTag: ReadEndTag(t); break;
      case ReadState::kInStartTag: term = ReadInStartTag(t); break;
      case ReadState::kValue: ReadValue(t); break;
      case ReadState::kGtWanted: ReadGtWanted(t); break;
      case ReadState::kEqualsWanted: ReadEqualsWanted(t); break;
    }
    prevBeganWithGt_ = beganWithGt;
    return term;
  }

  // Character data: a piece up to the next '<' belongs to the current
  // element. Returns the character that ended the step.
  char ReadContent(const Token& t, const char* stepStart, std::int64_t stepLine) {
    if (t.term == '<') {
      if (t.len > 0) AddText(t.text());
      state_ = ReadState::kAfterLt;
      return '<';
    }
    if (t.term == '\0') return '\0';
    // The piece starts at the token (at its opening quote when quoted), or
    // right after the '>' that ended the previous step, and runs up to the next
    // '<' or the end of the text.
    const char* from = prevBeganWithGt_ ? stepStart : (t.quoted ? t.start - 1 : t.start);
    const auto* lt = static_cast<const char*>(std::memchr(from, '<', static_cast<std::size_t>(end_ - from)));
    const char* to = lt != nullptr ? lt : end_;
    pos_ = lt != nullptr ? lt + 1 : end_;
    line_ = stepLine + CountLf(stepStart, pos_);  // before the piece is decoded in place
    AddText(std::string_view(from, static_cast<std::size_t>(to - from)));
    if (lt == nullptr) return '\0';
    state_ = ReadState::kAfterLt;
    return '<';
  }

  // After '<': the terminator is judged before the token. True when the step
  // read a comment.
  bool ReadAfterLt(const Token& t, const char* stepStart, std::int64_t stepLine) {
    if (t.term == '?') {
      pending_ = true;
    } else if (!IsBlank(t.term) && t.term != '>' && t.term != '/') {
      error_ = XML_ERR_NAME_END;
    } else if (t.len == 0) {
      if (t.term == '/')
        state_ = ReadState::kEndTag;
      else
        error_ = XML_ERR_EMPTY_NAME;
    } else if (t.text().starts_with(kCommentOpen)) {
      ReadComment(t, stepStart, stepLine);
      return true;
    } else if (t.start[0] == '!') {
      error_ = XML_ERR_NAME_END;
    } else {
      StartElement(t);
    }
    return false;
  }

  // A start tag's name: a new element, entered at its '>' unless it closes
  // itself or is an instruction.
  void StartElement(const Token& t) {
    reading_ = new (arena_) TmyXmlNode(TmyXmlNode::ReadTag{}, Own(t.start, t.len), t.len, current_);
    reading_->line = ClampLine(t.line);
    if (IsBlank(t.term)) {
      state_ = ReadState::kInStartTag;
    } else if (t.term == '/') {
      pending_ = true;
      reading_->closed = true;
      state_ = ReadState::kGtWanted;
    } else {  // '>'
      EnterOrSkip(reading_);
      state_ = ReadState::kContent;
    }
  }

  void ReadEndTag(const Token& t) {
    if (t.len == 0) {
      error_ = XML_ERR_EMPTY_NAME;
    } else if (current_ == root_.get() || t.text() != current_->name) {
      // The root stands for the file itself; no end tag in the text closes it.
      error_ = XML_ERR_END_TAG_NAME;
    } else if (t.term == '>') {
      CloseCurrent();
      state_ = ReadState::kContent;
    } else if (IsBlank(t.term)) {
      state_ = ReadState::kGtWanted;
    } else {
      error_ = XML_ERR_GT_WANTED;
    }
  }

  // Returns the character that ended the step.
  char ReadInStartTag(const Token& t) {
    if (t.len > 0) return StartAttribute(t);
    if (t.term == '/' || t.term == '?') {
      pending_ = true;
      reading_->closed = true;
      if (t.term == '?') reading_->instruction = true;
      state_ = ReadState::kGtWanted;
    } else if (t.term == '>') {
      EnterOrSkip(reading_);
      state_ = ReadState::kContent;
    } else {
      error_ = XML_ERR_IN_START_TAG;
    }
    return t.term;
  }

  // An attribute's name; the common name="value" takes the value's step
  // right away. Returns the character that ended the step.
  char StartAttribute(const Token& t) {
    attr_ = new (arena_) TmyXmlAttrNode(TmyXmlAttrNode::ReadTag{}, Own(t.start, t.len), t.len, reading_);
    if (t.term == '=') {
      state_ = ReadState::kValue;
      if (*pos_ == '"' || *pos_ == '\'') {
        const Token v = NextQuoted(pos_);
        ReadValue(v);
        return v.term;
      }
    } else if (IsBlank(t.term)) {
      state_ = ReadState::kEqualsWanted;
    } else {
      error_ = XML_ERR_ATTR_NAME_END;
    }
    return t.term;
  }

  // A quoted token is the attribute's value, decoded.
  void ReadValue(const Token& t) {
    if (t.term != '"' && t.term != '\'') {
      error_ = XML_ERR_VALUE_QUOTES;
      return;
    }
    std::size_t len = t.len;
    const char* own = t.amp ? OwnDecoded(t.start, len) : Own(t.start, len);
    attr_->value.SetResidentView(own, len);
    state_ = ReadState::kInStartTag;
  }

  // The token itself is not looked at.
  void ReadGtWanted(const Token& t) {
    if (t.term != '>') {
      error_ = XML_ERR_GT_WANTED;
      return;
    }
    if (pending_)
      pending_ = false;  // a self-closed element or an instruction is not entered
    else
      CloseCurrent();  // after an end tag
    state_ = ReadState::kContent;
  }

  // A name between the blanks and '=' is dropped.
  void ReadEqualsWanted(const Token& t) {
    if (t.term == '=')
      state_ = ReadState::kValue;
    else
      error_ = XML_ERR_EQUALS_WANTED;
  }

  // Comment: its text runs from after "<!--" to the next "-->".
  void ReadComment(const Token& t, const char* stepStart, std::int64_t stepLine) {
    const char* text = t.start + kCommentOpen.size();
    std::string_view rest(text, static_cast<std::size_t>(end_ - text));
    std::size_t close = rest.find(kCommentClose);
    if (close == std::string_view::npos) {
      pos_ = end_;
      line_ = stepLine + CountLf(stepStart, end_);
      error_ = XML_ERR_COMMENT_OPEN;
      return;
    }
    auto* node = new (arena_) TmyXmlNode(TmyXmlNode::ReadTag{}, Own(text, close), close, current_);
    node->comment = true;
    node->closed = true;
    node->line = ClampLine(t.line);
    reading_ = node;
    pos_ = text + close + kCommentClose.size();
    line_ = stepLine + CountLf(stepStart, pos_);
    state_ = ReadState::kContent;
  }

  // At the '>' of a start tag: the element becomes current unless it was marked
  // as self-closed or as an instruction.
  void EnterOrSkip(TmyXmlNode* node) {
    if (pending_)
      pending_ = false;
    else
      current_ = node;
  }

  void CloseCurrent() {
    current_ = current_->parent;
    if (current_ == root_.get()) ended_ = true;
  }

  // A text piece: the element's value, or appended to it after one blank. The
  // rare second piece makes the value a string of its own (which marks the
  // tree as changed).
  void AddText(std::string_view raw) {
    TXmlString& value = current_->value;
    std::size_t len = raw.size();
    const char* own = OwnDecoded(raw.data(), len);
    if (value.empty()) {
      if (!value.owned()) {
        value.SetResidentView(own, len);
        return;
      }
      value.assign(own, len);
      return;
    }
    value += ' ';
    value.append(own, len);
  }

  const char* pos_;
  const char* end_;
  TXmlArena* const arena_;  // holds every node and attribute of the tree
  std::int64_t line_ = 1;
  std::uint32_t error_ = 0;
  ReadState state_ = ReadState::kContent;
  // The node being read is an instruction or closes itself: its '>' does not
  // enter it.
  bool pending_ = false;
  bool ended_ = false;
  bool prevBeganWithGt_ = false;  // the previous step's token began with '>'
  std::unique_ptr<TmyXmlNode> root_;
  TmyXmlNode* current_ = nullptr;  // the innermost open element
  TmyXmlNode* reading_ = nullptr;  // the node made last
  TmyXmlAttrNode* attr_ = nullptr;
};

TmyXmlNode* TmyXMLParser::Parse() {
  lineCounter = 1;
  errorWord = 0;
  if (!hasBuffer_) return nullptr;
  // The text ends at its first NUL; the NUL stops every scan of the reader.
  TXmlReader reader(buffer_.c_str(), textLength_);
  return reader.Run(errorWord, lineCounter);
}
