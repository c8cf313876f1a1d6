// KvArray<T>: an array whose capacity always equals its length. Every Insert, Append and Del allocates a
// buffer of the new length and copies; new elements are default values. Kv2dArray<T> is a KvArray of
// equally long KvArray rows.
//
// Unlike the cursor containers these have no cursor and no virtual interface.
#pragma once

#include <cstdint>
#include <utility>

#include "TavDataManager/containers/KvContainerDetail.h"

template <class T>
class KvArray {
 public:
  KvArray() = default;
  // An array of n default elements (none when n <= 0).
  explicit KvArray(long n) { ReAllocate(n, false); }
  KvArray(const KvArray& other) { *this = other; }
  KvArray(KvArray&& other) noexcept : m_data(other.m_data), m_length(other.m_length) {
    other.m_data = nullptr;
    other.m_length = 0;
  }
  ~KvArray() { delete[] m_data; }

  KvArray& operator=(const KvArray& other) {
    if (this == &other) return *this;
    T* buffer = other.m_length > 0 ? new T[other.m_length]() : nullptr;
    for (long i = 0; i < other.m_length; ++i) buffer[i] = other.m_data[i];
    delete[] m_data;
    m_data = buffer;
    m_length = other.m_length;
    return *this;
  }
  KvArray& operator=(KvArray&& other) noexcept {
    if (this != &other) {
      delete[] m_data;
      m_data = other.m_data;
      m_length = other.m_length;
      other.m_data = nullptr;
      other.m_length = 0;
    }
    return *this;
  }

  // Resizes to n elements (n <= 0 frees the buffer and leaves the array empty). With `keep` the first
  // min(n, length) elements are kept; every other element is a default value.
  void ReAllocate(long n, bool keep = true) {
    if (n <= 0) {
      Reset();
      return;
    }
    T* buffer = new T[n]();
    if (keep) {
      const long kept = n < m_length ? n : m_length;
      for (long i = 0; i < kept; ++i) buffer[i] = std::move(m_data[i]);
    }
    delete[] m_data;
    m_data = buffer;
    m_length = static_cast<int32_t>(n);
  }
  // Frees the buffer; length 0.
  void Reset() {
    delete[] m_data;
    m_data = nullptr;
    m_length = 0;
  }
  void SetAll(const T& x) {
    for (long i = 0; i < m_length; ++i) m_data[i] = x;
  }
  // Stores x at index i; false for an invalid index.
  bool SetAt(long i, const T& x) {
    if (!IsValidIndex(i)) return false;
    m_data[i] = x;
    return true;
  }
  // Element i; for an invalid index a scratch default value (writes to it are lost).
  T& GetAt(long i) { return IsValidIndex(i) ? m_data[i] : kvdetail::OutOfRangeElement<T>(); }
  const T& GetAt(long i) const { return IsValidIndex(i) ? m_data[i] : kvdetail::OutOfRangeElement<T>(); }
  // Element i without growth; an invalid index gives the scratch value as GetAt does.
  T& operator[](long i) { return GetAt(i); }
  const T& operator[](long i) const { return GetAt(i); }

  T* GetDataBuffer() { return m_data; }
  const T* GetDataBuffer() const { return m_data; }
  long GetLength() const { return m_length; }
  long GetMaxIndex() const { return m_length - 1; }
  bool IsEmpty() const { return m_length == 0; }
  bool IsValidIndex(long i) const { return i >= 0 && i < m_length; }

  // Inserts x before index i (0 <= i <= length); false otherwise.
  bool Insert(long i, const T& x) {
    if (i < 0 || i > m_length) return false;
    T value = x;  // x may be one of our elements
    T* buffer = new T[m_length + 1]();
    for (long k = 0; k < i; ++k) buffer[k] = std::move(m_data[k]);
    buffer[i] = std::move(value);
    for (long k = i; k < m_length; ++k) buffer[k + 1] = std::move(m_data[k]);
    delete[] m_data;
    m_data = buffer;
    ++m_length;
    return true;
  }
  bool InsertHead(const T& x) { return Insert(0, x); }
  // Appends x; returns its index.
  long Append(const T& x) {
    Insert(m_length, x);
    return m_length - 1;
  }
  // Deletes element i; false for an invalid index.
  bool Del(long i) {
    if (!IsValidIndex(i)) return false;
    T* buffer = m_length > 1 ? new T[m_length - 1]() : nullptr;
    for (long k = 0; k < i; ++k) buffer[k] = std::move(m_data[k]);
    for (long k = i + 1; k < m_length; ++k) buffer[k - 1] = std::move(m_data[k]);
    delete[] m_data;
    m_data = buffer;
    --m_length;
    return true;
  }
  bool DelHead() { return Del(0); }
  bool DelTail() { return Del(m_length - 1); }

