#pragma once
// The image manager's file work that needs no dialog: comparing files,
// renaming a set of image files safely, and the image names a page object
// uses.

#include <functional>
#include <string>
#include <vector>

class TmyXmlNode;
class TStringList;

// True when both files exist and hold the same bytes.
bool SameFileContent(const std::string& a, const std::string& b);

struct TImageRename {
  TmyXmlNode* node = nullptr;
  std::string oldName;
  std::string newName;
  bool done = false;
  // Why its file could not be renamed, in the system's words; empty when a
  // file of the new name was in the way.
  std::string failure{};
};

// Renames the files of `folder` as the list says, also when one entry's new
// name is another entry's old name: every file first goes to a temporary name
// of its own, then to its final name. An entry whose file cannot be renamed
// keeps its old file name (its file is put back there) and stays not done;
// an entry whose file is missing counts as done. `move` renames one file and
// answers whether it did, leaving the system's last error set when not.
using TFileMove = std::function<bool(const std::string& from, const std::string& to)>;
void RenameImageFiles(const std::string& folder, std::vector<TImageRename>& renames, const TFileMove& move);

// Adds the image names that one `object` element uses: from its first child
// that is a `picture` (`img`), an `image` or `imagebtn` (`on`, `off`), a
// `mulimg` (`name` of each `img`) or a `canvas` (each `img`'s `longname`
// through `canvasName`, which answers the image name of a canvas entry).
using TCanvasName = std::function<std::string(const std::string& longName)>;
void CollectObjectImages(const TmyXmlNode* object, const TCanvasName& canvasName, TStringList& used);
