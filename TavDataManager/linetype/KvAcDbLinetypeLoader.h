// The linetype loader over the host: the current document's write lock, acdbLoadLineTypeFile into the
// working database, and the LTYPE records of its linetype table.
#pragma once

#include "TavDataManager/linetype/KvLinetypeLoader.h"

class KvAcDbLinetypeLoader : public KvLinetypeLoader {
 public:
  // Locks the current document (write lock, no command names, prompting allowed). False without one.
  bool LockDocument() override;
  void UnlockDocument() override;
  // acdbLoadLineTypeFile(name, file, working database) == eOk.
  bool LoadLineTypeFile(const std::string& name, const std::string& file) override;
  // Opens the linetype table and the record for reading; the text style of each element is the name of
  // the STYLE record the dash refers to ("" if that record cannot be opened).
  bool GetLinetypeRecord(const std::string& name, tav::KvLinetypeDefinition& record) override;
  // Opens the record for writing and erases it.
  bool EraseLinetype(const std::string& name) override;

 private:
  int locks_ = 0;  // locks this loader took and has not released
};
