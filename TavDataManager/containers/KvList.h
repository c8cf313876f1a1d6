// The linked cursor containers.
//
//   KvList<T>    singly linked ring closed through a sentinel node (the sentinel's next is the first
//                element, the tail's next is the sentinel). Positional moves walk from the front.
//   KvDList<T>   doubly linked ring; the sentinel's previous is the tail. Moves walk from the cursor or
//                from an end, whichever is nearer.
//   KvXList<T>   a KvDList with a skip index holding every step-th node, for near-constant positional
//                access.
//   KvPDList<T>, KvPXList<T>   KvDList<T*> and KvXList<T*> that own the objects they point to.
//
// The cursor is -1 while the current node is the sentinel: after construction, Reset, or a walk off
// either end. Walking on from the sentinel reaches the first element again.
#pragma once

#include <cstdint>
#include <utility>

#include "TavDataManager/containers/KvDynArray.h"
#include "TavDataManager/containers/KvDynArrayBase.h"
#include "TavDataManager/containers/KvPtrContainerOps.h"

template <class T>
struct KvListNode {
  T data{};  // first member: a pointer to the element is a pointer to its node
  KvListNode* next = nullptr;

  KvListNode() = default;
  explicit KvListNode(const T& x) : data(x) {}
};

template <class T>
struct KvDListNode : KvListNode<T> {
  KvDListNode* pre = nullptr;

  KvDListNode() = default;
  explicit KvDListNode(const T& x) : KvListNode<T>(x) {}
};

template <class T>
class KvDList;

template <class T>
class KvList : public KvDynArrayBase<T> {
  using Base = KvDynArrayBase<T>;

 public:
  using Node = KvListNode<T>;

  // A list of n default elements.
  explicit KvList(long n = 0) : KvList(new Node) { this->ReAllocate(n); }
  KvList(const KvList& other) : KvList(new Node) { AppendAll(other); }
  KvList& operator=(const KvList& other) {
    this->DeepCopy(other);
    return *this;
  }
  ~KvList() override {
    if (m_head == nullptr) return;  // a derived list has freed its own nodes
    FreeNodes();
    delete m_head;
  }

