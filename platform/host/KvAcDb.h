// The host's drawing database calls, over the lossless DXF document of platform/cad.
//
// The model is the CAD program's: a database (AcDbDatabase, one drawing) holds objects reached by
// object ids (database + handle). An object is opened for read or write with acdbOpenObject, which
// gives an opened-object wrapper; the wrapper reads and changes the drawing through the typed views of
// platform/cad, and `close()` ends the open and frees the wrapper (the drawing object stays). Many
// readers or one writer may hold an object at a time. Documents (AcApDocument) pair a database with
// its file and lock; the document manager knows the current one, whose database is the working
// database of acdbHostApplicationServices().
//
//   AcDbLinetypeTable* table = nullptr;
//   if (db->getSymbolTable(table, AcDb::kForRead) == Acad::eOk) {
//     AcDbLinetypeTableRecord* rec = nullptr;
//     if (table->getAt("TAV_W", rec, AcDb::kForRead) == Acad::eOk) { ... rec->close(); }
//     table->close();
//   }
//
// Everything here runs on the host's main thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/KvGeometry.h"
#include "platform/cad/DxfDocument.h"
#include "platform/cad/DxfViews.h"
#include "platform/host/KvArx.h"
#include "platform/host/KvResbuf.h"

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
}
namespace AcAp {
enum DocLockMode { kNone = 0x00, kAutoWrite = 0x01, kNotLocked = 0x02, kWrite = 0x04, kProtectedAutoWrite = 0x14,
                   kRead = 0x20, kXWrite = 0x40 };
}

// Geometry of the calls: points are KvGePoint; vectors hold the same three numbers.
using AcGePoint3d = KvGePoint;
struct AcGeVector3d {
  double x = 0, y = 0, z = 0;
  bool operator==(const AcGeVector3d&) const = default;
};
struct AcGeVector2d {
  double x = 0, y = 0;
  bool operator==(const AcGeVector2d&) const = default;
};

// An affine transformation of points: p' = M·p + t (3 x 4). Entities accept the conformal ones that
// keep the Z axis: rotations about an axis parallel to Z, translations, uniform scalings.
class AcGeMatrix3d {
 public:
  AcGeMatrix3d();  // identity
  static AcGeMatrix3d translation(const AcGeVector3d& v);
  // Rotation by `angle` radians (counter-clockwise seen from +Z when `axis` is +Z) about the line
  // through `center` along `axis`. A zero axis gives the identity.
  static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center = {});
  static AcGeMatrix3d scaling(double factor, const AcGePoint3d& center = {});
  // this * other: `other` is applied first.
  AcGeMatrix3d operator*(const AcGeMatrix3d& other) const;
  AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left);   // *this = left * *this
  AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right); // *this = *this * right
  AcGePoint3d apply(const AcGePoint3d& p) const;
  AcGeVector3d applyVector(const AcGeVector3d& v) const;  // without the translation
  // Planar conformal: Z axis kept, XY part a rotation times a uniform positive scale. Then `angle`
  // (radians, in [0, 2pi)) and `scale` describe the XY part.
  bool isPlanarConformal(double* angle = nullptr, double* scale = nullptr, double tol = 1e-9) const;
  double entry(int row, int col) const { return m_[row][col]; }  // col 3 is the translation

 private:
  double m_[3][4];
};

// A handle as the CAD program shows it (hex text).
class AcDbHandle {
 public:
  AcDbHandle() = default;
  AcDbHandle(tav::cad::Handle value) : value_(value) {}  // NOLINT: handles convert freely
  // Hex text; an invalid text gives the null handle.
  explicit AcDbHandle(const char* hex);
  bool isNull() const { return value_ == 0; }
  tav::cad::Handle value() const { return value_; }
  std::string text() const;  // "1F"; "0" for null
  void getIntoAsciiBuffer(char* buffer, std::size_t size = 17) const;
  bool operator==(const AcDbHandle&) const = default;
  operator tav::cad::Handle() const { return value_; }  // NOLINT

 private:
  tav::cad::Handle value_ = 0;
};

class AcDbDatabase;

