// Camera matrices of a frame: the orbit and walk-through transforms, both projections, the
// walk-through conversion and the display toggles.
#include "model/Globals.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Eye-space coordinates of a world point under the camera transform.
void ToEye(const double modelview[16], const double world[3], double eye[3])
{
    for (int r = 0; r < 3; ++r)
        eye[r] = modelview[r] * world[0] + modelview[4 + r] * world[1] + modelview[8 + r] * world[2] +
                 modelview[12 + r];
}

struct SCameraCase {
    float offset[3];
    double pitch;
    double yaw;
};

const SCameraCase kCameras[] = {
    {{0, 0, -100000}, 45.0, 35.0},          // the default camera
    {{1500, -2500, -40000}, -30.0, 200.0},  // looking up, turned past half a turn
    {{-800, 300, -250000}, 89.9, 359.95},   // almost straight down
    {{0, 0, -5000}, 0.0, 90.0},             // level
    {{2000, -1000, -60000}, 90.0, 35.0},    // straight down (key 0, then turned)
    {{0, 0, -60000}, -90.0, 120.0},         // straight up
};

void SetCamera(const SCameraCase& c)
{
    for (int i = 0; i < 3; ++i) g_camOffset[i] = c.offset[i];
    g_pitch = c.pitch;
    g_yaw = c.yaw;
}

}  // namespace

TEST(Camera, DefaultOrbitCameraSitsAboveAndLooksAtTheOrigin)
{
    double eye[3], look[3];
    GetOrbitEyePoint(eye);
    EXPECT_NEAR(eye[0], -40558, 1);
    EXPECT_NEAR(eye[1], 70711, 1);
    EXPECT_NEAR(eye[2], 57923, 1);
    EXPECT_NEAR(std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]), 100000, 0.01);
    GetLookDirection(look);
    EXPECT_NEAR(look[0], 0.406, 0.001);
    EXPECT_NEAR(look[1], -0.707, 0.001);
    EXPECT_NEAR(look[2], -0.579, 0.001);

    // The modelview takes the eye point to the eye-space origin and the origin straight ahead.
    double modelview[16], inEye[3];
    ComputeCameraModelview(modelview);
    ToEye(modelview, eye, inEye);
    for (double v : inEye) EXPECT_NEAR(v, 0.0, 0.05);
    const double origin[3] = {0, 0, 0};
    ToEye(modelview, origin, inEye);
    EXPECT_NEAR(inEye[0], 0.0, 1e-6);
    EXPECT_NEAR(inEye[1], 0.0, 1e-6);
    EXPECT_EQ(inEye[2], -100000.0);
    EXPECT_EQ(modelview[14], -100000.0);
}

TEST(Camera, OrbitAndWalkThroughGiveTheSamePictureAfterTheConversion)
{
    for (const SCameraCase& c : kCameras) {
        SCOPED_TRACE(c.yaw);
        ResetGlobals();
        SetCamera(c);
        double orbit[16], walk[16], eye[3];
        ComputeCameraModelview(orbit);
        GetOrbitEyePoint(eye);

        ToggleWalkThrough();
        ASSERT_EQ(g_walkThrough, 1);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(-g_camOffset[i], eye[i], 0.02) << "offset is minus the eye";
        ComputeCameraModelview(walk);
        for (int i = 0; i < 16; ++i) {
            const double tolerance = (i >= 12) ? 0.1 : 1e-5;  // translation in model units
            EXPECT_NEAR(walk[i], orbit[i], tolerance) << "element " << i;
        }
        double direction[3];
        GetLookDirection(direction);
        for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(g_walkDir[i], float(direction[i]));
    }
}

TEST(Camera, WalkThroughToggleRoundTripRestoresTheOffset)
{
    for (const SCameraCase& c : kCameras) {
        SCOPED_TRACE(c.yaw);
        ResetGlobals();
        SetCamera(c);
        ToggleWalkThrough();
        EXPECT_TRUE(IsWalkThroughChecked());
        ToggleWalkThrough();
        EXPECT_FALSE(IsWalkThroughChecked());
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(g_camOffset[i], c.offset[i], 0.05) << i;
        EXPECT_EQ(g_pitch, c.pitch);
        EXPECT_EQ(g_yaw, c.yaw);
    }
}

TEST(Camera, WalkThroughStraightDownStillHasAView)
{
    // Key 0 in walk-through: the look direction is vertical up to the degree constant, which is
    // just enough for the look-at matrix to keep a heading.
    g_walkThrough = 1;
    g_pitch = 90.0;
    g_yaw = 0.0;
    g_camOffset[1] = -20000;  // eye at (0, 20000, 0)
    g_camOffset[2] = 0;
    double modelview[16];
    ComputeCameraModelview(modelview);
    for (double v : modelview) ASSERT_TRUE(std::isfinite(v));
    const double below[3] = {0, 0, 0};
    double inEye[3];
    ToEye(modelview, below, inEye);
    EXPECT_NEAR(inEye[0], 0, 0.01);
    EXPECT_NEAR(inEye[1], 0, 0.01);
    EXPECT_NEAR(inEye[2], -20000, 0.01);
}

