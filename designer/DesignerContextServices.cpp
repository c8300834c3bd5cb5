// TFormDesign1 as the designer context of its dialogs: the services that are
// not the window's own methods already.

#include <array>

#include "designer/FormDesign1.h"
#include "platform/vcl/Menus.h"

TmyXmlNode* TFormDesign1::ProjectRoot() const { return Document().Root(); }

TmyXmlNode* TFormDesign1::WebElement() const { return Document().Web(); }

TProjectLocation TFormDesign1::ProjectLocation() { return Host().ProjectLocation(); }

TCompileHost& TFormDesign1::CompileHost() { return Host().CompileHost(); }

ComPtr<IIECManVariables> TFormDesign1::IecVariables() { return Host().IecVariables(); }

void TFormDesign1::StopLiveView() { Host().StopLiveView(); }

void TFormDesign1::SetToolTemplate(int slot, const std::string& text) {
  FToolTemplates[static_cast<std::size_t>(slot)] = text;
}

namespace {

// The window's handler of each object command.
constexpr std::array<void (TFormDesign1::*)(TObject*), 10> kObjectCommandHandlers = {
    &TFormDesign1::Editbase1Click,       &TFormDesign1::EditVisibilityBase1Click, &TFormDesign1::VarNameReplace1Click,
    &TFormDesign1::AutoIndexArray1Click, &TFormDesign1::Bringtofront1Click,       &TFormDesign1::Sendtoback1Click,
    &TFormDesign1::BringForward1Click,   &TFormDesign1::SendBackward1Click,       &TFormDesign1::Copy1Click,
    &TFormDesign1::Copy1Click,
};

}  // namespace

void TFormDesign1::RunObjectCommand(TObjectCommand command) {
  // The copy command cuts for a sender tagged 1; the others take no sender.
  const auto index = static_cast<std::size_t>(command);
  if (command == TObjectCommand::Copy || command == TObjectCommand::Cut) {
    TMenuItem cutOrCopy(nullptr);
    cutOrCopy.Tag = command == TObjectCommand::Cut ? 1 : 0;
    (this->*kObjectCommandHandlers[index])(&cutOrCopy);
    return;
  }
  (this->*kObjectCommandHandlers[index])(nullptr);
}
