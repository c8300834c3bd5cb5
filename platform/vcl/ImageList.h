#pragma once
// TImageList (unit ImgList / Controls): a row of small pictures of one size
// that list views, tree views, tool bars and menus show by index.
//
// Add and AddMasked cut a bitmap into pictures of Width x Height, left to
// right (a bitmap twice as wide as the list adds two pictures); a picture
// narrower or lower than the list's size is placed at the top-left corner
// and the rest is left transparent. Draw leaves out the transparent pixels
// (the mask colour); disabled pictures are drawn embossed in the grey of
// disabled controls.

#include <memory>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Component.h"

class TCanvas;

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;

  // Changing the size empties the list, as the class library does.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int value) { SetSize(value, height_); }
  void SetHeight(int value) { SetSize(width_, value); }
  void SetSize(int width, int height);
  int Count() const { return static_cast<int>(images_.size()); }

  // Adds the pictures of `image`; with a mask, the mask's white pixels are
  // transparent. Answers the index of the first picture added, -1 when the
  // bitmap is empty.
  int Add(const TBitmap* image, const TBitmap* mask);
  // As Add, the pixels of `maskColor` transparent.
  int AddMasked(const TBitmap* image, TColor maskColor);
  // Replaces one picture (the first cell of `image`).
  void Replace(int index, const TBitmap* image, const TBitmap* mask);
  void Delete(int index);
  void Clear();
  // Copies picture `index` into `image` (sized Width x Height, transparent
  // pixels black and the bitmap transparent with black as its fixed
  // transparent colour); false when index is outside the list.
  bool GetBitmap(int index, TBitmap* image) const;

  // Draws picture `index` at (x, y); an index outside the list draws nothing.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;

  // Raised change notice (after Add, Delete, Clear, ...).
  TNotifyEvent OnChange;

 private:
  struct Image {
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
    std::vector<bool> transparent;
  };
  int AddCells(const TBitmap* image, const TBitmap* mask, bool useKey, TColor key, int replaceIndex);
  void Changed();

  int width_ = 16;
  int height_ = 16;
  std::vector<Image> images_;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};

// Points a control's image-list property (`slot`) at `value`, moving the
// free notification from the old list to the new one, so that the control
// hears when the list it shows is destroyed.
void SetImageListLink(TComponent* owner, TCustomImageList*& slot, TCustomImageList* value);
