#pragma once
// Types that the host interfaces pass besides COM's own: the host's class
// library objects (forms, components, menu items, toolbar buttons) passed by
// pointer, and the handles and numbers of its calls.
//
// Every host interface of hostapi/ is an abstract class deriving from
// IUnknown whose methods sit in the positions the host and the plug-in call
// them by (positions 0 to 2 are IUnknown's). Positions whose role is not used
// by the system hold placeholder methods named ReservedN, so that every later
// position stays where it belongs. 8-bit texts are NUL-terminated in the
// ANSI code page; texts handed out by one side are allocated with
// CoTaskMemAlloc and freed by the other side with CoTaskMemFree.

#include <cstdint>

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

class TComponent;
class TCustomForm;
class TMenuItem;
class TToolButton;

// A 32-bit "long" of the host's interfaces.
using HostLong = std::int32_t;
// A Windows language id (1029 Czech, 1031 German, ...).
using HostLcid = std::uint32_t;
// A bitmap handed to the host's menus: the class library's TBitmap (or null),
// which the host copies during the call.
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
// The host's desktop storage, handed through the desktop events to the IDE's
// docking-state calls unchanged.
using DesktopStorage = void*;
