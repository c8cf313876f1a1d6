// The database, opened objects, symbol tables, dictionaries and xrecords of the host's drawing calls.
#include "platform/host/KvAcDb.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>

#include "platform/base/KvStrings.h"

using tav::cad::DxfDocument;
using tav::cad::DxfObject;
using tav::cad::Handle;

const AcDbObjectId AcDbObjectId::kNull;

// ---- handles and ids ------------------------------------------------------------------------------

AcDbHandle::AcDbHandle(const char* hex) {
  Handle h = 0;
  if (hex && tav::cad::ParseHandle(hex, h)) value_ = h;
}

std::string AcDbHandle::text() const { return tav::cad::FormatHandle(value_); }

void AcDbHandle::getIntoAsciiBuffer(char* buffer, std::size_t size) const {
  if (!buffer || size == 0) return;
  std::snprintf(buffer, size, "%s", text().c_str());
}

bool AcDbObjectId::isErased() const {
  if (isNull()) return false;
  return db_->document().Get(handle_).IsNull();
}

DxfObject AcDbObjectId::dxf() const {
  if (isNull()) return {};
  return db_->document().Get(handle_);
}

// ---- AcDbObject -------------------------------------------------------------------------------------

AcDbObject::~AcDbObject() {
  if (open_ && id_.database()) id_.database()->detach(this);
}

bool AcDbObject::isKindOf(const DxfObject&) { return true; }

std::string AcDbObject::dxfType() const { return std::string(obj_.Type()); }

bool AcDbObject::isErased() const { return isDatabaseResident() && obj_.IsErased(); }

Acad::ErrorStatus AcDbObject::upgradeOpen() {
  if (!isDatabaseResident()) return Acad::eNotInDatabase;
  if (mode_ == AcDb::kForWrite) return Acad::eOk;
  return database()->upgrade(this);
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
  if (!isDatabaseResident()) return Acad::eNotInDatabase;
  if (mode_ != AcDb::kForWrite) return Acad::eOk;
  Acad::ErrorStatus es = isErased() ? Acad::eOk : subClose();
  database()->downgrade(this);
  return es;
}

Acad::ErrorStatus AcDbObject::close() {
  if (!isDatabaseResident()) return Acad::eNotInDatabase;
  Acad::ErrorStatus es = Acad::eOk;
  if (mode_ == AcDb::kForWrite && !isErased()) es = subClose();
  delete this;  // the destructor ends the open
  return es;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
  if (!isDatabaseResident()) return Acad::eNotInDatabase;
  if (!erasing) return Acad::eNotApplicable;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (isErased()) return Acad::eWasErased;
  Handle h = obj_.GetHandle();
  if (!database()->document().Erase(obj_)) return Acad::eInvalidInput;
  database()->erased_.push_back(h);
  return Acad::eOk;
}

resbuf* AcDbObject::xData(const char* app) const {
  if (!isDatabaseResident() || isErased()) return nullptr;
  std::vector<tav::cad::DxfXData> chains;
  if (app && *app) {
    tav::cad::DxfXData one;
    if (!obj_.GetXData(app, one)) return nullptr;
    chains.push_back(std::move(one));
  } else {
    chains = obj_.AllXData();
  }
  if (chains.empty()) return nullptr;
  return KvXDataToRb(chains);
}

Acad::ErrorStatus AcDbObject::setXData(const resbuf* chain) {
  if (!isDatabaseResident()) return Acad::eNotInDatabase;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  std::vector<tav::cad::DxfXData> chains;
  if (!KvRbToXData(chain, chains)) return Acad::eInvalidInput;
  DxfDocument& doc = database()->document();
  for (const auto& c : chains)
    if (doc.FindRecord("APPID", c.app).IsNull()) return Acad::eRegappIdNotFound;
  for (const auto& c : chains) {
    if (c.items.empty()) {
      obj_.RemoveXData(c.app);
    } else if (!obj_.SetXData(c)) {
      return Acad::eInvalidInput;
    }
  }
  return Acad::eOk;
}

// ---- entities -----------------------------------------------------------------------------------------

