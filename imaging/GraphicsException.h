#pragma once
// The exception family of the image decoders.
//
// GraphicsException is the base of every decoder's own error class (BmpDecoder::BmpError,
// GifDecoder::GifError, PngDecoder::PngError, JpegDecoder::JpegError, ImageTypeError, ...).
// Each of them carries one fixed English message that what() returns. GraphicsAbort is
// thrown only when a progress function asks to cancel; it has deliberately no base class,
// so a handler for std::exception does not swallow a cancel.

#include <exception>
#include <string>

namespace Veldaro {

class GraphicsException : public std::exception {
 public:
  explicit GraphicsException(const std::string& message) : message(message) {}
  ~GraphicsException() override = default;
  const char* what() const noexcept override { return message.c_str(); }

 private:
  std::string message;
};

// A cancel request from a progress function.
class GraphicsAbort {};

}  // namespace Veldaro
