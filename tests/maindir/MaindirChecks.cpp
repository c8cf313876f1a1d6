#include "tests/maindir/MaindirChecks.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace maindir {
namespace {

const std::set<std::string> kValueWords = {"Bool", "Char", "Int", "Double", "String", "Option"};
const std::set<std::string> kSpecialAssemblyKeys = {"灭火器", "消火栓", "喷头"};
const char* const kMarker = ";;TAV LINETYPE DEFINE";

std::string FoldAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool SameKey(std::string_view a, std::string_view b) { return FoldAscii(a) == FoldAscii(b); }

std::string Where(pugi::xml_node node) {
  std::string path;
  for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
    std::string step = n.attribute("name") ? n.attribute("name").value() : n.name();
    path = path.empty() ? step : step + "\\" + path;
  }
  return path;
}

bool ParseInt(std::string_view s, int64_t* out = nullptr) {
  int64_t v = 0;
  if (s.empty()) return false;
  const char* b = s.data();
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return false;
  if (out) *out = v;
  return true;
}

bool ParseDouble(std::string_view s, double* out = nullptr) {
  double v = 0;
  if (s.empty()) return false;
  const char* b = s.data();
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return false;
  if (out) *out = v;
  return true;
}

bool PositiveNumber(const char* s) {
  double v = 0;
  return ParseDouble(s, &v) && v > 0;
}

// Number of code points of a valid UTF-8 text, -1 when it is not valid UTF-8.
int CodePoints(std::string_view s) {
  int count = 0;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) return -1;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return -1;
    i += len;
    ++count;
  }
  return count;
}

bool HasPcdata(pugi::xml_node node) {
  for (pugi::xml_node c : node.children())
    if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) return true;
  return false;
}

void CheckElement(pugi::xml_node node, Problems& out) {
  const std::string word = node.name();
  const std::string where = Where(node);
  if (word != "Directory" && !kValueWords.count(word)) {
    out.push_back(where + ": element word \"" + word + "\" is not a dictionary item type");
    return;
  }
  if (!node.attribute("name")) out.push_back(where + ": item without a key (name)");
  if (word == "Directory") {
    if (HasPcdata(node)) out.push_back(where + ": a directory holds text");
    std::set<std::string> keys;
    for (pugi::xml_node c : node.children()) {
      if (c.type() != pugi::node_element) continue;
      if (!keys.insert(FoldAscii(c.attribute("name").value())).second)
        out.push_back(Where(c) + ": key repeated in its directory");
      CheckElement(c, out);
    }
    return;
  }
  if (word == "Option") {
    if (HasPcdata(node)) out.push_back(where + ": an option holds text");
    int selected = 0;
    for (pugi::xml_node c : node.children()) {
      if (c.type() != pugi::node_element) continue;
      if (std::string(c.name()) != "Choice") {
        out.push_back(where + ": option child \"" + c.name() + "\" is not a Choice");
        continue;
      }
      for (pugi::xml_attribute a : c.attributes()) {
        if (std::string(a.name()) != "selected" || std::string(a.value()) != "TRUE")
          out.push_back(where + ": choice attribute " + a.name() + "=\"" + a.value() + "\"");
        else
          ++selected;
      }
      if (c.first_child() && c.first_child().type() == pugi::node_element)
        out.push_back(where + ": a choice holds elements");
    }
    if (selected > 1) out.push_back(where + ": more than one selected choice");
    return;
  }
  if (node.find_child([](pugi::xml_node c) { return c.type() == pugi::node_element; }))
    out.push_back(where + ": a value item holds elements");
  const std::string value = node.child_value();
  if (word == "Bool") {
    std::string v = FoldAscii(value);
    if (v != "TRUE" && v != "FALSE" && v != "1" && v != "0")
      out.push_back(where + ": Bool value \"" + value + "\"");
  } else if (word == "Int") {
    if (!ParseInt(value)) out.push_back(where + ": Int value \"" + value + "\"");
  } else if (word == "Double") {
    if (!ParseDouble(value)) out.push_back(where + ": Double value \"" + value + "\"");
  } else if (word == "Char") {
    int n = CodePoints(value);
    if (n > 1 || n < 0) out.push_back(where + ": Char value \"" + value + "\" is not one character");
  } else if (word == "String") {
    if (CodePoints(value) < 0) out.push_back(where + ": String value is not UTF-8");
  }
}

