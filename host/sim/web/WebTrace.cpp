#include "host/sim/web/WebTrace.h"

#include <httplib.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The connection the calling worker serves; 0 outside a connection.
thread_local long tConnection = 0;

long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

}  // namespace

// A pool of worker threads that traces each connection from its acceptance
// to its close, with the pool's load.
class TracedPool : public httplib::TaskQueue {
 public:
  TracedPool(WebTrace& trace, std::size_t workers) : trace_(trace), workers_(workers), pool_(workers) {}

  void enqueue(std::function<void()> fn) override {
    const long id = ++connections_;
    const long waiting = ++waiting_;
    trace_.Line("#" + std::to_string(id) + " accepted; busy workers " + std::to_string(busy_.load()) + " of " +
                std::to_string(workers_) + ", waiting connections " + std::to_string(waiting));
    const auto accepted = std::chrono::steady_clock::now();
    pool_.enqueue([this, id, accepted, fn = std::move(fn)] {
      --waiting_;
      ++busy_;
      tConnection = id;
      trace_.Line("#" + std::to_string(id) + " taken by a worker after " + std::to_string(MillisecondsSince(accepted)) +
                  " ms");
      fn();
      trace_.Line("#" + std::to_string(id) + " closed");
      tConnection = 0;
      --busy_;
    });
  }
  void shutdown() override { pool_.shutdown(); }

 private:
  WebTrace& trace_;
  const std::size_t workers_;
  httplib::ThreadPool pool_;
  std::atomic<long> connections_{0};
  std::atomic<long> waiting_{0};
  std::atomic<long> busy_{0};
};

WebTrace::WebTrace(const std::string& path) : file_(path, std::ios::trunc) {}

httplib::TaskQueue* WebTrace::NewPool(std::size_t workers) { return new TracedPool(*this, workers); }

void WebTrace::Received(const httplib::Request& request) {
  std::string line = "#" + std::to_string(tConnection) + " received " + request.method + " " + request.path;
  for (const char* header : {"x-daltrex", "Connection", "Content-Length"})
    if (request.has_header(header)) line += std::string(" ") + header + ": " + request.get_header_value(header);
  Line(line);
}

void WebTrace::Answered(const httplib::Request& request, const httplib::Response& response) {
  std::string line = "#" + std::to_string(tConnection) + " answered " + request.method + " " + request.path + " " +
                     std::to_string(response.status) + ", " + std::to_string(response.body.size()) + " bytes";
  if (response.has_header("Location")) line += " to " + response.get_header_value("Location");
  Line(line);
}

void WebTrace::Line(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!file_) return;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%9.3f ", MillisecondsSince(start_) / 1000.0);
  file_ << stamp << text << '\n' << std::flush;
}
