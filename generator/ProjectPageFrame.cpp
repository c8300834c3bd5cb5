// The page template's marks and its one-time adaptation to the project.

#include "generator/ProjectPageFrame.h"

#include <array>
#include <string>

#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ProjectSettings.h"

namespace {

constexpr const char* kTemplateMessage = "[Tarnwell] DEFAULT.XSL";

// The comment marks in the order their messages are given, and what each
// names in its message.
struct TCommentMark {
  const char* text;
  const char* missing;
};
constexpr std::array<TCommentMark, 4> kCommentMarks{{
    {"logo", "<!-- logo --> wasn't found"},
    {"title", "<!-- title --> wasn't found"},
    {"plan", "<!-- plan --> wasn't found"},
    {"bottom", "<!-- bottom --> wasn't found"},
}};

TmyXmlNode* NextOf(TmyXmlNode* node) { return node != nullptr ? node->next : nullptr; }
TmyXmlNode* FirstChildOf(TmyXmlNode* node) { return node != nullptr ? node->firstChild : nullptr; }

TmyXmlNode* AddClosedMeta(TmyXmlNode* after, const char* name) {
  TmyXmlNode* meta = after->InsertAfter("meta");
  meta->SetAttr("name", name);
  meta->SetAttr("content", "yes");
  meta->closed = true;
  return meta;
}

void AdaptForWebApplication(TCompileContext& context, TmyXmlNode* pageTemplate) {
  TmyXmlNode* viewport = pageTemplate->FindNode("meta", "name", true, "viewport");
  if (context.project.settings->webApp && viewport != nullptr) {
    AddClosedMeta(AddClosedMeta(viewport, "apple-mobile-web-app-capable"), "mobile-web-app-capable");
    return;
  }
  // The first script keeps links inside a home-screen web application.
  DeleteNode(pageTemplate->FindNode("script", {}, true));
}

void AdaptFoot(TCompileContext& context, TPageFrame& frame) {
  const TmyXmlNode* web = context.project.web;
  if (web == nullptr || web->FindAttr("foot") == nullptr || frame.footCell == nullptr) return;
  const bool borderOff = context.project.settings->borderOff;
  const std::string foot = web->GetAttr("foot");
  frame.footCell->value = foot;
  if (!foot.empty()) {
    if (borderOff) frame.footCell->SetAttr("style", "border: 0px; " + frame.footCell->GetAttr("style"));
    return;
  }
  TmyXmlNode* row = frame.footCell->parent;
  if (row == nullptr) return;
  if (borderOff) {
    DeleteNode(row);
    frame.footCell = nullptr;
  } else {
    row->SetAttr("style", "line-height: 0px; height: 0px;");
  }
}

void AdaptAuthor(TCompileContext& context, TmyXmlNode* pageTemplate) {
  const TmyXmlNode* web = context.project.web;
  if (web == nullptr || web->FindAttr("author") == nullptr) return;
  TmyXmlNode* meta = pageTemplate->FindNode("meta", "name", true, "author");
  if (meta == nullptr) {
    context.AddHostMessage(kTemplateMessage, "<meta name=\"author\" ... wasn't found");
    return;
  }
  meta->SetAttr("content", web->GetAttr("author"));
}

void AdaptLogoRow(TCompileContext& context, TPageFrame& frame) {
  if (frame.logoCell == nullptr) return;
  if (context.project.settings->titleOff) {
    // The logo cell's row holds the title cell too.
    DeleteNode(frame.logoCell->parent);
    frame.logoCell = nullptr;
    frame.titleCell = nullptr;
  } else if (context.state.menuOff) {
    DeleteNode(frame.logoCell);
    frame.logoCell = nullptr;
  }
}

}  // namespace

TPageFrame FindPageFrame(TCompileContext& context, TmyXmlNode* pageTemplate) {
  TPageFrame frame;
  frame.title = pageTemplate->FindNode("title", {}, true);
  frame.body = pageTemplate->FindNode("body", {}, true);
  if (frame.title == nullptr) context.AddHostMessage(kTemplateMessage, "<title> wasn't found");
  if (frame.body == nullptr) context.AddHostMessage(kTemplateMessage, "<body> wasn't found");
  std::array<TmyXmlNode*, kCommentMarks.size()> found{};
  for (std::size_t i = 0; i < kCommentMarks.size(); ++i) {
    found[i] = pageTemplate->FindComment(kCommentMarks[i].text);
    if (found[i] == nullptr) context.AddHostMessage(kTemplateMessage, kCommentMarks[i].missing);
  }
  frame.logoCell = NextOf(found[0]);
  frame.titleCell = FirstChildOf(NextOf(found[1]));
  frame.planCell = NextOf(found[2]);
  frame.footCell = FirstChildOf(NextOf(found[3]));
  return frame;
}

void AdaptPageFrame(TCompileContext& context, TmyXmlNode* pageTemplate, TPageFrame& frame) {
  AdaptForWebApplication(context, pageTemplate);
  AdaptFoot(context, frame);
  AdaptAuthor(context, pageTemplate);
  AdaptLogoRow(context, frame);
}
