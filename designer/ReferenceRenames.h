#pragma once
// Renaming images and pages in the references of a project document (or of a
// clipboard tree). Every old name is compared exactly (case-sensitive); a
// match takes the new name unchanged. The design surface's part of the
// renames is the designer's own (TFormDesign1::RenameImageOnPage and
// TFormDesign1::RenamePageReferences).

#include <string>

class TmyXmlNode;

// Walks the document after `start` (its descendants, then what follows it in
// document order) and renames the image references: `on` and `off` of
// `image` and `imagebtn`, `img` of `picture`, `name` of every child of
// `mulimg`, `background` of `page`. Answers the number of attributes renamed.
int RenameImageReferencesAfter(TmyXmlNode* start, const std::string& oldName, const std::string& newName);

// The page references below `root`: every `href`; `page` of each `alarm` of
// the first `alarms`, of each `user` of the first `security` and of each `mac`
// of the first `autologin`. Answers the number of attributes renamed.
int RenamePageReferencesBelow(TmyXmlNode* root, const std::string& oldName, const std::string& newName);
