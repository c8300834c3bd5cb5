#include "platform/vcl/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/vcl/SysUtilsException.h"

namespace {

// "ns::TName<...>" -> "TName": the last name outside template arguments.
std::string StripQualifiers(const std::string& full) {
  int depth = 0;
  std::size_t start = 0;
  std::size_t end = full.size();
  for (std::size_t i = 0; i < full.size(); ++i) {
    const char c = full[i];
    if (c == '<') {
      if (depth == 0) end = i;
      ++depth;
    } else if (c == '>') {
      --depth;
    } else if (depth == 0 && c == ':' && i + 1 < full.size() && full[i + 1] == ':') {
      start = i + 2;
      end = full.size();
      ++i;
    }
  }
  return full.substr(start, end > start ? end - start : 0);
}

}  // namespace

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  if (status != 0 || !demangled) return mangled;
  return StripQualifiers(demangled.get());
}

void TObject::Dispatch(void* message) { DefaultHandler(message); }

void TObject::DefaultHandler(void*) {}

void TPersistent::Assign(TPersistent* source) {
  const std::string from = source ? source->ClassName() : std::string("nil");
  throw Exception("Cannot assign a " + from + " to a " + ClassName());
}
