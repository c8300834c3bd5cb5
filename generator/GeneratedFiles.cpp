#include "generator/GeneratedFiles.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Crc.h"
#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "generator/CompileHost.h"
#include "generator/CompileState.h"
#include "generator/FormStatus1.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/FileTime.h"
#include "platform/win/FolderEntries.h"
#include "platform/win/Paths.h"
#include "platform/win/StopRequest.h"
#include "platform/win/SystemError.h"
#include "platform/win/Win32File.h"
#include "platform/win/WriteFault.h"

namespace {

// "[Tarnwell] - Cannot create :" with a no-break space.
constexpr int kTextCannotCreate = 7074;
// "[Tarnwell] - Cannot copy :" with a no-break space.
constexpr int kTextCannotCopy = 7077;
// The compile was stopped before its end; the pages are incomplete.
constexpr int kTextStopped = 7440;
// "%s is a folder, not a file"
constexpr int kTextFolderInPlace = 7460;
// A file of the last compile that could not be deleted, with the reason.
constexpr int kTextCannotDelete = 7522;
// The password file lies one folder above the output root, in "SendRoot\".
constexpr std::string_view kPasswordFileKey = "..\\PSW.TXT";
constexpr std::string_view kPasswordFileName = "PSW.TXT";
// Registration reads the file in pieces of this size for its CRC-32.
constexpr DWORD kCrcChunk = 64 * 1024;

// The CRC-32 of everything the open file still holds from its start.
std::uint32_t CrcOfOpenFile(HANDLE file) {
  Crc32 crc;
  std::vector<unsigned char> buffer(kCrcChunk);
  DWORD read = 0;
  while (ReadFile(file, buffer.data(), kCrcChunk, &read, nullptr) && read > 0) crc.Update(buffer.data(), read);
  return crc.Value();
}

// True when the file holds exactly `bytes`.
bool FileHolds(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ScopeExit closeFile([file] { CloseHandle(file); });
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(file, &sizeHigh);
  if ((sizeLow == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) ||
      ((static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow) != bytes.size())
    return false;
  std::vector<char> buffer(kCrcChunk);
  std::size_t done = 0;
  DWORD read = 0;
  while (done < bytes.size() && ReadFile(file, buffer.data(), kCrcChunk, &read, nullptr) && read > 0) {
    if (read > bytes.size() - done || bytes.compare(done, read, std::string_view(buffer.data(), read)) != 0)
      return false;
    done += read;
  }
  return done == bytes.size();
}

// The components of a key with "." dropped and ".." taken back; false when
// the key is absolute, names a drive, is empty or climbs above its start.
bool NormaliseKey(std::string_view key, std::vector<std::string_view>& parts) {
  if (key.empty() || key.front() == '\\' || key.front() == '/' || key.find(':') != std::string_view::npos) return false;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = key.size();
    const std::string_view part = key.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  return !parts.empty();
}

// Where the keys of a stamp list lead below one output root. A link inside the
// output tree must not lead a deletion (or a change of times) out of it, so the
// folder of every key is resolved with its links and must lie inside the root,
// resolved likewise. The root is resolved once, and each folder once however
// many files it holds (a compile of thousands of files has a handful of
// folders): each folder is opened once, and its files are reached by their
// names in it.
class OutputTree {
 public:
  explicit OutputTree(const std::string& outputRoot) : root_(outputRoot) {
    std::error_code ec;
    canonicalRoot_ = std::filesystem::weakly_canonical(ToNativePath(outputRoot), ec);
    rootResolved_ = !ec;
  }

  // A key's file: its folder (null when the key leaves the root) and its name there.
  struct Place {
    const TFolderEntries* folder = nullptr;
    std::string name;
  };

  // Where a key lies below the root (or the password file one folder above it).
  Place PlaceOf(const std::string& key) {
    std::string folder;
    Place place;
    if (!Split(key, folder, place.name)) return {};
    auto [slot, added] = folders_.try_emplace(folder);
    if (added) {
      const std::string native = ToNativePath(ExcludeTrailingBackslash(folder));
      // The password file's folder is the root's parent: it is not checked.
      if (SameText(key, kPasswordFileKey) || FolderInside(native))
        slot->second = std::make_unique<TFolderEntries>(native);
    }
    place.folder = slot->second.get();
    return place;
  }

  // The system path of a key's file, as messages name it.
  std::string PathOf(const std::string& key) const {
    std::string folder;
    std::string name;
    return Split(key, folder, name) ? folder + name : std::string();
  }

 private:
  // The system path of a key's folder (with its trailing backslash) and its
  // file name; false when the key leaves the root.
  bool Split(const std::string& key, std::string& folder, std::string& name) const {
    if (root_.empty()) return false;
    if (SameText(key, kPasswordFileKey)) {
      folder = ExtractFilePath(ExcludeTrailingBackslash(root_));
      name = kPasswordFileName;
      return true;
    }
    std::vector<std::string_view> parts;
    if (!rootResolved_ || !NormaliseKey(key, parts)) return false;
    folder = root_;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      folder += parts[i];
      folder += '\\';
    }
    name = parts.back();
    return true;
  }

  // True when the folder, with every link resolved, lies inside the root.
  bool FolderInside(const std::string& native) const {
    std::error_code ec;
    const auto resolved = std::filesystem::weakly_canonical(native, ec);
    if (ec) return false;
    auto f = resolved.begin();
    for (auto r = canonicalRoot_.begin(); r != canonicalRoot_.end() && !r->empty(); ++r, ++f) {
      if (f == resolved.end() || *r != *f) return false;
    }
    return true;
  }

  std::string root_;
  std::filesystem::path canonicalRoot_;
  bool rootResolved_ = false;
  // The folders met so far by their system paths; null for one outside the root.
  std::unordered_map<std::string, std::unique_ptr<TFolderEntries>> folders_;
};

// An unchanged file (previous size not 0, same size and CRC-32) takes its
// previous record, and its previous times on disk.
void TakePreviousTimes(const std::string& key, const GeneratedFileRecord& old, GeneratedFileRecord& now,
                       std::optional<OutputTree>& tree, const std::string& outputRoot) {
  if (old.size == 0 || old.crc32 != now.crc32 || old.size != now.size) return;
  // The not-for-id flag is not kept in the stamp list: this run's stays.
  const std::uint8_t notForId = now.notForId;
  now = old;
  now.notForId = notForId;
  // Creation time too, where the file system keeps one; a file whose
  // times cannot be set keeps its new ones.
  if (!tree) tree.emplace(outputRoot);
  const OutputTree::Place place = tree->PlaceOf(key);
  if (place.folder != nullptr) place.folder->SetFileTime(place.name, &old.creationTime, nullptr, &old.lastWriteTime);
}

}  // namespace

