#include "host/sim/web/WebDataPage.h"

#include <algorithm>

#include "core/TextEncoding.h"
#include "host/sim/web/XmlScan.h"

namespace {

std::string Attribute(std::string_view tag, std::string_view name) {
  return DecodeHtmlEntities(XmlTagAttribute(tag, name));
}

// The INPUT and DATA tags in file order.
std::vector<XmlTag> EntryTags(const std::string& text) {
  std::vector<XmlTag> tags = FindXmlTags(text, "INPUT");
  const std::vector<XmlTag> data = FindXmlTags(text, "DATA");
  tags.insert(tags.end(), data.begin(), data.end());
  std::sort(tags.begin(), tags.end(), [](const XmlTag& a, const XmlTag& b) { return a.position < b.position; });
  return tags;
}

std::string_view TagText(const std::string& text, const XmlTag& tag) {
  return std::string_view(text).substr(tag.position, tag.length);
}

}  // namespace

std::string XmlAttributeText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          out += "&#" + std::to_string(static_cast<unsigned char>(c)) + ";";
        } else {
          out += c;
        }
    }
  }
  return out;
}

bool IsDataPage(const std::string& text, int* pageLevel) {
  const std::vector<XmlTag> access = FindXmlTags(text, "ACCESS");
  if (FindXmlTags(text, "PAGE").empty() || access.empty()) return false;
  if (pageLevel != nullptr) {
    const std::string level = Attribute(TagText(text, access.front()), "PAGE_LEVEL");
    try {
      *pageLevel = level.empty() ? 0 : std::stoi(level);
    } catch (const std::exception&) {
      *pageLevel = 0;
    }
  }
  return true;
}

std::vector<DataPageEntry> DataPageEntries(const std::string& text) {
  std::vector<DataPageEntry> entries;
  for (const XmlTag& tag : EntryTags(text)) {
    const std::string_view element = TagText(text, tag);
    DataPageEntry entry;
    entry.data = element.substr(0, 5) == "<DATA";
    entry.name = Attribute(element, "NAME");
    const std::string ml = Attribute(element, "ML");
    try {
      if (!ml.empty()) entry.maxLength = std::stol(ml);
    } catch (const std::exception&) {
      entry.maxLength = -1;
    }
    entries.push_back(entry);
  }
  return entries;
}

std::string FillDataPage(const std::string& text, int userLevel,
                         const std::function<std::optional<std::string>(const DataPageEntry&)>& value) {
  const std::vector<DataPageEntry> entries = DataPageEntries(text);
  const std::vector<XmlTag> tags = EntryTags(text);
  const std::vector<XmlTag> access = FindXmlTags(text, "ACCESS");
  std::string out;
  out.reserve(text.size() + 256);
  std::size_t done = 0;
  std::size_t index = 0;
  auto replace = [&](const XmlTag& tag, const std::string& with) {
    out.append(text, done, tag.position - done);
    out += with;
    done = tag.position + tag.length;
  };
  for (const XmlTag& tag : tags) {
    if (!access.empty() && done <= access.front().position && access.front().position < tag.position)
      replace(access.front(),
              XmlTagWithAttribute(TagText(text, access.front()), "USER_LEVEL", std::to_string(userLevel)));
    const std::optional<std::string> v = value(entries[index++]);
    replace(tag, v ? XmlTagWithAttribute(TagText(text, tag), "VALUE", XmlAttributeText(*v))
                   : std::string(TagText(text, tag)));
  }
  if (!access.empty() && done <= access.front().position)
    replace(access.front(),
            XmlTagWithAttribute(TagText(text, access.front()), "USER_LEVEL", std::to_string(userLevel)));
  out.append(text, done, std::string::npos);
  return out;
}

std::string DeclaredEncoding(const std::string& text) {
  const std::size_t start = text.find("<?xml");
  if (start == std::string::npos || start > 4) return {};
  const std::size_t end = text.find("?>", start);
  return XmlTagAttribute(std::string_view(text).substr(start, end == std::string::npos ? 0 : end - start), "encoding");
}

std::string WithElementValue(const std::string& text, const std::string& element, const std::string& value) {
  const std::vector<XmlTag> tags = FindXmlTags(text, element);
  if (tags.empty()) return text;
  const XmlTag& tag = tags.front();
  return text.substr(0, tag.position) + XmlTagWithAttribute(TagText(text, tag), "VALUE", XmlAttributeText(value)) +
         text.substr(tag.position + tag.length);
}
