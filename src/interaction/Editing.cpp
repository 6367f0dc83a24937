// The left click's pick-or-move logic and the Edit commands on the face list.
#include "interaction/Editing.h"

#include "model/LayerTable.h"
#include "interaction/MoveState.h"
#include "interaction/Picking.h"
#include "model/ModelEdits.h"

#include <algorithm>

SViewActions ClickWithoutTool(CMyvorla_ltDoc& doc, int& leftTracking, int x, int y)
{
    SViewActions actions;
    actions.repaint = true;
    CShapeList& shapes = doc.GetShapeList();
    const std::ptrdiff_t hit = HitTest(shapes, x, y);
    if (hit >= 0) {
        CShape& shape = shapes[static_cast<std::size_t>(hit)];
        shape.m_selected = shape.m_selected == 1 ? 0 : 1;
        actions.selectionChanged = true;
        return actions;
    }
    if (leftTracking == 0) {
        leftTracking = 1;
        g_movingSelection = 1;
        actions.moveStarted = true;
        // A click whose ray misses the ground still starts the move, from the current target,
        // so the displacement starts at zero rather than from an earlier move's start.
        if (!PickGroundPoint(x, y, false)) std::copy(std::begin(g_moveTo), std::end(g_moveTo), g_moveFrom);
        return actions;
    }
    leftTracking = 0;
    g_movingSelection = 0;
    // The displacement is the one the last cursor update left; the click computes none.
    actions.moved = std::make_shared<CCornerSwap>();
    actions.shapesChanged = MoveSelectedShapes(shapes, actions.moved.get()) > 0;
    doc.SetModifiedFlag(true);
    actions.documentModified = true;
    return actions;
}

std::size_t MoveSelectedShapes(CShapeList& shapes, CCornerSwap* record)
{
    CLayerLookup layers;
    std::size_t moved = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        CShape& shape = shapes[i];
        if (shape.m_selected != 1 || !layers.IsVisible(shape.m_layer)) continue;
        if (record) record->Add(i, shape.m_vertex);
        for (auto& corner : shape.m_vertex)
            for (int c = 0; c < 3; ++c)
                corner[c] = static_cast<float>(double(corner[c]) + g_moveTo[c] - g_moveFrom[c]);
        ++moved;
    }
    return moved;
}

SViewActions CutSelected(CMyvorla_ltDoc& doc, std::unique_ptr<CFaceRemoval>* record)
{
    SViewActions actions;
    actions.repaint = true;
    if (record) {
        *record = CFaceRemoval::RemoveSelected(doc.m_shapeList);
        actions.shapesChanged = (*record)->Count() > 0;
    } else {
        actions.shapesChanged = doc.RemoveSelected() > 0;
    }
    actions.selectionChanged = actions.shapesChanged;
    doc.SetModifiedFlag(true);
    actions.documentModified = true;
    return actions;
}

SViewActions SelectAll(CMyvorla_ltDoc& doc)
{
    SViewActions actions;
    actions.repaint = true;
    CLayerLookup layers;
    for (CShape& shape : doc.GetShapeList()) {
        if (shape.m_selected == 1 || !layers.IsVisible(shape.m_layer)) continue;
        shape.m_selected = 1;
        actions.selectionChanged = true;
    }
    return actions;
}

SViewActions ClearSelection(CMyvorla_ltDoc& doc)
{
    SViewActions actions;
    actions.repaint = true;
    for (CShape& shape : doc.GetShapeList()) {
        if (shape.m_selected == 0) continue;
        shape.m_selected = 0;
        actions.selectionChanged = true;
    }
    return actions;
}

SViewActions RaiseMoveTarget()
{
    g_moveTo[1] += kMoveTargetStep;
    SViewActions actions;
    actions.repaint = true;
    return actions;
}

SViewActions LowerMoveTarget()
{
    g_moveTo[1] -= kMoveTargetStep;
    SViewActions actions;
    actions.repaint = true;
    return actions;
}

SViewActions BeginInsertedMove(int& leftTracking)
{
    g_movingSelection = 1;
    leftTracking = 1;
    // The target starts at the origin too, so the inserted faces stay where they are until the
    // cursor moves, and a click before that moves nothing.
    std::fill(std::begin(g_moveFrom), std::end(g_moveFrom), 0.0);
    std::fill(std::begin(g_moveTo), std::end(g_moveTo), 0.0);
    SViewActions actions;
    actions.repaint = true;
    return actions;
}

SViewActions EndPendingMove(int& leftTracking)
{
    SViewActions actions;
    actions.repaint = leftTracking != 0 || g_movingSelection != 0;  // the move marker goes
    leftTracking = 0;
    g_movingSelection = 0;
    return actions;
}
