#include "platform/config/KvDtUIConfig.h"

#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/base/KvStrings.h"
#include "platform/config/KvConfigFiles.h"

namespace {

using Maker = std::function<std::unique_ptr<KvDtUIItem>()>;

template <typename T>
Maker MakerOf() {
  return [] { return std::make_unique<T>(); };
}

const std::vector<std::pair<std::string, Maker>>& Kinds() {
  static const std::vector<std::pair<std::string, Maker>> kinds = {
      {"Directory", MakerOf<KvDtUIDirectory>()},   {"Reference", MakerOf<KvDtUIReference>()},
      {"Separator", MakerOf<KvDtUISeparator>()},   {"MenuItem", MakerOf<KvDtUIMenuItem>()},
      {"MenuDef", MakerOf<KvDtUIMenuDef>()},       {"UIItem", MakerOf<KvDtUIItem>()},
      {"Control", MakerOf<KvDtUIControl>()},       {"CommandDef", MakerOf<KvDtUICommandDef>()},
      {"SwitchStatus", MakerOf<KvDtUISwitchStatus>()}, {"SwitchDef", MakerOf<KvDtUISwitchDef>()},
      {"ShortCut", MakerOf<KvDtUIShortCut>()},     {"VenoDictionary", MakerOf<KvDtUIDictionary>()},
  };
  return kinds;
}

constexpr const char* kDictionaryElement = "Dictionary";
constexpr const char* kRootElement = "UIConfig";

}  // namespace

// ---------------------------------------------------------------------------------------------------
// KvDtUIItem

KvDtUIItem::KvDtUIItem() = default;
KvDtUIItem::~KvDtUIItem() = default;

std::unique_ptr<KvDtUIItem> KvDtUIItem::Create(std::string_view kind) {
  for (const auto& [word, make] : Kinds())
    if (tav::EqualsNoCase(word, kind)) return make();
  return nullptr;
}

const std::vector<std::string>& KvDtUIItem::KindWords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> list;
    for (const auto& kind : Kinds()) list.push_back(kind.first);
    return list;
  }();
  return words;
}

bool KvDtUIItem::IsKind(std::string_view kind) const { return tav::EqualsNoCase(GetKindWord(), kind); }

std::vector<std::pair<std::string, std::string>> KvDtUIItem::GetFields() const {
  std::vector<std::pair<std::string, std::string>> list;
  for (const auto& [name, value] : const_cast<KvDtUIItem*>(this)->Fields()) list.emplace_back(name, *value);
  return list;
}

std::string KvDtUIItem::GetField(std::string_view name) const {
  if (name == "name") return name_;
  if (name == "localname") return caption_;
  if (name == "description") return description_;
  for (const auto& [field, value] : const_cast<KvDtUIItem*>(this)->Fields())
    if (name == field) return *value;
  for (const auto& [key, value] : extra_)
    if (key == name) return value;
  return {};
}

void KvDtUIItem::SetField(std::string_view name, std::string_view value) {
  if (name.empty()) return;
  if (name == "name") return SetName(value);
  if (name == "localname") return SetCaption(value);
  if (name == "description") return SetDescription(value);
  for (const auto& [field, member] : Fields()) {
    if (name == field) {
      *member = value;
      return;
    }
  }
  for (auto& [key, old] : extra_) {
    if (key == name) {
      old = value;
      return;
    }
  }
  extra_.emplace_back(std::string(name), std::string(value));
}

KvDtUIItem* KvDtUIItem::GetChild(int index) const {
  return index >= 0 && index < GetChildCount() ? children_[static_cast<size_t>(index)].get() : nullptr;
}

