// Screen-space picking against the last frame's matrices: which face a click toggles, and the
// point of the ground plane (y = 0) under the cursor for the two-click move.
// Client coordinates: x to the right, y downward from the view's top left corner, in pixels.
#pragma once

#include "model/Shape.h"

#include <cstddef>

inline constexpr double kPickTolerance = 3.0;  // pixels, strict: exactly 3 away is a miss

// Index of the first face in list order whose first corner projects (g_modelview, g_projection,
// g_viewport) to less than 3 pixels from the click in x and in y, or -1. Window y runs upward:
// the test is |wx − x| < 3 and |wy − (H − y)| < 3 with H = g_viewport[3]. Layer visibility and
// depth play no part.
std::ptrdiff_t HitTest(const CShapeList& shapes, int x, int y);

// The ray through the cursor of the active camera mode. Orbit perspective: from the orbit eye
// point through the cursor's point 500 units in front of it, built from g_fovy and the rotation
// of g_modelview. Otherwise unprojected through the last frame's matrices: walk-through
// perspective from the eye −g_camOffset, parallel from the cursor's point on the near plane
// along the view direction. False when no usable frame has been drawn.
bool GetCursorRay(int x, int y, double origin[3], double direction[3]);

// Sets g_moveTo to the ground point under the cursor, and g_moveFrom too unless keepStart.
// Returns true when it changed them (the caller repaints); false, changing nothing, when the
// ray runs parallel to the ground or no usable frame has been drawn. A point behind the eye
// (negative ray parameter) is accepted.
bool PickGroundPoint(int x, int y, bool keepStart);
