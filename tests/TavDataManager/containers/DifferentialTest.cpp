// Randomised differential tests: each container and a std::vector model run the same long sequence of
// operations (insertions, deletions during a walk, moves, sorts, binary searches, splices, rotations);
// after every step the contents (forward, backward and positional) and the cursor must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <vector>

#include "ContainerTestSupport.h"

namespace {

using kvtest::Item;

enum class Family { Array, List };

// The container's observable state, kept with standard containers.
struct Model {
  Family family = Family::Array;
  std::vector<Item> v;
  long cursor = -1;

  long Len() const { return static_cast<long>(v.size()); }
  bool Valid(long i) const { return i >= 0 && i < Len(); }
  bool Out() const { return cursor < 0 || cursor >= Len(); }
  // Where an explicit move lands: arrays take any index, lists park at -1 unless it is valid.
  void MoveTo(long i) { cursor = family == Family::Array ? i : (Valid(i) ? i : -1); }
  long FirstKey(int key, long from = 0) const {
    for (long i = std::max(0L, from); i < Len(); ++i) {
      if (v[i].key == key) return i;
    }
    return -1;
  }
};

template <class C>
class Driver {
 public:
  Driver(C& c, C& other, Family family, unsigned seed) : m_c(c), m_o(other), m_rng(seed) {
    m_m.family = family;
    m_om.family = family;
  }

  void Run(int steps) {
    for (int s = 0; s < steps; ++s) {
      const int op = PickOp();
      Step(op);
      Check(m_c, m_m);
      Check(m_o, m_om);
      if (::testing::Test::HasFailure()) {
        ADD_FAILURE() << "after step " << s << " (operation " << op << ")\nmodel: " << kvtest::Show(m_m.v);
        return;
      }
    }
  }

 private:
  bool IsList() const { return m_m.family == Family::List; }
  long Rand(long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(m_rng); }
  Item NewItem() { return Item(static_cast<int>(Rand(0, 15)), ++m_tag); }

  int PickOp() {
    if (m_m.Len() > 120) {
      static const int shrink[] = {9, 10, 18, 22, 23};
      return shrink[Rand(0, 4)];
    }
    // Insertions come more often than the rest, so that the containers grow to many skip-index
    // groups between the bulk deletions.
    if (Rand(0, 99) < 45) return static_cast<int>(Rand(0, 3));
    return static_cast<int>(Rand(0, 31));
  }

  static void Check(C& c, const Model& m) {
    ASSERT_EQ(c.GetLength(), m.Len());
    ASSERT_EQ(c.GetCur(), m.cursor);
    const auto same = [&](const std::vector<Item>& got, const char* how) {
      ASSERT_EQ(got.size(), m.v.size()) << how;
      for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_TRUE(kvtest::Same(got[i], m.v[i])) << how << " differs at " << i << ": " << kvtest::Show(got);
      }
    };
    same(kvtest::Forward<Item>(c), "forward");
    same(kvtest::Backward<Item>(c), "backward");
    same(kvtest::Positional<Item>(c), "positional");
    if (!m.Out()) {
      ASSERT_TRUE(kvtest::Same(c.GetCurData(), m.v[m.cursor])) << "current element";
    }
  }

