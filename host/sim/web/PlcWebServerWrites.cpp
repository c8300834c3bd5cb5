// The writing side of the PLC's web server: posted values and uploads, and
// the control requests of the tests.

#include <httplib.h>

#include <algorithm>
#include <cctype>

#include "core/NameHelpers.h"
#include "host/sim/PresetValue.h"
#include "host/sim/web/PlcWebServer.h"
#include "host/sim/web/WebForm.h"
#include "host/sim/web/WebValues.h"

namespace {

struct PendingWrite {
  WebVariable variable;
  std::vector<std::uint8_t> bytes;
};

void Refuse(httplib::Response& response, int status, const std::string& why) {
  response.status = status;
  response.set_content(why + "\n", "text/plain");
}

// Every write checked first, then applied under one lock of the memory, so
// that a refused post changes nothing and the reader sees all or none.
bool ApplyWrites(PlcMemory& memory, const std::vector<PendingWrite>& writes) {
  return memory.Locked([&](PlcMemory& m) {
    for (const PendingWrite& w : writes)
      if (!m.RangeOk(w.variable.area, w.variable.address, w.variable.shape->isBit ? 1 : w.variable.shape->size))
        return false;
    for (const PendingWrite& w : writes) {
      std::uint8_t* at = m.BytesUnlocked(w.variable.area, w.variable.address);
      if (w.variable.shape->isBit) {
        const auto mask = static_cast<std::uint8_t>(1u << w.variable.bit);
        *at = static_cast<std::uint8_t>(w.bytes[0] ? (*at | mask) : (*at & ~mask));
      } else {
        std::copy(w.bytes.begin(), w.bytes.end(), at);
      }
    }
    return true;
  });
}

// The base name of an uploaded file as the browser gives it (older browsers
// send the whole client path).
std::string BaseName(const std::string& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

}  // namespace

bool PlcWebServer::WriteForm(const httplib::Request& request, httplib::Response& response) {
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::pair<std::string, const httplib::MultipartFormData*>> uploads;
  if (request.is_multipart_form_data()) {
    for (const auto& [name, part] : request.files) {
      if (!part.filename.empty()) {
        uploads.emplace_back(name, &part);
      } else if (part.content_type.empty()) {
        values.emplace_back(name, part.content);
      }
    }
  } else {
    if (request.body.size() > kPlcWebMaxFormBody) {
      Refuse(response, 413, "Payload Too Large");
      return false;
    }
    const std::optional<WebForm> form = ParseUrlEncodedForm(request.body);
    if (!form) {
      Refuse(response, 400, "Bad Request: malformed form body");
      return false;
    }
    values = form->fields;
  }
  std::vector<PendingWrite> writes;
  for (const auto& [name, text] : values) {
    const std::optional<WebVariable> v = map_.Locate(name);
    if (!v) continue;  // not a variable: buttons and other fields of the form
    std::optional<std::vector<std::uint8_t>> bytes = EncodeWebValue(*v->shape, text, v->format);
    if (!bytes) {
      Refuse(response, 400, "Bad Request: " + name + " takes no value \"" + text + "\"");
      return false;
    }
    writes.push_back({*v, std::move(*bytes)});
  }
  std::vector<std::pair<std::string, std::string>> stored;
  for (const auto& [name, part] : uploads) {
    const std::optional<WebVariable> v = map_.Locate(name);
    if (!v || v->shape->kind != PlcTypeShape::Kind::String) continue;
    const std::string target = StoreUpload(part->filename, part->content);
    if (target.empty()) {
      Refuse(response, 400, "Bad Request: the file cannot be stored");
      return false;
    }
    const std::string fileName = target.substr(target.rfind('/') + 1);
    std::optional<std::vector<std::uint8_t>> bytes = EncodeWebValue(*v->shape, fileName, v->format);
    if (bytes) writes.push_back({*v, std::move(*bytes)});
  }
  if (!ApplyWrites(plc_.Memory(), writes)) {
    Refuse(response, 400, "Bad Request: a variable lies outside the PLC's memory");
    return false;
  }
  return true;
}

std::string PlcWebServer::StoreUpload(const std::string& fileName, const std::string& content) {
  std::string target;
  if (!MakeUploadName(target, BaseName(fileName))) return {};
  // The PLC's file system shows its 8.3 names in upper case.
  const std::size_t slash = target.rfind('/') + 1;
  for (std::size_t i = slash; i < target.size(); ++i)
    target[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(target[i])));
  std::lock_guard<std::mutex> lock(uploadMutex_);
  const PlcDate now = PlcDateOfUnixTime(
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
  if (!plc_.Files().AddFile(target, std::vector<std::uint8_t>(content.begin(), content.end()), now, now)) return {};
  return target;
}

void PlcWebServer::Control(const httplib::Request& request, httplib::Response& response) {
  const std::string what = request.path.substr(request.path.find('/', 1) + 1);
  if (what == "log" && request.method == "GET") {
    std::string text;
    for (const std::string& line : RequestLog()) text += line + "\n";
    return response.set_content(text, "text/plain");
  }
  if (what == "file" && request.method == "GET") {
    const auto file = plc_.Files().Find(request.get_param_value("path"));
    if (!file || file->folder) return Refuse(response, 404, "no such file");
    return response.set_content(std::string(file->data.begin(), file->data.end()), "application/octet-stream");
  }
  if (what == "memory" && request.method == "POST") return ControlMemory(request, response);
  if (what != "value") return Refuse(response, 404, "unknown control request");
  std::optional<WebForm> form = WebForm{};
  if (request.method == "GET") {
    form->fields.emplace_back("name", request.get_param_value("name"));
  } else {
    form = ParseUrlEncodedForm(request.body);
  }
  const std::string* name = form ? form->Find("name") : nullptr;
  const auto variable = name ? variables_.Resolve(*name) : std::nullopt;
  if (!variable) return Refuse(response, 404, "unknown variable");
  const PlcTypeShape& shape = *variable->shape;
  PlcMemory& memory = plc_.Memory();
  if (request.method == "POST") {
    const std::string* value = form->Find("value");
    std::vector<std::uint8_t> bytes;
    try {
      bytes = EncodePresetValue(shape, value ? *value : std::string());
    } catch (const std::exception& error) {
      return Refuse(response, 400, error.what());
    }
    const bool ok = shape.isBit
                        ? memory.WriteBit(variable->area, variable->address, std::max(variable->bit, 0), bytes[0] != 0)
                        : memory.Write(variable->area, variable->address, variable->Size(), bytes.data());
    if (!ok) return Refuse(response, 400, "outside the memory");
  }
  std::vector<std::uint8_t> bytes(variable->Size());
  if (shape.isBit) {
    bool on = false;
    memory.ReadBit(variable->area, variable->address, std::max(variable->bit, 0), &on);
    bytes[0] = on ? 1 : 0;
  } else {
    memory.Read(variable->area, variable->address, variable->Size(), bytes.data());
  }
  response.set_content(FormatWebValue(shape, bytes, ""), "text/plain");
}

// POST /~control/memory, body area=R&address=122&hex=C501...: raw bytes.
void PlcWebServer::ControlMemory(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebForm> form = ParseUrlEncodedForm(request.body);
  const std::string* areaName = form ? form->Find("area") : nullptr;
  const std::string* address = form ? form->Find("address") : nullptr;
  const std::string* hex = form ? form->Find("hex") : nullptr;
  const std::optional<PlcArea> area = areaName ? PlcAreaOfName(*areaName) : std::nullopt;
  std::uint32_t at = 0;
  const bool number = address != nullptr && !address->empty() && address->size() < 6 &&
                      std::all_of(address->begin(), address->end(), [](char c) { return std::isdigit(c) != 0; });
  if (number) at = static_cast<std::uint32_t>(std::stoul(*address));
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; hex != nullptr && i + 1 < hex->size(); i += 2) {
    const int high = HexDigitValue((*hex)[i]);
    const int low = HexDigitValue((*hex)[i + 1]);
    if (high < 0 || low < 0) return Refuse(response, 400, "bad hexadecimal digits");
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  if (!area || !number || hex == nullptr || hex->size() % 2 != 0 ||
      !plc_.Memory().Write(*area, at, static_cast<std::uint32_t>(bytes.size()), bytes.data()))
    return Refuse(response, 400, "bad memory write");
  response.set_content(std::to_string(bytes.size()), "text/plain");
}