  // Appends default elements or deletes from the tail until the length is n; the cursor keeps its index
  // (or parks at -1 when that index is gone).
  void ReAllocate(long n) override {
    if (n < 0) n = 0;
    const long cursor = this->m_cursor;
    while (this->m_length < n) {
      this->MoveToLast();
      this->InsertAfterCur(T{});
    }
    while (this->m_length > n) {
      this->MoveToLast();
      this->DelCur();
    }
    this->MoveTo(cursor);
  }
  // Without `keep` the list is emptied first, so all n elements are defaults.
  void SetLength(long n, bool keep) override {
    if (!keep) this->Reset();
    this->ReAllocate(n);
  }
  void Reset() override {
    FreeNodes();
    ClearLinks();
  }
  T& GetCurData() override {
    return m_cur == m_head ? kvdetail::OutOfRangeElement<T>() : m_cur->data;
  }
  void SetCurData(const T& x) override {
    if (m_cur != m_head) m_cur->data = x;
  }
  void MoveToFirst() override { this->MoveTo(0); }
  // Past the tail the cursor reaches the sentinel (-1); from the sentinel it reaches the first element.
  void MoveToNext() override {
    m_cur = m_cur->next;
    this->m_cursor = m_cur == m_head ? -1 : this->m_cursor + 1;
  }
  // Walks from the front to the previous element; from -1 it goes to the last element.
  void MoveToPre() override {
    if (this->m_cursor < 0) {
      this->MoveToLast();
    } else {
      this->MoveTo(this->m_cursor - 1);
    }
  }
  void MoveToLast() override {
    m_cur = m_tail;
    this->m_cursor = this->m_length - 1;
  }
  // An invalid index parks on the sentinel (-1); the last index jumps to the tail; otherwise the walk
  // goes on from the cursor, or restarts from the front when i lies behind it.
  void MoveTo(long i) override {
    if (!this->IsValidIndex(i)) {
      m_cur = m_head;
      this->m_cursor = -1;
      return;
    }
    if (i == this->m_length - 1) {
      m_cur = m_tail;
      this->m_cursor = static_cast<int32_t>(i);
      return;
    }
    if (this->m_cursor < 0 || i < this->m_cursor) {
      m_cur = m_head->next;
      this->m_cursor = 0;
    }
    while (this->m_cursor < i) {
      m_cur = m_cur->next;
      ++this->m_cursor;
    }
  }
  T* GetFirst() const override { return this->m_length > 0 ? &m_head->next->data : nullptr; }
  T* GetNext(const T* p) const override {
    if (p == nullptr) return nullptr;
    Node* next = NodeOf(p)->next;
    return next == m_head ? nullptr : &next->data;
  }
  T* GetPre(const T* p) const override {
    if (p == nullptr) return nullptr;
    const Node* target = NodeOf(p);
    for (Node* n = m_head; n->next != m_head; n = n->next) {
      if (n->next == target) return n == m_head ? nullptr : &n->data;
    }
    return nullptr;
  }
  T* GetLast() const override { return this->m_length > 0 ? &m_tail->data : nullptr; }
  T* GetAt(long i) const override {
    if (!this->IsValidIndex(i)) return nullptr;
    if (i == this->m_length - 1) return &m_tail->data;
    Node* n = m_head->next;
    long k = 0;
    if (this->m_cursor >= 0 && this->m_cursor <= i) {
      n = m_cur;
      k = this->m_cursor;
    }
    for (; k < i; ++k) n = n->next;
    return &n->data;
  }
  // MoveToPre, then InsertAfterCur: before the current element, or at the tail when the cursor is -1.
  void InsertCur(const T& x) override {
    this->MoveToPre();
    this->InsertAfterCur(x);
  }
  // MoveTo(i - 1), then InsertAfterCur: i = 0 (and any index MoveTo parks at -1) inserts at the head.
  void Insert(long i, const T& x) override {
    this->MoveTo(i - 1);
    this->InsertAfterCur(x);
  }
  void InsertHead(const T& x) override {
    this->MoveTo(-1);
    this->InsertAfterCur(x);
  }
  long Append(const T& x) override {
    this->MoveToLast();
    this->InsertAfterCur(x);
    return this->m_length - 1;
  }
  // Unlinks and frees the current node; the cursor ends on the previous element (-1 for the first).
  void DelCur() override {
    if (m_cur == m_head) return;
    Node* prev = NodeAtFromHead(this->m_cursor - 1);
    prev->next = m_cur->next;
    if (m_cur == m_tail) m_tail = prev;
    delete m_cur;
    m_cur = prev;
    --this->m_length;
    --this->m_cursor;
  }
  // Stable merge sort of the nodes; the cursor keeps its index.
  void Sort(int (*cmp)(const T&, const T&)) override {
    if (cmp == nullptr) return;
    SortNodes([cmp](const T& a, const T& b) { return cmp(a, b) > 0; });
  }
  void Sort(bool ascending = true) override {
    if (ascending) {
      SortNodes([](const T& a, const T& b) { return a > b; });
    } else {
      SortNodes([](const T& a, const T& b) { return b > a; });
    }
  }