  // First index in [from, to] whose element equals x, or -1; `to` outside the valid range means the last
  // index.
  long Find(const T& x, long from = 0, long to = -1) const {
    if (from < 0) from = 0;
    if (to < 0 || to >= m_length) to = m_length - 1;
    for (long i = from; i <= to; ++i) {
      if (m_data[i] == x) return i;
    }
    return -1;
  }
  // Deletes every element equal to x; returns how many.
  long FindDel(const T& x) {
    long kept = 0;
    for (long i = 0; i < m_length; ++i) {
      if (!(m_data[i] == x)) ++kept;
    }
    const long removed = m_length - kept;
    if (removed == 0) return 0;
    T* buffer = kept > 0 ? new T[kept]() : nullptr;
    long k = 0;
    for (long i = 0; i < m_length; ++i) {
      if (!(m_data[i] == x)) buffer[k++] = std::move(m_data[i]);
    }
    delete[] m_data;
    m_data = buffer;
    m_length = static_cast<int32_t>(kept);
    return removed;
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
  // Binary search of the ascending range [from, to]: the index of an element equal to x, or -1 (also when
  // x lies outside [a[from], a[to]] or from > to).
  long BFind(const T& x, long from = 0, long to = -1) const {
    long pos = 0;
    return kvdetail::BinarySearch(
        x, m_length, from, to, pos, [this](long i) { return m_data + i; },
        [](const T& a, const T& b) { return kvdetail::Order(a, b); });
  }

  // Reverses the inclusive range [from, to]; to = -1 means the last index. Invalid ranges do nothing.
  void Reverse(long from = 0, long to = -1) {
    if (to < 0) to = m_length - 1;
    if (from < 0 || to >= m_length || from >= to) return;
    for (long i = from, j = to; i < j; ++i, --j) std::swap(m_data[i], m_data[j]);
  }
  // Stable rank sort by a comparison returning >0 when its first argument belongs after the second.
  void Sort(int (*cmp)(const T&, const T&)) {
    if (cmp == nullptr) return;
    kvdetail::RankSort(m_data, m_length, [cmp](const T& a, const T& b) { return cmp(a, b) > 0; });
  }
  // Stable rank sort with operator>: ascending when `ascending`, else descending.
  void Sort(bool ascending = true) {
    if (ascending) {
      kvdetail::RankSort(m_data, m_length, [](const T& a, const T& b) { return a > b; });
    } else {
      kvdetail::RankSort(m_data, m_length, [](const T& a, const T& b) { return b > a; });
    }
  }

  // Equal when the lengths are equal and the elements are pairwise equal; the order operators compare
  // lengths only.
  bool operator==(const KvArray& other) const {
    if (m_length != other.m_length) return false;
    for (long i = 0; i < m_length; ++i) {
      if (!(m_data[i] == other.m_data[i])) return false;
    }
    return true;
  }
  bool operator!=(const KvArray& other) const { return !(*this == other); }
  bool operator<(const KvArray& other) const { return m_length < other.m_length; }
  bool operator>(const KvArray& other) const { return m_length > other.m_length; }
  bool operator<=(const KvArray& other) const { return m_length <= other.m_length; }
  bool operator>=(const KvArray& other) const { return m_length >= other.m_length; }

 protected:
  T* m_data = nullptr;
  int32_t m_length = 0;
};

// Rows of equal length. Element (r, c) is GetAt(r).GetAt(c), or At(r, c).
template <class T>
class Kv2dArray : public KvArray<KvArray<T>> {
 public:
  Kv2dArray() = default;
  Kv2dArray(long rows, long cols) { ReAllocate(rows, cols, false); }

  // Resizes the outer array to `rows`, then every row to `cols`; `keep` keeps what fits.
  void ReAllocate(long rows, long cols, bool keep = true) {
    KvArray<KvArray<T>>::ReAllocate(rows, keep);
    for (long r = 0; r < this->m_length; ++r) this->m_data[r].ReAllocate(cols, keep);
  }
  // Assigns x to every element of every row.
  void SetAll(const T& x) {
    for (long r = 0; r < this->m_length; ++r) this->m_data[r].SetAll(x);
  }
  long GetRows() const { return this->m_length; }
  long GetCols() const { return this->m_length > 0 ? this->m_data[0].GetLength() : 0; }
  // Element (r, c); a scratch default value when either index is invalid.
  T& At(long r, long c) {
    return this->IsValidIndex(r) ? this->m_data[r].GetAt(c) : kvdetail::OutOfRangeElement<T>();
  }
  const T& At(long r, long c) const {
    return this->IsValidIndex(r) ? this->m_data[r].GetAt(c) : kvdetail::OutOfRangeElement<T>();
  }
};
