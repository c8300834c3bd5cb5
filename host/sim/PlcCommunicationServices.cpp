#include "host/sim/PlcCommunicationServices.h"

#include <atomic>
#include <string>

#include "host/sim/PlcErrors.h"
#include "hostapi/CommLoop.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ResultCodes.h"

namespace {

std::atomic<long> gLiving{0};

class ConnectedPlc final : public IVornConnectedPlc {
 public:
  ConnectedPlc() { ++gLiving; }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IVornConnectedPlc)
      return AnswerInterface(static_cast<IVornConnectedPlc*>(this), object);
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return refs_.Add(); }
  ULONG Release() override {
    ULONG n = refs_.Drop();
    if (n == 0) delete this;
    return n;
  }

  HRESULT GetErrorText(HRESULT code, BSTR* text) override {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    const char* message = PlcErrorText(code);
    if (*message == '\0') return E_INVALIDARG;
    std::u16string wide;
    for (const char* p = message; *p; ++p) wide += static_cast<char16_t>(static_cast<unsigned char>(*p));
    *text = SysAllocStringOf(wide);
    return *text ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ~ConnectedPlc() { --gLiving; }
  ComRefCount refs_;
};

class ConnectedPlcFactory final : public IClassFactory {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IClassFactory)
      return AnswerInterface(static_cast<IClassFactory*>(this), object);
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return refs_.Add(); }
  ULONG Release() override {
    ULONG n = refs_.Drop();
    if (n == 0) delete this;
    return n;
  }
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto plc = ComPtr<IVornConnectedPlc>::Adopt(new ConnectedPlc);
    return plc->QueryInterface(iid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  ~ConnectedPlcFactory() = default;
  ComRefCount refs_;
};

}  // namespace

PlcCommunicationServicesRegistration::PlcCommunicationServicesRegistration() {
  // The class table keeps a reference of its own.
  auto factory = ComPtr<IClassFactory>::Adopt(new ConnectedPlcFactory);
  if (FAILED(CoRegisterClassObject(CLSID_HalvexPlcCommunicationServices, factory.Get(), CLSCTX_INPROC_SERVER,
                                   REGCLS_MULTIPLEUSE, &cookie_)))
    cookie_ = 0;
}

PlcCommunicationServicesRegistration::~PlcCommunicationServicesRegistration() {
  if (cookie_ != 0) CoRevokeClassObject(cookie_);
}

long PlcCommunicationServicesRegistration::LivingObjects() { return gLiving.load(); }
