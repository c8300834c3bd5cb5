#include "tests/imaging/base/TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace ImagingTest {

namespace {

struct Scratch {
  std::string path;
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "imaging-base-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) std::abort();
    path = buffer.data();
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& ScratchDir() {
  static Scratch scratch;
  return scratch.path;
}

std::string ScratchPath(const std::string& name) { return ScratchDir() + "/" + name; }

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Quote(const std::string& path) {
  std::string q = "'";
  for (char c : path) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

int RunCommand(const std::string& command, Bytes* out) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return -1;
  std::uint8_t buffer[65536];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    if (out != nullptr) out->insert(out->end(), buffer, buffer + got);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveImageMagick() {
  static const bool have = [] {
    // A 2x1 PPM through BMP and back: proves the tool reads and writes what the tests use.
    Bytes ppm = {'P', '6', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n', 10, 20, 30, 40, 50, 60};
    std::string in = ScratchPath("probe.ppm"), out = ScratchPath("probe.bmp");
    WriteFile(in, ppm);
    if (RunCommand("convert " + Quote(in) + " bmp3:" + Quote(out)) != 0) return false;
    Bytes rgba;
    if (!MagickRgba(out, 2, 1, &rgba)) return false;
    return rgba == Bytes{10, 20, 30, 255, 40, 50, 60, 255};
  }();
  return have;
}

bool MagickRgba(const std::string& path, std::uint32_t width, std::uint32_t height, Bytes* rgba) {
  rgba->clear();
  if (RunCommand("convert " + Quote(path) + "[0] -depth 8 rgba:-", rgba) != 0) return false;
  return rgba->size() == std::size_t(width) * height * 4;
}

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

}  // namespace ImagingTest
