// The layers dialog as a user works it: rows and marks, clicks that show and hide at once, the
// double-click that opens the colour and material dialog, and the view after it closes.
#include "DialogTestSupport.h"
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "dialogs/LayerDlg.h"
#include "model/LayerTable.h"
#include "model/MaterialSettings.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <QHeaderView>

namespace {

// Dark pixels inside the box of a row's check mark: none for an empty box, some for a tick.
int TickPixels(QTreeWidgetItem* item)
{
    const QImage image = item->icon(0).pixmap(16, 16).toImage();
    int dark = 0;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            if (qGray(image.pixel(x, y)) < 128 && qAlpha(image.pixel(x, y)) > 128) ++dark;
    return dark;
}

bool Ticked(QTreeWidget* list, int row) { return TickPixels(list->topLevelItem(row)) > 0; }

void AddLayerVisible(const std::string& name, double visible)
{
    AddLayer(name);
    g_layerAttr[FindLayer(name)][kVisible] = visible;
}

// A shown dialog over the layer table as it stands.
struct CShownLayerDlg {
    CShownLayerDlg()
    {
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
    }
    QTreeWidget* List() { return dialog.List(); }
    QWidget* Rows() { return dialog.List()->viewport(); }
    CLayerDlg dialog;
};

// A horizontal square on `layer` around (cx, 10, 0), facing up.
void AddSquare(CMyvorla_ltDoc& doc, const char* layer, float cx, float half)
{
    CShape& s = doc.m_curShape;
    s.m_kind = 3;
    s.m_layer = layer;
    const float corners[4][3] = {{cx - half, 10, half}, {cx + half, 10, half}, {cx + half, 10, -half}, {cx - half, 10, -half}};
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) {
            s.m_vertex[k][a] = corners[k][a];
            s.m_normal[k][a] = a == 1 ? 1.0f : 0.0f;
        }
    doc.AddShape();
}

QPoint ScreenOf(double x, double y, double z)
{
    double window[3];
    ProjectPoint(x, y, z, g_modelview, g_projection, g_viewport, window);
    return QPoint(int(window[0]), int(g_viewport[3] - window[1]));
}

bool IsBackground(QRgb pixel) { return Near(pixel, 0, 77, 77, 1) || Near(pixel, 128, 128, 128, 2); }

}  // namespace

class CLayerDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetGlobals(); }
    void rowsShowEveryLayerWithItsMark();
    void clicksShowAndHideAtOnce();
    void theWholeRowTakesTheClick();
    void doubleClickOpensTheMaterialDialogAndKeepsVisibility();
    void otherButtonsDoNothing();
    void cancelKeepsTogglesAndTheViewRedraws();
    void coloursConfirmedInsideShowAfterOk();
};

void CLayerDlgTest::rowsShowEveryLayerWithItsMark()
{
    const std::string longName(300, 'L');
    AddLayerVisible("壁", 1.0);
    AddLayerVisible("\x95\xc7\x82\x50", 0.0);  // Shift-JIS "壁１" from an old file
    AddLayerVisible(longName, 1.0);
    AddLayerVisible("stray", 2.0);  // only a damaged file holds such a value
    CShownLayerDlg shown;
    QCOMPARE(shown.dialog.windowTitle(), QString::fromUtf8("画　　層"));
    QVERIFY(Button(&shown.dialog, "OK"));
    QVERIFY(Button(&shown.dialog, "ｷｬﾝｾﾙ"));
    QTreeWidget* list = shown.List();
    QVERIFY(list->isHeaderHidden());
    QCOMPARE(list->headerItem()->text(0), QString::fromUtf8("画　　層"));
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(list->topLevelItem(0)->text(0), QString::fromUtf8("壁"));
    QCOMPARE(list->topLevelItem(1)->text(0), QString::fromUtf8("壁１"));
    QCOMPARE(list->topLevelItem(2)->text(0), QString::fromStdString(longName));
    // The whole long name fits its column; the list scrolls sideways instead of cutting it.
    QVERIFY(list->header()->sectionSize(0) >= list->fontMetrics().horizontalAdvance(QString::fromStdString(longName)));
    QVERIFY(Ticked(list, 0));
    QVERIFY(!Ticked(list, 1));
    QVERIFY(Ticked(list, 2));
    QVERIFY(!Ticked(list, 3));
    // Both marks are boxes drawn by the program, not blanks.
    QCOMPARE(CLayerDlg::CheckIcon(1).pixmap(16, 16).toImage().pixelColor(8, 3).alpha(), 255);
    QCOMPARE(CLayerDlg::CheckIcon(0).pixmap(16, 16).toImage().pixelColor(8, 3).alpha(), 255);
    QCOMPARE(CLayerDlg::CheckIcon(2).pixmap(16, 16).toImage().pixelColor(8, 3).alpha(), 0);
}

