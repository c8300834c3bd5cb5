#pragma once
// The `object` element of a page object and its kind element, as tables: for
// every attribute how the reader takes it into the element, and whether,
// when and with which value the writer writes it. There is one table for the
// `object` element and one for each kind, each in the order the writer writes
// the attributes. The reader takes the attributes in document order and looks
// each up in its table (a name the table does not list is ignored), so values
// take effect in the order they stand: `X` assigns and `xoff` adds.

#include <string>

class TGridWebElement;
class TmyXmlNode;

// What reading an object asks of the designer that reads it.
class TObjectReadHost {
 public:
  virtual ~TObjectReadHost() = default;
  // The file of a project picture (a system path; null for none).
  virtual const char* PictureFile(const std::string& name) const = 0;
  // The object's text `attr` in the editor's language; false when the
  // designer keeps no language texts for the object.
  virtual bool EditorLangText(const std::string& attr, std::string& text) const = 0;
  // Variable references are flattened as they are read ("/LINVAR").
  virtual bool FlattensVariableNames() const = 0;
  // The designer's Uid counter, which advances.
  virtual int TakeUid() = 0;
};

// The reading of one object: the element being filled and what the reading
// remembers between its steps.
struct TObjectReading {
  TGridWebElement* element = nullptr;
  TObjectReadHost* host = nullptr;
  // An iframe is read-only until its kind element gives it a variable.
  bool forcedReadOnly = false;
  // The kind element had a `value` attribute (a block without one is dynamic).
  bool hadValue = false;
  // The `object` element had a `Uid` attribute.
  bool hadUid = false;
  // The position in units, summed in 64 bits (the reader clamps it).
  long long posX = 0;
  long long posY = 0;
};

// The attributes of the element's kind element, by the table of its kind.
void ReadKindAttributes(TObjectReading& reading, const TmyXmlNode& kindElement);
// The attributes of the `object` element.
void ReadObjectAttributes(TObjectReading& reading, const TmyXmlNode& object);

// The `object` element's attributes, in their order.
void WriteObjectAttributes(TGridWebElement& element, TmyXmlNode& object);
// Appends the kind element with its attributes and children to the `object`
// element; nothing for an unknown kind.
void WriteKindElement(TGridWebElement& element, TmyXmlNode& object);
