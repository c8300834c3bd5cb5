#include "platform/com/ErrorInfo.h"

#include <atomic>
#include <string>

#include "platform/com/ComPtr.h"
#include "platform/win/CodePage.h"

namespace {

class ErrorRecord final : public IErrorInfo, public ICreateErrorInfo {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IErrorInfo)
      *object = static_cast<IErrorInfo*>(this);
    else if (iid == IID_ICreateErrorInfo)
      *object = static_cast<ICreateErrorInfo*>(this);
    else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT GetGUID(GUID* guid) override {
    if (guid == nullptr) return E_INVALIDARG;
    *guid = guid_;
    return S_OK;
  }
  HRESULT GetSource(BSTR* text) override { return Give(source_, text); }
  HRESULT GetDescription(BSTR* text) override { return Give(description_, text); }
  HRESULT GetHelpFile(BSTR* text) override { return Give(helpFile_, text); }
  HRESULT GetHelpContext(std::uint32_t* context) override {
    if (context == nullptr) return E_INVALIDARG;
    *context = helpContext_;
    return S_OK;
  }

  HRESULT SetGUID(REFGUID guid) override {
    guid_ = guid;
    return S_OK;
  }
  HRESULT SetSource(LPCOLESTR text) override { return Take(text, source_); }
  HRESULT SetDescription(LPCOLESTR text) override { return Take(text, description_); }
  HRESULT SetHelpFile(LPCOLESTR text) override { return Take(text, helpFile_); }
  HRESULT SetHelpContext(std::uint32_t context) override {
    helpContext_ = context;
    return S_OK;
  }

 private:
  ~ErrorRecord() = default;

  static HRESULT Give(const std::u16string& value, BSTR* text) {
    if (text == nullptr) return E_INVALIDARG;
    *text = SysAllocStringOf(value);
    return *text == nullptr ? E_OUTOFMEMORY : S_OK;
  }
  static HRESULT Take(LPCOLESTR text, std::u16string& value) {
    value = WideFromOleString(text);
    return S_OK;
  }

  std::atomic<ULONG> refs_{1};
  GUID guid_ = GUID_NULL;
  std::u16string source_;
  std::u16string description_;
  std::u16string helpFile_;
  std::uint32_t helpContext_ = 0;
};

// The thread's current record; released when the thread ends.
thread_local ComPtr<IErrorInfo> gThreadRecord;

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** record) {
  if (record == nullptr) return E_INVALIDARG;
  *record = static_cast<ICreateErrorInfo*>(new ErrorRecord());
  return S_OK;
}

HRESULT SetErrorInfo(std::uint32_t reserved, IErrorInfo* record) {
  if (reserved != 0) return E_INVALIDARG;
  gThreadRecord = ComPtr<IErrorInfo>(record);
  return S_OK;
}

HRESULT GetErrorInfo(std::uint32_t reserved, IErrorInfo** record) {
  if (record == nullptr || reserved != 0) return E_INVALIDARG;
  *record = gThreadRecord.Detach();
  return *record == nullptr ? S_FALSE : S_OK;
}

HRESULT ReportComError(REFIID iid, const std::string& source, const std::string& description, HRESULT code) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.Put()))) return code;
  create->SetGUID(iid);
  std::u16string wideSource = MultiByteToWide(CP_ACP, source);
  std::u16string wideDescription = MultiByteToWide(CP_ACP, description);
  create->SetSource(wideSource.c_str());
  create->SetDescription(wideDescription.c_str());
  if (ComPtr<IErrorInfo> info = create.Query<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.Get());
  return code;
}
