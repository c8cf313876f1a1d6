// KvDynArray<T>: the cursor container over a contiguous buffer with spare capacity.
// KvDynPArray<T>: a KvDynArray<T*> that owns the objects its non-null slots point to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>

#include "TavDataManager/containers/KvDynArrayBase.h"
#include "TavDataManager/containers/KvPtrContainerOps.h"

template <class T>
class KvDynArray : public KvDynArrayBase<T> {
  using Base = KvDynArrayBase<T>;

 public:
  // Extra capacity added on every growth unless the constructor or SetAllocUnit says otherwise.
  static constexpr long kDefaultAllocUnit = 16;

  // An empty array with room for `space` elements; every growth adds `allocUnit` spare elements.
  explicit KvDynArray(long space = 0, long allocUnit = kDefaultAllocUnit) {
    m_allocUnit = static_cast<int32_t>(allocUnit > 0 ? allocUnit : 0);
    if (space > 0) {
      m_data = new T[space]();
      m_space = static_cast<int32_t>(space);
    }
  }
  KvDynArray(const KvDynArray& other) : Base(other), m_allocUnit(other.m_allocUnit) { this->DeepCopy(other); }
  KvDynArray& operator=(const KvDynArray& other) {
    this->DeepCopy(other);
    return *this;
  }
  ~KvDynArray() override { delete[] m_data; }

  // Growth keeps the buffer when n fits in it (the buffer never shrinks here); otherwise a buffer of
  // n + allocUnit elements replaces it. Elements dropped by a shrink are reset to default values.
  void ReAllocate(long n) override {
    if (n < 0) n = 0;
    if (n > m_space) {
      const long space = n + m_allocUnit;
      T* buffer = new T[space]();
      std::move(m_data, m_data + this->m_length, buffer);
      delete[] m_data;
      m_data = buffer;
      m_space = static_cast<int32_t>(space);
    } else {
      for (long i = n; i < this->m_length; ++i) m_data[i] = T{};
    }
    this->m_length = static_cast<int32_t>(n);
  }
  // Capacity and length both become n: a buffer of exactly n elements (none when n < 1) replaces the old
  // one unless the capacity already is n. `keep` keeps the first min(n, length) elements; without it
  // every element is a default value.
  void SetLength(long n, bool keep) override {
    if (n < 0) n = 0;
    if (n != m_space) {
      T* buffer = n > 0 ? new T[n]() : nullptr;
      if (keep) {
        const long kept = std::min<long>(n, this->m_length);
        std::move(m_data, m_data + kept, buffer);
      }
      delete[] m_data;
      m_data = buffer;
      m_space = static_cast<int32_t>(n);
    } else {
      const long from = keep ? std::min<long>(n, this->m_length) : 0;
      for (long i = from; i < n; ++i) m_data[i] = T{};
    }
    this->m_length = static_cast<int32_t>(n);
  }
  // Empties the array and keeps the buffer; cursor -1.
  void Reset() override {
    for (long i = 0; i < this->m_length; ++i) m_data[i] = T{};
    this->m_length = 0;
    this->m_cursor = -1;
  }
  T& GetCurData() override {
    return this->IsOut() ? kvdetail::OutOfRangeElement<T>() : m_data[this->m_cursor];
  }
  void SetCurData(const T& x) override {
    if (!this->IsOut()) m_data[this->m_cursor] = x;
  }
  T* GetFirst() const override { return this->m_length > 0 ? m_data : nullptr; }
  T* GetNext(const T* p) const override {
    const long i = IndexOf(p);
    return i >= 0 && i + 1 < this->m_length ? m_data + i + 1 : nullptr;
  }
  T* GetPre(const T* p) const override {
    const long i = IndexOf(p);
    return i > 0 ? m_data + i - 1 : nullptr;
  }
  T* GetLast() const override { return this->m_length > 0 ? m_data + this->m_length - 1 : nullptr; }
  T* GetAt(long i) const override { return this->IsValidIndex(i) ? m_data + i : nullptr; }
  // Inserts before the cursor element and makes the new element current. A cursor before the first
  // element inserts at the head, one at or past the end appends.
  void InsertCur(const T& x) override {
    T value = x;  // x may be one of our elements, moved by the growth below
    const long length = this->m_length;
    const long c = std::clamp<long>(this->m_cursor, 0, length);
    ReAllocate(length + 1);
    std::move_backward(m_data + c, m_data + length, m_data + length + 1);
    m_data[c] = std::move(value);
    this->m_cursor = static_cast<int32_t>(c);
  }
  // Deletes the cursor element, then steps the cursor back one place.
  void DelCur() override {
    if (this->IsOut()) return;
    const long c = this->m_cursor;
    std::move(m_data + c + 1, m_data + this->m_length, m_data + c);
    m_data[this->m_length - 1] = T{};  // the last slot's value now stands one place lower
    ReAllocate(this->m_length - 1);
    this->m_cursor = static_cast<int32_t>(c - 1);
  }
  void Sort(int (*cmp)(const T&, const T&)) override {
    if (cmp == nullptr) return;
    kvdetail::RankSort(m_data, this->m_length, [cmp](const T& a, const T& b) { return cmp(a, b) > 0; });
  }
  void Sort(bool ascending = true) override {
    if (ascending) {
      kvdetail::RankSort(m_data, this->m_length, [](const T& a, const T& b) { return a > b; });
    } else {
      kvdetail::RankSort(m_data, this->m_length, [](const T& a, const T& b) { return b > a; });
    }
  }

