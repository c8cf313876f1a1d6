// The XML document and node wrappers.
#include <gtest/gtest.h>

#include "platform/base/KvFile.h"
#include "platform/config/KvUtXMLDOM.h"
#include "tests/support/TempDir.h"

namespace {

TEST(XmlDomNode, AttributesKeepTheirOrderAndChangeInPlace) {
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.OpenText("<Directory name=\"A\" localname=\"甲\" color=\"3\"/>"));
  KvUtXMLDOMNode root = doc.GetRoot();
  root.SetAttributeValue("localname", "乙");
  root.SetAttributeValue("linetype", "DASHED");
  EXPECT_TRUE(root.DelAttributeNode("color"));
  EXPECT_FALSE(root.DelAttributeNode("color"));
  EXPECT_FALSE(root.IsAttributeExist("color"));
  EXPECT_TRUE(root.IsAttributeExist("name"));
  EXPECT_EQ(root.GetAttributes(),
            (KvXmlAttributes{{"name", "A"}, {"localname", "乙"}, {"linetype", "DASHED"}}));
  EXPECT_EQ(root.GetAttributeValue("absent"), "");
}

TEST(XmlDomNode, ChildrenAreAppendedListedAndDeleted) {
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.OpenText("<R>  <A/>text<B/><!-- c --></R>"));
  KvUtXMLDOMNode root = doc.GetRoot();
  std::vector<KvUtXMLDOMNode> children;
  EXPECT_EQ(root.GetChildrenNodes(children), 2);
  EXPECT_EQ(children[1].GetName(), "B");
  KvUtXMLDOMNode added = root.AppendNodeEx("String", " 值 ", "name", "S");
  EXPECT_EQ(added.GetText(), " 值 ");
  EXPECT_EQ(added.GetAttributeValue("name"), "S");
  EXPECT_EQ(added.GetParent().GetName(), "R");
  EXPECT_EQ(root.AppendNodeEx("Empty", "", "", "").GetAttributes().size(), 0u);
  EXPECT_EQ(root.GetChildrenNodes(children), 4);
  root.DeleteChildrenNodes();
  EXPECT_EQ(root.GetChildrenNodes(children), 0);
  EXPECT_EQ(root.GetText(), "");
  EXPECT_TRUE(root.AppendNode("").IsNull());
}

TEST(XmlDomNode, NullNodesAnswerEmptyAndIgnoreChanges) {
  KvUtXMLDOMNode none;
  EXPECT_TRUE(none.IsNull());
  none.SetAttributeValue("a", "b");
  EXPECT_EQ(none.GetAttributeValue("a"), "");
  EXPECT_TRUE(none.AppendNode("X").IsNull());
  std::vector<KvUtXMLDOMNode> children;
  EXPECT_EQ(none.GetChildrenNodes(children), 0);
  KvUtXMLDOMFile empty;
  EXPECT_TRUE(empty.GetRoot().IsNull());
}

TEST(XmlDomFile, BuildsABundleFromCopiesOfOtherDocuments) {
  tav::test::TempDir dir;
  const std::string config = dir.file("Config.xml");
  ASSERT_TRUE(tav::WriteFileAtomic(config, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                           "<Directory name=\"CFG\" localname=\"旧\"><Int name=\"I\">1</Int></Directory>\n"));
  std::string before;
  tav::ReadFileBytes(config, before);

  KvUtXMLDOMFile bundle;
  const std::string path = dir.file("out.allcfg");
  ASSERT_TRUE(bundle.CreateNewXMLDoc(path, "version='1.0' encoding='utf-8'", "VenoConfigDataSet",
                                     {{"name", "TECTO_CONFIGTION"}, {"localname", "澈岩建筑软件设置"}}));
  KvUtXMLDOMNode child = bundle.AppendDoc(config);
  ASSERT_FALSE(child.IsNull());
  child.DelAttributeNode("localname");
  child.SetAttributeValue("name", "VENO_CONFIG");
  child.SetAttributeValue("localname", "选项设置");
  EXPECT_TRUE(bundle.AppendDoc(dir.file("UIConfig.xml")).IsNull());  // absent: left out
  ASSERT_TRUE(bundle.Save()) << bundle.LastError().message;

  std::string after;
  tav::ReadFileBytes(config, after);
  EXPECT_EQ(after, before);  // the source document is only copied

  KvUtXMLDOMFile back;
  ASSERT_TRUE(back.Open(path)) << back.LastError().message;
  EXPECT_EQ(back.GetRoot().GetAttributes(),
            (KvXmlAttributes{{"name", "TECTO_CONFIGTION"}, {"localname", "澈岩建筑软件设置"}}));
  std::vector<KvUtXMLDOMNode> children;
  ASSERT_EQ(back.GetRoot().GetChildrenNodes(children), 1);
  EXPECT_EQ(children[0].GetAttributes(), (KvXmlAttributes{{"name", "VENO_CONFIG"}, {"localname", "选项设置"}}));
  EXPECT_EQ(children[0].GetChildNode("Int").GetText(), "1");
  std::string text;
  tav::ReadFileBytes(path, text);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u) << text;
}

TEST(XmlDomFile, RefusesABadDeclarationOrRootAndKeepsTheOldDocument) {
  KvUtXMLDOMFile doc;
  ASSERT_TRUE(doc.OpenText("<Keep/>"));
  EXPECT_FALSE(doc.CreateNewXMLDoc("x.xml", "version='1.0'", ""));
  EXPECT_FALSE(doc.CreateNewXMLDoc("x.xml", "version='1.0'", "bad name"));
  EXPECT_FALSE(doc.CreateNewXMLDoc("x.xml", "version=1.0", "Root"));
  EXPECT_EQ(doc.GetRoot().GetName(), "Keep");
}

TEST(XmlDomFile, OpenReportsPositionAndSaveFailsIntoAMissingFolder) {
  tav::test::TempDir dir;
  ASSERT_TRUE(tav::WriteFileAtomic(dir.file("bad.xml"), "<A>\n  <B>\n</A>"));
  KvUtXMLDOMFile doc;
  EXPECT_FALSE(doc.Open(dir.file("bad.xml")));
  EXPECT_EQ(doc.LastError().line, 3);
  EXPECT_EQ(doc.LastError().message.rfind(dir.file("bad.xml") + ":3:", 0), 0u) << doc.LastError().message;
  EXPECT_TRUE(doc.GetRoot().IsNull());

  ASSERT_TRUE(doc.CreateNewXMLDoc(dir.file("missing/x.xml"), "version='1.0'", "R"));
  EXPECT_FALSE(doc.Save());
  EXPECT_NE(doc.LastError().message.find("x.xml"), std::string::npos);
  EXPECT_FALSE(tav::FileExists(dir.file("missing/x.xml")));
}

}  // namespace
