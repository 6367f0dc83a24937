// Toggling, the two-click move, Cut, Select All and clearing, with hidden layers and the
// modified flag.
#include "interaction/Editing.h"
#include "interaction/InteractionSupport.h"
#include "interaction/MoveState.h"
#include "interaction/NavigationTools.h"
#include "view/Camera.h"

#include <gtest/gtest.h>

namespace {

// A pixel frame with faces at window (40, 40) shown, (80, 80) hidden, (120, 120) on a layer in
// no table entry; clicks at window y 200 hit nothing.
class Editing : public testing::Test {
protected:
    CMyvorla_ltDoc m_doc;
    CNavigationTools m_tools;

    void SetUp() override
    {
        SetPixelFrame();
        AddShownAndHiddenLayers();
        AddFace(m_doc, "Shown", 40, 40, 0);
        AddFace(m_doc, "Hidden", 80, 80, 0);
        AddFace(m_doc, "Nowhere", 120, 120, 0);
    }
    SViewActions ClickWindow(int x, int windowY)
    {
        return m_tools.OnLButtonDown(m_doc, x, kPixelFrameSize - windowY);
    }
    SViewActions ClickEmpty() { return ClickWindow(200, 200); }
    int Selected(std::size_t i) const { return m_doc.m_shapeList[i].m_selected; }
    float Corner(std::size_t i, int k, int c) const { return m_doc.m_shapeList[i].m_vertex[k][c]; }
};

}  // namespace

TEST_F(Editing, ClickTogglesEvenOnAHiddenLayerWithoutMarkingModified)
{
    const SViewActions on = ClickWindow(80, 80);
    EXPECT_TRUE(on.selectionChanged && on.repaint);
    EXPECT_EQ(Selected(1), 1);
    ClickWindow(81, 79);
    EXPECT_EQ(Selected(1), 0);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_EQ(m_tools.m_bLeftTracking, 0);
    EXPECT_EQ(g_movingSelection, 0);
}

TEST_F(Editing, TwoShapesUnderTheClickToggleOnlyTheFirst)
{
    AddFace(m_doc, "Shown", 41, 41, 0);
    ClickWindow(40, 40);
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(Selected(3), 0);
}

TEST_F(Editing, TwoClickMoveMovesSelectedFacesOnVisibleLayersOnly)
{
    for (std::size_t i = 0; i < 3; ++i) m_doc.m_shapeList[i].m_selected = 1;
    ClickEmpty();
    EXPECT_EQ(m_tools.m_bLeftTracking, 1);
    EXPECT_EQ(g_movingSelection, 1);
    // The pixel frame has no perspective: the ground under the cursor comes from unprojection.
    // Its view runs along −Z, parallel to the ground, so the target is set by hand here.
    g_moveFrom[0] = 10, g_moveFrom[1] = 0, g_moveFrom[2] = 20;
    g_moveTo[0] = 15.5, g_moveTo[1] = 0, g_moveTo[2] = -4;

    const SViewActions done = ClickEmpty();
    EXPECT_TRUE(done.shapesChanged && done.documentModified && done.repaint);
    EXPECT_EQ(m_tools.m_bLeftTracking, 0);
    EXPECT_EQ(g_movingSelection, 0);
    EXPECT_TRUE(m_doc.IsModified());
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Corner(0, k, 0), 40 + 10 * k + 5.5f);
        EXPECT_EQ(Corner(0, k, 2), -24.0f);
        EXPECT_EQ(Corner(1, k, 0), 80 + 10 * k) << "hidden layer stays";
        EXPECT_EQ(Corner(2, k, 0), 120 + 10 * k) << "unknown layer, hidden free slot, stays";
    }
    EXPECT_EQ(m_doc.m_shapeList[0].m_normal[0][1], 1.0f);
    EXPECT_EQ(Selected(0), 1) << "moved faces stay selected";
}

TEST_F(Editing, SecondClickWithNothingSelectedStillMarksModified)
{
    ClickEmpty();
    g_moveTo[0] += 500;
    const SViewActions done = ClickEmpty();
    EXPECT_FALSE(done.shapesChanged);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(Corner(0, 0, 0), 40.0f);
}

TEST_F(Editing, RaisingTheTargetTwiceThenClickingLiftsBy2000)
{
    // A real ground pick under the default camera, cursor still between the clicks.
    RecordFrame(kPixelFrameSize, kPixelFrameSize);
    m_doc.m_shapeList[0].m_selected = 1;
    const int x = 5, y = 250;  // a corner of the view: no face's first corner there
    m_tools.OnLButtonDown(m_doc, x, y);
    ASSERT_EQ(g_movingSelection, 1);
    m_tools.OnKeyDown(m_doc, EViewKey::kU);
    m_tools.OnKeyDown(m_doc, EViewKey::kU);
    m_tools.OnLButtonDown(m_doc, x, y);
    EXPECT_EQ(Corner(0, 0, 0), 40.0f);
    EXPECT_EQ(Corner(0, 0, 1), 2040.0f);
    EXPECT_EQ(Corner(0, 0, 2), 0.0f);

    // A cursor update after U puts the target back on the ground.
    m_tools.OnLButtonDown(m_doc, x, y);
    m_tools.OnKeyDown(m_doc, EViewKey::kU);
    m_tools.OnMouseMove(x, y);
    EXPECT_NEAR(g_moveTo[1], 0.0, 1e-6);
}

