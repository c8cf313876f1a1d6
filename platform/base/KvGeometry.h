// Small geometry value types of the platform: a 3D point and an axis-aligned extent.
//
// Both are plain values (copyable, comparable) so that they can be kept in the cursor containers.
// Comparison is exact and lexicographic (x, then y, then z; an extent by its minimum point, then its
// maximum point), which gives the strict ordering that sorting and binary search need; use
// IsEqualTo with a tolerance for geometric closeness.
#pragma once

#include <string>

class KvGePoint {
 public:
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  KvGePoint() = default;
  KvGePoint(double px, double py, double pz = 0.0) : x(px), y(py), z(pz) {}

  // True when every coordinate differs by at most `tol` (tol < 0 counts as 0).
  bool IsEqualTo(const KvGePoint& other, double tol = 1e-10) const;
  // Euclidean distance.
  double DistanceTo(const KvGePoint& other) const;

  KvGePoint operator+(const KvGePoint& other) const { return {x + other.x, y + other.y, z + other.z}; }
  KvGePoint operator-(const KvGePoint& other) const { return {x - other.x, y - other.y, z - other.z}; }

  bool operator==(const KvGePoint& other) const { return x == other.x && y == other.y && z == other.z; }
  bool operator!=(const KvGePoint& other) const { return !(*this == other); }
  bool operator<(const KvGePoint& other) const;
  bool operator>(const KvGePoint& other) const { return other < *this; }
  bool operator<=(const KvGePoint& other) const { return !(other < *this); }
  bool operator>=(const KvGePoint& other) const { return !(*this < other); }

  // "x,y,z" with the shortest text that reads back to the same doubles.
  std::string ToString() const;
};

// An axis-aligned box given by its minimum and maximum corners. A default extent is empty
// (holds no point); adding the first point makes it that single point.
class KvGeExtent {
 public:
  KvGePoint minPoint;
  KvGePoint maxPoint;

  KvGeExtent();
  // The box spanned by two corners in any order.
  KvGeExtent(const KvGePoint& a, const KvGePoint& b);

  // True when no point has been added (minimum above maximum on some axis).
  bool IsEmpty() const;
  // Grows the box to hold `p`.
  void AddPoint(const KvGePoint& p);
  // Grows the box to hold `other` (an empty `other` changes nothing).
  void AddExtent(const KvGeExtent& other);
  // True when `p` lies inside or on the border (within `tol`); always false for an empty extent.
  bool Contains(const KvGePoint& p, double tol = 0.0) const;
  // True when the two boxes share at least one point; false when either is empty.
  bool Intersects(const KvGeExtent& other) const;
  // Makes the extent empty again.
  void Reset();
  // Centre of the box; the origin for an empty extent.
  KvGePoint Center() const;

  bool operator==(const KvGeExtent& other) const {
    return minPoint == other.minPoint && maxPoint == other.maxPoint;
  }
  bool operator!=(const KvGeExtent& other) const { return !(*this == other); }
  bool operator<(const KvGeExtent& other) const;
  bool operator>(const KvGeExtent& other) const { return other < *this; }
  bool operator<=(const KvGeExtent& other) const { return !(other < *this); }
  bool operator>=(const KvGeExtent& other) const { return !(*this < other); }
};
