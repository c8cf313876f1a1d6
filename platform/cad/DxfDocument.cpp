// DxfDocument: loading, structure, saving, header variables, handles, tables, blocks and objects.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/base/KvFile.h"
#include "platform/base/KvNumber.h"
#include "platform/base/KvStrings.h"
#include "platform/cad/DxfDocumentImpl.h"
#include "platform/cad/DxfTemplates.h"
#include "platform/cad/DxfViews.h"

namespace tav::cad {

// ---------------------------------------------------------------------------------------------
// Versions

namespace {
struct VersionName_ {
  DxfVersion version;
  const char* acadver;
  const char* name;
};
const VersionName_ kVersions[] = {
    {DxfVersion::R12, "AC1009", "R12"},     {DxfVersion::R13, "AC1012", "R13"},
    {DxfVersion::R14, "AC1014", "R14"},     {DxfVersion::R2000, "AC1015", "R2000"},
    {DxfVersion::R2004, "AC1018", "R2004"}, {DxfVersion::R2007, "AC1021", "R2007"},
    {DxfVersion::R2010, "AC1024", "R2010"}, {DxfVersion::R2013, "AC1027", "R2013"},
    {DxfVersion::R2018, "AC1032", "R2018"},
};
}  // namespace

DxfVersion VersionFromAcadVer(std::string_view acadver) {
  std::string t = Trim(acadver);
  for (const auto& v : kVersions)
    if (t == v.acadver) return v.version;
  return DxfVersion::Unknown;
}

std::string AcadVerOf(DxfVersion version) {
  for (const auto& v : kVersions)
    if (v.version == version) return v.acadver;
  return "";
}

std::string VersionName(DxfVersion version) {
  for (const auto& v : kVersions)
    if (v.version == version) return v.name;
  return "unknown";
}

// ---------------------------------------------------------------------------------------------
// Impl structure helpers

Section* DxfDocument::Impl::FindSection(std::string_view name) {
  for (Section& s : sections)
    if (s.name == name) return &s;
  return nullptr;
}

std::string DxfDocument::Impl::Field(std::uint32_t slot, int code) const {
  const Record& r = records[slot];
  const std::size_t n = Count(r);
  for (std::size_t i = 1; i < n; ++i) {
    const int c = CodeAt(r, i);
    if (c == 1001) break;
    if (c == code) return Decode(RawAt(r, i));
  }
  return {};
}

bool DxfDocument::Impl::NameEquals(std::uint32_t slot, std::string_view name) const {
  const Record& r = records[slot];
  const std::size_t n = Count(r);
  for (std::size_t i = 1; i < n; ++i) {
    const int c = CodeAt(r, i);
    if (c == 1001) break;
    if (c == 2) {
      std::string_view rawName = RawAt(r, i);
      if (IsAscii(rawName) && IsAscii(name)) return EqualsNoCase(rawName, name);
      return EqualsNoCase(Decode(rawName), name);
    }
  }
  return false;
}

Container* DxfDocument::Impl::FindTable(std::string_view table) {
  Section* s = FindSection("TABLES");
  if (!s) return nullptr;
  for (Container& c : s->containers)
    if (c.head != kNone && !records[c.head].erased && NameEquals(c.head, table)) return &c;
  return nullptr;
}

Container* DxfDocument::Impl::FindBlockContainer(std::string_view blockName, Handle blockRecord) {
  Section* s = FindSection("BLOCKS");
  if (!s) return nullptr;
  for (Container& c : s->containers) {
    if (c.head == kNone || records[c.head].erased) continue;
    if (blockRecord != 0 && records[c.head].owner == blockRecord) return &c;
  }
  if (blockName.empty()) return nullptr;
  for (Container& c : s->containers) {
    if (c.head == kNone || records[c.head].erased) continue;
    if (NameEquals(c.head, blockName)) return &c;
  }
  return nullptr;
}

std::uint32_t DxfDocument::Impl::HeaderRecord() const {
  for (const Section& s : sections)
    if (s.name == "HEADER") return s.start;
  return kNone;
}

bool DxfDocument::Impl::IsR12() const {
  bool hasObjects = false;
  for (const Section& s : sections)
    if (s.name == "OBJECTS") hasObjects = true;
  std::uint32_t h = HeaderRecord();
  if (h == kNone) return !hasObjects;
  const Record& r = records[h];
  const std::size_t n = Count(r);
  for (std::size_t i = 1; i + 1 < n; ++i)
    if (CodeAt(r, i) == 9 && Trim(RawAt(r, i)) == "$ACADVER") {
      std::string v = Trim(RawAt(r, i + 1));
      return v < "AC1012";
    }
  return !hasObjects;
}

void DxfDocument::Impl::UpdateSeedTag() {
  seedTag = -1;
  std::uint32_t h = HeaderRecord();
  if (h == kNone) return;
  const Record& r = records[h];
  const std::size_t n = Count(r);
  for (std::size_t i = 1; i + 1 < n; ++i)
    if (CodeAt(r, i) == 9 && Trim(RawAt(r, i)) == "$HANDSEED") {
      seedTag = static_cast<int>(i + 1);
      return;
    }
}

std::uint32_t DxfDocument::Impl::NewRecord(std::string_view type, std::vector<OwnedTag> tags, Handle handle,
                                           Handle owner) {
  Record r;
  r.type = Intern(type);
  r.owned = std::make_unique<std::vector<OwnedTag>>(std::move(tags));
  r.handle = handle;
  r.owner = owner;
  records.push_back(std::move(r));
  const auto slot = static_cast<std::uint32_t>(records.size() - 1);
  if (handle != 0) handles.Assign(handle, slot);
  modified = true;
  return slot;
}

// ---------------------------------------------------------------------------------------------
// Construction

DxfDocument::DxfDocument() : impl_(std::make_unique<Impl>()) {}
DxfDocument::~DxfDocument() = default;
DxfDocument::DxfDocument(DxfDocument&&) noexcept = default;
DxfDocument& DxfDocument::operator=(DxfDocument&&) noexcept = default;

// ---------------------------------------------------------------------------------------------
// Loading

namespace {

DxfResult Fail(DxfStatus status, std::uint32_t line, std::string description) {
  DxfResult r;
  r.status = status;
  r.line = line;
  r.description = std::move(description);
  return r;
}

bool IsSubEntity(std::string_view type) { return type == "VERTEX" || type == "ATTRIB" || type == "SEQEND"; }

}  // namespace

namespace {
// Reads a whole file straight into one buffer (no intermediate copies: drawings can be large).
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return ReadFileBytes(path, bytes, &error);
  }
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  AdviseHugePages(bytes.data(), bytes.capacity());
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = "cannot read " + path + ": " + std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  ::close(fd);
  return true;
}
}  // namespace

