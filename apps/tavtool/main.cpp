// tavtool: batch work over the same code the plug-in runs (configuration bundles, linetype files,
// equipment tables, drawing checks).
#include <algorithm>
#include <iostream>

#include "apps/tavtool/Groups.h"
#include "platform/config/KvPaths.h"

static void PrintUsage(std::ostream& os) {
  os << "usage: tavtool [--main-dir DIR] [--config-dir DIR] GROUP ...\n";
  std::vector<tavtool::GroupInfo> groups = tavtool::Groups();
  std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  for (const auto& g : groups) os << g.usage << (g.usage.empty() || g.usage.back() == '\n' ? "" : "\n");
  for (const auto& v : tavtool::ExtraVerbs()) os << v.usage << (v.usage.empty() || v.usage.back() == '\n' ? "" : "\n");
}

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string value;
  if (tavtool::TakeOption(args, "--main-dir", value)) tav::SetMainDirectory(value);
  if (tavtool::TakeOption(args, "--config-dir", value)) tav::SetUserConfigDirectory(value);
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(args.empty() ? std::cerr : std::cout);
    return args.empty() ? 2 : 0;
  }
  for (const auto& v : tavtool::ExtraVerbs()) {
    if (args.size() > 1 && v.group == args[0] && v.verb == args[1]) {
      tavtool::Invocation call{std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr};
      return v.handler(call);
    }
  }
  for (const auto& g : tavtool::Groups()) {
    if (g.name == args[0]) {
      tavtool::Invocation call{std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr};
      return g.handler(call);
    }
  }
  std::cerr << "tavtool: unknown command group '" << args[0] << "'\n";
  PrintUsage(std::cerr);
  return 2;
}
