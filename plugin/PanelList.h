#pragma once
// The operator panels of the host's PLC project, as the host reports them by
// a roll call of all panels and by single records (add, change, remove).
// Only panels of the supported models are kept.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "designer/OperatorPanel.h"
#include "hostapi/HostRecords.h"

// The display text of a record for the trace lines: "r%i_p%i_%s - %s".
std::string PanelDisplayText(const TGPanel& panel);

// True when the panel's type names one of the supported models: the number
// that starts at its fourth character (leading digits; 0 without any).
bool IsSupportedPanelModel(const char* type);

class TGPanelList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TGPanel* Items(int index) const { return items_[static_cast<std::size_t>(index)].get(); }

  // The first record at (rack, position), or null.
  TGPanel* FindPanel(std::int32_t rack, std::int32_t position) const;
  // Frees the first record at (rack, position); its former index, or 0 when
  // there was none.
  int DeletePanel(std::int32_t rack, std::int32_t position);
  // Appends a copy.
  void Append(const TGPanel& panel);

  // The roll call: every supported panel of the host's circular list is
  // confirmed, replaced (another type or name) or added; then every record
  // not confirmed since the previous roll call is removed, and the marks are
  // cleared. A head that is null counts as an empty list.
  void RollCall(const HostPanelNode* head);
  // One record; answers false when it changed nothing (the notification's
  // result then stays unwritten).
  bool SingleRecord(const HostPanelRecord& record);

 private:
  std::vector<std::unique_ptr<TGPanel>> items_;
};

// The variable structures of the panels, for each panel in list order its
// "in" name, then its "out" name.
std::vector<std::string> PanelVariableStructures(const TGPanelList& panels);
