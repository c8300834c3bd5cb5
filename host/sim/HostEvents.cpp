#include "host/sim/HostEvents.h"

#include <cstdio>

#include "host/sim/HalvexHost.h"

HostEventSource::HostEventSource(HalvexHost& host, const char* name) : HostInterface(host, name) {
  for (const IID* iid : {&IID_IQendProjectEvents, &IID_IQendDesktopEvents, &IID_IQendCpmEvents,
                         &IID_IHalvexCommStateEvent, &IID_IQendCompilerEvents, &IID_IHalvexOnlinePlcBackupEvent})
    points_.Add(*iid, this);
}

HRESULT HostEventSource::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT HostEventSource::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  return points_.FindConnectionPoint(iid, point);
}

std::size_t HostEventSource::SinkCount(REFIID eventIid) const {
  ConnectionPoint* p = points_.Find(eventIid);
  return p ? p->SinkCount() : 0;
}

ULONG HostEventSource::PointReferences() const {
  // Each point keeps one reference of its own (the list's).
  ULONG total = 0;
  for (ConnectionPoint* p : points_.Points()) total += p->References() - 1;
  return total;
}

void HostEventSource::Record(const std::string& event, HRESULT result, std::size_t sinks) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
  std::lock_guard<std::mutex> lock(mutex_);
  log_.push_back(event + " -> " + std::to_string(sinks) + " sink(s), " + (result == S_OK ? "S_OK" : code));
}

std::size_t HostEventSource::EndAllSubscriptions() {
  std::size_t count = 0;
  for (ConnectionPoint* p : points_.Points()) {
    count += p->SinkCount();
    p->UnadviseAll();
  }
  return count;
}

std::vector<std::string> HostEventSource::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

template <class I, class F>
HRESULT HostEventSource::Raise(REFIID eventIid, const std::string& event, F&& call) {
  ConnectionPoint* point = points_.Find(eventIid);
  HRESULT first = S_OK;
  std::size_t count = 0;
  if (point != nullptr) {
    // Sinks() hands out each sink as it subscribed: asked as the event interface.
    for (const ComPtr<IUnknown>& sink : point->Sinks()) {
      HRESULT hr = call(static_cast<I*>(static_cast<void*>(sink.Get())));
      if (FAILED(hr) && SUCCEEDED(first)) first = hr;
      ++count;
    }
  }
  Record(event, first, count);
  return first;
}

HRESULT HostEventSource::OpenControler() {
  return Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::OnOpenControler",
                                   [](IQendProjectEvents* s) { return s->OnOpenControler(); });
}

HRESULT HostEventSource::VariablesReady(std::uint32_t value) {
  return Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::OnProjectVariablesReady",
                                   [&](IQendProjectEvents* s) { return s->OnProjectVariablesReady(value); });
}

HRESULT HostEventSource::QueryCloseProject(bool* mayClose) {
  bool all = true;
  HRESULT hr = Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::OnQueryCloseProject",
                                         [&](IQendProjectEvents* s) {
                                           VARIANT_BOOL answer = VARIANT_TRUE;
                                           HRESULT r = s->OnQueryCloseProject(0, &answer);
                                           if (answer == VARIANT_FALSE) all = false;
                                           return r;
                                         });
  if (mayClose) *mayClose = all;
  return hr;
}

HRESULT HostEventSource::QueryCloseControler(bool* mayClose) {
  bool all = true;
  HRESULT hr = Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::OnQueryCloseControler",
                                         [&](IQendProjectEvents* s) {
                                           VARIANT_BOOL answer = VARIANT_TRUE;
                                           HRESULT r = s->OnQueryCloseControler(&answer);
                                           if (answer == VARIANT_FALSE) all = false;
                                           return r;
                                         });
  if (mayClose) *mayClose = all;
  return hr;
}

HRESULT HostEventSource::CloseControler() {
  return Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::OnCloseControler",
                                   [](IQendProjectEvents* s) { return s->OnCloseControler(); });
}

HRESULT HostEventSource::StartOfClosingProject() {
  return Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::OnProject_StartOfClosingProject",
                                   [](IQendProjectEvents* s) { return s->OnProject_StartOfClosingProject(); });
}

HRESULT HostEventSource::EndOfClosingProject() {
  return Raise<IQendProjectEvents>(IID_IQendProjectEvents, "IQendProjectEvents::EndOfClosingProject",
                                   [](IQendProjectEvents* s) { return s->EndOfClosingProject(); });
}

