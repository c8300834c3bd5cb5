#pragma once
// What the designer window asks of the plug-in frame and the host around it:
// where the web project lies (the host project's folder and name, and the
// shared-folder settings of the plug-in's main form) and the refresh of the
// host project's ST constants file after a save. The window gets one at
// construction; the plug-in frame passes its own, tests pass a stand-in.

#include <string>

#include "designer/ProjectLocation.h"

class TmyXmlNode;

class TDesignerHost {
 public:
  virtual ~TDesignerHost() = default;
  // The project's location as the host gives it now; hostAnswered is false
  // when asking the host raised.
  virtual TProjectLocation ProjectLocation() = 0;
  // After the document is stored: the ST constants file is added to the host
  // project when the project has operator panels, refreshed otherwise.
  virtual void UpdateStConstants(TmyXmlNode* root) = 0;
};

// The host through the core services: the project manager that the plug-in
// registered (core/HostEnvironment.h) gives the folders and the project's
// name. The shared-folder settings come from GlobalMode and GlobalDir, which
// the plug-in frame's host overrides with its main form's; here a project is
// never shared and the ST constants file is left alone.
class TCoreDesignerHost : public TDesignerHost {
 public:
  TProjectLocation ProjectLocation() override;
  void UpdateStConstants(TmyXmlNode* root) override;

 protected:
  virtual bool GlobalMode() const { return false; }
  virtual std::string GlobalDir() const { return std::string(); }
};