  // 25: links x after the current node and makes it current (after the sentinel: the new first).
  virtual void InsertAfterCur(const T& x) {
    Node* n = new Node(x);
    n->next = m_cur->next;
    m_cur->next = n;
    if (m_cur == m_tail) m_tail = n;
    m_cur = n;
    ++this->m_length;
    ++this->m_cursor;
  }
  // 26: cuts the ring after the current node, which becomes the tail (length = cursor + 1; from -1 the
  // list empties). Returns the cut-off nodes as a null-terminated chain that the caller now owns: hand
  // it on or free it with DeleteChain. Null when nothing follows the current node.
  [[nodiscard]] virtual Node* DetachAfterCur() {
    Node* first = m_cur->next;
    if (first == m_head) return nullptr;
    m_tail->next = nullptr;
    m_cur->next = m_head;
    m_tail = m_cur;
    this->m_length = this->m_cursor + 1;
    return first;
  }
  // 27: moves the elements of `other` from index `from` to its end onto this list's tail; `other` keeps
  // `from` elements (its cursor on its new tail, or -1). This list's cursor stays on its element. An
  // invalid `from` (or other = this) does nothing. Returns the new length.
  virtual long Conbine(KvList<T>& other, long from) {
    if (&other == this || !other.IsValidIndex(from)) return this->m_length;
    if (IsDoubly() != other.IsDoubly()) {
      // Nodes of another layout cannot be linked in: the values move instead.
      const long cursor = this->m_cursor;
      for (T* p = other.GetAt(from); p != nullptr; p = other.GetNext(p)) {
        this->Append(*p);
        *p = T{};  // the value now lives here (a pointer slot must not be freed by `other`)
      }
      other.ReAllocate(from);
      other.MoveTo(from - 1);
      this->MoveTo(cursor);
      return this->m_length;
    }
    other.MoveTo(from - 1);
    Node* first = other.DetachAfterCur();
    Node* last = first;
    long count = 1;
    while (last->next != nullptr) {
      last = last->next;
      ++count;
    }
    m_tail->next = first;
    last->next = m_head;
    m_tail = last;
    this->m_length += static_cast<int32_t>(count);
    return this->m_length;
  }
  // 28: reverses the links; the current element stays current (its index mirrors).
  virtual void ReverseList() {
    if (this->m_length < 2) return;
    Node* oldFirst = m_head->next;
    Node* prev = m_head;
    Node* n = oldFirst;
    while (n != m_head) {
      Node* next = n->next;
      n->next = prev;
      prev = n;
      n = next;
    }
    m_head->next = prev;
    m_tail = oldFirst;
    if (this->m_cursor >= 0) this->m_cursor = this->m_length - 1 - this->m_cursor;
  }
  // 29: turns the ring so that the element at index a ends at index b: element (a - b + length) mod
  // length becomes the first. The cursor goes to 0. False (nothing done) when a = b or an index is
  // invalid.
  virtual bool Rotate(long a, long b) {
    if (a == b || !this->IsValidIndex(a) || !this->IsValidIndex(b)) return false;
    const long s = (a - b + this->m_length) % this->m_length;
    Node* prevS = NodeAtFromHead(s - 1);
    Node* newFirst = prevS->next;
    m_tail->next = m_head->next;
    m_head->next = newFirst;
    prevS->next = m_head;
    m_tail = prevS;
    m_cur = newFirst;
    this->m_cursor = 0;
    return true;
  }

  // Empties the list without freeing its nodes and returns them as a null-terminated chain the caller
  // now owns (see DetachAfterCur).
  [[nodiscard]] Node* Detach() {
    this->MoveTo(-1);
    return this->DetachAfterCur();
  }
  // Cuts the list after element i (after the sentinel, so everything, when i is invalid).
  [[nodiscard]] Node* DetachAfter(long i) {
    this->MoveTo(i);
    return this->DetachAfterCur();
  }
  // Moves this list's elements from index i on to the tail of `other`; returns other's new length.
  long SplitAt(long i, KvList<T>& other) { return other.Conbine(*this, i); }
  long SplitAtCur(KvList<T>& other) { return SplitAt(this->m_cursor, other); }
  // The current node; null when the cursor is out.
  Node* GetCurPos() const { return m_cur == m_head ? nullptr : m_cur; }
  // Frees a chain handed out by DetachAfterCur, Detach or DetachAfter of a KvList.
  static void DeleteChain(Node* first) {
    while (first != nullptr) {
      Node* next = first->next;
      delete first;
      first = next;
    }
  }

 protected:
  explicit KvList(Node* sentinel) : m_cur(sentinel), m_head(sentinel), m_tail(sentinel) {
    sentinel->next = sentinel;
  }

