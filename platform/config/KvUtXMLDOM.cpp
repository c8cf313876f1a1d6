#include "platform/config/KvUtXMLDOM.h"

#include <sstream>

#include "platform/base/KvEncoding.h"
#include "platform/base/KvFile.h"
#include "platform/base/KvStrings.h"

void KvXmlResult::Fail(std::string fileName, int atLine, int atColumn, std::string_view what) {
  ok = false;
  file = std::move(fileName);
  line = atLine;
  column = atColumn;
  message = file.empty() ? std::string("<text>") : file;
  if (line > 0) message += ":" + std::to_string(line) + ":" + std::to_string(column);
  message += ": ";
  message += what;
}

namespace tav {

std::pair<int, int> LineColumnOf(std::string_view text, size_t offset) {
  if (offset > text.size()) offset = text.size();
  int line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  int column = 1;
  if (lineStart == 0 && text.substr(0, 3) == "\xEF\xBB\xBF" && offset >= 3) lineStart = 3;  // byte order mark
  for (size_t pos = lineStart; pos < offset;) {
    NextCodePoint(text, pos);
    ++column;
  }
  return {line, column};
}

namespace {

// True when the XML declaration at the start of `bytes` names a Chinese national encoding.
bool DeclaresGbk(std::string_view bytes) {
  const std::string head = ToLowerAscii(bytes.substr(0, std::min<size_t>(bytes.size(), 200)));
  if (head.rfind("<?xml", 0) != 0) return false;
  const size_t end = head.find("?>");
  const std::string decl = head.substr(0, end);
  for (const char* name : {"gbk", "gb2312", "gb18030", "cp936"}) {
    if (decl.find(std::string("\"") + name + "\"") != std::string::npos ||
        decl.find(std::string("'") + name + "'") != std::string::npos)
      return true;
  }
  return false;
}

struct StringWriter : pugi::xml_writer {
  explicit StringWriter(std::string& o) : out(o) {}
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
  std::string& out;
};

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
constexpr unsigned kFormat = pugi::format_indent;

}  // namespace

namespace {

// Reads `bytes` into `parsedText` (GBK converted to UTF-8); `owned`, when given, holds the same bytes
// and may be taken instead of copied.
bool PrepareText(std::string_view bytes, std::string* owned, const std::string& fileName, std::string& parsedText,
                 pugi::xml_encoding& encoding, KvXmlResult& result) {
  encoding = pugi::encoding_auto;
  if (DeclaresGbk(bytes)) {
    std::string error;
    if (!GbkToUtf8(bytes, parsedText, &error)) {
      result.Fail(fileName, 0, 0, "not valid GBK text: " + error);
      return false;
    }
    encoding = pugi::encoding_utf8;
  } else if (owned) {
    parsedText = std::move(*owned);
  } else {
    parsedText.assign(bytes);
  }
  return true;
}

bool ParsePrepared(const std::string& fileName, pugi::xml_document& doc, const std::string& parsedText,
                   pugi::xml_encoding encoding, KvXmlResult& result);

}  // namespace

bool ParseXmlText(std::string_view bytes, const std::string& fileName, pugi::xml_document& doc,
                  std::string& parsedText, KvXmlResult& result) {
  result = KvXmlResult();
  result.file = fileName;
  doc.reset();
  pugi::xml_encoding encoding = pugi::encoding_auto;
  if (!PrepareText(bytes, nullptr, fileName, parsedText, encoding, result)) return false;
  return ParsePrepared(fileName, doc, parsedText, encoding, result);
}

namespace {

// ParseXmlText for bytes the caller gives up, which become `parsedText` without a copy.
bool ParseXmlBytes(std::string&& bytes, const std::string& fileName, pugi::xml_document& doc,
                   std::string& parsedText, KvXmlResult& result) {
  result = KvXmlResult();
  result.file = fileName;
  doc.reset();
  pugi::xml_encoding encoding = pugi::encoding_auto;
  if (!PrepareText(bytes, &bytes, fileName, parsedText, encoding, result)) return false;
  return ParsePrepared(fileName, doc, parsedText, encoding, result);
}

bool ParsePrepared(const std::string& fileName, pugi::xml_document& doc, const std::string& parsedText,
                   pugi::xml_encoding encoding, KvXmlResult& result) {
  const pugi::xml_parse_result parsed =
      doc.load_buffer(parsedText.data(), parsedText.size(), kParseOptions, encoding);
  if (!parsed) {
    const auto [line, column] = LineColumnOf(parsedText, static_cast<size_t>(parsed.offset));
    std::string what = "malformed XML: ";
    what += parsed.description();
    if (parsed.status == pugi::status_end_element_mismatch &&
        Trim(std::string_view(parsedText).substr(std::min(parsedText.size(), static_cast<size_t>(parsed.offset) + 1)))
            .empty())
      what += " (the file ends early: an element is not closed)";
    result.Fail(fileName, line, column, what);
    doc.reset();
    return false;
  }
  if (!doc.document_element()) {
    result.Fail(fileName, 1, 1, "no root element");
    doc.reset();
    return false;
  }
  if (pugi::xml_node second = doc.document_element().next_sibling(); second) {
    for (; second && second.type() != pugi::node_element; second = second.next_sibling()) {
    }
    if (second) {
      size_t offset = static_cast<size_t>(second.offset_debug());
      if (offset > 0 && offset <= parsedText.size() && parsedText[offset - 1] == '<') --offset;
      const auto [line, column] = LineColumnOf(parsedText, offset);
      result.Fail(fileName, line, column, "malformed XML: a second root element <" + std::string(second.name()) + ">");
      doc.reset();
      return false;
    }
  }
  return true;
}

}  // namespace

bool SaveXmlDocumentAtomic(const pugi::xml_document& doc, const std::string& path, std::string* error) {
  // The whole text first, then one write: far fewer calls than pugixml's small buffered pieces.
  std::string text;
  StringWriter writer(text);
  doc.save(writer, "  ", kFormat, pugi::encoding_utf8);
  return WriteFileAtomicWith(path, [&text](const ChunkSink& sink) { return sink(text); }, error);
}

}  // namespace tav

