// Documents, the document manager, the working database and the C-style calls over them.
#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/base/KvStrings.h"
#include "platform/host/KvAcDb.h"

using tav::cad::DxfObject;

// ---- documents ----------------------------------------------------------------------------------

AcAp::DocLockMode AcApDocument::lockMode() const { return locks_.empty() ? AcAp::kNotLocked : locks_.back(); }

AcApDocManager::AcApDocManager() = default;
AcApDocManager::~AcApDocManager() = default;

Acad::ErrorStatus AcApDocManager::lockDocument(AcApDocument* doc, AcAp::DocLockMode mode, const char*, const char*,
                                               bool) {
  if (!doc) doc = cur_;
  if (!doc) return Acad::eNoDatabase;
  if (mode == AcAp::kNone || mode == AcAp::kNotLocked) return Acad::eInvalidInput;
  doc->locks_.push_back(mode);
  if (mode & (AcAp::kWrite | AcAp::kXWrite | AcAp::kAutoWrite)) ++doc->writeLocksTaken_;
  return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::unlockDocument(AcApDocument* doc) {
  if (!doc) doc = cur_;
  if (!doc) return Acad::eNoDatabase;
  if (doc->locks_.empty()) return Acad::eLockViolation;
  doc->locks_.pop_back();
  return Acad::eOk;
}

AcApDocument* AcApDocManager::newDocument() { return adoptDatabase(std::make_unique<AcDbDatabase>()); }

AcApDocument* AcApDocManager::openDocument(const std::string& path, tav::cad::DxfResult* result) {
  std::unique_ptr<AcDbDatabase> db = AcDbDatabase::open(path, result);
  if (!db) return nullptr;
  return adoptDatabase(std::move(db));
}

AcApDocument* AcApDocManager::adoptDatabase(std::unique_ptr<AcDbDatabase> db) {
  if (!db) return nullptr;
  docs_.push_back(std::unique_ptr<AcApDocument>(new AcApDocument(std::move(db))));
  cur_ = docs_.back().get();
  return cur_;
}

Acad::ErrorStatus AcApDocManager::setCurDocument(AcApDocument* doc) {
  for (const auto& d : docs_)
    if (d.get() == doc) {
      cur_ = doc;
      return Acad::eOk;
    }
  return Acad::eInvalidInput;
}

Acad::ErrorStatus AcApDocManager::closeDocument(AcApDocument* doc) {
  auto it = std::find_if(docs_.begin(), docs_.end(), [&](const auto& d) { return d.get() == doc; });
  if (it == docs_.end()) return Acad::eInvalidInput;
  if (doc->database()->numOpenObjects() > 0) return Acad::eWasOpenForWrite;
  if (!doc->locks_.empty()) return Acad::eLockViolation;
  AcDbHostApplicationServices* services = acdbHostApplicationServices();
  if (services->workingDatabase() == doc->database()) services->setWorkingDatabase(nullptr);
  docs_.erase(it);
  if (cur_ == doc) cur_ = docs_.empty() ? nullptr : docs_.back().get();
  return Acad::eOk;
}

void AcApDocManager::closeAll() {
  while (!docs_.empty()) {
    AcApDocument* doc = docs_.back().get();
    doc->locks_.clear();
    if (closeDocument(doc) != Acad::eOk) docs_.pop_back();  // objects left open: drop the document anyway
  }
  cur_ = nullptr;
}

std::vector<AcApDocument*> AcApDocManager::documents() const {
  std::vector<AcApDocument*> out;
  for (const auto& d : docs_) out.push_back(d.get());
  return out;
}

AcApDocManager* acDocManagerPtr() {
  static AcApDocManager manager;
  return &manager;
}

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const {
  if (working_ && AcDbDatabase::isLive(working_)) return working_;
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  return doc ? doc->database() : nullptr;
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
  static AcDbHostApplicationServices services;
  return &services;
}

KvWorkingDatabaseScope::KvWorkingDatabaseScope(AcDbDatabase* db) {
  // Remembers what was set explicitly (null stands for "the current document's").
  AcDbHostApplicationServices* s = acdbHostApplicationServices();
  previous_ = nullptr;
  AcDbDatabase* current = s->workingDatabase();
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!(doc && doc->database() == current)) previous_ = current;
  s->setWorkingDatabase(db);
}

