// TmyXMLParser: the writer. One layout for every XML file of the system: a TAB
// per level below the top, CR LF line ends, attribute values in double quotes
// with the entities lt, gt, quot and amp, an end tag for every element made in
// memory, " />" only for elements read in the short form, no declaration of its
// own (a kept "xml" instruction is written like any other node).

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/Crc.h"
#include "core/TextEncoding.h"
#include "core/XmlDocument.h"
#include "core/XmlWriterHooks.h"
#include "platform/win/FileIo.h"

// Collects the writer's text in buffers of its own. The writer's pieces are
// short (a name, a value of a few bytes): measuring each and appending it by
// string calls costs more than copying it into room made in advance. A full
// buffer is kept as it is and the next one is as large as the text so far
// (up to kLargest), so the text is never moved while it grows; at the end it
// is copied once into the caller's string (AppendTo) or written to a file
// from where it lies (Pieces). A kept node's text is not copied either: it
// becomes a piece of its own. Each buffer has kSlack bytes beyond its
// capacity, so that a copy may store a whole block of 16 bytes where fewer
// are kept.
class TTextSink {
 public:
  // spare: a buffer of kCapacity + kSlack bytes to begin with (a previous
  // sink's, see TakeSpare), or null.
  explicit TTextSink(std::unique_ptr<char[]> spare) { NewBuffer(std::move(spare), kCapacity); }
  TTextSink(const TTextSink&) = delete;
  TTextSink& operator=(const TTextSink&) = delete;

  // The text in order, as views into the sink's buffers and the kept texts it
  // was given: valid while the sink and those texts live.
  std::span<const std::string_view> Pieces() {
    EndPiece();
    return pieces_;
  }
  std::size_t Size() {
    EndPiece();
    return written_;
  }
  // The text appended to out, which grows once.
  void AppendTo(std::string& out) {
    EndPiece();
    if (pieces_.size() > 1) out.reserve(out.size() + written_);
    for (const std::string_view piece : pieces_) out.append(piece);
  }
  // The first buffer, for the next sink; the sink's text goes with it.
  std::unique_ptr<char[]> TakeSpare() {
    pieces_.clear();
    return std::move(buffers_.front());
  }

  void Put(std::string_view text) {
    while (text.size() > kLongPiece) {
      Put(text.substr(0, kLongPiece));
      text.remove_prefix(kLongPiece);
    }
    Room(text.size());
    Copy(cur_, text.data(), text.size());
    cur_ += text.size();
  }
  // A text that stays unchanged while the sink lives (a kept node's text): a
  // piece of its own when it is long, not a copy.
  void PutLasting(std::string_view text) {
    if (text.size() <= kLongPiece) {
      Put(text);
      return;
    }
    EndPiece();
    pieces_.push_back(text);
    written_ += text.size();
  }
  void Put(char c) {
    Room(1);
    *cur_++ = c;
  }
  // The TABs of depth (none at depth 1 or less).
  void Indent(int depth) { Tabs(static_cast<std::size_t>(depth > 1 ? depth - 1 : 0)); }
  // A tag or a part of one: the TABs of depth (none at depth 1 or less), the
  // opening (`<`, `</`, `<?` or `<!--`), the name and the closing, with one
  // check for room. Opening and closing are literals, whose copies the
  // compiler makes a store or two.
  template <std::size_t kOpening, std::size_t kClosing>
  void PutTag(int depth, const char (&openingText)[kOpening], const TXmlString& name,
              const char (&closingText)[kClosing]) {
    const std::string_view opening(openingText, kOpening - 1);
    const std::string_view closing(closingText, kClosing - 1);
    const std::string_view n = name.view();
    const std::size_t tabs = static_cast<std::size_t>(depth > 1 ? depth - 1 : 0);
    if (tabs > kBlock || n.size() > kLongPiece) {
      Tabs(tabs);
      Put(opening);
      Put(n);
      Put(closing);
      return;
    }
    Room(kBlock + opening.size() + n.size() + closing.size());
    char* out = cur_;
    std::memset(out, '\t', kBlock);
    out += tabs;
    Copy(out, opening.data(), opening.size());
    out += opening.size();
    Copy(out, n.data(), n.size());
    out += n.size();
    Copy(out, closing.data(), closing.size());
    cur_ = out + closing.size();
  }
  // An attribute: ` name="value"`, the value escaped, with one check for room.
  void PutAttribute(const TXmlString& name, const TXmlString& value) {
    const std::string_view n = name.view();
    const std::string_view v = value.view();
    if (n.size() > kLongPiece || v.size() > kLongPiece / kLongestEntity) {
      Put(' ');
      Put(n);
      Put("=\"");
      PutEscaped(v);
      Put('"');
      return;
    }
    Room(n.size() + 4 + v.size() * kLongestEntity);
    char* out = cur_;
    out[0] = ' ';
    Copy(out + 1, n.data(), n.size());
    out += n.size() + 1;
    out[0] = '=';
    out[1] = '"';
    std::size_t lineFeeds = 0;
    out = Escape(out + 2, v.data(), v.data() + v.size(), lineFeeds);
    *out++ = '"';
    cur_ = out;
  }
  // A text with the entities lt, gt, quot and amp ("&#" stays: a character
  // reference); returns the line feeds it holds. An owned text may hold a
  // NUL, written as it is.
  std::size_t PutEscaped(std::string_view text) {
    std::size_t lineFeeds = 0;
    for (const char *p = text.data(), *end = p + text.size(); p != end;) {
      const char* const runEnd = p + std::min(kRun, static_cast<std::size_t>(end - p));
      Room(static_cast<std::size_t>(runEnd - p) * kLongestEntity);
      // An entity at the end of a run looks at the byte after it ("&#").
      cur_ = Escape(cur_, p, runEnd, lineFeeds, end);
      p = runEnd;
    }
    return lineFeeds;
  }