TGeneratedFiles::TGeneratedFiles(TCompileState& state, TCompileHost& host) : state_(state), host_(host) {
  table_.SetSorted(true);
  previous_.SetSorted(true);
}

TGeneratedFiles::~TGeneratedFiles() {
  FreeListItems(&table_);
  FreeListItems(&previous_);
  FreeListItems(&kept_);
}

GeneratedFileRecord& TGeneratedFiles::RecordOf(const std::string& path) {
  state_.hostStatusText = ExtractFileName(path);
  const std::string key = ExtractRelativePath(state_.outputRoot, path);
  auto [slot, added] = index_.try_emplace(LowerCase(key), nullptr);
  if (!added) {
    GeneratedFileRecord& record = *slot->second;
    record.notForId = record.notForId && state_.notForId ? 1 : 0;
    return record;
  }
  auto created = std::make_unique<GeneratedFileRecord>();
  created->notForId = state_.notForId ? 1 : 0;
  slot->second = created.get();
  table_.SetSorted(false);
  AddRecordItem(table_, key, std::move(created));
  return *slot->second;
}

void TGeneratedFiles::SortTable() { table_.SetSorted(true); }

const TStringList& TGeneratedFiles::Table() {
  SortTable();
  return table_;
}

void TGeneratedFiles::StopWhenAsked() {
  if (StopRequestSignal() != 0) throw std::runtime_error(GetUiText(kTextStopped));
}

