// Scene files and pictures through POV-Ray for vorla-cli.
#include "cli/PovOutput.h"

#include "cli/CliSupport.h"
#include "export/PovRender.h"
#include "export/PovWriter.h"
#include "export/ProcessRunner.h"
#include "export/SunPosition.h"
#include "model/FileAccess.h"
#include "model/SceneSettings.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/PovEngine.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>  // mkdtemp
#include <cstring>
#include <filesystem>

namespace {

// The largest picture side accepted, in pixels.
constexpr int kMaxPictureSide = 32768;

// Picture file POV-Ray writes in its working folder before it is moved to the target.
constexpr char kRenderedPicture[] = "render.png";

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

// A folder under TMPDIR, removed with its contents when this goes out of scope.
class CTempFolder {
public:
    bool Create(std::string& error)
    {
        std::error_code ec;
        const auto base = std::filesystem::temp_directory_path(ec);
        std::string pattern = ((ec ? std::filesystem::path("/tmp") : base) / "vorla-render-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            error = "cannot create a temporary folder: " + std::string(std::strerror(errno));
            return false;
        }
        m_path = pattern;
        return true;
    }
    ~CTempFolder()
    {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    std::string operator/(const char* name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// POV-Ray's own account of a failure: from its first error line on, as one line; without one,
// the last lines it wrote.
std::string PovRayMessage(const std::string& output)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        const auto first = line.find_first_not_of(" \t\r");
        const auto last = line.find_last_not_of(" \t\r");
        if (first != std::string::npos) lines.push_back(line.substr(first, last - first + 1));
        start = end + 1;
    }
    std::size_t from = lines.size() > 5 ? lines.size() - 5 : 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find("Error") != std::string::npos || lines[i].find("error") != std::string::npos) {
            from = i;
            break;
        }
    std::string message;
    for (std::size_t i = from; i < lines.size() && i < from + 12; ++i)
        message += (message.empty() ? "" : " ") + lines[i];
    return message.empty() ? "no message" : message;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    CInputFile file;
    if (!file.Open(path, error)) return false;
    bytes.resize(file.Size());
    CFdSource source(file.Fd());
    bytes.resize(source.Read(bytes.data(), bytes.size()));
    error = source.Error();
    return error.empty();
}

bool RenderPicture(const std::string& path, const CShapeList& shapes)
{
    LookForPovEngine();
    const std::string engine = g_povEnginePath;
    if (engine.empty())
        return ReportError(path, "cannot render: POV-Ray is not installed (no povray on PATH, in /usr/bin or "
                                 "/usr/local/bin); install the povray and povray-includes packages"),
               false;
    CTempFolder folder;
    std::string error;
    if (!folder.Create(error)) return ReportError(path, error), false;
    const std::string scene = folder / kRenderSceneFile;
    const auto writeScene = [&](CByteSink& sink) { return WritePovRenderScene(sink, shapes); };
    if (!WriteFileAtomically(scene, writeScene, error))
        return ReportError(scene, error), false;

    std::vector<std::string> argv = {engine};
    for (std::string& option : BuildPovRenderOptions(g_winWidth, g_winHeight, true)) argv.push_back(option);
    argv.push_back(std::string("+O") + kRenderedPicture);
    argv.push_back("+FN");  // PNG
    const CProcessResult run = RunProcess(argv, folder.Path());
    if (!run.started) return ReportError(path, "cannot render: " + run.error), false;
    if (!run.error.empty()) return ReportError(path, "POV-Ray failed: " + run.error), false;
    if (run.exitStatus != 0)
        return ReportError(path, "POV-Ray failed (exit status " + std::to_string(run.exitStatus) +
                                     "): " + PovRayMessage(run.output)),
               false;
    std::string picture;
    if (!ReadWholeFile(folder / kRenderedPicture, picture, error))
        return ReportError(path, "POV-Ray wrote no picture: " + PovRayMessage(run.output)), false;
    const bool ok = WriteFileAtomically(
        path, [&](CByteSink& sink) { return sink.Write(picture.data(), picture.size()); }, error);
    if (!ok) return ReportError(path, error), false;
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
    // The toggles repaint; a parallel frame takes its extent from the frame before it.
    RecordFrame(options.width, options.height);
    RecordFrame(options.width, options.height);
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
