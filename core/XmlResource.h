#pragma once
// Documents embedded in the module: the page templates "DEFAULT_XML" and
// "DEFAULT_XSL" are raw-data (RCDATA) resources.

#include "core/XmlDocument.h"

// Puts the bytes of the module's RCDATA resource aResourceName (exactly its
// length, NUL-terminated) into aDocument's buffer and returns aDocument->Parse().
// Null, with the buffer unchanged, when there is no such resource.
TmyXmlNode* LoadXmlResource(TmyXMLParser* aDocument, const char* aResourceName);
