#include "core/XmlString.h"

#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "core/XmlArena.h"

namespace {

constexpr std::size_t kMaxSize = std::numeric_limits<std::uint32_t>::max();

std::uint32_t CheckedSize(std::size_t aSize) {
  if (aSize > kMaxSize) throw std::length_error("XML text longer than 4 GiB");
  return static_cast<std::uint32_t>(aSize);
}

}  // namespace

TXmlString::TXmlString(TXmlString&& aOther) {
  if (!aOther.owned()) {
    Assign(aOther.view());
    return;
  }
  aOther.Changing();
  data_ = aOther.data_;
  size_ = aOther.size_;
  flags_ = kOwned;
  aOther.data_ = "";
  aOther.size_ = 0;
  aOther.flags_ &= ~kOwned;
}

TXmlString& TXmlString::operator=(TXmlString&& aOther) {
  if (this == &aOther) return *this;
  if (!aOther.owned()) return Assign(aOther.view());
  Changing();
  aOther.Changing();
  if (owned()) FreeBuffer();
  data_ = aOther.data_;
  size_ = aOther.size_;
  flags_ |= kOwned;
  aOther.data_ = "";
  aOther.size_ = 0;
  aOther.flags_ &= ~kOwned;
  return *this;
}

char* TXmlString::NewBuffer(std::size_t aCapacity) {
  auto* word = static_cast<std::size_t*>(::operator new(sizeof(std::size_t) + aCapacity + 1));
  *word = aCapacity;
  return reinterpret_cast<char*>(word + 1);
}

void TXmlString::FreeBuffer() noexcept {
  ::operator delete(const_cast<std::size_t*>(reinterpret_cast<const std::size_t*>(data_) - 1));
}

void TXmlString::Adopt(char* aBuffer, std::uint32_t aSize) noexcept {
  aBuffer[aSize] = '\0';
  if (owned()) FreeBuffer();
  data_ = aBuffer;
  size_ = aSize;
  flags_ |= kOwned;
}

void TXmlString::Changing() noexcept {
  if ((flags_ & kResident) != 0) TXmlArena::MarkChangedAt(this);
}

TXmlString& TXmlString::Assign(std::string_view aText) {
  const std::uint32_t size = CheckedSize(aText.size());
  Changing();
  if (owned() && Capacity() >= size) {
    // The text may be a part of this string itself.
    char* buffer = const_cast<char*>(data_);
    std::memmove(buffer, aText.data(), size);
    buffer[size] = '\0';
    size_ = size;
    return *this;
  }
  if (size == 0) {
    clear();
    return *this;
  }
  char* buffer = NewBuffer(size);
  std::memcpy(buffer, aText.data(), size);
  Adopt(buffer, size);
  return *this;
}

TXmlString& TXmlString::Append(std::string_view aText) {
  if (aText.empty()) return *this;
  const std::uint32_t size = CheckedSize(std::size_t{size_} + aText.size());
  Changing();
  if (owned() && Capacity() >= size) {
    // The text may be a part of this string: it stays where it is.
    char* buffer = const_cast<char*>(data_);
    std::memmove(buffer + size_, aText.data(), aText.size());
    buffer[size] = '\0';
    size_ = size;
    return *this;
  }
  std::size_t capacity = std::max<std::size_t>(size, std::min<std::size_t>(kMaxSize, std::size_t{size_} * 2));
  char* buffer = NewBuffer(capacity);
  std::memcpy(buffer, data_, size_);
  std::memcpy(buffer + size_, aText.data(), aText.size());
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
  data_ = "";
  size_ = 0;
  flags_ &= ~kOwned;
}

std::string TXmlString::Join(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}

std::ostream& operator<<(std::ostream& aStream, const TXmlString& aText) { return aStream << aText.view(); }
