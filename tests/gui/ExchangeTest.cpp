// DXF import and DXF / POV-Ray export from the menus: the questions, messages, status-bar
// summary and files a user gets.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "model/LayerTable.h"

#include <QApplication>
#include <QFile>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTemporaryDir>

namespace {

// A 3DFACE on layer "Walls", a POLYLINE that makes nothing, and a face with a 1-unit first edge.
const char kDrawing[] =
    "0\nSECTION\n2\nENTITIES\n"
    "0\n3DFACE\n8\nWalls\n10\n0\n20\n0\n30\n0\n11\n100\n21\n0\n31\n0\n12\n100\n22\n100\n32\n0\n13\n0\n23\n100\n33\n0\n"
    "0\nPOLYLINE\n8\nWalls\n"
    "0\n3DFACE\n8\nTiny\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n1\n22\n1\n32\n0\n13\n0\n23\n1\n33\n0\n"
    "0\nENDSEC\n0\nEOF\n";

// In metres: a polyface square of 20 m on the red layer "Roof" of the LAYER table, and a block
// placed on the layer "Hidden", which the table switches off (blue).
const char kFullDrawing[] =
    "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n6\n0\nENDSEC\n"
    "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n0\nLAYER\n2\nRoof\n62\n1\n70\n0\n"
    "0\nLAYER\n2\nHidden\n62\n-5\n70\n0\n0\nENDTAB\n0\nENDSEC\n"
    "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nTile\n10\n0\n20\n0\n30\n0\n"
    "0\n3DFACE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n8\n21\n0\n31\n0\n12\n8\n22\n8\n32\n0\n13\n0\n23\n8\n33\n0\n"
    "0\nENDBLK\n0\nENDSEC\n"
    "0\nSECTION\n2\nENTITIES\n"
    "0\nPOLYLINE\n8\nRoof\n66\n1\n70\n64\n71\n4\n72\n2\n"
    "0\nVERTEX\n8\nRoof\n10\n-10\n20\n-10\n30\n0\n70\n192\n0\nVERTEX\n8\nRoof\n10\n10\n20\n-10\n30\n0\n70\n192\n"
    "0\nVERTEX\n8\nRoof\n10\n10\n20\n10\n30\n0\n70\n192\n0\nVERTEX\n8\nRoof\n10\n-10\n20\n10\n30\n0\n70\n192\n"
    "0\nVERTEX\n8\nRoof\n70\n128\n71\n1\n72\n2\n73\n3\n0\nVERTEX\n8\nRoof\n70\n128\n71\n1\n72\n3\n73\n4\n"
    "0\nSEQEND\n0\nINSERT\n8\nHidden\n2\nTile\n10\n20\n20\n-4\n30\n0\n"
    "0\nENDSEC\n0\nEOF\n";

// Pixels of the frame mostly of one primary colour.
int PixelsOf(const QImage& image, int channel)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int v[3] = {c.red(), c.green(), c.blue()};
            if (v[channel] > 60 && v[channel] > 3 * v[(channel + 1) % 3] && v[channel] > 3 * v[(channel + 2) % 3]) ++count;
        }
    return count;
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

}  // namespace

class CExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void importReplacesTheModelAndSaysWhatWasRead();
    void importAsksToSaveAndCancelKeepsTheModel();
    void importOfAFileThatCannotBeOpened();
    void largeImportLeavesNoProgressWindowBehind();
    void fullImportShowsMeshesAndBlocksInTheirLayersColours();
    void exportChecksTheExtensionAndReports();
    void exportThatCannotBeWrittenSaysWhyAndLeavesNoFile();

private:
    QTemporaryDir m_dir;
};

void CExchangeTest::importReplacesTheModelAndSaysWhatWasRead()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    AddLayer("Old");
    const QString dxf = WriteFile(m_dir, "walls.dxf", kDrawing);
    prompts.m_files.enqueue(dxf);
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    const CShapeList& shapes = program.Host().Doc().m_shapeList;
    QCOMPARE(shapes.size(), size_t(1));
    QCOMPARE(g_layerCount, 1);
    QCOMPARE(g_layerName[0], std::string("Walls"));
    // Centred on the origin in plan: x from -50 to 50.
    QCOMPARE(shapes[0].m_vertex[0][0], -50.0f);
    QCOMPARE(program.Frame().windowTitle(), QString::fromUtf8("無題 - Vorla_DORAZ"));
    QVERIFY(program.Host().Doc().IsModified());
    const QString status = program.Frame().statusBar()->currentMessage();
    QVERIFY2(status.contains(QString::fromUtf8("1 面を読み込みました")), qPrintable(status));
    QVERIFY2(status.contains(QString::fromUtf8("最初の辺が 1.0 以下 1 面")), qPrintable(status));
    QVERIFY2(status.contains(QStringLiteral("POLYLINE 1")), qPrintable(status));
}

