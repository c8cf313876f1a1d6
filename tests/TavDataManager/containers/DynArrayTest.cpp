// KvDynArray and the operations every container inherits from KvDynArrayBase.
#include <gtest/gtest.h>

#include <vector>

#include "ContainerTestSupport.h"

namespace {

using kvtest::Item;
using kvtest::Ints;

KvDynArray<int> Of(std::initializer_list<int> values, long allocUnit = 4) {
  KvDynArray<int> a(0, allocUnit);
  for (int v : values) a.Append(v);
  return a;
}

TEST(DynArrayGrowth, FirstAppendIntoNoCapacityAllocatesOnePlusAllocUnit) {
  KvDynArray<int> a(0, 8);
  EXPECT_EQ(a.GetSpaceSize(), 0);
  EXPECT_EQ(a.GetDataBuffer(), nullptr);
  EXPECT_EQ(a.Append(5), 0);
  EXPECT_EQ(a.GetSpaceSize(), 9);
  EXPECT_EQ(a.GetLength(), 1);
  EXPECT_EQ(a.GetCur(), 0);
}

TEST(DynArrayGrowth, AppendsWithinCapacityKeepTheBuffer) {
  KvDynArray<int> a(0, 3);
  a.Append(1);
  int* buffer = a.GetDataBuffer();
  a.Append(2);
  a.Append(3);
  a.Append(4);
  EXPECT_EQ(a.GetDataBuffer(), buffer);
  EXPECT_EQ(a.GetSpaceSize(), 4);
  a.Append(5);  // 5 > 4: a new buffer of 5 + 3
  EXPECT_EQ(a.GetSpaceSize(), 8);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(DynArrayGrowth, ReAllocateNeverShrinksTheBufferAndClearsDroppedElements) {
  KvDynArray<int> a = Of({1, 2, 3, 4, 5}, 0);
  const long space = a.GetSpaceSize();
  a.ReAllocate(2);
  EXPECT_EQ(a.GetSpaceSize(), space);
  EXPECT_EQ(a.GetLength(), 2);
  a.ReAllocate(4);  // regrown elements are default values, not the old ones
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 0, 0}));
}

TEST(DynArrayGrowth, SetLengthMakesCapacityExactAndKeepsOnlyWhenAsked) {
  KvDynArray<int> a = Of({1, 2, 3}, 10);
  a.SetLength(5, true);
  EXPECT_EQ(a.GetSpaceSize(), 5);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 0, 0}));
  a.SetLength(2, true);
  EXPECT_EQ(a.GetSpaceSize(), 2);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2}));
  a.SetLength(2, false);  // same capacity, not kept
  EXPECT_EQ(Ints(a), (std::vector<int>{0, 0}));
  a.SetLength(0, true);
  EXPECT_EQ(a.GetDataBuffer(), nullptr);
  EXPECT_TRUE(a.IsEmpty());
}

TEST(DynArrayGrowth, SetSpaceSizeRefusesLessThanLengthAndKeepsLength) {
  KvDynArray<int> a = Of({1, 2, 3}, 0);
  EXPECT_FALSE(a.SetSpaceSize(2));
  EXPECT_EQ(a.GetSpaceSize(), 3);
  EXPECT_TRUE(a.SetSpaceSize(3));
  EXPECT_TRUE(a.SetSpaceSize(10));
  EXPECT_EQ(a.GetSpaceSize(), 10);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3}));
}

TEST(DynArrayGrowth, DetachHandsOverTheBufferAndAttachAdoptsOne) {
  KvDynArray<int> a = Of({7, 8});
  int* buffer = a.Detach();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer[1], 8);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetSpaceSize(), 0);
  EXPECT_EQ(a.GetDataBuffer(), nullptr);
  KvDynArray<int> b = Of({1});
  b.Attach(2, buffer);
  EXPECT_EQ(b.GetSpaceSize(), 2);
  EXPECT_EQ(Ints(b), (std::vector<int>{7, 8}));
}

TEST(DynArrayCursor, IndexingGrowsTheArrayAndMovesTheCursor) {
  KvDynArray<int> a;
  a[3] = 9;
  EXPECT_EQ(a.GetLength(), 4);
  EXPECT_EQ(a.GetCur(), 3);
  EXPECT_EQ(Ints(a), (std::vector<int>{0, 0, 0, 9}));
  EXPECT_EQ(a[1], 0);
  EXPECT_EQ(a.GetCur(), 1);
}