DxfResult DxfDocument::Load(const std::string& path, const DxfLoadOptions& options) {
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(path, bytes, error)) {
    *impl_ = Impl();
    return Fail(DxfStatus::IoError, 0, error);
  }
  return LoadFromBytes(std::move(bytes), options);
}

DxfResult DxfDocument::LoadFromBytes(std::string bytes, const DxfLoadOptions& options) {
  auto fresh = std::make_unique<Impl>();
  Impl& im = *fresh;
  im.bytes = std::move(bytes);
  DxfResult scan = ScanDxfTags(im.bytes, im.raw);
  if (!scan) {
    *impl_ = Impl();
    return scan;
  }
  // Sentinel: end of the last tag's value line.
  {
    const DxfRawTag& last = im.raw.back();
    std::size_t end = last.value() + last.length;
    if (end < im.bytes.size() && im.bytes[end] == '\r') ++end;
    if (end < im.bytes.size() && im.bytes[end] == '\n') ++end;
    DxfRawTag sentinel;
    sentinel.pos = static_cast<std::uint32_t>(end);
    im.raw.push_back(sentinel);
  }
  const std::uint32_t tagCount = static_cast<std::uint32_t>(im.raw.size() - 1);
  // Line end and code style of the file.
  {
    const DxfRawTag& t0 = im.raw[0];
    im.crlf = t0.value() >= 2 && im.bytes[t0.value() - 2] == '\r';
    im.alignCodes = im.bytes[t0.pos] == ' ';
  }

  // Records: runs of tags from one group code 0 to the next.
  im.records.reserve(tagCount / 8 + 16);
  AdviseHugePages(im.records.data(), im.records.capacity() * sizeof(Record));
  for (std::uint32_t i = 0; i < tagCount;) {
    std::uint32_t j = i + 1;
    while (j < tagCount && im.raw[j].code != 0) ++j;
    Record r;
    r.first = i;
    r.count = j - i;
    r.line = i * 2 + 1;
    if (im.raw[i].code == 0) {
      std::string_view type = im.RawValue(i);
      while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.remove_suffix(1);
      while (!type.empty() && (type.front() == ' ' || type.front() == '\t')) type.remove_prefix(1);
      r.type = type;
    }
    im.records.push_back(std::move(r));
    i = j;
  }

  // Sections and their containers.
  const auto n = static_cast<std::uint32_t>(im.records.size());
  std::uint32_t i = 0;
  if (im.raw[0].code != 0) im.prelude = i++;
  for (; i < n; ++i) {
    const Record& r = im.records[i];
    if (r.type == "EOF") {
      im.eof = i;
      for (std::uint32_t k = i + 1; k < n; ++k) im.trailer.push_back(k);
      break;
    }
    if (r.type != "SECTION") {
      *impl_ = Impl();
      return Fail(DxfStatus::BadStructure, r.line, "'" + std::string(r.type) + "' stands outside any section");
    }
    Section s;
    s.start = i;
    if (r.count < 2 || im.raw[r.first + 1].code != 2) {
      *impl_ = Impl();
      return Fail(DxfStatus::BadStructure, r.line, "SECTION without a name (group code 2)");
    }
    s.name = Trim(im.RawValue(r.first + 1));
    const bool tables = s.name == "TABLES";
    const bool blocks = s.name == "BLOCKS";
    const char* headType = tables ? "TABLE" : "BLOCK";
    const char* endType = tables ? "ENDTAB" : "ENDBLK";
    std::size_t cur = SIZE_MAX;
    std::uint32_t lastMain = kNone;
    for (++i; i < n; ++i) {
      Record& item = im.records[i];
      if (item.type == "ENDSEC") {
        s.end = i;
        break;
      }
      if (item.type == "SECTION" || item.type == "EOF") break;
      if (tables || blocks) {
        if (item.type == headType) {
          s.containers.push_back(Container{i, {}, kNone});
          cur = s.containers.size() - 1;
          lastMain = kNone;
          continue;
        }
        if (item.type == endType) {
          if (cur != SIZE_MAX && s.containers[cur].end == kNone) {
            s.containers[cur].end = i;
          } else {
            s.containers.push_back(Container{kNone, {}, i});
          }
          cur = SIZE_MAX;
          lastMain = kNone;
          continue;
        }
      }
      if (cur == SIZE_MAX) {
        s.containers.push_back(Container{});
        cur = s.containers.size() - 1;
      }
      s.containers[cur].items.push_back(i);
      if (blocks || s.name == "ENTITIES") {
        if (IsSubEntity(item.type) && lastMain != kNone) {
          item.parent = lastMain;
          if (item.type == "SEQEND") lastMain = kNone;
        } else {
          lastMain = i;
        }
      }
    }
    if (s.end == kNone) {
      *impl_ = Impl();
      return Fail(DxfStatus::BadStructure, r.line, "section " + s.name + " has no ENDSEC");
    }
    im.sections.push_back(std::move(s));
  }

  // Header facts.
  std::string acadver, codepage, handseed, handling;
  if (std::uint32_t h = im.HeaderRecord(); h != kNone) {
    const Record& r = im.records[h];
    for (std::uint32_t k = r.first; k + 1 < r.first + r.count; ++k) {
      if (im.raw[k].code != 9) continue;
      std::string_view name = im.RawValue(k);
      if (name == "$ACADVER") acadver = Trim(im.RawValue(k + 1));
      else if (name == "$DWGCODEPAGE") codepage = Trim(im.RawValue(k + 1));
      else if (name == "$HANDSEED") handseed = Trim(im.RawValue(k + 1));
      else if (name == "$HANDLING") handling = Trim(im.RawValue(k + 1));
    }
  }
  im.codec = DxfCodec::For(acadver, codepage);

  // Every value must be valid in the file's encoding.
  if (!IsAscii(im.bytes)) {
    for (std::uint32_t k = 0; k < tagCount; ++k) {
      std::string_view v = im.RawValue(k);
      if (IsAscii(v) || im.codec.Validate(v)) continue;
      const char* enc = im.codec.kind() == DxfCodec::Kind::Utf8  ? "UTF-8"
                        : im.codec.kind() == DxfCodec::Kind::Gbk ? "GBK"
                                                                 : "the drawing's code page";
      *impl_ = Impl();
      return Fail(DxfStatus::BadEncoding, k * 2 + 2,
                  "the value of group code " + std::to_string(im.raw[k].code) + " is not valid " + enc +
                      " text");
    }
  }

  // Handles and owners.
  const DxfVersion version = VersionFromAcadVer(acadver);
  im.hasHandles = !(version == DxfVersion::R12 || (version == DxfVersion::Unknown && acadver < "AC1012")) ||
                  Trim(handling) == "1";
  Handle seed = 0;
  const bool haveSeed = !handseed.empty() && ParseHandle(handseed, seed);
  if (!handseed.empty() && !haveSeed) {
    *impl_ = Impl();
    return Fail(DxfStatus::BadHandle, 0, "$HANDSEED '" + handseed + "' is not a hex handle");
  }
  Handle maxHandle = 0;
  im.handles.sorted.reserve(im.records.size());
  for (std::uint32_t s = 0; s < im.records.size(); ++s) {
    Record& r = im.records[s];
    if (r.type.empty() || r.type == "SECTION" || r.type == "ENDSEC" || r.type == "EOF" || r.type == "CLASS" ||
        r.type == "ENDTAB")
      continue;
    const bool dimstyle = r.type == "DIMSTYLE";
    bool inGroup = false, ownerFound = false, handleFound = false;
    for (std::uint32_t k = r.first + 1; k < r.first + r.count; ++k) {
      const int code = im.raw[k].code;
      if (code == 100 || code == 1001) break;
      if (code == 102) {
        std::string_view v = im.RawValue(k);
        inGroup = !v.empty() && v[0] == '{';
        continue;
      }
      if (inGroup) continue;
      if (!handleFound && ((code == 5 && !dimstyle) || code == 105)) {
        handleFound = true;
        Handle h = 0;
        if (!ParseHandle(im.RawValue(k), h) || h == 0) {
          *impl_ = Impl();
          return Fail(DxfStatus::BadHandle, k * 2 + 2,
                      "handle '" + std::string(im.RawValue(k)) + "' of " + std::string(r.type) +
                          " is not a hex number above 0");
        }
        if (haveSeed && options.checkHandleSeed && h >= seed) {
          *impl_ = Impl();
          return Fail(DxfStatus::BadHandle, k * 2 + 2,
                      "handle " + FormatHandle(h) + " of " + std::string(r.type) + " is out of range ($HANDSEED is " +
                          FormatHandle(seed) + ")");
        }
        r.handle = h;
        maxHandle = std::max(maxHandle, h);
        im.handles.sorted.emplace_back(h, s);
      } else if (code == 330 && !ownerFound) {
        ownerFound = true;
        ParseHandle(im.RawValue(k), r.owner);
      }
      if (!im.hasHandles && handleFound) break;
    }
    if (handleFound) im.hasHandles = true;
  }
  im.handles.Seal(im.duplicates);
  im.nextHandle = std::max<Handle>(haveSeed ? seed : 1, maxHandle + 1);
  im.modified = false;
  impl_ = std::move(fresh);
  return DxfResult();
}

