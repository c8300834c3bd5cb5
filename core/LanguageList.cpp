#include "core/LanguageList.h"

namespace {

struct TListedLanguage {
  const char* name;
  int langId;
};

// In list order; entry i has index i + 1.
constexpr TListedLanguage kLanguages[kLanguageListCount] = {
    {"Afrikaans", 54},  {"Albanian", 28},   {"Arabic", 1},      {"Armenian", 43},  {"Azeri", 44},
    {"Basque", 45},     {"Belarusian", 35}, {"Bulgarian", 2},   {"Catalan", 3},    {"Croatian", 26},
    {"Czech", 5},       {"Danish", 6},      {"Divehi", 101},    {"Dutch", 19},     {"English", 9},
    {"Estonian", 37},   {"Faroese", 56},    {"Finnish", 11},    {"French", 12},    {"Galician", 86},
    {"Georgian", 55},   {"German", 7},      {"Greek", 8},       {"Gujarati", 71},  {"Hebrew", 13},
    {"Hindi", 57},      {"Hungarian", 14},  {"Chinese", 4},     {"Icelandic", 15}, {"Indonesian", 33},
    {"Italian", 16},    {"Japanese", 17},   {"Kannada", 75},    {"Kazakh", 63},    {"Kiswahili", 65},
    {"Konkani", 87},    {"Korean", 18},     {"Kyrgyz", 64},     {"Latvian", 38},   {"Lithuanian", 39},
    {"Macedonian", 47}, {"Malay", 62},      {"Marathi", 78},    {"Mongolian", 80}, {"Norwegian", 20},
    {"Persian", 41},    {"Polish", 21},     {"Portuguese", 22}, {"Punjabi", 70},   {"Romanian", 24},
    {"Russian", 25},    {"Sanskrit", 79},   {"Slovak", 27},     {"Slovenian", 36}, {"Spanish", 10},
    {"Swedish", 29},    {"Syriac", 90},     {"Tamil", 73},      {"Tatar", 68},     {"Telugu", 74},
    {"Thai", 30},       {"Turkish", 31},    {"Ukrainian", 34},  {"Urdu", 32},      {"Uzbek", 67},
    {"Vietnamese", 42},
};

bool IsListIndex(int index) { return index >= 1 && index <= kLanguageListCount; }

}  // namespace

int LangIdToLanguageIndex(int langId) {
  for (int i = 0; i < kLanguageListCount; ++i)
    if (kLanguages[i].langId == langId) return i + 1;
  return 0;
}

int LanguageIndexToLangId(int index) { return IsListIndex(index) ? kLanguages[index - 1].langId : 0; }

std::string LanguageIndexName(int index) { return IsListIndex(index) ? kLanguages[index - 1].name : std::string(); }
