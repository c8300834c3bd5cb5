#include "host/sim/ShownText.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>

#include "platform/win/CodePage.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kUtf8 = "UTF-8";

std::string EnvironmentEncoding() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return kUtf8;
  std::string codeset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  if (codeset.empty() || codeset == "ANSI_X3.4-1968") return kUtf8;
  return codeset;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// UTF-8 in `encoding`; '?' for each character it cannot show.
std::string FromUtf8(std::string utf8, const std::string& encoding) {
  iconv_t cd = iconv_open(encoding.c_str(), kUtf8);
  if (cd == reinterpret_cast<iconv_t>(-1)) return utf8;
  std::string out;
  char* in = utf8.data();
  std::size_t left = utf8.size();
  while (left > 0) {
    char buffer[256];
    char* to = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t converted = iconv(cd, &in, &left, &to, &room);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    if (converted != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    do {
      ++in;
      --left;
    } while (left > 0 && IsContinuationByte(*in));
    out += '?';
  }
  iconv_close(cd);
  return out;
}

}  // namespace

const std::string& TerminalEncoding() {
  static const std::string encoding = EnvironmentEncoding();
  return encoding;
}

std::string ShownText(std::string_view text, const std::string& encoding) {
  // A path the plug-ins name as the file system holds it (UTF-8) is shown
  // through the code page, as in the host's window (ShownPath).
  std::string utf8 = WideToMultiByte(CP_UTF8, MultiByteToWide(CP_ACP, ShownPath(text)));
  return encoding == kUtf8 ? utf8 : FromUtf8(std::move(utf8), encoding);
}
