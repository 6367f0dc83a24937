// Hit test on first corners and the ground point under the cursor.
#include "interaction/Picking.h"

#include "interaction/MoveState.h"
#include "model/Constants.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <cmath>

namespace {

// The eye-space point under the cursor lies on a plane this far in front of the eye.
constexpr double kRayPlane = 500.0;

// The ground test and the ray parameter are computed on values scaled by this factor, and a
// scaled direction this close to level counts as parallel to the ground.
constexpr double kGroundScale = 4e10;
constexpr double kParallelLimit = 1e-5;

bool AllFinite(const double v[3])
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Orbit perspective: the orbit eye point, and the cursor's eye-space point 500 units ahead
// turned into world space by the inverse of the modelview's rotation.
bool GetOrbitPerspectiveRay(int x, int y, double origin[3], double direction[3])
{
    const double W = g_viewport[2];
    const double H = g_viewport[3];
    if (W <= 0 || H <= 0) return false;
    GetOrbitEyePoint(origin);
    const double P = 1000.0 * std::tan(g_fovy * kHalfDegToRad) / H;
    const double U = (x - 0.5 * W) * P;
    const double V = (0.5 * H - y) * P;

    const double* m = g_modelview;
    const double det = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[1] * m[4] * m[10] +
                       m[2] * m[4] * m[9] + m[1] * m[6] * m[8] - m[2] * m[5] * m[8];
    if (det == 0.0) return false;
    direction[0] = (m[0] / det) * U + (m[1] / det) * V - kRayPlane * (m[2] / det);
    direction[1] = (m[4] / det) * U + (m[5] / det) * V - kRayPlane * (m[6] / det);
    direction[2] = (m[8] / det) * U + (m[9] / det) * V - kRayPlane * (m[10] / det);
    return AllFinite(origin) && AllFinite(direction);
}

// Any other mode: the cursor unprojected onto the near and far planes of the last frame.
bool GetUnprojectedRay(int x, int y, double origin[3], double direction[3])
{
    const double winX = x;
    const double winY = g_viewport[3] - y;
    double nearPoint[3], farPoint[3];
    if (!UnProjectPoint(winX, winY, 0.0, g_modelview, g_projection, g_viewport, nearPoint) ||
        !UnProjectPoint(winX, winY, 1.0, g_modelview, g_projection, g_viewport, farPoint))
        return false;
    double length = 0;
    for (int i = 0; i < 3; ++i) {
        direction[i] = farPoint[i] - nearPoint[i];
        length += direction[i] * direction[i];
    }
    length = std::sqrt(length);
    if (!(length > 0) || !std::isfinite(length)) return false;
    // Scaled to the orbit ray's length so the same parallel test applies.
    for (int i = 0; i < 3; ++i) direction[i] *= kRayPlane / length;

    if (g_perspective == 1) {
        // The eye of the current camera values: a zoom step that has just moved it is followed
        // at once, as the orbit ray follows it.
        for (int i = 0; i < 3; ++i) origin[i] = -double(g_camOffset[i]);
    } else {
        for (int i = 0; i < 3; ++i) origin[i] = nearPoint[i];
    }
    return AllFinite(origin) && AllFinite(direction);
}

}  // namespace

std::ptrdiff_t HitTest(const CShapeList& shapes, int x, int y)
{
    const double* mv = g_modelview;
    const double* pr = g_projection;
    const double vx = g_viewport[0], vy = g_viewport[1], vw = g_viewport[2], vh = g_viewport[3];
    const double clickX = x;
    const double clickY = g_viewport[3] - y;
    // The arithmetic of ProjectPoint, inlined and without the depth it does not need, so a pick
    // of a million faces stays a plain pass over the list.
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const float* v = shapes[i].m_vertex[0];
        const double in[4] = {v[0], v[1], v[2], 1.0};
        double eye[4];
        for (int r = 0; r < 4; ++r)
            eye[r] = in[0] * mv[0 + r] + in[1] * mv[4 + r] + in[2] * mv[8 + r] + in[3] * mv[12 + r];
        const double cx = eye[0] * pr[0] + eye[1] * pr[4] + eye[2] * pr[8] + eye[3] * pr[12];
        const double cy = eye[0] * pr[1] + eye[1] * pr[5] + eye[2] * pr[9] + eye[3] * pr[13];
        const double cw = eye[0] * pr[3] + eye[1] * pr[7] + eye[2] * pr[11] + eye[3] * pr[15];
        if (cw == 0.0) continue;  // projects to infinity: gluProject fails, nothing to hit
        const double wx = (cx / cw * 0.5 + 0.5) * vw + vx;
        const double wy = (cy / cw * 0.5 + 0.5) * vh + vy;
        if (std::fabs(wx - clickX) < kPickTolerance && std::fabs(wy - clickY) < kPickTolerance)
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

bool GetCursorRay(int x, int y, double origin[3], double direction[3])
{
    if (g_walkThrough == 0 && g_perspective == 1) return GetOrbitPerspectiveRay(x, y, origin, direction);
    return GetUnprojectedRay(x, y, origin, direction);
}

bool PickGroundPoint(int x, int y, bool keepStart)
{
    double eye[3], d[3];
    if (!GetCursorRay(x, y, eye, d)) return false;
    if (std::fabs(d[1] * kGroundScale) <= kParallelLimit) return false;
    const double lambda = (-eye[1] * kGroundScale) / (d[1] * kGroundScale);
    double point[3];
    for (int i = 0; i < 3; ++i) point[i] = eye[i] + lambda * d[i];
    if (!AllFinite(point)) return false;
    for (int i = 0; i < 3; ++i) {
        g_moveTo[i] = point[i];
        if (!keepStart) g_moveFrom[i] = point[i];
    }
    return true;
}
