// A page's markup built in an arena of its own: what a scope takes into its
// arena and what it leaves on the heap, objects and texts that outlive the
// scope or leave for a heap string, scopes within scopes, and the blocks a
// pool keeps for the next arenas. ASan and LeakSanitizer catch a node or text
// that dangles or is never freed.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "core/XmlBlockPool.h"
#include "core/XmlBuildArena.h"
#include "core/XmlDocument.h"
#include "tests/core/xml/XmlTestUtil.h"

namespace {

TEST(XmlBuildArena, ChildrenOfTheRootsComeFromTheArenaAndOutliveTheScope) {
  TmyXmlNode document("doc");
  TmyXmlNode* root = document.AddChild("cell");
  TmyXmlNode* other = document.AddChild("other");
  std::unique_ptr<TmyXmlNode> detached;
  std::string kept;
  {
    const TXmlBuildArena scope{root, nullptr};
    TmyXmlNode* child = root->AddChild("div");
    child->SetAttr("style", std::string(100, 's'));  // longer than any inline room
    child->AddChild("span")->value = "text";
    TmyXmlNode* outside = other->AddChild("p");
    EXPECT_NE(child->ArenaOrNull(), nullptr);
    EXPECT_EQ(child->ArenaOrNull(), child->firstChild->ArenaOrNull());
    EXPECT_EQ(child->firstAttr->ArenaOrNull(), child->ArenaOrNull());
    EXPECT_EQ(outside->ArenaOrNull(), nullptr);
    EXPECT_EQ(root->ArenaOrNull(), nullptr);
    // A text moved out of the arena into a heap string is a copy of its own.
    TXmlString moved(std::move(child->firstAttr->value));
    kept = moved.str();
    child->firstAttr->value = kept;
    detached.reset(child->firstChild);
    detached->Unlink();
  }
  // After the scope: the arena's objects change, move and go as any other.
  EXPECT_EQ(kept, std::string(100, 's'));
  EXPECT_EQ(root->firstChild->GetAttr("style"), kept);
  root->firstChild->SetAttr("style", "changed");
  detached->value += " and more";
  EXPECT_EQ(detached->value, "text and more");
  root->DeleteChildren();
  EXPECT_TRUE(xmltest::TreeIsConsistent(&document));
}

TEST(XmlBuildArena, AnInnerScopeTakesItsRootsAndTheOuterOneComesBack) {
  TmyXmlNode a("a");
  TmyXmlNode b("b");
  const TXmlBuildArena outer{&a};
  TmyXmlNode* first = a.AddChild("x");
  {
    const TXmlBuildArena inner{&b};
    EXPECT_EQ(a.AddChild("y")->ArenaOrNull(), nullptr);  // a is not a root of the inner scope
    EXPECT_NE(b.AddChild("z")->ArenaOrNull(), nullptr);
  }
  TmyXmlNode* after = a.AddChild("w");
  EXPECT_EQ(after->ArenaOrNull(), first->ArenaOrNull());
  EXPECT_NE(after->ArenaOrNull(), b.firstChild->ArenaOrNull());
}

// A pool keeps every block its arenas give back, more than the process's
// cache would, and gives them to the next arenas; the arenas hold it.
TEST(XmlBuildArena, APoolKeepsTheBlocksOfItsDroppedTreesForTheNext) {
  std::shared_ptr<TXmlBlockPool> pool = TXmlBlockPool::Create();
  TmyXmlNode root("root");
  const auto build = [&] {
    const TXmlBuildArena scope{pool, {&root}};
    for (int i = 0; i < 3000; ++i) root.AddChild("object")->SetAttr("caption", std::string(40, 'c'));
  };
  build();
  EXPECT_EQ(pool->Count(), 0U);
  root.DeleteChildren();
  const std::size_t kept = pool->Count();
  EXPECT_GT(kept, 2U);
  build();
  EXPECT_EQ(pool->Count(), 0U);
  // The pool goes with the last arena that holds it.
  pool.reset();
  root.DeleteChildren();
  pool = TXmlBlockPool::Create();
  build();
  root.DeleteChildren();
  EXPECT_EQ(pool->Count(), kept);
  pool->Trim();
  EXPECT_EQ(pool->Count(), 0U);
}

}  // namespace