// An object id: the database and the handle of one of its objects. Null when either is missing.
class AcDbObjectId {
 public:
  AcDbObjectId() = default;
  AcDbObjectId(AcDbDatabase* db, tav::cad::Handle handle) : db_(db), handle_(handle) {}
  static const AcDbObjectId kNull;

  bool isNull() const { return db_ == nullptr || handle_ == 0; }
  bool isValid() const { return !isNull(); }
  // True when the id names an object of its database that is erased or absent.
  bool isErased() const;
  AcDbHandle handle() const { return handle_; }
  AcDbDatabase* database() const { return db_; }
  // The object of the id, or a null DxfObject when the id is null, erased or absent.
  tav::cad::DxfObject dxf() const;
  bool operator==(const AcDbObjectId& o) const { return isNull() ? o.isNull() : db_ == o.db_ && handle_ == o.handle_; }
  bool operator<(const AcDbObjectId& o) const { return db_ != o.db_ ? db_ < o.db_ : handle_ < o.handle_; }

 private:
  AcDbDatabase* db_ = nullptr;
  tav::cad::Handle handle_ = 0;
};
using AcDbObjectIdArray = std::vector<AcDbObjectId>;

// ---- opened objects -------------------------------------------------------------------------------

// An object opened from the database, or a free-standing object of a class that can live outside a
// drawing (KvDbSetting). Opened objects are created by acdbOpenObject and friends and must be closed.
class AcDbObject {
 public:
  AcDbObject() = default;  // free-standing until attached by acdbOpenObject
  virtual ~AcDbObject();
  AcDbObject(const AcDbObject&) = delete;
  AcDbObject& operator=(const AcDbObject&) = delete;

  // Whether a drawing object of this type may be opened as this class (all objects for AcDbObject).
  static bool isKindOf(const tav::cad::DxfObject& object);

  AcDbObjectId objectId() const { return id_; }
  AcDbHandle handle() const { return id_.handle(); }
  AcDbDatabase* database() const { return id_.database(); }
  // The record type ("LINE", "LTYPE", "XRECORD"); "" for a free-standing object.
  std::string dxfType() const;
  tav::cad::DxfObject dxf() const { return obj_; }
  bool isDatabaseResident() const { return !obj_.IsNull(); }
  bool isReadEnabled() const { return mode_ != AcDb::kForNotify; }
  bool isWriteEnabled() const { return mode_ == AcDb::kForWrite; }
  bool isErased() const;

  // A typed view of the object (DxfLine, DxfText, ...). Reading is always allowed; change the drawing
  // only through an object opened for write (writeView gives an invalid view otherwise).
  template <class View> View view() const { return View(obj_); }
  template <class View> View writeView() const { return View(isWriteEnabled() ? obj_ : tav::cad::DxfObject()); }

  // Read -> write: eWasOpenForRead when other readers hold the object. Already write: eOk.
  Acad::ErrorStatus upgradeOpen();
  // Write -> read (changes are written first).
  Acad::ErrorStatus downgradeOpen();
  // Ends the open: a write-opened object stores its pending changes, then the wrapper is deleted
  // (do not use the pointer afterwards). A free-standing object answers eNotInDatabase and stays.
  Acad::ErrorStatus close();
  // Erases the object from the drawing (needs write). `erasing` false (unerase) is eNotApplicable.
  // eInvalidInput for records the drawing must keep (model space, layer "0", the root dictionary).
  Acad::ErrorStatus erase(bool erasing = true);

  // Extended data of `app` (all applications when null/empty) as a new list (1001 first), which the
  // caller frees with acutRelRb; null when there is none.
  resbuf* xData(const char* app = nullptr) const;
  // Sets the chains of the applications in the list; an application with nothing after its 1001
  // loses its data. eNotOpenForWrite, eRegappIdNotFound (application not registered),
  // eInvalidInput (list not starting with 1001, bad item code).
  Acad::ErrorStatus setXData(const resbuf* chain);

 protected:
  // Called after the object was attached (read the drawing's data into members here).
  virtual void subOpen() {}
  // Called before a write-opened object is released or downgraded (store members here).
  virtual Acad::ErrorStatus subClose() { return Acad::eOk; }
  // True when a change may be made (write-opened, or free-standing).
  bool canWrite() const { return !isDatabaseResident() || isWriteEnabled(); }

