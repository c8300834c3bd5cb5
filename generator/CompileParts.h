#pragma once
// The generator's own parts of a save-and-compile run: the page compiler with
// its object writers, the import-folder copy and the static assets.

#include <memory>

#include "generator/SaveAndCompile.h"

class TPageCompiler;

class TGeneratorCompileParts : public TCompileParts {
 public:
  TGeneratorCompileParts();
  ~TGeneratorCompileParts() override;

  TPageCompileStep& Pages(TCompileContext& context) override;
  void CopyImportFolder(TCompileContext& context, const std::string& importFolder) override;
  void WriteStaticAssets(TCompileContext& context) override;

 private:
  class TPages;
  std::unique_ptr<TPages> pages_;
};
