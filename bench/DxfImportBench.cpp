// DXF import alone, in one process: the caller's thread only against the worker thread, on
// the same file, alternating, with the wall time and the caller thread's CPU time of each,
// and whether the automatic choice would take the worker now.
// usage: dxf-import-bench FILE [ROUNDS=5]
#include "import/DxfPairPipeline.h"
#include "import/DxfReader.h"
#include "model/FileAccess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct CTiming {
    double wall, callerCpu, processCpu;
};

bool Run(const char* path, EDxfThreading threading, CTiming& timing)
{
    CInputFile file;
    std::string error;
    if (!file.Open(path, error)) {
        std::fprintf(stderr, "%s: %s\n", path, error.c_str());
        return false;
    }
    CMyvorla_ltDoc doc;
    CFdSource source(file.Fd());
    const auto start = std::chrono::steady_clock::now();
    const double caller = ThreadCpuSeconds(), process = ProcessCpuSeconds();
    const CDxfImportStats stats = ImportDxf(source, doc, {}, file.Size(), threading);
    timing.callerCpu = ThreadCpuSeconds() - caller;
    timing.processCpu = ProcessCpuSeconds() - process;
    timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return stats.readError.empty();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: dxf-import-bench FILE [ROUNDS]\n");
        return 2;
    }
    const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 5);
    const EDxfThreading modes[] = {EDxfThreading::CallerOnly, EDxfThreading::Worker};
    const char* names[] = {"caller thread only", "with worker"};
    std::vector<double> wall[2], caller[2], process[2], ratio;
    for (int r = 0; r <= rounds; ++r) {
        CTiming t[2];
        for (int m = 0; m < 2; ++m)
            if (!Run(argv[1], modes[m], t[m])) return 1;
        if (r == 0) continue;  // warms the page cache
        for (int m = 0; m < 2; ++m) {
            wall[m].push_back(t[m].wall);
            caller[m].push_back(t[m].callerCpu);
            process[m].push_back(t[m].processCpu);
        }
        ratio.push_back(t[0].wall / t[1].wall);
    }
    std::printf("%-20s %8s %12s %12s\n", "medians", "wall s", "caller cpu s", "all cpu s");
    for (int m = 0; m < 2; ++m)
        std::printf("%-20s %8.3f %12.3f %12.3f\n", names[m], Median(wall[m]), Median(caller[m]), Median(process[m]));
    std::printf("speed-up (median of the per-round ratios): %.2f\n", Median(ratio));
    std::printf("a core is free now, so the automatic choice takes the worker: %s\n",
                CDxfPairPipeline::CoreIsFree() ? "yes" : "no");
    return 0;
}
