// Fit to view as a user meets it: a model opened far from the camera keeps the camera and gets
// the status-bar hint; Home then fills the view with it in each camera mode.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "model/FileAccess.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "view/CameraState.h"
#include "view/FitHint.h"

#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cmath>

namespace {

// A red box of 40000 × 8000 × 12000 far off to one side of the origin, saved as a model file.
void SaveFarBox(const QString& path)
{
    AddLayer("Red");
    g_layerAttr[FindLayer("Red")][kGreen] = 0.0;
    g_layerAttr[FindLayer("Red")][kBlue] = 0.0;
    const float lo[3] = {300000, 0, -160000}, hi[3] = {340000, 8000, -148000};
    static const int kSides[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    CShapeList shapes;
    for (const auto& side : kSides) {
        CShape face;
        face.m_kind = CShape::kFace;
        face.m_layer = "Red";
        for (int k = 0; k < 4; ++k)
            for (int a = 0; a < 3; ++a) face.m_vertex[k][a] = (side[k] >> a) & 1 ? hi[a] : lo[a];
        // The normal follows the corners' winding, as lighting from both sides expects.
        const auto* v = face.m_vertex;
        const float e1[3] = {v[1][0] - v[0][0], v[1][1] - v[0][1], v[1][2] - v[0][2]};
        const float e2[3] = {v[2][0] - v[0][0], v[2][1] - v[0][1], v[2][2] - v[0][2]};
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (auto& normal : face.m_normal)
            for (int a = 0; a < 3; ++a) normal[a] = n[a] / length;
        shapes.push_back(face);
    }
    std::string error;
    QVERIFY(WriteFileAtomically(path.toStdString(), [&](CByteSink& s) { return WriteModelFile(s, shapes); }, error));
}

// The smallest rectangle holding every reddish pixel of the picture.
QRect RedArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > qGreen(p) + 30 && qRed(p) > qBlue(p) + 30) area |= QRect(x, y, 1, 1);
        }
    return area;
}

}  // namespace

class CFitToViewTest : public QObject {
    Q_OBJECT
private slots:
    void homeFillsTheViewInEachMode_data();
    void homeFillsTheViewInEachMode();
};

void CFitToViewTest::homeFillsTheViewInEachMode_data()
{
    QTest::addColumn<bool>("walkThrough");
    QTest::addColumn<bool>("parallel");
    QTest::newRow("orbit, perspective") << false << false;
    QTest::newRow("walk-through, perspective") << true << false;
    QTest::newRow("orbit, parallel") << false << true;
    QTest::newRow("walk-through, parallel") << true << true;
}

void CFitToViewTest::homeFillsTheViewInEachMode()
{
    QFETCH(bool, walkThrough);
    QFETCH(bool, parallel);
    CScriptedPrompts prompts;
    CStartedProgram program;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("far.vrl"));
    SaveFarBox(path);
    auto* hint = program.Frame().statusBar()->findChild<QLabel*>(QStringLiteral("fitHint"));
    QVERIFY(hint);
    QVERIFY(hint->isHidden());

    // Opening keeps the camera; nothing of the model is in view, and the status bar says so.
    prompts.m_files << path;
    program.Frame().Action(ID_FILE_OPEN)->trigger();
    QCOMPARE(g_camOffset[2], kDefaultCamOffsetZ);
    QTRY_VERIFY(hint->isVisible());
    QCOMPARE(hint->text(), QString::fromUtf8("全体表示 (Home) でモデル全体を表示します"));
    QVERIFY(RedArea(program.Grab()).isEmpty());

    if (walkThrough) program.Frame().Action(ID_VIEW_WALKTHROUGH)->trigger();
    if (parallel) program.Frame().Action(ID_VIEW_PARALLEL)->trigger();
    program.Frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program.Frame()));
    QTest::keyClick(&program.View(), Qt::Key_Home);
    QCOMPARE(g_pitch, kDefaultPitch);
    QCOMPARE(g_yaw, kDefaultYaw);
    QTRY_VERIFY(hint->isHidden());

    // The whole box is in the picture and reaches the edge of the view along one axis.
    const QImage image = program.Grab();
    const QRect red = RedArea(image);
    QVERIFY2(!red.isEmpty(), "the model is in view");
    QVERIFY(red.left() > 0 && red.top() > 0 && red.right() < image.width() - 1 && red.bottom() < image.height() - 1);
    const double fill = std::max(double(red.width()) / image.width(), double(red.height()) / image.height());
    QVERIFY2(fill > 0.9, qPrintable(QString::number(fill)));
}

VORLA_GUI_TEST_MAIN(CFitToViewTest)
#include "FitToViewTest.moc"
