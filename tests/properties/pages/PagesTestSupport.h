#pragma once
// Helpers of the group and page dialog tests: a project whose groups and
// pages carry given attributes, the tree's nodes, an element's attributes as
// one line, and a dialog run by double-clicking a tree node.

#include <functional>
#include <string>

#include "tests/properties/PropertiesTestSupport.h"

class TTreeNode;
class TmyXmlNode;

namespace pagetest {

// Two groups: "G" (attributes `groupAttrs`) with pages P (`pageAttrs`) and
// P2.XML; "Other" with START.XML. `webAttrs` go onto the `web` element.
std::string Project(const std::string& groupAttrs, const std::string& pageAttrs = "", const std::string& webAttrs = "",
                    const std::string& placeholders = "");

// "name=value name=value ..." in the stored order.
std::string Attrs(const TmyXmlNode* element);

class PagesTest : public proptest::PropertiesTest {
 protected:
  TTreeNode* GroupNode(int index) const;
  TTreeNode* PageNode(int group, int page) const;
  TmyXmlNode* ElementOf(TTreeNode* node) const;
  // Selects the node, double-clicks the tree with `act` answering the dialog
  // of class `formClass`; answers whether that dialog was shown.
  bool EditNode(TTreeNode* node, const std::string& formClass, std::function<int(TPropertyForm&)> act);
};

}  // namespace pagetest
