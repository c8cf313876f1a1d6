// KvDynArrayBase<T>: the one virtual interface of the cursor containers (KvDynArray, KvDynPArray,
// KvList, KvDList, KvXList, KvPDList, KvPXList). Code written against it walks, inserts, deletes and
// sorts without knowing whether the storage is a contiguous array or a linked ring.
//
// Every container has a length and a cursor: the index of the current element, -1 before the first
// element (after construction, Reset, or a walk off either end of a list). Arrays let the cursor stand
// at `length` after a walk off the end (IsEnd); lists then wrap to -1.
//
// The virtual operations are declared in the platform's slot order; everything else is built on them.
// Invalid indexes make queries return null or -1 and make moves park the cursor at -1. Nothing throws
// apart from allocation failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "TavDataManager/containers/KvArray.h"
#include "TavDataManager/containers/KvContainerDetail.h"
#include "TavDataManager/containers/KvQuene.h"

template <class T>
class KvDynArrayBase {
 public:
  KvDynArrayBase() = default;

  // 0: grows or shrinks the storage to hold n elements and sets length = n.
  virtual void ReAllocate(long n) = 0;
  // 1
  virtual ~KvDynArrayBase() = default;
  // 2: sets the length to n; `keep` keeps the existing elements that fit, otherwise all are defaults.
  virtual void SetLength(long n, bool keep) = 0;
  // 3: deletes from the tail until empty; cursor -1.
  virtual void Reset() {
    while (m_length > 0) {
      MoveToLast();
      DelCur();
    }
    MoveTo(-1);
  }
  // 4: the element at the cursor. With the cursor out an array hands back a scratch value whose
  // writes are lost, a list the element slot of its sentinel.
  virtual T& GetCurData() = 0;
  // 5: stores x at the cursor; nothing when the cursor is out.
  virtual void SetCurData(const T& x) = 0;
  // 6
  virtual void MoveToFirst() { m_cursor = 0; }
  // 7
  virtual void MoveToNext() { ++m_cursor; }
  // 8
  virtual void MoveToPre() { --m_cursor; }
  // 9
  virtual void MoveToLast() { m_cursor = m_length - 1; }
  // 10
  virtual void MoveTo(long i) { m_cursor = static_cast<int32_t>(i); }
  // 11: index i, growing the container to i + 1 elements when i >= length. Moves the cursor to i.
  virtual T& operator[](long i) {
    if (i >= m_length) ReAllocate(i + 1);
    MoveTo(i);
    return GetCurData();
  }
  // 12: the first element, null when empty.
  virtual T* GetFirst() const = 0;
  // 13: the element after *p, null after the last (or for a null p).
  virtual T* GetNext(const T* p) const = 0;
  // 14: the element before *p, null before the first (or for a null p).
  virtual T* GetPre(const T* p) const = 0;
  // 15: the last element, null when empty.
  virtual T* GetLast() const = 0;
  // 16: element i, null for an invalid index. Does not move the cursor.
  virtual T* GetAt(long i) const = 0;
  // 17: inserts x before the cursor element; the new element becomes current.
  virtual void InsertCur(const T& x) = 0;
  // 18
  virtual void Insert(long i, const T& x) {
    MoveTo(i);
    InsertCur(x);
  }
  // 19
  virtual void InsertHead(const T& x) {
    MoveToFirst();
    InsertCur(x);
  }
  // 20: appends x; returns the cursor (its index).
  virtual long Append(const T& x) {
    MoveTo(m_length);
    InsertCur(x);
    return m_cursor;
  }
  // 21: deletes the element at the cursor; the cursor steps back one place (to -1 from the first), so a
  // forward walk that deletes continues with MoveToNext. Nothing when the cursor is out.
  virtual void DelCur() = 0;
  // 22: stable sort by a comparison returning >0 when its first argument belongs after the second.
  virtual void Sort(int (*cmp)(const T&, const T&)) = 0;
  // 23: stable sort with operator>; ascending when true.
  virtual void Sort(bool ascending = true) = 0;
  // 24: moves element `from` so that it stands before the element now at `to` (to = length: to the end).
  // False and nothing done when from = to or from = to - 1, or an index is invalid. The cursor ends on
  // the moved element.
  virtual bool Move(long from, long to) {
    if (from == to || from == to - 1) return false;
    if (!IsValidIndex(from) || to < 0 || to > m_length) return false;
    T copy = *GetAt(from);
    Insert(to, copy);
    if (from <= to) {
      Del(from);
      MoveTo(to - 1);
    } else {
      Del(from + 1);
      MoveTo(to);
    }
    return true;
  }

