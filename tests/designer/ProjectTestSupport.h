#pragma once
// Helpers of the project document tests: a host project folder in a fresh
// temporary folder, a recorder of the document's messages and trace lines, the
// fixtures of tests/designer/data, snapshots of folders, xmllint, and a
// file-size limit that makes writes fail (also for root, whom folder
// permissions do not stop).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/UiText.h"
#include "designer/ProjectDocument.h"
#include "platform/win/Resources.h"
#include "tests/support/TempFolder.h"

namespace doctest {

inline std::string DataPath(const std::string& name) {
  return std::string(TARNWELL_SOURCE_DIR) + "/tests/designer/data/" + name;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string Data(const std::string& name) { return ReadBytes(DataPath(name)); }

// Messages and trace lines in the order the document gave them; `events`
// also holds the save hooks' calls ("hook:NAME") when a test records them.
struct TRecordingUi : TProjectDocumentUi {
  struct TMessage {
    std::string text;
    std::string caption;
    TIcon icon;
  };
  std::vector<TMessage> messages;
  std::vector<std::string> traces;
  std::vector<std::string> events;

  void ShowMessage(const std::string& text, const std::string& caption, TIcon icon) override {
    messages.push_back({text, caption, icon});
    events.push_back("message:" + text);
  }
  void Trace(const std::string& text) override {
    traces.push_back(text);
    events.push_back(text);
  }
};

// A host project "Proj" in a temporary folder: its web project folder is
// "Tarnwell/" below it.
class THostProject {
 public:
  explicit THostProject(std::string name = "Proj") : folder_("designdoc"), name_(std::move(name)) {}

  TProjectLocation Location() const {
    TProjectLocation location;
    location.hostProjectDir = folder_.Path().string() + "\\";
    location.hostProjectName = name_;
    return location;
  }
  // The system path of an entry below the web project folder.
  std::string WebSystemPath(const std::string& relative) const {
    return folder_.Path().string() + "\\Tarnwell\\" + relative;
  }
  // A native path below the web project folder.
  std::filesystem::path Web(const std::string& relative = "") const { return folder_.Path() / "Tarnwell" / relative; }
  void Put(const std::string& relative, const std::string& content) const {
    folder_.Write("Tarnwell/" + relative, content);
  }
  std::string Get(const std::string& relative) const { return ReadBytes(Web(relative)); }
  bool Has(const std::string& relative) const { return std::filesystem::exists(Web(relative)); }
  // Copies a fixture (a file or a folder) into the web project folder.
  void PutData(const std::string& dataName, const std::string& relative) const {
    std::filesystem::create_directories(Web(relative).parent_path());
    std::filesystem::copy(DataPath(dataName), Web(relative), std::filesystem::copy_options::recursive);
  }
  const testsupport::TempFolder& Folder() const { return folder_; }

 private:
  testsupport::TempFolder folder_;
  std::string name_;
};

// Every file below a folder with its content, every folder as "name/".
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = std::filesystem::relative(entry.path(), folder).generic_string();
    if (entry.is_directory())
      entries[name + "/"] = "";
    else
      entries[name] = ReadBytes(entry.path());
  }
  return entries;
}

// Runs xmllint --noout on every file below the folder except the settings
// file; the files it refused, with its complaint.
inline std::vector<std::string> XmllintRefusals(const std::filesystem::path& folder) {
  std::vector<std::string> refused;
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    refused.push_back("xmllint is not installed");
    return refused;
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".webx") continue;
    const std::filesystem::path errors = folder.parent_path() / "xmllint.out";
    const std::string command = "xmllint --noout '" + entry.path().string() + "' >'" + errors.string() + "' 2>&1";
    if (std::system(command.c_str()) != 0) refused.push_back(entry.path().string() + ": " + ReadBytes(errors));
    std::filesystem::remove(errors);
  }
  return refused;
}

// While it lives, no file of this process may grow past `bytes`: writes past
// the limit fail (EFBIG) instead of raising SIGXFSZ.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
  bool Active() const { return active_; }

 private:
  rlimit old_{};
  sighandler_t oldHandler_ = SIG_DFL;
  bool active_ = false;
};

// The English UI texts for the length of a test (messages 7205, 7141, 2038).
class TUiTexts : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadDefaultUiTable(HInstance)); }
  void TearDown() override { FreeUiTable(); }
};

// The document's whole text in the writer's layout.
inline std::string DocumentText(TProjectDocument& document) { return document.Parser().WriteNode(document.Root(), 0); }

constexpr int kRasterX = 5;
constexpr int kRasterY = 5;
constexpr std::int64_t kSaveTime = 1700000000;

}  // namespace doctest
