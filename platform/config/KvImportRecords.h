// Records of the platform's selection lists.
//
// KvConfigDict, KvDwgDict and KvUiDict are what the bundle import tree hands back: the path of a ticked
// item in the bundle (the `name` attributes from the child of the bundle root down to the item, joined
// by backslashes) and the item itself, which belongs to the tree that read the bundle.
//
// KvDwgDict is also the record the pipe-system sheet keeps while it regenerates layer keys: a layer
// key's name, linetype, colour and value. Both uses share the one platform type; `name` holds the
// bundle path when the record comes from the import tree.
#pragma once

#include <string>

class KvDtDictItem;
class KvDtUIItem;

struct KvConfigDict {
  std::string path;
  KvDtDictItem* item = nullptr;  // not owned
  bool operator==(const KvConfigDict& other) const { return path == other.path; }
};

struct KvDwgDict {
  std::string name;      // layer key name, or the bundle path of an import record
  std::string linetype;
  std::string color;
  std::string value;
  KvDtDictItem* item = nullptr;  // import records only; not owned
  const std::string& path() const { return name; }
  bool operator==(const KvDwgDict& other) const { return name == other.name; }
};

struct KvUiDict {
  std::string path;
  KvDtUIItem* uiItem = nullptr;      // a UI item of the bundle; not owned
  KvDtDictItem* dictItem = nullptr;  // or an item of the UI configuration's embedded dictionary; not owned
  bool operator==(const KvUiDict& other) const { return path == other.path; }
};
