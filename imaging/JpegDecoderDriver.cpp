// JpegDecoder: the driver from the start of image to the end of image, the count of scans for
// the progress report, the update of the image from the components, and the clean-up after
// an end, a failure or a cancel.

#include "imaging/JpegDecoder.h"
#include "imaging/JpegDecoderComponent.h"
#include "imaging/JpegInputFileStream.h"

namespace Veldaro {

void JpegDecoder::ReadImageFile(const std::string& fileName, BitmapImage& image) {
  JpegInputFileStream stream(4096);
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
  currentImage = &image;
  if (progressFunction != nullptr) CountScans(stream);
  restartInterval = 0;
  try {
    image.Clear();
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
  } catch (const GraphicsAbort&) {
    // A cancel: the image keeps what was converted before; the request is passed on.
    ReleaseComponentBuffers();
    currentImage = nullptr;
    throw;
  } catch (...) {
    // Any failure: the image first receives what has been decoded so far.
    UpdateImage();
    ReleaseComponentBuffers();
    currentImage = nullptr;
    throw;
  }
  UpdateImage();
  if (!eoiFound) throw JpegBadStream("End of Image Marker Not Found");
  if (stream.MoreData()) {
    // Line ends after the end of image are tolerated, and one last byte of any value.
    std::uint8_t byte = 0;
    stream.Read(&byte, 1);
    while ((byte == 0x0D || byte == 0x0A) && stream.MoreData()) stream.Read(&byte, 1);
    if (stream.MoreData()) throw JpegBadStream("Extra Data After End of Image Marker");
  }
  ReleaseComponentBuffers();
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
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    VeldaroPrivate::JpegDecoderComponent& component = components[componentIds[i]];
    if (progressive) component.ProgressiveInverseDct();
    component.Upsample();
  }
  // The conversions do nothing when a component has no samples (after the buffers were
  // released at the end of the image, or a component that no scan included).
  using VeldaroPrivate::JpegDecoderComponent;
  switch (componentCount) {
    case 1: JpegDecoderComponent::GrayscaleConvert(components[componentIds[0]], *currentImage); break;
    case 3:
      JpegDecoderComponent::RGBConvert(components[componentIds[0]], components[componentIds[1]],
                                       components[componentIds[2]], *currentImage);
      break;
    case 4:
      JpegDecoderComponent::CMYKConvert(components[componentIds[0]], components[componentIds[1]],
                                        components[componentIds[2]], components[componentIds[3]], *currentImage);
      break;
    default: break;
  }
}

void JpegDecoder::ReleaseComponentBuffers() {
  if (currentPass == 0) return;
  for (std::uint32_t i = 0; i < componentCount; ++i) components[componentIds[i]].FreeComponentBuffers();
}

}  // namespace Veldaro
