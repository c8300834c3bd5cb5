#include "plugin/StConstants.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/BuildFileName.h"
#include "core/FileHelpers.h"
#include "core/TraceLog.h"
#include "core/XmlNode.h"
#include "platform/com/TaskMem.h"
#include "platform/win/FileTime.h"
#include "platform/win/Paths.h"
#include "plugin/PluginState.h"
#include "plugin/VarPosCheck.h"

namespace {

constexpr const char* kConstantPrefix = "TWL_";
constexpr const char* kHeaderLine = "(* Tarnwell Constants *)\r\n\r\n";
constexpr const char* kStartLine = "VAR_GLOBAL CONSTANT\r\n";
constexpr const char* kEndLine = "END_VAR\r\n\r\n";
constexpr const char* kCommentSeparator = " > ";
// The group index is the high byte of a page's number.
constexpr int kGroupFactor = 256;
// The host's arguments for a new project file.
constexpr HostLong kAddFileKind = 1;
// The record keeps a 32-bit size.
constexpr std::uintmax_t kMaxFileSize = 0xFFFFFFFFu;

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

TFilePtr OpenFile(const std::string& path, const char* mode) {
  return TFilePtr(std::fopen(ToNativePath(path).c_str(), mode));
}

void WriteText(std::FILE* file, const std::string& text) { std::fwrite(text.data(), 1, text.size(), file); }

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool IsIdentifierChar(unsigned char c) { return std::isalnum(c) != 0 || c == '_'; }

// Every character outside [A-Za-z0-9_] as '_', runs of '_' as one, no '_' at
// the end: what an IEC identifier allows.
std::string IecIdentifier(const std::string& text) {
  std::string result;
  for (unsigned char c : text) {
    const char mapped = (c < 0x80 && IsIdentifierChar(c)) ? static_cast<char>(c) : '_';
    if (mapped == '_' && !result.empty() && result.back() == '_') continue;
    result += mapped;
  }
  while (!result.empty() && result.back() == '_') result.pop_back();
  return result;
}

bool Contains(const std::vector<std::string>& names, const std::string& upperName) {
  return std::find(names.begin(), names.end(), upperName) != names.end();
}

std::string PageLine(const std::string& name, int value, const std::string& comment) {
  const int length =
      std::snprintf(nullptr, 0, "\t%-30s : UINT := 16#%04X;\t\t//%s\r\n", name.c_str(), value, comment.c_str());
  std::string line(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(line.data(), line.size(), "\t%-30s : UINT := 16#%04X;\t\t//%s\r\n", name.c_str(), value,
                comment.c_str());
  line.pop_back();
  return line;
}

// The constants of every page, group after group in document order.
void WritePageLines(std::FILE* file, TmyXmlNode* root) {
  std::vector<std::string> used;
  int groupIndex = -1;
  int pageIndex = 0;
  TmyXmlNode* group = root != nullptr ? root->FindDeep("group") : nullptr;
  for (; group != nullptr; group = group->next) {
    if (group->name == "group") {
      ++groupIndex;
      pageIndex = 0;
    }
    const std::string prefix = group->GetAttr("caption") + kCommentSeparator;
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      ++pageIndex;
      const std::string name = StConstantName(page->GetAttr("name"), used);
      WriteText(file, PageLine(name, groupIndex * kGroupFactor + pageIndex, prefix + page->GetAttr("caption")));
    }
  }
}

// The host project's file list, one entry per line.
std::vector<std::string> HostFileList() {
  std::vector<std::string> list;
  char* text = nullptr;
  if (!gHost.ifQendProject || FAILED(gHost.ifQendProject->GetFileList(&text)) || text == nullptr) return list;
  const std::string all(text);
  CoTaskMemFree(text);
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    list.push_back(line);
    start = end + 1;
  }
  return list;
}

// The index of `name` in the list (compared without regard to case), or -1.
int IndexOf(const std::vector<std::string>& list, const std::string& name) {
  const std::string upper = Upper(name);
  for (std::size_t i = 0; i < list.size(); ++i)
    if (Upper(list[i]) == upper) return static_cast<int>(i);
  return -1;
}

// The new file goes before the project's main program file, or first.
void AddToHostProject(const std::string& file, const std::vector<std::string>& list) {
  if (!gHost.ifQendProject) return;
  HostLong fileId = 0;
  if (FAILED(gHost.ifQendProject->AddFile(file.c_str(), kAddFileKind, "", &fileId))) return;
  const int mainIndex = IndexOf(list, GetHostProjectName() + ".ST");
  gHost.ifQendProject->MoveFile(fileId, mainIndex < 0 ? 0 : mainIndex, VARIANT_FALSE);
}