  void Step(int op) {
    Model& m = m_m;
    C& c = m_c;
    const long len = m.Len();
    switch (op) {
      case 0: {  // Append
        const Item x = NewItem();
        const long r = c.Append(x);
        m.v.push_back(x);
        m.cursor = m.Len() - 1;
        EXPECT_EQ(r, m.cursor);
        break;
      }
      case 1: {  // InsertHead
        const Item x = NewItem();
        c.InsertHead(x);
        m.v.insert(m.v.begin(), x);
        m.cursor = 0;
        break;
      }
      case 2: {  // Insert at a valid position (0..length)
        const long i = Rand(0, len);
        const Item x = NewItem();
        c.Insert(i, x);
        m.v.insert(m.v.begin() + i, x);
        m.cursor = i;
        break;
      }
      case 3: {  // InsertCur wherever the cursor stands
        const Item x = NewItem();
        c.InsertCur(x);
        if (IsList() && m.cursor < 0) {
          m.v.push_back(x);  // before the sentinel: after the last element
          m.cursor = m.Len() - 1;
        } else {
          const long at = std::clamp(m.cursor, 0L, len);
          m.v.insert(m.v.begin() + at, x);
          m.cursor = at;
        }
        break;
      }
      case 4: {
        const long i = Rand(-2, len + 1);
        c.MoveTo(i);
        m.MoveTo(i);
        break;
      }
      case 5:
        c.MoveToNext();
        if (!IsList()) {
          ++m.cursor;
        } else {
          m.cursor = m.cursor < 0 ? (len > 0 ? 0 : -1) : (m.cursor + 1 < len ? m.cursor + 1 : -1);
        }
        break;
      case 6:
        c.MoveToPre();
        if (!IsList()) {
          --m.cursor;
        } else {
          m.cursor = m.cursor < 0 ? len - 1 : m.cursor - 1;
        }
        break;
      case 7:
        c.MoveToFirst();
        m.MoveTo(0);
        if (!IsList()) m.cursor = 0;
        break;
      case 8:
        c.MoveToLast();
        m.cursor = len - 1;
        break;
      case 9:
        c.DelCur();
        if (!m.Out()) {
          m.v.erase(m.v.begin() + m.cursor);
          --m.cursor;
        }
        break;
      case 10: {  // delete during a forward walk: every element is visited exactly once
        const int r = static_cast<int>(Rand(0, 7));
        std::vector<Item> visited;
        for (c.MoveToFirst(); !c.IsOut(); c.MoveToNext()) {
          visited.push_back(c.GetCurData());
          if (visited.size() > m.v.size()) break;
          if (c.GetCurData().key % 8 == r) c.DelCur();
        }
        ASSERT_EQ(visited.size(), m.v.size());
        for (size_t i = 0; i < visited.size(); ++i) ASSERT_TRUE(kvtest::Same(visited[i], m.v[i]));
        std::erase_if(m.v, [r](const Item& e) { return e.key % 8 == r; });
        m.cursor = IsList() ? -1 : m.Len();
        break;
      }
      case 11: {  // Move
        const long from = Rand(-1, len);
        const long to = Rand(-1, len + 1);
        const bool r = c.Move(from, to);
        bool expect = !(from == to || from == to - 1) && m.Valid(from) && to >= 0 && to <= len;
        EXPECT_EQ(r, expect) << from << "->" << to;
        if (expect) {
          const Item x = m.v[from];
          m.v.insert(m.v.begin() + to, x);
          m.v.erase(m.v.begin() + (from <= to ? from : from + 1));
          m.cursor = from <= to ? to - 1 : to;
        }
        break;
      }
      case 12: {
        const bool asc = Rand(0, 1) == 1;
        c.Sort(asc);
        if (asc) {
          std::stable_sort(m.v.begin(), m.v.end(), [](const Item& a, const Item& b) { return a.key < b.key; });
        } else {
          std::stable_sort(m.v.begin(), m.v.end(), [](const Item& a, const Item& b) { return a.key > b.key; });
        }
        break;
      }
      case 13: {
        c.Sort(+[](const Item& a, const Item& b) { return b.key - a.key; });
        std::stable_sort(m.v.begin(), m.v.end(), [](const Item& a, const Item& b) { return a.key > b.key; });
        break;
      }
      case 14:
      case 15: {  // binary search / sorted insertion on an ascending container
        c.Sort(true);
        std::stable_sort(m.v.begin(), m.v.end(), [](const Item& a, const Item& b) { return a.key < b.key; });
        const Item x = NewItem();
        const long present = m.FirstKey(x.key);
        const long lower = std::lower_bound(m.v.begin(), m.v.end(), x) - m.v.begin();
        const long upper = std::upper_bound(m.v.begin(), m.v.end(), x) - m.v.begin();
        if (op == 14) {
          const long cursor = m.cursor;
          const long r = c.BFind(x);
          EXPECT_EQ(c.GetCur(), cursor) << "BFind moves nothing";
          if (present < 0) {
            EXPECT_EQ(r, -1);
          } else {
            ASSERT_TRUE(m.Valid(r));
            EXPECT_EQ(m.v[r].key, x.key);
          }
          const bool found = c.BFindTo(x);
          EXPECT_EQ(found, present >= 0);
          if (found) {
            ASSERT_TRUE(m.Valid(c.GetCur()));
            EXPECT_EQ(m.v[c.GetCur()].key, x.key);
            m.cursor = c.GetCur();
          } else {
            m.MoveTo(lower);  // where x would be inserted
          }
        } else {
          const bool allow = Rand(0, 1) == 1;
          const bool r = c.SortInto(x, allow);
          if (present >= 0 && !allow) {
            EXPECT_FALSE(r);
            ASSERT_TRUE(m.Valid(c.GetCur()));
            EXPECT_EQ(m.v[c.GetCur()].key, x.key);
            m.cursor = c.GetCur();
          } else {
            EXPECT_TRUE(r);
            const long at = present >= 0 ? upper : lower;
            m.v.insert(m.v.begin() + at, x);
            m.cursor = at;
          }
        }
        break;
      }
      case 16: {
        const long i = Rand(-1, len);
        const long j = Rand(-1, len);
        const bool r = c.Exchange(i, j);
        EXPECT_EQ(r, m.Valid(i) && m.Valid(j));
        if (r) std::swap(m.v[i], m.v[j]);
        break;
      }
      case 17: {
        const long from = Rand(-1, len);
        const long to = Rand(-1, len);
        c.Reverse(from, to);
        const long t = to < 0 ? len - 1 : to;
        if (!(from < 0 || t >= len || from >= t)) std::reverse(m.v.begin() + from, m.v.begin() + t + 1);
        break;
      }
      case 18: {
        const Item x = NewItem();
        const long r = c.FindDel(x);
        const long n = std::erase_if(m.v, [&](const Item& e) { return e.key == x.key; });
        EXPECT_EQ(r, n);
        m.cursor = IsList() ? -1 : m.Len();
        break;
      }
      case 19: {
        const Item x = NewItem();
        const long r = c.FindOrAppend(x);
        const long i = m.FirstKey(x.key);
        if (i >= 0) {
          EXPECT_EQ(r, i);
        } else {
          m.v.push_back(x);
          m.cursor = m.Len() - 1;
          EXPECT_EQ(r, m.cursor);
        }
        break;
      }
      case 20: {
        const Item x = NewItem();
        const long from = Rand(-1, len);
        const bool r = c.FindTo(x, from);
        const long i = m.FirstKey(x.key, from);
        EXPECT_EQ(r, i >= 0);
        m.cursor = i;
        break;
      }
      case 21: {  // operator[] grows the container and moves the cursor
        const long i = Rand(0, len + 2);
        Item& ref = c[i];
        if (i >= len) m.v.resize(i + 1);
        m.cursor = i;
        EXPECT_TRUE(kvtest::Same(ref, m.v[i]));
        const Item x = NewItem();
        ref = x;
        m.v[i] = x;
        break;
      }
      case 22: {
        const long i = Rand(-1, len);
        c.Del(i);
        if (m.Valid(i)) {
          m.v.erase(m.v.begin() + i);
          m.cursor = i - 1;
        }
        break;
      }
      case 23: {
        const long n = Rand(std::max(0L, len - 4), len + 3);
        c.ReAllocate(n);
        m.v.resize(n);
        if (IsList()) m.MoveTo(m.cursor);
        break;
      }
      case 24: {
        const long n = Rand(std::max(0L, len - 4), len + 3);
        const bool keep = Rand(0, 1) == 1;
        c.SetLength(n, keep);
        if (!keep) m.v.clear();
        m.v.resize(n);
        if (IsList()) m.MoveTo(keep ? m.cursor : -1);
        break;
      }
      case 25:
        ListSplice();
        break;
      case 26:
        if (!IsList()) break;
        ListReverse();
        break;
      case 27:
        if (!IsList()) break;
        ListRotate();
        break;
      case 28: {  // feed the second container
        const Item x = NewItem();
        m_o.Append(x);
        m_om.v.push_back(x);
        m_om.cursor = m_om.Len() - 1;
        break;
      }
      case 29: {  // Left / Right / Mid into the second container
        const int which = static_cast<int>(Rand(0, 2));
        const long a = Rand(-1, len + 1);
        const long b = Rand(-1, len + 1);
        bool r = false;
        bool expect = false;
        std::vector<Item> part;
        if (which == 0) {
          r = c.Left(a, m_o);
          expect = a >= 0 && a <= len;
          if (expect) part.assign(m.v.begin(), m.v.begin() + a);
        } else if (which == 1) {
          r = c.Right(a, m_o);
          expect = a >= 0 && a <= len;
          if (expect) part.assign(m.v.end() - a, m.v.end());
        } else {
          r = c.Mid(a, b, m_o);
          expect = a >= 0 && a <= b && b < len;
          if (expect) part.assign(m.v.begin() + a, m.v.begin() + b + 1);
        }
        EXPECT_EQ(r, expect);
        if (expect) {
          m_om.v = part;
          if (IsList()) m_om.cursor = -1;
        }
        break;
      }
      case 30:
        ListDetach();
        break;
      default: {  // Find with a queue of every matching index
        const Item x = NewItem();
        KvQuene<long> q;
        q.Push(-7);
        const long n = c.Find(x, q, 0, -1);
        std::vector<long> expect{-7};
        for (long i = 0; i < len; ++i) {
          if (m.v[i].key == x.key) expect.push_back(i);
        }
        EXPECT_EQ(n, static_cast<long>(expect.size()));
        for (long e : expect) {
          long got = 0;
          ASSERT_TRUE(q.Pop(got));
          EXPECT_EQ(got, e);
        }
        break;
      }
    }
  }

