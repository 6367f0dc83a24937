// Coordinate systems, normals, the no-area test, arcs and walls of the full DXF import.
#include "import/DxfFullGeometry.h"

#include "model/Constants.h"

#include <algorithm>
#include <cmath>

namespace {

void Cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The cross product divided by its length; zero when it has none (or no finite one).
bool Unit(const double v[3], double out[3])
{
    const double length = std::sqrt(Dot(v, v));
    const bool usable = length > 0.0 && std::isfinite(length);
    for (int a = 0; a < 3; ++a) out[a] = usable ? v[a] / length : 0.0;
    return usable;
}

constexpr double kNearPole = 1.0 / 64;

}  // namespace

bool DxfOcsAxes(const double n[3], double ax[3], double ay[3], double az[3])
{
    if (!Unit(n, az)) return false;
    double a[3];
    if (std::fabs(az[0]) < kNearPole && std::fabs(az[1]) < kNearPole) {
        a[0] = az[2], a[1] = 0.0, a[2] = -az[0];  // (0, 1, 0) x N
    } else {
        a[0] = -az[1], a[1] = az[0], a[2] = 0.0;  // (0, 0, 1) x N
    }
    if (!Unit(a, ax)) return false;
    double b[3];
    Cross(az, ax, b);
    return Unit(b, ay);
}

bool DxfSolidCorners(const double p[4][3], const double n[3], double c[4][3])
{
    double a[3];
    if (std::fabs(n[0]) < kNearPole && std::fabs(n[1]) < kNearPole) {
        a[0] = n[2], a[1] = 0.0, a[2] = -n[0];
    } else {
        a[0] = -n[1], a[1] = n[0], a[2] = 0.0;
    }
    const double lengthA = std::sqrt(Dot(a, a));
    if (!(lengthA > 0.0)) return false;
    for (double& v : a) v /= lengthA;
    double b[3], bn[3];
    Cross(n, a, b);
    Cross(b, n, bn);
    const double d = Dot(a, bn);
    if (!(std::fabs(d) >= 1e-10)) return false;
    static const int kOrder[4] = {0, 1, 3, 2};
    for (int k = 0; k < 4; ++k) {
        const double* q = p[kOrder[k]];
        for (int i = 0; i < 3; ++i) c[k][i] = (q[0] * a[i] + q[1] * b[i] + q[2] * n[i]) / d;
    }
    return true;
}

bool DxfHasArea(const double c[4][3])
{
    double longest = 0.0;  // squared
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            const double d[3] = {c[j][0] - c[i][0], c[j][1] - c[i][1], c[j][2] - c[i][2]};
            longest = std::max(longest, Dot(d, d));
        }
    if (!(longest > 0.0)) return false;
    static const int kTriangles[4][3] = {{0, 1, 2}, {0, 2, 3}, {0, 1, 3}, {1, 2, 3}};
    double largest = 0.0;  // squared length of the largest triangle's cross product
    for (const auto& t : kTriangles) {
        double e1[3], e2[3], cross[3];
        for (int a = 0; a < 3; ++a) e1[a] = c[t[1]][a] - c[t[0]][a], e2[a] = c[t[2]][a] - c[t[0]][a];
        Cross(e1, e2, cross);
        largest = std::max(largest, Dot(cross, cross));
    }
    // Corners on one line give a cross product of rounding noise only; a sliver one ten
    // thousand millionth as wide as it is long counts as a line.
    constexpr double kThinnest = 1e-10;
    return largest > (kThinnest * longest) * (kThinnest * longest);
}

void DxfFaceNormal(const double c[4][3], ENormalRule rule, double out[3])
{
    double e1[3], e2[3], cross[3];
    for (int a = 0; a < 3; ++a) {
        if (rule == ENormalRule::Corners) {
            e1[a] = c[0][a] - c[1][a], e2[a] = c[1][a] - c[2][a];
        } else {
            e1[a] = c[1][a] - c[0][a], e2[a] = c[2][a] - c[0][a];
        }
    }
    Cross(e1, e2, cross);
    if (Unit(cross, out)) return;
    // Newell's normal of the outline C1 C2 C3 C4.
    double n[3] = {};
    for (int i = 0; i < 4; ++i) {
        const double* p = c[i];
        const double* q = c[(i + 1) % 4];
        n[0] += (p[1] - q[1]) * (p[2] + q[2]);
        n[1] += (p[2] - q[2]) * (p[0] + q[0]);
        n[2] += (p[0] - q[0]) * (p[1] + q[1]);
    }
    Unit(n, out);
}

void DxfAppendBulge(const CDxfPoint2& a, const CDxfPoint2& b, double bulge, std::vector<CDxfPoint2>& out)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double chord = std::sqrt(dx * dx + dy * dy);
    if (bulge == 0.0 || !std::isfinite(bulge) || !(chord > 0.0)) {
        out.push_back(b);
        return;
    }
    const double angle = 4.0 * std::atan(bulge);  // signed, counter-clockwise positive
    const int segments = std::max(1, int(std::ceil(std::fabs(angle) / (10.0 * kDegToRad) - 1e-9)));
    // The centre lies on the chord's left normal at (chord / 2) / tan(angle / 2) from its middle.
    const double h = (chord / 2) / std::tan(angle / 2);
    const double cx = (a.x + b.x) / 2 - dy / chord * h;
    const double cy = (a.y + b.y) / 2 + dx / chord * h;
    const double radius = std::sqrt((a.x - cx) * (a.x - cx) + (a.y - cy) * (a.y - cy));
    const double start = std::atan2(a.y - cy, a.x - cx);
    for (int k = 1; k < segments; ++k) {
        const double t = start + angle * k / segments;
        out.push_back({cx + radius * std::cos(t), cy + radius * std::sin(t)});
    }
    out.push_back(b);
}

double DxfArcSpan(double start, double end)
{
    constexpr double kTolerance = 1e-12;
    if (!std::isfinite(start) || !std::isfinite(end)) return 0.0;
    if (std::fabs(start - end) <= kTolerance) return 0.0;
    double s = std::fmod(start, 360.0), e = std::fmod(end, 360.0);
    if (s < 0) s += 360.0;
    if (e < 0) e += 360.0;
    if (std::fabs(s - e) <= kTolerance) return 360.0;
    double span = e - s;
    if (span < 0) span += 360.0;
    return span;
}

void DxfWalls(const std::vector<CDxfPoint2>& outline, double elevation, double thickness, const double extrusion[3],
              EDxfFaceKind kind, std::uint32_t layer, const CDxfColour& colour, CDxfFaceOut& out)
{
    double ax[3], ay[3], az[3];
    if (!DxfOcsAxes(extrusion, ax, ay, az)) {
        ++out.LeftOut().badExtrusion;
        return;
    }
    auto world = [&](const CDxfPoint2& p, double z, double w[3]) {
        for (int a = 0; a < 3; ++a) w[a] = p.x * ax[a] + p.y * ay[a] + z * az[a];
    };
    CDxfRawFace face{};
    face.kind = kind;
    face.rule = ENormalRule::Extruded;
    face.layer = layer;
    face.colour = colour;
    for (std::size_t i = 1; i < outline.size(); ++i) {
        const CDxfPoint2& a = outline[i - 1];
        const CDxfPoint2& b = outline[i];
        if (a.x == b.x && a.y == b.y) continue;
        world(a, elevation, face.c[0]);
        world(b, elevation, face.c[1]);
        world(b, elevation + thickness, face.c[2]);
        world(a, elevation + thickness, face.c[3]);
        out.Face(face);
    }
}
