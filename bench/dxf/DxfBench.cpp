// Benchmark of the drawing database: writes a drawing of N equipment-table rows (each a LINE, a
// two-vertex LWPOLYLINE and a TEXT, all with xdata), then loads and saves it in separate processes
// and reports times and peak memory, beside python3-ezdxf reading and writing the same file.
//
//   dxf_bench [N] [--no-baseline] [--keep]      (N defaults to 100000, about 50 MB)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "platform/base/KvFile.h"
#include "platform/cad/DxfViews.h"

using namespace tav::cad;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// CPU time (user + system) of this process so far; on a busy machine it says more than wall time.
double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Peak resident memory of this process in bytes.
long long PeakBytes() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<long long>(u.ru_maxrss) * 1024;
}

// Runs `phase` in a child process so that its peak memory is its own.
int InChild(const std::function<int()>& phase) {
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    int rc = phase();
    std::fflush(stdout);
    _exit(rc);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

void Tag(std::string& out, const char* code, const std::string& value) {
  out += code;
  out += '\n';
  out += value;
  out += '\n';
}

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", v);
  return buf;
}

// The drawing: a new R2010 drawing with the table's layer and applications, and N rows.
bool WriteDrawing(const std::string& path, long rows) {
  DxfDocument doc = DxfDocument::CreateNew();
  doc.AddRecord("LAYER", "PZ_SBB");
  doc.RegisterApp("QLV_SBBHANDLE");
  doc.RegisterApp("QLV_SBBTEXT");
  const Handle first = doc.HandleSeed();
  const std::string owner = FormatHandle(doc.ModelSpace().GetHandle());
  const Handle headerLine = first;
  doc.SetHeaderVar("$HANDSEED", {MakeHandleTag(5, first + 3 * static_cast<Handle>(rows))});
  const std::string base = doc.SaveToString();
  const std::string marker = "ENTITIES\n  0\nENDSEC\n";
  const std::size_t at = base.find(marker);
  if (at == std::string::npos) return false;
  std::string body;
  body.reserve(static_cast<std::size_t>(rows) * 560);
  Handle h = first;
  const char* columns[] = {"序号", "编号", "设备名称", "型号规格", "单位", "数量", "备注"};
  for (long r = 0; r < rows; ++r) {
    const double y = -8.0 * static_cast<double>(r);
    const std::string handleRef = FormatHandle(headerLine);
    // Thin row line.
    Tag(body, "  0", "LINE");
    Tag(body, "  5", FormatHandle(h++));
    Tag(body, "330", owner);
    Tag(body, "100", "AcDbEntity");
    Tag(body, "  8", "PZ_SBB");
    Tag(body, "100", "AcDbLine");
    Tag(body, " 10", Num(1000.0));
    Tag(body, " 20", Num(2000.0 + y));
    Tag(body, " 30", "0.0");
    Tag(body, " 11", Num(1180.5));
    Tag(body, " 21", Num(2000.0 + y));
    Tag(body, " 31", "0.0");
    Tag(body, "1001", "QLV_SBBHANDLE");
    Tag(body, "1005", handleRef);
    // Thick column line.
    Tag(body, "  0", "LWPOLYLINE");
    Tag(body, "  5", FormatHandle(h++));
    Tag(body, "330", owner);
    Tag(body, "100", "AcDbEntity");
    Tag(body, "  8", "PZ_SBB");
    Tag(body, "100", "AcDbPolyline");
    Tag(body, " 90", "2");
    Tag(body, " 70", "0");
    Tag(body, " 43", Num(0.7));
    Tag(body, " 10", Num(1180.5));
    Tag(body, " 20", Num(2000.0 + y));
    Tag(body, " 10", Num(1180.5));
    Tag(body, " 20", Num(1992.0 + y));
    Tag(body, "1001", "QLV_SBBHANDLE");
    Tag(body, "1005", handleRef);
    // Cell text.
    Tag(body, "  0", "TEXT");
    Tag(body, "  5", FormatHandle(h++));
    Tag(body, "330", owner);
    Tag(body, "100", "AcDbEntity");
    Tag(body, "  8", "PZ_SBB");
    Tag(body, "100", "AcDbText");
    Tag(body, " 10", Num(1010.25));
    Tag(body, " 20", Num(1996.0 + y));
    Tag(body, " 30", "0.0");
    Tag(body, " 40", Num(3.5));
    Tag(body, "  1", "潜水排污泵 WQ" + std::to_string(r));
    Tag(body, " 72", "1");
    Tag(body, " 11", Num(1020.25));
    Tag(body, " 21", Num(1996.0 + y));
    Tag(body, " 31", "0.0");
    Tag(body, "100", "AcDbText");
    Tag(body, " 73", "2");
    Tag(body, "1001", "QLV_SBBHANDLE");
    Tag(body, "1005", handleRef);
    Tag(body, "1001", "QLV_SBBTEXT");
    Tag(body, "1070", std::to_string(r + 1));
    Tag(body, "1000", columns[r % 7]);
  }
  std::string error;
  const bool ok = tav::WriteFileAtomicWith(
      path,
      [&](const tav::ChunkSink& sink) {
        return sink(std::string_view(base).substr(0, at + 9)) && sink(body) &&
               sink(std::string_view(base).substr(at + 9));
      },
      &error);
  if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
  return ok;
}

