// Mouse, wheel and key handling of the view: steps, wrap and clamp, tool arming, key table.
#include "interaction/MoveState.h"
#include "interaction/NavigationTools.h"
#include "model/Globals.h"
#include "view/Camera.h"
#include "view/CameraState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

class NavigationTools : public testing::Test {
protected:
    CNavigationTools m_tools;
    CMyvorla_ltDoc m_doc;

    // A drag with the given button (0 left, 1 middle, 2 right) from one point to another.
    void Drag(int button, int x0, int y0, int x1, int y1)
    {
        Press(button, x0, y0);
        m_tools.OnMouseMove(x1, y1);
        Release(button, x1, y1);
    }
    SViewActions Press(int button, int x, int y)
    {
        if (button == 0) return m_tools.OnLButtonDown(m_doc, x, y);
        return button == 1 ? m_tools.OnMButtonDown(x, y) : m_tools.OnRButtonDown(x, y);
    }
    SViewActions Release(int button, int x, int y)
    {
        if (button == 0) return m_tools.OnLButtonUp(x, y);
        return button == 1 ? m_tools.OnMButtonUp(x, y) : m_tools.OnRButtonUp(x, y);
    }
};

}  // namespace

TEST_F(NavigationTools, MiddleDragPans)
{
    const SViewActions down = m_tools.OnMButtonDown(100, 100);
    EXPECT_TRUE(down.captureMouse);
    EXPECT_TRUE(down.setCursor);
    EXPECT_EQ(down.cursor, ECursor::kSizeAll);
    const SViewActions moved = m_tools.OnMouseMove(110, 95);
    EXPECT_TRUE(moved.repaint);
    EXPECT_EQ(g_camOffset[0], 600.0f);
    EXPECT_EQ(g_camOffset[1], 300.0f) << "up on the screen raises the offset";
    EXPECT_EQ(g_camOffset[2], -100000.0f);
    const SViewActions up = m_tools.OnMButtonUp(110, 95);
    EXPECT_TRUE(up.releaseCapture);
    EXPECT_EQ(up.cursor, ECursor::kArrow);
    EXPECT_EQ(m_tools.m_bMoveDrag, 0);
    EXPECT_FALSE(m_tools.OnMouseMove(0, 0).repaint);
}

TEST_F(NavigationTools, WalkThroughPanGoesSidewaysAlongTheHeading)
{
    g_walkThrough = 1;
    g_yaw = 90.0;  // heading +X; sideways is +Z
    Drag(1, 100, 100, 110, 100);
    EXPECT_NEAR(g_camOffset[0], 0.0f, 1e-3);
    EXPECT_NEAR(g_camOffset[2], -100000.0f + 600.0f, 1e-3);
}

TEST_F(NavigationTools, RotateWrapsTheYawBothWays)
{
    g_yaw = 359.95;
    m_tools.OnRButtonDown(100, 100);
    m_tools.OnMouseMove(101, 100);  // one pixel to the right
    EXPECT_NEAR(g_yaw, 0.05, 1e-9);
    m_tools.OnMouseMove(100, 100);
    EXPECT_NEAR(g_yaw, 359.95, 1e-9);
    EXPECT_EQ(g_pitch, 45.0);
}

TEST_F(NavigationTools, PitchIsClampedExactlyAndReversedInWalkThrough)
{
    struct SCase {
        int walk;
        int dy;  // pixels dragged downward
        double pitch;
    };
    const SCase cases[] = {
        {0, 10, 46.0}, {0, 5000, 90.0}, {0, -5000, -90.0}, {1, 10, 44.0}, {1, 5000, -90.0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.dy);
        g_walkThrough = c.walk;
        g_pitch = 45.0;
        Drag(2, 0, 0, 0, c.dy);
        if (c.pitch == 90.0 || c.pitch == -90.0)
            EXPECT_EQ(g_pitch, c.pitch);
        else
            EXPECT_NEAR(g_pitch, c.pitch, 1e-9);
    }
}

