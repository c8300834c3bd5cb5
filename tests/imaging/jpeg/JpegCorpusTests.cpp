// JPEG files made by libjpeg-turbo (its cjpeg and jpegtran tools and its library) decode to
// the pixels that libjpeg-turbo itself gives with the integer IDCT and box upsampling.
//
// Tolerance: the decoder's inverse DCT uses truncated constants (45, 34 and 83 with 6 fraction
// bits, where libjpeg's integer IDCT uses 13-bit ones), so samples of blocks with large
// coefficients differ by a few levels (the test pictures are busy on purpose); the colour
// tables also round a little differently. Alpha must be equal (255). Every colour channel of
// every pixel must stay within MaxDifference = 12 levels, and over pictures of at least 1000
// pixels the mean difference per channel within MaxMeanDifference = 1.2 levels. A misplaced
// block, sample or table entry breaks the first bound at once.

#include <gtest/gtest.h>

#include <jpeglib.h>

#include "JpegTestSupport.h"

namespace {

using namespace JpegTest;

constexpr int MaxDifference = 12;
constexpr double MaxMeanDifference = 1.2;

void ExpectMatchesReference(const std::vector<std::uint8_t>& jpeg, const std::string& what) {
  Picture reference = ReferenceDecode(jpeg);
  Picture ours = Decode(jpeg);
  ASSERT_EQ(ours.width, reference.width) << what;
  ASSERT_EQ(ours.height, reference.height) << what;
  Difference d = Compare(ours, reference);
  EXPECT_LE(d.largest, MaxDifference) << what;
  if (ours.pixels.size() >= 1000) {
    EXPECT_LE(d.mean, MaxMeanDifference) << what;
  }
}

struct ToolCase {
  std::string name;
  std::string options;
  bool gray;
};

// cjpeg over PPM and PGM pictures the test writes: every sampling the decoder accepts, both
// coding processes, restart intervals, optimised tables.
TEST(JpegCorpus, CjpegFilesMatchLibjpeg) {
  ASSERT_TRUE(HaveTool("cjpeg")) << "cjpeg (libjpeg-turbo-progs) is not installed";
  const std::uint32_t width = 203, height = 117;
  std::string dir = TempDir();
  WritePnm(dir + "/color.ppm", MakeSamples(width, height, 3), width, height, 3);
  WritePnm(dir + "/gray.pgm", MakeSamples(width, height, 1, 7), width, height, 1);
  const std::vector<ToolCase> cases = {
      {"s1x1", "-sample 1x1", false},
      {"s2x1", "-sample 2x1", false},
      {"s2x2", "-sample 2x2", false},
      {"s1x2", "-sample 1x2", false},
      {"s4x1", "-sample 4x1", false},
      {"s1x4", "-sample 1x4", false},
      {"s4x2", "-sample 4x2", false},
      {"s2x4", "-sample 2x4", false},
      {"s3x1", "-sample 3x1", false},
      {"s3x2", "-sample 3x2", false},
      {"s2x2_2x1", "-sample 2x2,2x1,1x2", false},
      {"chroma_max", "-sample 1x1,2x2,1x1", false},  // the luminance is not the largest
      {"s4x1_2x1", "-sample 4x1,2x1,1x1", false},
      {"q100", "-quality 100 -sample 1x1", false},
      {"q5", "-quality 5 -baseline", false},
      {"optimize", "-optimize", false},
      {"restart_rows", "-restart 1", false},
      {"restart_blocks", "-restart 3B", false},
      {"restart_one", "-restart 1B -sample 1x1", false},
      {"prog", "-progressive", false},
      {"prog1x1", "-progressive -sample 1x1", false},
      {"prog2x1", "-progressive -sample 2x1", false},
      {"prog4x2", "-progressive -sample 4x2", false},
      {"prog_restart", "-progressive -restart 2B", false},
      {"prog_q100", "-progressive -quality 100", false},
      {"gray", "-grayscale", false},
      {"gray_pgm", "", true},
      {"gray_prog", "-progressive", true},
      {"gray_restart", "-restart 5B -optimize", true},
  };
  for (const ToolCase& c : cases) {
    std::string out = dir + "/" + c.name + ".jpg";
    std::string in = dir + (c.gray ? "/gray.pgm" : "/color.ppm");
    ASSERT_TRUE(RunCommand("cjpeg -dct int " + c.options + " -outfile " + out + " " + in)) << c.name;
    ExpectMatchesReference(ReadFile(out), c.name);
    // Through the file stream too, with its 4096-byte buffer.
    Difference same = Compare(DecodeFile(out), Decode(ReadFile(out)));
    EXPECT_EQ(same.largest, 0) << c.name;
  }
}

// Refused codings, as libjpeg-turbo writes them: arithmetic coding, and the 16-bit
// quantization tables that very low qualities need without -baseline.
TEST(JpegCorpus, RefusedCodingsFromCjpeg) {
  ASSERT_TRUE(HaveTool("cjpeg")) << "cjpeg (libjpeg-turbo-progs) is not installed";
  std::string dir = TempDir();
  WritePnm(dir + "/refused.ppm", MakeSamples(40, 24, 3), 40, 24, 3);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"-arithmetic", "Cannot read image - Arithmetic Coding covered by patents"},
      {"-arithmetic -progressive", "Cannot read image - Arithmetic Coding covered by patents"},
      {"-quality 5", "Only 8-bit Data is Supported"},
  };
  for (const auto& [options, message] : cases) {
    std::string out = dir + "/refused.jpg";
    ASSERT_TRUE(RunCommand("cjpeg " + options + " -outfile " + out + " " + dir + "/refused.ppm")) << options;
    EXPECT_EQ(DecodeError(ReadFile(out)), message) << options;
    try {
      DecodeFile(out);
      ADD_FAILURE() << options;
    } catch (const Veldaro::JpegDecoder::JpegBadStream& error) {
      EXPECT_EQ(std::string(error.what()), message);
    }
  }
}

