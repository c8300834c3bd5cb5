// Build step: compiles a UI string table source into a "STR0" table.
//
//   strtab IN.tsv OUT.str
//
// Exit status 0 on success; 1 with a message "IN:LINE: ..." on stderr when the
// source is faulty (no output file is left behind then); 2 for wrong usage.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <string>

#include "tools/strtab/StringTableSource.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: strtab IN.tsv OUT.str\n";
    return 2;
  }
  const std::string inName = argv[1];
  const std::string outName = argv[2];
  // A failed run must not leave an older table to be embedded.
  std::remove(outName.c_str());

  std::ifstream in(inName, std::ios::binary);
  if (!in) {
    std::cerr << "strtab: cannot open " << inName << "\n";
    return 1;
  }
  const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    std::cerr << "strtab: cannot read " << inName << "\n";
    return 1;
  }

  std::vector<StringTableEntry> entries;
  std::string error;
  if (!ParseStringTableSource(source, inName, entries, error)) {
    std::cerr << "strtab: " << error << "\n";
    return 1;
  }
  const std::string table = BuildStr0Table(entries);
  if (table.size() > std::numeric_limits<std::uint32_t>::max()) {
    std::cerr << "strtab: " << inName << ": the texts are too long for a string table\n";
    return 1;
  }

  const std::string tempName = outName + ".tmp";
  {
    std::ofstream out(tempName, std::ios::binary | std::ios::trunc);
    out.write(table.data(), static_cast<std::streamsize>(table.size()));
    out.close();
    if (!out) {
      std::cerr << "strtab: cannot write " << tempName << "\n";
      std::remove(tempName.c_str());
      return 1;
    }
  }
  if (std::rename(tempName.c_str(), outName.c_str()) != 0) {
    std::cerr << "strtab: cannot rename " << tempName << " to " << outName << "\n";
    std::remove(tempName.c_str());
    return 1;
  }
  return 0;
}
