// libFuzzer target of the XML reader: any bytes are read into a tree, which
// must stay consistent; the tree is then searched, copied, written and read
// again, and the entity and code-page conversions run on the texts. Last the
// parsed tree is changed, a subtree detached, and the parts freed in an order
// that the input chooses.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/TextEncoding.h"
#include "core/XmlDocument.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Returns the depth of the tree.
int CheckTree(const TmyXmlNode* root) {
  int depth = 0;
  int maxDepth = 0;
  const TmyXmlNode* n = root;
  while (n != nullptr) {
    const TmyXmlNode* prev = nullptr;
    for (const TmyXmlNode* c = n->firstChild; c != nullptr; c = c->next) {
      Check(c->parent == n && c->prev == prev);
      prev = c;
    }
    Check(n->lastChild == prev);
    const TmyXmlAttrNode* pa = nullptr;
    for (const TmyXmlAttrNode* a = n->firstAttr; a != nullptr; a = a->next) {
      Check(a->owner == n && a->prev == pa);
      // What the writer encodes, the reader decodes back.
      Check(DecodeHtmlEntities(EncodeHtmlEntities(a->value)) == a->value);
      pa = a;
    }
    Check(n->lastAttr == pa);
    if (n->firstChild != nullptr) {
      n = n->firstChild;
      if (++depth > maxDepth) maxDepth = depth;
      continue;
    }
    while (n != root && n->next == nullptr) {
      n = n->parent;
      --depth;
    }
    n = n == root ? nullptr : n->next;
  }
  return maxDepth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // ends at its first NUL
  TmyXMLParser doc;
  doc.progress = false;
  if (!doc.LoadFromString(text.c_str())) return 0;
  std::unique_ptr<TmyXmlNode> root(doc.Parse());
  Check(root != nullptr);
  const std::uint32_t e = doc.errorWord;
  Check((e & ~0x7FEu) == 0 && (e & (e - 1)) == 0);  // at most one of the reader's bits
  Check(doc.GetLine() >= 1);
  const int depth = CheckTree(root.get());

  // Searches and copies over the whole tree.
  if (TmyXmlNode* first = root->firstChild) {
    first->FindDeep("object");
    first->FindNode(first->name, "name", true, "x");
    root->FindComment(first->name);
    TmyXmlNode copy("copy");
    copy.CopyChildren(root.get());
    copy.CopyChildrenFirstExceptSetAttr(first, "page", "1", "id");
    CheckTree(&copy);
    copy.DeleteChildrenByNameDeep(first->name);
    CheckTree(&copy);
  }

  // Written and read again. The indent grows with the depth, so a deep tree
  // is written without it to keep the text small.
  doc.indent = depth < 256;
  const std::string written = doc.WriteNode(root.get(), 0);
  TmyXMLParser again;
  again.progress = false;
  if (again.LoadFromString(written.c_str())) {
    std::unique_ptr<TmyXmlNode> back(again.Parse());
    CheckTree(back.get());
  }
  static const int kCodePages[] = {0, 1250, 1251, 1252, 1253, 1257, 65001};
  AnsiToUtf8(written, kCodePages[size % 7]);
  EscapeJsString(root->value);

  // Texts of the parsed tree are views into its arena: change some, detach a
  // subtree, and free the document before or after it.
  std::unique_ptr<TmyXmlNode> detached;
  if (TmyXmlNode* first = root->firstChild) {
    if (size % 3 != 0) {
      const std::string name(first->name);
      first->SetAttr(name, first->value);
      first->value += first->name;
      // An owned text keeps NUL bytes as part of it; a view ends at its NUL.
      const std::size_t before = first->value.size();
      first->value.append(std::string_view("\0", 1));
      Check(first->value.size() == before + 1 && first->value.back() == '\0');
      if (first->firstAttr != nullptr)
        Check(first->firstAttr->name.size() == std::strlen(first->firstAttr->name.c_str()));
      if (first->firstAttr != nullptr) first->DeleteAttr(std::string(first->firstAttr->name));
    }
    if (TmyXmlNode* inner = first->firstChild) {
      inner->Unlink();
      detached.reset(inner);
    }
    CheckTree(root.get());
  }
  if (size % 2 == 0) root.reset();
  if (detached != nullptr) {
    const std::string before = doc.WriteNode(detached.get(), 1);
    CheckTree(detached.get());
    detached->CopyChildren(detached.get());
    Check(before.size() <= doc.WriteNode(detached.get(), 1).size());
  }
  root.reset();
  return 0;
}