void TGeneratedFiles::ReportWriteFailure(const std::string& path) {
  state_.compileErrors |= kCompileErrorFile;
  const std::string shown = SpeltAsOnDisk(path);
  if (std::find(state_.failedFiles.begin(), state_.failedFiles.end(), shown) == state_.failedFiles.end())
    state_.failedFiles.push_back(shown);
  // The reason of a write of the file that failed just before.
  std::string reason;
  if (failedWrite_.first == path && !failedWrite_.second.empty()) reason = "(" + failedWrite_.second + ")";
  failedWrite_ = {};
  host_.AddCompilerMessage(GetUiText(kTextCannotCreate) + reason, shown);
}

void TGeneratedFiles::ReportDeleteFailure(const std::string& path, const std::string& reason) {
  state_.compileErrors |= kCompileErrorFile;
  const std::string shown = SpeltAsOnDisk(path);
  if (std::find(state_.undeletedFiles.begin(), state_.undeletedFiles.end(), shown) == state_.undeletedFiles.end())
    state_.undeletedFiles.push_back(shown);
  host_.AddCompilerMessage(Format(GetUiText(kTextCannotDelete), reason), shown);
}

void TGeneratedFiles::ReportFolderInPlace(const std::string& source, const std::string& folder,
                                          const std::string& path) {
  host_.AddCompilerMessage(
      GetUiText(kTextCannotCopy) + "(" + Format(GetUiText(kTextFolderInPlace), ShownPath(SpeltAsOnDisk(folder))) + ")",
      source);
  ReportWriteFailure(path);
}

bool TGeneratedFiles::Failed(const std::string& path) const {
  if (state_.failedFiles.empty()) return false;
  const std::string shown = SpeltAsOnDisk(path);
  return std::find(state_.failedFiles.begin(), state_.failedFiles.end(), shown) != state_.failedFiles.end();
}

const GeneratedFileRecord* TGeneratedFiles::FindInOutput(const std::string& key) const {
  if (const GeneratedFileRecord* record = Find(key)) return record;
  if ((state_.failedFiles.empty() && state_.undeletedFiles.empty()) || !FileExists(state_.outputRoot + key))
    return nullptr;
  return FindPrevious(key);
}

void TGeneratedFiles::RegisterGeneratedFile(const std::string& path, bool written) {
  StopWhenAsked();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    state_.hostStatusText = ExtractFileName(path);
    return;
  }
  ScopeExit closeFile([file] { CloseHandle(file); });
  if (written) wroteAny_ = true;
  GeneratedFileRecord& record = RecordOf(path);
  GetFileTime(file, &record.creationTime, &record.lastAccessTime, &record.lastWriteTime);
  record.size = 0;
  record.crc32 = 0;
  DWORD sizeHigh = 0;
  const DWORD sizeLow = GetFileSize(file, &sizeHigh);
  if (sizeLow == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) return;
  // The record keeps the low 32 bits of the size, as the file system
  // reports it; the CRC-32 covers every byte, read piece by piece.
  record.size = sizeLow;
  record.crc32 = CrcOfOpenFile(file);
}

