#pragma once
// Shared by the core services tests: a temporary folder, and a host project
// manager of the test's own that answers from fields and counts its texts.

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/api/IQendProjectManager.h"
#include "platform/com/TaskMem.h"

namespace servicestest {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "svcXXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) FPath = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  std::string Native(const std::string& relative) const { return (FPath / relative).string(); }
  // A system path: the folder, a backslash and the relative part.
  std::string System(const std::string& relative) const { return FPath.string() + "\\" + relative; }

  void Write(const std::string& relative, const std::string& content) const {
    std::filesystem::create_directories((FPath / relative).parent_path());
    std::ofstream out(FPath / relative, std::ios::binary);
    out << content;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(FPath / relative, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  bool Exists(const std::string& relative) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(FPath / relative, ec));
  }
  bool IsFolder(const std::string& relative) const { return std::filesystem::is_directory(FPath / relative); }

 private:
  std::filesystem::path FPath;
};

// The host's project manager as a test sets it up. Texts are handed out with
// the COM task allocator, as the host does; a failing query may still hand
// out a text (which the caller must free all the same).
class FakeProjectManager : public IQendProjectManager {
 public:
  std::string projectName = "Plant1";
  std::string projectFolder;  // ends in a backslash; empty: no project open
  std::string globalFolder;
  HRESULT nameResult = S_OK;
  HRESULT folderResult = S_OK;
  HRESULT globalResult = S_OK;
  int queries = 0;

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IQendProjectManager) {
      *object = static_cast<IQendProjectManager*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++FRefs; }
  ULONG Release() override { return --FRefs; }

  HRESULT GetProjectName(char** name) override { return Answer(projectName, nameResult, name); }
  HRESULT GetProjectFolder(char** folder) override { return Answer(projectFolder, folderResult, folder); }
  HRESULT GetGlobalFolder(char** folder) override { return Answer(globalFolder, globalResult, folder); }

 private:
  HRESULT Answer(const std::string& text, HRESULT result, char** out) {
    ++queries;
    if (out == nullptr) return E_POINTER;
    *out = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
    std::memcpy(*out, text.c_str(), text.size() + 1);
    return result;
  }
  ULONG FRefs = 1;
};

}  // namespace servicestest
