#pragma once
// The text of a name or a value in the document model: a byte string with the
// reading side of std::string, that converts to std::string_view and (by copy)
// to std::string, so that callers use it like the strings they had.
//
// A string is either owned (its bytes on the heap, NUL-terminated, freed with
// it) or a view of bytes that outlive it: the texts of a parsed tree point into
// the copy of the document that the tree's TXmlArena keeps, so reading a file
// copies no name or value one by one, and freeing the tree frees none. Every
// change makes a string owned. A copy is always owned, so a copy never points
// into an arena that may go before it.
//
// A string inside a node or attribute that the reader built in an arena is
// "resident": its first change tells that arena that its tree is no longer as
// read (TXmlArena::MarkChangedAt), so that the tree is then freed node by node.
//
// The string is one word, so that a parsed tree (a node has two strings, an
// attribute two) takes as little memory as it can: the address of the bytes,
// with two flags and a view's size in its top 16 bits, which no user-space
// address uses. An owned buffer keeps its size and capacity in front of its
// bytes. A view holds no NUL before the one that ends it (the reader's texts
// end at the first NUL of the document, and no entity decodes to one), so its
// size is where that NUL is; a view shorter than kLongView keeps its size, so
// that the writer and the name look-ups need not measure it each time.
//
// Sizes are limited to 32 bits; a longer text throws std::length_error.

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

class TXmlString {
 public:
  using size_type = std::size_t;
  using const_iterator = const char*;
  using iterator = const char*;
  static constexpr size_type npos = std::string_view::npos;

  TXmlString() noexcept = default;
  explicit TXmlString(std::string_view aText) { Assign(aText); }
  TXmlString(const TXmlString& aOther) : TXmlString(aOther.view()) {}
  // Takes an owned buffer over; a view is copied.
  TXmlString(TXmlString&& aOther);
  ~TXmlString() {
    if (owned()) FreeBuffer();
  }

  TXmlString& operator=(const TXmlString& aOther) { return Assign(aOther.view()); }
  TXmlString& operator=(TXmlString&& aOther);
  TXmlString& operator=(std::string_view aText) { return Assign(aText); }
  TXmlString& operator=(const std::string& aText) { return Assign(aText); }
  TXmlString& operator=(const char* aText) { return Assign(aText); }
  TXmlString& operator=(char aChar) { return Assign(std::string_view(&aChar, 1)); }

  // --- reading --------------------------------------------------------------
  std::string_view view() const noexcept { return {data(), size()}; }
  operator std::string_view() const noexcept { return view(); }
  operator std::string() const { return std::string(view()); }
  std::string str() const { return std::string(view()); }

