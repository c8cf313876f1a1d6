// What the linetype utility needs of the host to read a definition back: the write lock on the current
// document, the host's loader of linetype files (acdbLoadLineTypeFile) and the linetype table of the
// working database (open a record, read it, erase it).
//
// The utility never parses pattern lines itself; it lets the host load a named linetype and reads the
// loaded record. KvLinFileLinetypeLoader is the loader over the platform's .lin parser, with a linetype
// table of its own (for tools without a drawing); KvAcDbLinetypeLoader loads into the working database.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/cad/lin/KvLinFile.h"
#include "platform/cad/lin/KvLinetypeDefinition.h"

class KvLinetypeLoader {
 public:
  virtual ~KvLinetypeLoader();

  // Locks the current document for writing (no command names, prompting allowed) / unlocks it.
  // False when there is no document to lock.
  virtual bool LockDocument() = 0;
  virtual void UnlockDocument() = 0;

  // acdbLoadLineTypeFile(name, file, working database): true when the host loaded the linetype into the
  // drawing. A name the file does not define, a broken definition, an unreadable file and a name the
  // drawing already holds give false.
  virtual bool LoadLineTypeFile(const std::string& name, const std::string& file) = 0;

  // Opens the linetype table and the record `name` (case-insensitive, as the table looks names up) for
  // reading and reports the record: its name as stored, its comments and its dashes. The text style of
  // a dash is given by name, "" when the style record cannot be opened. False if there is no such record.
  virtual bool GetLinetypeRecord(const std::string& name, tav::KvLinetypeDefinition& record) = 0;

  // Opens the record for writing and erases it from the drawing. False if there is no such record.
  virtual bool EraseLinetype(const std::string& name) = 0;
};

// The current loader: the one set with SetLinetypeLoader; else, while the host has a working database,
// the loader over the drawing (KvAcDbLinetypeLoader); else a process-wide KvLinFileLinetypeLoader.
KvLinetypeLoader& GetLinetypeLoader();
// Makes `loader` current (not owned; null returns to the process-wide file loader). Returns the previous.
KvLinetypeLoader* SetLinetypeLoader(KvLinetypeLoader* loader);

// Loads definitions from .lin files through the platform's parser into a linetype table held in memory.
// Files are parsed once per document lock (and on every load outside a lock).
class KvLinFileLinetypeLoader : public KvLinetypeLoader {
 public:
  bool LockDocument() override;
  void UnlockDocument() override;
  bool LoadLineTypeFile(const std::string& name, const std::string& file) override;
  bool GetLinetypeRecord(const std::string& name, tav::KvLinetypeDefinition& record) override;
  bool EraseLinetype(const std::string& name) override;

  // The linetypes loaded and not erased, by upper-case name.
  const std::map<std::string, tav::KvLinetypeDefinition>& Table() const { return table_; }
  // Why the last LoadLineTypeFile failed ("" after a success).
  const std::string& LastError() const { return lastError_; }
  int LockDepth() const { return lockDepth_; }

 private:
  const tav::KvLinFile* ParsedFile(const std::string& file);

  std::map<std::string, tav::KvLinetypeDefinition> table_;
  std::map<std::string, std::unique_ptr<tav::KvLinFile>> parsed_;  // cache while locked
  std::string lastError_;
  int lockDepth_ = 0;
};
