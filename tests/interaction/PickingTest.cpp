// The hit test on first corners and the ground point under the cursor in every camera mode.
#include "interaction/InteractionSupport.h"
#include "interaction/MoveState.h"
#include "interaction/Picking.h"
#include "model/Globals.h"
#include "view/Camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Where g_moveTo lands on the screen of the last frame, in client coordinates.
void ProjectMoveTarget(double client[2])
{
    double window[3];
    ASSERT_TRUE(ProjectPoint(g_moveTo[0], g_moveTo[1], g_moveTo[2], g_modelview, g_projection, g_viewport,
                             window));
    client[0] = window[0];
    client[1] = g_viewport[3] - window[1];
}

}  // namespace

TEST(Picking, StrictThreePixelTest)
{
    SetPixelFrame();
    struct SCase {
        float cornerX, cornerY;  // window coordinates of the corner
        int clickX, clickWindowY;
        bool hit;
    };
    const SCase cases[] = {
        {100.1f, 100, 103, 100, true},   // 2.9 in x
        {100, 100, 103, 100, false},     // exactly 3 in x
        {100, 100, 97, 100, false},      // exactly 3 the other way
        {100, 100.1f, 100, 103, true},   // 2.9 in y
        {100, 100, 100, 103, false},     // exactly 3 in y
        {100, 100, 100, 97, false},
        {100, 100, 102, 98, true},       // 2 in both
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cornerX << "," << c.cornerY << " " << c.clickX << ","
                                        << c.clickWindowY);
        CMyvorla_ltDoc doc;
        AddFace(doc, "", c.cornerX, c.cornerY, 0);
        EXPECT_EQ(HitTest(doc.m_shapeList, c.clickX, kPixelFrameSize - c.clickWindowY), c.hit ? 0 : -1);
    }
}

TEST(Picking, OnlyTheFirstCornerCountsAndTheFirstFaceWins)
{
    SetPixelFrame();
    CMyvorla_ltDoc doc;
    AddFace(doc, "", 10, 10, 0);    // other corners at x = 20, 30, 40
    AddFace(doc, "", 51, 50, 0);
    AddFace(doc, "", 50, 51, 0);
    EXPECT_EQ(HitTest(doc.m_shapeList, 20, kPixelFrameSize - 10), -1);
    EXPECT_EQ(HitTest(doc.m_shapeList, 50, kPixelFrameSize - 50), 1);
    EXPECT_EQ(HitTest(doc.m_shapeList, 52, kPixelFrameSize - 52), 1);
}

TEST(Picking, HitsACornerWhereTheDefaultCameraShowsIt)
{
    RecordFrame(kWidth, kHeight);
    CMyvorla_ltDoc doc;
    AddFace(doc, "", 7000, 0, -12000);
    double window[3];
    ASSERT_TRUE(ProjectPoint(7000, 0, -12000, g_modelview, g_projection, g_viewport, window));
    const int x = int(std::lround(window[0]));
    const int y = kHeight - int(std::lround(window[1]));
    EXPECT_EQ(HitTest(doc.m_shapeList, x, y), 0);
    EXPECT_EQ(HitTest(doc.m_shapeList, x + 4, y), -1);
    EXPECT_EQ(HitTest(doc.m_shapeList, x, kHeight - y), -1) << "client y runs downward";
}

TEST(Picking, DefaultCameraMiddleClickFindsTheOrigin)
{
    RecordFrame(kWidth, kHeight);
    ASSERT_TRUE(PickGroundPoint(kWidth / 2, kHeight / 2, false));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(g_moveTo[i], 0.0, 1.0) << i;
        EXPECT_EQ(g_moveFrom[i], g_moveTo[i]);
    }
}

TEST(Picking, KeepStartLeavesTheStartPoint)
{
    RecordFrame(kWidth, kHeight);
    PickGroundPoint(100, 500, false);
    const double from[3] = {g_moveFrom[0], g_moveFrom[1], g_moveFrom[2]};
    ASSERT_TRUE(PickGroundPoint(700, 400, true));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(g_moveFrom[i], from[i]);
    EXPECT_NE(g_moveTo[0], from[0]);
}

TEST(Picking, GroundPointIsUnderTheCursorInEveryMode)
{
    struct SCase {
        const char* name;
        int walkThrough;
        int perspective;
        double tolerance;  // pixels; the orbit formula uses the program's degree constant
    };
    const SCase cases[] = {{"orbit perspective", 0, 1, 0.05},
                           {"walk-through perspective", 1, 1, 1e-3},
                           {"orbit parallel", 0, 0, 1e-3},
                           {"walk-through parallel", 1, 0, 1e-3}};
    const int clicks[][2] = {{123, 456}, {700, 350}, {400, 590}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetGlobals();
        g_camOffset[0] = 3000.0f;
        g_yaw = 120.0;
        g_pitch = 30.0;
        if (c.walkThrough) ToggleWalkThrough();
        g_perspective = c.perspective;
        RecordFrame(kWidth, kHeight);
        for (const auto& click : clicks) {
            ASSERT_TRUE(PickGroundPoint(click[0], click[1], false));
            EXPECT_NEAR(g_moveTo[1], 0.0, 1e-6);
            double client[2];
            ProjectMoveTarget(client);
            EXPECT_NEAR(client[0], click[0], c.tolerance);
            EXPECT_NEAR(client[1], click[1], c.tolerance);
        }
    }
}

TEST(Picking, OrbitPerspectiveKeepsTheEyeFormulaEvenBehindTheEye)
{
    // An eye above the ground looking up: the ray meets the ground behind the eye, and that
    // point is taken.
    g_pitch = -20.0;
    g_camOffset[1] = -5000.0f;
    g_camOffset[2] = -1000.0f;
    RecordFrame(kWidth, kHeight);
    double eye[3];
    GetOrbitEyePoint(eye);
    ASSERT_GT(eye[1], 0.0);
    ASSERT_TRUE(PickGroundPoint(kWidth / 2, kHeight / 2, false));
    double look[3];
    GetLookDirection(look);
    const double along = (g_moveTo[0] - eye[0]) * look[0] + (g_moveTo[2] - eye[2]) * look[2] +
                         (g_moveTo[1] - eye[1]) * look[1];
    EXPECT_LT(along, 0.0);
}

TEST(Picking, RayParallelToTheGroundChangesNothing)
{
    for (int walk : {0, 1}) {
        ResetGlobals();
        g_pitch = 0.0;
        if (walk) ToggleWalkThrough();
        RecordFrame(kWidth, kHeight);
        g_moveTo[0] = 5.0;
        EXPECT_FALSE(PickGroundPoint(kWidth / 2, kHeight / 2, false)) << walk;
        EXPECT_EQ(g_moveTo[0], 5.0);
    }
}

TEST(Picking, NoFrameYetChangesNothing)
{
    for (int perspective : {0, 1}) {
        g_perspective = perspective;
        EXPECT_FALSE(PickGroundPoint(10, 10, false));
        EXPECT_EQ(g_moveTo[0], 0.0);
        EXPECT_FALSE(std::isnan(g_moveFrom[1]));
    }
}
