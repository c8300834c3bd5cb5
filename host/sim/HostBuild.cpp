#include "host/sim/HostBuild.h"

#include <algorithm>
#include <cstdint>

#include "host/sim/HalvexHost.h"
#include "host/sim/PluginLibrary.h"
#include "platform/com/ComPtr.h"

namespace {

// The value an output of the export holds before the call, so that a report
// shows whether the export wrote it.
constexpr std::uint32_t kUnwrittenOutput = 0xFFFFFFFFu;

// Takes the error information a step left on this thread: the failure's
// reason for a failed step; a successful step's is dropped.
void TakeStepError(HostBuildStep& step) {
  std::string error = TakeErrorDescription();
  if (step.result != S_OK) step.error = std::move(error);
}

HostBuildStep EventStep(const char* name, HRESULT result, std::size_t sinks) {
  HostBuildStep step;
  step.name = name;
  step.result = result;
  step.sinks = sinks;
  TakeStepError(step);
  return step;
}

HostBuildStep CallExport(HalvexHost& host, const HostBuildExport& entry) {
  HostBuildStep step;
  step.kind = HostBuildStep::Kind::Export;
  step.name = "ClLinkExtendedProgMap (" + entry.library + ")";
  step.sinks = 1;
  step.out5 = kUnwrittenOutput;
  step.out6 = kUnwrittenOutput;
  const ULONG before = host.ObjectReferences();
  // The export is handed a reference of its own to the host object.
  IUnknown* handed = ComPtr<IUnknown>(host.Object()).Detach();
  step.result = entry.function(0, 0, handed, 0, &step.out5, &step.out6);
  TakeStepError(step);
  step.hostReferenceReleasedByPlugin = host.ObjectReferences() <= before;
  if (!step.hostReferenceReleasedByPlugin) handed->Release();
  return step;
}

}  // namespace

bool HostBuildResult::Succeeded() const {
  return std::all_of(steps.begin(), steps.end(), [](const HostBuildStep& s) { return s.result == S_OK; });
}

HostBuildResult RunHostBuild(HalvexHost& host, HWND statusWindow, const std::vector<HostBuildExport>& exports) {
  HostBuildResult build;
  TakeErrorDescription();  // what an earlier call left is no step's
  HostEventSource& events = host.Events();
  const std::size_t compilerSinks = events.SinkCount(IID_IQendCompilerEvents);
  build.steps.push_back(EventStep("IQendCompilerEvents::OnStartCompiling", events.StartCompiling(), compilerSinks));
  // Window handles are small numbers: the event carries the handle in 32 bits.
  const auto window = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(statusWindow));
  int reached = 0;
  const HRESULT linked = events.LinkingExtendedProgMap(window, &reached);
  build.steps.push_back(
      EventStep("IQendCompilerEventsExt1::OnLinkingExtendedProgMap", linked, static_cast<std::size_t>(reached)));
  for (const HostBuildExport& entry : exports)
    if (entry.function != nullptr) build.steps.push_back(CallExport(host, entry));
  build.steps.push_back(EventStep("IQendCompilerEvents::OnEndCompiling", events.EndCompiling(), compilerSinks));
  return build;
}