// ---------------------------------------------------------------------------------------------
// Saving

namespace {

class Writer {
 public:
  Writer(const DxfDocument::Impl& im, const ChunkSink& sink) : im_(im), sink_(sink) {}

  bool Span(std::uint32_t from, std::uint32_t to) {
    if (from == to) return true;
    if (pendingEnd_ == from && pendingBegin_ != pendingEnd_) {
      pendingEnd_ = to;
      return true;
    }
    if (!FlushPending()) return false;
    pendingBegin_ = from;
    pendingEnd_ = to;
    return true;
  }

  bool Record(std::uint32_t slot) {
    const tav::cad::Record& r = im_.records[slot];
    if (r.erased) return true;
    if (!r.owned) return Span(im_.raw[r.first].pos, im_.raw[r.first + r.count].pos);
    for (const OwnedTag& t : *r.owned) {
      if (t.raw != kNone) {
        if (!Span(im_.raw[t.raw].pos, LineEnd(t.raw))) return false;
      } else {
        if (!FlushPending()) return false;
        char code[16];
        int len = im_.alignCodes ? std::snprintf(code, sizeof code, "%3d", t.code)
                                 : std::snprintf(code, sizeof code, "%d", t.code);
        buf_.append(code, static_cast<std::size_t>(len));
        buf_ += im_.crlf ? "\r\n" : "\n";
        buf_ += t.value;
        buf_ += im_.crlf ? "\r\n" : "\n";
        if (buf_.size() > (1u << 20) && !FlushBuffer()) return false;
      }
    }
    return true;
  }

