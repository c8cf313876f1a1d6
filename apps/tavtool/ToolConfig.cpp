// tavtool config: the configuration files (Config.xml, UIConfig.xml and other dictionary files).
//
// The group dispatches on its first word to a verb; each verb has a usage line and a handler.
#include <ostream>
#include <string>
#include <vector>

#include "apps/tavtool/Groups.h"
#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"

namespace {

using tavtool::Invocation;

struct Verb {
  const char* name;
  const char* usage;
  int (*handler)(Invocation& call);
};

// A value or attribute text on one line: quoted, with \, ", line ends and tabs escaped.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string ValueText(const KvDtDictItem& item) {
  switch (item.GetDataType()) {
    case DICT_TYPE_DIRECTORY: return {};
    case DICT_TYPE_BOOL:
    case DICT_TYPE_LONG:
    case DICT_TYPE_DOUBLE: return " " + item.GetValueText();
    case DICT_TYPE_OPTION: {
      const auto& option = static_cast<const KvDtDictOptionItem&>(item);
      std::string text = " " + (option.GetSelIndex() < 0 ? std::string("(none)") : Quoted(option.GetSelString())) + " {";
      for (int i = 0; i < option.GetOptionCount(); ++i) text += (i ? ", " : "") + Quoted(option.GetOption(i));
      return text + "}";
    }
    default: return " " + Quoted(item.GetValueText());
  }
}

void PrintItem(std::ostream& out, const KvDtDictItem& item, int depth) {
  const std::string key = item.GetKey();
  out << std::string(static_cast<size_t>(depth) * 2, ' ') << (key.empty() ? "(no name)" : key) << ' '
      << GetDictDataTypeWord(item.GetDataType()) << ValueText(item);
  for (const auto& [name, value] : item.GetAttributes())
    if (name != "name") out << ' ' << name << '=' << Quoted(value);
  out << '\n';
  if (item.IsDict())
    for (const auto& child : static_cast<const KvDtDictionary&>(item).GetItemList()) PrintItem(out, *child, depth + 1);
}

void PrintUIItem(std::ostream& out, const KvDtUIItem& item, int depth) {
  const std::string indent(static_cast<size_t>(depth) * 2, ' ');
  out << indent << (item.GetName().empty() ? "(no name)" : item.GetName()) << ' ' << item.GetKindWord();
  if (!item.GetCaption().empty()) out << " localname=" << Quoted(item.GetCaption());
  if (!item.GetDescription().empty()) out << " description=" << Quoted(item.GetDescription());
  for (const auto& [name, value] : item.GetFields())
    if (!value.empty()) out << ' ' << name << '=' << Quoted(value);
  for (const auto& [name, value] : item.GetExtraAttributes()) out << ' ' << name << '=' << Quoted(value);
  out << '\n';
  if (item.IsKind("VenoDictionary")) {
    const KvDtDictionary& dict = static_cast<const KvDtUIDictionary&>(item).GetDictionary();
    for (const auto& child : dict.GetItemList()) PrintItem(out, *child, depth + 1);
  }
  for (int i = 0; i < item.GetChildCount(); ++i) PrintUIItem(out, *item.GetChild(i), depth + 1);
}

int Show(Invocation& call) {
  if (call.args.size() > 1) {
    call.err << "usage: tavtool config show [FILE]\n";
    return 2;
  }
  std::string path;
  if (!call.args.empty()) {
    path = call.args[0];
  } else if (!FindFile("Config.xml", path)) {
    call.err << "tavtool config show: Config.xml not found in " << tav::GetUserConfigDirectory() << " or "
             << GetMainDirectory() << "\n";
    return 1;
  }
  KvUtXMLDOMFile doc;
  if (!doc.Open(path)) {
    call.err << "tavtool config show: " << doc.LastError().message << "\n";
    return 1;
  }
  if (doc.GetRoot().GetName() == "UIConfig") {
    KvDtUIConfig config;
    if (!config.ReadFromNode(doc.GetRoot(), &doc)) {
      call.err << "tavtool config show: " << config.LastError().message << "\n";
      return 1;
    }
    PrintUIItem(call.out, config.GetRoot(), 0);
    return 0;
  }
  KvDtDictionary dict;
  if (!dict.ReadFromNode(doc.GetRoot(), &doc)) {
    call.err << "tavtool config show: " << dict.LastError().message << "\n";
    return 1;
  }
  PrintItem(call.out, dict, 0);
  return 0;
}

const std::vector<Verb>& Verbs() {
  static const std::vector<Verb> verbs = {
      {"show", "tavtool config show [FILE]", Show},
  };
  return verbs;
}

int Dispatch(Invocation& call) {
  if (call.args.empty()) {
    call.err << "usage: tavtool config VERB ...; verbs:";
    for (const Verb& verb : Verbs()) call.err << ' ' << verb.name;
    call.err << "\n";
    return 2;
  }
  const std::string word = call.args[0];
  for (const Verb& verb : Verbs()) {
    if (word == verb.name) {
      call.args.erase(call.args.begin());
      return verb.handler(call);
    }
  }
  call.err << "tavtool config: unknown verb '" << word << "'\n";
  return 2;
}

const tavtool::TavToolGroup kConfigGroup(
    "config",
    "tavtool config show [FILE]\n"
    "    Prints a configuration dictionary file (default: the Config.xml that FindFile finds, the user's\n"
    "    folder first, then the main directory) as an indented tree, one item per line:\n"
    "      KEY TYPE [VALUE] [ATTRIBUTE=\"TEXT\" ...]\n"
    "    KEY is the item's name attribute (not repeated among the attributes); TYPE is the element word\n"
    "    (Directory, Bool, Char, Int, Double, String, Option); VALUE is shown bare for Bool, Int and\n"
    "    Double, quoted for Char and String, and for an Option as the selected choice (or (none)) and\n"
    "    {all choices}; a Directory has none. Then every other attribute (localname included) in the\n"
    "    order it was set. A UIConfig.xml prints its UI items the same way (NAME KIND fields...).\n"
    "    A file that does not read is reported with its path and line:column; exit status 1.\n",
    Dispatch);

}  // namespace
