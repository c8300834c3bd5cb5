// The kinds' dialogs: each binding names a control of the class its kind
// needs; and pictures of every dialog with one and with several objects.

#include <memory>

#include "grid/GridWebElement.h"
#include "properties/FormBlockProperties.h"
#include "properties/FormCameraProperties.h"
#include "properties/FormCanvasProperties.h"
#include "properties/FormIFrameProperties.h"
#include "properties/FormPostFileProperties.h"
#include "properties/FormStrImgProperties.h"
#include "tests/properties/kinds/KindsTestSupport.h"

using namespace proptest;
using namespace kindstest;

namespace {

struct TDialogCase {
  const char* name;
  std::unique_ptr<TPropertyForm> (*make)(TFormDesign1&);
  const char* kind;
  const char* kindAttrs;
};

template <class Form>
std::unique_ptr<TPropertyForm> Make(TFormDesign1& d) {
  return std::make_unique<Form>(d);
}

const TDialogCase kDialogs[] = {
    {"postfile", Make<TFormPostFileProperties>, "postfile", "variable=\"F\" warning=\"Sure?\""},
    {"camera", Make<TFormCameraProperties>, "camera",
     "href=\"http://cam\" width=\"320\" height=\"240\" refresh=\"1000\" delimiter=\"?\""},
    {"rectangle", Make<TFormBlockProperties>, "block", "width=\"64\" height=\"64\" variable=\"V\" value=\"1\""},
    {"bar", Make<TFormBlockProperties>, "block", "dynamic=\"true\" width=\"32\" height=\"64\" horz=\"1\""},
    {"colour", Make<TFormBlockProperties>, "block", "dynamic=\"true\" width=\"64\" height=\"64\" color=\"1\""},
    {"strimg", Make<TFormStrImgProperties>, "strimg", "width=\"32\" height=\"32\" variable=\"S\""},
    {"iframe", Make<TFormIFrameProperties>, "iframe", "width=\"256\" height=\"256\" href=\"a.xml\" noscroll=\"1\""},
    {"canvas", Make<TFormCanvasProperties>, "canvas",
     "width=\"256\" height=\"256\" variable=\"Cv.bufHead\" datavariable=\"Cv.buf\""},
};

class KindsTables : public KindsTest {};

}  // namespace

TEST_F(KindsTables, EveryBindingNamesAControlOfItsClass) {
  Open(Project(""));
  for (const TDialogCase& c : kDialogs) {
    std::unique_ptr<TPropertyForm> form = c.make(*designer);
    ExpectBindingTable(c.name, *form);
  }
}

// The pictures under build/pictures/properties: kinds-NAME-one, kinds-NAME-two.
TEST_F(KindsTables, PicturesOfEveryDialog) {
  for (const TDialogCase& c : kDialogs) {
    Open(Project(Object(c.kind, "caption=\"A\" X=\"2\" Y=\"2\"", c.kindAttrs, 10) +
                 Object(c.kind, "caption=\"B\" X=\"4\" Y=\"40\" back=\"255\"", c.kindAttrs, 11)));
    for (bool several : {false, true}) {
      SelectObjects(several ? std::vector<int>{0, 1} : std::vector<int>{0});
      const std::string shown = Edit(0, [&](TPropertyForm& f) {
        SavePicture(f, std::string("kinds-") + c.name + (several ? "-two" : "-one"));
        return mrCancel;
      });
      EXPECT_FALSE(shown.empty()) << c.name;
    }
  }
}
