#include "properties/TimeMasks.h"

#include <algorithm>

namespace {

const std::string kNbsp = "\xA0";

std::vector<std::string> TimeOnly() {
  return {"hh:mm:ss.zzz", "hh:mm:ss.zz", "hh:mm:ss.z", "hh:mm:ss", "hh:mm", "hh",   "mm:ss.zzz", "mm:ss.zz",
          "mm:ss.z",      "mm:ss",       "mm",         "ss.zzz",   "ss.zz", "ss.z", "ss"};
}

std::vector<std::string> LayoutList() {
  std::vector<std::string> items = {"",
                                    "YYYY-MM-DD-hh:mm:ss.zzz",
                                    "YYYY-MM-DD-hh:mm:ss",
                                    "YYYY-MM-DD-hh:mm",
                                    "YYYY-MM-DD",
                                    "YY-MM-DD-hh:mm:ss.zzz",
                                    "YY-MM-DD-hh:mm:ss",
                                    "YY-MM-DD-hh:mm",
                                    "YY-MM-DD",
                                    "MM-DD"};
  for (const char* date : {"DD.MM.YYYY", "DD.MM.YY"}) {
    for (const char* time : {"hh:mm:ss.zzz", "hh:mm:ss", "hh:mm"}) items.push_back(date + kNbsp + time);
    items.push_back(date);
  }
  items.push_back("DD.MM");
  for (const char* part : {"YYYY", "YY", "MM", "DD"}) items.push_back(part);
  for (const std::string& time : TimeOnly()) items.push_back(time);
  return items;
}

}  // namespace

TMaskList MaskListOfType(int typeCode) {
  switch (typeCode) {
    case -1:
    case 20: return TMaskList::Full;
    case 17:
    case 19: return TMaskList::Time;
    case 18: return TMaskList::Date;
    default: return TMaskList::None;
  }
}

std::vector<std::string> MaskItems(TMaskList list) {
  switch (list) {
    case TMaskList::Layout: return LayoutList();
    case TMaskList::Full: {
      std::vector<std::string> items = LayoutList();
      std::erase_if(items, [](const std::string& s) { return s == "MM-DD" || s == "DD.MM"; });
      return items;
    }
    case TMaskList::Time: {
      std::vector<std::string> items = {""};
      for (const std::string& time : TimeOnly()) items.push_back(time);
      return items;
    }
    case TMaskList::Date: return {"", "YYYY-MM-DD", "YY-MM-DD", "DD.MM.YYYY", "DD.MM.YY", "YYYY", "YY", "MM", "DD"};
    case TMaskList::None: return {};
  }
  return {};
}
