// pov-fprintf-export IN.vrl OUT.pov: the baseline for the POV-Ray export benchmark, the command
// vorla-cli convert IN OUT.pov would be with a writer built on fprintf("%f"). Bench only.
#include "PovFprintfWriter.h"
#include "model/FileAccess.h"
#include "model/Globals.h"
#include "model/ModelFile.h"
#include "view/CameraState.h"

#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pov-fprintf-export IN.vrl OUT.pov\n");
        return 2;
    }
    ResetGlobals();
    InitViewDefaults();
    g_winWidth = 640;
    g_winHeight = 480;
    g_aspect = g_winWidth / g_winHeight;
    g_drawFovy = g_fovy;
    CInputFile in;
    std::string error;
    if (!in.Open(argv[1], error)) {
        std::fprintf(stderr, "pov-fprintf-export: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    CFdSource source(in.Fd());
    CMyvorla_ltDoc doc;
    const CLoadResult loaded = LoadModel(source, doc, in.Size());
    if (!loaded.ok) {
        std::fprintf(stderr, "pov-fprintf-export: %s: %s\n", argv[1], loaded.error.c_str());
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) return 1;
    WritePovSceneWithFprintf(out, doc.m_shapeList);
    // Flushed to the disk like the shipped writer's output, so both pay the same for it.
    const bool ok = std::fflush(out) == 0 && ::fsync(fileno(out)) == 0;
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