 private:
  enum TByte : unsigned char { kPlain, kLineFeed, kEntity };
  static constexpr std::array<TByte, 256> kBytes = [] {
    std::array<TByte, 256> table{};
    table['\n'] = kLineFeed;
    for (unsigned char c : {'<', '>', '"', '&'}) table[c] = kEntity;
    return table;
  }();
  static constexpr std::size_t kLongestEntity = 6;
  static constexpr std::size_t kBlock = 16;
  // The first buffer's capacity, and the largest.
  static constexpr std::size_t kCapacity = std::size_t{16} << 10;
  static constexpr std::size_t kLargest = std::size_t{1} << 20;
  static constexpr std::size_t kSlack = kBlock;
  // A piece longer than this goes in by the long way.
  static constexpr std::size_t kLongPiece = kCapacity / 8;
  // Bytes escaped between two checks for room.
  static constexpr std::size_t kRun = kLongPiece / kLongestEntity;

  void Tabs(std::size_t n) {
    while (n > 0) {
      const std::size_t part = std::min(n, kBlock);
      Room(kBlock);
      std::memset(cur_, '\t', kBlock);
      cur_ += part;
      n -= part;
    }
  }
  // The bytes from p to end escaped to out, which has room for each to become
  // the longest entity; returns the end of what it wrote. Runs without a byte
  // to escape are found and copied 16 bytes at a time. textEnd (when not end)
  // ends the text that a "&" at the end may continue into as "&#".
  [[gnu::always_inline]] static char* Escape(char* out, const char* p, const char* end, std::size_t& lineFeeds,
                                             const char* textEnd = nullptr) {
    if (textEnd == nullptr) textEnd = end;
#if defined(__SSE2__)
    while (end - p >= static_cast<std::ptrdiff_t>(kBlock)) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      const unsigned stops = Stops(block);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
      if (stops == 0) {
        p += kBlock;
        out += kBlock;
        continue;
      }
      const unsigned plain = static_cast<unsigned>(__builtin_ctz(stops));
      p += plain;
      out += plain;
      out = PutByte(out, p, textEnd, lineFeeds);
    }
    // A shorter rest of 4 bytes or more: its bytes gathered by two loads that
    // stay inside it (and may overlap); without a byte to escape it is copied
    // by the same loads. Fewer bytes are checked and copied below; a rest with
    // a byte to escape goes byte by byte.
    const std::size_t n = static_cast<std::size_t>(end - p);
    if (n >= 8) {
      const __m128i head = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
      const __m128i tail = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(end - 8));
      if (Stops(_mm_unpacklo_epi64(head, tail)) == 0) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), head);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n - 8), tail);
        return out + n;
      }
    } else if (n >= 4) {
      std::uint32_t head;
      std::uint32_t tail;
      std::memcpy(&head, p, 4);
      std::memcpy(&tail, end - 4, 4);
      if (Stops(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(head)),
                                   _mm_cvtsi32_si128(static_cast<int>(tail)))) == 0) {
        std::memcpy(out, &head, 4);
        std::memcpy(out + n - 4, &tail, 4);
        return out + n;
      }
    }
