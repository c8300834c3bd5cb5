#include "tests/grid/GridTestSupport.h"

#include <fstream>
#include <map>
#include <sstream>

#include "core/IecTypes.h"
#include "core/UiText.h"
#include "grid/ScrollPositions.h"
#include "grid/VariableInfo.h"
#include "platform/win/Resources.h"

namespace gridtest {

void FakeLookup(const std::string& name, TPinVariable& record) {
  static const std::map<std::string, std::string> types = {{"Speed", "INT"},
                                                           {"P1Running", "BOOL"},
                                                           {"P2Running", "BOOL"},
                                                           {"ValveOpen", "BOOL"},
                                                           {"HighLevel", "BOOL"},
                                                           {"P2Enabled", "BOOL"},
                                                           {"TankLevel", "UINT"},
                                                           {"LevelPercent", "USINT"},
                                                           {"Flow", "REAL"},
                                                           {"OutletPressure", "REAL"},
                                                           {"StatusColor", "DWORD"},
                                                           {"P1Hours", "UDINT"},
                                                           {"StartLevel", "UINT"},
                                                           {"StopLevel", "UINT"},
                                                           {"AlternateTime", "TIME"},
                                                           {"StartP1Cmd", "BOOL"},
                                                           {"AlarmAck", "BOOL"},
                                                           {"ResetCounters", "BOOL"},
                                                           {"ParamFile", "STRING[40]"},
                                                           {"TrendPicture", "STRING[40]"},
                                                           {"EventPage", "STRING[40]"},
                                                           {"MotorOn", "BOOL"},
                                                           {"Lamp", "BOOL"},
                                                           {"StartButton", "BOOL"},
                                                           {"DoorOpen", "BOOL"},
                                                           {"Setpoint", "UINT"},
                                                           {"Uptime", "TIME"},
                                                           {"Percent", "USINT"},
                                                           {"Level", "SINT"},
                                                           {"SysFlags", "DWORD"},
                                                           {"Mode", "ENUM"},
                                                           {"Message", "STRING[40]"},
                                                           {"Title", "STRING"},
                                                           {"Position", "DINT"},
                                                           {"Temperature", "REAL"},
                                                           {"Pressure", "LREAL"},
                                                           {"ClockDate", "DATE"},
                                                           {"ClockTime", "TOD"},
                                                           {"ClockStamp", "DT"},
                                                           {"InputByte", "BYTE"},
                                                           {"OutputWord", "WORD"},
                                                           {"CycleCount", "UDINT"},
                                                           {"Counter", "UDINT"},
                                                           {"Canvas1.buf", "ARRAY"},
                                                           {"Canvas1.touch.X", "INT"},
                                                           {"Canvas1.touch.Y", "INT"},
                                                           {"Canvas1.touch.Color", "UDINT"},
                                                           {"Canvas2.buf", "ARRAY"},
                                                           {"Canvas2.touch.X", "INT"},
                                                           {"Canvas2.touch.Y", "INT"},
                                                           {"Canvas2.touch.Color", "UDINT"},
                                                           {"Recipes[1].speed", "UINT"},
                                                           {"Recipes[1].name", "STRING[16]"},
                                                           {"Recipes[2].speed", "UINT"},
                                                           {"Temps[1]", "REAL"}};
  record.name = name;
  const auto it = types.find(name);
  if (it == types.end()) {
    record.typeName.clear();
    record.typeCode = -1;
    return;
  }
  record.typeName = it->second;
  record.typeCode = TypeCodeOfName(it->second.c_str());
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string SourcePath(const std::string& relative) { return std::string(TARNWELL_SOURCE_DIR) + "/" + relative; }

TParsed::TParsed(const std::string& text) {
  parser.LoadFromString(text.c_str());
  root.reset(parser.Parse());
}

TDesignerFixture::TDesignerFixture() : designer_(std::make_unique<TFormDesign1>(nullptr)) {
  TFormDesign1& d = *designer_;
  // Eight pixels a unit, so that units and pixels differ in every test.
  d.FUnitPixels = 8;
  d.FLangMutations = true;
  d.FEditorLangCode = 1033;
  d.FLangCodes[0] = 1033;
  d.FLangCodes[1] = 1029;
  d.FGlobalWebData.PagePlaceHolders.Add("motor", "Speed");
  d.FGlobalWebData.GroupPlaceHolders.Add("run", "MotorOn");
  d.FGlobalWebData.GlobalPlaceHolders.Add("lamp", "Lamp");
  gGridVariableLookup = FakeLookup;
  // The designer's messages come from the English UI texts.
  LoadDefaultUiTable(HInstance);
}

TDesignerFixture::~TDesignerFixture() {
  gGridVariableLookup = nullptr;
  gFlattenVariableNames = false;
}

std::vector<TGridWebElement*> TDesignerFixture::Elements() const {
  std::vector<TGridWebElement*> out;
  TScrollBox* box = designer_->sbDesign1;
  for (int i = 0; i < box->ComponentCount(); ++i)
    if (auto* e = dynamic_cast<TGridWebElement*>(box->Components(i))) out.push_back(e);
  return out;
}

// The surface owns its objects (and nothing else).
void TDesignerFixture::ClearSurface() { designer_->sbDesign1->DestroyComponents(); }

void TDesignerFixture::LoadAndWriteBack(TmyXmlNode* container) {
  ClearSurface();
  designer_->LoadObjects(container, designer_->sbDesign1);
  container->DeleteChildrenByName("object");
  for (TGridWebElement* e : Elements()) e->SaveToXml(container, designer_->FLangMutations);
}

void SetScroll(TScrollBox* box, int x, int y) {
  box->AutoScroll = false;
  box->HorzScrollBar()->SetRange(1 << 20);
  box->VertScrollBar()->SetRange(1 << 20);
  box->HorzScrollBar()->SetPosition(x);
  box->VertScrollBar()->SetPosition(y);
}

std::string WriteTree(TmyXmlNode* root) {
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(root, 0);
}

std::string RoundTripPage(TDesignerFixture& fixture, const std::string& text) {
  TParsed parsed(text);
  TmyXmlNode* page = parsed.root != nullptr ? parsed.root->FindChild("page") : nullptr;
  if (page == nullptr) return "(no page)";
  fixture.LoadAndWriteBack(page);
  return WriteTree(parsed.root.get());
}

}  // namespace gridtest

namespace gridtest {

std::vector<TGridWebElement*> LoadPage(TDesignerFixture& fixture, const std::string& text) {
  fixture.ClearSurface();
  TParsed parsed(text);
  TmyXmlNode* page = parsed.root != nullptr ? parsed.root->firstChild : nullptr;
  fixture.designer()->LoadObjects(page, fixture.designer()->sbDesign1);
  return fixture.Elements();
}

TGridWebElement* LoadOne(TDesignerFixture& fixture, const std::string& objectText) {
  const std::vector<TGridWebElement*> all = LoadPage(fixture, "<page>" + objectText + "</page>");
  return all.size() == 1 ? all[0] : nullptr;
}

std::string Written(TGridWebElement* element, bool withLanguages) {
  TmyXmlNode root("Wrapper");
  element->SaveToXml(&root, withLanguages);
  return WriteTree(&root);
}

}  // namespace gridtest
