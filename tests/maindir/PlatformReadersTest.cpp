// The shipped main directory as the platform itself reads it: the configuration dictionary reader and
// the linetype file parser accept every file and see what the designer is meant to get.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/cad/lin/KvLinFile.h"
#include "platform/config/KvDtDictionary.h"

namespace {

std::string MainDir() { return std::string(TAV_MAIN_DIR) + "/"; }

TEST(ShippedConfigRead, LoadsIntoADictionaryAndWritesBackTheSameTree) {
  KvDtDictionary cfg;
  ASSERT_TRUE(cfg.ReadFromXML(MainDir() + "Config.xml")) << cfg.LastError().message;
  EXPECT_EQ(cfg.GetKey(), "VENO_CONFIG");
  KvDtDictionary again;
  ASSERT_TRUE(again.ReadFromXMLText(cfg.ToXMLText()));
  EXPECT_TRUE(again == cfg);
}

TEST(ShippedConfigRead, AnswersTheKeyPathsTheSheetsUse) {
  KvDtDictionary cfg;
  ASSERT_TRUE(cfg.ReadFromXML(MainDir() + "Config.xml"));
  std::string current;
  ASSERT_TRUE(cfg.GetValue("LAYER\\CUR_STD", current));
  EXPECT_NE(cfg.FindDict("LAYER\\" + current + "\\LAYER_FIELD_DEF\\给排水\\系统"), nullptr);
  KvDtDictionary* systems = cfg.FindDict("tav\\pipe_sys_set");
  ASSERT_NE(systems, nullptr);
  EXPECT_GE(systems->GetCount(), 8);
  KvDtDictItem* j = cfg.FindItem("TAV\\PIPE_SYS_SET\\AV_SYS_J");
  ASSERT_NE(j, nullptr);
  EXPECT_EQ(j->GetAttributeValue("candelete"), "NO");
  EXPECT_NE(cfg.FindDict("TAV\\PIPE_MATERIAL_SET\\" + j->GetAttributeValue("material") + "\\DIA_SET"), nullptr);
  bool autoBreak = false;
  EXPECT_TRUE(cfg.GetValue("ADVANCE\\DRAW\\AUTO_BREAK", autoBreak));
  char32_t separator = 0;
  EXPECT_TRUE(cfg.GetValue("ADVANCE\\LABEL\\RISER_SEPARATOR", separator));
  EXPECT_EQ(separator, U'-');
  std::string slopeFormat;
  EXPECT_TRUE(cfg.GetValue("ADVANCE\\LABEL\\SLOPE_FORMAT", slopeFormat));
  EXPECT_FALSE(slopeFormat.empty());
}

TEST(ShippedLinFilesRead, ParseWithoutFaultsAndGiveTheTextLinetypesThreeDashes) {
  for (const char* rel : {"Common/AcadISO.Lin", "Common/Acad.Lin", "PLX/Hexa.Lin", "PLX/HexaISO.Lin"}) {
    tav::KvLinFile file;
    std::string error;
    ASSERT_TRUE(tav::ReadLinFile(MainDir() + rel, file, &error)) << rel << ": " << error;
    for (const auto& e : file.errors) ADD_FAILURE() << rel << ": " << e.text();
    for (const char* text : {"J", "RJ", "W", "F", "Y", "XH", "ZP"}) {
      const tav::KvLinetypeDefinition* d = file.find(std::string("TAV_") + text);
      ASSERT_NE(d, nullptr) << rel << " TAV_" << text;
      ASSERT_EQ(d->dashes.size(), 3u) << rel << " TAV_" << text;
      EXPECT_EQ(d->textAt(1), text);
      EXPECT_EQ(d->shapeStyleAt(1), "Standard");
      EXPECT_LT(d->dashLengthAt(2), 0);
    }
    const tav::KvLinetypeDefinition* dashed = file.find("DASHED");
    ASSERT_NE(dashed, nullptr);
    EXPECT_EQ(dashed->dashes.size(), 2u);
  }
}

}  // namespace
