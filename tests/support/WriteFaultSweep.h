#pragma once
// The write-fault sweep of a command that writes the user's files: the
// command runs once with a budget it cannot use up, which records the size
// of each write call; then it runs again from the same files with the budget
// set in the middle of every one of those calls, so that each run stops in
// another write, and every file the command writes is hit.
// After each run the user's files are compared, file for file, with their
// state before the command and after its clean run.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win/WriteFault.h"
#include "tests/support/FileTree.h"

namespace writefault {

// The sizes of the write calls of one run of the command.
inline std::vector<std::size_t> RecordWrites(const std::function<void()>& command) {
  std::vector<std::size_t> sizes;
  SetFileWriteRecorderForTests(&sizes);
  {
    const FileWriteBudgetScope plenty(std::int64_t{1} << 50);
    command();
  }
  SetFileWriteRecorderForTests(nullptr);
  return sizes;
}

// The budgets that stop a run in the middle of each call (at the start of a
// call of one byte), and before its first byte, in increasing order.
inline std::vector<std::int64_t> Budgets(const std::vector<std::size_t>& sizes) {
  std::set<std::int64_t> budgets{0};
  std::int64_t offset = 0;
  for (std::size_t size : sizes) {
    budgets.insert(offset + static_cast<std::int64_t>(size / 2));
    offset += static_cast<std::int64_t>(size);
  }
  return {budgets.begin(), budgets.end()};
}

// Relative path ('/' between names) to content, of the files below `folder`
// that `keep` accepts. The times a run stamps (the page change stamps, the
// save and compile times) read '#', so that two runs compare equal.
using TFiles = std::map<std::string, std::string>;

inline std::string MaskTimes(std::string text) {
  for (const char* key : {"ucid=\"", "ucidtb=\"", "ucidtf=\"", "SaveTD=", "CompileTD="}) {
    const std::string mark(key);
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
      std::size_t end = at + mark.size();
      while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) != 0 || text[end] == '-')) ++end;
      text.replace(at + mark.size(), end - at - mark.size(), "#");
    }
  }
  return text;
}

inline TFiles Snapshot(const std::filesystem::path& folder, const std::function<bool(const std::string&)>& keep) {
  TFiles files;
  for (auto& [name, text] : testsupport::ReadFileTree(folder))
    if (keep(name)) files[name] = MaskTimes(std::move(text));
  return files;
}

// The files of `now` (or missing from it) that hold neither their state of
// `before` nor that of `after`; empty when every file holds one of them.
inline std::vector<std::string> MixedFiles(const TFiles& before, const TFiles& after, const TFiles& now) {
  std::set<std::string> names;
  for (const TFiles* files : {&before, &after, &now})
    for (const auto& [name, text] : *files) names.insert(name);
  const auto state = [](const TFiles& files, const std::string& name) {
    const auto it = files.find(name);
    return it == files.end() ? std::string("(absent)") : it->second;
  };
  std::vector<std::string> mixed;
  for (const std::string& name : names) {
    const std::string content = state(now, name);
    if (content != state(before, name) && content != state(after, name)) mixed.push_back(name);
  }
  return mixed;
}

// The user's files below a project's "Tarnwell" folder: not the compile's
// own lists (the stamp list and the variables document).
inline bool IsUserFile(const std::string& name) { return !name.ends_with("_var.xml") && !name.ends_with(".txt"); }

// A command and what comes around it.
struct TSweepSteps {
  std::function<void()> put;      // lays the files the command starts from
  std::function<void()> prepare;  // what the user does before the command
  std::function<void()> act;      // the command
  std::function<void()> clean;    // after the run without a budget
  // After each run that the budget stopped, with the run's name for messages.
  std::function<void(const std::string& run)> check;
  std::function<void()> finish;  // after each run, the clean one too
};

// The sweep of the files below `folder` that `keep` accepts: the clean run
// must change them, and each stopped run leave each of them old or new.
inline void Sweep(const std::filesystem::path& folder, const std::function<bool(const std::string&)>& keep,
                  const TSweepSteps& steps) {
  steps.put();
  const TFiles before = Snapshot(folder, keep);
  steps.prepare();
  const std::vector<std::size_t> writes = RecordWrites(steps.act);
  const TFiles after = Snapshot(folder, keep);
  steps.clean();
  steps.finish();
  ASSERT_NE(before, after);
  const std::vector<std::int64_t> budgets = Budgets(writes);
  for (std::int64_t budget : budgets) {
    const std::string run = "budget " + std::to_string(budget) + " of " + std::to_string(budgets.back());
    steps.put();
    steps.prepare();
    {
      const FileWriteBudgetScope diskFull(budget);
      steps.act();
    }
    EXPECT_EQ(MixedFiles(before, after, Snapshot(folder, keep)), std::vector<std::string>{}) << run;
    steps.check(run);
    steps.finish();
  }
}

}  // namespace writefault
