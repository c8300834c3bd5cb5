#pragma once
// The recovery of the saves of project files that a kill stopped, or that a
// copy of the folder caught part-way (see ProjectFileCommit.h for the save).
//
// The journal also lists what each file it replaces held (size and checksum,
// or nothing; a page set by a print of its files), so that the recovery acts
// only where the files are as a stop of one run leaves them: it finishes a
// save while each file it replaces holds what the journal lists as replaced
// or as staged, moves back only files moved aside that hold what is listed,
// and deletes a staged or moved-aside file only once the file it would
// replace holds what the journal lists. Without a journal nothing tells what
// a save wrote or replaced: a staged or moved-aside file then goes only as a
// proven copy, alike to the file of the project it was to replace (a staged
// file its target, byte for byte; a staged page set "pages\" with the same
// files and contents; a staged backup also the file it copies); else every
// file stays, since a staged one may hold the last save, and the recovery
// says what can be known of each. A copy of the folder taken while a save
// ran, or a backup of one brought back later, can hold other states, where a
// staged or moved-aside file may be the one copy of a state: then every file
// stays, the recovery says what each holds, and no save is made until they
// are sorted out. A journal of the first format,
// which did not list the replaced files, is such a case too, unless nothing
// is left beside it.
//
// Paths are system paths (see platform/win/Paths.h).

#include <string>
#include <vector>

// Finishes the saves of the project files `files` in `folder` that were
// stopped after their journal was written, undoes those stopped before, and
// removes what they staged and the temporary files that killed runs left in
// the folder, under the folder's lock. Nothing happens when no save was
// stopped. False when a leftover could not be put in place or removed, when
// it does not hold what its journal lists, when the files are in no state a
// stop of one run leaves (then every file stays), or when another run held
// the lock or a save of one of the files runs (its live mark is held); then
// `fault`, when given, says so as a message names it ("cannot replace X", or
// what each file of the save holds), and `elsewhere`, when given, is set when
// it is another run's lock or save that stopped it.
bool RecoverProjectSave(const std::string& folder, const std::vector<std::string>& files, std::string* fault = nullptr,
                        bool* elsewhere = nullptr);

// True when a staged or moved-aside file of a save of `file` in `folder` lies
// beside it without that save's journal: then which file holds the project
// as it was last saved is not known (the staged one may).
bool UnjournaledSaveLeft(const std::string& folder, const std::string& file);