std::vector<pugi::xml_node> Elements(pugi::xml_node dir) {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node c : dir.children())
    if (c.type() == pugi::node_element) out.push_back(c);
  return out;
}

std::vector<std::string> Keys(pugi::xml_node dir) {
  std::vector<std::string> out;
  for (pugi::xml_node c : Elements(dir)) out.push_back(c.attribute("name").value());
  return out;
}

std::string Join(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& x : v) s += (s.empty() ? "" : ", ") + x;
  return s;
}

bool IsDirectory(pugi::xml_node n) { return n && std::string(n.name()) == "Directory"; }

struct PipeSystem {
  std::string flag;
  std::string name;
};

std::vector<PipeSystem> Systems(const pugi::xml_document& doc) {
  std::vector<PipeSystem> out;
  for (pugi::xml_node s : Elements(FindPath(doc.document_element(), "TAV\\PIPE_SYS_SET")))
    out.push_back({s.attribute("flag").value(), s.attribute("localname").value()});
  return out;
}

// The assembly keys that regenerating one class produces from a category's layer keys.
std::vector<std::string> AssemblyKeys(const std::string& prefix, const std::vector<std::string>& layerKeys,
                                      const std::vector<PipeSystem>& systems) {
  std::vector<std::string> out;
  for (const auto& key : layerKeys) {
    if (kSpecialAssemblyKeys.count(key)) {
      out.push_back(prefix + "-" + key);
      continue;
    }
    for (const auto& s : systems) out.push_back(prefix + "-" + key + "-AV_SYS_" + s.flag);
  }
  return out;
}

void CheckAssemblyClass(pugi::xml_node cls, const std::string& prefix, const std::vector<std::string>& layerKeys,
                        const std::vector<PipeSystem>& systems, Problems& out) {
  if (!IsDirectory(cls)) {
    out.push_back(Where(cls) + ": assembly class " + prefix + " missing");
    return;
  }
  std::vector<std::string> expected = AssemblyKeys(prefix, layerKeys, systems);
  std::vector<std::string> actual = Keys(cls);
  if (expected != actual)
    out.push_back(Where(cls) + ": assembly layers [" + Join(actual) + "] differ from those of the layer keys and "
                  "pipe systems [" + Join(expected) + "]");
  for (pugi::xml_node e : Elements(cls)) {
    if (std::string(e.name()) != "String") out.push_back(Where(e) + ": assembly layer is not a String item");
    for (pugi::xml_attribute a : e.attributes()) {
      std::string n = a.name();
      if (n != "name" && n != "color" && n != "linetype")
        out.push_back(Where(e) + ": assembly layer attribute \"" + n + "\" would be dropped on regeneration");
    }
  }
}

void CheckLayerKey(pugi::xml_node key, Problems& out) {
  if (std::string(key.name()) != "String") {
    out.push_back(Where(key) + ": layer key is not a String item");
    return;
  }
  if (std::string(key.child_value()).empty()) out.push_back(Where(key) + ": layer key without a layer name");
  if (std::string(key.attribute("localname").value()).empty())
    out.push_back(Where(key) + ": layer key without a display name");
  int64_t colour = 0;
  if (!ParseInt(key.attribute("color").value(), &colour) || colour < 1 || colour > 256)
    out.push_back(Where(key) + ": colour \"" + key.attribute("color").value() + "\" is not 1 to 256");
  if (std::string(key.attribute("linetype").value()).empty()) out.push_back(Where(key) + ": layer key without a linetype");
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    std::string_view line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.emplace_back(line);
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return out;
}

bool IsHeader(const std::string& line) { return !line.empty() && line[0] == '*'; }

