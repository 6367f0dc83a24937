// The six scene settings that place the sun and dress a rendered scene.
#pragma once

#include <string>

inline constexpr const char* kDefaultSky = "S_Cloud1";
inline constexpr const char* kDefaultGround = "pigment { color White } finish { reflection 0.3 }";

extern std::string g_sky;     // POV-Ray sky text
extern std::string g_ground;  // POV-Ray texture text of the ground
extern double g_north;        // true north, degrees counter-clockwise
extern double g_season;       // declination of the sun, degrees (-1 none, 0, 30, -30)
extern double g_latitude;     // degrees
extern double g_hour;         // hour of day, 0..24

void SetSceneSettingsDefaults();
