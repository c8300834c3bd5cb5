#pragma once
// TScrollExtent: the farthest right and bottom edges of a set of children,
// kept as each child comes, moves or goes, so that a scroll box reads its
// range without walking its children. Each change costs O(log n) in the
// number of children; reading the extent costs O(1).

#include <map>
#include <unordered_map>

class TControl;

class TScrollExtent {
 public:
  // Counts the child with these edges (replacing what it had).
  void Set(const TControl* child, long long right, long long bottom);
  // Forgets the child (nothing when it is not counted).
  void Erase(const TControl* child);
  // The largest edges of the counted children; 0 when none is counted.
  long long Right() const { return rights_.empty() ? 0 : rights_.rbegin()->first; }
  long long Bottom() const { return bottoms_.empty() ? 0 : bottoms_.rbegin()->first; }

 private:
  struct TEdges {
    long long right;
    long long bottom;
  };
  // Each edge with the number of children that reach it.
  using TEdgeCounts = std::map<long long, int>;
  static void Add(TEdgeCounts& counts, long long edge);
  static void Drop(TEdgeCounts& counts, long long edge);

  std::unordered_map<const TControl*, TEdges> children_;
  TEdgeCounts rights_;
  TEdgeCounts bottoms_;
};
