// The functions the library exports to the host, with C linkage. Everything
// else in the library stays hidden.

#include <exception>
#include <string>

#include "core/TraceLog.h"
#include "hostapi/HostServices.h"
#include "hostapi/HostVariables.h"
#include "hostapi/IQendProjectManager.h"
#include "platform/com/ComCheck.h"
#include "platform/com/ComModule.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ResultCodes.h"
#include "plugin/ComServer.h"
#include "plugin/DesignerLink.h"
#include "plugin/DllEntry.h"
#include "plugin/LinkCompileHost.h"
#include "plugin/PluginState.h"
#include "plugin/TarnwellCoClassImpl.h"

#define TARNWELL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The library's start-up runs on the first call of any export, once every
// static object of the library is made (a load-time constructor could run
// before them).
void EnsureAttached() {
  static const bool attached = [] {
    TarnwellProcessAttach();
    return true;
  }();
  (void)attached;
}

// At unload (dlclose or exit) the hooks into the host go.
struct TLibraryDetach {
  ~TLibraryDetach() { TarnwellProcessDetach(); }
} gDetach;

// Registration errors raised inside become their result codes at the border.
template <class F>
HRESULT Guarded(F&& body) {
  try {
    return body();
  } catch (const EOleSysError& e) {
    WriteTraceLog(e.Message());
    return e.ErrorCode();
  } catch (const std::exception& e) {
    WriteTraceLog(e.what());
    return E_UNEXPECTED;
  }
}

}  // namespace

TARNWELL_EXPORT void TarnwellSetHostCommandLine(int argc, const char* const* argv) {
  EnsureAttached();
  TarnwellReadHostCommandLine(argc, argv);
}

TARNWELL_EXPORT const char* TarnwellTakeCompileFailure() {
  EnsureAttached();
  // Kept until the next call: the host copies the text at once.
  static std::string taken;
  taken = TakeDesignerCompileFailure();
  return taken.c_str();
}

TARNWELL_EXPORT const char* TarnwellDesignerOpenFailure() {
  EnsureAttached();
  // Kept until the next call: the host copies the text at once.
  static std::string failure;
  failure = DesignerOpenFailure();
  return failure.c_str();
}

TARNWELL_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  EnsureAttached();
  if (object == nullptr) return E_POINTER;
  return ComModuleGetClassObject(clsid, iid, object);
}

TARNWELL_EXPORT HRESULT DllCanUnloadNow() {
  EnsureAttached();
  return ComModuleCanUnloadNow();
}

TARNWELL_EXPORT HRESULT DllRegisterServer() {
  EnsureAttached();
  return Guarded([] { return RegisterTarnwellServer(); });
}

TARNWELL_EXPORT HRESULT DllUnregisterServer() {
  EnsureAttached();
  return Guarded([] { return UnregisterTarnwellServer(); });
}

TARNWELL_EXPORT HRESULT ControledDestruction(std::uint32_t) {
  EnsureAttached();
  return TarnwellControledDestruction();
}

TARNWELL_EXPORT HRESULT ClLinkExtendedProgMap(std::uint32_t, std::uint32_t, IUnknown* host, std::uint32_t,
                                              std::uint32_t* out5, std::uint32_t* out6) {
  EnsureAttached();
  // Each output the host gave reads 0 whatever happens next.
  if (out5 != nullptr) *out5 = 0;
  if (out6 != nullptr) *out6 = 0;
  if (out5 == nullptr || out6 == nullptr || host == nullptr) return E_POINTER;
  ComPtr<IQendCpm> cpm;
  HRESULT hr = host->QueryInterface(IID_IQendCpm, cpm.PutVoid());
  if (FAILED(hr)) return hr;
  cpm->GetCpmType(&gCpmType);
  ComPtr<IQendProjectManager> manager;
  if (FAILED(hr = host->QueryInterface(IID_IQendProjectManager, manager.PutVoid()))) return hr;
  // The web variable map is optional: without it the compile uses direct
  // identifiers.
  ComPtr<IHalvexWebTdiMap> map;
  if (FAILED(host->QueryInterface(IID_IHalvexWebTdiMap, map.PutVoid()))) map.Reset();
  // Every interface is held: the host's reference to its object, passed to
  // this call, is given back (only on this way on).
  ComPtr<IUnknown>::Adopt(host).Reset();
  // The driver's errors end at this border as a result code; a failed run
  // fails the host's build, with the reason as the call's error when the run
  // was ended (else the host's messages say why).
  return Guarded([&] {
    std::string failure;
    if (RunLinkCompileDriver(manager.Get(), map.Get(), failure)) return S_OK;
    return failure.empty() ? E_FAIL : ReportPluginException(GUID_NULL, failure.c_str(), E_FAIL);
  });
}
