#pragma once
// `halvex serve` run as a program for the tests: started on a free port,
// read for its first line (the address it serves), stopped by a signal.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

// A running `halvex serve`: its process and the first line it printed. A run
// the test did not stop is killed when the test ends.
struct ServeRun {
  pid_t pid = -1;
  FILE* out = nullptr;
  std::string firstLine;
  ~ServeRun() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (out != nullptr) fclose(out);
  }
};

inline void StartServe(const std::string& folder, ServeRun& run) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  run.pid = fork();
  if (run.pid == 0) {
    // As a program started from a terminal: Ctrl+C stops it, also when the
    // tests themselves run as a background job that has SIGINT ignored.
    signal(SIGINT, SIG_DFL);
    dup2(pipeEnds[1], 1);
    close(pipeEnds[0]);
    execl(TARNWELL_HALVEX_PATH, "halvex", "serve", folder.c_str(), "--port", "0", nullptr);
    _exit(127);
  }
  close(pipeEnds[1]);
  run.out = fdopen(pipeEnds[0], "r");
  char line[512] = {};
  if (run.out != nullptr && fgets(line, sizeof line, run.out) != nullptr) run.firstLine = line;
}

// Stops it with the signal; the exit status and what it printed after the first line.
inline std::pair<int, std::string> StopServe(ServeRun& run, int signal) {
  kill(run.pid, signal);
  std::string rest;
  char line[512];
  while (run.out != nullptr && fgets(line, sizeof line, run.out) != nullptr) rest += line;
  int status = 0;
  waitpid(run.pid, &status, 0);
  run.pid = -1;
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, rest};
}
