// Helpers shared by the container templates: the stable rank sort, the scratch element that queries
// return for an index outside the container, and the binary search over an ascending range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kvdetail {

// The element a query hands back when the index or cursor lies outside the container. It is reset to a
// default value on every call, so writes through the returned reference are lost and never reach the
// container.
template <class T>
T& OutOfRangeElement() {
  static thread_local T scratch{};
  scratch = T{};
  return scratch;
}

// Stable rank sort of a[0..n): every element starts with its index as rank; for each pair i < j whose
// order is wrong (wrong(a[i], a[j]) is true) rank[i] goes up and rank[j] down. The final ranks are the
// elements' places; the elements are then permuted in place along the cycles of the rank table. Equal
// elements (pairs that are not in the wrong order either way) keep their order. O(n^2) comparisons.
template <class T, class Wrong>
void RankSort(T* a, long n, Wrong wrong) {
  if (a == nullptr || n < 2) return;
  std::vector<long> rank(static_cast<size_t>(n));
  for (long i = 0; i < n; ++i) rank[i] = i;
  for (long i = 0; i < n - 1; ++i) {
    for (long j = i + 1; j < n; ++j) {
      if (wrong(a[i], a[j])) {
        ++rank[i];
        --rank[j];
      }
    }
  }
  for (long i = 0; i < n; ++i) {
    while (rank[i] != i) {
      const long r = rank[i];
      std::swap(a[i], a[r]);
      std::swap(rank[i], rank[r]);
    }
  }
}

// Binary search of the ascending range [from, to] of a container reached through `at(i)` (a pointer to
// element i). `order(x, e)` returns <0 when x belongs before e, 0 when equal, >0 when after.
// Returns the index found or -1; `pos` receives the index found or the index where x would be inserted
// to keep the order. `length` is the container's length; `to` outside [0, length) means length - 1.
template <class Key, class At, class Order>
long BinarySearch(const Key& x, long length, long from, long to, long& pos, At at, Order order) {
  if (length <= 0) {
    pos = 0;
    return -1;
  }
  if (from < 0) from = 0;
  if (to < 0 || to >= length) to = length - 1;
  if (from > to) {
    pos = from;
    return -1;
  }
  if (order(x, *at(from)) < 0) {
    pos = from;
    return -1;
  }
  if (order(x, *at(to)) > 0) {
    pos = to + 1;
    return -1;
  }
  long lo = from;
  long hi = to;
  while (lo < hi) {
    const long mid = (lo + hi) / 2;
    const int c = order(x, *at(mid));
    if (c == 0) {
      pos = mid;
      return mid;
    }
    if (c < 0) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
    }
  }
  // The range has closed on lo (or just crossed below it, where x is known to sort before a[lo]).
  const int c = order(x, *at(lo));
  if (c == 0) {
    pos = lo;
    return lo;
  }
  pos = c < 0 ? lo : lo + 1;
  return -1;
}

// Three-way order from the element operators the containers require (operator== and operator<).
template <class T>
int Order(const T& x, const T& e) {
  if (x == e) return 0;
  return x < e ? -1 : 1;
}

}  // namespace kvdetail
