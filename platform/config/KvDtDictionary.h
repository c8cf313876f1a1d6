// Configuration dictionaries: trees of typed items addressed by backslash key paths.
//
// Every item carries named string attributes in the order they were set. The key is the attribute
// "name", the display name "localname" and the description "description"; other attributes ("color",
// "linetype", "candelete", ...) belong to whoever uses the item. A directory (KvDtDictionary) owns its
// children; each child knows its parent. The XML form is described in docs/config-xml.md.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/config/KvUtXMLDOM.h"

enum DictDataType {
  DICT_TYPE_DIRECTORY = 0,
  DICT_TYPE_BOOL = 1,
  DICT_TYPE_CHAR = 2,
  DICT_TYPE_LONG = 3,
  DICT_TYPE_DOUBLE = 4,
  DICT_TYPE_STRING = 5,
  DICT_TYPE_OPTION = 6,
};

// The grid's label of a type ("布尔型" ... "选择型"); "" for the directory and for unknown values.
std::string GetDictDataTypeLabel(int type);
// The type of a label; -1 for any other text.
int GetDictDataTypeFromLabel(std::string_view label);
// The XML element word of a type ("Directory", "Bool", "Char", "Int", "Double", "String", "Option"); "" if unknown.
std::string GetDictDataTypeWord(int type);
// The type of an element word (compared without regard to ASCII case); -1 for any other word.
int GetDictDataTypeFromWord(std::string_view word);

class KvDtDictionary;

class KvDtDictItem {
 public:
  explicit KvDtDictItem(std::string_view key = {});
  virtual ~KvDtDictItem();
  KvDtDictItem(const KvDtDictItem&) = delete;
  KvDtDictItem& operator=(const KvDtDictItem&) = delete;

  // A new item of that type with the key (nullptr for an unknown type).
  static std::unique_ptr<KvDtDictItem> Create(int type, std::string_view key = {});

  virtual DictDataType GetDataType() const = 0;
  bool IsDict() const { return GetDataType() == DICT_TYPE_DIRECTORY; }
  // An item is valid when it has a key and its value is consistent (an option's selection, if any,
  // is one of its choices).
  virtual bool IsValid() const;
  // A deep copy: attributes, value and, for a directory, all children. The copy has no parent.
  virtual std::unique_ptr<KvDtDictItem> Clone() const = 0;
  // Copies the value (not the key or other attributes) of an item of the same type; for a directory,
  // its children are replaced by copies of the other's. False, nothing changed, for another type.
  virtual bool CopyValue(const KvDtDictItem& other) = 0;
  // The value as written in XML (docs/config-xml.md); "" for a directory and an option.
  virtual std::string GetValueText() const { return {}; }
  // Reads the value from its XML text; false (value unchanged) when the text does not read as the type.
  virtual bool SetValueText(std::string_view text) { return text.empty(); }

  std::string GetKey() const { return GetAttributeValue("name"); }
  void SetKey(std::string_view key) { SetAttributeValue("name", key); }
  std::string GetLocalName() const { return GetAttributeValue("localname"); }
  void SetLocalName(std::string_view name) { SetAttributeValue("localname", name); }
  std::string GetDescription() const { return GetAttributeValue("description"); }
  void SetDescription(std::string_view text) { SetAttributeValue("description", text); }

  // The attribute's value, "" when absent. Attribute names compare exactly.
  std::string GetAttributeValue(std::string_view name) const;
  bool HasAttribute(std::string_view name) const;
  // The attribute's stored value without a copy; nullptr when absent.
  const std::string* FindAttribute(std::string_view name) const;
  // Changes an existing attribute in place or appends a new one after the others. An empty name is ignored.
  void SetAttributeValue(std::string_view name, std::string_view value);
  bool RemoveAttribute(std::string_view name);
  // All attributes in order into two parallel lists (emptied first); returns their number.
  int GetAllAttribute(std::vector<std::string>& names, std::vector<std::string>& values) const;
  const std::vector<std::pair<std::string, std::string>>& GetAttributes() const { return attributes_; }

  KvDtDictionary* GetParent() const { return parent_; }
  // The backslash path of keys from the top of the tree (the top itself not included).
  std::string GetPath() const;

  // Deep equality: type, attributes in order, value and children.
  bool operator==(const KvDtDictItem& other) const;
  bool operator!=(const KvDtDictItem& other) const { return !(*this == other); }

 protected:
  virtual bool SameValue(const KvDtDictItem& other) const = 0;
  void CopyAttributesTo(KvDtDictItem& target) const { target.attributes_ = attributes_; }
  void SwapAttributes(KvDtDictItem& other) { attributes_.swap(other.attributes_); }

 private:
  friend class KvDtDictItemList;
  friend class KvDtDictionary;
  friend struct KvDtDictXmlAccess;  // the XML reader fills the attributes directly
  std::vector<std::pair<std::string, std::string>> attributes_;
  KvDtDictionary* parent_ = nullptr;
};