static bool IsNonEntityType(std::string_view type) {
  static const char* const kTypes[] = {"SECTION", "ENDSEC", "TABLE", "ENDTAB", "BLOCK", "ENDBLK", "CLASS", "EOF",
                                       "DICTIONARY", "XRECORD", "LAYER", "LTYPE", "STYLE", "APPID",
                                       "BLOCK_RECORD", "VPORT", "VIEW", "UCS", "DIMSTYLE", "LAYOUT",
                                       "VERTEX", "SEQEND", "ATTRIB"};
  for (const char* t : kTypes)
    if (type == t) return true;
  return false;
}

bool AcDbEntity::isKindOf(const DxfObject& object) {
  if (object.IsNull() || IsNonEntityType(object.Type())) return false;
  Handle owner = object.Owner();
  if (owner == 0) return true;  // R12 entities carry no owner
  DxfObject o = object.Document()->Get(owner);
  return o.Type() == "BLOCK_RECORD";
}

std::string AcDbEntity::layer() const { return view<tav::cad::DxfEntity>().Layer(); }

Acad::ErrorStatus AcDbEntity::setLayer(std::string_view name) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  DxfObject rec = database()->document().FindRecord("LAYER", name);
  if (rec.IsNull()) return Acad::eKeyNotFound;
  return view<tav::cad::DxfEntity>().SetLayer(rec.GetString(2)) ? Acad::eOk : Acad::eInvalidInput;
}

std::string AcDbEntity::linetype() const { return view<tav::cad::DxfEntity>().Linetype(); }

Acad::ErrorStatus AcDbEntity::setLinetype(std::string_view name) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  std::string value(name);
  if (tav::EqualsNoCase(name, "BYLAYER") || tav::EqualsNoCase(name, "BYBLOCK")) {
    value = tav::ToUpperAscii(name);
  } else {
    DxfObject rec = database()->document().FindRecord("LTYPE", name);
    if (rec.IsNull()) return Acad::eKeyNotFound;
    value = rec.GetString(2);
  }
  return view<tav::cad::DxfEntity>().SetLinetype(value) ? Acad::eOk : Acad::eInvalidInput;
}

int AcDbEntity::colorIndex() const { return view<tav::cad::DxfEntity>().Color(); }

Acad::ErrorStatus AcDbEntity::setColorIndex(int color) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (color < 0 || color > 256) return Acad::eOutOfRange;
  return view<tav::cad::DxfEntity>().SetColor(color) ? Acad::eOk : Acad::eInvalidInput;
}

AcDbObjectId AcDbEntity::blockId() const {
  Handle owner = dxf().Owner();
  return owner ? AcDbObjectId(database(), owner) : AcDbObjectId();
}

// ---- symbol table records ---------------------------------------------------------------------------

static bool IsRecordType(std::string_view type) {
  static const char* const kTypes[] = {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK_RECORD",
                                       "VPORT", "VIEW",  "UCS",   "DIMSTYLE"};
  for (const char* t : kTypes)
    if (type == t) return true;
  return false;
}

bool AcDbSymbolTableRecord::isKindOf(const DxfObject& object) { return IsRecordType(object.Type()); }

std::string AcDbSymbolTableRecord::getName() const { return dxf().GetString(2); }

Acad::ErrorStatus AcDbSymbolTableRecord::getName(std::string& name) const {
  name = getName();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(std::string_view name) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (tav::Trim(name).empty()) return Acad::eInvalidInput;
  DxfObject other = database()->document().FindRecord(dxf().Type(), name);
  if (!other.IsNull() && !(other == dxf())) return Acad::eDuplicateRecordName;
  return dxf().SetString(2, name) ? Acad::eOk : Acad::eInvalidInput;
}

const tav::cad::DxfDashElement* AcDbLinetypeTableRecord::at(int index,
                                                            std::vector<tav::cad::DxfDashElement>& storage) const {
  storage = get().Elements();
  if (index < 0 || index >= static_cast<int>(storage.size())) return nullptr;
  return &storage[static_cast<std::size_t>(index)];
}

int AcDbLinetypeTableRecord::numDashes() const { return static_cast<int>(get().Elements().size()); }

double AcDbLinetypeTableRecord::dashLengthAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e ? e->length : 0.0;
}

std::string AcDbLinetypeTableRecord::textAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e && (e->type & 2) ? e->text : std::string();
}

AcDbObjectId AcDbLinetypeTableRecord::shapeStyleAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e && e->style ? AcDbObjectId(database(), e->style) : AcDbObjectId();
}

