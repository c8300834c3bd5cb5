#pragma once
// The roots of the class library's object tree: TObject (every class whose
// class name or message dispatch the code asks for) and TPersistent (objects
// that copy themselves from another with Assign).

#include <string>

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The name of the object's most derived class without namespaces, for
  // example "TFormPasswords". A class may answer another name (a stand-in for
  // a class of another module, such as the host's drag object).
  virtual std::string ClassName() const;

  // Message dispatch: a class that handles messages overrides Dispatch, acts
  // on the messages it knows and passes the others to its base class's
  // Dispatch. What nobody handles reaches DefaultHandler, which does nothing
  // here. `message` points at a message record whose first member is the
  // message number (a TMessage for the controls).
  virtual void Dispatch(void* message);
  virtual void DefaultHandler(void* message);
};

class TPersistent : public TObject {
 public:
  // Copies `source` into this object. The base class knows no source and
  // throws an Exception "Cannot assign a <source class> to a <this class>".
  virtual void Assign(TPersistent* source);
};
