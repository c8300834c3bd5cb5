// Upsampling of the components' samples by replication and the colour conversions into
// 32-bit pixels (grey, JFIF YCbCr, inverted CMYK), row by row through the kernels of
// JpegColorConvert. Each pixel reads the sample that replication gives it straight from the
// component's buffer (see JpegDecoderComponent.h).

#include <vector>

#include "imaging/JpegColorConvert.h"
#include "imaging/JpegDecoderComponent.h"

namespace VeldaroPrivate {

using Veldaro::BitmapImage;

namespace {

// The rows of up to four components replicated to the full width. A component's row is
// replicated again only when its sample row changes (vertical replication repeats it).
class ReplicatedRows {
 public:
  ReplicatedRows(std::uint32_t count, std::uint32_t width) : width_(width), buffer_(std::size_t(count) * width) {}

  const std::uint8_t* Row(std::uint32_t i, const std::uint8_t* samples, std::uint32_t ratio) {
    if (ratio == 1) return samples;
    std::uint8_t* row = buffer_.data() + std::size_t(i) * width_;
    if (source_[i] != samples) {
      JpegColorConvert::ReplicateRow(samples, ratio, width_, row);
      source_[i] = samples;
    }
    return row;
  }

 private:
  std::uint32_t width_;
  std::vector<std::uint8_t> buffer_;
  const std::uint8_t* source_[4] = {};
};

}  // namespace

bool JpegDecoderComponent::Holds(std::uint32_t width, std::uint32_t first, std::uint32_t last) const {
  // An image without pixels has nothing to convert.
  if (dataUnits == nullptr || horizontalRatio == 0 || verticalRatio == 0 || width == 0 || first >= last) return false;
  const std::uint64_t firstSampleRow = std::uint64_t(firstBlockRow) * 8;
  return (width - 1) / horizontalRatio < DataUnitStride() && first / verticalRatio >= firstSampleRow &&
         (last - 1) / verticalRatio < firstSampleRow + std::uint64_t(heldBlockRows) * 8;
}

template <std::size_t Count, typename RowKernel>
bool JpegDecoderComponent::ConvertRows(JpegDecoderComponent* const (&components)[Count], BitmapImage& image,
                                       std::uint32_t first, std::uint32_t last, RowKernel convertRow) {
  std::uint32_t width = image.Width();
  if (last > image.Height()) last = image.Height();
  for (JpegDecoderComponent* component : components) {
    if (!component->Holds(width, first, last)) return false;
  }
  ReplicatedRows rows(Count, width);
  for (std::uint32_t y = first; y < last; ++y) {
    const std::uint8_t* in[Count];
    for (std::uint32_t i = 0; i < Count; ++i) {
      in[i] = rows.Row(i, components[i]->SampleRow(y), components[i]->horizontalRatio);
    }
    convertRow(in, image.Row(y), width);
  }
  return true;
}

bool JpegDecoderComponent::GrayscaleConvert(JpegDecoderComponent& component, BitmapImage& image, std::uint32_t first,
                                            std::uint32_t last) {
  JpegDecoderComponent* const components[1] = {&component};
  return ConvertRows(components, image, first, last,
                     [](const std::uint8_t* const(&in)[1], std::uint32_t* out, std::uint32_t width) {
                       JpegColorConvert::GrayRow(in[0], out, width);
                     });
}

bool JpegDecoderComponent::RGBConvert(JpegDecoderComponent& yComponent, JpegDecoderComponent& cbComponent,
                                      JpegDecoderComponent& crComponent, BitmapImage& image, std::uint32_t first,
                                      std::uint32_t last) {
  JpegDecoderComponent* const components[3] = {&yComponent, &cbComponent, &crComponent};
  if (yComponent.horizontalRatio == 1 && cbComponent.horizontalRatio == 2 && crComponent.horizontalRatio == 2) {
    return HalfWidthChromaConvert(components, image, first, last);
  }
  return ConvertRows(components, image, first, last,
                     [](const std::uint8_t* const(&in)[3], std::uint32_t* out, std::uint32_t width) {
                       JpegColorConvert::YCbCrRow(in[0], in[1], in[2], out, width);
                     });
}

bool JpegDecoderComponent::HalfWidthChromaConvert(JpegDecoderComponent* const (&components)[3], BitmapImage& image,
                                                  std::uint32_t first, std::uint32_t last) {
  // Chroma at half the width (4:2:2, 4:2:0): the offsets of each chroma row are worked out
  // once, at its own width, for every pixel row that replication gives it.
  std::uint32_t width = image.Width();
  if (last > image.Height()) last = image.Height();
  for (JpegDecoderComponent* component : components) {
    if (!component->Holds(width, first, last)) return false;
  }
  const std::size_t pairs = (std::size_t(width) + 1) / 2;
  std::vector<std::int16_t> offsets(3 * pairs);
  const std::uint8_t* cbRow = nullptr;
  const std::uint8_t* crRow = nullptr;
  for (std::uint32_t y = first; y < last; ++y) {
    if (components[1]->SampleRow(y) != cbRow || components[2]->SampleRow(y) != crRow) {
      cbRow = components[1]->SampleRow(y);
      crRow = components[2]->SampleRow(y);
      JpegColorConvert::YCbCrOffsets(cbRow, crRow, offsets.data(), offsets.data() + pairs, offsets.data() + 2 * pairs,
                                     std::uint32_t(pairs));
    }
    JpegColorConvert::YCbCrHalfWidthRow(components[0]->SampleRow(y), offsets.data(), offsets.data() + pairs,
                                        offsets.data() + 2 * pairs, image.Row(y), width);
  }
  return true;
}

bool JpegDecoderComponent::CMYKConvert(JpegDecoderComponent& c1, JpegDecoderComponent& c2, JpegDecoderComponent& c3,
                                       JpegDecoderComponent& c4, BitmapImage& image, std::uint32_t first,
                                       std::uint32_t last) {
  JpegDecoderComponent* const components[4] = {&c1, &c2, &c3, &c4};
  return ConvertRows(components, image, first, last,
                     [](const std::uint8_t* const(&in)[4], std::uint32_t* out, std::uint32_t width) {
                       JpegColorConvert::CmykRow(in[0], in[1], in[2], in[3], out, width);
                     });
}

}  // namespace VeldaroPrivate