void CLayerDlgTest::clicksShowAndHideAtOnce()
{
    AddLayerVisible("A", 1.0);
    AddLayerVisible("B", 0.5);
    CShownLayerDlg shown;
    QTreeWidget* list = shown.List();

    QTest::mouseClick(shown.Rows(), Qt::LeftButton, {}, RowCentre(list, 0));
    QCOMPARE(g_layerAttr[0][kVisible], 0.0);
    QVERIFY(!Ticked(list, 0));
    QTest::mouseClick(shown.Rows(), Qt::LeftButton, {}, RowCentre(list, 0));
    QCOMPARE(g_layerAttr[0][kVisible], 1.0);
    QVERIFY(Ticked(list, 0));

    // A stray value counts as shown and becomes hidden at the first click.
    QTest::mouseClick(shown.Rows(), Qt::LeftButton, {}, RowCentre(list, 1));
    QCOMPARE(g_layerAttr[1][kVisible], 0.0);
    QCOMPARE(g_layerAttr[0][kVisible], 1.0);

    // Below the last row nothing happens.
    const QPoint empty(10, shown.Rows()->height() - 5);
    QVERIFY(!list->itemAt(empty));
    QTest::mouseClick(shown.Rows(), Qt::LeftButton, {}, empty);
    DoubleClick(shown.Rows(), empty);
    QCOMPARE(g_layerAttr[0][kVisible], 1.0);
    QCOMPARE(g_layerAttr[1][kVisible], 0.0);
    QVERIFY(shown.dialog.isVisible());
}

// Only the name's text took a click; beside a short name the row did nothing.
void CLayerDlgTest::theWholeRowTakesTheClick()
{
    AddLayerVisible("A", 1.0);
    AddLayerVisible("B", 1.0);
    CShownLayerDlg shown;
    QTreeWidget* list = shown.List();
    const QPoint besideTheName(shown.Rows()->width() - 4, RowCentre(list, 0).y());
    QTest::mouseClick(shown.Rows(), Qt::LeftButton, {}, besideTheName);
    QCOMPARE(g_layerAttr[0][kVisible], 0.0);
    QVERIFY(!Ticked(list, 0));

    bool opened = false;
    WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* material) { material->reject(); }, &opened);
    DoubleClick(shown.Rows(), QPoint(shown.Rows()->width() - 4, RowCentre(list, 1).y()));
    QVERIFY(opened);
    QCOMPARE(g_layerAttr[1][kVisible], 1.0);
}

void CLayerDlgTest::doubleClickOpensTheMaterialDialogAndKeepsVisibility()
{
    for (double visible : {1.0, 0.0}) {
        ResetGlobals();
        AddLayerVisible("A", 0.0);
        AddLayerVisible("B", visible);
        g_layerAttr[1][kTransparency] = 0.5;
        CShownLayerDlg shown;
        bool opened = false;
        WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* material) {
            auto* transparency = material->findChild<QAbstractSpinBox*>(QStringLiteral("transparency"));
            QVERIFY(transparency);
            QCOMPARE(transparency->text(), QStringLiteral("127"));  // layer B's, not A's
            material->reject();
        }, &opened);
        DoubleClick(shown.Rows(), RowCentre(shown.List(), 1));
        QVERIFY(opened);
        QCOMPARE(g_layerAttr[1][kVisible], visible);
        QCOMPARE(Ticked(shown.List(), 1), visible == 1.0);
        QCOMPARE(g_layerAttr[0][kVisible], 0.0);
    }
}

