#include "host/sim/HostMessages.h"

#include "host/sim/HalvexHost.h"
#include "host/sim/ShownText.h"

void HostMessageLog::Add(HostMessageLine line) {
  std::function<void(const HostMessageLine&)> onLine;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    all_.push_back(line);
    onLine = onLine_;
  }
  if (onLine) onLine(line);
}

void HostMessageLog::SetOnLine(std::function<void(const HostMessageLine&)> onLine) {
  std::lock_guard<std::mutex> lock(mutex_);
  onLine_ = std::move(onLine);
}

void HostMessageLog::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  windowStart_ = all_.size();
  ++resets_;
}

std::vector<HostMessageLine> HostMessageLog::All() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return all_;
}

std::vector<HostMessageLine> HostMessageLog::Window() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::vector<HostMessageLine>(all_.begin() + static_cast<std::ptrdiff_t>(windowStart_), all_.end());
}

int HostMessageLog::ResetCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return resets_;
}

std::string HostMessageLog::Shown(const HostMessageLine& line) {
  std::string shown = line.origin == HostMessageLine::Origin::Compiler ? "compiler: " : "";
  if (!line.source.empty()) shown += "[" + ShownText(line.source) + "] ";
  return shown + ShownText(line.text);
}

void HostMessageLog::Print(std::ostream& out) const {
  for (const HostMessageLine& line : All()) out << Shown(line) << "\n";
}

HRESULT HostMessages::AddMessage(const char* text, const char* source) {
  if (text == nullptr) return E_POINTER;
  host_.Messages().Add({HostMessageLine::Origin::Message, text, source ? source : "", 0});
  return S_OK;
}

HRESULT HostMessages::ResetMessages(HostLong, VARIANT_BOOL) {
  host_.Messages().Reset();
  return S_OK;
}

HRESULT HostCompiler::AddCompilerMessage(HostLong kind, HostLong, const char* text, const char* source, HostLong,
                                         HostLong) {
  if (text == nullptr) return E_POINTER;
  host_.Messages().Add({HostMessageLine::Origin::Compiler, text, source ? source : "", kind});
  return S_OK;
}
