// DxfDocument: new drawings, copying entities between drawings, and the consistency check.
#include <functional>
#include <set>

#include "platform/base/KvStrings.h"
#include "platform/cad/DxfDocumentImpl.h"
#include "platform/cad/DxfTemplates.h"
#include "platform/cad/DxfViews.h"

namespace tav::cad {

DxfDocument DxfDocument::CreateNew() {
  DxfDocument doc;
  doc.LoadFromBytes(NewDrawingText());
  return doc;
}

// ---------------------------------------------------------------------------------------------
// Copy

namespace {

bool IsHandleRefCode(int code) {
  return (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481 ||
         code == 1005;
}

// Tags of a record without its 102 groups (reactors and extension dictionaries belong to the source).
std::vector<DxfTag> TagsWithoutGroups(const DxfObject& obj) {
  std::vector<DxfTag> out;
  const std::vector<DxfTag> all = obj.Tags();
  const std::size_t dataEnd = obj.DataEnd();
  bool inGroup = false;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i < dataEnd && all[i].code == 102) {
      inGroup = !all[i].value.empty() && all[i].value[0] == '{';
      continue;
    }
    if (inGroup) continue;
    out.push_back(all[i]);
  }
  return out;
}

// Gives `tags` the identity of `dst`: its handle and owner, its paper-space flag.
void Adopt(std::vector<DxfTag>& tags, const DxfObject& dst) {
  const Handle h = dst.GetHandle();
  const Handle owner = dst.Owner();
  const bool paper = dst.GetInt(67, 0) == 1;
  std::vector<DxfTag> out;
  out.reserve(tags.size() + 3);
  bool handleDone = false, ownerDone = false;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    DxfTag t = tags[i];
    if (i == 0) {
      out.push_back(t);
      continue;
    }
    if ((t.code == 5 || t.code == 105) && !handleDone) {
      handleDone = true;
      if (h == 0) continue;
      t.value = FormatHandle(h);
    } else if (t.code == 330 && !ownerDone) {
      ownerDone = true;
      if (owner == 0) continue;
      t.value = FormatHandle(owner);
    } else if (t.code == 67) {
      continue;
    }
    out.push_back(t);
    if (i == 0) continue;
  }
  // Handle and owner right after the type when the source had none (R12).
  std::size_t pos = 1;
  if (!handleDone && h != 0) out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos++), MakeHandleTag(5, h));
  else if (handleDone && h != 0) pos = 2;
  if (!ownerDone && owner != 0) out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos), MakeHandleTag(330, owner));
  if (paper) {
    for (std::size_t i = 0; i < out.size(); ++i)
      if (out[i].code == 100 && out[i].value == "AcDbEntity") {
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(i + 1), MakeTag(67, 1LL));
        break;
      }
  }
  tags.swap(out);
}

class Copier {
 public:
  Copier(DxfDocument& dst, DxfDocument& src) : dst_(dst), src_(src) {}

  void EnsureRecord(std::string_view table, const std::string& name) {
    if (name.empty() || &dst_ == &src_) return;
    if (dst_.FindRecord(table, name)) return;
    DxfObject from = src_.FindRecord(table, name);
    if (!from) return;
    if (table == "LAYER") EnsureRecord("LTYPE", from.GetString(6));
    std::vector<Handle> styles;
    if (table == "LTYPE") {
      for (std::size_t i = 0; i < from.DataEnd(); ++i)
        if (from.TagAt(i).code == 340) {
          Handle h = 0;
          ParseHandle(from.TagAt(i).raw, h);
          if (DxfObject style = src_.Get(h)) EnsureRecord("STYLE", style.GetString(2));
        }
    }
    DxfObject to = dst_.AddRecord(table, name);
    if (!to) return;
    if (table == "APPID" || table == "BLOCK_RECORD") return;
    std::vector<DxfTag> tags = TagsWithoutGroups(from);
    Adopt(tags, to);
    for (DxfTag& t : tags) {
      if (table == "LAYER" && t.code == 390) {
        DxfObject zero = dst_.FindRecord("LAYER", "0");
        t.value = FormatHandle(zero ? zero.GetHandleRef(390) : 0);
      } else if (table == "LTYPE" && t.code == 340) {
        Handle h = 0;
        ParseHandle(t.value, h);
        DxfObject style = src_.Get(h);
        DxfObject mine = style ? dst_.FindRecord("STYLE", style.GetString(2)) : DxfObject();
        t.value = FormatHandle(mine ? mine.GetHandle() : 0);
      }
    }
    // Material and visual style references of a layer point into the source's objects.
    std::erase_if(tags, [&](const DxfTag& t) { return table == "LAYER" && (t.code == 347 || t.code == 348); });
    to.ReplaceTags(0, to.TagCount(), tags);
  }

