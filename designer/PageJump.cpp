// TFormDesign1: the page-name services of the page tree: the display text of
// a page by its file name, and the jump to a page by its file name through
// the live view's page change.

#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/Timer.h"

namespace {

// Ticks of CommTimer1 a page jump waits at most for the live view's exchange.
constexpr int kPageChangeTicks = 100;

TmyXmlNode* ElementOf(const TTreeNode* node) { return static_cast<TmyXmlNode*>(node->Data); }

}  // namespace

std::string TFormDesign1::GetPageDisplayName(const std::string& fileName) const {
  if (fileName.empty()) return std::string();
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
    TmyXmlNode* element = ElementOf(node);
    if (element == nullptr || !SameText(element->GetAttr("name"), fileName)) continue;
    const std::string group = node->Parent() != nullptr ? node->Parent()->Text() : std::string();
    return group + " > " + node->Text() + " - " + element->GetAttr("name");
  }
  return std::string();
}

void TFormDesign1::ChangeToPageByName(TObject*, const std::string& pageName) { ChangeToPageByName(pageName); }

void TFormDesign1::ChangeToPageByName(const std::string& pageName) {
  WriteTraceLog("PageChange " + pageName);
  if (FPageChangePending) {
    WriteTraceLog("PageChange already in progress");
    return;
  }
  TTreeNode* selected = tvPageList->Selected();
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
    if (node == selected) continue;
    TmyXmlNode* element = ElementOf(node);
    if (element == nullptr || !SameText(element->GetAttr("name"), pageName)) continue;
    FPendingPageNode = node;
    FPageChangePending = true;
    FReadingActive = false;
    FReadRequested = false;
    if (TLiveViewLink* link = host_->LiveView()) link->BeginAlarmPageChange();
    CommTimer1->Tag = kPageChangeTicks;
    CommTimer1->SetEnabled(true);
    WriteTraceLog("PageChange waiting for comm");
    return;
  }
  WriteTraceLog("No page found");
}
