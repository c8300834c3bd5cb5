#include "host/sim/web/PlcWebServer.h"

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "host/sim/web/WebDataPage.h"
#include "host/sim/web/WebForm.h"
#include "host/sim/web/WebIdentifier.h"
#include "host/sim/web/WebValues.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kControl = "/~control/";
constexpr std::size_t kMaxLoginBody = 1024;
constexpr int kWorkerThreads = 16;
constexpr int kSecurityOffLevel = 9;

// Files served with security on and no login.
constexpr std::array<std::string_view, 7> kOpenFiles = {"LOGIN.XML",   "LOGIN.XSL",  "SHA1.JS",   "PLCFORM.CSS",
                                                        "FAVICON.ICO", "LOGOUT.XML", "LOGOUT.XSL"};

struct ContentType {
  std::string_view extension;
  std::string_view type;
};
constexpr std::array<ContentType, 19> kContentTypes{{
    {"XML", "text/xml"},
    {"XSL", "text/xsl"},
    {"JS", "application/javascript"},
    {"CSS", "text/css"},
    {"HTM", "text/html"},
    {"HTML", "text/html"},
    {"PNG", "image/png"},
    {"GIF", "image/gif"},
    {"JPG", "image/jpeg"},
    {"JPEG", "image/jpeg"},
    {"BMP", "image/bmp"},
    {"ICO", "image/x-icon"},
    {"SVG", "image/svg+xml"},
    {"JSN", "application/json"},
    {"JSON", "application/json"},
    {"TXT", "text/plain"},
    {"PUB", "text/plain"},
    {"CSV", "text/plain"},
    {"XMZ", "application/octet-stream"},
}};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Extension(const std::string& key) {
  const std::size_t dot = key.rfind('.');
  return dot == std::string::npos || key.find('/', dot) != std::string::npos ? std::string() : key.substr(dot + 1);
}

std::string TypeOfExtension(const std::string& extension) {
  for (const ContentType& entry : kContentTypes)
    if (entry.extension == extension) return std::string(entry.type);
  return "application/octet-stream";
}