class KvDtDictBoolItem : public KvDtDictItem {
 public:
  explicit KvDtDictBoolItem(std::string_view key = {}, bool value = false) : KvDtDictItem(key), value_(value) {}
  DictDataType GetDataType() const override { return DICT_TYPE_BOOL; }
  std::unique_ptr<KvDtDictItem> Clone() const override;
  bool CopyValue(const KvDtDictItem& other) override;
  std::string GetValueText() const override { return value_ ? "TRUE" : "FALSE"; }
  // "TRUE"/"FALSE"/"1"/"0" in any letter case.
  bool SetValueText(std::string_view text) override;
  bool GetValue() const { return value_; }
  void SetValue(bool value) { value_ = value; }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  bool value_;
};

// One character: a Unicode code point (0 is "no character").
class KvDtDictCharItem : public KvDtDictItem {
 public:
  explicit KvDtDictCharItem(std::string_view key = {}, char32_t value = 0) : KvDtDictItem(key), value_(value) {}
  DictDataType GetDataType() const override { return DICT_TYPE_CHAR; }
  std::unique_ptr<KvDtDictItem> Clone() const override;
  bool CopyValue(const KvDtDictItem& other) override;
  // The character as UTF-8; "" for 0.
  std::string GetValueText() const override;
  // Exactly one character, or "" for 0.
  bool SetValueText(std::string_view text) override;
  char32_t GetValue() const { return value_; }
  void SetValue(char32_t value) { value_ = value; }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  char32_t value_;
};

class KvDtDictLongItem : public KvDtDictItem {
 public:
  explicit KvDtDictLongItem(std::string_view key = {}, long long value = 0) : KvDtDictItem(key), value_(value) {}
  DictDataType GetDataType() const override { return DICT_TYPE_LONG; }
  std::unique_ptr<KvDtDictItem> Clone() const override;
  bool CopyValue(const KvDtDictItem& other) override;
  std::string GetValueText() const override { return std::to_string(value_); }
  bool SetValueText(std::string_view text) override;
  long long GetValue() const { return value_; }
  void SetValue(long long value) { value_ = value; }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  long long value_;
};

class KvDtDictDoubleItem : public KvDtDictItem {
 public:
  explicit KvDtDictDoubleItem(std::string_view key = {}, double value = 0) : KvDtDictItem(key), value_(value) {}
  DictDataType GetDataType() const override { return DICT_TYPE_DOUBLE; }
  std::unique_ptr<KvDtDictItem> Clone() const override;
  bool CopyValue(const KvDtDictItem& other) override;
  // The shortest text that reads back as the same number.
  std::string GetValueText() const override;
  bool SetValueText(std::string_view text) override;
  double GetValue() const { return value_; }
  void SetValue(double value) { value_ = value; }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  double value_;
};

class KvDtDictStringItem : public KvDtDictItem {
 public:
  explicit KvDtDictStringItem(std::string_view key = {}, std::string_view value = {})
      : KvDtDictItem(key), value_(value) {}
  DictDataType GetDataType() const override { return DICT_TYPE_STRING; }
  std::unique_ptr<KvDtDictItem> Clone() const override;
  bool CopyValue(const KvDtDictItem& other) override;
  std::string GetValueText() const override { return value_; }
  bool SetValueText(std::string_view text) override;
  const std::string& GetValue() const { return value_; }
  void SetValue(std::string_view value) { value_ = value; }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  std::string value_;
};

// A choice among texts: the list of choices and the index of the selected one (-1: none).
class KvDtDictOptionItem : public KvDtDictItem {
 public:
  explicit KvDtDictOptionItem(std::string_view key = {}) : KvDtDictItem(key) {}
  DictDataType GetDataType() const override { return DICT_TYPE_OPTION; }
  bool IsValid() const override;
  std::unique_ptr<KvDtDictItem> Clone() const override;
  bool CopyValue(const KvDtDictItem& other) override;

  const std::vector<std::string>& GetOptions() const { return options_; }
  int GetOptionCount() const { return static_cast<int>(options_.size()); }
  // The choice at `index`; "" when out of range.
  std::string GetOption(int index) const;
  // Appends a choice; returns its index.
  int AddOption(std::string_view text);
  // Removes every choice; nothing is selected afterwards.
  void ClearOptions();
  // Selects a choice by index; any index outside the choices (e.g. -1) means nothing selected.
  // Returns true when a choice is selected afterwards.
  bool SetSelIndex(int index);
  int GetSelIndex() const { return selected_; }
  // Selects the first choice equal to `text`; false (selection unchanged) when there is none.
  bool SetSelString(std::string_view text);
  // The selected choice; "" when nothing is selected.
  std::string GetSelString() const { return GetOption(selected_); }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  std::vector<std::string> options_;
  int selected_ = -1;
};

