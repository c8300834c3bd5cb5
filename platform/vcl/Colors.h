#pragma once
// Colours of the class library. A TColor is 0x00BBGGRR (red in the lowest
// byte); a value with the top bit set, 0x80000000 + n, names system colour n
// (COLOR_BTNFACE is 15, ...) and becomes a real colour through ColorToRGB.
// clNone and clDefault are markers, not colours.

#include <cstdint>

using TColor = std::int32_t;

namespace detail {
constexpr TColor SysColor(unsigned index) { return static_cast<TColor>(0x80000000u | index); }
}  // namespace detail

// Named colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// System colours (0x80000000 + the Win32 COLOR_ index).
inline constexpr TColor clScrollBar = detail::SysColor(0);
inline constexpr TColor clBackground = detail::SysColor(1);
inline constexpr TColor clActiveCaption = detail::SysColor(2);
inline constexpr TColor clInactiveCaption = detail::SysColor(3);
inline constexpr TColor clMenu = detail::SysColor(4);
inline constexpr TColor clWindow = detail::SysColor(5);
inline constexpr TColor clWindowFrame = detail::SysColor(6);
inline constexpr TColor clMenuText = detail::SysColor(7);
inline constexpr TColor clWindowText = detail::SysColor(8);
inline constexpr TColor clCaptionText = detail::SysColor(9);
inline constexpr TColor clActiveBorder = detail::SysColor(10);
inline constexpr TColor clInactiveBorder = detail::SysColor(11);
inline constexpr TColor clAppWorkSpace = detail::SysColor(12);
inline constexpr TColor clHighlight = detail::SysColor(13);
inline constexpr TColor clHighlightText = detail::SysColor(14);
inline constexpr TColor clBtnFace = detail::SysColor(15);
inline constexpr TColor clBtnShadow = detail::SysColor(16);
inline constexpr TColor clGrayText = detail::SysColor(17);
inline constexpr TColor clBtnText = detail::SysColor(18);
inline constexpr TColor clInactiveCaptionText = detail::SysColor(19);
inline constexpr TColor clBtnHighlight = detail::SysColor(20);
inline constexpr TColor cl3DDkShadow = detail::SysColor(21);
inline constexpr TColor cl3DLight = detail::SysColor(22);
inline constexpr TColor clInfoText = detail::SysColor(23);
inline constexpr TColor clInfoBk = detail::SysColor(24);
inline constexpr TColor clHotLight = detail::SysColor(26);
inline constexpr TColor clGradientActiveCaption = detail::SysColor(27);
inline constexpr TColor clGradientInactiveCaption = detail::SysColor(28);
inline constexpr TColor clMenuHighlight = detail::SysColor(29);
inline constexpr TColor clMenuBar = detail::SysColor(30);

// The colour (0x00BBGGRR) of system colour `index` (a COLOR_ value): the fixed
// palette of a default Windows desktop, so that drawings are the same on every
// machine. Indexes without a colour give black.
std::uint32_t GetSysColor(int index);

// A system colour becomes its palette colour; every other value (clNone and
// clDefault included) is returned as it stands.
TColor ColorToRGB(TColor color);
