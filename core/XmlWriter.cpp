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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/Crc.h"
#include "core/TextEncoding.h"
#include "core/XmlDocument.h"
#include "core/XmlWriterHooks.h"
#include "platform/win/FileIo.h"

// Appends to a string through a buffer of its own. The writer's pieces are
// short (a name, a value of a few bytes): measuring each and appending it by
// string calls costs more than copying it into room made in advance; the
// buffer goes to the string in large pieces, the last with Finish. The buffer
// has kSlack bytes beyond its capacity, so that a copy may store a whole block
// of 16 bytes where fewer are kept.
class TTextSink {
 public:
  explicit TTextSink(std::string& out) : out_(out), data_(new char[kCapacity + kSlack]) {}
  void Finish() { Flush(); }
  TTextSink(const TTextSink&) = delete;
  TTextSink& operator=(const TTextSink&) = delete;

  void Put(std::string_view text) {
    if (text.size() > kLongPiece) {
      // A kept node's text, say: straight to the string.
      Flush();
      out_.append(text);
      return;
    }
    Room(text.size());
    Copy(data_.get() + size_, text.data(), text.size());
    size_ += text.size();
  }
  void Put(char c) {
    Room(1);
    data_[size_++] = c;
  }
  // The TABs of depth (none at depth 1 or less).
  void Indent(int depth) { Tabs(static_cast<std::size_t>(depth > 1 ? depth - 1 : 0)); }
  // A tag or a part of one: the TABs of depth (none at depth 1 or less), the
  // opening (`<`, `</`, `<?` or `<!--`), the name and the closing, with one
  // check for room.
  void PutTag(int depth, std::string_view opening, const TXmlString& name, std::string_view closing) {
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
    char* out = data_.get() + size_;
    std::memset(out, '\t', kBlock);
    out += tabs;
    Copy(out, opening.data(), opening.size());
    out += opening.size();
    Copy(out, n.data(), n.size());
    out += n.size();
    Copy(out, closing.data(), closing.size());
    size_ = static_cast<std::size_t>(out + closing.size() - data_.get());
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
    char* out = data_.get() + size_;
    out[0] = ' ';
    Copy(out + 1, n.data(), n.size());
    out += n.size() + 1;
    out[0] = '=';
    out[1] = '"';
    std::size_t lineFeeds = 0;
    out = Escape(out + 2, v.data(), v.data() + v.size(), lineFeeds);
    *out++ = '"';
    size_ = static_cast<std::size_t>(out - data_.get());
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
      char* out = Escape(data_.get() + size_, p, runEnd, lineFeeds, end);
      size_ = static_cast<std::size_t>(out - data_.get());
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
  static constexpr std::size_t kCapacity = std::size_t{16} << 10;
  static constexpr std::size_t kSlack = kBlock;
  // A piece longer than this goes in by the long way.
  static constexpr std::size_t kLongPiece = kCapacity / 8;
  // Bytes escaped between two checks for room.
  static constexpr std::size_t kRun = kLongPiece / kLongestEntity;

  void Tabs(std::size_t n) {
    while (n > 0) {
      const std::size_t part = std::min(n, kBlock);
      Room(kBlock);
      std::memset(data_.get() + size_, '\t', kBlock);
      size_ += part;
      n -= part;
    }
  }
  // The bytes from p to end escaped to out, which has room for each to become
  // the longest entity; returns the end of what it wrote. Runs without a byte
  // to escape are found and copied 16 bytes at a time. textEnd (when not end)
  // ends the text that a "&" at the end may continue into as "&#".
  static char* Escape(char* out, const char* p, const char* end, std::size_t& lineFeeds,
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
    // by the same loads. Fewer bytes go one by one.
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
  // Room for n bytes (at most the buffer's capacity) after the text so far.
  void Room(std::size_t n) {
    if (kCapacity - size_ < n) Flush();
  }
  void Flush() {
    out_.append(data_.get(), size_);
    size_ = 0;
  }

  std::string& out_;
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
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
    out.PutTag(depth, "</"sv, n->name, ">\r\n"sv);
    return 0;
  }
  out.Indent(depth);
  const std::size_t lineFeeds = out.PutEscaped(n->value);
  out.PutTag(0, "</"sv, n->name, ">\r\n"sv);
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

void TmyXMLParser::WriteSiblings(TmyXmlNode* aNode, std::string& aText, int aDepth, bool aOnlyFirst) {
  TTextSink out(aText);
  WalkInto(out, aNode, aDepth, aOnlyFirst);
  out.Finish();
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
      out.Put(keptText_);
      writeLine_ += keptLines_;
    } else {
      out.PutTag(indent ? depth : 0, cur->instruction ? "<?"sv : cur->comment ? "<!--"sv : "<"sv, cur->name, {});
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
  writeLine_ = 1;
  writeThreshold_ = kKeepAliveFirst;
  if (progress) XmlStatusText(progressWindow, "Saving XML...");
  if (aRoot != nullptr && aRoot->firstChild != nullptr) WriteSiblings(aRoot->firstChild, aOut, 1);
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
  std::string text = WriteText(aRoot);
  if (aToUtf8) text = AnsiToUtf8(text, codePage);
  if (!WriteFileReplacing(aFileName, text.data(), text.size())) return 0;
  return text.size();
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
