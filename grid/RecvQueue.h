#pragma once
// TRecvQueue: the picture download queue of the live view. String-driven
// picture objects ask for the file their PLC string names; the queue keeps
// one item per object, starts one download at a time through the download
// record that the communication-loop callback serves, serves the objects in
// turn (round robin after the item served last) and keeps a local copy of
// every file in the project's temporary folder, stamped with the PLC file's
// times so that an unchanged picture is not fetched again.
//
// Names come from PLC strings and are not trusted: a name is cut at its
// first '?' and must then be a plain relative path ('/' between components;
// no "..", ".", empty component, drive, ':' or '\'), whose local copy stays
// inside the temporary folder. A refused name is never fetched.
//
// A finished download is put in place as soon as Poll sees it, before the
// next download reuses the temporary file and the record's times; Finish then
// only reports it. Every call runs on the user-interface thread. The download record belongs
// to the callback from the moment Start publishes state 1 until the state is
// 0 or 4 again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/TransferRecords.h"

class TGridWebElement;

// True for a plain relative path of '/'-separated components: no "..", ".",
// empty component, drive, ':', '\' or control character.
bool IsPlainRelativeName(const std::string& name);

class TRecvQueue {
 public:
  struct TRQListItem {
    const TGridWebElement* owner = nullptr;
    // 0 nothing to do, 1 waiting, else a copy of the download's state.
    int state = 0;
    std::string file;
    std::string pending;
    // The finished download is in place already (see Poll).
    bool placed = false;
  };
  // The temporary folder (a system path ending in '\'); empty without a
  // project, and then nothing is fetched.
  using TTempDirSource = std::function<std::string()>;

  TRecvQueue(TRecvFile* transfer, TTempDirSource tempDir);

  void Add(const TGridWebElement* owner, const std::string& fileName);
  void Poll();
  // -1 no item; 0 nothing runs (the local copy is in place when the
  // download succeeded, or a pending name was just taken up); else the state
  // in progress.
  int Finish(const TGridWebElement* owner);
  // The local copy of the owner's current file; empty without an item or
  // for a refused name.
  std::string LocalFileOf(const TGridWebElement* owner) const;
  void Remove(const TGridWebElement* owner);

  std::string GetTempDir() const;
  int Current() const { return current_; }
  const std::vector<std::unique_ptr<TRQListItem>>& Items() const { return items_; }

  // The PLC path of a name: leading '/' skipped, "RAM/" and "SDC/" under
  // "//", everything else under "//WWW/"; cut at the first '?' (and then to
  // the 83 characters the request holds), or else to 79 characters.
  static std::string PlcPathOf(const std::string& name);
  // The local copy of a name in `folder`: the name cut at '?' and to 80
  // characters, '/' turned into '\'; empty when the name is refused (see
  // above) or the folder is empty.
  static std::string LocalNameOf(const std::string& folder, const std::string& name);

 private:
  int IndexOf(const TGridWebElement* owner) const;
  void Start(TRQListItem& item, int index);
  bool StartNextWaiting();
  void PutInPlace(const TRQListItem& item);

  std::vector<std::unique_ptr<TRQListItem>> items_;
  TRecvFile* transfer_;
  int current_ = -1;
  TTempDirSource tempDir_;
};