TEST_F(NavigationTools, BothButtonsHeldPanOnly)
{
    m_tools.OnMButtonDown(50, 50);
    m_tools.OnRButtonDown(50, 50);
    m_tools.OnMouseMove(60, 70);
    EXPECT_EQ(g_camOffset[0], 600.0f);
    EXPECT_EQ(g_camOffset[1], -1200.0f);
    EXPECT_EQ(g_yaw, 35.0);
    EXPECT_EQ(g_pitch, 45.0);
}

TEST_F(NavigationTools, WheelNotchMovesTowardTheModel)
{
    EXPECT_TRUE(m_tools.OnMouseWheel(120).repaint);
    EXPECT_EQ(g_camOffset[2], -96400.0f);
    m_tools.OnMouseWheel(-240);
    EXPECT_EQ(g_camOffset[2], -103600.0f);

    // Walk-through: the eye moves 3600 along the look direction of the last frame.
    ResetGlobals();
    ToggleWalkThrough();
    RecordFrame(100, 100);
    float before[3];
    std::copy(g_camOffset, g_camOffset + 3, before);
    m_tools.OnMouseWheel(120);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(-g_camOffset[i] - -before[i], 3600 * g_walkDir[i], 0.01) << i;
}

TEST_F(NavigationTools, ZoomToolDragMovesInDepth)
{
    m_tools.OnToolZoom();
    Drag(0, 10, 100, 10, 90);  // ten pixels up
    EXPECT_EQ(g_camOffset[2], -99000.0f);
    EXPECT_EQ(m_tools.m_bZoomTool, 0);
    EXPECT_EQ(m_tools.m_bLeftTracking, 0);
}

TEST_F(NavigationTools, DigitKeysSetFixedViews)
{
    struct SCase {
        EViewKey key;
        double pitch;
        double yaw;
    };
    const SCase cases[] = {{EViewKey::k0, 90, 0},
                           {EViewKey::k1, 0, 0},
                           {EViewKey::k2, 0, 270},
                           {EViewKey::k3, 0, 180},
                           {EViewKey::k4, 0, 90}};
    for (const SCase& c : cases) {
        g_camOffset[0] = 12.0f;
        g_camOffset[1] = 34.0f;
        g_camOffset[2] = -56.0f;
        EXPECT_TRUE(m_tools.OnKeyDown(m_doc, c.key).repaint);
        EXPECT_EQ(g_pitch, c.pitch);
        EXPECT_EQ(g_yaw, c.yaw);
        EXPECT_EQ(g_camOffset[0], 12.0f);
        EXPECT_EQ(g_camOffset[1], 0.0f);
        EXPECT_EQ(g_camOffset[2], -56.0f);
    }
}

TEST_F(NavigationTools, KeyOneInWalkThroughLooksLevelAlongMinusZAtHeightZero)
{
    g_walkThrough = 1;
    g_camOffset[1] = -5000.0f;
    m_tools.OnKeyDown(m_doc, EViewKey::k1);
    RecordFrame(100, 100);
    EXPECT_EQ(g_walkDir[0], 0.0f);
    EXPECT_EQ(g_walkDir[1], 0.0f);
    EXPECT_EQ(g_walkDir[2], -1.0f);
    EXPECT_EQ(-g_camOffset[1], 0.0f) << "eye height";
}

TEST_F(NavigationTools, LetterKeysToggleAndOtherKeysDoNothing)
{
    m_tools.OnKeyDown(m_doc, EViewKey::kF);
    m_tools.OnKeyDown(m_doc, EViewKey::kG);
    EXPECT_EQ(g_flatNormals, 0);
    EXPECT_EQ(g_showGrid, 0);
    m_tools.OnKeyDown(m_doc, EViewKey::kG);
    EXPECT_EQ(g_showGrid, 1);
    m_tools.OnKeyDown(m_doc, EViewKey::kU);
    m_tools.OnKeyDown(m_doc, EViewKey::kU);
    m_tools.OnKeyDown(m_doc, EViewKey::kD);
    EXPECT_EQ(g_moveTo[1], 1000.0);
    const SViewActions other = m_tools.OnKeyDown(m_doc, EViewKey::kOther);
    EXPECT_FALSE(other.repaint);
}

