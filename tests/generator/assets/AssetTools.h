#pragma once
// Helpers of the asset suite: the bytes of an embedded resource, and the
// outside tools (xmllint, xsltproc, node) run on files with their exit code
// and output. A tool that is missing answers exit code 127, which fails the
// test that needed it.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "platform/win/Resources.h"

namespace assettest {

// The bytes of the module's RCDATA resource; empty when there is none.
inline std::string ResourceText(const char* name) {
  HRSRC found = FindResource(HInstance, name, RT_RCDATA);
  if (found == nullptr) return {};
  const auto* data = static_cast<const char*>(LockResource(LoadResource(HInstance, found)));
  return std::string(data, SizeofResource(HInstance, found));
}

struct ToolRun {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};

// Runs a shell command line and collects what it prints.
inline ToolRun RunTool(const std::string& commandLine) {
  ToolRun run;
  FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk{};
  std::size_t n = 0;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.output.append(chunk.data(), n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A file name quoted for the shell.
inline std::string Quoted(const std::string& path) {
  std::string out = "'";
  for (char c : path) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace assettest
