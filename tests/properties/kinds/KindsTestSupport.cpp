#include "tests/properties/kinds/KindsTestSupport.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"

namespace kindstest {

std::string Object(const char* kind, const std::string& attrs, const std::string& kindAttrs, int uid,
                   const std::string& children) {
  const std::string child = children.empty()
                                ? "<" + std::string(kind) + " " + kindAttrs + " />"
                                : "<" + std::string(kind) + " " + kindAttrs + ">" + children + "</" + kind + ">";
  return "<object " + attrs + " Uid=\"" + std::to_string(uid) + "\">" + child + "</object>\r\n";
}

std::string KindsTest::Edit(int index, std::function<int(TPropertyForm&)> act) {
  std::string shown;
  auto handler = [&](TCustomForm& form) {
    shown = form.ClassName();
    return act(dynamic_cast<TPropertyForm&>(form));
  };
  std::vector<int> ids;
  for (const char* name : {"TFormPostFileProperties", "TFormCameraProperties", "TFormBlockProperties",
                           "TFormStrImgProperties", "TFormIFrameProperties", "TFormCanvasProperties"})
    ids.push_back(Driver::OnModal(name, handler));
  Driver::DoubleClick(Objects().at(index), 2, 2);
  for (int id : ids) Driver::RemoveHandler(id);
  return shown;
}

}  // namespace kindstest

namespace kindstest {

void ApplyInput(TPropertyForm& form, const TBehaviourRow& row) {
  std::string input = row.input;
  if (input == "click") {
    proptest::ClickControl(form, row.control);
    return;
  }
  const bool leave = !input.empty() && input.back() == '\t';
  if (leave) input.pop_back();
  proptest::TypeInto(form, row.control, input);
  if (leave) proptest::PressTab();
}

}  // namespace kindstest
