// The linked containers: cursor moves around the sentinel, list insertion, splicing, reversal,
// rotation and the skip index.
#include <gtest/gtest.h>

#include <vector>

#include "ContainerTestSupport.h"

namespace {

using kvtest::Ints;

template <class L>
L ListOf(std::initializer_list<int> values) {
  L l;
  for (int v : values) l.Append(v);
  return l;
}

template <class L>
class AnyList : public ::testing::Test {};
using ListKinds = ::testing::Types<KvList<int>, KvDList<int>, KvXList<int>>;
TYPED_TEST_SUITE(AnyList, ListKinds);

TYPED_TEST(AnyList, ConstructionStartsBeforeTheFirstElement) {
  TypeParam l;
  EXPECT_EQ(l.GetCur(), -1);
  EXPECT_TRUE(l.IsEmpty());
  EXPECT_EQ(l.GetFirst(), nullptr);
  EXPECT_EQ(l.GetCurPos(), nullptr);
  l.MoveToFirst();
  EXPECT_EQ(l.GetCur(), -1) << "no element to stand on";
}

TYPED_TEST(AnyList, WalkingOffTheTailReachesTheSentinelAndWrapsToTheFirst) {
  TypeParam l = ListOf<TypeParam>({1, 2, 3});
  l.MoveToLast();
  l.MoveToNext();
  EXPECT_EQ(l.GetCur(), -1);
  EXPECT_EQ(l.GetCurPos(), nullptr);
  l.MoveToNext();
  EXPECT_EQ(l.GetCur(), 0);
  EXPECT_EQ(l.GetCurData(), 1);
}

TYPED_TEST(AnyList, SteppingBackFromTheSentinelGoesToTheLast) {
  TypeParam l = ListOf<TypeParam>({1, 2, 3});
  l.MoveTo(-1);
  l.MoveToPre();
  EXPECT_EQ(l.GetCur(), 2);
  EXPECT_EQ(l.GetCurData(), 3);
  l.MoveTo(0);
  l.MoveToPre();
  EXPECT_EQ(l.GetCur(), -1);
}

TYPED_TEST(AnyList, InvalidMovesParkOnTheSentinel) {
  TypeParam l = ListOf<TypeParam>({1, 2, 3});
  l.MoveTo(1);
  l.MoveTo(3);
  EXPECT_EQ(l.GetCur(), -1);
  l.MoveTo(1);
  l.MoveTo(-5);
  EXPECT_EQ(l.GetCur(), -1);
  EXPECT_EQ(l.GetAt(3), nullptr);
  l.GetCurData() = 50;  // lost: the sentinel holds no element
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 2, 3}));
}

TYPED_TEST(AnyList, InsertionsFollowTheListRules) {
  TypeParam l;
  l.InsertCur(2);  // from -1: after the last, so into the empty list
  l.InsertHead(1);
  EXPECT_EQ(l.GetCur(), 0);
  EXPECT_EQ(l.Append(4), 2);
  l.Insert(2, 3);
  EXPECT_EQ(l.GetCur(), 2);
  l.MoveTo(-1);
  l.InsertCur(5);  // from -1: appends
  EXPECT_EQ(l.GetCur(), 4);
  l.Insert(9, 0);  // MoveTo(8) parks on the sentinel: the head
  EXPECT_EQ(l.GetCur(), 0);
  EXPECT_EQ(Ints(l), (std::vector<int>{0, 1, 2, 3, 4, 5}));
  l.MoveTo(2);
  l.InsertAfterCur(9);
  EXPECT_EQ(l.GetCur(), 3);
  EXPECT_EQ(Ints(l), (std::vector<int>{0, 1, 2, 9, 3, 4, 5}));
}

TYPED_TEST(AnyList, DeletingTheCurrentElementStepsBack) {
  TypeParam l = ListOf<TypeParam>({1, 2, 3});
  l.MoveTo(2);
  l.DelCur();
  EXPECT_EQ(l.GetCur(), 1);
  EXPECT_EQ(*l.GetLast(), 2);
  l.Append(7);
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 2, 7})) << "the tail was fixed";
  l.MoveTo(0);
  l.DelCur();
  EXPECT_EQ(l.GetCur(), -1);
  l.MoveToNext();
  EXPECT_EQ(l.GetCurData(), 2);
}

