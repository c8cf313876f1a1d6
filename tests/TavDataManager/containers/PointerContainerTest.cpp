// The owning pointer containers: empty slots, ownership hand-over, object comparison.
#include <gtest/gtest.h>

#include <vector>

#include "ContainerTestSupport.h"

namespace {

using kvtest::Tracked;

template <class C>
class PointerContainer : public ::testing::Test {
 protected:
  void SetUp() override { m_live = Tracked::live; }
  void TearDown() override { EXPECT_EQ(Tracked::live, m_live) << "objects leaked or deleted twice"; }
  int m_live = 0;
};
using PointerKinds =
    ::testing::Types<KvDynPArray<Tracked>, KvPDList<Tracked>, KvPXList<Tracked>>;
TYPED_TEST_SUITE(PointerContainer, PointerKinds);

template <class C>
std::vector<int> Keys(C& c) {
  std::vector<int> out;
  for (long i = 0; i < c.GetLength(); ++i) out.push_back(c.IsEmptyData(i) ? -1 : c.GetPData(i)->key);
  return out;
}

TYPED_TEST(PointerContainer, PlaceInFillsTheFirstEmptySlotElseAppends) {
  TypeParam c;
  c.Append(new Tracked(1));
  c.Append(nullptr);
  c.Append(new Tracked(3));
  c.Append(nullptr);
  EXPECT_EQ(c.PlaceIn(new Tracked(2)), 1);
  EXPECT_EQ(c.GetCur(), 1);
  EXPECT_EQ(c.PlaceIn(new Tracked(4)), 3);
  EXPECT_EQ(c.PlaceIn(new Tracked(5)), 4);
  EXPECT_EQ(Keys(c), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(c.GetDataNum(), 5);
}

TYPED_TEST(PointerContainer, ReleaseKeepsTheSlotAndDeletesTheObject) {
  TypeParam c;
  c << new Tracked(1) << new Tracked(2) << new Tracked(3);
  const int live = Tracked::live;
  c.MoveTo(1);
  c.ReleaseCur();
  EXPECT_TRUE(c.IsCurEmpty());
  EXPECT_EQ(Tracked::live, live - 1);
  c.Release(0);
  c.Release(7);  // invalid: nothing
  EXPECT_EQ(Keys(c), (std::vector<int>{-1, -1, 3}));
  EXPECT_EQ(c.GetLength(), 3);
  EXPECT_EQ(c.GetDataNum(), 1);
  c.ReleaseAll();
  EXPECT_EQ(c.GetLength(), 3);
  EXPECT_EQ(c.GetDataNum(), 0);
  EXPECT_TRUE(c.IsEmptyData(2));
  EXPECT_TRUE(c.IsEmptyData(3)) << "an invalid index counts as empty";
}

TYPED_TEST(PointerContainer, TakeOffHandsTheObjectOverAndRemovesTheSlot) {
  TypeParam c;
  c << new Tracked(1) << new Tracked(2) << new Tracked(3) << new Tracked(4);
  Tracked* head = c.TakeOffHead();
  Tracked* tail = c.TakeOffTail();
  ASSERT_NE(head, nullptr);
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(head->key, 1);
  EXPECT_EQ(tail->key, 4);
  EXPECT_EQ(Keys(c), (std::vector<int>{2, 3}));
  c.MoveTo(-1);
  EXPECT_EQ(c.TakeOffCur(), nullptr) << "cursor out";
  EXPECT_EQ(c.TakeOff(5), nullptr);
  EXPECT_EQ(c.GetCurPData(), nullptr);
  delete head;
  delete tail;
}

TYPED_TEST(PointerContainer, DeletingASlotDeletesItsObject) {
  const int live = Tracked::live;
  TypeParam c;
  c << new Tracked(1) << new Tracked(2);
  c.DelHead();
  EXPECT_EQ(Tracked::live, live + 1);
  c.MoveTo(0);
  c.SetCurData(new Tracked(7));  // the replaced object is deleted
  EXPECT_EQ(Tracked::live, live + 1);
  EXPECT_EQ(c(0).key, 7);
  c(0).key = 8;  // a reference to the object itself
  EXPECT_EQ(c.GetPData(0)->key, 8);
  c.Reset();
  EXPECT_EQ(Tracked::live, live);
}

TYPED_TEST(PointerContainer, SortOrdersByObjectsWithEmptySlotsAtTheTail) {
  TypeParam c;
  c << nullptr << new Tracked(3) << new Tracked(1) << nullptr << new Tracked(2);
  c.Sort(true);
  EXPECT_EQ(Keys(c), (std::vector<int>{1, 2, 3, -1, -1}));
  c.Sort(false);
  EXPECT_EQ(Keys(c), (std::vector<int>{3, 2, 1, -1, -1}));
  c.Sort(+[](const Tracked& a, const Tracked& b) { return a.key - b.key; });
  EXPECT_EQ(Keys(c), (std::vector<int>{1, 2, 3, -1, -1}));
  EXPECT_EQ(c.GetLength(), 5);
}

TYPED_TEST(PointerContainer, SearchesCompareObjectsNotPointers) {
  TypeParam c;
  c << new Tracked(10) << nullptr << new Tracked(20) << new Tracked(30);
  const Tracked twenty(20);
  EXPECT_EQ(c.FindData(twenty), 2);
  EXPECT_EQ(c.FindData(twenty, 3), -1);
  EXPECT_TRUE(c.FindDataTo(Tracked(30)));
  EXPECT_EQ(c.GetCur(), 3);
  EXPECT_FALSE(c.FindDataTo(Tracked(5)));
  EXPECT_EQ(c.GetCur(), -1);
  EXPECT_EQ(c.FindDataOrAppend(twenty), 2);
  EXPECT_EQ(c.FindDataOrAppend(Tracked(40)), 4);
  EXPECT_EQ(c.FindDataOrInsertHead(Tracked(5)), 0);
  EXPECT_EQ(Keys(c), (std::vector<int>{5, 10, -1, 20, 30, 40}));
  c.Sort(true);
  EXPECT_EQ(c.BFindData(Tracked(30)), 3);
  EXPECT_EQ(c.BFindData(Tracked(25)), -1);
  EXPECT_FALSE(c.BFindDataTo(Tracked(25)));
  EXPECT_EQ(c.GetCur(), 3);
  EXPECT_TRUE(c.BFindDataTo(Tracked(40)));
  EXPECT_EQ(c.GetCur(), 4);
  EXPECT_EQ(c.FindDataDel(Tracked(20)), 1);
  EXPECT_EQ(Keys(c), (std::vector<int>{5, 10, 30, 40, -1}));
}

TYPED_TEST(PointerContainer, CopiesCloneTheObjects) {
  TypeParam a;
  a << new Tracked(1) << nullptr << new Tracked(2);
  TypeParam b(a);
  EXPECT_EQ(Keys(b), Keys(a));
  EXPECT_NE(b.GetPData(0), a.GetPData(0));
  b(0).key = 9;
  EXPECT_EQ(a(0).key, 1);
  TypeParam c;
  c << new Tracked(7);
  c = a;
  EXPECT_EQ(Keys(c), (std::vector<int>{1, -1, 2}));
  c << a;
  EXPECT_EQ(Keys(c), (std::vector<int>{1, -1, 2, 1, -1, 2}));
}

TYPED_TEST(PointerContainer, IndexingGrowsWithEmptySlotsAndShrinkingDeletes) {
  TypeParam c;
  c[4] = new Tracked(1);
  EXPECT_EQ(c.GetLength(), 5);
  EXPECT_EQ(c.GetDataNum(), 1);
  EXPECT_TRUE(c.IsEmptyData(3));
  const int live = Tracked::live;
  c.ReAllocate(2);
  EXPECT_EQ(Tracked::live, live - 1) << "the dropped slot's object is deleted";
}

TEST(OwningLists, SizedConstructionGivesEmptySlots) {
  KvPDList<Tracked> d(3);
  KvPXList<Tracked> x(4, 2);
  EXPECT_EQ(d.GetLength(), 3);
  EXPECT_EQ(d.GetDataNum(), 0);
  EXPECT_EQ(x.GetLength(), 4);
  EXPECT_EQ(x.GetDataNum(), 0);
}

TEST(OwningArray, SortExComparesTheSlots) {
  const int live = Tracked::live;
  {
    KvDynPArray<Tracked> a;
    a << new Tracked(2) << nullptr << new Tracked(1);
    a.SortEx(+[](const Tracked* x, const Tracked* y) {
      const int kx = x != nullptr ? x->key : -1;
      const int ky = y != nullptr ? y->key : -1;
      return kx - ky;
    });
    EXPECT_TRUE(a.IsEmptyData(0)) << "this comparison puts empty slots first";
    EXPECT_EQ(a.GetPData(1)->key, 1);
    EXPECT_EQ(a.GetPData(2)->key, 2);
    a.SetLength(1, true);
    EXPECT_EQ(Tracked::live, live);
  }
  EXPECT_EQ(Tracked::live, live);
}

TEST(OwningLists, SplicingMovesOwnership) {
  const int live = Tracked::live;
  {
    KvPDList<Tracked> a;
    KvPDList<Tracked> b;
    a << new Tracked(1);
    b << new Tracked(2) << new Tracked(3);
    a.Conbine(b, 0);
    EXPECT_EQ(a.GetDataNum(), 3);
    EXPECT_EQ(b.GetLength(), 0);
    KvPXList<Tracked> x(0, 2);
    x.Conbine(a, 1);
    EXPECT_EQ(Keys(x), (std::vector<int>{2, 3}));
  }
  EXPECT_EQ(Tracked::live, live);
}

}  // namespace
