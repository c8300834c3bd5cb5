#include "platform/strres/TpsStringResource.h"

#include <algorithm>

#include "platform/win/CodePage.h"
#include "platform/win/Resources.h"

namespace {

std::uint32_t ReadU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

TpsStringResource::TpsStringResource(HINSTANCE instance, const char* resourceName) {
  const std::string name = resourceName != nullptr ? resourceName : "(null)";
  auto fail = [&name](const std::string& why) { throw EStringResourceError("string table \"" + name + "\": " + why); };
  if (resourceName == nullptr) fail("no resource name");

  HRSRC found = FindResource(instance, resourceName, RT_RCDATA);
  if (found == nullptr) fail("resource not found");
  HGLOBAL loaded = LoadResource(instance, found);
  const DWORD size = SizeofResource(instance, found);
  const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
  if (data == nullptr && size != 0) fail("resource cannot be loaded");

  if (size < 8) fail("resource too short (" + std::to_string(size) + " bytes)");
  if (!std::equal(data, data + 4, "STR0")) fail("not a string table (no \"STR0\" header)");
  const std::uint64_t count = ReadU32(data + 4);
  const std::uint64_t tableEnd = 8 + 12 * count;
  if (tableEnd > size)
    fail("entry table of " + std::to_string(count) + " entries exceeds the resource's " + std::to_string(size) +
         " bytes");

  FEntries.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t i = 0; i < count; ++i) {
    const unsigned char* p = data + 8 + 12 * i;
    TEntry e{ReadU32(p), ReadU32(p + 4), ReadU32(p + 8)};
    const std::uint64_t textEnd = static_cast<std::uint64_t>(e.offset) + 2 * static_cast<std::uint64_t>(e.length);
    if (e.offset < tableEnd || textEnd > size)
      fail("text of id " + std::to_string(e.id) + " lies outside the text area");
    FEntries.push_back(e);
  }
  std::sort(FEntries.begin(), FEntries.end(), [](const TEntry& a, const TEntry& b) { return a.id < b.id; });
  for (std::size_t i = 1; i < FEntries.size(); ++i)
    if (FEntries[i].id == FEntries[i - 1].id) fail("id " + std::to_string(FEntries[i].id) + " occurs twice");
  FData = data;
}

const TpsStringResource::TEntry* TpsStringResource::Find(int id) const {
  if (id < 0) return nullptr;
  const auto key = static_cast<std::uint32_t>(id);
  auto it = std::lower_bound(FEntries.begin(), FEntries.end(), key,
                             [](const TEntry& e, std::uint32_t k) { return e.id < k; });
  if (it == FEntries.end() || it->id != key) return nullptr;
  return &*it;
}

std::u16string TpsStringResource::GetWideString(int id) const {
  const TEntry* e = Find(id);
  if (e == nullptr) return std::u16string();
  std::u16string text(e->length, u'\0');
  const unsigned char* p = FData + e->offset;
  for (std::uint32_t i = 0; i < e->length; ++i) text[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  return text;
}

std::string TpsStringResource::GetString(int id) const { return WideToMultiByte(CP_ACP, GetWideString(id)); }
