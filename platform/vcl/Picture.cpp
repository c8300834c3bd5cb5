#include "platform/vcl/Picture.h"

#include <strings.h>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/JpegImage.h"

namespace {

// The extension after the last dot of the last path component, without the dot.
std::string ExtensionOf(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("\\/");
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return fileName.substr(dot + 1);
}

}  // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() {
  if (graphic_) graphic_->OnChange = nullptr;
}

void TPicture::Replace(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this] { Changed(); };
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == graphic_.get() && graphic != nullptr) return;
  Replace(graphic ? graphic->Clone() : nullptr);
}

TBitmap* TPicture::Bitmap() {
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get())) return bitmap;
  auto bitmap = std::make_unique<TBitmap>();
  TBitmap* result = bitmap.get();
  Replace(std::move(bitmap));
  return result;
}

TIcon* TPicture::Icon() {
  if (auto* icon = dynamic_cast<TIcon*>(graphic_.get())) return icon;
  auto icon = std::make_unique<TIcon>();
  TIcon* result = icon.get();
  Replace(std::move(icon));
  return result;
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }

int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

bool TPicture::Empty() const { return !graphic_ || graphic_->Empty(); }

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string ext = ExtensionOf(fileName);
  std::unique_ptr<TGraphic> graphic;
  if (strcasecmp(ext.c_str(), "bmp") == 0)
    graphic = std::make_unique<TBitmap>();
  else if (strcasecmp(ext.c_str(), "jpg") == 0 || strcasecmp(ext.c_str(), "jpeg") == 0)
    graphic = std::make_unique<TJPEGImage>();
  else if (strcasecmp(ext.c_str(), "ico") == 0)
    graphic = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  graphic->LoadFromFile(fileName);
  Replace(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) const {
  if (graphic_) graphic_->SaveToFile(fileName);
}
