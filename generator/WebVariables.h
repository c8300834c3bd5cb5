#pragma once
// The variables document of a compile and the identifiers of PLC variables in
// the generated pages. ResolveWebVariable turns a variable's name, the IEC
// type and position the host knows and a page object's display format into
// the identifier the PLC's web server reads ("__S22_UINT_u"), records the
// variable in the variables document ("[project]_var.xml"), tells whether it
// moved since the previous compile, and adds its line to the public-variable
// list.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/XmlDocument.h"
#include "grid/PinVariable.h"

class TStringList;

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
  // The variable is read as a whole block of bytes (a canvas's structure and
  // its buffer): an array, which has no format of its own, takes the
  // structure's "u" so that the PLC's web server can name it.
  bool whole = false;
};

class TWebVariables {
 public:
  TWebVariables(TCompileState& state, TCompileHost& host);
  ~TWebVariables();
  TWebVariables(const TWebVariables&) = delete;
  TWebVariables& operator=(const TWebVariables&) = delete;

  // Starts a compile: a new, empty document, an empty list of entered names
  // and no host answers kept; the previous document is read from the file
  // when it exists and can be read (otherwise every variable counts as moved)
  // and its `Item` elements are indexed by upper-case `Name`. Until Begin,
  // variables resolve without a document and the host is asked at every call.
  void Begin(const std::string& previousDocumentPath);
  // The identifier of the variable ("" when unknown or not addressable), its
  // record in `info` when given. Sets Moved(). A name in double quotes is a
  // literal: the text between the quotes comes back and nothing is recorded.
  std::string ResolveWebVariable(const std::string& name, const TIdentifierFormat& format,
                                 TPinVariable* info = nullptr);
  // The variable of the last ResolveWebVariable moved since the previous compile.
  bool Moved() const { return moved_; }
  // Writes the document (top element `Variables`); false when it cannot be
  // written or Begin was not called.
  bool Save(const std::string& path);

 private:
  struct Place;     // what the host answered for a variable
  struct Resolved;  // what a name as written resolved to in this compile

  Resolved& Entry(const std::string& rawName);
  bool QueryPlace(const std::string& name, Place& place);
  void Derive(Resolved& entry, const TPinVariable& answer, const Place& answered);
  void RecordItem(const Resolved& entry);
  void CheckMoved(Resolved& entry) const;
  void AddPublicLine(Resolved& entry);
  static void MakeStem(Resolved& entry);
  static std::string MakeIdentifier(const Resolved& entry, const TIdentifierFormat& format);
  bool ReadPrevious(const std::string& path);

  TCompileState& state_;
  TCompileHost& host_;
  bool moved_ = false;
  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> document_;              // "Wrapper" with `Variables`
  TmyXmlNode* variables_ = nullptr;                   // the `Variables` element of document_
  std::unique_ptr<TmyXmlNode> previous_;              // null: no previous document
  std::map<std::string, TmyXmlNode*> previousItems_;  // by upper-case `Name`
  std::unordered_set<std::string> entered_;           // the names with an item, ASCII letters folded
  // Every name as written that was resolved since Begin, with the host's last answer for it
  // and what follows from it: the cleaned name, the type and place, the item, the moved flag,
  // the identifier's stem and the public line. A compile runs on the host's thread and
  // nothing moves a PLC variable while it runs, so an answer for a name the host knows (its
  // type and its position) holds until the next compile's Begin, which clears this map with
  // the document, the entered names and the previous document the moved flag depends on;
  // such a name is not asked for again. The host is asked at every call for a name it did
  // not know or could not place (it may be declared meanwhile), and while the web variable
  // map's pass is open (the map counts every addition); while it answers as before, what
  // follows from the answer is taken from here.
  std::vector<std::unique_ptr<Resolved>> resolved_;
  // The entries by their names as written: open addressing over a power-of-two table of
  // {hash, entry number + 1} (0: free), at most half full. A compile looks its few hundred
  // names up thousands of times; a general hash map's modulo and chained nodes cost more
  // than the rest of a repeated resolve.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> slots_;
  // The public-variable lines added to publicList_ (ASCII letters folded) while it held
  // publicCount_ lines: a line the sorted list holds already is not looked up in it again.
  // publicGeneration_ counts the clearings of the set: a name whose line went into the set
  // in this generation is in it still.
  std::unordered_set<std::string> publicLines_;
  const TStringList* publicList_ = nullptr;
  int publicCount_ = 0;
  std::uint64_t publicGeneration_ = 0;
};

// The `format` attribute of an identifier: "%" and the text after its last
// "_" (the whole text when it has none).
std::string FormatOfIdentifier(const std::string& identifier);