  long GetSpaceSize() const { return m_space; }
  // Sets the capacity to n (>= length) keeping the elements; false when n < length.
  bool SetSpaceSize(long n) {
    if (n < this->m_length) return false;
    if (n == m_space) return true;
    const int32_t length = this->m_length;
    SetLength(n, true);
    this->m_length = length;
    return true;
  }
  long GetAllocUnit() const { return m_allocUnit; }
  void SetAllocUnit(long n) { m_allocUnit = static_cast<int32_t>(n > 0 ? n : 0); }
  // Hands the buffer (allocated with new[]) to the caller and leaves the array empty without a buffer.
  [[nodiscard]] T* Detach() {
    T* buffer = m_data;
    m_data = nullptr;
    m_space = 0;
    this->m_length = 0;
    this->m_cursor = -1;
    return buffer;
  }
  // Frees the current buffer and adopts `buffer` (allocated with new T[n]) with length = capacity = n.
  void Attach(long n, T* buffer) {
    if (buffer == m_data) return;
    delete[] m_data;
    m_data = buffer;
    const long len = buffer != nullptr && n > 0 ? n : 0;
    m_space = static_cast<int32_t>(len);
    this->m_length = static_cast<int32_t>(len);
    this->m_cursor = -1;
  }
  // The buffer (length elements, then spare capacity); null when there is none.
  T* GetDataBuffer() const { return m_data; }

 protected:
  long IndexOf(const T* p) const {
    if (p == nullptr || m_data == nullptr) return -1;
    const std::less<const T*> before;
    if (before(p, m_data) || !before(p, m_data + this->m_length)) return -1;
    return p - m_data;
  }

  T* m_data = nullptr;
  int32_t m_space = 0;
  int32_t m_allocUnit = static_cast<int32_t>(kDefaultAllocUnit);
};

template <class T>
class KvDynPArray : public KvDynArray<T*>, public KvPtrContainerOps<KvDynPArray<T>, T> {
  using Base = KvDynArray<T*>;
  using Ops = KvPtrContainerOps<KvDynPArray<T>, T>;

