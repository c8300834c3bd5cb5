#pragma once
// The host's build of the PLC project, as far as the plug-ins take part in
// it: the compiler events (start), the link event OnLinkingExtendedProgMap
// with the handle of the host's status window, the plain export
// ClLinkExtendedProgMap of every plug-in library that has it, and the
// compiler events (end). Each step is kept with its result; the build
// succeeded when every step answered S_OK. A step that failed keeps the
// error information the plug-in left with it.

#include <string>
#include <vector>

#include "hostapi/PluginExports.h"
#include "platform/win/WindowTypes.h"

class HalvexHost;

// One plug-in library's export, with the name the build reports it by.
struct HostBuildExport {
  std::string library;
  ClLinkExtendedProgMapFunction function = nullptr;
};

struct HostBuildStep {
  enum class Kind { Event, Export };
  Kind kind = Kind::Event;
  std::string name;  // "IQendCompilerEvents::OnStartCompiling", "ClLinkExtendedProgMap (libx.so)", ...
  HRESULT result = S_OK;
  std::size_t sinks = 0;  // events: the sinks reached; exports: 1
  // A failed step: the description of the error information it left, if any.
  std::string error;
  // Exports: the two values the export set, and who gave back the reference
  // to the host object the call was handed.
  std::uint32_t out5 = 0;
  std::uint32_t out6 = 0;
  bool hostReferenceReleasedByPlugin = false;
};

struct HostBuildResult {
  std::vector<HostBuildStep> steps;
  bool Succeeded() const;
};

// Runs the build's steps in their order against the host's open project.
// The export is called with (0, 0, host object with a reference of its own,
// 0, &out5, &out6); the plug-in gives that reference back when it ran its
// compile driver, and the host gives it back itself otherwise, so no
// reference is left over whatever the export answered.
HostBuildResult RunHostBuild(HalvexHost& host, HWND statusWindow, const std::vector<HostBuildExport>& exports);
