#include "host/sim/HostMessages.h"

#include "host/sim/HalvexHost.h"
#include "host/sim/ShownText.h"

void HostMessageLog::Add(HostMessageLine line) {
  std::lock_guard<std::mutex> lock(mutex_);
  all_.push_back(std::move(line));
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

void HostMessageLog::Print(std::ostream& out) const {
  for (const HostMessageLine& line : All()) {
    if (line.origin == HostMessageLine::Origin::Compiler) out << "compiler: ";
    if (!line.source.empty()) out << "[" << ShownText(line.source) << "] ";
    out << ShownText(line.text) << "\n";
  }
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