KvDtUIItem* KvDtUIItem::AppendChild(std::unique_ptr<KvDtUIItem> child) {
  if (!child || !HoldsChildren()) return nullptr;
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

bool KvDtUIItem::RemoveChild(const KvDtUIItem* child) {
  for (auto it = children_.begin(); it != children_.end(); ++it) {
    if (it->get() == child) {
      children_.erase(it);
      return true;
    }
  }
  return false;
}

KvDtUIItem* KvDtUIItem::FindNamedItem(std::string_view name) const {
  if (name.empty()) return nullptr;
  if (tav::EqualsNoCase(name_, name)) return const_cast<KvDtUIItem*>(this);
  for (const auto& child : children_)
    if (KvDtUIItem* found = child->FindNamedItem(name)) return found;
  return nullptr;
}

KvDtUIItem* KvDtUIItem::FindKind(std::string_view kind) const {
  if (IsKind(kind)) return const_cast<KvDtUIItem*>(this);
  for (const auto& child : children_)
    if (KvDtUIItem* found = child->FindKind(kind)) return found;
  return nullptr;
}

bool KvDtUIItem::CopyFrom(const KvDtUIItem& source) {
  if (!IsKind(source.GetKindWord())) return false;
  if (&source == this) return true;
  // Build the new children first: `source` may be one of this item's descendants.
  std::vector<std::unique_ptr<KvDtUIItem>> copies;
  if (HoldsChildren()) {
    for (const auto& child : source.children_) {
      std::unique_ptr<KvDtUIItem> copy = Create(child->GetKindWord());
      if (!copy) continue;
      copy->CopyFrom(*child);
      copies.push_back(std::move(copy));
    }
  }
  CopyParticular(source);
  name_ = source.name_;
  caption_ = source.caption_;
  description_ = source.description_;
  const auto theirs = source.GetFields();
  auto mine = Fields();
  for (size_t i = 0; i < mine.size() && i < theirs.size(); ++i) *mine[i].second = theirs[i].second;
  extra_ = source.extra_;
  if (HoldsChildren()) {
    children_.clear();
    for (auto& copy : copies) AppendChild(std::move(copy));
  }
  return true;
}

std::unique_ptr<KvDtUIItem> KvDtUIItem::Clone() const {
  std::unique_ptr<KvDtUIItem> copy = Create(GetKindWord());
  if (copy) copy->CopyFrom(*this);
  return copy;
}

bool KvDtUIItem::operator==(const KvDtUIItem& other) const {
  if (GetKindWord() != other.GetKindWord() || name_ != other.name_ || caption_ != other.caption_ ||
      description_ != other.description_ || GetFields() != other.GetFields() || extra_ != other.extra_ ||
      children_.size() != other.children_.size() || !SameParticular(other))
    return false;
  for (size_t i = 0; i < children_.size(); ++i)
    if (*children_[i] != *other.children_[i]) return false;
  return true;
}

bool KvDtUIDictionary::CopyParticular(const KvDtUIItem& source) {
  dictionary_.Assign(static_cast<const KvDtUIDictionary&>(source).dictionary_);
  return true;
}

bool KvDtUIDictionary::SameParticular(const KvDtUIItem& other) const {
  return dictionary_ == static_cast<const KvDtUIDictionary&>(other).dictionary_;
}

// ---------------------------------------------------------------------------------------------------
// XML

namespace {

class UIReader {
 public:
  UIReader(const KvUtXMLDOMFile* source, std::string file) : source_(source), file_(std::move(file)) {}

  bool ReadItem(pugi::xml_node element, KvDtUIItem& item) {
    for (pugi::xml_attribute attribute : element.attributes()) item.SetField(attribute.name(), attribute.value());
    bool haveDictionary = false;
    for (pugi::xml_node child : element.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        if (!tav::Trim(child.value()).empty()) return Fail(child, "a " + item.GetKindWord() + " item holds no text");
        continue;
      }
      if (child.type() != pugi::node_element) continue;
      if (item.IsKind("VenoDictionary") && std::strcmp(child.name(), kDictionaryElement) == 0) {
        if (haveDictionary) return Fail(child, "a second <Dictionary> in one VenoDictionary");
        haveDictionary = true;
        KvDtDictionary& dict = static_cast<KvDtUIDictionary&>(item).GetDictionary();
        if (!dict.ReadFromNode(KvUtXMLDOMNode(child), source_)) {
          result_ = dict.LastError();
          return false;
        }
        continue;
      }
      if (!item.HoldsChildren())
        return Fail(child, "a " + item.GetKindWord() + " item holds no children (found <" + child.name() + ">)");
      std::unique_ptr<KvDtUIItem> made = KvDtUIItem::Create(child.name());
      if (!made) return Fail(child, std::string("unknown UI item kind <") + child.name() + ">");
      KvDtUIItem* added = item.AppendChild(std::move(made));
      if (!ReadItem(child, *added)) return false;
    }
    return true;
  }

  const KvXmlResult& Result() const { return result_; }

 private:
  bool Fail(pugi::xml_node node, const std::string& what) {
    int line = 0, column = 0;
    if (source_) {
      const std::string position = source_->PositionOf(KvUtXMLDOMNode(node));
      if (!position.empty()) std::sscanf(position.c_str(), "%d:%d", &line, &column);
    }
    result_.Fail(file_, line, column, what);
    return false;
  }

  const KvUtXMLDOMFile* source_;
  std::string file_;
  KvXmlResult result_;
};

void WriteItem(pugi::xml_node element, const KvDtUIItem& item) {
  auto put = [&element](const std::string& name, const std::string& value) {
    if (!value.empty()) element.append_attribute(name.c_str()).set_value(value.c_str());
  };
  put("name", item.GetName());
  put("localname", item.GetCaption());
  put("description", item.GetDescription());
  for (const auto& [name, value] : item.GetFields()) put(name, value);
  for (const auto& [name, value] : item.GetExtraAttributes()) element.append_attribute(name.c_str()).set_value(value.c_str());
  if (item.IsKind("VenoDictionary")) {
    const KvDtDictionary& dict = static_cast<const KvDtUIDictionary&>(item).GetDictionary();
    if (dict.GetCount() > 0 || !dict.GetAttributes().empty())
      dict.WriteToNode(KvUtXMLDOMNode(element)).Native().set_name(kDictionaryElement);
  }
  for (int i = 0; i < item.GetChildCount(); ++i) {
    const KvDtUIItem& child = *item.GetChild(i);
    WriteItem(element.append_child(child.GetKindWord().c_str()), child);
  }
}

void BuildDocument(const KvDtUIDirectory& root, pugi::xml_document& doc) {
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value("utf-8");
  WriteItem(doc.append_child(kRootElement), root);
}

}  // namespace