TEST(Camera, PerspectiveMapsTheFrustumOntoTheViewport)
{
    RecordFrame(800, 600);
    EXPECT_EQ(g_winWidth, 800);
    EXPECT_EQ(g_winHeight, 600);
    EXPECT_DOUBLE_EQ(g_aspect, 800.0 / 600.0);
    EXPECT_EQ(g_drawFovy, 30.0);
    const int viewport[4] = {0, 0, 800, 600};
    EXPECT_EQ(std::vector<int>(g_viewport, g_viewport + 4), std::vector<int>(viewport, viewport + 4));

    double identity[16], window[3];
    SetIdentity(identity);
    const double halfHeight = 500 * std::tan(15.0 * std::numbers::pi / 180);
    // Top-right corner of the near plane, and the far plane straight ahead.
    ASSERT_TRUE(ProjectPoint(halfHeight * 800 / 600, halfHeight, -500, identity, g_projection, viewport,
                             window));
    EXPECT_NEAR(window[0], 800, 1e-9);
    EXPECT_NEAR(window[1], 600, 1e-9);
    EXPECT_NEAR(window[2], 0, 1e-9);
    ASSERT_TRUE(ProjectPoint(0, 0, -5000000, identity, g_projection, viewport, window));
    EXPECT_NEAR(window[0], 400, 1e-9);
    EXPECT_NEAR(window[2], 1, 1e-9);
}

TEST(Camera, ParallelExtentFollowsTheCamerasDistance)
{
    struct SCase {
        double m14;
        double topWindowY;  // where eye-space y = +26300 lands; -1 for the identity
    };
    const SCase cases[] = {
        {-100000, 600},  // the default camera: ±26300 vertically, top up
        {100000, 0},     // origin behind the camera: mirrored
        {0, -1},         // empty extent: OpenGL refuses, the identity stays
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.m14);
        g_perspective = 0;
        g_camOffset[2] = float(c.m14);  // orbit: element 14 of the camera transform
        double projection[16], identity[16], window[3];
        ComputeProjection(800, 600, projection);
        SetIdentity(identity);
        if (c.topWindowY < 0) {
            EXPECT_EQ(std::vector<double>(projection, projection + 16),
                      std::vector<double>(identity, identity + 16));
            continue;
        }
        const int viewport[4] = {0, 0, 800, 600};
        ASSERT_TRUE(ProjectPoint(26300.0 * 800 / 600, 26300, -1000, identity, projection, viewport, window));
        EXPECT_NEAR(window[0], c.topWindowY * 800 / 600, 1e-6);
        EXPECT_NEAR(window[1], c.topWindowY, 1e-6);
    }
}

TEST(Camera, ParallelFrameFollowsEachWheelNotchAtOnce)
{
    // Every frame's extent comes from the camera of that frame, not from the frame before it:
    // the first frame has its extent, and a notch closer shows the closer extent in its frame.
    g_perspective = 0;
    RecordFrame(400, 400);
    EXPECT_NEAR(2 / g_projection[5], 2 * 26300, 1e-6);
    for (float z : {-96400.0f, -92800.0f, -96400.0f}) {
        g_camOffset[2] = z;
        RecordFrame(400, 400);
        EXPECT_NEAR(2 / g_projection[5], -2 * 0.263 * z, 1e-6) << z;
    }
    g_walkThrough = 1;  // walk-through: the distance along the look direction
    g_camOffset[0] = g_camOffset[1] = 0;
    g_camOffset[2] = -40000;
    RecordFrame(400, 400);
    EXPECT_NEAR(2 / g_projection[5], -2 * 0.263 * g_modelview[14], 1e-6);
}

TEST(Camera, EmptyClientAreaLeavesTheIdentity)
{
    for (int perspective : {0, 1}) {
        g_perspective = perspective;
        double projection[16];
        ComputeProjection(640, 0, projection);
        EXPECT_EQ(projection[0], 1.0);
        EXPECT_EQ(projection[15], 1.0);
        ComputeProjection(0, 480, projection);
        EXPECT_EQ(projection[5], 1.0);
    }
    RecordFrameSize(640, 0);
    EXPECT_FALSE(std::isfinite(g_aspect));
}

TEST(Camera, DisplayTogglesFlipTheirFlagAndCheckMark)
{
    EXPECT_FALSE(IsWireframeChecked());
    ToggleWireframe();
    EXPECT_EQ(g_shaded, 0);
    EXPECT_TRUE(IsWireframeChecked());
    ToggleWireframe();
    EXPECT_EQ(g_shaded, 1);

    EXPECT_FALSE(IsParallelChecked());
    ToggleParallel();
    EXPECT_EQ(g_perspective, 0);
    EXPECT_TRUE(IsParallelChecked());
    ToggleParallel();
    EXPECT_EQ(g_perspective, 1);
}
