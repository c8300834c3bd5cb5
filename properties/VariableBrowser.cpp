#include "properties/VariableBrowser.h"

TVariableBrowser gVariableBrowser = nullptr;
