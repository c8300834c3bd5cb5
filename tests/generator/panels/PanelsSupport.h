#pragma once
// Helpers of the operator-panel suite: a project compile whose page step
// resolves each object's `var` the way the page compiler does (so that the
// public-variable list fills), the public-variable list switched on as the
// save-and-compile command does it, outside tools run on files, and a CRC-16
// written from its definition, independent of base/Crc.h.

#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "tests/generator/project/ProjectCompilerSupport.h"

namespace panelstest {

// Resolves the `var` of every `object` child of the page; the page file name
// is the page's `name`.
class ResolvingPageStep : public TPageCompileStep {
 public:
  explicit ResolvingPageStep(TWebVariables& variables) : variables_(variables) {}
  std::string CompilePage(TmyXmlNode* page, TmyXmlNode*, std::string& pageFileName, int&, std::string&, std::string&,
                          std::string&, bool&, TmyXmlNode*, TmyXmlNode*) override {
    pageFileName = page->GetAttr("name");
    for (TmyXmlNode* object = page->firstChild; object != nullptr; object = object->next)
      if (object->name == "object") variables_.ResolveWebVariable(object->GetAttr("var"), TIdentifierFormat{});
    return pageFileName;
  }

 private:
  TWebVariables& variables_;
};

// A project compile with the operator-panel outputs' prerequisites: the
// public-variable list sorted and empty, as the save-and-compile command
// leaves it before the compile.
class PanelsCompile : public projecttest::ProjectCompile {
 public:
  explicit PanelsCompile(const std::string& projectXml) : ProjectCompile(projectXml) {
    state.publicVariables = std::make_unique<TStringList>();
    state.publicVariables->SetSorted(true);
  }

  void RunResolving() {
    TmyXMLParser templateReader;
    templateReader.LoadFromString(pageTemplateText.c_str());
    std::unique_ptr<TmyXmlNode> pageTemplate(templateReader.Parse());
    TmyXMLParser dataReader;
    dataReader.LoadFromString(projecttest::kTemplateData);
    std::unique_ptr<TmyXmlNode> data(dataReader.Parse());
    ResolvingPageStep step(variables);
    TProjectCompileInputs inputs{step, panelStructures, pictureSize};
    CompileProject(*context, data.get(), pageTemplate.get(), inputs);
  }

  std::string OutputPath(const std::string& name) const { return Folder().Native("WWW/" + name); }
};

struct ToolRun {
  int exitCode = -1;
  std::string output;  // standard output only
};

// Runs a shell command line; a missing tool answers exit code 127.
inline ToolRun RunTool(const std::string& commandLine) {
  ToolRun run;
  FILE* pipe = ::popen(commandLine.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk{};
  std::size_t n = 0;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.output.append(chunk.data(), n);
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The text quoted for the shell.
inline std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// sha1sum of the bytes, as 40 upper-case hex digits; empty when the tool fails.
inline std::string Sha1sumOf(const std::string& bytes) {
  const ToolRun run = RunTool("printf '%s' " + Quoted(bytes) + " | sha1sum");
  if (run.exitCode != 0 || run.output.size() < 40) return {};
  std::string hex = run.output.substr(0, 40);
  for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return hex;
}

// CRC-16 from its definition: the message's bits, most significant first,
// shifted through a 16-bit register that starts at 0; whenever a 1 falls out
// of the top (after the incoming bit is added), the generator 0x0049 is added.
// No final XOR; the result's two bytes exchanged.
inline std::uint16_t ReferenceCrc16(const std::string& bytes) {
  constexpr std::uint16_t kGenerator = 0x0049;
  std::uint16_t reg = 0;
  for (unsigned char byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = ((reg >> 15) & 1u) != ((byte >> bit) & 1u);
      reg = static_cast<std::uint16_t>(reg << 1);
      if (top) reg ^= kGenerator;
    }
  }
  return static_cast<std::uint16_t>((reg << 8) | (reg >> 8));
}

}  // namespace panelstest