// A request path that names a file below //WWW/: no backslash, no control
// character; the file system refuses "." and ".." components itself.
bool PlainPath(const std::string& path) {
  if (path.size() < 2 || path[0] != '/' || path[1] == '/') return false;
  return std::none_of(path.begin(), path.end(),
                      [](char c) { return c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string CookieValue(const httplib::Request& request, const std::string& name) {
  const std::string cookies = request.get_header_value("Cookie");
  std::size_t at = 0;
  while (at < cookies.size()) {
    const std::size_t end = std::min(cookies.find(';', at), cookies.size());
    std::string pair = cookies.substr(at, end - at);
    pair.erase(0, pair.find_first_not_of(' '));
    if (pair.compare(0, name.size() + 1, name + "=") == 0) return pair.substr(name.size() + 1);
    at = end + 1;
  }
  return {};
}

std::string ReadNativeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int CodePageOfEncoding(const std::string& encoding) {
  const std::string upper = Upper(encoding);
  if (upper.rfind("WINDOWS-", 0) == 0) {
    try {
      return std::stoi(upper.substr(8));
    } catch (const std::exception&) {
      return 0;
    }
  }
  return 0;
}

// The password file beside the tree; passwords are turned into UTF-8 from the
// code page of the index page's declaration.
// The listening socket may take over a port left in TIME_WAIT, but not share
// one another socket listens on: the library's default also sets
// SO_REUSEPORT, with which a second server on the port starts and the
// requests alternate between the two.
void ExclusivePortOptions(int socket) {
  const int yes = 1;
  setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// Why 127.0.0.1:port cannot be bound, found by binding a socket of the same
// kind again (the library does not pass the reason on).
std::string BindFailure(int port) {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  if (probe < 0) return std::strerror(errno);
  ExclusivePortOptions(probe);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool bound = ::bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  const int error = errno;
  ::close(probe);
  if (bound) return "the port could not be taken";
  if (error == EADDRINUSE) return "the port is already in use (another server listens on it)";
  return std::strerror(error);
}

PasswordFileContent PasswordsOf(const std::string& sendRoot) {
  const fs::path passwords = fs::path(sendRoot) / "PSW.TXT";
  if (!fs::is_regular_file(passwords)) return {};
  const std::string index = ReadNativeFile(fs::path(sendRoot) / "WWW" / "INDEX.XML");
  return ReadPasswordFile(ReadNativeFile(passwords), CodePageOfEncoding(DeclaredEncoding(index)));
}

}  // namespace

struct PlcWebServer::Access {
  bool loggedIn = false;
  int level = 0;
  std::string session;
  bool dataRequest = false;
};

PlcWebServer::PlcWebServer(SimulatedPlc& plc, const HostProject& project, const VariableTable& variables,
                           PlcWebOptions options)
    : plc_(plc),
      map_(project, variables, options.variablesDocument),
      variables_(variables),
      options_(std::move(options)),
      logins_(PasswordsOf(options_.sendRoot)) {
  const fs::path www = fs::path(options_.sendRoot) / "WWW";
  if (!fs::is_directory(www)) throw std::runtime_error("no web tree in " + www.string() + " (build the project first)");
  LoadTree();
  if (!options_.traceFile.empty()) trace_ = std::make_unique<WebTrace>(options_.traceFile);
  server_ = std::make_unique<httplib::Server>();
  Route();
}

PlcWebServer::~PlcWebServer() { Stop(); }

void PlcWebServer::LoadTree() {
  PlcFileSystem& files = plc_.Files();
  files.AddFolder("//WWW/");
  const fs::path www = fs::path(options_.sendRoot) / "WWW";
  std::vector<fs::path> entries;
  for (const auto& entry : fs::recursive_directory_iterator(www)) entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  for (const fs::path& path : entries) {
    const std::string relative = fs::relative(path, www).generic_string();
    const std::string target = "//WWW/" + relative;
    std::error_code error;
    const auto time = fs::last_write_time(path, error);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::file_clock::to_sys(time).time_since_epoch())
            .count();
    const PlcDate date = PlcDateOfUnixTime(error ? 0 : seconds);
    bool added = false;
    if (fs::is_directory(path)) {
      added = files.AddFolder(target + "/");
    } else {
      const std::string data = ReadNativeFile(path);
      added = files.AddFile(target, std::vector<std::uint8_t>(data.begin(), data.end()), date, date);
    }
    if (!added) skipped_.push_back(relative);
  }
  files.AddFolder("//WWW/UPLOAD/");
}

void PlcWebServer::Route() {
  httplib::Server& s = *server_;
  s.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  if (trace_) {
    s.new_task_queue = [this] { return trace_->NewPool(kWorkerThreads); };
    s.set_pre_routing_handler([this](const httplib::Request& q, httplib::Response&) {
      trace_->Received(q);
      return httplib::Server::HandlerResponse::Unhandled;
    });
    s.set_logger([this](const httplib::Request& q, const httplib::Response& r) { trace_->Answered(q, r); });
  }
  s.set_payload_max_length(kPlcWebMaxBody);
  s.set_read_timeout(5, 0);
  s.set_write_timeout(5, 0);
  s.set_keep_alive_timeout(2);
  s.set_keep_alive_max_count(1000);
  s.set_socket_options(ExclusivePortOptions);
  s.Get(".*", [this](const httplib::Request& q, httplib::Response& r) { Get(q, r); });
  s.Post(".*", [this](const httplib::Request& q, httplib::Response& r) { Post(q, r); });
  const auto notAllowed = [](const httplib::Request&, httplib::Response& r) {
    r.status = 405;
    r.set_header("Allow", "GET, POST");
    r.set_content("Method Not Allowed", "text/plain");
  };
  s.Put(".*", notAllowed);
  s.Patch(".*", notAllowed);
  s.Delete(".*", notAllowed);
  s.Options(".*", notAllowed);
  s.set_exception_handler([](const httplib::Request&, httplib::Response& r, std::exception_ptr) {
    r.status = 500;
    r.set_content("Internal error", "text/plain");
  });
  // Logged before the answer is written, so that a client that has its answer
  // finds its request in the log.
  s.set_post_routing_handler([this](const httplib::Request& q, httplib::Response& r) { Log(q, r); });
}

int PlcWebServer::Start(int port) {
  int bound = port;
  if (port == 0) {
    bound = server_->bind_to_any_port("127.0.0.1");
  } else if (!server_->bind_to_port("127.0.0.1", port)) {
    bound = -1;
  }
  if (bound <= 0)
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + BindFailure(port));
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  return bound;
}

void PlcWebServer::Stop() {
  if (server_) server_->stop();
  if (thread_.joinable()) thread_.join();
}

void PlcWebServer::Log(const httplib::Request& request, const httplib::Response& response) {
  std::lock_guard<std::mutex> lock(logMutex_);
  if (log_.size() >= kPlcWebLogLines) log_.erase(log_.begin(), log_.begin() + kPlcWebLogLines / 4);
  log_.push_back(request.method + " " + request.path + " " + std::to_string(response.status));
}

std::vector<std::string> PlcWebServer::RequestLog() const {
  std::lock_guard<std::mutex> lock(logMutex_);
  return log_;
}

PlcWebServer::Access PlcWebServer::AccessOf(const httplib::Request& request) {
  Access access;
  access.dataRequest = Upper(request.get_header_value("x-daltrex")) == "DATA";
  access.session = CookieValue(request, "TWSID");
  if (!logins_.SecurityOn()) {
    access.loggedIn = true;
    access.level = kSecurityOffLevel;
    return access;
  }
  if (const std::optional<int> level = logins_.SessionLevel(access.session)) {
    access.loggedIn = true;
    access.level = *level;
  }
  return access;
}

bool PlcWebServer::Admit(httplib::Response& response, const Access& access, const std::string& key, int pageLevel,
                         bool dataPage) {
  const bool open = std::find(kOpenFiles.begin(), kOpenFiles.end(), key) != kOpenFiles.end();
  if ((access.loggedIn || open) && (!dataPage || pageLevel <= access.level)) return true;
  if (access.dataRequest) {
    response.status = 403;
    response.set_content("Forbidden", "text/plain");
  } else {
    response.status = 302;
    response.set_header("Location", "/LOGIN.XML");
  }
  return false;
}

std::string PlcWebServer::FilledPage(const std::string& text, int level) {
  return FillDataPage(text, level, [this](const DataPageEntry& entry) -> std::optional<std::string> {
    const std::optional<WebVariable> v = map_.Locate(entry.name);
    if (!v && entry.data) return RawBytes(entry);
    if (!v) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (v->shape->isBit) {
      bool on = false;
      if (!plc_.Memory().ReadBit(v->area, v->address, v->bit, &on)) return std::nullopt;
      bytes.push_back(on ? 1 : 0);
    } else {
      std::uint32_t size = v->shape->size;
      if (entry.data && entry.maxLength >= 0) size = std::min<std::uint32_t>(size, entry.maxLength);
      bytes.resize(size);
      if (!plc_.Memory().Read(v->area, v->address, size, bytes.data())) return std::nullopt;
    }
    return entry.data ? HexOfBytes(bytes.data(), bytes.size()) : FormatWebValue(*v->shape, bytes, v->format);
  });
}

// A DATA entry whose identifier names memory directly with a type the server
// does not lay out (the canvas buffer's "ARRAY"): ML bytes from its offset,
// as many as the area holds.
std::optional<std::string> PlcWebServer::RawBytes(const DataPageEntry& entry) {
  const std::optional<WebIdentifier> id = ParseWebIdentifier(entry.name);
  if (!id || id->mapped || id->bit >= 0 || entry.maxLength <= 0) return std::nullopt;
  const std::uint32_t size = plc_.Memory().AreaSize(id->area);
  if (id->offset >= size) return std::nullopt;
  const auto count = static_cast<std::uint32_t>(std::min<long>(entry.maxLength, size - id->offset));
  std::vector<std::uint8_t> bytes(count);
  if (!plc_.Memory().Read(id->area, id->offset, count, bytes.data())) return std::nullopt;
  return HexOfBytes(bytes.data(), bytes.size());
}

void PlcWebServer::AnswerFile(const std::string& key, const std::string& text, httplib::Response& response, int level) {
  const std::string extension = Extension(key);
  int pageLevel = 0;
  if (extension == "XML" && IsDataPage(text, &pageLevel)) {
    const std::string encoding = DeclaredEncoding(text);
    response.set_header("Cache-Control", "no-store");
    response.set_content(FilledPage(text, level), "text/xml" + (encoding.empty() ? "" : "; charset=" + encoding));
    return;
  }
  response.set_content(text, TypeOfExtension(extension));
}

void PlcWebServer::AnswerLogin(httplib::Response& response, const std::string& user, const std::string& outcome) {
  const auto file = plc_.Files().Find("//WWW/LOGIN.XML");
  if (!file || file->folder) {
    response.status = 404;
    return;
  }
  std::string text(file->data.begin(), file->data.end());
  text = WithElementValue(text, "USER", user);
  text = WithElementValue(text, "PASS", outcome);
  text = WithElementValue(text, "ACER", logins_.NewChallenge());
  response.status = 200;
  response.set_header("Cache-Control", "no-store");
  response.set_content(text, "text/xml; charset=utf-8");
}

void PlcWebServer::Get(const httplib::Request& request, httplib::Response& response) {
  if (options_.control && request.path.rfind(kControl, 0) == 0) return Control(request, response);
  const Access access = AccessOf(request);
  if (request.path == "/") {
    response.status = 302;
    response.set_header("Location", access.loggedIn ? logins_.StartPage(access.session) : "/INDEX.XML");
    return;
  }
  const std::optional<PlcFileInfo> file =
      PlainPath(request.path) ? plc_.Files().Find("//WWW" + request.path) : std::nullopt;
  if (!file || file->folder) {
    response.status = 404;
    response.set_content("Not Found", "text/plain");
    return;
  }
  const std::string key = Upper(request.path.substr(1));
  if (key == "LOGIN.XML") return AnswerLogin(response, "", "");
  if (key == "LOGOUT.XML") {
    logins_.Logout(access.session);
    response.set_header("Set-Cookie", "TWSID=; Path=/; Max-Age=0");
    response.set_header("Cache-Control", "no-store");
  }
  const std::string text(file->data.begin(), file->data.end());
  int pageLevel = 0;
  const bool dataPage = Extension(key) == "XML" && IsDataPage(text, &pageLevel);
  if (!Admit(response, access, key, pageLevel, dataPage)) return;
  AnswerFile(key, text, response, access.level);
}

void PlcWebServer::Post(const httplib::Request& request, httplib::Response& response) {
  if (options_.control && request.path.rfind(kControl, 0) == 0) return Control(request, response);
  const std::string key = PlainPath(request.path) ? Upper(request.path.substr(1)) : std::string();
  if (key == "LOGIN.XML") return PostLogin(request, response);
  const std::optional<PlcFileInfo> file = key.empty() ? std::nullopt : plc_.Files().Find("//WWW" + request.path);
  if (!file || file->folder) {
    response.status = 404;
    response.set_content("Not Found", "text/plain");
    return;
  }
  const std::string text(file->data.begin(), file->data.end());
  int pageLevel = 0;
  if (Extension(key) != "XML" || !IsDataPage(text, &pageLevel)) {
    response.status = 405;
    response.set_content("Method Not Allowed", "text/plain");
    return;
  }
  const Access access = AccessOf(request);
  if (!Admit(response, access, key, pageLevel, true)) return;
  if (access.dataRequest && !MapAllows(key, text, request.body)) {
    response.status = 403;
    response.set_content("Forbidden: not a variable of the page's map", "text/plain");
    return;
  }
  if (!WriteForm(request, response)) return;
  response.status = 200;
  AnswerFile(key, text, response, access.level);
}

// A data request's post to a page compiled with a JSON map may write only the
// page's INPUT entries and the map's write-only variables (generator/JsonMap.md,
// section 5); pages without a map take any variable.
bool PlcWebServer::MapAllows(const std::string& key, const std::string& page, const std::string& body) {
  const std::string stem = key.substr(0, key.rfind('.'));
  const std::optional<PlcFileInfo> map = plc_.Files().Find("//WWW/JSN/" + stem + ".JSN");
  if (!map || map->folder) return true;
  std::vector<std::string> allowed;
  for (const DataPageEntry& entry : DataPageEntries(page))
    if (!entry.data) allowed.push_back(entry.name);
  const std::string json(map->data.begin(), map->data.end());
  const std::string mark = "\"v\":\"";
  for (std::size_t at = json.find(mark); at != std::string::npos; at = json.find(mark, at + 1)) {
    const std::size_t start = at + mark.size();
    allowed.push_back(json.substr(start, json.find('"', start) - start));
  }
  const std::optional<WebForm> form = ParseUrlEncodedForm(body);
  if (!form) return true;  // the write refuses it as malformed
  return std::all_of(form->fields.begin(), form->fields.end(), [&](const auto& field) {
    return std::find(allowed.begin(), allowed.end(), field.first) != allowed.end();
  });
}

void PlcWebServer::PostLogin(const httplib::Request& request, httplib::Response& response) {
  const std::optional<WebForm> form =
      request.body.size() <= kMaxLoginBody ? ParseUrlEncodedForm(request.body) : std::nullopt;
  const std::string* user = form ? form->Find("USER") : nullptr;
  const std::string* pass = form ? form->Find("PASS") : nullptr;
  const std::string* acer = form ? form->Find("ACER") : nullptr;
  const bool digest = pass != nullptr && pass->size() == 40 && std::all_of(pass->begin(), pass->end(), [](char c) {
                        return std::isxdigit(static_cast<unsigned char>(c));
                      });
  if (user == nullptr || acer == nullptr || !digest) {
    response.status = 400;
    response.set_content("Bad Request", "text/plain");
    return;
  }
  const LoginResult result = logins_.Login(request.remote_addr, *user, *pass, *acer);
  if (result.outcome != LoginOutcome::LoggedIn)
    return AnswerLogin(response, *user, result.outcome == LoginOutcome::Expired ? "EXPIRED" : "FAILED");
  response.status = 303;
  response.set_header("Set-Cookie", "TWSID=" + result.sessionId + "; Path=/; HttpOnly; SameSite=Strict");
  response.set_header("Location", result.location);
}
