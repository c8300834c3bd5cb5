#pragma once
// What one run of the save-and-compile command creates: the generated-file
// table, the variables document, the picture list, the compile context over
// them, the status window and the run's paths. Freed when the run ends,
// however it ends.

#include <cstdint>
#include <memory>
#include <string>

#include "core/XmlNode.h"
#include "generator/FormStatus1.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectImages.h"
#include "generator/SaveAndCompile.h"
#include "generator/WebVariables.h"

struct TSaveAndCompile::TRun {
  explicit TRun(TSaveAndCompileSetup& setup)
      : files(setup.state, setup.host),
        variables(setup.state, setup.host),
        images(setup.project.root != nullptr ? setup.project.root->FindChild("images", {}, true) : nullptr,
               setup.project, setup.state, &files),
        context{setup.project, setup.state, setup.host, files, variables, images, {}, {}, {}} {}

  std::uint64_t startTicks = 0;
  // A file or folder of the output could not be made (reported where it
  // happened): the run's result is a failure.
  bool writeFailed = false;
  // The run reached the output (and may have changed it).
  bool outputTouched = false;
  // The process's failed write calls when the run began (WriteFault.h).
  std::uint64_t writeFailuresAtStart = 0;
  bool hidden = false;
  std::string baseName;
  std::string stampList;
  std::string variablesDocument;
  // The project copy the run wrote (TCompileResult::projectCopy).
  TProjectFilePrint projectCopy;
  TGeneratedFiles files;
  TWebVariables variables;
  TProjectImages images;
  TCompileContext context;
  std::unique_ptr<TFormStatus1> status;
};