  bool Finish() { return FlushPending() && FlushBuffer(); }

 private:
  // End of a raw tag's value line including its line end.
  std::uint32_t LineEnd(std::uint32_t index) const { return im_.raw[index + 1].pos; }

  bool FlushPending() {
    if (pendingBegin_ == pendingEnd_) return true;
    std::string_view span(im_.bytes.data() + pendingBegin_, pendingEnd_ - pendingBegin_);
    pendingBegin_ = pendingEnd_ = 0;
    if (span.size() >= (1u << 16)) {
      if (!FlushBuffer()) return false;
      return sink_(span);
    }
    buf_.append(span);
    if (buf_.size() > (1u << 20)) return FlushBuffer();
    return true;
  }
  bool FlushBuffer() {
    if (buf_.empty()) return true;
    bool ok = sink_(buf_);
    buf_.clear();
    return ok;
  }

  const DxfDocument::Impl& im_;
  const ChunkSink& sink_;
  std::uint32_t pendingBegin_ = 0, pendingEnd_ = 0;
  std::string buf_;
};

bool Produce(const DxfDocument::Impl& im, const ChunkSink& sink) {
  Writer w(im, sink);
  if (im.prelude != kNone && !w.Record(im.prelude)) return false;
  for (const Section& s : im.sections) {
    if (!w.Record(s.start)) return false;
    for (const Container& c : s.containers) {
      if (c.head != kNone && !w.Record(c.head)) return false;
      for (std::uint32_t slot : c.items)
        if (!w.Record(slot)) return false;
      if (c.end != kNone && !w.Record(c.end)) return false;
    }
    if (s.end != kNone && !w.Record(s.end)) return false;
  }
  if (im.eof != kNone && !w.Record(im.eof)) return false;
  for (std::uint32_t slot : im.trailer)
    if (!w.Record(slot)) return false;
  if (!im.raw.empty()) {
    const std::uint32_t tail = im.raw.back().pos;
    if (!w.Span(tail, static_cast<std::uint32_t>(im.bytes.size()))) return false;
  }
  return w.Finish();
}

}  // namespace

DxfResult DxfDocument::Save(const std::string& path) const {
  std::string error;
  if (!WriteFileAtomicWith(path, [this](const ChunkSink& sink) { return Produce(*impl_, sink); }, &error))
    return Fail(DxfStatus::IoError, 0, error);
  return DxfResult();
}