TEST_F(NavigationTools, EnterClearsTheSelection)
{
    m_doc.AddShape();
    m_doc.m_shapeList[0].m_selected = 1;
    const SViewActions actions = m_tools.OnKeyDown(m_doc, EViewKey::kEnter);
    EXPECT_EQ(m_doc.m_shapeList[0].m_selected, 0);
    EXPECT_TRUE(actions.selectionChanged);
    EXPECT_TRUE(actions.repaint);
}

TEST_F(NavigationTools, AClickWithoutMovementDisarmsTheTool)
{
    struct SCase {
        SViewActions (CNavigationTools::*command)();
        ECursor cursor;
    };
    const SCase cases[] = {{&CNavigationTools::OnToolMove, ECursor::kSizeAll},
                           {&CNavigationTools::OnToolRotate, ECursor::kSizeNESW},
                           {&CNavigationTools::OnToolZoom, ECursor::kSizeNS}};
    for (const SCase& c : cases) {
        const SViewActions armed = (m_tools.*c.command)();
        EXPECT_TRUE(armed.captureMouse);
        EXPECT_EQ(armed.cursor, c.cursor);
        EXPECT_TRUE(m_tools.IsToolArmed());
        EXPECT_FALSE(m_tools.OnLButtonDown(m_doc, 5, 5).repaint);
        const SViewActions up = m_tools.OnLButtonUp(5, 5);
        EXPECT_TRUE(up.releaseCapture);
        EXPECT_EQ(up.cursor, ECursor::kArrow);
        EXPECT_FALSE(m_tools.IsToolArmed());
        EXPECT_EQ(m_tools.m_bMoveDrag + m_tools.m_bRotateDrag + m_tools.m_bLeftTracking, 0);
    }
    EXPECT_EQ(g_camOffset[2], -100000.0f);
    EXPECT_EQ(g_yaw, 35.0);
    EXPECT_EQ(g_movingSelection, 0) << "the tool's click is no pick";
}

TEST_F(NavigationTools, MiddleAndRightAreIgnoredWhileAToolIsArmed)
{
    m_tools.OnToolRotate();
    for (int button : {1, 2}) {
        const SViewActions down = Press(button, 0, 0);
        EXPECT_FALSE(down.captureMouse || down.setCursor);
        m_tools.OnMouseMove(10, 10);
        EXPECT_FALSE(Release(button, 10, 10).releaseCapture);
    }
    EXPECT_EQ(g_camOffset[0], 0.0f);
    EXPECT_EQ(g_yaw, 35.0);

    // A middle drag already running when a tool is armed is not ended by its release.
    m_tools.Reset();
    m_tools.OnMButtonDown(0, 0);
    m_tools.OnToolZoom();
    m_tools.OnMButtonUp(0, 0);
    EXPECT_EQ(m_tools.m_bMoveDrag, 1);
}

TEST_F(NavigationTools, SeveralArmedToolsShareOneDragAndAllDisarm)
{
    m_tools.OnToolMove();
    const SViewActions second = m_tools.OnToolRotate();
    EXPECT_EQ(second.cursor, ECursor::kSizeNESW);
    Drag(0, 100, 100, 120, 100);
    EXPECT_EQ(g_camOffset[0], 1200.0f) << "the pan step runs first";
    EXPECT_EQ(g_yaw, 35.0) << "and leaves no difference for the rotate step";
    EXPECT_FALSE(m_tools.IsToolArmed());
    EXPECT_EQ(m_tools.m_cursor, ECursor::kArrow);
}

