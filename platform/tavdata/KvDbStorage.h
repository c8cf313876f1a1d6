// Where the drawing data lives: entries of the named object dictionary and small tag helpers shared by
// the settings and the materials.
#pragma once

#include <string_view>
#include <vector>

#include "platform/cad/DxfTags.h"
#include "platform/host/KvAcDb.h"

namespace tav::tavdata {

inline constexpr std::string_view kSettingsDictionary = "TAV_SETTINGS";
inline constexpr std::string_view kSettingKey = "KVDB_SETTING";
inline constexpr std::string_view kValuesKey = "KVDB_DRAWING_VALUES";
inline constexpr std::string_view kMaterialDictionary = "TAV_MATERIALS";
// The first data tag (code 1) of each XRECORD names the class it holds.
inline constexpr std::string_view kSettingClass = "KvDbSetting";
inline constexpr std::string_view kValuesClass = "KvDbDrawingValues";
inline constexpr std::string_view kMaterialClass = "KvDbMaterial";

// The id of the object under `key` in the dictionary `dictionaryKey` of the named object dictionary,
// or of that dictionary itself when `key` is empty; null when absent.
AcDbObjectId FindStored(AcDbDatabase* db, std::string_view dictionaryKey, std::string_view key = {});
// Creates the dictionary `dictionaryKey` of the named object dictionary when missing (and, with a
// `key`, the XRECORD under it, whose data starts with the class tag `className`). eOk with `id`.
Acad::ErrorStatus EnsureStored(AcDbDatabase* db, std::string_view dictionaryKey, std::string_view key,
                               std::string_view className, AcDbObjectId& id);
// True when `object` is an XRECORD whose first data tag is (1, className).
bool HoldsClass(const tav::cad::DxfObject& object, std::string_view className);
// Replaces the first tag of `code` in `tags` (after the class tag), or appends it.
void PutTag(std::vector<tav::cad::DxfTag>& tags, tav::cad::DxfTag tag);
// Removes every tag of `code` (after the class tag).
void DropTag(std::vector<tav::cad::DxfTag>& tags, int code);
// The database to work on: `db`, else the working database.
AcDbDatabase* DatabaseOr(AcDbDatabase* db);

}  // namespace tav::tavdata
