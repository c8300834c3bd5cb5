#pragma once
// Writes a bitmap as a PNG file (8-bit RGB, alpha left out) through libpng:
// how tests and people look at windows and pages.

#include <string>

class TBitmap;

// The file name is a system path; the file is replaced whole (temporary file
// and rename). False when the bitmap is empty or the file cannot be written.
bool SaveBitmapAsPng(const TBitmap& bitmap, const std::string& fileName);
