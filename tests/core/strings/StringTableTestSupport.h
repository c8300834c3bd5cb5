#pragma once
// Helpers of the string-table tests, written independently of the code under
// test: a reader of the table sources, a "STR0" writer and reader, and iconv
// conversions.

#include <iconv.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace strtest {

inline const std::string kSourceDir = TARNWELL_SOURCE_DIR;
inline const std::string kBinaryDir = TARNWELL_BINARY_DIR;

// The four tables: resource name and source file.
struct TableFile {
  const char* resource;
  const char* file;
  unsigned codePage;  // the ANSI code page a Windows of that language has
};
inline const TableFile kTables[] = {
    {"TARNWELL_ENU", "en.tsv", 1252},
    {"TARNWELL_CSY", "cs.tsv", 1250},
    {"TARNWELL_RUS", "de.tsv", 1252},
    {"TARNWELL_DEU", "pl.tsv", 1250},
};

inline std::vector<std::uint32_t> AllIds() {
  std::vector<std::uint32_t> ids;
  for (std::uint32_t i = 2001; i <= 2069; ++i) ids.push_back(i);
  for (std::uint32_t i = 7001; i <= 7337; ++i) ids.push_back(i);
  for (std::uint32_t i = 7340; i <= 7343; ++i) ids.push_back(i);
  for (std::uint32_t i = 7360; i <= 7361; ++i) ids.push_back(i);
  for (std::uint32_t i = 7380; i <= 7400; ++i) ids.push_back(i);
  for (std::uint32_t i = 7410; i <= 7419; ++i) ids.push_back(i);
  for (std::uint32_t i = 7420; i <= 7425; ++i) ids.push_back(i);
  for (std::uint32_t i = 7440; i <= 7444; ++i) ids.push_back(i);
  ids.push_back(7460);
  ids.push_back(7470);
  for (std::uint32_t i = 7480; i <= 7481; ++i) ids.push_back(i);
  ids.push_back(7490);
  for (std::uint32_t i = 7500; i <= 7505; ++i) ids.push_back(i);
  for (std::uint32_t i = 7520; i <= 7522; ++i) ids.push_back(i);
  for (std::uint32_t i = 7540; i <= 7545; ++i) ids.push_back(i);
  for (std::uint32_t i = 7560; i <= 7570; ++i) ids.push_back(i);
  for (std::uint32_t i = 7580; i <= 7586; ++i) ids.push_back(i);
  for (std::uint32_t i = 7590; i <= 7605; ++i) ids.push_back(i);
  for (std::uint32_t i = 7620; i <= 7622; ++i) ids.push_back(i);
  for (std::uint32_t i = 7640; i <= 7641; ++i) ids.push_back(i);
  for (std::uint32_t i = 7650; i <= 7651; ++i) ids.push_back(i);
  for (std::uint32_t i = 7660; i <= 7664; ++i) ids.push_back(i);
  for (std::uint32_t i = 7680; i <= 7682; ++i) ids.push_back(i);
  for (std::uint32_t i = 7690; i <= 7691; ++i) ids.push_back(i);
  ids.push_back(7700);
  for (std::uint32_t i = 7710; i <= 7711; ++i) ids.push_back(i);
  ids.push_back(7715);
  for (std::uint32_t i = 8001; i <= 8134; ++i) ids.push_back(i);
  return ids;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// id -> text (UTF-8 bytes as they stand) of a source file; comment and blank
// lines skipped.
inline std::map<std::uint32_t, std::string> ReadTsv(const std::string& path) {
  std::map<std::uint32_t, std::string> out;
  const std::string bytes = ReadFileBytes(path);
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) throw std::runtime_error(path + ": line without TAB: " + line);
    const auto id = static_cast<std::uint32_t>(std::stoul(line.substr(0, tab)));
    if (!out.emplace(id, line.substr(tab + 1)).second)
      throw std::runtime_error(path + ": id twice: " + std::to_string(id));
  }
  return out;
}

