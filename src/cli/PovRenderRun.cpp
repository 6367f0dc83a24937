// POV-Ray runs of vorla-cli: scene file, process and picture, each run in its own folder.
#include "cli/PovRenderRun.h"

#include "export/PovProgress.h"
#include "export/PovRender.h"
#include "export/PovWriter.h"
#include "export/ProcessRunner.h"
#include "model/FileAccess.h"
#include "view/CameraState.h"
#include "view/PovEngine.h"

#include <cerrno>
#include <cstdlib>  // mkdtemp
#include <cstring>
#include <filesystem>

namespace {

// Picture file POV-Ray writes in its working folder before it is moved to the target.
constexpr char kRenderedPicture[] = "render.png";

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

}  // namespace

bool CTempFolder::Create(std::string& error)
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

CTempFolder::~CTempFolder()
{
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

bool FindPovRay(std::string& engine, std::string& error)
{
    LookForPovEngine();
    engine = g_povEnginePath;
    if (!engine.empty()) return true;
    error = "cannot render: POV-Ray is not installed (no povray on PATH, in /usr/bin or /usr/local/bin); install "
            "the povray and povray-includes packages";
    return false;
}

bool WriteRenderScene(const std::string& folder, const CShapeList& shapes, const double sun[3], std::string& error)
{
    const auto writeScene = [&](CByteSink& sink) { return WritePovScene(sink, shapes, PovVariant::Render, sun); };
    if (WriteFileAtomically(folder + "/" + kRenderSceneFile, writeScene, error)) return true;
    error = folder + "/" + kRenderSceneFile + ": " + error;
    return false;
}

std::string RunPovRay(const std::string& engine, const std::string& folder, const std::vector<std::string>& options,
                      const std::string& output, const std::string& picture)
{
    std::vector<std::string> argv = {engine};
    argv.insert(argv.end(), options.begin(), options.end());
    const CProcessResult run = RunProcess(argv, folder);
    if (!run.started) return "cannot render: " + run.error;
    if (!run.error.empty()) return "POV-Ray failed: " + run.error;
    if (run.exitStatus != 0)
        return "POV-Ray failed (exit status " + std::to_string(run.exitStatus) +
               "): " + PovRayMessageWithLine(run.output, folder + "/" + options.front().substr(2));
    std::string bytes, error;
    if (!ReadWholeFile(folder + "/" + output, bytes, error))
        return "POV-Ray wrote no picture: " + PovRayMessage(run.output);
    if (!WriteFileAtomically(picture, [&](CByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); }, error))
        return error;
    return {};
}

std::string RenderScene(const std::string& engine, const std::string& folder, int width, int height,
                        const std::string& picture)
{
    std::vector<std::string> options = BuildPovRenderOptions(width, height, true);
    options.push_back(std::string("+O") + kRenderedPicture);
    options.push_back("+FN");  // PNG
    return RunPovRay(engine, folder, options, kRenderedPicture, picture);
}
