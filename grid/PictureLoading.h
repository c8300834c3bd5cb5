#pragma once
// How page objects load a picture file: with the system's picture loader into
// the picture's bitmap (gGridPictureLoader may replace it, e.g. in tests).

#include <string>

class TPicture;

using TGridPictureLoader = void (*)(TPicture& picture, const std::string& path);
extern TGridPictureLoader gGridPictureLoader;

// True when the file (a system path) exists.
bool GridFileExists(const std::string& path);
// Loads the file into the picture's bitmap; the picture stays as it was when
// the loader refuses the file. Exceptions of the loader pass through.
void LoadGridPicture(TPicture& picture, const std::string& path);

// The file of a project picture (system path, null for none): bound by the
// designer to its GetImagePath.
using TGridImagePath = const char* (*)(const std::string& name);
extern TGridImagePath gGridImagePath;