// A file of several megabytes: read with the worker thread when a core is free, with the
// progress reported to the dialog from the caller's thread. The whole model arrives, the view
// draws again and no progress window is left open.
void CExchangeTest::largeImportLeavesNoProgressWindowBehind()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    constexpr int kFaces = 50000;
    QByteArray text = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < kFaces; ++i) {
        const QByteArray x = QByteArray::number(i % 250 * 200), y = QByteArray::number(i / 250 * 200);
        const QByteArray x1 = QByteArray::number(i % 250 * 200 + 150), y1 = QByteArray::number(i / 250 * 200 + 150);
        text += "0\n3DFACE\n8\nLayer" + QByteArray::number(i % 7) + "\n10\n" + x + "\n20\n" + y + "\n30\n0.000000\n11\n" +
                x1 + "\n21\n" + y + "\n31\n0.000000\n12\n" + x1 + "\n22\n" + y1 + "\n32\n0.000000\n13\n" + x +
                "\n23\n" + y1 + "\n33\n0.000000\n";
    }
    text += "0\nENDSEC\n0\nEOF\n";
    QVERIFY(text.size() > (4 << 20));
    prompts.m_files.enqueue(WriteFile(m_dir, "large.dxf", text));
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    const CShapeList& shapes = program.Host().Doc().m_shapeList;
    QCOMPARE(shapes.size(), size_t(kFaces));
    QCOMPARE(g_layerCount, 7);
    // The plan's box runs from 0 to 49,950 across and 0 to 39,950 deep; centred on the origin.
    QCOMPARE(shapes[0].m_vertex[0][0], -24975.0f);
    QCOMPARE(shapes.back().m_layer, std::string("Layer") + std::to_string((kFaces - 1) % 7));
    QVERIFY(program.View().updatesEnabled());
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(!(qobject_cast<QProgressDialog*>(widget) && widget->isVisible()), "a progress window stayed open");
    const QString status = program.Frame().statusBar()->currentMessage();
    QVERIFY2(status.contains(QString::fromUtf8("50000 面を読み込みました")), qPrintable(status));
}

// ﾌｧｲﾙ > 読み込み > DXF（全要素）: the polyface mesh and the placed block arrive, scaled from
// metres; the view shows the roof in its layer's red and nothing of the layer that is off; the
// status bar says what was made. The default import of the same file names the full import.
void CExchangeTest::fullImportShowsMeshesAndBlocksInTheirLayersColours()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    const QString dxf = WriteFile(m_dir, "roof.dxf", kFullDrawing);
    QCOMPARE(program.Frame().Action(ID_IMPORT_DXF_FULL)->text(), QString::fromUtf8("DXF（全要素）(&A)..."));
    prompts.m_files.enqueue(dxf);
    program.Frame().Action(ID_IMPORT_DXF_FULL)->trigger();
    QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    QCOMPARE(program.Frame().windowTitle(), QString::fromUtf8("無題 - Vorla_DORAZ"));
    const QString status = program.Frame().statusBar()->currentMessage();
    for (const char* part : {"DXF（全要素）: 3 面を読み込みました（2 画層）", "ポリフェース メッシュ 2", "INSERT による 1 面",
                             "単位: メートル（×1000 で mm に）"})
        QVERIFY2(status.contains(QString::fromUtf8(part)), qPrintable(status));
    const QImage frame = program.Grab();
    QVERIFY2(PixelsOf(frame, 0) > 1000, "the roof is not shown in red");
    QCOMPARE(PixelsOf(frame, 2), 0);

    prompts.m_files.enqueue(dxf);
    prompts.m_buttons.enqueue(QMessageBox::No);
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    const QString hint = program.Frame().statusBar()->currentMessage();
    QVERIFY2(hint.contains(QString::fromUtf8("DXF（全要素）なら 3 面を読み込めます")), qPrintable(hint));
}

