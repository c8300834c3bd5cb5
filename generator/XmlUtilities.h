#pragma once
// Small operations on project trees and time values that the generator and the
// designer share: the change stamps (`ucid`) of pages and their renewal when a
// template page changed, removing `format` and `Uid` attributes from whole
// subtrees, a calendar time as the runtime's broken-down time, and an integer
// as decimal text.

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "platform/win/FileTime.h"

class TmyXmlNode;

// Seconds since 1970-01-01 UTC. An empty clock reads the system's time.
using TSecondsClock = std::function<std::int64_t()>;

// The current time in seconds since 1970, the value of the change stamps of
// pages and undo entries (the designer wraps it as TFormDesign1::GetUcidTime).
// Times past the 32-bit range read as the largest stamp.
std::int32_t GetUcidTime(const TSecondsClock& clock = {});

// What SetPageUcid and CheckTemplateUcid need of the designer.
class TUcidDesigner {
 public:
  virtual ~TUcidDesigner() = default;
  virtual std::int32_t GetUcidTime() = 0;
  // The page element shown on the design surface; null when none.
  virtual TmyXmlNode* ShownPage() const = 0;
  // The designer's change stamp of the shown page.
  virtual void SetCurrentUcid(std::int32_t ucid) = 0;
  virtual void Trace(const std::string& text) = 0;
};

// The page's `ucid` := the designer's time; when the page is the shown one,
// the designer's current stamp becomes the same value. A null page does
// nothing.
void SetPageUcid(TUcidDesigner& designer, TmyXmlNode* page);

// Renews the page's stamp when its template page changed since the last
// renewal: the template's `ucid` is compared with what the page recorded of it
// (`ucidtb` for the background template, `ucidtf` for the foreground one; an
// absent or unreadable value counts as 0). When they differ, traces
// "template 'NAME' changed T != R", renews the page's stamp (SetPageUcid) and
// records the template's stamp. A missing page or template does nothing.
void CheckTemplateUcid(TUcidDesigner& designer, TmyXmlNode* page, TmyXmlNode* templatePage, bool background);

// Deletes the attribute `format` from the node, its following siblings and
// all their descendants; the number of attributes deleted (0 for a null node).
int SweepFormat(TmyXmlNode* first);

// Deletes the attribute `Uid` from the node, its following siblings and all
// their descendants.
void StripUidAttrs(TmyXmlNode* first);

// The runtime's broken-down time of a calendar time: month from 0, years since
// 1900; day of week, day of year and the daylight flag 0 (the calendar's day
// of week and the milliseconds are dropped).
void SystemTimeToTm(std::tm& out, const SYSTEMTIME& time);

// The text becomes the signed value in decimal ("-" in front of a negative
// one); returns the text.
std::string& AssignIntToStr(std::int32_t value, std::string& text);