KvWorkingDatabaseScope::~KvWorkingDatabaseScope() { acdbHostApplicationServices()->setWorkingDatabase(previous_); }

// ---- convenience calls ---------------------------------------------------------------------------

Acad::ErrorStatus KvDbRegApp(AcDbDatabase* db, std::string_view appName) {
  if (!db) return Acad::eNoDatabase;
  if (tav::Trim(appName).empty()) return Acad::eInvalidInput;
  return db->document().RegisterApp(appName).IsNull() ? Acad::eInvalidInput : Acad::eOk;
}

int acdbRegApp(const char* appName) {
  if (!appName) return RTERROR;
  return KvDbRegApp(acdbHostApplicationServices()->workingDatabase(), appName) == Acad::eOk ? RTNORM : RTERROR;
}

Acad::ErrorStatus KvDbAppendToModelSpace(AcDbDatabase* db, std::string_view dxfType, AcDbEntity*& entity,
                                         AcDbObjectId* id) {
  entity = nullptr;
  if (!db) db = acdbHostApplicationServices()->workingDatabase();
  if (!db) return Acad::eNoDatabase;
  AcDbBlockTableRecord* space = nullptr;
  Acad::ErrorStatus es = acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
  if (es != Acad::eOk) return es;
  AcDbObjectId newId;
  es = space->appendAcDbEntity(newId, dxfType, entity);
  space->close();
  if (id) *id = newId;
  return es;
}

// ---- symbol table lists ------------------------------------------------------------------------------

namespace {

std::string TableOf(std::string_view name) {
  std::string t = tav::ToUpperAscii(name);
  if (t == "BLOCK") return "BLOCK_RECORD";
  return t;
}

bool IsHandleCode(int c) { return c == 5 || c == 105 || (c >= 320 && c <= 369) || (c >= 390 && c <= 399) || c == 1005; }

resbuf* RecordList(std::string_view tableName, const DxfObject& rec) {
  resbuf* head = acutNewRb(0);
  KvRbSetString(head, tav::ToUpperAscii(tableName));
  resbuf* tail = head;
  auto append = [&](resbuf* rb) {
    tail->rbnext = rb;
    tail = rb;
  };
  resbuf* name = acutNewRb(2);
  KvRbSetString(name, rec.GetString(2));
  append(name);
  resbuf* flags = acutNewRb(70);
  flags->resval.rint = static_cast<short>(rec.GetInt(70));
  append(flags);
  const std::size_t end = rec.DataEnd();
  for (std::size_t i = 1; i < end; ++i) {
    int code = rec.TagAt(i).code;
    if (code == 2 || code == 70 || code == 100 || code == 102 || IsHandleCode(code)) continue;
    if (code == 102) continue;
    KvResKind kind = KvResKindOf(code);
    if (kind == KvResKind::kNone || (code >= 20 && code <= 39)) continue;  // y and z belong to their x
    resbuf* rb = acutNewRb(code);
    std::string text = rec.TextAt(i);
    switch (kind) {
      case KvResKind::kString: KvRbSetString(rb, text); break;
      case KvResKind::kReal: rb->resval.rreal = std::strtod(text.c_str(), nullptr); break;
      case KvResKind::kShort: rb->resval.rint = static_cast<short>(std::strtol(text.c_str(), nullptr, 10)); break;
      case KvResKind::kLong: rb->resval.rlong = static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10)); break;
      case KvResKind::kPoint: {
        rb->resval.rpoint[0] = std::strtod(text.c_str(), nullptr);
        for (int k = 1; k <= 2 && i + static_cast<std::size_t>(k) < end; ++k)
          if (rec.TagAt(i + k).code == code + 10 * k)
            rb->resval.rpoint[k] = std::strtod(rec.TextAt(i + k).c_str(), nullptr);
        break;
      }
      default: break;
    }
    append(rb);
  }
  return head;
}

