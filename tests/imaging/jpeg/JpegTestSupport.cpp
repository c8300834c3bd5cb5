#include "JpegTestSupport.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>

namespace JpegTest {

Picture FromImage(const Veldaro::BitmapImage& image) {
  Picture picture;
  picture.width = image.Width();
  picture.height = image.Height();
  if (image.Pixels() != nullptr) picture.pixels.assign(image.Pixels(), image.Pixels() + image.PixelCount());
  return picture;
}

std::vector<std::uint8_t> MakeSamples(std::uint32_t width, std::uint32_t height, std::uint32_t components,
                                      std::uint32_t seed) {
  std::vector<std::uint8_t> samples(std::size_t(width) * height * components);
  std::uint32_t noise = seed * 2654435761u + 12345;
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      for (std::uint32_t c = 0; c < components; ++c) {
        noise = noise * 1664525u + 1013904223u;
        int value = int((x * (3 + c) + y * (5 - c) + seed * 17) % 256);
        if (((x / 13 + y / 11 + c) & 3) == 0) value = 255 - value;  // edges
        if ((x + y) % 29 < 3) value = c * 80;                       // thin lines
        value += int(noise >> 28) - 8;                              // noise
        samples[(std::size_t(y) * width + x) * components + c] = std::uint8_t(std::clamp(value, 0, 255));
      }
    }
  }
  return samples;
}