// "A,dash,gap,...": numbers, and bracketed text or shape elements.
bool ValidPattern(const std::string& line, std::string* why) {
  if (line.rfind("A,", 0) != 0) {
    *why = "does not begin with \"A,\"";
    return false;
  }
  std::vector<std::string> fields;
  std::string cur;
  int depth = 0;
  bool quoted = false;
  for (size_t i = 2; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '[') ++depth;
    if (!quoted && c == ']') --depth;
    if (!quoted && depth == 0 && c == ',') {
      fields.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  fields.push_back(cur);
  if (depth != 0 || quoted) {
    *why = "unbalanced brackets or quotes";
    return false;
  }
  if (fields.size() < 2) {
    *why = "fewer than two elements";
    return false;
  }
  bool first = true;
  for (const auto& f : fields) {
    if (!f.empty() && f.front() == '[') {
      if (f.size() < 3 || f.back() != ']') {
        *why = "bad complex element " + f;
        return false;
      }
      continue;
    }
    double v = 0;
    if (!ParseDouble(f, &v)) {
      *why = "\"" + f + "\" is not a number";
      return false;
    }
    if (first && v < 0) {
      *why = "the pattern begins with a gap";
      return false;
    }
    first = false;
  }
  return true;
}

// The two-line form the linetype manager writes into its own section.
bool OwnPatternForm(const std::string& line) {
  // A,<n>,<n>,["<text>",<style>,S=<n>,R=<n>,X=<n>,Y=<n>],<n>
  size_t open = line.find(",[\"");
  size_t close = line.rfind("],");
  if (line.rfind("A,", 0) != 0 || open == std::string::npos || close == std::string::npos || close < open)
    return false;
  std::string head = line.substr(2, open - 2);
  size_t comma = head.find(',');
  if (comma == std::string::npos || !ParseDouble(head.substr(0, comma)) || !ParseDouble(head.substr(comma + 1)))
    return false;
  if (!ParseDouble(line.substr(close + 2))) return false;
  std::string inner = line.substr(open + 2, close - open - 2);  // "<text>",style,S=..,R=..,X=..,Y=..
  size_t endq = inner.find('"', 1);
  if (endq == std::string::npos || endq == 1) return false;
  std::stringstream rest(inner.substr(endq + 1));
  std::vector<std::string> parts;
  std::string p;
  std::getline(rest, p, ',');  // empty piece before the style
  while (std::getline(rest, p, ',')) parts.push_back(p);
  if (parts.size() != 5 || parts[0].empty()) return false;
  const char* tags[] = {"S=", "R=", "X=", "Y="};
  for (int i = 0; i < 4; ++i)
    if (parts[i + 1].rfind(tags[i], 0) != 0 || !ParseDouble(parts[i + 1].substr(2))) return false;
  return true;
}

}  // namespace

pugi::xml_node FindKey(pugi::xml_node dir, std::string_view key) {
  for (pugi::xml_node c : dir.children())
    if (c.type() == pugi::node_element && SameKey(c.attribute("name").value(), key)) return c;
  return {};
}

pugi::xml_node FindPath(pugi::xml_node dir, std::string_view path) {
  pugi::xml_node cur = dir;
  while (cur && !path.empty()) {
    size_t sep = path.find('\\');
    cur = FindKey(cur, path.substr(0, sep));
    path = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
  }
  return cur;
}

Problems CheckElementWords(const pugi::xml_document& doc) {
  Problems out;
  pugi::xml_node root = doc.document_element();
  if (!root) return {"no root element"};
  if (std::string(root.name()) != "Directory") out.push_back("root element is not a Directory");
  CheckElement(root, out);
  return out;
}

Problems CheckSections(const pugi::xml_document& doc) {
  Problems out;
  pugi::xml_node root = doc.document_element();
  if (std::string(root.attribute("name").value()) != "VENO_CONFIG") out.push_back("root key is not VENO_CONFIG");
  if (std::string(root.attribute("localname").value()) != "选项设置") out.push_back("root caption is not 选项设置");
  for (const char* path : {"TAV", "TAV\\PIPE_SYS_SET", "TAV\\PIPE_MATERIAL_SET", "TAV\\CLBDY_SET", "LAYER",
                           "TEXT_STYLE", "DIM_STYLE", "ADVANCE"}) {
    pugi::xml_node n = FindPath(root, path);
    if (!IsDirectory(n)) out.push_back(std::string(path) + ": section missing or not a directory");
  }
  pugi::xml_node cur = FindPath(root, "LAYER\\CUR_STD");
  if (!cur || std::string(cur.name()) != "String") out.push_back("LAYER\\CUR_STD missing or not a String item");

  // Statistics settings: each configuration satisfies the table definition page's checks.
  pugi::xml_node stats = FindPath(root, "TAV\\CLBDY_SET");
  if (stats && Elements(stats).empty()) out.push_back("TAV\\CLBDY_SET holds no configuration");
  for (pugi::xml_node conf : Elements(stats)) {
    pugi::xml_node style = FindKey(conf, "STYLE");
    pugi::xml_node option = FindKey(conf, "OPTION");
    if (!IsDirectory(style) || !IsDirectory(option)) {
      out.push_back(Where(conf) + ": STYLE or OPTION missing");
      continue;
    }
    auto number = [&](const char* key) {
      double v = -1;
      ParseDouble(FindKey(style, key).child_value(), &v);
      return v;
    };
    for (auto [space, height] : {std::pair{"TITLE_SPACE", "TITLE_HEIGHT"}, std::pair{"HEADER_SPACE", "HEADER_HEIGHT"},
                                 std::pair{"BODY_SPACE", "BODY_HEIGHT"}}) {
      if (number(height) <= 0) out.push_back(Where(style) + ": " + height + " must be above 0");
      if (number(space) < number(height)) out.push_back(Where(style) + ": " + space + " below " + height);
    }
    if (std::string(FindKey(style, "TITLE").child_value()).empty()) out.push_back(Where(style) + ": empty TITLE");
    pugi::xml_node cols = FindKey(style, "COLUMNS");
    if (Elements(cols).empty()) out.push_back(Where(style) + ": no columns");
    for (pugi::xml_node c : Elements(cols)) {
      std::string align = c.attribute("align").value();
      if (!PositiveNumber(c.attribute("width").value()) || (align != "居左" && align != "居中") ||
          !ParseInt(c.attribute("margin").value()))
        out.push_back(Where(c) + ": column needs a width, 居左 or 居中 and an integer margin");
    }
    for (const char* cat : {"PIPE", "SPRINKLER", "HYDRANT", "EXTINGUISHER", "FIXTURE", "VALVE", "FITTING", "OTHER"})
      if (!IsDirectory(FindKey(option, cat))) out.push_back(Where(option) + ": category " + cat + " missing");
  }
  return out;
}

