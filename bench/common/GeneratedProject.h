#pragma once
// The generated web projects of the compile and designer benchmarks: pages in
// groups of ten, objects spread evenly over the pages, the six object kinds
// the generator writes (labels, blocks, pictures, frames, cameras and string
// pictures) in turn, blocks and string pictures bound to the host variables
// "V0" .. "V999" (INT).

#include <string>

namespace benchproject {

constexpr int kVariables = 1000;

// The project file's text (no XML declaration, CR LF line ends).
std::string ProjectText(int pages, int objects);

// Two pages: "Empty" (the default page, no objects) and "Labels" with
// `labels` labels in rows of 12, 80 units apart across and 20 down.
std::string LabelsProjectText(int labels);

}  // namespace benchproject
