// The POV-Ray camera from the view's camera. The orbit camera in perspective keeps the
// formulas its scenes have always had; the other modes take the axes of the view's own camera
// transform, so the picture shows exactly what the view shows.
#include "export/PovCamera.h"

#include "model/Constants.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <cmath>

namespace {

// Radians to degrees, doubled: the horizontal angle is twice the half-angle's arctangent.
constexpr double kRadToDoubleDeg = 114.59155733332332;

CPovCamera OrbitPerspectiveCamera()
{
    const double ox = g_camOffset[0], oy = g_camOffset[1], oz = g_camOffset[2];
    const double a = g_pitch * -0.01745329277777778;
    const double cp = std::cos(a), sp = std::sin(a);
    const double m = oz * cp + oy * sp;
    const double Y = oy * cp - oz * sp;
    const double b = g_yaw * kDegToRad;
    const double cy = std::cos(b), sy = std::sin(b);
    const double X = ox * cy - m * sy;
    const double Z = ox * sy + m * cy;

    CPovCamera camera;
    camera.eye[0] = -X;
    camera.eye[1] = -Y;
    camera.eye[2] = Z;
    camera.lookAt[0] = sy * cp - X;
    camera.lookAt[1] = sp - Y;
    camera.lookAt[2] = Z + cy * cp;
    camera.angle = std::atan2(std::tan(g_drawFovy * kHalfDegToRad) * g_aspect, 1) * kRadToDoubleDeg;
    return camera;
}

// The camera transform the view applies for the current camera values. Building it in
// walk-through mode also refreshes g_walkDir, which a writer must not change, so it is put back.
void ViewModelview(double modelview[16])
{
    float walkDir[3] = {g_walkDir[0], g_walkDir[1], g_walkDir[2]};
    ComputeCameraModelview(modelview);
    for (int i = 0; i < 3; ++i) g_walkDir[i] = walkDir[i];
}

// Half-width and half-height of the parallel view in model units, negative when the view is
// mirrored in both axes (the origin behind the camera). From the last frame's projection when
// that frame was parallel (what the user sees), else as the next frame will have it:
// d = g_orthoScale × element 14 of the camera transform, e = d × aspect, glOrtho(e, -e, d, -d).
void ParallelExtent(const double modelview[16], double& halfWidth, double& halfHeight)
{
    const double* p = g_projection;
    const bool lastFrameParallel = p[15] == 1.0 && p[3] == 0.0 && p[7] == 0.0 && p[11] == 0.0 && p[0] != 0.0 &&
                                   p[5] != 0.0 && std::isfinite(p[0]) && std::isfinite(p[5]);
    if (lastFrameParallel) {
        // p[0] = 2 / (right - left) = -1 / e, p[5] = -1 / d.
        halfWidth = 1.0 / p[0];
        halfHeight = 1.0 / p[5];
        return;
    }
    const double d = g_orthoScale * modelview[14];
    halfWidth = -d * g_aspect;
    halfHeight = -d;
}

// A vector of the display frame in POV-Ray coordinates, scaled.
void ToPov(const double (&v)[3], double scale, double out[3])
{
    out[0] = v[0] * scale;
    out[1] = v[1] * scale;
    out[2] = -v[2] * scale;
}

CPovCamera VectorCamera()
{
    double m[16];
    ViewModelview(m);
    // The rows of the rotation part are the eye's right, up and backward axes in the world;
    // the eye point is -R^T t.
    const double right[3] = {m[0], m[4], m[8]};
    const double up[3] = {m[1], m[5], m[9]};
    const double forward[3] = {-m[2], -m[6], -m[10]};
    double eye[3];
    for (int i = 0; i < 3; ++i) eye[i] = -(m[4 * i] * m[12] + m[4 * i + 1] * m[13] + m[4 * i + 2] * m[14]);

    CPovCamera camera;
    camera.form = PovCameraForm::Vectors;
    ToPov(eye, 1.0, camera.eye);
    if (g_perspective == 1) {
        ToPov(forward, 0.5 / std::tan(g_drawFovy * kHalfDegToRad), camera.direction);
        ToPov(right, g_aspect, camera.right);
        ToPov(up, 1.0, camera.up);
        return camera;
    }
    camera.orthographic = true;
    double halfWidth = 0, halfHeight = 0;
    ParallelExtent(m, halfWidth, halfHeight);
    ToPov(forward, 1.0, camera.direction);
    ToPov(right, 2.0 * halfWidth, camera.right);
    ToPov(up, 2.0 * halfHeight, camera.up);
    return camera;
}

// Looking straight down (the plan from above) or straight up, the look_at form says nothing
// of how the picture is turned: the viewing direction lies along POV-Ray's up vector, and the
// trace of the yaw in its horizontal part is far below the six decimals the text keeps.
bool LooksStraightUpOrDown()
{
    return std::abs(std::cos(g_pitch * -0.01745329277777778)) < 1e-6;
}

}  // namespace

CPovCamera ComputePovCamera()
{
    if (g_walkThrough == 0 && g_perspective == 1 && !LooksStraightUpOrDown()) return OrbitPerspectiveCamera();
    return VectorCamera();
}
