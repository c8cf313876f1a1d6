// The shipped main directory: the default configuration, the linetype files and the icons are
// complete and consistent, and the checks that say so catch broken data.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "tests/maindir/MaindirChecks.h"

using namespace maindir;

namespace {

std::string MainDir() { return std::string(TAV_MAIN_DIR) + "/"; }

const std::vector<std::string> kLinFiles = {"Common/AcadISO.Lin", "Common/Acad.Lin", "PLX/Hexa.Lin",
                                            "PLX/HexaISO.Lin"};

std::string Describe(const Problems& p) {
  std::string s;
  for (const auto& x : p) s += "\n  " + x;
  return s;
}

class ShippedConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    result_ = doc_.load_file((MainDir() + "Config.xml").c_str(), pugi::parse_default, pugi::encoding_utf8);
    ASSERT_TRUE(result_) << result_.description() << " at offset " << result_.offset;
  }
  pugi::xml_node Root() { return doc_.document_element(); }
  pugi::xml_document doc_;
  pugi::xml_parse_result result_;
};

// ---------------------------------------------------------------------------------------------------
// The shipped data

TEST_F(ShippedConfig, UsesOnlyTheDictionaryElementWords) {
  Problems p = CheckElementWords(doc_);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST_F(ShippedConfig, HoldsEverySectionTheOptionsDialogLooksFor) {
  Problems p = CheckSections(doc_);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST_F(ShippedConfig, OffersAtLeastEightPipeSystemsSomeProtected) {
  Problems p = CheckPipeSystems(doc_, 8);
  EXPECT_TRUE(p.empty()) << Describe(p);
  // The everyday systems of a building project are there.
  for (const char* name : {"给水", "热水", "热回水", "中水", "污水", "废水", "雨水", "消火栓", "喷淋"}) {
    pugi::xml_node set = FindPath(Root(), "TAV\\PIPE_SYS_SET");
    EXPECT_TRUE(set.find_child_by_attribute("localname", name)) << name;
  }
}

TEST_F(ShippedConfig, OffersAtLeastSixMaterialsWithConsistentDiameterTables) {
  Problems p = CheckMaterials(doc_, 6);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST_F(ShippedConfig, GivesEveryPipeSystemItsLayersInEveryLayerStandard) {
  Problems p = CheckLayerStandards(doc_, 2);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST_F(ShippedConfig, DescribesTextAndDimensionStyles) {
  Problems p = CheckStyles(doc_);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST_F(ShippedConfig, NestsAdvancedOptionsOfEveryType) {
  Problems p = CheckAdvance(doc_);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST_F(ShippedConfig, NamesOnlyLinetypesThatTheLinFilesDefine) {
  std::vector<std::string> names = LinNames(ReadFile(MainDir() + "Common/AcadISO.Lin"));
  ASSERT_FALSE(names.empty());
  Problems p = CheckLinetypeNames(doc_, names);
  EXPECT_TRUE(p.empty()) << Describe(p);
}

TEST(ShippedLinFiles, EachHasOneMarkerAndWellFormedDefinitions) {
  for (const auto& rel : kLinFiles) {
    std::string text = ReadFile(MainDir() + rel);
    ASSERT_FALSE(text.empty()) << rel;
    Problems p = CheckLinText(text);
    EXPECT_TRUE(p.empty()) << rel << Describe(p);
  }
}

TEST(ShippedLinFiles, ShareOneOwnSectionOfTextLinetypes) {
  std::string first = LinOwnSection(ReadFile(MainDir() + kLinFiles[0]));
  EXPECT_NE(first.find("*TAV_J,------ J ------\r\n"), std::string::npos);
  for (const auto& rel : kLinFiles) EXPECT_EQ(LinOwnSection(ReadFile(MainDir() + rel)), first) << rel;
}

TEST(ShippedLinFiles, DefineTheStandardLinetypesInBothScales) {
  for (const auto& rel : kLinFiles) {
    std::vector<std::string> names = LinNames(ReadFile(MainDir() + rel));
    for (const char* n : {"DASHED", "HIDDEN", "CENTER", "PHANTOM", "DOT", "DASHDOT", "BORDER", "DIVIDE"})
      EXPECT_NE(std::find(names.begin(), names.end(), n), names.end()) << rel << " lacks " << n;
  }
  // The ISO files measure in millimetres: DASHED's dash is 25.4 times the inch file's.
  auto dashOf = [](const std::string& text) {
    size_t at = text.find("*DASHED,");
    size_t pattern = text.find("\nA,", at) + 3;
    return std::stod(text.substr(pattern, text.find(',', pattern) - pattern));
  };
  double inch = dashOf(ReadFile(MainDir() + "Common/Acad.Lin"));
  double iso = dashOf(ReadFile(MainDir() + "Common/AcadISO.Lin"));
  EXPECT_NEAR(iso, inch * 25.4, 1e-9);
  EXPECT_NEAR(dashOf(ReadFile(MainDir() + "PLX/HexaISO.Lin")), iso, 1e-9);
  EXPECT_NEAR(dashOf(ReadFile(MainDir() + "PLX/Hexa.Lin")), inch, 1e-9);
}

TEST(ShippedIcons, AreIcoFilesWithSmallAndLargeImages) {
  for (const char* rel : {"Skin/folder.ico", "Skin/txt.ico"}) {
    std::string bytes = ReadFile(MainDir() + rel);
    std::vector<int> sizes;
    Problems p = CheckIcon(bytes, &sizes);
    EXPECT_TRUE(p.empty()) << rel << Describe(p);
    EXPECT_EQ(sizes, (std::vector<int>{16, 32})) << rel;
  }
}

// ---------------------------------------------------------------------------------------------------
// Broken data is caught

TEST_F(ShippedConfig, CatchesAnUnknownElementWordAndBadValues) {
  Root().append_child("Float").append_attribute("name") = "X";
  pugi::xml_node i = Root().append_child("Int");
  i.append_attribute("name") = "N";
  i.text() = "12abc";
  pugi::xml_node c = Root().append_child("Char");
  c.append_attribute("name") = "C";
  c.text() = "ab";
  Problems p = CheckElementWords(doc_);
  ASSERT_EQ(p.size(), 3u) << Describe(p);
  EXPECT_NE(p[0].find("Float"), std::string::npos);
  EXPECT_NE(p[1].find("12abc"), std::string::npos);
  EXPECT_NE(p[2].find("not one character"), std::string::npos);
}

TEST_F(ShippedConfig, CatchesTwoSelectedChoicesAndKeysDifferingOnlyInCase) {
  pugi::xml_node opt = Root().append_child("Option");
  opt.append_attribute("name") = "O";
  opt.append_child("Choice").append_attribute("selected") = "TRUE";
  opt.append_child("Choice").append_attribute("selected") = "TRUE";
  Root().append_child("Directory").append_attribute("name") = "advance";
  Problems p = CheckElementWords(doc_);
  ASSERT_EQ(p.size(), 2u) << Describe(p);
}

TEST_F(ShippedConfig, CatchesAMissingSection) {
  Root().remove_child(FindKey(Root(), "DIM_STYLE"));
  Problems p = CheckSections(doc_);
  ASSERT_EQ(p.size(), 1u) << Describe(p);
  EXPECT_NE(p[0].find("DIM_STYLE"), std::string::npos);
}

TEST_F(ShippedConfig, CatchesSwappedInnerAndOuterDiameters) {
  pugi::xml_node row = FindPath(Root(), "TAV\\PIPE_MATERIAL_SET\\镀锌钢管\\DIA_SET\\50");
  ASSERT_TRUE(row);
  std::string in = row.attribute("InDia").value();
  row.attribute("InDia") = row.attribute("OutDia").value();
  row.attribute("OutDia") = in.c_str();
  Problems p = CheckMaterials(doc_, 6);
  EXPECT_FALSE(p.empty());
  EXPECT_NE(Describe(p).find("inner diameter not below"), std::string::npos) << Describe(p);
}

TEST_F(ShippedConfig, CatchesNominalDiametersOutOfOrder) {
  pugi::xml_node dia = FindPath(Root(), "TAV\\PIPE_MATERIAL_SET\\PP-R\\DIA_SET");
  dia.append_move(dia.first_child());  // DN15 after DN100
  Problems p = CheckMaterials(doc_, 6);
  EXPECT_NE(Describe(p).find("nominal diameters do not rise"), std::string::npos) << Describe(p);
}

TEST_F(ShippedConfig, CatchesTooFewMaterialsAndAnUnknownDefaultMaterial) {
  pugi::xml_node set = FindPath(Root(), "TAV\\PIPE_MATERIAL_SET");
  set.remove_child(FindKey(set, "PP-R"));
  EXPECT_FALSE(CheckMaterials(doc_, 9).empty());
  Problems p = CheckPipeSystems(doc_, 8);
  EXPECT_NE(Describe(p).find("\"PP-R\" is not a pipe material"), std::string::npos) << Describe(p);
}

TEST_F(ShippedConfig, CatchesPipeSystemsWithoutProtectionOrWithBadAttributes) {
  for (pugi::xml_node s : FindPath(Root(), "TAV\\PIPE_SYS_SET").children()) s.attribute("candelete") = "YES";
  FindPath(Root(), "TAV\\PIPE_SYS_SET\\AV_SYS_W").attribute("systype") = "自流";
  Problems p = CheckPipeSystems(doc_, 8);
  EXPECT_EQ(p.size(), 2u) << Describe(p);
  EXPECT_FALSE(CheckPipeSystems(doc_, 100).empty());
}

TEST_F(ShippedConfig, CatchesAPipeSystemWithoutLayerKeys) {
  pugi::xml_node set = FindPath(Root(), "TAV\\PIPE_SYS_SET");
  pugi::xml_node copy = set.append_copy(FindKey(set, "AV_SYS_ZJ"));
  copy.attribute("name") = "AV_SYS_QT";
  copy.attribute("flag") = "QT";
  copy.attribute("localname") = "其它";
  Problems p = CheckLayerStandards(doc_, 2);
  // Both standards miss the system layer key and the four assembly classes' entries.
  EXPECT_EQ(p.size(), 2u * 5u) << Describe(p);
}

TEST_F(ShippedConfig, CatchesARemovedAssemblyLayerInOneStandard) {
  pugi::xml_node cls = FindPath(Root(), "LAYER\\英文标准\\ASSEMBLY_LAYER_DEF\\给排水\\标注");
  cls.remove_child(cls.last_child());
  Problems p = CheckLayerStandards(doc_, 2);
  ASSERT_EQ(p.size(), 1u) << Describe(p);
  EXPECT_NE(p[0].find("英文标准"), std::string::npos);
}

TEST_F(ShippedConfig, CatchesACurrentStandardThatDoesNotExist) {
  FindPath(Root(), "LAYER\\CUR_STD").text() = "无此标准";
  Problems p = CheckLayerStandards(doc_, 2);
  ASSERT_EQ(p.size(), 1u) << Describe(p);
  EXPECT_EQ(CheckLayerStandards(doc_, 3).size(), 2u);
}

TEST_F(ShippedConfig, CatchesAdvancedOptionsLackingATypeOrNesting) {
  pugi::xml_node adv = FindPath(Root(), "ADVANCE");
  pugi::xml_node label = FindKey(adv, "LABEL");
  label.remove_child(FindKey(label, "RISER_SEPARATOR"));
  Problems p = CheckAdvance(doc_);
  ASSERT_EQ(p.size(), 1u) << Describe(p);
  EXPECT_NE(p[0].find("Char"), std::string::npos);
}

TEST_F(ShippedConfig, CatchesALinetypeThatNoLinFileDefines) {
  FindPath(Root(), "TAV\\PIPE_SYS_SET\\AV_SYS_J").attribute("linetype") = "TAV_NOPE";
  Problems p = CheckLinetypeNames(doc_, LinNames(ReadFile(MainDir() + "Common/AcadISO.Lin")));
  ASSERT_EQ(p.size(), 1u) << Describe(p);
}

TEST(BrokenLinText, IsCaught) {
  const std::string good =
      ";; standard\r\n*DASHED,Dashed __ __\r\nA,.5,-.25\r\n;;TAV LINETYPE DEFINE\r\n"
      "*TAV_W,------ W ------\r\nA,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4\r\n";
  EXPECT_TRUE(CheckLinText(good).empty()) << Describe(CheckLinText(good));
  EXPECT_EQ(LinNames(good), (std::vector<std::string>{"DASHED", "TAV_W"}));

  std::string twoMarkers = good + ";;TAV LINETYPE DEFINE\r\n";
  EXPECT_FALSE(CheckLinText(twoMarkers).empty());
  std::string noMarker = ";; x\r\n*DASHED,Dashed\r\nA,.5,-.25\r\n";
  EXPECT_FALSE(CheckLinText(noMarker).empty());
  std::string lfOnly = ";; x\n;;TAV LINETYPE DEFINE\n";
  EXPECT_FALSE(CheckLinText(lfOnly).empty());
  std::string headerOnly = ";;TAV LINETYPE DEFINE\r\n*TAV_J,------ J ------\r\n";
  EXPECT_FALSE(CheckLinText(headerOnly).empty());
  std::string orphanPattern = "A,.5,-.25\r\n;;TAV LINETYPE DEFINE\r\n";
  EXPECT_FALSE(CheckLinText(orphanPattern).empty());
  std::string badNumber = "*DASHED,D\r\nA,.5x,-.25\r\n;;TAV LINETYPE DEFINE\r\n";
  EXPECT_FALSE(CheckLinText(badNumber).empty());
  std::string commentInOwn = ";;TAV LINETYPE DEFINE\r\n;; mine\r\n";
  EXPECT_FALSE(CheckLinText(commentInOwn).empty());
  std::string wrongOwnForm = ";;TAV LINETYPE DEFINE\r\n*TAV_W,------ W ------\r\nA,50,0,-4\r\n";
  EXPECT_FALSE(CheckLinText(wrongOwnForm).empty());
  std::string twice = "*DASHED,D\r\nA,.5,-.25\r\n*dashed,D\r\nA,.5,-.25\r\n;;TAV LINETYPE DEFINE\r\n";
  EXPECT_FALSE(CheckLinText(twice).empty());
}

TEST(BrokenIcon, IsCaught) {
  std::string good = ReadFile(MainDir() + "Skin/txt.ico");
  ASSERT_TRUE(CheckIcon(good).empty());
  std::string png = good;
  png[2] = 2;  // a cursor, not an icon
  EXPECT_FALSE(CheckIcon(png).empty());
  EXPECT_FALSE(CheckIcon(good.substr(0, good.size() - 100)).empty());
  EXPECT_FALSE(CheckIcon(std::string("\x89PNG\r\n\x1a\n", 8)).empty());
  std::string wrongSize = good;
  wrongSize[6] = 20;  // directory says 20 pixels, bitmap says 16
  wrongSize[7] = 20;
  EXPECT_FALSE(CheckIcon(wrongSize).empty());
}

}  // namespace