namespace {

struct ErrorJump {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<ErrorJump*>(info->err);
  (*info->err->format_message)(info, error->message);
  std::longjmp(error->jump, 1);
}

void Silent(j_common_ptr, int) {}

}  // namespace

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& samples, std::uint32_t width, std::uint32_t height,
                                 int colorSpace, const EncodeOptions& options) {
  jpeg_compress_struct info{};
  ErrorJump error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = ErrorExit;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    std::free(out);
    throw std::runtime_error(std::string("libjpeg: ") + error.message);
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = width;
  info.image_height = height;
  J_COLOR_SPACE space = J_COLOR_SPACE(colorSpace);
  info.input_components = space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  if (space == JCS_CMYK) jpeg_set_colorspace(&info, JCS_CMYK);
  if (space == JCS_YCbCr) jpeg_set_colorspace(&info, JCS_YCbCr);
  jpeg_set_quality(&info, options.quality, TRUE);
  if (options.unitQuantizers) {
    unsigned int ones[64];
    for (unsigned int& one : ones) one = 1;
    jpeg_add_quant_table(&info, 0, ones, 100, TRUE);
    jpeg_add_quant_table(&info, 1, ones, 100, TRUE);
  }
  for (std::size_t i = 0; i < options.sampling.size() && int(i) < info.num_components; ++i) {
    info.comp_info[i].h_samp_factor = options.sampling[i].first;
    info.comp_info[i].v_samp_factor = options.sampling[i].second;
  }
  info.optimize_coding = options.optimize ? TRUE : FALSE;
  info.arith_code = options.arithmetic ? TRUE : FALSE;
  info.restart_in_rows = options.restartRows;
  info.restart_interval = unsigned(options.restartBlocks);
  info.dct_method = JDCT_ISLOW;
  if (options.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::size_t rowBytes = std::size_t(width) * info.input_components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * rowBytes);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<std::uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

Picture ReferenceDecode(const std::vector<std::uint8_t>& jpeg) {
  jpeg_decompress_struct info{};
  ErrorJump error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = ErrorExit;
  error.manager.emit_message = Silent;
  // Declared before setjmp, so that a jump back leaves them to their destructors.
  Picture picture;
  std::vector<std::uint8_t> row;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    throw std::runtime_error(std::string("libjpeg: ") + error.message);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpeg.data(), jpeg.size());
  jpeg_read_header(&info, TRUE);
  info.dct_method = JDCT_ISLOW;
  info.do_fancy_upsampling = FALSE;
  info.do_block_smoothing = FALSE;
  int kind = info.num_components;
  if (kind == 1) {
    info.out_color_space = JCS_GRAYSCALE;
  } else if (kind == 4) {
    info.out_color_space = JCS_CMYK;
  } else {
    info.jpeg_color_space = JCS_YCbCr;  // as this system reads every 3-component frame
    info.out_color_space = JCS_EXT_BGRA;
  }
  jpeg_start_decompress(&info);
  picture.width = info.output_width;
  picture.height = info.output_height;
  picture.pixels.resize(std::size_t(picture.width) * picture.height);
  row.resize(std::size_t(info.output_width) * info.output_components);
  while (info.output_scanline < info.output_height) {
    std::uint32_t y = info.output_scanline;
    JSAMPROW rowPointer = row.data();
    jpeg_read_scanlines(&info, &rowPointer, 1);
    for (std::uint32_t x = 0; x < picture.width; ++x) {
      const std::uint8_t* s = row.data() + std::size_t(x) * info.output_components;
      std::uint32_t pixel;
      if (kind == 1) {
        pixel = 0xFF000000u | std::uint32_t(s[0]) * 0x010101u;
      } else if (kind == 4) {
        int black = 255 - s[3];
        auto channel = [black](int v) { return std::uint32_t(std::clamp(v - black, 0, 255)); };
        pixel = 0xFF000000u | channel(s[0]) << 16 | channel(s[1]) << 8 | channel(s[2]);
      } else {
        pixel = 0xFF000000u | std::uint32_t(s[2]) << 16 | std::uint32_t(s[1]) << 8 | s[0];
      }
      picture.pixels[std::size_t(y) * picture.width + x] = pixel;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return picture;
}

Picture Decode(const std::vector<std::uint8_t>& jpeg, std::size_t chunkSize) {
  Veldaro::JpegInputMemoryStream stream(jpeg, std::uint32_t(chunkSize));
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  decoder.ReadImage(stream, image);
  return FromImage(image);
}

Picture DecodeFile(const std::string& path) {
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  decoder.ReadImageFile(path, image);
  return FromImage(image);
}

std::string DecodeError(const std::vector<std::uint8_t>& jpeg, std::size_t chunkSize) {
  try {
    Decode(jpeg, chunkSize);
  } catch (const std::exception& error) {
    return error.what();
  }
  return "";
}

Difference Compare(const Picture& a, const Picture& b) {
  Difference result;
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
    result.largest = 1000;
    return result;
  }
  double total = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    // Alpha must be equal; the colour channels are measured.
    if ((a.pixels[i] >> 24) != (b.pixels[i] >> 24)) result.largest = 1000;
    for (int shift = 0; shift < 24; shift += 8) {
      int d = std::abs(int((a.pixels[i] >> shift) & 0xFF) - int((b.pixels[i] >> shift) & 0xFF));
      result.largest = std::max(result.largest, d);
      total += d;
    }
  }
  if (!a.pixels.empty()) result.mean = total / double(a.pixels.size() * 3);
  return result;
}

namespace {

struct TempFolder {
  std::string path;
  TempFolder() {
    char pattern[] = "/tmp/imaging_jpeg_tests.XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

std::string TempDir() {
  static TempFolder folder;
  return folder.path;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WritePnm(const std::string& path, const std::vector<std::uint8_t>& samples, std::uint32_t width,
              std::uint32_t height, std::uint32_t components) {
  std::string header = std::string(components == 1 ? "P5" : "P6") + "\n" + std::to_string(width) + " " +
                       std::to_string(height) + "\n255\n";
  std::vector<std::uint8_t> bytes(header.begin(), header.end());
  bytes.insert(bytes.end(), samples.begin(), samples.end());
  WriteFile(path, bytes);
}

bool RunCommand(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

bool HaveTool(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null"); }

std::size_t FindMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t code) {
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
  }
  return std::string::npos;
}

}  // namespace JpegTest

// Under AddressSanitizer every allocation of the test program comes filled with 0xBE (by
// default only its first 4 KiB), so that pixels a decoder leaves without a value show in the
// pictures the tests compare.
extern "C" const char* tarnwell_asan_options() { return "max_malloc_fill_size=1073741824"; }
