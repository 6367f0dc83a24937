// What the view shows, read from grabbed frames: background, grid, layer colours, hidden
// layers, selection outlines; and the matrices a frame leaves for picking.
#include "GuiTestSupport.h"

#include "model/LayerTable.h"
#include "view/Camera.h"
#include "view/GluMath.h"
#include "view/CameraState.h"

namespace {

// Adds a horizontal square (display frame, y = height) of half-size `half` around (cx, cz).
void AddSquare(CMyvorla_ltDoc& doc, const char* layer, float cx, float cz, float half, float height = 0)
{
    CShape& s = doc.m_curShape;
    s.m_kind = 3;
    s.m_layer = layer;
    const float corners[4][3] = {{cx - half, height, cz + half}, {cx + half, height, cz + half},
                                 {cx + half, height, cz - half}, {cx - half, height, cz - half}};
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = corners[k][a];
            s.m_normal[k][a] = a == 1 ? 1.0f : 0.0f;
        }
    doc.AddShape();
}

void AddLayerColored(const char* name, double r, double g, double b)
{
    AddLayer(name);
    const int i = FindLayer(name);
    g_layerAttr[i][kRed] = r;
    g_layerAttr[i][kGreen] = g;
    g_layerAttr[i][kBlue] = b;
}

// Window position (top-left origin) of a world point through the last frame's matrices.
QPoint ScreenOf(double x, double y, double z)
{
    double window[3];
    ProjectPoint(x, y, z, g_modelview, g_projection, g_viewport, window);
    return QPoint(int(window[0]), int(g_viewport[3] - window[1]));
}

// Expected colour of a face lit head-on: global and light ambient on the 0.2 material
// ambient, plus the diffuse colour scaled by the angle to the viewer.
int Lit(double diffuse, double cosine) { return int(std::lround(std::min(1.0, 0.18 + diffuse * cosine) * 255)); }

}  // namespace

class CViewPixelTest : public QObject {
    Q_OBJECT
private slots:
    void emptyModelShowsBackgroundAndGrid();
    void facesInLayerColoursHiddenLayersAbsent();
    void selectedFaceHasAMagentaOutlineAlsoInWireframe();
    void selectionShowsOnEdgesSharedWithOtherFaces_data();
    void selectionShowsOnEdgesSharedWithOtherFaces();
    void readBackMatricesAreTheCameraTransform();
};

void CViewPixelTest::emptyModelShowsBackgroundAndGrid()
{
    CStartedProgram program;
    const QImage image = program.Grab();
    QVERIFY(Near(image.pixel(2, 2), 0, 77, 77, 1));  // clear colour (0, 0.3, 0.3)
    // The grid line x = 0 runs through the origin, which the default camera looks at.
    const QPoint origin = ScreenOf(0, 0, 20000);
    QVERIFY(Near(image.pixel(origin), 128, 128, 128, 2));

    g_showGrid = 0;
    const QImage noGrid = program.Grab();
    QVERIFY(Near(noGrid.pixel(origin), 0, 77, 77, 1));
}

void CViewPixelTest::facesInLayerColoursHiddenLayersAbsent()
{
    CStartedProgram program;
    AddLayerColored("Red", 1, 0, 0);
    AddLayerColored("Hidden", 0, 0, 1);
    AddLayerColored("Glass", 0, 1, 0);
    g_layerAttr[FindLayer("Hidden")][kVisible] = 0.0;
    g_layerAttr[FindLayer("Glass")][kTransparency] = 1.0;
    CMyvorla_ltDoc& doc = program.Host().Doc();
    AddSquare(doc, "Red", -15000, 0, 5000, 10);
    AddSquare(doc, "Hidden", 0, 0, 5000, 10);
    AddSquare(doc, "Glass", 15000, 0, 5000, 10);
    program.View().ModelChanged();
    QImage image = program.Grab();

    // The squares face up; the light shines along the view direction, 45 degrees down.
    const double cosine = std::cos(45.0 * M_PI / 180.0);
    const QPoint red = ScreenOf(-15000, 10, 0), hidden = ScreenOf(0, 10, 1000), glass = ScreenOf(15000, 10, 0);
    QVERIFY2(Near(image.pixel(red), Lit(1, cosine), Lit(0, cosine), Lit(0, cosine), 4),
             qPrintable(QColor(image.pixel(red)).name()));
    QVERIFY2(Near(image.pixel(glass), Lit(0, cosine), Lit(1, cosine), Lit(0, cosine), 4),
             qPrintable(QColor(image.pixel(glass)).name()));
    QVERIFY(Near(image.pixel(hidden), 0, 77, 77, 1) || Near(image.pixel(hidden), 128, 128, 128, 2));

    g_layerAttr[FindLayer("Hidden")][kVisible] = 1.0;
    program.View().LayersChanged();
    image = program.Grab();
    QVERIFY(Near(image.pixel(hidden), Lit(0, cosine), Lit(0, cosine), Lit(1, cosine), 4));
}

