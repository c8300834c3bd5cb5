// The marker and segment readers, the refusals of unsupported coding processes and faulty
// headers, the driver's handling of the end of the image, restart markers, progress and cancel,
// on hand-made streams and on libjpeg files edited byte by byte.

#include <gtest/gtest.h>

#include <jpeglib.h>

#include "JpegTestSupport.h"
#include "imaging/GraphicsException.h"
#include "tests/imaging/base/AllocationProbe.h"

namespace {

using namespace JpegTest;
using Bytes = std::vector<std::uint8_t>;

Bytes Segment(std::uint8_t code, const Bytes& payload) {
  std::size_t length = payload.size() + 2;
  Bytes bytes = {0xFF, code, std::uint8_t(length >> 8), std::uint8_t(length)};
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Bytes Soi = {0xFF, 0xD8};
const Bytes Eoi = {0xFF, 0xD9};

Bytes UnitDqt(std::uint8_t tableByte = 0x00) {
  Bytes payload = {tableByte};
  payload.insert(payload.end(), 64, 1);
  return Segment(0xDB, payload);
}

// A frame of n components of 1x1 sampling on quantization table 0, ids 1..n.
Bytes Sof(std::uint8_t code, std::uint16_t width, std::uint16_t height, std::uint8_t n) {
  Bytes payload = {8, std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8), std::uint8_t(width),
                   n};
  for (std::uint8_t i = 1; i <= n; ++i) payload.insert(payload.end(), {i, 0x11, 0x00});
  return Segment(code, payload);
}

// DC and AC table 0, each with the one code '0' for symbol 0 (DC size 0, AC end of block).
Bytes OneCodeTables() {
  Bytes payload;
  for (std::uint8_t tableClass : {0x00, 0x10}) {
    payload.push_back(tableClass);
    payload.push_back(1);
    payload.insert(payload.end(), 15, 0);
    payload.push_back(0);
  }
  return Segment(0xC4, payload);
}

Bytes Sos(std::uint8_t n, std::uint8_t ss = 0, std::uint8_t se = 63, std::uint8_t a = 0) {
  Bytes payload = {n};
  for (std::uint8_t i = 1; i <= n; ++i) payload.insert(payload.end(), {i, 0x00});
  payload.insert(payload.end(), {ss, se, a});
  return Segment(0xDA, payload);
}

// An 8x8 grey picture whose one block has only a DC of 0: every sample 128.
Bytes FlatGray() { return Join({Soi, UnitDqt(), Sof(0xC0, 8, 8, 1), OneCodeTables(), Sos(1), {0x00}, Eoi}); }

// A picture made by libjpeg, to be edited.
Bytes Encoded(std::uint32_t width, std::uint32_t height, const EncodeOptions& options = EncodeOptions{}) {
  return Encode(MakeSamples(width, height, 3, width + height), width, height, JCS_RGB, options);
}

Bytes Replace(Bytes bytes, std::size_t at, const Bytes& with) {
  std::copy(with.begin(), with.end(), bytes.begin() + std::ptrdiff_t(at));
  return bytes;
}

Bytes Insert(Bytes bytes, std::size_t at, const Bytes& what) {
  bytes.insert(bytes.begin() + std::ptrdiff_t(at), what.begin(), what.end());
  return bytes;
}

TEST(JpegStream, HandMadeStreamDecodes) {
  Picture picture = Decode(FlatGray());
  ASSERT_EQ(picture.width, 8u);
  ASSERT_EQ(picture.height, 8u);
  for (std::uint32_t pixel : picture.pixels) EXPECT_EQ(pixel, 0xFF808080u);
  // Three components with the same one-code tables: Y, Cb, Cr = 128 is grey 128.
  Picture color = Decode(Join({Soi, UnitDqt(), Sof(0xC1, 8, 8, 3), OneCodeTables(), Sos(3), {0x00}, Eoi}));
  for (std::uint32_t pixel : color.pixels) EXPECT_EQ(pixel, 0xFF808080u);
}

TEST(JpegStream, UnsupportedProcessesAndMarkersAreRefused) {
  const Bytes tables = Join({Soi, UnitDqt()});
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {{0x00, 0xD8, 0xFF, 0xD9}, "Missing SOI Marker"},
      {{0xFF, 0xD9, 0xFF, 0xD9}, "Missing SOI Marker"},
      {Join({tables, Sof(0xC3, 8, 8, 1)}), "Lossless Huffman Coding Not Supported"},
      {Join({tables, Sof(0xC5, 8, 8, 1)}), "Differential Sequential Huffman Coding Not Supported"},
      {Join({tables, Sof(0xC6, 8, 8, 1)}), "Differential Progressive Huffman Coding Not Supported"},
      {Join({tables, Sof(0xC7, 8, 8, 1)}), "Differential Lossless Huffman Coding Not Supported"},
      {Join({tables, Sof(0xC9, 8, 8, 1)}), "Cannot read image - Arithmetic Coding covered by patents"},
      {Join({tables, Sof(0xCA, 8, 8, 1)}), "Cannot read image - Arithmetic Coding covered by patents"},
      {Join({tables, Sof(0xCB, 8, 8, 1)}), "Cannot read image - Arithmetic Coding covered by patents"},
      {Join({tables, Sof(0xCD, 8, 8, 1)}), "Cannot read image - Arithmetic Coding covered by patents"},
      {Join({tables, Sof(0xCE, 8, 8, 1)}), "Cannot read image - Arithmetic Coding covered by patents"},
      {Join({tables, Sof(0xCF, 8, 8, 1)}), "Cannot read image - Arithmetic Coding covered by patents"},
      {Join({tables, Segment(0xDE, {0})}), "DHP marker not supported"},
      {Join({tables, Segment(0xCC, {0, 0})}), "Unknown, unsupported, or reserved marker encountered"},
      {Join({tables, {0xFF, 0xD0}}), "Unknown, unsupported, or reserved marker encountered"},
      {Join({tables, {0xFF, 0x00, 0x00}}), "Unknown, unsupported, or reserved marker encountered"},
      {Join({tables, {0xFF, 0xF0, 0x00}}), "Unknown, unsupported, or reserved marker encountered"},
      // 12-bit samples (extended sequential and progressive) and lossless frames written by hand.
      {Join({tables, Replace(Sof(0xC1, 8, 8, 1), 4, {12})}), "Only 8-bit data supported"},
      {Join({tables, Replace(Sof(0xC2, 8, 8, 3), 4, {12})}), "Only 8-bit data supported"},
      {Join({tables, Replace(Sof(0xC3, 8, 8, 3), 4, {16})}), "Lossless Huffman Coding Not Supported"},
  };
  for (const auto& [bytes, message] : cases) EXPECT_EQ(DecodeError(bytes), message) << message;
}

