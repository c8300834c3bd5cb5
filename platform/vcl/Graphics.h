#pragma once
// The class library's Graphics unit in one include: colours, pens, brushes,
// fonts, canvases, bitmaps, JPEG pictures, icons and pictures.

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/GraphicsGraphic.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/GraphicsTypes.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/JpegImage.h"
#include "platform/vcl/Picture.h"