long long FileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<long long>(in.tellg()) : -1;
}

void Row(const char* what, double load, double save, double cpu, long long peak, long long size) {
  std::printf("%-34s load %6.3f s  save %6.3f s  total %6.3f s  cpu %6.3f s  peak %6.1f MB (%.2f x file)\n", what,
              load, save, load + save, cpu, static_cast<double>(peak) / 1048576.0,
              static_cast<double>(peak) / static_cast<double>(size));
}

}  // namespace

int main(int argc, char** argv) {
  long rows = 100000;
  bool baseline = true, keep = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-baseline") == 0) baseline = false;
    else if (std::strcmp(argv[i], "--keep") == 0) keep = true;
    else rows = std::atol(argv[i]);
  }
  char dirTemplate[] = "/tmp/dxf_bench.XXXXXX";
  const char* dir = mkdtemp(dirTemplate);
  if (!dir) return 1;
  const std::string in = std::string(dir) + "/table.dxf";
  const std::string out = std::string(dir) + "/table_out.dxf";
  const std::string changed = std::string(dir) + "/table_changed.dxf";

  if (InChild([&] { return WriteDrawing(in, rows) ? 0 : 1; }) != 0) return 1;
  const long long size = FileSize(in);
  std::printf("drawing: %ld rows (%ld entities with xdata), %.1f MB, %s\n", rows, rows * 3,
              static_cast<double>(size) / 1048576.0, in.c_str());

  // Load and save unchanged.
  InChild([&] {
    const double c0 = CpuSeconds();
    const auto t0 = Clock::now();
    DxfDocument doc;
    DxfResult r = doc.Load(in);
    const auto t1 = Clock::now();
    if (!r) {
      std::printf("load failed: %s\n", r.Message().c_str());
      return 1;
    }
    r = doc.Save(out);
    const auto t2 = Clock::now();
    if (!r) return 1;
    Row("TavCad, unchanged", Seconds(t0, t1), Seconds(t1, t2), CpuSeconds() - c0, PeakBytes(), size);
    return 0;
  });
  std::string a, b;
  tav::ReadFileBytes(in, a);
  tav::ReadFileBytes(out, b);
  std::printf("%-34s %s\n", "", a == b ? "saved file is byte-identical to the input" : "SAVED FILE DIFFERS");
  a.clear();
  a.shrink_to_fit();
  b.clear();
  b.shrink_to_fit();

  // Load, change every 100th text, append 1000 lines with xdata, save.
  InChild([&] {
    const double c0 = CpuSeconds();
    const auto t0 = Clock::now();
    DxfDocument doc;
    if (!doc.Load(in)) return 1;
    const auto t1 = Clock::now();
    long n = 0;
    for (DxfObject e : doc.Entities())
      if (e.Type() == "TEXT" && (n++ % 100) == 0) DxfText(e).SetText("已修改");
    for (int i = 0; i < 1000; ++i) {
      DxfObject line = doc.AddEntity("LINE");
      DxfLine(line).SetEnd({static_cast<double>(i), 1, 0});
      line.SetXData({"QLV_SBBHANDLE", {DxfXItem::HandleRef(line.GetHandle())}});
    }
    const auto t2 = Clock::now();
    if (!doc.Save(changed)) return 1;
    const auto t3 = Clock::now();
    Row("TavCad, 1% texts changed + 1000", Seconds(t0, t1), Seconds(t2, t3), CpuSeconds() - c0, PeakBytes(), size);
    std::printf("%-34s edit %7.3f s\n", "  lines appended", Seconds(t1, t2));
    return 0;
  });

  if (baseline) {
    if (std::system("/usr/bin/python3 -c 'import ezdxf' 2>/dev/null") != 0) {
      std::printf("baseline skipped: python3 with ezdxf is not installed\n");
    } else {
      const std::string script =
          "import ezdxf, sys, time, resource\n"
          "c0 = time.process_time(); t0 = time.perf_counter(); d = ezdxf.readfile(sys.argv[1]); t1 = time.perf_counter()\n"
          "d.saveas(sys.argv[2]); t2 = time.perf_counter(); c1 = time.process_time()\n"
          "peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024\n"
          "print('%f %f %f %d' % (t1 - t0, t2 - t1, c1 - c0, peak))\n";
      const std::string scriptPath = std::string(dir) + "/baseline.py";
      std::ofstream(scriptPath) << script;
      const std::string cmd = "/usr/bin/python3 " + scriptPath + " " + in + " " + std::string(dir) + "/ezdxf_out.dxf";
      FILE* p = popen(cmd.c_str(), "r");
      double load = 0, save = 0, cpu = 0;
      long long peak = 0;
      if (p && std::fscanf(p, "%lf %lf %lf %lld", &load, &save, &cpu, &peak) == 4) {
        Row("python3-ezdxf (baseline)", load, save, cpu, peak, size);
      } else {
        std::printf("baseline failed to run\n");
      }
      if (p) pclose(p);
    }
  }
  if (!keep) {
    std::remove(in.c_str());
    std::remove(out.c_str());
    std::remove(changed.c_str());
    std::remove((std::string(dir) + "/ezdxf_out.dxf").c_str());
    std::remove((std::string(dir) + "/baseline.py").c_str());
    rmdir(dir);
  }
  return 0;
}
