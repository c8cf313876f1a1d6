// The platform's first-in first-out queue. The containers use it to hand back every index a search
// matched (KvDynArrayBase::Find with a queue).
#pragma once

#include <deque>

template <class T>
class KvQuene {
 public:
  // Adds `x` at the back.
  void Push(const T& x) { m_items.push_back(x); }
  // Removes the front element into `x`; false (x unchanged) when the queue is empty.
  bool Pop(T& x) {
    if (m_items.empty()) return false;
    x = m_items.front();
    m_items.pop_front();
    return true;
  }
  // The front element; only when not empty.
  const T& Front() const { return m_items.front(); }
  // Number of queued elements.
  long GetCount() const { return static_cast<long>(m_items.size()); }
  bool IsEmpty() const { return m_items.empty(); }
  void Reset() { m_items.clear(); }

 private:
  std::deque<T> m_items;
};
