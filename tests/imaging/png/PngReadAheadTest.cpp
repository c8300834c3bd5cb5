// Rows read ahead: an Average row waits for the next row (of the image, or of its Adam7
// pass), and two Average rows are undone together. Whatever a file holds (cut short after any chunk, a changed byte
// anywhere in its image data, a bad filter byte, a cancel at any progress report), the decoder gives the same pixels,
// message and progress reports as when it reads every row only after the one before.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/CpuFeatures.h"
#include "imaging/PngRowFilters.h"
#include "tests/imaging/png/PngFilterReference.h"
#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::PngBuilder;

// The decoder with read-ahead on or off, recording its progress reports and cancelling at
// the report numbered cancelAt (none when negative).
class RecordingDecoder : public Veldaro::PngDecoder {
 public:
  explicit RecordingDecoder(bool readAhead) {
    SetRowReadAhead(readAhead);
    SetProgressFunction(&RecordingDecoder::Report, this);
  }
  std::vector<std::uint32_t> reports;
  int cancelAt = -1;

 private:
  static void Report(Veldaro::BitmapImageCoder*, void* data, std::uint32_t pass, std::uint32_t, std::uint32_t percent,
                     bool& cancel) {
    auto* self = static_cast<RecordingDecoder*>(data);
    self->reports.push_back(pass * 1000 + percent);
    cancel = int(self->reports.size()) - 1 == self->cancelAt;
  }
};

struct Outcome {
  std::string error;
  std::vector<std::uint32_t> reports;
  std::vector<std::uint32_t> pixels;
};

Outcome DecodeWith(RecordingDecoder& decoder, const Bytes& file, int cancelAt) {
  decoder.reports.clear();
  decoder.cancelAt = cancelAt;
  Veldaro::PngInputMemoryStream stream(file);
  Veldaro::BitmapImage image;
  Outcome out;
  try {
    decoder.ReadImage(stream, image);
  } catch (const std::exception& e) {
    out.error = e.what();
  } catch (const Veldaro::GraphicsAbort&) {
    out.error = "cancelled";
  }
  out.reports = decoder.reports;
  out.pixels.assign(image.Pixels(), image.Pixels() + image.PixelCount());
  return out;
}

// One decoder each way for all the files of a test, as a program decodes one file after
// another: each decode starts from what the one before left (an error, a cancel), and the
// decoders' buffers (the inflate window of 160 KB among them) are made once, not at every
// one of the tens of thousands of decodes.
struct Decoders {
  RecordingDecoder plain{false};
  RecordingDecoder ahead{true};
};

using Levels = std::vector<CpuFeatures::SimdLevel>;
const Levels kEveryLevel = {CpuFeatures::SimdLevel::Avx2, CpuFeatures::SimdLevel::Sse41, CpuFeatures::SimdLevel::Sse2,
                            CpuFeatures::SimdLevel::Scalar};
// The two builds of the pair path.
const Levels kPairLevels = {CpuFeatures::SimdLevel::Avx2, CpuFeatures::SimdLevel::Sse2};

// Both ways agree on the file, at each vector level (capped at what the processor has);
// returns the number of progress reports.
std::size_t ExpectSameOutcome(Decoders& decoders, const Bytes& file, int cancelAt = -1,
                              const Levels& levels = kEveryLevel) {
  const Outcome plain = DecodeWith(decoders.plain, file, cancelAt);
  for (auto level : levels) {
    CpuFeatures::SimdLevelCap cap(level);
    const Outcome ahead = DecodeWith(decoders.ahead, file, cancelAt);
    EXPECT_EQ(ahead.error, plain.error) << "level " << int(level);
    EXPECT_EQ(ahead.reports, plain.reports) << "level " << int(level);
    EXPECT_TRUE(ahead.pixels == plain.pixels) << "level " << int(level);
  }
  return plain.reports.size();
}

struct Layout {
  const char* name;
  int colorType;
  int bitDepth;
  int channels;
};

// Every byte distance: of the vector pair paths (3, 4, 6, 8), and of the plain ones of Average
// alone (1, 2); every format with samples alone.
constexpr Layout kLayouts[] = {
    {"rgb8", 2, 8, 3},  {"rgba8", 6, 8, 4},      {"rgb16", 2, 16, 3},  {"rgba16", 6, 16, 4},
    {"gray8", 0, 8, 1}, {"grayAlpha8", 4, 8, 2}, {"gray16", 0, 16, 1}, {"grayAlpha16", 4, 16, 2},
};

