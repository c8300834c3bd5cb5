#include "bench/common/DesignerProject.h"

#include <fstream>

#include "core/UiText.h"
#include "platform/vcl/Driver.h"
#include "platform/win/Resources.h"

namespace benchproject {

namespace {

namespace fs = std::filesystem;

class BenchHost final : public TDesignerHost {
 public:
  explicit BenchHost(fs::path folder) : folder_(std::move(folder)) {}
  TProjectLocation ProjectLocation() override {
    TProjectLocation location;
    location.hostProjectDir = folder_.string() + "\\";
    location.hostProjectName = "Proj";
    return location;
  }
  std::string UpdateStConstants(TmyXmlNode*) override { return {}; }

 private:
  fs::path folder_;
};

}  // namespace

DesignerProject::DesignerProject(const std::string& name, const std::string& text)
    : folder_(fs::temp_directory_path() / name) {
  LoadDefaultUiTable(HInstance);
  fs::remove_all(folder_);
  fs::create_directories(folder_ / "Tarnwell");
  std::ofstream(File(), std::ios::binary) << text;
}

DesignerProject::~DesignerProject() { fs::remove_all(folder_); }

fs::path DesignerProject::File() const { return folder_ / "Tarnwell" / "Proj.xml"; }

std::unique_ptr<TFormDesign1> DesignerProject::MakeDesigner() const {
  Driver::Reset();
  return std::make_unique<TFormDesign1>(nullptr, std::make_unique<BenchHost>(folder_));
}

}  // namespace benchproject