HRESULT HostEventSource::Notify(std::uint32_t source, std::uint32_t code, void* data, std::vector<HostLong>* results) {
  char name[96];
  std::snprintf(name, sizeof name, "IQendProjectEvents::OnProjectNotification(0x%X, 0x%X)", source, code);
  return Raise<IQendProjectEvents>(IID_IQendProjectEvents, name, [&](IQendProjectEvents* s) {
    HostLong result = 0;
    HRESULT hr = s->OnProjectNotification(source, code, data, &result);
    if (results) results->push_back(result);
    return hr;
  });
}

HRESULT HostEventSource::SaveDesktop(DesktopStorage storage) {
  return Raise<IQendDesktopEvents>(IID_IQendDesktopEvents, "IQendDesktopEvents::SaveDesktop",
                                   [&](IQendDesktopEvents* s) { return s->SaveDesktop(storage); });
}

HRESULT HostEventSource::LoadDesktop(DesktopStorage storage) {
  return Raise<IQendDesktopEvents>(IID_IQendDesktopEvents, "IQendDesktopEvents::LoadDesktop",
                                   [&](IQendDesktopEvents* s) { return s->LoadDesktop(storage); });
}

HRESULT HostEventSource::LanguageChanged(HostLcid lcid) {
  return Raise<IQendDesktopEvents>(IID_IQendDesktopEvents,
                                   "IQendDesktopEvents::OnLanguageChanged(" + std::to_string(lcid) + ")",
                                   [&](IQendDesktopEvents* s) { return s->OnLanguageChanged(lcid, 0); });
}

HRESULT HostEventSource::CpmChanged(HostLong cpm) {
  return Raise<IQendCpmEvents>(IID_IQendCpmEvents, "IQendCpmEvents::OnCpmChanged(" + std::to_string(cpm) + ")",
                               [&](IQendCpmEvents* s) { return s->OnCpmChanged(0, cpm, 0); });
}

HRESULT HostEventSource::CommunicationState(bool on) {
  return Raise<IHalvexCommStateEvent>(
      IID_IHalvexCommStateEvent,
      std::string("IHalvexCommStateEvent::OnCommunicationState(") + (on ? "on" : "off") + ")",
      [&](IHalvexCommStateEvent* s) { return s->OnCommunicationState(ToVariantBool(on)); });
}

HRESULT HostEventSource::StartCompiling() {
  return Raise<IQendCompilerEvents>(IID_IQendCompilerEvents, "IQendCompilerEvents::OnStartCompiling",
                                    [](IQendCompilerEvents* s) { return s->OnStartCompiling(0); });
}

HRESULT HostEventSource::EndCompiling() {
  return Raise<IQendCompilerEvents>(IID_IQendCompilerEvents, "IQendCompilerEvents::OnEndCompiling",
                                    [](IQendCompilerEvents* s) { return s->OnEndCompiling(0); });
}

HRESULT HostEventSource::LinkingExtendedProgMap(std::uint32_t statusWindow, int* reached) {
  int count = 0;
  HRESULT hr = Raise<IQendCompilerEvents>(
      IID_IQendCompilerEvents, "IQendCompilerEventsExt1::OnLinkingExtendedProgMap", [&](IQendCompilerEvents* s) {
        ComPtr<IQendCompilerEventsExt1> ext;
        if (FAILED(s->QueryInterface(IID_IQendCompilerEventsExt1, ext.PutVoid())) || !ext)
          return S_OK;  // a sink without the extension is not asked
        ++count;
        return ext->OnLinkingExtendedProgMap(statusWindow, 0, 0, 0, 0, 0);
      });
  if (reached) *reached = count;
  return hr;
}

HRESULT HostEventSource::OnlineBackup(IHalvexOnlinePlcBackup* backup) {
  return Raise<IHalvexOnlinePlcBackupEvent>(
      IID_IHalvexOnlinePlcBackupEvent, "IHalvexOnlinePlcBackupEvent::AddFileToOnlinePlcBackup",
      [&](IHalvexOnlinePlcBackupEvent* s) {
        // The sink gets a reference of its own and releases it.
        return s->AddFileToOnlinePlcBackup(ComPtr<IHalvexOnlinePlcBackup>(backup).Detach());
      });
}
