// vorla-cli: batch work on models without a display (information, conversions).
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "model/Globals.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

const char kUsage[] =
    "usage: vorla-cli VERB ARGUMENTS\n"
    "\n"
    "  info FILE [--json]     what a model holds: scene settings, layers, shape count, bounds\n"
    "  convert IN OUT         read IN and write OUT; the formats follow the extensions\n"
    "                         (in: .vrl, .dxf; out: .vrl, .dxf, .pov, .png)\n"
    "      --dxf-full             (info, convert) read a .dxf input with the full import:\n"
    "                             meshes, blocks placed by INSERT, extruded outlines, units\n"
    "      --width W --height H   picture size, default 640x480 (.pov, .png)\n"
    "      --render               .pov: the rendering scene (sky, ground, textures, sun)\n"
    "      --pitch DEG --yaw DEG  camera angles, default 45 and 35\n"
    "      --offset X,Y,Z         camera offset, default 0,0,-100000\n"
    "      --walk --parallel      then switch to walk-through, to parallel projection\n"
    "      --north DEG --latitude DEG --season none|equinox|summer|winter --hour H\n"
    "                             override the model's sun settings\n"
    "  insert BASE ADD OUT    add the faces and new layers of the model ADD to BASE, write OUT\n"
    "  sphere [IN] OUT [--smooth]\n"
    "                         add a sphere of radius 1000 at the origin to IN (or to an\n"
    "                         empty model), write OUT; --smooth gives per-corner normals\n"
    "  sun-study IN OUTDIR [--from H] [--to H] [--step H]\n"
    "                         one picture per hour, default 8 to 16 every hour, as\n"
    "                         OUTDIR/hour-HH.MM.png and their contact sheet OUTDIR/sun-study.png;\n"
    "                         the camera, size and sun options of convert but --hour\n"
    "  help                   this text\n"
    "\n"
    "Exit status: 0 done, 1 input or output error, 2 usage error.\n";

}  // namespace

int UsageError(const std::string& message)
{
    if (!message.empty()) std::fprintf(stderr, "vorla-cli: %s\n", message.c_str());
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int main(int argc, char** argv)
{
    // A fresh program: every table as a newly opened viewer has it.
    ResetGlobals();
    InitViewDefaults();
    if (argc < 2) return UsageError("");
    const std::string verb = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (verb == "info") return RunInfo(args);
        if (verb == "convert") return RunConvert(args);
        if (verb == "insert") return RunInsert(args);
        if (verb == "sphere") return RunSphere(args);
        if (verb == "sun-study") return RunSunStudy(args);
    } catch (const std::bad_alloc&) {
        // The readers report a model too large for the memory themselves; this is the rest.
        std::fputs("vorla-cli: not enough memory\n", stderr);
        return kExitFailure;
    }
    if (verb == "help" || verb == "--help" || verb == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    return UsageError("unknown verb " + verb);
}