TEST(DynArrayCursor, DeletingWhileWalkingForwardVisitsEveryElementOnce) {
  KvDynArray<int> a = Of({1, 2, 2, 3, 2, 4});
  std::vector<int> visited;
  for (a.MoveToFirst(); !a.IsOut(); a.MoveToNext()) {
    visited.push_back(a.GetCurData());
    if (a.GetCurData() == 2) a.DelCur();
  }
  EXPECT_EQ(visited, (std::vector<int>{1, 2, 2, 3, 2, 4}));
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 3, 4}));
  EXPECT_TRUE(a.IsEnd());
}

TEST(DynArrayCursor, DeletingTheFirstElementLeavesTheCursorBeforeTheFirst) {
  KvDynArray<int> a = Of({1, 2});
  a.MoveTo(0);
  a.DelCur();
  EXPECT_EQ(a.GetCur(), -1);
  EXPECT_TRUE(a.IsBegin());
  a.DelCur();  // out: nothing happens
  EXPECT_EQ(Ints(a), (std::vector<int>{2}));
}

TEST(DynArrayCursor, OutOfRangeQueriesGiveNullAndAScratchElement) {
  KvDynArray<int> a = Of({1, 2});
  EXPECT_EQ(a.GetTo(2), nullptr);
  EXPECT_EQ(a.GetTo(-1), nullptr);
  EXPECT_EQ(a.GetNext(a.GetLast()), nullptr);
  EXPECT_EQ(a.GetPre(a.GetFirst()), nullptr);
  a.MoveTo(5);
  EXPECT_TRUE(a.IsEnd());
  a.GetCurData() = 42;  // lost
  a.SetCurData(43);     // ignored
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2}));
}

TEST(DynArrayCursor, InsertCurOutsideTheArrayClampsToHeadOrTail) {
  KvDynArray<int> a = Of({1, 2});
  a.MoveTo(-1);
  a.InsertCur(0);
  EXPECT_EQ(a.GetCur(), 0);
  a.MoveTo(9);
  a.InsertCur(3);
  EXPECT_EQ(a.GetCur(), 3);
  EXPECT_EQ(Ints(a), (std::vector<int>{0, 1, 2, 3}));
}

TEST(DynArrayCursor, InsertingAnElementOfTheArrayItselfSurvivesGrowth) {
  KvDynArray<int> a(0, 0);
  a.Append(5);
  a.MoveTo(0);
  a.InsertCur(a.GetCurData());  // the reference points into the buffer being replaced
  EXPECT_EQ(Ints(a), (std::vector<int>{5, 5}));
}

TEST(ContainerSort, SortKeepsEqualElementsInTheirOrder) {
  KvDynArray<Item> a;
  const int keys[] = {3, 1, 3, 2, 1, 3};
  for (int i = 0; i < 6; ++i) a.Append(Item(keys[i], i));
  a.Sort(true);
  const int order[][2] = {{1, 1}, {1, 4}, {2, 3}, {3, 0}, {3, 2}, {3, 5}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(a.GetAt(i)->key, order[i][0]);
    EXPECT_EQ(a.GetAt(i)->tag, order[i][1]) << "position " << i;
  }
  a.Sort(false);
  const int down[][2] = {{3, 0}, {3, 2}, {3, 5}, {2, 3}, {1, 1}, {1, 4}};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.GetAt(i)->tag, down[i][1]) << "position " << i;
}

TEST(ContainerSort, SortByComparisonAndTinyContainers) {
  KvDynArray<int> a = Of({4, 9, 1});
  a.Sort(+[](const int& x, const int& y) { return y - x; });
  EXPECT_EQ(Ints(a), (std::vector<int>{9, 4, 1}));
  KvDynArray<int> one = Of({5});
  one.Sort(true);
  EXPECT_EQ(Ints(one), (std::vector<int>{5}));
  KvDynArray<int> none;
  none.Sort(true);
  EXPECT_TRUE(none.IsEmpty());
}

TEST(BinarySearch, EmptyContainerGivesFalseWithCursorZero) {
  KvDynArray<int> a;
  EXPECT_FALSE(a.BFindTo(3));
  EXPECT_EQ(a.GetCur(), 0);
  EXPECT_EQ(a.BFind(3), -1);
}

