#pragma once
// The project's picture list (the `img` children of its `images` element) as
// the generator looks pictures up and copies them into the output tree, the
// menu cell of the page template, and two list helpers.

#include <memory>
#include <string>

#include "platform/vcl/StringList.h"

struct TCompileProject;
struct TCompileState;
class TGeneratedFiles;
class TmyXmlNode;

class TProjectImages {
 public:
  // `images` is the project's `images` element (null: no pictures).
  TProjectImages(TmyXmlNode* images, TCompileProject& project, TCompileState& state, TGeneratedFiles* files);

  // True gives the first image node, false the next one after the last
  // given (null at the end).
  TmyXmlNode* NextImageNode(bool first);
  // By `name` (the free FindImageNode below); null when none.
  TmyXmlNode* FindImageNode(const std::string& name) const;
  // By `longname` + "." + `type`; null when none.
  TmyXmlNode* FindImageByLongName(const std::string& text) const;
  // The `longname` of the image; "" for an unknown one.
  std::string GetImageLongName(const std::string& name) const;
  // Copies the picture into the folder (a system path ending in a
  // backslash), keeping its times, registers and counts it; a failed copy
  // sets error bit 2 and is a file not written (once a run, with its reason:
  // the picture's file gone, a folder in its place or in the copy's).
  // Skipped while a not-for-www group is compiled (unless the group is not
  // also not-for-id and the operator-panel output is on). The image node, or
  // null when the list does not hold the name.
  TmyXmlNode* CopyProjectImage(const std::string& name, const std::string& folder);

 private:
  TmyXmlNode* images_;
  TCompileProject& project_;
  TCompileState& state_;
  TGeneratedFiles* files_;
  TmyXmlNode* cursor_ = nullptr;
};

// The image node of that name among the children of the project's `images`
// element (names compared exactly, letter case counts; comments and
// processing instructions are no images); null for an empty name, an unknown
// one or no list. The one look-up of a picture by name, for the generator
// and the designer alike.
TmyXmlNode* FindImageNode(const TmyXmlNode* images, const std::string& name);

// The menu cell of the page template: a `td` with `id` "menu" listing the
// groups and pages of the project's `web` element.
std::unique_ptr<TmyXmlNode> BuildMenuCell(TmyXmlNode* web);

// The attribute's value of the node and each following sibling ("" when
// absent), as a new list.
std::unique_ptr<TStringList> CollectAttributeValues(TmyXmlNode* first, const std::string& attribute);
// The list's text at the index; "" outside the list.
std::string StringAt(const TStringList& list, int index);
