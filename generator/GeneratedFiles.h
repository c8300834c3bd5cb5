#pragma once
// The generated-file table of one compile: every file the compile writes into
// the output tree is registered here with its times, size and CRC-32, and
// counted for the status window. At the start of a compile the files that the
// previous compile listed in the stamp list are deleted; at the end, files
// whose size and CRC-32 did not change get their previous times back, and the
// table is written as the new stamp list (core/StampList.h).
//
// Keys are paths relative to the output root (compared without regard to
// case); the password file one folder above is "..\PSW.TXT".

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/StampList.h"
#include "platform/vcl/StringList.h"
#include "platform/win/FileIo.h"

struct TCompileState;
class TCompileHost;
class TFolderEntries;

class TGeneratedFiles {
 public:
  // The table and the counters of `state` (its output root, its not-for-id
  // flag, its status window and host window) for one compile.
  TGeneratedFiles(TCompileState& state, TCompileHost& host);
  ~TGeneratedFiles();  // frees the records of every table
  TGeneratedFiles(const TGeneratedFiles&) = delete;
  TGeneratedFiles& operator=(const TGeneratedFiles&) = delete;

  // Registers a file just written (a full system path): its name becomes the
  // host status text; a file that cannot be opened is not registered.
  // `written` clear: the file is listed as this compile's, but this run did
  // not write it (a copy that failed and left the file that was there).
  void RegisterGeneratedFile(const std::string& path, bool written = true);
  // Counts one generated file / one generated image (also a file), shows the
  // counts in the status window and keeps the windows (or the host) alive.
  void StepCompileProgress();
  void StepImageProgress();

  // Writes the bytes as the file's whole new content, in place (the output
  // is derived: a compile deletes the previous one first, and a failed write
  // is reported by the caller), and registers it. A file that cannot be
  // written but holds these bytes already (one that may not be changed) stays
  // as it is, and is registered as this compile's. False, and nothing
  // registered, when it cannot be written. Counting and reporting are the
  // caller's.
  bool WriteGeneratedFile(const std::string& path, std::string_view bytes);
  // After a failed write of `path` (the last error tells why), by this table
  // or by a writer of its own: true, with the file registered as it is, when
  // it holds `bytes` already (the write calls that failed since
  // `failuresBefore`, WriteFault.h, then cost the run nothing); else false,
  // with the reason kept for ReportWriteFailure.
  bool KeepWhatItHolds(const std::string& path, std::string_view bytes, std::uint64_t failuresBefore);

  // A file or folder of the output that could not be written, copied or
  // made: a host message (UI text 7074 and the path; the system's reason in
  // parentheses after a failed WriteGeneratedFile of it), marked as a file
  // error and kept in the state's failed files. The path is shown as the file
  // system spells its folders (the pictures' folder "IMAGES", whatever
  // spelling the writer used).
  void ReportWriteFailure(const std::string& path);
  // A file of the last compile that this run had to delete (a page with a
  // level that the project dropped) and could not: a host message (UI text
  // 7522 with `reason`, the path as the file system spells its folders),
  // marked as a file error and kept in the state's undeleted files.
  void ReportDeleteFailure(const std::string& path, const std::string& reason);
  // A file of the output that could not be copied because a folder stands
  // where a file belongs (`folder`: the source, or `path` itself): a host
  // message that says so (UI texts 7077 and 7460, the source as its source),
  // then ReportWriteFailure of `path`.
  void ReportFolderInPlace(const std::string& source, const std::string& folder, const std::string& path);
  // True when the run reported the file as not written.
  bool Failed(const std::string& path) const;
  // The record that tells the file of a key as it is in the output: this
  // run's; or, once the run failed to write a file or to delete one (it
  // keeps every file of the previous compile), the previous compile's record
  // of a file it did not write and that is still there. Null when neither.
  const GeneratedFileRecord* FindInOutput(const std::string& key) const;

  // Ends the run (an exception with UI text 7440) when the program was asked
  // to stop (SIGINT, SIGTERM): called between the files a compile writes.
  static void StopWhenAsked();

