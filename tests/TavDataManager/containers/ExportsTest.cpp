// The plug-in exports instantiations of the container templates: load it as the host does and find them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "ContainerTestSupport.h"

namespace {

class PluginExports : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string path = std::string(TAV_BINARY_DIR) + "/bin/libTavDataManager.so";
    m_module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_module, nullptr) << "cannot load " << path << ": " << dlerror();
  }
  void TearDown() override {
    if (m_module != nullptr) dlclose(m_module);
  }
  void* Symbol(const char* mangled) { return dlsym(m_module, mangled); }

  void* m_module = nullptr;
};

TEST_F(PluginExports, EveryElementFamilyHasItsMembersExported) {
  const char* names[] = {
      "_ZN14KvDynArrayBaseIiE6AppendERKi",                       // KvDynArrayBase<int>::Append
      "_ZN10KvDynArrayIcE10ReAllocateEl",                        // KvDynArray<char>::ReAllocate
      "_ZN7KvXListIdE6MoveToEl",                                 // KvXList<double>::MoveTo
      "_ZN7KvDListI9KvGePointE6RotateEll",                       // KvDList<KvGePoint>::Rotate
      "_ZNK7KvArrayI10KvGeExtentE5BFindERKS0_ll",                // KvArray<KvGeExtent>::BFind
      "_ZN6KvListI17KvExistSystemDataE7ConbineERS1_l",           // KvList<KvExistSystemData>::Conbine
      "_ZN8KvPDListI9KvDwgDictE4SortEPFiRKS0_S3_E",              // KvPDList<KvDwgDict>::Sort(cmp)
      "_ZN11KvDynPArrayI9KvGePointE10TakeOffCurEv",              // KvDynPArray<KvGePoint>::TakeOffCur
      "_ZN8KvPXListI10KvGeExtentE4SortEb",                       // KvPXList<KvGeExtent>::Sort(bool)
      "_ZN7KvXListIP9KvGePointE14InsertAfterCurERKS1_",          // KvXList<KvGePoint*>::InsertAfterCur
      "_ZN10KvDynArrayIP11KvDListNodeIP9KvGePointEE9InsertCurERKS4_",  // the skip index of that list
      "_ZN9Kv2dArrayIdE10ReAllocateEllb",                        // Kv2dArray<double>::ReAllocate
  };
  for (const char* name : names) EXPECT_NE(Symbol(name), nullptr) << name;
  EXPECT_EQ(Symbol("_ZN14KvDynArrayBaseIlE6AppendERKl"), nullptr) << "no family for long";
}

TEST_F(PluginExports, ExportedCodeWorksOnAContainer) {
  using Ctor = void (*)(void*, long, long);
  using Append = long (*)(void*, const int&);
  using SortInto = bool (*)(void*, const int&, bool);
  auto ctor = reinterpret_cast<Ctor>(Symbol("_ZN10KvDynArrayIiEC1Ell"));
  auto append = reinterpret_cast<Append>(Symbol("_ZN14KvDynArrayBaseIiE6AppendERKi"));
  auto sortInto = reinterpret_cast<SortInto>(Symbol("_ZN14KvDynArrayBaseIiE8SortIntoERKib"));
  ASSERT_NE(ctor, nullptr);
  ASSERT_NE(append, nullptr);
  ASSERT_NE(sortInto, nullptr);
  alignas(KvDynArray<int>) unsigned char storage[sizeof(KvDynArray<int>)];
  ctor(storage, 0, 2);  // constructed by the plug-in's code
  auto* a = std::launder(reinterpret_cast<KvDynArray<int>*>(storage));
  EXPECT_EQ(append(a, 10), 0);
  EXPECT_EQ(append(a, 30), 1);
  EXPECT_TRUE(sortInto(a, 20, false));
  EXPECT_FALSE(sortInto(a, 20, false));
  EXPECT_EQ(a->GetSpaceSize(), 3);  // 1 + allocUnit on the first append
  EXPECT_EQ(kvtest::Ints(*a), (std::vector<int>{10, 20, 30}));
  a->~KvDynArray<int>();
}

}  // namespace
