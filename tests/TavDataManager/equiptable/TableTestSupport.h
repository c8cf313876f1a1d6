// Shared set-up of the equipment table tests: a current document with its database, scripted user
// services, the sample writer, and readers of what stands in the drawing.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TavDataManager/equiptable/CSbbTableWriter.h"
#include "TavDataManager/equiptable/SbbRecognition.h"
#include "TavDataManager/equiptable/SbbTableEditor.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvScriptedUserServices.h"
#include "platform/tavdata/KvDbSetting.h"

namespace tav::test {

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tav::SetMainDirectory(TAV_MAIN_DIR);
    doc_ = acDocManager->newDocument();
    ASSERT_NE(doc_, nullptr);
    db_ = doc_->database();
    previous_ = KvSetUserServices(&services_);
    CSbbTableWriter::EnsureSampleLegends(db_, {"水泵", "阀门", "水表", "消火栓", "喷头", "截止阀", "止回阀"});
  }
  void TearDown() override {
    KvSetUserServices(previous_);
    acDocManager->closeDocument(doc_);
  }

  // Draws a table of `rows` sample rows; returns the main header line's handle text.
  std::string DrawTable(CSbbTableLayout layout, int rows, bool legends = false) {
    if (legends && layout.columns.empty()) {
      layout.columns = CSbbTableWriter::DefaultColumns();
      layout.columns.insert(layout.columns.begin() + 1, {"图例", "20"});
    }
    CSbbTableWriter writer(db_);
    std::string handle = writer.Draw(layout, MakeSampleRows(rows, legends));
    drawn_ = writer.DrawnEntities();
    return handle;
  }

  // Recognises the table of `handle` the way XG does (collect, turn, recognise); `angle` gets the
  // table's angle. False when a step fails.
  bool Recognise(CSbbTable& model, const std::string& handle, double* angle = nullptr,
                 CSbbMatchMode mode = CSbbMatchMode::kIndexed) {
    AcGePoint3d base;
    double a = 0;
    if (!CollectTable(handle, base, a, model.m_selection, db_)) return false;
    TurnSelection(model.m_selection, base, -a);
    if (angle) *angle = a;
    base_ = base;
    return RecognizeTable(model, handle, mode) == 1;
  }

  // The cell texts of every body row in order.
  static std::vector<std::vector<std::string>> Texts(const CSbbTable& model) {
    std::vector<std::vector<std::string>> out;
    for (const tagSBBGETDATA& row : ExtractRows(model)) {
      std::vector<std::string> cells;
      for (int j = 0; j < model.m_nColumnCount; ++j) cells.push_back(row.cells[j].strText);
      out.push_back(cells);
    }
    return out;
  }

  // Entities of model space of a type carrying QLV_SBBHANDLE `handle`.
  std::vector<tav::cad::DxfObject> TableEntities(const std::string& type, const std::string& handle) {
    std::vector<tav::cad::DxfObject> out;
    tav::cad::DxfDocument& doc = db_->document();
    for (const tav::cad::DxfObject& e : doc.EntitiesOf(doc.ModelSpace())) {
      tav::cad::DxfXData x;
      if ((type.empty() || e.Type() == type) && e.GetXData(kSbbAppHandle, x) && x.items.size() == 1 &&
          x.items[0].text == handle)
        out.push_back(e);
    }
    return out;
  }

  // The cell text entity of row `row` (1-based) and column `column`.
  tav::cad::DxfObject CellEntity(const std::string& handle, int row, const std::string& column) {
    for (const tav::cad::DxfObject& e : TableEntities("", handle)) {
      tav::cad::DxfXData x;
      if (e.GetXData(kSbbAppText, x) && x.items.size() == 2 && x.items[0].integer == row && x.items[1].text == column)
        return e;
    }
    return {};
  }

  AcDbObjectId Id(const tav::cad::DxfObject& object) { return db_->idOf(object); }

  void Erase(const tav::cad::DxfObject& object) {
    KvDbObjectPtr<AcDbEntity> entity(Id(object), AcDb::kForWrite);
    ASSERT_TRUE(entity);
    entity->erase();
  }

  AcApDocument* doc_ = nullptr;
  AcDbDatabase* db_ = nullptr;
  KvScriptedUserServices services_{KvScriptedUserServices::Policy::kThrow};
  KvUserServices* previous_ = nullptr;
  AcDbObjectIdArray drawn_;
  AcGePoint3d base_;
};

inline double Length(const tav::cad::DxfObject& line) {
  tav::cad::DxfLine l(line);
  return std::hypot(l.End().x - l.Start().x, l.End().y - l.Start().y);
}

}  // namespace tav::test
