#include "platform/x11/X11Text.h"

#include "platform/win/CodePage.h"

std::string AnsiToUtf8(const std::string& ansi) { return WideToMultiByte(CP_UTF8, MultiByteToWide(CP_ACP, ansi)); }

std::string Utf8ToAnsi(const std::string& utf8) { return WideToMultiByte(CP_ACP, MultiByteToWide(CP_UTF8, utf8)); }