Problems CheckPipeSystems(const pugi::xml_document& doc, size_t minimumCount) {
  Problems out;
  pugi::xml_node root = doc.document_element();
  pugi::xml_node set = FindPath(root, "TAV\\PIPE_SYS_SET");
  std::set<std::string> materials;
  for (pugi::xml_node m : Elements(FindPath(root, "TAV\\PIPE_MATERIAL_SET")))
    materials.insert(m.attribute("localname").value());
  auto systems = Elements(set);
  if (systems.size() < minimumCount)
    out.push_back("only " + std::to_string(systems.size()) + " pipe systems, at least " +
                  std::to_string(minimumCount) + " expected");
  int undeletable = 0;
  std::set<std::string> names;
  for (pugi::xml_node s : systems) {
    std::string where = Where(s);
    if (std::string(s.name()) != "String") out.push_back(where + ": pipe system is not a String item");
    for (const char* a : {"localname", "linetype", "linewidth", "linescale", "material", "riserscale",
                          "vpipescale", "vpipestyle", "flag", "systype", "candelete"})
      if (std::string(s.attribute(a).value()).empty()) out.push_back(where + ": attribute " + a + " missing");
    std::string flag = s.attribute("flag").value();
    if (std::string(s.attribute("name").value()) != "AV_SYS_" + flag)
      out.push_back(where + ": key is not AV_SYS_ followed by the identifier \"" + flag + "\"");
    if (!names.insert(s.attribute("localname").value()).second) out.push_back(where + ": system name repeated");
    for (const char* a : {"linewidth", "linescale", "riserscale", "vpipescale"})
      if (!PositiveNumber(s.attribute(a).value())) out.push_back(where + ": " + a + " is not a positive number");
    std::string style = s.attribute("vpipestyle").value();
    if (style != "单圆环" && style != "双圆环" && style != "实心圆")
      out.push_back(where + ": riser style \"" + style + "\"");
    std::string flow = s.attribute("systype").value();
    if (flow != "压力流" && flow != "重力流") out.push_back(where + ": flow type \"" + flow + "\"");
    std::string del = s.attribute("candelete").value();
    if (del != "YES" && del != "NO") out.push_back(where + ": candelete \"" + del + "\"");
    if (del == "NO") ++undeletable;
    if (s.attribute("color")) {
      int64_t c = 0;
      if (!ParseInt(s.attribute("color").value(), &c) || c < 1 || c > 255)
        out.push_back(where + ": colour is not 1 to 255");
    }
    if (!materials.count(s.attribute("material").value()))
      out.push_back(where + ": default material \"" + s.attribute("material").value() + "\" is not a pipe material");
  }
  if (undeletable == 0) out.push_back("no pipe system is protected from deletion (candelete NO)");
  return out;
}

