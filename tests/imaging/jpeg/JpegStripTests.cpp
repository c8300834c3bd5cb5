// Decoding in strips of MCU rows and the vector kernels of the colour conversion: every
// sampling and size converts the same pixels at every vector level, the image shows the
// decoded strips and the level 128 below them whenever it is brought up to date, a cut file
// keeps its decoded strips, and no sample plane of the whole image is allocated.

#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "JpegTestSupport.h"
#include "base/CpuFeatures.h"
#include "imaging/GraphicsException.h"
#include "imaging/JpegColorConvert.h"
#include "tests/imaging/base/AllocationProbe.h"

namespace {

using namespace JpegTest;
using Bytes = std::vector<std::uint8_t>;
using CpuFeatures::SimdLevel;
namespace Convert = VeldaroPrivate::JpegColorConvert;

const SimdLevel kLevels[] = {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Sse41, SimdLevel::Avx2};

std::uint32_t Clamped(double value) { return std::uint32_t(std::clamp(value, 0.0, 255.0)); }

// The JFIF conversion as its rounded tables define it.
std::uint32_t YCbCrDefinition(int y, int cb, int cr) {
  int red = int(std::lround(1.402 * (cr - 128)));
  int blue = int(std::lround(1.772 * (cb - 128)));
  int green =
      int((std::lround(0.34414 * 65536.0 * (cb - 128)) + std::lround(0.71414 * 65536.0 * (cr - 128)) + 32768) >> 16);
  return 0xFF000000u | Clamped(y + red) << 16 | Clamped(y - green) << 8 | Clamped(y + blue);
}

// Every Cb, Cr pair with four lumas each, at every level, against the definition.
TEST(JpegStrip, YCbCrKernelMatchesTheDefinitionAtEveryLevel) {
  const std::uint32_t width = 65536 + 13;  // a tail that no vector step covers
  Bytes cb(width), cr(width), luma(width);
  for (std::uint32_t i = 0; i < width; ++i) {
    cb[i] = std::uint8_t(i >> 8);
    cr[i] = std::uint8_t(i);
  }
  std::vector<std::uint32_t> out(width);
  for (int shift : {0, 77, 160, 251}) {
    for (std::uint32_t i = 0; i < width; ++i) luma[i] = std::uint8_t(i * 7 + shift + (i >> 8));
    for (SimdLevel level : kLevels) {
      CpuFeatures::SimdLevelCap cap(level);
      Convert::YCbCrRow(luma.data(), cb.data(), cr.data(), out.data(), width);
      for (std::uint32_t i = 0; i < width; ++i) {
        ASSERT_EQ(out[i], YCbCrDefinition(luma[i], cb[i], cr[i]))
            << "level " << int(level) << " y " << int(luma[i]) << " cb " << int(cb[i]) << " cr " << int(cr[i]);
      }
    }
  }
}

// The two-step conversion for chroma at half the width: every Cb, Cr pair serves two pixels
// of an odd width (the last pair one).
TEST(JpegStrip, HalfWidthChromaKernelsMatchTheDefinitionAtEveryLevel) {
  const std::uint32_t pairs = 65536 + 11;
  const std::uint32_t width = 2 * pairs - 1;
  Bytes cb(pairs), cr(pairs), luma(width);
  for (std::uint32_t i = 0; i < pairs; ++i) {
    cb[i] = std::uint8_t(i >> 8);
    cr[i] = std::uint8_t(i * 3);
  }
  for (std::uint32_t x = 0; x < width; ++x) luma[x] = std::uint8_t(x * 5 + (x >> 9));
  std::vector<std::int16_t> red(pairs), green(pairs), blue(pairs);
  std::vector<std::uint32_t> out(width);
  for (SimdLevel level : kLevels) {
    CpuFeatures::SimdLevelCap cap(level);
    Convert::YCbCrOffsets(cb.data(), cr.data(), red.data(), green.data(), blue.data(), pairs);
    Convert::YCbCrHalfWidthRow(luma.data(), red.data(), green.data(), blue.data(), out.data(), width);
    for (std::uint32_t x = 0; x < width; ++x) {
      ASSERT_EQ(out[x], YCbCrDefinition(luma[x], cb[x / 2], cr[x / 2])) << "level " << int(level) << " x " << x;
    }
  }
}

TEST(JpegStrip, GrayCmykAndReplicationKernelsMatchAtEveryLevel) {
  std::mt19937 random(3);
  for (std::uint32_t width : {0u, 1u, 15u, 16u, 17u, 31u, 64u, 65u, 200u, 1031u}) {
    Bytes c[4];
    for (Bytes& row : c) {
      row.resize(width + 1);
      for (auto& v : row) v = std::uint8_t(random());
    }
    for (SimdLevel level : kLevels) {
      CpuFeatures::SimdLevelCap cap(level);
      std::vector<std::uint32_t> gray(width), cmyk(width);
      Convert::GrayRow(c[0].data(), gray.data(), width);
      Convert::CmykRow(c[0].data(), c[1].data(), c[2].data(), c[3].data(), cmyk.data(), width);
      for (std::uint32_t x = 0; x < width; ++x) {
        ASSERT_EQ(gray[x], 0xFF000000u | c[0][x] * 0x010101u) << width << " level " << int(level);
        int black = 255 - c[3][x];
        std::uint32_t expected =
            0xFF000000u | Clamped(c[0][x] - black) << 16 | Clamped(c[1][x] - black) << 8 | Clamped(c[2][x] - black);
        ASSERT_EQ(cmyk[x], expected) << width << " level " << int(level) << " x " << x;
      }
      for (std::uint32_t ratio = 1; ratio <= 4; ++ratio) {
        Bytes buffer(width + 1, 0xEE);
        const std::uint8_t* row = Convert::ReplicateRow(c[1].data(), ratio, width, buffer.data());
        for (std::uint32_t x = 0; x < width; ++x) ASSERT_EQ(row[x], c[1][x / ratio]) << ratio << " x " << x;
        if (ratio > 1) {
          EXPECT_EQ(buffer[width], 0xEE) << "written past the row, ratio " << ratio;
        }
      }
    }
  }
}

struct SamplingCase {
  std::string name;
  int colorSpace;
  std::vector<std::pair<int, int>> sampling;
};

const std::vector<SamplingCase>& Samplings() {
  static const std::vector<SamplingCase> cases = {
      {"444", JCS_RGB, {{1, 1}, {1, 1}, {1, 1}}},
      {"422", JCS_RGB, {{2, 1}, {1, 1}, {1, 1}}},
      {"420", JCS_RGB, {{2, 2}, {1, 1}, {1, 1}}},
      {"411", JCS_RGB, {{4, 1}, {1, 1}, {1, 1}}},
      {"440", JCS_RGB, {{1, 2}, {1, 1}, {1, 1}}},
      {"4x2", JCS_RGB, {{4, 2}, {1, 1}, {1, 1}}},
      {"1x4", JCS_RGB, {{1, 4}, {1, 1}, {1, 1}}},
      {"3x2", JCS_RGB, {{3, 2}, {1, 1}, {1, 1}}},
      {"mixed", JCS_RGB, {{2, 2}, {2, 1}, {1, 2}}},
      {"chroma_max", JCS_RGB, {{1, 1}, {2, 2}, {1, 1}}},
      {"gray", JCS_GRAYSCALE, {}},
      {"gray_2x2", JCS_GRAYSCALE, {{2, 2}}},
      {"cmyk", JCS_CMYK, {{1, 1}, {1, 1}, {1, 1}, {1, 1}}},
      {"cmyk_adobe_subsampled", JCS_CMYK, {{2, 2}, {1, 1}, {1, 1}, {2, 2}}},
  };
  return cases;
}

int ComponentsOf(int colorSpace) { return colorSpace == JCS_GRAYSCALE ? 1 : colorSpace == JCS_CMYK ? 4 : 3; }

Bytes EncodeCase(const SamplingCase& c, std::uint32_t width, std::uint32_t height, bool progressive, int restart) {
  EncodeOptions options;
  options.sampling = c.sampling;
  options.progressive = progressive;
  options.restartBlocks = restart;
  options.quality = 90;
  return Encode(MakeSamples(width, height, ComponentsOf(c.colorSpace), width * 3 + height), width, height, c.colorSpace,
                options);
}

// Sizes around the MCU heights (8 to 32 lines), one-pixel images, restart intervals: the same
// pixels at every vector level, and within the corpus tolerance of libjpeg-turbo.
TEST(JpegStrip, StripBoundariesMatchAtEveryLevelAndTheReference) {
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {{1, 1},   {23, 1},  {1, 33},  {37, 15},
                                                                      {37, 16}, {37, 17}, {29, 47}, {70, 65}};
  for (const SamplingCase& c : Samplings()) {
    for (auto [width, height] : sizes) {
      for (int variant = 0; variant < 3; ++variant) {
        Bytes jpeg = EncodeCase(c, width, height, variant == 2, variant == 1 ? 2 : 0);
        std::string what =
            c.name + " " + std::to_string(width) + "x" + std::to_string(height) + " variant " + std::to_string(variant);
        Picture scalar;
        {
          CpuFeatures::SimdLevelCap cap(SimdLevel::Scalar);
          scalar = Decode(jpeg);
        }
        for (SimdLevel level : kLevels) {
          CpuFeatures::SimdLevelCap cap(level);
          ASSERT_EQ(Decode(jpeg).pixels, scalar.pixels) << what << " level " << int(level);
        }
        Difference d = Compare(scalar, ReferenceDecode(jpeg));
        EXPECT_LE(d.largest, 12) << what;
      }
    }
  }
}

// The pixel that samples of the level 128 give in each colour space.
std::uint32_t LevelPixel(int colorSpace) { return colorSpace == JCS_CMYK ? 0xFF010101u : 0xFF808080u; }

// At each report of a single-scan image, MCU rows above the one about to be decoded are
// final and every row below shows the level 128.
TEST(JpegStrip, UpdatesShowDecodedStripsAndTheLevelBelow) {
  const std::uint32_t width = 45, height = 77;
  for (const SamplingCase& c : Samplings()) {
    for (int restart : {0, 3}) {
      Bytes jpeg = EncodeCase(c, width, height, false, restart);
      Picture whole = Decode(jpeg);
      Veldaro::JpegInputMemoryStream stream(jpeg, 4096);
      Veldaro::BitmapImage image;
      Veldaro::JpegDecoder decoder;
      std::vector<std::pair<std::uint32_t, Picture>> seen;  // percent, picture
      struct Context {
        Veldaro::BitmapImage* image;
        std::vector<std::pair<std::uint32_t, Picture>>* seen;
      } context{&image, &seen};
      decoder.SetProgressFunction(
          [](Veldaro::BitmapImageCoder* coder, void* data, std::uint32_t, std::uint32_t, std::uint32_t percent, bool&) {
            coder->UpdateImage();
            auto* ctx = static_cast<Context*>(data);
            ctx->seen->push_back({percent, FromImage(*ctx->image)});
          },
          &context);
      decoder.ReadImage(stream, image);
      ASSERT_EQ(FromImage(image).pixels, whole.pixels) << c.name;
      // Rows of the reports before the last: report k comes before MCU row k.
      std::uint32_t mcuHeight = 8;
      for (auto [h, v] : c.sampling) mcuHeight = std::max<std::uint32_t>(mcuHeight, 8 * v);
      if (c.colorSpace == JCS_GRAYSCALE) mcuHeight = 8;  // one component: rows of blocks
      ASSERT_EQ(seen.size(), (height + mcuHeight - 1) / mcuHeight + 1) << c.name;
      for (std::size_t k = 0; k + 1 < seen.size(); ++k) {
        const Picture& picture = seen[k].second;
        std::size_t boundary = std::min<std::size_t>(k * mcuHeight, height) * width;
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
          std::uint32_t expected = i < boundary ? whole.pixels[i] : LevelPixel(c.colorSpace);
          ASSERT_EQ(picture.pixels[i], expected) << c.name << " report " << k << " pixel " << i;
        }
      }
      EXPECT_EQ(seen.back().second.pixels, whole.pixels) << c.name;
    }
  }
}

