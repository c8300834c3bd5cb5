#pragma once
// The data pages of the compiled tree as the PLC's web server answers them:
// a page whose root is `PAGE` with an `ACCESS` element gets the `VALUE` of
// each `INPUT` and `DATA` entry and the `ACCESS/@USER_LEVEL` filled in; the
// rest of the file stays byte for byte.

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct DataPageEntry {
  bool data = false;    // a DATA entry (with ML)
  std::string name;     // the identifier
  long maxLength = -1;  // ML of a DATA entry, -1 when absent
};

// Whether the text is a data page; its `ACCESS/@PAGE_LEVEL` in `pageLevel`.
bool IsDataPage(const std::string& text, int* pageLevel);

// The entries of a data page in file order.
std::vector<DataPageEntry> DataPageEntries(const std::string& text);

// The page with every entry's VALUE the text `value` answers (XML-escaped
// here; none leaves the VALUE as it is) and USER_LEVEL = `userLevel`.
std::string FillDataPage(const std::string& text, int userLevel,
                         const std::function<std::optional<std::string>(const DataPageEntry&)>& value);

// The encoding the XML declaration names ("windows-1250"), empty when none.
std::string DeclaredEncoding(const std::string& text);

// Sets the VALUE of the first element `element` (`<USER VALUE="" />`).
std::string WithElementValue(const std::string& text, const std::string& element, const std::string& value);

// Text escaped for an XML attribute in double quotes.
std::string XmlAttributeText(const std::string& text);
