// ExportBundle: the bundle's root and sections, what is left out, what stays untouched.
#include "tests/TavDataManager/config/BundleTestSupport.h"

#include "TavDataManager/config/KvConfigTransfer.h"
#include "platform/config/KvUtXMLDOM.h"

namespace tav::test {
namespace {

using namespace tav::bundle;

std::vector<std::string> SectionNames(const KvUtXMLDOMFile& doc) {
  std::vector<KvUtXMLDOMNode> children;
  doc.GetRoot().GetChildrenNodes(children);
  std::vector<std::string> names;
  for (const auto& child : children) names.push_back(child.GetAttributeValue("name"));
  return names;
}

class ExportTest : public BundleTest {};

TEST_F(ExportTest, WithoutUiConfigTheBundleHasTwoChildren) {
  ShipToMain("Config.xml");
  const std::string out = root_.file("a.allcfg");
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.Open(out)) << doc.LastError().message;
  EXPECT_EQ(SectionNames(doc), (std::vector<std::string>{kConfigName, kDwgName}));
}

TEST_F(ExportTest, WithoutAnyFileOnlyTheDrawingSectionIsWritten) {
  const std::string out = root_.file("a.allcfg");
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.Open(out));
  EXPECT_EQ(SectionNames(doc), (std::vector<std::string>{kDwgName}));
}

TEST_F(ExportTest, RootAndSectionsCarryTheirNamesInOrder) {
  ShipToMain("Config.xml");
  ShipToMain("UIConfig.xml");
  const std::string out = root_.file("a.allcfg");
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  const std::string text = ReadBytes(out);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u) << text.substr(0, 80);
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.Open(out));
  EXPECT_EQ(doc.GetRoot().GetName(), "VenoConfigDataSet");
  EXPECT_EQ(doc.GetRoot().GetAttributes(),
            (KvXmlAttributes{{"name", "TECTO_CONFIGTION"}, {"localname", "澈岩建筑软件设置"}}));
  std::vector<KvUtXMLDOMNode> children;
  ASSERT_EQ(doc.GetRoot().GetChildrenNodes(children), 3);
  EXPECT_EQ(children[0].GetAttributes(), (KvXmlAttributes{{"name", "VENO_CONFIG"}, {"localname", "选项设置"}}));
  EXPECT_EQ(children[1].GetName(), "UIConfig");
  EXPECT_EQ(children[1].GetAttributes(), (KvXmlAttributes{{"name", "VENO_UI_CONFIG"}, {"localname", "自定义设置"}}));
  EXPECT_EQ(children[2].GetName(), "VenoDwgConfig");
  EXPECT_EQ(children[2].GetAttributes(), (KvXmlAttributes{{"name", "VENO_DWG_CONFIG"}, {"localname", "图形设置"}}));
  std::vector<KvUtXMLDOMNode> dwg;
  children[2].GetChildrenNodes(dwg);
  ASSERT_EQ(dwg.size(), 2u);
  EXPECT_EQ(dwg[0].GetAttributes(), (KvXmlAttributes{{"name", "VENO_BASE_CONFIG"}, {"localname", "基本设置"}}));
  EXPECT_EQ(dwg[1].GetAttributes(), (KvXmlAttributes{{"name", "VENO_BOLT_CONFIG"}, {"localname", "填充设置"}}));
}

TEST_F(ExportTest, SectionCopyDropsLocalnameSetsNameInPlaceAndAppendsLocalname) {
  WriteBytes(mainDir_ + "Config.xml",
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
             "<Directory localname=\"旧\" name=\"OLD\" version=\"3\">\n"
             "  <Int name=\"A\" localname=\"甲\">5</Int>\n"
             "</Directory>\n");
  const std::string before = ReadBytes(mainDir_ + "Config.xml");
  const std::string out = root_.file("a.allcfg");
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.Open(out));
  std::vector<KvUtXMLDOMNode> children;
  doc.GetRoot().GetChildrenNodes(children);
  ASSERT_FALSE(children.empty());
  EXPECT_EQ(children[0].GetAttributes(),
            (KvXmlAttributes{{"name", "VENO_CONFIG"}, {"version", "3"}, {"localname", "选项设置"}}));
  std::vector<KvUtXMLDOMNode> items;
  children[0].GetChildrenNodes(items);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].GetText(), "5");
  // The file itself is not changed by the renaming of its copy.
  EXPECT_EQ(ReadBytes(mainDir_ + "Config.xml"), before);
}

TEST_F(ExportTest, UnreadableConfigIsLeftOutAndTheRestWritten) {
  WriteBytes(mainDir_ + "Config.xml", "<Directory name=\"X\"><Int name=\"A\">1</Int>");
  ShipToMain("UIConfig.xml");
  const std::string out = root_.file("a.allcfg");
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.Open(out));
  EXPECT_EQ(SectionNames(doc), (std::vector<std::string>{kUiName, kDwgName}));
}

TEST_F(ExportTest, UserCopyIsPreferredOverTheMainDirectory) {
  ShipToMain("Config.xml");
  WriteBytes(userDir_ + "Config.xml",
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Directory name=\"VENO_CONFIG\"><Int name=\"MINE\">1</Int></Directory>\n");
  const std::string out = root_.file("a.allcfg");
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.Open(out));
  std::vector<KvUtXMLDOMNode> children, items;
  doc.GetRoot().GetChildrenNodes(children);
  children[0].GetChildrenNodes(items);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].GetAttributeValue("name"), "MINE");
}

TEST_F(ExportTest, UnwritableTargetGivesZeroAndLeavesNoFile) {
  ShipToMain("Config.xml");
  const std::string out = root_.path() + "missing/folder/a.allcfg";
  EXPECT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 0);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(ExportTest, ExistingTargetIsReplacedWhole) {
  const std::string out = root_.file("a.allcfg");
  WriteBytes(out, std::string(100000, 'x'));
  ASSERT_EQ(KvConfigTransfer().ExportBundle(out, kRootElement), 1);
  KvUtXMLDOMFile doc;
  EXPECT_TRUE(doc.Open(out)) << doc.LastError().message;
}

}  // namespace
}  // namespace tav::test