#endif
    if (const std::size_t m = static_cast<std::size_t>(end - p); m > 0 && m < 4) {
      // One to three bytes: the first, the middle and the last (which may be
      // the same) are all of them.
      const char first = p[0];
      const char middle = p[m / 2];
      const char last = p[m - 1];
      if ((kBytes[static_cast<unsigned char>(first)] | kBytes[static_cast<unsigned char>(middle)] |
           kBytes[static_cast<unsigned char>(last)]) == kPlain) {
        out[0] = first;
        out[m / 2] = middle;
        out[m - 1] = last;
        return out + m;
      }
    }
    while (p != end) out = PutByte(out, p, textEnd, lineFeeds);
    return out;
  }
#if defined(__SSE2__)
  // The bytes of a block to escape, one bit each. '<' and '>' are the bytes
  // that are '>' with bit 1 set, '"' and '&' the bytes that are '&' with bit 2
  // set. A NUL (in the unused part of a block) is none.
  static unsigned Stops(__m128i block) {
    const __m128i angles = _mm_cmpeq_epi8(_mm_or_si128(block, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
    const __m128i quoteAmp = _mm_cmpeq_epi8(_mm_or_si128(block, _mm_set1_epi8(4)), _mm_set1_epi8('&'));
    const __m128i lineFeed = _mm_cmpeq_epi8(block, _mm_set1_epi8('\n'));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(angles, quoteAmp), lineFeed)));
  }
#endif
  // The byte at p, escaped; p moves past it.
  static char* PutByte(char* out, const char*& p, const char* textEnd, std::size_t& lineFeeds) {
    const char c = *p++;
    switch (kBytes[static_cast<unsigned char>(c)]) {
      case kPlain: break;
      case kLineFeed: ++lineFeeds; break;
      case kEntity: return PutEntity(out, c, p, textEnd);
    }
    *out = c;
    return out + 1;
  }
  // Copies n bytes; up to 16 by two fixed-size copies that may overlap, which
  // the compiler makes a few moves instead of a call.
  static void Copy(char* out, const char* p, std::size_t n) {
    if (n > 16) {
      std::memcpy(out, p, n);
    } else if (n >= 8) {
      CopyEnds<std::uint64_t>(out, p, n);
    } else if (n >= 4) {
      CopyEnds<std::uint32_t>(out, p, n);
    } else if (n > 0) {
      out[0] = p[0];
      out[n / 2] = p[n / 2];
      out[n - 1] = p[n - 1];
    }
  }
  // n bytes, from sizeof(T) to twice that, as the first and the last sizeof(T).
  template <typename T>
  static void CopyEnds(char* out, const char* p, std::size_t n) {
    T head;
    T tail;
    std::memcpy(&head, p, sizeof(T));
    std::memcpy(&tail, p + n - sizeof(T), sizeof(T));
    std::memcpy(out, &head, sizeof(T));
    std::memcpy(out + n - sizeof(T), &tail, sizeof(T));
  }
  // `next` is the byte after c.
  static char* PutEntity(char* out, char c, const char* next, const char* end) {
    const std::string_view entity = HtmlEntityOf(c, next < end && *next == '#');
    if (entity.empty()) {
      *out = c;
      return out + 1;
    }
    Copy(out, entity.data(), entity.size());
    return out + entity.size();
  }
  // Room for n bytes (at most kCapacity) after the text so far.
  [[gnu::always_inline]] void Room(std::size_t n) {
    if (static_cast<std::size_t>(limit_ - cur_) < n) NewBuffer(nullptr, std::clamp(written_, kCapacity, kLargest));
  }
  // Ends the piece written since the last one.
  void EndPiece() {
    if (cur_ == start_) return;
    pieces_.emplace_back(start_, static_cast<std::size_t>(cur_ - start_));
    written_ += static_cast<std::size_t>(cur_ - start_);
    start_ = cur_;
  }
  // Goes on in a new buffer (spare, or a new one of that capacity).
  [[gnu::noinline]] void NewBuffer(std::unique_ptr<char[]> spare, std::size_t capacity) {
    EndPiece();
    if (spare == nullptr) spare.reset(new char[capacity + kSlack]);
    buffers_.push_back(std::move(spare));
    start_ = cur_ = buffers_.back().get();
    limit_ = cur_ + capacity;
  }

  // Where the next byte goes, where the current piece began, and where the
  // current buffer's capacity ends.
  char* cur_ = nullptr;
  char* start_ = nullptr;
  char* limit_ = nullptr;
  // The buffers so far (the first of kCapacity bytes), the text's pieces and
  // their total size.
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::vector<std::string_view> pieces_;
  std::size_t written_ = 0;
};

