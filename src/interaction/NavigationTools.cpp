// Tool, drag, wheel and key handling of the 3D view. Camera values are in view/CameraState.h;
// single-precision offsets are updated with the arithmetic of their types (an integer step is
// added in float, a step scaled by a cosine in double).
#include "interaction/NavigationTools.h"

#include "interaction/Editing.h"
#include "interaction/MoveState.h"
#include "interaction/Picking.h"
#include "model/Constants.h"
#include "view/CameraState.h"

#include <cmath>

void CNavigationTools::Reset() { *this = CNavigationTools(); }

SViewActions CNavigationTools::ShowToolCursor(ECursor cursor)
{
    m_toolCursor = cursor;
    m_prevCursor = m_cursor;
    m_cursor = cursor;
    SViewActions actions;
    actions.setCursor = true;
    actions.cursor = cursor;
    return actions;
}

SViewActions CNavigationTools::RestoreCursor()
{
    m_cursor = m_prevCursor;
    // Once no tool or drag is left, the view's normal cursor returns (a window system would put
    // it back at the next mouse move); a previous cursor of an earlier tool does not stick.
    if (!IsToolArmed() && m_bMoveDrag == 0 && m_bRotateDrag == 0) m_cursor = ECursor::kArrow;
    SViewActions actions;
    actions.setCursor = true;
    actions.cursor = m_cursor;
    return actions;
}

SViewActions CNavigationTools::ArmTool(int& tool, ECursor cursor)
{
    tool = 1;
    SViewActions actions = ShowToolCursor(cursor);
    actions.captureMouse = true;
    return actions;
}

SViewActions CNavigationTools::OnToolMove() { return ArmTool(m_bMoveTool, ECursor::kSizeAll); }

SViewActions CNavigationTools::OnToolRotate() { return ArmTool(m_bRotateTool, ECursor::kSizeNESW); }

SViewActions CNavigationTools::OnToolZoom() { return ArmTool(m_bZoomTool, ECursor::kSizeNS); }

SViewActions CNavigationTools::OnLButtonDown(CMyvorla_ltDoc& doc, int x, int y)
{
    if (!IsToolArmed()) return ClickWithoutTool(doc, m_bLeftTracking, x, y);
    if (m_bMoveTool != 0) m_bMoveDrag = 1;
    if (m_bRotateTool != 0) m_bRotateDrag = 1;
    if (m_bZoomTool != 0) m_bLeftTracking = m_bZoomDrag = 1;
    m_lastX = x;
    m_lastY = y;
    return {};
}

SViewActions CNavigationTools::OnLButtonUp(int, int)
{
    if (!IsToolArmed()) return {};
    if (m_bMoveTool != 0) m_bMoveDrag = m_bMoveTool = 0;
    if (m_bRotateTool != 0) m_bRotateDrag = m_bRotateTool = 0;
    if (m_bZoomTool != 0) m_bLeftTracking = m_bZoomTool = m_bZoomDrag = 0;
    SViewActions actions = RestoreCursor();
    actions.releaseCapture = true;
    return actions;
}

SViewActions CNavigationTools::OnMButtonDown(int x, int y)
{
    if (IsToolArmed()) return {};
    m_bMoveDrag = 1;
    m_lastX = x;
    m_lastY = y;
    SViewActions actions = ShowToolCursor(ECursor::kSizeAll);
    actions.captureMouse = true;
    return actions;
}

SViewActions CNavigationTools::OnMButtonUp(int, int)
{
    if (IsToolArmed()) return {};
    m_bMoveDrag = 0;
    SViewActions actions = RestoreCursor();
    actions.releaseCapture = true;
    return actions;
}

SViewActions CNavigationTools::OnRButtonDown(int x, int y)
{
    if (IsToolArmed()) return {};
    m_bRotateDrag = 1;
    m_lastX = x;
    m_lastY = y;
    SViewActions actions = ShowToolCursor(ECursor::kSizeNESW);
    actions.captureMouse = true;
    return actions;
}

SViewActions CNavigationTools::OnRButtonUp(int, int)
{
    if (IsToolArmed()) return {};
    m_bRotateDrag = 0;
    SViewActions actions = RestoreCursor();
    actions.releaseCapture = true;
    return actions;
}

