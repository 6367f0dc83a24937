// Writing a series' scenes through the scene writer, each file replaced whole.
#include "export/SunStudyScenes.h"

#include "export/PovRender.h"
#include "export/PovWriter.h"
#include "export/SunStudy.h"
#include "model/FileAccess.h"

bool WriteSunStudyScenes(const std::string& folder, const CShapeList& shapes, const CSunSite& site,
                         const std::vector<double>& hours, const std::string& outDir, std::vector<CSunStudyJob>& jobs,
                         std::uint64_t& triangles, std::string& error)
{
    jobs.clear();
    CPovSceneStats stats;
    const std::string mesh = folder + "/" + kSunStudyMeshFile;
    if (!WriteFileAtomically(mesh, [&](CByteSink& sink) { return WritePovMesh(sink, shapes, &stats); }, error)) {
        error = mesh + ": " + error;
        return false;
    }
    triangles = stats.triangles;
    for (double hour : hours) {
        CSunStudyJob job;
        job.hour = hour;
        job.output = SunStudyPictureName(hour);
        job.scene = job.output.substr(0, job.output.size() - 4) + ".pov";
        job.picture = outDir + "/" + job.output;
        double sun[3];
        ComputeSunPosition(site, hour, sun);
        const std::string path = folder + "/" + job.scene;
        const auto write = [&](CByteSink& sink) { return WritePovSceneUsingMeshFile(sink, shapes, sun, kSunStudyMeshFile); };
        if (!WriteFileAtomically(path, write, error)) {
            error = path + ": " + error;
            return false;
        }
        jobs.push_back(job);
    }
    return true;
}

std::vector<std::string> SunStudyJobOptions(const CSunStudyJob& job, int width, int height, int threads)
{
    std::vector<std::string> options = BuildPovOptions(job.scene, width, height, true);
    options.push_back("+O" + job.output);
    options.push_back("+FN");
    if (threads > 0) options.push_back("+WT" + std::to_string(threads));
    return options;
}