Problems CheckMaterials(const pugi::xml_document& doc, size_t minimumCount) {
  Problems out;
  pugi::xml_node set = FindPath(doc.document_element(), "TAV\\PIPE_MATERIAL_SET");
  auto materials = Elements(set);
  if (materials.size() < minimumCount)
    out.push_back("only " + std::to_string(materials.size()) + " pipe materials, at least " +
                  std::to_string(minimumCount) + " expected");
  const std::set<std::string> quantities = {"公称直径", "长度", "外径", "内径"};
  std::set<std::string> names;
  for (pugi::xml_node m : materials) {
    std::string where = Where(m);
    std::string name = m.attribute("localname").value();
    if (!IsDirectory(m)) out.push_back(where + ": material is not a directory");
    if (name.empty()) out.push_back(where + ": material without a name");
    if (!names.insert(name).second) out.push_back(where + ": material name repeated");
    pugi::xml_node dia = FindKey(m, "DIA_SET");
    if (!IsDirectory(dia) || std::string(dia.attribute("localname").value()) != "管径参数") {
      out.push_back(where + ": DIA_SET (管径参数) missing");
    } else {
      auto rows = Elements(dia);
      if (rows.size() < 3) out.push_back(where + ": fewer than three diameters");
      double lastDn = 0, lastOut = 0;
      for (pugi::xml_node r : rows) {
        std::string rw = Where(r);
        double dn = 0, in = 0, od = 0;
        if (std::string(r.name()) != "String") out.push_back(rw + ": diameter row is not a String item");
        if (!ParseDouble(r.attribute("name").value(), &dn) || dn <= 0) {
          out.push_back(rw + ": nominal diameter is not a positive number");
          continue;
        }
        if (!ParseDouble(r.attribute("InDia").value(), &in) || !ParseDouble(r.attribute("OutDia").value(), &od) ||
            in <= 0) {
          out.push_back(rw + ": InDia and OutDia must be positive numbers");
          continue;
        }
        if (in >= od) out.push_back(rw + ": inner diameter not below the outer diameter");
        else if ((od - in) / 2 < 0.5) out.push_back(rw + ": wall thinner than 0.5 mm");
        if (dn <= lastDn) out.push_back(rw + ": nominal diameters do not rise");
        if (od <= lastOut) out.push_back(rw + ": outer diameters do not rise");
        lastDn = dn;
        lastOut = od;
      }
    }
    pugi::xml_node oth = FindKey(m, "OTH_SET");
    if (!IsDirectory(oth) || std::string(oth.attribute("localname").value()) != "其它参数") {
      out.push_back(where + ": OTH_SET (其它参数) missing");
      continue;
    }
    pugi::xml_node bas = FindKey(oth, "BAS_PARAM");
    double ch = 0, cc = 0;
    if (!bas || std::string(bas.attribute("localname").value()) != "基本参数")
      out.push_back(where + ": BAS_PARAM (基本参数) missing");
    else if (!ParseDouble(bas.attribute("Ch").value(), &ch) || ch < 60 || ch > 160)
      out.push_back(where + ": Hazen-Williams coefficient Ch \"" + bas.attribute("Ch").value() + "\" not 60 to 160");
    else if (!ParseDouble(bas.attribute("Cc").value(), &cc) || cc <= 0 || cc >= 0.05)
      out.push_back(where + ": roughness Cc \"" + bas.attribute("Cc").value() + "\" not a Manning coefficient");
    pugi::xml_node lab = FindKey(oth, "LAB_PARAM");
    if (!lab || std::string(lab.attribute("localname").value()) != "标注参数") {
      out.push_back(where + ": LAB_PARAM (标注参数) missing");
      continue;
    }
    for (const char* a : {"Prefix", "ParamA", "LinkFlag", "ParamB", "Suffix"})
      if (!lab.attribute(a)) out.push_back(where + ": label attribute " + a + " missing");
    std::string prefix = lab.attribute("Prefix").value();
    if (prefix != "DN" && prefix != "De") out.push_back(where + ": label prefix \"" + prefix + "\"");
    if (!quantities.count(lab.attribute("ParamA").value())) out.push_back(where + ": ParamA is not a label quantity");
    std::string b = lab.attribute("ParamB").value();
    if (!b.empty() && !quantities.count(b)) out.push_back(where + ": ParamB is not a label quantity");
  }
  return out;
}

