#include "properties/PictureFormBase.h"

#include "core/FileHelpers.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "grid/PictureLoading.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/SysUtils.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/PageLinkPicker.h"

namespace {

using E = TGridWebElement;

TImagePickerHook& PickerHook() {
  static TImagePickerHook hook;
  return hook;
}

constexpr int kEmptyPanelText = 7026;

}  // namespace

TPreviewFit FitPreview(int picW, int picH, int ctlW, int ctlH) {
  TPreviewFit fit{.stretch = false, .left = 0, .top = 0, .width = ctlW, .height = ctlH};
  if (picW <= 0 || picH <= 0 || (picW <= ctlW && picH <= ctlH)) return fit;
  fit.stretch = true;
  const int h = picH * ctlW / picW;
  const int w = picW * ctlH / picH;
  if (h <= ctlH) {
    fit.top = (ctlH - h) / 2;
    fit.left = 0;
    fit.height = h;
  }
  if (w <= ctlW) {
    fit.left = (ctlW - w) / 2;
    fit.top = 0;
    fit.width = w;
  }
  return fit;
}

// The image manager's picker is the designer's; until a project has one
// the call answers Cancel.
TmyXmlNode* PickProjectImage(TDesignerContext& designer, const std::string& current) {
  if (PickerHook()) return PickerHook()(current);
  return designer.PickImage(current);
}

void SetImagePickerHook(TImagePickerHook hook) { PickerHook() = std::move(hook); }

TPictureFormBase::TPictureFormBase(TDesignerContext& designer, std::span<const TComponentRow> rows, int captionId)
    : TPropertyForm(designer, rows, captionId) {}

void TPictureFormBase::BuildPreviewPages(int left, int top, int width, int height,
                                         std::initializer_list<TPreviewPage> pages) {
  auto* control = new TPageControl(this);
  control->SetName("PageControl1");
  control->SetParent(this);
  control->SetBounds(left, top, width, height);
  int clearTag = 0;
  for (const TPreviewPage& page : pages) {
    const std::string n = page.suffix;
    auto* sheet = new TTabSheet(this);
    sheet->SetName("TabSheet" + n);
    sheet->SetPageControl(control);
    sheet->SetText(page.captionId != 0 ? GetUiText(page.captionId) + page.tabText : page.tabText);
    auto* panel = new TPanel(this);
    panel->SetName("Panel" + n);
    panel->SetParent(sheet);
    panel->SetBounds(4, 4, width - 16, height - (page.clearButton ? 70 : 40));
    panel->SetBevelOuter(bvLowered);
    auto* image = new TImage(this);
    image->SetName("Image" + n);
    image->SetParent(panel);
    image->SetAlign(alClient);
    image->SetCenter(true);
    image->OnClick = {this, &TPictureFormBase::Image1Click};
    if (page.clearButton) {
      auto* clear = new TButton(this);
      clear->SetName("btnClearImage" + n);
      clear->SetParent(sheet);
      clear->SetBounds(width - 42, height - 62, 26, 23);
      clear->SetText("x");
      clear->Tag = clearTag++;
      clear->OnClick = {this, &TPictureFormBase::btnClearImageClick};
    }
    panel->SetText(GetUiText(kEmptyPanelText));
  }
  control->SetActivePageIndex(0);
}

void TPictureFormBase::RefreshPanelCaptions() {
  for (const char* n : {"1", "2"}) {
    auto* panel = dynamic_cast<TPanel*>(FindComponent(std::string("Panel") + n));
    auto* image = dynamic_cast<TImage*>(FindComponent(std::string("Image") + n));
    if (panel == nullptr || image == nullptr) continue;
    const bool shown = image->Picture()->Graphic() != nullptr && !image->Picture()->Graphic()->Empty();
    panel->SetText(shown ? "" : GetUiText(kEmptyPanelText));
  }
}

void TPictureFormBase::PreviewActivate(TObject* sender) {
  FormActivate(sender);
  RefreshPanelCaptions();
}

