#include "platform/win/CodePage.h"

#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

namespace {

std::atomic<UINT> gAnsiCodePage{1252};

std::string IconvName(UINT codePage) {
  if (codePage == CP_ACP) codePage = GetACP();
  if (codePage == CP_UTF8) return "UTF-8";
  if (codePage == 437 || codePage == 850 || codePage == 852 || codePage == 866) return "CP" + std::to_string(codePage);
  if (codePage == 20127) return "ASCII";
  if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
  if (codePage == 20866) return "KOI8-R";
  return "CP" + std::to_string(codePage);
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The iconv conversions one thread opened, kept open for its life: opening
// one costs far more than converting a short text (a UI text, a name), which
// is what most conversions are. Few pairs of encodings are ever used; past
// kKept the oldest is closed.
class TOpenConverters {
 public:
  TOpenConverters() = default;
  TOpenConverters(const TOpenConverters&) = delete;
  TOpenConverters& operator=(const TOpenConverters&) = delete;
  ~TOpenConverters() {
    for (const Entry& entry : open_) ::iconv_close(entry.cd);
  }

  // The conversion from `from` to `to` in its initial state; kNoConverter
  // when iconv has none.
  iconv_t Get(const std::string& from, const std::string& to) {
    for (const Entry& entry : open_) {
      if (entry.from == from && entry.to == to) {
        ::iconv(entry.cd, nullptr, nullptr, nullptr, nullptr);
        return entry.cd;
      }
    }
    const iconv_t cd = ::iconv_open(to.c_str(), from.c_str());
    if (cd == kNoConverter) return cd;
    if (open_.size() == kKept) {
      ::iconv_close(open_.front().cd);
      open_.erase(open_.begin());
    }
    open_.push_back({from, to, cd});
    return cd;
  }

 private:
  static constexpr std::size_t kKept = 8;
  struct Entry {
    std::string from;
    std::string to;
    iconv_t cd;
  };
  std::vector<Entry> open_;
};

thread_local TOpenConverters tOpenConverters;

// Converts with iconv from `from` to `to`. Input that cannot be converted is
// replaced, one input unit at a time, by `replacement` (already in `to`).
std::string Convert(const std::string& from, const std::string& to, const char* in, std::size_t inLen, std::size_t unit,
                    const std::string& replacement) {
  iconv_t cd = tOpenConverters.Get(from, to);
  if (cd == kNoConverter) return std::string();
  std::string out;
  char buf[4096];
  char* src = const_cast<char*>(in);
  std::size_t left = inLen;
  while (left > 0) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    std::size_t r = ::iconv(cd, &src, &left, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip one unit and write the replacement.
      std::size_t skip = left < unit ? left : unit;
      src += skip;
      left -= skip;
      out += replacement;
      ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  // The end of the input: a conversion that holds back its last character
  // (1255 and 1258 wait for combining marks after a letter) writes it now.
  char* dst = buf;
  std::size_t room = sizeof buf;
  ::iconv(cd, nullptr, nullptr, &dst, &room);
  out.append(buf, static_cast<std::size_t>(dst - buf));
  return out;
}

}  // namespace

UINT GetACP() { return gAnsiCodePage.load(std::memory_order_relaxed); }

void SetAnsiCodePage(UINT codePage) { gAnsiCodePage.store(codePage, std::memory_order_relaxed); }

UINT AnsiCodePageOfLanguage(WORD lcid) {
  struct TLanguageCodePage {
    WORD primaryLanguage;
    UINT codePage;
  };
  static constexpr TLanguageCodePage kCodePages[] = {
      {0x05, 1250},  // Czech
      {0x0E, 1250},  // Hungarian
      {0x15, 1250},  // Polish
      {0x18, 1250},  // Romanian
      {0x1B, 1250},  // Slovak
      {0x1C, 1250},  // Albanian
      {0x24, 1250},  // Slovenian
      {0x02, 1251},  // Bulgarian
      {0x19, 1251},  // Russian
      {0x22, 1251},  // Ukrainian
      {0x23, 1251},  // Belarusian
      {0x08, 1253},  // Greek
      {0x1F, 1254},  // Turkish
      {0x0D, 1255},  // Hebrew
  };
  const WORD primary = lcid & 0x3FF;
  for (const TLanguageCodePage& entry : kCodePages)
    if (entry.primaryLanguage == primary) return entry.codePage;
  return 1252;
}

std::u16string MultiByteToWide(UINT codePage, std::string_view text) {
  static const std::string kReplacement("\xFD\xFF", 2);  // U+FFFD in UTF-16LE
  std::string bytes = Convert(IconvName(codePage), "UTF-16LE", text.data(), text.size(), 1, kReplacement);
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return out;
}

std::string WideToMultiByte(UINT codePage, std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return Convert("UTF-16LE", IconvName(codePage), bytes.data(), bytes.size(), 2, "?");
}