TEST(JpegStream, FaultyHeadersAreRefused) {
  const Bytes start = Join({Soi, UnitDqt()});
  Bytes twoComponents = Sof(0xC0, 8, 8, 3);
  twoComponents = Replace(twoComponents, 9, {2});
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {Join({start, twoComponents}), "Invalid number of components in scan."},
      {Join({start, Replace(Sof(0xC0, 8, 8, 3), 2, {0, 16})}), "Invalid Frame Size"},
      {Join({start, Replace(Sof(0xC0, 8, 8, 1), 10, {255})}), "Invalid Component Identifier"},
      {Join({start, Replace(Sof(0xC0, 8, 8, 1), 12, {4})}), "Bad Quantization Table Index"},
      {Join({start, Replace(Sof(0xC0, 8, 8, 1), 11, {0x01})}), "Sampling Frequency Outside the Range 1-4"},
      {Join({start, Replace(Sof(0xC0, 8, 8, 1), 11, {0x15})}), "Vertical Sampling Frequency Outside the Range 1-4"},
      {Join({start, Replace(Replace(Sof(0xC0, 8, 8, 3), 11, {0x31}), 14, {0x21})}), "Unsupported sampling factors"},
      {Join({start, Sof(0xC0, 8, 8, 1), Sof(0xC0, 8, 8, 1)}), "Multiple Frame Headers"},
      {Join({start, Sof(0xC0, 65535, 65535, 1)}), "Image Too Large"},
      {Join({start, Sof(0xC0, 8192, 8193, 1)}), "Image Too Large"},
      {Join({start, OneCodeTables(), Sos(1)}), "Scan found before frame defined"},
      {Join({start, Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 4, {5})}), "Invalid component count in scan"},
      {Join({start, Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 5, {7})}), "Component Not Defined"},
      {Join({start, Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 5, {255})}), "Invalid Component Identifier"},
      {Join({start, Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 6, {0x40})}),
       "Huffman Table Index outside range [0..3]"},
      {Join({start, Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 6, {0x04})}),
       "Huffman Table Index outside range [0..3]"},
      {Join({start, Sof(0xC0, 8, 8, 1), Sos(1)}), "DC Table Not Defined"},
      {Join({start, Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 6, {0x01})}), "AC Table Not Defined"},
      {Join({Soi, Sof(0xC0, 8, 8, 1), OneCodeTables(), Sos(1)}), "Quantization Table Not Defined"},
      // Segments.
      {Join({Soi, Segment(0xC4, {0x04})}), "Huffman Table Index outside range [0..3]"},
      {Join({Soi, Replace(OneCodeTables(), 5, {200, 58})}), "Huffman count > 256"},
      {Join({Soi, Replace(OneCodeTables(), 2, {0, 29})}), "Invalid Segment Length"},  // second table runs past
      {Join({Soi, {0xFF, 0xC4, 0x00, 0x01}}), "Invalid Segment Length"},
      {Join({Soi, {0xFF, 0xE0, 0x00, 0x00}}), "Invalid Segment Length"},
      {Join({Soi, UnitDqt(0x04)}), "Quantization Table Index Too Large"},
      {Join({Soi, UnitDqt(0x10)}), "Only 8-bit Data is Supported"},
      {Join({Soi, UnitDqt(0x20)}), "Invalid Quantization Table Precision"},
      {Join({Soi, Replace(UnitDqt(), 10, {0})}), "Zero value in quantization table"},
      {Join({Soi, Replace(UnitDqt(), 2, {0, 40})}), "Invalid Segment Length"},
  };
  for (const auto& [bytes, message] : cases) EXPECT_EQ(DecodeError(bytes), message) << message;
  // The frequency refusals are JpegError, the data refusals JpegBadStream.
  try {
    Decode(Join({start, Replace(Sof(0xC0, 8, 8, 1), 11, {0x51})}));
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegBadStream&) {
    ADD_FAILURE() << "frequency refusal is not a bad stream";
  } catch (const Veldaro::JpegDecoder::JpegError& error) {
    EXPECT_STREQ(error.what(), "Sampling Frequency Outside the Range 1-4");
  }
}