bool TPictureFormBase::ShowImage(TImage* image, const std::string& name) {
  const char* path = Designer().GetImagePath(name);
  if (path == nullptr || !PathExists(path)) {
    ClearPreview(image);
    return false;
  }
  image->Picture()->Assign(static_cast<const TGraphic*>(nullptr));
  try {
    LoadGridPicture(*image->Picture(), path);
  } catch (const std::exception&) {
    ClearPreview(image);
    return false;
  }
  if (image->Picture()->Graphic() == nullptr || image->Picture()->Graphic()->Empty()) {
    ClearPreview(image);
    return false;
  }
  const std::string ext = UpperCase(ExtractFileExt(name));
  image->SetTransparent(ext != ".BMP" && ext != ".JPG");
  auto* panel = dynamic_cast<TPanel*>(image->Parent());
  if (panel != nullptr) panel->SetText("");
  const int cw = panel != nullptr ? panel->ClientWidth() : image->Width();
  const int ch = panel != nullptr ? panel->ClientHeight() : image->Height();
  const TPreviewFit fit = FitPreview(image->Picture()->Width(), image->Picture()->Height(), cw, ch);
  image->SetStretch(fit.stretch);
  if (fit.stretch) {
    image->SetAlign(alNone);
    image->SetBounds(fit.left, fit.top, fit.width, fit.height);
  } else {
    image->SetAlign(alClient);
  }
  image->Invalidate();
  return true;
}

void TPictureFormBase::ClearPreview(TImage* image) {
  image->Picture()->Assign(static_cast<const TGraphic*>(nullptr));
  image->SetAlign(alClient);
  if (auto* panel = dynamic_cast<TPanel*>(image->Parent())) panel->SetText(GetUiText(kEmptyPanelText));
  image->Invalidate();
}

std::string& TPictureFormBase::ImageName(const TImage* image) {
  return names_[image != nullptr && image->Name() == "Image2" ? 1 : 0];
}

void TPictureFormBase::SetImagePreview(TImage* image, const std::string& name) {
  ImageName(image) = name;
  if (!ShowImage(image, name)) ClearImage(image);
}

void TPictureFormBase::ClearImage(TImage* image) {
  ClearPreview(image);
  ImageName(image).clear();
  Flag(image->Name());
}

void TPictureFormBase::Image1Click(TObject* sender) {
  auto* image = dynamic_cast<TImage*>(sender);
  if (image == nullptr) image = Get<TImage>("Image1");
  TmyXmlNode* chosen = PickProjectImage(Designer(), ImageName(image));
  if (chosen == nullptr) return;
  SetImagePreview(image, chosen->GetAttr("name"));
  Flag(image->Name());
}

void TPictureFormBase::btnClearImageClick(TObject* sender) {
  auto* button = dynamic_cast<TComponent*>(sender);
  ClearImage(Get<TImage>(button != nullptr && button->Tag == 1 ? "Image2" : "Image1"));
}

void TPictureFormBase::AfterFill() { cbLinkClick(nullptr); }

void TPictureFormBase::RequireSwatchPress() {
  auto* swatch = Get<TShape>("shFront");
  swatch->OnMouseDown = {this, &TPictureFormBase::shFrontMouseDown};
  swatch->OnMouseUp = {this, &TPictureFormBase::shFrontMouseUpSeen};
}

void TPictureFormBase::WirePictureHandlers(const char* linkLabel) {
  OnActivate = {this, &TPictureFormBase::PreviewActivate};
  WireLinkPicker(linkLabel);
}

void TPictureFormBase::shFrontMouseDown(TObject*, TMouseButton, TShiftState, int, int) { swatchPressed_ = true; }

void TPictureFormBase::shFrontMouseUpSeen(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
  if (swatchPressed_) shFrontMouseUp(sender, button, shift, x, y);
}

TPropertyBinding ImageBinding(const char* image, bool on) {
  auto nameOf = [on](const E& e) -> const std::string& { return on ? e.GetOnImageName() : e.GetOffImageName(); };
  return {.control = image,
          .kind = TBindKind::Custom,
          .fill =
              [image, nameOf](TPropertyForm& f, E& e, bool first) {
                auto& form = dynamic_cast<TPictureFormBase&>(f);
                auto* preview = f.Get<TImage>(image);
                if (first)
                  form.SetImagePreview(preview, nameOf(e));
                else if (nameOf(e) != form.ImageName(preview))
                  form.ClearImage(preview);
              },
          .write =
              [image, on](TPropertyForm& f, E& e) {
                auto& form = dynamic_cast<TPictureFormBase&>(f);
                const std::string name = form.ImageName(f.Get<TImage>(image));
                const char* path = f.Designer().GetImagePath(name);
                if (on)
                  e.LoadOnImage(name, path);
                else
                  e.LoadOffImage(name, path);
              }};
}

std::vector<TPropertyBinding> TwoImageTailBindings() {
  return Joined({ImageBinding("Image1", false), ImageBinding("Image2", true)},
                {LinkBindings(), CommonBindings({TCommonRow::VisVariable, TCommonRow::VisNeg})});
}
