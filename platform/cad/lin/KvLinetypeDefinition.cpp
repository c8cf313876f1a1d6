#include "platform/cad/lin/KvLinetypeDefinition.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/base/KvNumber.h"
#include "platform/base/KvStrings.h"

namespace tav {

// ---------------------------------------------------------------------------------------------------
// Record accessors

const KvLinetypeDash* KvLinetypeDefinition::dashAt(int index) const {
  if (index < 0 || index >= numDashes()) return nullptr;
  return &dashes[static_cast<size_t>(index)];
}

double KvLinetypeDefinition::dashLengthAt(int index) const {
  const auto* d = dashAt(index);
  return d ? d->length : 0.0;
}

std::string KvLinetypeDefinition::textAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind == LinetypeElementKind::Text ? d->element.text : std::string();
}

bool KvLinetypeDefinition::hasTextAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind == LinetypeElementKind::Text;
}

bool KvLinetypeDefinition::hasShapeAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind == LinetypeElementKind::Shape;
}

std::string KvLinetypeDefinition::shapeStyleAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind != LinetypeElementKind::None ? d->element.styleName : std::string();
}

std::string KvLinetypeDefinition::shapeNameAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind == LinetypeElementKind::Shape ? d->element.shapeName : std::string();
}

int KvLinetypeDefinition::shapeNumberAt(int index) const {
  long long number = 0;
  const std::string name = shapeNameAt(index);
  if (name.empty() || !ParseLong(name, number) || number < 0 || number > 65535) return 0;
  return static_cast<int>(number);
}

double KvLinetypeDefinition::shapeScaleAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind != LinetypeElementKind::None ? d->element.scale : 0.0;
}

double KvLinetypeDefinition::shapeRotationAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind != LinetypeElementKind::None ? d->element.rotation : 0.0;
}

LinetypeRotationKind KvLinetypeDefinition::shapeRotationKindAt(int index) const {
  const auto* d = dashAt(index);
  return d && d->element.kind != LinetypeElementKind::None ? d->element.rotationKind
                                                           : LinetypeRotationKind::Relative;
}

KvLinetypeOffset KvLinetypeDefinition::shapeOffsetAt(int index) const {
  const auto* d = dashAt(index);
  if (!d || d->element.kind == LinetypeElementKind::None) return {};
  return {d->element.xOffset, d->element.yOffset};
}

std::uint16_t KvLinetypeDefinition::elementFlagsAt(int index) const {
  const auto* d = dashAt(index);
  if (!d || d->element.kind == LinetypeElementKind::None) return 0;
  std::uint16_t flags = d->element.kind == LinetypeElementKind::Text ? 2 : 4;
  return static_cast<std::uint16_t>(flags | static_cast<std::uint16_t>(d->element.rotationKind));
}

double KvLinetypeDefinition::patternLength() const {
  double total = 0.0;
  for (const auto& d : dashes) total += std::fabs(d.length);
  return total;
}

// ---------------------------------------------------------------------------------------------------
// Angles

static constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
static constexpr double kRadiansPerGrad = std::numbers::pi / 200.0;

double DegreesToRadians(double degrees) { return degrees * kRadiansPerDegree; }

double RadiansToDegrees(double radians) {
  const double degrees = radians / kRadiansPerDegree;
  if (!std::isfinite(degrees)) return degrees;
  // The fewest significant digits that map back onto the same radians.
  for (int digits = 1; digits <= 17; ++digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, degrees);
    double candidate = 0.0;
    if (ParseDouble(buffer, candidate) && DegreesToRadians(candidate) == radians) return candidate;
  }
  return degrees;
}

// ---------------------------------------------------------------------------------------------------
// Header line

