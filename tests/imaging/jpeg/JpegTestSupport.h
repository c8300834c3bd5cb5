#pragma once
// Helpers of the JPEG decoder tests: encoding with libjpeg, decoding with libjpeg-turbo as the
// reference and with JpegDecoder from memory (JpegInputMemoryStream, in blocks of a chosen
// size), the command-line tools of libjpeg-turbo, and comparisons of pictures.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegInputMemoryStream.h"

namespace JpegTest {

// A decoded picture: 32-bit pixels as in BitmapImage (alpha << 24 | red << 16 | green << 8 | blue).
struct Picture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> pixels;
};

Picture FromImage(const Veldaro::BitmapImage& image);

// Samples of a test picture: smooth shading, edges and a little noise, deterministic.
std::vector<std::uint8_t> MakeSamples(std::uint32_t width, std::uint32_t height, std::uint32_t components,
                                      std::uint32_t seed = 1);

struct EncodeOptions {
  int quality = 85;
  // Sampling factors per component (h, v); empty: libjpeg's default (2x2 luma).
  std::vector<std::pair<int, int>> sampling;
  bool progressive = false;
  bool optimize = false;
  bool arithmetic = false;
  int restartRows = 0;          // restart interval in MCU rows
  int restartBlocks = 0;        // restart interval in MCUs
  bool unitQuantizers = false;  // every quantizer 1
};

// Encodes samples with libjpeg. Colour spaces: JCS_GRAYSCALE, JCS_RGB, JCS_YCbCr, JCS_CMYK;
// RGB input is stored as YCbCr, the others as they are.
std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& samples, std::uint32_t width, std::uint32_t height,
                                 int colorSpace, const EncodeOptions& options);

// Decodes with libjpeg-turbo: integer IDCT, box upsampling, into the pixels of this system
// (CMYK samples are combined the way the decoder does: each of the first three less the
// inverse of the fourth).
Picture ReferenceDecode(const std::vector<std::uint8_t>& jpeg);

// Decodes with JpegDecoder from memory (chunkSize bytes per refill), or from a file through the
// file entry.
Picture Decode(const std::vector<std::uint8_t>& jpeg, std::size_t chunkSize = 4096);
Picture DecodeFile(const std::string& path);

// The message of the exception that decoding throws ("" when it succeeds).
std::string DecodeError(const std::vector<std::uint8_t>& jpeg, std::size_t chunkSize = 4096);

// Largest difference of a colour channel (1000 when the sizes or an alpha differ), and the
// mean absolute difference over the colour channels.
struct Difference {
  int largest = 0;
  double mean = 0;
};
Difference Compare(const Picture& a, const Picture& b);

// Files and tools.
std::string TempDir();  // a fresh folder for this test program
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);
void WritePnm(const std::string& path, const std::vector<std::uint8_t>& samples, std::uint32_t width,
              std::uint32_t height, std::uint32_t components);
// Runs a shell command; true when it exits with 0.
bool RunCommand(const std::string& command);
bool HaveTool(const std::string& name);

// Byte-level editing of streams: the offset of the first marker with this code.
std::size_t FindMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t code);

}  // namespace JpegTest