int AcDbLinetypeTableRecord::shapeNumberAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e ? e->shapeNumber : 0;
}

double AcDbLinetypeTableRecord::shapeScaleAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e && e->type ? e->scale : 0.0;
}

double AcDbLinetypeTableRecord::shapeRotationAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e ? e->rotation : 0.0;
}

AcGeVector2d AcDbLinetypeTableRecord::shapeOffsetAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e ? AcGeVector2d{e->offsetX, e->offsetY} : AcGeVector2d{};
}

int AcDbLinetypeTableRecord::shapeFlagsAt(int index) const {
  std::vector<tav::cad::DxfDashElement> s;
  const auto* e = at(index, s);
  return e ? e->type : 0;
}

std::string AcDbLinetypeTableRecord::comments() const { return get().Description(); }
double AcDbLinetypeTableRecord::patternLength() const { return get().PatternLength(); }

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, std::string_view dxfType,
                                                         AcDbEntity*& entity) {
  entity = nullptr;
  id = AcDbObjectId();
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (dxfType.empty() || IsNonEntityType(dxfType)) return Acad::eInvalidInput;
  DxfObject created = database()->document().AddEntity(dxfType, dxf());
  if (created.IsNull()) return Acad::eInvalidInput;
  id = database()->idOf(created);
  return acdbOpenObject(entity, id, AcDb::kForWrite);
}

AcDbObjectIdArray AcDbBlockTableRecord::entityIds() const {
  AcDbObjectIdArray ids;
  for (const DxfObject& e : database()->document().EntitiesOf(dxf())) ids.push_back(database()->idOf(e));
  return ids;
}

bool AcDbBlockTableRecord::isLayout() const {
  std::string n = getName();
  return tav::EqualsNoCase(n, "*Model_Space") || tav::StartsWithNoCase(n, "*Paper_Space");
}

// ---- symbol tables ----------------------------------------------------------------------------------

std::string AcDbSymbolTable::tableName() const { return dxf().GetString(2); }

bool AcDbSymbolTable::has(std::string_view name) const {
  return !database()->document().FindRecord(tableName(), name).IsNull();
}

