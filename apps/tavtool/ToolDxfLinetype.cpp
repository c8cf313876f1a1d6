// tavtool dxf load-linetype: loads one linetype (or every one matching a wildcard) from a .lin file
// into a drawing, as the CAD host does when the linetype manager reads a definition.
#include <ostream>
#include <string>
#include <vector>

#include "apps/tavtool/Groups.h"
#include "platform/host/KvLinetypeLoad.h"
#include "platform/host/KvWcMatch.h"

namespace {

using tavtool::Invocation;

int LoadLinetype(Invocation& call) {
  std::vector<std::string> args(call.args.begin() + 1, call.args.end());
  std::string out;
  if (!tavtool::TakeOption(args, "-o", out)) tavtool::TakeOption(args, "--output", out);
  if (args.size() != 3) {
    call.err << "usage: tavtool dxf load-linetype DRAWING LINFILE NAME [-o OUT]\n";
    return 2;
  }
  const std::string& drawing = args[0];
  const std::string& linFile = args[1];
  const std::string& name = args[2];
  if (out.empty()) out = drawing;

  tav::cad::DxfResult result;
  std::unique_ptr<AcDbDatabase> db = AcDbDatabase::open(drawing, &result);
  if (!db) {
    call.err << drawing << ": " << result.Message() << "\n";
    return 1;
  }
  std::string message;
  Acad::ErrorStatus es = tav::host::LoadLinetypeFile(name, linFile, db.get(), &message);
  if (es != Acad::eOk) {
    call.err << acadErrorStatusText(es) << ": " << message << "\n";
    return 1;
  }
  if (db->saveAs(out, &result) != Acad::eOk) {
    call.err << out << ": " << result.Message() << "\n";
    return 1;
  }
  // Report the linetypes of the drawing that the name stands for.
  for (const tav::cad::DxfObject& rec : db->document().TableRecords("LTYPE")) {
    AcDbLinetypeTableRecord* lt = nullptr;
    if (acdbOpenObject(lt, db->idOf(rec), AcDb::kForRead) != Acad::eOk) continue;
    if (tav::host::WcMatch(lt->getName(), name)) {
      call.out << lt->getName() << ": " << lt->numDashes() << " dashes, pattern length " << lt->patternLength();
      for (int i = 0; i < lt->numDashes(); ++i)
        if (!lt->textAt(i).empty()) call.out << ", text \"" << lt->textAt(i) << "\" on dash " << i;
      call.out << "\n";
    }
    lt->close();
  }
  call.out << "saved " << out << "\n";
  return 0;
}

const tavtool::TavToolVerb kVerb(
    "dxf", "load-linetype",
    "dxf load-linetype DRAWING LINFILE NAME [-o OUT]\n"
    "                       load a linetype (NAME may hold wildcards) from a .lin file into the drawing\n"
    "                       and save it to OUT (the drawing itself without -o)",
    LoadLinetype);

}  // namespace
