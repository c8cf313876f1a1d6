// The user-interface configuration ("UIConfig.xml"): commands, menus, toolbars, shortcuts, switches and
// an embedded dictionary of interface options, as a tree of UI items of twelve kinds.
//
// Every item has a name (its identity, looked up without regard to ASCII case), a caption and a
// description, the fields of its kind and any further attributes it was read with (kept in order and
// written back). Kinds that hold children: "Directory", "MenuDef", "SwitchDef", "VenoDictionary".
// The XML form is described in docs/config-xml.md.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/config/KvDtDictionary.h"
#include "platform/config/KvUtXMLDOM.h"

class KvDtUIItem {
 public:
  KvDtUIItem();
  virtual ~KvDtUIItem();
  KvDtUIItem(const KvDtUIItem&) = delete;
  KvDtUIItem& operator=(const KvDtUIItem&) = delete;

  // The kind factory: a new item of the kind named by `kind` (compared without regard to ASCII case);
  // nullptr for any other word.
  static std::unique_ptr<KvDtUIItem> Create(std::string_view kind);
  // The twelve kind words, in the factory's order.
  static const std::vector<std::string>& KindWords();

  // The kind word as written in XML ("UIItem" for this base kind).
  virtual std::string GetKindWord() const { return "UIItem"; }
  bool IsKind(std::string_view kind) const;
  // True for the kinds that hold children.
  virtual bool HoldsChildren() const { return false; }

  const std::string& GetName() const { return name_; }
  void SetName(std::string_view name) { name_ = name; }
  const std::string& GetCaption() const { return caption_; }
  void SetCaption(std::string_view caption) { caption_ = caption; }
  const std::string& GetDescription() const { return description_; }
  void SetDescription(std::string_view text) { description_ = text; }

  // A field of the kind ("command", "keys", ...) or a further attribute by its XML name; "" when absent.
  std::string GetField(std::string_view name) const;
  // Sets a kind field, or a further attribute (appended after the others when new). An empty name is ignored.
  void SetField(std::string_view name, std::string_view value);
  // The further attributes, in order.
  const KvXmlAttributes& GetExtraAttributes() const { return extra_; }

  // Children (always empty for kinds that hold none).
  int GetChildCount() const { return static_cast<int>(children_.size()); }
  KvDtUIItem* GetChild(int index) const;
  // Takes ownership and appends; nullptr (and the item dropped) when this kind holds no children.
  KvDtUIItem* AppendChild(std::unique_ptr<KvDtUIItem> child);
  bool RemoveChild(const KvDtUIItem* child);
  void ClearChildren() { children_.clear(); }
  KvDtUIItem* GetParent() const { return parent_; }

  // This item or the first descendant (depth first, in order) with that name; nullptr for "" or none.
  KvDtUIItem* FindNamedItem(std::string_view name) const;
  // The first item of that kind in the same walk.
  KvDtUIItem* FindKind(std::string_view kind) const;

  // Copies `source` into this item: nothing (false) when the kind words differ. Otherwise the name,
  // caption and description, then the kind's fields and further attributes; for kinds that hold
  // children, the children are replaced by new items made by the kind factory from the source's
  // children, each copied recursively; a "VenoDictionary"'s dictionary is assigned as a whole.
  bool CopyFrom(const KvDtUIItem& source);
  // A deep copy, made by the kind factory and CopyFrom.
  std::unique_ptr<KvDtUIItem> Clone() const;

  // Deep equality: kind, texts, fields, further attributes, children (and a dictionary's dictionary).
  bool operator==(const KvDtUIItem& other) const;
  bool operator!=(const KvDtUIItem& other) const { return !(*this == other); }

  // The kind's own fields: XML attribute name and value, in their written order.
  using FieldList = std::vector<std::pair<const char*, std::string*>>;
  virtual FieldList Fields() { return {}; }
  std::vector<std::pair<std::string, std::string>> GetFields() const;

 protected:
  virtual bool CopyParticular(const KvDtUIItem& source) { return true; }
  virtual bool SameParticular(const KvDtUIItem& other) const { return true; }

 private:
  std::string name_;
  std::string caption_;
  std::string description_;
  KvXmlAttributes extra_;
  std::vector<std::unique_ptr<KvDtUIItem>> children_;
  KvDtUIItem* parent_ = nullptr;
};

// A folder of items (the top of the configuration, the command list, a toolbar, ...).
class KvDtUIDirectory : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "Directory"; }
  bool HoldsChildren() const override { return true; }
};

// Stands for another item, named by `target`.
class KvDtUIReference : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "Reference"; }
  const std::string& GetTarget() const { return target_; }
  void SetTarget(std::string_view name) { target_ = name; }
  FieldList Fields() override { return {{"target", &target_}}; }

 private:
  std::string target_;
};

// A separator line in a menu or a gap in a toolbar.
class KvDtUISeparator : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "Separator"; }
};

// A menu entry that runs a command (the command name of a "CommandDef"); its caption, when empty,
// is that of the command's definition.
class KvDtUIMenuItem : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "MenuItem"; }
  const std::string& GetCommand() const { return command_; }
  void SetCommand(std::string_view command) { command_ = command; }
  FieldList Fields() override { return {{"command", &command_}}; }

 private:
  std::string command_;
};

// A menu (on the menu bar, or a submenu inside another): its caption is the menu title; children
// are "MenuItem", "Separator", "Reference" and further "MenuDef" items.
class KvDtUIMenuDef : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "MenuDef"; }
  bool HoldsChildren() const override { return true; }
};

