// tavtool linetype: the linetype manager's operations on the add-on's own section of the linetype files
// under the main directory. Each command starts from the own section of "Common\\AcadISO.Lin", does what
// the manager's button does, and saves the list into the four files as the manager's OK does.
#include <iostream>
#include <string>
#include <vector>

#include "TavDataManager/linetype/LinetypeManager.h"
#include "TavDataManager/linetype/LinetypeOptionUtility.h"
#include "apps/tavtool/Groups.h"
#include "platform/base/KvFile.h"
#include "platform/base/KvNumber.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvScriptedUserServices.h"

namespace {

const char* const kUsage =
    "tavtool linetype list                                  the add-on's linetypes, as written in the files\n"
    "tavtool linetype add TEXT [--param N=VALUE ...]        create TAV_TEXT (N: parameter row 0-8)\n"
    "tavtool linetype set NAME --param N=VALUE [...]        change the parameters of a linetype\n"
    "tavtool linetype remove NAME                           delete a linetype\n"
    "tavtool linetype import FILE                           import the linetypes of a .Lin file\n"
    "  parameter rows: 0 dash length, 1 space before the text, 2 space after it, 3 text, 4 text style,\n"
    "  5 text scale, 6 text rotation (degrees), 7 text offset X, 8 text offset Y";

// Prints what the manager would show in message boxes: errors to standard error, the rest to output.
class PrintingReporter : public KvLinetypeReporter {
 public:
  PrintingReporter(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override {
    if (deferred_) {
      held_.push_back({text, caption, icon});
      return;
    }
    (icon == Icon::Error ? err_ : out_) << caption << ": " << text << "\n";
  }
  // While deferred, messages are held until Flush (so that command-line output printed meanwhile
  // comes first, as on the screen).
  void Defer() { deferred_ = true; }
  void Flush() {
    deferred_ = false;
    for (const auto& m : held_) ShowMessage(m.text, m.caption, m.icon);
    held_.clear();
  }

 private:
  struct Held {
    std::string text, caption;
    Icon icon;
  };
  std::ostream& out_;
  std::ostream& err_;
  bool deferred_ = false;
  std::vector<Held> held_;
};

int UsageError(tavtool::Invocation& call, const std::string& message) {
  call.err << "tavtool linetype: " << message << "\n" << kUsage << "\n";
  return 2;
}

// Applies every "--param N=VALUE" to the rows. False with a message for a malformed one.
bool ApplyParameters(std::vector<std::string>& args, TavLinetypeParameters& rows, std::string& error) {
  for (const std::string& p : tavtool::TakeRepeatedOption(args, "--param")) {
    const size_t eq = p.find('=');
    long long row = -1;
    if (eq == std::string::npos || !tav::ParseLong(p.substr(0, eq), row) || row < 0 || row > 8) {
      error = "bad --param \"" + p + "\" (expected N=VALUE with N from 0 to 8)";
      return false;
    }
    rows[static_cast<size_t>(row)] = p.substr(eq + 1);
  }
  return true;
}

int Save(tavtool::Invocation& call, const CLinetypeOptionUtility& utility) {
  const int written = TavSaveLinetypeFileSet(utility);
  call.out << "saved " << written << " of " << kTavLinetypeFileSet.size() << " linetype files under "
           << GetMainDirectory() << "\n";
  return 0;
}

int Run(tavtool::Invocation& call) {
  std::vector<std::string> args = call.args;
  if (args.empty()) return UsageError(call, "no command given");
  const std::string command = args[0];
  args.erase(args.begin());

  TavLinetypeParameters rows = TavDefaultLinetypeParameters();
  std::string error;
  if (!ApplyParameters(args, rows, error)) return UsageError(call, error);
  const bool takesParams = command == "add" || command == "set";
  if (!takesParams && rows != TavDefaultLinetypeParameters())
    return UsageError(call, "--param is only for add and set");
  for (const auto& a : args)
    if (a.rfind("--", 0) == 0) return UsageError(call, "unknown option " + a);
  const size_t operands = command == "list" ? 0 : 1;
  if (args.size() != operands) return UsageError(call, "wrong number of arguments for " + command);

  const std::string standardFile = GetMainDirectory() + tav::ToNativePath(kTavStandardLinFile);
  CLinetypeOptionUtility utility;
  if (!TavLoadOwnLinetypes(utility)) {
    call.err << "tavtool linetype: cannot read " << standardFile << "\n";
    return 1;
  }
  PrintingReporter reporter(call.out, call.err);

  if (command == "list") {
    for (const auto& d : utility.Linetypes()) call.out << d.HeaderLine() << "\n" << d.PatternLine() << "\n";
    return 0;
  }
  if (command == "add") {
    // The text operand fills row 3 unless a --param 3=... said otherwise.
    TavLinetypeParameters typed = TavDefaultLinetypeParameters();
    std::vector<std::string> again = call.args;
    ApplyParameters(again, typed, error);
    if (typed[kParamText] == TavDefaultLinetypeParameters()[kParamText]) rows[kParamText] = args[0];
    if (!TavCreateLinetype(utility, rows, reporter)) return 1;
    return Save(call, utility);
  }
  if (command == "set") {
    _GpLinetypeData current;
    if (!utility.GetLinetype(args[0], current)) {
      call.err << "tavtool linetype: no linetype " << args[0] << " in " << standardFile << "\n";
      return 1;
    }
    // As in the manager: selecting the linetype shows its parameters, the user edits some rows.
    TavLinetypeParameters edited = TavLinetypeParametersOf(current);
    std::vector<std::string> again = call.args;
    ApplyParameters(again, edited, error);
    TavModifyLinetype(utility, args[0], edited);
    return Save(call, utility);
  }
  if (command == "remove") {
    if (!TavDeleteLinetype(utility, args[0])) {
      call.err << "tavtool linetype: no linetype " << args[0] << " in " << standardFile << "\n";
      return 1;
    }
    return Save(call, utility);
  }
  if (command == "import") {
    if (!tav::FileExists(args[0])) {
      call.err << "tavtool linetype: cannot read " << args[0] << "\n";
      return 1;
    }
    // What the import prints on the command line is shown on a line of its own.
    KvScriptedUserServices commandLine(KvScriptedUserServices::Policy::kCancelAndRecord);
    int added = 0;
    reporter.Defer();
    {
      KvUserServicesScope scope(commandLine);
      added = TavImportLinetypeFile(utility, args[0], reporter);
    }
    for (const std::string& printed : commandLine.prints()) {
      const size_t start = printed.find_first_not_of('\n');
      if (start != std::string::npos) call.out << printed.substr(start) << "\n";
    }
    reporter.Flush();
    call.out << "imported " << added << " linetype" << (added == 1 ? "" : "s") << "\n";
    return Save(call, utility);
  }
  return UsageError(call, "unknown command " + command);
}

const tavtool::TavToolGroup kGroup("linetype", kUsage, Run);

}  // namespace
