// JpegDecoder: the scan loops (interleaved and non-interleaved order, ITU-T T.81 A.2) for
// sequential and progressive scans, and the restart markers between restart intervals.

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
  }
}

template <typename BlockDecoder>
void JpegDecoder::NonInterleavedLoop(JpegInputStream& stream, BlockDecoder decodeBlock) {
  ResetDcPredictions();
  JpegDecoderComponent& component = *scanComponents[0];
  std::uint32_t rows = component.NoninterleavedRows();
  std::uint32_t cols = component.NoninterleavedCols();
  std::uint32_t restartCount = 0;
  for (std::uint32_t r = 0; r < rows; ++r) {
    CallProgressFunction(std::uint32_t(std::uint64_t(r) * 100 / rows));
    for (std::uint32_t c = 0; c < cols; ++c) {
      if (restartInterval != 0 && restartCount == restartInterval) {
        ProcessRestart(stream);
        restartCount = 0;
      }
      decodeBlock(component, r, c);
      ++restartCount;
    }
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

void JpegDecoder::ResetDcPredictions() {
  for (std::uint32_t i = 0; i < scanComponentCount; ++i) scanComponents[i]->ResetDcPrediction();
}

}  // namespace Veldaro