TEST(JpegStream, FramesBeyondTheLimitsAreRefusedBeforeAllocating) {
  // A stream of a few hundred bytes announcing a large frame: the pixels and the storage of
  // its components pass the limits (a progressive CMYK frame of 8192 x 8192 would need 1 GiB
  // for its coefficients and samples beside 256 MiB of pixels), and it is refused before
  // anything of it is allocated.
  const Bytes tail = Join({OneCodeTables(), Sos(4, 0, 0), Bytes(64, 0), Eoi});
  const std::vector<Bytes> streams = {
      Join({Soi, UnitDqt(), Sof(0xC2, 8192, 8192, 4), tail}),
      Join({Soi, UnitDqt(), Sof(0xC2, 16384, 16384, 4), tail}),
      Join({Soi, UnitDqt(), Sof(0xC2, 65535, 65535, 4), tail}),
  };
  for (std::size_t i = 0; i < streams.size(); ++i) {
    EXPECT_LT(streams[i].size(), 400u);
    ImagingTest::AllocationProbe probe(ImagingTest::kSmallAllocation);
    EXPECT_EQ(DecodeError(streams[i]), "Image Too Large") << i;
    EXPECT_FALSE(probe.Refused()) << i << ": largest allocation " << probe.Largest();
  }
}

TEST(JpegStream, PassedOverBytesAndSegments) {
  Picture plain = Decode(FlatGray());
  const Bytes body = Join({UnitDqt(), Sof(0xC0, 8, 8, 1), OneCodeTables(), Sos(1), {0x00}, Eoi});
  const std::vector<Bytes> variants = {
      Join({Soi, {0xFF, 0xFF, 0xFF}, body}),  // fill bytes before a marker
      Join({Soi, Soi, body}),                 // a second start of image
      Join({Soi, Segment(0xE0, {}), Segment(0xFE, {1, 2, 3, 0xFF, 0xD9, 6, 7, 8}), body}),  // APP0, COM
      Join({Soi, {0x00, 0x12}, body}),           // stray bytes between segments
      Join({Soi, Segment(0xDD, {0, 0}), body}),  // restart interval 0
      Join({FlatGray(), {0x0D, 0x0A, 0x0D}}),    // line ends after the end
      Join({FlatGray(), {0x41}}),                // one last byte of any value
      Join({FlatGray(), {0x0D, 0x0A, 0x41}}),    // both
  };
  for (std::size_t i = 0; i < variants.size(); ++i) {
    EXPECT_EQ(DecodeError(variants[i]), "") << i;
    EXPECT_EQ(Compare(Decode(variants[i]), plain).largest, 0) << i;
  }
}

