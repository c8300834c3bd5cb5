#pragma once
// The class library's Buttons unit: speed buttons.

#include "platform/vcl/SpeedButton.h"
