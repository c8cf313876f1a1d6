#include "platform/base/KvGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/base/KvNumber.h"

bool KvGePoint::IsEqualTo(const KvGePoint& other, double tol) const {
  if (tol < 0.0) tol = 0.0;
  return std::fabs(x - other.x) <= tol && std::fabs(y - other.y) <= tol && std::fabs(z - other.z) <= tol;
}

double KvGePoint::DistanceTo(const KvGePoint& other) const {
  const double dx = x - other.x;
  const double dy = y - other.y;
  const double dz = z - other.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool KvGePoint::operator<(const KvGePoint& other) const {
  if (x != other.x) return x < other.x;
  if (y != other.y) return y < other.y;
  return z < other.z;
}

std::string KvGePoint::ToString() const {
  return tav::FormatShortest(x) + "," + tav::FormatShortest(y) + "," + tav::FormatShortest(z);
}

namespace {
constexpr double kHuge = std::numeric_limits<double>::max();
}

KvGeExtent::KvGeExtent() { Reset(); }

KvGeExtent::KvGeExtent(const KvGePoint& a, const KvGePoint& b) {
  Reset();
  AddPoint(a);
  AddPoint(b);
}

void KvGeExtent::Reset() {
  minPoint = KvGePoint(kHuge, kHuge, kHuge);
  maxPoint = KvGePoint(-kHuge, -kHuge, -kHuge);
}

bool KvGeExtent::IsEmpty() const {
  return minPoint.x > maxPoint.x || minPoint.y > maxPoint.y || minPoint.z > maxPoint.z;
}

void KvGeExtent::AddPoint(const KvGePoint& p) {
  minPoint.x = std::min(minPoint.x, p.x);
  minPoint.y = std::min(minPoint.y, p.y);
  minPoint.z = std::min(minPoint.z, p.z);
  maxPoint.x = std::max(maxPoint.x, p.x);
  maxPoint.y = std::max(maxPoint.y, p.y);
  maxPoint.z = std::max(maxPoint.z, p.z);
}

void KvGeExtent::AddExtent(const KvGeExtent& other) {
  if (other.IsEmpty()) return;
  AddPoint(other.minPoint);
  AddPoint(other.maxPoint);
}

bool KvGeExtent::Contains(const KvGePoint& p, double tol) const {
  if (IsEmpty()) return false;
  if (tol < 0.0) tol = 0.0;
  return p.x >= minPoint.x - tol && p.x <= maxPoint.x + tol && p.y >= minPoint.y - tol &&
         p.y <= maxPoint.y + tol && p.z >= minPoint.z - tol && p.z <= maxPoint.z + tol;
}

bool KvGeExtent::Intersects(const KvGeExtent& other) const {
  if (IsEmpty() || other.IsEmpty()) return false;
  return minPoint.x <= other.maxPoint.x && other.minPoint.x <= maxPoint.x && minPoint.y <= other.maxPoint.y &&
         other.minPoint.y <= maxPoint.y && minPoint.z <= other.maxPoint.z && other.minPoint.z <= maxPoint.z;
}

KvGePoint KvGeExtent::Center() const {
  if (IsEmpty()) return {};
  return {(minPoint.x + maxPoint.x) / 2, (minPoint.y + maxPoint.y) / 2, (minPoint.z + maxPoint.z) / 2};
}

bool KvGeExtent::operator<(const KvGeExtent& other) const {
  if (minPoint != other.minPoint) return minPoint < other.minPoint;
  return maxPoint < other.maxPoint;
}