  static Node* NodeOf(const T* p) { return reinterpret_cast<Node*>(const_cast<T*>(p)); }
  // Node i walking from the front; the sentinel for i = -1.
  Node* NodeAtFromHead(long i) const {
    Node* n = m_head;
    for (long k = -1; k < i; ++k) n = n->next;
    return n;
  }
  bool IsDoubly() const { return dynamic_cast<const KvDList<T>*>(this) != nullptr; }
  void AppendAll(const KvDynArrayBase<T>& other) {
    for (const T* p = other.GetFirst(); p != nullptr; p = other.GetNext(p)) this->Append(*p);
    this->MoveTo(-1);
  }
  // Frees every element node (as KvListNode).
  void FreeNodes() {
    Node* n = m_head->next;
    while (n != m_head) {
      Node* next = n->next;
      delete n;
      n = next;
    }
  }
  void ClearLinks() {
    m_head->next = m_head;
    m_tail = m_head;
    m_cur = m_head;
    this->m_length = 0;
    this->m_cursor = -1;
  }
  // Stable merge sort of the next links; `wrong(a, b)` is true when a belongs after b. Fixes the tail
  // and puts the cursor back on its index.
  template <class Wrong>
  void SortNodes(Wrong wrong) {
    if (this->m_length < 2) return;
    m_tail->next = nullptr;
    Node* first = MergeSort(m_head->next, this->m_length, wrong);
    m_head->next = first;
    Node* n = first;
    while (n->next != nullptr) n = n->next;
    n->next = m_head;
    m_tail = n;
    m_cur = NodeAtFromHead(this->m_cursor);
  }
  template <class Wrong>
  static Node* MergeSort(Node* first, long count, Wrong& wrong) {
    if (count < 2) {
      if (first != nullptr) first->next = nullptr;
      return first;
    }
    const long half = count / 2;
    Node* mid = first;
    for (long k = 0; k < half; ++k) mid = mid->next;
    Node* left = MergeSort(first, half, wrong);  // cuts before mid
    Node* right = MergeSort(mid, count - half, wrong);
    Node dummy;
    Node* out = &dummy;
    while (left != nullptr && right != nullptr) {
      if (wrong(left->data, right->data)) {
        out->next = right;
        right = right->next;
      } else {
        out->next = left;
        left = left->next;
      }
      out = out->next;
    }
    out->next = left != nullptr ? left : right;
    return dummy.next;
  }

  Node* m_cur;
  Node* m_head;  // the sentinel
  Node* m_tail;
};

template <class T>
class KvDList : public KvList<T> {
  using Base = KvList<T>;

 public:
  using Node = KvListNode<T>;
  using DNode = KvDListNode<T>;

  explicit KvDList(long n = 0) : Base(NewSentinel()) { this->ReAllocate(n); }
  KvDList(const KvDList& other) : Base(NewSentinel()) { this->AppendAll(other); }
  KvDList& operator=(const KvDList& other) {
    this->DeepCopy(other);
    return *this;
  }
  ~KvDList() override {
    FreeDNodes();
    delete D(this->m_head);
    this->m_head = nullptr;
  }

