// JpegDecoder: the driver from the start of image to the end of image, the count of scans for
// the progress report, the update of the image from the components, and the clean-up after
// an end, a failure or a cancel.

#include <algorithm>
#include <new>

#include "base/ScopeExit.h"
#include "imaging/JpegColorConvert.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegDecoderComponent.h"
#include "imaging/JpegInputFileStream.h"

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
    DefineRemainingRows();
    ReleaseComponentBuffers();
    if (!markersRead) currentImage = nullptr;
  });
  image.Clear();
  rowsDefined = 0;
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
  // Nothing is converted while a component has no samples (after the buffers were released
  // at the end of the image, or a component that no scan has included yet).
  if (!AllComponentsHaveSamples()) return;
  if (progressive) {
    // The samples are made from the coefficients one MCU row at a time.
    for (std::uint32_t row = 0; row < mcuRows; ++row) {
      for (std::uint32_t i = 0; i < componentCount; ++i) (*components)[componentIds[i]].ProgressiveInverseDct(row);
      ConvertRows(row * mcuHeight, std::min(frameHeight, (row + 1) * mcuHeight));
    }
    return;
  }
  if (sampleLayout == SampleLayout::Planes) {
    ConvertRows(0, frameHeight);
    return;
  }
  // Strips: the complete ones are in the image already. The one being decoded shows its
  // decoded blocks and the level 128 elsewhere, as do the rows that no scan has reached.
  if (stripActive) ConvertRows(activeStrip * mcuHeight, std::min(frameHeight, (activeStrip + 1) * mcuHeight));
  FillUnreachedRows(std::min(frameHeight, stripsReached * mcuHeight));
}

bool JpegDecoder::AllComponentsHaveSamples() const {
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    if (!(*components)[componentIds[i]].HasSamples()) return false;
  }
  return componentCount != 0;
}

void JpegDecoder::ConvertRows(std::uint32_t first, std::uint32_t last) {
  using VeldaroPrivate::JpegDecoderComponent;
  auto component = [this](std::uint32_t i) -> JpegDecoderComponent& { return (*components)[componentIds[i]]; };
  bool written = false;
  switch (componentCount) {
    case 1: written = JpegDecoderComponent::GrayscaleConvert(component(0), *currentImage, first, last); break;
    case 3:
      written = JpegDecoderComponent::RGBConvert(component(0), component(1), component(2), *currentImage, first, last);
      break;
    case 4:
      written = JpegDecoderComponent::CMYKConvert(component(0), component(1), component(2), component(3), *currentImage,
                                                  first, last);
      break;
    default: break;
  }
  if (written) RowsWritten(first, last);
}

void JpegDecoder::FillUnreachedRows(std::uint32_t first) {
  BitmapImage& image = *currentImage;
  if (first >= image.Height() || image.Width() == 0) return;
  // The pixel of samples that are all 128, through the conversion of the frame's components.
  const std::uint8_t level[1] = {128};
  std::uint32_t pixel = 0;
  switch (componentCount) {
    case 1: VeldaroPrivate::JpegColorConvert::GrayRow(level, &pixel, 1); break;
    case 3: VeldaroPrivate::JpegColorConvert::YCbCrRow(level, level, level, &pixel, 1); break;
    case 4: VeldaroPrivate::JpegColorConvert::CmykRow(level, level, level, level, &pixel, 1); break;
    default: return;
  }
  std::fill(image.Row(first), image.Pixels() + image.PixelCount(), pixel);
  RowsWritten(first, image.Height());
}

void JpegDecoder::RowsWritten(std::uint32_t first, std::uint32_t last) {
  BitmapImage& image = *currentImage;
  last = std::min(last, image.Height());
  if (first >= last) return;
  image.ZeroRows(rowsDefined, first);
  rowsDefined = std::max(rowsDefined, last);
}

void JpegDecoder::DefineRemainingRows() {
  if (currentImage == nullptr) return;
  BitmapImage& image = *currentImage;
  image.ZeroRows(rowsDefined, image.Height());
  rowsDefined = std::max(rowsDefined, image.Height());
}

void JpegDecoder::UpdateImageAfterFailure() noexcept {
  try {
    UpdateImage();
  } catch (const std::bad_alloc&) {
    // The image keeps the pixels it had.
  }
}

void JpegDecoder::ReleaseComponentBuffers() {
  stripActive = false;
  if (currentPass == 0) return;
  for (std::uint32_t i = 0; i < componentCount; ++i) (*components)[componentIds[i]].FreeComponentBuffers();
}

}  // namespace Veldaro
