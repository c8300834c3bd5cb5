#include "platform/vcl/ColorDialog.h"

#include <cstdlib>

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), customColors_(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
  const TColor color = Color;
  const TStringList custom = *customColors_;
  const bool accepted = TCommonDialog::Execute();
  if (!accepted) {
    // The user cancelled: nothing the dialog showed is kept.
    Color = color;
    *customColors_ = custom;
  }
  return accepted;
}

TColor TColorDialog::CustomColor(int slot) const {
  if (slot < 0 || slot > 15) return clNone;
  const std::string name = std::string("Color") + static_cast<char>('A' + slot);
  for (int i = 0; i < customColors_->Count(); ++i) {
    const std::string& line = customColors_->Strings(i);
    const auto eq = line.find('=');
    if (eq == std::string::npos || TStringList::CompareStrings(line.substr(0, eq), name) != 0) continue;
    const std::string hex = line.substr(eq + 1);
    if (hex.empty() || hex.size() > 6) return clNone;
    char* end = nullptr;
    const unsigned long rgb = std::strtoul(hex.c_str(), &end, 16);
    if (end == nullptr || *end != '\0') return clNone;
    // Red first in the text; 0x00BBGGRR as a colour.
    return static_cast<TColor>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
  }
  return clNone;
}