bool ParseLinetypeHeader(std::string_view line, std::string& name, std::string& description, std::string& error) {
  const std::string text = TrimRight(TrimLeft(line));
  if (text.empty() || text[0] != '*') {
    error = "a linetype header line must begin with '*'";
    return false;
  }
  const size_t comma = text.find(',');
  name = Trim(std::string_view(text).substr(1, comma == std::string::npos ? std::string::npos : comma - 1));
  description = comma == std::string::npos ? std::string() : text.substr(comma + 1);
  if (name.empty()) {
    error = "the header line names no linetype";
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------------
// Pattern line

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Column(size_t pos) { return "column " + std::to_string(pos + 1); }

bool ParseFiniteNumber(std::string_view text, double& value) {
  return ParseDouble(text, value) && std::isfinite(value);
}

class PatternParser {
 public:
  PatternParser(std::string_view line, KvLinetypeDefinition& definition, std::string& error)
      : s_(line), def_(definition), error_(error) {}

  bool Parse() {
    def_.dashes.clear();
    SkipBlanks();
    if (pos_ >= s_.size() || (s_[pos_] != 'A' && s_[pos_] != 'a')) return Fail("a pattern line must begin with \"A,\"", pos_);
    def_.alignment = 'A';
    ++pos_;
    SkipBlanks();
    if (pos_ >= s_.size()) return Fail("the pattern line holds no dash value", pos_);
    if (s_[pos_] != ',') return Fail("expected ',' after the alignment letter", pos_);
    ++pos_;
    for (;;) {
      SkipBlanks();
      if (pos_ >= s_.size() || s_[pos_] == ',') return Fail("empty value", pos_);
      if (s_[pos_] == '[') {
        if (def_.dashes.empty()) return Fail("a complex element must follow a dash value", pos_);
        if (def_.dashes.back().element.kind != LinetypeElementKind::None)
          return Fail("a dash value carries two complex elements", pos_);
        if (!ParseElement(def_.dashes.back().element)) return false;
      } else if (s_[pos_] == ']') {
        return Fail("unbalanced bracket: ']' without '['", pos_);
      } else {
        const size_t start = pos_;
        while (pos_ < s_.size() && s_[pos_] != ',' && s_[pos_] != '[' && s_[pos_] != ']') ++pos_;
        const std::string token = Trim(s_.substr(start, pos_ - start));
        double value = 0.0;
        if (!ParseFiniteNumber(token, value)) return Fail("bad number \"" + token + "\"", start);
        if (static_cast<int>(def_.dashes.size()) == kMaxLinetypeDashes)
          return Fail("more than " + std::to_string(kMaxLinetypeDashes) + " dash values", start);
        def_.dashes.push_back({value, {}});
      }
      SkipBlanks();
      if (pos_ >= s_.size()) break;
      if (s_[pos_] != ',') return Fail(s_[pos_] == ']' ? "unbalanced bracket: ']' without '['" : "expected ','", pos_);
      ++pos_;
    }
    return true;
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size() && IsBlank(s_[pos_])) ++pos_;
  }

  bool Fail(const std::string& message, size_t pos) {
    error_ = message + " at " + Column(pos);
    return false;
  }

  // At '['. Leaves pos_ after the closing ']'.
  bool ParseElement(KvLinetypeElement& element) {
    const size_t open = pos_;
    ++pos_;
    SkipBlanks();
    if (pos_ < s_.size() && s_[pos_] == '"') {
      // The text ends at the first quote after which the rest of the element reads as a valid tail,
      // so a text may itself hold commas, quotes and brackets.
      const size_t textStart = pos_ + 1;
      std::string firstError;
      bool anyClosing = false;
      for (size_t q = s_.find('"', textStart); q != std::string_view::npos; q = s_.find('"', q + 1)) {
        size_t after = q + 1;
        while (after < s_.size() && IsBlank(s_[after])) ++after;
        if (after < s_.size() && s_[after] != ',' && s_[after] != ']') continue;
        anyClosing = true;
        KvLinetypeElement candidate;
        candidate.kind = LinetypeElementKind::Text;
        candidate.text = std::string(s_.substr(textStart, q - textStart));
        std::string tailError;
        size_t end = 0;
        if (ParseTail(q + 1, candidate, end, tailError)) {
          element = std::move(candidate);
          pos_ = end;
          return true;
        }
        if (firstError.empty()) firstError = tailError;
      }
      if (!anyClosing) return Fail("unbalanced quote: the text of the element has no closing '\"'", textStart - 1);
      error_ = firstError;
      return false;
    }
    // Shape element: the shape name or number up to the first ',' or ']'.
    const size_t nameStart = pos_;
    while (pos_ < s_.size() && s_[pos_] != ',' && s_[pos_] != ']') ++pos_;
    if (pos_ >= s_.size()) return Fail("unbalanced bracket: '[' without ']'", open);
    KvLinetypeElement candidate;
    candidate.kind = LinetypeElementKind::Shape;
    candidate.shapeName = Trim(s_.substr(nameStart, pos_ - nameStart));
    if (candidate.shapeName.empty()) return Fail("the shape element names no shape", nameStart);
    if (candidate.shapeName.find_first_of("\"[") != std::string::npos)
      return Fail("bad shape name \"" + candidate.shapeName + "\"", nameStart);
    size_t end = 0;
    if (!ParseTail(pos_, candidate, end, error_)) return false;
    element = std::move(candidate);
    pos_ = end;
    return true;
  }

  // From just after the text's closing quote or the shape name: ",style[,K=V...]]".
  bool ParseTail(size_t p, KvLinetypeElement& element, size_t& end, std::string& error) const {
    const bool isText = element.kind == LinetypeElementKind::Text;
    std::vector<std::pair<std::string, size_t>> fields;
    for (;;) {
      while (p < s_.size() && IsBlank(s_[p])) ++p;
      if (p >= s_.size()) {
        error = "unbalanced bracket: '[' without ']' at " + Column(p);
        return false;
      }
      if (s_[p] == ']') break;
      if (s_[p] != ',') {
        error = "expected ',' or ']' in the complex element at " + Column(p);
        return false;
      }
      ++p;
      const size_t start = p;
      while (p < s_.size() && s_[p] != ',' && s_[p] != ']' && s_[p] != '[' && s_[p] != '"') ++p;
      if (p < s_.size() && (s_[p] == '[' || s_[p] == '"')) {
        error = std::string("unexpected '") + s_[p] + "' in the complex element at " + Column(p);
        return false;
      }
      fields.emplace_back(Trim(s_.substr(start, p - start)), start);
    }
    end = p + 1;
    if (fields.empty() || fields[0].first.empty() || fields[0].first.find('=') != std::string::npos) {
      error = std::string(isText ? "the text element names no text style" : "the shape element names no shape file") +
              " at " + Column(fields.empty() ? p : fields[0].second);
      return false;
    }
    element.styleName = fields[0].first;
    for (size_t i = 1; i < fields.size(); ++i) {
      const auto& [field, at] = fields[i];
      const size_t eq = field.find('=');
      const std::string key = eq == std::string::npos ? std::string() : ToUpperAscii(Trim(field.substr(0, eq)));
      if (key.size() != 1 || std::string_view("SRAUXY").find(key[0]) == std::string_view::npos) {
        error = "unknown element parameter \"" + field + "\" (expected S=, R=, A=, U=, X= or Y=) at " + Column(at);
        return false;
      }
      std::string value = Trim(field.substr(eq + 1));
      double number = 0.0;
      const char k = key[0];
      if (k == 'R' || k == 'A' || k == 'U') {
        double unit = kRadiansPerDegree;
        if (!value.empty()) {
          const char suffix = FoldAscii(value.back());
          if (suffix == 'd' || suffix == 'r' || suffix == 'g') {
            unit = suffix == 'r' ? 1.0 : suffix == 'g' ? kRadiansPerGrad : kRadiansPerDegree;
            value.pop_back();
          }
        }
        if (!ParseFiniteNumber(value, number)) {
          error = "bad angle in \"" + field + "\" at " + Column(at);
          return false;
        }
        // Grads go through degrees, so that "100g" and "90" store the same radians.
        element.rotation = unit == 1.0 ? number : DegreesToRadians(unit == kRadiansPerGrad ? number * 0.9 : number);
        element.rotationKind = k == 'R'   ? LinetypeRotationKind::Relative
                               : k == 'A' ? LinetypeRotationKind::Absolute
                                          : LinetypeRotationKind::Upright;
        continue;
      }
      if (!ParseFiniteNumber(value, number)) {
        error = "bad number in \"" + field + "\" at " + Column(at);
        return false;
      }
      if (k == 'S') element.scale = number;
      if (k == 'X') element.xOffset = number;
      if (k == 'Y') element.yOffset = number;
    }
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
  KvLinetypeDefinition& def_;
  std::string& error_;
};

}  // namespace

bool ParseLinetypePattern(std::string_view line, KvLinetypeDefinition& definition, std::string& error) {
  const std::string text = TrimRight(line);
  KvLinetypeDefinition parsed = definition;
  PatternParser parser(text, parsed, error);
  if (!parser.Parse()) return false;
  definition.alignment = parsed.alignment;
  definition.dashes = std::move(parsed.dashes);
  return true;
}

std::string FormatLinetypePattern(const KvLinetypeDefinition& definition) {
  std::string out(1, definition.alignment ? definition.alignment : 'A');
  for (const auto& dash : definition.dashes) {
    out += ',';
    out += FormatShortest(dash.length);
    const auto& e = dash.element;
    if (e.kind == LinetypeElementKind::None) continue;
    out += ",[";
    out += e.kind == LinetypeElementKind::Text ? "\"" + e.text + "\"" : e.shapeName;
    out += ',' + e.styleName;
    out += ",S=" + FormatShortest(e.scale);
    out += e.rotationKind == LinetypeRotationKind::Absolute  ? ",A="
           : e.rotationKind == LinetypeRotationKind::Upright ? ",U="
                                                             : ",R=";
    // Degrees when they read back exactly, else the radians themselves.
    const double degrees = RadiansToDegrees(e.rotation);
    if (DegreesToRadians(degrees) == e.rotation)
      out += FormatShortest(degrees);
    else
      out += FormatShortest(e.rotation) + "r";
    out += ",X=" + FormatShortest(e.xOffset);
    out += ",Y=" + FormatShortest(e.yOffset);
    out += ']';
  }
  return out;
}

}  // namespace tav
