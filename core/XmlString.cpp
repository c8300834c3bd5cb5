#include "core/XmlString.h"

#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "core/XmlArena.h"
#include "core/XmlBuildArena.h"

namespace {

constexpr std::size_t kMaxSize = std::numeric_limits<std::uint32_t>::max();

std::uint32_t CheckedSize(std::size_t aSize) {
  if (aSize > kMaxSize) throw std::length_error("XML text longer than 4 GiB");
  return static_cast<std::uint32_t>(aSize);
}

}  // namespace

static_assert(sizeof(TXmlString) == sizeof(void*));

TXmlString::TXmlString(TXmlString&& aOther) {
  // A view, or a buffer that goes with its arena, is copied.
  if (!aOther.owned() || aOther.InArena()) {
    Assign(aOther.view());
    return;
  }
  aOther.Changing();
  bits_ = aOther.bits_ & ~kResident;
  aOther.SetEmpty();
}

TXmlString& TXmlString::operator=(TXmlString&& aOther) {
  if (this == &aOther) return *this;
  if (!aOther.owned() || aOther.InArena()) return Assign(aOther.view());
  Changing();
  aOther.Changing();
  if (owned()) FreeBuffer();
  bits_ = (aOther.bits_ & ~kResident) | (bits_ & kResident);
  aOther.SetEmpty();
  return *this;
}

char* TXmlString::NewBuffer(std::size_t aCapacity) {
  auto* header = static_cast<BufferHeader*>(::operator new(sizeof(BufferHeader) + aCapacity + 1));
  // The flags live in the top bits of the address: an address that uses them
  // cannot be kept.
  if ((Address(reinterpret_cast<const char*>(header + 1) + aCapacity) & ~kAddress) != 0) {
    ::operator delete(header);
    throw std::bad_alloc();
  }
  header->capacity = aCapacity;
  header->size = 0;
  return reinterpret_cast<char*>(header + 1);
}

char* TXmlString::NewBufferHere(std::size_t aCapacity) {
  if (!resident()) return NewBuffer(aCapacity);
  TXmlArena* arena = TXmlArena::ArenaAt(this);
  if (!TXmlBuildArena::IsOpen(arena)) return NewBuffer(aCapacity);
  auto* header = reinterpret_cast<BufferHeader*>(arena->AllocateBytes(sizeof(BufferHeader) + aCapacity + 1));
  if ((Address(reinterpret_cast<const char*>(header + 1) + aCapacity) & ~kAddress) != 0) throw std::bad_alloc();
  header->capacity = aCapacity | kArenaBuffer;
  header->size = 0;
  return reinterpret_cast<char*>(header + 1);
}

void TXmlString::FreeBuffer() noexcept {
  if (!InArena()) ::operator delete(Header());
}

void TXmlString::Adopt(char* aBuffer, std::uint32_t aSize) noexcept {
  aBuffer[aSize] = '\0';
  reinterpret_cast<BufferHeader*>(aBuffer)[-1].size = aSize;
  if (owned()) FreeBuffer();
  bits_ = Address(aBuffer) | kOwned | (bits_ & kResident);
}

void TXmlString::Changing() noexcept {
  if (resident()) TXmlArena::MarkChangedAt(this);
}

TXmlString& TXmlString::Assign(std::string_view aText) {
  const std::uint32_t size = CheckedSize(aText.size());
  Changing();
  if (owned() && Capacity() >= size) {
    // The text may be a part of this string itself.
    char* buffer = const_cast<char*>(data());
    std::memmove(buffer, aText.data(), size);
    buffer[size] = '\0';
    Header()->size = size;
    return *this;
  }
  if (size == 0) {
    clear();
    return *this;
  }
  char* buffer = NewBufferHere(size);
  std::memcpy(buffer, aText.data(), size);
  Adopt(buffer, size);
  return *this;
}

TXmlString& TXmlString::Append(std::string_view aText) {
  if (aText.empty()) return *this;
  const std::size_t oldSize = this->size();
  const std::uint32_t size = CheckedSize(oldSize + aText.size());
  Changing();
  if (owned() && Capacity() >= size) {
    // The text may be a part of this string: it stays where it is.
    char* buffer = const_cast<char*>(data());
    std::memmove(buffer + oldSize, aText.data(), aText.size());
    buffer[size] = '\0';
    Header()->size = size;
    return *this;
  }
  std::size_t capacity = std::max<std::size_t>(size, std::min<std::size_t>(kMaxSize, oldSize * 2));
  char* buffer = NewBufferHere(capacity);
  std::memcpy(buffer, data(), oldSize);
  std::memcpy(buffer + oldSize, aText.data(), aText.size());
  Adopt(buffer, size);
  return *this;
}

TXmlString& TXmlString::append(size_type aCount, char aChar) {
  std::string text(aCount, aChar);
  return Append(text);
}

void TXmlString::clear() noexcept {
  Changing();
  if (owned()) FreeBuffer();
  SetEmpty();
}

std::string TXmlString::Join(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}

std::ostream& operator<<(std::ostream& aStream, const TXmlString& aText) { return aStream << aText.view(); }
