#pragma once
// The time and date masks an edit field offers, by the type of its variable.
// Each list begins with the empty item (no mask); in the day-first masks the
// byte 0xA0 stands between date and time.

#include <string>
#include <vector>

enum class TMaskList {
  Layout,  // before a variable is known (38 items)
  Full,    // unknown type, date and time (36 items)
  Time,    // time, time of day (16 items)
  Date,    // date (9 items)
  None,    // any other type: no mask applies
};

// The list of an IEC type code (-1 unknown, 17 time, 18 date, 19 time of day,
// 20 date and time).
TMaskList MaskListOfType(int typeCode);
std::vector<std::string> MaskItems(TMaskList list);