  void EnsureBlock(const std::string& name) {
    if (name.empty() || &dst_ == &src_ || name[0] == '*') return;
    if (dst_.BlockRecord(name) || (dst_.Version() == DxfVersion::R12 && BlockHeadOf(dst_, name))) return;
    DxfObject srcRecord = src_.BlockRecord(name);
    DxfObject srcBlock = srcRecord ? srcRecord : BlockHeadOf(src_, name);
    if (!srcBlock) return;
    DxfPoint base;
    if (DxfObject head = BlockHeadOf(src_, name)) base = head.GetPoint(10);
    DxfObject block = dst_.AddBlock(name, base);
    if (!block) return;
    std::vector<Handle> handles;
    std::vector<DxfObject> ents = src_.EntitiesOf(srcBlock);
    for (const DxfObject& e : ents) handles.push_back(e.GetHandle());
    Copy(handles, block);
  }

  // Copies the entities, then remaps the handles among the copies.
  void Copy(const std::vector<Handle>& handles, DxfObject block) {
    std::vector<DxfObject> created;
    for (Handle h : handles) {
      DxfObject from = src_.Get(h);
      if (!from || map_.count(h)) continue;
      CopyOne(from, block, DxfObject(), created);
      // Sub-entities follow.
      auto& sim = src_.impl();
      for (std::uint32_t k = from.Slot() + 1; k < sim.records.size(); ++k) {
        if (sim.records[k].parent != from.Slot()) break;
        if (sim.records[k].erased) continue;
        CopyOne(DxfObject(&src_, k), block, created.empty() ? DxfObject() : Main(created), created);
      }
    }
    for (DxfObject& obj : created) Remap(obj);
  }

  DxfHandleMap& map() { return map_; }

 private:
  static DxfObject BlockHeadOf(DxfDocument& doc, const std::string& name) {
    for (DxfObject o : doc.AllObjects())
      if (o.Type() == "BLOCK" && EqualsNoCase(o.GetString(2), name)) return o;
    return {};
  }

  DxfObject Main(const std::vector<DxfObject>& created) {
    for (auto it = created.rbegin(); it != created.rend(); ++it) {
      std::string_view t = it->Type();
      if (t != "VERTEX" && t != "ATTRIB" && t != "SEQEND") return *it;
    }
    return {};
  }

  void CopyOne(const DxfObject& from, DxfObject block, DxfObject mainEntity, std::vector<DxfObject>& created) {
    // Dependencies first.
    EnsureRecord("LAYER", from.GetString(8));
    EnsureRecord("LTYPE", from.GetString(6));
    const std::string_view type = from.Type();
    if (type == "TEXT" || type == "MTEXT" || type == "ATTRIB" || type == "ATTDEF") EnsureRecord("STYLE", from.GetString(7));
    if (type == "INSERT") EnsureBlock(from.GetString(2));
    for (const std::string& app : from.XDataApps()) {
      if (!dst_.FindRecord("APPID", app)) dst_.RegisterApp(app);
    }
    DxfObject to = dst_.AddEntity(type, block);
    if (!to) return;
    if (mainEntity) {
      dst_.impl().records[to.Slot()].parent = mainEntity.Slot();
      if (mainEntity.GetHandle() != 0) to.SetOwner(mainEntity.GetHandle());
    }
    std::vector<DxfTag> tags = TagsWithoutGroups(from);
    Adopt(tags, to);
    to.ReplaceTags(0, to.TagCount(), tags);
    if (from.GetHandle() != 0) map_[from.GetHandle()] = to.GetHandle();
    created.push_back(to);
  }

