#pragma once
// The places of the page template that the project compiler fills for every
// page (found once per compile by the marks the template holds), and the
// one-time adaptation of the template to the project's settings.

#include <memory>

#include "core/XmlNode.h"

struct TCompileContext;

// Frees a node of a template with its subtree (it unlinks itself); null does nothing.
inline void DeleteNode(TmyXmlNode* node) { std::unique_ptr<TmyXmlNode> owned(node); }

struct TPageFrame {
  TmyXmlNode* title = nullptr;      // the `title` element of the head
  TmyXmlNode* body = nullptr;       // the `body` element
  TmyXmlNode* logoCell = nullptr;   // the node after <!--logo-->
  TmyXmlNode* titleCell = nullptr;  // the first child of the node after <!--title-->
  TmyXmlNode* planCell = nullptr;   // the node after <!--plan-->: the page content goes here
  TmyXmlNode* footCell = nullptr;   // the first child of the node after <!--bottom-->
};

// Finds the marks of the page template; each missing one gives a host message
// "[Tarnwell] DEFAULT.XSL" naming it.
TPageFrame FindPageFrame(TCompileContext& context, TmyXmlNode* pageTemplate);
// Adapts the template once: the web-application meta elements (or the removal
// of the home-screen script), the foot, the author, and the logo row.
void AdaptPageFrame(TCompileContext& context, TmyXmlNode* pageTemplate, TPageFrame& frame);
