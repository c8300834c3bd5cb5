// Feeds arbitrary text to the IEC literal parsers, the user time formats and
// the type-name lookup. The input is split at its first newline into a text and
// a format; each is passed on as a NUL-terminated copy.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

#include "core/IecLiterals.h"
#include "core/IecNames.h"
#include "core/IecTimeEntry.h"
#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\n');
  const std::string text = input.substr(0, split).c_str();  // up to a NUL, too
  const std::string format = split == std::string::npos ? "" : input.substr(split + 1).c_str();

  double seconds = 0;
  std::int32_t ms = 0;
  ParseDateLiteral(text.c_str(), seconds);
  ParseDtLiteral(text.c_str(), seconds);
  ParseTimeLiteral(text.c_str(), ms);
  ParseTodLiteral(text.c_str(), ms);
  TypeCodeOfName(text.c_str());
  FlattenVariableName(text);

  std::tm parts{};
  ParseTimeParts(parts, text.c_str(), format.c_str());
  ParseTimeValue(text.c_str(), format.c_str());
  ParseDateTimeValue(text.c_str(), format.c_str());

  char out[256];
  const std::uint8_t outSize = static_cast<std::uint8_t>(size);
  FormatTimeParts(parts, out, format.c_str(), outSize);
  FormatTimeValue(ms, out, format.c_str(), outSize);
  FormatDateTimeValue(seconds, out, format.c_str(), outSize);

  char entry[ApplyTimeFormatOutSize];
  for (int type = 17; type <= 20; ++type) {
    ApplyTimeFormat(text.c_str(), format.c_str(), type, &seconds, entry);
    ApplyTimeFormat(text.c_str(), format.c_str(), type, nullptr, entry);
  }
  return 0;
}
