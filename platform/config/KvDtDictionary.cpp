#include "platform/config/KvDtDictionary.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <tuple>

#include "platform/base/KvEncoding.h"
#include "platform/base/KvFile.h"
#include "platform/base/KvNumber.h"
#include "platform/base/KvStrings.h"

namespace {

struct TypeNames {
  const char* word;
  const char* label;
};

constexpr TypeNames kTypeNames[] = {
    {"Directory", ""},      {"Bool", "布尔型"},     {"Char", "字符型"},   {"Int", "整型"},
    {"Double", "浮点型"},   {"String", "字符串型"}, {"Option", "选择型"},
};
constexpr int kTypeCount = static_cast<int>(sizeof(kTypeNames) / sizeof(kTypeNames[0]));

std::vector<std::string> PathSteps(std::string_view path) {
  std::vector<std::string> steps;
  for (std::string& step : tav::Split(path, '\\'))
    if (!step.empty()) steps.push_back(std::move(step));
  return steps;
}

KvDtDictItem* FindChild(const KvDtDictItemList& list, std::string_view key) {
  for (const auto& child : list) {
    const std::string* childKey = child->FindAttribute("name");
    if (tav::EqualsNoCase(childKey ? std::string_view(*childKey) : std::string_view(), key)) return child.get();
  }
  return nullptr;
}

}  // namespace

std::string GetDictDataTypeLabel(int type) {
  return type >= 0 && type < kTypeCount ? kTypeNames[type].label : "";
}

int GetDictDataTypeFromLabel(std::string_view label) {
  for (int type = 1; type < kTypeCount; ++type)
    if (label == kTypeNames[type].label) return type;
  return -1;
}

std::string GetDictDataTypeWord(int type) { return type >= 0 && type < kTypeCount ? kTypeNames[type].word : ""; }

int GetDictDataTypeFromWord(std::string_view word) {
  for (int type = 0; type < kTypeCount; ++type)
    if (tav::EqualsNoCase(word, kTypeNames[type].word)) return type;
  return -1;
}

// ---------------------------------------------------------------------------------------------------
// KvDtDictItem

KvDtDictItem::KvDtDictItem(std::string_view key) {
  if (!key.empty()) SetKey(key);
}

KvDtDictItem::~KvDtDictItem() = default;

std::unique_ptr<KvDtDictItem> KvDtDictItem::Create(int type, std::string_view key) {
  switch (type) {
    case DICT_TYPE_DIRECTORY: return std::make_unique<KvDtDictionary>(key);
    case DICT_TYPE_BOOL: return std::make_unique<KvDtDictBoolItem>(key);
    case DICT_TYPE_CHAR: return std::make_unique<KvDtDictCharItem>(key);
    case DICT_TYPE_LONG: return std::make_unique<KvDtDictLongItem>(key);
    case DICT_TYPE_DOUBLE: return std::make_unique<KvDtDictDoubleItem>(key);
    case DICT_TYPE_STRING: return std::make_unique<KvDtDictStringItem>(key);
    case DICT_TYPE_OPTION: return std::make_unique<KvDtDictOptionItem>(key);
    default: return nullptr;
  }
}

bool KvDtDictItem::IsValid() const { return !GetKey().empty(); }

const std::string* KvDtDictItem::FindAttribute(std::string_view name) const {
  for (const auto& attribute : attributes_)
    if (attribute.first == name) return &attribute.second;
  return nullptr;
}

std::string KvDtDictItem::GetAttributeValue(std::string_view name) const {
  const std::string* value = FindAttribute(name);
  return value ? *value : std::string();
}

bool KvDtDictItem::HasAttribute(std::string_view name) const { return FindAttribute(name) != nullptr; }

void KvDtDictItem::SetAttributeValue(std::string_view name, std::string_view value) {
  if (name.empty()) return;
  for (auto& attribute : attributes_) {
    if (attribute.first == name) {
      attribute.second = value;
      return;
    }
  }
  attributes_.emplace_back(std::string(name), std::string(value));
}

