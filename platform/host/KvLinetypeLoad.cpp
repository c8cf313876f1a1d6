// acdbLoadLineTypeFile: a definition of a .lin file becomes an LTYPE record of the drawing.
#include "platform/host/KvLinetypeLoad.h"

#include <filesystem>

#include "platform/base/KvStrings.h"
#include "platform/cad/lin/KvLinFile.h"
#include "platform/host/KvWcMatch.h"

using tav::cad::DxfObject;

namespace {

bool HasWildcards(std::string_view name) { return name.find_first_of("*?#@[~,`") != std::string_view::npos; }

void Say(std::string* message, std::string text) {
  if (message) *message = std::move(text);
}

// The STYLE record a shape file stands for (flag 1, font = the file), created when missing.
DxfObject ShapeFileStyle(tav::cad::DxfDocument& doc, const std::string& file) {
  for (const DxfObject& rec : doc.TableRecords("STYLE"))
    if ((rec.GetInt(70) & 1) && tav::EqualsNoCase(rec.GetString(3), file)) return rec;
  DxfObject rec = doc.FindRecord("STYLE", file);
  if (rec.IsNull()) {
    rec = doc.AddRecord("STYLE", file);
    if (rec.IsNull()) return rec;
    tav::cad::DxfTextStyle style(rec);
    style.SetFont(file);
    style.SetFlags(1);
  }
  return rec;
}

// Checks what the definition needs from the drawing; empty when it can be loaded.
Acad::ErrorStatus Check(tav::cad::DxfDocument& doc, const tav::KvLinetypeDefinition& def, std::string* message) {
  for (int i = 0; i < def.numDashes(); ++i) {
    if (def.hasTextAt(i) && doc.FindRecord("STYLE", def.shapeStyleAt(i)).IsNull()) {
      Say(message, "linetype " + def.name + ": text style \"" + def.shapeStyleAt(i) + "\" is not in the drawing");
      return Acad::eKeyNotFound;
    }
    if (def.hasShapeAt(i) && def.shapeNumberAt(i) == 0) {
      Say(message, "linetype " + def.name + ": shape \"" + def.shapeNameAt(i) +
                       "\" is given by name; this host loads shapes given by number only");
      return Acad::eInvalidInput;
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus Create(tav::cad::DxfDocument& doc, const tav::KvLinetypeDefinition& def, std::string* message) {
  Acad::ErrorStatus es = Check(doc, def, message);
  if (es != Acad::eOk) return es;
  std::vector<tav::cad::DxfDashElement> elements;
  for (int i = 0; i < def.numDashes(); ++i) {
    tav::cad::DxfDashElement e;
    e.length = def.dashLengthAt(i);
    e.type = def.elementFlagsAt(i);
    if (def.hasTextAt(i) || def.hasShapeAt(i)) {
      DxfObject style = def.hasTextAt(i) ? doc.FindRecord("STYLE", def.shapeStyleAt(i))
                                         : ShapeFileStyle(doc, def.shapeStyleAt(i));
      if (style.IsNull()) {
        Say(message, "linetype " + def.name + ": the style record of \"" + def.shapeStyleAt(i) + "\" cannot be made");
        return Acad::eInvalidInput;
      }
      e.style = style.GetHandle();
      e.shapeNumber = def.hasShapeAt(i) ? def.shapeNumberAt(i) : 0;
      e.scale = def.shapeScaleAt(i);
      e.rotation = def.shapeRotationAt(i);
      e.offsetX = def.shapeOffsetAt(i).x;
      e.offsetY = def.shapeOffsetAt(i).y;
      e.text = def.textAt(i);
    }
    elements.push_back(std::move(e));
  }
  DxfObject rec = doc.AddRecord("LTYPE", def.name);
  if (rec.IsNull()) {
    Say(message, "linetype " + def.name + ": the name cannot be stored in the drawing");
    return Acad::eInvalidInput;
  }
  tav::cad::DxfLinetype lt(rec);
  bool ok = lt.SetDescription(def.description) && rec.SetInt(72, static_cast<unsigned char>(def.alignment)) &&
            lt.SetElements(elements);
  if (!ok) {
    doc.Erase(rec);
    Say(message, "linetype " + def.name + ": its text cannot be stored in the drawing's encoding");
    return Acad::eInvalidInput;
  }
  return Acad::eOk;
}

}  // namespace

namespace tav::host {

Acad::ErrorStatus LoadLinetypeFile(std::string_view ltypeName, const std::string& fileName, AcDbDatabase* db,
                                   std::string* message) {
  if (!db) db = acdbHostApplicationServices()->workingDatabase();
  if (!db) {
    Say(message, "no drawing is open");
    return Acad::eNoDatabase;
  }
  std::string name = tav::Trim(ltypeName);
  if (name.empty()) {
    Say(message, "no linetype name given");
    return Acad::eInvalidInput;
  }
  std::error_code ec;
  if (fileName.empty() || !std::filesystem::is_regular_file(fileName, ec)) {
    Say(message, "linetype file not found: " + fileName);
    return Acad::eFileNotFound;
  }
  KvLinFile file;
  std::string error;
  if (!ReadLinFile(fileName, file, &error)) {
    Say(message, fileName + ": " + error);
    return Acad::eFilerError;
  }
  tav::cad::DxfDocument& doc = db->document();

  if (!HasWildcards(name)) {
    if (!doc.FindRecord("LTYPE", name).IsNull()) {
      Say(message, "linetype " + name + " is already in the drawing");
      return Acad::eDuplicateRecordName;
    }
    KvLinetypeDefinition def;
    if (!file.lookUp(name, def, error)) {
      Say(message, fileName + ": " + error);
      return file.errorFor(name) ? Acad::eInvalidInput : Acad::eUndefinedLineType;
    }
    Acad::ErrorStatus es = Create(doc, def, message);
    if (es != Acad::eOk && message) *message = fileName + ": " + *message;
    return es;
  }

  // Wildcards: every well-formed definition that matches and is new to the drawing.
  int loaded = 0;
  Acad::ErrorStatus firstFailure = Acad::eOk;
  std::string firstMessage;
  for (const KvLinetypeDefinition& def : file.definitions) {
    if (!WcMatch(def.name, name) || !doc.FindRecord("LTYPE", def.name).IsNull()) continue;
    std::string why;
    Acad::ErrorStatus es = Create(doc, def, &why);
    if (es == Acad::eOk) {
      ++loaded;
    } else if (firstFailure == Acad::eOk) {
      firstFailure = es;
      firstMessage = why;
    }
  }
  if (loaded > 0) return Acad::eOk;
  if (firstFailure != Acad::eOk) {
    Say(message, fileName + ": " + firstMessage);
    return firstFailure;
  }
  Say(message, fileName + ": no new linetype matches " + name);
  return Acad::eUndefinedLineType;
}

}  // namespace tav::host

Acad::ErrorStatus acdbLoadLineTypeFile(const char* ltypeName, const char* fileName, AcDbDatabase* db) {
  return tav::host::LoadLinetypeFile(ltypeName ? ltypeName : "", fileName ? fileName : "", db, nullptr);
}
