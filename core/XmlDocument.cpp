// TmyXMLParser: the text buffer and how it is filled.

#include <cstring>

#include "core/XmlDocument.h"
#include "platform/win/FileIo.h"

void TmyXMLParser::SetBuffer(const char* aData, std::size_t aSize) {
  buffer_.assign(aData, aSize);
  textLength_ = std::strlen(buffer_.c_str());
  hasBuffer_ = true;
}

bool TmyXMLParser::LoadFromFile(const std::string& aFileName) {
  std::string data;
  if (!ReadWholeFile(aFileName, data)) return false;
  buffer_.swap(data);
  textLength_ = std::strlen(buffer_.c_str());
  hasBuffer_ = true;
  return true;
}

bool TmyXMLParser::LoadFromString(const char* aText) {
  if (aText == nullptr || aText[0] == '\0') return false;
  SetBuffer(aText, std::strlen(aText));
  return true;
}
