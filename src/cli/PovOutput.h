// vorla-cli's POV-Ray outputs: a .pov scene, or a .png rendered by POV-Ray, with the options
// that set the picture size, the camera angles and the scene settings.
#pragma once

#include "model/Shape.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

struct CPovCliOptions {
    bool render = false;  // .pov: the Render variant (sky, ground and textures, lit by the sun)
    int width = 640;      // picture size in pixels; sets the camera's aspect
    int height = 480;
    std::optional<double> pitch, yaw;                   // camera angles, degrees
    std::optional<std::array<float, 3>> offset;         // orbit camera offset, model units
    bool walk = false;      // switched to walk-through after the camera is set
    bool parallel = false;  // switched to parallel projection
    std::optional<double> north, latitude, season, hour;  // scene-setting overrides
    std::string firstGiven;  // the first of these options on the command line, for messages
};

// .pov and .png (lower-cased extensions).
bool IsPovOutputExtension(const std::string& ext);

// Takes the option at args[i] and its value when it is one of the above, advancing i past
// the value. Returns false and sets `error` for a bad value; `taken` says whether it was ours.
bool ParsePovOption(const std::vector<std::string>& args, std::size_t& i, CPovCliOptions& options,
                    bool& taken, std::string& error);

// Sets the camera and scene settings as a freshly started viewer of the chosen size would have
// them after the user set the camera's offset and angles, switched to walk-through and parallel
// projection as asked and drew the view; the overrides replace the scene settings.
void ApplyPovOptions(const CPovCliOptions& options);

// Writes `path` (.pov or .png) from `shapes` and the tables through ApplyPovOptions. Replaces
// `path` only when complete. Prints its own error line; returns false on failure.
bool WritePovOutput(const std::string& path, const CShapeList& shapes, const CPovCliOptions& options);
