// tavtool config export / list / import / restore: configuration bundles (.allcfg), through the same
// steps as the dialogs' "导出", "导入" and "恢复默认" buttons (TavDataManager/config/KvBundleActions.h),
// with the file dialog and the selection dialog answered from the command line.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "TavDataManager/config/KvBundleActions.h"
#include "TavDataManager/config/KvBundleFormat.h"
#include "TavDataManager/config/KvBundleTreeModel.h"
#include "apps/tavtool/Groups.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvPaths.h"
#include "platform/config/KvUtXMLDOM.h"
#include "platform/host/KvAcDb.h"
#include "platform/host/KvScriptedUserServices.h"
#include "platform/tavdata/KvDbMaterial.h"

namespace tavtool {

namespace {

// Prints what the steps showed in message boxes; true when there was any.
bool ReportMessages(const KvScriptedUserServices& services, const std::string& verb, std::ostream& err) {
  for (const KvMessageBoxRequest& box : services.messageBoxes()) err << "tavtool config " << verb << ": " << box.text << "\n";
  for (const std::string& e : services.errors()) err << "tavtool config " << verb << ": " << e << "\n";
  return !services.messageBoxes().empty() || !services.errors().empty();
}

// The drawing to work on: the file given, or a new drawing with the platform's system materials.
std::unique_ptr<AcDbDatabase> OpenDrawing(const std::string& path, const std::string& verb, std::ostream& err) {
  if (path.empty()) {
    auto db = std::make_unique<AcDbDatabase>();
    for (const char* key : kKvSystemMaterialKeys) KvDtInitMaterial(key, db.get());
    return db;
  }
  tav::cad::DxfResult result;
  std::unique_ptr<AcDbDatabase> db = AcDbDatabase::open(path, &result);
  if (!db) err << "tavtool config " << verb << ": cannot read drawing " << path << ": " << result.Message() << "\n";
  return db;
}

// Loads Config.xml and UIConfig.xml as the dialogs have them in memory. A file that is found but does
// not read stops the command: merging into an empty configuration would overwrite the user's file.
bool LoadConfigurations(const std::string& verb, std::ostream& err) {
  std::string path;
  if (FindFile(tav::bundle::kConfigFile, path) && !LoadConfig()) {
    err << "tavtool config " << verb << ": " << tav::LastConfigFileError() << "\n";
    return false;
  }
  if (FindFile(tav::bundle::kUiFile, path) && !LoadUIConfig()) {
    err << "tavtool config " << verb << ": " << tav::LastConfigFileError() << "\n";
    return false;
  }
  return true;
}

int ImportOrRestore(Invocation& call, bool restore) {
  const std::string verb = restore ? "restore" : "import";
  const std::string usage = restore ? "usage: tavtool config restore (--all | --select PATH ...) [--drawing DXF -o OUT]\n"
                                    : "usage: tavtool config import BUNDLE (--all | --select PATH ...) [--drawing DXF -o OUT]\n";
  std::vector<std::string>& args = call.args;
  std::string drawingPath, outPath;
  const bool all = TakeFlag(args, "--all");
  const std::vector<std::string> paths = TakeRepeatedOption(args, "--select");
  TakeOption(args, "--drawing", drawingPath);
  TakeOption(args, "-o", outPath);
  const size_t positional = restore ? 0 : 1;
  if (args.size() != positional || all == !paths.empty() || drawingPath.empty() != outPath.empty()) {
    call.err << usage;
    return 2;
  }
  if (!LoadConfigurations(verb, call.err)) return 1;
  std::unique_ptr<AcDbDatabase> db;
  if (!drawingPath.empty() && !(db = OpenDrawing(drawingPath, verb, call.err))) return 1;
  KvWorkingDatabaseScope working(db.get());

  KvScriptedUserServices services(KvScriptedUserServices::Policy::kCancelAndRecord);
  KvUserServicesScope scope(services);
  if (!restore) services.QueueFile(args[0]);
  KvScriptedBundleSelection selection;
  if (all) selection.QueueAll();
  else selection.QueuePaths(paths);
  int replaced = 0;
  KvBundleActions actions(selection, {}, replaced);
  const KvBundleOutcome outcome = restore ? actions.OnRestoreDefault() : actions.OnImport();
  bool failed = ReportMessages(services, verb, call.err);
  for (const std::string& e : selection.errors()) {
    call.err << "tavtool config " << verb << ": " << e << "\n";
    failed = true;
  }
  if (failed || outcome != KvBundleOutcome::kDone) return 1;

  call.out << "options items: " << actions.LastConfigRecords().size()
           << ", drawing items: " << actions.LastDrawingRecords().size()
           << ", UI items: " << actions.LastUiRecords().size() << "\n";
  std::string found;
  if (!actions.LastConfigRecords().empty()) {
    if (FindFile(tav::bundle::kConfigFile, found)) call.out << "saved " << tav::ConfigSavePath(tav::bundle::kConfigFile) << "\n";
    else call.out << "Config.xml not found: options items not applied\n";
  }
  if (!actions.LastUiRecords().empty()) {
    if (FindFile(tav::bundle::kUiFile, found)) call.out << "saved " << tav::ConfigSavePath(tav::bundle::kUiFile) << "\n";
    else call.out << "UIConfig.xml not found: UI items not applied\n";
  }
  if (replaced) call.out << "UI configuration replaced (the host reloads it with KvLoadUI)\n";
  if (db) {
    tav::cad::DxfResult result;
    if (db->saveAs(outPath, &result) != Acad::eOk) {
      call.err << "tavtool config " << verb << ": cannot write " << outPath << ": " << result.Message() << "\n";
      return 1;
    }
    call.out << "drawing written to " << outPath << "\n";
  } else if (!actions.LastDrawingRecords().empty()) {
    call.out << "no --drawing given: drawing items not applied\n";
  }
  return 0;
}

int ConfigExport(Invocation& call) {
  std::vector<std::string>& args = call.args;
  args.erase(args.begin());  // the verb
  std::string drawingPath;
  TakeOption(args, "--drawing", drawingPath);
  if (args.size() != 1) {
    call.err << "usage: tavtool config export OUT [--drawing DXF]\n";
    return 2;
  }
  std::unique_ptr<AcDbDatabase> db = OpenDrawing(drawingPath, "export", call.err);
  if (!db) return 1;
  KvWorkingDatabaseScope working(db.get());
  KvScriptedUserServices services(KvScriptedUserServices::Policy::kCancelAndRecord);
  KvUserServicesScope scope(services);
  services.QueueFile(args[0]);
  KvScriptedBundleSelection selection;
  int replaced = 0;
  KvBundleActions actions(selection, {}, replaced);
  const KvBundleOutcome outcome = actions.OnExport();
  if (ReportMessages(services, "export", call.err) || outcome != KvBundleOutcome::kDone) return 1;
  return 0;
}

int ConfigList(Invocation& call) {
  call.args.erase(call.args.begin());
  if (call.args.size() != 1) {
    call.err << "usage: tavtool config list BUNDLE\n";
    return 2;
  }
  KvUtXMLDOMFile doc;
  if (!doc.Open(call.args[0])) {
    call.err << "tavtool config list: " << doc.LastError().message << "\n";
    return 1;
  }
  KvBundleTreeModel tree;
  if (!tree.Load(doc)) {
    call.err << "tavtool config list: " << call.args[0] << ": " << tree.LastError() << "\n";
    return 1;
  }
  for (int id = 0; id < tree.GetNodeCount(); ++id) call.out << tree.GetPath(id) << ' ' << tree.GetNode(id).type << '\n';
  return 0;
}

int ConfigImport(Invocation& call) {
  call.args.erase(call.args.begin());
  return ImportOrRestore(call, false);
}
int ConfigRestore(Invocation& call) {
  call.args.erase(call.args.begin());
  return ImportOrRestore(call, true);
}

const TavToolVerb kExport(
    "config", "export",
    "tavtool config export OUT [--drawing DXF]\n"
    "    Writes a configuration bundle (.allcfg) as the dialogs' export does: copies of the Config.xml and\n"
    "    UIConfig.xml that FindFile finds and the drawing settings of DXF (default: a new drawing with the\n"
    "    platform's system materials).\n",
    ConfigExport);
const TavToolVerb kList(
    "config", "list",
    "tavtool config list BUNDLE\n"
    "    Prints the bundle's selection tree, one node per line in tree order: RECORD-PATH TYPE.\n",
    ConfigList);
const TavToolVerb kImport(
    "config", "import",
    "tavtool config import BUNDLE (--all | --select PATH ...) [--drawing DXF -o OUT]\n"
    "    Imports what is selected (--all, or the nodes of record paths as list prints them, each with its\n"
    "    subtree) into the Config.xml and UIConfig.xml that FindFile finds (saved to the user's folder)\n"
    "    and, given a drawing, into it (written to OUT). Exit status 1 with the dialog's message when the\n"
    "    bundle does not read.\n",
    ConfigImport);
const TavToolVerb kRestore(
    "config", "restore",
    "tavtool config restore (--all | --select PATH ...) [--drawing DXF -o OUT]\n"
    "    The same with the DefaultCfg.allcfg that FindFile finds.\n",
    ConfigRestore);

}  // namespace
}  // namespace tavtool
