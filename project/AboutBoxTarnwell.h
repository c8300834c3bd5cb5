#pragma once
// TAboutBoxTarnwell: the about box: the product name, the file version, the
// interface (product) version and the copyright from the version block of
// "Tarnwell.dll" in the host program's folder.

#include <functional>
#include <string>

#include "platform/vcl/Form.h"

class TButton;
class TImage;
class TLabel;
class TPanel;

class TAboutBoxTarnwell : public TForm {
 public:
  // A value of a file's version block (file as a system path, key); empty
  // when the file or the value is missing.
  using TVersionLookup = std::function<std::string(const std::string& file, const std::string& key)>;

  TAboutBoxTarnwell(TComponent* owner, TVersionLookup lookup);

  TPanel* Panel1 = nullptr;
  TImage* ProgramIcon = nullptr;
  TLabel* lProductName = nullptr;
  TLabel* lVer = nullptr;
  TLabel* lVersion = nullptr;
  TLabel* lRoz = nullptr;
  TLabel* lRozhrani = nullptr;
  TLabel* lCopyright = nullptr;
  TButton* OKButton = nullptr;

  // Fills the labels; the flag has no effect.
  void LoadVersionInfo(const std::string& productName, int flag);
  // The file whose version block is read: the host program's folder and
  // "Tarnwell.dll".
  static std::string VersionFile();

  void Dispatch(void* message) override;

 private:
  void CreateComponents();

  TVersionLookup lookup_;
};
