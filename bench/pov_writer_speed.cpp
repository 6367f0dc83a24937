// pov-writer-speed IN.vrl [ROUNDS]: the scene writers alone, without the disk. Loads the model
// once, then times the shipped writer into a counting sink and the fprintf baseline into
// /dev/null, alternating, and prints the medians.
#include "PovFprintfWriter.h"
#include "model/FileAccess.h"
#include "model/Globals.h"
#include "model/ModelFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class CCountingSink : public CByteSink {
public:
    bool Write(const void*, std::size_t n) override
    {
        m_count += n;
        return true;
    }
    std::size_t m_count = 0;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <class F> double Seconds(F&& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: pov-writer-speed IN.vrl [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc == 3 ? std::atoi(argv[2]) : 5;
    ResetGlobals();
    InitViewDefaults();
    g_winWidth = 640;
    g_winHeight = 480;
    g_aspect = g_winWidth / g_winHeight;
    g_drawFovy = g_fovy;
    CInputFile in;
    std::string error;
    if (!in.Open(argv[1], error)) {
        std::fprintf(stderr, "pov-writer-speed: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    CFdSource source(in.Fd());
    CMyvorla_ltDoc doc;
    if (!LoadModel(source, doc, in.Size()).ok) return 1;

    std::vector<double> ours, baseline;
    std::size_t bytes = 0;
    for (int i = 0; i < rounds; ++i) {
        CCountingSink sink;
        ours.push_back(Seconds([&] { WritePovScene(sink, doc.m_shapeList, PovVariant::Export, nullptr); }));
        bytes = sink.m_count;
        std::FILE* null = std::fopen("/dev/null", "w");
        if (!null) return 1;
        baseline.push_back(Seconds([&] {
            WritePovSceneWithFprintf(null, doc.m_shapeList);
            std::fflush(null);
        }));
        std::fclose(null);
    }
    const double mb = double(bytes) / 1e6, a = Median(ours), b = Median(baseline);
    std::printf("writers alone, %.1f MB of scene text, medians of %d rounds\n", mb, rounds);
    std::printf("WritePovScene (to_chars, integer float text)  %6.3f s  %6.0f MB/s\n", a, mb / a);
    std::printf("fprintf(\"%%f\") baseline                      %6.3f s  %6.0f MB/s\n", b, mb / b);
    std::printf("speed-up                                      %6.1fx\n", b / a);
    return 0;
}