void CExchangeTest::importAsksToSaveAndCancelKeepsTheModel()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    program.Host().Doc().AddShape();
    prompts.m_files.enqueue(WriteFile(m_dir, "walls.dxf", kDrawing));
    prompts.m_buttons.enqueue(QMessageBox::Cancel);
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    QCOMPARE(prompts.m_shown.value(0), QString::fromUtf8("Vorla_DORAZ|無題 への変更を保存しますか？"));
    QCOMPARE(program.Host().Doc().m_shapeList.size(), size_t(1));

    // Yes, then the save is cancelled: the unsaved model is not replaced either.
    prompts.m_files.enqueue(WriteFile(m_dir, "walls.dxf", kDrawing));
    prompts.m_buttons.enqueue(QMessageBox::Yes);
    prompts.m_files.enqueue(QString());
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    QCOMPARE(program.Host().Doc().m_shapeList.size(), size_t(1));
    QCOMPARE(program.Host().Doc().m_shapeList[0].m_layer, std::string());
}

void CExchangeTest::importOfAFileThatCannotBeOpened()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    prompts.m_files.enqueue(m_dir.filePath(QStringLiteral("missing.dxf")));
    program.Frame().Action(ID_IMPORT_DXF)->trigger();
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].startsWith(QString::fromUtf8("ワーニング|") + m_dir.filePath(QStringLiteral("missing.dxf")) +
                                          QString::fromUtf8(" が開けません")));
}

void CExchangeTest::exportChecksTheExtensionAndReports()
{
    CScriptedPrompts prompts;
    CStartedProgram program({QStringLiteral("vorla"), QStringLiteral(VORLA_EXAMPLES "/boxes.vrl")});
    QVERIFY(program.ok);
    program.Grab();

    prompts.m_files.enqueue(m_dir.filePath(QStringLiteral("out.Dxf")));
    program.Frame().Action(ID_EXPORT_DXF)->trigger();
    QCOMPARE(prompts.m_shown.takeFirst(), QString::fromUtf8("ワーニング|ファイル拡張子が不正です"));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out.Dxf"))));

    const QString dxf = m_dir.filePath(QStringLiteral("out.dxf"));
    prompts.m_files.enqueue(dxf);
    program.Frame().Action(ID_EXPORT_DXF)->trigger();
    QCOMPARE(prompts.m_shown.takeFirst(), QString::fromUtf8("ＤＸＦ|DXFデータの書き込みが完了しました"));
    QFile written(dxf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("999\nCreated by vorla_lt\n0\nSECTION\n"));

    const QString pov = m_dir.filePath(QStringLiteral("scene.pov"));
    prompts.m_files.enqueue(pov);
    program.Frame().Action(ID_EXPORT_POV)->trigger();
    QCOMPARE(prompts.m_shown.takeFirst(), QString::fromUtf8("ＰＯＶ|POVデータの書き込みが完了しました"));
    QFile scene(pov);
    QVERIFY(scene.open(QIODevice::ReadOnly));
    QVERIFY(scene.readAll().startsWith("//Created by Vorla_DORAZ\n"));

    prompts.m_files.enqueue(m_dir.filePath(QStringLiteral("scene.txt")));
    program.Frame().Action(ID_EXPORT_POV)->trigger();
    QCOMPARE(prompts.m_shown.takeFirst(), QString::fromUtf8("ワーニング|ファイル拡張子が不正です"));
    QVERIFY(!program.Host().Doc().IsModified());
}

void CExchangeTest::exportThatCannotBeWrittenSaysWhyAndLeavesNoFile()
{
    CScriptedPrompts prompts;
    CStartedProgram program({QStringLiteral("vorla"), QStringLiteral(VORLA_EXAMPLES "/boxes.vrl")});
    const QString target = m_dir.filePath(QStringLiteral("no-such-folder/out.dxf"));
    prompts.m_files.enqueue(target);
    program.Frame().Action(ID_EXPORT_DXF)->trigger();
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].startsWith(QString::fromUtf8("ワーニング|") + target + QString::fromUtf8(" に書き込めません")));
    QVERIFY(!prompts.m_shown[0].contains(QString::fromUtf8("完了")));
}

VORLA_GUI_TEST_MAIN(CExchangeTest)
#include "ExchangeTest.moc"