// Filter bytes of the rows: patterns of runs of Average and of Paeth broken by other filters,
// and one invalid filter byte.
std::vector<std::uint8_t> FilterPattern(int pattern, std::uint32_t rows, std::mt19937& rng) {
  std::vector<std::uint8_t> filters(rows, 3);
  for (std::uint32_t y = 0; y < rows; ++y) {
    switch (pattern) {
      case 0: break;                                        // all Average
      case 1: filters[y] = y % 3 == 2 ? 1 : 3; break;       // pairs and single rows
      case 2: filters[y] = std::uint8_t(rng() % 5); break;  // any
      case 3: filters[y] = y == 4 ? 7 : 3; break;           // a bad filter byte after Average
      case 4: filters[y] = y == rows - 1 ? 9 : 3; break;    // a bad last row
      case 5: filters[y] = y % 4 < 2 ? 4 : 3; break;        // Paeth and Average pairs
      case 6: filters[y] = y == 5 ? 6 : 4; break;           // a bad filter byte after Paeth
      default: break;
    }
  }
  return filters;
}

Bytes Scanlines(const Layout& layout, std::uint32_t width, std::uint32_t rows, const std::vector<std::uint8_t>& filters,
                std::mt19937& rng) {
  const std::size_t rowBytes = std::size_t(width) * layout.channels * layout.bitDepth / 8;
  Bytes raw;
  for (std::uint32_t y = 0; y < rows; ++y) {
    raw.push_back(filters[y]);
    for (std::size_t i = 0; i < rowBytes; ++i) raw.push_back(std::uint8_t(rng() % 7 + (i * 13 + y * 5) % 251));
  }
  return raw;
}

// The scanlines of a whole image, or of each of its Adam7 passes in turn, with the filter
// pattern in the rows of the image or of each pass.
Bytes ImageScanlines(const Layout& layout, std::uint32_t width, std::uint32_t rows, int pattern, bool interlaced,
                     std::mt19937& rng) {
  if (!interlaced) return Scanlines(layout, width, rows, FilterPattern(pattern, rows, rng), rng);
  struct Pass {
    std::uint32_t rowStep, columnStep, firstRow, firstColumn;
  };
  const Pass passes[] = {{8, 8, 0, 0}, {8, 8, 0, 4}, {8, 4, 4, 0}, {4, 4, 0, 2},
                         {4, 2, 2, 0}, {2, 2, 0, 1}, {2, 1, 1, 0}};
  Bytes raw;
  for (const Pass& pass : passes) {
    if (width <= pass.firstColumn || rows <= pass.firstRow) continue;
    const std::uint32_t columns = (width - pass.firstColumn + pass.columnStep - 1) / pass.columnStep;
    const std::uint32_t passRows = (rows - pass.firstRow + pass.rowStep - 1) / pass.rowStep;
    const Bytes part = Scanlines(layout, columns, passRows, FilterPattern(pattern, passRows, rng), rng);
    raw.insert(raw.end(), part.begin(), part.end());
  }
  return raw;
}

Bytes MakeFile(const Layout& layout, std::uint32_t width, std::uint32_t rows, const Bytes& compressed,
               std::size_t piece, bool interlaced = false) {
  PngBuilder b;
  b.Header(width, rows, layout.bitDepth, layout.colorType, interlaced ? 1 : 0).Data(compressed, piece).End();
  return b.bytes;
}

TEST(PngReadAhead, FilesCutAtEveryChunkEndAsReadOneRowAtATime) {
  Decoders decoders;
  std::mt19937 rng(5);
  for (bool interlaced : {false, true})
    for (const Layout& layout : kLayouts)
      for (int pattern = 0; pattern < 7; ++pattern) {
        // Interlaced files in fewer layouts: the rows of a pass go the same way as an image's.
        if (interlaced && layout.bitDepth == 16 && layout.channels != 2) continue;
        SCOPED_TRACE(std::string(layout.name) + " pattern " + std::to_string(pattern) +
                     (interlaced ? " interlaced" : ""));
        const std::uint32_t width = 5 + rng() % 9, rows = 9;
        const Bytes raw = ImageScanlines(layout, width, rows, pattern, interlaced, rng);
        const Bytes file = MakeFile(layout, width, rows, PngBuilder::Compress(raw), 13, interlaced);
        // Past the header, at each count of whole data chunks.
        for (std::size_t cut : TarnwellTest::ChunkCuts(file, 40))
          ExpectSameOutcome(decoders, Bytes(file.begin(), file.begin() + std::ptrdiff_t(cut)), -1, kPairLevels);
      }
}

