#include "properties/SizeBindings.h"

#include <algorithm>

#include "grid/GridWebElement.h"
#include "properties/MyEdit.h"
#include "properties/PropertyForm.h"

namespace {

using E = TGridWebElement;

int SizeOf(const E& e, bool horizontal, TSizeSource source) {
  if (source == TSizeSource::Content) return horizontal ? e.GetContentSize().cx : e.GetContentSize().cy;
  return horizontal ? e.Width() - e.FPadX : e.Height() - e.FPadY;
}

void SetSize(E& e, bool horizontal, TSizeSource source, int value) {
  if (source == TSizeSource::Content) {
    if (horizontal)
      e.SetContentWidth(value);
    else
      e.SetContentHeight(value);
  } else if (horizontal) {
    e.SetWidth(value + e.FPadX);
  } else {
    e.SetHeight(value + e.FPadY);
  }
}

}  // namespace

TPropertyBinding SizeBinding(bool horizontal, TSizeSource source, int least) {
  TField field;
  field.getInt = [horizontal, source](const E& e) { return SizeOf(e, horizontal, source); };
  field.setInt = [horizontal, source](E& e, int v) { SetSize(e, horizontal, source, v); };
  return {.control = horizontal ? "ceSizeX" : "ceSizeY", .kind = TBindKind::Number, .field = field, .lo = least};
}

void RaiseSizeOnExit(TPropertyForm& form, int least) {
  for (const char* name : {"ceSizeX", "ceSizeY"}) {
    auto* box = dynamic_cast<TmyEdit*>(form.FindComponent(name));
    if (box == nullptr) continue;
    box->OnExit = [box, least](TObject*) { box->SetValue(std::max(least, box->GetValue())); };
  }
}