  // ---- queries
  long GetLength() const { return m_length; }
  long GetCur() const { return m_cursor; }
  long GetMaxIndex() const { return m_length - 1; }
  bool IsEmpty() const { return m_length == 0; }
  bool IsValidIndex(long i) const { return i >= 0 && i < m_length; }
  bool IsBegin() const { return m_cursor < 0; }
  bool IsEnd() const { return m_cursor >= m_length; }
  bool IsOut() const { return IsBegin() || IsEnd(); }
  // Element i, null for an invalid index; the cursor does not move.
  T* GetTo(long i) const { return IsValidIndex(i) ? GetAt(i) : nullptr; }

  // ---- deletion
  void Del(long i) {
    if (!IsValidIndex(i)) return;
    MoveTo(i);
    DelCur();
  }
  void DelHead() { Del(0); }
  void DelTail() { Del(m_length - 1); }

  // ---- size
  void IncreaseSize(long n) { ReAllocate(m_length + n); }
  void DecreaseSize(long n) { ReAllocate(m_length - n > 0 ? m_length - n : 0); }

  // ---- search
  // First index in [from, to] whose element equals x, or -1. `to` outside the valid range means the last
  // index; a negative `from` means 0.
  long Find(const T& x, long from = 0, long to = -1) const {
    long found = -1;
    Walk(from, to, [&](long i, const T& e) {
      if (e == x) {
        found = i;
        return false;
      }
      return true;
    });
    return found;
  }
  // Pushes every index in [from, to] whose element equals x into `found`; returns the queue's count.
  long Find(const T& x, KvQuene<long>& found, long from = 0, long to = -1) const {
    Walk(from, to, [&](long i, const T& e) {
      if (e == x) found.Push(i);
      return true;
    });
    return found.GetCount();
  }
  // Moves the cursor to the first match at or after `from` and returns true; else parks the cursor at -1
  // and returns false.
  bool FindTo(const T& x, long from = 0) {
    const long i = Find(x, from, -1);
    MoveTo(i);
    return i >= 0;
  }
  // Deletes every element equal to x; returns how many. The cursor ends out.
  long FindDel(const T& x) {
    long count = 0;
    for (MoveToFirst(); !IsOut(); MoveToNext()) {
      if (GetCurData() == x) {
        DelCur();
        ++count;
      }
    }
    return count;
  }
  // Index of the first element equal to x, else appends x and returns its index.
  long FindOrAppend(const T& x) {
    const long i = Find(x);
    return i >= 0 ? i : Append(x);
  }
  // Index of the first element equal to x, else inserts x at the head and returns 0.
  long FindOrInsertHead(const T& x) {
    const long i = Find(x);
    if (i >= 0) return i;
    InsertHead(x);
    return 0;
  }
  // Binary search of the ascending range [from, to] without moving the cursor: an index whose element
  // equals x, or -1.
  long BFind(const T& x, long from = 0, long to = -1) const {
    long pos = 0;
    return Search(x, from, to, pos);
  }
  // Binary search that moves the cursor: onto the match (true), or where x would be inserted to keep the
  // order (false). Empty container: cursor 0 (lists: -1), false.
  bool BFindTo(const T& x, long from = 0, long to = -1) {
    long pos = 0;
    const long found = Search(x, from, to, pos);
    MoveTo(pos);
    return found >= 0;
  }
  // Sorted insertion into an ascending container. When x is present and `allowSame` is false nothing is
  // inserted (false); when allowed, x goes after the last element equal to it. Returns true when x was
  // inserted; the cursor is on the new element.
  bool SortInto(const T& x, bool allowSame = false) {
    if (BFindTo(x, 0, -1)) {
      if (!allowSame) return false;
      while (!IsOut() && GetCurData() == x) MoveToNext();
    }
    InsertCur(x);
    return true;
  }

