#pragma once
// Texts for translation: the project's group, page and object texts of one
// language written to a plain text file (one header line per group, page
// and object, keyed by its Uid) and read back from it.
//
// The file's bytes are the document's texts unchanged (8-bit, no byte-order
// mark), every line ended by CR LF. The import matches headers by the Uid as
// eight upper-case hexadecimal digits; a header whose Uid occurs twice keeps
// its first line.

#include <map>
#include <string>
#include <vector>

class TDesignerContext;
class TMemoryStream;

struct TTextsFile {
  // The file's lines without their line ends.
  std::vector<std::string> lines;
  // Uid key (hexadecimal text) -> the line of its first header.
  std::map<std::string, int> index;
};

// Appends the whole file text for one language code (0: the plain
// attributes of a project without languages) to the stream.
void ExportTextsToStream(TDesignerContext& designer, TMemoryStream& stream, int code);
// The same as text.
std::string ExportTextsToString(TDesignerContext& designer, int code);

// Loads one file and builds its index; a file that is missing or cannot be
// read gives its report line and false. The report names files as the user
// reads paths (ShownPath). Lines may end in CR LF, LF or CR; control
// characters that a project cannot hold are removed, with a report line for
// each line.
bool ParseTextsFile(const std::string& fileName, TTextsFile& file, std::vector<std::string>& report);
// The key of a header line: after the header's fixed-width number, blanks
// and colons skipped, the run of '0'-'9' and 'A'-'F'; empty when the line is
// too short or holds no header.
std::string TextsHeaderKey(const std::string& line);

// Applies one loaded file to the project document for a language code and
// reports what was found, missed and imported. The command saves the project
// once before the first file. Answers how many groups, pages and object
// blocks were found in the file (0: the document is unchanged).
int ImportTexts(TDesignerContext& designer, const TTextsFile& file, int code, std::vector<std::string>& report);
