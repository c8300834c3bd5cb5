// Small JPEG files (under data/) cut after every one of their bytes: the error each cut gives
// and the picture kept of it must stay as recorded in the golden files beside them
// (NAME.cuts.txt). The cuts run through the memory stream with refills of 1, 5 and 4096
// bytes, so that the end of the data meets the bit input on its fast and its exact paths, in
// the middle of a code, of a stuffed 0xFF 0x00, of a restart marker and of a segment.
//
// A golden file lists only the cuts where the outcome changes: "cut error hash", the error in
// double quotes ("" for none) and a hash of the picture's size and pixels. Run with
// TARNWELL_UPDATE_GOLDEN set to rewrite them after a reviewed change of behaviour.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "JpegTestSupport.h"

namespace {

using namespace JpegTest;

std::string DataDir() { return std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/jpeg/data/"; }

// FNV-1a over the picture's width, height and pixels.
std::uint32_t PictureHash(const Veldaro::BitmapImage& image) {
  std::uint32_t hash = 2166136261u;
  auto mix = [&hash](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
      hash ^= (value >> (8 * i)) & 0xFF;
      hash *= 16777619u;
    }
  };
  mix(image.Width());
  mix(image.Height());
  if (image.Pixels() != nullptr) {
    for (std::uint32_t i = 0; i < image.PixelCount(); ++i) mix(image.Pixels()[i]);
  }
  return hash;
}

struct Outcome {
  std::string error;
  std::uint32_t hash = 0;
  bool operator==(const Outcome&) const = default;
};

Outcome DecodeCut(const std::vector<std::uint8_t>& jpeg, std::size_t cut, std::uint32_t chunkSize) {
  Veldaro::JpegInputMemoryStream stream(std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(cut)),
                                        chunkSize);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  Outcome outcome;
  try {
    decoder.ReadImage(stream, image);
  } catch (const std::exception& error) {
    outcome.error = error.what();
  }
  outcome.hash = PictureHash(image);
  return outcome;
}

std::string Line(std::size_t cut, const Outcome& outcome) {
  char hash[16];
  std::snprintf(hash, sizeof hash, "0x%08X", outcome.hash);
  return std::to_string(cut) + " \"" + outcome.error + "\" " + hash;
}

// The outcome of every cut from 0 to the whole file, from the golden lines.
std::vector<Outcome> ReadGolden(const std::string& path, std::size_t size) {
  std::ifstream in(path);
  std::vector<Outcome> outcomes;
  std::string line;
  while (std::getline(in, line)) {
    std::size_t open = line.find('"');
    std::size_t close = line.rfind('"');
    if (open == std::string::npos || close == open) continue;
    std::size_t cut = std::stoul(line.substr(0, open));
    Outcome outcome{line.substr(open + 1, close - open - 1),
                    std::uint32_t(std::stoul(line.substr(close + 1), nullptr, 16))};
    if (!outcomes.empty()) outcomes.resize(cut, outcomes.back());
    outcomes.push_back(outcome);
  }
  if (!outcomes.empty()) outcomes.resize(size + 1, outcomes.back());
  return outcomes;
}

class JpegTruncationGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(JpegTruncationGolden, EveryCutGivesTheRecordedOutcome) {
  const std::string base = DataDir() + GetParam();
  const std::vector<std::uint8_t> jpeg = ReadFile(base + ".jpg");
  ASSERT_GT(jpeg.size(), 500u);
  const std::string goldenPath = base + ".cuts.txt";
  if (std::getenv("TARNWELL_UPDATE_GOLDEN") != nullptr) {
    std::ofstream out(goldenPath, std::ios::trunc);
    Outcome last{"?", 0};
    for (std::size_t cut = 0; cut <= jpeg.size(); ++cut) {
      Outcome outcome = DecodeCut(jpeg, cut, 4096);
      if (!(outcome == last)) out << Line(cut, outcome) << "\n";
      last = outcome;
    }
  }
  const std::vector<Outcome> golden = ReadGolden(goldenPath, jpeg.size());
  ASSERT_EQ(golden.size(), jpeg.size() + 1) << goldenPath;
  // The whole file decodes.
  EXPECT_EQ(golden.back().error, "");
  for (std::uint32_t chunkSize : {4096u, 5u, 1u}) {
    for (std::size_t cut = 0; cut <= jpeg.size(); ++cut) {
      Outcome outcome = DecodeCut(jpeg, cut, chunkSize);
      ASSERT_EQ(Line(cut, outcome), Line(cut, golden[cut])) << GetParam() << " refills of " << chunkSize;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, JpegTruncationGolden,
                         ::testing::Values("baseline-420-restart1", "progressive-420-restart1", "gray-q98"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

}  // namespace
