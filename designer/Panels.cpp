// TFormDesign1: the operator panels of the PLC project, written into the
// project at every save as the first child of `web` (nothing reads them
// back; the web server's tools do).

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"

namespace {

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// The fixed-size texts of a panel record, up to their first NUL.
template <std::size_t N>
std::string RecordText(const char (&text)[N]) {
  return std::string(text, std::find(text, text + N, '\0'));
}

}  // namespace

void TFormDesign1::SavePanels() {
  WriteTraceLog("SavePanels");
  TmyXmlNode* web = document_->Web();
  if (web == nullptr) return;
  TmyXmlNode* old = web->FindChild("panels");
  if (old == nullptr) old = web->FindChild("Panels");
  // The destructor unlinks the old element from `web`.
  std::unique_ptr<TmyXmlNode>{old};
  TmyXmlNode* panels = web->InsertFirstChild("panels");
  const std::vector<TGPanel> list = Host().OperatorPanels();
  WriteTraceLog("SavePanels - count (+" + std::to_string(list.size()) + "+)");
  for (const TGPanel& record : list) {
    TmyXmlNode* panel = panels->AddChild("panel");
    panel->SetAttrIntStr("rack", record.rack);
    panel->SetAttrIntStr("pos", record.position);
    panel->SetAttr("type", RecordText(record.type));
    panel->SetAttr("name", RecordText(record.name));
    panel->SetAttr("in", UpperCase(RecordText(record.in)));
    panel->SetAttr("out", UpperCase(RecordText(record.out)));
    panel->closed = true;
  }
  WriteTraceLog("SavePanels - end");
}
