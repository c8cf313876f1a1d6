// Transformation matrices and the transformation of entities.
#include <cmath>
#include <numbers>

#include "platform/host/KvAcDb.h"

using tav::cad::DxfPoint;

AcGeMatrix3d::AcGeMatrix3d() {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) m_[r][c] = r == c ? 1.0 : 0.0;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
  AcGeMatrix3d m;
  m.m_[0][3] = v.x;
  m.m_[1][3] = v.y;
  m.m_[2][3] = v.z;
  return m;
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& center) {
  AcGeMatrix3d m;
  double len = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
  if (len == 0) return m;
  double x = axis.x / len, y = axis.y / len, z = axis.z / len;
  double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  double r[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                    {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                    {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
  const double p[3] = {center.x, center.y, center.z};
  for (int i = 0; i < 3; ++i) {
    double shift = p[i];
    for (int j = 0; j < 3; ++j) {
      m.m_[i][j] = r[i][j];
      shift -= r[i][j] * p[j];
    }
    m.m_[i][3] = shift;
  }
  return m;
}

AcGeMatrix3d AcGeMatrix3d::scaling(double factor, const AcGePoint3d& center) {
  AcGeMatrix3d m;
  const double p[3] = {center.x, center.y, center.z};
  for (int i = 0; i < 3; ++i) {
    m.m_[i][i] = factor;
    m.m_[i][3] = p[i] - factor * p[i];
  }
  return m;
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& o) const {
  AcGeMatrix3d r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 4; ++j) {
      double v = j == 3 ? m_[i][3] : 0.0;
      for (int k = 0; k < 3; ++k) v += m_[i][k] * o.m_[k][j];
      r.m_[i][j] = v;
    }
  }
  return r;
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& left) { return *this = left * *this; }
AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& right) { return *this = *this * right; }

AcGePoint3d AcGeMatrix3d::apply(const AcGePoint3d& p) const {
  return {m_[0][0] * p.x + m_[0][1] * p.y + m_[0][2] * p.z + m_[0][3],
          m_[1][0] * p.x + m_[1][1] * p.y + m_[1][2] * p.z + m_[1][3],
          m_[2][0] * p.x + m_[2][1] * p.y + m_[2][2] * p.z + m_[2][3]};
}

AcGeVector3d AcGeMatrix3d::applyVector(const AcGeVector3d& v) const {
  return {m_[0][0] * v.x + m_[0][1] * v.y + m_[0][2] * v.z, m_[1][0] * v.x + m_[1][1] * v.y + m_[1][2] * v.z,
          m_[2][0] * v.x + m_[2][1] * v.y + m_[2][2] * v.z};
}

bool AcGeMatrix3d::isPlanarConformal(double* angle, double* scale, double tol) const {
  double a = m_[0][0], b = m_[1][0];
  double s = std::hypot(a, b);
  if (s <= tol) return false;
  double rel = tol * std::max(1.0, s);
  if (std::abs(m_[1][1] - a) > rel || std::abs(m_[0][1] + b) > rel) return false;  // a rotation, no mirror
  if (std::abs(m_[0][2]) > rel || std::abs(m_[1][2]) > rel || std::abs(m_[2][0]) > rel || std::abs(m_[2][1]) > rel)
    return false;
  if (std::abs(m_[2][2] - s) > rel) return false;
  if (scale) *scale = s;
  if (angle) {
    double t = std::atan2(b, a);
    if (t < 0) t += 2 * std::numbers::pi;
    if (t >= 2 * std::numbers::pi) t = 0;
    *angle = t;
  }
  return true;
}

