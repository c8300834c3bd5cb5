#pragma once
// TmyXMLParser: the document object. It holds the text to read, reads it into a
// tree of TmyXmlNode (XmlParser.cpp) and writes trees into text and files in
// the system's one XML layout (XmlWriter.cpp). Trees belong to the caller.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/XmlNode.h"
#include "platform/win/WindowTypes.h"

// The reader's error bits: it stops at the first one.
enum : std::uint32_t {
  // After '<' the name ends with something other than a blank, '>', '/' or '?';
  // or "<!" is not followed by "--" (declarations, CDATA sections).
  XML_ERR_NAME_END = 0x2,
  XML_ERR_COMMENT_OPEN = 0x4,    // a comment without "-->"
  XML_ERR_EMPTY_NAME = 0x8,      // nothing between '<' or "</" and the next terminator
  XML_ERR_ATTR_NAME_END = 0x10,  // an attribute name ended by other than '=' or a blank
  XML_ERR_IN_START_TAG = 0x20,   // in a start tag, no name, '/', '?' or '>' where one must come
  XML_ERR_EQUALS_WANTED = 0x40,  // an attribute name and blanks not followed by '='
  XML_ERR_VALUE_QUOTES = 0x80,   // an attribute value not in quotes, or unclosed
  XML_ERR_END_TAG_NAME = 0x100,  // an end tag that does not close the innermost open element
  XML_ERR_GT_WANTED = 0x200,     // no '>' after an end tag's name or after a closing '/' or '?'
  // The text ends while elements are still open: a file cut short. The tree
  // holds what was read, but it is not the whole document.
  XML_ERR_OPEN_AT_END = 0x400,
};

// The writer's output buffer (XmlWriter.cpp).
class TTextSink;

// The text as the writer escapes an attribute value or an element's text (the
// entities lt, gt, quot and amp; "&#" stays, a character reference), appended.
void AppendXmlEscaped(std::string& aOut, std::string_view aText);

class TmyXMLParser {
 public:
  TmyXMLParser() = default;
  ~TmyXMLParser() = default;  // releases the buffer, never a tree
  TmyXMLParser(const TmyXMLParser&) = delete;
  TmyXMLParser& operator=(const TmyXMLParser&) = delete;

  // --- reading ------------------------------------------------------------------
  // The whole file (a system path) as the new buffer; false (old buffer kept)
  // when it cannot be read.
  bool LoadFromFile(const std::string& aFileName);
  // A copy of the NUL-terminated text as the new buffer; false (old buffer kept)
  // for an empty text.
  bool LoadFromString(const char* aText);
  // Reads the buffer into a new tree whose root "Wrapper" holds the top-level
  // nodes; null without a buffer. Stops at the first error (errorWord) with the
  // tree read so far; lineCounter tells where. A text that ends inside open
  // elements is an error too (XML_ERR_OPEN_AT_END): callers treat a non-zero
  // errorWord as a malformed file. The tree's nodes share one
  // TXmlArena (XmlArena.h) and are destroyed with delete like any others.
  TmyXmlNode* Parse();
  std::int32_t GetLine() const { return lineCounter; }

  // --- writing ------------------------------------------------------------------
  // Depth 0: the text of aNode's children (aNode is a root), with the progress
  // reports of a write. Depth 1 or more: aNode and its following siblings,
  // indented for that depth.
  std::string WriteNode(TmyXmlNode* aNode, int aDepth);
  // The same appended to aStream, which is returned.
  std::string& WriteNode(TmyXmlNode* aNode, std::string& aStream, int aDepth);
  // The text of the tree as the file's new content (UTF-8 when asked); the byte
  // count, 0 when the file cannot be written. The old file stays whole when the
  // write fails.
  std::size_t SaveToFile(TmyXmlNode* aRoot, const std::string& aFileName, bool aToUtf8);
  // The same followed by the line <!--Crc="XXXX"--> with the CRC-16 of the bytes
  // before it. With aToUtf8 and aDropNbspLead, each UTF-8 no-break space (C2 A0)
  // is written as the single byte 0xA0.
  std::size_t SaveToFileCrcTag(TmyXmlNode* aRoot, const std::string& aFileName, bool aToUtf8, bool aDropNbspLead);
  // A part that stays the same through many writes (the menu every page's
  // stylesheet repeats) is written once: from now on the writer puts that text
  // in place of aNode and its children wherever it meets aNode at its depth in
  // the tree. The caller keeps aNode and its children unchanged while it is
  // kept; null forgets it.
  void KeepWritten(const TmyXmlNode* aNode);

  // --- fields -------------------------------------------------------------------
  // The reader's current line; after a parse, the line where it stopped.
  std::int32_t lineCounter = 1;
  std::uint32_t errorWord = 0;
  // Code page of the 8-bit texts, used when a save converts to UTF-8; 0 is the
  // machine's ANSI code page.
  std::int32_t codePage = 0;
  // The writer reports progress (status text, keep-alive) to progressWindow;
  // null means the host's main window.
  bool progress = true;
  HWND progressWindow = nullptr;
  // The writer indents each line with tabs.
  bool indent = true;

 private:
  friend TmyXmlNode* LoadXmlResource(TmyXMLParser* aDocument, const char* aResourceName);

  // Replaces the buffer by exactly these bytes and a NUL.
  void SetBuffer(const char* aData, std::size_t aSize);
  // The writer's recursion-free walk over aNode and its following siblings.
  // With aOnlyFirst, aNode alone.
  void WriteSiblings(TmyXmlNode* aNode, std::string& aOut, int aDepth, bool aOnlyFirst = false);
  // The same walk into the writer's buffer.
  void WalkInto(TTextSink& aOut, TmyXmlNode* aNode, int aDepth, bool aOnlyFirst);
  // A node holding markup in its written form (TmyXmlNode::writtenDepth), met
  // at aDepth; std::logic_error when it was made for another depth.
  void PutWritten(TTextSink& aOut, const TmyXmlNode* aNode, int aDepth);
  // The whole text of a root's children, with the progress reports of a write.
  std::string WriteText(TmyXmlNode* aRoot);
  // The same appended to aOut.
  void WriteTextInto(TmyXmlNode* aRoot, std::string& aOut);
  // The same into the writer's buffer.
  void WalkText(TTextSink& aOut, TmyXmlNode* aRoot);

  // The text to read; std::string keeps a NUL after its last byte.
  std::string buffer_;
  std::size_t textLength_ = 0;  // up to the buffer's first NUL: the text to read
  bool hasBuffer_ = false;
  // Progress state of one write: line count and the next keep-alive threshold.
  std::int64_t writeLine_ = 1;
  std::int64_t writeThreshold_ = 1000;
  // The node written once (KeepWritten), its depth, text and line count.
  const TmyXmlNode* keptNode_ = nullptr;
  int keptDepth_ = 0;
  std::string keptText_;
  std::int64_t keptLines_ = 0;
  // The first buffer of the last write, for the next: a document object
  // writes many texts (a compile's pages) and need not allocate it each time.
  std::unique_ptr<char[]> writeBuffer_;
};
