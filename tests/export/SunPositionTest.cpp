// Where the sun stands for given scene settings, and that it never becomes NaN at the zenith.
#include "export/SunPosition.h"
#include "model/SceneSettings.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CSunCase {
    const char* what;
    double north, season, latitude, hour;
    double x, y, z;    // expected
    double tolerance;  // the start-up values are known to the thousandth; the others from exact geometry
};

// Sun altitude in degrees from a position.
double Altitude(const double (&sun)[3])
{
    return std::atan2(sun[1], std::hypot(sun[0], sun[2])) * 180.0 / M_PI;
}

void SetSun(double north, double season, double latitude, double hour)
{
    g_north = north;
    g_season = season;
    g_latitude = latitude;
    g_hour = hour;
}

}  // namespace

TEST(SunPosition, KnownPositions)
{
    const double noonY = std::sin(54.0 * M_PI / 180.0) * kSunDistance;
    const double noonZ = -std::cos(54.0 * M_PI / 180.0) * kSunDistance;
    const CSunCase cases[] = {
        {"start-up: 10 o'clock, equinox, 36 degrees", 0, 0, 36, 10, 500000.007, 700629.261, -509036.965, 1e-3},
        {"north turned by 90 degrees", 90, 0, 36, 10, -509036.976, 700629.261, -499999.995, 1e-3},
        {"noon: due south at 54 degrees", 0, 0, 36, 12, 0.0, noonY, noonZ, 0.2},
        {"6 o'clock: on the horizon due east", 0, 0, 36, 6, kSunDistance, 0.0, 0.0, 0.2},
    };
    for (const CSunCase& c : cases) {
        SetSun(c.north, c.season, c.latitude, c.hour);
        double sun[3];
        ComputeSunPosition(sun);
        // The constants are slightly off pi/180, so exact geometry holds to about 1e-7 relative.
        EXPECT_NEAR(sun[0], c.x, c.tolerance) << c.what;
        EXPECT_NEAR(sun[1], c.y, c.tolerance) << c.what;
        EXPECT_NEAR(sun[2], c.z, c.tolerance) << c.what;
        EXPECT_NEAR(std::hypot(sun[0], sun[1], sun[2]), kSunDistance, 1e-3) << c.what;
    }
}

TEST(SunPosition, AtThePoleTheAltitudeIsTheDeclinationAllDay)
{
    for (double hour = 0; hour <= 24; hour += 1.5) {
        SetSun(0, 30, 90, hour);
        double sun[3];
        ComputeSunPosition(sun);
        EXPECT_NEAR(Altitude(sun), 30.0, 1e-4) << hour;
    }
}

TEST(SunPosition, NoonWithLatitudeEqualToDeclinationIsTheZenithNotNaN)
{
    // Rounding makes sa a hair above 1 for some of these; every one must give the zenith.
    for (double latitude = -30; latitude <= 30; latitude += 0.25) {
        SetSun(0, latitude, latitude, 12);
        double sun[3];
        ComputeSunPosition(sun);
        for (double v : sun) ASSERT_FALSE(std::isnan(v)) << latitude;
        EXPECT_NEAR(sun[1], kSunDistance, 1e-3) << latitude;
        EXPECT_NEAR(std::hypot(sun[0], sun[2]), 0.0, 2.0) << latitude;
    }
}