TEST_F(Editing, AFirstClickWhoseRayMissesTheGroundStartsWithNoDisplacement)
{
    // A level view (key 1) clicked on its middle row: the ray runs along the horizon.
    g_pitch = 0.0;
    g_camOffset[1] = -3000.0f;
    RecordFrame(kPixelFrameSize, kPixelFrameSize);
    m_doc.m_shapeList[0].m_selected = 1;
    g_moveFrom[0] = 1, g_moveFrom[2] = 2;  // an earlier move's points
    g_moveTo[0] = 700, g_moveTo[2] = -900;
    m_tools.OnLButtonDown(m_doc, 10, kPixelFrameSize / 2);
    ASSERT_EQ(g_movingSelection, 1);
    m_tools.OnLButtonDown(m_doc, 10, kPixelFrameSize / 2);
    EXPECT_EQ(Corner(0, 0, 0), 40.0f);
    EXPECT_EQ(Corner(0, 0, 2), 0.0f);
}

TEST_F(Editing, EscDuringAPendingMoveKeepsItPending)
{
    m_doc.m_shapeList[0].m_selected = 1;
    ClickEmpty();
    const SViewActions cleared = ClearSelection(m_doc);
    EXPECT_TRUE(cleared.selectionChanged);
    EXPECT_EQ(Selected(0), 0);
    EXPECT_EQ(g_movingSelection, 1);
    EXPECT_EQ(m_tools.m_bLeftTracking, 1);
    EXPECT_FALSE(m_doc.IsModified());
    g_moveTo[0] += 100;
    ClickEmpty();
    EXPECT_EQ(g_movingSelection, 0);
    EXPECT_EQ(Corner(0, 0, 0), 40.0f);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(Editing, ClickingAFaceDuringAPendingMoveTogglesIt)
{
    ClickEmpty();
    ClickWindow(40, 40);
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(g_movingSelection, 1);
    EXPECT_EQ(m_tools.m_bLeftTracking, 1);
}

TEST_F(Editing, CutRemovesEverySelectedFaceWhateverItsLayer)
{
    AddFace(m_doc, "Shown", 160, 160, 0);
    m_doc.m_shapeList[1].m_selected = 1;
    m_doc.m_shapeList[2].m_selected = 1;
    const SViewActions cut = CutSelected(m_doc);
    EXPECT_TRUE(cut.shapesChanged && cut.documentModified);
    ASSERT_EQ(m_doc.m_shapeList.size(), 2u);
    EXPECT_EQ(Corner(0, 0, 0), 40.0f);
    EXPECT_EQ(Corner(1, 0, 0), 160.0f);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(Editing, CutWithNothingSelectedStillMarksModified)
{
    const SViewActions cut = CutSelected(m_doc);
    EXPECT_FALSE(cut.shapesChanged);
    EXPECT_EQ(m_doc.m_shapeList.size(), 3u);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(Editing, SelectAllTakesVisibleLayersOnly)
{
    m_doc.m_shapeList[1].m_selected = 1;  // hidden but selected: stays selected
    AddFace(m_doc, "Hidden", 160, 160, 0);
    g_layerAttr[2][kVisible] = 1.0;  // the free slot now shows faces of unknown layers
    const SViewActions all = SelectAll(m_doc);
    EXPECT_TRUE(all.selectionChanged);
    EXPECT_EQ(Selected(0), 1);
    EXPECT_EQ(Selected(1), 1);
    EXPECT_EQ(Selected(2), 1);
    EXPECT_EQ(Selected(3), 0);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_FALSE(SelectAll(m_doc).selectionChanged);
}

TEST_F(Editing, InsertStartsAPendingMoveFromTheOrigin)
{
    g_moveFrom[0] = 7, g_moveTo[0] = 900;  // left over from an earlier move
    m_doc.m_shapeList[0].m_selected = 1;
    m_tools.OnInsertFinished();
    EXPECT_EQ(g_movingSelection, 1);
    EXPECT_EQ(m_tools.m_bLeftTracking, 1);
    EXPECT_EQ(g_moveFrom[0], 0.0);
    EXPECT_EQ(g_moveTo[0], 0.0);
    ClickEmpty();
    EXPECT_EQ(g_movingSelection, 0);
    EXPECT_EQ(Corner(0, 0, 0), 40.0f) << "no cursor update yet: nothing moves";
}
