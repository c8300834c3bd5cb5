#include "platform/vcl/JpegImage.h"

#include <csetjmp>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <string>

#include "platform/vcl/BitmapBmpFormat.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/Streams.h"

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back into DecodeJpeg, which turns the message into an exception
// once libjpeg's state is released.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings (a file cut short, for example) are not shown; what was decoded is
// kept, as the class library's JPEG graphic does.
void OutputMessage(j_common_ptr) {}

// Decodes into `pixels`; answers false with a message on failure. No object
// with a destructor is created between setjmp and the calls that may jump.
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, int& width, int& height, std::vector<std::uint32_t>& pixels,
                std::vector<std::uint8_t>& row, std::string& error) {
  jpeg_decompress_struct cinfo;
  ErrorManager manager;
  cinfo.err = jpeg_std_error(&manager.pub);
  manager.pub.error_exit = ErrorExit;
  manager.pub.output_message = OutputMessage;
  manager.message[0] = '\0';
  if (setjmp(manager.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    error = manager.message;
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (static_cast<long long>(cinfo.image_width) * cinfo.image_height > kMaxBitmapPixels || cinfo.image_width == 0 ||
      cinfo.image_height == 0) {
    jpeg_destroy_decompress(&cinfo);
    error = "JPEG image is too large";
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  pixels.assign(static_cast<std::size_t>(width) * height, 0xFF000000u);
  row.assign(static_cast<std::size_t>(width) * 4, 0);
  // Adobe's CMYK files store the inks inverted.
  const bool inverted = cinfo.saw_Adobe_marker;
  while (cinfo.output_scanline < cinfo.output_height) {
    const std::size_t y = cinfo.output_scanline;
    JSAMPROW target = cmyk ? row.data() : reinterpret_cast<JSAMPROW>(pixels.data() + y * width);
    if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) break;
    if (cmyk) {
      for (int x = 0; x < width; ++x) {
        unsigned c = row[4 * x], m = row[4 * x + 1], yy = row[4 * x + 2], k = row[4 * x + 3];
        if (!inverted) {
          c = 255 - c;
          m = 255 - m;
          yy = 255 - yy;
          k = 255 - k;
        }
        const unsigned r = (c * k + 127) / 255, g = (m * k + 127) / 255, b = (yy * k + 127) / 255;
        pixels[y * width + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

void TJPEGImage::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<std::uint8_t> row;
  std::string error;
  if (size == 0 || !DecodeJpeg(data, size, width, height, pixels, row, error))
    throw EInvalidGraphic("JPEG error: " + (error.empty() ? std::string("no image data") : error));
  SetPicture(width, height, std::move(pixels), data, size);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  const std::vector<std::uint8_t> bytes = ReadRestOfStream(stream, "JPEG error: file too large");
  LoadFromBytes(bytes.data(), bytes.size());
}

void TJPEGImage::Assign(const TGraphic* source) {
  if (source == this) return;
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(source);
  if (source != nullptr && jpeg == nullptr)
    throw EInvalidGraphicOperation("Cannot assign this picture to a JPEG image");
  CopyPicture(jpeg);
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
  auto copy = std::make_unique<TJPEGImage>();
  copy->Assign(this);
  return copy;
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return;
  canvas.StretchBlock(rect, {pixels_.data(), width_, height_}, Rect(0, 0, width_, height_), TBlitMode::Copy, clBlack,
                      canvas.CopyMode);
}
