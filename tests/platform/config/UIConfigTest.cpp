// The UI configuration: kind factory, copying items, XML round trips, the shipped UIConfig.xml.
#include <gtest/gtest.h>

#include "platform/base/KvFile.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtUIConfig.h"
#include "tests/support/TempDir.h"

namespace {

template <typename T>
T* As(KvDtUIItem* item) {
  return dynamic_cast<T*>(item);
}

std::unique_ptr<KvDtUIItem> Menu(const char* name, std::initializer_list<const char*> commands) {
  auto menu = std::make_unique<KvDtUIMenuDef>();
  menu->SetName(name);
  menu->SetCaption("菜单");
  for (const char* command : commands) {
    auto* item = As<KvDtUIMenuItem>(menu->AppendChild(std::make_unique<KvDtUIMenuItem>()));
    item->SetName(std::string(name) + "_" + command);
    item->SetCommand(command);
  }
  return menu;
}

TEST(UIKindFactory, MakesEachKindFromItsWordIgnoringCase) {
  ASSERT_EQ(KvDtUIItem::KindWords().size(), 12u);
  for (const std::string& word : KvDtUIItem::KindWords()) {
    auto item = KvDtUIItem::Create(word);
    ASSERT_NE(item, nullptr) << word;
    EXPECT_EQ(item->GetKindWord(), word);
    std::string lower = word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(KvDtUIItem::Create(lower)->GetKindWord(), word);
  }
  EXPECT_NE(As<KvDtUIDictionary>(KvDtUIItem::Create("VENODICTIONARY").get()), nullptr);
  EXPECT_NE(As<KvDtUIShortCut>(KvDtUIItem::Create("shortcut").get()), nullptr);
  EXPECT_EQ(KvDtUIItem::Create("Toolbar"), nullptr);
  EXPECT_EQ(KvDtUIItem::Create(""), nullptr);
}

TEST(UIKindFactory, OnlyContainerKindsTakeChildren) {
  for (const std::string& word : KvDtUIItem::KindWords()) {
    auto item = KvDtUIItem::Create(word);
    const bool container = word == "Directory" || word == "MenuDef" || word == "SwitchDef" || word == "VenoDictionary";
    EXPECT_EQ(item->HoldsChildren(), container) << word;
    EXPECT_EQ(item->AppendChild(std::make_unique<KvDtUISeparator>()) != nullptr, container) << word;
  }
}

TEST(UIItemCopy, KindsThatDifferCopyNothing) {
  KvDtUIMenuItem target;
  target.SetName("A");
  target.SetCommand("TavConfig");
  KvDtUIControl source;
  source.SetName("B");
  source.SetCommand("XG");
  EXPECT_FALSE(target.CopyFrom(source));
  EXPECT_EQ(target.GetName(), "A");
  EXPECT_EQ(target.GetCommand(), "TavConfig");
}

TEST(UIItemCopy, CopiesSharedTextsKindFieldsAndFurtherAttributes) {
  KvDtUICommandDef source, target;
  source.SetName("TAV_CMD_XG");
  source.SetCaption("设备表编辑");
  source.SetDescription("说明");
  source.SetCommand("XG");
  source.SetTooltip("提示");
  source.SetMacro("^C^CXG");
  source.SetField("helpTopic", "xg.html");
  target.SetIcon("Skin\\old.ico");
  EXPECT_TRUE(target.CopyFrom(source));
  EXPECT_EQ(target.GetCaption(), "设备表编辑");
  EXPECT_EQ(target.GetCommand(), "XG");
  EXPECT_EQ(target.GetIcon(), "");  // the source's empty icon is copied too
  EXPECT_EQ(target.GetField("helpTopic"), "xg.html");
  EXPECT_TRUE(target == source);
}

TEST(UIItemCopy, ChildrenAreReplacedByFactoryCopiesInOrder) {
  auto source = Menu("SRC", {"TavConfig", "XG"});
  source->AppendChild(std::make_unique<KvDtUISeparator>());
  source->AppendChild(Menu("SUB", {"TavLinetype"}));
  auto target = Menu("DST", {"TavDwgSetting", "A", "B"});
  KvDtUIItem* oldChild = target->GetChild(0);
  ASSERT_TRUE(target->CopyFrom(*source));
  ASSERT_EQ(target->GetChildCount(), 4);
  EXPECT_TRUE(*target == *source);
  EXPECT_NE(target->GetChild(0), source->GetChild(0));
  EXPECT_NE(target->GetChild(0), oldChild);
  EXPECT_EQ(target->GetChild(3)->GetParent(), target.get());
  EXPECT_EQ(target->GetChild(3)->GetChild(0)->GetParent(), target->GetChild(3));
  EXPECT_EQ(As<KvDtUIMenuItem>(target->GetChild(3)->GetChild(0))->GetCommand(), "TavLinetype");
  As<KvDtUIMenuItem>(source->GetChild(0))->SetCommand("changed");
  EXPECT_EQ(As<KvDtUIMenuItem>(target->GetChild(0))->GetCommand(), "TavConfig");
}

TEST(UIItemCopy, VenoDictionaryAssignsTheWholeDictionary) {
  KvDtUIDictionary source, target;
  source.SetName("UI_DICT");
  static_cast<KvDtDictLongItem*>(source.GetDictionary().FindOrAddItem("ICON_SIZE", DICT_TYPE_LONG))->SetValue(32);
  target.GetDictionary().FindOrAddItem("STALE", DICT_TYPE_BOOL);
  source.AppendChild(std::make_unique<KvDtUISeparator>());
  ASSERT_TRUE(target.CopyFrom(source));
  EXPECT_EQ(target.GetDictionary().FindItem("STALE"), nullptr);
  long long size = 0;
  EXPECT_TRUE(target.GetDictionary().GetValue("ICON_SIZE", size));
  EXPECT_EQ(size, 32);
  EXPECT_EQ(target.GetChildCount(), 1);
  EXPECT_TRUE(target == source);
}

TEST(UIItemCopy, CopyFromOwnDescendantKeepsTheCopiedChildren) {
  auto outer = std::make_unique<KvDtUIDirectory>();
  KvDtUIItem* inner = outer->AppendChild(std::make_unique<KvDtUIDirectory>());
  inner->SetName("INNER");
  inner->AppendChild(std::make_unique<KvDtUISeparator>());
  ASSERT_TRUE(outer->CopyFrom(*inner));
  EXPECT_EQ(outer->GetName(), "INNER");
  ASSERT_EQ(outer->GetChildCount(), 1);
  EXPECT_EQ(outer->GetChild(0)->GetKindWord(), "Separator");
}

TEST(UIConfigLookup, FindsNamedItemsCommandsAndTheDictionary) {
  KvDtUIConfig config;
  KvDtUIItem* commands = config.GetRoot().AppendChild(std::make_unique<KvDtUIDirectory>());
  auto* def = As<KvDtUICommandDef>(commands->AppendChild(std::make_unique<KvDtUICommandDef>()));
  def->SetName("TAV_CMD_XG");
  def->SetCommand("XG");
  config.GetRoot().AppendChild(std::make_unique<KvDtUIDictionary>())->SetName("D");
  EXPECT_EQ(config.FindNamedItem("tav_cmd_xg"), def);
  EXPECT_EQ(config.FindNamedItem("absent"), nullptr);
  EXPECT_EQ(config.FindNamedItem(""), nullptr);
  EXPECT_EQ(config.FindCommandDef("xg"), def);
  ASSERT_NE(config.FindDictionaryItem(), nullptr);
  EXPECT_EQ(config.FindDictionaryItem()->GetName(), "D");
}

TEST(UIConfigXml, ShippedFileReadsAndRoundTrips) {
  KvDtUIConfig config;
  ASSERT_TRUE(config.ReadFromXML(std::string(TAV_SOURCE_DIR) + "/maindir/UIConfig.xml")) << config.LastError().message;
  for (const char* command : {"TavConfig", "TavDwgSetting", "TavLinetype", "XG"}) {
    KvDtUICommandDef* def = config.FindCommandDef(command);
    ASSERT_NE(def, nullptr) << command;
    EXPECT_FALSE(def->GetCaption().empty());
  }
  EXPECT_EQ(config.FindCommandDef("TavConfig")->GetCaption(), "选项配置");
  EXPECT_EQ(config.FindCommandDef("TavDwgSetting")->GetCaption(), "图形设置");
  EXPECT_EQ(config.FindCommandDef("TavLinetype")->GetCaption(), "线型管理");
  KvDtUIItem* menu = config.GetRoot().FindKind("MenuDef");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetCaption(), "给排水");
  int menuItems = 0;
  for (int i = 0; i < menu->GetChildCount(); ++i) menuItems += menu->GetChild(i)->IsKind("MenuItem");
  EXPECT_EQ(menuItems, 4);
  ASSERT_NE(config.FindDictionaryItem(), nullptr);
  EXPECT_GT(config.FindDictionaryItem()->GetDictionary().GetCount(), 0);

