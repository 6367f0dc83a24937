// The mouse, the wheel and the keys on the real view: clicking a face selects it, a middle
// drag pans, the wheel zooms, Delete removes the selection, two clicks move it.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "interaction/MoveState.h"
#include "model/LayerTable.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace {

void AddSquare(CMyvorla_ltDoc& doc, float cx, float cz, float half)
{
    CShape& s = doc.m_curShape;
    s.m_kind = 3;
    s.m_layer.assign(1, 'A');  // (assigning the literal trips a false GCC 12 -Wrestrict warning under ASan)
    const float corners[4][3] = {{cx - half, 10, cz + half}, {cx + half, 10, cz + half},
                                 {cx + half, 10, cz - half}, {cx - half, 10, cz - half}};
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = corners[k][a];
            s.m_normal[k][a] = a == 1 ? 1.0f : 0.0f;
        }
    doc.AddShape();
}

// Client position of a world point through the last frame's matrices.
QPoint ScreenOf(const float p[3])
{
    double window[3];
    ProjectPoint(p[0], p[1], p[2], g_modelview, g_projection, g_viewport, window);
    return QPoint(int(std::lround(window[0])), int(std::lround(g_viewport[3] - window[1])));
}

bool HasMagentaNear(const QImage& image, QPoint at)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (Near(image.pixel(at + QPoint(dx, dy)), 255, 0, 255, 2)) return true;
    return false;
}

struct CProgramWithSquares : CStartedProgram {
    CProgramWithSquares()
    {
        AddLayer("A");
        AddSquare(Host().Doc(), -10000, 0, 4000);
        AddSquare(Host().Doc(), 10000, 0, 4000);
        Host().Doc().SetModifiedFlag(false);
        View().ModelChanged();
        Grab();  // a frame, so picking has matrices
    }
};

}  // namespace

class CInteractionTest : public QObject {
    Q_OBJECT
private slots:
    void clickOnAFirstCornerTogglesTheFace();
    void middleDragPans();
    void wheelZooms();
    void parallelPictureFollowsEachWheelNotch();
    void viewKeysWorkWithShiftAndTheKeypad_data();
    void viewKeysWorkWithShiftAndTheKeypad();
    void deleteRemovesTheSelectedFaces();
    void twoEmptyClicksMoveTheSelection();
    void replacingTheModelEndsAPendingMove_data();
    void replacingTheModelEndsAPendingMove();
};

void CInteractionTest::clickOnAFirstCornerTogglesTheFace()
{
    CProgramWithSquares program;
    CShape& first = program.Host().Doc().m_shapeList[0];
    const QPoint corner = ScreenOf(first.m_vertex[0]);
    QTest::mouseClick(&program.View(), Qt::LeftButton, Qt::NoModifier, corner);
    QCOMPARE(first.m_selected, 1);
    QCOMPARE(program.Host().Doc().m_shapeList[1].m_selected, 0);
    QVERIFY(!program.Host().Doc().IsModified());  // a selection is no change of the model
    const QImage image = program.Grab();
    const float mid[3] = {(first.m_vertex[0][0] + first.m_vertex[1][0]) / 2, 10, first.m_vertex[0][2]};
    QVERIFY(HasMagentaNear(image, ScreenOf(mid)));

    QTest::mouseClick(&program.View(), Qt::LeftButton, Qt::NoModifier, corner);
    QCOMPARE(first.m_selected, 0);
    QVERIFY(!HasMagentaNear(program.Grab(), ScreenOf(mid)));
}

void CInteractionTest::middleDragPans()
{
    CProgramWithSquares program;
    CMyvorla_ltView& view = program.View();
    const QPoint start(200, 200);
    QTest::mousePress(&view, Qt::MiddleButton, Qt::NoModifier, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(10, -5)), view.mapToGlobal(QPointF(start + QPoint(10, -5))),
                     Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QTest::mouseRelease(&view, Qt::MiddleButton, Qt::NoModifier, start + QPoint(10, -5));
    QCOMPARE(g_camOffset[0], 600.0f);  // 10 pixels right, 60 units each
    QCOMPARE(g_camOffset[1], 300.0f);  // 5 pixels up
    QCOMPARE(g_camOffset[2], -100000.0f);
}

void CInteractionTest::wheelZooms()
{
    CProgramWithSquares program;
    CMyvorla_ltView& view = program.View();
    const QPointF at(100, 100);
    QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    QCOMPARE(g_camOffset[2], -100000.0f + 3600.0f);
}

// In parallel projection the extent was read from the previous frame, so each notch showed the
// zoom of the notch before it: the first picture after a notch differed from the next one.
void CInteractionTest::parallelPictureFollowsEachWheelNotch()
{
    CProgramWithSquares program;
    CMyvorla_ltView& view = program.View();
    program.Frame().Action(ID_VIEW_PARALLEL)->trigger();
    QImage before = program.Grab();
    for (int delta : {120, 120, -120}) {
        const QPointF at(100, 100);
        QWheelEvent wheel(at, view.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &wheel);
        const QImage first = program.Grab();
        QVERIFY2(first != before, "the notch changes the picture");
        QVERIFY2(first == program.Grab(), "the first frame after the notch already shows it");
        before = first;
    }
}