TEST(JpegStream, EndOfImageChecks) {
  EXPECT_EQ(DecodeError(Join({FlatGray(), {0x41, 0x42}})), "Extra Data After End of Image Marker");
  EXPECT_EQ(DecodeError(Join({FlatGray(), {0x0D, 0x41, 0x42}})), "Extra Data After End of Image Marker");
  EXPECT_EQ(DecodeError({0xFF, 0xD8, 0x00}), "End of Image Marker Not Found");
  // A file that ends after its scan: the picture is still converted before the refusal.
  Bytes noEnd = FlatGray();
  noEnd.erase(noEnd.end() - 2, noEnd.end());  // the end of image marker
  noEnd.push_back(0x00);
  Veldaro::JpegInputMemoryStream stream(noEnd, 4096);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  try {
    decoder.ReadImage(stream, image);
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegBadStream& error) {
    EXPECT_STREQ(error.what(), "Premature end of file");
  }
  ASSERT_EQ(image.Width(), 8u);
  EXPECT_EQ(image.Pixels()[63], 0xFF808080u);
}

// Huffman decoding: a code that no table entry matches, a table without codes, an
// over-subscribed table.
TEST(JpegStream, HuffmanFaults) {
  const Bytes head = Join({Soi, UnitDqt(), Sof(0xC0, 8, 8, 1), OneCodeTables(), Sos(1)});
  // One-bits match no code of the one-code tables: refused after 17 bits.
  EXPECT_EQ(DecodeError(Join({head, {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}, Eoi})), "Bad Huffman Code Length");
  // The same at the end of the data: the marker after the data stops it first.
  EXPECT_EQ(DecodeError(Join({head, {0xFF, 0x00}, Eoi})), "Invalid Marker in Compressed Data");
  // An AC table whose sixteen counts are all 0 cannot decode.
  Bytes emptyAc = Segment(0xC4, Join({{0x10}, Bytes(16, 0)}));
  EXPECT_EQ(DecodeError(Join({Soi, UnitDqt(), Sof(0xC0, 8, 8, 1), OneCodeTables(), emptyAc, Sos(1), {0x00}, Eoi})),
            "Bad Huffman Code Length");
  // Three one-bit codes: over-subscribed, decoded without reading outside the table.
  Bytes crowded = Segment(0xC4, Join({{0x00, 3}, Bytes(15, 0), {0, 0, 0}, {0x10, 1}, Bytes(15, 0), {0}}));
  EXPECT_EQ(DecodeError(Join({Soi, UnitDqt(), Sof(0xC0, 8, 8, 1), crowded, Sos(1), {0x00}, Eoi})), "");
  // A DC size above 16 bits comes only from a corrupt table.
  Bytes bigDc = Segment(0xC4, Join({{0x00, 1}, Bytes(15, 0), {17}, {0x10, 1}, Bytes(15, 0), {0}}));
  EXPECT_EQ(DecodeError(Join({Soi, UnitDqt(), Sof(0xC0, 8, 8, 1), bigDc, Sos(1), {0x00, 0x00, 0x00}, Eoi})),
            "Invalid DC Difference Size");
}