Problems CheckLayerStandards(const pugi::xml_document& doc, size_t minimumStandards) {
  Problems out;
  pugi::xml_node layer = FindPath(doc.document_element(), "LAYER");
  std::vector<pugi::xml_node> standards;
  for (pugi::xml_node c : Elements(layer))
    if (IsDirectory(c)) standards.push_back(c);
  if (standards.size() < minimumStandards)
    out.push_back("only " + std::to_string(standards.size()) + " layer standards");
  std::string current = FindKey(layer, "CUR_STD").child_value();
  if (!IsDirectory(FindKey(layer, current)) || std::string(FindKey(layer, current).attribute("name").value()) != current)
    out.push_back("LAYER\\CUR_STD names no standard: \"" + current + "\"");
  const auto systems = Systems(doc);
  std::vector<std::string> systemKeys;
  for (const auto& s : systems) systemKeys.push_back("AV_SYS_" + s.flag);

  for (pugi::xml_node std_ : standards) {
    const std::string where = Where(std_);
    pugi::xml_node fields = FindKey(std_, "LAYER_FIELD_DEF");
    pugi::xml_node assembly = FindKey(std_, "ASSEMBLY_LAYER_DEF");
    if (!IsDirectory(fields) || !IsDirectory(assembly)) {
      out.push_back(where + ": LAYER_FIELD_DEF or ASSEMBLY_LAYER_DEF missing");
      continue;
    }
    if (std::string(fields.attribute("localname").value()).empty() ||
        std::string(assembly.attribute("localname").value()).empty())
      out.push_back(where + ": a definition page without a caption (localname)");
    pugi::xml_node water = FindKey(fields, "给排水");
    pugi::xml_node sys = FindKey(water, "系统");
    if (!IsDirectory(sys)) {
      out.push_back(where + ": LAYER_FIELD_DEF\\给排水\\系统 missing");
      continue;
    }
    if (Keys(sys) != systemKeys)
      out.push_back(where + ": system layer keys [" + Join(Keys(sys)) + "] are not one per pipe system [" +
                    Join(systemKeys) + "]");
    for (size_t i = 0; i < systems.size(); ++i) {
      pugi::xml_node k = FindKey(sys, "AV_SYS_" + systems[i].flag);
      if (!k) continue;
      CheckLayerKey(k, out);
      if (std::string(k.child_value()) != systems[i].name || std::string(k.attribute("localname").value()) != systems[i].name)
        out.push_back(Where(k) + ": system layer is not named after its system \"" + systems[i].name + "\"");
    }
    std::vector<std::string> categoryKeys[3];
    const char* categories[3] = {"管道", "设备", "标注"};
    for (int i = 0; i < 3; ++i) {
      pugi::xml_node cat = FindKey(water, categories[i]);
      if (!IsDirectory(cat) || Elements(cat).empty()) {
        out.push_back(where + ": layer key category " + categories[i] + " missing or empty");
        continue;
      }
      categoryKeys[i] = Keys(cat);
      for (pugi::xml_node k : Elements(cat)) CheckLayerKey(k, out);
    }
    // Layer keys outside the pipe categories (common layers) are checked the same way.
    for (pugi::xml_node cat : Elements(fields)) {
      if (SameKey(cat.attribute("name").value(), "给排水")) continue;
      for (pugi::xml_node k : Elements(cat)) CheckLayerKey(k, out);
    }
    pugi::xml_node awater = FindKey(assembly, "给排水");
    pugi::xml_node pipes = FindKey(awater, "管道");
    CheckAssemblyClass(FindKey(pipes, "平面图"), "WATER-AV_CLASS_PLANE", categoryKeys[0], systems, out);
    CheckAssemblyClass(FindKey(pipes, "系统图"), "WATER-AV_CLASS_SYSTEM", categoryKeys[0], systems, out);
    CheckAssemblyClass(FindKey(awater, "设备"), "WATER-AV_CLASS_EQUI", categoryKeys[1], systems, out);
    CheckAssemblyClass(FindKey(awater, "标注"), "WATER-AV_CLASS_LABEL", categoryKeys[2], systems, out);
  }
  return out;
}