 private:
  friend class AcDbDatabase;
  AcDbObjectId id_;
  tav::cad::DxfObject obj_;
  AcDb::OpenMode mode_ = AcDb::kForWrite;  // free-standing objects may change
  bool open_ = false;                       // registered in the database's open table
};

// Entities: records owned by a block (model space, paper space, block definitions).
class AcDbEntity : public AcDbObject {
 public:
  static bool isKindOf(const tav::cad::DxfObject& object);
  std::string layer() const;
  Acad::ErrorStatus setLayer(std::string_view name);  // eKeyNotFound when the layer does not exist
  std::string linetype() const;
  Acad::ErrorStatus setLinetype(std::string_view name);  // "BYLAYER", "BYBLOCK" or an existing linetype
  int colorIndex() const;
  Acad::ErrorStatus setColorIndex(int color);  // 0..256
  AcDbObjectId blockId() const;  // the owning block record
  // Moves, turns or scales the entity, its angles and the world positions, displacements, directions,
  // distances and scale factors of its xdata (1011, 1012, 1013, 1041, 1042). Handles LINE, LWPOLYLINE,
  // TEXT, INSERT, CIRCLE, ARC, POINT and TAV_EQUIPMENT: eNotApplicable for other types,
  // eCannotScaleNonUniformly for a matrix that is not planar conformal, eNotOpenForWrite.
  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);
};

#define TAV_ACDB_ENTITY_CLASS(Name, DxfTypeText, ViewType)                               \
  class Name : public AcDbEntity {                                                       \
   public:                                                                               \
    static constexpr std::string_view kDxfType = DxfTypeText;                            \
    static bool isKindOf(const tav::cad::DxfObject& object) {                            \
      return AcDbEntity::isKindOf(object) && object.Type() == kDxfType;                  \
    }                                                                                    \
    ViewType get() const { return view<ViewType>(); }                                    \
    ViewType set() const { return writeView<ViewType>(); }                               \
  };
TAV_ACDB_ENTITY_CLASS(AcDbLine, "LINE", tav::cad::DxfLine)
TAV_ACDB_ENTITY_CLASS(AcDbPolyline, "LWPOLYLINE", tav::cad::DxfLwPolyline)
TAV_ACDB_ENTITY_CLASS(AcDbText, "TEXT", tav::cad::DxfText)
TAV_ACDB_ENTITY_CLASS(AcDbBlockReference, "INSERT", tav::cad::DxfInsert)
TAV_ACDB_ENTITY_CLASS(AcDbCircle, "CIRCLE", tav::cad::DxfCircle)
TAV_ACDB_ENTITY_CLASS(AcDbArc, "ARC", tav::cad::DxfArc)

// ---- symbol tables ----------------------------------------------------------------------------------

class AcDbSymbolTableRecord : public AcDbObject {
 public:
  static bool isKindOf(const tav::cad::DxfObject& object);  // any table record
  std::string getName() const;
  Acad::ErrorStatus getName(std::string& name) const;
  // eDuplicateRecordName when another record of the table has the name; eInvalidInput for "".
  Acad::ErrorStatus setName(std::string_view name);
};

