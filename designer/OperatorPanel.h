#pragma once
// An operator panel of the host's PLC project, as the plug-in frame keeps it
// (plugin/PanelList.h) and the designer writes it into the project.

#include <cstdint>

struct TGPanel {
  std::uint8_t mark = 0;  // 0: not confirmed since the last roll call
  std::int32_t rack = 0;
  std::int32_t position = 0;
  char type[32] = {};
  char in[40] = {};
  char out[40] = {};
  char name[40] = {};
};
