// Configuration dictionaries in memory: paths, types, attributes, options, copies.
#include <gtest/gtest.h>

#include "platform/config/KvDtDictionary.h"

namespace {

void FillSample(KvDtDictionary& root) {
  root.SetKey("VENO_CONFIG");
  auto* js = static_cast<KvDtDictStringItem*>(root.FindOrAddItem("TAV\\PIPE_SYS_SET\\JS", DICT_TYPE_STRING));
  js->SetValue("J");
  js->SetLocalName("给水");
  js->SetAttributeValue("color", "3");
  static_cast<KvDtDictDoubleItem*>(root.FindOrAddItem("SCALE", DICT_TYPE_DOUBLE))->SetValue(100);
}

TEST(DictionaryPaths, FindsItemsThroughBackslashPathsIgnoringAsciiCase) {
  KvDtDictionary root;
  FillSample(root);
  KvDtDictItem* js = root.FindItem("TAV\\PIPE_SYS_SET\\JS");
  ASSERT_NE(js, nullptr);
  EXPECT_EQ(root.FindItem("tav\\pipe_sys_set\\js"), js);
  EXPECT_EQ(root.FindItem("\\TAV\\\\PIPE_SYS_SET\\JS\\"), js);
  EXPECT_EQ(js->GetPath(), "TAV\\PIPE_SYS_SET\\JS");
  EXPECT_EQ(root.FindItem("TAV\\PIPE_SYS_SET\\JS\\MORE"), nullptr);
  EXPECT_EQ(root.FindItem("TAV\\NOPE"), nullptr);
  EXPECT_EQ(root.FindItem(""), nullptr);
}

TEST(DictionaryPaths, ChineseKeysCompareExactly) {
  KvDtDictionary root;
  root.FindOrAddItem("管道\\给水", DICT_TYPE_LONG);
  EXPECT_NE(root.FindItem("管道\\给水"), nullptr);
  EXPECT_EQ(root.FindItem("管道\\排水"), nullptr);
}

TEST(DictionaryPaths, FirstOfTwoKeysDifferingInCaseWins) {
  KvDtDictionary root;
  KvDtDictItem* first = root.AppendItem(std::make_unique<KvDtDictLongItem>("Key"));
  root.AppendItem(std::make_unique<KvDtDictLongItem>("KEY"));
  EXPECT_EQ(root.FindItem("key"), first);
}

TEST(DictionaryPaths, FindOrAddCreatesMissingDirectoriesAndReusesExisting) {
  KvDtDictionary root;
  KvDtDictItem* item = root.FindOrAddItem("A\\B\\C", DICT_TYPE_BOOL);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetDataType(), DICT_TYPE_BOOL);
  EXPECT_EQ(item->GetKey(), "C");
  ASSERT_NE(root.FindDict("A\\B"), nullptr);
  EXPECT_EQ(item->GetParent(), root.FindDict("a\\b"));
  EXPECT_EQ(root.FindOrAddItem("a\\b\\c", DICT_TYPE_BOOL), item);
  EXPECT_EQ(root.GetCount(), 1);
  EXPECT_EQ(root.FindOrAddDict("A\\B"), root.FindDict("A\\B"));
}

TEST(DictionaryPaths, FindOrAddRefusesAnotherTypeOrAValueOnTheWayAndAddsNothing) {
  KvDtDictionary root;
  FillSample(root);
  const auto before = root.CloneDict();
  EXPECT_EQ(root.FindOrAddItem("SCALE", DICT_TYPE_LONG), nullptr);
  EXPECT_EQ(root.FindOrAddItem("SCALE\\X\\Y", DICT_TYPE_LONG), nullptr);
  EXPECT_EQ(root.FindOrAddDict("TAV\\PIPE_SYS_SET\\JS"), nullptr);
  EXPECT_EQ(root.FindOrAddItem("NEW", 7), nullptr);
  EXPECT_EQ(root.FindOrAddItem("", DICT_TYPE_LONG), nullptr);
  EXPECT_TRUE(root == *before);
}

