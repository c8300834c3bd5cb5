#pragma once
// A small host project "Plant" (files Plant.st and io.st) opened in the
// simulated host, whose project manager, IDE, variables and file list the
// plug-in frame holds as after its installation, with the hidden main form,
// the UI texts and a registry of its own; the plug-in object's event
// handlers are called directly.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/sim/HalvexHost.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "tests/support/TempFolder.h"

namespace eventstest {

class EventsFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The host project's folder and the web project folder (native paths).
  std::filesystem::path ProjectFolder() const { return folder.Path() / "plant"; }
  std::filesystem::path WebFolder() const { return ProjectFolder() / "Tarnwell"; }
  // The web project's file of that suffix ("Plant" + suffix).
  std::filesystem::path WebFile(const std::string& suffix) const { return WebFolder() / ("Plant" + suffix); }
  // The host's form of a path below the project folder ("Tarnwell\x").
  std::string HostPath(const std::string& relative) const;

  // A value of the settings file, or "<none>".
  std::string Setting(const std::string& section, const std::string& key) const;
  void SetSetting(const std::string& section, const std::string& key, const std::string& value) const;

  // The names in the host project's file list, in order.
  std::vector<std::string> HostFiles();

  testsupport::TempFolder folder{"pluginevents"};
  HalvexHost host;
  std::unique_ptr<HostMainWindow> window = std::make_unique<HostMainWindow>(nullptr);
  TTarnwellCoClassImpl* plugin = nullptr;
};

// Hands the core services the host's project manager (null: none), as the
// installation does (in a source file of its own: core's HostProjectManager
// and the simulated host's class of that name do not meet).
void BindCoreProjectManager(IQendProjectManager* manager);

// Writes a text file, its folders made as needed.
void WriteFile(const std::filesystem::path& path, const std::string& text);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace eventstest