Problems CheckStyles(const pugi::xml_document& doc) {
  Problems out;
  pugi::xml_node root = doc.document_element();
  auto texts = Elements(FindPath(root, "TEXT_STYLE"));
  if (texts.empty()) out.push_back("TEXT_STYLE holds no text kind");
  std::set<std::string> textStyles;
  for (pugi::xml_node t : texts) {
    std::string where = Where(t);
    if (std::string(t.name()) != "String") out.push_back(where + ": text kind is not a String item");
    if (std::string(t.child_value()).empty()) out.push_back(where + ": no text style name");
    textStyles.insert(t.child_value());
    for (const char* a : {"localname", "chsfont", "enfont"})
      if (std::string(t.attribute(a).value()).empty()) out.push_back(where + ": " + a + " missing");
    for (const char* a : {"xscale", "ecxscale", "ecyscale"})
      if (!PositiveNumber(t.attribute(a).value())) out.push_back(where + ": " + a + " is not a positive number");
  }
  auto dims = Elements(FindPath(root, "DIM_STYLE"));
  if (dims.empty()) out.push_back("DIM_STYLE holds no dimension kind");
  for (pugi::xml_node d : dims) {
    std::string where = Where(d);
    if (std::string(d.name()) != "String") out.push_back(where + ": dimension kind is not a String item");
    if (std::string(d.child_value()).empty()) out.push_back(where + ": no dimension style name");
    if (std::string(d.attribute("localname").value()).empty()) out.push_back(where + ": localname missing");
    if (!d.attribute("dimblk")) out.push_back(where + ": dimblk missing");
    if (d.attribute("textstyle") && !textStyles.count(d.attribute("textstyle").value()))
      out.push_back(where + ": text style \"" + d.attribute("textstyle").value() + "\" is not a TEXT_STYLE style");
  }
  return out;
}

Problems CheckAdvance(const pugi::xml_document& doc) {
  Problems out;
  pugi::xml_node adv = FindPath(doc.document_element(), "ADVANCE");
  std::set<std::string> words;
  bool nested = false;
  auto walk = [&](auto&& self, pugi::xml_node dir, int depth) -> void {
    for (pugi::xml_node c : Elements(dir)) {
      std::string word = c.name();
      if (std::string(c.attribute("localname").value()).empty()) out.push_back(Where(c) + ": no caption (localname)");
      if (word == "Directory") {
        if (depth >= 1) nested = true;
        if (Elements(c).empty()) out.push_back(Where(c) + ": empty category (dropped on save)");
        self(self, c, depth + 1);
        continue;
      }
      if (depth == 0) out.push_back(Where(c) + ": value item outside a category");
      words.insert(word);
      if (word == "Option") {
        int selected = 0, count = 0;
        for (pugi::xml_node ch : Elements(c)) {
          ++count;
          if (ch.attribute("selected")) ++selected;
        }
        if (count < 2 || selected != 1) out.push_back(Where(c) + ": option needs two choices and one selected");
      }
      if (word == "Char" && CodePoints(c.child_value()) == 1 && static_cast<unsigned char>(c.child_value()[0]) >= 0x80)
        out.push_back(Where(c) + ": character item outside the 8-bit range the sheet edits");
    }
  };
  walk(walk, adv, 0);
  if (!nested) out.push_back("ADVANCE has no nested category");
  for (const char* w : {"Bool", "Char", "Int", "Double", "String", "Option"})
    if (!words.count(w)) out.push_back(std::string("ADVANCE has no ") + w + " item");
  return out;
}

Problems CheckLinetypeNames(const pugi::xml_document& doc, const std::vector<std::string>& linNames) {
  Problems out;
  std::set<std::string> known = {"CONTINUOUS", "BYLAYER", "BYBLOCK"};
  for (const auto& n : linNames) known.insert(FoldAscii(n));
  auto walk = [&](auto&& self, pugi::xml_node n) -> void {
    for (pugi::xml_node c : Elements(n)) {
      if (c.attribute("linetype") && !known.count(FoldAscii(c.attribute("linetype").value())))
        out.push_back(Where(c) + ": linetype \"" + c.attribute("linetype").value() + "\" is not defined");
      self(self, c);
    }
  };
  walk(walk, doc.document_element());
  return out;
}

