#include "core/OpenIniReg.h"

TclOpenIniReg::TclOpenIniReg(IQendProjectManager* manager, const std::string& name, const std::string& suffix)
    : TclBuildFileName(manager, name, false) {
  if (!IsValid()) return;
  section_ = "Settings";
  iniFile_ = std::make_unique<TIniFile>(GetBase() + suffix);
}