#define TAV_ACDB_RECORD_CLASS(Name, DxfTypeText, ViewType)                               \
  class Name : public AcDbSymbolTableRecord {                                            \
   public:                                                                               \
    static constexpr std::string_view kDxfType = DxfTypeText;                            \
    static bool isKindOf(const tav::cad::DxfObject& object) { return object.Type() == kDxfType; } \
    ViewType get() const { return view<ViewType>(); }                                    \
    ViewType set() const { return writeView<ViewType>(); }

TAV_ACDB_RECORD_CLASS(AcDbLayerTableRecord, "LAYER", tav::cad::DxfLayer)
};
TAV_ACDB_RECORD_CLASS(AcDbTextStyleTableRecord, "STYLE", tav::cad::DxfTextStyle)
};
TAV_ACDB_RECORD_CLASS(AcDbRegAppTableRecord, "APPID", tav::cad::DxfAppId)
};
TAV_ACDB_RECORD_CLASS(AcDbLinetypeTableRecord, "LTYPE", tav::cad::DxfLinetype)
  // The pattern as the CAD program answers it. Out-of-range indexes give 0, "", a null id.
  int numDashes() const;
  double dashLengthAt(int index) const;
  std::string textAt(int index) const;          // "" when the dash carries no text
  AcDbObjectId shapeStyleAt(int index) const;   // the STYLE record (340) of a text or shape
  int shapeNumberAt(int index) const;
  double shapeScaleAt(int index) const;
  double shapeRotationAt(int index) const;      // radians
  AcGeVector2d shapeOffsetAt(int index) const;
  int shapeFlagsAt(int index) const;            // 74
  std::string comments() const;                 // the description
  double patternLength() const;

 private:
  const tav::cad::DxfDashElement* at(int index, std::vector<tav::cad::DxfDashElement>& storage) const;
};
class AcDbBlockTableRecord;
TAV_ACDB_RECORD_CLASS(AcDbBlockTableRecord, "BLOCK_RECORD", tav::cad::DxfBlockRecord)
  // Creates a new entity of `dxfType` in this block (layer "0", the type's required fields) and
  // returns it opened for write in `entity` (close it); `id` gets its id. eNotOpenForWrite when this
  // record is open for read only, eInvalidInput for an empty type.
  Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, std::string_view dxfType, AcDbEntity*& entity);
  // Same, for a typed class (AcDbLine, AcDbText, ...).
  template <class T> Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, T*& entity);
  // The entities of the block in drawing order.
  AcDbObjectIdArray entityIds() const;
  bool isLayout() const;  // *Model_Space or *Paper_Space
};

// A symbol table ("LAYER", "LTYPE", "STYLE", "APPID", "BLOCK_RECORD", ...), opened like an object.
class AcDbSymbolTable : public AcDbObject {
 public:
  static bool isKindOf(const tav::cad::DxfObject& object) { return object.Type() == "TABLE"; }
  std::string tableName() const;  // "LTYPE"
  // Names compare ignoring case; erased records are not found.
  bool has(std::string_view name) const;
  Acad::ErrorStatus getAt(std::string_view name, AcDbObjectId& id) const;  // eKeyNotFound
  // Opens the record of `name` as T (eKeyNotFound, eNotThatKindOfClass, open failures).
  template <class T> Acad::ErrorStatus getAt(std::string_view name, T*& record, AcDb::OpenMode mode) const;
  // Adds a record with the table's defaults (needs write). eDuplicateRecordName, eInvalidInput.
  Acad::ErrorStatus add(std::string_view name, AcDbObjectId& id);
  // The records in table order.
  AcDbObjectIdArray recordIds() const;
  // Iteration in table order: for (it->start(); !it->done(); it->step()) it->getRecordId(id);
  class Iterator {
   public:
    void start() { index_ = 0; }
    bool done() const { return index_ >= ids_.size(); }
    void step() { ++index_; }
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    template <class T> Acad::ErrorStatus getRecord(T*& record, AcDb::OpenMode mode) const;

   private:
    friend class AcDbSymbolTable;
    AcDbObjectIdArray ids_;
    std::size_t index_ = 0;
  };
  Acad::ErrorStatus newIterator(std::unique_ptr<Iterator>& iterator) const;
};
#define TAV_ACDB_TABLE_CLASS(Name, TableName)                                               \
  class Name : public AcDbSymbolTable {                                                     \
   public:                                                                                  \
    static constexpr std::string_view kTableName = TableName;                               \
    static bool isKindOf(const tav::cad::DxfObject& object) {                               \
      return object.Type() == "TABLE" && object.GetString(2) == kTableName;                 \
    }                                                                                       \
  };
TAV_ACDB_TABLE_CLASS(AcDbLayerTable, "LAYER")
TAV_ACDB_TABLE_CLASS(AcDbLinetypeTable, "LTYPE")
TAV_ACDB_TABLE_CLASS(AcDbTextStyleTable, "STYLE")
TAV_ACDB_TABLE_CLASS(AcDbRegAppTable, "APPID")
TAV_ACDB_TABLE_CLASS(AcDbBlockTable, "BLOCK_RECORD")