// ---------------------------------------------------------------------------------------------------
// KvUtXMLDOMNode

std::string KvUtXMLDOMNode::GetName() const { return node_ ? node_.name() : ""; }

std::string KvUtXMLDOMNode::GetText() const {
  if (!node_) return {};
  for (pugi::xml_node child : node_.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) return child.value();
  }
  return {};
}

void KvUtXMLDOMNode::SetText(std::string_view text) {
  if (!node_) return;
  for (pugi::xml_node child = node_.first_child(); child;) {
    pugi::xml_node next = child.next_sibling();
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) node_.remove_child(child);
    child = next;
  }
  if (!text.empty()) node_.prepend_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

std::string KvUtXMLDOMNode::GetAttributeValue(std::string_view name) const {
  if (!node_) return {};
  return node_.attribute(std::string(name).c_str()).value();
}

void KvUtXMLDOMNode::SetAttributeValue(std::string_view name, std::string_view value) {
  if (!node_ || name.empty()) return;
  const std::string key(name);
  pugi::xml_attribute attribute = node_.attribute(key.c_str());
  if (!attribute) attribute = node_.append_attribute(key.c_str());
  attribute.set_value(std::string(value).c_str());
}

bool KvUtXMLDOMNode::IsAttributeExist(std::string_view name) const {
  return node_ && node_.attribute(std::string(name).c_str());
}

bool KvUtXMLDOMNode::DelAttributeNode(std::string_view name) {
  return node_ && node_.remove_attribute(std::string(name).c_str());
}

KvXmlAttributes KvUtXMLDOMNode::GetAttributes() const {
  KvXmlAttributes list;
  if (!node_) return list;
  for (pugi::xml_attribute attribute : node_.attributes()) list.emplace_back(attribute.name(), attribute.value());
  return list;
}

int KvUtXMLDOMNode::GetChildrenNodes(std::vector<KvUtXMLDOMNode>& children) const {
  children.clear();
  if (!node_) return 0;
  for (pugi::xml_node child : node_.children()) {
    if (child.type() == pugi::node_element) children.emplace_back(child);
  }
  return static_cast<int>(children.size());
}

KvUtXMLDOMNode KvUtXMLDOMNode::GetChildNode(std::string_view name) const {
  if (!node_) return {};
  return KvUtXMLDOMNode(node_.child(std::string(name).c_str()));
}

void KvUtXMLDOMNode::DeleteChildrenNodes() {
  if (!node_) return;
  while (pugi::xml_node child = node_.first_child()) node_.remove_child(child);
}

void KvUtXMLDOMNode::Delete() {
  if (!node_) return;
  pugi::xml_node parent = node_.parent();
  if (parent) parent.remove_child(node_);
  node_ = pugi::xml_node();
}

KvUtXMLDOMNode KvUtXMLDOMNode::AppendNode(std::string_view element) {
  if (!node_ || element.empty()) return {};
  return KvUtXMLDOMNode(node_.append_child(std::string(element).c_str()));
}

KvUtXMLDOMNode KvUtXMLDOMNode::AppendNodeEx(std::string_view element, std::string_view text,
                                            std::string_view attribute, std::string_view value) {
  KvUtXMLDOMNode child = AppendNode(element);
  if (!child) return child;
  if (!attribute.empty()) child.SetAttributeValue(attribute, value);
  child.SetText(text);
  return child;
}

