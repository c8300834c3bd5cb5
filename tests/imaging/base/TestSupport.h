#pragma once
// Helpers of the imaging tests: a scratch folder, files, outside commands, pixel access.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"

namespace ImagingTest {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the system's temporary folder, removed at exit.
const std::string& ScratchDir();
// A path in the scratch folder.
std::string ScratchPath(const std::string& name);
void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

// Runs a shell command; returns its exit status and fills out with its standard output.
int RunCommand(const std::string& command, Bytes* out = nullptr);
// The path quoted for the shell.
std::string Quote(const std::string& path);

// ImageMagick's convert works (probed once with a BMP round trip).
bool HaveImageMagick();
// ImageMagick's reading of a file as 8-bit RGBA rows, top row first; false on failure.
bool MagickRgba(const std::string& path, std::uint32_t width, std::uint32_t height, Bytes* rgba);

// Pixel components of a decoded image.
inline std::uint8_t Blue(std::uint32_t p) { return std::uint8_t(p); }
inline std::uint8_t Green(std::uint32_t p) { return std::uint8_t(p >> 8); }
inline std::uint8_t Red(std::uint32_t p) { return std::uint8_t(p >> 16); }
inline std::uint8_t Alpha(std::uint32_t p) { return std::uint8_t(p >> 24); }
inline std::uint32_t At(const Veldaro::BitmapImage& image, std::uint32_t x, std::uint32_t y) {
  return image.Pixels()[std::size_t(y) * image.Width() + x];
}

// Little-endian writers.
void Put16(Bytes& b, std::uint32_t v);
void Put32(Bytes& b, std::uint32_t v);

// A small deterministic random generator.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state(seed * 2654435761u + 1) {}
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint32_t state;
};

}  // namespace ImagingTest
