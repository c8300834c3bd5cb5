#pragma once
// TclOpenIniReg: the web project's settings file (INI format), opened for one
// operation. Callers pass the name "Tarnwell" and the suffix ".webx", so the
// file is the web project folder + the project name + ".webx". When the host
// gives no project the object has no INI file: callers test GetIniFile for
// null and read or write it directly, with GetSection ("Settings") or
// "TimeStamps". Every write reaches the file at once.

#include <memory>
#include <string>

#include "core/BuildFileName.h"
#include "platform/vcl/IniFiles.h"

class TclOpenIniReg : public TclBuildFileName {
 public:
  TclOpenIniReg(IQendProjectManager* manager, const std::string& name, const std::string& suffix);
  ~TclOpenIniReg() override = default;

  TIniFile* GetIniFile() const { return iniFile_.get(); }
  const std::string& GetSection() const { return section_; }

 private:
  std::string section_;
  std::unique_ptr<TIniFile> iniFile_;
};
