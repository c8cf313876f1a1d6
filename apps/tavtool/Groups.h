// tavtool's command groups. Each group lives in a Tool<Group>.cpp of its own and registers itself
// with a static TavToolGroup object; main() parses the global options and dispatches.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavtool {

struct Invocation {
  std::vector<std::string> args;  // the words after the group name
  std::ostream& out;
  std::ostream& err;
};

// Returns the process exit status: 0 success, 1 a finding or a refused operation, 2 a usage error.
using GroupHandler = int (*)(Invocation& call);

struct GroupInfo {
  std::string name;
  std::string usage;  // one or more lines, shown by "tavtool help"
  GroupHandler handler;
};

class TavToolGroup {
 public:
  TavToolGroup(const char* name, const char* usage, GroupHandler handler);
};

const std::vector<GroupInfo>& Groups();

// A verb that one file adds to a group owned by another file ("dxf load-linetype" beside ToolDxf.cpp's
// own verbs). main() hands "GROUP VERB ..." to it before the group's handler; the handler gets the
// words after the group name, the verb first, like a group handler.
struct VerbInfo {
  std::string group;
  std::string verb;
  std::string usage;
  GroupHandler handler;
};

class TavToolVerb {
 public:
  TavToolVerb(const char* group, const char* verb, const char* usage, GroupHandler handler);
};

const std::vector<VerbInfo>& ExtraVerbs();

// Small helpers for the groups' argument parsing.
// Takes "--name VALUE" out of args; true if present (value in `value`).
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value);
// Takes every "--name VALUE" out of args, in order.
std::vector<std::string> TakeRepeatedOption(std::vector<std::string>& args, const std::string& name);
// Takes "--name" (a flag without value) out of args.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

}  // namespace tavtool