// ---- dictionaries ---------------------------------------------------------------------------------

class AcDbDictionary : public AcDbObject {
 public:
  static bool isKindOf(const tav::cad::DxfObject& object) { return object.Type() == "DICTIONARY"; }
  int numEntries() const;
  bool has(std::string_view key) const;  // exact key
  Acad::ErrorStatus getAt(std::string_view key, AcDbObjectId& id) const;  // eKeyNotFound
  template <class T> Acad::ErrorStatus getAt(std::string_view key, T*& object, AcDb::OpenMode mode) const;
  // The entries in stored order (the iteration order).
  std::vector<std::pair<std::string, AcDbObjectId>> entries() const;
  // Adds a new owned DICTIONARY or XRECORD under `key` (needs write); the existing object when the key
  // is taken by an object of that type, eDuplicateKey when taken by another type.
  Acad::ErrorStatus addDictionary(std::string_view key, AcDbObjectId& id);
  Acad::ErrorStatus addXrecord(std::string_view key, AcDbObjectId& id);
  // Removes the entry and erases the object it owns (needs write). eKeyNotFound.
  Acad::ErrorStatus remove(std::string_view key);

 private:
  Acad::ErrorStatus addObject(std::string_view key, std::string_view type, AcDbObjectId& id);
};

class AcDbXrecord : public AcDbObject {
 public:
  static bool isKindOf(const tav::cad::DxfObject& object) { return object.Type() == "XRECORD"; }
  std::vector<tav::cad::DxfTag> data() const;
  Acad::ErrorStatus setData(const std::vector<tav::cad::DxfTag>& tags);  // eNotOpenForWrite, eInvalidInput
};

// ---- the database --------------------------------------------------------------------------------

class AcDbDatabase {
 public:
  // A new drawing (R2010, the tables and objects a CAD program needs), not yet saved anywhere.
  AcDbDatabase();
  // Takes over a document read elsewhere; `path` is the file it stands for ("" for none).
  explicit AcDbDatabase(tav::cad::DxfDocument document, std::string path = {});
  ~AcDbDatabase();
  AcDbDatabase(const AcDbDatabase&) = delete;
  AcDbDatabase& operator=(const AcDbDatabase&) = delete;

  // Reads a drawing into a new database: null with `result` telling why on failure.
  static std::unique_ptr<AcDbDatabase> open(const std::string& path, tav::cad::DxfResult* result = nullptr);
  // Replaces the drawing by the file's: eFileNotFound, eFilerError (unreadable, `result` says why),
  // eWasOpenForWrite while objects are open (the drawing stays as it was).
  Acad::ErrorStatus readDxfFile(const std::string& path, tav::cad::DxfResult* result = nullptr);
  // Writes the drawing atomically (pending changes of open objects are not included); the path
  // becomes the database's file. eFilerError with `result` telling why.
  Acad::ErrorStatus saveAs(const std::string& path, tav::cad::DxfResult* result = nullptr);
  // Writes to filename(); eNotApplicable when it has none.
  Acad::ErrorStatus save(tav::cad::DxfResult* result = nullptr);
  const std::string& filename() const { return path_; }

  tav::cad::DxfDocument& document() { return doc_; }
  const tav::cad::DxfDocument& document() const { return doc_; }

