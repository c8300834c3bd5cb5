#pragma once
// Test pictures written with the reference libraries (libpng, libjpeg, giflib)
// into a fresh folder that goes away with the fixture.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace picturetest {

// Red, green, blue, alpha.
struct Rgba {
  std::uint8_t r, g, b, a;
};

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The native path of an entry (the loader takes it as a system path).
  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Folder() const { return path_; }

 private:
  std::filesystem::path path_;
};

// An RGBA PNG (8 bits a channel), optionally Adam7-interlaced.
void WritePng(const std::string& file, int width, int height, const std::vector<Rgba>& pixels, bool interlaced = false);
// An RGB PNG without alpha.
void WriteRgbPng(const std::string& file, int width, int height, const std::vector<Rgba>& pixels);
// A GIF of palette indexes; `transparentIndex` -1 for none.
void WriteGif(const std::string& file, int width, int height, const std::vector<Rgba>& palette,
              const std::vector<std::uint8_t>& indexes, int transparentIndex);
// A baseline JPEG of quality 95.
void WriteJpeg(const std::string& file, int width, int height, const std::vector<Rgba>& pixels);
// A 24-bit bottom-up BMP.
void WriteBmp(const std::string& file, int width, int height, const std::vector<Rgba>& pixels);
void WriteBytes(const std::string& file, const std::string& bytes);
std::string ReadBytes(const std::string& file);

// The bitmap pixel word (alpha << 24 | red << 16 | green << 8 | blue).
inline std::uint32_t Word(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  return std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
}

}  // namespace picturetest