TEST_F(NavigationTools, ZoomDragEndsThePendingMovesTrackingSoTheNextClickStartsANewMove)
{
    g_viewport[2] = g_viewport[3] = 100;
    g_modelview[0] = g_modelview[5] = g_modelview[10] = g_modelview[15] = 1;
    m_tools.OnLButtonDown(m_doc, 50, 80);  // empty view: first click of a move
    ASSERT_EQ(m_tools.m_bLeftTracking, 1);
    m_tools.OnToolZoom();
    Drag(0, 50, 50, 50, 40);
    EXPECT_EQ(m_tools.m_bLeftTracking, 0);
    EXPECT_EQ(g_movingSelection, 1);
    m_tools.OnLButtonDown(m_doc, 50, 80);
    EXPECT_EQ(m_tools.m_bLeftTracking, 1) << "a new move started instead of the old one ending";
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(NavigationTools, ReplacingTheModelEndsAPendingMoveSoTheNextClickStartsANewOne)
{
    g_viewport[2] = g_viewport[3] = 100;
    g_modelview[0] = g_modelview[5] = g_modelview[10] = g_modelview[15] = 1;
    m_tools.OnLButtonDown(m_doc, 50, 80);  // empty view: first click of a move
    ASSERT_EQ(m_tools.m_bLeftTracking, 1);
    EXPECT_TRUE(m_tools.OnModelReplaced().repaint) << "the move marker goes";
    EXPECT_EQ(m_tools.m_bLeftTracking, 0);
    EXPECT_EQ(g_movingSelection, 0);
    m_tools.OnLButtonDown(m_doc, 50, 80);
    EXPECT_EQ(m_tools.m_bLeftTracking, 1) << "a new move started instead of the old one ending";
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(NavigationTools, AnArmedZoomToolDoesNotZoomWhileAPendingMoveFollowsTheCursor)
{
    g_viewport[2] = g_viewport[3] = 100;
    g_modelview[0] = g_modelview[5] = g_modelview[10] = g_modelview[15] = 1;
    m_tools.OnLButtonDown(m_doc, 50, 80);  // empty view: first click of a move
    ASSERT_EQ(m_tools.m_bLeftTracking, 1);
    m_tools.OnToolZoom();
    m_tools.OnMouseMove(50, 60);
    m_tools.OnMouseMove(50, 20);
    EXPECT_EQ(g_camOffset[2], -100000.0f) << "no button is down: no zoom";
    Drag(0, 50, 50, 50, 40);
    EXPECT_EQ(g_camOffset[2], -99000.0f) << "the drag itself zooms";
}

// The view draws a big model reduced only while the camera moves: every input that changes the
// camera says so, and nothing else does, or the picture would thin out on a click or a G.
TEST_F(NavigationTools, OnlyCameraChangesCountAsNavigation)
{
    struct SCase {
        const char* input;
        std::function<SViewActions()> act;
        bool moved;
    };
    const SCase cases[] = {
        {"middle drag", [this] { Press(1, 10, 10); return m_tools.OnMouseMove(14, 10); }, true},
        {"right drag", [this] { Press(2, 10, 10); return m_tools.OnMouseMove(10, 14); }, true},
        {"zoom tool drag",
         [this] {
             m_tools.OnToolZoom();
             Press(0, 10, 10);
             return m_tools.OnMouseMove(10, 14);
         },
         true},
        {"wheel", [this] { return m_tools.OnMouseWheel(-120); }, true},
        {"key 0", [this] { return m_tools.OnKeyDown(m_doc, EViewKey::k0); }, true},
        {"key G", [this] { return m_tools.OnKeyDown(m_doc, EViewKey::kG); }, false},
        {"move without a button", [this] { return m_tools.OnMouseMove(30, 30); }, false},
        {"click on nothing", [this] { return Press(0, 50, 80); }, false},
        {"pending move follows the cursor",
         [this] {
             Press(0, 50, 80);
             return m_tools.OnMouseMove(50, 60);
         },
         false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.input);
        ResetGlobals();
        g_viewport[2] = g_viewport[3] = 100;
        g_modelview[0] = g_modelview[5] = g_modelview[10] = g_modelview[15] = 1;
        m_tools.Reset();
        EXPECT_EQ(c.act().cameraMoved, c.moved);
    }
}