  // ---- whole-array
  void SetAll(const T& x) {
    for (T* p = GetFirst(); p != nullptr; p = GetNext(p)) *p = x;
  }
  // Swaps elements i and j; false when either index is invalid.
  bool Exchange(long i, long j) {
    T* a = GetTo(i);
    T* b = GetTo(j);
    if (a == nullptr || b == nullptr) return false;
    if (a != b) std::swap(*a, *b);
    return true;
  }
  // Reverses the inclusive range [from, to]; to = -1 means the last index. Invalid ranges do nothing.
  void Reverse(long from = 0, long to = -1) {
    if (to < 0) to = m_length - 1;
    if (from < 0 || to >= m_length || from >= to) return;
    std::vector<T*> items;
    items.reserve(static_cast<size_t>(to - from + 1));
    T* p = GetAt(from);
    for (long i = from; i <= to && p != nullptr; ++i, p = GetNext(p)) items.push_back(p);
    for (size_t i = 0, j = items.size() - 1; i < j; ++i, --j) std::swap(*items[i], *items[j]);
  }
  // Copies the first n elements into `out` (0 <= n <= length); false and `out` untouched otherwise.
  bool Left(long n, KvDynArrayBase& out) const { return CopyRange(0, n, out); }
  // Copies the last n elements into `out` (0 <= n <= length); false and `out` untouched otherwise.
  bool Right(long n, KvDynArrayBase& out) const { return CopyRange(m_length - n, n, out); }
  // Copies the inclusive range [from, to] into `out` (0 <= from <= to < length); false otherwise.
  bool Mid(long from, long to, KvDynArrayBase& out) const {
    if (from < 0 || from > to || to >= m_length) return false;
    return CopyRange(from, to - from + 1, out);
  }
  // Makes this container a copy of `other` (elements only); the cursor ends at -1.
  void DeepCopy(const KvDynArrayBase& other) {
    if (&other == this) return;
    SetLength(other.m_length, false);
    T* dst = GetFirst();
    for (const T* src = other.GetFirst(); src != nullptr && dst != nullptr; src = other.GetNext(src)) {
      *dst = *src;
      dst = GetNext(dst);
    }
    MoveTo(-1);
  }
  KvDynArrayBase& operator=(const KvDynArrayBase& other) {
    DeepCopy(other);
    return *this;
  }
  // Appends one element.
  KvDynArrayBase& operator<<(const T& x) {
    Append(x);
    return *this;
  }
  // Appends every element of `other` (which may be this container).
  KvDynArrayBase& operator<<(const KvDynArrayBase& other) {
    std::vector<T> items;
    items.reserve(static_cast<size_t>(other.m_length));
    for (const T* p = other.GetFirst(); p != nullptr; p = other.GetNext(p)) items.push_back(*p);
    for (const T& x : items) Append(x);
    return *this;
  }
  // Appends every element of a plain array.
  KvDynArrayBase& operator<<(const KvArray<T>& other) {
    const long n = other.GetLength();
    for (long i = 0; i < n; ++i) Append(other.GetDataBuffer()[i]);
    return *this;
  }

  // ---- comparison: equal lengths and pairwise equal elements; the order operators compare lengths.
  bool operator==(const KvDynArrayBase& other) const {
    if (m_length != other.m_length) return false;
    const T* q = other.GetFirst();
    for (const T* p = GetFirst(); p != nullptr; p = GetNext(p), q = other.GetNext(q)) {
      if (q == nullptr || !(*p == *q)) return false;
    }
    return true;
  }
  bool operator!=(const KvDynArrayBase& other) const { return !(*this == other); }
  bool operator<(const KvDynArrayBase& other) const { return m_length < other.m_length; }
  bool operator>(const KvDynArrayBase& other) const { return m_length > other.m_length; }

 protected:
  KvDynArrayBase(const KvDynArrayBase&) : KvDynArrayBase() {}

  // Calls visit(i, element) for i in [from, to] (clamped as Find does) until it returns false.
  template <class Visit>
  void Walk(long from, long to, Visit visit) const {
    if (from < 0) from = 0;
    if (to < 0 || to >= m_length) to = m_length - 1;
    if (from > to) return;
    long i = from;
    for (const T* p = GetAt(from); p != nullptr && i <= to; p = GetNext(p), ++i) {
      if (!visit(i, *p)) return;
    }
  }
  long Search(const T& x, long from, long to, long& pos) const {
    return kvdetail::BinarySearch(
        x, m_length, from, to, pos, [this](long i) { return GetAt(i); },
        [](const T& a, const T& b) { return kvdetail::Order(a, b); });
  }
  bool CopyRange(long from, long n, KvDynArrayBase& out) const {
    if (n < 0 || n > m_length || from < 0 || from + n > m_length) return false;
    if (&out == this) {
      std::vector<T> items;
      for (const T* p = GetAt(from); p != nullptr && static_cast<long>(items.size()) < n; p = GetNext(p))
        items.push_back(*p);
      out.SetLength(n, false);
      long i = 0;
      for (T* q = out.GetFirst(); q != nullptr; q = out.GetNext(q)) *q = items[i++];
      return true;
    }
    out.SetLength(n, false);
    const T* p = GetAt(from);
    for (T* q = out.GetFirst(); q != nullptr && p != nullptr; q = out.GetNext(q), p = GetNext(p)) *q = *p;
    return true;
  }

  int32_t m_length = 0;
  int32_t m_cursor = -1;
};