  void Reset() override {
    FreeDNodes();
    this->ClearLinks();
    D(this->m_head)->pre = D(this->m_head);
  }
  // Follows the previous link; from the sentinel it wraps to the last element.
  void MoveToPre() override {
    this->m_cur = D(this->m_cur)->pre;
    if (this->m_cur == this->m_head) {
      this->m_cursor = -1;
    } else {
      this->m_cursor = this->m_cursor < 0 ? this->m_length - 1 : this->m_cursor - 1;
    }
  }
  // An invalid index parks on the sentinel (-1); index 0 and the last index are reached directly;
  // otherwise the walk starts from the cursor or an end, whichever is nearer.
  void MoveTo(long i) override {
    if (!this->IsValidIndex(i)) {
      this->m_cur = this->m_head;
      this->m_cursor = -1;
      return;
    }
    this->m_cur = NearestNode(i);
    this->m_cursor = static_cast<int32_t>(i);
  }
  T* GetPre(const T* p) const override {
    if (p == nullptr) return nullptr;
    Node* pre = D(this->NodeOf(p))->pre;
    return pre == this->m_head ? nullptr : &pre->data;
  }
  // Walks from the cursor or an end without moving the cursor.
  T* GetAt(long i) const override { return this->IsValidIndex(i) ? &NearestNode(i)->data : nullptr; }
  void DelCur() override {
    if (this->m_cur == this->m_head) return;
    DNode* c = D(this->m_cur);
    DNode* prev = c->pre;
    DNode* next = D(c->next);
    prev->next = next;
    next->pre = prev;
    if (this->m_tail == c) this->m_tail = prev;
    delete c;
    this->m_cur = prev;
    --this->m_length;
    --this->m_cursor;
  }
  void Sort(int (*cmp)(const T&, const T&)) override {
    Base::Sort(cmp);
    RelinkPre();
  }
  void Sort(bool ascending = true) override {
    Base::Sort(ascending);
    RelinkPre();
  }
  void InsertAfterCur(const T& x) override {
    DNode* cur = D(this->m_cur);
    DNode* n = new DNode(x);
    n->next = cur->next;
    n->pre = cur;
    D(cur->next)->pre = n;
    cur->next = n;
    if (this->m_tail == cur) this->m_tail = n;
    this->m_cur = n;
    ++this->m_length;
    ++this->m_cursor;
  }
  [[nodiscard]] Node* DetachAfterCur() override {
    Node* first = Base::DetachAfterCur();
    D(this->m_head)->pre = D(this->m_tail);
    if (first != nullptr) D(first)->pre = nullptr;
    return first;
  }
  long Conbine(KvList<T>& other, long from) override {
    const long n = Base::Conbine(other, from);
    RelinkPre();
    return n;
  }
  void ReverseList() override {
    Base::ReverseList();
    RelinkPre();
  }
  bool Rotate(long a, long b) override {
    const bool done = Base::Rotate(a, b);
    if (done) RelinkPre();
    return done;
  }

  // Frees a chain handed out by DetachAfterCur, Detach or DetachAfter of a KvDList.
  static void DeleteChain(Node* first) {
    while (first != nullptr) {
      Node* next = first->next;
      delete D(first);
      first = next;
    }
  }

 protected:
  struct NoGrow {};
  explicit KvDList(NoGrow) : Base(NewSentinel()) {}

  static DNode* NewSentinel() {
    DNode* s = new DNode;
    s->pre = s;
    return s;
  }
  static DNode* D(Node* n) { return static_cast<DNode*>(n); }
  // Node of the valid index i, from the cursor or an end, whichever is nearer.
  Node* NearestNode(long i) const {
    const long last = this->m_length - 1;
    if (i == 0) return this->m_head->next;
    if (i == last) return this->m_tail;
    Node* n = this->m_head->next;
    long k = 0;
    long best = i;
    if (last - i < best) {
      n = this->m_tail;
      k = last;
      best = last - i;
    }
    if (this->m_cursor >= 0) {
      const long d = i > this->m_cursor ? i - this->m_cursor : this->m_cursor - i;
      if (d < best) {
        n = this->m_cur;
        k = this->m_cursor;
      }
    }
    for (; k < i; ++k) n = n->next;
    for (; k > i; --k) n = D(n)->pre;
    return n;
  }
  // Sets every previous link from the next links.
  void RelinkPre() {
    Node* prev = this->m_head;
    for (Node* n = this->m_head->next; n != this->m_head; n = n->next) {
      D(n)->pre = D(prev);
      prev = n;
    }
    D(this->m_head)->pre = D(prev);
  }
  void FreeDNodes() {
    Node* n = this->m_head->next;
    while (n != this->m_head) {
      Node* next = n->next;
      delete D(n);
      n = next;
    }
  }
};

template <class T>
class KvXList : public KvDList<T> {
  using Base = KvDList<T>;

 public:
  using Node = KvListNode<T>;
  using DNode = KvDListNode<T>;
  static constexpr long kDefaultStep = 32;

  // A list of n default elements whose skip index holds every `step`-th node (step < 1 counts as 1);
  // the index grows by `allocUnit` entries at a time.
  explicit KvXList(long n = 0, long step = kDefaultStep,
                   long allocUnit = KvDynArray<DNode*>::kDefaultAllocUnit)
      : Base(typename Base::NoGrow{}), m_index(0, allocUnit), m_step(static_cast<int32_t>(step < 1 ? 1 : step)) {
    this->ReAllocate(n);
  }
  KvXList(const KvXList& other)
      : Base(typename Base::NoGrow{}), m_index(0, other.m_index.GetAllocUnit()), m_step(other.m_step) {
    this->AppendAll(other);
  }
  KvXList& operator=(const KvXList& other) {
    this->DeepCopy(other);
    return *this;
  }

