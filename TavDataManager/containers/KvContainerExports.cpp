// Instantiations of the container templates that the plug-in exports, for the element types this
// system keeps in them: characters, integers, reals, points and extents, a pointer type, and the records
// of the pipe-system sheet's lists.
#include "TavDataManager/containers/KvContainers.h"

// Every value family: the interface, the array, the three lists (with the skip index of KvXList) and the
// plain arrays.
#define TAV_EXPORT_VALUE_CONTAINERS(E)                    \
  template class KvDynArrayBase<E>;                       \
  template class KvDynArray<E>;                           \
  template class KvList<E>;                               \
  template class KvDList<E>;                              \
  template class KvXList<E>;                              \
  template class KvDynArrayBase<KvDListNode<E>*>;         \
  template class KvDynArray<KvDListNode<E>*>;             \
  template class KvArray<E>;                              \
  template class KvArray<KvArray<E>>;                     \
  template class Kv2dArray<E>

// The owning pointer families over objects of type E.
#define TAV_EXPORT_POINTER_CONTAINERS(E)                            \
  template class KvDynPArray<E>;                                    \
  template class KvPtrContainerOps<KvDynPArray<E>, E>;              \
  template class KvPDList<E>;                                       \
  template class KvPtrContainerOps<KvPDList<E>, E>;                 \
  template class KvPXList<E>;                                       \
  template class KvPtrContainerOps<KvPXList<E>, E>

TAV_EXPORT_VALUE_CONTAINERS(char);
TAV_EXPORT_VALUE_CONTAINERS(int);
TAV_EXPORT_VALUE_CONTAINERS(double);
TAV_EXPORT_VALUE_CONTAINERS(KvGePoint);
TAV_EXPORT_VALUE_CONTAINERS(KvGeExtent);
TAV_EXPORT_VALUE_CONTAINERS(KvGePoint*);
TAV_EXPORT_VALUE_CONTAINERS(KvExistSystemData);
TAV_EXPORT_VALUE_CONTAINERS(KvDwgDict);

TAV_EXPORT_POINTER_CONTAINERS(KvGePoint);
TAV_EXPORT_POINTER_CONTAINERS(KvGeExtent);
TAV_EXPORT_POINTER_CONTAINERS(KvExistSystemData);
TAV_EXPORT_POINTER_CONTAINERS(KvDwgDict);