// A file cut in its scan data: the strips decoded before the cut are final, and the rows well
// below the cut show the level 128, through the file stream and from memory.
TEST(JpegStrip, CutFilesKeepTheirDecodedStrips) {
  const std::uint32_t width = 96, height = 192;
  for (const SamplingCase& c : Samplings()) {
    Bytes jpeg = EncodeCase(c, width, height, false, 0);
    Picture whole = Decode(jpeg);
    for (std::size_t cut : {jpeg.size() / 2, jpeg.size() * 3 / 4}) {
      Bytes part(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(cut));
      Veldaro::JpegInputMemoryStream stream(part, 64);
      Veldaro::BitmapImage image;
      Veldaro::JpegDecoder decoder;
      EXPECT_THROW(decoder.ReadImage(stream, image), std::exception) << c.name;
      Picture got = FromImage(image);
      ASSERT_EQ(got.pixels.size(), whole.pixels.size()) << c.name;
      // The picture is busy everywhere, so the compressed data are spread evenly over the
      // rows: a quarter of the rows are decoded before a cut at half of the file, and the
      // last MCU row (32 lines at most) lies beyond a cut at three quarters.
      std::size_t decodedRows = height / 4, levelRows = 32;
      for (std::size_t i = 0; i < decodedRows * width; ++i) ASSERT_EQ(got.pixels[i], whole.pixels[i]) << c.name;
      for (std::size_t i = (height - levelRows) * width; i < got.pixels.size(); ++i) {
        ASSERT_EQ(got.pixels[i], LevelPixel(c.colorSpace)) << c.name << " pixel " << i;
      }
    }
  }
}