TEST(PngReadAhead, ChangedImageDataGivesWhatReadingOneRowAtATimeGives) {
  Decoders decoders;
  std::mt19937 rng(9);
  for (bool interlaced : {false, true})
    for (const Layout& layout : kLayouts)
      for (int pattern : {1, 5}) {
        SCOPED_TRACE(std::string(layout.name) + " pattern " + std::to_string(pattern) +
                     (interlaced ? " interlaced" : ""));
        const std::uint32_t width = 7, rows = 8;
        const Bytes raw = ImageScanlines(layout, width, rows, pattern, interlaced, rng);
        const Bytes compressed = PngBuilder::Compress(raw);
        // Every byte of the zlib stream changed in turn (the chunk CRCs made anew), in chunks
        // of 11 bytes, so that the refills fall inside rows.
        for (std::size_t at = 0; at < compressed.size(); ++at)
          for (std::uint8_t flip : {0x01, 0xFF}) {
            Bytes changed = compressed;
            changed[at] ^= flip;
            ExpectSameOutcome(decoders, MakeFile(layout, width, rows, changed, 11, interlaced), -1, kPairLevels);
          }
      }
}

TEST(PngReadAhead, CancelAtEveryReportLeavesTheSameRows) {
  Decoders decoders;
  std::mt19937 rng(3);
  for (bool interlaced : {false, true})
    for (const Layout& layout : kLayouts)
      for (int pattern : {0, 1, 3, 5}) {
        SCOPED_TRACE(std::string(layout.name) + " pattern " + std::to_string(pattern) +
                     (interlaced ? " interlaced" : ""));
        const std::uint32_t width = 6, rows = 11;
        const Bytes raw = ImageScanlines(layout, width, rows, pattern, interlaced, rng);
        const Bytes file = MakeFile(layout, width, rows, PngBuilder::Compress(raw), 13, interlaced);
        const std::size_t reports = ExpectSameOutcome(decoders, file);
        ASSERT_GT(reports, 2u);
        for (std::size_t k = 0; k < reports; ++k) ExpectSameOutcome(decoders, file, int(k));
        // Cut short inside the image data (in its last rows), with a cancel at each report too.
        const Bytes cut(file.begin(), file.end() - 30);
        for (std::size_t k = 0; k < reports; ++k) ExpectSameOutcome(decoders, cut, int(k));
      }
}

TEST(PngReadAhead, PairsOfRowsMatchTheFormatsDefinition) {
  std::mt19937 rng(1);
  for (std::uint8_t filter : {3, 4})
    for (std::uint32_t n : {1u, 2u, 3u, 4u, 6u, 8u})
      for (std::uint32_t pixels = 1; pixels < 40; ++pixels) {
        const std::uint32_t length = pixels * n;
        std::vector<std::uint8_t> prior(length), first(length), second(length);
        for (auto* v : {&prior, &first, &second})
          for (auto& b : *v) b = std::uint8_t(rng());
        const auto expectedFirst = TarnwellTest::ReferenceUnfilter(filter, first, prior, n);
        const auto expectedSecond = TarnwellTest::ReferenceUnfilter(filter, second, expectedFirst, n);
        for (auto level : kEveryLevel) {
          CpuFeatures::SimdLevelCap cap(level);
          // Padded as the decoder pads its rows: zeros in front, readable bytes behind.
          std::vector<std::vector<std::uint8_t>> rows;
          for (auto* v : {&prior, &first, &second}) {
            std::vector<std::uint8_t> padded(16, 0);
            padded.insert(padded.end(), v->begin(), v->end());
            padded.resize(padded.size() + 16, 0xA5);
            rows.push_back(padded);
          }
          const bool paired = Veldaro::UnfilterPngRowPair(filter, rows[1].data() + 16, rows[2].data() + 16,
                                                          rows[0].data() + 16, length, n);
          if (!paired) {
            // Undone one at a time, as the decoder then does.
            Veldaro::UnfilterPngRow(filter, rows[1].data() + 16, rows[0].data() + 16, length, n);
            Veldaro::UnfilterPngRow(filter, rows[2].data() + 16, rows[1].data() + 16, length, n);
          }
          const auto used = CpuFeatures::SimdLevelInUse();
          const bool vector = used >= (filter == 3 ? CpuFeatures::SimdLevel::Sse2 : CpuFeatures::SimdLevel::Sse41);
          // Average rows of 1- and 2-byte pixels at every level; the wider ones on vector paths.
          EXPECT_EQ(paired, (n >= 3 && vector) || (n <= 2 && filter == 3)) << n << " " << int(level);
          EXPECT_EQ(std::vector<std::uint8_t>(rows[1].begin() + 16, rows[1].end() - 16), expectedFirst)
              << int(filter) << " " << n << " " << pixels << " " << int(level);
          EXPECT_EQ(std::vector<std::uint8_t>(rows[2].begin() + 16, rows[2].end() - 16), expectedSecond)
              << int(filter) << " " << n << " " << pixels << " " << int(level);
          // Nothing written behind a row.
          EXPECT_EQ(rows[1][16 + length], 0xA5);
          EXPECT_EQ(rows[2][16 + length], 0xA5);
        }
      }
}

}  // namespace
