#include "platform/vcl/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <climits>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/vcl/SysUtils.h"

namespace {

// Sizes beyond this are drawn at this size: a font size that comes from a
// project file must not make the renderer allocate huge glyph images.
constexpr int kMaxPixelSize = 512;

// Default em size for a height of 0 ("let the font mapper choose").
constexpr int kDefaultPixelSize = 12;

// Where Debian installs the font packages.
constexpr const char* kFontFolders[] = {
    "/usr/share/fonts/truetype/liberation",
    "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/dejavu",
};

struct Family {
  const char* regular;
  const char* bold;
  const char* italic;
  const char* boldItalic;
};

constexpr Family kLiberationSans = {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                    "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"};
constexpr Family kLiberationMono = {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf",
                                    "LiberationMono-Italic.ttf", "LiberationMono-BoldItalic.ttf"};
constexpr Family kLiberationSerif = {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
                                     "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"};
constexpr Family kDejaVuSans = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf",
                                "DejaVuSans-BoldOblique.ttf"};

const Family& FamilyOf(const std::string& name) {
  if (strcasecmp(name.c_str(), "Arial") == 0) return kLiberationSans;
  if (strcasecmp(name.c_str(), "Courier New") == 0) return kLiberationMono;
  if (strcasecmp(name.c_str(), "Times New Roman") == 0) return kLiberationSerif;
  // Verdana, Tahoma, Segoe UI, MS Sans Serif and every unknown name.
  return kDejaVuSans;
}

const char* StyleFile(const Family& family, bool bold, bool italic) {
  if (bold && italic) return family.boldItalic;
  if (bold) return family.bold;
  if (italic) return family.italic;
  return family.regular;
}

std::string FindFile(const char* fileName) {
  for (const char* folder : kFontFolders) {
    std::string path = std::string(folder) + "/" + fileName;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return "";
}

// units * ppem / upem rounded to the nearest integer, halves away from zero.
int Scale(long long units, int ppem, int upem) {
  const long long magnitude = (std::llabs(units) * ppem + upem / 2) / upem;
  return static_cast<int>(units < 0 ? -magnitude : magnitude);
}

// The design numbers a size is computed from.
struct DesignMetrics {
  int upem = 2048;
  int winAscent = 1901;  // DejaVu Sans values, used when no font file is found
  int winDescent = 483;
  int lineGap = 0;
  int hheaAscent = 1901;
  int hheaDescent = -483;
  int avgCharWidth = 1038;
  int maxAdvance = 4096;
  int underlinePosition = -175;
  int underlineThickness = 90;
  int strikeOutPosition = 530;
  int strikeOutSize = 102;
  int fallbackAdvance = 1233;
};

DesignMetrics ReadDesign(FT_Face face) {
  DesignMetrics d;
  if (face == nullptr) return d;
  d.upem = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  d.hheaAscent = face->ascender;
  d.hheaDescent = face->descender;
  d.winAscent = face->ascender;
  d.winDescent = -face->descender;
  d.maxAdvance = face->max_advance_width;
  d.underlinePosition = face->underline_position;
  d.underlineThickness = face->underline_thickness;
  d.strikeOutPosition = d.hheaAscent / 4;
  d.strikeOutSize = d.underlineThickness;
  d.avgCharWidth = d.upem / 2;
  if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) d.lineGap = hhea->Line_Gap;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
    d.winAscent = os2->usWinAscent;
    d.winDescent = os2->usWinDescent;
    d.avgCharWidth = os2->xAvgCharWidth;
    d.strikeOutPosition = os2->yStrikeoutPosition;
    d.strikeOutSize = os2->yStrikeoutSize;
  }
  if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST))) {
    d.underlinePosition = post->underlinePosition;
    d.underlineThickness = post->underlineThickness;
  }
  if (d.winAscent + d.winDescent <= 0) {
    d.winAscent = d.upem * 9 / 10;
    d.winDescent = d.upem - d.winAscent;
  }
  return d;
}

int PixelSizeFor(int height, const DesignMetrics& d) {
  long long ppem;
  if (height < 0)
    ppem = -static_cast<long long>(height);
  else if (height > 0)
    ppem = (static_cast<long long>(height) * d.upem * 2 + (d.winAscent + d.winDescent)) /
           (2LL * (d.winAscent + d.winDescent));
  else
    ppem = kDefaultPixelSize;
  return static_cast<int>(std::clamp<long long>(ppem, 1, kMaxPixelSize));
}

