#pragma once
// What the dialogs of the picture objects (static picture, two-state image,
// image button, multi-state image) share: the preview pages of project
// images (fitted into their panel, cleared when the file is missing), the
// image picker, the wiring of the page-link picker (PageLinkPicker.h) and
// the font colour swatch that opens only after a press on it was seen.

#include <functional>
#include <string>
#include <vector>

#include "properties/PropertyForm.h"

class TImage;
class TPanel;
class TmyXmlNode;

// Where a picture of picW x picH lies in a preview control of ctlW x ctlH:
// unstretched (centred) when it fits, else shrunk keeping its proportions
// and centred along the axis that has room left.
struct TPreviewFit {
  bool stretch = false;
  int left = 0, top = 0, width = 0, height = 0;
};
TPreviewFit FitPreview(int picW, int picH, int ctlW, int ctlH);

// The project image the user picks in the image manager (`current`
// preselected); null on Cancel. The one place the dialogs call the picker.
TmyXmlNode* PickProjectImage(TDesignerContext& designer, const std::string& current);
// Tests answer the picker in place of the image manager (empty: the manager).
using TImagePickerHook = std::function<TmyXmlNode*(const std::string& current)>;
void SetImagePickerHook(TImagePickerHook hook);

// One page of previews: TabSheetN with PanelN (PageControl1 made with the
// first), ImageN on it, and btnClearImageN ("x") when asked.
struct TPreviewPage {
  const char* suffix;  // "1", "2"
  int captionId;       // the tab's text, 0 for `tabText` alone
  const char* tabText;
  bool clearButton;
};

class TPictureFormBase : public TPropertyForm {
 public:
  TPictureFormBase(TDesignerContext& designer, std::span<const TComponentRow> rows, int captionId);

  // --- previews ------------------------------------------------------------------
  // Shows the project image in the preview (loaded from the images folder,
  // fitted, transparent unless BMP or JPG); a missing file clears it. True
  // when shown.
  bool ShowImage(TImage* image, const std::string& name);
  // The empty preview: no picture, the panel asks for a click.
  void ClearPreview(TImage* image);
  // The remembered image name of a preview (Image1 / Image2).
  std::string& ImageName(const TImage* image);
  // Remembers the name and shows it; a missing file clears the name.
  void SetImagePreview(TImage* image, const std::string& name);
  // The picker on the clicked preview; the chosen image shown and flagged.
  void Image1Click(TObject* sender);
  // Clear buttons: Tag 0 the first preview, 1 the second.
  void btnClearImageClick(TObject* sender);
  // Clears the preview and its name; flagged once loaded.
  void ClearImage(TImage* image);

  // --- colour swatch ---------------------------------------------------------------
  void shFrontMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void shFrontMouseUpSeen(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  void AfterFill() override;
  // The captions, and the panels' by whether their preview holds a picture.
  void PreviewActivate(TObject* sender);

 protected:
  // Makes PageControl1 at the bounds and the pages, wires the previews.
  void BuildPreviewPages(int left, int top, int width, int height, std::initializer_list<TPreviewPage> pages);
  // The captions of the empty panels after the string table's texts.
  void RefreshPanelCaptions();
  // Image and image button: the swatch opens only after a press was seen.
  void RequireSwatchPress();
  // cbLink and AddPage to the link picker (`linkLabel` enabled with the
  // box); the captions and panels on activation.
  void WirePictureHandlers(const char* linkLabel = "Label2");

 private:
  std::string names_[2];
  bool swatchPressed_ = false;
};

// The preview row of an image name: filled through the preview, cleared when
// a further object has another name, written (loaded) when the preview was
// changed.
TPropertyBinding ImageBinding(const char* image, bool on);
// The rows that end the two-image dialogs: the off and on images, the link,
// the visibility variable and its sense.
std::vector<TPropertyBinding> TwoImageTailBindings();
