#pragma once
// The scripts that the generator copies whole into page scripts (the script
// library, the canvas scripts) come from the module's embedded resources
// with LF line ends; page scripts have CR LF throughout.

#include <string>

// The embedded RCDATA resource's text with every line end written as CR LF
// (a CR already there is dropped, so CR LF stays CR LF);
// std::runtime_error "missing resource NAME" when the module has none.
std::string EmbeddedScript(const char* resource);