TEST(DictionaryChildren, ResetEmptiesAndRemoveTakesOneChild) {
  KvDtDictionary root;
  FillSample(root);
  KvDtDictionary* tav = root.FindDict("TAV");
  ASSERT_TRUE(root.RemoveItem("TAV\\PIPE_SYS_SET\\JS"));
  EXPECT_EQ(root.FindItem("TAV\\PIPE_SYS_SET\\JS"), nullptr);
  EXPECT_FALSE(root.RemoveItem("TAV\\PIPE_SYS_SET\\JS"));
  EXPECT_FALSE(root.RemoveItem(tav->GetItem(0)));  // not a direct child of root
  EXPECT_EQ(tav->GetCount(), 1);
  root.GetItemList().Reset();
  EXPECT_EQ(root.GetCount(), 0);
  EXPECT_EQ(root.FindItem("SCALE"), nullptr);
}

TEST(DictionaryValues, GetValueAnswersOnlyForTheMatchingType) {
  KvDtDictionary root;
  static_cast<KvDtDictBoolItem*>(root.FindOrAddItem("B", DICT_TYPE_BOOL))->SetValue(true);
  static_cast<KvDtDictCharItem*>(root.FindOrAddItem("C", DICT_TYPE_CHAR))->SetValue(U'管');
  static_cast<KvDtDictLongItem*>(root.FindOrAddItem("L", DICT_TYPE_LONG))->SetValue(5000000000LL);
  static_cast<KvDtDictLongItem*>(root.FindOrAddItem("S", DICT_TYPE_LONG))->SetValue(-7);
  static_cast<KvDtDictDoubleItem*>(root.FindOrAddItem("D", DICT_TYPE_DOUBLE))->SetValue(0.5);
  static_cast<KvDtDictStringItem*>(root.FindOrAddItem("T", DICT_TYPE_STRING))->SetValue(" 文字 ");

  bool b = false;
  char32_t c = 0;
  long long l = 0;
  int i = 0;
  double d = 0;
  std::string t;
  EXPECT_TRUE(root.GetValue("b", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(root.GetValue("C", c));
  EXPECT_EQ(c, U'管');
  EXPECT_TRUE(root.GetValue("L", l));
  EXPECT_EQ(l, 5000000000LL);
  EXPECT_FALSE(root.GetValue("L", i));  // does not fit an int
  EXPECT_TRUE(root.GetValue("S", i));
  EXPECT_EQ(i, -7);
  EXPECT_TRUE(root.GetValue("D", d));
  EXPECT_EQ(d, 0.5);
  EXPECT_TRUE(root.GetValue("T", t));
  EXPECT_EQ(t, " 文字 ");

  d = 9;
  EXPECT_FALSE(root.GetValue("L", d));
  EXPECT_EQ(d, 9);
  EXPECT_FALSE(root.GetValue("D", t));
  EXPECT_FALSE(root.GetValue("MISSING", b));
}

TEST(DictionaryValues, ValueTextsFollowTheFileForm) {
  KvDtDictBoolItem b;
  EXPECT_TRUE(b.SetValueText("true"));
  EXPECT_EQ(b.GetValueText(), "TRUE");
  EXPECT_TRUE(b.SetValueText("0"));
  EXPECT_EQ(b.GetValueText(), "FALSE");
  EXPECT_FALSE(b.SetValueText("yes"));

  KvDtDictCharItem c;
  EXPECT_TRUE(c.SetValueText("水"));
  EXPECT_EQ(c.GetValue(), U'水');
  EXPECT_FALSE(c.SetValueText("ab"));
  EXPECT_EQ(c.GetValue(), U'水');
  EXPECT_TRUE(c.SetValueText(""));
  EXPECT_EQ(c.GetValue(), 0u);
  EXPECT_EQ(c.GetValueText(), "");

  KvDtDictLongItem l;
  EXPECT_FALSE(l.SetValueText("12abc"));
  EXPECT_TRUE(l.SetValueText("-42"));
  EXPECT_EQ(l.GetValue(), -42);

  KvDtDictDoubleItem d;
  d.SetValue(0.1);
  EXPECT_EQ(d.GetValueText(), "0.1");
  d.SetValue(1e-7);
  EXPECT_EQ(d.GetValueText(), "1e-07");
  EXPECT_FALSE(d.SetValueText("abc"));
}

TEST(DictionaryTypes, LabelsAndWordsMapBothWays) {
  const char* labels[] = {"布尔型", "字符型", "整型", "浮点型", "字符串型", "选择型"};
  for (int type = 1; type <= 6; ++type) {
    EXPECT_EQ(GetDictDataTypeLabel(type), labels[type - 1]);
    EXPECT_EQ(GetDictDataTypeFromLabel(labels[type - 1]), type);
    EXPECT_EQ(GetDictDataTypeFromWord(GetDictDataTypeWord(type)), type);
    EXPECT_EQ(KvDtDictItem::Create(type)->GetDataType(), type);
  }
  EXPECT_EQ(GetDictDataTypeFromLabel("文本"), -1);
  EXPECT_EQ(GetDictDataTypeFromWord("int"), DICT_TYPE_LONG);
  EXPECT_EQ(GetDictDataTypeFromWord("Long"), -1);
  EXPECT_EQ(KvDtDictItem::Create(7), nullptr);
  EXPECT_TRUE(KvDtDictItem::Create(0)->IsDict());
}

TEST(DictionaryAttributes, KeepTheOrderTheyWereSetInAndChangeInPlace) {
  KvDtDictStringItem item("JS");
  item.SetLocalName("给水");
  item.SetAttributeValue("color", "3");
  item.SetAttributeValue("linetype", "Continuous");
  item.SetAttributeValue("localname", "生活给水");
  std::vector<std::string> names, values;
  ASSERT_EQ(item.GetAllAttribute(names, values), 4);
  EXPECT_EQ(names, (std::vector<std::string>{"name", "localname", "color", "linetype"}));
  EXPECT_EQ(values, (std::vector<std::string>{"JS", "生活给水", "3", "Continuous"}));
  EXPECT_EQ(item.GetKey(), "JS");
  EXPECT_EQ(item.GetAttributeValue("absent"), "");
  EXPECT_EQ(item.GetAttributeValue("Color"), "");  // attribute names are exact
  EXPECT_TRUE(item.RemoveAttribute("color"));
  EXPECT_FALSE(item.HasAttribute("color"));
}

TEST(DictionaryAttributes, ValidityNeedsAKeyAndAConsistentSelection) {
  KvDtDictLongItem unnamed;
  EXPECT_FALSE(unnamed.IsValid());
  unnamed.SetKey("N");
  EXPECT_TRUE(unnamed.IsValid());
  KvDtDictionary top;
  EXPECT_TRUE(top.IsValid());
  KvDtDictItem* child = top.AppendItem(std::make_unique<KvDtDictionary>());
  EXPECT_FALSE(child->IsValid());
}

TEST(DictionaryOptions, SelectionFollowsChoices) {
  KvDtDictOptionItem arrow("ARROW");
  EXPECT_EQ(arrow.GetSelString(), "");
  arrow.AddOption("实心");
  arrow.AddOption("空心");
  EXPECT_TRUE(arrow.SetSelIndex(1));
  EXPECT_EQ(arrow.GetSelString(), "空心");
  EXPECT_FALSE(arrow.SetSelIndex(2));
  EXPECT_EQ(arrow.GetSelIndex(), -1);
  EXPECT_TRUE(arrow.SetSelString("实心"));
  EXPECT_EQ(arrow.GetSelIndex(), 0);
  EXPECT_FALSE(arrow.SetSelString("无"));
  EXPECT_EQ(arrow.GetSelIndex(), 0);
  arrow.ClearOptions();
  EXPECT_EQ(arrow.GetSelIndex(), -1);

  KvDtDictionary root;
  auto* opt = static_cast<KvDtDictOptionItem*>(root.FindOrAddItem("O", DICT_TYPE_OPTION));
  opt->AddOption("甲");
  opt->SetSelIndex(0);
  std::string sel;
  EXPECT_TRUE(root.GetValue("O", sel));
  EXPECT_EQ(sel, "甲");
}

TEST(DictionaryCopies, CloneIsDeepAndIndependent) {
  KvDtDictionary root;
  FillSample(root);
  std::unique_ptr<KvDtDictionary> copy = root.CloneDict();
  EXPECT_TRUE(*copy == root);
  EXPECT_EQ(copy->GetParent(), nullptr);
  KvDtDictItem* js = copy->FindItem("TAV\\PIPE_SYS_SET\\JS");
  ASSERT_NE(js, nullptr);
  EXPECT_NE(js, root.FindItem("TAV\\PIPE_SYS_SET\\JS"));
  EXPECT_EQ(js->GetParent(), copy->FindDict("TAV\\PIPE_SYS_SET"));
  static_cast<KvDtDictStringItem*>(js)->SetValue("JJ");
  EXPECT_FALSE(*copy == root);
  std::string value;
  root.GetValue("TAV\\PIPE_SYS_SET\\JS", value);
  EXPECT_EQ(value, "J");
}

TEST(DictionaryCopies, EqualityLooksAtAttributeOrderValuesAndChildren) {
  KvDtDictionary a;
  FillSample(a);
  auto b = a.CloneDict();
  b->FindItem("TAV\\PIPE_SYS_SET\\JS")->SetAttributeValue("extra", "");
  EXPECT_FALSE(a == *b);
  KvDtDictStringItem x("X"), y;
  x.SetLocalName("名");
  y.SetLocalName("名");
  y.SetKey("X");
  EXPECT_FALSE(x == y);  // same attributes, other order
  auto c = a.CloneDict();
  c->AppendItem(std::make_unique<KvDtDictionary>("EMPTY"));
  EXPECT_FALSE(a == *c);
}

TEST(DictionaryCopies, CopyValueOnlyBetweenItemsOfOneType) {
  KvDtDictLongItem from("FROM", 12), to("TO", 1);
  EXPECT_TRUE(to.CopyValue(from));
  EXPECT_EQ(to.GetValue(), 12);
  EXPECT_EQ(to.GetKey(), "TO");
  KvDtDictDoubleItem other("D", 2.5);
  EXPECT_FALSE(to.CopyValue(other));
  EXPECT_EQ(to.GetValue(), 12);
  EXPECT_FALSE(other.CopyValue(to));
  EXPECT_EQ(other.GetValue(), 2.5);

  KvDtDictOptionItem o1("O1"), o2("O2");
  o1.AddOption("a");
  o1.AddOption("b");
  o1.SetSelIndex(1);
  EXPECT_TRUE(o2.CopyValue(o1));
  EXPECT_EQ(o2.GetSelString(), "b");

  KvDtDictionary d1, d2;
  FillSample(d1);
  EXPECT_TRUE(d2.CopyValue(d1));
  EXPECT_NE(d2.FindItem("TAV\\PIPE_SYS_SET\\JS"), nullptr);
  EXPECT_EQ(d2.GetKey(), "");
  EXPECT_FALSE(d2.CopyValue(to));
}

TEST(DictionaryCopies, CopyValueFromOwnDescendantIsSafe) {
  KvDtDictionary root;
  FillSample(root);
  KvDtDictionary* tav = root.FindDict("TAV");
  EXPECT_TRUE(root.CopyValue(*tav));
  EXPECT_NE(root.FindItem("PIPE_SYS_SET\\JS"), nullptr);
  EXPECT_EQ(root.FindItem("SCALE"), nullptr);
}

}  // namespace
