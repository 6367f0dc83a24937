// Fit to view in eye space: with the camera's rotation fixed, each side of the view volume is a
// linear bound on the camera's translation, so the tightest translation follows from a few
// extremes over the model's corners.
#include "view/FitView.h"

#include "model/LayerTable.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// After a fit the nearest corner stays this far in front of the eye, clear of the near plane.
constexpr double kNearClearance = 2 * kNearPlane;

// Calls `visit(corner)` for each corner of each face on a shown layer, face by face; a face's
// corners come as four consecutive calls. Stops early when `visit` returns false.
template <typename Visit>
void ForEachShownFace(const CShapeList& shapes, Visit visit)
{
    CLayerLookup lookup;
    for (const CShape& shape : shapes) {
        if (!lookup.IsVisible(shape.m_layer)) continue;
        if (!visit(shape.m_vertex)) return;
    }
}

// Bits of the sides of the view volume a clip-space point lies beyond.
unsigned OutsideBits(const double clip[4])
{
    const double w = clip[3];
    return (clip[0] < -w ? 1u : 0u) | (clip[0] > w ? 2u : 0u) | (clip[1] < -w ? 4u : 0u) |
           (clip[1] > w ? 8u : 0u) | (clip[2] < -w ? 16u : 0u) | (clip[2] > w ? 32u : 0u);
}

void ToClip(const double m[16], double x, double y, double z, double clip[4])
{
    for (int r = 0; r < 4; ++r) clip[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
}

// Projection times camera transform of the current camera; false for an empty view.
bool CurrentViewMatrix(int width, int height, double out[16])
{
    if (width <= 0 || height <= 0) return false;
    double modelview[16], projection[16];
    ComputeCameraModelview(modelview);
    ComputeProjection(width, height, projection);
    MultiplyMatrices(projection, modelview, out);
    return true;
}

// True when the points, taken together, lie wholly beyond no single side of the view volume.
bool MayBeSeen(const double viewMatrix[16], const float (*corners)[3], int count)
{
    unsigned common = ~0u;
    for (int k = 0; k < count && common != 0; ++k) {
        double clip[4];
        ToClip(viewMatrix, corners[k][0], corners[k][1], corners[k][2], clip);
        common &= OutsideBits(clip);
    }
    return common == 0;
}

}  // namespace

bool GetShownBounds(const CShapeList& shapes, double min[3], double max[3])
{
    bool any = false;
    for (int a = 0; a < 3; ++a) {
        min[a] = std::numeric_limits<double>::infinity();
        max[a] = -std::numeric_limits<double>::infinity();
    }
    ForEachShownFace(shapes, [&](const float (*corners)[3]) {
        any = true;
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) {
                min[a] = std::min(min[a], double(corners[k][a]));
                max[a] = std::max(max[a], double(corners[k][a]));
            }
        return true;
    });
    return any;
}

bool AnyShownFaceInView(const CShapeList& shapes, int width, int height)
{
    double viewMatrix[16];
    if (!CurrentViewMatrix(width, height, viewMatrix)) return false;
    bool seen = false;
    ForEachShownFace(shapes, [&](const float (*corners)[3]) {
        seen = MayBeSeen(viewMatrix, corners, 4);
        return !seen;
    });
    return seen;
}

bool IsBoxInView(const double min[3], const double max[3], int width, int height)
{
    double viewMatrix[16];
    if (!CurrentViewMatrix(width, height, viewMatrix)) return false;
    float corners[8][3];
    for (int k = 0; k < 8; ++k) {
        corners[k][0] = float((k & 1) ? max[0] : min[0]);
        corners[k][1] = float((k & 2) ? max[1] : min[1]);
        corners[k][2] = float((k & 4) ? max[2] : min[2]);
    }
    return MayBeSeen(viewMatrix, corners, 8);
}

bool FitCameraToShapes(const CShapeList& shapes, int width, int height)
{
    if (width <= 0 || height <= 0) return false;
    const double aspect = double(width) / double(height);

    // The camera's rotation R (the upper 3 × 3 of its transform, the same in both modes): a
    // corner p lands at R·p + t in eye space, and t is what the fit chooses.
    double modelview[16];
    ComputeCameraModelview(modelview);
    const double* m = modelview;

    // Half-width and half-height of the view per unit of distance, shrunk by the fill. In
    // perspective they are the slopes of the side planes; in parallel the extent grows with
    // the camera's distance in the same way (g_orthoScale per unit).
    double kx, ky;
    const bool perspective = g_perspective == 1;
    if (perspective) {
        double projection[16];
        ComputeProjection(width, height, projection);
        kx = kFitFill / projection[0];
        ky = kFitFill / projection[5];
    } else {
        ky = kFitFill * std::abs(g_orthoScale);
        kx = ky * aspect;
    }
    if (!(kx > 0) || !(ky > 0)) return false;

    // Perspective: |qx + tx| <= kx·(D − qz) for every corner, with D = −tz, bounds tx from
    // both sides by max(qx + kx·qz) and min(qx − kx·qz); the same for y. Parallel: |qx + tx|
    // <= kx·D, bounded by the extremes of qx alone.
    const double inf = std::numeric_limits<double>::infinity();
    double hiX = -inf, loX = inf, hiY = -inf, loY = inf, farthestZ = -inf;
    bool any = false;
    ForEachShownFace(shapes, [&](const float (*corners)[3]) {
        any = true;
        for (int k = 0; k < 4; ++k) {
            const double px = corners[k][0], py = corners[k][1], pz = corners[k][2];
            const double qx = m[0] * px + m[4] * py + m[8] * pz;
            const double qy = m[1] * px + m[5] * py + m[9] * pz;
            const double qz = m[2] * px + m[6] * py + m[10] * pz;
            const double sx = perspective ? kx * qz : 0, sy = perspective ? ky * qz : 0;
            hiX = std::max(hiX, qx + sx);
            loX = std::min(loX, qx - sx);
            hiY = std::max(hiY, qy + sy);
            loY = std::min(loY, qy - sy);
            farthestZ = std::max(farthestZ, qz);  // the corner nearest the eye
        }
        return true;
    });
    if (!any) return false;

    const double distance =
        std::max({(hiX - loX) / (2 * kx), (hiY - loY) / (2 * ky), farthestZ + kNearClearance});
    const double t[3] = {-(hiX + loX) / 2, -(hiY + loY) / 2, -distance};
    if (!std::isfinite(t[0]) || !std::isfinite(t[1]) || !std::isfinite(t[2])) return false;

    if (g_walkThrough == 0) {
        // Orbit: the offset is the translation after the rotations.
        for (int i = 0; i < 3; ++i) g_camOffset[i] = static_cast<float>(t[i]);
    } else {
        // Walk-through: eye space is R·(p + offset), so the offset is Rᵀ·t.
        for (int i = 0; i < 3; ++i)
            g_camOffset[i] = static_cast<float>(m[4 * i] * t[0] + m[4 * i + 1] * t[1] + m[4 * i + 2] * t[2]);
    }
    return true;
}