Acad::ErrorStatus AcDbSymbolTable::getAt(std::string_view name, AcDbObjectId& id) const {
  id = AcDbObjectId();
  DxfObject rec = database()->document().FindRecord(tableName(), name);
  if (rec.IsNull()) return Acad::eKeyNotFound;
  id = database()->idOf(rec);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::add(std::string_view name, AcDbObjectId& id) {
  id = AcDbObjectId();
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (tav::Trim(name).empty()) return Acad::eInvalidInput;
  if (has(name)) return Acad::eDuplicateRecordName;
  DxfObject rec = database()->document().AddRecord(tableName(), name);
  if (rec.IsNull()) return Acad::eInvalidInput;
  id = database()->idOf(rec);
  return Acad::eOk;
}

AcDbObjectIdArray AcDbSymbolTable::recordIds() const {
  AcDbObjectIdArray ids;
  for (const DxfObject& r : database()->document().TableRecords(tableName())) ids.push_back(database()->idOf(r));
  return ids;
}

Acad::ErrorStatus AcDbSymbolTable::Iterator::getRecordId(AcDbObjectId& id) const {
  if (done()) return Acad::eOutOfRange;
  id = ids_[index_];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(std::unique_ptr<Iterator>& iterator) const {
  iterator = std::make_unique<Iterator>();
  iterator->ids_ = recordIds();
  return Acad::eOk;
}

// ---- dictionaries and xrecords -----------------------------------------------------------------------

int AcDbDictionary::numEntries() const { return static_cast<int>(entries().size()); }

bool AcDbDictionary::has(std::string_view key) const {
  AcDbObjectId id;
  return getAt(key, id) == Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(std::string_view key, AcDbObjectId& id) const {
  id = AcDbObjectId();
  Handle h = tav::cad::DxfDictionary(dxf()).Get(key);
  if (h == 0 || database()->document().Get(h).IsNull()) return Acad::eKeyNotFound;
  id = AcDbObjectId(database(), h);
  return Acad::eOk;
}

std::vector<std::pair<std::string, AcDbObjectId>> AcDbDictionary::entries() const {
  std::vector<std::pair<std::string, AcDbObjectId>> out;
  for (const auto& [key, h] : tav::cad::DxfDictionary(dxf()).Entries())
    if (!database()->document().Get(h).IsNull()) out.emplace_back(key, AcDbObjectId(database(), h));
  return out;
}

Acad::ErrorStatus AcDbDictionary::addObject(std::string_view key, std::string_view type, AcDbObjectId& id) {
  id = AcDbObjectId();
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (key.empty()) return Acad::eInvalidInput;
  AcDbObjectId existing;
  if (getAt(key, existing) == Acad::eOk) {
    if (existing.dxf().Type() != type) return Acad::eDuplicateKey;
    id = existing;
    return Acad::eOk;
  }
  DxfObject created = database()->document().AddObject(dxf(), key, type);
  if (created.IsNull()) return Acad::eInvalidInput;
  id = database()->idOf(created);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::addDictionary(std::string_view key, AcDbObjectId& id) {
  return addObject(key, "DICTIONARY", id);
}

Acad::ErrorStatus AcDbDictionary::addXrecord(std::string_view key, AcDbObjectId& id) {
  return addObject(key, "XRECORD", id);
}

Acad::ErrorStatus AcDbDictionary::remove(std::string_view key) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  tav::cad::DxfDictionary dict(dxf());
  Handle h = dict.Get(key);
  if (h == 0) return Acad::eKeyNotFound;
  DxfObject target = database()->document().Get(h);
  if (!target.IsNull()) database()->document().Erase(target);
  if (dict.Get(key) != 0) dict.Remove(key);
  return Acad::eOk;
}

std::vector<tav::cad::DxfTag> AcDbXrecord::data() const { return tav::cad::DxfXRecord(dxf()).Data(); }

Acad::ErrorStatus AcDbXrecord::setData(const std::vector<tav::cad::DxfTag>& tags) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  return tav::cad::DxfXRecord(dxf()).SetData(tags) ? Acad::eOk : Acad::eInvalidInput;
}

// ---- the database ---------------------------------------------------------------------------------------

static std::set<const AcDbDatabase*>& LiveDatabases() {
  static std::set<const AcDbDatabase*> live;
  return live;
}

bool AcDbDatabase::isLive(const AcDbDatabase* db) { return db && LiveDatabases().count(db) > 0; }

AcDbDatabase::AcDbDatabase() : doc_(DxfDocument::CreateNew()) { LiveDatabases().insert(this); }

AcDbDatabase::AcDbDatabase(DxfDocument document, std::string path) : doc_(std::move(document)), path_(std::move(path)) {
  LiveDatabases().insert(this);
}

AcDbDatabase::~AcDbDatabase() { LiveDatabases().erase(this); }

std::unique_ptr<AcDbDatabase> AcDbDatabase::open(const std::string& path, tav::cad::DxfResult* result) {
  DxfDocument doc;
  tav::cad::DxfResult r = doc.Load(path);
  if (result) *result = r;
  if (!r) return nullptr;
  return std::make_unique<AcDbDatabase>(std::move(doc), path);
}

Acad::ErrorStatus AcDbDatabase::readDxfFile(const std::string& path, tav::cad::DxfResult* result) {
  if (!open_.empty()) return Acad::eWasOpenForWrite;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    if (result) *result = {tav::cad::DxfStatus::IoError, 0, "cannot open " + path};
    return Acad::eFileNotFound;
  }
  DxfDocument doc;
  tav::cad::DxfResult r = doc.Load(path);
  if (result) *result = r;
  if (!r) return Acad::eFilerError;
  doc_ = std::move(doc);
  path_ = path;
  erased_.clear();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::saveAs(const std::string& path, tav::cad::DxfResult* result) {
  tav::cad::DxfResult r = doc_.Save(path);
  if (result) *result = r;
  if (!r) return Acad::eFilerError;
  path_ = path;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::save(tav::cad::DxfResult* result) {
  if (path_.empty()) return Acad::eNotApplicable;
  return saveAs(path_, result);
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound, const AcDbHandle& handle) {
  id = AcDbObjectId();
  if (handle.isNull()) return Acad::eInvalidInput;
  if (doc_.Get(handle.value()).IsNull() && !createIfNotFound) return Acad::eKeyNotFound;
  id = AcDbObjectId(this, handle.value());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(std::string_view tableName, AcDbSymbolTable*& table,
                                               AcDb::OpenMode mode) {
  table = nullptr;
  DxfObject head = doc_.Table(tableName);
  if (head.IsNull() || head.GetHandle() == 0) return Acad::eKeyNotFound;
  return acdbOpenObject(table, idOf(head), mode);
}

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode) {
  dictionary = nullptr;
  AcDbObjectId id = namedObjectsDictionaryId();
  if (id.isNull()) return Acad::eKeyNotFound;
  return acdbOpenObject(dictionary, id, mode);
}

AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() { return idOf(doc_.RootDictionary()); }
AcDbObjectId AcDbDatabase::modelSpaceId() { return idOf(doc_.ModelSpace()); }
AcDbObjectId AcDbDatabase::paperSpaceId() { return idOf(doc_.PaperSpace()); }

AcDbObjectId AcDbDatabase::textstyle() {
  DxfObject rec = doc_.FindRecord("STYLE", doc_.HeaderString("$TEXTSTYLE", "Standard"));
  if (rec.IsNull()) rec = doc_.FindRecord("STYLE", "Standard");
  return idOf(rec);
}

AcDbObjectId AcDbDatabase::clayer() {
  DxfObject rec = doc_.FindRecord("LAYER", doc_.HeaderString("$CLAYER", "0"));
  if (rec.IsNull()) rec = doc_.FindRecord("LAYER", "0");
  return idOf(rec);
}

Acad::ErrorStatus AcDbDatabase::openObject(AcDbObject*& object, const AcDbObjectId& id, AcDb::OpenMode mode,
                                           bool openErased) {
  object = nullptr;
  if (id.database() != this) return Acad::eInvalidInput;
  return acdbOpenObject(object, id, mode, openErased);
}

int AcDbDatabase::numOpenObjects() const {
  int n = 0;
  for (const auto& [h, s] : open_) n += s.readers + (s.writer ? 1 : 0);
  return n;
}

Acad::ErrorStatus AcDbDatabase::attach(AcDbObject* wrapper, Handle handle, AcDb::OpenMode mode, bool openErased) {
  DxfObject obj = doc_.Get(handle);
  if (obj.IsNull()) {
    bool erased = std::find(erased_.begin(), erased_.end(), handle) != erased_.end();
    (void)openErased;  // erased records are no longer reachable in the drawing
    return erased ? Acad::eWasErased : Acad::eNullObjectId;
  }
  OpenState& state = open_[handle];
  if (mode == AcDb::kForWrite) {
    if (state.writer) return Acad::eWasOpenForWrite;
    if (state.readers > 0) return Acad::eWasOpenForRead;
    state.writer = true;
  } else {
    if (state.writer) {
      return Acad::eWasOpenForWrite;
    }
    ++state.readers;
  }
  wrapper->id_ = AcDbObjectId(this, handle);
  wrapper->obj_ = obj;
  wrapper->mode_ = mode == AcDb::kForWrite ? AcDb::kForWrite : AcDb::kForRead;
  wrapper->open_ = true;
  wrapper->subOpen();
  return Acad::eOk;
}

void AcDbDatabase::detach(AcDbObject* wrapper) {
  auto it = open_.find(wrapper->id_.handle().value());
  if (it != open_.end()) {
    if (wrapper->mode_ == AcDb::kForWrite) it->second.writer = false;
    else if (it->second.readers > 0) --it->second.readers;
    if (!it->second.writer && it->second.readers == 0) open_.erase(it);
  }
  wrapper->open_ = false;
}

Acad::ErrorStatus AcDbDatabase::upgrade(AcDbObject* wrapper) {
  OpenState& state = open_[wrapper->id_.handle().value()];
  if (state.readers > 1) return Acad::eWasOpenForRead;
  state.readers = 0;
  state.writer = true;
  wrapper->mode_ = AcDb::kForWrite;
  return Acad::eOk;
}

void AcDbDatabase::downgrade(AcDbObject* wrapper) {
  OpenState& state = open_[wrapper->id_.handle().value()];
  state.writer = false;
  state.readers = 1;
  wrapper->mode_ = AcDb::kForRead;
}