  void ListSplice() {
    if constexpr (requires(C& a, C& b) { a.Conbine(b, 0L); }) {
      if (Rand(0, 1) == 0) {  // this.Conbine(other, from)
        const long from = Rand(-1, m_om.Len());
        const long r = m_c.Conbine(m_o, from);
        if (m_om.Valid(from)) {
          m_m.v.insert(m_m.v.end(), m_om.v.begin() + from, m_om.v.end());
          m_om.v.resize(from);
          m_om.cursor = from - 1;
        }
        EXPECT_EQ(r, m_m.Len());
      } else {  // this.SplitAt(i, other): our tail from i goes to other's end
        const long i = Rand(-1, m_m.Len());
        const long r = m_c.SplitAt(i, m_o);
        if (m_m.Valid(i)) {
          m_om.v.insert(m_om.v.end(), m_m.v.begin() + i, m_m.v.end());
          m_m.v.resize(i);
          m_m.cursor = i - 1;
        }
        EXPECT_EQ(r, m_om.Len());
      }
    }
  }
  void ListReverse() {
    if constexpr (requires(C& a) { a.ReverseList(); }) {
      m_c.ReverseList();
      if (m_m.Len() >= 2) {
        std::reverse(m_m.v.begin(), m_m.v.end());
        if (m_m.cursor >= 0) m_m.cursor = m_m.Len() - 1 - m_m.cursor;
      }
    }
  }
  void ListRotate() {
    if constexpr (requires(C& a) { a.Rotate(0L, 0L); }) {
      const long len = m_m.Len();
      const long a = Rand(-1, len);
      const long b = Rand(-1, len);
      const bool r = m_c.Rotate(a, b);
      const bool expect = a != b && m_m.Valid(a) && m_m.Valid(b);
      EXPECT_EQ(r, expect);
      if (expect) {
        const Item moved = m_m.v[a];
        std::rotate(m_m.v.begin(), m_m.v.begin() + (a - b + len) % len, m_m.v.end());
        EXPECT_TRUE(kvtest::Same(m_m.v[b], moved));
        m_m.cursor = 0;
      }
    }
  }
  void ListDetach() {
    if constexpr (requires(C& a) { a.DetachAfterCur(); }) {
      auto* chain = m_c.DetachAfterCur();
      long n = 0;
      for (auto* p = chain; p != nullptr; p = p->next) {
        ASSERT_TRUE(kvtest::Same(p->data, m_m.v[m_m.cursor + 1 + n]));
        ++n;
      }
      C::DeleteChain(chain);
      EXPECT_EQ(n, m_m.Len() - (m_m.cursor + 1));
      m_m.v.resize(m_m.cursor + 1);
    }
  }

