#pragma once
// Module handles and named resources, in place of the Win32 resource calls.
//
// The build embeds the files listed in resources/ into the library (see
// tools/build/embedres.cpp); the generated code registers them with the module
// record of the library it is linked into. FindResource and friends then look
// them up by name and type as Win32 does: names compare without regard to case,
// integer names and types (MAKEINTRESOURCE) compare by value.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

// One embedded resource as the generated code describes it.
struct EmbeddedResource {
  const char* name;  // text name, or "#<n>" for an integer id
  const char* type;  // text type, or "#<n>" for an integer type (10 = RCDATA)
  const unsigned char* data;
  std::size_t size;
};

// A loaded module: its file name and its resources.
struct ModuleRecord {
  std::string fileName;
  std::vector<EmbeddedResource> resources;
};

// The module this code is linked into (the plug-in library, or a test program
// that links the same objects). Its resources are registered before main runs.
extern HINSTANCE HInstance;

// Called by generated code at static initialisation.
void RegisterEmbeddedResources(const EmbeddedResource* table, std::size_t count);
// Called by generated code when its library is unloaded: the entries of
// `table` go, since their texts and data go with the library.
void UnregisterEmbeddedResources(const EmbeddedResource* table, std::size_t count);

HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
