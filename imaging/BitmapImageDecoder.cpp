#include "imaging/BitmapImageDecoder.h"

// The framework classes are defined inline; this unit keeps the header compiled on its own.
