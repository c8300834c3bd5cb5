#pragma once
// Texts of the plug-ins as the host shows them to its user. The host's
// interfaces carry 8-bit texts in the ANSI code page, and the plug-ins write
// their paths with '\' between names, joined to folders the host gave with
// '/'. On the terminal every such text stands in the terminal's encoding, and
// every path with one separator, the host's '/'.

#include <string>
#include <string_view>

// The encoding of the user's terminal: the character set of the locale that
// the environment names (LC_ALL, LC_CTYPE, LANG). UTF-8 when it names none,
// one that is not installed, or the plain C locale, whose ASCII would lose
// every letter beyond it.
const std::string& TerminalEncoding();

// `text` (ANSI code page) in `encoding`, with '\' shown as '/' (the plug-ins'
// texts hold it only between the names of a path); a path as the file system
// names it (UTF-8) is taken through the code page first (ShownPath). A
// character the encoding cannot show becomes '?'; an encoding iconv does not
// know gives UTF-8.
std::string ShownText(std::string_view text, const std::string& encoding = TerminalEncoding());
