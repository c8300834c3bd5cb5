#include "plugin/PanelList.h"

#include <cstdio>
#include <cstring>

#include "core/TraceLog.h"

namespace {

// The model numbers of the maker's operator panels that show web pages.
constexpr long kSupportedModels[] = {7, 10, 12, 15};

// A host text, cut to the field and NUL-terminated; null counts as empty.
template <std::size_t N>
void CopyText(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  if (text == nullptr) return;
  std::size_t length = strnlen(text, N - 1);
  std::memcpy(field, text, length);
}

// The fields of a record, compared byte-wise.
bool SameTypeAndName(const TGPanel& a, const TGPanel& b) {
  return std::strcmp(a.type, b.type) == 0 && std::strcmp(a.name, b.name) == 0;
}

}  // namespace

std::string PanelDisplayText(const TGPanel& panel) {
  char text[160];
  std::snprintf(text, sizeof text, "r%i_p%i_%s - %s", static_cast<int>(panel.rack), static_cast<int>(panel.position),
                panel.type, panel.name);
  return text;
}

bool IsSupportedPanelModel(const char* type) {
  if (type == nullptr || strnlen(type, 3) < 3) return false;
  long model = 0;
  // Leading decimal digits, as atol reads them (no sign expected in a type).
  for (const char* p = type + 3; *p >= '0' && *p <= '9' && model < 100000000; ++p) model = model * 10 + (*p - '0');
  for (long supported : kSupportedModels)
    if (model == supported) return true;
  return false;
}

TGPanel* TGPanelList::FindPanel(std::int32_t rack, std::int32_t position) const {
  for (const auto& item : items_)
    if (item->rack == rack && item->position == position) return item.get();
  return nullptr;
}

int TGPanelList::DeletePanel(std::int32_t rack, std::int32_t position) {
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->rack == rack && items_[i]->position == position) {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
      return static_cast<int>(i);
    }
  }
  return 0;
}

void TGPanelList::Append(const TGPanel& panel) { items_.push_back(std::make_unique<TGPanel>(panel)); }

void TGPanelList::RollCall(const HostPanelNode* head) {
  if (head != nullptr) {
    // The walk ends at the head; a list longer than any project holds is cut
    // off so that a broken (non-circular) list cannot run forever.
    std::size_t guard = 0;
    for (const HostPanelNode* node = head->next; node != nullptr && node != head && guard < 100000;
         node = node->next, ++guard) {
      const HostPanelEntry& entry = node->entry;
      TGPanel panel;
      panel.mark = 1;
      panel.rack = entry.rack;
      panel.position = entry.position;
      CopyText(panel.type, entry.type);
      CopyText(panel.in, entry.in);
      CopyText(panel.out, entry.out);
      CopyText(panel.name, entry.name);
      if (panel.name[0] == 0)
        std::snprintf(panel.name, sizeof panel.name, "Panel %i/%i", static_cast<int>(panel.rack),
                      static_cast<int>(panel.position));
      if (!IsSupportedPanelModel(panel.type)) continue;
      TGPanel* existing = FindPanel(panel.rack, panel.position);
      if (existing != nullptr) {
        existing->mark = 1;
        if (!SameTypeAndName(*existing, panel)) {
          WriteTraceLog("rollcall Renamed " + PanelDisplayText(panel));
          DeletePanel(panel.rack, panel.position);
          Append(panel);
        }
      } else {
        WriteTraceLog("rollcall Added " + PanelDisplayText(panel));
        Append(panel);
      }
    }
  }
  // Sweep: a record the roll call did not confirm (mark 0 since the previous
  // roll call) goes; the others wait for the next one.
  std::size_t index = 0;
  while (index < items_.size()) {
    TGPanel& panel = *items_[index];
    std::uint8_t mark = panel.mark;
    panel.mark = 0;
    if (mark == 0) {
      WriteTraceLog("rollcall Delete " + PanelDisplayText(panel));
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    } else {
      ++index;
    }
  }
}

bool TGPanelList::SingleRecord(const HostPanelRecord& record) {
  TGPanel panel;
  std::uint8_t operation = record.operation;
  panel.mark = operation;
  panel.rack = record.rack;
  panel.position = record.position;
  CopyText(panel.type, record.type);
  CopyText(panel.in, record.in);
  CopyText(panel.out, record.out);
  CopyText(panel.name, record.name);
  if (panel.name[0] == 0)
    std::snprintf(panel.name, sizeof panel.name, "Panel%i_%i", static_cast<int>(panel.rack),
                  static_cast<int>(panel.position));
  if (operation != PANEL_REMOVE && !IsSupportedPanelModel(panel.type)) return true;
  TGPanel* existing = FindPanel(panel.rack, panel.position);
  if (existing != nullptr && operation == PANEL_ADD) operation = SameTypeAndName(*existing, panel) ? 3 : PANEL_REPLACE;
  if (existing == nullptr && operation == PANEL_REMOVE) operation = 3;
  switch (operation) {
    case PANEL_REMOVE: DeletePanel(panel.rack, panel.position); return true;
    case PANEL_ADD: Append(panel); return true;
    case PANEL_REPLACE:
      DeletePanel(panel.rack, panel.position);
      Append(panel);
      return true;
    default: return false;
  }
}

std::vector<std::string> PanelVariableStructures(const TGPanelList& panels) {
  std::vector<std::string> structures;
  // The names fill their fields, or end at a NUL before.
  auto text = [](const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); };
  for (int i = 0; i < panels.Count(); ++i) {
    const TGPanel& panel = *panels.Items(i);
    structures.push_back(text(panel.in, sizeof panel.in));
    structures.push_back(text(panel.out, sizeof panel.out));
  }
  return structures;
}