TEST(BinarySearch, CursorStandsWhereTheValueWouldBeInserted) {
  KvDynArray<int> a = Of({10, 20, 30, 40, 50});
  a.MoveTo(2);
  EXPECT_EQ(a.BFind(40), 3);
  EXPECT_EQ(a.GetCur(), 2) << "BFind leaves the cursor";
  EXPECT_TRUE(a.BFindTo(40));
  EXPECT_EQ(a.GetCur(), 3);
  EXPECT_FALSE(a.BFindTo(5));
  EXPECT_EQ(a.GetCur(), 0);
  EXPECT_FALSE(a.BFindTo(55));
  EXPECT_EQ(a.GetCur(), 5);
  EXPECT_FALSE(a.BFindTo(35));
  EXPECT_EQ(a.GetCur(), 3);
  EXPECT_FALSE(a.BFindTo(11));
  EXPECT_EQ(a.GetCur(), 1);
  // A sub-range: below its first element and above its last.
  EXPECT_FALSE(a.BFindTo(15, 2, 3));
  EXPECT_EQ(a.GetCur(), 2);
  EXPECT_FALSE(a.BFindTo(45, 1, 3));
  EXPECT_EQ(a.GetCur(), 4);
  EXPECT_EQ(a.BFind(50, 0, 3), -1);
  EXPECT_EQ(a.BFind(50, 0, 99), 4) << "an invalid `to` means the last index";
}

TEST(SortedInsertion, PresentValueWithoutDuplicatesChangesNothing) {
  KvDynArray<int> a = Of({1, 3, 5});
  EXPECT_FALSE(a.SortInto(3, false));
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 3, 5}));
  EXPECT_TRUE(a.SortInto(4, false));
  EXPECT_EQ(a.GetCur(), 2);
  EXPECT_TRUE(a.SortInto(9, false));
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 3, 4, 5, 9}));
}

TEST(SortedInsertion, DuplicateGoesAfterTheLastEqualElement) {
  KvDynArray<Item> a;
  a.Append(Item(1, 0));
  a.Append(Item(2, 1));
  a.Append(Item(2, 2));
  a.Append(Item(2, 3));
  a.Append(Item(5, 4));
  EXPECT_TRUE(a.SortInto(Item(2, 9), true));
  EXPECT_EQ(a.GetCur(), 4);
  EXPECT_EQ(a.GetAt(4)->tag, 9);
  EXPECT_EQ(a.GetAt(5)->key, 5);
}

TEST(MoveElement, NeighbourMoveIsANoOp) {
  KvDynArray<int> a = Of({1, 2, 3, 4});
  a.MoveTo(0);
  EXPECT_FALSE(a.Move(1, 2));
  EXPECT_FALSE(a.Move(2, 2));
  EXPECT_EQ(a.GetCur(), 0);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 4}));
}

TEST(MoveElement, ForwardAndBackwardMovesLeaveTheCursorOnTheMovedElement) {
  KvDynArray<int> a = Of({1, 2, 3, 4});
  EXPECT_TRUE(a.Move(0, 3));  // before the element now at 3
  EXPECT_EQ(Ints(a), (std::vector<int>{2, 3, 1, 4}));
  EXPECT_EQ(a.GetCur(), 2);
  EXPECT_TRUE(a.Move(3, 0));
  EXPECT_EQ(Ints(a), (std::vector<int>{4, 2, 3, 1}));
  EXPECT_EQ(a.GetCur(), 0);
  EXPECT_TRUE(a.Move(0, 4));  // to the end
  EXPECT_EQ(Ints(a), (std::vector<int>{2, 3, 1, 4}));
  EXPECT_EQ(a.GetCur(), 3);
  EXPECT_FALSE(a.Move(4, 0));
  EXPECT_FALSE(a.Move(0, 6));
}

TEST(WholeArray, LeftRightMidCheckTheirRanges) {
  KvDynArray<int> a = Of({1, 2, 3, 4, 5});
  KvDynArray<int> out = Of({9});
  EXPECT_FALSE(a.Left(6, out));
  EXPECT_FALSE(a.Right(6, out));
  EXPECT_FALSE(a.Mid(3, 2, out));
  EXPECT_FALSE(a.Mid(-1, 2, out));
  EXPECT_FALSE(a.Mid(2, 5, out));
  EXPECT_EQ(Ints(out), (std::vector<int>{9})) << "a refused copy leaves `out` alone";
  EXPECT_TRUE(a.Left(2, out));
  EXPECT_EQ(Ints(out), (std::vector<int>{1, 2}));
  EXPECT_TRUE(a.Right(3, out));
  EXPECT_EQ(Ints(out), (std::vector<int>{3, 4, 5}));
  EXPECT_TRUE(a.Mid(1, 3, out));
  EXPECT_EQ(Ints(out), (std::vector<int>{2, 3, 4}));
  EXPECT_TRUE(a.Left(5, out));
  EXPECT_EQ(Ints(out), Ints(a));
  EXPECT_TRUE(a.Left(0, out));
  EXPECT_TRUE(out.IsEmpty());
}