// A tall narrow picture with large MCUs: the whole sample plane of its block grid (32 samples
// a row) is many times the image (4 bytes a row); the decoder allocates one strip of it.
TEST(JpegStrip, SequentialFramesAllocateOneStripNotAPlane) {
  const std::uint32_t width = 1, height = 2000;
  const std::vector<std::pair<int, std::vector<std::pair<int, int>>>> cases = {
      {JCS_GRAYSCALE, {{4, 4}}},
      {JCS_RGB, {{4, 2}, {1, 1}, {1, 1}}},
  };
  for (const auto& [space, sampling] : cases) {
    EncodeOptions options;
    options.sampling = sampling;
    Bytes jpeg = Encode(MakeSamples(width, height, ComponentsOf(space)), width, height, space, options);
    Picture expected = ReferenceDecode(jpeg);
    Veldaro::JpegInputMemoryStream stream(jpeg, 4096);
    Veldaro::BitmapImage image;
    Veldaro::JpegDecoder decoder;
    {
      ImagingTest::AllocationProbe probe(std::size_t(1) << 30);
      decoder.ReadImage(stream, image);
      // The image (8000 bytes) is the largest; the luma plane of the grid would be 62.5 KiB.
      EXPECT_EQ(probe.Largest(), std::size_t(width) * height * 4) << space;
    }
    EXPECT_LE(Compare(FromImage(image), expected).largest, 12) << space;
  }
}