bool KvDtDictItem::RemoveAttribute(std::string_view name) {
  for (auto it = attributes_.begin(); it != attributes_.end(); ++it) {
    if (it->first == name) {
      attributes_.erase(it);
      return true;
    }
  }
  return false;
}

int KvDtDictItem::GetAllAttribute(std::vector<std::string>& names, std::vector<std::string>& values) const {
  names.clear();
  values.clear();
  for (const auto& [name, value] : attributes_) {
    names.push_back(name);
    values.push_back(value);
  }
  return static_cast<int>(names.size());
}

std::string KvDtDictItem::GetPath() const {
  std::vector<std::string> keys;
  for (const KvDtDictItem* item = this; item && item->parent_; item = item->parent_) keys.push_back(item->GetKey());
  std::string path;
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    if (!path.empty()) path += '\\';
    path += *it;
  }
  return path;
}

bool KvDtDictItem::operator==(const KvDtDictItem& other) const {
  return GetDataType() == other.GetDataType() && attributes_ == other.attributes_ && SameValue(other);
}

// ---------------------------------------------------------------------------------------------------
// Value items


#define TAV_DICT_VALUE_ITEM(Class)                                              \
  std::unique_ptr<KvDtDictItem> Class::Clone() const {                          \
    auto copy = std::make_unique<Class>();                                      \
    CopyAttributesTo(*copy);                                                    \
    copy->CopyValue(*this);                                                     \
    return copy;                                                                \
  }                                                                             \
  bool Class::CopyValue(const KvDtDictItem& other) {                            \
    if (other.GetDataType() != GetDataType()) return false;                     \
    value_ = static_cast<const Class&>(other).value_;                           \
    return true;                                                                \
  }                                                                             \
  bool Class::SameValue(const KvDtDictItem& other) const {                      \
    return value_ == static_cast<const Class&>(other).value_;                   \
  }

TAV_DICT_VALUE_ITEM(KvDtDictBoolItem)
TAV_DICT_VALUE_ITEM(KvDtDictCharItem)
TAV_DICT_VALUE_ITEM(KvDtDictLongItem)
TAV_DICT_VALUE_ITEM(KvDtDictStringItem)
#undef TAV_DICT_VALUE_ITEM

bool KvDtDictBoolItem::SetValueText(std::string_view text) {
  if (tav::EqualsNoCase(text, "TRUE") || text == "1") {
    value_ = true;
    return true;
  }
  if (tav::EqualsNoCase(text, "FALSE") || text == "0") {
    value_ = false;
    return true;
  }
  return false;
}

std::string KvDtDictCharItem::GetValueText() const {
  std::string text;
  if (value_ != 0) tav::AppendUtf8(text, value_);
  return text;
}

bool KvDtDictCharItem::SetValueText(std::string_view text) {
  if (text.empty()) {
    value_ = 0;
    return true;
  }
  if (!tav::IsValidUtf8(text)) return false;
  size_t pos = 0;
  const char32_t cp = tav::NextCodePoint(text, pos);
  if (pos != text.size()) return false;
  value_ = cp;
  return true;
}

bool KvDtDictLongItem::SetValueText(std::string_view text) {
  long long value = 0;
  if (!tav::ParseLong(text, value)) return false;
  value_ = value;
  return true;
}

std::string KvDtDictDoubleItem::GetValueText() const { return tav::FormatShortest(value_); }

bool KvDtDictDoubleItem::SetValueText(std::string_view text) {
  double value = 0;
  if (!tav::ParseDouble(text, value)) return false;
  value_ = value;
  return true;
}

std::unique_ptr<KvDtDictItem> KvDtDictDoubleItem::Clone() const {
  auto copy = std::make_unique<KvDtDictDoubleItem>();
  CopyAttributesTo(*copy);
  copy->value_ = value_;
  return copy;
}

