// Camera matrices of a frame, the walk-through offset conversion and the display toggles.
#include "view/Camera.h"

#include "model/Constants.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <cmath>
#include <cstring>

void GetLookDirection(double direction[3])
{
    const double yaw = g_yaw * kDegToRad;
    const double pitch = g_pitch * kDegToRad;
    direction[0] = std::sin(yaw) * std::cos(pitch);
    direction[1] = -std::sin(pitch);
    direction[2] = -std::cos(yaw) * std::cos(pitch);
}

void ComputeCameraModelview(double modelview[16])
{
    SetIdentity(modelview);
    if (g_walkThrough == 0) {
        ApplyTranslate(modelview, g_camOffset[0], g_camOffset[1], g_camOffset[2]);
        ApplyRotate(modelview, static_cast<float>(g_pitch), 1, 0, 0);
        ApplyRotate(modelview, static_cast<float>(g_yaw), 0, 1, 0);
        return;
    }
    double direction[3];
    GetLookDirection(direction);
    double eye[3], centre[3];
    for (int i = 0; i < 3; ++i) {
        g_walkDir[i] = static_cast<float>(direction[i]);
        eye[i] = -double(g_camOffset[i]);
        // In double, so a look direction of unit length is not lost beside an eye point far
        // from the origin.
        centre[i] = eye[i] + g_walkDir[i];
    }
    // Straight down or up the look direction holds no heading; the degree constant even tips it
    // just past the vertical, which turned the picture by half a turn against the orbit view.
    // There the orbit camera's own up, (sin p sin y, cos p, -sin p cos y), keeps its picture.
    double up[3] = {0, 1, 0};
    if (std::abs(std::cos(g_pitch * kDegToRad)) < 1e-6) {
        const double s = g_pitch > 0 ? 1.0 : -1.0;
        const double yaw = g_yaw * kDegToRad;
        up[0] = s * std::sin(yaw);
        up[1] = 0;
        up[2] = -s * std::cos(yaw);
    }
    ApplyLookAt(modelview, eye, centre, up);
}

void RecordFrameSize(int width, int height)
{
    g_winHeight = height;
    g_winWidth = width;
    g_aspect = g_winWidth / g_winHeight;
    g_drawFovy = g_fovy;
}

namespace {

// The projection for a camera whose modelview has `cameraDistance` as its element 14: the
// parallel view's half-height follows that distance. A negative element 14 (the origin in front
// of the camera) gives left < right and bottom < top.
void ProjectionForDistance(int width, int height, double cameraDistance, double projection[16])
{
    SetIdentity(projection);
    if (width <= 0 || height <= 0) return;
    const double aspect = double(width) / double(height);
    if (g_perspective == 1) {
        ApplyPerspective(projection, g_fovy, aspect, kNearPlane, kFarPlane);
        return;
    }
    const double d = g_orthoScale * cameraDistance;
    const double e = d * width / height;
    ApplyOrtho(projection, e, -e, d, -d, kNearPlane, kFarPlane);
}

}  // namespace

void ComputeProjection(int width, int height, double projection[16])
{
    double modelview[16];
    ComputeCameraModelview(modelview);
    ProjectionForDistance(width, height, modelview[14], projection);
}

void SetUpFrame(int width, int height, double projection[16], double modelview[16])
{
    RecordFrameSize(width, height);
    // The camera first: the parallel extent is taken from this frame's camera, so the picture
    // follows every wheel notch at once.
    ComputeCameraModelview(modelview);
    ProjectionForDistance(width, height, modelview[14], projection);
}

void RecordFrame(int width, int height)
{
    double projection[16], modelview[16];
    SetUpFrame(width, height, projection, modelview);
    std::memcpy(g_projection, projection, sizeof g_projection);
    std::memcpy(g_modelview, modelview, sizeof g_modelview);
    g_viewport[0] = 0;
    g_viewport[1] = 0;
    g_viewport[2] = width;
    g_viewport[3] = height;
}

void GetOrbitEyePoint(double eye[3])
{
    const double ox = g_camOffset[0], oy = g_camOffset[1], oz = g_camOffset[2];
    const double a = -g_pitch * kDegToRad;
    const double y1 = std::cos(a) * oy - std::sin(a) * oz;
    const double z1 = std::sin(a) * oy + std::cos(a) * oz;
    const double b = g_yaw * kDegToRad;
    const double x2 = std::cos(b) * ox - std::sin(b) * z1;
    const double z2 = std::sin(b) * ox + std::cos(b) * z1;
    eye[0] = -x2;
    eye[1] = -y1;
    eye[2] = -z2;
}

void ConvertOffsetOrbitToWalk()
{
    float* o = g_camOffset;
    const double a = -g_pitch * kDegToRad;
    const double y1 = std::cos(a) * o[1] - std::sin(a) * o[2];
    const double z1 = std::sin(a) * o[1] + std::cos(a) * o[2];
    o[1] = static_cast<float>(y1);
    o[2] = static_cast<float>(z1);
    const double b = g_yaw * kDegToRad;
    const double x2 = std::cos(b) * o[0] - std::sin(b) * o[2];
    const double z2 = std::sin(b) * o[0] + std::cos(b) * o[2];
    o[0] = static_cast<float>(x2);
    o[2] = static_cast<float>(z2);
}

void ConvertOffsetWalkToOrbit()
{
    float* o = g_camOffset;
    const double b = -g_yaw * kDegToRad;
    const double x1 = std::cos(b) * o[0] - std::sin(b) * o[2];
    const double z1 = std::sin(b) * o[0] + std::cos(b) * o[2];
    o[0] = static_cast<float>(x1);
    o[2] = static_cast<float>(z1);
    const double a = g_pitch * kDegToRad;
    const double y2 = std::cos(a) * o[1] - std::sin(a) * o[2];
    const double z2 = std::sin(a) * o[1] + std::cos(a) * o[2];
    o[1] = static_cast<float>(y2);
    o[2] = static_cast<float>(z2);
}

void ToggleWireframe() { g_shaded = g_shaded == 0 ? 1 : 0; }

void ToggleParallel() { g_perspective = g_perspective == 0 ? 1 : 0; }

void ToggleWalkThrough()
{
    if (g_walkThrough == 0) {
        ConvertOffsetOrbitToWalk();
        g_walkThrough = 1;
    } else {
        ConvertOffsetWalkToOrbit();
        g_walkThrough = 0;
    }
}

bool IsWireframeChecked() { return g_shaded == 0; }

bool IsParallelChecked() { return g_perspective == 0; }

bool IsWalkThroughChecked() { return g_walkThrough == 1; }