// A control of a toolbar: a button (style "Button", the default), a check button ("Check") or a
// drop-down ("Combo"), running `command`; `width` in pixels for drop-downs.
class KvDtUIControl : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "Control"; }
  const std::string& GetCommand() const { return command_; }
  void SetCommand(std::string_view command) { command_ = command; }
  const std::string& GetStyle() const { return style_; }
  void SetStyle(std::string_view style) { style_ = style; }
  const std::string& GetWidth() const { return width_; }
  void SetWidth(std::string_view width) { width_ = width; }
  FieldList Fields() override { return {{"command", &command_}, {"style", &style_}, {"width", &width_}}; }

 private:
  std::string command_, style_, width_;
};

// The definition of a command: the command name the host runs, a tooltip, an icon (a path relative to
// the main directory, backslashes allowed) and the macro sent to the command line ("^C^CTavConfig").
class KvDtUICommandDef : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "CommandDef"; }
  const std::string& GetCommand() const { return command_; }
  void SetCommand(std::string_view command) { command_ = command; }
  const std::string& GetTooltip() const { return tooltip_; }
  void SetTooltip(std::string_view tooltip) { tooltip_ = tooltip; }
  const std::string& GetIcon() const { return icon_; }
  void SetIcon(std::string_view icon) { icon_ = icon; }
  const std::string& GetMacro() const { return macro_; }
  void SetMacro(std::string_view macro) { macro_ = macro; }
  FieldList Fields() override {
    return {{"command", &command_}, {"tooltip", &tooltip_}, {"icon", &icon_}, {"macro", &macro_}};
  }

 private:
  std::string command_, tooltip_, icon_, macro_;
};

// One state of a switch: the value it stands for, its icon and the macro that selects it.
class KvDtUISwitchStatus : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "SwitchStatus"; }
  const std::string& GetValue() const { return value_; }
  void SetValue(std::string_view value) { value_ = value; }
  const std::string& GetIcon() const { return icon_; }
  void SetIcon(std::string_view icon) { icon_ = icon; }
  const std::string& GetMacro() const { return macro_; }
  void SetMacro(std::string_view macro) { macro_ = macro; }
  FieldList Fields() override { return {{"value", &value_}, {"icon", &icon_}, {"macro", &macro_}}; }

 private:
  std::string value_, icon_, macro_;
};

// A switch (a toolbar button that cycles through states): the setting it shows (`variable`), the
// value of its current state, and its states as "SwitchStatus" children.
class KvDtUISwitchDef : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "SwitchDef"; }
  bool HoldsChildren() const override { return true; }
  const std::string& GetVariable() const { return variable_; }
  void SetVariable(std::string_view variable) { variable_ = variable; }
  const std::string& GetCurrent() const { return current_; }
  void SetCurrent(std::string_view value) { current_ = value; }
  FieldList Fields() override { return {{"variable", &variable_}, {"current", &current_}}; }

 private:
  std::string variable_, current_;
};

// A keyboard shortcut: the key sequence ("Ctrl+Shift+O", in the form QKeySequence reads) and the
// command it runs.
class KvDtUIShortCut : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "ShortCut"; }
  const std::string& GetCommand() const { return command_; }
  void SetCommand(std::string_view command) { command_ = command; }
  const std::string& GetKeys() const { return keys_; }
  void SetKeys(std::string_view keys) { keys_ = keys; }
  FieldList Fields() override { return {{"command", &command_}, {"keys", &keys_}}; }

 private:
  std::string command_, keys_;
};

// The UI configuration's dictionary of interface options ("VenoDictionary"): an embedded configuration
// dictionary, and children like a directory.
class KvDtUIDictionary : public KvDtUIItem {
 public:
  std::string GetKindWord() const override { return "VenoDictionary"; }
  bool HoldsChildren() const override { return true; }
  KvDtDictionary& GetDictionary() { return dictionary_; }
  const KvDtDictionary& GetDictionary() const { return dictionary_; }

 protected:
  bool CopyParticular(const KvDtUIItem& source) override;
  bool SameParticular(const KvDtUIItem& other) const override;

 private:
  KvDtDictionary dictionary_;
};

class KvDtUIConfig {
 public:
  KvDtUIConfig();
  ~KvDtUIConfig();
  KvDtUIConfig(const KvDtUIConfig&) = delete;
  KvDtUIConfig& operator=(const KvDtUIConfig&) = delete;

  // The top of the tree; its name and caption are those of the file's root element.
  KvDtUIDirectory& GetRoot() { return *root_; }
  const KvDtUIDirectory& GetRoot() const { return *root_; }
  // Empties the configuration.
  void Reset();

  // The item of that name anywhere in the tree (ASCII case ignored); nullptr when none.
  KvDtUIItem* FindNamedItem(std::string_view name) const;
  // The "CommandDef" whose command is `command` (ASCII case ignored).
  KvDtUICommandDef* FindCommandDef(std::string_view command) const;
  // The first "VenoDictionary" item.
  KvDtUIDictionary* FindDictionaryItem() const;

  // Reads the file; on failure the configuration is unchanged and LastError() names file and position.
  bool ReadFromXML(const std::string& file);
  bool ReadFromXMLText(std::string_view text, const std::string& name = "<text>");
  bool ReadFromNode(const KvUtXMLDOMNode& element, const KvUtXMLDOMFile* source = nullptr);
  // Writes the file atomically; false with LastError() on failure.
  bool SaveToXML(const std::string& file) const;
  std::string ToXMLText() const;
  // Appends the configuration as a "UIConfig" element under `parent`; returns the element.
  KvUtXMLDOMNode WriteToNode(KvUtXMLDOMNode parent) const;
  const KvXmlResult& LastError() const { return lastError_; }

  bool operator==(const KvDtUIConfig& other) const { return *root_ == *other.root_; }

 private:
  void Adopt(std::unique_ptr<KvDtUIDirectory> root);
  std::unique_ptr<KvDtUIDirectory> root_;
  mutable KvXmlResult lastError_;
};