std::string DxfDocument::SaveToString() const {
  std::string out;
  out.reserve(impl_->bytes.size() + 4096);
  Produce(*impl_, [&out](std::string_view chunk) {
    out.append(chunk);
    return true;
  });
  return out;
}

bool DxfDocument::IsModified() const { return impl_->modified; }

// ---------------------------------------------------------------------------------------------
// Header

DxfVersion DxfDocument::Version() const { return VersionFromAcadVer(AcadVer()); }
std::string DxfDocument::AcadVer() const { return HeaderString("$ACADVER"); }
std::string DxfDocument::CodePage() const { return HeaderString("$DWGCODEPAGE"); }
bool DxfDocument::UsesUtf8() const { return impl_->codec.kind() == DxfCodec::Kind::Utf8; }
bool DxfDocument::HasHandles() const { return impl_->hasHandles; }

namespace {
// [first value, end) of a header variable in the header record; first = 0 when absent.
std::pair<std::size_t, std::size_t> HeaderRange(const DxfDocument::Impl& im, std::string_view name) {
  std::uint32_t h = im.HeaderRecord();
  if (h == kNone) return {0, 0};
  const Record& r = im.records[h];
  const std::size_t n = im.Count(r);
  for (std::size_t i = 1; i < n; ++i) {
    if (im.CodeAt(r, i) != 9 || Trim(im.RawAt(r, i)) != name) continue;
    std::size_t e = i + 1;
    while (e < n && im.CodeAt(r, e) != 9) ++e;
    return {i + 1, e};
  }
  return {0, 0};
}
}  // namespace

std::vector<DxfTag> DxfDocument::HeaderVar(std::string_view name) const {
  std::vector<DxfTag> out;
  auto [b, e] = HeaderRange(*impl_, name);
  const Record& r = impl_->records[impl_->HeaderRecord() == kNone ? 0 : impl_->HeaderRecord()];
  for (std::size_t i = b; i < e; ++i) out.push_back(DxfTag{impl_->CodeAt(r, i), impl_->Decode(impl_->RawAt(r, i))});
  return out;
}

std::string DxfDocument::HeaderString(std::string_view name, std::string_view def) const {
  auto v = HeaderVar(name);
  if (v.empty()) return std::string(def);
  return Trim(v[0].value);
}

double DxfDocument::HeaderDouble(std::string_view name, double def) const {
  auto v = HeaderVar(name);
  double d;
  if (v.empty() || !ParseDouble(v[0].value, d)) return def;
  return d;
}

long long DxfDocument::HeaderInt(std::string_view name, long long def) const {
  auto v = HeaderVar(name);
  double d;
  if (v.empty() || !ParseDouble(v[0].value, d)) return def;
  return static_cast<long long>(d);
}

bool DxfDocument::SetHeaderVar(std::string_view name, const std::vector<DxfTag>& values) {
  std::uint32_t h = impl_->HeaderRecord();
  if (h == kNone) return false;
  DxfObject header(this, h);
  auto [b, e] = HeaderRange(*impl_, name);
  bool ok;
  if (b == 0) {
    std::vector<DxfTag> tags;
    tags.push_back(MakeTag(9, name));
    tags.insert(tags.end(), values.begin(), values.end());
    const std::size_t n = header.TagCount();
    ok = header.ReplaceTags(n, n, tags);
  } else {
    // Leave the tags as read when nothing changes.
    bool same = (e - b) == values.size();
    for (std::size_t i = 0; same && i < values.size(); ++i)
      same = header.TagAt(b + i).code == values[i].code && header.TextAt(b + i) == values[i].value;
    if (same) return true;
    ok = header.ReplaceTags(b, e, values);
  }
  impl_->seedTag = -1;
  return ok;
}

std::vector<std::string> DxfDocument::HeaderVarNames() const {
  std::vector<std::string> out;
  std::uint32_t h = impl_->HeaderRecord();
  if (h == kNone) return out;
  const Record& r = impl_->records[h];
  for (std::size_t i = 1; i < impl_->Count(r); ++i)
    if (impl_->CodeAt(r, i) == 9) out.push_back(Trim(impl_->RawAt(r, i)));
  return out;
}

// ---------------------------------------------------------------------------------------------
// Handles

Handle DxfDocument::NewHandle() {
  Impl& im = *impl_;
  if (!im.hasHandles) return 0;
  const Handle h = im.nextHandle++;
  if (im.seedTag < 0) {
    im.UpdateSeedTag();
    if (im.seedTag < 0) {
      if (im.HeaderRecord() == kNone) return h;
      SetHeaderVar("$HANDSEED", {MakeHandleTag(5, im.nextHandle)});
      im.UpdateSeedTag();
      return h;
    }
  }
  auto& tags = im.Own(im.HeaderRecord());
  OwnedTag& t = tags[static_cast<std::size_t>(im.seedTag)];
  t.raw = kNone;
  t.value = FormatHandle(im.nextHandle);
  return h;
}

Handle DxfDocument::HandleSeed() const { return impl_->hasHandles ? impl_->nextHandle : 0; }