void CViewPixelTest::selectedFaceHasAMagentaOutlineAlsoInWireframe()
{
    CStartedProgram program;
    AddLayerColored("Red", 1, 0, 0);
    AddSquare(program.Host().Doc(), "Red", 0, 0, 10000, 10);
    program.Host().Doc().m_shapeList[0].m_selected = 1;
    program.View().ModelChanged();
    QImage image = program.Grab();
    const QPoint edge = ScreenOf(0, 10, 10000);  // middle of the near edge
    bool magenta = false;
    for (int dy = -2; dy <= 2; ++dy) magenta |= Near(image.pixel(edge + QPoint(0, dy)), 255, 0, 255, 2);
    QVERIFY(magenta);

    g_shaded = 0;
    program.View().SelectionChanged();
    image = program.Grab();
    magenta = false;
    for (int dy = -2; dy <= 2; ++dy) magenta |= Near(image.pixel(edge + QPoint(0, dy)), 255, 0, 255, 2);
    QVERIFY(magenta);
    // In wireframe the inside of the face shows the background.
    QVERIFY(Near(image.pixel(ScreenOf(2500, 10, 2500)), 0, 77, 77, 1));
}

void CViewPixelTest::selectionShowsOnEdgesSharedWithOtherFaces_data()
{
    QTest::addColumn<bool>("wireframe");
    QTest::newRow("shaded") << false;
    QTest::newRow("wireframe") << true;
}

// A selected face among others lost its magenta outline where it shares edges: in wireframe the
// neighbours' white outlines, drawn first, won the depth test; shaded, the neighbouring faces,
// rasterised a rounding nearer than the line, covered stretches of it once the camera stood
// back as far as a whole model needs.
void CViewPixelTest::selectionShowsOnEdgesSharedWithOtherFaces()
{
    QFETCH(bool, wireframe);
    const float kHeight = 300000;  // a model far above the ground, fitted to the view
    CStartedProgram program;
    g_showGrid = 0;
    AddLayerColored("A", 1, 0, 0);
    CMyvorla_ltDoc& doc = program.Host().Doc();
    for (int i = -2; i <= 2; ++i)
        for (int j = -2; j <= 2; ++j) AddSquare(doc, "A", i * 10000.0f, j * 10000.0f, 5000, kHeight);
    doc.m_shapeList[12].m_selected = 1;  // the middle one: every edge is shared
    if (wireframe) program.View().OnWireframe();
    program.View().OnFitToView();
    program.View().ModelChanged();
    const QImage image = program.Grab();
    const auto colourNear = [&image](QPoint at, int r, int g, int b) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (Near(image.pixel(at + QPoint(dx, dy)), r, g, b, 2)) return true;
        return false;
    };
    const double corners[5][2] = {{-5000, -5000}, {5000, -5000}, {5000, 5000}, {-5000, 5000}, {-5000, -5000}};
    for (int edge = 0; edge < 4; ++edge)
        for (int step = 1; step < 20; ++step) {
            const double t = step / 20.0;
            const double x = corners[edge][0] + t * (corners[edge + 1][0] - corners[edge][0]);
            const double z = corners[edge][1] + t * (corners[edge + 1][1] - corners[edge][1]);
            QVERIFY2(colourNear(ScreenOf(x, kHeight, z), 255, 0, 255), qPrintable(QStringLiteral("edge %1 at %2").arg(edge).arg(t)));
        }
    if (wireframe) QVERIFY(colourNear(ScreenOf(15000, kHeight, 0), 255, 255, 255));  // others stay white
}

void CViewPixelTest::readBackMatricesAreTheCameraTransform()
{
    CStartedProgram program;
    for (int walk = 0; walk < 2; ++walk) {
        if (walk) program.View().OnWalkThrough();
        program.Grab();
        double expected[16];
        ComputeCameraModelview(expected);
        for (int i = 0; i < 16; ++i) QVERIFY(std::abs(g_modelview[i] - expected[i]) <= 1e-3 * (1 + std::abs(expected[i])));
        QCOMPARE(g_viewport[2], program.View().width());
        QCOMPARE(g_viewport[3], program.View().height());
        QCOMPARE(g_winWidth, double(program.View().width()));
        QCOMPARE(g_aspect, double(program.View().width()) / program.View().height());
        QCOMPARE(g_drawFovy, 30.0);
    }
}

VORLA_GUI_TEST_MAIN(CViewPixelTest)
#include "ViewPixelTest.moc"
