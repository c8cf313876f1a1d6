#include "apps/tavtool/Groups.h"

namespace tavtool {

static std::vector<GroupInfo>& Registry() {
  static std::vector<GroupInfo> groups;
  return groups;
}

TavToolGroup::TavToolGroup(const char* name, const char* usage, GroupHandler handler) {
  Registry().push_back({name, usage, handler});
}

const std::vector<GroupInfo>& Groups() { return Registry(); }

static std::vector<VerbInfo>& VerbRegistry() {
  static std::vector<VerbInfo> verbs;
  return verbs;
}

TavToolVerb::TavToolVerb(const char* group, const char* verb, const char* usage, GroupHandler handler) {
  VerbRegistry().push_back({group, verb, usage, handler});
}

const std::vector<VerbInfo>& ExtraVerbs() { return VerbRegistry(); }

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == name) {
      value = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      return true;
    }
  }
  return false;
}

std::vector<std::string> TakeRepeatedOption(std::vector<std::string>& args, const std::string& name) {
  std::vector<std::string> values;
  std::string value;
  while (TakeOption(args, name, value)) values.push_back(value);
  return values;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

}  // namespace tavtool