Problems CheckLinText(std::string_view text) {
  Problems out;
  if (CodePoints(text) < 0) out.push_back("not UTF-8 text");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out.push_back("line " + std::to_string(std::count(text.begin(), text.begin() + i, '\n') + 1) +
                    " ends without CR LF");
      break;
    }
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) {
      out.push_back("stray CR");
      break;
    }
  }
  if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n") out.push_back("the last line has no line end");
  auto lines = Lines(text);
  if (!lines.empty() && lines.back().empty()) lines.pop_back();  // after the final line end
  size_t markers = std::count(lines.begin(), lines.end(), std::string(kMarker));
  if (markers != 1) out.push_back("marker line found " + std::to_string(markers) + " times");
  std::set<std::string> names;
  bool own = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    std::string at = "line " + std::to_string(i + 1);
    if (line == kMarker) {
      own = true;
      continue;
    }
    if (IsHeader(line)) {
      size_t comma = line.find(',');
      if (comma == std::string::npos || comma == 1) {
        out.push_back(at + ": header without a name and a comma");
        continue;
      }
      if (!names.insert(FoldAscii(line.substr(1, comma - 1))).second) out.push_back(at + ": name defined twice");
      std::string why;
      if (i + 1 >= lines.size() || !ValidPattern(lines[i + 1], &why)) {
        out.push_back(at + ": header " + line.substr(0, comma) + " not followed by a pattern line" +
                      (why.empty() ? "" : " (" + why + ")"));
        continue;
      }
      if (own) {
        if (line.rfind("*TAV_", 0) != 0) out.push_back(at + ": own definition not named TAV_...");
        std::string text_ = line.substr(5, comma - 5);
        if (line.substr(comma + 1) != "------ " + text_ + " ------")
          out.push_back(at + ": own description is not \"------ " + text_ + " ------\"");
        if (!OwnPatternForm(lines[i + 1]) || lines[i + 1].find("[\"" + text_ + "\",") == std::string::npos)
          out.push_back("line " + std::to_string(i + 2) + ": not the linetype manager's text pattern form");
      }
      ++i;  // the pattern line
      continue;
    }
    if (line.rfind("A,", 0) == 0) {
      out.push_back(at + ": pattern line without a header line");
      continue;
    }
    if (own) out.push_back(at + ": own section holds a line that is no definition");
    else if (!line.empty() && line.rfind(";;", 0) != 0) out.push_back(at + ": neither comment nor definition");
  }
  return out;
}

std::vector<std::string> LinNames(std::string_view text) {
  std::vector<std::string> out;
  for (const auto& line : Lines(text)) {
    size_t comma = line.find(',');
    if (IsHeader(line) && comma != std::string::npos) out.push_back(line.substr(1, comma - 1));
  }
  return out;
}

std::string LinOwnSection(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
    std::string_view line = text.substr(pos, end - pos);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line == kMarker) return std::string(text.substr(end));
    pos = end;
  }
  return {};
}

Problems CheckIcon(std::string_view bytes, std::vector<int>* sizes) {
  auto u16 = [&](size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) |
                                 (static_cast<unsigned char>(bytes[at + 1]) << 8));
  };
  auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
  if (bytes.size() < 6) return {"shorter than an icon header"};
  Problems out;
  if (u16(0) != 0 || u16(2) != 1) return {"not an ICO header (reserved 0, type 1)"};
  unsigned count = u16(4);
  if (count == 0) return {"icon holds no image"};
  if (bytes.size() < 6 + 16 * size_t(count)) return {"icon directory runs past the end of the file"};
  for (unsigned i = 0; i < count; ++i) {
    size_t e = 6 + 16 * size_t(i);
    int w = static_cast<unsigned char>(bytes[e]) ? static_cast<unsigned char>(bytes[e]) : 256;
    int h = static_cast<unsigned char>(bytes[e + 1]) ? static_cast<unsigned char>(bytes[e + 1]) : 256;
    size_t len = u32(e + 8), off = u32(e + 12);
    std::string at = "image " + std::to_string(i);
    if (w != h) out.push_back(at + ": not square");
    if (off < 6 + 16 * size_t(count) || off + len > bytes.size() || len < 40) {
      out.push_back(at + ": data outside the file");
      continue;
    }
    if (bytes.substr(off, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) {
      if (sizes) sizes->push_back(w);
      continue;
    }
    if (u32(off) != 40) {
      out.push_back(at + ": neither PNG nor BITMAPINFOHEADER");
      continue;
    }
    int bw = static_cast<int>(u32(off + 4)), bh = static_cast<int>(u32(off + 8));
    unsigned bpp = u16(off + 14);
    if (bw != w || bh != 2 * h) out.push_back(at + ": bitmap size does not match the directory entry");
    size_t need = 40 + size_t(w) * h * bpp / 8 + size_t((w + 31) / 32 * 4) * h;
    if (bpp == 32 && len < need) out.push_back(at + ": bitmap data shorter than its size");
    if (sizes) sizes->push_back(w);
  }
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace maindir