  C& m_c;
  C& m_o;
  Model m_m;
  Model m_om;
  std::mt19937 m_rng;
  int m_tag = 0;
};

constexpr int kSteps = 3000;

TEST(ContainersMatchModel, DynArrayWithSeveralAllocUnits) {
  for (long unit : {0L, 1L, 5L, 16L}) {
    KvDynArray<Item> c(0, unit);
    KvDynArray<Item> other(3, unit);
    Driver<KvDynArray<Item>>(c, other, Family::Array, 1000u + static_cast<unsigned>(unit)).Run(kSteps);
    ASSERT_FALSE(HasFailure()) << "allocUnit " << unit;
  }
}

TEST(ContainersMatchModel, SinglyLinkedList) {
  for (unsigned seed : {11u, 12u}) {
    KvList<Item> c;
    KvList<Item> other;
    Driver<KvList<Item>>(c, other, Family::List, seed).Run(kSteps);
    ASSERT_FALSE(HasFailure()) << "seed " << seed;
  }
}

TEST(ContainersMatchModel, DoublyLinkedList) {
  for (unsigned seed : {21u, 22u}) {
    KvDList<Item> c;
    KvDList<Item> other;
    Driver<KvDList<Item>>(c, other, Family::List, seed).Run(kSteps);
    ASSERT_FALSE(HasFailure()) << "seed " << seed;
  }
}

