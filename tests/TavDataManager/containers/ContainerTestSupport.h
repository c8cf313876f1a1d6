// Element types and checks shared by the container tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TavDataManager/containers/KvContainers.h"

namespace kvtest {

// An element whose order and equality look at `key` only, while `tag` tells equal elements apart, so
// that stability and the exact element a search lands on can be seen.
struct Item {
  int key = 0;
  int tag = 0;

  Item() = default;
  Item(int k, int t = 0) : key(k), tag(t) {}
  bool operator==(const Item& o) const { return key == o.key; }
  bool operator<(const Item& o) const { return key < o.key; }
  bool operator>(const Item& o) const { return key > o.key; }
  bool operator<=(const Item& o) const { return key <= o.key; }
  bool operator>=(const Item& o) const { return key >= o.key; }
};

inline bool Same(const Item& a, const Item& b) { return a.key == b.key && a.tag == b.tag; }

inline std::string Show(const std::vector<Item>& items) {
  std::string s;
  for (const Item& i : items) s += std::to_string(i.key) + "/" + std::to_string(i.tag) + " ";
  return s;
}

// Elements in order through GetFirst/GetNext.
template <class T>
std::vector<T> Forward(const KvDynArrayBase<T>& c) {
  std::vector<T> out;
  for (const T* p = c.GetFirst(); p != nullptr; p = c.GetNext(p)) out.push_back(*p);
  return out;
}

// Elements in order through GetLast/GetPre (then reversed).
template <class T>
std::vector<T> Backward(const KvDynArrayBase<T>& c) {
  std::vector<T> out;
  for (const T* p = c.GetLast(); p != nullptr; p = c.GetPre(p)) out.insert(out.begin(), *p);
  return out;
}

// Elements through GetAt(i), the positional access of each container.
template <class T>
std::vector<T> Positional(const KvDynArrayBase<T>& c) {
  std::vector<T> out;
  for (long i = 0; i < c.GetLength(); ++i) {
    const T* p = c.GetAt(i);
    if (p == nullptr) break;
    out.push_back(*p);
  }
  return out;
}

inline std::vector<int> Ints(const KvDynArrayBase<int>& c) { return Forward(c); }

// Counts live objects, so that ownership mistakes (leaks, double deletes) show.
struct Tracked {
  static inline int live = 0;
  int key = 0;
  Tracked() { ++live; }
  explicit Tracked(int k) : key(k) { ++live; }
  Tracked(const Tracked& o) : key(o.key) { ++live; }
  Tracked& operator=(const Tracked& o) = default;
  ~Tracked() { --live; }
  bool operator==(const Tracked& o) const { return key == o.key; }
  bool operator<(const Tracked& o) const { return key < o.key; }
  bool operator>(const Tracked& o) const { return key > o.key; }
  bool operator<=(const Tracked& o) const { return key <= o.key; }
  bool operator>=(const Tracked& o) const { return key >= o.key; }
};

}  // namespace kvtest