  void Remap(DxfObject& obj) {
    const std::size_t n = obj.TagCount();
    const std::size_t dataEnd = obj.DataEnd();
    bool ownerSeen = false;
    for (std::size_t i = 1; i < n; ++i) {
      DxfTagRef t = obj.TagAt(i);
      if (!IsHandleRefCode(t.code)) continue;
      if (t.code == 1005 && i < dataEnd) continue;
      if (t.code == 330 && !ownerSeen) {
        ownerSeen = true;
        continue;
      }
      Handle h = 0;
      if (!ParseHandle(t.raw, h)) continue;
      auto it = map_.find(h);
      if (it == map_.end() || it->second == h) continue;
      obj.ReplaceTags(i, i + 1, {MakeHandleTag(t.code, it->second)});
    }
  }

  DxfDocument& dst_;
  DxfDocument& src_;
  DxfHandleMap map_;
};

}  // namespace

DxfHandleMap DxfDocument::CopyEntities(DxfDocument& source, const std::vector<Handle>& handles, DxfObject blockRecord) {
  if (!blockRecord.IsNull() && blockRecord.Document() != this) return {};
  Copier copier(*this, source);
  copier.Copy(handles, blockRecord);
  return copier.map();
}

// ---------------------------------------------------------------------------------------------
// Check

