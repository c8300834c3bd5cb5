#pragma once
// A trace of the web server's connections and requests, one line an event,
// written to a file as it happens: when a connection is accepted (with how
// many workers are busy and how many connections wait for one), when a worker
// takes it, each request as it is received and as its answer has been
// written, and when the connection closes. A request received and never
// answered, or a connection that waits for a worker, is named in the file
// even when the process is killed. The browser tests keep it when they fail.

#include <chrono>
#include <cstddef>
#include <fstream>
#include <mutex>
#include <string>

namespace httplib {
class TaskQueue;
struct Request;
struct Response;
}  // namespace httplib

class WebTrace {
 public:
  // Opens (truncates) the file; a trace whose file cannot be opened writes nothing.
  explicit WebTrace(const std::string& path);

  // The pool of `workers` threads the server answers connections on, each
  // connection traced with a number of its own.
  httplib::TaskQueue* NewPool(std::size_t workers);
  void Received(const httplib::Request& request);
  void Answered(const httplib::Request& request, const httplib::Response& response);

 private:
  friend class TracedPool;
  void Line(const std::string& text);

  std::mutex mutex_;
  std::ofstream file_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
