// The scene files of a sun study: the mesh written once, and for each hour a small scene lit by
// the sun of that hour that includes it, all in one working folder for POV-Ray.
#pragma once

#include "export/SunPosition.h"
#include "model/Shape.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr char kSunStudyMeshFile[] = "mesh.inc";

// One picture of a series.
struct CSunStudyJob {
    double hour = 0;
    std::string scene;    // scene file in the working folder, "hour-08.00.pov"
    std::string output;   // the picture POV-Ray writes there, "hour-08.00.png"
    std::string picture;  // where the finished picture goes, OUTDIR/hour-08.00.png
};

// Writes the mesh of `shapes` and one scene per hour (the sun of `site` at that hour) into
// `folder`. The camera, layers and scene settings are read now, so every picture of the series
// shows them as they were when it started. `triangles` receives the mesh's size (for the
// progress of each render). Returns false with `error` when a file cannot be written.
bool WriteSunStudyScenes(const std::string& folder, const CShapeList& shapes, const CSunSite& site,
                         const std::vector<double>& hours, const std::string& outDir, std::vector<CSunStudyJob>& jobs,
                         std::uint64_t& triangles, std::string& error);

// POV-Ray's arguments for one picture, the program left out: no display window, PNG, and
// `threads` work threads when not 0.
std::vector<std::string> SunStudyJobOptions(const CSunStudyJob& job, int width, int height, int threads);
