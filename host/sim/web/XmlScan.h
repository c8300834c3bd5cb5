#pragma once
// Small scans over XML text that must stay byte for byte as it is (data pages,
// the variables document): the start tags of an element name and their
// attributes. Enough for the files the generator writes; no general parser.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct XmlTag {
  std::size_t position = 0;  // of the '<'
  std::size_t length = 0;    // through the '>'
};

// The start tags `<name ...>` (name followed by a blank, '/' or '>') in order.
std::vector<XmlTag> FindXmlTags(std::string_view text, std::string_view name);
// The raw value of an attribute of a tag (between double quotes), empty when none.
std::string XmlTagAttribute(std::string_view tag, std::string_view name, bool* found = nullptr);
// The tag with the attribute's raw value set, the attribute added at the end when missing.
std::string XmlTagWithAttribute(std::string_view tag, std::string_view name, std::string_view value);
