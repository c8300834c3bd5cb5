#pragma once
// Page file names made from a template: literal text, pieces of the old name
// and a counter, as typed in the rename-pages dialog. Tokens in brackets:
//   [n]        the whole old name
//   [nX]       the first X characters; [n-X] the last X
//   [n,X]      the name without its first X characters; [n,-X] without its last X
//   [n,X,Y]    Y characters from the X-th (0 counts as 1); [n,-X,Y] from the
//              X-th counted from the end
//   [c,S,W,I]  a counter starting at S, at least W digits, stepping by I
//              (each 0..255, missing ones 0; a step of 0 counts as 1)
// Anything else in brackets is dropped. A '[' without a ']' after it starts
// literal text. Results have at most 8 characters: upper-case letters,
// digits, '_' and '-' (every other character becomes '_').

#include <cstdint>
#include <string>
#include <vector>

// The number of blank characters (' ') at `text`[`at`] on, plus one; `found`
// is the first other character ('\0' at the end of the text).
int SkipBlanks(const std::string& text, std::size_t at, char& found);

// Splits text into items: items are separated by commas and by blanks (a
// comma with blanks around it is one separator; two commas in a row give an
// empty item, as does a comma at the end), and an item may be quoted with
// '"' (a doubled quote inside stands for one).
std::vector<std::string> SplitCommaText(const std::string& text);

class TPageNameTemplate {
 public:
  enum TOpCode { kLiteral = 1, kName = 2, kNameEnds = 3, kNameCut = 4, kNamePart = 5, kCounter = 6 };
  struct TOperation {
    TOpCode code;
    // The literal, or the numbers packed as in the template's stored form:
    // x for kNameEnds and kNameCut, x * 256 + y for kNamePart, width * 256
    // + step for kCounter.
    std::string parameter;
  };

  // Builds the operations; a counter token sets the counter to its start
  // (without one the counter stays as it was).
  void Compile(const std::string& text);
  // The new name for an old name; the counter then advances.
  std::string Evaluate(const std::string& oldName);
  const std::vector<TOperation>& Operations() const { return operations_; }
  int Counter() const { return counter_; }

 private:
  // The token between '[' at `open` and ']' at `close` of `text`.
  void CompileToken(const std::string& text, std::size_t open, std::size_t close);
  std::vector<TOperation> operations_;
  int counter_ = 0;
};

// Splits a packed number p = high * 256 + low with low in 0..255 (high may
// be negative: floor division).
void UnpackPair(std::int64_t packed, std::int64_t& high, std::int64_t& low);
