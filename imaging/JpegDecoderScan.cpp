// JpegDecoder: the scan loops (interleaved and non-interleaved order, ITU-T T.81 A.2) for
// sequential and progressive scans, and the restart markers between restart intervals.

#include <algorithm>

#include "imaging/JpegDecoder.h"
#include "imaging/JpegDecoderComponent.h"

namespace Veldaro {

using VeldaroPrivate::JpegDecoderComponent;

void JpegDecoder::DecodeSequentialScan(JpegInputStream& stream) {
  nextRestartMarker = 0;
  if (IsInterleavedScan()) {
    DecodeInterleavedScan(stream);
  } else {
    DecodeNonInterleavedScan(stream);
  }
}

void JpegDecoder::DecodeProgressiveScan(JpegInputStream& stream, std::uint32_t ss, std::uint32_t se, std::uint32_t ah,
                                        std::uint32_t al) {
  nextRestartMarker = 0;
  // Coefficient positions end at 63; a larger end would index past the block.
  if (se > 63) throw JpegBadStream("Invalid Spectral Selection");
  if (ss == 0) {
    if (se != 0) throw JpegBadStream("Progressive scan contains DC and AC data");
    if (ah == 0) {
      DecodeDcFirstScan(stream, al);
    } else {
      DecodeDcRefineScan(stream, al);
    }
  } else if (ah == 0) {
    DecodeAcFirstScan(stream, ss, se, al);
  } else {
    DecodeAcRefineScan(stream, ss, se, al);
  }
}

template <typename BlockDecoder>
void JpegDecoder::InterleavedLoop(JpegInputStream& stream, BlockDecoder decodeBlock) {
  ResetDcPredictions();
  std::uint32_t restartCount = 0;
  for (std::uint32_t r = 0; r < mcuRows; ++r) {
    CallProgressFunction(std::uint32_t(std::uint64_t(r) * 100 / mcuRows));
    BeginStrip(r);
    for (std::uint32_t c = 0; c < mcuCols; ++c) {
      if (restartInterval != 0 && restartCount == restartInterval) {
        ProcessRestart(stream);
        restartCount = 0;
      }
      for (std::uint32_t i = 0; i < scanComponentCount; ++i) {
        JpegDecoderComponent& component = *scanComponents[i];
        std::uint32_t h = component.HorizontalFrequency();
        std::uint32_t v = component.VerticalFrequency();
        for (std::uint32_t y = 0; y < v; ++y) {
          for (std::uint32_t x = 0; x < h; ++x) decodeBlock(component, v * r + y, h * c + x);
        }
      }
      ++restartCount;
    }
    EndStrip(r);
  }
}

template <typename BlockDecoder>
void JpegDecoder::NonInterleavedLoop(JpegInputStream& stream, BlockDecoder decodeBlock) {
  ResetDcPredictions();
  JpegDecoderComponent& component = *scanComponents[0];
  std::uint32_t rows = component.NoninterleavedRows();
  std::uint32_t cols = component.NoninterleavedCols();
  // Block row r of the component lies in MCU row r / v.
  std::uint32_t v = component.VerticalFrequency();
  std::uint32_t restartCount = 0;
  for (std::uint32_t r = 0; r < rows; ++r) {
    CallProgressFunction(std::uint32_t(std::uint64_t(r) * 100 / rows));
    if (r % v == 0) BeginStrip(r / v);
    for (std::uint32_t c = 0; c < cols; ++c) {
      if (restartInterval != 0 && restartCount == restartInterval) {
        ProcessRestart(stream);
        restartCount = 0;
      }
      decodeBlock(component, r, c);
      ++restartCount;
    }
    if (r % v == v - 1 || r + 1 == rows) EndStrip(r / v);
  }
}

void JpegDecoder::DecodeInterleavedScan(JpegInputStream& stream) {
  InterleavedLoop(stream, [&stream](JpegDecoderComponent& component, std::uint32_t row, std::uint32_t col) {
    component.DecodeSequential(stream, row, col);
  });
}

void JpegDecoder::DecodeNonInterleavedScan(JpegInputStream& stream) {
  NonInterleavedLoop(stream, [&stream](JpegDecoderComponent& component, std::uint32_t row, std::uint32_t col) {
    component.DecodeSequential(stream, row, col);
  });
}

void JpegDecoder::DecodeDcFirstScan(JpegInputStream& stream, std::uint32_t al) {
  auto decode = [&stream, al](JpegDecoderComponent& component, std::uint32_t row, std::uint32_t col) {
    component.DecodeDcFirst(stream, row, col, al);
  };
  if (IsInterleavedScan()) {
    InterleavedLoop(stream, decode);
  } else {
    NonInterleavedLoop(stream, decode);
  }
}

void JpegDecoder::DecodeDcRefineScan(JpegInputStream& stream, std::uint32_t al) {
  auto decode = [&stream, al](JpegDecoderComponent& component, std::uint32_t row, std::uint32_t col) {
    component.DecodeDcRefine(stream, row, col, al);
  };
  if (IsInterleavedScan()) {
    InterleavedLoop(stream, decode);
  } else {
    NonInterleavedLoop(stream, decode);
  }
}

void JpegDecoder::DecodeAcFirstScan(JpegInputStream& stream, std::uint32_t ss, std::uint32_t se, std::uint32_t al) {
  // AC scans hold one component; further components of the header are not decoded.
  NonInterleavedLoop(stream,
                     [&stream, ss, se, al](JpegDecoderComponent& component, std::uint32_t row, std::uint32_t col) {
                       component.DecodeAcFirst(stream, row, col, ss, se, al);
                     });
}

void JpegDecoder::DecodeAcRefineScan(JpegInputStream& stream, std::uint32_t ss, std::uint32_t se, std::uint32_t al) {
  NonInterleavedLoop(stream,
                     [&stream, ss, se, al](JpegDecoderComponent& component, std::uint32_t row, std::uint32_t col) {
                       component.DecodeAcRefine(stream, row, col, ss, se, al);
                     });
}

void JpegDecoder::ProcessRestart(JpegInputStream& stream) {
  stream.EndBitInput();
  std::uint8_t byte = stream.GetByte();
  if (byte != 0xFF) throw JpegBadStream("Missing Restart Marker");
  while (byte == 0xFF) byte = stream.GetByte();
  if (byte < 0xD0 || byte > 0xD7) throw JpegBadStream("Missing Restart Marker");
  if ((byte & 0x0F) != nextRestartMarker) throw JpegBadStream("Incorrect Restart Marker");
  nextRestartMarker = (nextRestartMarker + 1) % 8;
  ResetDcPredictions();
  stream.StartBitInput();
}

bool JpegDecoder::ScanCoversFrame() const {
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    const JpegDecoderComponent* component = &(*components)[componentIds[i]];
    bool inScan = false;
    for (std::uint32_t j = 0; j < scanComponentCount; ++j) inScan = inScan || scanComponents[j] == component;
    if (!inScan) return false;
  }
  return true;
}

void JpegDecoder::BeginStrip(std::uint32_t mcuRow) {
  // Progressive scans decode coefficients; whole planes need no strips.
  if (progressive || sampleLayout != SampleLayout::Strips) return;
  for (std::uint32_t i = 0; i < scanComponentCount; ++i) scanComponents[i]->StartStrip(mcuRow);
  stripActive = true;
  activeStrip = mcuRow;
  if (mcuRow >= stripsReached) stripsReached = mcuRow + 1;
}

void JpegDecoder::EndStrip(std::uint32_t mcuRow) {
  if (!stripActive) return;
  stripActive = false;
  // A later scan without every component (a sequential frame has none) has nothing to
  // convert: the image keeps what the complete scan before gave.
  if (scanCoversFrame) ConvertRows(mcuRow * mcuHeight, std::min(frameHeight, (mcuRow + 1) * mcuHeight));
}

void JpegDecoder::ResetDcPredictions() {
  for (std::uint32_t i = 0; i < scanComponentCount; ++i) scanComponents[i]->ResetDcPrediction();
}

}  // namespace Veldaro
