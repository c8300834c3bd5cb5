#include "tools/strtab/StringTableSource.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace {

struct IdRange {
  std::uint32_t first, last;
};

// Each range is one block of texts; a block added later starts a new row, so
// that blocks numbered apart need no texts in the ids between them.
constexpr IdRange kIdRanges[] = {{2001, 2069}, {7001, 7337}, {7340, 7343}, {7360, 7361}, {7380, 7400}, {7410, 7419},
                                 {7420, 7425}, {7440, 7444}, {7460, 7460}, {7470, 7470}, {7480, 7481}, {7490, 7490},
                                 {7500, 7505}, {7520, 7522}, {7540, 7545}, {7560, 7570}, {7580, 7586}, {7590, 7605},
                                 {7620, 7622}, {7640, 7641}, {7650, 7651}, {7660, 7664}, {7680, 7682}, {7690, 7691},
                                 {7700, 7700}, {7710, 7711}, {7715, 7715}, {8001, 8134}};

// "2001-2069, 7001-7337 and 8001-8134": the ranges as the messages name them.
std::string RangesText() {
  std::string text;
  const std::size_t count = std::size(kIdRanges);
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) text += i + 1 == count ? " and " : ", ";
    text += std::to_string(kIdRanges[i].first);
    if (kIdRanges[i].last != kIdRanges[i].first) text += "-" + std::to_string(kIdRanges[i].last);
  }
  return text;
}

bool IsRequiredId(std::uint64_t id) {
  for (const IdRange& r : kIdRanges)
    if (id >= r.first && id <= r.last) return true;
  return false;
}

// Decodes strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) into UTF-16. On failure returns false with `badOffset` at the first
// byte of the faulty sequence.
bool Utf8ToUtf16(const std::string& in, std::u16string& out, std::size_t& badOffset) {
  out.clear();
  std::size_t i = 0;
  const std::size_t n = in.size();
  while (i < n) {
    const unsigned char b0 = static_cast<unsigned char>(in[i]);
    std::uint32_t cp = 0;
    std::size_t len = 0;
    std::uint32_t min = 0;
    if (b0 < 0x80) {
      cp = b0;
      len = 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
      cp = b0 & 0x1F;
      len = 2;
      min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      cp = b0 & 0x0F;
      len = 3;
      min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      cp = b0 & 0x07;
      len = 4;
      min = 0x10000;
    } else {
      badOffset = i;
      return false;
    }
    if (len > n - i) {
      badOffset = i;
      return false;
    }
    for (std::size_t k = 1; k < len; ++k) {
      const unsigned char b = static_cast<unsigned char>(in[i + k]);
      if ((b & 0xC0) != 0x80) {
        badOffset = i;
        return false;
      }
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      badOffset = i;
      return false;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return true;
}

void PutU32(std::string& out, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

std::string Where(const std::string& fileName, std::size_t line) {
  return fileName + ":" + std::to_string(line) + ": ";
}

}  // namespace

const std::vector<std::uint32_t>& RequiredStringIds() {
  static const std::vector<std::uint32_t> ids = [] {
    std::vector<std::uint32_t> v;
    for (const IdRange& r : kIdRanges)
      for (std::uint32_t id = r.first; id <= r.last; ++id) v.push_back(id);
    return v;
  }();
  return ids;
}

bool ParseStringTableSource(const std::string& source, const std::string& fileName,
                            std::vector<StringTableEntry>& entries, std::string& error) {
  std::map<std::uint32_t, std::pair<std::u16string, std::size_t>> byId;  // text, line
  std::size_t pos = 0;
  std::size_t lineNo = 0;
  if (source.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  while (pos < source.size()) {
    ++lineNo;
    std::size_t end = source.find('\n', pos);
    if (end == std::string::npos) end = source.size();
    std::string line = source.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;

    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      error = Where(fileName, lineNo) + "malformed line: expected an id, a TAB and the text";
      return false;
    }
    const std::string idText = line.substr(0, tab);
    if (idText.empty() || idText.size() > 9 ||
        !std::all_of(idText.begin(), idText.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      error = Where(fileName, lineNo) + "malformed line: \"" + idText + "\" is not a decimal id";
      return false;
    }
    const std::uint64_t id = std::stoull(idText);
    if (!IsRequiredId(id)) {
      error = Where(fileName, lineNo) + "id " + idText + " is outside the ranges " + RangesText();
      return false;
    }
    const std::string text = line.substr(tab + 1);
    for (char c : text) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 || u == 0x7F) {
        error = Where(fileName, lineNo) + "malformed line: the text of id " + idText +
                " holds a control character (a TAB or a raw line break; write \\n or \\r)";
        return false;
      }
    }
    std::u16string wide;
    std::size_t bad = 0;
    if (!Utf8ToUtf16(text, wide, bad)) {
      error = Where(fileName, lineNo) + "invalid UTF-8 in the text of id " + idText + " at byte " +
              std::to_string(tab + 1 + bad + 1) + " of the line";
      return false;
    }
    const auto found = byId.find(static_cast<std::uint32_t>(id));
    if (found != byId.end()) {
      error = Where(fileName, lineNo) + "duplicate id " + idText + " (first on line " +
              std::to_string(found->second.second) + ")";
      return false;
    }
    byId.emplace(static_cast<std::uint32_t>(id), std::make_pair(std::move(wide), lineNo));
  }

  std::vector<std::uint32_t> missing;
  for (std::uint32_t id : RequiredStringIds())
    if (byId.find(id) == byId.end()) missing.push_back(id);
  if (!missing.empty()) {
    std::string list;
    for (std::size_t k = 0; k < missing.size() && k < 10; ++k) list += (k ? ", " : "") + std::to_string(missing[k]);
    if (missing.size() > 10) list += ", ...";
    error = Where(fileName, lineNo) + "end of file, " + std::to_string(missing.size()) + " id(s) missing: " + list +
            " (every id of " + RangesText() + " needs a text)";
    return false;
  }

  entries.clear();
  for (auto& [id, value] : byId) entries.push_back({id, std::move(value.first)});
  return true;
}

std::string BuildStr0Table(const std::vector<StringTableEntry>& entries) {
  std::string out = "STR0";
  PutU32(out, static_cast<std::uint32_t>(entries.size()));
  std::uint64_t offset = 8 + 12 * static_cast<std::uint64_t>(entries.size());
  for (const StringTableEntry& e : entries) {
    PutU32(out, e.id);
    PutU32(out, static_cast<std::uint32_t>(offset));
    PutU32(out, static_cast<std::uint32_t>(e.text.size()));
    offset += 2 * static_cast<std::uint64_t>(e.text.size());
  }
  for (const StringTableEntry& e : entries)
    for (char16_t u : e.text) {
      out += static_cast<char>(u & 0xFF);
      out += static_cast<char>(u >> 8);
    }
  return out;
}