bool KvDtDictDoubleItem::CopyValue(const KvDtDictItem& other) {
  if (other.GetDataType() != GetDataType()) return false;
  value_ = static_cast<const KvDtDictDoubleItem&>(other).value_;
  return true;
}

bool KvDtDictDoubleItem::SameValue(const KvDtDictItem& other) const {
  const double theirs = static_cast<const KvDtDictDoubleItem&>(other).value_;
  // Two NaNs are the same stored value; 0 and -0 are written alike and count as equal.
  return value_ == theirs || (value_ != value_ && theirs != theirs);
}

bool KvDtDictStringItem::SetValueText(std::string_view text) {
  value_ = text;
  return true;
}

// ---------------------------------------------------------------------------------------------------
// KvDtDictOptionItem

bool KvDtDictOptionItem::IsValid() const {
  return KvDtDictItem::IsValid() && selected_ >= -1 && selected_ < GetOptionCount();
}

std::unique_ptr<KvDtDictItem> KvDtDictOptionItem::Clone() const {
  auto copy = std::make_unique<KvDtDictOptionItem>();
  CopyAttributesTo(*copy);
  copy->CopyValue(*this);
  return copy;
}

bool KvDtDictOptionItem::CopyValue(const KvDtDictItem& other) {
  if (other.GetDataType() != GetDataType()) return false;
  const auto& source = static_cast<const KvDtDictOptionItem&>(other);
  options_ = source.options_;
  selected_ = source.selected_;
  return true;
}

bool KvDtDictOptionItem::SameValue(const KvDtDictItem& other) const {
  const auto& theirs = static_cast<const KvDtDictOptionItem&>(other);
  return options_ == theirs.options_ && selected_ == theirs.selected_;
}

std::string KvDtDictOptionItem::GetOption(int index) const {
  return index >= 0 && index < GetOptionCount() ? options_[static_cast<size_t>(index)] : std::string();
}

int KvDtDictOptionItem::AddOption(std::string_view text) {
  options_.emplace_back(text);
  return GetOptionCount() - 1;
}

void KvDtDictOptionItem::ClearOptions() {
  options_.clear();
  selected_ = -1;
}

bool KvDtDictOptionItem::SetSelIndex(int index) {
  selected_ = index >= 0 && index < GetOptionCount() ? index : -1;
  return selected_ >= 0;
}

