#pragma once
// Shared by the core services tests: a temporary folder, and a host project
// manager of the test's own that answers from fields and counts its texts.

#include <cstring>
#include <string>

#include "hostapi/IQendProjectManager.h"
#include "platform/com/TaskMem.h"
#include "tests/support/TempFolder.h"

namespace servicestest {

class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("svc") {}
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