  long GetStep() const { return m_step; }

  void Reset() override {
    Base::Reset();
    m_index.Reset();
  }
  // Jumps to index entry i / step and walks the rest.
  void MoveTo(long i) override {
    if (!this->IsValidIndex(i)) {
      this->m_cur = this->m_head;
      this->m_cursor = -1;
      return;
    }
    this->m_cur = IndexedNode(i);
    this->m_cursor = static_cast<int32_t>(i);
  }
  T* GetAt(long i) const override { return this->IsValidIndex(i) ? &IndexedNode(i)->data : nullptr; }
  // The node inserted at index c shifts every later node one place: the entries from ceil(c / step) on
  // step back to their previous node, and a new entry is taken when the new tail starts a group.
  void InsertAfterCur(const T& x) override {
    Base::InsertAfterCur(x);
    const long c = this->m_cursor;
    const long entries = m_index.GetLength();
    for (long g = (c + m_step - 1) / m_step; g < entries; ++g) {
      DNode*& e = *m_index.GetAt(g);
      e = e->pre;
    }
    if ((this->m_length - 1) % m_step == 0) m_index.Append(this->D(this->m_tail));
  }
  // Drops the last entry when the tail starts a group, moves the entries from ceil(c / step) on to
  // their next node, then deletes.
  void DelCur() override {
    if (this->m_cur == this->m_head) return;
    const long c = this->m_cursor;
    if ((this->m_length - 1) % m_step == 0) m_index.DelTail();
    const long entries = m_index.GetLength();
    for (long g = (c + m_step - 1) / m_step; g < entries; ++g) {
      DNode*& e = *m_index.GetAt(g);
      e = this->D(e->next);
    }
    Base::DelCur();
  }
  void Sort(int (*cmp)(const T&, const T&)) override {
    Base::Sort(cmp);
    RebuildIndex();
  }
  void Sort(bool ascending = true) override {
    Base::Sort(ascending);
    RebuildIndex();
  }
  [[nodiscard]] Node* DetachAfterCur() override {
    Node* first = Base::DetachAfterCur();
    RebuildIndex();
    return first;
  }
  long Conbine(KvList<T>& other, long from) override {
    const long n = Base::Conbine(other, from);
    RebuildIndex();
    return n;
  }
  void ReverseList() override {
    Base::ReverseList();
    RebuildIndex();
  }
  bool Rotate(long a, long b) override {
    const bool done = Base::Rotate(a, b);
    if (done) RebuildIndex();
    return done;
  }

 protected:
  // Node of the valid index i through the skip index.
  Node* IndexedNode(long i) const {
    if (i == this->m_length - 1) return this->m_tail;
    const long g = i / m_step;
    Node* n = *m_index.GetAt(g);
    for (long k = g * m_step; k < i; ++k) n = n->next;
    return n;
  }
  void RebuildIndex() {
    m_index.Reset();
    long pos = 0;
    for (Node* n = this->m_head->next; n != this->m_head; n = n->next, ++pos) {
      if (pos % m_step == 0) m_index.Append(this->D(n));
    }
  }

  KvDynArray<DNode*> m_index;  // entry g: the node at g * step
  int32_t m_step;
};

template <class T>
class KvPDList : public KvDList<T*>, public KvPtrContainerOps<KvPDList<T>, T> {
  using Base = KvDList<T*>;
  using Ops = KvPtrContainerOps<KvPDList<T>, T>;

 public:
  // A list of n empty slots.
  explicit KvPDList(long n = 0) : Base(n) {}
  // Copies clone the objects.
  KvPDList(const KvPDList& other) : Base(0) { this->CloneFrom(other); }
  KvPDList& operator=(const KvPDList& other) {
    this->CloneFrom(other);
    return *this;
  }
  ~KvPDList() override { this->ReleaseAll(); }

