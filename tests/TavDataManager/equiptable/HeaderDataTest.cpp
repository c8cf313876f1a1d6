// The QLV_SBBDY chain as the model reads it, the body row count written back into it, and the
// quantity texts of new rows.
#include "TableTestSupport.h"

namespace {

using tav::test::TableTest;

// The chain of the default table cut after `items` items (1001 counted as item 0).
KvResbufPtr CutChain(const CSbbTableLayout& layout, int items) {
  KvResbufPtr chain(CSbbTableWriter::BuildDefineChain(layout, 4));
  resbuf* rb = chain.get();
  for (int i = 1; i < items && rb; ++i) rb = rb->rbnext;
  if (rb) {
    acutRelRb(rb->rbnext);
    rb->rbnext = nullptr;
  }
  return chain;
}

TEST(HeaderData, AChainEndingAfterItem11IsRejected) {
  CSbbTableLayout layout;
  CSbbTable cut(nullptr);
  EXPECT_EQ(cut.ParseHeaderData(CutChain(layout, 12).get()), 0);
  EXPECT_TRUE(cut.m_names.empty());
  CSbbTable whole(nullptr);
  KvResbufPtr chain(CSbbTableWriter::BuildDefineChain(layout, 4));
  ASSERT_EQ(whole.ParseHeaderData(chain.get()), 1);
  EXPECT_EQ(whole.m_names, (std::vector<std::string>{"序号", "设备名称", "型号规格", "单位", "数量", "备注"}));
  EXPECT_EQ(whole.m_nColumnCount, 6);
  EXPECT_EQ(whole.m_nBodyRowCount, 4);
  EXPECT_EQ(whole.m_strTitle, "设 备 材 料 表");
}

TEST(HeaderData, ANullChainIsRejected) {
  CSbbTable model(nullptr);
  EXPECT_EQ(model.ParseHeaderData(nullptr), 0);
  EXPECT_EQ(model.m_nColumnCount, kSbbMaxColumns);
}

TEST(HeaderData, TextHeightsAreReadAsWholeNumbersAndSpacingsAsIntegers) {
  CSbbTableLayout layout;
  layout.titleTextHeight = 3.5;
  layout.headerTextHeight = 2.5;
  layout.bodyTextHeight = 2.9;
  layout.titleRowSpacing = 12.7;
  layout.headerRowSpacing = 6.5;
  layout.bodyRowSpacing = 7.99;
  KvResbufPtr chain(CSbbTableWriter::BuildDefineChain(layout, 0));
  CSbbTable model(nullptr);
  ASSERT_EQ(model.ParseHeaderData(chain.get()), 1);
  EXPECT_EQ(model.m_dTitleTextHeight, 3.0);
  EXPECT_EQ(model.m_dHeaderTextHeight, 2.0);
  EXPECT_EQ(model.m_dBodyTextHeight, 2.0);
  EXPECT_EQ(model.m_nTitleRowSpacing, 12);
  EXPECT_EQ(model.m_nHeaderRowSpacing, 6);
  EXPECT_EQ(model.m_nBodyRowSpacing, 7);
}

TEST(HeaderData, ItemsAreTakenByPositionWhateverTheirCodes) {
  // Direction and frame stored as reals, the row count as a string: the reader does not look at codes.
  KvResbufPtr chain(acutBuildList(1001, "QLV_SBBDY", 1000, "T", 1070, 10, 1070, 8, 1040, 5.0, 1040, 3.0, 1040, 5.0,
                                  1040, 3.0, 1040, 1.0, 1040, 2.0, 1000, "7", 1070, 9,
                                  // one column group with other opening and closing items
                                  1000, "x", 1000, "名称", 1000, "12.5", 1000, "居左", 1000, "3", 1000, "y",
                                  1002, "{", 1000, "空白", 1000, "20", 1000, "居右", 1000, "5", 1002, "}", RTNONE));
  CSbbTable model(nullptr);
  ASSERT_EQ(model.ParseHeaderData(chain.get()), 1);
  EXPECT_EQ(model.m_nDirection, 1);
  EXPECT_EQ(model.m_nFrame, 2);
  EXPECT_EQ(model.m_nBodyRowCount, 7);
  EXPECT_EQ(model.m_nItem11, 9);
  ASSERT_EQ(model.m_columns.size(), 2u);
  EXPECT_EQ(model.m_columns[0], (tagLIEBIAODETAILDATA{"名称", 12.5, 0, 3}));
  EXPECT_EQ(model.m_columns[1], (tagLIEBIAODETAILDATA{"空白", 20, 1, 5}));  // anything but 居左 is centred
}

TEST(HeaderData, APartialColumnGroupIsNotAColumn) {
  KvResbufPtr chain(acutBuildList(1001, "QLV_SBBDY", 1000, "T", 1040, 10.0, 1040, 8.0, 1040, 5.0, 1040, 3.0, 1040,
                                  5.0, 1040, 3.0, 1070, 0, 1070, 0, 1070, 0, 1070, 0, 1002, "{", 1000, "序号", 1000,
                                  "10", RTNONE));
  CSbbTable model(nullptr);
  EXPECT_EQ(model.ParseHeaderData(chain.get()), 0);
}

TEST_F(TableTest, TheBodyRowCountIsRewrittenInTheMainHeaderLineOnly) {
  const std::string handle = DrawTable(CSbbTableLayout{}, 3);
  CSbbTable model(db_);
  model.m_strHandle = handle;
  model.SetBodyRowCount(42);
  tav::cad::DxfObject main = db_->document().Get(std::stoull(handle, nullptr, 16));
  tav::cad::DxfXData x;
  ASSERT_TRUE(main.GetXData(kSbbAppDefine, x));
  ASSERT_GT(x.items.size(), 10u);
  EXPECT_EQ(x.items[9].code, 1070);
  EXPECT_EQ(x.items[9].integer, 42);
  EXPECT_EQ(x.items[8].integer, 1);  // the frame item beside it is untouched
  KvResbufPtr chain(CSbbTableWriter::BuildDefineChain(CSbbTableLayout{}, 42));
  std::vector<tav::cad::DxfXData> expected;
  ASSERT_TRUE(KvRbToXData(chain.get(), expected));
  EXPECT_EQ(x, expected[0]);
}

TEST_F(TableTest, SettingTheRowCountOfAMissingLineChangesNothing) {
  DrawTable(CSbbTableLayout{}, 1);
  const std::string before = db_->document().SaveToString();
  CSbbTable model(db_);
  model.m_strHandle = "FFFFF";
  model.SetBodyRowCount(3);
  EXPECT_EQ(db_->document().SaveToString(), before);
}

TEST(Quantity, MetresAndAreasKeepTwoDecimalsWithoutTrailingZeros) {
  EXPECT_EQ(FormatQuantity(12.5, "米"), "12.5");
  EXPECT_EQ(FormatQuantity(3, "平方米"), "3");
  EXPECT_EQ(FormatQuantity(100, "米"), "100");
  EXPECT_EQ(FormatQuantity(2.456, "平方"), "2.46");
  EXPECT_EQ(FormatQuantity(7.25, ""), "7.25");
  EXPECT_EQ(FormatQuantity(0.1, "米"), "0.1");
}

TEST(Quantity, OtherUnitsAreTruncatedTowardZero) {
  EXPECT_EQ(FormatQuantity(3.7, "个"), "3");
  EXPECT_EQ(FormatQuantity(-2.9, "台"), "-2");
  EXPECT_EQ(FormatQuantity(12.5, "毫米"), "12");  // begins with 毫, not 米
  EXPECT_EQ(FormatQuantity(40, "m"), "40");
}

TEST(Quantity, ZeroGivesAnEmptyCellForEveryUnit) {
  for (const char* unit : {"米", "平方米", "个", "台", ""}) {
    EXPECT_EQ(FormatQuantity(0, unit), "") << unit;
    EXPECT_EQ(FormatQuantity(5e-7, unit), "") << unit;
    EXPECT_EQ(FormatQuantity(-5e-7, unit), "") << unit;
  }
}

TEST(Quantity, TrailingZerosGoOnlyAfterADecimalPoint) {
  EXPECT_EQ(TrimTrailingZeros("12.50"), "12.5");
  EXPECT_EQ(TrimTrailingZeros("3.00"), "3");
  EXPECT_EQ(TrimTrailingZeros("300"), "300");
  EXPECT_EQ(TrimTrailingZeros(".50"), ".50");  // no "." after the first character
  EXPECT_EQ(TrimTrailingZeros("10.05"), "10.05");
  EXPECT_EQ(TrimTrailingZeros(""), "");
}

}  // namespace
