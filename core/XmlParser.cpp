// TmyXMLParser::Parse: the reader. A small hand-written tokenizer with a state
// machine of seven states, not a conforming XML parser: elements, attributes in
// single or double quotes, character data, comments and processing
// instructions, five entities. It stops at the first error, at the end of the
// text, or once the first top-level element that was opened is closed. A text
// that ends while elements are still open is reported as such
// (XML_ERR_OPEN_AT_END): it is a file cut short, not a whole document.
//
// One pass over the buffer; tokens are read in place and copied only into the
// nodes and attributes they become.

#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

#include "core/TextEncoding.h"
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

class Reader {
 public:
  Reader(const char* text, std::size_t size) : pos_(text), end_(text + size), arena_(TXmlArena::Create()) {}
  ~Reader() { arena_->Finish(); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // Reads the whole text; the root is the caller's. Out of memory leaves
  // nothing half-built behind: the root and what hangs on it go with root_.
  TmyXmlNode* Run(std::uint32_t& errorWord, std::int32_t& lineCounter) {
    root_.reset(new (arena_) TmyXmlNode("Wrapper"));
    current_ = root_.get();
    char term;
    do {
      term = Step();
    } while (error_ == 0 && term != '\0' && !ended_);
    if (error_ == 0 && !ended_ && current_ != root_.get()) error_ = XML_ERR_OPEN_AT_END;
    errorWord = error_;
    lineCounter = ClampLine(line_);
    return root_.release();
  }

 private:
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
    const unsigned char stop = *p == '"' ? kStopDouble : kStopSingle;
    t.start = ++p;
    t.quoted = true;
    for (;; ++p) {
      p = SkipTo(p, stop);
      if (*p == '\n')
        ++line_;
      else if (*p == '&')
        t.amp = true;
      else
        break;
    }
    t.len = static_cast<std::size_t>(p - t.start);
    t.term = *p;  // the quote, or NUL at the end
    pos_ = p < end_ ? p + 1 : end_;
    return t;
  }

  // One step: a token, acted on by the current state. Returns the character
  // that ended the step (0 at the end of the text).
  char Step() {
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
    AddText(std::string_view(from, static_cast<std::size_t>(to - from)));
    pos_ = lt != nullptr ? lt + 1 : end_;
    line_ = stepLine + CountLf(stepStart, pos_);
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
    reading_ = new (arena_) TmyXmlNode(t.text(), current_);
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
    attr_ = new (arena_) TmyXmlAttrNode(t.text(), reading_);
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
    if (t.amp)
      attr_->value = DecodeHtmlEntities(t.text());
    else
      attr_->value.assign(t.start, t.len);
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
    auto* node = new (arena_) TmyXmlNode(rest.substr(0, close), current_);
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

  // A text piece: the element's value, or appended to it after one blank.
  void AddText(std::string_view raw) {
    std::string& value = current_->value;
    const bool plain = std::memchr(raw.data(), '&', raw.size()) == nullptr;
    if (value.empty()) {
      if (plain)
        value.assign(raw.data(), raw.size());
      else
        value = DecodeHtmlEntities(raw);
      return;
    }
    value += ' ';
    if (plain)
      value.append(raw.data(), raw.size());
    else
      value += DecodeHtmlEntities(raw);
  }

  const char* pos_;
  const char* const end_;
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

}  // namespace

TmyXmlNode* TmyXMLParser::Parse() {
  lineCounter = 1;
  errorWord = 0;
  if (!hasBuffer_) return nullptr;
  // The text ends at its first NUL; the NUL stops every scan of the reader.
  Reader reader(buffer_.c_str(), textLength_);
  return reader.Run(errorWord, lineCounter);
}
