#pragma once
// The host's variable browser as a person sees it when the host runs on a
// screen: the host's variables in declaration order (only those of the type
// asked for, when a type is asked for), the row of the current name chosen
// (the declared variable of "Recipes[1].speed" is "Recipes"), OK and Cancel;
// a double click on a row is OK. Without a screen the browser shows nothing
// and answers what a test or the command line scripted (HostIecVariables).

#include <optional>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

class TButton;
class TLabel;
class TListBox;

class THostVariableBrowser : public TForm {
 public:
  // `names`: the variables offered; `typeName` empty for every variable.
  THostVariableBrowser(const std::vector<std::string>& names, const std::string& current, const std::string& typeName);

  std::string ClassName() const override { return "THostVariableBrowser"; }

  // The chosen row's name; none when no row is chosen.
  std::optional<std::string> Chosen() const;

  TLabel* lblType;
  TListBox* lbVariables;
  TButton* btnOk;
  TButton* btnCancel;

 private:
  void ListDblClick(TObject* sender);
};

// Shows the browser modally and answers the chosen name; none when the
// person cancels or chooses no row.
std::optional<std::string> ShowHostVariableBrowser(const std::vector<std::string>& names, const std::string& current,
                                                   const std::string& typeName);
