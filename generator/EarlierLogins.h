#pragma once
// Signs in a host project's web output that an earlier web project asked for
// logins there: a password file "PSW.TXT" that names a user or an API user
// with a level, or a device that logs in automatically, or a data page whose
// `PAGE_LEVEL` is above 0. A compile of a project that is not that earlier
// one (its file was lost) would write a password file without those users and
// leave the earlier pages to anyone, so the compile looks for them first.

#include <string>

// The first file under `sendRoot` (the output folder that holds "PSW.TXT" and
// "WWW\", ending with a backslash) that shows such a sign; empty when none
// does. A password file that is there but cannot be read counts as a sign:
// the web server lets nobody in with it.
std::string FindEarlierLoginSign(const std::string& sendRoot);