inline std::map<std::uint32_t, std::string> ReadTableSource(const char* file) {
  return ReadTsv(kSourceDir + "/resources/strings/" + file);
}

// Strict conversion with iconv; throws when a character cannot be converted.
inline std::string Iconv(const char* from, const char* to, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv_open ") + from + " " + to);
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  char* dst = out.data();
  std::size_t room = out.size();
  const std::size_t r = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || left != 0) throw std::runtime_error("iconv cannot convert the text");
  out.resize(out.size() - room);
  return out;
}

inline std::u16string Utf8ToUtf16(const std::string& utf8) {
  const std::string bytes = Iconv("UTF-8", "UTF-16LE", utf8);
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return out;
}

inline void PutU32(std::string& out, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

inline std::uint32_t GetU32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A "STR0" table of `texts`, entries in id order.
inline std::string BuildStr0(const std::map<std::uint32_t, std::u16string>& texts) {
  std::string out = "STR0";
  PutU32(out, static_cast<std::uint32_t>(texts.size()));
  std::uint32_t offset = 8 + 12 * static_cast<std::uint32_t>(texts.size());
  for (const auto& [id, text] : texts) {
    PutU32(out, id);
    PutU32(out, offset);
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    offset += 2 * static_cast<std::uint32_t>(text.size());
  }
  for (const auto& [id, text] : texts)
    for (char16_t c : text) {
      out += static_cast<char>(c & 0xFF);
      out += static_cast<char>(c >> 8);
    }
  return out;
}

inline std::string BuildStr0Utf8(const std::map<std::uint32_t, std::string>& texts) {
  std::map<std::uint32_t, std::u16string> wide;
  for (const auto& [id, text] : texts) wide[id] = Utf8ToUtf16(text);
  return BuildStr0(wide);
}

// Reads a "STR0" table as written by the build: entries in ascending id order,
// texts packed one after the other right behind the entry table and filling the
// rest exactly. Returns an empty text on success, else what is wrong.
inline std::string ParseStr0(const unsigned char* data, std::size_t size, std::vector<std::uint32_t>& ids,
                             std::map<std::uint32_t, std::u16string>& texts) {
  if (size < 8 || std::string(reinterpret_cast<const char*>(data), 4) != "STR0") return "no STR0 header";
  const std::uint64_t count = GetU32(data + 4);
  std::uint64_t expected = 8 + 12 * count;
  if (expected > size) return "entry table exceeds the data";
  for (std::uint64_t i = 0; i < count; ++i) {
    const unsigned char* e = data + 8 + 12 * i;
    const std::uint32_t id = GetU32(e), offset = GetU32(e + 4), length = GetU32(e + 8);
    if (offset != expected) return "text of id " + std::to_string(id) + " not packed in order";
    if (offset + 2ull * length > size) return "text of id " + std::to_string(id) + " exceeds the data";
    if (!ids.empty() && ids.back() >= id) return "ids not ascending at " + std::to_string(id);
    std::u16string text(length, u'\0');
    for (std::uint32_t k = 0; k < length; ++k)
      text[k] = static_cast<char16_t>(data[offset + 2 * k] | (data[offset + 2 * k + 1] << 8));
    ids.push_back(id);
    texts[id] = text;
    expected = offset + 2ull * length;
  }
  if (expected != size) return "bytes left after the last text";
  return "";
}

// The escape rule as stated: find the first backslash, remove it, turn the next
// character into LF ('n'), CR ('r') or TAB (anything else), drop a final
// backslash, and start again from the beginning.
inline std::string ExpandEscapesReference(std::string text) {
  for (;;) {
    const std::size_t p = text.find('\\');
    if (p == std::string::npos) return text;
    text.erase(p, 1);
    if (p == text.size()) return text;
    text[p] = text[p] == 'n' ? '\n' : text[p] == 'r' ? '\r' : '\t';
  }
}

}  // namespace strtest
