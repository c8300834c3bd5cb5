#pragma once
// The common frame of the per-object writers: what a writer receives, the
// binding of a variable with its data entry, element numbers, the style
// pieces, the user-level wrapping, titles and script lines, and the table of
// the fourteen writers in their fixed order.

#include <cstdint>
#include <string>
#include <string_view>

#include "generator/PageState.h"
#include "generator/WebVariables.h"
#include "grid/PinVariable.h"

class TmyXmlNode;

// One object handed to the writers.
struct TObjectWriter {
  TPageState& page;
  TmyXmlNode* object;  // the `object` element
  TmyXmlNode* kind;    // its kind child
  TmyXmlNode* parent;  // where the markup goes: the page area or an `xsl:if`
  const TObjectData& data;
  int zIndex = 0;
};

// Runs the fourteen writers in their order; exactly the one whose keyword
// equals the kind element's name (case-sensitive) writes.
void RunObjectWriters(TObjectWriter& writer);
// The keywords in the writers' order.
const char* const* ObjectWriterKeywords();
inline constexpr int kObjectWriterCount = 14;

// --- data entries -------------------------------------------------------------------

// Appends an `INPUT` (or `DATA`) entry to the data page and the page's list.
// `hostName` is the name the host's IEC manager knows the variable by (the
// DATA entry's `ML` asks its size).
void AddDataEntry(TPageState& page, TmyXmlNode* parent, bool data, const std::string& variable,
                  const std::string& identifier, const std::string& hostName);

// The first blank of an identifier as "&#32;" (UTF-8 projects).
std::string EscapeFirstBlank(const std::string& identifier);

// --- binding a variable ---------------------------------------------------------------

struct TBinding {
  std::string variable;    // placeholders expanded
  std::string identifier;  // "" when the variable is unknown
  TPinVariable info;
  int dataIndex = -1;
  bool isNew = false;
  int element = 0;  // the element number once bound
};

enum class TBindResult {
  kBound,    // element number taken, data entry made when new
  kMissing,  // no identifier: reported, error bit 1
  kTooMany,  // the page's variable limit: error bit 4
};

struct TBindOptions {
  bool decodeEntities = false;  // the string image and the image kinds
  int kindCaptionId = 0;        // string id of the kind's caption for reports
  bool limitCheck = true;       // the iframe binds without it
};

// Steps 1 to 6 of binding `variable` of the kind element; `format` is the
// display format that the identifier's suffix takes (the edit field's).
TBindResult BindVariable(TObjectWriter& writer, TBinding& binding, const TBindOptions& options,
                         const TIdentifierFormat& format = {});

// The value of the node's attribute as a view, "" when it has none; valid
// until that attribute is changed or deleted.
std::string_view AttrView(const TmyXmlNode* node, std::string_view name);

// The next element number of the page.
int NextElement(TPageState& page);

// A colour number as six uppercase hexadecimal digits, unchanged.
std::string Hex6(std::uint32_t colour);
// A text as a JSON string (quotes and backslashes escaped).
std::string JsonString(const std::string& text);

// --- style pieces ---------------------------------------------------------------------

enum TStylePiece : std::uint32_t {
  kStylePosition = 1u << 0,
  kStyleFontSize = 1u << 1,
  kStyleColor = 1u << 2,
  kStyleBackground = 1u << 3,        // " background: none;" or the colour
  kStyleBackgroundColour = 1u << 4,  // only the colour, when not transparent
  kStyleFontStyle = 1u << 5,         // italic and bold
  kStyleBorderNone = 1u << 6,        // when the kind's `border` is not "true"
  kStyleHidden = 1u << 7,            // " visibility: hidden;" in hidden mode
  kStyleDisplayNone = 1u << 8,       // " display: none;" in hidden mode
};

// The pieces asked for, in their fixed order; appended to `style` by the second.
std::string StylePieces(const TObjectWriter& writer, std::uint32_t pieces);
void AppendStylePieces(std::string& style, const TObjectWriter& writer, std::uint32_t pieces);
// "position: absolute; top: %ipx; left: %ipx; z-index: %i;"
std::string PositionStyle(const TObjectWriter& writer);

// --- user level and script ---------------------------------------------------------------

// A new `xsl:if` under the parent: "%i <= ACCESS/@USER_LEVEL" for the live
// form, "%i > ACCESS/@USER_LEVEL" for the other.
TmyXmlNode* AddLevelIf(TmyXmlNode* parent, int level, bool live);

// The object's first script line, "var Input%i = document.getElementById('INPUT%i');".
void AddFirstScriptLine(TObjectWriter& writer, int element);

// The `format` attribute of the kind element from the identifier.
void SetFormatAttribute(TmyXmlNode* kind, const std::string& identifier);
