// Selection and editing of the document's faces: the left click without a navigation tool
// (toggle a face, or the two clicks of a move across the ground), Cut, Select All, clear the
// selection, and raising or lowering the move target. Selection changes never mark the
// document modified; moving and cutting always do.
#pragma once

#include "interaction/ViewActions.h"
#include "model/Document.h"

#include <cstddef>
#include <memory>

class CCornerSwap;
class CFaceRemoval;

inline constexpr double kMoveTargetStep = 1000.0;  // U and D raise or lower the target this much

// Left button down at client point (x, y) with no tool armed. leftTracking is the view's
// m_bLeftTracking (1 between the two clicks of a move).
// - A face hit (HitTest): its selection flips; a pending move stays pending.
// - Nothing hit, no move pending: the move starts at the ground point under the click (when the
//   ray misses the ground, at the current target, with no displacement).
// - Nothing hit, a move pending: the selected faces on visible layers move by
//   g_moveTo − g_moveFrom and the document is marked modified, even when nothing moved; the
//   actions carry the corners it replaced (`moved`).
SViewActions ClickWithoutTool(CMyvorla_ltDoc& doc, int& leftTracking, int x, int y);

// Adds g_moveTo − g_moveFrom to the four corners of every selected face on a visible layer
// (corner + to − from in double, stored as float). Returns how many faces moved. With a
// record, the corners before the move are noted in it.
std::size_t MoveSelectedShapes(CShapeList& shapes, CCornerSwap* record = nullptr);

// Cut: removes every selected face, whatever its layer, in one pass, and marks the document
// modified even when nothing was selected. Nothing goes to a clipboard. With `record`, the
// removed faces are kept there with their positions, so that the cut can be undone.
SViewActions CutSelected(CMyvorla_ltDoc& doc, std::unique_ptr<CFaceRemoval>* record = nullptr);

// Select All: selects every face on a visible layer; faces on hidden layers keep their flag.
SViewActions SelectAll(CMyvorla_ltDoc& doc);

// Clears every face's selection. A pending move stays pending.
SViewActions ClearSelection(CMyvorla_ltDoc& doc);

// U and D: g_moveTo.y up or down by 1000, pending move or not; the next cursor update puts the
// target back on the ground.
SViewActions RaiseMoveTarget();
SViewActions LowerMoveTarget();

// The end of Insert: the inserted faces (the selection) follow the cursor from the origin until
// the next click on empty space.
SViewActions BeginInsertedMove(int& leftTracking);

// The model was replaced (New, Open, DXF import): a move pending on the old faces ends without
// moving anything, so the next empty click starts a new move instead of moving the new model's
// selected faces by the old model's displacement.
SViewActions EndPendingMove(int& leftTracking);
