// Navigating a model of a million faces: while a drag moves the camera the view shows a reduced
// picture, the whole picture returns once the camera is still (and is what printing takes), and
// a click picks the face under the cursor, also a face that the reduced picture leaves out.
#include "GuiTestSupport.h"

#include "model/LayerTable.h"
#include "view/Camera.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <QMouseEvent>

#include <random>

namespace {

constexpr int kFaces = 1000000;

// A horizontal square (display frame) of side `side` with its first corner at (x, y, z).
CShape Square(const char* layer, float x, float y, float z, float side)
{
    CShape s;
    s.m_kind = CShape::kFace;
    s.m_layer = layer;
    const float c[4][3] = {{x, y, z}, {x + side, y, z}, {x + side, y, z - side}, {x, y, z - side}};
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = c[k][a];
            s.m_normal[k][a] = a == 1 ? 1.0f : 0.0f;
        }
    return s;
}

// Face 0, the smallest, red and above all others; then a million blue squares of 150 to 400
// units, about ten deep, over the middle of the grid.
void MakeBigModel(CMyvorla_ltDoc& doc)
{
    AddLayer("Target");
    AddLayer("Mass");
    const double colours[2][3] = {{1, 0, 0}, {0.2, 0.3, 0.9}};
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 3; ++c) g_layerAttr[i][c] = colours[i][c];
    doc.m_shapeList.reserve(kFaces);
    doc.m_shapeList.push_back(Square("Target", 2000, 3000, 2000, 120));
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-40000, 40000), height(0, 1000), side(150, 400);
    while (doc.m_shapeList.size() < kFaces) {
        const float x = place(random), z = place(random), y = height(random);
        doc.m_shapeList.push_back(Square("Mass", x, y, z, side(random)));
    }
}

// Window position (top-left origin) of a world point under the camera as it is now, computed
// afresh rather than read from what the last frame left.
QPoint ScreenOfNow(const CMyvorla_ltView& view, const float p[3])
{
    double modelview[16], projection[16], window[3];
    const int viewport[4] = {0, 0, view.width(), view.height()};
    ComputeCameraModelview(modelview);
    ComputeProjection(view.width(), view.height(), projection);
    ProjectPoint(p[0], p[1], p[2], modelview, projection, viewport, window);
    return QPoint(int(std::lround(window[0])), int(std::lround(view.height() - window[1])));
}

int BackgroundPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += Near(image.pixel(x, y), 0, 77, 77, 1);
    return count;
}

bool RedNear(const QImage& image, QPoint at)
{
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const QRgb p = image.pixel(at + QPoint(dx, dy));
            if (qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90) return true;
        }
    return false;
}

void Send(CMyvorla_ltView& view, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// A middle drag through the given offsets from `start`, one mouse move each.
void Pan(CMyvorla_ltView& view, QPoint start, const QList<QPoint>& steps)
{
    Send(view, QEvent::MouseButtonPress, Qt::MiddleButton, start);
    for (QPoint step : steps) Send(view, QEvent::MouseMove, Qt::MiddleButton, start + step);
    Send(view, QEvent::MouseButtonRelease, Qt::MiddleButton, start + steps.last());
}

}  // namespace

class CNavigationTest : public QObject {
    Q_OBJECT
private slots:
    void dragOnABigModelDrawsReducedThenWholeAndPickingHits();
};

void CNavigationTest::dragOnABigModelDrawsReducedThenWholeAndPickingHits()
{
    CStartedProgram program;
    CMyvorla_ltView& view = program.View();
    MakeBigModel(program.Host().Doc());
    g_camOffset[2] = -30000;  // closer than at start, so that the smallest face shows
    view.ModelChanged();
    const CShape& target = program.Host().Doc().m_shapeList[0];
    const QImage whole = program.Grab();
    QVERIFY(RedNear(whole, ScreenOfNow(view, target.m_vertex[0])));

    // Away and back: the camera is where it was, but it has just moved.
    const QPoint start(view.width() / 2, view.height() / 2);
    Pan(view, start, {{10, 0}, {30, 5}, {15, 10}, {0, 0}});
    QVERIFY(view.IsNavigating());
    const QImage reduced = program.Grab();
    QVERIFY2(reduced != whole && BackgroundPixels(reduced) > BackgroundPixels(whole),
             qPrintable(QStringLiteral("share drawn %1").arg(view.LastFrameShare())));
    QVERIFY2(!RedNear(reduced, ScreenOfNow(view, target.m_vertex[0])), "the smallest face is left out");

    // Left alone, the view draws everything again by itself, exactly as before the drag.
    bool wholeShown = false;
    const auto connection = connect(&view, &QOpenGLWidget::frameSwapped, this,
                                    [&] { wholeShown = wholeShown || view.LastFrameShare() == 1.0; });
    QTRY_VERIFY_WITH_TIMEOUT(wholeShown, 30000);
    disconnect(connection);
    QVERIFY(!view.IsNavigating());
    QVERIFY(program.Grab() == whole);
    // What is printed is the whole picture, also right after a camera step.
    Pan(view, start, {{-20, 0}, {0, 0}});
    QVERIFY(view.GrabWholePicture() == whole);

    // Panned away for good: a click on the target's first corner in the reduced picture
    // selects it, and nothing else, although the picture does not show it.
    Pan(view, start, {{12, 0}, {25, -8}});
    const QImage moved = program.Grab();
    const QPoint corner = ScreenOfNow(view, target.m_vertex[0]);
    QVERIFY(!RedNear(moved, corner));
    Send(view, QEvent::MouseButtonPress, Qt::LeftButton, corner);
    Send(view, QEvent::MouseButtonRelease, Qt::LeftButton, corner);
    const CShapeList& shapes = program.Host().Doc().m_shapeList;
    QCOMPARE(target.m_selected, 1);
    QCOMPARE(std::count_if(shapes.begin(), shapes.end(), [](const CShape& s) { return s.m_selected != 0; }), 1L);
    QTRY_VERIFY_WITH_TIMEOUT(!view.IsNavigating(), 30000);
    QVERIFY(RedNear(program.Grab(), corner));
}

VORLA_GUI_TEST_MAIN(CNavigationTest)
#include "NavigationTest.moc"