FontMetrics MetricsFor(int ppem, const DesignMetrics& d) {
  FontMetrics m;
  m.Ascent = Scale(d.winAscent, ppem, d.upem);
  m.Descent = Scale(d.winDescent, ppem, d.upem);
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = std::max(0, m.Height - ppem);
  const int extra = d.lineGap - ((d.winAscent + d.winDescent) - (d.hheaAscent - d.hheaDescent));
  m.ExternalLeading = std::max(0, Scale(extra, ppem, d.upem));
  m.AveCharWidth = std::max(1, Scale(d.avgCharWidth, ppem, d.upem));
  m.MaxCharWidth = std::max(1, Scale(d.maxAdvance, ppem, d.upem));
  m.UnderlineThickness = std::max(1, Scale(d.underlineThickness, ppem, d.upem));
  m.UnderlineOffset =
      std::clamp(Scale(-d.underlinePosition, ppem, d.upem), 0, std::max(0, m.Descent - m.UnderlineThickness));
  m.StrikeOutThickness = std::max(1, Scale(d.strikeOutSize, ppem, d.upem));
  m.StrikeOutOffset = std::clamp(Scale(d.strikeOutPosition, ppem, d.upem), 0, std::max(0, m.Ascent));
  return m;
}

}  // namespace

// --- SizedFont ---

// The advances of the first characters (Latin, Greek, Cyrillic, Hebrew,
// Arabic) are read without the lock: text is measured and drawn a character
// at a time, and a long text has a million of them.
constexpr char32_t kFastAdvances = 0x800;
constexpr int kAdvanceUnknown = INT_MIN;

struct SizedFont::Impl {
  Impl() {
    for (std::atomic<int>& a : fastAdvances) a.store(kAdvanceUnknown, std::memory_order_relaxed);
  }
  std::mutex* mutex = nullptr;  // the engine's: FreeType faces are shared between sizes
  FT_Face face = nullptr;       // null when no font file was found
  DesignMetrics design;
  std::array<std::atomic<int>, kFastAdvances> fastAdvances;
  std::unordered_map<char32_t, int> advances;
  std::unordered_map<char32_t, GlyphImage> glyphs;
};

SizedFont::SizedFont(std::unique_ptr<Impl> impl, int ppem, const FontMetrics& metrics)
    : impl_(std::move(impl)), ppem_(ppem), metrics_(metrics) {}

SizedFont::~SizedFont() = default;

int SizedFont::Advance(char32_t c) const {
  if (c < kFastAdvances) {
    const int known = impl_->fastAdvances[c].load(std::memory_order_relaxed);
    if (known != kAdvanceUnknown) return known;
  }
  std::lock_guard<std::mutex> lock(*impl_->mutex);
  auto it = impl_->advances.find(c);
  if (it != impl_->advances.end()) return it->second;
  long long units = impl_->design.fallbackAdvance;
  if (impl_->face != nullptr) {
    FT_Fixed advance = 0;
    const FT_UInt index = FT_Get_Char_Index(impl_->face, c);
    if (FT_Get_Advance(impl_->face, index, FT_LOAD_NO_SCALE, &advance) == 0) units = advance;
  }
  const int pixels = Scale(units, ppem_, impl_->design.upem);
  impl_->advances.emplace(c, pixels);
  if (c < kFastAdvances) impl_->fastAdvances[c].store(pixels, std::memory_order_relaxed);
  return pixels;
}

long long SizedFont::TextWidth(std::u16string_view text) const {
  long long width = 0;
  for (char16_t c : text) width += Advance(c);
  return width;
}