namespace {

AcGePoint3d Ge(const DxfPoint& p) { return {p.x, p.y, p.z}; }
DxfPoint Dxf(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }

// Adds degrees and keeps the result in [0, 360), snapping values a hair below 360 to 0.
double AddDegrees(double degrees, double addRadians) {
  double r = std::fmod(degrees + addRadians * 180.0 / std::numbers::pi, 360.0);
  if (r < 0) r += 360.0;
  if (360.0 - r < 1e-10) r = 0.0;
  return r;
}

}  // namespace

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d& xform) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  double angle = 0, s = 1;
  if (!xform.isPlanarConformal(&angle, &s)) return Acad::eCannotScaleNonUniformly;
  tav::cad::DxfObject o = dxf();
  const std::string type(o.Type());
  auto moved = [&](const DxfPoint& p) { return Dxf(xform.apply(Ge(p))); };
  bool ok = true;
  if (type == "LINE") {
    tav::cad::DxfLine v(o);
    DxfPoint a = moved(v.Start()), b = moved(v.End());
    ok = v.SetStart(a) && v.SetEnd(b);
  } else if (type == "LWPOLYLINE") {
    tav::cad::DxfLwPolyline v(o);
    std::vector<tav::cad::DxfLwVertex> vs = v.Vertices();
    double elevation = o.GetDouble(38, 0.0);
    for (auto& vx : vs) {
      AcGePoint3d p = xform.apply({vx.x, vx.y, elevation});
      vx.x = p.x;
      vx.y = p.y;
      vx.startWidth *= s;
      vx.endWidth *= s;
    }
    ok = v.SetVertices(vs);
    if (ok && o.Find(43) >= 0) ok = v.SetConstantWidth(v.ConstantWidth() * s);
    double newElevation = xform.apply({0, 0, elevation}).z;
    if (ok && (o.Find(38) >= 0 || newElevation != 0)) ok = o.SetDouble(38, newElevation, "AcDbPolyline");
  } else if (type == "TEXT") {
    tav::cad::DxfText v(o);
    bool hasAlignment = o.Find(11) >= 0;
    DxfPoint ins = moved(v.Insertion());
    ok = v.SetInsertion(ins);
    if (ok && hasAlignment) ok = v.SetAlignment(moved(v.Alignment()));
    if (ok && angle != 0) ok = v.SetRotation(AddDegrees(v.Rotation(), angle));
    if (ok && s != 1) ok = v.SetHeight(v.Height() * s);
  } else if (type == "INSERT") {
    tav::cad::DxfInsert v(o);
    ok = v.SetInsertion(moved(v.Insertion()));
    if (ok && angle != 0) ok = v.SetRotation(AddDegrees(v.Rotation(), angle));
    if (ok && s != 1) {
      DxfPoint sc = v.Scale();
      ok = v.SetScale({sc.x * s, sc.y * s, sc.z * s});
    }
  } else if (type == "CIRCLE" || type == "ARC") {
    tav::cad::DxfCircle v(o);
    if (type == "ARC") {
      tav::cad::DxfArc arc(o);
      ok = arc.SetStartAngle(AddDegrees(arc.StartAngle(), angle)) && arc.SetEndAngle(AddDegrees(arc.EndAngle(), angle));
      v = arc;
    }
    ok = ok && v.SetCenter(moved(v.Center()));
    if (ok && s != 1) ok = v.SetRadius(v.Radius() * s);
  } else if (type == "POINT") {
    ok = o.SetPoint(10, moved(o.GetPoint(10)));
  } else if (type == "TAV_EQUIPMENT") {
    tav::cad::DxfEquipment v(o);
    ok = v.SetInsertion(moved(v.Insertion()));
    if (ok && o.Find(50) >= 0) ok = o.SetDouble(50, AddDegrees(o.GetDouble(50), angle));
  } else {
    return Acad::eNotApplicable;
  }
  if (!ok) return Acad::eInvalidInput;

  // Xdata that follows the entity: world positions, displacements, directions, distances, scales.
  for (tav::cad::DxfXData chain : o.AllXData()) {
    bool changed = false;
    for (auto& item : chain.items) {
      switch (item.code) {
        case 1011: item.point = moved(item.point); changed = true; break;
        case 1012: {
          AcGeVector3d d = xform.applyVector({item.point.x, item.point.y, item.point.z});
          item.point = {d.x, d.y, d.z};
          changed = true;
          break;
        }
        case 1013: {
          AcGeVector3d d = xform.applyVector({item.point.x, item.point.y, item.point.z});
          item.point = {d.x / s, d.y / s, d.z / s};
          changed = true;
          break;
        }
        case 1041:
        case 1042: item.real *= s; changed = true; break;
        default: break;
      }
    }
    if (changed && !o.SetXData(chain)) return Acad::eInvalidInput;
  }
  return Acad::eOk;
}