std::string WebProjectFolder() {
  TclBuildFileName web(gHost.ifPrjMngr.Get(), "Tarnwell", false);
  return web.IsValid() ? web.GetProjectFolder() : std::string();
}

FILETIME TimeOf(std::uint32_t low, std::uint32_t high) {
  FILETIME time;
  time.dwLowDateTime = low;
  time.dwHighDateTime = high;
  return time;
}

}  // namespace

std::string StConstantName(const std::string& pageName, std::vector<std::string>& used) {
  const std::size_t dot = pageName.rfind('.');
  const std::string stem = dot == std::string::npos ? pageName : pageName.substr(0, dot);
  const std::string plain = kConstantPrefix + stem;
  std::string name = IecIdentifier(plain);
  const std::string base = name;
  for (int n = 2; Contains(used, Upper(name)); ++n) name = base + "_" + std::to_string(n);
  used.push_back(Upper(name));
  if (name != plain) WriteTraceLog("TarnwellConst.ST - page \"" + pageName + "\" as " + name);
  return name;
}

void GetFileCrcInfo(const std::string& file, TFileCrcInfo& info) {
  std::error_code ec;
  const std::filesystem::path path = ToNativePath(file);
  if (!std::filesystem::is_regular_file(path, ec)) return;
  FILETIME creation;
  FILETIME write;
  if (!GetPathFileTime(file, &creation, nullptr, &write)) return;
  info.creationLow = creation.dwLowDateTime;
  info.creationHigh = creation.dwHighDateTime;
  info.accessLow = 0;
  info.accessHigh = 0;
  info.writeLow = write.dwLowDateTime;
  info.writeHigh = write.dwHighDateTime;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxFileSize) return;
  info.size = static_cast<std::uint32_t>(size);
  info.crc = FileCrc32(file);
}

void SetFileTimeFrom(const std::string& file, const TFileCrcInfo& info) {
  const FILETIME creation = TimeOf(info.creationLow, info.creationHigh);
  const FILETIME write = TimeOf(info.writeLow, info.writeHigh);
  SetPathFileTime(file, &creation, nullptr, &write);
}

TFileCrcInfo WriteStConstantsHeader(const std::string& folder) {
  TFileCrcInfo result;
  const std::string file = folder + kStConstantsFileName;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(ToNativePath(file), ec)) return result;
  GetFileCrcInfo(file, result);
  if (TFilePtr out = OpenFile(file, "wb")) WriteText(out.get(), kHeaderLine);
  return result;
}

void WriteStConstants(const std::string& folder, const std::vector<std::string>* hostFiles, TmyXmlNode* root,
                      const TFileCrcInfo& previous) {
  const std::string file = folder + kStConstantsFileName;
  if (TFilePtr out = OpenFile(file, "ab")) {
    WriteText(out.get(), kStartLine);
    WritePageLines(out.get(), root);
    WriteText(out.get(), kEndLine);
  }
  TFileCrcInfo now;
  GetFileCrcInfo(file, now);
  // Unchanged content keeps its times: the host sees no new file to compile.
  if (previous.size != 0 && previous.crc == now.crc && previous.size == now.size) SetFileTimeFrom(file, previous);
  if (hostFiles != nullptr && IndexOf(*hostFiles, kStConstantsProjectEntry) < 0) AddToHostProject(file, *hostFiles);
}

void AddStConstantsFile(TmyXmlNode* root) {
  try {
    const std::vector<std::string> list = HostFileList();
    const std::string folder = WebProjectFolder();
    if (folder.empty()) return;
    const TFileCrcInfo previous = WriteStConstantsHeader(folder);
    WriteStConstants(folder, &list, root, previous);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("AddStConstantsFile - ") + e.what());
  }
}

void RemoveStConstantsFile() {
  try {
    const std::vector<std::string> list = HostFileList();
    const int index = IndexOf(list, kStConstantsProjectEntry);
    if (index < 0 || !gHost.ifQendProject) return;
    gHost.ifQendProject->RemoveFile(index, VARIANT_FALSE);
    const std::string folder = WebProjectFolder();
    if (!folder.empty()) WriteStConstantsHeader(folder);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("RemoveStConstantsFile - ") + e.what());
  }
}