TEST(WholeArray, ExchangeReverseSetAll) {
  KvDynArray<int> a = Of({1, 2, 3, 4, 5});
  EXPECT_TRUE(a.Exchange(0, 4));
  EXPECT_FALSE(a.Exchange(0, 5));
  EXPECT_EQ(Ints(a), (std::vector<int>{5, 2, 3, 4, 1}));
  a.Reverse(1, 3);
  EXPECT_EQ(Ints(a), (std::vector<int>{5, 4, 3, 2, 1}));
  a.Reverse();
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 4, 5}));
  a.SetAll(7);
  EXPECT_EQ(Ints(a), (std::vector<int>(5, 7)));
}

TEST(WholeArray, CopiesAndAppendsAcrossContainerKinds) {
  KvDynArray<int> a = Of({1, 2, 3});
  KvList<int> list;
  list.DeepCopy(a);
  EXPECT_EQ(Ints(list), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(list.GetCur(), -1);
  list << 4 << a;
  EXPECT_EQ(Ints(list), (std::vector<int>{1, 2, 3, 4, 1, 2, 3}));
  a << a;  // appending itself doubles it
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 1, 2, 3}));
  KvArray<int> plain(2);
  plain.SetAll(8);
  a << plain;
  EXPECT_EQ(a.GetLength(), 8);
  EXPECT_EQ(*a.GetLast(), 8);
  KvDynArray<int> copy(a);
  EXPECT_TRUE(copy == a);
  copy[0] = 100;
  EXPECT_FALSE(copy == a) << "copies do not share storage";
}

TEST(WholeArray, ComparisonLooksAtElementsForEqualityAndLengthForOrder) {
  KvDynArray<int> a = Of({1, 2, 3});
  KvDList<int> b;
  b << 1 << 2 << 3;
  EXPECT_TRUE(a == b);
  b.SetCurData(4);
  EXPECT_TRUE(a != b);
  KvDynArray<int> shorter = Of({9, 9});
  EXPECT_TRUE(shorter < a);
  EXPECT_TRUE(a > shorter);
  EXPECT_FALSE(a < b);
  EXPECT_FALSE(a > b);
}

TEST(Searching, FindVariants) {
  KvDynArray<int> a = Of({5, 1, 5, 2, 5});
  EXPECT_EQ(a.Find(5), 0);
  EXPECT_EQ(a.Find(5, 1), 2);
  EXPECT_EQ(a.Find(5, 3, 3), -1);
  EXPECT_EQ(a.Find(5, 3, 77), 4);
  EXPECT_EQ(a.Find(8), -1);
  KvQuene<long> q;
  q.Push(99);
  EXPECT_EQ(a.Find(5, q, 1, -1), 3) << "the queue's count, earlier entries included";
  long i = 0;
  ASSERT_TRUE(q.Pop(i));
  EXPECT_EQ(i, 99);
  ASSERT_TRUE(q.Pop(i));
  EXPECT_EQ(i, 2);
  EXPECT_TRUE(a.FindTo(2));
  EXPECT_EQ(a.GetCur(), 3);
  EXPECT_FALSE(a.FindTo(1, 2));
  EXPECT_TRUE(a.IsOut());
  EXPECT_EQ(a.FindOrAppend(2), 3);
  EXPECT_EQ(a.FindOrAppend(7), 5);
  EXPECT_EQ(a.FindOrInsertHead(7), 5);
  EXPECT_EQ(a.FindOrInsertHead(0), 0);
  EXPECT_EQ(a.FindDel(5), 3);
  EXPECT_EQ(Ints(a), (std::vector<int>{0, 1, 2, 7}));
}

TEST(Searching, SizeHelpersAndDeletionByIndex) {
  KvDynArray<int> a = Of({1, 2, 3});
  a.IncreaseSize(2);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 0, 0}));
  a.DecreaseSize(3);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2}));
  a.DecreaseSize(9);
  EXPECT_TRUE(a.IsEmpty());
  a << 1 << 2 << 3 << 4;
  a.DelHead();
  a.DelTail();
  a.Del(7);
  EXPECT_EQ(Ints(a), (std::vector<int>{2, 3}));
  a.Reset();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetCur(), -1);
}

}  // namespace
