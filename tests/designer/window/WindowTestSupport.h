#pragma once
// Helpers of the designer window tests: a host project in a temporary folder
// that the window's host context points at, a designer made on it with the
// English UI texts, and look-ups of the tree, the surface and the document.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "designer/FormDesign1.h"
#include "tests/support/TempFolder.h"

class TTreeNode;
class TBitmap;

namespace windowtest {

std::string SourcePath(const std::string& relative);
std::string ReadBytes(const std::filesystem::path& path);

// The host as the window sees it: the project "Proj" (or another name) in a
// temporary folder; the ST constants refreshes are counted.
class TTestHost : public TDesignerHost {
 public:
  explicit TTestHost(const testsupport::TempFolder& folder, std::string name)
      : folder_(folder), name_(std::move(name)) {}
  TProjectLocation ProjectLocation() override;
  std::string UpdateStConstants(TmyXmlNode* root) override;
  std::vector<TGPanel> OperatorPanels() override { return panels; }
  ComPtr<IQendTextEditor> TextEditor() override { return ComPtr<IQendTextEditor>(textEditor); }
  int stConstantsCalls = 0;
  // The host's operator panels (none unless a test gives some).
  std::vector<TGPanel> panels;
  bool noProject = false;
  // The host's text editor (none unless a test gives one).
  IQendTextEditor* textEditor = nullptr;

 private:
  const testsupport::TempFolder& folder_;
  std::string name_;
};

// A designer on a host project in a temporary folder, with the English UI
// texts; message boxes and the driver's records are forgotten around it.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the web project's file (below "Tarnwell/").
  void PutProject(const std::string& text, const std::string& relative = "Proj.xml");
  // Copies a folder of the source tree into the web project folder.
  void CopyTree(const std::string& sourceRelative, const std::string& relative = "");
  // Makes the designer (not shown).
  TFormDesign1& MakeDesigner(const std::string& projectName = "Proj");
  // Shows it as the plug-in frame does: shown, then tree changes allowed.
  TFormDesign1& OpenDesigner(const std::string& projectName = "Proj");

  // The tree's nodes in depth-first order, as "text" with "  " per level.
  std::vector<std::string> TreeTexts() const;
  // The node of that text (depth first); fails the test when there is none.
  TTreeNode* Node(const std::string& text) const;
  // Clicks a node's label as the user would.
  void ClickNode(TTreeNode* node);
  // Clicks a tool button.
  void ClickButton(TControl* button);
  // The `web` element's writer text.
  std::string DocumentText() const;
  // Each page object of the surface as "kind X,Y WxH uid".
  std::vector<std::string> SurfaceDump() const;

  testsupport::TempFolder folder{"designwin"};
  TTestHost* host = nullptr;
  std::unique_ptr<TFormDesign1> designer;
};

}  // namespace windowtest
