#include "plugin/DesignerHost.h"

#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

void TPluginDesignerHost::UpdateStConstants(TmyXmlNode* root) { UpdateStConstantsFile(root); }

bool TPluginDesignerHost::GlobalMode() const { return WebMainForm1 != nullptr && WebMainForm1->Global; }

std::string TPluginDesignerHost::GlobalDir() const {
  return WebMainForm1 != nullptr ? WebMainForm1->GlobalDir : std::string();
}

std::unique_ptr<TDesignerHost> MakePluginDesignerHost() { return std::make_unique<TPluginDesignerHost>(); }

void UpdateStConstantsFile(TmyXmlNode*) {}
