#pragma once
// TGraphic: the base of every picture kind (TBitmap, TJPEGImage, TIcon). A
// graphic has a size, may be transparent, loads from and saves to streams and
// files, and draws itself onto a canvas (through TCanvas::Draw and
// StretchDraw).

#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/GraphicsTypes.h"

class TCanvas;
class TStream;

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Kinds that cannot be resized raise EInvalidGraphicOperation.
  virtual void SetWidth(int width);
  virtual void SetHeight(int height);
  virtual bool Empty() const = 0;

  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);

  // Reads the picture from the stream's position; a broken picture raises
  // EInvalidGraphic and leaves the graphic as it was.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  // File names are system paths. Missing files raise EFOpenError.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  // Copies another picture (nullptr empties this one); kinds that do not
  // convert raise EInvalidGraphicOperation.
  virtual void Assign(const TGraphic* source) = 0;
  // A new graphic of the same kind with the same picture.
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

  // Runs after the picture changed through the graphic's own operations
  // (loading, assigning, resizing, transparency); drawing on a bitmap's
  // canvas does not call it.
  std::function<void()> OnChange;

 protected:
  TGraphic() = default;
  friend class TCanvas;
  // Draws the picture stretched onto the rectangle of the canvas.
  virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;
  void Changed() {
    if (OnChange) OnChange();
  }

  bool transparent_ = false;
};
