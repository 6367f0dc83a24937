// Fit to view in every camera mode: afterwards each shown corner projects inside the view and
// the model reaches the view's edge on one axis; and the in-view test behind the status hint.
#include "model/Globals.h"
#include "model/LayerTable.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/FitView.h"
#include "view/GluMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 800, kHeight = 500;

// The six faces of an axis-aligned box from `lo` to `hi` on `layer`.
void AddBox(CShapeList& shapes, const char* layer, const float lo[3], const float hi[3])
{
    static const int kSides[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                     {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& side : kSides) {
        CShape face;
        face.m_kind = CShape::kFace;
        face.m_layer = layer;
        for (int k = 0; k < 4; ++k) {
            const int c = side[k];
            face.m_vertex[k][0] = (c & 1) ? hi[0] : lo[0];
            face.m_vertex[k][1] = (c & 2) ? hi[1] : lo[1];
            face.m_vertex[k][2] = (c & 4) ? hi[2] : lo[2];
        }
        shapes.push_back(face);
    }
}

struct SModeCase {
    const char* name;
    int walkThrough;
    int perspective;
};

const SModeCase kModes[] = {{"orbit perspective", 0, 1},
                            {"walk-through perspective", 1, 1},
                            {"orbit parallel", 0, 0},
                            {"walk-through parallel", 1, 0}};

struct SSceneCase {
    const char* name;
    float lo[3], hi[3];
    double pitch, yaw;
};

const SSceneCase kScenes[] = {
    {"wide building far off to one side", {300000, 0, -160000}, {340000, 8000, -148000}, 45.0, 35.0},
    {"tall tower, level view", {-2000, 0, -2000}, {2000, 60000, 2000}, 0.0, 90.0},
    {"box seen from below, turned past half a turn", {-1000, -1000, -1000}, {1000, 1000, 1000}, -30.0, 200.0},
    {"slab seen straight down", {-70000, 0, -10000}, {70000, 300, 10000}, 90.0, 0.0},
};

// The largest |x| or |y| of the shown corners in normalised device coordinates of the last
// recorded frame; false when a corner lies outside the view volume.
bool MaxDeviceExtent(const CShapeList& shapes, double& extent)
{
    extent = 0;
    CLayerLookup lookup;
    for (const CShape& shape : shapes) {
        if (!lookup.IsVisible(shape.m_layer)) continue;
        for (const auto& v : shape.m_vertex) {
            double window[3];
            if (!ProjectPoint(v[0], v[1], v[2], g_modelview, g_projection, g_viewport, window)) return false;
            const double x = 2 * window[0] / kWidth - 1, y = 2 * window[1] / kHeight - 1;
            if (std::abs(x) > 1 || std::abs(y) > 1 || window[2] < 0 || window[2] > 1) return false;
            extent = std::max({extent, std::abs(x), std::abs(y)});
        }
    }
    return true;
}

}  // namespace

TEST(FitView, ModelFillsTheViewInEveryModeKeepingTheAngles)
{
    for (const SModeCase& mode : kModes)
        for (const SSceneCase& scene : kScenes) {
            SCOPED_TRACE(std::string(mode.name) + ", " + scene.name);
            ResetGlobals();
            AddLayer("Shown");
            AddLayer("Hidden");
            g_layerAttr[FindLayer("Hidden")][kVisible] = 0.0;
            CShapeList shapes;
            AddBox(shapes, "Shown", scene.lo, scene.hi);
            // A hidden box far away must not count.
            const float farLo[3] = {-900000, 0, 900000}, farHi[3] = {-800000, 1000, 910000};
            AddBox(shapes, "Hidden", farLo, farHi);
            g_pitch = scene.pitch;
            g_yaw = scene.yaw;
            if (mode.walkThrough) ToggleWalkThrough();
            g_perspective = mode.perspective;

            ASSERT_TRUE(FitCameraToShapes(shapes, kWidth, kHeight));
            EXPECT_EQ(g_pitch, scene.pitch);
            EXPECT_EQ(g_yaw, scene.yaw);
            RecordFrame(kWidth, kHeight);
            double extent = 0;
            ASSERT_TRUE(MaxDeviceExtent(shapes, extent)) << "a corner lies outside the view";
            EXPECT_GT(extent, kFitFill - 0.01) << "the model does not reach the edge";
            EXPECT_LE(extent, kFitFill + 0.001);
            EXPECT_TRUE(AnyShownFaceInView(shapes, kWidth, kHeight));
        }
}

TEST(FitView, NothingShownOrNoViewLeavesTheCamera)
{
    CShapeList shapes;
    EXPECT_FALSE(FitCameraToShapes(shapes, kWidth, kHeight));
    AddLayer("Hidden");
    g_layerAttr[0][kVisible] = 0.0;
    const float lo[3] = {0, 0, 0}, hi[3] = {1000, 1000, 1000};
    AddBox(shapes, "Hidden", lo, hi);
    EXPECT_FALSE(FitCameraToShapes(shapes, kWidth, kHeight));
    g_layerAttr[0][kVisible] = 1.0;
    EXPECT_FALSE(FitCameraToShapes(shapes, kWidth, 0));
    EXPECT_EQ(g_camOffset[0], 0.0f);
    EXPECT_EQ(g_camOffset[2], kDefaultCamOffsetZ);
}

TEST(FitView, InViewTestSeesFacesOnlyInsideTheViewVolume)
{
    struct SCase {
        const char* name;
        float lo[3], hi[3];
        bool seen;
    };
    // The default camera looks at the origin from 100000 units away, 45 degrees down.
    const SCase cases[] = {
        {"at the origin", {-1000, 0, -1000}, {1000, 1000, 1000}, true},
        {"far off to one side", {2000000, 0, 0}, {2001000, 1000, 1000}, false},
        {"behind the eye", {-60000, 90000, 80000}, {-30000, 100000, 100000}, false},
        {"beyond the far plane", {-1000, -8000000, -1000}, {1000, -7990000, 1000}, false},
        // A ground slab far wider than the view: every corner is outside, yet it fills the view.
        {"wider than the view on every side", {-9000000, 0, -9000000}, {9000000, 10, 9000000}, true},
    };
    AddLayer("0");
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int perspective : {1, 0}) {
            g_perspective = perspective;
            CShapeList shapes;
            AddBox(shapes, "0", c.lo, c.hi);
            EXPECT_EQ(AnyShownFaceInView(shapes, kWidth, kHeight), c.seen) << perspective;
            double lo[3], hi[3];
            ASSERT_TRUE(GetShownBounds(shapes, lo, hi));
            EXPECT_EQ(IsBoxInView(lo, hi, kWidth, kHeight), c.seen) << perspective;
        }
    }
    g_perspective = 1;
    CShapeList none;
    EXPECT_FALSE(AnyShownFaceInView(none, kWidth, kHeight));
}
