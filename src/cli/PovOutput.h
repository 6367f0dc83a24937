// vorla-cli's POV-Ray outputs: a .pov scene, or a .png rendered by POV-Ray, with the options
// that set the picture size, the camera angles and the scene settings.
#pragma once

#include "model/Shape.h"

#include <optional>
#include <string>
#include <vector>

struct CPovCliOptions {
    bool render = false;  // .pov: the Render variant (sky, ground and textures, lit by the sun)
    int width = 640;      // picture size in pixels; sets the camera's aspect
    int height = 480;
    std::optional<double> pitch, yaw;                   // camera angles, degrees
    std::optional<double> north, latitude, season, hour;  // scene-setting overrides
    std::string firstGiven;  // the first of these options on the command line, for messages
};

// .pov and .png (lower-cased extensions).
bool IsPovOutputExtension(const std::string& ext);

// Takes the option at args[i] and its value when it is one of the above, advancing i past
// the value. Returns false and sets `error` for a bad value; `taken` says whether it was ours.
bool ParsePovOption(const std::vector<std::string>& args, std::size_t& i, CPovCliOptions& options,
                    bool& taken, std::string& error);

// Writes `path` (.pov or .png) from `shapes` and the tables, with the start-up camera at the
// chosen size and angles and the overrides applied to the scene settings. Replaces `path`
// only when complete. Prints its own error line; returns false on failure.
bool WritePovOutput(const std::string& path, const CShapeList& shapes, const CPovCliOptions& options);