  AcDbObjectId idOf(const tav::cad::DxfObject& object) { return object.IsNull() ? AcDbObjectId() : AcDbObjectId(this, object.GetHandle()); }
  // The id of a handle: eOk when the object exists; with `createIfNotFound` the id is given anyway.
  Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound, const AcDbHandle& handle);

  // Symbol tables by the class of the out parameter.
  template <class T> Acad::ErrorStatus getSymbolTable(T*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getSymbolTable(std::string_view tableName, AcDbSymbolTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode) { return getSymbolTable(table, mode); }
  Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
  AcDbObjectId namedObjectsDictionaryId();
  AcDbObjectId modelSpaceId();
  AcDbObjectId paperSpaceId();
  AcDbObjectId textstyle();  // the current text style ($TEXTSTYLE, else "Standard"), null when absent
  AcDbObjectId clayer();     // the current layer ($CLAYER, else "0")

  // Opens the object of `id` (which must belong to this database) as `object`.
  Acad::ErrorStatus openObject(AcDbObject*& object, const AcDbObjectId& id, AcDb::OpenMode mode, bool openErased = false);
  // How many objects are open right now (a finished operation leaves 0).
  int numOpenObjects() const;
  // True while `db` names a database that exists (for names that carry a database pointer).
  static bool isLive(const AcDbDatabase* db);

  // Internal: attaches a new wrapper to the object of `handle`. Used by acdbOpenObject.
  Acad::ErrorStatus attach(AcDbObject* wrapper, tav::cad::Handle handle, AcDb::OpenMode mode, bool openErased);
  void detach(AcDbObject* wrapper);
  Acad::ErrorStatus upgrade(AcDbObject* wrapper);
  void downgrade(AcDbObject* wrapper);

 private:
  friend class AcDbObject;
  struct OpenState {
    int readers = 0;
    bool writer = false;
  };
  tav::cad::DxfDocument doc_;
  std::string path_;
  std::map<tav::cad::Handle, OpenState> open_;
  std::vector<tav::cad::Handle> erased_;  // erased through this database, for eWasErased
};

// ---- documents ------------------------------------------------------------------------------------

class AcApDocument {
 public:
  AcDbDatabase* database() const { return db_.get(); }
  const std::string& fileName() const { return db_->filename(); }
  // The lock mode held now (kNotLocked when none) and how deep the locks are nested.
  AcAp::DocLockMode lockMode() const;
  int lockDepth() const { return static_cast<int>(locks_.size()); }
  // How many write locks were taken since the document was opened (for checks of callers).
  int writeLocksTaken() const { return writeLocksTaken_; }
  // The pickfirst set: entities selected before a command started (the implied selection "I").
  const AcDbObjectIdArray& pickfirst() const { return pickfirst_; }
  void setPickfirst(AcDbObjectIdArray ids) { pickfirst_ = std::move(ids); }

 private:
  friend class AcApDocManager;
  explicit AcApDocument(std::unique_ptr<AcDbDatabase> db) : db_(std::move(db)) {}
  std::unique_ptr<AcDbDatabase> db_;
  std::vector<AcAp::DocLockMode> locks_;
  int writeLocksTaken_ = 0;
  AcDbObjectIdArray pickfirst_;
};

class AcApDocManager {
 public:
  AcApDocManager();
  ~AcApDocManager();

  AcApDocument* curDocument() const { return cur_; }
  AcApDocument* mdiActiveDocument() const { return cur_; }
  // Locks `doc` (the current one when null) with `mode`; locks nest and are released in reverse order.
  // eNoDatabase when there is no document; eInvalidInput for kNone/kNotLocked.
  Acad::ErrorStatus lockDocument(AcApDocument* doc, AcAp::DocLockMode mode = AcAp::kWrite,
                                 const char* globalCmdName = nullptr, const char* localCmdName = nullptr,
                                 bool prompt = true);
  // eLockViolation when the document holds no lock.
  Acad::ErrorStatus unlockDocument(AcApDocument* doc);

  // Host side: documents come from files or are new; the newest becomes current.
  AcApDocument* newDocument();
  // Null with `result` telling why when the file cannot be read.
  AcApDocument* openDocument(const std::string& path, tav::cad::DxfResult* result = nullptr);
  AcApDocument* adoptDatabase(std::unique_ptr<AcDbDatabase> db);
  Acad::ErrorStatus setCurDocument(AcApDocument* doc);  // eInvalidInput for a document not managed here
  // Closes a document (unsaved changes are dropped). The most recent other document becomes current.
  // eWasOpenForWrite while objects of it are open, eLockViolation while locked.
  Acad::ErrorStatus closeDocument(AcApDocument* doc);
  void closeAll();
  int documentCount() const { return static_cast<int>(docs_.size()); }
  std::vector<AcApDocument*> documents() const;

