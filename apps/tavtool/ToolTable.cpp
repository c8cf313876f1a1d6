// tavtool table: equipment tables in drawings. "show" prints a table's rows as CSV, "apply" takes
// edited rows from a CSV file and writes them back as the XG command does on OK, "draw" draws a new
// table (or the 给排水 sample drawing) with the sample writer.
//
// show and apply run the XG command itself over the drawing: the picked entity becomes the implied
// selection, the command's output is collected by scripted user services, and the editor is one that
// records the rows (show) or answers with the CSV rows (apply).
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "TavDataManager/equiptable/CSbbTableWriter.h"
#include "TavDataManager/equiptable/SbbRecognition.h"
#include "TavDataManager/equiptable/SbbTableEditor.h"
#include "TavDataManager/equiptable/SbbXGCommand.h"
#include "apps/tavtool/Groups.h"
#include "platform/base/KvNumber.h"
#include "platform/host/KvScriptedUserServices.h"

namespace {

using tavtool::Invocation;

constexpr const char* kUsage =
    "tavtool table show DRAWING [--pick HANDLE]      print the equipment table's rows as CSV\n"
    "tavtool table apply DRAWING --pick HANDLE --rows FILE.csv -o OUT\n"
    "                                                 write edited rows back (as XG does on OK)\n"
    "tavtool table draw -o OUT [--rows N] [--angle DEG] [--down] [--thick] [--blocks N] [--legends]\n"
    "                          [--scale S] [--sample]   draw a new table (--sample: the 给排水 sample)";

// The editor of show and apply.
class ToolEditor : public ISbbTableEditor {
 public:
  explicit ToolEditor(const std::vector<std::vector<std::string>>* records) : records_(records) {}
  int Edit(const CSbbEditorInput& input, std::vector<tagSBBGETDATA>& rows) override {
    names_ = input.names;
    rows_ = rows;
    called_ = true;
    if (records_ == nullptr) return IDCANCEL;
    std::vector<std::vector<std::string>> texts;
    std::vector<std::string> names(input.names.begin(),
                                   input.names.begin() + std::min<std::size_t>(input.names.size(), kSbbMaxColumns));
    if (!CsvToTexts(*records_, names, texts, &error_)) return IDCANCEL;
    rows = MakeEditedRows(input, rows, texts);
    return IDOK;
  }
  bool called_ = false;
  std::vector<std::string> names_;
  std::vector<tagSBBGETDATA> rows_;
  std::string error_;

