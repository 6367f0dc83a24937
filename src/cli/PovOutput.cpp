// Scene files and pictures through POV-Ray for vorla-cli.
#include "cli/PovOutput.h"

#include "cli/CliSupport.h"
#include "cli/PovRenderRun.h"
#include "export/PovRender.h"
#include "export/PovWriter.h"
#include "export/SunPosition.h"
#include "model/FileAccess.h"
#include "model/SceneSettings.h"
#include "view/Camera.h"
#include "view/CameraState.h"

#include <charconv>
#include <cmath>

namespace {

// The largest picture side accepted, in pixels.
constexpr int kMaxPictureSide = 32768;

bool ParseNumber(const std::string& text, double& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

struct CSeasonName {
    const char* name;
    double declination;
};
constexpr CSeasonName kSeasons[] = {{"none", -1.0}, {"equinox", 0.0}, {"summer", 30.0}, {"winter", -30.0}};

bool RenderPicture(const std::string& path, const CShapeList& shapes)
{
    std::string engine, error;
    if (!FindPovRay(engine, error)) return ReportError(path, error), false;
    CTempFolder folder;
    if (!folder.Create(error)) return ReportError(path, error), false;
    double sun[3];
    ComputeSunPosition(sun);
    if (!WriteRenderScene(folder.Path(), shapes, sun, error)) return ReportError(path, error), false;
    error = RenderScene(engine, folder.Path(), TruncatePixels(g_winWidth), TruncatePixels(g_winHeight), path);
    if (!error.empty()) return ReportError(path, error), false;
    return true;
}

// "X,Y,Z": three finite numbers that fit a float, as the offset is held.
bool ParseOffset(const std::string& text, std::array<float, 3>& offset)
{
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = i < 2 ? text.find(',', start) : text.size();
        if (comma == std::string::npos) return false;
        double value = 0;
        if (!ParseNumber(text.substr(start, comma - start), value) || std::fabs(value) > 3.4e38) return false;
        offset[static_cast<std::size_t>(i)] = static_cast<float>(value);
        start = comma + 1;
    }
    return true;
}

}  // namespace

void ApplyPovOptions(const CPovCliOptions& options)
{
    if (options.offset)
        for (int i = 0; i < 3; ++i) g_camOffset[i] = (*options.offset)[static_cast<std::size_t>(i)];
    if (options.pitch) g_pitch = *options.pitch;
    if (options.yaw) g_yaw = *options.yaw;
    RecordFrame(options.width, options.height);
    if (options.walk) ToggleWalkThrough();
    if (options.parallel) ToggleParallel();
    RecordFrame(options.width, options.height);  // the toggles repaint
    if (options.north) g_north = *options.north;
    if (options.latitude) g_latitude = *options.latitude;
    if (options.season) g_season = *options.season;
    if (options.hour) g_hour = *options.hour;
}

bool IsPovOutputExtension(const std::string& ext) { return ext == ".pov" || ext == ".png"; }

bool ParsePovOption(const std::vector<std::string>& args, std::size_t& i, CPovCliOptions& options,
                    bool& taken, std::string& error)
{
    const std::string& name = args[i];
    taken = true;
    if (name == "--render") {
        options.render = true;
    } else if (name == "--walk") {
        options.walk = true;
    } else if (name == "--parallel") {
        options.parallel = true;
    } else if (name == "--offset") {
        std::array<float, 3> offset{};
        if (i + 1 >= args.size() || !ParseOffset(args[i + 1], offset)) {
            error = "--offset takes X,Y,Z, three numbers";
            return false;
        }
        ++i;
        options.offset = offset;
    } else if (name == "--width" || name == "--height" || name == "--pitch" || name == "--yaw" ||
               name == "--north" || name == "--latitude" || name == "--season" || name == "--hour") {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& text = args[++i];
        double value = 0;
        if (name == "--season") {
            const CSeasonName* season = nullptr;
            for (const CSeasonName& s : kSeasons)
                if (text == s.name) season = &s;
            if (!season) {
                error = "--season takes none, equinox, summer or winter, not " + text;
                return false;
            }
            options.season = season->declination;
        } else if (!ParseNumber(text, value)) {
            error = name + " takes a number, not " + text;
            return false;
        } else if (name == "--width" || name == "--height") {
            if (value != std::floor(value) || value < 1 || value > kMaxPictureSide) {
                error = name + " takes a whole number of pixels from 1 to " + std::to_string(kMaxPictureSide);
                return false;
            }
            (name == "--width" ? options.width : options.height) = static_cast<int>(value);
        } else if (name == "--latitude" && std::fabs(value) > 90) {
            error = "--latitude takes degrees from -90 to 90";
            return false;
        } else if (name == "--hour" && (value < 0 || value > 24)) {
            error = "--hour takes an hour from 0 to 24";
            return false;
        } else {
            std::optional<double>& target = name == "--pitch"      ? options.pitch
                                            : name == "--yaw"      ? options.yaw
                                            : name == "--north"    ? options.north
                                            : name == "--latitude" ? options.latitude
                                                                   : options.hour;
            target = value;
        }
    } else {
        taken = false;
        return true;
    }
    if (options.firstGiven.empty()) options.firstGiven = name;
    return true;
}

bool WritePovOutput(const std::string& path, const CShapeList& shapes, const CPovCliOptions& options)
{
    ApplyPovOptions(options);
    if (FileExtension(path) == ".png") return RenderPicture(path, shapes);
    double sun[3];
    ComputeSunPosition(sun);
    const PovVariant variant = options.render ? PovVariant::Render : PovVariant::Export;
    std::string error;
    const bool ok = WriteFileAtomically(
        path, [&](CByteSink& sink) { return WritePovScene(sink, shapes, variant, sun); }, error);
    if (!ok) return ReportError(path, error), false;
    return true;
}
