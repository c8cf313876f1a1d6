// KvArray and Kv2dArray: exact-size arrays without a cursor.
#include <gtest/gtest.h>

#include <vector>

#include "ContainerTestSupport.h"

namespace {

using kvtest::Item;

std::vector<int> Values(const KvArray<int>& a) {
  return std::vector<int>(a.GetDataBuffer(), a.GetDataBuffer() + a.GetLength());
}

KvArray<int> ArrayOf(std::initializer_list<int> values) {
  KvArray<int> a;
  for (int v : values) a.Append(v);
  return a;
}

TEST(PlainArray, CapacityFollowsTheLengthOnEveryChange) {
  KvArray<int> a(2);
  EXPECT_EQ(Values(a), (std::vector<int>{0, 0}));
  EXPECT_EQ(a.Append(5), 2);
  EXPECT_TRUE(a.InsertHead(4));
  EXPECT_TRUE(a.Insert(2, 9));
  EXPECT_FALSE(a.Insert(9, 1));
  EXPECT_EQ(Values(a), (std::vector<int>{4, 0, 9, 0, 5}));
  EXPECT_TRUE(a.Del(1));
  EXPECT_TRUE(a.DelHead());
  EXPECT_TRUE(a.DelTail());
  EXPECT_FALSE(a.Del(2));
  EXPECT_EQ(Values(a), (std::vector<int>{9, 0}));
  EXPECT_EQ(a.GetMaxIndex(), 1);
}

TEST(PlainArray, ReAllocateKeepsWhatFitsAndFreesOnZero) {
  KvArray<int> a = ArrayOf({1, 2, 3});
  a.ReAllocate(5);
  EXPECT_EQ(Values(a), (std::vector<int>{1, 2, 3, 0, 0}));
  a.ReAllocate(2, false);
  EXPECT_EQ(Values(a), (std::vector<int>{0, 0}));
  a.ReAllocate(0);
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(a.GetDataBuffer(), nullptr);
  a.ReAllocate(-3);
  EXPECT_EQ(a.GetLength(), 0);
}

TEST(PlainArray, AccessDoesNotGrow) {
  KvArray<int> a = ArrayOf({1, 2});
  EXPECT_TRUE(a.SetAt(1, 7));
  EXPECT_FALSE(a.SetAt(2, 7));
  EXPECT_EQ(a.GetAt(1), 7);
  a[5] = 9;  // a scratch value: the array keeps its length
  EXPECT_EQ(a.GetLength(), 2);
  EXPECT_EQ(a[5], 0);
  EXPECT_FALSE(a.IsValidIndex(2));
}

TEST(PlainArray, SearchesReturnMinusOneWhenNothingMatches) {
  KvArray<int> a = ArrayOf({10, 20, 30, 40});
  EXPECT_EQ(a.Find(30), 2);
  EXPECT_EQ(a.Find(30, 0, 1), -1);
  EXPECT_EQ(a.Find(99), -1);
  EXPECT_EQ(a.BFind(40), 3);
  EXPECT_EQ(a.BFind(25), -1);
  EXPECT_EQ(a.BFind(5), -1) << "below a[from]";
  EXPECT_EQ(a.BFind(50), -1) << "above a[to]";
  EXPECT_EQ(a.BFind(40, 0, 2), -1);
  EXPECT_EQ(a.BFind(20, 3, 1), -1) << "from > to";
  EXPECT_EQ(a.FindOrAppend(20), 1);
  EXPECT_EQ(a.FindOrAppend(50), 4);
  EXPECT_EQ(a.FindOrInsertHead(5), 0);
  EXPECT_EQ(a.FindOrInsertHead(50), 5);
  a.Append(20);
  EXPECT_EQ(a.FindDel(20), 2);
  EXPECT_EQ(Values(a), (std::vector<int>{5, 10, 30, 40, 50}));
}

TEST(PlainArray, StableSortAndReverse) {
  KvArray<Item> a;
  const int keys[] = {2, 1, 2, 1};
  for (int i = 0; i < 4; ++i) a.Append(Item(keys[i], i));
  a.Sort(true);
  EXPECT_EQ(a[0].tag, 1);
  EXPECT_EQ(a[1].tag, 3);
  EXPECT_EQ(a[2].tag, 0);
  EXPECT_EQ(a[3].tag, 2);
  a.Sort(+[](const Item& x, const Item& y) { return y.tag - x.tag; });
  EXPECT_EQ(a[0].tag, 3);
  EXPECT_EQ(a[3].tag, 0);
  KvArray<int> b = ArrayOf({1, 2, 3, 4});
  b.Reverse(1);
  EXPECT_EQ(Values(b), (std::vector<int>{1, 4, 3, 2}));
  b.Sort(false);
  EXPECT_EQ(Values(b), (std::vector<int>{4, 3, 2, 1}));
}

TEST(PlainArray, ComparisonAndCopies) {
  KvArray<int> a = ArrayOf({1, 2});
  KvArray<int> b(a);
  EXPECT_TRUE(a == b);
  b[0] = 5;
  EXPECT_TRUE(a != b);
  KvArray<int> c = ArrayOf({1});
  EXPECT_TRUE(c < a);
  EXPECT_TRUE(a > c);
  EXPECT_FALSE(a < b);
  c = a;
  EXPECT_TRUE(c == a);
}

TEST(TwoDimensionalArray, RowsShareOneLengthAndResizeKeepsWhatFits) {
  Kv2dArray<int> g(2, 3);
  EXPECT_EQ(g.GetRows(), 2);
  EXPECT_EQ(g.GetCols(), 3);
  g.SetAll(4);
  g.At(1, 2) = 7;
  g.ReAllocate(3, 4);
  EXPECT_EQ(g.GetRows(), 3);
  for (long r = 0; r < 3; ++r) EXPECT_EQ(g[r].GetLength(), 4);
  EXPECT_EQ(g.At(0, 0), 4);
  EXPECT_EQ(g.At(1, 2), 7);
  EXPECT_EQ(g.At(1, 3), 0);
  EXPECT_EQ(g.At(2, 0), 0);
  EXPECT_EQ(g.At(5, 0), 0) << "an invalid row gives a scratch value";
  g.ReAllocate(1, 1, false);
  EXPECT_EQ(g.At(0, 0), 0);
}

// ---- the element types the module keeps in its containers

TEST(ElementTypes, PointsOrderLexicographically) {
  KvDynArray<KvGePoint> points;
  points << KvGePoint(1, 2, 0) << KvGePoint(0, 5, 0) << KvGePoint(1, 1, 3) << KvGePoint(1, 1, 2);
  points.Sort(true);
  EXPECT_EQ(*points.GetAt(0), KvGePoint(0, 5, 0));
  EXPECT_EQ(*points.GetAt(1), KvGePoint(1, 1, 2));
  EXPECT_EQ(*points.GetAt(3), KvGePoint(1, 2, 0));
  EXPECT_EQ(points.BFind(KvGePoint(1, 1, 3)), 2);
  EXPECT_TRUE(KvGePoint(1, 1, 1).IsEqualTo(KvGePoint(1, 1, 1 + 1e-12)));
  EXPECT_FALSE(KvGePoint(1, 1, 1).IsEqualTo(KvGePoint(1, 1, 1.1), 0.01));
  EXPECT_DOUBLE_EQ(KvGePoint(0, 0, 0).DistanceTo(KvGePoint(3, 4, 0)), 5.0);
  EXPECT_EQ(KvGePoint(1.5, -2, 0).ToString(), "1.5,-2,0");
}

TEST(ElementTypes, ExtentsGrowAroundTheirPoints) {
  KvGeExtent e;
  EXPECT_TRUE(e.IsEmpty());
  EXPECT_FALSE(e.Contains(KvGePoint()));
  e.AddPoint(KvGePoint(1, 2, 3));
  EXPECT_FALSE(e.IsEmpty());
  EXPECT_TRUE(e.Contains(KvGePoint(1, 2, 3)));
  e.AddPoint(KvGePoint(-1, 5, 3));
  EXPECT_EQ(e.minPoint, KvGePoint(-1, 2, 3));
  EXPECT_EQ(e.maxPoint, KvGePoint(1, 5, 3));
  EXPECT_TRUE(e.Contains(KvGePoint(0, 4, 3)));
  EXPECT_FALSE(e.Contains(KvGePoint(0, 6, 3)));
  EXPECT_TRUE(e.Contains(KvGePoint(0, 5.05, 3), 0.1));
  EXPECT_EQ(e.Center(), KvGePoint(0, 3.5, 3));
  const KvGeExtent other(KvGePoint(1, 5, 3), KvGePoint(4, 9, 3));
  EXPECT_TRUE(e.Intersects(other));
  EXPECT_FALSE(e.Intersects(KvGeExtent(KvGePoint(2, 0, 3), KvGePoint(3, 1, 3))));
  e.AddExtent(other);
  EXPECT_EQ(e.maxPoint, KvGePoint(4, 9, 3));
  e.AddExtent(KvGeExtent());
  EXPECT_EQ(e.maxPoint, KvGePoint(4, 9, 3));
  KvList<KvGeExtent> list;
  list << e << other;
  list.Sort(true);
  EXPECT_EQ(*list.GetFirst(), e);
  e.Reset();
  EXPECT_TRUE(e.IsEmpty());
}

TEST(ElementTypes, SystemRecordsAreFoundByLocalName) {
  const KvExistSystemData fresh;
  EXPECT_EQ(fresh.localName, "");
  EXPECT_EQ(fresh.linetype, "CONTINUOUS");
  EXPECT_EQ(fresh.color, "7");
  KvList<KvExistSystemData> systems;
  systems.Append(KvExistSystemData("给水", "DASHED", "3"));
  systems.Append(KvExistSystemData("排水"));
  const long i = systems.Find(KvExistSystemData("给水", "OTHER", "1"));
  ASSERT_EQ(i, 0);
  EXPECT_EQ(systems.GetAt(i)->linetype, "DASHED");
  EXPECT_EQ(systems.FindOrAppend(KvExistSystemData("雨水")), 2);
  EXPECT_EQ(systems.GetAt(2)->color, "7");
}

TEST(ElementTypes, LayerKeyRecordsSortAndSearchByName) {
  KvDList<KvDwgDict> keys;
  for (const char* name : {"WS_PIPE", "J_PIPE", "Y_PIPE"}) {
    KvDwgDict d;
    d.name = name;
    d.value = std::string(name) + "_LAYER";
    keys.Append(d);
  }
  keys.Sort(true);
  EXPECT_EQ(keys.GetFirst()->name, "J_PIPE");
  KvDwgDict probe;
  probe.name = "WS_PIPE";
  EXPECT_TRUE(keys.BFindTo(probe));
  EXPECT_EQ(keys.GetCurData().value, "WS_PIPE_LAYER");
  probe.name = "P_PIPE";
  EXPECT_TRUE(keys.SortInto(probe));
  EXPECT_EQ(keys.GetCur(), 1);
  EXPECT_EQ(keys.Find(probe), 1);
}

}  // namespace
