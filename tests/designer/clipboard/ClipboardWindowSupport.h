#pragma once
// A designer window on a host project in a temporary folder, for the
// clipboard and command tests: the project's file and pictures are written
// first, the window is opened as the plug-in frame opens it, and the tests
// drive it through the input driver. The clipboard, the message boxes and the
// shell's open requests are emptied around each test.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "designer/FormDesign1.h"
#include "tests/support/TempFolder.h"

class TTreeNode;

namespace cliptest {

// A picture file of one colour (PNG).
std::string SolidPng(int width, int height, unsigned colour);

class ClipboardWindow : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "Tarnwell/Proj.xml" and the pictures into the folder and opens a
  // designer on it (the one before is closed first).
  TFormDesign1& Open(testsupport::TempFolder& folder, const std::string& project,
                     const std::map<std::string, std::string>& pictures = {});

  TTreeNode* Node(const std::string& text) const;
  void ClickNode(TTreeNode* node);
  // Right-clicks the node and chooses an item of the tree's menu.
  void ChooseFromTreeMenu(TTreeNode* node, const std::string& caption);
  std::vector<std::string> TreeTexts() const;
  TGridWebElement* ObjectByCaption(const std::string& caption) const;
  // The captions of the page objects, back to front.
  std::string ZOrder() const;
  // "caption x,y" of each page object, back to front.
  std::vector<std::string> Dump() const;
  // The project document as the writer writes it.
  std::string DocumentText() const;
  // The surface as a PNG under the build folder.
  void SaveSurfacePng(const std::string& name) const;

  testsupport::TempFolder folderA{"clipA"};
  testsupport::TempFolder folderB{"clipB"};
  std::unique_ptr<TFormDesign1> designer;
};

}  // namespace cliptest
