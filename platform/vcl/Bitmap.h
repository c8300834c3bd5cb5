#pragma once
// TBitmap: a picture of 32-bit pixels (blue, green, red, alpha in memory, rows
// from the top) with a canvas to draw on it. ScanLine(y) gives a row of
// 4 x Width bytes in every pixel format: the format only decides how the
// bitmap is saved (32 bits for pf32bit, 24 bits otherwise).
//
// Resizing keeps the old picture in the top-left corner and makes the new
// area white. Transparency: when Transparent is set, drawing leaves out the
// pixels of the transparent colour, which is the bottom-left pixel in tmAuto
// mode and TransparentColor in tmFixed mode (setting TransparentColor selects
// tmFixed, setting clDefault tmAuto).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Colors.h"
#include "platform/vcl/GraphicsGraphic.h"
#include "platform/win/WinTypes.h"

class TCanvas;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;

 private:
  std::unique_ptr<TCanvas> canvas_;

 public:
  // Draws on the bitmap; its clip always follows the bitmap's size.
  TCanvas* const Canvas;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int width) override { SetSize(width, height_); }
  void SetHeight(int height) override { SetSize(width_, height); }
  // Negative sizes count as 0; more than kMaxBitmapPixels pixels raise
  // EOutOfResources and leave the bitmap as it was.
  void SetSize(int width, int height);
  bool Empty() const override { return width_ == 0 || height_ == 0; }

  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);

  // Row y (0 = top) of 4 x Width bytes; EInvalidGraphicOperation outside.
  void* ScanLine(int y);
  const void* ScanLine(int y) const;
  // All pixels, row after row (nullptr when empty).
  std::uint32_t* PixelData() { return pixels_.empty() ? nullptr : pixels_.data(); }
  const std::uint32_t* PixelData() const { return pixels_.empty() ? nullptr : pixels_.data(); }

  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);
  // The colour drawing leaves out (bottom-left pixel in tmAuto mode).
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);

  // A BMP file (any depth the reader takes); the pixel format follows the
  // file's depth. Broken data raises EInvalidGraphic.
  void LoadFromStream(TStream& stream) override;
  // A BMP file of 32 bits per pixel for pf32bit, 24 bits otherwise.
  void SaveToStream(TStream& stream) const override;
  // A bitmap resource: RT_BITMAP (a DIB) or, failing that, RT_RCDATA holding
  // a BMP file. EResNotFound when there is neither.
  void LoadFromResourceName(HINSTANCE instance, const std::string& resourceName);

  // From another bitmap: pixels, format and transparency. From any other
  // picture: its size, white, and the picture drawn on it.
  void Assign(const TGraphic* source) override;
  std::unique_ptr<TGraphic> Clone() const override;

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) const override;

 private:
  void SetPixels(int width, int height, std::vector<std::uint32_t> pixels);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  TPixelFormat pixelFormat_ = pfDevice;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
};