TYPED_TEST(AnyList, SizedConstructionAndIndexingGrowTheList) {
  TypeParam l(3);
  EXPECT_EQ(Ints(l), (std::vector<int>{0, 0, 0}));
  l[5] = 6;
  EXPECT_EQ(l.GetCur(), 5);
  EXPECT_EQ(Ints(l), (std::vector<int>{0, 0, 0, 0, 0, 6}));
}

TYPED_TEST(AnyList, RotateBringsTheGivenElementToTheGivenIndex) {
  TypeParam l = ListOf<TypeParam>({0, 1, 2, 3, 4});
  l.MoveTo(4);
  EXPECT_TRUE(l.Rotate(3, 0));
  EXPECT_EQ(Ints(l), (std::vector<int>{3, 4, 0, 1, 2}));
  EXPECT_EQ(l.GetCur(), 0);
  EXPECT_TRUE(l.Rotate(0, 2));
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 2, 3, 4, 0}));
  EXPECT_FALSE(l.Rotate(2, 2));
  EXPECT_FALSE(l.Rotate(0, 5));
  EXPECT_EQ(*l.GetLast(), 0);
  l.Append(5);
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 2, 3, 4, 0, 5})) << "the tail moved with the ring";
}

TYPED_TEST(AnyList, ReverseKeepsTheCurrentElement) {
  TypeParam l = ListOf<TypeParam>({1, 2, 3, 4});
  l.MoveTo(1);
  l.ReverseList();
  EXPECT_EQ(Ints(l), (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(l.GetCur(), 2);
  EXPECT_EQ(l.GetCurData(), 2);
  l.Append(0);
  EXPECT_EQ(Ints(l), (std::vector<int>{4, 3, 2, 1, 0}));
  TypeParam one = ListOf<TypeParam>({1});
  one.ReverseList();
  EXPECT_EQ(Ints(one), (std::vector<int>{1}));
}

TYPED_TEST(AnyList, ConbineFromZeroTakesEverythingAndEmptiesTheOther) {
  TypeParam a = ListOf<TypeParam>({1, 2});
  TypeParam b = ListOf<TypeParam>({3, 4, 5});
  a.MoveTo(0);
  EXPECT_EQ(a.Conbine(b, 0), 5);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(a.GetCur(), 0) << "this list's cursor stays";
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(b.GetCur(), -1);
  b.Append(9);
  EXPECT_EQ(Ints(b), (std::vector<int>{9}));
}

TYPED_TEST(AnyList, ConbineFromTheMiddleAndInvalidStarts) {
  TypeParam a = ListOf<TypeParam>({1});
  TypeParam b = ListOf<TypeParam>({2, 3, 4});
  EXPECT_EQ(a.Conbine(b, 3), 1);
  EXPECT_EQ(a.Conbine(b, -1), 1);
  EXPECT_EQ(a.Conbine(a, 0), 1);
  EXPECT_EQ(a.Conbine(b, 1), 3);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(Ints(b), (std::vector<int>{2}));
  EXPECT_EQ(b.GetCur(), 0);
}

TYPED_TEST(AnyList, SplitMovesTheTailToAnotherList) {
  TypeParam a = ListOf<TypeParam>({1, 2, 3, 4});
  TypeParam b = ListOf<TypeParam>({9});
  EXPECT_EQ(a.SplitAt(2, b), 3);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2}));
  EXPECT_EQ(Ints(b), (std::vector<int>{9, 3, 4}));
  b.MoveTo(1);
  EXPECT_EQ(b.SplitAtCur(a), 4);
  EXPECT_EQ(Ints(a), (std::vector<int>{1, 2, 3, 4}));
}

TYPED_TEST(AnyList, DetachAfterCurHandsOverTheRest) {
  TypeParam l = ListOf<TypeParam>({1, 2, 3, 4});
  l.MoveTo(1);
  auto* chain = l.DetachAfterCur();
  ASSERT_NE(chain, nullptr);
  EXPECT_EQ(chain->data, 3);
  ASSERT_NE(chain->next, nullptr);
  EXPECT_EQ(chain->next->data, 4);
  EXPECT_EQ(chain->next->next, nullptr);
  TypeParam::DeleteChain(chain);
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 2}));
  EXPECT_EQ(l.GetCur(), 1);
  EXPECT_EQ(l.DetachAfterCur(), nullptr) << "nothing after the tail";
  auto* all = l.Detach();
  EXPECT_TRUE(l.IsEmpty());
  TypeParam::DeleteChain(all);
}

