#pragma once
// Signs in a host project's web output that an earlier web project asked for
// logins there: a password file "PSW.TXT" that names a user or an API user
// with a level, or a device that logs in automatically, or a data page whose
// `PAGE_LEVEL` is above 0. A compile of a project that is not that earlier
// one (its file was lost) would write a password file without those users and
// leave the earlier pages to anyone, so the compile looks for them first.

#include <string>
#include <vector>

class TCompileHost;
class TGeneratedFiles;
class TmyXmlNode;

// The first file under `sendRoot` (the output folder that holds "PSW.TXT" and
// "WWW\", ending with a backslash; the pages in every folder below "WWW\")
// that shows such a sign; empty when none does. A password file that is there but cannot be read counts as a sign:
// the web server lets nobody in with it.
std::string FindEarlierLoginSign(const std::string& sendRoot);

// What a compile that writes the password file into `sendRoot` owns: the
// files the stamp list `stampList` names (the last compile's), the data pages
// the project `web` compiles (each `page` of a `group` that goes to the web,
// and "INDEX.XML" for its start page) and the files of the import folder
// `importFolder` (ending with a backslash), which it copies.
struct TLoginOutput {
  std::string sendRoot;
  std::string stampList;
  std::string importFolder;
  TmyXmlNode* web = nullptr;
};

// The data pages of the import folder `importFolder` (ending with a
// backslash), in its sub-folders too, that ask for a level, by their paths
// relative to it ("SECRET.XML", "sub\DEEP.XML"): every compile copies them
// into the output, where a password file without users leaves them to anyone.
// Entries beginning with "." are skipped, as the copy skips them.
std::vector<std::string> FindImportedLevelPages(const std::string& importFolder);
// The pages as a message names them: the first ten, then an ellipsis.
std::string LevelPageList(const std::vector<std::string>& pages);

// The data pages anywhere below "WWW\" that ask for a level and that the
// compile does not own, by their paths relative to it ("DIAG.XML",
// "NOTIFY\ALARM.XML", "sub\SECRET.XML"): an earlier project, whose web
// project or records were lost, left them there. Only the pages not owned are
// read.
std::vector<std::string> FindUnownedLevelPages(const TLoginOutput& output);
// Why such a compile may not run (UI text 7424, with the output folder, the
// pages and the way on); empty when no such page is there.
std::string UnownedLevelPagesRefusal(const TLoginOutput& output);
// The data pages with a level that the stamp list names but that the compile
// does not write again: neither the project compiles them nor the import
// folder holds them (the project lost them since its last compile). A whole
// compile deletes them at its end; a failed one, one of XML files alone and
// the build's driver would leave them beside the new password file.
std::vector<std::string> FindStaleLevelPages(const TLoginOutput& output);
// Deletes those pages before the compile writes its password file and says
// which (a host message, UI text 7425). A page that is there but cannot be
// deleted is reported as a file not written (TGeneratedFiles) and named with
// the reason in a message of its own (UI text 7520), not among the deleted
// ones; false then, and the caller keeps the old password file. Nothing
// without a project.
bool RemoveStaleLevelPages(const TLoginOutput& output, TCompileHost& host, TGeneratedFiles& files);