KvDtUIConfig::KvDtUIConfig() : root_(std::make_unique<KvDtUIDirectory>()) {}
KvDtUIConfig::~KvDtUIConfig() {
  if (this == &g_dbCfgUI) g_pUiDictionary = nullptr;
}

void KvDtUIConfig::Adopt(std::unique_ptr<KvDtUIDirectory> root) {
  root_ = std::move(root);
  if (this == &g_dbCfgUI) g_pUiDictionary = FindDictionaryItem();
}

void KvDtUIConfig::Reset() { Adopt(std::make_unique<KvDtUIDirectory>()); }

KvDtUIItem* KvDtUIConfig::FindNamedItem(std::string_view name) const { return root_->FindNamedItem(name); }

KvDtUICommandDef* KvDtUIConfig::FindCommandDef(std::string_view command) const {
  std::function<KvDtUICommandDef*(const KvDtUIItem&)> walk = [&](const KvDtUIItem& item) -> KvDtUICommandDef* {
    if (item.IsKind("CommandDef") && tav::EqualsNoCase(static_cast<const KvDtUICommandDef&>(item).GetCommand(), command))
      return const_cast<KvDtUICommandDef*>(static_cast<const KvDtUICommandDef*>(&item));
    for (int i = 0; i < item.GetChildCount(); ++i)
      if (KvDtUICommandDef* found = walk(*item.GetChild(i))) return found;
    return nullptr;
  };
  return command.empty() ? nullptr : walk(*root_);
}

KvDtUIDictionary* KvDtUIConfig::FindDictionaryItem() const {
  return static_cast<KvDtUIDictionary*>(root_->FindKind("VenoDictionary"));
}

bool KvDtUIConfig::ReadFromXML(const std::string& file) {
  KvUtXMLDOMFile doc;
  if (!doc.Open(file)) {
    lastError_ = doc.LastError();
    return false;
  }
  return ReadFromNode(doc.GetRoot(), &doc);
}

bool KvDtUIConfig::ReadFromXMLText(std::string_view text, const std::string& name) {
  KvUtXMLDOMFile doc;
  if (!doc.OpenText(text, name)) {
    lastError_ = doc.LastError();
    return false;
  }
  return ReadFromNode(doc.GetRoot(), &doc);
}

bool KvDtUIConfig::ReadFromNode(const KvUtXMLDOMNode& element, const KvUtXMLDOMFile* source) {
  lastError_ = KvXmlResult();
  const std::string fileName =
      source ? (source->GetPath().empty() ? source->LastError().file : source->GetPath()) : std::string();
  if (!element) {
    lastError_.Fail(fileName, 0, 0, "no element to read a UI configuration from");
    return false;
  }
  auto fresh = std::make_unique<KvDtUIDirectory>();
  UIReader reader(source, fileName);
  if (!reader.ReadItem(element.Native(), *fresh)) {
    lastError_ = reader.Result();
    return false;
  }
  Adopt(std::move(fresh));
  return true;
}

bool KvDtUIConfig::SaveToXML(const std::string& file) const {
  lastError_ = KvXmlResult();
  pugi::xml_document doc;
  BuildDocument(*root_, doc);
  std::string error;
  if (!tav::SaveXmlDocumentAtomic(doc, file, &error)) {
    lastError_.Fail(file, 0, 0, "cannot save: " + error);
    return false;
  }
  return true;
}

std::string KvDtUIConfig::ToXMLText() const {
  pugi::xml_document doc;
  BuildDocument(*root_, doc);
  std::string text;
  struct Writer : pugi::xml_writer {
    std::string& out;
    explicit Writer(std::string& o) : out(o) {}
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
  } writer(text);
  doc.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
  return text;
}

KvUtXMLDOMNode KvDtUIConfig::WriteToNode(KvUtXMLDOMNode parent) const {
  if (!parent) return {};
  pugi::xml_node element = parent.Native().append_child(kRootElement);
  WriteItem(element, *root_);
  return KvUtXMLDOMNode(element);
}
