#pragma once
// Fonts through FreeType. The class library's font names map to Debian's
// fonts: "Arial" to Liberation Sans, "Courier New" to Liberation Mono, "Times
// New Roman" to Liberation Serif, and "Verdana", "Tahoma", "Segoe UI", "MS
// Sans Serif" and every other name to DejaVu Sans; bold and italic pick the
// family's bold, italic (oblique) and bold italic files.
//
// Sizes follow the class library: a negative height is the character height
// (the em, internal leading excluded) in pixels, a positive height the cell
// height (ascent + descent). Metrics come from the font's tables with integer
// arithmetic, and a glyph's advance is its design advance rounded to whole
// pixels, so text widths are the same on every machine that has the same font
// files. Glyphs are rendered anti-aliased (8-bit coverage).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Metrics of a font at one size, in pixels, as a text metric record gives them.
struct FontMetrics {
  int Ascent = 0;           // baseline to the top of the cell
  int Descent = 0;          // baseline to the bottom of the cell
  int Height = 0;           // Ascent + Descent
  int InternalLeading = 0;  // Height - the em size
  int ExternalLeading = 0;  // extra space the font asks for between lines
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int UnderlineOffset = 0;  // top row of the underline, counted down from the baseline
  int UnderlineThickness = 1;
  int StrikeOutOffset = 0;  // top row of the strike-out line, counted up from the baseline
  int StrikeOutThickness = 1;
};

// A rendered glyph: coverage rows (0 = none, 255 = full) placed relative to
// the pen position on the baseline.
struct GlyphImage {
  int Left = 0;  // from the pen position to the first column
  int Top = 0;   // from the baseline up to the first row
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Coverage;  // Width * Height bytes, rows from the top
};

class FontEngine;

// One font file at one pixel size. Shared by every canvas that uses it.
class SizedFont {
 public:
  const FontMetrics& Metrics() const { return metrics_; }
  int PixelSize() const { return ppem_; }
  // Advance of one character in pixels.
  int Advance(char32_t c) const;
  // Sum of the advances (no kerning, as the class library's text output).
  long long TextWidth(std::u16string_view text) const;
  // The rendered glyph of a character; nullptr when nothing is drawn for it
  // (a blank, or no font file at all). The pointer stays valid while the
  // font lives.
  const GlyphImage* Glyph(char32_t c) const;

  ~SizedFont();
  SizedFont(const SizedFont&) = delete;
  SizedFont& operator=(const SizedFont&) = delete;

 private:
  friend class FontEngine;
  struct Impl;
  SizedFont(std::unique_ptr<Impl> impl, int ppem, const FontMetrics& metrics);
  std::unique_ptr<Impl> impl_;
  int ppem_;
  FontMetrics metrics_;
};

class FontEngine {
 public:
  static FontEngine& Instance();

  // The font for a name, height (see above) and styles.
  std::shared_ptr<const SizedFont> Font(const std::string& name, int height, bool bold, bool italic);

  // The font file that a name and styles map to; empty when no candidate
  // file exists on this machine.
  static std::string FontFile(const std::string& name, bool bold, bool italic);

  ~FontEngine();
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

 private:
  FontEngine();
  struct State;
  std::unique_ptr<State> state_;
};