 private:
  std::vector<std::unique_ptr<AcApDocument>> docs_;
  AcApDocument* cur_ = nullptr;
};

// The document manager of the process (never null).
AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()

class AcDbHostApplicationServices {
 public:
  // The database calls work on: one set with setWorkingDatabase, else the current document's; null
  // when neither exists.
  AcDbDatabase* workingDatabase() const;
  // Null returns to the current document's database. The database must outlive its use here.
  void setWorkingDatabase(AcDbDatabase* db) { working_ = db; }

 private:
  AcDbDatabase* working_ = nullptr;
};
AcDbHostApplicationServices* acdbHostApplicationServices();

// Scope guard for tests and tools: makes `db` the working database and restores the previous one.
class KvWorkingDatabaseScope {
 public:
  explicit KvWorkingDatabaseScope(AcDbDatabase* db);
  ~KvWorkingDatabaseScope();
  KvWorkingDatabaseScope(const KvWorkingDatabaseScope&) = delete;
  KvWorkingDatabaseScope& operator=(const KvWorkingDatabaseScope&) = delete;

 private:
  AcDbDatabase* previous_;
};

// ---- opening objects --------------------------------------------------------------------------------

// Opens the object of `id` as T. eNullObjectId, eWasErased (unless openErased), eWasOpenForWrite,
// eWasOpenForRead, eNotThatKindOfClass (then nothing stays open).
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, const AcDbObjectId& id, AcDb::OpenMode mode, bool openErased = false) {
  object = nullptr;
  if (id.isNull()) return Acad::eNullObjectId;
  tav::cad::DxfObject obj = id.database()->document().Get(id.handle().value());
  if (!obj.IsNull() && !T::isKindOf(obj)) return Acad::eNotThatKindOfClass;
  T* wrapper = new T();
  Acad::ErrorStatus es = id.database()->attach(wrapper, id.handle().value(), mode, openErased);
  if (es != Acad::eOk) {
    delete wrapper;
    return es;
  }
  object = wrapper;
  return Acad::eOk;
}
inline Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, const AcDbObjectId& id, AcDb::OpenMode mode,
                                            bool openErased = false) {
  return acdbOpenObject(object, id, mode, openErased);
}
inline Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, const AcDbObjectId& id, AcDb::OpenMode mode,
                                            bool openErased = false) {
  return acdbOpenObject(entity, id, mode, openErased);
}
// By handle in `db` (the working database when null).
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, const AcDbHandle& handle, AcDb::OpenMode mode, AcDbDatabase* db = nullptr);

// Closes on destruction: KvDbObjectPtr<AcDbLine> line(id, AcDb::kForWrite); if (line) ...
template <class T>
class KvDbObjectPtr {
 public:
  KvDbObjectPtr() = default;
  KvDbObjectPtr(const AcDbObjectId& id, AcDb::OpenMode mode, bool openErased = false) {
    status_ = acdbOpenObject(ptr_, id, mode, openErased);
  }
  explicit KvDbObjectPtr(T* opened) : ptr_(opened) {}
  ~KvDbObjectPtr() { reset(); }
  KvDbObjectPtr(const KvDbObjectPtr&) = delete;
  KvDbObjectPtr& operator=(const KvDbObjectPtr&) = delete;
  KvDbObjectPtr(KvDbObjectPtr&& o) noexcept : ptr_(o.ptr_), status_(o.status_) { o.ptr_ = nullptr; }
  T* operator->() const { return ptr_; }
  T* get() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  Acad::ErrorStatus openStatus() const { return status_; }
  T* release() { T* p = ptr_; ptr_ = nullptr; return p; }
  void reset() {
    if (ptr_ && ptr_->isDatabaseResident()) ptr_->close();
    else delete ptr_;
    ptr_ = nullptr;
  }

 private:
  T* ptr_ = nullptr;
  Acad::ErrorStatus status_ = Acad::eNullObjectId;
};

// ---- convenience calls of the host ---------------------------------------------------------------

