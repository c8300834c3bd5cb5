#pragma once
// Records what happened in a test as texts ("btn.Click", ...), to compare
// the order of events in one assertion.

#include <string>
#include <vector>

struct EventLog {
  std::vector<std::string> events;
  void Add(const std::string& e) { events.push_back(e); }
  // The events separated by blanks.
  std::string Joined() const {
    std::string all;
    for (const auto& e : events) all += (all.empty() ? "" : " ") + e;
    return all;
  }
  void Clear() { events.clear(); }
};
