// The pending two-click move of the selected faces across the ground plane.
#pragma once

extern int g_movingSelection;  // 1 while a move is pending
extern double g_moveFrom[3];   // ground point where the move started
extern double g_moveTo[3];     // ground point under the cursor now
