#include "generator/DetachedCompileHost.h"

#include <chrono>
#include <ctime>

void TDetachedCompileHost::GetVariableInfo(const std::string& name, TPinVariable& record) {
  record = TPinVariable{};
  record.name = name;
}

bool TDetachedCompileHost::GetMembers(const std::string&, std::vector<std::string>& members) {
  members.clear();
  return false;
}

std::int64_t TDetachedCompileHost::Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::uint64_t TDetachedCompileHost::TickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
