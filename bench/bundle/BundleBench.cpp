// bundle_bench [MEGABYTES]: generates a configuration of about 10 MB (or the size given) in a scratch
// user folder and prints, each beside its baseline measured in the same run:
//   export   ExportBundle (copies of Config.xml and UIConfig.xml, the drawing section)
//            baseline: pugixml load + save of Config.xml's bytes
//   import   opening the bundle, building the selection tree, ticking everything, the records,
//            ApplySelection (merge into g_dictCfg and save, UI merge and save, drawing items)
//            baseline: pugixml load + save of the bundle's bytes
// Figures are process CPU time (the machine is shared with builds); wall time beside them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "TavDataManager/config/KvBundleFormat.h"
#include "TavDataManager/config/KvBundleTreeModel.h"
#include "TavDataManager/config/KvConfigTransfer.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"
#include "platform/config/KvUtXMLDOM.h"
#include "platform/host/KvAcDb.h"
#include "platform/tavdata/KvDbMaterial.h"

namespace {

double Cpu() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double Wall() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
struct Timer {
  double cpu = Cpu(), wall = Wall();
  std::pair<double, double> Stop() const { return {Cpu() - cpu, Wall() - wall}; }
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// pugixml's own load of the bytes and save to a file.
std::pair<double, double> PugiLoadSave(const std::string& bytes, const std::string& out) {
  Timer t;
  pugi::xml_document doc;
  if (!doc.load_buffer(bytes.data(), bytes.size())) std::abort();
  if (!doc.save_file(out.c_str(), "  ")) std::abort();
  return t.Stop();
}

// The shipped configuration plus generated sections of material-like directories until `bytes`.
void MakeConfig(const std::string& path, size_t bytes) {
  KvDtDictionary dict;
  if (!dict.ReadFromXML(GetMainDirectory() + "Config.xml")) std::abort();
  int section = 0;
  while (true) {
    KvDtDictionary* s = dict.FindOrAddDict("BENCH_" + std::to_string(++section));
    s->SetLocalName("生成的材料 " + std::to_string(section));
    for (int m = 0; m < 100; ++m) {
      KvDtDictionary* mat = s->FindOrAddDict("MAT_" + std::to_string(m));
      mat->SetLocalName("材料" + std::to_string(m));
      for (int d = 0; d < 9; ++d) {
        auto* size = static_cast<KvDtDictStringItem*>(mat->FindOrAddItem("DIA_SET\\" + std::to_string(15 + d * 5), DICT_TYPE_STRING));
        size->SetAttributeValue("InDia", std::to_string(12.5 + d * 4.75));
        size->SetAttributeValue("OutDia", std::to_string(16 + d * 5));
      }
      auto* weight = static_cast<KvDtDictDoubleItem*>(mat->FindOrAddItem("WEIGHT", DICT_TYPE_DOUBLE));
      weight->SetValue(0.25 * m);
      weight->SetLocalName("单位重量");
      auto* on = static_cast<KvDtDictBoolItem*>(mat->FindOrAddItem("IN_USE", DICT_TYPE_BOOL));
      on->SetValue(m % 2 == 0);
    }
    if (section % 10 == 0 && dict.ToXMLText().size() >= bytes) break;
  }
  if (!dict.SaveToXML(path)) std::abort();
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 10.0;
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("bundle_bench." + std::to_string(::getpid()));
  fs::create_directories(root / "user");
  const std::string user = (root / "user").string() + "/";
  tav::SetUserConfigDirectory(user);
  MakeConfig(user + "Config.xml", static_cast<size_t>(megabytes * 1024 * 1024));
  fs::copy_file(GetMainDirectory() + "UIConfig.xml", user + "UIConfig.xml");
  if (!LoadConfig() || !LoadUIConfig()) std::abort();
  const std::string configBytes = ReadAll(user + "Config.xml");

  AcDbDatabase db;
  for (const char* key : kKvSystemMaterialKeys) KvDtInitMaterial(key, &db);
  KvWorkingDatabaseScope working(&db);

  // Export.
  const std::string bundle = (root / "bench.allcfg").string();
  const auto pugiConfig = PugiLoadSave(configBytes, (root / "pugi-config.xml").string());
  Timer exportTimer;
  if (KvConfigTransfer().ExportBundle(bundle, tav::bundle::kRootElement) != 1) std::abort();
  const auto exportTime = exportTimer.Stop();
  const std::string bundleBytes = ReadAll(bundle);

  // Import of everything.
  const auto pugiBundle = PugiLoadSave(bundleBytes, (root / "pugi-bundle.xml").string());
  Timer importTimer;
  Timer readTimer;
  KvBundleTreeModel tree;
  {
    KvUtXMLDOMFile doc;
    if (!doc.Open(bundle) || !tree.Load(doc)) std::abort();
  }
  const auto readTime = readTimer.Stop();
  Timer recordTimer;
  tree.SetAllChecked(true);
  std::vector<KvConfigDict> config;
  std::vector<KvDwgDict> drawing;
  std::vector<KvUiDict> ui;
  tree.GetConFigData(config, drawing, ui);
  const auto recordTime = recordTimer.Stop();
  Timer applyTimer;
  KvConfigTransfer().ApplySelection(config, drawing, ui);
  const auto applyTime = applyTimer.Stop();
  const auto importTime = importTimer.Stop();

  // The parts of the import, measured apart.
  Timer openTimer;
  KvUtXMLDOMFile again;
  if (!again.Open(bundle)) std::abort();
  const auto openTime = openTimer.Stop();
  Timer dictTimer;
  KvDtDictionary section;
  std::vector<KvUtXMLDOMNode> children;
  again.GetRoot().GetChildrenNodes(children);
  if (!section.ReadFromNode(children[0], &again)) std::abort();
  const auto dictTime = dictTimer.Stop();
  Timer treeTimer;
  KvBundleTreeModel tree2;
  if (!tree2.Load(again)) std::abort();
  const auto treeTime = treeTimer.Stop();
  Timer mergeTimer;
  KvConfigTransfer::MergeConfigItemsInto(g_dictCfg, config);
  const auto mergeTime = mergeTimer.Stop();
  Timer saveTimer;
  if (!SaveConfig()) std::abort();
  const auto saveTime = saveTimer.Stop();

  std::printf("configuration: %.1f MB Config.xml, bundle %.1f MB, %d tree nodes, %zu options records\n",
              configBytes.size() / 1048576.0, bundleBytes.size() / 1048576.0, tree.GetNodeCount(), config.size());
  std::printf("%-34s %10s %10s\n", "", "cpu s", "wall s");
  std::printf("%-34s %10.3f %10.3f\n", "export (ExportBundle)", exportTime.first, exportTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  baseline: pugixml load+save", pugiConfig.first, pugiConfig.second);
  std::printf("%-34s %10.3f %10.3f\n", "import (open..ApplySelection)", importTime.first, importTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  open + tree", readTime.first, readTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  tick all + records", recordTime.first, recordTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  ApplySelection", applyTime.first, applyTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  baseline: pugixml load+save", pugiBundle.first, pugiBundle.second);
  std::printf("parts of the import, measured apart:\n");
  std::printf("%-34s %10.3f %10.3f\n", "  open the bundle (KvUtXMLDOMFile)", openTime.first, openTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  read options section (dictionary)", dictTime.first, dictTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  selection tree (Load) of it", treeTime.first, treeTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  merge into g_dictCfg", mergeTime.first, mergeTime.second);
  std::printf("%-34s %10.3f %10.3f\n", "  SaveConfig", saveTime.first, saveTime.second);
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
