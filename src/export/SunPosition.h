// Where the sun of a rendered scene stands, from true north, season, latitude and hour.
#pragma once

// Distance of the sun's point light from the origin, in model units.
inline constexpr double kSunDistance = 1000000.0;

// Where a site lies: true north (degrees, counter-clockwise from north), the season as a
// declination in degrees, and the latitude.
struct CSunSite {
    double north = 0.0;
    double season = 0.0;
    double latitude = 36.0;
};

// The sun position for a site at an hour of the day, in POV-Ray coordinates: with north 0, +x
// is east, +y up and +z north. A sun below the horizon is placed below the ground.
void ComputeSunPosition(const CSunSite& site, double hour, double sun[3]);

// The same from the scene settings g_north, g_season, g_latitude and g_hour.
void ComputeSunPosition(double sun[3]);
