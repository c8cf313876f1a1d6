// Operations shared by the pointer containers (KvDynPArray, KvPDList, KvPXList). They store T* and own
// what the non-null slots point to; a null slot is an empty slot that keeps its place and counts in the
// length. The searches here compare the pointed-to objects, not the pointers; empty slots never match
// and order after every object.
#pragma once

#include "TavDataManager/containers/KvContainerDetail.h"
#include "TavDataManager/containers/KvDynArrayBase.h"

template <class Derived, class T>
class KvPtrContainerOps {
 public:
  // Deletes the object at the cursor and leaves its slot empty.
  void ReleaseCur() { ReleaseCurSlot(); }
  // Hands the object at the cursor to the caller and removes its slot; null when the cursor is out.
  [[nodiscard]] T* TakeOffCur() { return TakeOffCurSlot(); }
  // Deletes the object of slot i and leaves the slot empty; the cursor does not move.
  void Release(long i) {
    T** slot = Self().GetTo(i);
    if (slot == nullptr) return;
    delete *slot;
    *slot = nullptr;
  }
  // Deletes every object; every slot stays, empty.
  void ReleaseAll() {
    for (T** slot = Self().GetFirst(); slot != nullptr; slot = Self().GetNext(slot)) {
      delete *slot;
      *slot = nullptr;
    }
  }
  // Hands the object of slot i to the caller and removes the slot; null for an invalid index.
  [[nodiscard]] T* TakeOff(long i) {
    if (!Self().IsValidIndex(i)) return nullptr;
    Self().MoveTo(i);
    return TakeOffCurSlot();
  }
  [[nodiscard]] T* TakeOffHead() { return TakeOff(0); }
  [[nodiscard]] T* TakeOffTail() { return TakeOff(Self().GetLength() - 1); }
  // Stores p in the first empty slot, else appends it; the container takes ownership. Returns the
  // slot's index; the cursor ends on it.
  long PlaceIn(T* p) {
    Derived& self = Self();
    for (self.MoveToFirst(); !self.IsOut(); self.MoveToNext()) {
      if (self.GetCurData() == nullptr) {
        self.GetCurData() = p;
        return self.GetCur();
      }
    }
    return self.Append(p);
  }
  // True when the cursor is out or its slot is empty.
  bool IsCurEmpty() { return Self().IsOut() || Self().GetCurData() == nullptr; }
  // True when slot i is empty, and for an invalid index.
  bool IsEmptyData(long i) const {
    T** slot = Self().GetTo(i);
    return slot == nullptr || *slot == nullptr;
  }
  // Number of non-empty slots.
  long GetDataNum() const {
    long n = 0;
    for (T** slot = Self().GetFirst(); slot != nullptr; slot = Self().GetNext(slot)) {
      if (*slot != nullptr) ++n;
    }
    return n;
  }
  // The object of slot i; null for an empty slot or an invalid index.
  T* GetPData(long i) const {
    T** slot = Self().GetTo(i);
    return slot != nullptr ? *slot : nullptr;
  }
  // The object at the cursor; null when the cursor is out or its slot is empty.
  T* GetCurPData() { return Self().IsOut() ? nullptr : Self().GetCurData(); }
  // The object of slot i; a scratch default object (writes are lost) for an empty slot or invalid index.
  T& operator()(long i) {
    T* p = GetPData(i);
    return p != nullptr ? *p : kvdetail::OutOfRangeElement<T>();
  }

