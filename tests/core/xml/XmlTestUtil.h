#pragma once
// Helpers shared by the XML tests.

#include <gtest/gtest.h>

#include <string>

#include "core/XmlDocument.h"

namespace xmltest {

std::string ReadFileBytes(const std::string& path);
std::string DataPath(const std::string& name);  // tests/core/xml/data/<name>
// A fresh empty folder under the build tree for this test.
std::string TempDir();

// Parses a text; the document object keeps the error word and the line.
TmyXmlNode* ParseText(TmyXMLParser& doc, const std::string& text);

// The tree in the writer's layout (depth 0 of WriteNode).
std::string WriteText(TmyXMLParser& doc, TmyXmlNode* root);

// Every link of the tree agrees with its neighbours (parent, first and last
// child, both sibling directions, attribute owners and both directions).
::testing::AssertionResult TreeIsConsistent(const TmyXmlNode* root);

// Names of the children of a node, joined by ','.
std::string ChildNames(const TmyXmlNode* node);
// Names of the attributes, as name=value joined by ','.
std::string AttrList(const TmyXmlNode* node);

// Both trees have the same names, values, flags and attributes, in order.
::testing::AssertionResult SameTree(const TmyXmlNode* a, const TmyXmlNode* b);

}  // namespace xmltest