void CInteractionTest::viewKeysWorkWithShiftAndTheKeypad_data()
{
    // What X11 delivers: Qt's key, its modifiers, and the key code of the physical key.
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("yaw");
    const int shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier;
    QTest::newRow("Shift+0 types )") << int(Qt::Key_ParenRight) << shift << 19 << 90.0 << 0.0;
    QTest::newRow("Shift+1 types !") << int(Qt::Key_Exclam) << shift << 10 << 0.0 << 0.0;
    QTest::newRow("Shift+2 types \"") << int(Qt::Key_QuoteDbl) << shift << 11 << 0.0 << 270.0;
    QTest::newRow("Shift+3 types #") << int(Qt::Key_NumberSign) << shift << 12 << 0.0 << 180.0;
    QTest::newRow("Shift+4 types $") << int(Qt::Key_Dollar) << shift << 13 << 0.0 << 90.0;
    QTest::newRow("keypad 0") << int(Qt::Key_0) << keypad << 90 << 90.0 << 0.0;
    QTest::newRow("keypad 3") << int(Qt::Key_3) << keypad << 89 << 0.0 << 180.0;
    QTest::newRow("Shift+5 is no view key") << int(Qt::Key_Percent) << shift << 14 << 45.0 << 35.0;
}

void CInteractionTest::viewKeysWorkWithShiftAndTheKeypad()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, keyCode);
    QFETCH(double, pitch);
    QFETCH(double, yaw);
    CProgramWithSquares program;
    g_camOffset[1] = 500;
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), quint32(keyCode), 0, 0);
    QApplication::sendEvent(&program.View(), &press);
    QCOMPARE(g_pitch, pitch);
    QCOMPARE(g_yaw, yaw);
    QCOMPARE(g_camOffset[1], pitch == 45.0 ? 500.0f : 0.0f);
}

void CInteractionTest::deleteRemovesTheSelectedFaces()
{
    CProgramWithSquares program;
    program.Host().Doc().m_shapeList[1].m_selected = 1;
    program.View().SelectionChanged();
    program.Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.Frame()));
    program.View().setFocus();
    QTest::keyClick(&program.View(), Qt::Key_Delete);
    QCOMPARE(program.Host().Doc().m_shapeList.size(), size_t(1));
    QCOMPARE(program.Host().Doc().m_shapeList[0].m_vertex[0][0], -14000.0f);
    QVERIFY(program.Host().Doc().IsModified());
}

void CInteractionTest::twoEmptyClicksMoveTheSelection()
{
    CProgramWithSquares program;
    CMyvorla_ltView& view = program.View();
    CShape& moved = program.Host().Doc().m_shapeList[1];
    moved.m_selected = 1;
    view.SelectionChanged();
    program.Grab();
    const float from[3] = {0, 0, 0};
    const float to[3] = {0, 0, 20000};
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ScreenOf(from));
    QCOMPARE(g_movingSelection, 1);
    QTest::mouseMove(&view, ScreenOf(to));
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ScreenOf(to));
    QCOMPARE(g_movingSelection, 0);
    // The face moved by the ground distance between the clicks, within a pixel's worth.
    QVERIFY2(std::abs(moved.m_vertex[0][2] - (4000.0f + 20000.0f)) < 400, qPrintable(QString::number(moved.m_vertex[0][2])));
    QCOMPARE(moved.m_vertex[0][1], 10.0f);
    QCOMPARE(program.Host().Doc().m_shapeList[0].m_vertex[0][2], 4000.0f);
    QVERIFY(program.Host().Doc().IsModified());
}

void CInteractionTest::replacingTheModelEndsAPendingMove_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("file");
    QTest::newRow("open") << int(ID_FILE_OPEN) << QStringLiteral(VORLA_EXAMPLES "/boxes.vrl");
    QTest::newRow("import DXF") << int(ID_IMPORT_DXF) << QStringLiteral(VORLA_TEST_DATA "/dxf/faces.dxf");
    QTest::newRow("new") << int(ID_FILE_NEW) << QString();
}

// A move pending on the old faces used to stay pending, and the first empty click on the new
// model moved its selected faces by the old move's displacement (or, with no faces, marked the
// new model modified).
void CInteractionTest::replacingTheModelEndsAPendingMove()
{
    QFETCH(int, command);
    QFETCH(QString, file);
    CScriptedPrompts prompts;
    CProgramWithSquares program;
    CMyvorla_ltView& view = program.View();
    const float from[3] = {0, 0, 0};
    const float to[3] = {0, 0, 20000};
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ScreenOf(from));
    QTest::mouseMove(&view, ScreenOf(to));
    QCOMPARE(g_movingSelection, 1);

    prompts.m_files << file;
    program.Frame().Action(command)->trigger();
    QVERIFY(prompts.m_shown.isEmpty());
    QCOMPARE(g_movingSelection, 0);  // no move marker over the new model
    program.Frame().Action(ID_EDIT_SELECT_ALL)->trigger();
    const CShapeList replaced = program.Host().Doc().m_shapeList;
    const bool modified = program.Host().Doc().IsModified();
    program.Grab();
    const QPoint empty(5, view.height() - 5);
    QTest::mouseMove(&view, empty);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, empty);
    QVERIFY(program.Host().Doc().m_shapeList == replaced);
    QCOMPARE(program.Host().Doc().IsModified(), modified);
    QCOMPARE(g_movingSelection, 1);  // the click started a new move
}

VORLA_GUI_TEST_MAIN(CInteractionTest)
#include "InteractionTest.moc"
