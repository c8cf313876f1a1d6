// The cursor container templates and the element types the module keeps in them.
//
//   KvDynArrayBase<T>  the virtual interface (KvDynArrayBase.h)
//   KvDynArray<T>, KvDynPArray<T>  contiguous buffers (KvDynArray.h)
//   KvList<T>, KvDList<T>, KvXList<T>, KvPDList<T>, KvPXList<T>  linked rings (KvList.h)
//   KvArray<T>, Kv2dArray<T>  exact-size arrays without a cursor (KvArray.h)
//
// The plug-in exports instantiations of these templates for its element types (KvContainerExports.cpp).
#pragma once

#include "TavDataManager/containers/KvArray.h"
#include "TavDataManager/containers/KvDynArray.h"
#include "TavDataManager/containers/KvDynArrayBase.h"
#include "TavDataManager/containers/KvList.h"
#include "TavDataManager/containers/KvQuene.h"
#include "TavDataManager/options/KvExistSystemData.h"
#include "platform/base/KvGeometry.h"
#include "platform/config/KvImportRecords.h"

// Layer-key records are found by name (KvDwgDict::operator==); sorted lists and binary searches of them
// order by name as well, so that a sorted list finds what Find finds.
inline bool operator<(const KvDwgDict& a, const KvDwgDict& b) { return a.name < b.name; }
inline bool operator>(const KvDwgDict& a, const KvDwgDict& b) { return a.name > b.name; }
inline bool operator<=(const KvDwgDict& a, const KvDwgDict& b) { return a.name <= b.name; }
inline bool operator>=(const KvDwgDict& a, const KvDwgDict& b) { return a.name >= b.name; }
