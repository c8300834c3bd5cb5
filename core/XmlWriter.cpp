// TmyXMLParser: the writer. One layout for every XML file of the system: a TAB
// per level below the top, CR LF line ends, attribute values in double quotes
// with the entities lt, gt, quot and amp, an end tag for every element made in
// memory, " />" only for elements read in the short form, no declaration of its
// own (a kept "xml" instruction is written like any other node).

#include <cstdio>
#include <limits>

#include "base/Crc.h"
#include "core/TextEncoding.h"
#include "core/XmlDocument.h"
#include "core/XmlWriterHooks.h"
#include "platform/win/FileIo.h"

namespace {

// Keep-alive reports to the host: the first after this many lines, then one
// every kKeepAliveEvery lines.
constexpr std::int64_t kKeepAliveFirst = 1000;
constexpr std::int64_t kKeepAliveEvery = 100;

void Indent(std::string& out, int depth) { out.append(static_cast<std::size_t>(depth > 1 ? depth - 1 : 0), '\t'); }

// The value and the end tag of an element written with an end tag.
void CloseElement(std::string& out, const TmyXmlNode* n) {
  AppendHtmlEntities(out, n->value);
  out += "</";
  out += n->name;
  out += ">\r\n";
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

void TmyXMLParser::WriteSiblings(TmyXmlNode* aNode, std::string& aOut, int aDepth, bool aOnlyFirst) {
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
      aOut += keptText_;
      writeLine_ += keptLines_;
    } else {
      if (indent) Indent(aOut, depth);
      aOut += cur->instruction ? "<?" : cur->comment ? "<!--" : "<";
      aOut += cur->name;
      for (const TmyXmlAttrNode* a = cur->firstAttr; a != nullptr; a = a->next) {
        aOut += ' ';
        aOut += a->name;
        aOut += "=\"";
        AppendHtmlEntities(aOut, a->value);
        aOut += '"';
      }
      // Comments and instructions always end in their own short form: an end tag
      // after them would not be XML. An element read in the short form keeps it
      // only while it stays empty: children or text added later are written.
      const bool empty = cur->firstChild == nullptr && cur->value.empty();
      if ((cur->closed && empty) || cur->instruction || cur->comment) {
        aOut += cur->instruction ? " ?>\r\n" : cur->comment ? "-->\r\n" : " />\r\n";
      } else if (cur->firstChild != nullptr) {
        aOut += ">\r\n";
        ++writeLine_;
        cur = cur->firstChild;
        ++depth;
        continue;
      } else {
        aOut += '>';
        writeLine_ += static_cast<std::int64_t>(CountLineFeeds(cur->value));
        CloseElement(aOut, cur);
      }
      ++writeLine_;
    }

    // On to the next sibling, closing the parents that are done.
    while (cur->next == nullptr || (aOnlyFirst && depth == aDepth)) {
      if (depth == aDepth) return;
      cur = cur->parent;
      --depth;
      if (indent) Indent(aOut, depth);
      writeLine_ += static_cast<std::int64_t>(CountLineFeeds(cur->value));
      CloseElement(aOut, cur);
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
  writeLine_ = 1;
  writeThreshold_ = kKeepAliveFirst;
  if (progress) XmlStatusText(progressWindow, "Saving XML...");
  std::string out;
  if (aRoot != nullptr && aRoot->firstChild != nullptr) WriteSiblings(aRoot->firstChild, out, 1);
  if (progress) XmlStatusText(progressWindow, "");
  return out;
}

std::string TmyXMLParser::WriteNode(TmyXmlNode* aNode, int aDepth) {
  if (aDepth <= 0) return WriteText(aNode);
  std::string text;
  WriteSiblings(aNode, text, aDepth);
  return text;
}

std::string& TmyXMLParser::WriteNode(TmyXmlNode* aNode, std::string& aStream, int aDepth) {
  if (aDepth <= 0)
    aStream += WriteText(aNode);
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
