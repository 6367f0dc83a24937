// The render scene and POV-Ray's command-line options.
#include "export/PovRender.h"

#include "export/PovWriter.h"
#include "export/SunPosition.h"

#include <climits>
#include <cmath>

bool WritePovRenderScene(CByteSink& sink, const CShapeList& shapes)
{
    double sun[3];
    ComputeSunPosition(sun);
    return WritePovScene(sink, shapes, PovVariant::Render, sun);
}

int TruncatePixels(double size)
{
    if (std::isnan(size)) return 0;
    if (size <= double(INT_MIN)) return INT_MIN;
    if (size >= double(INT_MAX)) return INT_MAX;
    return static_cast<int>(size);
}

std::vector<std::string> BuildPovOptions(const std::string& scene, double width, double height, bool noDisplay)
{
    std::vector<std::string> options = {
        "+I" + scene,
        "+W" + std::to_string(TruncatePixels(width)),
        "+H" + std::to_string(TruncatePixels(height)),
        "+MV3.1",
    };
    if (noDisplay) options.push_back("-D");
    return options;
}

std::vector<std::string> BuildPovRenderOptions(double winWidth, double winHeight, bool noDisplay)
{
    return BuildPovOptions(kRenderSceneFile, winWidth, winHeight, noDisplay);
}
