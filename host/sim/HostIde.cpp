#include "host/sim/HostIde.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "host/sim/HalvexHost.h"
#include "platform/vcl/Form.h"
#include "platform/win/FileIo.h"

namespace {

std::string FormLabel(TCustomForm* form) {
  if (form == nullptr) return "(none)";
  return form->Name().empty() ? std::string("(form)") : form->Name();
}

std::string StateText(const HostDockedForm& f) {
  std::ostringstream s;
  s << "docked=" << f.docked << ";shown=" << f.shown << ";tab=" << f.tabImage << ";position=" << f.dockPosition
    << ";top=" << f.stayOnTop << ";dock=" << f.canDock;
  return s.str();
}

bool ParseState(const std::string& text, HostDockedForm* f) {
  int docked, shown, top, dock;
  long tab, position;
  if (std::sscanf(text.c_str(), "docked=%d;shown=%d;tab=%ld;position=%ld;top=%d;dock=%d", &docked, &shown, &tab,
                  &position, &top, &dock) != 6)
    return false;
  f->docked = docked != 0;
  f->shown = shown != 0;
  f->tabImage = static_cast<HostLong>(tab);
  f->dockPosition = static_cast<HostLong>(position);
  f->stayOnTop = top != 0;
  f->canDock = dock != 0;
  return true;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '=': out += "\\="; break;
      default: out += c;
    }
  }
  return out;
}

// Undoes Escape; false for a lone backslash or an unknown escape.
bool Unescape(const std::string& text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\': *out += '\\'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      case '=': *out += '='; break;
      default: return false;
    }
  }
  return true;
}

// The first '=' that is not escaped, or npos.
std::size_t Separator(const std::string& line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\')
      ++i;
    else if (line[i] == '=')
      return i;
  }
  return std::string::npos;
}

}  // namespace

bool HostDesktopStorage::Save(const std::string& path) const {
  std::string text;
  for (const auto& [name, value] : values) text += Escape(name) + "=" + Escape(value) + "\n";
  // A file that holds this already is left as it is: one that cannot be
  // written fails no close that changed nothing in it.
  std::string held;
  if (ReadWholeFile(path, held) && held == text) return true;
  return WriteFileReplacing(path, text.data(), text.size());
}

bool HostDesktopStorage::Load(const std::string& path, std::string* why) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    if (why != nullptr) *why = errno == ENOENT ? std::string() : std::strerror(errno);
    return false;
  }
  std::map<std::string, std::string> read;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    std::size_t eq = Separator(line);
    std::string name, value;
    if (eq == std::string::npos || !Unescape(line.substr(0, eq), &name) || !Unescape(line.substr(eq + 1), &value)) {
      if (why != nullptr) *why = "a line is no \"name=value\" entry: \"" + line + "\"";
      return false;
    }
    read[name] = value;
  }
  values = std::move(read);
  return true;
}

void HostIde::Log(const std::string& call, TCustomForm* form, const std::string& more) {
  calls_.push_back(call + "(" + FormLabel(form) + (more.empty() ? "" : ", " + more) + ")");
}

HostDesktopStorage* HostIde::Storage(DesktopStorage storage) {
  return storage == static_cast<DesktopStorage>(&host_.Desktop()) ? &host_.Desktop() : nullptr;
}

HostDockedForm* HostIde::Find(TCustomForm* form) {
  auto it = forms_.find(form);
  return it == forms_.end() ? nullptr : &it->second;
}

HRESULT HostIde::InsertDockableForm(TCustomForm* form) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("InsertDockableForm", form);
  if (form == nullptr) return E_INVALIDARG;
  forms_[form].docked = true;
  return S_OK;
}

HRESULT HostIde::RemoveDockableForm(TCustomForm* form) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("RemoveDockableForm", form);
  return forms_.erase(form) ? S_OK : E_INVALIDARG;
}

HRESULT HostIde::ShowDockableForm(TCustomForm* form) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Log("ShowDockableForm", form);
    HostDockedForm* f = Find(form);
    if (!f) return E_INVALIDARG;
    f->shown = true;
  }
  // The form's own showing (its OnShow) runs outside the lock: it may call
  // the IDE again.
  form->Show();
  return S_OK;
}

HRESULT HostIde::SetTabImage(TCustomForm* form, HostLong imageIndex) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SetTabImage", form, std::to_string(imageIndex));
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  f->tabImage = imageIndex;
  return S_OK;
}

