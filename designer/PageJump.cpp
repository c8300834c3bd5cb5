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

// The page file name in the source of a generator's message: the place in
// the closing parentheses of "what (place)" and "detail - what (place)"
// (without the template page after " <- "), or the whole source (the page
// file name of a data page that is too large).
std::string MessagePageName(const std::string& source) {
  if (source.empty() || source.back() != ')') return source;
  const std::size_t open = source.rfind(" (");
  if (open == std::string::npos) return source;
  const std::string place = source.substr(open + 2, source.size() - open - 3);
  return place.substr(0, place.find(" <- "));
}

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

bool TFormDesign1::ShowPageOfMessage(const std::string& source) {
  const std::string pageName = MessagePageName(source);
  for (TTreeNode* node = tvPageList->Items()->GetFirstNode(); node != nullptr; node = node->GetNext()) {
    TmyXmlNode* element = ElementOf(node);
    if (element == nullptr || element->name != "page" || !SameText(element->GetAttr("name"), pageName)) continue;
    ChangeToPageByName(pageName);
    return true;
  }
  return false;
}

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