DxfObject DxfDocument::Get(Handle handle) {
  const std::uint32_t slot = impl_->handles.Find(handle);
  if (slot == kNone || impl_->records[slot].erased) return {};
  return DxfObject(this, slot);
}

std::vector<DxfObject> DxfDocument::AllObjects() {
  std::vector<DxfObject> out;
  Impl& im = *impl_;
  auto add = [&](std::uint32_t s) {
    if (s != kNone && !im.records[s].erased) out.emplace_back(this, s);
  };
  add(im.prelude);
  for (const Section& s : im.sections) {
    add(s.start);
    for (const Container& c : s.containers) {
      add(c.head);
      for (auto slot : c.items) add(slot);
      add(c.end);
    }
    add(s.end);
  }
  add(im.eof);
  for (auto slot : im.trailer) add(slot);
  return out;
}

// ---------------------------------------------------------------------------------------------
// Classes

std::vector<DxfObject> DxfDocument::Classes() {
  std::vector<DxfObject> out;
  if (Section* s = impl_->FindSection("CLASSES"))
    for (const Container& c : s->containers)
      for (auto slot : c.items)
        if (!impl_->records[slot].erased && impl_->records[slot].type == "CLASS") out.emplace_back(this, slot);
  return out;
}

DxfObject DxfDocument::FindClass(std::string_view dxfName) {
  for (DxfObject c : Classes())
    if (EqualsNoCase(c.GetString(1), dxfName)) return c;
  return {};
}

DxfObject DxfDocument::AddClass(std::string_view dxfName, std::string_view cppName, std::string_view appName,
                                bool isEntity) {
  if (DxfObject c = FindClass(dxfName)) return c;
  Section* s = impl_->FindSection("CLASSES");
  if (!s) return {};
  std::vector<DxfTag> tags = {MakeTag(0, "CLASS"), MakeTag(1, dxfName), MakeTag(2, cppName), MakeTag(3, appName),
                              MakeTag(90, 0LL)};
  if (Version() >= DxfVersion::R2004 && Version() != DxfVersion::Unknown) tags.push_back(MakeTag(91, 0LL));
  tags.push_back(MakeTag(280, 0LL));
  tags.push_back(MakeTag(281, isEntity ? 1LL : 0LL));
  std::vector<OwnedTag> owned;
  if (!impl_->EncodeTags(tags, owned)) return {};
  const std::uint32_t slot = impl_->NewRecord("CLASS", std::move(owned), 0, 0);
  if (s->containers.empty()) s->containers.push_back(Container{});
  s->containers.back().items.push_back(slot);
  return DxfObject(this, slot);
}

// ---------------------------------------------------------------------------------------------
// Tables

std::vector<DxfObject> DxfDocument::TableRecords(std::string_view table) {
  std::vector<DxfObject> out;
  if (Container* c = impl_->FindTable(table))
    for (auto slot : c->items)
      if (!impl_->records[slot].erased) out.emplace_back(this, slot);
  return out;
}

DxfObject DxfDocument::Table(std::string_view table) {
  Container* c = impl_->FindTable(table);
  return c ? DxfObject(this, c->head) : DxfObject();
}

DxfObject DxfDocument::FindRecord(std::string_view table, std::string_view name) {
  Container* c = impl_->FindTable(table);
  if (!c) return {};
  for (auto slot : c->items)
    if (!impl_->records[slot].erased && impl_->NameEquals(slot, name)) return DxfObject(this, slot);
  return {};
}

DxfObject DxfDocument::AddRecord(std::string_view table, std::string_view name) {
  if (name.empty()) return {};
  if (DxfObject existing = FindRecord(table, name)) return existing;
  Container* c = impl_->FindTable(table);
  if (!c) return {};
  const std::string tableName = ToUpperAscii(table);
  const Handle owner = impl_->records[c->head].handle;
  const Handle h = NewHandle();
  std::vector<DxfTag> tags = RecordTemplate(*this, tableName, name, h, owner);
  std::vector<OwnedTag> owned;
  if (!impl_->EncodeTags(tags, owned)) return {};
  const std::uint32_t slot = impl_->NewRecord(tableName, std::move(owned), h, owner);
  c = impl_->FindTable(table);  // records may have moved; containers did not
  c->items.push_back(slot);
  // Keep the table's count (70) at least the number of records.
  DxfObject head(this, c->head);
  long long live = 0;
  for (auto s : c->items)
    if (!impl_->records[s].erased) ++live;
  if (head.GetInt(70, 0) < live) head.SetInt(70, live);
  return DxfObject(this, slot);
}

DxfObject DxfDocument::RegisterApp(std::string_view app) { return AddRecord("APPID", app); }

// ---------------------------------------------------------------------------------------------
// Blocks and entities

DxfObject DxfDocument::BlockRecord(std::string_view name) { return FindRecord("BLOCK_RECORD", name); }
DxfObject DxfDocument::ModelSpace() { return BlockRecord("*Model_Space"); }
DxfObject DxfDocument::PaperSpace() { return BlockRecord("*Paper_Space"); }

