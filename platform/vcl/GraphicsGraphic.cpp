#include "platform/vcl/GraphicsGraphic.h"

#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/Streams.h"

void TGraphic::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of this kind of picture"); }

void TGraphic::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of this kind of picture"); }

void TGraphic::SetTransparent(bool transparent) {
  if (transparent_ == transparent) return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) const {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(fileName);
}
