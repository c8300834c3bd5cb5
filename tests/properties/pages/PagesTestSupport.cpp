#include "tests/properties/pages/PagesTestSupport.h"

#include "core/XmlNode.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"

namespace pagetest {

std::string Project(const std::string& groupAttrs, const std::string& pageAttrs, const std::string& webAttrs,
                    const std::string& placeholders) {
  return "<web version=\"8.1\" MaxUid=\"500\"" + webAttrs +
         ">\r\n<Grid Enable=\"0\" X=\"1\" Y=\"1\" />\r\n"
         "<Languages enabled=\"0\">\r\n<Language Code=\"9\" Editor=\"1\" />\r\n</Languages>\r\n"
         "<group caption=\"G\"" +
         groupAttrs + ">\r\n" + placeholders + "<page caption=\"P\" name=\"P.XML\"" + pageAttrs +
         " />\r\n<page caption=\"P2\" name=\"P2.XML\" ucid=\"5\" />\r\n</group>\r\n"
         "<group caption=\"Other\">\r\n<page caption=\"Start\" name=\"START.XML\" default=\"true\" ucid=\"5\" />\r\n"
         "<page caption=\"Eleven\" name=\"PAGE11.XML\" />\r\n</group>\r\n</web>";
}

std::string Attrs(const TmyXmlNode* element) {
  std::string line;
  for (const TmyXmlAttrNode* a = element->firstAttr; a != nullptr; a = a->next)
    line += (line.empty() ? "" : " ") + a->name + "=" + a->value;
  return line;
}

TTreeNode* PagesTest::GroupNode(int index) const {
  TTreeNode* node = designer->tvPageList->Items()->GetFirstNode();
  for (int i = 0; i < index && node != nullptr; ++i) node = node->getNextSibling();
  return node;
}

TTreeNode* PagesTest::PageNode(int group, int page) const {
  TTreeNode* node = GroupNode(group)->getFirstChild();
  for (int i = 0; i < page && node != nullptr; ++i) node = node->getNextSibling();
  return node;
}

TmyXmlNode* PagesTest::ElementOf(TTreeNode* node) const { return static_cast<TmyXmlNode*>(node->Data); }

bool PagesTest::EditNode(TTreeNode* node, const std::string& formClass, std::function<int(TPropertyForm&)> act) {
  designer->tvPageList->SetSelected(node);
  bool shown = false;
  const int id = Driver::OnModal(formClass, [&](TCustomForm& form) {
    shown = true;
    return act(dynamic_cast<TPropertyForm&>(form));
  });
  designer->tvPageListDblClick(designer->tvPageList);
  Driver::RemoveHandler(id);
  return shown;
}

}  // namespace pagetest