TGeneratedFiles::TFolderWrite TGeneratedFiles::WriteInFolder(const std::string& path, std::string_view bytes,
                                                             WrittenFileTimes& times) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return TFolderWrite::kByPath;
  const std::string name = path.substr(slash + 1);
  if (!IsSafeFileName(name)) return TFolderWrite::kByPath;
  auto [slot, added] = written_.try_emplace(path.substr(0, slash + 1));
  if (added) slot->second = std::make_unique<TFolderEntries>(ToNativePath(path.substr(0, slash)));
  if (slot->second->WriteFile(name, bytes.data(), bytes.size(), times)) return TFolderWrite::kWritten;
  const DWORD error = GetLastError();
  if (error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_NOT_FOUND) return TFolderWrite::kFailed;
  // A folder that is not there (yet, or no longer: removed and made again
  // meanwhile) is opened anew for the next file; this one goes by its path.
  written_.erase(slot);
  return TFolderWrite::kByPath;
}

bool TGeneratedFiles::WriteGeneratedFile(const std::string& path, std::string_view bytes) {
  // The previous compile's file stays whole until the new one replaces it
  // (a temporary file renamed over it), so a failed write leaves the old
  // page, not a short one. The record is made from the bytes and the times of
  // the file still open, as registering the file would make it, without
  // opening and reading it a second time.
  StopWhenAsked();
  const std::uint64_t failuresBefore = FileWriteFailureCount();
  WrittenFileTimes times;
  const TFolderWrite written = WriteInFolder(path, bytes, times);
  bool replaced = written == TFolderWrite::kWritten;
  if (written == TFolderWrite::kByPath) {
    replaced = WriteDerivedFile(path, bytes.data(), bytes.size(), times);
    if (!replaced) SetLastErrorFromErrno(errno);
  }
  if (!replaced) return KeepWhatItHolds(path, bytes, failuresBefore);
  wroteAny_ = true;
  GeneratedFileRecord& record = RecordOf(path);
  record.creationTime = times.creation;
  record.lastAccessTime = times.lastAccess;
  record.lastWriteTime = times.lastWrite;
  // The low 32 bits of the size, as registration keeps them.
  record.size = static_cast<std::uint32_t>(bytes.size());
  Crc32 crc;
  for (std::size_t done = 0; done < bytes.size(); done += kCrcChunk)
    crc.Update(bytes.data() + done, static_cast<std::uint32_t>(std::min<std::size_t>(kCrcChunk, bytes.size() - done)));
  record.crc32 = crc.Value();
  return true;
}

bool TGeneratedFiles::KeepWhatItHolds(const std::string& path, std::string_view bytes, std::uint64_t failuresBefore) {
  const std::string reason = LastErrorReason();
  if (!FileHolds(path, bytes)) {
    failedWrite_ = {path, reason};
    return false;
  }
  // Listed with its own times, which the stamp list of the compile that
  // wrote it holds; the write calls that failed on it lost nothing.
  WriteTraceLog("WriteGeneratedFile - " + path + " holds its bytes already and stays: " + reason);
  RegisterGeneratedFile(path, false);
  keptWriteFailures_ += FileWriteFailureCount() - failuresBefore;
  return true;
}

void TGeneratedFiles::StepCompileProgress() {
  StopWhenAsked();
  ++state_.compiledFiles;
  TFormStatus1* form = state_.statusForm;
  if (form == nullptr) return;
  form->pnlFileNum->SetCaption(std::to_string(state_.compiledFiles));
  form->pnlImgNum->SetCaption(std::to_string(state_.compiledImages));
  if (form->Visible()) {
    Application->ProcessMessages();
    return;
  }
  host_.SendStatusText(state_.hostStatusWindow, state_.hostStatusText);
  host_.KeepResponsive(state_.hostStatusWindow);
}

void TGeneratedFiles::StepImageProgress() {
  ++state_.compiledImages;
  StepCompileProgress();
}

