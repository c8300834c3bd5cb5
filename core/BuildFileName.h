#pragma once
// TclBuildFileName: the web project's folder and the stem of its files, asked
// of the host each time the object is made, so that it always follows the
// project that is open now. Made on the stack for one operation.

#include <string>

class IQendProjectManager;

class TclBuildFileName {
 public:
  // With `direct` set: project folder := host project folder + name + "\",
  // base := host project folder + name + "\Global"; the built path stays
  // empty and no folder is created. With `direct` clear: InitFromHost.
  // A null manager leaves the object invalid.
  TclBuildFileName(IQendProjectManager* manager, const std::string& name, bool direct);
  virtual ~TclBuildFileName() = default;

  // Stores the manager and the name; asks the host for the project name n and
  // (through BuildDir, which creates the web project folder) for the project
  // folder d; valid when d is not empty; project folder := d + name + "\",
  // base := project folder + n. Any failure of the host calls leaves the
  // object invalid.
  void InitFromHost(IQendProjectManager* manager, const std::string& name);
  // The same with the manager the object holds.
  void InitFromHost(const std::string& name);

  // Asks the host for the project folder d; when d is not empty, built path :=
  // d + name + "\" and the folder d + name is created when missing. Returns
  // the built path when `returnBuilt` is set, else d; an empty d is returned
  // as it is and the built path stays.
  std::string BuildDir(bool returnBuilt);
  const std::string& GetBuiltPath() const { return builtPath_; }
  // The host project folder through the object's own manager; empty on any
  // failure.
  std::string GetDirFromHost();

  bool IsValid() const { return valid_; }
  const std::string& GetName() const { return name_; }
  const std::string& GetProjectFolder() const { return projectFolder_; }
  // The stem to which a file's extension is appended.
  const std::string& GetBase() const { return base_; }

 protected:
  IQendProjectManager* projectManager_ = nullptr;  // not owned
  std::string name_;
  std::string builtPath_;
  bool valid_ = false;
  std::string projectFolder_;
  std::string base_;
};
