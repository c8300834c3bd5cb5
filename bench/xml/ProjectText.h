#pragma once
// A generated web project text in the system's XML layout: groups of pages of
// objects of every kind, with language texts, placeholders, comments and a
// declaration, as the designer writes them.

#include <cstddef>
#include <string>

// At least aMinBytes long; the same text for the same size.
std::string MakeProjectText(std::size_t aMinBytes);
