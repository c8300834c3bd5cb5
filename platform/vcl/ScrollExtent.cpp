#include "platform/vcl/ScrollExtent.h"

void TScrollExtent::Add(TEdgeCounts& counts, long long edge) { ++counts[edge]; }

void TScrollExtent::Drop(TEdgeCounts& counts, long long edge) {
  auto it = counts.find(edge);
  if (it != counts.end() && --it->second == 0) counts.erase(it);
}

void TScrollExtent::Set(const TControl* child, long long right, long long bottom) {
  auto [it, added] = children_.try_emplace(child, TEdges{right, bottom});
  if (!added) {
    TEdges& edges = it->second;
    // Scrolling moves every child with the position: its edges stay.
    if (edges.right == right && edges.bottom == bottom) return;
    Drop(rights_, edges.right);
    Drop(bottoms_, edges.bottom);
    edges = {right, bottom};
  }
  Add(rights_, right);
  Add(bottoms_, bottom);
}

void TScrollExtent::Erase(const TControl* child) {
  auto it = children_.find(child);
  if (it == children_.end()) return;
  Drop(rights_, it->second.right);
  Drop(bottoms_, it->second.bottom);
  children_.erase(it);
}