// The image's pixels are allocated without a value; rows that no conversion writes must come
// out as before, transparent black: a file cut before its first scan, a cancel from the
// progress function, and a frame whose scans (one component each) end before every component
// has samples. (Under AddressSanitizer the tests' allocations come filled with 0xBE, see
// JpegTestSupport.cpp, so a row left without a value shows.)
TEST(JpegStrip, RowsNoConversionWritesAreTransparentBlack) {
  const std::uint32_t width = 37, height = 47;
  auto allZero = [](const Picture& picture, std::size_t from) {
    return std::all_of(picture.pixels.begin() + std::ptrdiff_t(from), picture.pixels.end(),
                       [](std::uint32_t pixel) { return pixel == 0; });
  };
  for (const SamplingCase& c : Samplings()) {
    for (bool progressive : {false, true}) {
      std::string name = c.name + (progressive ? " progressive" : "");
      Bytes jpeg = EncodeCase(c, width, height, progressive, 0);
      Picture whole = Decode(jpeg);
      // Cut before the first scan: the frame's size, nothing decoded.
      Bytes headers(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(FindMarker(jpeg, 0xDA)));
      Veldaro::JpegInputMemoryStream stream(headers, 4096);
      Veldaro::BitmapImage image;
      Veldaro::JpegDecoder decoder;
      EXPECT_THROW(decoder.ReadImage(stream, image), std::exception) << name;
      Picture cut = FromImage(image);
      ASSERT_EQ(cut.width, width) << name;
      ASSERT_EQ(cut.height, height) << name;
      EXPECT_TRUE(allZero(cut, 0)) << name;
      // Cancels at the n-th report: in a sequential frame the MCU rows completed before it are
      // kept.
      std::uint32_t mcuHeight = 8;
      for (auto [h, v] : c.sampling) mcuHeight = std::max(mcuHeight, 8 * std::uint32_t(v));
      for (std::uint32_t cancelAt : {1u, 2u, 3u}) {
        struct Cancel {
          std::uint32_t calls = 0;
          std::uint32_t at = 0;
        } cancel{0, cancelAt};
        Veldaro::JpegInputMemoryStream again(jpeg, 4096);
        Veldaro::JpegDecoder cancelling;
        cancelling.SetProgressFunction(
            [](Veldaro::BitmapImageCoder*, void* data, std::uint32_t, std::uint32_t, std::uint32_t, bool& stop) {
              auto* state = static_cast<Cancel*>(data);
              stop = ++state->calls == state->at;
            },
            &cancel);
        EXPECT_THROW(cancelling.ReadImage(again, image), Veldaro::GraphicsAbort) << name;
        Picture part = FromImage(image);
        ASSERT_EQ(part.pixels.size(), whole.pixels.size()) << name;
        // A frame of one component reports each block row, the others each MCU row.
        std::uint32_t strips = c.colorSpace == JCS_GRAYSCALE ? (cancelAt - 1) / (mcuHeight / 8) : cancelAt - 1;
        std::size_t kept = progressive ? 0 : std::min<std::size_t>(height, strips * mcuHeight) * width;
        for (std::size_t i = 0; i < kept; ++i) ASSERT_EQ(part.pixels[i], whole.pixels[i]) << name << " pixel " << i;
        EXPECT_TRUE(allZero(part, kept)) << name << ", cancelled at report " << cancelAt;
      }
    }
  }
  // One component a scan: cut in the last scan, every component has samples and the picture
  // is converted; cut before it, none is.
  ASSERT_TRUE(HaveTool("jpegtran")) << "libjpeg-turbo-progs is not installed";
  const std::string dir = TempDir();
  WriteFile(dir + "/interleaved.jpg", EncodeCase(Samplings()[2], width, height, false, 0));
  WriteFile(dir + "/scans.txt", {'0', ';', '\n', '1', ';', '\n', '2', ';', '\n'});
  ASSERT_TRUE(RunCommand("jpegtran -scans " + dir + "/scans.txt -outfile " + dir + "/separate.jpg " + dir +
                         "/interleaved.jpg"));
  Bytes separate = ReadFile(dir + "/separate.jpg");
  Picture whole = Decode(separate);
  std::size_t lastScan = separate.size();
  while (separate[lastScan - 2] != 0xFF || separate[lastScan - 1] != 0xDA) --lastScan;
  for (std::size_t cut : {lastScan - 2, (lastScan + separate.size()) / 2}) {
    Bytes part(separate.begin(), separate.begin() + std::ptrdiff_t(cut));
    Veldaro::JpegInputMemoryStream stream(part, 4096);
    Veldaro::BitmapImage image;
    Veldaro::JpegDecoder decoder;
    EXPECT_THROW(decoder.ReadImage(stream, image), std::exception) << cut;
    Picture got = FromImage(image);
    ASSERT_EQ(got.pixels.size(), whole.pixels.size()) << cut;
    if (cut < lastScan) {
      EXPECT_TRUE(allZero(got, 0)) << cut;
    } else {
      // The first rows are decoded in full; all rows have a value (none is transparent).
      for (std::size_t i = 0; i < 8 * width; ++i) ASSERT_EQ(got.pixels[i], whole.pixels[i]) << i;
      for (std::uint32_t pixel : got.pixels) ASSERT_EQ(pixel >> 24, 0xFFu);
    }
  }
}

}  // namespace