TYPED_TEST(AnyList, SortIsStableAndKeepsTheCursorIndex) {
  TypeParam l = ListOf<TypeParam>({5, 3, 9, 1});
  l.MoveTo(1);
  l.Sort(true);
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 3, 5, 9}));
  EXPECT_EQ(l.GetCur(), 1);
  EXPECT_EQ(l.GetCurData(), 3);
  l.Sort(+[](const int& a, const int& b) { return b - a; });
  EXPECT_EQ(Ints(l), (std::vector<int>{9, 5, 3, 1}));
  EXPECT_EQ(kvtest::Backward<int>(l), Ints(l));
}

TYPED_TEST(AnyList, BinarySearchOnAnEmptyListParksBeforeTheFirst) {
  TypeParam l;
  EXPECT_FALSE(l.BFindTo(4));
  EXPECT_EQ(l.GetCur(), -1) << "a list has no position 0 to stand on";
  EXPECT_TRUE(l.SortInto(4));
  EXPECT_TRUE(l.SortInto(9));
  EXPECT_TRUE(l.SortInto(1));
  EXPECT_EQ(Ints(l), (std::vector<int>{1, 4, 9}));
}

TEST(ListNodeKinds, ConbineBetweenSinglyAndDoublyLinkedListsMovesTheValues) {
  KvList<int> single = ListOf<KvList<int>>({1, 2});
  KvDList<int> dbl = ListOf<KvDList<int>>({3, 4, 5});
  EXPECT_EQ(single.Conbine(dbl, 1), 4);
  EXPECT_EQ(Ints(single), (std::vector<int>{1, 2, 4, 5}));
  EXPECT_EQ(Ints(dbl), (std::vector<int>{3}));
  EXPECT_EQ(dbl.Conbine(single, 0), 5);
  EXPECT_EQ(Ints(dbl), (std::vector<int>{3, 1, 2, 4, 5}));
  EXPECT_EQ(kvtest::Backward<int>(dbl), Ints(dbl));
  EXPECT_TRUE(single.IsEmpty());
}

TEST(ListNodeKinds, SkipListAndDoublyLinkedListShareNodes) {
  KvXList<int> x(0, 2);
  KvDList<int> d = ListOf<KvDList<int>>({1, 2, 3, 4, 5});
  EXPECT_EQ(x.Conbine(d, 0), 5);
  for (long i = 0; i < 5; ++i) EXPECT_EQ(*x.GetAt(i), i + 1);
  EXPECT_EQ(d.Conbine(x, 2), 3);
  EXPECT_EQ(Ints(d), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(kvtest::Positional<int>(x), (std::vector<int>{1, 2}));
}

TEST(SkipIndexList, PositionalAccessStaysRightThroughInsertionsAndDeletions) {
  KvXList<int> x(0, 3, 1);
  EXPECT_EQ(x.GetStep(), 3);
  std::vector<int> model;
  for (int i = 0; i < 40; ++i) {
    const long at = (i * 7) % (static_cast<long>(model.size()) + 1);
    x.Insert(at, i);
    model.insert(model.begin() + at, i);
  }
  ASSERT_EQ(kvtest::Positional<int>(x), model);
  for (int i = 0; i < 25; ++i) {
    const long at = (i * 5) % static_cast<long>(model.size());
    x.Del(at);
    model.erase(model.begin() + at);
    ASSERT_EQ(kvtest::Positional<int>(x), model) << "after deleting index " << at;
  }
  for (long i = static_cast<long>(model.size()) - 1; i >= 0; --i) {
    x.MoveTo(i);
    ASSERT_EQ(x.GetCurData(), model[i]);
  }
}

TEST(SkipIndexList, ConstructionWithElementsAndAStep) {
  KvXList<int> x(7, 0, 4);  // a step below 1 counts as 1
  EXPECT_EQ(x.GetStep(), 1);
  EXPECT_EQ(x.GetLength(), 7);
  KvXList<int> copy(x);
  copy[3] = 8;
  EXPECT_EQ(*copy.GetAt(3), 8);
  EXPECT_EQ(*x.GetAt(3), 0);
  x = copy;
  EXPECT_TRUE(x == copy);
  x.Reset();
  EXPECT_TRUE(x.IsEmpty());
  x.Append(1);
  EXPECT_EQ(*x.GetAt(0), 1);
}

}  // namespace
