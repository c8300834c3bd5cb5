#pragma once
// The variables document of a compile and the identifiers of PLC variables in
// the generated pages. ResolveWebVariable turns a variable's name, the IEC
// type and position the host knows and a page object's display format into
// the identifier the PLC's web server reads ("__S22_UINT_u"), records the
// variable in the variables document ("[project]_var.xml"), tells whether it
// moved since the previous compile, and adds its line to the public-variable
// list.

#include <cstdint>
#include <memory>
#include <string>

#include "core/XmlDocument.h"
#include "platform/vcl/StringList.h"
#include "plugin/VariableLookup.h"

struct TCompileState;
class TCompileHost;
class TmyXmlNode;

// The display format of a page object, as the identifier's suffix needs it.
struct TIdentifierFormat {
  std::string timeFormat;  // for the time types; empty: "s"
  bool left = false;
  bool zero = false;
  int precision = 0;
  int length = 0;
  int base = 0;  // 0 default, 1 signed decimal, 2 unsigned decimal, 3 hexadecimal
};

class TWebVariables {
 public:
  TWebVariables(TCompileState& state, TCompileHost& host);
  ~TWebVariables();
  TWebVariables(const TWebVariables&) = delete;
  TWebVariables& operator=(const TWebVariables&) = delete;

  // A new, empty document; the previous one is read from the file when it
  // exists and can be read (otherwise every variable counts as moved).
  void Begin(const std::string& previousDocumentPath);
  // The identifier of the variable ("" when unknown or not addressable), its
  // record in `info` when given. Sets Moved().
  std::string ResolveWebVariable(const std::string& name, const TIdentifierFormat& format,
                                 TPinVariable* info = nullptr);
  // The variable of the last ResolveWebVariable moved since the previous compile.
  bool Moved() const { return moved_; }
  // Writes the document (top element `Variables`); false when it cannot be written.
  bool Save(const std::string& path);

 private:
  TCompileState& state_;
  TCompileHost& host_;
  bool moved_ = false;
  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> document_;  // "Wrapper" with `Variables`
  std::unique_ptr<TmyXmlNode> previous_;
  TStringList entered_;
};

// The `format` attribute of an identifier: "%" and the text after its last
// "_" (the whole text when it has none).
std::string FormatOfIdentifier(const std::string& identifier);