 public:
  explicit KvDynPArray(long space = 0, long allocUnit = Base::kDefaultAllocUnit) : Base(space, allocUnit) {}
  // Copies clone the objects.
  KvDynPArray(const KvDynPArray& other) : Base(0, other.GetAllocUnit()) { this->CloneFrom(other); }
  KvDynPArray& operator=(const KvDynPArray& other) {
    this->CloneFrom(other);
    return *this;
  }
  ~KvDynPArray() override { this->ReleaseAll(); }

  // Makes this array hold copies of the objects of `other`, slot for slot.
  void DeepCopy(const KvDynPArray& other) { this->CloneFrom(other); }
  // Appends p; the array takes ownership.
  KvDynPArray& operator<<(T* p) {
    this->Append(p);
    return *this;
  }
  // Appends copies of the objects of `other` (empty slots stay empty).
  KvDynPArray& operator<<(const KvDynPArray& other) {
    KvDynPArray copy(other);
    for (long i = 0; i < copy.GetLength(); ++i) this->Append(copy.m_data[i]);
    copy.Base::Reset();  // the objects now belong to this array
    return *this;
  }
  // One object cannot be owned by every slot.
  void SetAll(T* const&) = delete;

  // Shrinking deletes the objects of the dropped slots; new slots are empty.
  void ReAllocate(long n) override {
    for (long i = n < 0 ? 0 : n; i < this->m_length; ++i) {
      delete this->m_data[i];
      this->m_data[i] = nullptr;
    }
    Base::ReAllocate(n);
  }
  void SetLength(long n, bool keep) override {
    for (long i = keep ? (n < 0 ? 0 : n) : 0; i < this->m_length; ++i) {
      delete this->m_data[i];
      this->m_data[i] = nullptr;
    }
    Base::SetLength(n, keep);
  }
  void Reset() override {
    this->ReleaseAll();
    Base::Reset();
  }
  // Stores p at the cursor; the object it replaces is deleted.
  void SetCurData(T* const& p) override {
    if (this->IsOut()) return;
    Ops::StoreOwned(this->m_data[this->m_cursor], p);
  }
  // Deletes the object at the cursor (when there is one) and removes its slot.
  void DelCur() override {
    if (this->IsOut()) return;
    T*& slot = this->m_data[this->m_cursor];
    delete slot;
    slot = nullptr;
    Base::DelCur();
  }
  // Moves the slot with its object (see KvDynArrayBase::Move).
  bool Move(long from, long to) override { return this->MoveSlot(from, to); }
  using Base::Sort;
  // Stable sort by the objects with operator> (ascending when true); empty slots go to the tail.
  void Sort(bool ascending = true) override {
    if (ascending) {
      kvdetail::RankSort(this->m_data, this->m_length, [](T* a, T* b) { return Ops::ObjectAfter(a, b); });
    } else {
      kvdetail::RankSort(this->m_data, this->m_length, [](T* a, T* b) { return Ops::ObjectBefore(a, b); });
    }
  }

  // 25: deletes the object at the cursor and leaves its slot empty.
  virtual void ReleaseCur() { this->ReleaseCurSlot(); }
  // 26: hands the object at the cursor to the caller and removes its slot; null when the cursor is out.
  virtual T* TakeOffCur() { return this->TakeOffCurSlot(); }
  // 27: stable sort by a comparison of the objects (>0 when the first belongs after the second); empty
  // slots go to the tail.
  virtual void Sort(int (*cmp)(const T&, const T&)) {
    if (cmp == nullptr) return;
    kvdetail::RankSort(this->m_data, this->m_length, [cmp](T* a, T* b) { return Ops::ObjectAfterBy(cmp, a, b); });
  }
  // Stable sort by a comparison of the slots themselves (>0 when the first belongs after the second);
  // the comparison sees empty slots as null and decides where they go.
  void SortEx(int (*cmp)(const T*, const T*)) {
    if (cmp == nullptr) return;
    kvdetail::RankSort(this->m_data, this->m_length, [cmp](T* a, T* b) { return cmp(a, b) > 0; });
  }
};
