#pragma once
// The class library's conversion error (StrToInt of a text that is not an
// integer), raised by TmyXmlNode::GetAttrIntStrict.

#include "platform/vcl/SysUtilsException.h"