  tav::test::TempDir dir;
  ASSERT_TRUE(config.SaveToXML(dir.file("UIConfig.xml")));
  KvDtUIConfig back;
  ASSERT_TRUE(back.ReadFromXML(dir.file("UIConfig.xml"))) << back.LastError().message;
  EXPECT_TRUE(back == config);
}

TEST(UIConfigXml, RoundTripKeepsEveryKindAndFurtherAttributes) {
  KvDtUIConfig config;
  config.GetRoot().SetName("ROOT");
  for (const std::string& word : KvDtUIItem::KindWords()) {
    KvDtUIItem* item = config.GetRoot().AppendChild(KvDtUIItem::Create(word));
    item->SetName("N_" + word);
    item->SetCaption(" 标题 ");
    for (const auto& [field, value] : item->GetFields()) item->SetField(field, field + "值");
    item->SetField("x-extra", "");
    if (item->HoldsChildren()) item->AppendChild(std::make_unique<KvDtUISeparator>());
  }
  auto* dict = As<KvDtUIDictionary>(config.FindNamedItem("N_VenoDictionary"));
  static_cast<KvDtDictStringItem*>(dict->GetDictionary().FindOrAddItem("A\\B", DICT_TYPE_STRING))->SetValue("  ");
  KvDtUIConfig back;
  ASSERT_TRUE(back.ReadFromXMLText(config.ToXMLText())) << back.LastError().message << config.ToXMLText();
  EXPECT_TRUE(back == config) << config.ToXMLText() << back.ToXMLText();
  EXPECT_EQ(back.ToXMLText(), config.ToXMLText());
}