namespace {

using namespace std::string_view_literals;

// Keep-alive reports to the host: the first after this many lines, then one
// every kKeepAliveEvery lines.
constexpr std::int64_t kKeepAliveFirst = 1000;
constexpr std::int64_t kKeepAliveEvery = 100;

// The TABs of depth, the value and the end tag of an element written with an
// end tag; the line feeds of the value.
std::size_t CloseElement(TTextSink& out, const TmyXmlNode* n, int depth) {
  if (n->value.empty()) {
    out.PutTag(depth, "</", n->name, ">\r\n");
    return 0;
  }
  out.Indent(depth);
  const std::size_t lineFeeds = out.PutEscaped(n->value);
  out.PutTag(0, "</", n->name, ">\r\n");
  return lineFeeds;
}

// Each UTF-8 no-break space (C2 A0) becomes the single byte 0xA0.
void DropNbspLeadBytes(std::string& text) {
  std::size_t w = 0;
  for (std::size_t r = 0; r < text.size(); ++r) {
    if (text[r] == '\xC2' && r + 1 < text.size() && text[r + 1] == '\xA0') continue;
    text[w++] = text[r];
  }
  text.resize(w);
}

}  // namespace

namespace {

// True when the text holds a byte the writer writes as an entity.
bool HoldsEntityByte(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
#if defined(__SSE2__)
  for (; end - p >= 16; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // '<' and '>' are '>' with bit 1 set, '"' and '&' are '&' with bit 2 set.
    const __m128i angles = _mm_cmpeq_epi8(_mm_or_si128(block, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
    const __m128i quoteAmp = _mm_cmpeq_epi8(_mm_or_si128(block, _mm_set1_epi8(4)), _mm_set1_epi8('&'));
    if (_mm_movemask_epi8(_mm_or_si128(angles, quoteAmp)) != 0) return true;
  }
#endif
  for (; p != end; ++p)
    if (*p == '<' || *p == '>' || *p == '"' || *p == '&') return true;
  return false;
}

}  // namespace

void AppendXmlEscaped(std::string& aOut, std::string_view aText) {
  // Most values hold nothing to escape: one check, one copy.
  if (HoldsEntityByte(aText))
    AppendHtmlEntities(aOut, aText);
  else
    aOut.append(aText);
}

void TmyXMLParser::WriteSiblings(TmyXmlNode* aNode, std::string& aText, int aDepth, bool aOnlyFirst) {
  TTextSink out(std::move(writeBuffer_));
  WalkInto(out, aNode, aDepth, aOnlyFirst);
  out.AppendTo(aText);
  writeBuffer_ = out.TakeSpare();
}

void TmyXMLParser::WalkInto(TTextSink& out, TmyXmlNode* aNode, int aDepth, bool aOnlyFirst) {
  // Walks the nodes without recursion: down into children, on to the next
  // sibling, up to close the parent, never above the starting level.
  TmyXmlNode* cur = aNode;
  int depth = aDepth;
  while (cur != nullptr) {
    if (writeLine_ > writeThreshold_) {
      if (progress) XmlKeepAlive(progressWindow);
      writeThreshold_ += kKeepAliveEvery;
    }
    if (cur == keptNode_ && depth == keptDepth_) {
      out.PutLasting(keptText_);
      writeLine_ += keptLines_;
    } else if (cur->writtenDepth != 0) {
      PutWritten(out, cur, depth);
    } else {
      const int tagDepth = indent ? depth : 0;
      if (cur->instruction)
        out.PutTag(tagDepth, "<?", cur->name, "");
      else if (cur->comment)
        out.PutTag(tagDepth, "<!--", cur->name, "");
      else
        out.PutTag(tagDepth, "<", cur->name, "");
      for (const TmyXmlAttrNode* a = cur->firstAttr; a != nullptr; a = a->next) out.PutAttribute(a->name, a->value);
      // Comments and instructions always end in their own short form: an end tag
      // after them would not be XML. An element read in the short form keeps it
      // only while it stays empty: children or text added later are written.
      const bool empty = cur->firstChild == nullptr && cur->value.empty();
      if ((cur->closed && empty) || cur->instruction || cur->comment) {
        out.Put(cur->instruction ? " ?>\r\n"sv : cur->comment ? "-->\r\n"sv : " />\r\n"sv);
      } else if (cur->firstChild != nullptr) {
        out.Put(">\r\n"sv);
        ++writeLine_;
        cur = cur->firstChild;
        ++depth;
        continue;
      } else {
        out.Put('>');
        writeLine_ += static_cast<std::int64_t>(CloseElement(out, cur, 0));
      }
      ++writeLine_;
    }

    // On to the next sibling, closing the parents that are done.
    while (cur->next == nullptr || (aOnlyFirst && depth == aDepth)) {
      if (depth == aDepth) return;
      cur = cur->parent;
      --depth;
      writeLine_ += static_cast<std::int64_t>(CloseElement(out, cur, indent ? depth : 0));
      ++writeLine_;
    }
    cur = cur->next;
  }
}

void TmyXMLParser::PutWritten(TTextSink& out, const TmyXmlNode* aNode, int aDepth) {
  // Its text holds the TABs of the depth it was made for: anywhere else, or
  // without indentation, it would not be what writing its nodes gives.
  if (aNode->writtenDepth != aDepth || !indent)
    throw std::logic_error("markup written for depth " + std::to_string(aNode->writtenDepth) + " is placed at depth " +
                           std::to_string(aDepth));
  const std::string_view text = aNode->value.view();
  out.Put(text);
  for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1)) ++writeLine_;
}