 private:
  const std::vector<std::vector<std::string>>* records_;
};

// The entity to pick: the given handle, or the first table entity of model space.
bool ChooseEntity(Invocation& call, AcDbDatabase& db, const std::string& pick, AcDbObjectId& id) {
  if (!pick.empty()) {
    if (db.getAcDbObjectId(id, false, AcDbHandle(pick.c_str())) != Acad::eOk) {
      call.err << "tavtool table: no entity with handle " << pick << "\n";
      return false;
    }
    KvResbufPtr chain(FindTableHandle(id));
    if (!chain) {
      call.err << "tavtool table: entity " << pick << " is not part of an equipment table\n";
      return false;
    }
    return true;
  }
  tav::cad::DxfDocument& doc = db.document();
  for (const tav::cad::DxfObject& entity : doc.EntitiesOf(doc.ModelSpace())) {
    tav::cad::DxfXData xdata;
    if (entity.GetXData(kSbbAppHandle, xdata)) {
      id = db.idOf(entity);
      return true;
    }
  }
  call.err << "tavtool table: the drawing holds no equipment table\n";
  return false;
}

// Runs XG on the drawing with `editor`; prints the command's messages to err when it failed.
// Returns the command's result, or -1 when the drawing could not be read.
int RunXG(Invocation& call, const std::string& path, const std::string& pick, ToolEditor& editor,
          AcApDocument*& document) {
  tav::cad::DxfResult result;
  document = acDocManager->openDocument(path, &result);
  if (document == nullptr) {
    call.err << path << ": " << result.Message() << "\n";
    return -1;
  }
  AcDbObjectId id;
  if (!ChooseEntity(call, *document->database(), pick, id)) return -1;
  document->setPickfirst({id});
  KvScriptedUserServices services(KvScriptedUserServices::Policy::kCancelAndRecord);
  KvUserServicesScope servicesScope(services);
  KvSbbTableEditorScope editorScope(&editor);
  const int answer = SbbEditTableCommand();
  if (!editor.called_) {
    for (const std::string& text : services.prints()) call.err << text;
    for (const std::string& text : services.alerts()) call.err << "\n" << text;
    call.err << "\n";
  }
  return answer;
}

int Show(Invocation& call) {
  std::string pick;
  tavtool::TakeOption(call.args, "--pick", pick);
  if (call.args.size() != 2) {
    call.err << "usage: tavtool table show DRAWING [--pick HANDLE]\n";
    return 2;
  }
  ToolEditor editor(nullptr);
  AcApDocument* document = nullptr;
  RunXG(call, call.args[1], pick, editor, document);
  if (document != nullptr) acDocManager->closeDocument(document);
  if (!editor.called_) return 1;
  call.out << RowsToCsv(editor.names_, editor.rows_);
  return 0;
}

int Apply(Invocation& call) {
  std::string pick, rowsPath, out;
  tavtool::TakeOption(call.args, "--pick", pick);
  tavtool::TakeOption(call.args, "--rows", rowsPath);
  tavtool::TakeOption(call.args, "-o", out);
  if (call.args.size() != 2 || pick.empty() || rowsPath.empty() || out.empty()) {
    call.err << "usage: tavtool table apply DRAWING --pick HANDLE --rows FILE.csv -o OUT\n";
    return 2;
  }
  std::ifstream in(rowsPath, std::ios::binary);
  if (!in) {
    call.err << rowsPath << ": cannot be read\n";
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<std::vector<std::string>> records;
  std::string error;
  if (!ParseCsv(text.str(), records, &error)) {
    call.err << rowsPath << ": " << error << "\n";
    return 1;
  }
  ToolEditor editor(&records);
  AcApDocument* document = nullptr;
  const int answer = RunXG(call, call.args[1], pick, editor, document);
  int status = 0;
  if (answer != IDOK) {
    if (!editor.error_.empty()) call.err << rowsPath << ": " << editor.error_ << "\n";
    status = 1;
  } else {
    tav::cad::DxfResult saved;
    if (document->database()->saveAs(out, &saved) != Acad::eOk) {
      call.err << out << ": " << saved.Message() << "\n";
      status = 1;
    } else {
      call.out << "table written back: " << editor.rows_.size() << " rows before, " << records.size() - 1
               << " rows after\n";
    }
  }
  if (document != nullptr) acDocManager->closeDocument(document);
  return status;
}

int Draw(Invocation& call) {
  std::string out, value;
  tavtool::TakeOption(call.args, "-o", out);
  CSbbTableLayout layout;
  long long rows = 10;
  if (tavtool::TakeOption(call.args, "--rows", value) && (!tav::ParseLong(value, rows) || rows < 0)) {
    call.err << "tavtool table draw: --rows needs a whole number >= 0\n";
    return 2;
  }
  if (tavtool::TakeOption(call.args, "--angle", value) && !tav::ParseDouble(value, layout.angleDegrees)) {
    call.err << "tavtool table draw: --angle needs a number of degrees\n";
    return 2;
  }
  long long blocks = 1;
  if (tavtool::TakeOption(call.args, "--blocks", value) && (!tav::ParseLong(value, blocks) || blocks < 1)) {
    call.err << "tavtool table draw: --blocks needs a whole number >= 1\n";
    return 2;
  }
  if (tavtool::TakeOption(call.args, "--scale", value) && (!tav::ParseDouble(value, layout.scale) || layout.scale <= 0)) {
    call.err << "tavtool table draw: --scale needs a number > 0\n";
    return 2;
  }
  layout.blocks = static_cast<int>(blocks);
  if (tavtool::TakeFlag(call.args, "--down")) layout.direction = 1;
  if (tavtool::TakeFlag(call.args, "--thick")) layout.frame = 0;
  const bool legends = tavtool::TakeFlag(call.args, "--legends");
  const bool sample = tavtool::TakeFlag(call.args, "--sample");
  if (call.args.size() != 1 || out.empty()) {
    call.err << "usage: tavtool table draw -o OUT [options]\n";
    return 2;
  }
  AcDbDatabase db;
  KvWorkingDatabaseScope scope(&db);
  std::string handle;
  if (sample) {
    handle = CSbbTableWriter::DrawSampleDrawing(&db);
  } else {
    if (legends) {
      layout.columns = CSbbTableWriter::DefaultColumns();
      layout.columns.insert(layout.columns.begin() + 1, {"图例", "20"});
      CSbbTableWriter::EnsureSampleLegends(&db, {"水泵", "阀门", "水表", "消火栓", "喷头", "截止阀", "止回阀"});
    }
    CSbbTableWriter writer(&db);
    handle = writer.Draw(layout, MakeSampleRows(static_cast<int>(rows), legends));
  }
  if (handle.empty()) {
    call.err << "tavtool table draw: the table could not be drawn\n";
    return 1;
  }
  tav::cad::DxfResult saved;
  if (db.saveAs(out, &saved) != Acad::eOk) {
    call.err << out << ": " << saved.Message() << "\n";
    return 1;
  }
  call.out << "main header line " << handle << "\n";
  return 0;
}

int Handler(Invocation& call) {
  if (call.args.empty()) {
    call.err << kUsage << "\n";
    return 2;
  }
  if (call.args[0] == "show") return Show(call);
  if (call.args[0] == "apply") return Apply(call);
  if (call.args[0] == "draw") return Draw(call);
  call.err << "tavtool table: unknown command '" << call.args[0] << "'\n" << kUsage << "\n";
  return 2;
}

const tavtool::TavToolGroup kGroup("table", kUsage, &Handler);

}  // namespace