// One decoder reading a second image: components of the first frame are not part of the second.
TEST(JpegStream, SecondImageOnOneDecoder) {
  Veldaro::JpegDecoder decoder;
  Veldaro::BitmapImage image;
  Veldaro::JpegInputMemoryStream first(Encoded(40, 24), 4096);
  decoder.ReadImage(first, image);
  EXPECT_EQ(image.Width(), 40u);
  // A frame of component 1 alone whose scan names component 3 of the first frame.
  Bytes second = Join({Soi, UnitDqt(), Sof(0xC0, 8, 8, 1), OneCodeTables(), Replace(Sos(1), 5, {3}), {0x00}, Eoi});
  Veldaro::JpegInputMemoryStream secondStream(second, 4096);
  try {
    decoder.ReadImage(secondStream, image);
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegBadStream& error) {
    EXPECT_STREQ(error.what(), "Component Not Defined");
  }
  Veldaro::JpegInputMemoryStream third(FlatGray(), 4096);
  decoder.ReadImage(third, image);
  EXPECT_EQ(FromImage(image).pixels, Decode(FlatGray()).pixels);
}

// A file cut inside its scan data: the stream's error as JpegError, with what was decoded
// before the cut in the image.
TEST(JpegStream, TruncatedFileKeepsTheDecodedPart) {
  EncodeOptions options;
  options.sampling = {{1, 1}, {1, 1}, {1, 1}};
  Bytes jpeg = Encoded(64, 64, options);
  Picture whole = Decode(jpeg);
  Bytes cut(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() * 3 / 4));
  std::string path = TempDir() + "/cut.jpg";
  WriteFile(path, cut);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  try {
    decoder.ReadImageFile(path, image);
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegBadStream& error) {
    ADD_FAILURE() << "a stream error should come as JpegError: " << error.what();
  } catch (const Veldaro::JpegDecoder::JpegError& error) {
    std::string message = error.what();
    EXPECT_TRUE(message == "Premature end of file" || message == "Premature end of stream") << message;
  }
  Picture part = FromImage(image);
  ASSERT_EQ(part.width, 64u);
  for (std::size_t i = 0; i < 64 * 16; ++i) EXPECT_EQ(part.pixels[i], whole.pixels[i]) << i;
  // A missing file.
  try {
    decoder.ReadImageFile(TempDir() + "/missing.jpg", image);
    ADD_FAILURE();
  } catch (const Veldaro::GraphicsException& error) {
    EXPECT_EQ(std::string(error.what()).rfind("JPEG: Cannot open input file '", 0), 0u);
  }
}

TEST(JpegStream, RestartMarkers) {
  EncodeOptions options;
  options.restartBlocks = 1;
  Bytes jpeg = Encoded(48, 16, options);
  Picture whole = Decode(jpeg);
  std::size_t rst0 = FindMarker(jpeg, 0xD0);
  std::size_t rst1 = FindMarker(jpeg, 0xD1);
  ASSERT_NE(rst0, std::string::npos);
  ASSERT_NE(rst1, std::string::npos);
  // Fill bytes before a restart marker are accepted.
  EXPECT_EQ(Compare(Decode(Insert(jpeg, rst1, {0xFF, 0xFF})), whole).largest, 0);
  EXPECT_EQ(DecodeError(Replace(jpeg, rst1 + 1, {0xD2})), "Incorrect Restart Marker");
  EXPECT_EQ(DecodeError(Replace(jpeg, rst0 + 1, {0xD1})), "Incorrect Restart Marker");
  EXPECT_EQ(DecodeError(Replace(jpeg, rst0 + 1, {0xC4})), "Missing Restart Marker");
  Bytes removed = jpeg;
  removed.erase(removed.begin() + std::ptrdiff_t(rst0), removed.begin() + std::ptrdiff_t(rst0 + 2));
  EXPECT_EQ(DecodeError(removed), "Missing Restart Marker");
}

TEST(JpegStream, ProgressiveScanLimits) {
  EncodeOptions options;
  options.progressive = true;
  Bytes jpeg = Encoded(32, 32, options);
  // The spectral selection bytes of every scan header.
  std::vector<std::size_t> spectral;
  for (std::size_t i = 0; i + 5 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) spectral.push_back(i + 5 + 2 * std::size_t(jpeg[i + 4]));
  }
  ASSERT_GE(spectral.size(), 2u);
  ASSERT_EQ(jpeg[spectral[0]], 0);  // libjpeg starts with the DC scan
  EXPECT_EQ(DecodeError(Replace(jpeg, spectral[0], {0, 5})), "Progressive scan contains DC and AC data");
  EXPECT_EQ(DecodeError(Replace(jpeg, spectral[0], {0, 200})), "Invalid Spectral Selection");
  std::size_t ac = spectral[1];
  ASSERT_NE(jpeg[ac], 0);
  EXPECT_EQ(DecodeError(Replace(jpeg, ac + 1, {64})), "Invalid Spectral Selection");
  EXPECT_EQ(DecodeError(Replace(jpeg, ac + 1, {255})), "Invalid Spectral Selection");
}