void TmyXMLParser::KeepWritten(const TmyXmlNode* aNode) {
  keptNode_ = nullptr;
  keptText_.clear();
  keptLines_ = 0;
  if (aNode == nullptr) return;
  // Depth 1 is a child of the root (the node without a parent).
  int depth = 1;
  for (const TmyXmlNode* p = aNode->parent; p != nullptr && p->parent != nullptr; p = p->parent) ++depth;
  const std::int64_t line = writeLine_;
  WriteSiblings(const_cast<TmyXmlNode*>(aNode), keptText_, depth, true);
  keptLines_ = writeLine_ - line;
  writeLine_ = line;
  keptNode_ = aNode;
  keptDepth_ = depth;
}

std::string TmyXMLParser::WriteText(TmyXmlNode* aRoot) {
  std::string out;
  WriteTextInto(aRoot, out);
  return out;
}

void TmyXMLParser::WriteTextInto(TmyXmlNode* aRoot, std::string& aOut) {
  TTextSink out(std::move(writeBuffer_));
  WalkText(out, aRoot);
  out.AppendTo(aOut);
  writeBuffer_ = out.TakeSpare();
}

void TmyXMLParser::WalkText(TTextSink& aOut, TmyXmlNode* aRoot) {
  writeLine_ = 1;
  writeThreshold_ = kKeepAliveFirst;
  if (progress) XmlStatusText(progressWindow, "Saving XML...");
  if (aRoot != nullptr && aRoot->firstChild != nullptr) WalkInto(aOut, aRoot->firstChild, 1, false);
  if (progress) XmlStatusText(progressWindow, "");
}

std::string TmyXMLParser::WriteNode(TmyXmlNode* aNode, int aDepth) {
  if (aDepth <= 0) return WriteText(aNode);
  std::string text;
  WriteSiblings(aNode, text, aDepth);
  return text;
}

std::string& TmyXMLParser::WriteNode(TmyXmlNode* aNode, std::string& aStream, int aDepth) {
  if (aDepth <= 0)
    WriteTextInto(aNode, aStream);
  else
    WriteSiblings(aNode, aStream, aDepth);
  return aStream;
}

std::size_t TmyXMLParser::SaveToFile(TmyXmlNode* aRoot, const std::string& aFileName, bool aToUtf8) {
  if (aToUtf8) {
    const std::string text = AnsiToUtf8(WriteText(aRoot), codePage);
    return WriteFileReplacing(aFileName, text.data(), text.size()) ? text.size() : 0;
  }
  // The text goes to the file from the writer's buffers, never gathered into
  // one string: a project's copy is large.
  TTextSink out(std::move(writeBuffer_));
  WalkText(out, aRoot);
  const std::size_t size = WriteFileReplacing(aFileName, out.Pieces()) ? out.Size() : 0;
  writeBuffer_ = out.TakeSpare();
  return size;
}

std::size_t TmyXMLParser::SaveToFileCrcTag(TmyXmlNode* aRoot, const std::string& aFileName, bool aToUtf8,
                                           bool aDropNbspLead) {
  std::string text = WriteText(aRoot);
  if (aToUtf8) {
    text = AnsiToUtf8(text, codePage);
    if (aDropNbspLead) DropNbspLeadBytes(text);
  }
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return 0;
  char crcLine[32];
  int n = std::snprintf(crcLine, sizeof crcLine, "<!--Crc=\"%04X\"-->\r\n",
                        static_cast<unsigned>(Crc16(text.data(), static_cast<std::int32_t>(text.size()))));
  text.append(crcLine, static_cast<std::size_t>(n));
  if (!WriteFileReplacing(aFileName, text.data(), text.size())) return 0;
  return text.size();
}