  // Reads the stamp list of the previous compile: the files it names stay
  // in the output tree while this compile writes its own over them (each
  // whole before it replaces the old one, so a failed write leaves the old
  // file), and DeleteStaleFiles removes those it did not write again. Nothing
  // for an empty stamp-list path (the host names no project) or output root.
  void LoadGeneratedFileTable(const std::string& stampListPath);
  // True for a file of the previous compile that this run has not written
  // (yet): it is not a file of someone else's to keep.
  bool IsPreviousFile(const std::string& path) const;
  // Deletes from the output tree the files the previous stamp list named that
  // this run did not write. The keys come from a text file in the project
  // folder: a key whose normalised path leaves the output root (or whose
  // folder is a link that leads out of it) is skipped and traced; the one key
  // above the root is "..\PSW.TXT". A file that exists and cannot be deleted
  // is a host message (UI text 7522 with the reason, the path as the file
  // system spells its folders) and stays listed with its old record, so that
  // the next compile deletes it; the run goes on (every file of the project
  // was written).
  void DeleteStaleFiles();
  // Reads the stamp list as the previous compile's records; the records that
  // LoadGeneratedFileTable read from the same list are taken, not read again.
  void LoadPreviousStamps(const std::string& stampListPath);
  // Gives unchanged files (previous size not 0, same size and CRC-32) their
  // previous times back (on Linux the last-write time; no creation time can
  // be set), writes the table as the stamp list (not for an empty path) and
  // drops the previous records.
  bool MergeStamps(const std::string& stampListPath);

  // For a run that ended before its end (stopped, or an error), or that
  // wrote the data pages only: writes the stamp list as the files registered
  // so far (unchanged ones with their previous times, as MergeStamps) and,
  // with their old records, the files the previous list named that this run
  // did not write again, so that the next compile replaces or deletes every
  // one of them and none stays behind unlisted. True for an empty path; false
  // when the list could not be written.
  bool SaveUnfinishedStampList(const std::string& stampListPath);

  // True once this run has written (or registered as written) a file of the
  // output: until then a failed run left the output as it was.
  bool WroteAny() const { return wroteAny_; }
  // The failed write calls (WriteFault.h) of files that held their bytes
  // already and stayed: they cost the run nothing.
  std::uint64_t KeptWriteFailures() const { return keptWriteFailures_; }

  // The record of a registered file by its key; null when not registered.
  const GeneratedFileRecord* Find(const std::string& key) const;
  // The previous compile's record of a key (until MergeStamps); null when none.
  const GeneratedFileRecord* FindPrevious(const std::string& key) const;
  // The table in the stamp list's order.
  const TStringList& Table();

 private:
  // The record of a file's key (made when the table has none), its not-for-id
  // flag merged with this run's; the file name becomes the host status text.
  GeneratedFileRecord& RecordOf(const std::string& path);
  // Puts the records registered since the last sort in the stamp list's order.
  void SortTable();
  // Writes the file through its folder, opened at its first file and kept
  // open. kByPath when the folder cannot be opened or is gone: the caller then
  // writes by the path.
  enum class TFolderWrite { kWritten, kFailed, kByPath };
  TFolderWrite WriteInFolder(const std::string& path, std::string_view bytes, WrittenFileTimes& times);

  TCompileState& state_;
  TCompileHost& host_;
  // Registration appends in the order files are written and finds a key in
  // `index_` (keys in ASCII lower case: the list's own comparison),
  // so that a compile of thousands of files does not insert each one into the
  // middle of a sorted list; the table is sorted once, where it is read.
  TStringList table_;
  std::unordered_map<std::string, GeneratedFileRecord*> index_;
  TStringList previous_;
  // The records LoadGeneratedFileTable read, and their stamp list's path,
  // until LoadPreviousStamps takes them.
  TStringList kept_;
  std::string keptPath_;
  // The keys and records of the previous stamp list that
  // LoadGeneratedFileTable read, for SaveUnfinishedStampList.
  std::vector<std::pair<std::string, GeneratedFileRecord>> listed_;
  // The folders written into, by their system paths (with the trailing
  // separator): a compile writes thousands of files into a handful of them.
  std::unordered_map<std::string, std::unique_ptr<TFolderEntries>> written_;
  bool wroteAny_ = false;
  // The path and the system's reason of the last write that failed.
  std::pair<std::string, std::string> failedWrite_;
  std::uint64_t keptWriteFailures_ = 0;
};
