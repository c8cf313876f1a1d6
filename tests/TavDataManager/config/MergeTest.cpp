// MergeConfigItems and MergeUiItems: what a merge adds, updates and leaves alone.
#include "tests/TavDataManager/config/BundleTestSupport.h"

#include "TavDataManager/config/KvConfigTransfer.h"

namespace tav::test {
namespace {

class MergeTest : public BundleTest {
 protected:
  void SetUp() override {
    BundleTest::SetUp();
    ASSERT_TRUE(target_.ReadFromXMLText(
        "<Directory name=\"VENO_CONFIG\">"
        "<Directory name=\"A\" localname=\"甲\" color=\"1\">"
        "<Double name=\"X\" localname=\"横\">2.5</Double>"
        "<String name=\"KEEP\">k</String>"
        "</Directory></Directory>"));
  }
  KvDtDictionary target_;
};

TEST_F(MergeTest, MissingPathIsCreatedWithItsDirectories) {
  KvDtDictLongItem item("VAL", 7);
  item.SetLocalName("值");
  EXPECT_EQ(KvConfigTransfer::MergeConfigItemsInto(target_, {{"VENO_CONFIG\\NEW\\SUB\\VAL", &item}}), 1);
  KvDtDictItem* found = target_.FindItem("NEW\\SUB\\VAL");
  ASSERT_NE(found, nullptr);
  ASSERT_EQ(found->GetDataType(), DICT_TYPE_LONG);
  EXPECT_EQ(static_cast<KvDtDictLongItem*>(found)->GetValue(), 7);
  EXPECT_EQ(found->GetLocalName(), "值");
  ASSERT_NE(target_.FindItem("NEW\\SUB"), nullptr);
  EXPECT_TRUE(target_.FindItem("NEW\\SUB")->IsDict());
}

TEST_F(MergeTest, IntMeetingDoubleIsSkipped) {
  KvDtDictLongItem item("X", 9);
  item.SetLocalName("新");
  EXPECT_EQ(KvConfigTransfer::MergeConfigItemsInto(target_, {{"VENO_CONFIG\\A\\X", &item}}), 0);
  KvDtDictItem* found = target_.FindItem("A\\X");
  ASSERT_EQ(found->GetDataType(), DICT_TYPE_DOUBLE);
  EXPECT_EQ(static_cast<KvDtDictDoubleItem*>(found)->GetValue(), 2.5);
  EXPECT_EQ(found->GetLocalName(), "横");
}

TEST_F(MergeTest, ValueAndAttributesAreCopiedOtherAttributesStay) {
  KvDtDictDoubleItem item("X", 4.25);
  item.SetLocalName("新横");
  item.SetAttributeValue("unit", "mm");
  KvDtDictItem* found = target_.FindItem("A\\X");
  found->SetAttributeValue("note", "mine");
  EXPECT_EQ(KvConfigTransfer::MergeConfigItemsInto(target_, {{"VENO_CONFIG\\A\\X", &item}}), 1);
  EXPECT_EQ(static_cast<KvDtDictDoubleItem*>(found)->GetValue(), 4.25);
  EXPECT_EQ(found->GetAttributes(), (std::vector<std::pair<std::string, std::string>>{
                                        {"name", "X"}, {"localname", "新横"}, {"note", "mine"}, {"unit", "mm"}}));
}

TEST_F(MergeTest, DirectoryRecordTakesAttributesButKeepsChildren) {
  KvDtDictionary dir("A");
  dir.SetLocalName("新甲");
  dir.AppendItem(std::make_unique<KvDtDictDoubleItem>("X", 1.0));
  EXPECT_EQ(KvConfigTransfer::MergeConfigItemsInto(target_, {{"VENO_CONFIG\\A", &dir}}), 1);
  KvDtDictionary* a = target_.FindDict("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetLocalName(), "新甲");
  EXPECT_EQ(a->GetAttributeValue("color"), "1");
  EXPECT_NE(target_.FindItem("A\\KEEP"), nullptr);
  EXPECT_EQ(static_cast<KvDtDictDoubleItem*>(target_.FindItem("A\\X"))->GetValue(), 2.5);
}

TEST_F(MergeTest, MissingDirectoryIsCreatedWithItsAttributes) {
  KvDtDictionary dir("B");
  dir.SetLocalName("乙");
  dir.AppendItem(std::make_unique<KvDtDictDoubleItem>("Y", 1.0));
  EXPECT_EQ(KvConfigTransfer::MergeConfigItemsInto(target_, {{"VENO_CONFIG\\B", &dir}}), 1);
  KvDtDictionary* b = target_.FindDict("B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->GetLocalName(), "乙");
  EXPECT_EQ(b->GetCount(), 0);  // children arrive as records of their own
}

TEST_F(MergeTest, RecordsWithoutItemAreSkipped) {
  EXPECT_EQ(KvConfigTransfer::MergeConfigItemsInto(target_, {{"VENO_CONFIG\\A\\X", nullptr}}), 0);
}

TEST_F(MergeTest, WithoutConfigFileNothingIsMergedOrWritten) {
  g_dictCfg.Assign(target_);
  KvDtDictLongItem item("VAL", 7);
  EXPECT_EQ(KvConfigTransfer().MergeConfigItems({{"VENO_CONFIG\\NEW\\VAL", &item}}), 0);
  EXPECT_EQ(g_dictCfg.FindItem("NEW"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(userDir_ + "Config.xml"));
}

TEST_F(MergeTest, ConfigFoundInTheMainDirectoryIsSavedToTheUserFolder) {
  ShipToMain("Config.xml");
  const std::string shipped = ReadBytes(mainDir_ + "Config.xml");
  ASSERT_TRUE(LoadConfig());
  KvDtDictLongItem item("VAL", 7);
  EXPECT_EQ(KvConfigTransfer().MergeConfigItems({{"VENO_CONFIG\\NEW\\VAL", &item}}), 1);
  EXPECT_EQ(ReadBytes(mainDir_ + "Config.xml"), shipped);
  KvDtDictionary saved;
  ASSERT_TRUE(saved.ReadFromXML(userDir_ + "Config.xml"));
  EXPECT_NE(saved.FindItem("NEW\\VAL"), nullptr);
  EXPECT_NE(saved.FindItem("TAV\\PIPE_SYS_SET"), nullptr);
}

// ---- UI items ----

class UiMergeTest : public BundleTest {
 protected:
  void SetUp() override {
    BundleTest::SetUp();
    ASSERT_TRUE(target_.ReadFromXML(ShippedFile("UIConfig.xml"))) << target_.LastError().message;
    ASSERT_TRUE(before_.ReadFromXML(ShippedFile("UIConfig.xml")));
  }
  KvDtUIConfig target_, before_;
};

TEST_F(UiMergeTest, UnknownUiItemIsNotAdded) {
  KvDtUICommandDef item;
  item.SetName("TAV_CMD_NOT_THERE");
  item.SetCommand("Nothing");
  EXPECT_EQ(KvConfigTransfer::MergeUiItemsInto(target_, {{"VENO_UI_CONFIG\\TAV_COMMANDS\\TAV_CMD_NOT_THERE", &item, nullptr}}), 0);
  EXPECT_TRUE(target_ == before_);
  EXPECT_EQ(target_.FindNamedItem("TAV_CMD_NOT_THERE"), nullptr);
}

TEST_F(UiMergeTest, KnownItemIsReplacedWhenKindsMatchIgnoringCase) {
  KvDtUICommandDef item;
  item.SetName("tav_cmd_config");
  item.SetCaption("新的选项配置");
  item.SetMacro("^C^CTavConfig2");
  EXPECT_EQ(KvConfigTransfer::MergeUiItemsInto(target_, {{"X", &item, nullptr}}), 1);
  auto* found = static_cast<KvDtUICommandDef*>(target_.FindNamedItem("TAV_CMD_CONFIG"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->GetCaption(), "新的选项配置");
  EXPECT_EQ(found->GetMacro(), "^C^CTavConfig2");
}

TEST_F(UiMergeTest, ItemOfAnotherKindIsSkipped) {
  KvDtUIMenuItem item;
  item.SetName("TAV_CMD_CONFIG");
  item.SetCaption("菜单");
  EXPECT_EQ(KvConfigTransfer::MergeUiItemsInto(target_, {{"X", &item, nullptr}}), 0);
  EXPECT_TRUE(target_ == before_);
}

TEST_F(UiMergeTest, DictionaryValueIsUpdatedOnlyWithTheSameType) {
  KvDtUIDictionary* dictItem = target_.FindDictionaryItem();
  ASSERT_NE(dictItem, nullptr);
  KvDtDictionary& dict = dictItem->GetDictionary();
  ASSERT_GT(dict.GetCount(), 0);
  // An imported copy of the embedded dictionary with the first value item changed.
  std::unique_ptr<KvDtDictionary> imported = dict.CloneDict();
  KvDtDictItem* first = nullptr;
  for (const auto& child : imported->GetItemList())
    if (child->GetDataType() == DICT_TYPE_BOOL) {
      first = child.get();
      break;
    }
  ASSERT_NE(first, nullptr) << "the shipped UI dictionary has a Bool item";
  auto* b = static_cast<KvDtDictBoolItem*>(first);
  b->SetValue(!b->GetValue());
  EXPECT_EQ(KvConfigTransfer::MergeUiItemsInto(target_, {{"X", nullptr, first}}), 1);
  EXPECT_EQ(static_cast<KvDtDictBoolItem*>(dict.FindItem(first->GetPath()))->GetValue(), b->GetValue());

  KvDtDictionary other;
  other.AppendItem(std::make_unique<KvDtDictStringItem>(first->GetKey(), "TRUE"));
  const KvUiDict wrongType{"X", nullptr, other.GetItem(0)};
  EXPECT_EQ(KvConfigTransfer::MergeUiItemsInto(target_, {wrongType}), 0);
}

TEST_F(UiMergeTest, MergeUiItemsSavesAndRepointsTheUiDictionary) {
  ShipToMain("UIConfig.xml");
  ASSERT_TRUE(LoadUIConfig());
  KvDtUIDictionary replacement;
  replacement.SetName(g_pUiDictionary->GetName());
  replacement.GetDictionary().AppendItem(std::make_unique<KvDtDictBoolItem>("ONLY_ME", true));
  KvConfigTransfer().MergeUiItems({{"X", &replacement, nullptr}});
  ASSERT_NE(g_pUiDictionary, nullptr);
  EXPECT_EQ(g_pUiDictionary, g_dbCfgUI.FindDictionaryItem());
  EXPECT_NE(g_pUiDictionary->GetDictionary().FindItem("ONLY_ME"), nullptr);
  KvDtUIConfig saved;
  ASSERT_TRUE(saved.ReadFromXML(userDir_ + "UIConfig.xml"));
  EXPECT_TRUE(saved == g_dbCfgUI);
}

TEST_F(UiMergeTest, WithoutUiConfigFileNothingIsApplied) {
  ASSERT_TRUE(g_dbCfgUI.ReadFromXML(ShippedFile("UIConfig.xml")));
  KvDtUICommandDef item;
  item.SetName("TAV_CMD_CONFIG");
  item.SetCaption("改");
  KvConfigTransfer().MergeUiItems({{"X", &item, nullptr}});
  EXPECT_NE(g_dbCfgUI.FindNamedItem("TAV_CMD_CONFIG")->GetCaption(), "改");
  EXPECT_FALSE(std::filesystem::exists(userDir_ + "UIConfig.xml"));
}

}  // namespace
}  // namespace tav::test
