// Linetype definitions of the CAD linetype definition language (.lin files).
//
// A definition is two lines:
//   *NAME[,description]
//   A,dash,dash,...            up to 12 dash values: > 0 a dash, < 0 a gap, 0 a dot
// A dash value may be followed by a complex element in brackets, which the CAD program stores on the dash
// before it:
//   ["text",style,S=2,R=0,X=1.1,Y=-1]     text element: quoted text (may hold commas and quotes), text style
//   [shape,file.shx,S=1,A=90,X=0,Y=0]     shape element: shape name or number, shape file
// followed by any of S= (scale), R= (relative rotation), A= (absolute rotation), U= (upright rotation),
// X= and Y= (offsets). Angles are degrees unless suffixed by d, r (radians) or g (grads).
// So "A,50,0,[\"W\",Standard,S=2,R=0,X=1.1,Y=-1],-4" is three dashes with the text on the second one.
//
// KvLinetypeDefinition is the parsed record; its accessors are named as the host's linetype table record
// names them, so that code written against a loaded linetype reads the same over this record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// How the rotation of a complex element is measured (the rotation bits of DXF group 74).
enum class LinetypeRotationKind : std::uint16_t {
  Relative = 0,  // R=: relative to the line's direction (the default)
  Absolute = 1,  // A=: relative to the x axis
  Upright = 8,   // U=: relative, but turned so that text never reads upside down
};

enum class LinetypeElementKind { None, Text, Shape };

// A complex element attached to a dash.
struct KvLinetypeElement {
  LinetypeElementKind kind = LinetypeElementKind::None;
  std::string text;       // text element: the text between the quotes
  std::string shapeName;  // shape element: the shape name or number as written
  std::string styleName;  // text element: the text style name; shape element: the shape file name
  double scale = 1.0;     // S=
  double rotation = 0.0;  // R=, A= or U=, in radians
  LinetypeRotationKind rotationKind = LinetypeRotationKind::Relative;
  double xOffset = 0.0;  // X=
  double yOffset = 0.0;  // Y=
  bool operator==(const KvLinetypeElement&) const = default;
};

struct KvLinetypeDash {
  double length = 0.0;
  KvLinetypeElement element;
  bool operator==(const KvLinetypeDash&) const = default;
};

struct KvLinetypeOffset {
  double x = 0.0;
  double y = 0.0;
  bool operator==(const KvLinetypeOffset&) const = default;
};

class KvLinetypeDefinition {
 public:
  std::string name;
  std::string description;
  char alignment = 'A';  // the pattern line's alignment letter, upper case
  std::vector<KvLinetypeDash> dashes;

  // Accessors in the host's terms. An index outside 0..numDashes()-1 gives the empty value (0, "", none).
  int numDashes() const { return static_cast<int>(dashes.size()); }
  double dashLengthAt(int index) const;
  // The text of a text element; "" for a dash without one.
  std::string textAt(int index) const;
  bool hasTextAt(int index) const;
  bool hasShapeAt(int index) const;
  // The style the element refers to: the text style name of a text element, the shape file of a shape.
  std::string shapeStyleAt(int index) const;
  // Shape number of a shape element written as a number ("[132,ltypeshp.shx]"), else 0.
  int shapeNumberAt(int index) const;
  std::string shapeNameAt(int index) const;
  double shapeScaleAt(int index) const;     // 0 for a dash without element
  double shapeRotationAt(int index) const;  // radians
  LinetypeRotationKind shapeRotationKindAt(int index) const;
  KvLinetypeOffset shapeOffsetAt(int index) const;
  // DXF group 74 of the dash: 0 plain, 2 text, 4 shape, plus 1 absolute or 8 upright rotation.
  std::uint16_t elementFlagsAt(int index) const;
  const std::string& comments() const { return description; }
  // Sum of the absolute dash lengths (DXF group 40).
  double patternLength() const;

  bool operator==(const KvLinetypeDefinition&) const = default;

 private:
  const KvLinetypeDash* dashAt(int index) const;
};

// Degrees <-> the radians a definition stores. RadiansToDegrees gives the shortest decimal value whose
// conversion back yields exactly `radians`, so "R=30" reads back as 30 and not 29.999999999999996.
double DegreesToRadians(double degrees);
double RadiansToDegrees(double radians);

// Parses a header line ("*NAME,description"; leading blanks allowed, description optional). The name is
// trimmed, the description loses its trailing blanks. False with a message for a line that does not begin
// with '*' or names nothing.
bool ParseLinetypeHeader(std::string_view line, std::string& name, std::string& description, std::string& error);

// Parses a pattern line into `definition.dashes` (and `alignment`), replacing what was there.
// False with a message naming the column on any fault: no "A," start, a bad number, an empty value,
// an element before the first dash, an unbalanced bracket or quote, an unknown or bad element parameter,
// more than 12 dashes.
bool ParseLinetypePattern(std::string_view line, KvLinetypeDefinition& definition, std::string& error);

// Writes the pattern line of a definition back in the definition language (numbers in their shortest
// form, rotations in degrees). Parsing the result gives the same dashes.
std::string FormatLinetypePattern(const KvLinetypeDefinition& definition);

// The most dashes a pattern line may hold.
inline constexpr int kMaxLinetypeDashes = 12;

}  // namespace tav
