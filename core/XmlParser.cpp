// TmyXMLParser::Parse: the reader. A small hand-written tokenizer with a state
// machine of seven states, not a conforming XML parser: elements, attributes in
// single or double quotes, character data, comments and processing
// instructions, five entities. It stops at the first error, at the end of the
// text, or once the first top-level element that was opened is closed.
//
// One pass over the buffer; tokens are read in place and copied only into the
// nodes and attributes they become.

#include <array>
#include <cstring>
#include <limits>
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

inline bool IsBlank(char c) { return (kClasses[static_cast<unsigned char>(c)] & kBlank) != 0; }

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

class Reader {
 public:
  Reader(const char* text, std::size_t size) : FPos(text), FEnd(text + size), FArena(TXmlArena::Create()) {}
  ~Reader() { FArena->Finish(); }

  TmyXmlNode* Run(std::uint32_t& errorWord, std::int32_t& lineCounter) {
    FRoot = new (FArena) TmyXmlNode("Wrapper");
    FCurrent = FRoot;
    try {
      char term;
      do {
        term = Step();
      } while (FError == 0 && term != '\0' && !FEnded);
    } catch (...) {
      delete FRoot;  // out of memory: nothing half-built is left behind
      throw;
    }
    errorWord = FError;
    lineCounter = ClampLine(FLine);
    return FRoot;
  }

 private:
  // Takes one token from the current position. The text ends with a NUL at
  // FEnd (its first NUL), which stops every scan below.
  Token Next() {
    const char* p = FPos;
    for (unsigned char c; (kClasses[c = static_cast<unsigned char>(*p)] & kBlank) != 0; ++p)
      if (c == '\n') ++FLine;
    Token t;
    t.line = FLine;
    t.amp = false;
    if (*p == '"' || *p == '\'') {
      // Up to the same quote or the end of the text, counting the lines inside
      // and noting entities to decode.
      const char quote = *p;
      const unsigned char stop = quote == '"' ? kStopDouble : kStopSingle;
      t.start = ++p;
      t.quoted = true;
      for (;; ++p) {
        while ((kClasses[static_cast<unsigned char>(*p)] & stop) == 0) ++p;
        if (*p == '\n')
          ++FLine;
        else if (*p == '&')
          t.amp = true;
        else
          break;
      }
      t.len = static_cast<std::size_t>(p - t.start);
      t.term = *p;  // the quote, or NUL at the end
      FPos = p < FEnd ? p + 1 : FEnd;
      return t;
    }
    t.start = p;
    t.quoted = false;
    while ((kClasses[static_cast<unsigned char>(*p)] & kStop) == 0) ++p;
    t.len = static_cast<std::size_t>(p - t.start);
    t.term = *p;
    if (t.term == '\n') ++FLine;
    FPos = p < FEnd ? p + 1 : FEnd;
    return t;
  }

  // One step: a token, acted on by the current state. Returns the character that
  // ended the step (0 at the end of the text).
  char Step() {
    const char* stepStart = FPos;
    const std::int64_t stepLine = FLine;
    const Token t = Next();
    char term = t.term;
    bool beganWithGt = !t.quoted && t.len == 0 && t.term == '>';

    switch (FState) {
      case 0:  // content
        if (t.term == '<') {
          if (t.len > 0) AddText(t.text());
          FState = 1;
        } else if (t.term != '\0') {
          // The piece starts at the token (at its opening quote when quoted), or
          // right after the '>' that ended the previous step, and runs up to the
          // next '<' or the end of the text.
          const char* from = FPrevBeganWithGt ? stepStart : (t.quoted ? t.start - 1 : t.start);
          const auto* lt = static_cast<const char*>(std::memchr(from, '<', static_cast<std::size_t>(FEnd - from)));
          const char* to = lt != nullptr ? lt : FEnd;
          AddText(std::string_view(from, static_cast<std::size_t>(to - from)));
          FPos = lt != nullptr ? lt + 1 : FEnd;
          FLine = stepLine + CountLf(stepStart, FPos);
          term = lt != nullptr ? '<' : '\0';
          if (lt != nullptr) FState = 1;
        }
        break;

      case 1:  // after '<'
        if (t.term == '?') {
          FPending = true;
        } else if (!IsBlank(t.term) && t.term != '>' && t.term != '/') {
          FError = XML_ERR_NAME_END;
        } else if (t.len == 0) {
          if (t.term == '/')
            FState = 2;
          else
            FError = XML_ERR_EMPTY_NAME;
        } else if (t.len >= 3 && std::memcmp(t.start, "!--", 3) == 0) {
          ReadComment(t, stepStart, stepLine);
          beganWithGt = true;  // the step ended on the '>' of "-->"
          term = FError != 0 ? '\0' : '>';
        } else if (t.start[0] == '!') {
          FError = XML_ERR_NAME_END;
        } else {
          FReading = new (FArena) TmyXmlNode(t.text(), FCurrent);
          FReading->line = ClampLine(t.line);
          if (IsBlank(t.term)) {
            FState = 3;
          } else if (t.term == '/') {
            FPending = true;
            FReading->closed = true;
            FState = 5;
          } else {  // '>'
            EnterOrSkip(FReading);
            FState = 0;
          }
        }
        break;

      case 2:  // end tag
        if (t.len == 0) {
          FError = XML_ERR_EMPTY_NAME;
        } else if (FCurrent == FRoot || t.text() != FCurrent->name) {
          // The root stands for the file itself; no end tag in the text closes it.
          FError = XML_ERR_END_TAG_NAME;
        } else if (t.term == '>') {
          CloseCurrent();
          FState = 0;
        } else if (IsBlank(t.term)) {
          FState = 5;
        } else {
          FError = XML_ERR_GT_WANTED;
        }
        break;

      case 3:  // in a start tag
        if (t.len > 0) {
          FAttr = new (FArena) TmyXmlAttrNode(t.text(), FReading);
          if (t.term == '=') {
            FState = 4;
            // The common name="value": take the value's step right away.
            if (*FPos == '"' || *FPos == '\'') {
              const Token v = Next();
              ReadValue(v);
              term = v.term;
            }
          } else if (IsBlank(t.term))
            FState = 6;
          else
            FError = XML_ERR_ATTR_NAME_END;
        } else if (t.term == '/' || t.term == '?') {
          FPending = true;
          FReading->closed = true;
          if (t.term == '?') FReading->instruction = true;
          FState = 5;
        } else if (t.term == '>') {
          EnterOrSkip(FReading);
          FState = 0;
        } else {
          FError = XML_ERR_IN_START_TAG;
        }
        break;

      case 4:  // attribute value
        ReadValue(t);
        break;

      case 5:  // '>' wanted
        if (t.term == '>') {
          if (FPending)
            FPending = false;  // a self-closed element or an instruction is not entered
          else
            CloseCurrent();  // after an end tag
          FState = 0;
        } else {
          FError = XML_ERR_GT_WANTED;
        }
        break;

      case 6:  // '=' wanted after an attribute name and blanks
        if (t.term == '=')
          FState = 4;
        else
          FError = XML_ERR_EQUALS_WANTED;
        break;
    }

    FPrevBeganWithGt = beganWithGt;
    return term;
  }

