// The add-on's list of text linetypes and its own section of the CAD linetype files (.Lin).
//
// A .Lin file holds foreign content (the host's standard definitions, comments) up to and including the
// marker line ";;TAV LINETYPE DEFINE"; everything after it is the add-on's own section, regenerated on
// every save as two lines per record. Reading goes through the host: the utility only finds the names in
// a file, lets the host's loader (KvLinetypeLoader) load each into the drawing, reads the loaded record
// and erases it again.
//
// Files keep how they were stored: foreign lines are written back byte for byte (a GBK file stays GBK),
// the own section is written in the file's encoding with the file's line ends (CR LF when the file has
// none yet). Every write replaces the file atomically; a file that cannot be read or written is left
// as it was.
#pragma once

#include <string>
#include <vector>

#include "TavDataManager/linetype/LinetypeData.h"

class KvLinetypeLoader;

// The marker line that ends the foreign content of a .Lin file.
inline constexpr const char* kTavLinetypeMarker = ";;TAV LINETYPE DEFINE";
// The standard linetype file under the main directory: its own section is the list the linetype manager
// starts from, and all of its header names are the standard names skipped by a user import.
inline constexpr const char* kTavStandardLinFile = "Common\\AcadISO.Lin";
// The command-line message after a user import that loaded nothing.
inline constexpr const char* kTavNoLinetypeImported = "\n没有线型被导入.";

class CLinetypeOptionUtility {
 public:
  // Reads definitions back through the current loader (GetLinetypeLoader() at the time of the call).
  CLinetypeOptionUtility();
  // Reads definitions back through `loader` (not owned; it must outlive the utility).
  explicit CLinetypeOptionUtility(KvLinetypeLoader& loader);
  virtual ~CLinetypeOptionUtility();

  // Rewrites the own section of `path` from the list: everything up to and including the first marker
  // line is kept (a file without marker is kept whole and the records follow it), then each record's
  // header and pattern line. False if the file cannot be read (nothing is created) or written (the file
  // is left as it was).
  bool SaveToLinFile(const std::string& path) const;

  // Appends every definition named in `path` that the host can load and the list does not hold yet
  // (case-insensitive). Without `userImport` only the names after the marker line count; with it every
  // header counts, except the names of the standard file, and "\n没有线型被导入." is printed on the
  // command line when nothing was loaded. False if the file cannot be read.
  bool LoadFromLinFile(const std::string& path, bool userImport);

  // Appends the name of every header line of "Common\\AcadISO.Lin" under the main directory (the
  // marker plays no part). Leaves `names` unchanged if the file cannot be read.
  void CollectStandardNames(std::vector<std::string>& names) const;

  // Turns the linetype `name` loaded in the drawing into a record and appends it (1 to 3 dashes only),
  // then erases the linetype from the drawing. Nothing happens if the drawing has no such linetype.
  void ReadFromDatabase(const std::string& name);

  // Lookups by name, case-insensitive, first match in list order.
  bool HasLinetype(const std::string& name) const;
  bool GetLinetype(const std::string& name, _GpLinetypeData& data) const;  // false: `data` untouched
  void SetLinetype(const std::string& name, const _GpLinetypeData& data);  // no match: nothing happens
  bool RemoveLinetype(const std::string& name);
  void AddLinetype(const _GpLinetypeData& data);  // appends; uniqueness is the caller's business

  const std::vector<_GpLinetypeData>& Linetypes() const { return m_linetypes; }
  int GetCount() const { return static_cast<int>(m_linetypes.size()); }

 private:
  KvLinetypeLoader& Loader() const;
  int IndexOf(const std::string& name) const;

  KvLinetypeLoader* m_loader = nullptr;
  std::vector<_GpLinetypeData> m_linetypes;
};