bool KvDtDictOptionItem::SetSelString(std::string_view text) {
  for (int i = 0; i < GetOptionCount(); ++i) {
    if (options_[static_cast<size_t>(i)] == text) {
      selected_ = i;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------------------------------
// KvDtDictItemList

KvDtDictItem* KvDtDictItemList::GetAt(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<size_t>(index)].get() : nullptr;
}

int KvDtDictItemList::IndexOf(const KvDtDictItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

KvDtDictItem* KvDtDictItemList::Append(std::unique_ptr<KvDtDictItem> item) {
  return Insert(GetCount(), std::move(item));
}

KvDtDictItem* KvDtDictItemList::Insert(int index, std::unique_ptr<KvDtDictItem> item) {
  if (!item) return nullptr;
  if (index < 0 || index > GetCount()) index = GetCount();
  item->parent_ = owner_;
  KvDtDictItem* raw = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  return raw;
}

std::unique_ptr<KvDtDictItem> KvDtDictItemList::Detach(const KvDtDictItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  std::unique_ptr<KvDtDictItem> taken = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  taken->parent_ = nullptr;
  return taken;
}

bool KvDtDictItemList::Remove(const KvDtDictItem* item) { return Detach(item) != nullptr; }

void KvDtDictItemList::Reset() { items_.clear(); }

// ---------------------------------------------------------------------------------------------------
// KvDtDictionary

KvDtDictionary::KvDtDictionary(std::string_view key) : KvDtDictItem(key), items_(this) {}
KvDtDictionary::~KvDtDictionary() = default;

bool KvDtDictionary::IsValid() const { return GetParent() == nullptr || KvDtDictItem::IsValid(); }

std::unique_ptr<KvDtDictionary> KvDtDictionary::CloneDict() const {
  auto copy = std::make_unique<KvDtDictionary>();
  CopyAttributesTo(*copy);
  copy->CopyValue(*this);
  return copy;
}

std::unique_ptr<KvDtDictItem> KvDtDictionary::Clone() const { return CloneDict(); }

bool KvDtDictionary::CopyValue(const KvDtDictItem& other) {
  if (other.GetDataType() != DICT_TYPE_DIRECTORY) return false;
  if (&other == this) return true;
  const auto& source = static_cast<const KvDtDictionary&>(other);
  // Copy first: `source` may live inside this tree.
  std::vector<std::unique_ptr<KvDtDictItem>> copies;
  for (const auto& child : source.items_) copies.push_back(child->Clone());
  items_.Reset();
  for (auto& copy : copies) items_.Append(std::move(copy));
  return true;
}

void KvDtDictionary::Assign(const KvDtDictionary& other) {
  if (&other == this) return;
  auto copy = other.CloneDict();
  Swap(*copy);
}

void KvDtDictionary::Swap(KvDtDictionary& other) {
  SwapAttributes(other);
  items_.items_.swap(other.items_.items_);
  for (auto& child : items_.items_) child->parent_ = this;
  for (auto& child : other.items_.items_) child->parent_ = &other;
}

bool KvDtDictionary::SameValue(const KvDtDictItem& other) const {
  const auto& theirs = static_cast<const KvDtDictionary&>(other);
  if (GetCount() != theirs.GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (*GetItem(i) != *theirs.GetItem(i)) return false;
  return true;
}

KvDtDictItem* KvDtDictionary::FindItem(std::string_view path) const {
  const std::vector<std::string> steps = PathSteps(path);
  if (steps.empty()) return nullptr;
  const KvDtDictionary* dir = this;
  KvDtDictItem* item = nullptr;
  for (size_t i = 0; i < steps.size(); ++i) {
    item = FindChild(dir->items_, steps[i]);
    if (!item) return nullptr;
    if (i + 1 < steps.size()) {
      if (!item->IsDict()) return nullptr;
      dir = static_cast<const KvDtDictionary*>(item);
    }
  }
  return item;
}

KvDtDictionary* KvDtDictionary::FindDict(std::string_view path) const {
  KvDtDictItem* item = FindItem(path);
  return item && item->IsDict() ? static_cast<KvDtDictionary*>(item) : nullptr;
}

KvDtDictItem* KvDtDictionary::FindOrAddItem(std::string_view path, int type) {
  if (type < 0 || type >= kTypeCount) return nullptr;
  const std::vector<std::string> steps = PathSteps(path);
  if (steps.empty()) return nullptr;
  // Check the whole way first so that a refused call adds nothing.
  KvDtDictionary* dir = this;
  size_t existing = 0;
  for (; existing < steps.size(); ++existing) {
    KvDtDictItem* item = FindChild(dir->items_, steps[existing]);
    if (!item) break;
    if (existing + 1 == steps.size()) return item->GetDataType() == type ? item : nullptr;
    if (!item->IsDict()) return nullptr;
    dir = static_cast<KvDtDictionary*>(item);
  }
  for (size_t i = existing; i + 1 < steps.size(); ++i)
    dir = static_cast<KvDtDictionary*>(dir->AppendItem(std::make_unique<KvDtDictionary>(steps[i])));
  return dir->AppendItem(KvDtDictItem::Create(type, steps.back()));
}

KvDtDictionary* KvDtDictionary::FindOrAddDict(std::string_view path) {
  return static_cast<KvDtDictionary*>(FindOrAddItem(path, DICT_TYPE_DIRECTORY));
}

KvDtDictItem* KvDtDictionary::AppendItem(std::unique_ptr<KvDtDictItem> item) { return items_.Append(std::move(item)); }

bool KvDtDictionary::RemoveItem(const KvDtDictItem* item) { return items_.Remove(item); }

bool KvDtDictionary::RemoveItem(std::string_view path) {
  KvDtDictItem* item = FindItem(path);
  return item && item->GetParent() && item->GetParent()->RemoveItem(item);
}

namespace {
template <typename Item>
const Item* ItemOfType(const KvDtDictionary& dict, std::string_view path, DictDataType type) {
  const KvDtDictItem* item = dict.FindItem(path);
  return item && item->GetDataType() == type ? static_cast<const Item*>(item) : nullptr;
}
}  // namespace

bool KvDtDictionary::GetValue(std::string_view path, bool& out) const {
  const auto* item = ItemOfType<KvDtDictBoolItem>(*this, path, DICT_TYPE_BOOL);
  if (item) out = item->GetValue();
  return item != nullptr;
}

bool KvDtDictionary::GetValue(std::string_view path, char32_t& out) const {
  const auto* item = ItemOfType<KvDtDictCharItem>(*this, path, DICT_TYPE_CHAR);
  if (item) out = item->GetValue();
  return item != nullptr;
}

bool KvDtDictionary::GetValue(std::string_view path, int& out) const {
  const auto* item = ItemOfType<KvDtDictLongItem>(*this, path, DICT_TYPE_LONG);
  if (!item || item->GetValue() < INT_MIN || item->GetValue() > INT_MAX) return false;
  out = static_cast<int>(item->GetValue());
  return true;
}

bool KvDtDictionary::GetValue(std::string_view path, long& out) const {
  const auto* item = ItemOfType<KvDtDictLongItem>(*this, path, DICT_TYPE_LONG);
  if (!item || item->GetValue() < LONG_MIN || item->GetValue() > LONG_MAX) return false;
  out = static_cast<long>(item->GetValue());
  return true;
}

bool KvDtDictionary::GetValue(std::string_view path, long long& out) const {
  const auto* item = ItemOfType<KvDtDictLongItem>(*this, path, DICT_TYPE_LONG);
  if (item) out = item->GetValue();
  return item != nullptr;
}

bool KvDtDictionary::GetValue(std::string_view path, double& out) const {
  const auto* item = ItemOfType<KvDtDictDoubleItem>(*this, path, DICT_TYPE_DOUBLE);
  if (item) out = item->GetValue();
  return item != nullptr;
}

bool KvDtDictionary::GetValue(std::string_view path, std::string& out) const {
  const KvDtDictItem* item = FindItem(path);
  if (!item) return false;
  if (item->GetDataType() == DICT_TYPE_STRING) {
    out = static_cast<const KvDtDictStringItem*>(item)->GetValue();
    return true;
  }
  if (item->GetDataType() == DICT_TYPE_OPTION) {
    out = static_cast<const KvDtDictOptionItem*>(item)->GetSelString();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------------
// XML

struct KvDtDictXmlAccess {
  static void ReserveChildren(KvDtDictionary& dict, size_t count) {
    auto& items = dict.GetItemList().items_;
    items.reserve(items.size() + count);
  }

  // The element's attributes in order, appended to the item's (a repeated name keeps its first place
  // and takes the later value, as SetAttributeValue does).
  static void ReadAttributes(pugi::xml_node element, KvDtDictItem& item) {
    auto& list = item.attributes_;
    size_t count = 0;
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute())
      ++count;
    list.reserve(list.size() + count);
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
      const std::string_view name = attribute.name();
      if (name.empty()) continue;
      bool repeated = false;
      for (auto& existing : list) {
        if (existing.first == name) {
          existing.second = attribute.value();
          repeated = true;
          break;
        }
      }
      if (!repeated) list.emplace_back(std::piecewise_construct, std::forward_as_tuple(name),
                                       std::forward_as_tuple(attribute.value()));
    }
  }
};

namespace {

class DictReader {
 public:
  DictReader(const KvUtXMLDOMFile* source, std::string fileName) : source_(source), file_(std::move(fileName)) {}

  bool ReadDirectory(pugi::xml_node element, KvDtDictionary& dict) {
    ReadAttributes(element, dict);
    size_t elements = 0;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
      if (child.type() == pugi::node_element) ++elements;
    KvDtDictXmlAccess::ReserveChildren(dict, elements);
    for (pugi::xml_node child : element.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        if (!tav::Trim(child.value()).empty()) return Fail(child, "a Directory holds no text");
        continue;
      }
      if (child.type() != pugi::node_element) continue;
      const int type = TypeOfElement(child.name());
      if (type < 0) return Fail(child, std::string("unknown item type <") + child.name() + ">");
      KvDtDictItem* item = dict.AppendItem(KvDtDictItem::Create(type));
      if (!ReadItem(child, *item)) return false;
    }
    return true;
  }

  const KvXmlResult& Result() const { return result_; }

 private:
  // GetDictDataTypeFromWord, trying the words as written first.
  static int TypeOfElement(const char* name) {
    // The words differ in their first letters but for "Directory" and "Double".
    for (int type = 0; type < kTypeCount; ++type)
      if (name[0] == kTypeNames[type].word[0] && std::strcmp(name, kTypeNames[type].word) == 0) return type;
    return GetDictDataTypeFromWord(name);
  }

  bool ReadItem(pugi::xml_node element, KvDtDictItem& item) {
    if (item.IsDict()) return ReadDirectory(element, static_cast<KvDtDictionary&>(item));
    ReadAttributes(element, item);
    if (item.GetDataType() == DICT_TYPE_OPTION) return ReadOption(element, static_cast<KvDtDictOptionItem&>(item));
    // The usual value is one text child, read where the parser left it; several are joined.
    std::string_view text;
    std::string joined;
    int parts = 0;
    for (pugi::xml_node child : element.children()) {
      if (child.type() == pugi::node_element)
        return Fail(child, "a " + GetDictDataTypeWord(item.GetDataType()) + " item holds no elements");
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        if (++parts == 1) {
          text = child.value();
          continue;
        }
        if (parts == 2) joined.assign(text);
        joined += child.value();
        text = joined;
      }
    }
    if (!item.SetValueText(text))
      return Fail(element, "'" + std::string(text) + "' is not a " + GetDictDataTypeWord(item.GetDataType()) + " value");
    return true;
  }

  bool ReadOption(pugi::xml_node element, KvDtDictOptionItem& item) {
    int selected = -1;
    for (pugi::xml_node child : element.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        if (!tav::Trim(child.value()).empty()) return Fail(child, "an Option holds Choice elements, not text");
        continue;
      }
      if (child.type() != pugi::node_element) continue;
      if (std::strcmp(child.name(), "Choice") != 0)
        return Fail(child, std::string("<") + child.name() + "> in an Option; expected <Choice>");
      std::string text;
      for (pugi::xml_node part : child.children())
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata) text += part.value();
      const int index = item.AddOption(text);
      if (pugi::xml_attribute flag = child.attribute("selected")) {
        KvDtDictBoolItem reader;
        if (!reader.SetValueText(flag.value()))
          return Fail(child, std::string("selected=\"") + flag.value() + "\" is not TRUE or FALSE");
        if (reader.GetValue() && selected < 0) selected = index;
      }
    }
    item.SetSelIndex(selected);
    return true;
  }

  static void ReadAttributes(pugi::xml_node element, KvDtDictItem& item) { KvDtDictXmlAccess::ReadAttributes(element, item); }

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

void WriteItem(pugi::xml_node parent, const KvDtDictItem& item) {
  pugi::xml_node element = parent.append_child(GetDictDataTypeWord(item.GetDataType()).c_str());
  for (const auto& [name, value] : item.GetAttributes())
    element.append_attribute(name.c_str()).set_value(value.c_str());
  switch (item.GetDataType()) {
    case DICT_TYPE_DIRECTORY:
      for (const auto& child : static_cast<const KvDtDictionary&>(item).GetItemList()) WriteItem(element, *child);
      break;
    case DICT_TYPE_OPTION: {
      const auto& option = static_cast<const KvDtDictOptionItem&>(item);
      for (int i = 0; i < option.GetOptionCount(); ++i) {
        pugi::xml_node choice = element.append_child("Choice");
        if (i == option.GetSelIndex()) choice.append_attribute("selected").set_value("TRUE");
        const std::string text = option.GetOption(i);
        if (!text.empty()) choice.append_child(pugi::node_pcdata).set_value(text.c_str());
      }
      break;
    }
    default: {
      const std::string text = item.GetValueText();
      if (!text.empty()) element.append_child(pugi::node_pcdata).set_value(text.c_str());
    }
  }
}

// The dictionary's XML text, written straight into one string in the form pugixml's indented save
// gives the same tree (two-space indentation, " />" for empty elements, a text child inline, the same
// escapes), so that files read the same whichever way they were written. Texts end at a NUL byte as
// they do once stored in an XML node.
class DictTextWriter {
 public:
  explicit DictTextWriter(std::string& out) : out_(out) {}

  void Document(const KvDtDictionary& dict) {
    out_ += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    Item(dict, 0);
  }

 private:
  static std::string_view CText(const std::string& text) { return std::string_view(text.c_str()); }

  void Indent(int depth) { out_.append(static_cast<size_t>(depth) * 2, ' '); }

  // `attribute` selects the escapes of an attribute value (quotes and the line breaks and tab too)
  // instead of those of element text (">" too).
  void Escaped(std::string_view text, bool attribute) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      if (c > '>') continue;  // nothing above '>' is escaped
      const char* escape = nullptr;
      char numeric[6];
      if (c == '&') escape = "&amp;";
      else if (c == '<') escape = "&lt;";
      else if (c == '>' && !attribute) escape = "&gt;";
      else if (c == '"' && attribute) escape = "&quot;";
      else if (c < 32 && (attribute || (c != '\t' && c != '\n' && c != '\r'))) {
        numeric[0] = '&';
        numeric[1] = '#';
        numeric[2] = static_cast<char>('0' + c / 10);
        numeric[3] = static_cast<char>('0' + c % 10);
        numeric[4] = ';';
        numeric[5] = 0;
        escape = numeric;
      }
      if (!escape) continue;
      out_.append(text.data() + start, i - start);
      out_ += escape;
      start = i + 1;
    }
    out_.append(text.data() + start, text.size() - start);
  }

  void Open(std::string_view word, const KvDtDictItem& item, int depth) {
    Indent(depth);
    out_ += '<';
    out_ += word;
    for (const auto& [name, value] : item.GetAttributes()) {
      out_ += ' ';
      const std::string_view key = CText(name);
      out_ += key.empty() ? std::string_view(":anonymous") : key;
      out_ += "=\"";
      Escaped(CText(value), true);
      out_ += '"';
    }
  }

  // Ends an element whose only content is `text` (none when empty).
  void TextAndClose(std::string_view word, const std::string& text) {
    if (text.empty()) {
      out_ += " />\n";
      return;
    }
    out_ += '>';
    Escaped(CText(text), false);
    out_ += "</";
    out_ += word;
    out_ += ">\n";
  }

  void Close(std::string_view word, int depth) {
    Indent(depth);
    out_ += "</";
    out_ += word;
    out_ += ">\n";
  }

  void Item(const KvDtDictItem& item, int depth) {
    static const std::string kWords[] = {GetDictDataTypeWord(0), GetDictDataTypeWord(1), GetDictDataTypeWord(2),
                                         GetDictDataTypeWord(3), GetDictDataTypeWord(4), GetDictDataTypeWord(5),
                                         GetDictDataTypeWord(6)};
    const int type = item.GetDataType();
    const std::string_view word = type >= 0 && type < kTypeCount ? std::string_view(kWords[type]) : std::string_view();
    Open(word, item, depth);
    switch (type) {
      case DICT_TYPE_DIRECTORY: {
        const auto& list = static_cast<const KvDtDictionary&>(item).GetItemList();
        if (list.GetCount() == 0) {
          out_ += " />\n";
          break;
        }
        out_ += ">\n";
        for (const auto& child : list) Item(*child, depth + 1);
        Close(word, depth);
        break;
      }
      case DICT_TYPE_OPTION: {
        const auto& option = static_cast<const KvDtDictOptionItem&>(item);
        if (option.GetOptionCount() == 0) {
          out_ += " />\n";
          break;
        }
        out_ += ">\n";
        for (int i = 0; i < option.GetOptionCount(); ++i) {
          Indent(depth + 1);
          out_ += "<Choice";
          if (i == option.GetSelIndex()) out_ += " selected=\"TRUE\"";
          TextAndClose("Choice", option.GetOption(i));
        }
        Close(word, depth);
        break;
      }
      case DICT_TYPE_STRING: TextAndClose(word, static_cast<const KvDtDictStringItem&>(item).GetValue()); break;
      default: TextAndClose(word, item.GetValueText());
    }
  }

  std::string& out_;
};

