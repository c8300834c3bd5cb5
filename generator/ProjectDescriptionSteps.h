#pragma once
// The steps of the project description that work on the copy alone, each on
// the copy's root (the caller owns the copy). Shared by the description's
// sources; ProjectDescription.h is the outside's view.

#include <string>
#include <vector>

class TmyXmlNode;
class TGeneratedFiles;

// Users of the first `security` element: the first `count` (absent: 10) keep
// their place, those with `pass` get the digest of name + level + the
// unscrambled password; the rest are deleted.
void DigestUsers(TmyXmlNode* root);

// The lines of the file (a system path) as far as they can be read; empty
// when it does not exist.
std::vector<std::string> ReadMacLines(const std::string& path);

// Entries of the first `autologin` element: the first `count` of its first
// child (absent: 10) get the digest of their MAC address and level (or of
// the next line of `macLines`, its text before the first comma followed by
// the character after it), lose `note`; the rest are deleted.
void DigestAutoLogins(TmyXmlNode* root, const std::vector<std::string>& macLines);

// Images of the first `images` element: those the compile did not write or
// wrote for a group kept off the panels are deleted; the others get their
// `longname` completed with the type and `time` and `size` from their record
// (the previous compile's record when the file did not change).
void StampImages(TmyXmlNode* root, const TGeneratedFiles& files);