std::vector<DxfObject> DxfDocument::Entities() {
  std::vector<DxfObject> out;
  if (Section* s = impl_->FindSection("ENTITIES"))
    for (const Container& c : s->containers)
      for (auto slot : c.items) {
        const Record& r = impl_->records[slot];
        if (!r.erased && r.parent == kNone) out.emplace_back(this, slot);
      }
  return out;
}

std::vector<DxfObject> DxfDocument::EntitiesOf(DxfObject blockRecord) {
  std::vector<DxfObject> out;
  if (blockRecord.IsNull() || blockRecord.Document() != this) return out;
  Impl& im = *impl_;
  const Handle h = blockRecord.GetHandle();
  const std::string name = blockRecord.GetString(2);
  const bool model = EqualsNoCase(name, "*Model_Space");
  const bool paper = EqualsNoCase(name, "*Paper_Space");
  if ((model || paper) && blockRecord.Type() == "BLOCK_RECORD") {
    if (Section* s = im.FindSection("ENTITIES"))
      for (const Container& c : s->containers)
        for (auto slot : c.items) {
          const Record& r = im.records[slot];
          if (r.erased || r.parent != kNone) continue;
          bool belongs;
          if (r.owner != 0 && h != 0) belongs = r.owner == h;
          else belongs = (DxfObject(this, slot).GetInt(67, 0) == 1) == paper;
          if (belongs) out.emplace_back(this, slot);
        }
  }
  Container* c = nullptr;
  if (blockRecord.Type() == "BLOCK") {
    if (Section* s = im.FindSection("BLOCKS"))
      for (Container& k : s->containers)
        if (k.head == blockRecord.Slot()) c = &k;
  } else {
    c = im.FindBlockContainer(name, h);
  }
  if (c)
    for (auto slot : c->items) {
      const Record& r = im.records[slot];
      if (!r.erased && r.parent == kNone) out.emplace_back(this, slot);
    }
  return out;
}

DxfObject DxfDocument::AddBlock(std::string_view name, const DxfPoint& base) {
  if (name.empty()) return {};
  Impl& im = *impl_;
  Section* blocks = im.FindSection("BLOCKS");
  if (!blocks) return {};
  const bool r12 = im.IsR12();
  DxfObject record;
  if (!r12) {
    if (DxfObject existing = BlockRecord(name)) return existing;
    record = AddRecord("BLOCK_RECORD", name);
    if (!record) return {};
  } else {
    if (Container* c = im.FindBlockContainer(name, 0)) return DxfObject(this, c->head);
  }
  const Handle owner = record ? record.GetHandle() : 0;
  const Handle hb = NewHandle();
  std::vector<OwnedTag> head, end;
  if (!im.EncodeTags(BlockTemplate(*this, name, base, hb, owner, r12), head)) return {};
  const std::uint32_t headSlot = im.NewRecord("BLOCK", std::move(head), hb, owner);
  const Handle he = NewHandle();
  im.EncodeTags(EndBlockTemplate(*this, he, owner, r12), end);
  const std::uint32_t endSlot = im.NewRecord("ENDBLK", std::move(end), he, owner);
  blocks = im.FindSection("BLOCKS");
  blocks->containers.push_back(Container{headSlot, {}, endSlot});
  return r12 ? DxfObject(this, headSlot) : record;
}

DxfObject DxfDocument::AddEntity(std::string_view type, DxfObject blockRecord) {
  if (type.empty()) return {};
  Impl& im = *impl_;
  const bool r12 = im.IsR12();
  if (blockRecord.IsNull()) {
    if (!r12) {
      blockRecord = ModelSpace();
      if (!blockRecord) return {};
    }
  } else if (blockRecord.Document() != this || blockRecord.IsErased()) {
    return {};
  }
  Container* target = nullptr;
  bool paper = false;
  Handle owner = 0;
  if (blockRecord.IsNull()) {
    Section* s = im.FindSection("ENTITIES");
    if (!s) return {};
    if (s->containers.empty()) s->containers.push_back(Container{});
    target = &s->containers.back();
  } else {
    const std::string name = blockRecord.GetString(2);
    const bool model = EqualsNoCase(name, "*Model_Space");
    paper = EqualsNoCase(name, "*Paper_Space");
    if (blockRecord.Type() == "BLOCK_RECORD") owner = blockRecord.GetHandle();
    if (model || paper) {
      Section* s = im.FindSection("ENTITIES");
      if (!s) return {};
      if (s->containers.empty()) s->containers.push_back(Container{});
      target = &s->containers.back();
    } else if (blockRecord.Type() == "BLOCK") {
      if (Section* s = im.FindSection("BLOCKS"))
        for (Container& k : s->containers)
          if (k.head == blockRecord.Slot()) target = &k;
    } else if (blockRecord.Type() == "BLOCK_RECORD") {
      target = im.FindBlockContainer(name, owner);
    }
  }
  if (!target) return {};
  const std::string upper = ToUpperAscii(type);
  const Handle h = NewHandle();
  std::vector<OwnedTag> owned;
  if (!im.EncodeTags(EntityTemplate(*this, upper, h, owner, paper, r12), owned)) return {};
  // `target` stays valid: NewRecord changes `records`, not the section containers.
  const std::uint32_t slot = im.NewRecord(upper, std::move(owned), h, owner);
  target->items.push_back(slot);
  return DxfObject(this, slot);
}