void TGeneratedFiles::LoadGeneratedFileTable(const std::string& stampListPath) {
  listed_.clear();
  FreeListItems(&kept_);
  kept_.Clear();
  keptPath_.clear();
  // Without a project the host names no stamp list, and without an output
  // root no key can be placed.
  if (stampListPath.empty() || state_.outputRoot.empty() || !PathExists(stampListPath)) return;
  // The records read here serve LoadPreviousStamps as well.
  kept_.SetSorted(true);
  LoadHexRecordList(stampListPath, &kept_);
  keptPath_ = stampListPath;
  for (int i = 0; i < kept_.Count(); ++i)
    if (const auto* record = static_cast<const GeneratedFileRecord*>(kept_.Objects(i)))
      listed_.emplace_back(kept_.Strings(i), *record);
}

bool TGeneratedFiles::IsPreviousFile(const std::string& path) const {
  const std::string key = LowerCase(ExtractRelativePath(state_.outputRoot, path));
  if (index_.count(key) != 0) return false;
  return std::any_of(listed_.begin(), listed_.end(), [&](const auto& entry) { return LowerCase(entry.first) == key; });
}

void TGeneratedFiles::DeleteStaleFiles() {
  OutputTree tree(state_.outputRoot);
  for (const auto& [key, record] : listed_) {
    if (index_.count(LowerCase(key)) != 0) continue;
    const OutputTree::Place place = tree.PlaceOf(key);
    if (place.folder == nullptr) {
      WriteTraceLog("DeleteStaleFiles - '" + key + "' lies outside the output folder, not deleted");
      continue;
    }
    if (place.folder->DeleteFile(place.name)) continue;
    // The file stays, and so does its record: the next compile deletes it.
    host_.AddCompilerMessage(Format(GetUiText(kTextCannotDelete), LastErrorReason()), SpeltAsOnDisk(tree.PathOf(key)));
    RecordOf(state_.outputRoot + key) = record;
  }
  listed_.clear();
}

void TGeneratedFiles::LoadPreviousStamps(const std::string& stampListPath) {
  FreeListItems(&previous_);
  previous_.Clear();
  if (!keptPath_.empty() && keptPath_ == stampListPath) {
    previous_ = kept_;  // the records change hands
    kept_.Clear();
    keptPath_.clear();
    return;
  }
  LoadHexRecordList(stampListPath, &previous_);
}

bool TGeneratedFiles::MergeStamps(const std::string& stampListPath) {
  SortTable();
  std::optional<OutputTree> tree;
  for (int i = 0; i < previous_.Count(); ++i) {
    const auto* old = static_cast<const GeneratedFileRecord*>(previous_.Objects(i));
    int index = 0;
    if (old == nullptr || !table_.Find(previous_.Strings(i), index)) continue;
    TakePreviousTimes(table_.Strings(index), *old, *static_cast<GeneratedFileRecord*>(table_.Objects(index)), tree,
                      state_.outputRoot);
  }
  const bool saved = stampListPath.empty() || SaveHexRecordList(stampListPath, &table_);
  FreeListItems(&previous_);
  previous_.Clear();
  return saved;
}

bool TGeneratedFiles::SaveUnfinishedStampList(const std::string& stampListPath) {
  if (stampListPath.empty()) return true;
  std::optional<OutputTree> tree;
  for (const auto& [key, record] : listed_) {
    const auto found = index_.find(LowerCase(key));
    if (found == index_.end())
      RecordOf(state_.outputRoot + key) = record;
    else
      TakePreviousTimes(key, record, *found->second, tree, state_.outputRoot);
  }
  listed_.clear();
  SortTable();
  return SaveHexRecordList(stampListPath, &table_);
}

const GeneratedFileRecord* TGeneratedFiles::Find(const std::string& key) const {
  const auto found = index_.find(LowerCase(key));
  return found == index_.end() ? nullptr : found->second;
}

const GeneratedFileRecord* TGeneratedFiles::FindPrevious(const std::string& key) const {
  int index = 0;
  if (!previous_.Find(key, index)) return nullptr;
  return static_cast<const GeneratedFileRecord*>(previous_.Objects(index));
}
