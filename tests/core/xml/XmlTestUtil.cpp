#include "tests/core/xml/XmlTestUtil.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace xmltest {

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string DataPath(const std::string& name) {
  return std::string(TARNWELL_SOURCE_DIR) + "/tests/core/xml/data/" + name;
}

std::string TempDir() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = std::string(TARNWELL_BINARY_DIR) + "/test-tmp/core_xml/" + info->test_suite_name() + "." +
                    info->name() + "." + std::to_string(::getpid());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

TmyXmlNode* ParseText(TmyXMLParser& doc, const std::string& text) {
  if (!doc.LoadFromString(text.c_str())) return nullptr;
  return doc.Parse();
}

std::string WriteText(TmyXMLParser& doc, TmyXmlNode* root) { return doc.WriteNode(root, 0); }

::testing::AssertionResult TreeIsConsistent(const TmyXmlNode* root) {
  const TmyXmlNode* n = root;
  while (n != nullptr) {
    const TmyXmlNode* prev = nullptr;
    for (const TmyXmlNode* c = n->firstChild; c != nullptr; c = c->next) {
      if (c->parent != n) return ::testing::AssertionFailure() << "parent link of " << c->name;
      if (c->prev != prev) return ::testing::AssertionFailure() << "prev link of " << c->name;
      prev = c;
    }
    if (n->lastChild != prev) return ::testing::AssertionFailure() << "last child of " << n->name;
    const TmyXmlAttrNode* pa = nullptr;
    for (const TmyXmlAttrNode* a = n->firstAttr; a != nullptr; a = a->next) {
      if (a->owner != n) return ::testing::AssertionFailure() << "owner of attribute " << a->name;
      if (a->prev != pa) return ::testing::AssertionFailure() << "prev of attribute " << a->name;
      pa = a;
    }
    if (n->lastAttr != pa) return ::testing::AssertionFailure() << "last attribute of " << n->name;
    // next node in document order below root
    if (n->firstChild != nullptr) {
      n = n->firstChild;
      continue;
    }
    while (n != root && n->next == nullptr) n = n->parent;
    n = n == root ? nullptr : n->next;
  }
  return ::testing::AssertionSuccess();
}

std::string ChildNames(const TmyXmlNode* node) {
  std::string s;
  for (const TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next) {
    if (!s.empty()) s += ',';
    s += c->name;
  }
  return s;
}

std::string AttrList(const TmyXmlNode* node) {
  std::string s;
  for (const TmyXmlAttrNode* a = node->firstAttr; a != nullptr; a = a->next) {
    if (!s.empty()) s += ',';
    s += a->name + "=" + a->value;
  }
  return s;
}

::testing::AssertionResult SameTree(const TmyXmlNode* a, const TmyXmlNode* b) {
  if (a == nullptr || b == nullptr) {
    if (a == b) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "one tree is missing";
  }
  if (a->name != b->name || a->value != b->value || a->closed != b->closed || a->instruction != b->instruction ||
      a->comment != b->comment)
    return ::testing::AssertionFailure() << "node '" << a->name << "' differs from '" << b->name << "' (values '"
                                         << a->value << "' / '" << b->value << "')";
  if (AttrList(a) != AttrList(b))
    return ::testing::AssertionFailure() << "attributes of " << a->name << ": " << AttrList(a) << " / " << AttrList(b);
  const TmyXmlNode* ca = a->firstChild;
  const TmyXmlNode* cb = b->firstChild;
  for (; ca != nullptr && cb != nullptr; ca = ca->next, cb = cb->next) {
    ::testing::AssertionResult r = SameTree(ca, cb);
    if (!r) return r;
  }
  if (ca != nullptr || cb != nullptr) return ::testing::AssertionFailure() << "child count of " << a->name;
  return ::testing::AssertionSuccess();
}

}  // namespace xmltest
