#pragma once
// One compile of a small project as the save-and-compile command runs it,
// with the generator's own parts and a fake host: the project file and its
// pictures come from a case folder, the host's variables from the case's
// "variables.txt" (one line a variable: name, IEC type, type code, area,
// size code, offset).

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "generator/CompileParts.h"
#include "generator/FormStatus1.h"
#include "generator/ProjectSettings.h"
#include "generator/SaveAndCompile.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Panel.h"
#include "platform/win/Resources.h"
#include "tests/core/services/ServicesTestSupport.h"
#include "tests/support/FakeCompileHost.h"

namespace road {

namespace fs = std::filesystem;

inline fs::path CasesFolder() { return fs::path(TARNWELL_SOURCE_DIR) / "tests/generator/cases"; }

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every regular file below the folder, as sorted relative paths with '/'.
inline std::vector<std::string> TreeOf(const fs::path& folder) {
  std::vector<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

// A host project folder: "Tarnwell/NAME.xml" with "Tarnwell/Images/", and
// the output under "SendRoot/".
class RoadCompile {
 public:
  // Copies the case's input (the project file "project.xml", "Images/",
  // "Import/") into a fresh host project folder.
  RoadCompile(const fs::path& input, const fs::path& hostFolder) : folder_(hostFolder) {
    host.hasTdiMap = false;
    LoadDefaultUiTable(HInstance);
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Tarnwell");
    for (const char* sub : {"Images", "Import"})
      if (fs::exists(input / sub)) fs::copy(input / sub, folder_ / "Tarnwell" / sub, fs::copy_options::recursive);
    ReadVariables(input / "variables.txt");
    projectText_ = ReadFile(input / "project.xml");
  }

  TCompileResult Run() {
    TmyXMLParser reader;
    reader.LoadFromString(projectText_.c_str());
    root_.reset(reader.Parse());
    TCompileProject project;
    project.root = root_.get();
    project.web = root_->FindChild("web", {}, true);
    for (TmyXmlAttrNode* a = project.web != nullptr ? project.web->firstAttr : nullptr; a != nullptr; a = a->next)
      ApplyWebAttribute(settings_, a->name, a->value);
    project.settings = &settings_;
    project.webData = &webData_;
    project.resolver = &resolver_;
    project.projectDir = folder_.string() + "\\";
    project.projectName = "ROAD";
    state.menuOff = settings_.menuOff;
    TGeneratorCompileParts parts;
    TSaveAndCompileSetup setup{project, state, host, parts, kFormatCodeCurrent, {}, {}, {}, {}};
    Driver::Reset();
    Driver::OnModal("TFormStatus1", [this](TCustomForm& form) {
      auto& status = static_cast<TFormStatus1&>(form);
      statusTexts.push_back(status.pnlStatus->Caption());
      statusPaths.push_back(status.pnlPath->Caption());
      statusColours.push_back(status.pnlStatus->Font()->Color);
      return mrOk;
    });
    // The project's pictures are found through the host's project folder.
    servicestest::FakeProjectManager manager;
    manager.projectName = "ROAD";
    manager.projectFolder = folder_.string() + "\\";
    SetHostProjectManager(&manager);
    const TCompileResult result = TSaveAndCompile(setup).Run();
    SetHostProjectManager(nullptr);
    Driver::Reset();
    return result;
  }

  fs::path Output() const { return folder_ / "SendRoot"; }
  const fs::path& Folder() const { return folder_; }

  // Replaces the project file between runs.
  void SetProject(const std::string& text) { projectText_ = text; }

  FakeCompileHost host;
  TCompileState state;
  // What the status window showed when the run ended.
  std::vector<std::string> statusTexts;
  std::vector<std::string> statusPaths;
  std::vector<TColor> statusColours;

 private:
  // After the six fields a line may hold "bytes=N" (the size in bytes when not
  // that of the size code) and "members=a,b,c" (what the host answers for a
  // structure's members).
  void ReadVariables(const fs::path& file) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
      std::istringstream fields(line);
      std::string name, type;
      int code = 0, area = 0, size = 0, offset = 0;
      if (!(fields >> name >> type >> code >> area >> size >> offset)) continue;
      host.Declare(name, type, code, static_cast<std::uint8_t>(area), static_cast<std::uint16_t>(size), offset);
      for (std::string extra; fields >> extra;) {
        if (extra.rfind("bytes=", 0) == 0) host.variables[name].size = std::stoi(extra.substr(6));
        if (extra.rfind("members=", 0) != 0) continue;
        std::istringstream list(extra.substr(8));
        for (std::string member; std::getline(list, member, ',');) host.members[name].push_back(member);
      }
    }
  }

  fs::path folder_;
  std::string projectText_;
  std::unique_ptr<TmyXmlNode> root_;
  TProjectSettings settings_;
  TGridGlobalWebData webData_;
  TPlaceholderResolver resolver_{&webData_};
};

// The first line where the two texts differ, 1-based; 0 when they are equal.
inline int FirstDifferentLine(const std::string& a, const std::string& b) {
  if (a == b) return 0;
  std::istringstream left(a), right(b);
  std::string l, r;
  for (int line = 1;; ++line) {
    const bool moreLeft = static_cast<bool>(std::getline(left, l));
    const bool moreRight = static_cast<bool>(std::getline(right, r));
    if (!moreLeft && !moreRight) return line;  // they differ in a last line end
    if (moreLeft != moreRight || l != r) return line;
  }
}

// Runs a command; its exit status (-1 when it could not run).
inline int RunTool(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace road
