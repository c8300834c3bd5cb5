// JpegDecoder: the driver from the start of image to the end of image, the count of scans for
// the progress report, the update of the image from the components, and the clean-up after
// an end, a failure or a cancel.

#include <new>

#include "imaging/JpegDecoder.h"
#include "imaging/JpegDecoderComponent.h"
#include "imaging/JpegInputFileStream.h"
#include "platform/base/ScopeExit.h"

namespace Veldaro {

namespace {

// Bytes of the stream buffer of the file entry.
constexpr std::uint32_t kFileBufferSize = 4096;

}  // namespace

void JpegDecoder::ReadImageFile(const std::string& fileName, BitmapImage& image) {
  JpegInputFileStream stream(kFileBufferSize);
  stream.Open(fileName);
  try {
    ReadImage(stream, image);
  } catch (const InputByteStream::StreamError& error) {
    throw JpegError(error.what());
  }
}

void JpegDecoder::ReadImage(JpegInputStream& stream, BitmapImage& image) {
  currentPass = 0;
  passCount = 0;
  cancelled = false;
  currentImage = &image;
  if (progressFunction != nullptr) CountScans(stream);
  restartInterval = 0;
  bool markersRead = false;
  // However the decode ends, the components' storage is released. A failure or a cancel
  // before the end of the markers also ends the reading of the image: after a failure the
  // image first receives what has been decoded so far, after a cancel it keeps what was
  // converted before. Once the markers are read, the decoder keeps referring to the image.
  ScopeExit finish([&] {
    if (!markersRead && !cancelled) UpdateImageAfterFailure();
    ReleaseComponentBuffers();
    if (!markersRead) currentImage = nullptr;
  });
  image.Clear();
  ReadMarkers(stream);
  markersRead = true;
  UpdateImage();
  if (!eoiFound) throw JpegBadStream("End of Image Marker Not Found");
  CheckTrailer(stream);
}

void JpegDecoder::ReadMarkers(JpegInputStream& stream) {
  eoiFound = false;
  frameReady = false;
  ReadStreamHeader(stream);
  std::uint8_t byte = stream.GetByte();
  while (stream.MoreData() && !eoiFound) {
    if (byte == 0xFF) {
      ReadMarker(stream);
      if (eoiFound) break;
    }
    byte = stream.GetByte();
    if (!stream.MoreData()) throw JpegBadStream("Premature end of file");
  }
}

void JpegDecoder::CheckTrailer(JpegInputStream& stream) {
  if (!stream.MoreData()) return;
  // Line ends after the end of image are tolerated, and one last byte of any value.
  std::uint8_t byte = 0;
  stream.Read(&byte, 1);
  while ((byte == 0x0D || byte == 0x0A) && stream.MoreData()) stream.Read(&byte, 1);
  if (stream.MoreData()) throw JpegBadStream("Extra Data After End of Image Marker");
}

void JpegDecoder::CountScans(JpegInputStream& stream) {
  std::streampos start = stream.Tell();
  passCount = 0;
  while (stream.MoreData()) {
    std::uint8_t byte = stream.GetByte();
    if (byte != 0xFF) continue;
    while (byte == 0xFF && stream.MoreData()) byte = stream.GetByte();
    if (byte == 0xDA) ++passCount;
    if (byte == 0xD9) break;
  }
  stream.Seek(start);
}

void JpegDecoder::UpdateImage() {
  if (currentImage == nullptr) throw JpegError("Not reading an image");
  if (currentPass == 0) return;
  using VeldaroPrivate::JpegDecoderComponent;
  auto component = [this](std::uint32_t i) -> JpegDecoderComponent& { return (*components)[componentIds[i]]; };
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    if (progressive) component(i).ProgressiveInverseDct();
    component(i).Upsample();
  }
  // The conversions do nothing when a component has no samples (after the buffers were
  // released at the end of the image, or a component that no scan included).
  switch (componentCount) {
    case 1: JpegDecoderComponent::GrayscaleConvert(component(0), *currentImage); break;
    case 3: JpegDecoderComponent::RGBConvert(component(0), component(1), component(2), *currentImage); break;
    case 4:
      JpegDecoderComponent::CMYKConvert(component(0), component(1), component(2), component(3), *currentImage);
      break;
    default: break;
  }
}

void JpegDecoder::UpdateImageAfterFailure() noexcept {
  try {
    UpdateImage();
  } catch (const std::bad_alloc&) {
    // The image keeps the pixels it had.
  }
}

void JpegDecoder::ReleaseComponentBuffers() {
  if (currentPass == 0) return;
  for (std::uint32_t i = 0; i < componentCount; ++i) (*components)[componentIds[i]].FreeComponentBuffers();
}

}  // namespace Veldaro
