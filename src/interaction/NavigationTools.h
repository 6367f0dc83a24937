// The 3D view's mouse, wheel and key handling as a state machine without a window system: the
// one-shot Move, Rotate and Zoom tools, middle-button pan, right-button rotate, the wheel, the
// view keys, and the left click that picks or moves faces. The view forwards its events here
// and carries out the returned SViewActions. Client coordinates in pixels, y downward.
#pragma once

#include "interaction/ViewActions.h"
#include "model/Document.h"

// Camera steps per pixel of mouse travel, and per unit of wheel delta (120 per notch).
inline constexpr int kPanStep = 60;           // model units
inline constexpr double kRotateStep = 0.1;    // degrees
inline constexpr int kZoomStep = 100;         // model units
inline constexpr int kWheelStep = 30;         // model units

// The keys the view acts on. Letters and digits count regardless of Shift; digits are those of
// the main keyboard and the keypad. A held key repeats: send every auto-repeated press too.
enum class EViewKey { kEnter, k0, k1, k2, k3, k4, kF, kG, kU, kD, kOther };

class CNavigationTools {
public:
    int m_bMoveTool = 0;      // tool armed by its command until the next left button up
    int m_bRotateTool = 0;
    int m_bZoomTool = 0;
    int m_bMoveDrag = 0;      // pan drag: middle button, or left with the Move tool
    int m_bRotateDrag = 0;    // rotate drag: right button, or left with the Rotate tool
    int m_bLeftTracking = 0;  // zoom-tool drag, and also a pending two-click move
    int m_bZoomDrag = 0;      // the left button is down with the Zoom tool: only then does it zoom
    int m_lastX = 0;          // mouse at the start of the drag or at its last step
    int m_lastY = 0;
    ECursor m_toolCursor = ECursor::kArrow;  // shown while a tool is armed or a drag runs
    ECursor m_prevCursor = ECursor::kArrow;  // shown before it, restored when it ends
    ECursor m_cursor = ECursor::kArrow;      // the cursor the view shows now

    // View creation: no tool, no drag, no pending move, the normal cursor.
    void Reset();

    bool IsToolArmed() const { return m_bMoveTool != 0 || m_bRotateTool != 0 || m_bZoomTool != 0; }

    // Tool-bar commands: arm the tool (others stay as they are), grab the mouse, show the
    // tool's cursor.
    SViewActions OnToolMove();
    SViewActions OnToolRotate();
    SViewActions OnToolZoom();

    // With a tool armed the left button drives the armed tools; without one it picks a face or
    // starts or finishes a move of the selection.
    SViewActions OnLButtonDown(CMyvorla_ltDoc& doc, int x, int y);
    SViewActions OnLButtonUp(int x, int y);
    // Middle pans, right rotates; both ignored, press and release, while a tool is armed.
    SViewActions OnMButtonDown(int x, int y);
    SViewActions OnMButtonUp(int x, int y);
    SViewActions OnRButtonDown(int x, int y);
    SViewActions OnRButtonUp(int x, int y);
    // Pan, then rotate, then zoom and the pending move's ground point, each from the last point.
    SViewActions OnMouseMove(int x, int y);
    // delta: signed wheel delta, 120 per notch; forward brings the model closer.
    SViewActions OnMouseWheel(int delta);
    SViewActions OnKeyDown(CMyvorla_ltDoc& doc, EViewKey key);

    // The end of Insert: the selection follows the cursor from the origin until the next click
    // on empty space.
    SViewActions OnInsertFinished();
    // The model was replaced: a pending move ends (EndPendingMove).
    SViewActions OnModelReplaced();

private:
    SViewActions ArmTool(int& tool, ECursor cursor);
    SViewActions ShowToolCursor(ECursor cursor);
    SViewActions RestoreCursor();
};