  // First index in [from, to] whose object equals x, or -1 (`to` outside the valid range: last index).
  long FindData(const T& x, long from = 0, long to = -1) const {
    const Derived& self = Self();
    const long length = self.GetLength();
    if (from < 0) from = 0;
    if (to < 0 || to >= length) to = length - 1;
    long i = from;
    for (T** slot = self.GetTo(from); slot != nullptr && i <= to; slot = self.GetNext(slot), ++i) {
      if (*slot != nullptr && **slot == x) return i;
    }
    return -1;
  }
  // Moves the cursor to the first slot at or after `from` whose object equals x (true), else parks it at
  // -1 (false).
  bool FindDataTo(const T& x, long from = 0) {
    const long i = FindData(x, from, -1);
    Self().MoveTo(i);
    return i >= 0;
  }
  // Deletes every slot whose object equals x, with its object; returns how many.
  long FindDataDel(const T& x) {
    Derived& self = Self();
    long count = 0;
    for (self.MoveToFirst(); !self.IsOut(); self.MoveToNext()) {
      T* p = self.GetCurData();
      if (p != nullptr && *p == x) {
        self.DelCur();
        ++count;
      }
    }
    return count;
  }
  // Index of the first slot whose object equals x, else appends a copy of x and returns its index.
  long FindDataOrAppend(const T& x) {
    const long i = FindData(x);
    return i >= 0 ? i : Self().Append(new T(x));
  }
  // Index of the first slot whose object equals x, else inserts a copy of x at the head and returns 0.
  long FindDataOrInsertHead(const T& x) {
    const long i = FindData(x);
    if (i >= 0) return i;
    Self().InsertHead(new T(x));
    return 0;
  }
  // Binary search of [from, to] sorted ascending by object (empty slots at the tail): an index whose
  // object equals x, or -1. The cursor does not move.
  long BFindData(const T& x, long from = 0, long to = -1) const {
    long pos = 0;
    return SearchData(x, from, to, pos);
  }
  // As BFindData, moving the cursor onto the match (true) or to where x would be inserted (false).
  bool BFindDataTo(const T& x, long from = 0, long to = -1) {
    long pos = 0;
    const long found = SearchData(x, from, to, pos);
    Self().MoveTo(pos);
    return found >= 0;
  }

  // Wrong-order tests for sorting slots by their objects: empty slots after every object.
  static bool ObjectAfter(const T* a, const T* b) {
    if (a == nullptr || b == nullptr) return a == nullptr && b != nullptr;
    return *a > *b;
  }
  static bool ObjectBefore(const T* a, const T* b) {
    if (a == nullptr || b == nullptr) return a == nullptr && b != nullptr;
    return *b > *a;
  }
  // The same for a comparison of the objects (>0 when the first belongs after the second).
  static bool ObjectAfterBy(int (*cmp)(const T&, const T&), const T* a, const T* b) {
    if (a == nullptr || b == nullptr) return a == nullptr && b != nullptr;
    return cmp(*a, *b) > 0;
  }
  // Stores p in an owning slot; the object the slot held is deleted unless it is p itself.
  static void StoreOwned(T*& slot, T* p) {
    if (slot != p) delete slot;
    slot = p;
  }

 protected:
  Derived& Self() { return static_cast<Derived&>(*this); }
  const Derived& Self() const { return static_cast<const Derived&>(*this); }

  void ReleaseCurSlot() {
    Derived& self = Self();
    if (self.IsOut()) return;
    T*& slot = self.GetCurData();
    delete slot;
    slot = nullptr;
  }
  T* TakeOffCurSlot() {
    Derived& self = Self();
    if (self.IsOut()) return nullptr;
    T*& slot = self.GetCurData();
    T* p = slot;
    slot = nullptr;
    self.DelCur();
    return p;
  }
  // Move(from, to) for an owning container: the slot itself moves (a copy of the pointer would leave
  // the object to be deleted with the old slot). Same results and cursor as the interface's Move.
  bool MoveSlot(long from, long to) {
    Derived& self = Self();
    if (from == to || from == to - 1) return false;
    if (!self.IsValidIndex(from) || to < 0 || to > self.GetLength()) return false;
    T* p = TakeOff(from);
    self.Insert(from < to ? to - 1 : to, p);
    return true;
  }
  // Makes this container hold copies of the objects of `other`, slot for slot (empty slots stay empty).
  void CloneFrom(const Derived& other) {
    Derived& self = Self();
    if (&self == &other) return;
    self.Reset();
    for (T** slot = other.GetFirst(); slot != nullptr; slot = other.GetNext(slot)) {
      self.Append(*slot != nullptr ? new T(**slot) : nullptr);
    }
    self.MoveTo(-1);
  }
  long SearchData(const T& x, long from, long to, long& pos) const {
    const Derived& self = Self();
    return kvdetail::BinarySearch(
        x, self.GetLength(), from, to, pos, [&self](long i) { return self.GetAt(i); },
        [](const T& key, const T* e) {
          if (e == nullptr) return -1;  // empty slots sort after every object
          return kvdetail::Order(key, *e);
        });
  }
};
