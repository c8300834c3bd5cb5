#pragma once
// The XML writer's reports to the host during a write: a status text before and
// after, and keep-alive calls on large documents. They are plain process-wide
// callbacks that the plug-in frame connects to its host messages (status text
// and keep-alive); by default there are none and the writer reports nothing.

#include <functional>

#include "platform/win/WindowTypes.h"

// aWindow is the document object's progress window; null means the host's main
// window.
using TXmlStatusTextHook = std::function<void(HWND aWindow, const char* aText)>;
using TXmlKeepAliveHook = std::function<void(HWND aWindow)>;

void SetXmlStatusTextHook(TXmlStatusTextHook aHook);
void SetXmlKeepAliveHook(TXmlKeepAliveHook aHook);

// Called by the writer; each does nothing while its hook is not set.
void XmlStatusText(HWND aWindow, const char* aText);
void XmlKeepAlive(HWND aWindow);