TEST(ContainersMatchModel, SkipIndexListWithSeveralSteps) {
  for (long step : {1L, 2L, 3L, 7L}) {
    KvXList<Item> c(0, step, 2);
    KvXList<Item> other(0, step + 1, 2);
    Driver<KvXList<Item>>(c, other, Family::List, 3000u + static_cast<unsigned>(step)).Run(kSteps);
    ASSERT_FALSE(HasFailure()) << "step " << step;
  }
}

// ---- pointer containers: slots may be empty; the containers own the objects.

// Model of a pointer container: the key of each slot's object, or nothing for an empty slot.
using Slots = std::vector<std::optional<int>>;

template <class C>
Slots SlotsOf(C& c) {
  Slots out;
  for (long i = 0; i < c.GetLength(); ++i) {
    kvtest::Tracked* p = c.GetPData(i);
    out.push_back(p != nullptr ? std::optional<int>(p->key) : std::nullopt);
  }
  return out;
}

template <class C>
void RunPointerModel(C& c, Family family, unsigned seed, int steps) {
  using kvtest::Tracked;
  std::mt19937 rng(seed);
  auto rand = [&](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(rng); };
  Slots m;
  long cursor = -1;
  const int liveBefore = Tracked::live;
  auto valid = [&](long i) { return i >= 0 && i < static_cast<long>(m.size()); };
  auto moveTo = [&](long i) { cursor = family == Family::Array ? i : (valid(i) ? i : -1); };
  for (int s = 0; s < steps; ++s) {
    const long len = static_cast<long>(m.size());
    int op = static_cast<int>(rand(0, 13));
    if (len > 100) op = 4;
    switch (op) {
      case 0:
      case 1: {
        const int key = static_cast<int>(rand(0, 9));
        c.Append(new Tracked(key));
        m.push_back(key);
        cursor = static_cast<long>(m.size()) - 1;
        break;
      }
      case 2:
        c.Append(nullptr);
        m.push_back(std::nullopt);
        cursor = static_cast<long>(m.size()) - 1;
        break;
      case 3: {  // PlaceIn takes the first empty slot
        const int key = static_cast<int>(rand(0, 9));
        const long r = c.PlaceIn(new Tracked(key));
        auto it = std::find(m.begin(), m.end(), std::nullopt);
        long at = it - m.begin();
        if (it == m.end()) {
          m.push_back(key);
        } else {
          *it = key;
        }
        EXPECT_EQ(r, at);
        cursor = at;
        break;
      }
      case 4: {
        const long i = rand(-1, len);
        c.MoveTo(i);
        moveTo(i);
        c.DelCur();
        if (valid(cursor)) {
          m.erase(m.begin() + cursor);
          --cursor;
        }
        break;
      }
      case 5: {
        const long i = rand(-1, len);
        c.MoveTo(i);
        moveTo(i);
        c.ReleaseCur();
        if (valid(cursor)) m[cursor].reset();
        break;
      }
      case 6: {
        const long i = rand(-1, len);
        Tracked* p = c.TakeOff(i);
        if (valid(i)) {
          EXPECT_EQ(p != nullptr, m[i].has_value());
          if (p != nullptr) {
            EXPECT_EQ(p->key, *m[i]);
          }
          m.erase(m.begin() + i);
          cursor = i - 1;
        } else {
          EXPECT_EQ(p, nullptr);
        }
        delete p;
        break;
      }
      case 7: {
        const long i = rand(-1, len);
        c.Release(i);
        if (valid(i)) m[i].reset();
        break;
      }
      case 8: {  // sort by the objects; empty slots end at the tail
        const bool asc = rand(0, 1) == 1;
        c.Sort(asc);
        std::stable_sort(m.begin(), m.end(), [asc](const std::optional<int>& a, const std::optional<int>& b) {
          if (!a || !b) return a.has_value() && !b.has_value();
          return asc ? *a < *b : *a > *b;
        });
        if (asc) {  // then a binary search over the objects
          const Tracked x(static_cast<int>(rand(0, 10)));
          const long r = c.BFindData(x);
          const bool present = std::find(m.begin(), m.end(), std::optional<int>(x.key)) != m.end();
          if (present) {
            ASSERT_TRUE(valid(r));
            EXPECT_EQ(m[r], std::optional<int>(x.key));
          } else {
            EXPECT_EQ(r, -1);
          }
        }
        break;
      }
      case 9: {
        const Tracked x(static_cast<int>(rand(0, 9)));
        const long r = c.FindDataDel(x);
        const long n = std::erase(m, std::optional<int>(x.key));
        EXPECT_EQ(r, n);
        cursor = family == Family::Array ? static_cast<long>(m.size()) : -1;
        break;
      }
      case 10: {
        const Tracked x(static_cast<int>(rand(0, 12)));
        const long r = c.FindDataOrAppend(x);
        auto it = std::find(m.begin(), m.end(), std::optional<int>(x.key));
        if (it != m.end()) {
          EXPECT_EQ(r, it - m.begin());
        } else {
          m.push_back(x.key);
          cursor = static_cast<long>(m.size()) - 1;
          EXPECT_EQ(r, cursor);
        }
        break;
      }
      case 11: {
        const long i = rand(-1, len);
        c.MoveTo(i);
        moveTo(i);
        Tracked* p = c.TakeOffCur();
        if (valid(cursor)) {
          EXPECT_EQ(p != nullptr, m[cursor].has_value());
          m.erase(m.begin() + cursor);
          --cursor;
        } else {
          EXPECT_EQ(p, nullptr);
        }
        delete p;
        break;
      }
      case 12: {  // moving a slot keeps its object alive
        const long from = rand(-1, len);
        const long to = rand(-1, len + 1);
        const bool expect = !(from == to || from == to - 1) && valid(from) && to >= 0 && to <= len;
        EXPECT_EQ(c.Move(from, to), expect);
        if (expect) {
          const std::optional<int> x = m[from];
          m.insert(m.begin() + to, x);
          m.erase(m.begin() + (from <= to ? from : from + 1));
          cursor = from <= to ? to - 1 : to;
        }
        break;
      }
      default: {
        const long i = rand(-1, len);
        EXPECT_EQ(c.IsEmptyData(i), !valid(i) || !m[i].has_value());
        break;
      }
    }
    ASSERT_EQ(SlotsOf(c), m) << "step " << s << " op " << op;
    ASSERT_EQ(c.GetCur(), cursor) << "step " << s << " op " << op;
    const long objects = std::count_if(m.begin(), m.end(), [](const auto& o) { return o.has_value(); });
    ASSERT_EQ(c.GetDataNum(), objects);
    ASSERT_EQ(Tracked::live - liveBefore, objects) << "every object is owned exactly once";
  }
}

TEST(PointerContainersMatchModel, OwningArray) {
  const int live = kvtest::Tracked::live;
  {
    KvDynPArray<kvtest::Tracked> c(0, 3);
    RunPointerModel(c, Family::Array, 77u, kSteps);
  }
  EXPECT_EQ(kvtest::Tracked::live, live) << "the destructor deletes every object";
}

TEST(PointerContainersMatchModel, OwningDoublyLinkedList) {
  const int live = kvtest::Tracked::live;
  {
    KvPDList<kvtest::Tracked> c;
    RunPointerModel(c, Family::List, 78u, kSteps);
  }
  EXPECT_EQ(kvtest::Tracked::live, live);
}

TEST(PointerContainersMatchModel, OwningSkipIndexList) {
  const int live = kvtest::Tracked::live;
  {
    KvPXList<kvtest::Tracked> c(0, 3);
    RunPointerModel(c, Family::List, 79u, kSteps);
  }
  EXPECT_EQ(kvtest::Tracked::live, live);
}

}  // namespace