// Exact colours through the whole decoder: libjpeg stores a uniform block whose quantizers are
// all 1 as its DC coefficient alone, which the decoder turns back into the very sample.
TEST(JpegStream, ColourConversionValues) {
  EncodeOptions unit;
  unit.unitQuantizers = true;
  unit.sampling = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
  auto decodeUniform = [&unit](std::vector<std::uint8_t> sample, int colorSpace) {
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < 64; ++i) samples.insert(samples.end(), sample.begin(), sample.end());
    return Decode(Encode(samples, 8, 8, colorSpace, unit)).pixels[27];
  };
  EXPECT_EQ(decodeUniform({77}, JCS_GRAYSCALE), 0xFF4D4D4Du);
  EXPECT_EQ(decodeUniform({128, 128, 128}, JCS_YCbCr), 0xFF808080u);
  EXPECT_EQ(decodeUniform({100, 200, 50}, JCS_YCbCr), 0xFF0083E4u);   // red 0, green 131, blue 228
  EXPECT_EQ(decodeUniform({255, 255, 255}, JCS_YCbCr), 0xFFFF79FFu);  // 255, 121, 255
  EXPECT_EQ(decodeUniform({255, 255, 255, 255}, JCS_CMYK), 0xFFFFFFFFu);
  EXPECT_EQ(decodeUniform({90, 200, 30, 0}, JCS_CMYK), 0xFF000000u);
  EXPECT_EQ(decodeUniform({200, 100, 50, 230}, JCS_CMYK), 0xFFAF4B19u);  // 175, 75, 25
}

// Component identifiers are indexes, in any order; the conversion takes frame order.
TEST(JpegStream, ComponentIdentifiersInAnyOrder) {
  Bytes base = Encoded(24, 16);
  Picture expected = Decode(base);
  std::size_t sof = FindMarker(base, 0xC0);
  for (Bytes ids : {Bytes{0, 1, 2}, Bytes{3, 1, 2}, Bytes{254, 'G', 'B'}}) {
    Bytes edited = base;
    for (std::size_t i = 0; i < 3; ++i) edited[sof + 10 + 3 * i] = ids[i];
    // The scan header names them by the same identifiers.
    std::size_t sos = FindMarker(edited, 0xDA);
    for (std::size_t i = 0; i < 3; ++i) edited[sos + 5 + 2 * i] = ids[i];
    EXPECT_EQ(Compare(Decode(edited), expected).largest, 0);
  }
}

struct ProgressLog {
  std::vector<std::array<std::uint32_t, 3>> calls;  // pass, pass count, percent
  int cancelAt = -1;
  bool update = false;
};

void Progress(Veldaro::BitmapImageCoder* coder, void* data, std::uint32_t pass, std::uint32_t passCount,
              std::uint32_t percent, bool& cancel) {
  auto* log = static_cast<ProgressLog*>(data);
  log->calls.push_back({pass, passCount, percent});
  if (log->update) coder->UpdateImage();
  if (int(log->calls.size()) - 1 == log->cancelAt) cancel = true;
}

