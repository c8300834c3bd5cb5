#pragma once
// The records the host passes with its project notifications and drags, with
// native pointers (the host's originals were laid out for 32-bit pointers).
// They are read only during the call that passes them.

#include <cstdint>
#include <string>
#include "platform/vcl/ProvideVarNameDragObject.h"

// Project notification 0x90: the kind byte; 3 = the synchronised read has
// new data.
struct HostDataReady {
  std::uint32_t hostData = 0;
  std::uint8_t kind = 0;
};
inline constexpr std::uint8_t DATA_READY_SYNCED_READ = 3;

// Project notification 18 (source 0x100 or 0x10E): append the project's web
// files to a list file.
inline constexpr std::uint32_t FILE_LIST_REQUEST = 0x102;
struct HostFileListRequest {
  std::uint32_t recordType = FILE_LIST_REQUEST;
  const char* projectName = nullptr;  // may be empty: the open project
  const char* listFile = nullptr;     // full path of the list file
};

// Project notification 22: show the designer when `show` is 1.
struct HostShowRequest {
  std::uint32_t hostData = 0;
  std::uint32_t show = 0;
};

// Project notification 23: the person chose (double-clicked) a line of the
// host's message window; its text and its source as its sender gave them.
struct HostMessageChoice {
  std::uint32_t hostData = 0;
  const char* text = nullptr;
  const char* source = nullptr;
};

// One operator panel of the roll call.
struct HostPanelEntry {
  const char* type = nullptr;  // model prefix (3 characters) and model number
  const char* name = nullptr;  // display name; empty for a default name
  std::uint32_t unused = 0;
  std::int32_t rack = 0;
  std::int32_t position = 0;
  const char* in = nullptr;
  const char* out = nullptr;
};

// A node of the roll call's circular doubly linked list.
struct HostPanelNode {
  HostPanelNode* next = nullptr;
  HostPanelNode* prev = nullptr;
  HostPanelEntry entry;
};

// Project notification 0x39: every panel of the project. `head` is the
// list's head node, which holds no panel: the walk starts at head->next and
// ends when it comes back to the head.
struct HostPanelRollCall {
  std::uint8_t hostData[0x24] = {};
  HostPanelNode* head = nullptr;
};

// Project notification 0x38: one panel added, changed or removed.
inline constexpr std::uint8_t PANEL_REMOVE = 0;
inline constexpr std::uint8_t PANEL_ADD = 1;
inline constexpr std::uint8_t PANEL_REPLACE = 2;
#pragma pack(push, 1)
struct HostPanelRecord {
  std::uint32_t hostData = 0;
  std::uint8_t operation = 0;
  std::int32_t rack = 0;
  std::int32_t position = 0;
  const char* type = nullptr;
  const char* in = nullptr;
  const char* out = nullptr;
  const char* name = nullptr;
};
#pragma pack(pop)

// The drag object of the host's variable list is a class-library drag object
// (platform/vcl/ProvideVarNameDragObject.h), shared by host and plug-in.
