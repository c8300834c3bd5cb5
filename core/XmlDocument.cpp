// TmyXMLParser: the text buffer and how it is filled.

#include <cstring>

#include "core/XmlDocument.h"
#include "platform/win/FileIo.h"

void TmyXMLParser::SetBuffer(const char* aData, std::size_t aSize) {
  FBuffer.assign(aData, aSize);
  FTextLength = std::strlen(FBuffer.c_str());
  FHasBuffer = true;
}

bool TmyXMLParser::LoadFromFile(const std::string& aFileName) {
  std::string data;
  if (!ReadWholeFile(aFileName, data)) return false;
  FBuffer.swap(data);
  FTextLength = std::strlen(FBuffer.c_str());
  FHasBuffer = true;
  return true;
}

bool TmyXMLParser::LoadFromString(const char* aText) {
  if (aText == nullptr || aText[0] == '\0') return false;
  SetBuffer(aText, std::strlen(aText));
  return true;
}