HRESULT HostIde::SaveDockingState(TCustomForm* form, DesktopStorage storage, const char* name) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string key = name ? name : "";
  Log("SaveDockingState", form, key);
  HostDesktopStorage* s = Storage(storage);
  if (!s || key.empty()) return E_INVALIDARG;
  HostDockedForm none;
  HostDockedForm* f = form ? Find(form) : &none;
  if (!f) return E_INVALIDARG;
  f->stateName = key;
  s->values[key] = StateText(*f);
  return S_OK;
}

HRESULT HostIde::SaveFurtherState(TCustomForm* form, DesktopStorage storage) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SaveFurtherState", form);
  HostDesktopStorage* s = Storage(storage);
  HostDockedForm* f = Find(form);
  if (!s || !f || f->stateName.empty()) return E_INVALIDARG;
  s->values[f->stateName + ".further"] = f->shown ? "visible" : "hidden";
  return S_OK;
}

HRESULT HostIde::FinishSave(TCustomForm* form, DesktopStorage storage) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("FinishSave", form);
  return Storage(storage) ? S_OK : E_INVALIDARG;
}

HRESULT HostIde::RestoreDockingState(TCustomForm* form, DesktopStorage storage, const char* name) {
  std::unique_lock<std::mutex> lock(mutex_);
  std::string key = name ? name : "";
  Log("RestoreDockingState", form, key);
  HostDesktopStorage* s = Storage(storage);
  if (!s || form == nullptr || key.empty()) return E_INVALIDARG;
  auto it = s->values.find(key);
  HostDockedForm state;
  if (it == s->values.end() || !ParseState(it->second, &state)) return S_FALSE;
  state.stateName = key;
  forms_[form] = state;
  lock.unlock();
  if (state.shown) form->Show();
  return S_OK;
}

HRESULT HostIde::RestoreFurtherState(TCustomForm* form, DesktopStorage storage) {
  std::unique_lock<std::mutex> lock(mutex_);
  Log("RestoreFurtherState", form);
  HostDesktopStorage* s = Storage(storage);
  HostDockedForm* f = Find(form);
  if (!s || !f) return E_INVALIDARG;
  auto it = s->values.find(f->stateName + ".further");
  if (it == s->values.end()) return S_FALSE;
  f->shown = it->second == "visible";
  const bool shown = f->shown;
  lock.unlock();
  if (shown) form->Show();
  return S_OK;
}

HRESULT HostIde::IsDockedPageVisible(TCustomForm* form, VARIANT_BOOL* visible) {
  if (visible == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  *visible = ToVariantBool(f->docked && f->shown);
  return S_OK;
}

HRESULT HostIde::SetStayOnTop(TCustomForm* form, VARIANT_BOOL value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SetStayOnTop", form, FromVariantBool(value) ? "true" : "false");
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  f->stayOnTop = FromVariantBool(value);
  return S_OK;
}

HRESULT HostIde::GetStayOnTop(TCustomForm* form, VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  *value = ToVariantBool(f->stayOnTop);
  return S_OK;
}

HRESULT HostIde::SetCanDock(TCustomForm* form, VARIANT_BOOL value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SetCanDock", form, FromVariantBool(value) ? "true" : "false");
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  f->canDock = FromVariantBool(value);
  return S_OK;
}

HRESULT HostIde::GetCanDock(TCustomForm* form, VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  *value = ToVariantBool(f->canDock);
  return S_OK;
}

HRESULT HostIde::SetDockPosition(TCustomForm* form, HostLong position) {
  std::lock_guard<std::mutex> lock(mutex_);
  Log("SetDockPosition", form, std::to_string(position));
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  f->dockPosition = position;
  return S_OK;
}

HRESULT HostIde::GetDockPosition(TCustomForm* form, HostLong* position) {
  if (position == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  HostDockedForm* f = Find(form);
  if (!f) return E_INVALIDARG;
  *position = f->dockPosition;
  return S_OK;
}

std::map<TCustomForm*, HostDockedForm> HostIde::Forms() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return forms_;
}

std::vector<std::string> HostIde::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

void HostIde::SetPageVisible(TCustomForm* form, bool visible) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (HostDockedForm* f = Find(form)) f->shown = visible;
}

HRESULT HostWindows::SetDockPosition(HostLong position, TCustomForm* form) {
  return host_.Ide().SetDockPosition(form, position);
}

HRESULT HostWindows::GetDockPosition(TCustomForm* form, HostLong* position) {
  return host_.Ide().GetDockPosition(form, position);
}
