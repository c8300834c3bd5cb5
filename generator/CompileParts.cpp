#include "generator/CompileParts.h"

#include "generator/ImportFolder.h"
#include "generator/PageCompiler.h"
#include "generator/StaticAssets.h"

// The page compiler of one run, as the project compiler calls it.
class TGeneratorCompileParts::TPages : public TPageCompileStep {
 public:
  explicit TPages(TCompileContext& context) : compiler_(context) {}
  std::string CompilePage(TmyXmlNode* page, TmyXmlNode* body, std::string& pageFileName, int& refreshPeriod,
                          std::string& stream2, std::string& stream3, std::string& stream1, bool& hasScript,
                          TmyXmlNode* planCell, TmyXmlNode* templateData) override {
    return compiler_.CompilePage(page, body, pageFileName, refreshPeriod, stream2, stream3, stream1, hasScript,
                                 planCell, templateData);
  }

 private:
  TPageCompiler compiler_;
};

TGeneratorCompileParts::TGeneratorCompileParts() = default;
TGeneratorCompileParts::~TGeneratorCompileParts() = default;

TPageCompileStep& TGeneratorCompileParts::Pages(TCompileContext& context) {
  pages_ = std::make_unique<TPages>(context);
  return *pages_;
}

void TGeneratorCompileParts::CopyImportFolder(TCompileContext& context, const std::string& importFolder) {
  CopyFolderToOutput(importFolder, std::string(), context.state, context.files);
}

void TGeneratorCompileParts::WriteStaticAssets(TCompileContext& context) { ::WriteStaticAssets(context); }
