// The document model: lists, attributes, searches, moves, deletions, copies.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/XmlConvertError.h"
#include "core/XmlNode.h"
#include "tests/core/xml/XmlTestUtil.h"

using xmltest::AttrList;
using xmltest::ChildNames;
using xmltest::TreeIsConsistent;

namespace {

// root
//   web
//     group name=g1
//       page name=p1 (object, object id=2)
//       page name=p2 (object id=3)
//     group name=g2
//       page name=p3
//   tail
struct Sample {
  std::unique_ptr<TmyXmlNode> root = std::make_unique<TmyXmlNode>("Wrapper");
  TmyXmlNode *web, *g1, *p1, *o1, *o2, *p2, *o3, *g2, *p3, *tail;
  Sample() {
    web = root->AddChild("web");
    g1 = web->AddChild("group");
    g1->SetAttr("name", "g1");
    p1 = g1->AddChild("page");
    p1->SetAttr("name", "p1");
    o1 = p1->AddChild("object");
    o2 = p1->AddChild("object");
    o2->SetAttr("id", "2");
    p2 = g1->AddChild("page");
    p2->SetAttr("name", "p2");
    o3 = p2->AddChild("object");
    o3->SetAttr("id", "3");
    g2 = web->AddChild("group");
    g2->SetAttr("name", "g2");
    p3 = g2->AddChild("page");
    p3->SetAttr("name", "p3");
    tail = root->AddChild("tail");
  }
};

TEST(XmlNode, ConstructionAppendsAndDestructionUnlinks) {
  TmyXmlNode root("r");
  EXPECT_EQ(root.line, -1);
  EXPECT_FALSE(root.closed || root.instruction || root.comment);
  auto* a = new TmyXmlNode("a", &root);
  auto* b = new TmyXmlNode("b", &root);
  auto* c = new TmyXmlNode("c", &root);
  auto* d = new TmyXmlNode("d", &root);
  EXPECT_EQ(ChildNames(&root), "a,b,c,d");
  delete b;  // middle
  EXPECT_EQ(ChildNames(&root), "a,c,d");
  EXPECT_TRUE(TreeIsConsistent(&root));
  delete a;  // first
  EXPECT_EQ(root.firstChild, c);
  EXPECT_EQ(c->prev, nullptr);
  delete d;  // last
  EXPECT_EQ(root.lastChild, c);
  EXPECT_EQ(c->next, nullptr);
  delete c;  // only
  EXPECT_EQ(root.firstChild, nullptr);
  EXPECT_EQ(root.lastChild, nullptr);
  EXPECT_EQ(root.ChildCount(), 0);
}

TEST(XmlNode, CreatingNodes) {
  TmyXmlNode root("r");
  TmyXmlNode* b = root.AddChild("b");
  root.InsertFirstChild("a");
  TmyXmlNode* c = b->InsertAfter("c");  // b was last: appended
  b->InsertAfter("b2");
  EXPECT_EQ(ChildNames(&root), "a,b,b2,c");
  EXPECT_EQ(root.lastChild, c);
  EXPECT_EQ(root.InsertAfter("x"), nullptr);  // no parent: nothing made
  EXPECT_EQ(root.ChildCount(), 4);
  TmyXmlNode empty("e");
  empty.InsertFirstChild("only");
  EXPECT_EQ(ChildNames(&empty), "only");
  EXPECT_TRUE(TreeIsConsistent(&root));
  EXPECT_TRUE(TreeIsConsistent(&empty));
}

TEST(XmlNode, FindOrAddChild) {
  TmyXmlNode root("r");
  TmyXmlNode* a = root.FindOrAddChild("lang", "id", "1");
  EXPECT_EQ(AttrList(a), "id=1");
  EXPECT_EQ(root.FindOrAddChild("lang", "id", "1"), a);
  TmyXmlNode* b = root.FindOrAddChild("lang", "id", "2");
  EXPECT_NE(a, b);
  EXPECT_EQ(root.ChildCount(), 2);
}

TEST(XmlNodeAttr, SetUpdateAppendAndDelete) {
  TmyXmlNode n("n");
  n.SetAttr("a", "1");
  n.SetAttr("b", "2");
  n.SetAttr("a", "3");  // in place
  EXPECT_EQ(AttrList(&n), "a=3,b=2");
  n.UpdateAttr("c", "4");
  n.UpdateAttr("b", "5");
  EXPECT_EQ(AttrList(&n), "a=3,b=5,c=4");
  n.AppendAttr("a", "6");  // no look-up
  EXPECT_EQ(AttrList(&n), "a=3,b=5,c=4,a=6");
  EXPECT_EQ(n.GetAttr("a"), "3");
  EXPECT_TRUE(n.DeleteAttr("a"));  // the first one
  EXPECT_EQ(AttrList(&n), "b=5,c=4,a=6");
  EXPECT_FALSE(n.DeleteAttr("zz"));
  EXPECT_TRUE(n.SetAttrIfExists("c", "7"));
  EXPECT_FALSE(n.SetAttrIfExists("d", "8"));
  EXPECT_EQ(AttrList(&n), "b=5,c=7,a=6");
  EXPECT_EQ(n.FindAttr("C"), nullptr);  // names are case-sensitive
  n.DeleteAllAttrs();
  EXPECT_EQ(n.firstAttr, nullptr);
  EXPECT_EQ(n.lastAttr, nullptr);
}

TEST(XmlNodeAttr, InsertFirstAttrKeepsSameNamedOnes) {
  TmyXmlNode n("n");
  n.SetAttr("a", "old");
  n.SetAttr("b", "x");
  TmyXmlAttrNode* fresh = n.InsertFirstAttr("a", "new");
  EXPECT_EQ(AttrList(&n), "a=new,a=old,b=x");
  EXPECT_EQ(fresh->owner, &n);
  EXPECT_EQ(n.GetAttr("a"), "new");
  delete fresh;
  EXPECT_EQ(AttrList(&n), "a=old,b=x");
  EXPECT_EQ(n.firstAttr->name, "a");
  EXPECT_EQ(n.firstAttr->prev, nullptr);
  EXPECT_TRUE(TreeIsConsistent(&n));
  TmyXmlNode empty("e");
  empty.InsertFirstAttr("only", "1");
  EXPECT_EQ(AttrList(&empty), "only=1");
  EXPECT_EQ(empty.firstAttr, empty.lastAttr);
}

TEST(XmlNodeAttr, DestroyingAttributesKeepsTheList) {
  TmyXmlNode n("n");
  TmyXmlAttrNode* a = n.SetAttr("a", "1");
  TmyXmlAttrNode* b = n.SetAttr("b", "2");
  TmyXmlAttrNode* c = n.SetAttr("c", "3");
  delete b;
  EXPECT_EQ(AttrList(&n), "a=1,c=3");
  EXPECT_TRUE(TreeIsConsistent(&n));
  delete c;
  EXPECT_EQ(n.lastAttr, a);
  delete a;
  EXPECT_EQ(n.firstAttr, nullptr);
  EXPECT_EQ(n.lastAttr, nullptr);
}

TEST(XmlNodeAttr, Readers) {
  TmyXmlNode n("n");
  n.SetAttr("empty", "");
  n.SetAttr("text", "abc");
  n.SetAttr("num", "-42");
  n.SetAttr("plus", "+7");
  n.SetAttr("big", "2147483648");
  n.SetAttr("min", "-2147483648");
  n.SetAttr("partial", "12ab");
  n.SetAttr("hexUpper", "1F");
  n.SetAttr("hexLower", "1f");
  n.SetAttr("hexPrefixed", " 0xFF");
  n.SetAttr("hexTail", "7Fzz");

  // GetAttrDef: absent, present but empty, present with text.
  EXPECT_EQ(n.GetAttrDef("absent", "dflt"), "dflt");
  EXPECT_EQ(n.GetAttrDef("empty", "dflt"), "dflt");
  EXPECT_EQ(n.GetAttrDef("text", "dflt"), "abc");
  EXPECT_EQ(n.GetAttr("absent"), "");

  EXPECT_EQ(n.GetAttrInt("num", 5), -42);
  EXPECT_EQ(n.GetAttrInt("plus", 5), 7);
  EXPECT_EQ(n.GetAttrInt("min", 5), INT32_MIN);
  EXPECT_EQ(n.GetAttrInt("text", 5), 5);  // letters
  EXPECT_EQ(n.GetAttrInt("empty", 5), 5);
  EXPECT_EQ(n.GetAttrInt("big", 5), 5);  // out of range
  EXPECT_EQ(n.GetAttrInt("partial", 5), 5);
  EXPECT_EQ(n.GetAttrInt("absent", 5), 5);

  EXPECT_EQ(n.GetAttrHex("hexUpper"), 31u);
  EXPECT_EQ(n.GetAttrHex("hexLower"), 31u);
  EXPECT_EQ(n.GetAttrHex("hexPrefixed"), 255u);
  EXPECT_EQ(n.GetAttrHex("hexTail"), 127u);
  EXPECT_EQ(n.GetAttrHex("absent"), 0u);
  EXPECT_EQ(n.GetAttrHex("text"), 0xABCu);  // "abc" are hexadecimal digits
  EXPECT_EQ(n.GetAttrHex("empty"), 0u);
  EXPECT_EQ(n.GetAttrHex("absent", 9u), 9u);

  std::int32_t out = 99;
  EXPECT_FALSE(n.GetAttrIntStrict("absent", out));
  EXPECT_EQ(out, 99);
  EXPECT_TRUE(n.GetAttrIntStrict("num", out));
  EXPECT_EQ(out, -42);
  EXPECT_THROW(n.GetAttrIntStrict("text", out), EConvertError);
  EXPECT_THROW(n.GetAttrIntStrict("empty", out), EConvertError);
  EXPECT_EQ(out, -42);
}

TEST(XmlNodeAttr, FindAttrsTakesTheFirstOfEachNameInOnePass) {
  TmyXmlNode n("n");
  n.AppendAttr("b", "1");
  n.AppendAttr("a", "x");
  n.AppendAttr("b", "2");
  constexpr std::string_view kNames[] = {"a", "b", "c"};
  const TmyXmlAttrNode* found[3];
  n.FindAttrs(kNames, found);
  EXPECT_EQ(found[0], n.FindAttr("a"));
  EXPECT_EQ(found[1], n.FindAttr("b"));
  EXPECT_EQ(found[2], nullptr);
  EXPECT_EQ(TmyXmlNode::AttrInt(found[1], 5), 1);
  EXPECT_EQ(TmyXmlNode::AttrInt(found[0], 5), 5);
  EXPECT_EQ(TmyXmlNode::AttrInt(found[2], 5), 5);

  // Names that share a first letter, and more names than a prepared table
  // holds (70: compared one by one).
  n.AppendAttr("ab", "3");
  n.AppendAttr("!", "4");
  std::vector<std::string> many{"ab", "b", "!", "a"};
  for (int i = 0; i < 66; ++i) many.push_back("z" + std::to_string(i));
  for (const std::size_t size : {std::size_t{4}, std::size_t{44}, many.size()}) {
    const std::vector<std::string_view> names(many.begin(), many.begin() + static_cast<std::ptrdiff_t>(size));
    std::vector<const TmyXmlAttrNode*> all(size);
    n.FindAttrs(names, all);
    EXPECT_EQ(TmyXmlNode::AttrInt(all[0], 0), 3) << size;
    EXPECT_EQ(TmyXmlNode::AttrInt(all[1], 0), 1) << size;
    EXPECT_EQ(TmyXmlNode::AttrInt(all[2], 0), 4) << size;
    EXPECT_EQ(all[3], n.FindAttr("a")) << size;
    EXPECT_EQ(std::count(all.begin(), all.end(), nullptr), static_cast<std::ptrdiff_t>(size) - 4) << size;
  }
}

TEST(XmlNodeAttr, IntegerSetters) {
  TmyXmlNode n("n");
  n.SetAttrInt("a", 0);
  n.SetAttrIntStr("b", -2147483647 - 1);
  n.SetAttrInt("c", 2147483647);
  n.SetAttrInt("a", -5);  // in place
  EXPECT_EQ(AttrList(&n), "a=-5,b=-2147483648,c=2147483647");
}

TEST(XmlNodeSearch, MatchRules) {
  Sample s;
  EXPECT_EQ(s.web->FindChild("group"), s.g1);
  EXPECT_EQ(s.web->FindChild("group", "name", false, "g2"), s.g2);
  EXPECT_EQ(s.web->FindChild("", "name", false, "g2"), s.g2);      // any tag
  EXPECT_EQ(s.web->FindChild("group", "", false, "g2"), nullptr);  // value without name
  EXPECT_EQ(s.web->FindChild("page"), nullptr);                    // not below without descend
  EXPECT_EQ(s.web->FindChild("page", "", true), s.p1);             // descend: document order
  EXPECT_EQ(s.web->FindChild("object", "id", true), s.o2);         // has the attribute
  EXPECT_EQ(s.web->FindChild("object", "id", true, "3"), s.o3);
  EXPECT_EQ(s.web->FindChild("GROUP"), nullptr);                 // case-sensitive
  EXPECT_EQ(s.p1->FindNode("page", "name", false, "p2"), s.p2);  // this node and following siblings
  EXPECT_EQ(s.p2->FindNode("page", "name", false, "p1"), nullptr);
  EXPECT_EQ(s.p2->FindNode("page", "name", true, "p3"), nullptr);  // never above its level
  EXPECT_EQ(s.g1->FindNode("page", "name", true, "p3"), s.p3);
  EXPECT_EQ(TmyXmlNode::FindNext(nullptr, "page"), nullptr);
  EXPECT_EQ(TmyXmlNode::FindNext(s.p2, "page"), s.p2);
  EXPECT_EQ(s.o1->FindChild("x"), nullptr);
}

TEST(XmlNodeSearch, FindChildN) {
  Sample s;
  EXPECT_EQ(s.p1->FindChildN(1, "object"), s.o1);
  EXPECT_EQ(s.p1->FindChildN(2, "object"), s.o2);
  EXPECT_EQ(s.p1->FindChildN(3, "object"), nullptr);
  EXPECT_EQ(s.p1->FindChildN(0, "object"), nullptr);
  EXPECT_EQ(s.p1->FindChildN(1, "object", "2", "id"), s.o2);  // value before name
  EXPECT_EQ(s.p1->FindChildN(1, "object", "", "id"), s.o2);
}

TEST(XmlNodeSearch, FindInTreeAndFindDeep) {
  Sample s;
  EXPECT_EQ(s.g1->FindInTree("page"), s.p1);
  EXPECT_EQ(s.p2->FindInTree("page"), s.p2);  // the node itself first
  EXPECT_EQ(s.o3->FindInTree("page"), nullptr);
  // FindDeep never matches the start, leaves the subtree and climbs to the top.
  EXPECT_EQ(s.p1->FindDeep("page"), s.p2);
  EXPECT_EQ(s.p2->FindDeep("page"), s.p3);
  EXPECT_EQ(s.p3->FindDeep("page"), nullptr);
  EXPECT_EQ(s.o3->FindDeep("tail"), s.tail);
  EXPECT_EQ(s.root->FindDeep("Wrapper"), nullptr);  // on the root: only below it
  EXPECT_EQ(s.root->FindDeep("tail"), s.tail);
  // Visiting every match by calling it again from each result.
  std::string seen;
  for (TmyXmlNode* n = s.root->FindDeep("object"); n != nullptr; n = n->FindDeep("object"))
    seen += n->GetAttrDef("id", "-");
  EXPECT_EQ(seen, "-23");
  EXPECT_EQ(s.web->FindDeepAttr("page", "name", "p3"), s.p3);
  EXPECT_EQ(s.web->FindDeepAttr("page", "", "p3"), nullptr);

  // Several tags in one walk find what a walk for each finds.
  const std::string_view tags[] = {"page", "tail", "absent", "object", ""};
  TmyXmlNode* found[5];
  for (TmyXmlNode* start : {s.root.get(), s.p1, s.p2, s.o3}) {
    start->FindChildEach(tags, found);
    for (std::size_t i = 0; i < std::size(tags); ++i) EXPECT_EQ(found[i], start->FindChild(tags[i], {}, true)) << i;
    start->FindDeepEach(tags, found);
    for (std::size_t i = 0; i < std::size(tags); ++i) EXPECT_EQ(found[i], start->FindDeep(tags[i])) << i;
  }

  TmyXmlNode* comment = s.p2->AddChild("note");
  comment->comment = true;
  EXPECT_EQ(s.root->FindComment("note"), comment);
  EXPECT_EQ(s.root->FindComment("group"), nullptr);  // elements are not comments
  EXPECT_EQ(s.p3->FindComment("note"), nullptr);     // before the start
}

TEST(XmlNodeMove, UnlinkAndReplace) {
  Sample s;
  s.o1->Unlink();
  EXPECT_EQ(ChildNames(s.p1), "object");
  EXPECT_EQ(s.p1->firstChild, s.o2);
  EXPECT_EQ(s.o1->parent, nullptr);
  std::unique_ptr<TmyXmlNode> detached(s.o1);

  auto* fresh = new TmyXmlNode("fresh");
  fresh->AddChild("kid");
  EXPECT_EQ(s.p2->ReplaceWith(fresh), s.p2);
  std::unique_ptr<TmyXmlNode> replaced(s.p2);
  EXPECT_EQ(replaced->parent, nullptr);
  EXPECT_EQ(replaced->ChildCount(), 1);  // keeps its subtree
  EXPECT_EQ(ChildNames(s.g1), "page,fresh");
  EXPECT_EQ(s.g1->lastChild, fresh);
  EXPECT_TRUE(TreeIsConsistent(s.root.get()));

  EXPECT_EQ(s.p1->ReplaceWith(nullptr), s.p1);
  EXPECT_EQ(s.p1->parent, s.g1);
  // An ancestor cannot take its descendant's place.
  EXPECT_EQ(s.o2->ReplaceWith(s.g1), s.o2);
  EXPECT_EQ(s.o2->parent, s.p1);
  EXPECT_TRUE(TreeIsConsistent(s.root.get()));

  // The first child replaced: the parent's first pointer moves.
  auto* first = new TmyXmlNode("first");
  s.g1->firstChild->ReplaceWith(first);
  std::unique_ptr<TmyXmlNode> oldFirst(s.p1);
  EXPECT_EQ(s.g1->firstChild, first);
  EXPECT_TRUE(TreeIsConsistent(s.root.get()));
}

TEST(XmlNodeMove, Swaps) {
  TmyXmlNode root("r");
  TmyXmlNode* a = root.AddChild("a");
  TmyXmlNode* b = root.AddChild("b");
  TmyXmlNode* c = root.AddChild("c");
  TmyXmlNode* d = root.AddChild("d");
  EXPECT_FALSE(a->SwapWithAdjacent(c));  // two places away
  EXPECT_EQ(ChildNames(&root), "a,b,c,d");
  EXPECT_TRUE(a->SwapSiblings(c));  // the same pair
  EXPECT_EQ(ChildNames(&root), "c,b,a,d");
  EXPECT_TRUE(c->SwapSiblings(a));
  EXPECT_EQ(ChildNames(&root), "a,b,c,d");
  EXPECT_FALSE(a->SwapWithAdjacent(nullptr));
  EXPECT_TRUE(a->SwapWithAdjacent(b));
  EXPECT_EQ(ChildNames(&root), "b,a,c,d");
  EXPECT_TRUE(d->SwapWithAdjacent(c));  // with the previous one
  EXPECT_EQ(ChildNames(&root), "b,a,d,c");
  EXPECT_TRUE(TreeIsConsistent(&root));
  EXPECT_TRUE(b->SwapSiblings(c));  // first and last
  EXPECT_EQ(ChildNames(&root), "c,a,d,b");
  EXPECT_TRUE(a->SwapSiblings(d));  // adjacent
  EXPECT_EQ(ChildNames(&root), "c,d,a,b");
  EXPECT_TRUE(c->SwapSiblings(a));  // one apart
  EXPECT_EQ(ChildNames(&root), "a,d,c,b");
  EXPECT_TRUE(TreeIsConsistent(&root));
  TmyXmlNode other("o");
  TmyXmlNode* x = other.AddChild("x");
  EXPECT_FALSE(a->SwapSiblings(x));
  EXPECT_FALSE(root.SwapSiblings(a));  // no parent
}

TEST(XmlNodeMove, MoveChildrenTo) {
  Sample s;
  TmyXmlNode target("t");
  target.AddChild("keep");
  s.p1->MoveChildrenTo(&target);
  EXPECT_EQ(ChildNames(&target), "keep,object,object");
  EXPECT_EQ(s.p1->firstChild, nullptr);
  EXPECT_EQ(s.p1->lastChild, nullptr);
  EXPECT_EQ(s.o1->parent, &target);
  EXPECT_TRUE(TreeIsConsistent(&target));
  s.g1->MoveChildrenTo(nullptr);
  EXPECT_EQ(s.g1->ChildCount(), 2);
  s.g1->MoveChildrenTo(s.p2);  // into its own subtree: nothing happens
  EXPECT_EQ(s.g1->ChildCount(), 2);
  EXPECT_TRUE(TreeIsConsistent(s.root.get()));
}

TEST(XmlNodeDelete, ByNameAttrAndDeep) {
  Sample s;
  s.p1->AddChild("label");
  s.p1->AddChild("object");
  s.p1->DeleteChildrenByName("object");  // first, middle and last children
  EXPECT_EQ(ChildNames(s.p1), "label");
  EXPECT_TRUE(TreeIsConsistent(s.root.get()));

  s.web->DeleteChildrenWithAttr("name");
  EXPECT_EQ(s.web->ChildCount(), 0);

  TmyXmlNode root("page");
  TmyXmlNode* a = root.AddChild("page");
  a->AddChild("x")->AddChild("page")->AddChild("page");
  root.AddChild("y")->AddChild("page");
  root.AddChild("page");
  root.DeleteChildrenByNameDeep("page");  // the node itself stays
  EXPECT_EQ(ChildNames(&root), "y");
  EXPECT_EQ(root.firstChild->ChildCount(), 0);
  EXPECT_TRUE(TreeIsConsistent(&root));
  root.DeleteChildren();
  EXPECT_EQ(root.firstChild, nullptr);
  EXPECT_EQ(root.lastChild, nullptr);
}

TEST(XmlNodeCopy, CopyFromAndChildren) {
  Sample s;
  s.o2->value = "text";
  s.o2->closed = true;
  TmyXmlNode target("target");
  target.SetAttr("id", "old");
  target.SetAttr("extra", "1");
  target.CopyFrom(s.o2);
  EXPECT_EQ(target.name, "target");
  EXPECT_EQ(target.value, "text");
  EXPECT_TRUE(target.closed);
  EXPECT_EQ(AttrList(&target), "id=2,extra=1");
  target.CopyFrom(nullptr);

  TmyXmlNode copy("c");
  copy.AddChild("existing");
  copy.CopyChildren(s.web);
  EXPECT_EQ(ChildNames(&copy), "existing,group,group");
  EXPECT_TRUE(xmltest::SameTree(copy.firstChild->next, s.g1));
  EXPECT_EQ(copy.firstChild->next->line, -1);

  TmyXmlNode except("e");
  except.CopyChildrenExcept(s.p1, "object");
  EXPECT_EQ(except.ChildCount(), 0);
  except.CopyChildrenExceptSetAttr(s.g1, "none", "9", "grp");
  EXPECT_EQ(ChildNames(&except), "page,page");
  EXPECT_EQ(AttrList(except.firstChild), "name=p1,grp=9");
  EXPECT_EQ(AttrList(except.firstChild->firstChild), "");  // only the top-level copies

  TmyXmlNode front("f");
  front.AddChild("last");
  front.CopyChildrenFirst(s.g1);
  EXPECT_EQ(ChildNames(&front), "page,page,last");
  EXPECT_EQ(front.firstChild->GetAttr("name"), "p1");
  front.CopyChildrenFirstExcept(s.p1, "none");
  EXPECT_EQ(ChildNames(&front), "object,object,page,page,last");
  front.CopyChildrenFirstExceptSetAttr(s.web, "group", "v", "n");
  EXPECT_EQ(front.ChildCount(), 5);
  front.CopyChildrenFirstExceptSetAttr(s.root.get(), "web", "v", "n");
  EXPECT_EQ(ChildNames(&front), "tail,object,object,page,page,last");
  EXPECT_EQ(AttrList(front.firstChild), "n=v");
  EXPECT_TRUE(TreeIsConsistent(&front));
  front.CopyChildren(nullptr);
  EXPECT_EQ(front.ChildCount(), 6);
}

TEST(XmlNodeCopy, IntoItselfAndIntoADescendant) {
  Sample s;
  s.p1->CopyChildren(s.p1);  // sees the source as it was: two copies
  EXPECT_EQ(s.p1->ChildCount(), 4);
  s.o3->CopyChildren(s.web);  // the source contains the target
  EXPECT_EQ(ChildNames(s.o3), "group,group");
  EXPECT_TRUE(TreeIsConsistent(s.root.get()));
}

TEST(XmlNode, DeepTreesNeedNoRecursion) {
  // Far deeper than a recursive walk could go on the stack.
  constexpr int kDepth = 300000;
  auto root = std::make_unique<TmyXmlNode>("root");
  TmyXmlNode* n = root.get();
  for (int i = 0; i < kDepth; ++i) {
    n = n->AddChild(i % 2 ? "a" : "b");
    n->SetAttr("i", "1");
  }
  EXPECT_EQ(root->FindChild("zz", "", true), nullptr);
  EXPECT_EQ(root->FindDeep("zz"), nullptr);
  TmyXmlNode copy("copy");
  copy.CopyChildren(root.get());
  EXPECT_TRUE(TreeIsConsistent(&copy));
  copy.DeleteChildrenByNameDeep("zz");
  root->DeleteChildrenByNameDeep("a");
  EXPECT_EQ(root->firstChild->ChildCount(), 0);
}

}  // namespace
