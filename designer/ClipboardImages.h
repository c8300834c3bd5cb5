#pragma once
// The pictures that travel with a clipboard text: collecting the images that
// copied objects, pages and groups refer to into the clipboard's `images`
// element (with each file in base64), and bringing foreign images into the
// project when such a text is pasted.
//
// Picture names from a clipboard are file names inside the project's
// "Images" folder; a text from any program may carry anything there, so only
// plain 8.3 names are taken (IsPlainImageName) and the others are skipped and
// reported.

#include <functional>
#include <string>
#include <vector>

class TmyXmlNode;

// A plain 8.3 file name: a stem of 1 to 8 characters and optionally "." and
// an extension of 1 to 3 characters, each character printable ASCII (0x21 to
// 0x7E) other than \ / : * ? " < > | ; [ ] and no second ".". So no folder,
// no drive, no "..".
bool IsPlainImageName(const std::string& name);

// The project side of the image transfer.
struct TClipboardImageProject {
  // The project's `images` element (none: no image is listed or added).
  TmyXmlNode* images = nullptr;
  // The file of a project image by name; empty for a name that has none.
  std::function<std::string(const std::string& name)> imagePath;
  // Makes sure the project's image folder exists.
  std::function<void()> ensureImageFolder;
};

// Fills `images` (a child of `clipboard`) with one `img` per image that the
// content of `clipboard` refers to, in order of first reference: the
// `background` of every `page`, then by the kind element of every `object`
// (canvas and camera: the `longname` of their `img` children; image, image
// button, iframe: `on` and `off`; multi-image: `name` of its `img` children;
// picture, file upload: `img`). Each is completed from the project's list
// (dropped when the list lacks it) and carries the file's CRC-32 (signed
// decimal) and its bytes in base64 when the file can be read.
void CollectClipboardImages(TmyXmlNode* clipboard, TmyXmlNode* images, const TClipboardImageProject& project);

// What an import did, one line per image that was renamed or skipped.
struct TClipboardImageReport {
  std::vector<std::string> renamed;
  std::vector<std::string> skipped;
};

// Brings the images of a pasted clipboard (its top element `top`) into the
// project, unless `src` of top equals `projectDir` (the images are the
// project's own). An image whose name is free is written into the image
// folder and listed; one whose name holds an identical file (same CRC-32) is
// reused; one whose name holds a different image, in the list or only on
// disk, takes the name with its counter advanced (A.PNG, A1.PNG, ...) and the
// pasted tree's references follow. Names that are no plain 8.3 name, and
// names that cannot be counted further, are skipped (nothing written, the
// references unchanged) and reported.
TClipboardImageReport ImportClipboardImages(TmyXmlNode* top, const std::string& projectDir,
                                            const TClipboardImageProject& project);

// Writes the decoded text of the clipboard `img` as the file at `path` and
// appends an empty `img` to the project's list with `name`, `type`,
// `height`, `width` and `longname` of the clipboard `img` (absent ones as "").
void AddClipboardImage(const std::string& path, TmyXmlNode* img, TmyXmlNode* projectImages);