// jpegtran rewrites the coding of a file without touching its coefficients.
TEST(JpegCorpus, JpegtranRewritesDecodeAlike) {
  ASSERT_TRUE(HaveTool("cjpeg") && HaveTool("jpegtran")) << "libjpeg-turbo-progs is not installed";
  const std::uint32_t width = 150, height = 99;
  std::string dir = TempDir();
  WritePnm(dir + "/tran.ppm", MakeSamples(width, height, 3, 3), width, height, 3);
  ASSERT_TRUE(RunCommand("cjpeg -outfile " + dir + "/tran.jpg " + dir + "/tran.ppm"));
  Picture base = Decode(ReadFile(dir + "/tran.jpg"));
  for (std::string options :
       {"-progressive", "-optimize", "-restart 2B", "-progressive -restart 1", "-optimize -restart 7B"}) {
    std::string out = dir + "/tran_x.jpg";
    ASSERT_TRUE(RunCommand("jpegtran " + options + " -outfile " + out + " " + dir + "/tran.jpg")) << options;
    std::vector<std::uint8_t> jpeg = ReadFile(out);
    // Same coefficients: the same pixels exactly.
    EXPECT_EQ(Compare(Decode(jpeg), base).largest, 0) << options;
    ExpectMatchesReference(jpeg, options);
  }
}

// Every size from 1x1 to 17x17, baseline 4:2:0 and progressive 4:2:2 and greyscale, encoded
// with the library in the process.
TEST(JpegCorpus, SmallSizesMatchLibjpeg) {
  for (std::uint32_t height = 1; height <= 17; ++height) {
    for (std::uint32_t width = 1; width <= 17; ++width) {
      std::string what = std::to_string(width) + "x" + std::to_string(height);
      std::vector<std::uint8_t> color = MakeSamples(width, height, 3, width * 31 + height);
      EncodeOptions baseline;
      ExpectMatchesReference(Encode(color, width, height, JCS_RGB, baseline), what + " baseline");
      EncodeOptions progressive;
      progressive.progressive = true;
      progressive.sampling = {{2, 1}, {1, 1}, {1, 1}};
      ExpectMatchesReference(Encode(color, width, height, JCS_RGB, progressive), what + " progressive");
      std::vector<std::uint8_t> gray = MakeSamples(width, height, 1, width + height);
      ExpectMatchesReference(Encode(gray, width, height, JCS_GRAYSCALE, EncodeOptions{}), what + " gray");
    }
  }
}

TEST(JpegCorpus, LargePicturesMatchLibjpeg) {
  const std::uint32_t width = 1031, height = 777;
  std::vector<std::uint8_t> color = MakeSamples(width, height, 3, 99);
  EncodeOptions options;
  options.quality = 92;
  ExpectMatchesReference(Encode(color, width, height, JCS_RGB, options), "large baseline");
  options.progressive = true;
  options.restartBlocks = 17;
  ExpectMatchesReference(Encode(color, width, height, JCS_RGB, options), "large progressive");
}

// Four components: the samples are inverted CMYK; each colour is the sample less the inverse
// of the fourth.
TEST(JpegCorpus, CmykMatchesLibjpegSamples) {
  const std::uint32_t width = 67, height = 45;
  std::vector<std::uint8_t> cmyk = MakeSamples(width, height, 4, 5);
  EncodeOptions options;
  options.sampling = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
  ExpectMatchesReference(Encode(cmyk, width, height, JCS_CMYK, options), "cmyk");
  options.sampling = {{2, 2}, {1, 1}, {1, 1}, {2, 2}};
  options.progressive = true;
  ExpectMatchesReference(Encode(cmyk, width, height, JCS_CMYK, options), "cmyk progressive subsampled");
}

// Reading through refills of 1 to 9 bytes gives the same picture as one large buffer: the bit
// input meets every kind of buffer end (inside a stuffed 0xFF 0x00, before a marker, ...).
TEST(JpegCorpus, BufferSizeDoesNotChangeThePicture) {
  const std::uint32_t width = 61, height = 40;
  std::vector<std::uint8_t> color = MakeSamples(width, height, 3, 11);
  EncodeOptions options;
  options.quality = 97;
  options.restartBlocks = 2;
  for (bool progressive : {false, true}) {
    options.progressive = progressive;
    std::vector<std::uint8_t> jpeg = Encode(color, width, height, JCS_RGB, options);
    Picture whole = Decode(jpeg, 1 << 20);
    for (std::size_t chunk = 1; chunk <= 9; ++chunk) {
      EXPECT_EQ(Compare(Decode(jpeg, chunk), whole).largest, 0) << "chunk " << chunk << " progressive " << progressive;
    }
  }
}

}  // namespace
