#pragma once
// The small web server of the simulated PLC, a stand-in for the one the real
// PLC's firmware carries. It serves the compiled web tree from the PLC's file
// system, fills the data pages with the values in the PLC's memory, writes
// posted values and uploads, and keeps the logins of generator/LoginExchange.md
// against the password file. It listens on 127.0.0.1 only.
//
//   GET /                 302 to the session's start page or /INDEX.XML
//   GET /NAME             the file //WWW/NAME of the PLC's file system (names
//                         compared without regard to case; the query is not
//                         read); a data page filled in; 404 for anything else
//   POST /PAGE.XML        form values (application/x-www-form-urlencoded,
//                         whole pairs or names and values percent-encoded) or
//                         a multipart form with uploads; answers the filled page
//   GET|POST /LOGIN.XML   the login page and its check; GET /LOGOUT.XML
//   /~control/...         with `control` set only: memory and request log for tests
//
// See README.md beside this file for the details.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/sim/HostProject.h"
#include "host/sim/SimulatedPlc.h"
#include "host/sim/VariableTable.h"
#include "host/sim/web/WebDataPage.h"
#include "host/sim/web/WebLogins.h"
#include "host/sim/web/WebTrace.h"
#include "host/sim/web/WebVariableMap.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

struct PlcWebOptions {
  std::string sendRoot;           // native folder: WWW/ and PSW.TXT
  std::string variablesDocument;  // the last compile's "<project>_var.xml" (may be empty)
  bool control = false;           // answer the /~control/ requests
  std::string traceFile;          // where to trace connections and requests (WebTrace.h); empty: nowhere
};

inline constexpr std::size_t kPlcWebMaxBody = 6u << 20;  // an upload of the PLC's largest file, with its form
inline constexpr std::size_t kPlcWebMaxFormBody = 64u << 10;
inline constexpr std::size_t kPlcWebLogLines = 2000;

class PlcWebServer {
 public:
  // Copies SendRoot/WWW into the PLC's file system under //WWW/ (files that
  // do not fit it are listed in Skipped()) and reads SendRoot/PSW.TXT.
  // Raises std::runtime_error when SendRoot/WWW is not a folder.
  PlcWebServer(SimulatedPlc& plc, const HostProject& project, const VariableTable& variables, PlcWebOptions options);
  ~PlcWebServer();
  PlcWebServer(const PlcWebServer&) = delete;
  PlcWebServer& operator=(const PlcWebServer&) = delete;

  // Listens on 127.0.0.1:port (0: a free port) on a thread of its own and
  // answers the port; raises std::runtime_error, with the reason, when it
  // cannot bind (also when another socket listens on the port: it is never
  // shared).
  int Start(int port);
  // Stops listening and waits for the server's thread; safe to call twice.
  void Stop();

  const std::vector<std::string>& Skipped() const { return skipped_; }
  // "METHOD PATH STATUS", the newest last (at most kPlcWebLogLines).
  std::vector<std::string> RequestLog() const;
  WebLogins& Logins() { return logins_; }

 private:
  void LoadTree();
  void Route();
  void Get(const httplib::Request& request, httplib::Response& response);
  void Post(const httplib::Request& request, httplib::Response& response);
  void Control(const httplib::Request& request, httplib::Response& response);
  void ControlMemory(const httplib::Request& request, httplib::Response& response);
  void Log(const httplib::Request& request, const httplib::Response& response);

  struct Access;
  Access AccessOf(const httplib::Request& request);
  // Whether the request may have the file; otherwise answers the refusal.
  bool Admit(httplib::Response& response, const Access& access, const std::string& key, int pageLevel, bool dataPage);
  std::string FilledPage(const std::string& text, int level);
  std::optional<std::string> RawBytes(const DataPageEntry& entry);
  void AnswerFile(const std::string& path, const std::string& text, httplib::Response& response, int level);
  void AnswerLogin(httplib::Response& response, const std::string& user, const std::string& outcome);
  void PostLogin(const httplib::Request& request, httplib::Response& response);
  bool MapAllows(const std::string& key, const std::string& page, const std::string& body);
  bool WriteForm(const httplib::Request& request, httplib::Response& response);
  std::string StoreUpload(const std::string& fileName, const std::string& content);

  SimulatedPlc& plc_;
  WebVariableMap map_;
  const VariableTable& variables_;
  PlcWebOptions options_;
  WebLogins logins_;
  std::vector<std::string> skipped_;
  std::unique_ptr<WebTrace> trace_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  mutable std::mutex logMutex_;
  std::vector<std::string> log_;
  std::mutex uploadMutex_;
};
