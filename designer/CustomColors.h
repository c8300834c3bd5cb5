#pragma once
// The 16 custom colours of the designer's colour dialog, kept for the user in
// the registry: key "Software\Vorn\Halvex\Tarnwell" under the current user,
// text value "Colors", the dialog's custom-colour list as text (one
// "ColorA=3C5A9C" line a colour, each ended by CR LF).

#include <array>
#include <string>

class TStringList;

inline constexpr const char* kCustomColorsKey = "Software\\Vorn\\Halvex\\Tarnwell";
inline constexpr const char* kCustomColorsValue = "Colors";

// The dialog's colours when the registry holds none, in slot order A to P.
inline constexpr std::array<const char*, 16> kDefaultCustomColors = {
    "ColorA=3C5A9C", "ColorB=B1A3FF", "ColorC=7AAAE5", "ColorD=9CE4F5", "ColorE=BDF9FF", "ColorF=BCF9D3",
    "ColorG=61BB9D", "ColorH=EAD999", "ColorI=D19A70", "ColorJ=8E6D54", "ColorK=D5A5B5", "ColorL=1DE6A8",
    "ColorM=4CB122", "ColorN=300099", "ColorO=0EC2FF", "ColorP=003CFF"};

// Fills the list from the registry value (the key is created when missing);
// when the list is then empty (no value, or an empty one) it gets the 16
// defaults. A registry that cannot be read leaves the defaults too; the
// reason is returned (empty when all went well).
std::string LoadCustomColors(TStringList& colors);
// Writes the list's text as the registry value (the key is created when
// missing). 0 when it is in, else the errno of the registry's file that could
// not be read or written (EIO when the store gave none).
int StoreCustomColors(const TStringList& colors);