TEST(JpegStream, ProgressCountsScans) {
  EncodeOptions options;
  options.progressive = true;
  Bytes jpeg = Encoded(40, 24, options);
  std::uint32_t scans = 0;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) scans += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
  ProgressLog log;
  log.update = true;  // the image may be brought up to date from the callback
  Veldaro::JpegInputMemoryStream stream(jpeg, 4096);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  decoder.SetProgressFunction(Progress, &log);
  decoder.ReadImage(stream, image);
  ASSERT_FALSE(log.calls.empty());
  std::uint32_t hundreds = 0;
  for (const auto& call : log.calls) {
    EXPECT_EQ(call[1], scans);
    EXPECT_GE(call[0], 1u);
    EXPECT_LE(call[0], scans);
    hundreds += call[2] == 100;
  }
  EXPECT_EQ(hundreds, scans);
  EXPECT_EQ(log.calls.back()[0], scans);
  EXPECT_EQ(Compare(FromImage(image), Decode(jpeg)).largest, 0);
  decoder.UpdateImage();  // after the end: nothing to convert, no failure

  // An interleaved scan of three MCU rows reports 0, 33, 66 and then 100.
  ProgressLog rows;
  Veldaro::JpegInputMemoryStream baseline(Encoded(16, 48), 4096);
  Veldaro::JpegDecoder second;
  second.SetProgressFunction(Progress, &rows);
  second.ReadImage(baseline, image);
  ASSERT_EQ(rows.calls.size(), 4u);
  EXPECT_EQ(rows.calls[0], (std::array<std::uint32_t, 3>{1, 1, 0}));
  EXPECT_EQ(rows.calls[1][2], 33u);
  EXPECT_EQ(rows.calls[2][2], 66u);
  EXPECT_EQ(rows.calls[3][2], 100u);
}

// The count of scans looks at raw bytes: a complete JPEG thumbnail inside an application
// segment gives the pass count, and the main image's scans are numbered above it.
TEST(JpegStream, ThumbnailDecidesThePassCount) {
  Bytes thumbnail = Encoded(8, 8);
  EncodeOptions options;
  options.progressive = true;
  Bytes main = Encoded(24, 16, options);
  Bytes withThumbnail = Join({Soi, Segment(0xE1, thumbnail), Bytes(main.begin() + 2, main.end())});
  ProgressLog log;
  Veldaro::JpegInputMemoryStream stream(withThumbnail, 4096);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  decoder.SetProgressFunction(Progress, &log);
  decoder.ReadImage(stream, image);
  ASSERT_FALSE(log.calls.empty());
  for (const auto& call : log.calls) EXPECT_EQ(call[1], 1u);
  EXPECT_GT(log.calls.back()[0], 2u);
  EXPECT_EQ(Compare(FromImage(image), Decode(main)).largest, 0);
}

TEST(JpegStream, DegenerateFrames) {
  // A restart marker after the last MCU of a scan is left to the marker reader.
  Bytes jpeg = Encoded(16, 16);
  EXPECT_EQ(DecodeError(Insert(jpeg, jpeg.size() - 2, {0xFF, 0xD0})),
            "Unknown, unsupported, or reserved marker encountered");
  // A frame without lines or columns has no MCUs; its scan reads no bits.
  Picture empty = Decode(Join({Soi, UnitDqt(), Sof(0xC0, 8, 0, 1), OneCodeTables(), Sos(1), {0x00}, Eoi}));
  EXPECT_EQ(empty.width, 8u);
  EXPECT_EQ(empty.height, 0u);
  EXPECT_TRUE(empty.pixels.empty());
  // A frame that no scan follows leaves the image at its size with every pixel 0.
  Picture unscanned = Decode(Join({Soi, UnitDqt(), Sof(0xC0, 5, 3, 1), Eoi}));
  ASSERT_EQ(unscanned.pixels.size(), 15u);
  for (std::uint32_t pixel : unscanned.pixels) EXPECT_EQ(pixel, 0u);
}

TEST(JpegStream, CancelAndUpdateWithoutImage) {
  Veldaro::JpegDecoder fresh;
  try {
    fresh.UpdateImage();
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegError& error) {
    EXPECT_STREQ(error.what(), "Not reading an image");
  }
  Bytes jpeg = Encoded(16, 48);
  ProgressLog log;
  log.cancelAt = 1;
  Veldaro::JpegInputMemoryStream stream(jpeg, 4096);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  decoder.SetProgressFunction(Progress, &log);
  bool aborted = false;
  try {
    decoder.ReadImage(stream, image);
  } catch (const std::exception&) {
    ADD_FAILURE() << "a cancel is not a std::exception";
  } catch (const Veldaro::GraphicsAbort&) {
    aborted = true;
  }
  EXPECT_TRUE(aborted);
  EXPECT_EQ(log.calls.size(), 2u);
  EXPECT_EQ(image.Width(), 16u);  // sized by the frame header
  try {
    decoder.UpdateImage();
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegError& error) {
    EXPECT_STREQ(error.what(), "Not reading an image");
  }
}

}  // namespace
