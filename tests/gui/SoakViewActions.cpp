// The soak's actions in the view: picking, the two-click move, the Edit commands, the display
// toggles, the view keys, drags, the wheel, the one-shot tools and resizing the window.
#include "SoakRun.h"

#include "app/CommandIds.h"
#include "interaction/MoveState.h"
#include "view/Camera.h"
#include "view/CameraState.h"

#include <QStatusBar>
#include <QToolBar>
#include <QWheelEvent>

namespace {

struct SCamera {
    SCamera() : offset{g_camOffset[0], g_camOffset[1], g_camOffset[2]}, pitch(g_pitch), yaw(g_yaw) {}
    bool operator==(const SCamera&) const = default;
    float offset[3];
    double pitch, yaw;
};

bool AnySelected(const CShapeList& shapes)
{
    return std::any_of(shapes.begin(), shapes.end(), [](const CShape& s) { return s.m_selected == 1; });
}

}  // namespace

void CSoakRun::ClickFace()
{
    DrawFrame();
    const QSize size = View().size();
    std::vector<QPoint> corners;
    for (const CShape& shape : Doc().m_shapeList) {
        const QPointF p = ScreenOf(shape.m_vertex[0]);
        if (p.x() >= 0 && p.y() >= 0 && p.x() < size.width() && p.y() < size.height()) corners.push_back(p.toPoint());
    }
    if (corners.empty()) return;
    const QPoint at = m_random.Pick(corners);
    bool ambiguous = false;
    const std::ptrdiff_t hit = FirstCornerNear(at, ambiguous);
    CShapeList expected = Doc().m_shapeList;
    const bool wasModified = Doc().IsModified();
    const bool toolClick = m_armedTools != 0;
    SendMouseMove(at, Qt::NoButton);
    LeftClick(at);
    if (ambiguous) return;
    // With a tool armed the click is that tool's drag, which picks nothing.
    if (!toolClick && hit >= 0) expected[std::size_t(hit)].m_selected = expected[std::size_t(hit)].m_selected == 1 ? 0 : 1;
    QVERIFY2(Doc().m_shapeList == expected, "a click on a face did not flip exactly that face's selection");
    QCOMPARE(Doc().IsModified(), wasModified);
}

void CSoakRun::ClickEmpty()
{
    DrawFrame();
    const QSize size = View().size();
    QPoint at;
    bool found = false;
    for (int attempt = 0; attempt < 20 && !found; ++attempt) {
        at = QPoint(m_random.Below(size.width()), m_random.Below(size.height()));
        found = true;
        for (const CShape& shape : Doc().m_shapeList) {
            const QPointF p = ScreenOf(shape.m_vertex[0]);
            if (std::abs(p.x() - at.x()) < 4 && std::abs(p.y() - at.y()) < 4) found = false;
        }
    }
    if (!found) return;
    // The cursor comes to the point first, as a user's does; the displacement it leaves is the
    // one a finishing click applies.
    SendMouseMove(at, Qt::NoButton);
    const double by[3] = {g_moveTo[0] - g_moveFrom[0], g_moveTo[1] - g_moveFrom[1], g_moveTo[2] - g_moveFrom[2]};
    const CShapeList before = Doc().m_shapeList;
    const bool wasModified = Doc().IsModified();
    const bool toolClick = m_armedTools != 0;
    const bool finishes = m_movePending && !toolClick;
    LeftClick(at);
    CheckMove(before, by, finishes);
    if (QTest::currentTestFailed() || toolClick) return;
    if (finishes) {
        QVERIFY(Doc().IsModified());
        m_movePending = false;
    } else {
        QCOMPARE(Doc().IsModified(), wasModified);
        m_movePending = true;
    }
}

void CSoakRun::MoveMouse()
{
    const QSize size = View().size();
    SendMouseMove(QPoint(m_random.Below(size.width()), m_random.Below(size.height())), Qt::NoButton);
}

void CSoakRun::SelectAll()
{
    CShapeList expected = Doc().m_shapeList;
    for (CShape& shape : expected)
        if (IsLayerIndexVisible(FindLayer(shape.m_layer))) shape.m_selected = 1;
    if (m_random.Percent(50))
        PressKey(Qt::Key_A, Qt::ControlModifier);
    else
        Trigger(ID_EDIT_SELECT_ALL);
    QVERIFY2(Doc().m_shapeList == expected, "Select All did not select exactly the faces on shown layers");
}

void CSoakRun::ClearSelectionKey()
{
    const bool enter = m_random.Percent(50);
    if (enter) {
        QTest::keyClick(&View(), Qt::Key_Return);
    } else {
        PressKey(Qt::Key_Escape);
    }
    QVERIFY2(!AnySelected(Doc().m_shapeList), enter ? "Enter left faces selected" : "Escape left faces selected");
}

void CSoakRun::Cut()
{
    CShapeList expected;
    for (const CShape& shape : Doc().m_shapeList)
        if (shape.m_selected != 1) expected.push_back(shape);
    switch (m_random.Below(3)) {
    case 0: PressKey(Qt::Key_Delete); break;
    case 1: PressKey(Qt::Key_X, Qt::ControlModifier); break;
    default: Trigger(ID_EDIT_CUT); break;
    }
    QVERIFY2(Doc().m_shapeList == expected, "Cut did not remove exactly the selected faces");
    QVERIFY(Doc().IsModified());
}

