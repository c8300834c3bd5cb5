#pragma once
// The class library's ExtCtrls unit (and the scroll box of Forms) in one
// include: panels, bevels, shapes, images, splitters, scroll boxes.

#include "platform/vcl/Bevel.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/Splitter.h"
