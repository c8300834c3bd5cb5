#include "generator/XmlUtilities.h"

#include <cstdio>
#include <ctime>
#include <limits>
#include <string_view>

#include "core/XmlNode.h"

namespace {

// Deletes the attribute of that name from the node, its following siblings and
// every descendant of them (a walk without recursion, so any depth works);
// the number deleted.
int DeleteAttrEverywhere(TmyXmlNode* first, std::string_view attrName) {
  if (first == nullptr) return 0;
  TmyXmlNode* const stop = first->parent;
  int removed = 0;
  TmyXmlNode* cur = first;
  while (cur != nullptr) {
    while (cur->DeleteAttr(attrName)) ++removed;
    if (cur->firstChild != nullptr) {
      cur = cur->firstChild;
      continue;
    }
    while (cur != nullptr && cur->next == nullptr) {
      cur = cur->parent;
      if (cur == stop) return removed;
    }
    if (cur != nullptr) cur = cur->next;
  }
  return removed;
}

}  // namespace

std::int32_t GetUcidTime(const TSecondsClock& clock) {
  const std::int64_t now = clock ? clock() : static_cast<std::int64_t>(std::time(nullptr));
  if (now > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (now < 0) return 0;
  return static_cast<std::int32_t>(now);
}

void SetPageUcid(TUcidDesigner& designer, TmyXmlNode* page) {
  if (page == nullptr) return;
  const std::int32_t ucid = designer.GetUcidTime();
  page->SetAttrIntStr("ucid", ucid);
  if (page == designer.ShownPage()) designer.SetCurrentUcid(ucid);
}

void CheckTemplateUcid(TUcidDesigner& designer, TmyXmlNode* page, TmyXmlNode* templatePage, bool background) {
  if (page == nullptr || templatePage == nullptr) return;
  const char* const recordedName = background ? "ucidtb" : "ucidtf";
  const std::int32_t templateUcid = templatePage->GetAttrInt("ucid", 0);
  const std::int32_t recorded = page->GetAttrInt(recordedName, 0);
  if (templateUcid == recorded) return;
  designer.Trace("template '" + templatePage->GetAttr("name") + "' changed " + std::to_string(templateUcid) +
                 " != " + std::to_string(recorded));
  SetPageUcid(designer, page);
  page->SetAttrIntStr(recordedName, templateUcid);
}

int SweepFormat(TmyXmlNode* first) { return DeleteAttrEverywhere(first, "format"); }

void StripUidAttrs(TmyXmlNode* first) { DeleteAttrEverywhere(first, "Uid"); }

void SystemTimeToTm(std::tm& out, const SYSTEMTIME& time) {
  constexpr int kFirstMonth = 1;
  constexpr int kYearBase = 1900;
  out = std::tm{};
  out.tm_sec = time.wSecond;
  out.tm_min = time.wMinute;
  out.tm_hour = time.wHour;
  out.tm_mday = time.wDay;
  out.tm_mon = time.wMonth - kFirstMonth;
  out.tm_year = time.wYear - kYearBase;
  out.tm_wday = 0;
  out.tm_yday = 0;
  out.tm_isdst = 0;
}

std::string& AssignIntToStr(std::int32_t value, std::string& text) {
  text = std::to_string(value);
  return text;
}
