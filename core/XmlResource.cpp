#include "core/XmlResource.h"

#include "platform/win/Resources.h"

TmyXmlNode* LoadXmlResource(TmyXMLParser* aDocument, const char* aResourceName) {
  if (aDocument == nullptr || aResourceName == nullptr) return nullptr;
  HRSRC found = FindResource(HInstance, aResourceName, RT_RCDATA);
  if (found == nullptr) return nullptr;
  const void* data = LockResource(LoadResource(HInstance, found));
  DWORD size = SizeofResource(HInstance, found);
  if (data == nullptr && size != 0) return nullptr;
  aDocument->SetBuffer(static_cast<const char*>(data), size);
  return aDocument->Parse();
}
