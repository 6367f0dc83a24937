// vorla-cli sun-study: one picture per hour with the sun of that hour, rendered side by side
// on the free cores, and the contact sheet of them all.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/PovRenderRun.h"
#include "export/SunPosition.h"
#include "export/SunStudy.h"
#include "export/SunStudyScenes.h"
#include "model/CoreLoad.h"
#include "model/SceneSettings.h"
#include "picture/ContactSheet.h"
#include "view/CameraState.h"

#include <QGuiApplication>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include <stdlib.h>
#include <unistd.h>

namespace {

struct CStudyJob {
    CSunStudyJob files;
    std::string error;  // why it failed; empty when it did not
    bool done = false;
};

bool ParseHourOption(const std::vector<std::string>& args, std::size_t& i, double& value, std::string& error)
{
    const std::string& name = args[i];
    if (i + 1 >= args.size()) return error = name + " needs a value", false;
    const std::string& text = args[++i];
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return error = name + " takes a number of hours, not " + text, false;
    return true;
}

std::string HoursError(ESunStudyHours check)
{
    switch (check) {
    case ESunStudyHours::kFromOutOfRange: return "--from takes an hour from 0 to 24";
    case ESunStudyHours::kToOutOfRange: return "--to takes an hour from 0 to 24";
    case ESunStudyHours::kToBeforeFrom: return "--to is before --from";
    case ESunStudyHours::kStepTooSmall: return "--step takes at least one minute (0.0167 hours)";
    case ESunStudyHours::kTooMany:
        return "more than " + std::to_string(kMaxSunStudyPictures) + " pictures; take a longer --step";
    case ESunStudyHours::kOk: break;
    }
    return {};
}

// Makes the folder if it is missing and proves it takes a new file, before any render starts.
bool PrepareOutputFolder(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return ReportError(folder, "cannot create the folder: " + ec.message()), false;
    std::string probe = folder + "/.vorla-write-test-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return ReportError(folder, std::string("cannot write into the folder: ") + std::strerror(errno)), false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// Runs the jobs on `lanes` threads in hour order; after a failure no further job starts.
void RunJobs(std::vector<CStudyJob>& jobs, const std::string& engine, const std::string& folder, int width, int height,
             unsigned lanes)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex printing;
    std::size_t finished = 0;
    const int threads = lanes > 1 ? 1 : 0;
    auto work = [&] {
        for (;;) {
            if (failed) return;
            const std::size_t i = next++;
            if (i >= jobs.size()) return;
            CStudyJob& job = jobs[i];
            job.error = RunPovRay(engine, folder, SunStudyJobOptions(job.files, width, height, threads), job.files.output,
                                  job.files.picture);
            job.done = true;
            std::lock_guard lock(printing);
            if (!job.error.empty()) {
                failed = true;
                continue;
            }
            ++finished;
            std::fprintf(stderr, "vorla-cli: %s: rendered, %zu of %zu\n", job.files.picture.c_str(), finished,
                         jobs.size());
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < lanes; ++t) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
}

// Qt's own notes (a missing runtime folder and the like) are not ours to print; what fails
// is reported by the caller.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "vorla-cli: %s\n", qPrintable(message));
}

bool WriteSheet(const std::vector<CStudyJob>& jobs, const std::string& path, const CTempFolder& temp)
{
    // Text needs a GUI application; the offscreen platform needs no display. Without a
    // runtime folder Qt would make one under TMPDIR and leave it there.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(temp.Path()));
    qInstallMessageHandler(QuietQtMessages);
    int argc = 1;
    char name[] = "vorla-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    std::vector<CSheetPicture> pictures;
    for (const CStudyJob& job : jobs)
        pictures.push_back(
            {QString::fromStdString(job.files.picture), QString::fromStdString(SunStudyLabel(job.files.hour))});
    QString error;
    if (!WriteContactSheet(pictures, QString::fromStdString(path), error))
        return ReportError(path, error.toStdString()), false;
    return true;
}

}  // namespace

int RunSunStudy(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    CPovCliOptions pov;
    CSunStudyHours hours;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string error;
        if (arg == "--from" || arg == "--to" || arg == "--step") {
            double& target = arg == "--from" ? hours.from : arg == "--to" ? hours.to : hours.step;
            if (!ParseHourOption(args, i, target, error)) return UsageError(error);
            continue;
        }
        if (arg == "--hour" || arg == "--render") return UsageError(arg + " does not apply to sun-study");
        bool taken = false;
        if (!ParsePovOption(args, i, pov, taken, error)) return UsageError(error);
        if (taken) continue;
        if (!arg.empty() && arg[0] == '-') return UsageError("unknown option " + arg);
        files.push_back(arg);
    }
    if (files.size() != 2) return UsageError("sun-study needs IN and OUTDIR");
    if (const ESunStudyHours check = CheckSunStudyHours(hours); check != ESunStudyHours::kOk)
        return UsageError(HoursError(check));
    const std::string& in = files[0];
    const std::string outDir = files[1];

    CMyvorla_ltDoc doc;
    CInputInfo info;
    if (!ReadInputModel(in, doc, info)) return kExitFailure;
    if (!PrepareOutputFolder(outDir)) return kExitFailure;
    std::string engine, error;
    if (!FindPovRay(engine, error)) return ReportError(outDir, error);
    ApplyPovOptions(pov);

    CTempFolder temp;
    if (!temp.Create(error)) return ReportError(outDir, error);
    std::vector<CSunStudyJob> scenes;
    std::uint64_t triangles = 0;
    if (!WriteSunStudyScenes(temp.Path(), doc.m_shapeList, {g_north, g_season, g_latitude}, SunStudyHourList(hours),
                             outDir, scenes, triangles, error))
        return ReportError(outDir, error);
    std::vector<CStudyJob> jobs;
    for (const CSunStudyJob& scene : scenes) jobs.push_back({scene, {}, false});
    const unsigned lanes = std::min<unsigned>(CoresForWork(), unsigned(jobs.size()));
    RunJobs(jobs, engine, temp.Path(), int(g_winWidth), int(g_winHeight), lanes);
    for (const CStudyJob& job : jobs)
        if (job.done && !job.error.empty())
            return ReportError(job.files.picture, job.error + "; the series stops here");
    if (!WriteSheet(jobs, outDir + "/" + kContactSheetFile, temp)) return kExitFailure;
    return kExitOk;
}
