#pragma once
// The host's event sources: the connection-point container of the host
// object with its six points (project, desktop, CPM, communication state,
// compiler, online backup), and the raising of each event to the sinks that
// subscribed. Raising calls every sink in the order it subscribed and keeps
// the first failing result; every raised event is logged with the results.

#include <mutex>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/CompilerEvents.h"
#include "hostapi/HostEvents.h"
#include "hostapi/ProjectEvents.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ConnectionPoints.h"

class HostEventSource final : public HostInterface<IConnectionPointContainer> {
 public:
  HostEventSource(HalvexHost& host, const char* name);

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  ConnectionPoint* Point(REFIID eventIid) const { return points_.Find(eventIid); }
  // Subscribers of a point (0 for an unknown one).
  std::size_t SinkCount(REFIID eventIid) const;
  // References the plug-in holds on the points (found and not released).
  ULONG PointReferences() const;

  // Project events.
  HRESULT OpenControler();
  HRESULT VariablesReady(std::uint32_t value);
  // The sinks may answer no (VARIANT_FALSE); `mayClose` is true unless one does.
  HRESULT QueryCloseProject(bool* mayClose);
  HRESULT QueryCloseControler(bool* mayClose);
  HRESULT CloseControler();
  HRESULT StartOfClosingProject();
  HRESULT EndOfClosingProject();
  // A notification; `results` gets each sink's result value (preset 0).
  HRESULT Notify(std::uint32_t source, std::uint32_t code, void* data, std::vector<HostLong>* results = nullptr);
  // Desktop events.
  HRESULT SaveDesktop(DesktopStorage storage);
  HRESULT LoadDesktop(DesktopStorage storage);
  HRESULT LanguageChanged(HostLcid lcid);
  // CPM and communication state.
  HRESULT CpmChanged(HostLong cpm);
  HRESULT CommunicationState(bool on);
  // Compiler events; the link event goes to every sink that answers the
  // extension IQendCompilerEventsExt1 when asked by QueryInterface.
  HRESULT StartCompiling();
  HRESULT EndCompiling();
  HRESULT LinkingExtendedProgMap(std::uint32_t statusWindow, int* reached = nullptr);
  // Online backup: each sink gets the backup object (with a reference the
  // sink releases).
  HRESULT OnlineBackup(IHalvexOnlinePlcBackup* backup);

  std::vector<std::string> Log() const;
  // Ends every subscription still standing (the host unloads a plug-in that
  // left some); answers how many there were.
  std::size_t EndAllSubscriptions();

 private:
  void Record(const std::string& event, HRESULT result, std::size_t sinks);
  template <class I, class F>
  HRESULT Raise(REFIID eventIid, const std::string& event, F&& call);

  ConnectionPointList points_;
  mutable std::mutex mutex_;
  std::vector<std::string> log_;
};
