#pragma once
// The trace log: one line per traced step, appended to "plugins.log" beside the
// host's executable, only when the host was started with "/USELOGFILE".
//
// Each line reads
//   dd.mm.yyyy hh:nn:ss.zzz <TAB> Tarnwell <TAB><TAB> text (ms)
// where ms counts the milliseconds since the previous line of the process (0 on
// the first). The file is opened and closed for every line, so that it can be
// read, moved or deleted while the host runs and survives a crash.

#include <string>

#include "platform/vcl/DateTime.h"

// Appends one line. True when the log is off or the line was written; false
// when the file cannot be opened or written. Callers may ignore the result.
// A null text counts as empty.
bool WriteTraceLog(const char* text);
bool WriteTraceLog(const std::string& text);

// The switch and the file, set by the module's entry code from the host's
// command line and executable folder. The path is a system path.
void SetTraceLogEnabled(bool on);
bool TraceLogEnabled();
void SetTraceLogPath(const std::string& path);
std::string TraceLogPath();

// The clock the log reads (local time as a TDateTime); null restores Now.
// Tests set a fixed clock.
using TraceLogClock = TDateTime (*)();
void SetTraceLogClock(TraceLogClock clock);

// Forgets the time of the previous line, so that the next line shows 0 as the
// first line of a process does. For tests.
void ResetTraceLogTimer();
