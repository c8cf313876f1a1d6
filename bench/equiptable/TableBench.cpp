// equiptable_bench [ROWS...]: for tables of 1,000, 5,000 and 20,000 rows (or the given counts) prints
//   draw        drawing the table with the sample writer (baseline: what creating the entities costs)
//   recognise   collecting the table's entities and recognising it (indexed parse), as XG does
//   write-back  writing back the rows with every tenth cell changed
//   first-match recognition with the straightforward parse (baseline; up to 5,000 rows)
// and the growth of each figure from one size to the next beside the growth of the row count.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "TavDataManager/equiptable/CSbbTableWriter.h"
#include "TavDataManager/equiptable/SbbRecognition.h"
#include "platform/host/KvScriptedUserServices.h"

namespace {

// Figures are the process's CPU time: the machine is shared with builds, so wall time mostly measures
// the load. The wall time of recognition is printed beside it.
struct Clock {
  using time_point = double;
  static double now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
  }
};
using Wall = std::chrono::steady_clock;

double Seconds(double since) { return Clock::now() - since; }

struct Figures {
  int rows = 0;
  double draw = 0, recognise = 0, writeBack = 0, firstMatch = -1;
  double recogniseWall = 0;
  double collect = 0, lines = 0, texts = 0, parse = 0;  // the steps of recognition, measured apart
  std::size_t entities = 0, changed = 0;
};

bool RecogniseTable(AcDbDatabase& db, const std::string& handle, CSbbTable& model, CSbbMatchMode mode) {
  AcGePoint3d base;
  double angle = 0;
  if (!CollectTable(handle, base, angle, model.m_selection, &db)) return false;
  TurnSelection(model.m_selection, base, -angle);
  return RecognizeTable(model, handle, mode) == 1;
}

Figures Measure(int rows, bool withBaseline) {
  Figures f;
  f.rows = rows;
  AcDbDatabase db;
  KvWorkingDatabaseScope scope(&db);
  CSbbTableLayout layout;
  layout.frame = 0;
  const std::vector<tagSBBSCDATA> data = MakeSampleRows(rows);
  auto t0 = Clock::now();
  CSbbTableWriter writer(&db);
  const std::string handle = writer.Draw(layout, data);
  f.draw = Seconds(t0);
  f.entities = writer.DrawnEntities().size();

  CSbbTable model(&db);
  t0 = Clock::now();
  const auto w0 = Wall::now();
  if (!RecogniseTable(db, handle, model, CSbbMatchMode::kIndexed) || model.TotalBodyRows() != rows) {
    std::fprintf(stderr, "recognition failed for %d rows\n", rows);
    std::exit(1);
  }
  f.recognise = Seconds(t0);
  f.recogniseWall = std::chrono::duration<double>(Wall::now() - w0).count();

  {  // the steps one by one on a fresh model
    CSbbTable steps(&db);
    AcGePoint3d base;
    double angle = 0;
    auto t = Clock::now();
    CollectTable(handle, base, angle, steps.m_selection, &db);
    f.collect = Seconds(t);
    KvResbufPtr define(acutBuildList(RTNONE));
    {
      KvDbObjectPtr<AcDbEntity> main(AcDbObjectId(&db, AcDbHandle(handle.c_str())), AcDb::kForRead);
      define.reset(main->xData(kSbbAppDefine));
    }
    steps.ParseHeaderData(define.get());
    std::vector<CTableLine> lines;
    std::vector<CTableText> texts;
    t = Clock::now();
    ReadTableLines(steps, handle, lines);
    f.lines = Seconds(t);
    t = Clock::now();
    ReadTableTexts(steps, handle, texts);
    f.texts = Seconds(t);
    t = Clock::now();
    ParseTableGeometry(steps, lines, texts, CSbbMatchMode::kIndexed);
    f.parse = Seconds(t);
  }

  std::vector<tagSBBGETDATA> edited = ExtractRows(model);
  std::size_t cell = 0;
  for (tagSBBGETDATA& row : edited) {
    for (int j = 0; j < model.m_nColumnCount; ++j, ++cell) {
      if (cell % 10 == 0) {
        row.cells[j].strText += "*";
        ++f.changed;
      }
    }
  }
  t0 = Clock::now();
  model.WriteBackTable(edited);
  f.writeBack = Seconds(t0);

  if (withBaseline) {
    CSbbTable reference(&db);
    t0 = Clock::now();
    if (!RecogniseTable(db, handle, reference, CSbbMatchMode::kFirstMatch) || reference.TotalBodyRows() != rows) {
      std::fprintf(stderr, "first-match recognition failed for %d rows\n", rows);
      std::exit(1);
    }
    f.firstMatch = Seconds(t0);
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 5000, 20000};
  KvScriptedUserServices quiet(KvScriptedUserServices::Policy::kCancelAndRecord);
  KvUserServicesScope servicesScope(quiet);

  std::printf("CPU seconds\n%8s %9s %10s %12s %12s %14s %12s\n", "rows", "entities", "draw", "recognise",
              "write-back", "first-match", "cells changed");
  std::vector<Figures> all;
  for (int rows : sizes) {
    Figures f = Measure(rows, rows <= 5000);
    all.push_back(f);
    char baseline[32];
    if (f.firstMatch >= 0) std::snprintf(baseline, sizeof baseline, "%.3f", f.firstMatch);
    else std::snprintf(baseline, sizeof baseline, "(skipped)");
    std::printf("%8d %9zu %10.3f %12.3f %12.3f %14s %12zu\n", f.rows, f.entities, f.draw, f.recognise, f.writeBack,
                baseline, f.changed);
    std::printf("%8s recognition: %.3f s wall; steps: collect %.3f s, read lines %.3f s, read texts %.3f s, "
                "parse %.3f s\n", "", f.recogniseWall, f.collect, f.lines, f.texts, f.parse);
    std::fflush(stdout);
  }
  for (std::size_t i = 1; i < all.size(); ++i) {
    const Figures& a = all[i - 1];
    const Figures& b = all[i];
    std::printf("%d -> %d rows (x%.1f): draw x%.2f, recognise x%.2f, write-back x%.2f\n", a.rows, b.rows,
                static_cast<double>(b.rows) / a.rows, b.draw / a.draw, b.recognise / a.recognise,
                b.writeBack / a.writeBack);
  }
  return 0;
}