// Registers an application name in the working database. RTNORM when registered or already there,
// RTERROR for an empty or unencodable name or without a database.
int acdbRegApp(const char* appName);
// Registers in `db`; eOk or eInvalidInput / eNoDatabase.
Acad::ErrorStatus KvDbRegApp(AcDbDatabase* db, std::string_view appName);

// Appends a new entity of `dxfType` to *Model_Space of `db` (the working database when null) and
// returns it opened for write.
Acad::ErrorStatus KvDbAppendToModelSpace(AcDbDatabase* db, std::string_view dxfType, AcDbEntity*& entity,
                                         AcDbObjectId* id = nullptr);
template <class T>
Acad::ErrorStatus KvDbAppendToModelSpace(AcDbDatabase* db, T*& entity, AcDbObjectId* id = nullptr);

// The next record of a symbol table of the working database as a list (0 table type, 2 name, 70 flags,
// then the record's other data values: 62 and 6 of a layer, 3/72/73/40/49... of a linetype); `rewind`
// starts again at the first record. Null after the last record or for an unknown table. The caller
// frees the list with acutRelRb.
resbuf* acdbTblNext(const char* tableName, int rewind);
// The record `name` of the table as acdbTblNext gives it; with `setNext` acdbTblNext continues after it.
resbuf* acdbTblSearch(const char* tableName, const char* name, int setNext);

// Entity names (ads_name) of the C interface: [0] the handle, [1] the database.
Acad::ErrorStatus acdbGetAdsName(ads_name name, const AcDbObjectId& id);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);

// Text of an error status ("eOk", "eDuplicateRecordName", ...).
const char* acadErrorStatusText(Acad::ErrorStatus status);

// ---- template definitions -------------------------------------------------------------------------

template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, const AcDbHandle& handle, AcDb::OpenMode mode, AcDbDatabase* db) {
  object = nullptr;
  if (db == nullptr) db = acdbHostApplicationServices()->workingDatabase();
  if (db == nullptr) return Acad::eNoDatabase;
  return acdbOpenObject(object, AcDbObjectId(db, handle.value()), mode);
}

template <class T>
Acad::ErrorStatus AcDbSymbolTable::getAt(std::string_view name, T*& record, AcDb::OpenMode mode) const {
  record = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus es = getAt(name, id);
  if (es != Acad::eOk) return es;
  return acdbOpenObject(record, id, mode);
}

template <class T>
Acad::ErrorStatus AcDbSymbolTable::Iterator::getRecord(T*& record, AcDb::OpenMode mode) const {
  record = nullptr;
  if (done()) return Acad::eOutOfRange;
  return acdbOpenObject(record, ids_[index_], mode);
}

template <class T>
Acad::ErrorStatus AcDbDictionary::getAt(std::string_view key, T*& object, AcDb::OpenMode mode) const {
  object = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus es = getAt(key, id);
  if (es != Acad::eOk) return es;
  return acdbOpenObject(object, id, mode);
}

template <class T>
Acad::ErrorStatus AcDbDatabase::getSymbolTable(T*& table, AcDb::OpenMode mode) {
  table = nullptr;
  tav::cad::DxfObject head = doc_.Table(T::kTableName);
  if (head.IsNull() || head.GetHandle() == 0) return Acad::eKeyNotFound;
  return acdbOpenObject(table, AcDbObjectId(this, head.GetHandle()), mode);
}

template <class T>
Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, T*& entity) {
  entity = nullptr;
  AcDbEntity* created = nullptr;
  Acad::ErrorStatus es = appendAcDbEntity(id, T::kDxfType, created);
  if (es != Acad::eOk) return es;
  created->close();
  return acdbOpenObject(entity, id, AcDb::kForWrite);
}

template <class T>
Acad::ErrorStatus KvDbAppendToModelSpace(AcDbDatabase* db, T*& entity, AcDbObjectId* id) {
  entity = nullptr;
  AcDbEntity* created = nullptr;
  AcDbObjectId newId;
  Acad::ErrorStatus es = KvDbAppendToModelSpace(db, T::kDxfType, created, &newId);
  if (es != Acad::eOk) return es;
  created->close();
  if (id) *id = newId;
  return acdbOpenObject(entity, newId, AcDb::kForWrite);
}