void CLayerDlgTest::otherButtonsDoNothing()
{
    AddLayerVisible("A", 1.0);
    CShownLayerDlg shown;
    bool opened = false;
    QTimer::singleShot(0, [&opened] { opened = QApplication::activeModalWidget() != nullptr; });
    QTest::mouseClick(shown.Rows(), Qt::RightButton, {}, RowCentre(shown.List(), 0));
    DoubleClick(shown.Rows(), RowCentre(shown.List(), 0), Qt::RightButton);
    DoubleClick(shown.Rows(), RowCentre(shown.List(), 0), Qt::MiddleButton);
    QTest::qWait(20);
    QVERIFY(!opened);
    QCOMPARE(g_layerAttr[0][kVisible], 1.0);
}

void CLayerDlgTest::cancelKeepsTogglesAndTheViewRedraws()
{
    CStartedProgram program;
    AddLayer("Left");
    AddLayer("Right");
    AddSquare(program.Host().Doc(), "Left", -15000, 5000);
    AddSquare(program.Host().Doc(), "Right", 15000, 5000);
    program.Host().Doc().SetModifiedFlag(false);
    program.View().ModelChanged();
    QImage image = program.Grab();
    const QPoint left = ScreenOf(-15000, 10, 0), right = ScreenOf(15000, 10, 0);
    QVERIFY(!IsBackground(image.pixel(left)));
    QVERIFY(!IsBackground(image.pixel(right)));

    WhenModalShows(QString::fromUtf8("画　　層"), [](QDialog* dialog) {
        auto* list = dialog->findChild<QTreeWidget*>();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 1));
        ClickButton(dialog, "ｷｬﾝｾﾙ");
    });
    program.Frame().Action(ID_VIEW_LAYERS)->trigger();
    QCOMPARE(g_layerAttr[1][kVisible], 0.0);
    QVERIFY(program.Host().Doc().IsModified());  // the layer table is saved with the model
    program.Host().Doc().SetModifiedFlag(false);
    image = program.Grab();
    QVERIFY(!IsBackground(image.pixel(left)));
    QVERIFY(IsBackground(image.pixel(right)));

    // Showing it again and closing with OK brings the face back.
    WhenModalShows(QString::fromUtf8("画　　層"), [](QDialog* dialog) {
        auto* list = dialog->findChild<QTreeWidget*>();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 1));
        ClickButton(dialog, "OK");
    });
    program.Frame().Action(ID_VIEW_LAYERS)->trigger();
    QCOMPARE(g_layerAttr[1][kVisible], 1.0);
    QVERIFY(!IsBackground(program.Grab().pixel(right)));
    QVERIFY(program.Host().Doc().IsModified());

    // Opening and closing without a change leaves the model unmodified.
    program.Host().Doc().SetModifiedFlag(false);
    WhenModalShows(QString::fromUtf8("画　　層"), [](QDialog* dialog) { ClickButton(dialog, "OK"); });
    program.Frame().Action(ID_VIEW_LAYERS)->trigger();
    QVERIFY(!program.Host().Doc().IsModified());
}

void CLayerDlgTest::coloursConfirmedInsideShowAfterOk()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    AddLayer("Only");
    AddSquare(program.Host().Doc(), "Only", 0, 10000);
    program.View().ModelChanged();
    const QPoint centre = ScreenOf(2500, 10, 2500);  // off the grid lines
    const QRgb white = program.Grab().pixel(centre);

    prompts.m_colors.enqueue(QColor(0, 0, 255));
    WhenModalShows(QString::fromUtf8("画　　層"), [](QDialog* dialog) {
        WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* material) {
            ClickButton(material, "色の設定");
            ClickButton(material, "OK");
        });
        auto* list = dialog->findChild<QTreeWidget*>();
        DoubleClick(list->viewport(), RowCentre(list, 0));
        ClickButton(dialog, "ｷｬﾝｾﾙ");
    });
    program.Frame().Action(ID_VIEW_LAYERS)->trigger();
    QCOMPARE(g_layerAttr[0][kBlue], 255 * kMaterialStep);
    QCOMPARE(g_layerAttr[0][kRed], 0.0);
    QCOMPARE(g_layerAttr[0][kVisible], 1.0);
    const QRgb blue = program.Grab().pixel(centre);
    QVERIFY2(qBlue(blue) > qRed(blue) + 100, qPrintable(QColor(white).name() + " " + QColor(blue).name()));
}

VORLA_GUI_TEST_MAIN(CLayerDlgTest)
#include "LayerDlgTest.moc"
