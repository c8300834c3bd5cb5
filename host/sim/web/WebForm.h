#pragma once
// The fields of a posted form body (application/x-www-form-urlencoded). The
// page scripts encode each pair whole ("name%3Dvalue"), forms encode names
// and values apart ("name=value"); both read the same: the body is split at
// '&', each piece percent-decoded ('+' is a blank) and split at its first '='.

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct WebForm {
  std::vector<std::pair<std::string, std::string>> fields;
  // The value of the first field of that name, null when none.
  const std::string* Find(const std::string& name) const;
};

// None when a piece holds a malformed '%' escape or decodes to a NUL.
std::optional<WebForm> ParseUrlEncodedForm(const std::string& body);
// The text percent-decoded; none for a malformed escape or a NUL.
std::optional<std::string> PercentDecoded(const std::string& text, bool plusIsBlank);