std::vector<DxfIssue> DxfDocument::Check() {
  std::vector<DxfIssue> out;
  Impl& im = *impl_;
  auto describe = [&](std::uint32_t slot) {
    const Record& r = im.records[slot];
    std::string d(r.type);
    if (r.handle) d += " " + FormatHandle(r.handle);
    return d;
  };
  for (const auto& [slot, h] : im.duplicates) {
    if (im.records[slot].erased) continue;
    const std::uint32_t first = im.handles.Find(h);
    std::string d = "duplicate handle " + FormatHandle(h);
    if (first != kNone)
      d += " (first used by " + std::string(im.records[first].type) + " at line " +
           std::to_string(im.records[first].line) + ")";
    out.push_back(DxfIssue{im.records[slot].line, h, d});
  }

  // Registered applications.
  std::set<std::string> apps;
  for (DxfObject app : TableRecords("APPID")) apps.insert(ToUpperAscii(app.GetString(2)));

  const bool hasOwners = im.hasHandles && !im.IsR12();
  for (DxfObject obj : AllObjects()) {
    const std::uint32_t slot = obj.Slot();
    const std::string_view type = obj.Type();
    if (type.empty() || type == "SECTION" || type == "ENDSEC" || type == "EOF" || type == "CLASS") continue;
    const std::size_t n = obj.TagCount();
    const std::size_t dataEnd = obj.DataEnd();
    for (std::size_t i = 1; i < n; ++i) {
      DxfTagRef t = obj.TagAt(i);
      const bool ref = (i < dataEnd && (t.code == 330 || t.code == 340 || t.code == 350 || t.code == 360)) ||
                       (i >= dataEnd && t.code == 1005);
      if (ref) {
        Handle h = 0;
        if (!ParseHandle(t.raw, h)) {
          out.push_back(DxfIssue{t.line, obj.GetHandle(),
                                 describe(slot) + ": group code " + std::to_string(t.code) + " holds '" +
                                     std::string(t.raw) + "', not a handle"});
          continue;
        }
        if (h != 0 && !Get(h))
          out.push_back(DxfIssue{t.line, obj.GetHandle(),
                                 describe(slot) + " refers to missing handle " + FormatHandle(h) + " (group code " +
                                     std::to_string(t.code) + ")"});
      }
      if (t.code == 1001 && i >= dataEnd) {
        std::string app = obj.TextAt(i);
        if (!apps.count(ToUpperAscii(app)))
          out.push_back(DxfIssue{t.line, obj.GetHandle(),
                                 describe(slot) + " carries xdata of unregistered application '" + app + "'"});
      }
    }
  }
  if (!hasOwners) return out;

  auto wrongOwner = [&](std::uint32_t slot, const std::string& expected) {
    const Record& r = im.records[slot];
    out.push_back(DxfIssue{r.line, r.handle,
                           describe(slot) + " has owner " + FormatHandle(r.owner) + ", expected " + expected});
  };
  const DxfObject ms = ModelSpace(), ps = PaperSpace();
  for (const Section& s : im.sections) {
    for (const Container& c : s.containers) {
      if (s.name == "TABLES" && c.head != kNone) {
        const Handle th = im.records[c.head].handle;
        for (auto slot : c.items)
          if (!im.records[slot].erased && th != 0 && im.records[slot].owner != th)
            wrongOwner(slot, "table " + FormatHandle(th));
      } else if (s.name == "BLOCKS" || s.name == "ENTITIES") {
        Handle blockOwner = 0;
        if (s.name == "BLOCKS" && c.head != kNone) blockOwner = im.records[c.head].owner;
        for (auto slot : c.items) {
          const Record& r = im.records[slot];
          if (r.erased || r.handle == 0) continue;
          if (r.parent != kNone) {
            const Handle ph = im.records[r.parent].handle;
            if (r.owner != 0 && ph != 0 && r.owner != ph) wrongOwner(slot, "entity " + FormatHandle(ph));
            continue;
          }
          if (s.name == "BLOCKS") {
            if (blockOwner != 0 && r.owner != blockOwner) wrongOwner(slot, "block record " + FormatHandle(blockOwner));
          } else if (ms || ps) {
            const Handle mh = ms.GetHandle(), ph = ps.GetHandle();
            if (r.owner != mh && r.owner != ph) {
              // Entities of other layouts' paper spaces stay in their blocks; in ENTITIES only the two spaces own.
              DxfObject owner = Get(r.owner);
              if (!owner || owner.Type() != "BLOCK_RECORD")
                wrongOwner(slot, "*Model_Space " + FormatHandle(mh) + " or *Paper_Space " + FormatHandle(ph));
            }
          }
        }
      } else if (s.name == "OBJECTS") {
        bool first = true;
        for (auto slot : c.items) {
          const Record& r = im.records[slot];
          if (r.erased) continue;
          if (first) {
            first = false;
            continue;  // the root dictionary has no owner
          }
          if (r.handle == 0) continue;
          if (r.owner == 0) {
            out.push_back(DxfIssue{r.line, r.handle, describe(slot) + " has no owner"});
            continue;
          }
          DxfObject owner = Get(r.owner);
          if (!owner) continue;  // reported as a missing handle
          DxfDictionary dict(owner);
          if (!dict.IsValid()) continue;
          bool listed = false;
          for (const auto& entry : dict.Entries())
            if (entry.second == r.handle) listed = true;
          // Objects may also hang off a dictionary through other codes (e.g. the default of a
          // dictionary with default, 340); only plain entries are required.
          if (!listed && owner.GetHandleRef(340) != r.handle)
            out.push_back(DxfIssue{r.line, r.handle,
                                   describe(slot) + " is not listed by its owner dictionary " + FormatHandle(r.owner)});
        }
      }
    }
  }
  return out;
}

}  // namespace tav::cad
