// tavtool dxf: facts about a drawing, a load-and-save round trip, and a consistency check.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "apps/tavtool/Groups.h"
#include "platform/cad/DxfDocument.h"

namespace {

using tavtool::Invocation;
using namespace tav::cad;

bool LoadOrReport(Invocation& call, const std::string& path, DxfDocument& doc, const DxfLoadOptions& options = {}) {
  DxfResult r = doc.Load(path, options);
  if (!r) {
    call.err << path << ": " << r.Message() << "\n";
    return false;
  }
  return true;
}

int Info(Invocation& call) {
  if (call.args.size() != 2) {
    call.err << "usage: tavtool dxf info FILE\n";
    return 2;
  }
  DxfDocument doc;
  if (!LoadOrReport(call, call.args[1], doc)) return 1;
  const std::string acadver = doc.AcadVer();
  call.out << "version: " << VersionName(doc.Version()) << " (" << (acadver.empty() ? "no $ACADVER" : acadver) << ")\n";
  call.out << "code page: " << (doc.CodePage().empty() ? "(none)" : doc.CodePage())
           << (doc.UsesUtf8() ? " (text stored as UTF-8)" : "") << "\n";
  if (doc.HasHandles()) call.out << "handle seed: " << FormatHandle(doc.HandleSeed()) << "\n";
  else call.out << "handle seed: (no handles)\n";
  const auto entities = CountEntityTypes(doc);
  std::size_t total = 0;
  for (const auto& [type, n] : entities) total += n;
  call.out << "entities (all blocks): " << total << "\n";
  for (const auto& [type, n] : entities) call.out << "  " << type << " " << n << "\n";
  const auto objects = CountObjectTypes(doc);
  total = 0;
  for (const auto& [type, n] : objects) total += n;
  call.out << "objects: " << total << "\n";
  for (const auto& [type, n] : objects) call.out << "  " << type << " " << n << "\n";
  return 0;
}

int Roundtrip(Invocation& call) {
  if (call.args.size() != 3) {
    call.err << "usage: tavtool dxf roundtrip IN OUT\n";
    return 2;
  }
  DxfDocument doc;
  if (!LoadOrReport(call, call.args[1], doc)) return 1;
  DxfResult r = doc.Save(call.args[2]);
  if (!r) {
    call.err << call.args[2] << ": " << r.Message() << "\n";
    return 1;
  }
  return 0;
}

int Check(Invocation& call) {
  if (call.args.size() != 2) {
    call.err << "usage: tavtool dxf check FILE\n";
    return 2;
  }
  DxfDocument doc;
  DxfLoadOptions options;
  options.checkHandleSeed = false;
  if (!LoadOrReport(call, call.args[1], doc, options)) return 1;
  std::vector<DxfIssue> issues;
  // Handles at or above $HANDSEED are reported here rather than refused.
  DxfDocument strict;
  DxfResult r = strict.Load(call.args[1]);
  if (!r && r.status == DxfStatus::BadHandle) issues.push_back(DxfIssue{r.line, 0, r.description});
  for (DxfIssue& issue : doc.Check()) issues.push_back(std::move(issue));
  std::stable_sort(issues.begin(), issues.end(), [](const DxfIssue& a, const DxfIssue& b) { return a.line < b.line; });
  for (const DxfIssue& issue : issues) {
    call.out << call.args[1] << ":";
    if (issue.line) call.out << issue.line << ":";
    call.out << " " << issue.description << "\n";
  }
  if (issues.empty()) {
    call.out << call.args[1] << ": no problems found\n";
    return 0;
  }
  call.out << issues.size() << (issues.size() == 1 ? " problem" : " problems") << " found\n";
  return 1;
}

int Dxf(Invocation& call) {
  const std::string verb = call.args.empty() ? "" : call.args[0];
  if (verb == "info") return Info(call);
  if (verb == "roundtrip") return Roundtrip(call);
  if (verb == "check") return Check(call);
  call.err << "usage: tavtool dxf info FILE | roundtrip IN OUT | check FILE\n";
  return 2;
}

const tavtool::TavToolGroup kGroup(
    "dxf",
    "dxf info FILE          version, code page, handle seed, entity and object counts\n"
    "dxf roundtrip IN OUT   load a drawing and save it again (unchanged tags are written as read)\n"
    "dxf check FILE         duplicate or dangling handles, wrong owners, xdata of unregistered\n"
    "                       applications, each with its line; exit status 1 when anything is found",
    Dxf);

}  // namespace
