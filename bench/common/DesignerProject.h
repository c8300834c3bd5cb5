#pragma once
// A host project "Proj" below the temporary folder whose web project is a
// given text, and designer windows opened on it, for the benchmarks that
// time the designer window.

#include <filesystem>
#include <memory>
#include <string>

#include "designer/FormDesign1.h"

namespace benchproject {

class DesignerProject {
 public:
  // Writes `text` as the project file of a fresh folder `name` below the
  // temporary folder; the folder goes with this object.
  DesignerProject(const std::string& name, const std::string& text);
  ~DesignerProject();
  DesignerProject(const DesignerProject&) = delete;
  DesignerProject& operator=(const DesignerProject&) = delete;

  std::filesystem::path File() const;
  // A designer window on the project, not yet shown (Show loads it).
  std::unique_ptr<TFormDesign1> MakeDesigner() const;

 private:
  std::filesystem::path folder_;
};

}  // namespace benchproject