  const char* c_str() const noexcept { return data(); }
  const char* data() const noexcept { return reinterpret_cast<const char*>(bits_ & kAddress); }
  size_type size() const noexcept { return owned() ? Header()->size : ViewSize(); }
  size_type length() const noexcept { return size(); }
  bool empty() const noexcept { return owned() ? Header()->size == 0 : data()[0] == '\0'; }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size(); }
  char operator[](size_type aIndex) const noexcept { return data()[aIndex]; }
  char at(size_type aIndex) const { return view().at(aIndex); }
  char front() const noexcept { return data()[0]; }
  char back() const noexcept { return data()[size() - 1]; }

  std::string substr(size_type aPos = 0, size_type aCount = npos) const {
    return std::string(view().substr(aPos, aCount));
  }
  template <typename... Args>
  size_type find(Args&&... aArgs) const {
    return view().find(std::forward<Args>(aArgs)...);
  }
  template <typename... Args>
  size_type rfind(Args&&... aArgs) const {
    return view().rfind(std::forward<Args>(aArgs)...);
  }
  template <typename... Args>
  size_type find_first_of(Args&&... aArgs) const {
    return view().find_first_of(std::forward<Args>(aArgs)...);
  }
  template <typename... Args>
  size_type find_last_of(Args&&... aArgs) const {
    return view().find_last_of(std::forward<Args>(aArgs)...);
  }
  template <typename... Args>
  size_type find_first_not_of(Args&&... aArgs) const {
    return view().find_first_not_of(std::forward<Args>(aArgs)...);
  }
  template <typename... Args>
  size_type find_last_not_of(Args&&... aArgs) const {
    return view().find_last_not_of(std::forward<Args>(aArgs)...);
  }
  template <typename... Args>
  int compare(Args&&... aArgs) const {
    return view().compare(std::forward<Args>(aArgs)...);
  }
  bool starts_with(std::string_view aText) const noexcept { return view().starts_with(aText); }
  bool starts_with(char aChar) const noexcept { return view().starts_with(aChar); }
  bool ends_with(std::string_view aText) const noexcept { return view().ends_with(aText); }
  bool ends_with(char aChar) const noexcept { return view().ends_with(aChar); }
  // Compares byte by byte, without a call: names are short and compared far
  // more often than they match (attribute look-ups). A long view is compared up
  // to its NUL without measuring it first.
  bool Equals(std::string_view aText) const noexcept {
    const char* p = data();
    if (!owned() && (bits_ & kViewSize) == kViewSize) {
      for (size_type i = 0; i < aText.size(); ++i)
        if (p[i] != aText[i] || p[i] == '\0') return false;
      return p[aText.size()] == '\0';
    }
    const size_type n = aText.size();
    if (size() != n) return false;
    // Up to 16 bytes by two loads from each text that stay inside it (and may
    // overlap): a name is compared in a few instructions whatever its length.
    if (n >= 8 && n <= 16)
      return Load<std::uint64_t>(p) == Load<std::uint64_t>(aText.data()) &&
             Load<std::uint64_t>(p + n - 8) == Load<std::uint64_t>(aText.data() + n - 8);
    if (n >= 4 && n < 8)
      return Load<std::uint32_t>(p) == Load<std::uint32_t>(aText.data()) &&
             Load<std::uint32_t>(p + n - 4) == Load<std::uint32_t>(aText.data() + n - 4);
    if (n > 16) return std::memcmp(p, aText.data(), n) == 0;
    for (size_type i = 0; i < n; ++i)
      if (p[i] != aText[i]) return false;
    return true;
  }

  // --- changing (the string becomes owned) ------------------------------------
  TXmlString& assign(std::string_view aText) { return Assign(aText); }
  TXmlString& assign(const char* aText, size_type aCount) { return Assign(std::string_view(aText, aCount)); }
  TXmlString& append(std::string_view aText) { return Append(aText); }
  TXmlString& append(const char* aText, size_type aCount) { return Append(std::string_view(aText, aCount)); }
  TXmlString& append(size_type aCount, char aChar);
  TXmlString& operator+=(std::string_view aText) { return Append(aText); }
  TXmlString& operator+=(char aChar) { return Append(std::string_view(&aChar, 1)); }
  void push_back(char aChar) { Append(std::string_view(&aChar, 1)); }
  void clear() noexcept;

  // --- comparing and joining ----------------------------------------------------
  friend bool operator==(const TXmlString& a, const TXmlString& b) noexcept { return a.Equals(b.view()); }
  friend bool operator==(const TXmlString& a, std::string_view b) noexcept { return a.Equals(b); }
  friend std::strong_ordering operator<=>(const TXmlString& a, const TXmlString& b) noexcept {
    return a.view() <=> b.view();
  }
  friend std::strong_ordering operator<=>(const TXmlString& a, std::string_view b) noexcept { return a.view() <=> b; }
  friend std::string operator+(const TXmlString& a, std::string_view b) { return Join(a.view(), b); }
  friend std::string operator+(std::string_view a, const TXmlString& b) { return Join(a, b.view()); }
  friend std::string operator+(const TXmlString& a, const TXmlString& b) { return Join(a.view(), b.view()); }
  friend std::string operator+(const TXmlString& a, char b) { return Join(a.view(), std::string_view(&b, 1)); }
  friend std::string operator+(char a, const TXmlString& b) { return Join(std::string_view(&a, 1), b.view()); }

  // --- the reader's side ----------------------------------------------------------
  // True while the bytes belong to this string.
  bool owned() const noexcept { return (bits_ & kOwned) != 0; }
  bool resident() const noexcept { return (bits_ & kResident) != 0; }

 private:
  friend class TmyXmlNode;
  friend class TmyXmlAttrNode;
  friend class TXmlReader;

  static constexpr std::uintptr_t kOwned = std::uintptr_t{1} << 63;
  static constexpr std::uintptr_t kResident = std::uintptr_t{1} << 62;
  // A view's size, in the 14 bits below the flags; kLongView (all ones): a
  // longer view, measured when asked. An owned string keeps 0 there.
  static constexpr int kViewSizeShift = 48;
  static constexpr std::size_t kLongView = (std::size_t{1} << 14) - 1;
  static constexpr std::uintptr_t kViewSize = std::uintptr_t{kLongView} << kViewSizeShift;
  static constexpr std::uintptr_t kAddress = (std::uintptr_t{1} << kViewSizeShift) - 1;
  // In front of an owned buffer's bytes. A buffer of a build arena
  // (XmlBuildArena.h) is marked in its capacity: it goes with its arena.
  struct BufferHeader {
    std::size_t capacity;
    std::size_t size;
  };
  static constexpr std::size_t kArenaBuffer = std::size_t{1} << 63;

  template <typename T>
  static T Load(const char* aBytes) noexcept {
    T value;
    std::memcpy(&value, aBytes, sizeof value);
    return value;
  }
  static std::uintptr_t Address(const char* aText) noexcept { return reinterpret_cast<std::uintptr_t>(aText); }
  // A resident view of aSize bytes followed by a NUL (and no NUL before it);
  // the string must be empty and not owned.
  void SetResidentView(const char* aData, std::size_t aSize) noexcept {
    bits_ = Address(aData) | kResident | (std::uintptr_t{std::min(aSize, kLongView)} << kViewSizeShift);
  }
  size_type ViewSize() const noexcept {
    const std::size_t size = (bits_ & kViewSize) >> kViewSizeShift;
    return size != kLongView ? size : std::strlen(data());
  }
  void MakeResident() noexcept { bits_ |= kResident; }
  // Drops the bytes (the caller freed an owned buffer): an empty view.
  void SetEmpty() noexcept { bits_ = Address("") | (bits_ & kResident); }

  TXmlString& Assign(std::string_view aText);
  TXmlString& Append(std::string_view aText);
  static std::string Join(std::string_view a, std::string_view b);
  const BufferHeader* Header() const noexcept { return reinterpret_cast<const BufferHeader*>(data()) - 1; }
  BufferHeader* Header() noexcept { return reinterpret_cast<BufferHeader*>(const_cast<char*>(data())) - 1; }
  std::size_t Capacity() const noexcept { return Header()->capacity & ~kArenaBuffer; }
  bool InArena() const noexcept { return (Header()->capacity & kArenaBuffer) != 0; }
  static char* NewBuffer(std::size_t aCapacity);
  // A buffer for this string: from the build arena open on this thread when
  // the string is in an object of that arena, else from the heap.
  char* NewBufferHere(std::size_t aCapacity);
  void FreeBuffer() noexcept;
  // Ends aBuffer's text of aSize bytes with a NUL and makes it this string's own,
  // freeing the buffer it had.
  void Adopt(char* aBuffer, std::uint32_t aSize) noexcept;
  void Changing() noexcept;

  std::uintptr_t bits_ = Address("");
};

std::ostream& operator<<(std::ostream& aStream, const TXmlString& aText);
