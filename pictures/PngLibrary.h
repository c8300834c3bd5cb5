#pragma once
// The optional outside PNG library "mypnglib.dll", tried first for PNG
// pictures. None is shipped; when it is missing, PNG files go through our own
// decoders. Its state (module and entry) is process-wide, empty at start, and
// kept until the page designer is destroyed.

#include <cstdint>

// The entry "_LoadPNG": the file name (native path), and three places it
// fills: the data of a Windows bitmap file image in memory, its size and a
// kind: 1 asks the caller to decode the file itself, any other value is the
// wish for transparency (not 0 = transparent). Not 0 on success. The memory
// stays the library's.
using TLoadPngFunction = unsigned char (*)(const char* fileName, void** data, std::uint32_t* size, std::uint32_t* kind);

// When no library is loaded: loads "mypnglib.dll" from the plug-in's folder,
// failing that by plain name through the system's search path; then, with a
// library and no entry yet, looks up "_LoadPNG". A failed load leaves both
// empty and is tried again on the next call.
void LoadPngLibrary();
// The entry, or null.
TLoadPngFunction PngLibraryEntry();
bool PngLibraryLoaded();
// Unloads the library and forgets the entry (nothing when none is loaded).
void UnloadPngLibrary();
