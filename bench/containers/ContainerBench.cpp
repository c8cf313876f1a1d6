// Container benchmark: positional access on KvXList against KvDList, and appends on KvDynArray against
// std::vector, for 10^3 to 10^6 elements. Prints one table per comparison; figures are nanoseconds per
// operation measured in this run, each the best of several passes.
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "TavDataManager/containers/KvContainers.h"

namespace {

using Clock = std::chrono::steady_clock;

double NsSince(Clock::time_point start, long ops) {
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  return ops > 0 ? ns / static_cast<double>(ops) : 0.0;
}

long g_sink = 0;  // keeps the measured work observable

// Random positional reads through the container's MoveTo + GetCurData, as code written against the
// interface does. The best of three passes over the same indexes.
double PositionalAccess(KvDynArrayBase<int>& list, const std::vector<long>& indexes) {
  double best = -1.0;
  for (int pass = 0; pass < 3; ++pass) {
    list.MoveTo(-1);
    const auto start = Clock::now();
    for (long i : indexes) {
      list.MoveTo(i);
      g_sink += list.GetCurData();
    }
    const double ns = NsSince(start, static_cast<long>(indexes.size()));
    if (best < 0 || ns < best) best = ns;
  }
  return best;
}

// The best of several runs (at least 3, more for small counts), so that a cold first run or a busy
// machine does not decide the figure.
template <class Fill>
double Appends(long n, Fill fill) {
  const long runs = n >= 100000 ? 3 : 300000 / n;
  double best = -1.0;
  for (long r = 0; r < runs; ++r) {
    const auto start = Clock::now();
    fill(n);
    const double ns = NsSince(start, n);
    if (best < 0 || ns < best) best = ns;
  }
  return best;
}

}  // namespace

int main() {
  const long sizes[] = {1000, 10000, 100000, 1000000};

  std::printf("Positional access (random MoveTo + GetCurData), ns per access\n");
  std::printf("%10s %10s %14s %14s %10s\n", "elements", "accesses", "KvDList", "KvXList(32)", "ratio");
  for (long n : sizes) {
    KvDList<int> dlist;
    KvXList<int> xlist(0, 32);
    for (long i = 0; i < n; ++i) {
      dlist.Append(static_cast<int>(i));
      xlist.Append(static_cast<int>(i));
    }
    std::mt19937 rng(42);
    std::uniform_int_distribution<long> pick(0, n - 1);
    const long accesses = n >= 1000000 ? 500 : 2000;
    std::vector<long> indexes(accesses);
    for (long& i : indexes) i = pick(rng);
    const double d = PositionalAccess(dlist, indexes);
    const double x = PositionalAccess(xlist, indexes);
    std::printf("%10ld %10ld %14.1f %14.1f %9.1fx\n", n, accesses, d, x, x > 0 ? d / x : 0.0);
  }

  std::printf("\nAppends, ns per append\n");
  std::printf("%10s %14s %18s %18s %18s\n", "elements", "std::vector", "KvDynArray(16)", "KvDynArray(4096)",
              "KvDynArray(sized)");
  for (long n : sizes) {
    const double vec = Appends(n, [](long count) {
      std::vector<int> v;
      for (long i = 0; i < count; ++i) v.push_back(static_cast<int>(i));
      g_sink += v.back();
    });
    // The default allocation unit grows the buffer by a fixed 16 elements, so n appends copy about
    // n^2 / 32 elements; a million would take minutes and is left out.
    const double small = n <= 100000 ? Appends(n, [](long count) {
      KvDynArray<int> a;
      for (long i = 0; i < count; ++i) a.Append(static_cast<int>(i));
      g_sink += *a.GetLast();
    })
                                     : -1.0;
    const double large = Appends(n, [](long count) {
      KvDynArray<int> a(0, 4096);
      for (long i = 0; i < count; ++i) a.Append(static_cast<int>(i));
      g_sink += *a.GetLast();
    });
    const double sized = Appends(n, [](long count) {
      KvDynArray<int> a(count, 16);
      for (long i = 0; i < count; ++i) a.Append(static_cast<int>(i));
      g_sink += *a.GetLast();
    });
    if (small >= 0) {
      std::printf("%10ld %14.1f %18.1f %18.1f %18.1f\n", n, vec, small, large, sized);
    } else {
      std::printf("%10ld %14.1f %18s %18.1f %18.1f\n", n, vec, "(skipped)", large, sized);
    }
  }
  std::printf("\n(checksum %ld)\n", g_sink);
  return 0;
}
