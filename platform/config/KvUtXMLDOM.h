// The platform's XML document and node wrappers: thin handles over pugixml.
//
// A KvUtXMLDOMFile owns one document; KvUtXMLDOMNode is a non-owning handle on one element of a
// document, valid as long as the document lives and the element is not deleted. A null node (from a
// failed lookup) answers every getter with an empty result and ignores every change.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

// The outcome of reading an XML file: on failure a message that names the file and the position
// ("Config.xml:12:7: ..."), the position alone in `line` and `column` (1-based; 0 when unknown).
struct KvXmlResult {
  bool ok = true;
  std::string file;     // the path read ("" for text given in memory)
  int line = 0;
  int column = 0;       // in characters (code points), not bytes
  std::string message;  // full message, file and position included

  explicit operator bool() const { return ok; }
  void Fail(std::string file, int line, int column, std::string_view what);
};

using KvXmlAttributes = std::vector<std::pair<std::string, std::string>>;

namespace tav {

// Line and column (both 1-based, column in code points) of byte `offset` in `text`.
std::pair<int, int> LineColumnOf(std::string_view text, size_t offset);

// Reads an XML text into `doc` with the options the configuration files need: whitespace-only text of
// an element without other children is kept (a value of blanks survives), CR LF is normalised, the
// declaration is kept. A text whose declaration names GBK/GB2312/GB18030 is converted to UTF-8 first.
// On failure `result` names `fileName` and the position of the error.
bool ParseXmlText(std::string_view bytes, const std::string& fileName, pugi::xml_document& doc,
                  std::string& parsedText, KvXmlResult& result);

// Writes a document with two-space indentation, atomically. False and `error` on failure; the old
// file, if any, is left whole.
bool SaveXmlDocumentAtomic(const pugi::xml_document& doc, const std::string& path, std::string* error);

}  // namespace tav

class KvUtXMLDOMNode {
 public:
  KvUtXMLDOMNode() = default;
  explicit KvUtXMLDOMNode(pugi::xml_node node) : node_(node) {}

  bool IsNull() const { return !node_; }
  explicit operator bool() const { return static_cast<bool>(node_); }

  // Element name; "" for a null node.
  std::string GetName() const;
  // The text directly inside the element (its first text child), exactly as read; "" when none.
  std::string GetText() const;
  // Replaces the element's text; an empty text removes it.
  void SetText(std::string_view text);

  // The attribute's value, "" when absent.
  std::string GetAttributeValue(std::string_view name) const;
  // Sets an existing attribute in place or appends a new one at the end.
  void SetAttributeValue(std::string_view name, std::string_view value);
  bool IsAttributeExist(std::string_view name) const;
  // Removes the attribute; false when it was not there.
  bool DelAttributeNode(std::string_view name);
  // All attributes in document order.
  KvXmlAttributes GetAttributes() const;

  // The element children in order into `children` (emptied first); returns their number.
  int GetChildrenNodes(std::vector<KvUtXMLDOMNode>& children) const;
  // The first element child of that name (exact), or a null node.
  KvUtXMLDOMNode GetChildNode(std::string_view name) const;
  // Removes every child (elements, text, comments).
  void DeleteChildrenNodes();
  // Removes this node from its parent; the handle becomes null.
  void Delete();

  // Appends a new empty element child; a null node when this node is null or the name is empty.
  KvUtXMLDOMNode AppendNode(std::string_view element);
  // Appends a new element child with `text` and, when `attribute` is not empty, one attribute.
  KvUtXMLDOMNode AppendNodeEx(std::string_view element, std::string_view text, std::string_view attribute,
                              std::string_view value);
  // Appends a deep copy of `source` (an element of any document) as the last child.
  KvUtXMLDOMNode AppendCopy(const KvUtXMLDOMNode& source);

  KvUtXMLDOMNode GetParent() const;
  // Byte offset of the element in the text it was parsed from (-1 when unknown).
  long long GetSourceOffset() const;

  pugi::xml_node Native() const { return node_; }

 private:
  pugi::xml_node node_;
};

class KvUtXMLDOMFile {
 public:
  KvUtXMLDOMFile();
  ~KvUtXMLDOMFile();
  KvUtXMLDOMFile(const KvUtXMLDOMFile&) = delete;
  KvUtXMLDOMFile& operator=(const KvUtXMLDOMFile&) = delete;

  // Reads the file. On failure the document is empty, LastError() names the file and position.
  bool Open(const std::string& path);
  // Reads an XML text held in memory; `name` is used in error messages.
  bool OpenText(std::string_view text, const std::string& name = "<text>");
  // Starts a new document to be saved at `path`: the declaration (the text between "<?xml" and "?>",
  // e.g. "version='1.0' encoding='utf-8'"), a root element and its attributes in order. False (and the
  // previous document kept) when the declaration does not read or the root name is empty.
  bool CreateNewXMLDoc(const std::string& path, std::string_view declaration, std::string_view root,
                       const KvXmlAttributes& attributes = {});

  // The root element; a null node when no document is open.
  KvUtXMLDOMNode GetRoot() const;
  // Appends a copy of another document's root element as the last child of this root; returns the copy
  // (a null node when either document has no root).
  KvUtXMLDOMNode AppendDoc(const KvUtXMLDOMFile& other);
  // Opens the file and appends a copy of its root element; a null node when it cannot be read.
  KvUtXMLDOMNode AppendDoc(const std::string& path);

  // Saves atomically to the path the document was opened or created with; false with LastError() on
  // failure (the old file is left whole).
  bool Save();
  bool Save(const std::string& path);

  const std::string& GetPath() const { return path_; }
  const KvXmlResult& LastError() const { return result_; }
  // "line:column" of a node of this document in the text it was read from; "" when unknown.
  std::string PositionOf(const KvUtXMLDOMNode& node) const;
  // The whole document as text (as Save writes it).
  std::string ToText() const;

  pugi::xml_document& Native() { return *doc_; }

 private:
  std::unique_ptr<pugi::xml_document> doc_;
  std::string path_;
  std::string text_;  // the text parsed, for positions
  KvXmlResult result_;
};