// ---------------------------------------------------------------------------------------------
// Objects

DxfObject DxfDocument::RootDictionary() {
  Section* s = impl_->FindSection("OBJECTS");
  if (!s) return {};
  for (const Container& c : s->containers)
    for (auto slot : c.items) {
      const Record& r = impl_->records[slot];
      if (r.erased) continue;
      return r.type == "DICTIONARY" ? DxfObject(this, slot) : DxfObject();
    }
  return {};
}

DxfObject DxfDocument::AddObject(DxfObject dictionary, std::string_view key, std::string_view type) {
  if (dictionary.IsNull() || dictionary.Document() != this || dictionary.Type() != "DICTIONARY" || key.empty() ||
      type.empty())
    return {};
  DxfDictionary dict(dictionary);
  if (Handle existing = dict.Get(key)) {
    if (DxfObject o = Get(existing)) return o;
  }
  Section* s = impl_->FindSection("OBJECTS");
  if (!s) return {};
  const std::string upper = ToUpperAscii(type);
  const Handle h = NewHandle();
  std::vector<OwnedTag> owned;
  if (!impl_->EncodeTags(ObjectTemplate(*this, upper, h, dictionary.GetHandle()), owned)) return {};
  const std::uint32_t slot = impl_->NewRecord(upper, std::move(owned), h, dictionary.GetHandle());
  s = impl_->FindSection("OBJECTS");
  if (s->containers.empty()) s->containers.push_back(Container{});
  s->containers.back().items.push_back(slot);
  if (!dict.Set(key, h)) return {};
  return DxfObject(this, slot);
}

// ---------------------------------------------------------------------------------------------
// Erasing

bool DxfDocument::Erase(DxfObject object) {
  if (object.IsNull() || object.Document() != this || object.IsErased()) return false;
  Impl& im = *impl_;
  const std::uint32_t slot = object.Slot();
  const std::string_view type = object.Type();
  if (type.empty() || type == "SECTION" || type == "ENDSEC" || type == "EOF" || type == "TABLE" ||
      type == "ENDTAB" || type == "BLOCK" || type == "ENDBLK")
    return false;
  if (object == RootDictionary()) return false;
  if (type == "BLOCK_RECORD") {
    const std::string name = object.GetString(2);
    if (EqualsNoCase(name, "*Model_Space") || EqualsNoCase(name, "*Paper_Space")) return false;
  }
  if (type == "LAYER" && object.GetString(2) == "0") return false;

  const Handle h = object.GetHandle();
  im.records[slot].erased = true;
  im.modified = true;

  // Sub-entities follow their main entity, in the slots right after it (as read, and as copied).
  for (std::uint32_t k = slot + 1; k < im.records.size() && im.records[k].parent == slot; ++k)
    im.records[k].erased = true;
  // A block record takes its block with it.
  if (type == "BLOCK_RECORD") {
    if (Container* c = im.FindBlockContainer(object.GetString(2), h)) {
      im.records[c->head].erased = true;
      for (auto k : c->items) im.records[k].erased = true;
      if (c->end != kNone) im.records[c->end].erased = true;
    }
  }
  // Remove the entry from an owning dictionary.
  if (DxfObject owner = Get(im.records[slot].owner); owner && owner.Type() == "DICTIONARY")
    DxfDictionary(owner).RemoveHandle(h);
  // Objects this one hard-owns (360 references, extension dictionaries) go too.
  if (h != 0) {
    std::vector<Handle> owned;
    const std::size_t n = object.DataEnd();
    for (std::size_t i = 0; i < n; ++i) {
      DxfTagRef t = object.TagAt(i);
      Handle ref = 0;
      if (t.code == 360 && ParseHandle(t.raw, ref)) owned.push_back(ref);
    }
    for (Handle ref : owned)
      if (DxfObject child = Get(ref); child && child.Owner() == h) Erase(child);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Counts

std::map<std::string, std::size_t> CountEntityTypes(DxfDocument& doc) {
  std::map<std::string, std::size_t> out;
  auto& im = doc.impl();
  for (const Section& s : im.sections) {
    if (s.name != "ENTITIES" && s.name != "BLOCKS") continue;
    for (const Container& c : s.containers)
      for (auto slot : c.items)
        if (!im.records[slot].erased) ++out[std::string(im.records[slot].type)];
  }
  return out;
}

std::map<std::string, std::size_t> CountObjectTypes(DxfDocument& doc) {
  std::map<std::string, std::size_t> out;
  auto& im = doc.impl();
  for (const Section& s : im.sections) {
    if (s.name != "OBJECTS") continue;
    for (const Container& c : s.containers)
      for (auto slot : c.items)
        if (!im.records[slot].erased) ++out[std::string(im.records[slot].type)];
  }
  return out;
}

}  // namespace tav::cad