  void DeepCopy(const KvPDList& other) { this->CloneFrom(other); }
  KvPDList& operator<<(T* p) {
    this->Append(p);
    return *this;
  }
  KvPDList& operator<<(const KvPDList& other) {
    KvPDList copy(other);
    this->Conbine(copy, 0);
    return *this;
  }
  void SetAll(T* const&) = delete;

  void Reset() override {
    this->ReleaseAll();
    Base::Reset();
  }
  // Stores p at the cursor; the object it replaces is deleted.
  void SetCurData(T* const& p) override {
    if (this->m_cur == this->m_head) return;
    Ops::StoreOwned(this->m_cur->data, p);
  }
  // Deletes the object at the cursor (when there is one) and removes its slot.
  void DelCur() override {
    if (this->m_cur == this->m_head) return;
    delete this->m_cur->data;
    this->m_cur->data = nullptr;
    Base::DelCur();
  }
  // Moves the slot with its object (see KvDynArrayBase::Move).
  bool Move(long from, long to) override { return this->MoveSlot(from, to); }
  using Base::Sort;
  // Sorts the slots by their objects with operator> (ascending when true); the empty slots end at the
  // tail. Stable; the cursor keeps its index.
  void Sort(bool ascending = true) override {
    if (ascending) {
      this->SortNodes([](T* a, T* b) { return Ops::ObjectAfter(a, b); });
    } else {
      this->SortNodes([](T* a, T* b) { return Ops::ObjectBefore(a, b); });
    }
    this->RelinkPre();
  }
  // 30: stable sort by a comparison of the objects; empty slots end at the tail.
  virtual void Sort(int (*cmp)(const T&, const T&)) {
    if (cmp == nullptr) return;
    this->SortNodes([cmp](T* a, T* b) { return Ops::ObjectAfterBy(cmp, a, b); });
    this->RelinkPre();
  }
};

template <class T>
class KvPXList : public KvXList<T*>, public KvPtrContainerOps<KvPXList<T>, T> {
  using Base = KvXList<T*>;
  using Ops = KvPtrContainerOps<KvPXList<T>, T>;

 public:
  // A list of n empty slots.
  explicit KvPXList(long n = 0, long step = Base::kDefaultStep,
                    long allocUnit = KvDynArray<KvDListNode<T*>*>::kDefaultAllocUnit)
      : Base(n, step, allocUnit) {}
  // Copies clone the objects.
  KvPXList(const KvPXList& other) : Base(0, other.GetStep()) { this->CloneFrom(other); }
  KvPXList& operator=(const KvPXList& other) {
    this->CloneFrom(other);
    return *this;
  }
  ~KvPXList() override { this->ReleaseAll(); }

  void DeepCopy(const KvPXList& other) { this->CloneFrom(other); }
  KvPXList& operator<<(T* p) {
    this->Append(p);
    return *this;
  }
  KvPXList& operator<<(const KvPXList& other) {
    KvPXList copy(other);
    this->Conbine(copy, 0);
    return *this;
  }
  void SetAll(T* const&) = delete;

  void Reset() override {
    this->ReleaseAll();
    Base::Reset();
  }
  void SetCurData(T* const& p) override {
    if (this->m_cur == this->m_head) return;
    Ops::StoreOwned(this->m_cur->data, p);
  }
  void DelCur() override {
    if (this->m_cur == this->m_head) return;
    delete this->m_cur->data;
    this->m_cur->data = nullptr;
    Base::DelCur();
  }
  bool Move(long from, long to) override { return this->MoveSlot(from, to); }
  using Base::Sort;
  void Sort(bool ascending = true) override {
    if (ascending) {
      this->SortNodes([](T* a, T* b) { return Ops::ObjectAfter(a, b); });
    } else {
      this->SortNodes([](T* a, T* b) { return Ops::ObjectBefore(a, b); });
    }
    this->RelinkPre();
    this->RebuildIndex();
  }
  // 30: stable sort by a comparison of the objects; empty slots end at the tail.
  virtual void Sort(int (*cmp)(const T&, const T&)) {
    if (cmp == nullptr) return;
    this->SortNodes([cmp](T* a, T* b) { return Ops::ObjectAfterBy(cmp, a, b); });
    this->RelinkPre();
    this->RebuildIndex();
  }
};
