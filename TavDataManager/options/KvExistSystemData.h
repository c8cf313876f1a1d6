// A pipe system as the layer regeneration sees it: its local name with the linetype and colour that its
// layers take. The pipe-system sheet keeps these in a list while it rebuilds the layers of every layer
// standard; records are found by local name.
#pragma once

#include <string>
#include <utility>

struct KvExistSystemData {
  std::string localName;                // the system's name shown to the user
  std::string linetype = "CONTINUOUS";  // linetype of the system's layers
  std::string color = "7";              // colour index of the system's layers, as text

  KvExistSystemData() = default;
  explicit KvExistSystemData(std::string name) : localName(std::move(name)) {}
  KvExistSystemData(std::string name, std::string lt, std::string col)
      : localName(std::move(name)), linetype(std::move(lt)), color(std::move(col)) {}

  // Records are the same system when their local names are equal; the ordering follows the local name
  // too, so sorted lists and binary searches agree with finding.
  bool operator==(const KvExistSystemData& other) const { return localName == other.localName; }
  bool operator!=(const KvExistSystemData& other) const { return localName != other.localName; }
  bool operator<(const KvExistSystemData& other) const { return localName < other.localName; }
  bool operator>(const KvExistSystemData& other) const { return localName > other.localName; }
  bool operator<=(const KvExistSystemData& other) const { return localName <= other.localName; }
  bool operator>=(const KvExistSystemData& other) const { return localName >= other.localName; }
};
