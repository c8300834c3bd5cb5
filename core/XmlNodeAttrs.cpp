// TmyXmlNode: the attribute operations.

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>

#include "core/XmlConvertError.h"
#include "core/XmlNode.h"

namespace {

// A whole text as a signed 32-bit decimal number: an optional sign and digits,
// nothing else, within range.
bool ParseDecimal(std::string_view text, std::int32_t& out) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  std::int32_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  out = v;
  return true;
}

// scanf's "%X": blanks, an optional sign, an optional "0x", hexadecimal digits
// up to the first other character; false when no digit comes.
bool ScanHex(std::string_view text, std::uint32_t& out) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      std::isxdigit(static_cast<unsigned char>(text[i + 2])))
    i += 2;
  std::uint32_t v = 0;
  std::size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    char c = text[i];
    unsigned d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
      d = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else
      break;
    v = (v << 4) | d;  // wraps modulo 2^32 like a 32-bit scan
  }
  if (digits == 0) return false;
  out = negative ? 0u - v : v;
  return true;
}

}  // namespace

TmyXmlAttrNode* TmyXmlNode::FindAttr(std::string_view aName) const {
  if (aName.empty()) {
    for (TmyXmlAttrNode* a = firstAttr; a != nullptr; a = a->next)
      if (a->name.empty()) return a;
    return nullptr;
  }
  // Most names differ in their first byte: that byte (every text ends with a
  // NUL, so an empty name has one too) is compared before the whole name.
  const char first = aName[0];
  for (TmyXmlAttrNode* a = firstAttr; a != nullptr; a = a->next)
    if (a->name.data()[0] == first && a->name.Equals(aName)) return a;
  return nullptr;
}

TmyXmlAttrNode* TmyXmlNode::SetAttr(std::string_view aName, std::string_view aValue) {
  TmyXmlAttrNode* a = FindAttr(aName);
  if (a == nullptr) a = MakeAttr(aName, this, this);
  a->value.assign(aValue.data(), aValue.size());
  return a;
}

TmyXmlAttrNode* TmyXmlNode::UpdateAttr(std::string_view aName, std::string_view aValue) {
  return SetAttr(aName, aValue);
}

TmyXmlAttrNode* TmyXmlNode::AppendAttr(std::string_view aName, std::string_view aValue) {
  auto* a = MakeAttr(aName, this, this);
  a->value.assign(aValue.data(), aValue.size());
  return a;
}

TmyXmlAttrNode* TmyXmlNode::SetAttrInt(std::string_view aName, std::int32_t aValue) {
  return SetAttrIntStr(aName, aValue);
}

