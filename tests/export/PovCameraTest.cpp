// The POV-Ray camera against the view: points projected by the camera as the scene text states
// it, read the way POV-Ray reads a camera, land on the pixels where the view's own frame
// matrices put them, in every camera and projection mode.
#include "export/PovWriter.h"
#include "model/Globals.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace {

constexpr int kWidth = 400, kHeight = 300;

double Dot(const double (&a)[3], const double (&b)[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Normalise(double (&v)[3])
{
    const double length = std::sqrt(Dot(v, v));
    for (double& x : v) x /= length;
}

void Cross(const double (&a)[3], const double (&b)[3], double (&out)[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// A camera block of scene text, interpreted as POV-Ray's parser does: defaults first, the
// keywords applied in their order, look_at turning the camera about the sky vector while
// keeping the vectors' lengths, and angle fixing the direction's length from the right vector.
struct CPovRayCamera {
    bool orthographic = false;
    double location[3] = {0, 0, 0};
    double direction[3] = {0, 0, 1};
    double right[3] = {1.33, 0, 0};
    double up[3] = {0, 1, 0};

    static CPovRayCamera FromScene(const std::string& scene)
    {
        CPovRayCamera camera;
        const auto begin = scene.find("camera {\n");
        const auto end = scene.find("}\n", begin);
        EXPECT_NE(begin, std::string::npos);
        std::istringstream lines(scene.substr(begin + 9, end - begin - 9));
        const double sky[3] = {0, 1, 0};
        double angle = 0;
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string keyword;
            words >> keyword;
            double v[3] = {};
            const auto open = line.find('<');
            if (open != std::string::npos)
                std::sscanf(line.c_str() + open, "<%lf, %lf, %lf>", &v[0], &v[1], &v[2]);
            auto copy = [&](double (&to)[3]) {
                for (int i = 0; i < 3; ++i) to[i] = v[i];
            };
            if (keyword == "orthographic") camera.orthographic = true;
            else if (keyword == "location") copy(camera.location);
            else if (keyword == "direction") copy(camera.direction);
            else if (keyword == "right") copy(camera.right);
            else if (keyword == "up") copy(camera.up);
            else if (keyword == "angle") words >> angle;
            else if (keyword == "look_at") camera.LookAt(v, sky);
            else ADD_FAILURE() << "unexpected camera line " << line;
        }
        if (angle > 0) {
            const double length = 0.5 * std::sqrt(Dot(camera.right, camera.right)) / std::tan(angle * M_PI / 360);
            Normalise(camera.direction);
            for (double& x : camera.direction) x *= length;
        }
        return camera;
    }

    void LookAt(const double (&target)[3], const double (&sky)[3])
    {
        const double directionLength = std::sqrt(Dot(direction, direction));
        const double upLength = std::sqrt(Dot(up, up));
        const double rightLength = std::sqrt(Dot(right, right));
        double handed[3];
        Cross(up, direction, handed);
        const double handedness = Dot(handed, right);
        for (int i = 0; i < 3; ++i) direction[i] = target[i] - location[i];
        Normalise(direction);
        Cross(sky, direction, right);
        Normalise(right);
        Cross(direction, right, up);
        for (int i = 0; i < 3; ++i) {
            direction[i] *= directionLength;
            right[i] *= handedness > 0 ? rightLength : -rightLength;
            up[i] *= upLength;
        }
    }

    // Pixel of a point in POV-Ray coordinates, x from the left and y from the top; false when
    // it is behind the camera. Rays leave through direction + u·right + v·up (perspective) or
    // from location + u·right + v·up along direction (orthographic), u and v from -0.5 to 0.5.
    bool Project(const double (&point)[3], double& x, double& y) const
    {
        double v[3];
        for (int i = 0; i < 3; ++i) v[i] = point[i] - location[i];
        const double depth = Dot(v, direction);
        if (depth <= 0) return false;
        const double scale = orthographic ? 1.0 : Dot(direction, direction) / depth;
        const double u = Dot(v, right) / Dot(right, right) * scale;
        const double w = Dot(v, up) / Dot(up, up) * scale;
        x = (u + 0.5) * kWidth;
        y = (0.5 - w) * kHeight;
        return true;
    }
};

struct SViewCase {
    const char* what;
    float offset[3];
    double pitch, yaw;
    bool walk, parallel;
    double walkAhead;      // after switching to walk-through, step this far forward
    double target[3];      // the points looked at lie around here (display frame)
};

const SViewCase kCases[] = {
    {"orbit, perspective, start-up", {0, 0, -100000}, 45, 35, false, false, 0, {0, 0, 0}},
    {"orbit, perspective, looking up", {1500, -2500, -40000}, -30, 200, false, false, 0, {0, 0, 0}},
    {"walk-through, perspective", {0, 0, -100000}, 45, 35, true, false, 0, {0, 0, 0}},
    {"walk-through, perspective, level", {1500, -2500, -40000}, 0, 90, true, false, 0, {0, 0, 0}},
    {"walk-through, perspective, from above", {-800, 300, -250000}, 90, 10, true, false, 0, {0, 0, 0}},
    {"orbit, parallel", {0, 0, -100000}, 45, 35, false, true, 0, {0, 0, 0}},
    {"orbit, parallel, plan from above", {2000, -1000, -60000}, 90, 0, false, true, 0, {0, 0, 0}},
    {"walk-through, parallel", {1500, -2500, -40000}, 20, 300, true, true, 0, {0, 0, 0}},
    // The origin behind the eye: the parallel view is turned by half a turn, and so is the picture.
    {"walk-through, parallel, past the origin", {0, 0, -30000}, 0, 0, true, true, 50000, {0, 0, -40000}},
    // Straight down or up the look_at form cannot tell how the picture is turned.
    {"orbit, perspective, plan from above", {2000, -1000, -60000}, 90, 0, false, false, 0, {0, 0, 0}},
    {"orbit, perspective, plan from above, turned", {2000, -1000, -60000}, 90, 35, false, false, 0, {0, 0, 0}},
    {"orbit, perspective, from straight below", {0, 0, -60000}, -90, 120, false, false, 0, {0, 0, 0}},
};

// The viewer after start-up, the camera set, the modes switched and a frame drawn.
void SetUpView(const SViewCase& c)
{
    ResetGlobals();
    RecordFrame(kWidth, kHeight);
    for (int i = 0; i < 3; ++i) g_camOffset[i] = c.offset[i];
    g_pitch = c.pitch;
    g_yaw = c.yaw;
    if (c.walk) ToggleWalkThrough();
    if (c.walkAhead != 0) {
        double look[3];
        GetLookDirection(look);
        for (int i = 0; i < 3; ++i) g_camOffset[i] -= float(look[i] * c.walkAhead);
    }
    if (c.parallel) ToggleParallel();
    RecordFrame(kWidth, kHeight);
}

std::string ExportScene()
{
    CStringSink sink;
    EXPECT_TRUE(WritePovScene(sink, {}, PovVariant::Export, nullptr));
    return sink.m_bytes;
}

}  // namespace

TEST(PovCamera, EveryModeShowsPointsWhereTheViewShowsThem)
{
    for (const SViewCase& c : kCases) {
        SCOPED_TRACE(c.what);
        SetUpView(c);
        const std::string scene = ExportScene();
        EXPECT_EQ(scene.find("  orthographic\n") != std::string::npos, c.parallel);
        const CPovRayCamera camera = CPovRayCamera::FromScene(scene);
        int compared = 0;
        for (double dx : {-6000.0, 0.0, 4000.0})
            for (double dy : {0.0, 3000.0})
                for (double dz : {-5000.0, 0.0, 7000.0}) {
                    const double point[3] = {c.target[0] + dx, c.target[1] + dy, c.target[2] + dz};
                    double window[3];
                    ASSERT_TRUE(ProjectPoint(point[0], point[1], point[2], g_modelview, g_projection, g_viewport, window));
                    if (window[2] <= 0 || window[2] >= 1 || window[0] < 0 || window[0] > kWidth || window[1] < 0 ||
                        window[1] > kHeight)
                        continue;  // not in the view's picture
                    double x, y;
                    const double pov[3] = {point[0], point[1], -point[2]};
                    ASSERT_TRUE(camera.Project(pov, x, y)) << "behind the POV-Ray camera";
                    EXPECT_NEAR(x, window[0], 0.05) << point[0] << " " << point[1] << " " << point[2];
                    EXPECT_NEAR(y, kHeight - window[1], 0.05) << point[0] << " " << point[1] << " " << point[2];
                    ++compared;
                }
        EXPECT_GE(compared, 6);
    }
}

TEST(PovCamera, ParallelExtentIsTheLastFramesUntilAFrameIsDrawn)
{
    // A zoom not yet drawn: the picture shows what the view shows, and without a parallel frame
    // what the next frame will show.
    SetUpView(kCases[5]);
    const double before = CPovRayCamera::FromScene(ExportScene()).up[1];
    g_camOffset[2] = -50000;
    EXPECT_EQ(CPovRayCamera::FromScene(ExportScene()).up[1], before);
    std::fill(std::begin(g_projection), std::end(g_projection), 0.0);
    const CPovRayCamera next = CPovRayCamera::FromScene(ExportScene());
    EXPECT_NEAR(std::hypot(next.up[0], next.up[1], next.up[2]), 2 * 0.263 * 50000, 1e-6);
    EXPECT_NEAR(std::hypot(next.right[0], next.right[1], next.right[2]), 2 * 0.263 * 50000 * kWidth / kHeight, 1e-6);
}

TEST(PovCamera, WritingTheSceneLeavesTheWalkDirectionAlone)
{
    SetUpView(kCases[2]);
    g_walkDir[0] = 0.25f;
    ExportScene();
    EXPECT_EQ(g_walkDir[0], 0.25f);
}
