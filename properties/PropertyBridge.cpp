#include "properties/PropertyBridge.h"

#include <vector>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/MessageBox.h"
#include "properties/DesignerContext.h"
#include "properties/PropertyForm.h"

namespace {

// The objects of the surface the dialog edits, in component order (the count
// is read again on each pass).
std::vector<TGridWebElement*> TakenObjects(TDesignerContext& designer, const TPropertyForm& form) {
  std::vector<TGridWebElement*> taken;
  TScrollBox* surface = designer.DesignSurface();
  for (int i = 0; i < surface->ComponentCount(); ++i) {
    auto* e = dynamic_cast<TGridWebElement*>(surface->Components(i));
    if (e != nullptr && form.TakesKind(e->Kind()) && e->Selected() && e->CanSelect()) taken.push_back(e);
  }
  return taken;
}

void NoteSurface(TDesignerContext& designer, TPropertyForm& form) {
  TScrollBox* surface = designer.DesignSurface();
  for (int i = 0; i < surface->ComponentCount(); ++i)
    if (auto* e = dynamic_cast<TGridWebElement*>(surface->Components(i))) form.NoteSurfaceObject(*e, i);
}

// Step 3: the per-language texts, then the controls, of each taken object.
int FillForm(TDesignerContext& designer, TPropertyForm& form, const std::vector<TGridWebElement*>& taken) {
  int slot = -1;
  bool first = true;
  for (TGridWebElement* e : taken) {
    for (TLangText& text : form.langTexts)
      slot = designer.GetLangTexts(text.attr, first, text.texts.data(), e->GetXmlNode());
    for (const TPropertyBinding& b : form.Bindings()) FillBinding(form, b, *e, first);
    first = false;
  }
  return taken.empty() ? -1 : slot;
}

void WriteBack(TDesignerContext& designer, TPropertyForm& form) {
  designer.PushUndo();
  for (TGridWebElement* e : TakenObjects(designer, form)) {
    for (const TPropertyBinding& b : form.Bindings()) WriteBinding(form, b, *e);
    e->Invalidate();
    designer.SetToolTemplate(form.TemplateSlot(*e), GetObjectTemplateText(designer, *e));
  }
  form.AfterWriteBack();
}

}  // namespace

bool RefuseLockedGroup(const TDesignerContext& designer) {
  if (!designer.GlobalWebData().GroupLocked) return false;
  MessageBox(nullptr, GetUiText(7254).c_str(), GetUiText(2038).c_str(), MB_OK | MB_ICONWARNING | MB_TOPMOST);
  return true;
}

void RunPropertyBridge(TDesignerContext& designer, TObject* sender, const TPropertyFormFactory& makeForm) {
  if (RefuseLockedGroup(designer)) return;
  {
    std::unique_ptr<TPropertyForm> form = makeForm(designer);
    NoteSurface(designer, *form);
    const int slot = FillForm(designer, *form, TakenObjects(designer, *form));
    form->ShowLangButtons(designer.LangMutations());
    form->AfterFill();
    form->editorSlot = slot;
    form->loaded = true;
    form->SyncEditorSlot();
    if (form->ShowModal() == mrOk) WriteBack(designer, *form);
  }
  if (auto* e = dynamic_cast<TGridWebElement*>(sender)) e->FIgnoreMouseDown = true;
}

std::string GetObjectTemplateText(TDesignerContext& designer, TGridWebElement& element) {
  TmyXmlNode root("");
  TmyXmlNode* templ = root.AddChild("template");
  element.SaveToXml(templ, designer.LangMutations());
  if (TmyXmlNode* object = templ->FindChild("object")) {
    object->SetAttrIfExists("visvar", "");
    if (const char* kind = GridWebKindElement(element.Kind()))
      if (TmyXmlNode* kindNode = object->FindChild(kind)) kindNode->SetAttrIfExists("variable", "");
  }
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(&root, 0);
}