// The children of a directory, in order. Owns them.
class KvDtDictItemList {
 public:
  explicit KvDtDictItemList(KvDtDictionary* owner) : owner_(owner) {}
  int GetCount() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  // The child at `index`; nullptr when out of range.
  KvDtDictItem* GetAt(int index) const;
  int IndexOf(const KvDtDictItem* item) const;  // -1 when not a child
  // Takes ownership and appends; returns the item (nullptr for nullptr).
  KvDtDictItem* Append(std::unique_ptr<KvDtDictItem> item);
  KvDtDictItem* Insert(int index, std::unique_ptr<KvDtDictItem> item);
  // Takes a child out and hands it over (nullptr when not a child).
  std::unique_ptr<KvDtDictItem> Detach(const KvDtDictItem* item);
  // Deletes one child; false when it is not a child.
  bool Remove(const KvDtDictItem* item);
  // Deletes every child.
  void Reset();

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  friend struct KvDtDictXmlAccess;  // the XML reader makes room for all children at once
  friend class KvDtDictionary;
  KvDtDictionary* owner_;
  std::vector<std::unique_ptr<KvDtDictItem>> items_;
};

class KvDtDictionary : public KvDtDictItem {
 public:
  explicit KvDtDictionary(std::string_view key = {});
  ~KvDtDictionary() override;

  DictDataType GetDataType() const override { return DICT_TYPE_DIRECTORY; }
  // A directory is valid when it has a key; the top of a tree (no parent) needs none.
  bool IsValid() const override;
  std::unique_ptr<KvDtDictItem> Clone() const override;
  std::unique_ptr<KvDtDictionary> CloneDict() const;
  bool CopyValue(const KvDtDictItem& other) override;
  // Makes this dictionary a deep copy of `other` (attributes and children); the parent is kept.
  void Assign(const KvDtDictionary& other);
  // Exchanges attributes and children with `other` (parents stay).
  void Swap(KvDtDictionary& other);

  KvDtDictItemList& GetItemList() { return items_; }
  const KvDtDictItemList& GetItemList() const { return items_; }
  int GetCount() const { return items_.GetCount(); }
  KvDtDictItem* GetItem(int index) const { return items_.GetAt(index); }

  // The item at a backslash path of keys ("TAV\\PIPE_SYS_SET\\JS"); each step compares keys without
  // regard to ASCII case, the first match wins. Empty steps are skipped. nullptr when absent or when
  // the path is empty.
  KvDtDictItem* FindItem(std::string_view path) const;
  KvDtDictionary* FindDict(std::string_view path) const;
  // Finds the item or creates it (and every missing directory on the way) with that type. nullptr when
  // the path is empty, a step on the way is a value item, the type is unknown, or the item exists with
  // another type.
  KvDtDictItem* FindOrAddItem(std::string_view path, int type);
  KvDtDictionary* FindOrAddDict(std::string_view path);
  // Appends a child (no check for duplicate keys); returns it.
  KvDtDictItem* AppendItem(std::unique_ptr<KvDtDictItem> item);
  // Removes and deletes a direct child; false when it is not one.
  bool RemoveItem(const KvDtDictItem* item);
  // Removes and deletes the item at a path; false when absent.
  bool RemoveItem(std::string_view path);

  // The value of the item at `path`; false (out untouched) when absent or of another type.
  // Bool items give bool; Char items char32_t; Long items the integer types (int only when it fits);
  // Double items double; String items and Option items (the selected choice) std::string.
  bool GetValue(std::string_view path, bool& out) const;
  bool GetValue(std::string_view path, char32_t& out) const;
  bool GetValue(std::string_view path, int& out) const;
  bool GetValue(std::string_view path, long& out) const;
  bool GetValue(std::string_view path, long long& out) const;
  bool GetValue(std::string_view path, double& out) const;
  bool GetValue(std::string_view path, std::string& out) const;

  // Reads the file; on failure the dictionary is left exactly as it was and LastError() names the file
  // and the position. The root element's attributes become this dictionary's attributes.
  bool ReadFromXML(const std::string& file);
  // The same from an XML text in memory; `name` is used in messages.
  bool ReadFromXMLText(std::string_view text, const std::string& name = "<text>");
  // The same from an element of an open document (a bundle section, for example); positions come from
  // `source` when given.
  bool ReadFromNode(const KvUtXMLDOMNode& element, const KvUtXMLDOMFile* source = nullptr);
  // Writes the file atomically (the old file stays whole on failure). False with LastError().
  bool SaveToXML(const std::string& file) const;
  // The file's text as SaveToXML writes it.
  std::string ToXMLText() const;
  // Appends this dictionary as a "Directory" element under `parent`; returns the element.
  KvUtXMLDOMNode WriteToNode(KvUtXMLDOMNode parent) const;
  const KvXmlResult& LastError() const { return lastError_; }

 protected:
  bool SameValue(const KvDtDictItem& other) const override;

 private:
  KvDtDictItemList items_;
  mutable KvXmlResult lastError_;
};
