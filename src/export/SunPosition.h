// Where the sun of a rendered scene stands, from true north, season, latitude and hour.
#pragma once

// Distance of the sun's point light from the origin, in model units.
inline constexpr double kSunDistance = 1000000.0;

// The sun position from g_north, g_season (a declination in degrees), g_latitude and g_hour, in
// POV-Ray coordinates: with north 0, +x is east, +y up and +z north. A sun below the horizon
// is placed below the ground.
void ComputeSunPosition(double sun[3]);
