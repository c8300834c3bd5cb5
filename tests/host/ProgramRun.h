#pragma once
// Runs a program through the shell for the end-to-end tests: its exit code
// and its standard output and error together.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

struct ProgramRun {
  int status = -1;
  std::string out;
};

inline ProgramRun RunProgram(const std::string& command) {
  ProgramRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