KvUtXMLDOMNode KvUtXMLDOMNode::AppendCopy(const KvUtXMLDOMNode& source) {
  if (!node_ || !source.node_) return {};
  return KvUtXMLDOMNode(node_.append_copy(source.node_));
}

KvUtXMLDOMNode KvUtXMLDOMNode::GetParent() const {
  if (!node_ || !node_.parent() || node_.parent().type() != pugi::node_element) return {};
  return KvUtXMLDOMNode(node_.parent());
}

long long KvUtXMLDOMNode::GetSourceOffset() const {
  return node_ ? static_cast<long long>(node_.offset_debug()) : -1;
}

// ---------------------------------------------------------------------------------------------------
// KvUtXMLDOMFile

KvUtXMLDOMFile::KvUtXMLDOMFile() : doc_(std::make_unique<pugi::xml_document>()) {}
KvUtXMLDOMFile::~KvUtXMLDOMFile() = default;

bool KvUtXMLDOMFile::Open(const std::string& path) {
  std::string bytes, error;
  path_ = path;
  if (!tav::ReadFileBytes(path, bytes, &error)) {
    doc_->reset();
    text_.clear();
    result_ = KvXmlResult();
    result_.Fail(path, 0, 0, "cannot read the file: " + error);
    return false;
  }
  return tav::ParseXmlBytes(std::move(bytes), path, *doc_, text_, result_);
}

bool KvUtXMLDOMFile::OpenText(std::string_view text, const std::string& name) {
  path_.clear();
  return tav::ParseXmlText(text, name, *doc_, text_, result_);
}

bool KvUtXMLDOMFile::CreateNewXMLDoc(const std::string& path, std::string_view declaration, std::string_view root,
                                     const KvXmlAttributes& attributes) {
  result_ = KvXmlResult();
  const std::string rootName(root);
  pugi::xml_document probe;
  const std::string text = "<?xml " + std::string(declaration) + "?><" + rootName + "/>";
  if (rootName.empty() || !probe.load_string(text.c_str(), pugi::parse_default | pugi::parse_declaration) ||
      !probe.document_element() || probe.document_element().name() != rootName) {
    result_.Fail(path, 0, 0, "cannot create an XML document with root '" + rootName + "' and declaration '" +
                                 std::string(declaration) + "'");
    return false;
  }
  doc_->reset();
  text_.clear();
  path_ = path;
  doc_->append_copy(probe.first_child());  // the declaration
  KvUtXMLDOMNode top(doc_->append_child(rootName.c_str()));
  for (const auto& [name, value] : attributes) top.SetAttributeValue(name, value);
  return true;
}

KvUtXMLDOMNode KvUtXMLDOMFile::GetRoot() const { return KvUtXMLDOMNode(doc_->document_element()); }

KvUtXMLDOMNode KvUtXMLDOMFile::AppendDoc(const KvUtXMLDOMFile& other) {
  KvUtXMLDOMNode root = GetRoot();
  return root.AppendCopy(other.GetRoot());
}

KvUtXMLDOMNode KvUtXMLDOMFile::AppendDoc(const std::string& path) {
  KvUtXMLDOMFile other;
  if (!other.Open(path)) {
    result_ = other.LastError();
    return {};
  }
  return AppendDoc(other);
}

bool KvUtXMLDOMFile::Save() { return Save(path_); }

bool KvUtXMLDOMFile::Save(const std::string& path) {
  result_ = KvXmlResult();
  if (path.empty()) {
    result_.Fail(path, 0, 0, "no file name to save to");
    return false;
  }
  if (!GetRoot()) {
    result_.Fail(path, 0, 0, "nothing to save: the document has no root element");
    return false;
  }
  std::string error;
  if (!tav::SaveXmlDocumentAtomic(*doc_, path, &error)) {
    result_.Fail(path, 0, 0, "cannot save: " + error);
    return false;
  }
  return true;
}

std::string KvUtXMLDOMFile::PositionOf(const KvUtXMLDOMNode& node) const {
  long long offset = node.GetSourceOffset();
  if (offset < 0 || text_.empty() || static_cast<size_t>(offset) > text_.size()) return {};
  // An element's offset is that of its name; point at the '<' before it.
  if (offset > 0 && node.Native().type() == pugi::node_element && text_[static_cast<size_t>(offset) - 1] == '<') --offset;
  const auto [line, column] = tav::LineColumnOf(text_, static_cast<size_t>(offset));
  return std::to_string(line) + ":" + std::to_string(column);
}

std::string KvUtXMLDOMFile::ToText() const {
  std::string text;
  tav::StringWriter writer(text);
  doc_->save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
  return text;
}