TmyXmlAttrNode* TmyXmlNode::SetAttrIntStr(std::string_view aName, std::int32_t aValue) {
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, aValue);
  (void)ec;
  return SetAttr(aName, std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

TmyXmlAttrNode* TmyXmlNode::InsertFirstAttr(std::string_view aName, std::string_view aValue) {
  if (firstAttr == nullptr) return SetAttr(aName, aValue);
  auto* a = MakeAttr(aName, this, nullptr);
  a->value.assign(aValue.data(), aValue.size());
  Changing();
  a->owner = this;
  a->next = firstAttr;
  firstAttr->prev = a;
  firstAttr = a;
  return a;
}

bool TmyXmlNode::SetAttrIfExists(std::string_view aName, std::string_view aValue) {
  TmyXmlAttrNode* a = FindAttr(aName);
  if (a == nullptr) return false;
  a->value.assign(aValue.data(), aValue.size());
  return true;
}

std::string TmyXmlNode::GetAttr(std::string_view aName) const {
  const TmyXmlAttrNode* a = FindAttr(aName);
  return a != nullptr ? a->value : std::string();
}

std::string TmyXmlNode::GetAttrDef(std::string_view aName, std::string_view aDefault) const {
  const TmyXmlAttrNode* a = FindAttr(aName);
  if (a != nullptr && !a->value.empty()) return a->value;
  return std::string(aDefault);
}

std::int32_t TmyXmlNode::GetAttrInt(std::string_view aName, std::int32_t aDefault) const {
  return AttrInt(FindAttr(aName), aDefault);
}

std::int32_t TmyXmlNode::AttrInt(const TmyXmlAttrNode* aAttr, std::int32_t aDefault) {
  std::int32_t v;
  if (aAttr != nullptr && ParseDecimal(aAttr->value, v)) return v;
  return aDefault;
}

void TmyXmlNode::FindAttrs(std::span<const std::string_view> aNames, std::span<const TmyXmlAttrNode*> aFound) const {
  if (aNames.size() <= TXmlAttrNames::kMaxNames) {
    FindAttrs(TXmlAttrNames(aNames), aFound.first(std::min(aNames.size(), aFound.size())));
    std::fill(aFound.begin() + static_cast<std::ptrdiff_t>(std::min(aNames.size(), aFound.size())), aFound.end(),
              nullptr);
    return;
  }
  std::fill(aFound.begin(), aFound.end(), nullptr);
  const std::size_t count = std::min(aNames.size(), aFound.size());
  for (const TmyXmlAttrNode* a = firstAttr; a != nullptr; a = a->next) {
    for (std::size_t i = 0; i < count; ++i) {
      if (a->name == aNames[i]) {
        if (aFound[i] == nullptr) aFound[i] = a;
        break;
      }
    }
  }
}

void TmyXmlNode::FindAttrs(const TXmlAttrNames& aNames, std::span<const TmyXmlAttrNode*> aFound) const {
  std::fill(aFound.begin(), aFound.end(), nullptr);
  const std::size_t count = std::min(aNames.size(), aFound.size());
  // The names not found yet: the walk ends when each has its attribute.
  std::uint64_t left = count == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
  for (const TmyXmlAttrNode* a = firstAttr; a != nullptr && left != 0; a = a->next) {
    for (std::uint64_t m = aNames.byFirst_[static_cast<unsigned char>(a->name.data()[0])] & left; m != 0; m &= m - 1) {
      const auto i = static_cast<std::size_t>(std::countr_zero(m));
      if (a->name.Equals(aNames.names_[i])) {
        aFound[i] = a;
        left &= ~(std::uint64_t{1} << i);
        break;
      }
    }
  }
}

std::uint32_t TmyXmlNode::GetAttrHex(std::string_view aName, std::uint32_t aDefault) const {
  const TmyXmlAttrNode* a = FindAttr(aName);
  std::uint32_t v;
  if (a != nullptr && ScanHex(a->value, v)) return v;
  return aDefault;
}

bool TmyXmlNode::GetAttrIntStrict(std::string_view aName, std::int32_t& aOut) const {
  const TmyXmlAttrNode* a = FindAttr(aName);
  if (a == nullptr) return false;
  std::int32_t v;
  if (!ParseDecimal(a->value, v)) throw EConvertError("'" + a->value + "' is not a valid integer value");
  aOut = v;
  return true;
}

bool TmyXmlNode::DeleteAttr(std::string_view aName) {
  TmyXmlAttrNode* a = FindAttr(aName);
  if (a == nullptr) return false;
  DestroyAttr(a);
  return true;
}

void TmyXmlNode::DeleteAllAttrs() {
  if (TmyXmlAttrNode* first = firstAttr) {
    Changing();
    firstAttr = lastAttr = nullptr;
    TXmlFreeBatch batch;
    DestroyAttrs(first, batch);
  }
}

void TmyXmlNode::DestroyAttr(TmyXmlAttrNode* aAttr) noexcept {
  Changing();
  if (aAttr->prev != nullptr)
    aAttr->prev->next = aAttr->next;
  else
    firstAttr = aAttr->next;
  if (aAttr->next != nullptr)
    aAttr->next->prev = aAttr->prev;
  else
    lastAttr = aAttr->prev;
  aAttr->next = nullptr;
  TXmlFreeBatch batch;
  DestroyAttrs(aAttr, batch);
}

void TmyXmlNode::DestroyAttrs(TmyXmlAttrNode* aFirst, TXmlFreeBatch& aBatch) noexcept {
  for (TmyXmlAttrNode* a = aFirst; a != nullptr;) {
    TmyXmlAttrNode* next = a->next;
    a->owner = nullptr;  // the list goes whole: nothing to unlink
    a->next = a->prev = nullptr;
    TXmlArena* arena = a->ArenaOrNull();
    a->~TmyXmlAttrNode();
    aBatch.Free(a, arena);
    a = next;
  }
}