TEST(UIConfigXml, BadFilesNamePositionAndLeaveTheConfigurationAlone) {
  KvDtUIConfig config;
  ASSERT_TRUE(config.ReadFromXML(std::string(TAV_SOURCE_DIR) + "/maindir/UIConfig.xml"));
  struct Bad {
    const char* text;
    int line, column;
    const char* words;
  } cases[] = {
      {"<UIConfig>\n  <Toolbar name=\"T\"/>\n</UIConfig>", 2, 3, "unknown UI item kind <Toolbar>"},
      {"<UIConfig>\n<Separator><MenuItem/></Separator></UIConfig>", 2, 12, "holds no children"},
      {"<UIConfig><VenoDictionary>\n<Dictionary><Int name=\"I\">x</Int></Dictionary></VenoDictionary></UIConfig>", 2, 13,
       "'x' is not a Int value"},
      {"<UIConfig><Directory>", 1, 21, "ends early"},
  };
  for (const Bad& bad : cases) {
    KvDtUIConfig copy;
    ASSERT_TRUE(copy.ReadFromXMLText(config.ToXMLText()));
    EXPECT_FALSE(copy.ReadFromXMLText(bad.text, "UIConfig.xml")) << bad.text;
    const KvXmlResult& error = copy.LastError();
    EXPECT_EQ(error.line, bad.line) << error.message;
    EXPECT_EQ(error.column, bad.column) << error.message;
    EXPECT_EQ(error.message.rfind("UIConfig.xml:", 0), 0u) << error.message;
    EXPECT_NE(error.message.find(bad.words), std::string::npos) << error.message;
    EXPECT_TRUE(copy == config);
  }
}

TEST(UIConfigGlobals, UiDictionaryFollowsTheLoadedConfiguration) {
  ASSERT_TRUE(g_dbCfgUI.ReadFromXML(std::string(TAV_SOURCE_DIR) + "/maindir/UIConfig.xml"));
  ASSERT_NE(g_pUiDictionary, nullptr);
  EXPECT_EQ(g_pUiDictionary, g_dbCfgUI.FindDictionaryItem());
  ASSERT_TRUE(g_dbCfgUI.ReadFromXMLText("<UIConfig><Directory name=\"X\"/></UIConfig>"));
  EXPECT_EQ(g_pUiDictionary, nullptr);
  g_dbCfgUI.Reset();
}

}  // namespace