  // State 4: a quoted token is the attribute's value, decoded.
  void ReadValue(const Token& t) {
    if (t.term == '"' || t.term == '\'') {
      if (t.amp)
        FAttr->value = DecodeHtmlEntities(t.text());
      else
        FAttr->value.assign(t.start, t.len);
      FState = 3;
    } else {
      FError = XML_ERR_VALUE_QUOTES;
    }
  }

  // Comment: its text runs from after "<!--" to the next "-->".
  void ReadComment(const Token& t, const char* stepStart, std::int64_t stepLine) {
    const char* text = t.start + 3;
    std::string_view rest(text, static_cast<std::size_t>(FEnd - text));
    std::size_t close = rest.find("-->");
    if (close == std::string_view::npos) {
      FPos = FEnd;
      FLine = stepLine + CountLf(stepStart, FEnd);
      FError = XML_ERR_COMMENT_OPEN;
      return;
    }
    auto* node = new (FArena) TmyXmlNode(rest.substr(0, close), FCurrent);
    node->comment = true;
    node->closed = true;
    node->line = ClampLine(t.line);
    FReading = node;
    FPos = text + close + 3;
    FLine = stepLine + CountLf(stepStart, FPos);
    FState = 0;
  }

  // At the '>' of a start tag: the element becomes current unless it was marked
  // as self-closed or as an instruction.
  void EnterOrSkip(TmyXmlNode* node) {
    if (FPending)
      FPending = false;
    else
      FCurrent = node;
  }

  void CloseCurrent() {
    FCurrent = FCurrent->parent;
    if (FCurrent == FRoot) FEnded = true;
  }

  static void SetDecoded(std::string& out, std::string_view raw) {
    if (std::memchr(raw.data(), '&', raw.size()) == nullptr)
      out.assign(raw.data(), raw.size());
    else
      out = DecodeHtmlEntities(raw);
  }

  // A text piece: the element's value, or appended to it after one blank.
  void AddText(std::string_view raw) {
    std::string& value = FCurrent->value;
    if (value.empty()) {
      SetDecoded(value, raw);
    } else {
      value += ' ';
      if (std::memchr(raw.data(), '&', raw.size()) == nullptr)
        value.append(raw.data(), raw.size());
      else
        value += DecodeHtmlEntities(raw);
    }
  }

  const char* FPos;
  const char* const FEnd;
  TXmlArena* const FArena;  // holds every node and attribute of the tree
  std::int64_t FLine = 1;
  std::uint32_t FError = 0;
  int FState = 0;
  bool FPending = false;
  bool FEnded = false;
  // The previous step's token began with '>' (an empty token ended by '>', or
  // the end of a comment): a text piece then starts right after that '>'.
  bool FPrevBeganWithGt = false;
  TmyXmlNode* FRoot = nullptr;
  TmyXmlNode* FCurrent = nullptr;
  TmyXmlNode* FReading = nullptr;
  TmyXmlAttrNode* FAttr = nullptr;
};

}  // namespace

TmyXmlNode* TmyXMLParser::Parse() {
  lineCounter = 1;
  errorWord = 0;
  if (!FHasBuffer) return nullptr;
  // The text ends at its first NUL; the NUL stops every scan of the reader.
  Reader reader(FBuffer.c_str(), FTextLength);
  return reader.Run(errorWord, lineCounter);
}