const GlyphImage* SizedFont::Glyph(char32_t c) const {
  std::lock_guard<std::mutex> lock(*impl_->mutex);
  auto it = impl_->glyphs.find(c);
  if (it == impl_->glyphs.end()) {
    GlyphImage image;
    FT_Face face = impl_->face;
    if (face != nullptr && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem_)) == 0) {
      const FT_UInt index = FT_Get_Char_Index(face, c);
      if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) == 0 &&
          FT_Render_Glyph(face->glyph, FT_RENDER_MODE_LIGHT) == 0) {
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.width > 0 && bitmap.rows > 0) {
          image.Left = face->glyph->bitmap_left;
          image.Top = face->glyph->bitmap_top;
          image.Width = static_cast<int>(bitmap.width);
          image.Height = static_cast<int>(bitmap.rows);
          image.Coverage.resize(static_cast<std::size_t>(image.Width) * image.Height);
          const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
          for (int y = 0; y < image.Height; ++y) {
            const unsigned char* row = bitmap.pitch >= 0
                                           ? bitmap.buffer + static_cast<long>(y) * bitmap.pitch
                                           : bitmap.buffer + static_cast<long>(image.Height - 1 - y) * -bitmap.pitch;
            for (int x = 0; x < image.Width; ++x)
              image.Coverage[static_cast<std::size_t>(y) * image.Width + x] =
                  static_cast<std::uint8_t>(std::min(255, row[x] * 255 / levels));
          }
        }
      }
    }
    it = impl_->glyphs.emplace(c, std::move(image)).first;
  }
  return it->second.Width > 0 ? &it->second : nullptr;
}

// --- FontEngine ---

struct FontEngine::State {
  std::mutex mutex;
  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;  // by file path; null when the file did not load
  std::map<std::string, std::shared_ptr<const SizedFont>> sized;
  std::map<std::string, std::string> files;  // "name|bold|italic" (name lower-cased) to font file
};

FontEngine::FontEngine() : state_(std::make_unique<State>()) {
  if (FT_Init_FreeType(&state_->library) != 0) state_->library = nullptr;
}

FontEngine::~FontEngine() {
  for (auto& [path, face] : state_->faces)
    if (face != nullptr) FT_Done_Face(face);
  if (state_->library != nullptr) FT_Done_FreeType(state_->library);
}

FontEngine& FontEngine::Instance() {
  // Never destroyed: fonts handed out may be held by static objects until the
  // very end of the program.
  static FontEngine* engine = new FontEngine();
  return *engine;
}

std::string FontEngine::FontFile(const std::string& name, bool bold, bool italic) {
  const Family& family = FamilyOf(name);
  for (const char* candidate :
       {StyleFile(family, bold, italic), family.regular, StyleFile(kDejaVuSans, bold, italic), kDejaVuSans.regular}) {
    std::string path = FindFile(candidate);
    if (!path.empty()) return path;
  }
  return "";
}

std::shared_ptr<const SizedFont> FontEngine::Font(const std::string& name, int height, bool bold, bool italic) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  std::string fileKey = LowerCase(name);
  fileKey += bold ? "|b" : "|";
  fileKey += italic ? "|i" : "|";
  auto file = state_->files.find(fileKey);
  if (file == state_->files.end() && state_->files.size() >= 1024) state_->files.clear();
  if (file == state_->files.end()) file = state_->files.emplace(fileKey, FontFile(name, bold, italic)).first;
  const std::string path = file->second;
  FT_Face face = nullptr;
  if (!path.empty() && state_->library != nullptr) {
    auto it = state_->faces.find(path);
    if (it == state_->faces.end()) {
      FT_Face loaded = nullptr;
      if (FT_New_Face(state_->library, path.c_str(), 0, &loaded) != 0) loaded = nullptr;
      it = state_->faces.emplace(path, loaded).first;
    }
    face = it->second;
  }
  const DesignMetrics design = ReadDesign(face);
  const int ppem = PixelSizeFor(height, design);
  const std::string key = path + "|" + std::to_string(ppem);
  auto found = state_->sized.find(key);
  if (found != state_->sized.end()) return found->second;

  // Sizes nobody holds any more are dropped once the table grows large.
  if (state_->sized.size() >= 256) {
    for (auto it = state_->sized.begin(); it != state_->sized.end();)
      it = it->second.use_count() == 1 ? state_->sized.erase(it) : std::next(it);
  }
  auto impl = std::make_unique<SizedFont::Impl>();
  impl->mutex = &state_->mutex;
  impl->face = face;
  impl->design = design;
  std::shared_ptr<const SizedFont> font(new SizedFont(std::move(impl), ppem, MetricsFor(ppem, design)));
  state_->sized.emplace(key, font);
  return font;
}
