#include "plugin/StConstants.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/BuildFileName.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"
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
constexpr int kNotWrittenTextId = 7591;  // the ST constants file "%s" could not be written (%s)
constexpr int kReadOnlyTextId = 7592;    // it is read-only
constexpr int kNotAddedTextId = 7593;    // the ST constants file "%s" could not be added to the host project (%s)

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
void AppendPageLines(std::string& text, TmyXmlNode* root) {
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
      text += PageLine(name, groupIndex * kGroupFactor + pageIndex, prefix + page->GetAttr("caption"));
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

// A host project's file name as it compares: without regard to case, '/'
// and the backslash alike (a project file may list "Tarnwell/TarnwellConst.ST").
std::string ComparedName(const std::string& name) {
  std::string compared = Upper(name);
  std::replace(compared.begin(), compared.end(), '/', '\\');
  return compared;
}

// The index of `name` in the list (compared as ComparedName), or -1.
int IndexOf(const std::vector<std::string>& list, const std::string& name) {
  const std::string compared = ComparedName(name);
  for (std::size_t i = 0; i < list.size(); ++i)
    if (ComparedName(list[i]) == compared) return static_cast<int>(i);
  return -1;
}

// The new file goes before the project's main program file, or first.
// Answers what failed, empty when it is in.
std::string AddToHostProject(const std::string& file, const std::vector<std::string>& list) {
  if (!gHost.ifQendProject) return std::string();
  HostLong fileId = 0;
  if (const HRESULT hr = gHost.ifQendProject->AddFile(file.c_str(), kAddFileKind, "", &fileId); FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return Format(GetUiText(kNotAddedTextId), ShownPath(file), std::string(code));
  }
  const int mainIndex = IndexOf(list, GetHostProjectName() + ".ST");
  gHost.ifQendProject->MoveFile(fileId, mainIndex < 0 ? 0 : mainIndex, VARIANT_FALSE);
  return std::string();
}

std::string WebProjectFolder() {
  TclBuildFileName web(gHost.ifPrjMngr.Get(), "Tarnwell", false);
  return web.IsValid() ? web.GetProjectFolder() : std::string();
}

// The file's whole content for the project `root`.
std::string StConstantsText(TmyXmlNode* root) {
  std::string text = std::string(kHeaderLine) + kStartLine;
  AppendPageLines(text, root);
  return text + kEndLine;
}

std::string NotWritten(const std::string& file, const std::string& reason) {
  return Format(GetUiText(kNotWrittenTextId), ShownPath(file), reason);
}

// Puts `text` in as the file's whole content: written beside it and renamed
// over it, so that a failure leaves the old file whole. A file that holds the
// text already is not written, and keeps its times: the host sees no new file
// to compile. A read-only file is not replaced, as the project's files are
// not. A new file takes the mode and group of `newFileModel` (the project
// file), when given. Answers why it failed, empty when the text is in.
std::string ReplaceFile(const std::string& file, const std::string& text, const std::string& newFileModel = {}) {
  std::string held;
  if (ReadWholeFile(file, held) && held == text) return std::string();
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return GetUiText(kReadOnlyTextId);
  if (WriteFileReplacing(file, text.data(), text.size(), newFileModel)) return std::string();
  // The system's own words: an immutable file (EPERM) is no denied access.
  return std::strerror(errno);
}

// Cuts an existing file back to the header line; why it could not, empty
// when it is cut back or there is no file.
std::string CutBack(const std::string& file) {
  return FileExists(file) ? ReplaceFile(file, kHeaderLine) : std::string();
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

std::string WriteStConstantsHeader(const std::string& folder) {
  const std::string file = folder + kStConstantsFileName;
  const std::string reason = CutBack(file);
  return reason.empty() ? std::string() : NotWritten(file, reason);
}

std::string WriteStConstants(const std::string& folder, const std::vector<std::string>* hostFiles, TmyXmlNode* root,
                             const std::string& projectFile) {
  const std::string file = folder + kStConstantsFileName;
  if (const std::string reason = ReplaceFile(file, StConstantsText(root), projectFile); !reason.empty())
    return NotWritten(file, reason);
  if (hostFiles != nullptr && IndexOf(*hostFiles, kStConstantsProjectEntry) < 0)
    return AddToHostProject(file, *hostFiles);
  return std::string();
}

std::string AddStConstantsFile(TmyXmlNode* root, const std::string& projectFile) {
  try {
    const std::vector<std::string> list = HostFileList();
    const std::string folder = WebProjectFolder();
    if (folder.empty()) return std::string();
    return WriteStConstants(folder, &list, root, projectFile);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("AddStConstantsFile - ") + e.what());
    return NotWritten(kStConstantsFileName, e.what());
  }
}

void RemoveStConstantsFile() {
  try {
    const std::vector<std::string> list = HostFileList();
    const int index = IndexOf(list, kStConstantsProjectEntry);
    if (index < 0 || !gHost.ifQendProject) return;
    gHost.ifQendProject->RemoveFile(index, VARIANT_FALSE);
    // Out of the host project, the file's old constants reach no program: one
    // that cannot be cut back is told as the settings files are.
    const std::string folder = WebProjectFolder();
    if (folder.empty()) return;
    const std::string file = folder + kStConstantsFileName;
    if (const std::string reason = CutBack(file); !reason.empty()) NoteWriteFailure(file, reason);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("RemoveStConstantsFile - ") + e.what());
  }
}
