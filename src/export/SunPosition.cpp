// The sun's direction on the celestial sphere for a site and an hour, turned by true north.
#include "export/SunPosition.h"

#include "model/Constants.h"
#include "model/SceneSettings.h"

#include <algorithm>
#include <cmath>

namespace {

// 15 degrees per hour, in radians.
constexpr double kHourToRad = 0.26179939166666666;

}  // namespace

void ComputeSunPosition(double sun[3]) { ComputeSunPosition({g_north, g_season, g_latitude}, g_hour, sun); }

void ComputeSunPosition(const CSunSite& site, double hour, double sun[3])
{
    const double h = (hour - 12.0) * kHourToRad;  // hour angle, 0 at noon
    const double d = site.season * kDegToRad;     // declination
    const double f = site.latitude * kDegToRad;
    const double sa = std::cos(h) * std::cos(f) * std::cos(d) + std::sin(f) * std::sin(d);  // sin(altitude)
    // Rounding can push sa a hair past 1 (noon with latitude equal to the declination): the sun
    // is then at the zenith, not NaN.
    const double ca = std::sqrt(std::max(0.0, 1.0 - sa * sa));  // cos(altitude)
    // -p and -q are the cosine and sine of the azimuth, counted from north toward east; at the
    // zenith or nadir the azimuth is undefined and ca is ~0, so p and q hardly matter.
    double p = 1.0, q = 1.0;
    if (!(ca < 1e-6)) {
        q = std::sin(h) * std::cos(d) / ca;
        p = (std::sin(f) * sa - std::sin(d)) / (std::cos(f) * ca);
    }
    const double u = -p * ca;  // toward north
    const double v = -q * ca;  // toward east
    const double n = site.north * kDegToRad;
    const double x = v * std::cos(n) + u * std::sin(n);
    const double z = u * std::cos(n) - v * std::sin(n);
    sun[0] = x * kSunDistance;
    sun[1] = sa * kSunDistance;
    sun[2] = z * kSunDistance;
}