std::string DictionaryText(const KvDtDictionary& dict) {
  std::string text;
  text.reserve(1 << 16);
  DictTextWriter(text).Document(dict);
  return text;
}

}  // namespace

bool KvDtDictionary::ReadFromXML(const std::string& file) {
  KvUtXMLDOMFile doc;
  if (!doc.Open(file)) {
    lastError_ = doc.LastError();
    return false;
  }
  return ReadFromNode(doc.GetRoot(), &doc);
}

bool KvDtDictionary::ReadFromXMLText(std::string_view text, const std::string& name) {
  KvUtXMLDOMFile doc;
  if (!doc.OpenText(text, name)) {
    lastError_ = doc.LastError();
    return false;
  }
  return ReadFromNode(doc.GetRoot(), &doc);
}

bool KvDtDictionary::ReadFromNode(const KvUtXMLDOMNode& element, const KvUtXMLDOMFile* source) {
  lastError_ = KvXmlResult();
  const std::string fileName = source ? (source->GetPath().empty() ? source->LastError().file : source->GetPath())
                                      : std::string();
  if (!element) {
    lastError_.Fail(fileName, 0, 0, "no element to read a dictionary from");
    return false;
  }
  KvDtDictionary fresh;
  DictReader reader(source, fileName);
  if (!reader.ReadDirectory(element.Native(), fresh)) {
    lastError_ = reader.Result();
    return false;
  }
  Swap(fresh);
  return true;
}

bool KvDtDictionary::SaveToXML(const std::string& file) const {
  lastError_ = KvXmlResult();
  const std::string text = DictionaryText(*this);
  std::string error;
  if (!tav::WriteFileAtomicWith(
          file, [&text](const tav::ChunkSink& sink) { return sink(text); }, &error)) {
    lastError_.Fail(file, 0, 0, "cannot save: " + error);
    return false;
  }
  return true;
}

std::string KvDtDictionary::ToXMLText() const { return DictionaryText(*this); }

KvUtXMLDOMNode KvDtDictionary::WriteToNode(KvUtXMLDOMNode parent) const {
  if (!parent) return {};
  WriteItem(parent.Native(), *this);
  return KvUtXMLDOMNode(parent.Native().last_child());
}