SViewActions CNavigationTools::OnMouseMove(int x, int y)
{
    SViewActions actions;
    const bool walk = g_walkThrough != 0;
    float* offset = g_camOffset;

    if (m_bMoveDrag == 1) {
        offset[1] += (m_lastY - y) * kPanStep;
        if (!walk) {
            offset[0] += (x - m_lastX) * kPanStep;
        } else {
            // Sideways in walk-through: along the heading's right-hand direction.
            const double a = g_yaw * kDegToRad;
            offset[0] += (x - m_lastX) * std::cos(a) * kPanStep;
            offset[2] += (x - m_lastX) * std::sin(a) * kPanStep;
        }
        m_lastX = x;
        m_lastY = y;
        actions.repaint = actions.cameraMoved = true;
    }

    if (m_bRotateDrag == 1) {
        g_yaw = g_yaw - (m_lastX - x) * kRotateStep;
        if (g_yaw > 360) g_yaw -= 360;
        if (g_yaw < 0) g_yaw += 360;
        // Reversed in walk-through, where the pitch is how far the gaze points down.
        const double s = walk ? -1.0 : 1.0;
        g_pitch = g_pitch - (m_lastY - y) * s * kRotateStep;
        if (g_pitch > 90)
            g_pitch = 90.0;
        else if (g_pitch < -90)
            g_pitch = -90.0;
        m_lastX = x;
        m_lastY = y;
        actions.repaint = actions.cameraMoved = true;
    }

    if (m_bLeftTracking == 1) {
        // m_bLeftTracking is also set by a pending move: with the Zoom tool armed but its drag
        // not begun, moving the mouse must not zoom.
        if (m_bZoomTool == 1 && m_bZoomDrag == 1) {
            const int d = m_lastY - y;
            if (!walk) {
                offset[2] += d * kZoomStep;
            } else {
                for (int i = 0; i < 3; ++i) offset[i] -= g_walkDir[i] * d * kZoomStep;
            }
            actions.cameraMoved = true;
        }
        if (g_movingSelection == 1) PickGroundPoint(x, y, true);
        m_lastX = x;
        m_lastY = y;
        actions.repaint = true;
    }
    return actions;
}

SViewActions CNavigationTools::OnMouseWheel(int delta)
{
    float* offset = g_camOffset;
    if (g_walkThrough == 0) {
        offset[2] += delta * kWheelStep;
    } else {
        for (int i = 0; i < 3; ++i) offset[i] -= g_walkDir[i] * delta * kWheelStep;
    }
    SViewActions actions;
    actions.repaint = actions.cameraMoved = true;
    return actions;
}

namespace {

// The fixed views of keys 0 to 4: pitch and yaw in degrees.
struct SFixedView {
    double pitch;
    double yaw;
};
constexpr SFixedView kFixedViews[5] = {{90.0, 0.0}, {0.0, 0.0}, {0.0, 270.0}, {0.0, 180.0}, {0.0, 90.0}};

}  // namespace

SViewActions CNavigationTools::OnKeyDown(CMyvorla_ltDoc& doc, EViewKey key)
{
    SViewActions actions;
    switch (key) {
    case EViewKey::kEnter:
        return ClearSelection(doc);
    case EViewKey::k0:
    case EViewKey::k1:
    case EViewKey::k2:
    case EViewKey::k3:
    case EViewKey::k4: {
        const SFixedView& view = kFixedViews[static_cast<int>(key) - static_cast<int>(EViewKey::k0)];
        g_pitch = view.pitch;
        g_yaw = view.yaw;
        g_camOffset[1] = 0;
        actions.repaint = actions.cameraMoved = true;
        return actions;
    }
    case EViewKey::kF:
        g_flatNormals = g_flatNormals == 0 ? 1 : 0;
        actions.repaint = true;
        return actions;
    case EViewKey::kG:
        g_showGrid = g_showGrid == 0 ? 1 : 0;
        actions.repaint = true;
        return actions;
    case EViewKey::kU:
        return RaiseMoveTarget();
    case EViewKey::kD:
        return LowerMoveTarget();
    case EViewKey::kOther:
        break;
    }
    return actions;
}

SViewActions CNavigationTools::OnInsertFinished() { return BeginInsertedMove(m_bLeftTracking); }

SViewActions CNavigationTools::OnModelReplaced() { return EndPendingMove(m_bLeftTracking); }
