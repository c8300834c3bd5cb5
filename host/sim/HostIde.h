#pragma once
// The host IDE's docking (IHalvexIDE, IQendWindows): which plug-in forms are
// docked, shown, on which tab image and dock position, with their
// stay-on-top and can-dock states; the docking states saved into and
// restored from the host's desktop storage; and a log of every call. Showing
// a form, or restoring the state of one that was shown, shows the form
// itself too (its OnShow runs), as the IDE's dock page does.
// IQendOptionsStorageStreams is answered (it has no methods: its presence
// tells the plug-in that the host keeps option streams).

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/IHalvexIDE.h"

// The host's desktop storage: named texts, saved with the host's desktop.
// On disk it is one "name=value" line per entry, with "\\", "\n", "\r" and
// "\=" standing for a backslash, the line ends and an equals sign.
struct HostDesktopStorage {
  std::map<std::string, std::string> values;

  // Writes the file (replacing it whole); false when it cannot be written. A
  // file that holds the same text already is not written again.
  bool Save(const std::string& path) const;
  // Reads the file into `values` (replacing them); false, with the values
  // unchanged, when it cannot be read or a line is malformed. `why` (when
  // given) then tells which: empty when there is no file.
  bool Load(const std::string& path, std::string* why = nullptr);
};

struct HostDockedForm {
  bool docked = false;
  bool shown = false;
  HostLong tabImage = -1;
  HostLong dockPosition = 0;
  bool stayOnTop = false;
  bool canDock = true;
  std::string stateName;  // the name its docking state was last saved or restored under
};

class HostIde final : public HostInterface<IHalvexIDE> {
 public:
  using HostInterface::HostInterface;

  HRESULT InsertDockableForm(TCustomForm* form) override;
  HRESULT RemoveDockableForm(TCustomForm* form) override;
  HRESULT ShowDockableForm(TCustomForm* form) override;
  HRESULT SetTabImage(TCustomForm* form, HostLong imageIndex) override;
  HRESULT SaveDockingState(TCustomForm* form, DesktopStorage storage, const char* name) override;
  HRESULT SaveFurtherState(TCustomForm* form, DesktopStorage storage) override;
  HRESULT FinishSave(TCustomForm* form, DesktopStorage storage) override;
  HRESULT RestoreDockingState(TCustomForm* form, DesktopStorage storage, const char* name) override;
  HRESULT RestoreFurtherState(TCustomForm* form, DesktopStorage storage) override;
  HRESULT IsDockedPageVisible(TCustomForm* form, VARIANT_BOOL* visible) override;
  HRESULT SetStayOnTop(TCustomForm* form, VARIANT_BOOL value) override;
  HRESULT GetStayOnTop(TCustomForm* form, VARIANT_BOOL* value) override;
  HRESULT SetCanDock(TCustomForm* form, VARIANT_BOOL value) override;
  HRESULT GetCanDock(TCustomForm* form, VARIANT_BOOL* value) override;

  // For IQendWindows.
  HRESULT SetDockPosition(TCustomForm* form, HostLong position);
  HRESULT GetDockPosition(TCustomForm* form, HostLong* position);

  std::map<TCustomForm*, HostDockedForm> Forms() const;
  std::vector<std::string> Calls() const;
  // The user switches to another page of the IDE (the docked page is hidden)
  // or back.
  void SetPageVisible(TCustomForm* form, bool visible);

 private:
  void Log(const std::string& call, TCustomForm* form, const std::string& more = std::string());
  HostDesktopStorage* Storage(DesktopStorage storage);
  HostDockedForm* Find(TCustomForm* form);

  mutable std::mutex mutex_;
  std::map<TCustomForm*, HostDockedForm> forms_;
  std::vector<std::string> calls_;
};

class HostWindows final : public HostInterface<IQendWindows> {
 public:
  using HostInterface::HostInterface;
  HRESULT SetDockPosition(HostLong position, TCustomForm* form) override;
  HRESULT GetDockPosition(TCustomForm* form, HostLong* position) override;
};

class HostOptionsStorage final : public HostInterface<IQendOptionsStorageStreams> {
 public:
  using HostInterface::HostInterface;
};
