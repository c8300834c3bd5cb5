// Text of the canvas. Texts are 8-bit in the machine's ANSI code page; they
// become Unicode before they are measured and drawn. Glyphs are blended onto
// the pixels by their anti-aliased coverage in the font colour; a solid brush
// first fills the text cell (TextOut) or the whole rectangle (TextRect).

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/CanvasDevice.h"
#include "platform/vcl/FontEngine.h"
#include "platform/win/CodePage.h"

using namespace CanvasDetail;

namespace {

bool IsMultiByteCodePage(UINT codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == CP_UTF8;
}

// The Unicode character of every byte of a single-byte code page.
const std::array<char16_t, 256>& ByteTable(UINT codePage) {
  static std::mutex mutex;
  static std::map<UINT, std::array<char16_t, 256>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = tables.find(codePage);
  if (it == tables.end()) {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
      const std::u16string wide = MultiByteToWide(codePage, std::string(1, static_cast<char>(b)));
      table[b] = wide.size() == 1 ? wide[0] : u'\uFFFD';
    }
    it = tables.emplace(codePage, table).first;
  }
  return it->second;
}

std::u16string ToUnicode(const std::string& text) {
  const UINT codePage = GetACP();
  if (IsMultiByteCodePage(codePage)) return MultiByteToWide(CP_ACP, text);
  const std::array<char16_t, 256>& table = ByteTable(codePage);
  std::u16string out(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = table[static_cast<unsigned char>(text[i])];
  return out;
}

// The length of the character that starts at `at` in a text of a multi-byte
// code page, as the conversion reads it: a byte that begins no whole
// character is one on its own (the conversion makes it a replacement and
// starts again at the next byte).
std::size_t CharLength(UINT codePage, std::string_view text, std::size_t at, const std::array<char16_t, 256>& singles) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  if (codePage == CP_UTF8) {
    const std::size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || lead >= 0xF8) return 1;
    for (std::size_t k = 1; k < length; ++k)
      if (at + k >= text.size() || (static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 1;
    return length;
  }
  // The double-byte code pages: a lead byte means nothing alone and makes one
  // character with the byte after it.
  if (singles[lead] != u'\uFFFD' || at + 1 >= text.size()) return 1;
  return MultiByteToWide(codePage, text.substr(at, 2)).size() == 1 ? 2 : 1;
}

int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

std::uint32_t BlendCoverage(std::uint32_t color, std::uint32_t dst, unsigned coverage) {
  if (coverage >= 255) return color;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t c = (color >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= ((c * coverage + d * (255 - coverage) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

TSize TCanvas::TextExtent(const std::string& text) {
  const auto font = Font->Realize();
  return {ClampInt(font->TextWidth(ToUnicode(text))), font->Metrics().Height};
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }

namespace {

// Calls visit(i, width) for i from 1 to the text's length, in order, with the
// width of the text's first i bytes as TextWidth measures them: the sum of
// the advances of the whole characters before them plus, inside a character
// of a multi-byte code page, the width of its bytes so far converted alone
// (the conversion starts afresh at each character).
template <class Visit>
void ForEachPrefixWidth(const SizedFont& font, std::string_view text, Visit visit) {
  const UINT codePage = GetACP();
  const std::array<char16_t, 256>& singles = ByteTable(codePage);
  // Every byte of a single-byte code page is one character; so are the bytes
  // below 0x80 that begin a character in the multi-byte ones.
  std::array<int, 256> advance{};
  for (int b = 0; b < 256; ++b) advance[b] = font.Advance(singles[b]);
  const bool multiByte = IsMultiByteCodePage(codePage);
  long long width = 0;
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const std::size_t length = multiByte ? CharLength(codePage, text, at, singles) : 1;
    if (length == 1 && (!multiByte || byte < 0x80)) {
      width += advance[byte];
    } else {
      for (std::size_t part = 1; part < length; ++part)
        visit(at + part, ClampInt(width + font.TextWidth(MultiByteToWide(codePage, text.substr(at, part)))));
      width += font.TextWidth(MultiByteToWide(codePage, text.substr(at, length)));
    }
    at += length;
    visit(at, ClampInt(width));
  }
}

}  // namespace

std::vector<int> TCanvas::TextPrefixWidths(std::string_view text) {
  std::vector<int> widths(text.size() + 1, 0);
  ForEachPrefixWidth(*Font->Realize(), text, [&](std::size_t i, int width) { widths[i] = width; });
  return widths;
}

int TCanvas::TextPositionAt(std::string_view text, int x) {
  int best = 0;
  long long bestDistance = std::llabs(static_cast<long long>(x));
  ForEachPrefixWidth(*Font->Realize(), text, [&](std::size_t i, int width) {
    const long long distance = std::llabs(static_cast<long long>(x) - width);
    if (distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  });
  return best;
}

int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

void TCanvas::TextOut(int x, int y, const std::string& text) { DrawText(nullptr, x, y, text, Brush->Style == bsSolid); }

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
  DrawText(&rect, x, y, text, Brush->Style == bsSolid);
}

void TCanvas::DrawText(const TRect* clip, int x, int y, const std::string& text, bool opaqueCell) {
  const auto font = Font->Realize();
  const FontMetrics& m = font->Metrics();
  const std::u16string chars = ToUnicode(text);
  const long long width = font->TextWidth(chars);
  Device d;
  if (GetDevice(d)) {
    if (clip != nullptr) {
      d.clipL = std::max<long long>(d.clipL, clip->Left + d.ox);
      d.clipT = std::max<long long>(d.clipT, clip->Top + d.oy);
      d.clipR = std::min<long long>(d.clipR, clip->Right + d.ox);
      d.clipB = std::min<long long>(d.clipB, clip->Bottom + d.oy);
    }
    if (d.clipL < d.clipR && d.clipT < d.clipB) {
      const long long left = x + d.ox, top = y + d.oy, baseline = top + m.Ascent;
      if (opaqueCell) {
        // The cell of the text, or the whole rectangle of TextRect.
        const long long fl = clip ? clip->Left + d.ox : left, fr = clip ? clip->Right + d.ox : left + width;
        const long long ft = clip ? clip->Top + d.oy : top, fb = clip ? clip->Bottom + d.oy : top + m.Height;
        const std::uint32_t bk = ToPixel(Brush->Color);
        for (long long row = std::max(ft, d.clipT); row < std::min(fb, d.clipB); ++row) {
          std::uint32_t* p = &d.At(0, row);
          for (long long col = std::max(fl, d.clipL); col < std::min(fr, d.clipR); ++col) p[col] = bk;
        }
      }
      const std::uint32_t color = ToPixel(Font->Color);
      // Glyphs may reach a little beyond their advance (italics).
      const long long slack = m.MaxCharWidth + m.Height;
      long long pen = left;
      for (char16_t c : chars) {
        if (pen > d.clipR + slack) break;
        const int advance = font->Advance(c);
        if (pen + advance + slack >= d.clipL) {
          if (const GlyphImage* g = font->Glyph(c)) {
            const long long gx = pen + g->Left, gy = baseline - g->Top;
            const long long r0 = std::max(gy, d.clipT), r1 = std::min(gy + g->Height, d.clipB);
            const long long c0 = std::max(gx, d.clipL), c1 = std::min(gx + g->Width, d.clipR);
            for (long long row = r0; row < r1; ++row) {
              const std::uint8_t* cov = g->Coverage.data() + (row - gy) * g->Width;
              std::uint32_t* p = &d.At(0, row);
              for (long long col = c0; col < c1; ++col)
                if (const unsigned a = cov[col - gx]) p[col] = BlendCoverage(color, p[col], a);
            }
          }
        }
        pen += advance;
      }
      auto line = [&](long long firstRow, int thickness) {
        for (long long row = std::max(firstRow, d.clipT); row < std::min(firstRow + thickness, d.clipB); ++row) {
          std::uint32_t* p = &d.At(0, row);
          for (long long col = std::max(left, d.clipL); col < std::min(left + width, d.clipR); ++col) p[col] = color;
        }
      };
      if (Font->Underline()) line(baseline + m.UnderlineOffset, m.UnderlineThickness);
      if (Font->StrikeOut()) line(baseline - m.StrikeOutOffset, m.StrikeOutThickness);
    }
  }
  if (clip == nullptr) MoveTo(ClampInt(x + width), y);
}
