#pragma once
// TPicture: holds one graphic of any kind (or none) and loads picture files
// by their extension: ".bmp" a TBitmap, ".jpg" and ".jpeg" a TJPEGImage,
// ".ico" a TIcon (without regard to case).

#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/GraphicsGraphic.h"

class TBitmap;
class TIcon;

class TPicture {
 public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // The graphic, or nullptr when the picture is empty.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of the graphic (nullptr empties the picture).
  void SetGraphic(const TGraphic* graphic);
  // The graphic as a bitmap: a graphic of another kind (or none) is replaced
  // by a new, empty bitmap first.
  TBitmap* Bitmap();
  // The same for an icon.
  TIcon* Icon();

  int Width() const;
  int Height() const;
  // True when there is no graphic or it holds no pixel.
  bool Empty() const;

  void Assign(const TPicture* source) { SetGraphic(source ? source->Graphic() : nullptr); }
  void Assign(const TGraphic* source) { SetGraphic(source); }

  // A file of a known extension; EInvalidGraphic for another extension or a
  // broken file, EFOpenError for a missing one. On failure the picture keeps
  // what it had.
  void LoadFromFile(const std::string& fileName);
  // Saves the graphic in its own format; nothing for an empty picture.
  void SaveToFile(const std::string& fileName) const;

  // Runs whenever the graphic is replaced or changes itself.
  std::function<void()> OnChange;

 private:
  void Replace(std::unique_ptr<TGraphic> graphic);
  void Changed() {
    if (OnChange) OnChange();
  }

  std::unique_ptr<TGraphic> graphic_;
};