void CSoakRun::ToggleDisplay()
{
    CMainFrame& frame = m_program->Frame();
    switch (m_random.Below(5)) {
    case 0: {
        const bool before = IsWireframeChecked();
        Trigger(ID_VIEW_WIREFRAME);
        QCOMPARE(IsWireframeChecked(), !before);
        break;
    }
    case 1: {
        const bool before = IsParallelChecked();
        Trigger(ID_VIEW_PARALLEL);
        QCOMPARE(IsParallelChecked(), !before);
        break;
    }
    case 2: {
        const bool before = IsWalkThroughChecked();
        Trigger(ID_VIEW_WALKTHROUGH);
        QCOMPARE(IsWalkThroughChecked(), !before);
        break;
    }
    case 3: {
        QToolBar* bar = frame.findChild<QToolBar*>(QStringLiteral("toolBar"));
        const bool before = bar->isVisible();
        Trigger(ID_VIEW_TOOLBAR);
        QCOMPARE(bar->isVisible(), !before);
        break;
    }
    default: {
        const bool before = frame.statusBar()->isVisible();
        Trigger(ID_VIEW_STATUS_BAR);
        QCOMPARE(frame.statusBar()->isVisible(), !before);
        break;
    }
    }
    DrawFrame();
}

void CSoakRun::ViewKey()
{
    static const Qt::Key kKeys[] = {Qt::Key_G, Qt::Key_F, Qt::Key_0, Qt::Key_1, Qt::Key_2,
                                    Qt::Key_3, Qt::Key_4, Qt::Key_U, Qt::Key_D};
    const Qt::Key key = kKeys[m_random.Below(int(std::size(kKeys)))];
    const int grid = g_showGrid, flat = g_flatNormals;
    const double targetHeight = g_moveTo[1];
    QTest::keyClick(&View(), key);
    switch (key) {
    case Qt::Key_G: QCOMPARE(g_showGrid, 1 - grid); break;
    case Qt::Key_F: QCOMPARE(g_flatNormals, 1 - flat); break;
    case Qt::Key_U: QCOMPARE(g_moveTo[1], targetHeight + 1000.0); break;
    case Qt::Key_D: QCOMPARE(g_moveTo[1], targetHeight - 1000.0); break;
    default: {
        // From straight above, then level from the four sides.
        static const double kViews[5][2] = {{90, 0}, {0, 0}, {0, 270}, {0, 180}, {0, 90}};
        const int n = key - Qt::Key_0;
        QCOMPARE(g_pitch, kViews[n][0]);
        QCOMPARE(g_yaw, kViews[n][1]);
        break;
    }
    }
}

void CSoakRun::Drag()
{
    const Qt::MouseButton button = m_random.Percent(50) ? Qt::MiddleButton : Qt::RightButton;
    const QSize size = View().size();
    QPoint at(m_random.Below(size.width()), m_random.Below(size.height()));
    const SCamera before;
    QTest::mousePress(&View(), button, Qt::NoModifier, at);
    for (int steps = m_random.Between(1, 6); steps > 0; --steps) {
        at += QPoint(m_random.Between(-40, 40), m_random.Between(-40, 40));
        SendMouseMove(at, button);
    }
    QTest::mouseRelease(&View(), button, Qt::NoModifier, at);
    // While a tool waits for its drag, the middle and right buttons do nothing.
    if (m_armedTools) QVERIFY2(SCamera() == before, "a drag moved the camera while a tool was armed");
    QVERIFY(g_pitch >= -90 && g_pitch <= 90);
    QVERIFY(g_yaw >= 0 && g_yaw <= 360);
}

void CSoakRun::Wheel()
{
    const int delta = 120 * m_random.Between(-3, 3);
    const QPointF at(m_random.Below(View().width()), m_random.Below(View().height()));
    const float depth = g_camOffset[2];
    QWheelEvent wheel(at, View().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&View(), &wheel);
    // 30 units per unit of delta, toward the model for a forward turn.
    if (!IsWalkThroughChecked()) QCOMPARE(g_camOffset[2], depth + float(delta * 30));
}

void CSoakRun::Tool()
{
    static const int kTools[] = {ID_TOOL_MOVE, ID_TOOL_ROTATE, ID_TOOL_ZOOM};
    const int first = m_random.Below(3);
    Trigger(kTools[first]);
    m_armedTools |= 1 << first;
    if (m_random.Percent(20)) {
        const int second = m_random.Below(3);
        Trigger(kTools[second]);
        m_armedTools |= 1 << second;
    }
    QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(&View()));
    // Most often the tool is used at once; otherwise it waits, armed, for a later action.
    if (m_random.Percent(25)) return;
    const QSize size = View().size();
    QPoint at(m_random.Below(size.width()), m_random.Below(size.height()));
    const CShapeList before = Doc().m_shapeList;
    QTest::mousePress(&View(), Qt::LeftButton, Qt::NoModifier, at);
    for (int steps = m_random.Between(1, 6); steps > 0; --steps) {
        at += QPoint(m_random.Between(-30, 30), m_random.Between(-30, 30));
        SendMouseMove(at, Qt::LeftButton);
    }
    QTest::mouseRelease(&View(), Qt::LeftButton, Qt::NoModifier, at);
    if (m_armedTools & 4) m_movePending = false;
    m_armedTools = 0;
    QVERIFY2(Doc().m_shapeList == before, "a tool drag changed the model");
}

void CSoakRun::Resize()
{
    m_program->Frame().resize(m_random.Between(400, 1100), m_random.Between(300, 900));
    QCoreApplication::processEvents();
    DrawFrame();
}

void CSoakRun::Sphere()
{
    if (Doc().m_shapeList.size() >= kModelFacesLimit) return;
    CShapeList before = Doc().m_shapeList;
    Trigger(ID_CREATE_SPHERE);
    const CShapeList& after = Doc().m_shapeList;
    QCOMPARE(after.size(), before.size() + 80);
    QVERIFY2(std::equal(before.begin(), before.end(), after.begin()), "a sphere changed the faces before it");
    QVERIFY(Doc().IsModified());
}