std::map<std::pair<const AcDbDatabase*, std::string>, std::size_t>& TblCursor() {
  static std::map<std::pair<const AcDbDatabase*, std::string>, std::size_t> cursor;
  return cursor;
}

}  // namespace

resbuf* acdbTblNext(const char* tableName, int rewind) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db || !tableName) return nullptr;
  std::string table = TableOf(tableName);
  std::vector<DxfObject> recs = db->document().TableRecords(table);
  std::size_t& next = TblCursor()[{db, table}];
  if (rewind) next = 0;
  if (next >= recs.size()) return nullptr;
  return RecordList(tableName, recs[next++]);
}

resbuf* acdbTblSearch(const char* tableName, const char* name, int setNext) {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  if (!db || !tableName || !name) return nullptr;
  std::string table = TableOf(tableName);
  std::vector<DxfObject> recs = db->document().TableRecords(table);
  for (std::size_t i = 0; i < recs.size(); ++i) {
    if (tav::EqualsNoCase(recs[i].GetString(2), name)) {
      if (setNext) TblCursor()[{db, table}] = i + 1;
      return RecordList(tableName, recs[i]);
    }
  }
  return nullptr;
}

// ---- entity names ------------------------------------------------------------------------------------

Acad::ErrorStatus acdbGetAdsName(ads_name name, const AcDbObjectId& id) {
  if (!name) return Acad::eInvalidInput;
  name[0] = name[1] = 0;
  if (id.isNull()) return Acad::eNullObjectId;
  name[0] = static_cast<std::int64_t>(id.handle().value());
  name[1] = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(id.database()));
  return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name) {
  id = AcDbObjectId();
  if (!name || name[0] == 0) return Acad::eNullObjectId;
  auto* db = reinterpret_cast<AcDbDatabase*>(static_cast<std::intptr_t>(name[1]));
  if (!AcDbDatabase::isLive(db)) return Acad::eInvalidInput;
  id = AcDbObjectId(db, static_cast<tav::cad::Handle>(name[0]));
  return Acad::eOk;
}

const char* acadErrorStatusText(Acad::ErrorStatus status) {
  switch (status) {
    case Acad::eOk: return "eOk";
    case Acad::eInvalidInput: return "eInvalidInput";
    case Acad::eDuplicateKey: return "eDuplicateKey";
    case Acad::eKeyNotFound: return "eKeyNotFound";
    case Acad::eNotApplicable: return "eNotApplicable";
    case Acad::eNullObjectId: return "eNullObjectId";
    case Acad::eNoDatabase: return "eNoDatabase";
    case Acad::eWasErased: return "eWasErased";
    case Acad::eWasOpenForWrite: return "eWasOpenForWrite";
    case Acad::eWasOpenForRead: return "eWasOpenForRead";
    case Acad::eNotOpenForWrite: return "eNotOpenForWrite";
    case Acad::eNotThatKindOfClass: return "eNotThatKindOfClass";
    case Acad::eNotInDatabase: return "eNotInDatabase";
    case Acad::eFileNotFound: return "eFileNotFound";
    case Acad::eFilerError: return "eFilerError";
    case Acad::eDuplicateRecordName: return "eDuplicateRecordName";
    case Acad::eUndefinedLineType: return "eUndefinedLineType";
    case Acad::eRegappIdNotFound: return "eRegappIdNotFound";
    case Acad::eCannotScaleNonUniformly: return "eCannotScaleNonUniformly";
    case Acad::eLockViolation: return "eLockViolation";
    case Acad::eInvalidDxfCode: return "eInvalidDxfCode";
    case Acad::eOutOfRange: return "eOutOfRange";
  }
  return "eUnknown";
}
