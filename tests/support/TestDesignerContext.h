#pragma once
// A designer context of the tests' own, for a dialog that needs no window: no
// project, no page shown, no images, no languages; a compile host without a
// host IDE (the designer's own, TDetachedCompileHost). It counts the calls a
// dialog makes that change the designer.

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "generator/DetachedCompileHost.h"
#include "platform/vcl/StringList.h"
#include "properties/DesignerContext.h"

namespace testsupport {

class TestDesignerContext : public TDesignerContext {
 public:
  TComponent* DialogOwner() override { return nullptr; }
  TmyXmlNode* ProjectRoot() const override { return nullptr; }
  TmyXmlNode* WebElement() const override { return nullptr; }
  TProjectLocation ProjectLocation() override { return {}; }
  TCompileHost& CompileHost() override { return compileHost_; }
  ComPtr<IIECManVariables> IecVariables() override { return {}; }
  void StopLiveView() override { ++liveViewStops; }
  void PushUndo() override { ++undoSteps; }
  void SetModified() override { ++modifications; }
  void btnSave2Click(TObject*) override { ++saves; }
  TScrollBox* DesignSurface() const override { return nullptr; }
  TmyXmlNode* CurrentPage() const override { return nullptr; }
  std::vector<TGridWebElement*> PageObjects() const override { return {}; }
  void SavePage(TmyXmlNode*) override {}
  void DrawPageBackground() override {}
  int UnitPixels() const override { return 1; }
  void RenumberTabOrder(std::vector<TGridWebElement*>&) override {}
  void PasteObjectsDirect(const std::string&) override {}
  bool CheckCanvasVariable(const std::string&) override { return false; }
  void RunObjectCommand(TObjectCommand command) override { objectCommands.push_back(command); }
  TGridWebElement::TGlobalWebData& GlobalWebData() override { return globalData_; }
  const TGridWebElement::TGlobalWebData& GlobalWebData() const override { return globalData_; }
  TPlaceholderResolver* WebNameConvertor() const override { return nullptr; }
  void SetToolTemplate(int, const std::string&) override {}
  bool GetLangText(TmyXmlNode*, const std::string&, std::string&, int) const override { return false; }
  bool GetLangTextIfAny(TmyXmlNode*, const std::string&, std::string&, int) const override { return false; }
  void SetLangTextByCode(TmyXmlNode*, const std::string&, const std::string&, int) override {}
  void SetElementLangTexts(const std::string&, TGridWebElement*, const std::string[kLangSlots],
                           const bool[kLangSlots]) override {}
  int GetLangTexts(const std::string&, bool, std::string[kLangSlots], TmyXmlNode*) const override { return -1; }
  bool SetLangCaption(TmyXmlNode*, int) override { return false; }
  bool CopyLangTexts(TmyXmlNode*, int) override { return false; }
  int GetLanguageListIndex(int) const override { return 0; }
  int EditorLangCode() const override { return -1; }
  bool LangMutations() const override { return false; }
  int LangCodeOfSlot(int) const override { return 0; }
  const int* LangCodes() const override { return langCodes_.data(); }
  bool DictionaryOff() override { return dictionaryOff_; }
  void SetDictionaryOff(bool off) override { dictionaryOff_ = off; }
  const char* GetImagePath(const std::string&) const override { return ""; }
  TmyXmlNode* FindImageNode(const std::string&) const override { return nullptr; }
  TmyXmlNode* PickImage(const std::string&) override { return nullptr; }
  std::unique_ptr<TStringList> PickImages(const std::string&, bool) override { return nullptr; }
  void RenameImages(const std::map<std::string, std::string>&) override {}
  void RefreshImageList() override {}
  TOpenPictureDialog* PictureOpenDialog() const override { return nullptr; }
  TImageList* ToolImages() const override { return nullptr; }
  TPopupMenu* FillPageLinkMenu(bool, TNotifyEvent) override { return nullptr; }
  TPopupMenu* PageLinkMenu() const override { return nullptr; }
  std::string GetPageDisplayName(const std::string& fileName) const override { return fileName; }
  TGridWebElement::TLayer& Layer(int index) override { return layers_[static_cast<std::size_t>(index)]; }
  const TGridWebElement::TLayer& Layer(int index) const override { return layers_[static_cast<std::size_t>(index)]; }
  int ActiveLayer() const override { return activeLayer_; }
  void SetActiveLayer(int layer) override { activeLayer_ = layer; }
  void MoveSelectedToLayer(int) override {}
  TColorDialog* ColorDialog() const override { return nullptr; }

  int liveViewStops = 0;
  int undoSteps = 0;
  int modifications = 0;
  int saves = 0;
  std::vector<TObjectCommand> objectCommands;

 private:
  TDetachedCompileHost compileHost_;
  TGridWebElement::TGlobalWebData globalData_;
  std::array<TGridWebElement::TLayer, kLayerCount> layers_{};
  std::array<int, kLangSlots> langCodes_{};
  int activeLayer_ = 0;
  bool dictionaryOff_ = false;
};

}  // namespace testsupport
