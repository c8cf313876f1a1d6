// Internal state of DxfDocument (not part of the public interface; included by the database's own
// sources only).
//
// The file stays in one buffer. Every tag is a DxfRawTag (positions into the buffer). A record is a
// run of tags from one group code 0 to the next; unchanged records refer to their raw tag range and
// are written as the bytes they were read from. A changed record owns a list of OwnedTag, where tags
// still as read keep their raw index (written byte for byte) and new or changed tags hold their value
// text in the file's encoding.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/cad/DxfCodec.h"
#include "platform/cad/DxfDocument.h"

namespace tav::cad {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

struct OwnedTag {
  std::int32_t code = 0;
  std::uint32_t raw = kNone;  // index of the raw tag this is an unchanged copy of, or kNone
  std::string value;          // file encoding; used when raw == kNone
};

struct Record {
  std::uint32_t first = 0, count = 0;            // raw tag range while not owned
  std::unique_ptr<std::vector<OwnedTag>> owned;  // set once the record changed or was created
  Handle handle = 0;
  Handle owner = 0;
  std::string_view type;                         // into the buffer or the type pool
  std::uint32_t line = 0;                        // 1-based line of the first tag; 0 when new
  std::uint32_t parent = kNone;                  // main entity of a VERTEX / ATTRIB / SEQEND
  bool erased = false;
};

// A run of records inside a section: a symbol table (TABLE ... ENDTAB), a block (BLOCK ... ENDBLK),
// or the whole body of a section (no head or end).
struct Container {
  std::uint32_t head = kNone;
  std::vector<std::uint32_t> items;
  std::uint32_t end = kNone;
};

struct Section {
  std::string name;  // "HEADER", "TABLES", ...
  std::uint32_t start = kNone;  // the SECTION record (holds the header variables in HEADER)
  std::vector<Container> containers;
  std::uint32_t end = kNone;  // the ENDSEC record
};

// Handle -> record slot: the handles read from the file in one sorted array (compact for large
// drawings), the ones added later in a hash map.
struct HandleIndex {
  std::vector<std::pair<Handle, std::uint32_t>> sorted;
  std::unordered_map<Handle, std::uint32_t> added;

  std::uint32_t Find(Handle h) const {
    auto it = std::lower_bound(sorted.begin(), sorted.end(), std::pair<Handle, std::uint32_t>(h, 0),
                               [](const auto& a, const auto& b) { return a.first < b.first; });
    if (it != sorted.end() && it->first == h) return it->second;
    auto a = added.find(h);
    return a == added.end() ? kNone : a->second;
  }
  // Adds a handle that is not there yet; false when it is.
  bool Insert(Handle h, std::uint32_t slot) {
    if (Find(h) != kNone) return false;
    added.emplace(h, slot);
    return true;
  }
  void Assign(Handle h, std::uint32_t slot) {
    auto it = std::lower_bound(sorted.begin(), sorted.end(), std::pair<Handle, std::uint32_t>(h, 0),
                               [](const auto& a, const auto& b) { return a.first < b.first; });
    if (it != sorted.end() && it->first == h) it->second = slot;
    else added[h] = slot;
  }
  // Sorts the handles read from the file; later records with a handle already used are listed in
  // `duplicates` and left out of the index.
  void Seal(std::vector<std::pair<std::uint32_t, Handle>>& duplicates) {
    // Pairs sort by handle, then by slot: the first record of a handle (in file order) comes first.
    std::sort(sorted.begin(), sorted.end());
    std::size_t out = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      if (out > 0 && sorted[out - 1].first == sorted[i].first) {
        duplicates.emplace_back(sorted[i].second, sorted[i].first);
        continue;
      }
      sorted[out++] = sorted[i];
    }
    sorted.resize(out);
    sorted.shrink_to_fit();
  }
};

struct DxfDocument::Impl {
  std::string bytes;
  std::vector<DxfRawTag> raw;  // plus one sentinel whose pos is the end of the last tag's line
  std::vector<Record> records;
  std::uint32_t prelude = kNone;  // tags before the first group code 0 (comments)
  std::vector<Section> sections;
  std::uint32_t eof = kNone;
  std::vector<std::uint32_t> trailer;  // records after EOF, kept as read
  HandleIndex handles;
  std::vector<std::pair<std::uint32_t, Handle>> duplicates;  // slot of the later record, handle
  DxfCodec codec;
  bool crlf = false;
  bool alignCodes = true;  // group codes right-aligned to three columns ("  0")
  bool hasHandles = false;
  bool modified = false;
  Handle nextHandle = 1;
  int seedTag = -1;  // index of the $HANDSEED value tag in the header record, -1 unknown
  std::set<std::string, std::less<>> typePool;

  // --- tag access ---
  std::size_t Count(const Record& r) const { return r.owned ? r.owned->size() : r.count; }
  int CodeAt(const Record& r, std::size_t i) const {
    if (r.owned) return (*r.owned)[i].code;
    return raw[r.first + i].code;
  }
  std::string_view RawAt(const Record& r, std::size_t i) const {
    if (r.owned) {
      const OwnedTag& t = (*r.owned)[i];
      if (t.raw != kNone) return RawValue(t.raw);
      return t.value;
    }
    return RawValue(r.first + static_cast<std::uint32_t>(i));
  }
  std::uint32_t LineAt(const Record& r, std::size_t i) const {
    if (r.owned) {
      const OwnedTag& t = (*r.owned)[i];
      return t.raw == kNone ? 0 : t.raw * 2 + 1;
    }
    return static_cast<std::uint32_t>((r.first + i) * 2 + 1);
  }
  std::string_view RawValue(std::uint32_t index) const {
    const DxfRawTag& t = raw[index];
    return std::string_view(bytes.data() + t.value(), t.length);
  }
  // Turns a record into owned form (no-op when it already is) and marks the document changed.
  std::vector<OwnedTag>& Own(std::uint32_t slot);
  // Encodes UTF-8 tags into owned tags; false when a value cannot be encoded.
  bool EncodeTags(const std::vector<DxfTag>& tags, std::vector<OwnedTag>& out) const;

  std::string_view Intern(std::string_view type) { return *typePool.emplace(type).first; }
  std::uint32_t NewRecord(std::string_view type, std::vector<OwnedTag> tags, Handle handle, Handle owner);

  // --- structure ---
  Section* FindSection(std::string_view name);
  Container* FindTable(std::string_view table);
  Container* FindBlockContainer(std::string_view blockName, Handle blockRecord);
  std::uint32_t HeaderRecord() const;
  bool IsR12() const;
  // First value of `code` before the first 100 marker / xdata, decoded; "" when absent.
  std::string Field(std::uint32_t slot, int code) const;
  std::string Decode(std::string_view raw) const;
  bool NameEquals(std::uint32_t slot, std::string_view name) const;  // code 2, case-insensitive
  void UpdateSeedTag();
  // Re-reads handle and owner of a record from its tags.
  void ReadIdentity(std::uint32_t slot);
};

}  // namespace tav::cad
