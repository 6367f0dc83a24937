// Edit > 元に戻す and やり直し on the real program: every kind of change goes back to the model
// exactly as it was and forward again, the menu names the step, the modified flag follows back
// to the saved state, and the history outlives a save but not the opening of another model.
#include "DialogTestSupport.h"
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "model/LayerTable.h"
#include "model/ModelFile.h"
#include "view/CameraState.h"
#include "view/GluMath.h"

#include <QTemporaryDir>

namespace {

enum class EChange { kCut, kMove, kInsert, kSphere, kImportDxf, kLayers, kMaterial, kRenderSettings };

// What a save would write: scene settings, layer table and every face.
std::string ModelState(const CMyvorla_ltDoc& doc)
{
    CStringSink sink;
    WriteModelFile(sink, doc.m_shapeList);
    return sink.m_bytes;
}

QPoint ScreenOf(const float p[3])
{
    double window[3];
    ProjectPoint(p[0], p[1], p[2], g_modelview, g_projection, g_viewport, window);
    return QPoint(int(std::lround(window[0])), int(std::lround(g_viewport[3] - window[1])));
}

void AddSquare(CMyvorla_ltDoc& doc, float cx, float half)
{
    CShape& s = doc.m_curShape;
    s.m_kind = 3;
    s.m_layer.assign(1, 'A');
    const float corners[4][3] = {{cx - half, 10.1f, half}, {cx + half, 10.1f, half}, {cx + half, 10.1f, -half}, {cx - half, 10.1f, -half}};
    for (int k = 0; k < 4; ++k)
        for (int a = 0; a < 3; ++a) s.m_vertex[k][a] = corners[k][a] + 0.3f;
    doc.AddShape();
}

// The program with two squares on layer "A", saved, so it starts unmodified with a name.
struct CSavedProgram : CStartedProgram {
    CSavedProgram(CScriptedPrompts& prompts, const QString& path)
    {
        AddLayer("A");
        AddSquare(Host().Doc(), -10000, 4000);
        AddSquare(Host().Doc(), 10000, 4000);
        View().ModelChanged();
        prompts.m_files.enqueue(path);
        Frame().Action(ID_FILE_SAVE_AS)->trigger();
        Grab();  // a frame, so clicks have matrices
    }
    QString UndoText() { return Frame().Action(ID_EDIT_UNDO)->text(); }
    // Shortcuts reach the view only in the active window, as the user's keys do.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Frame()));
        View().setFocus();
        QTest::keyClick(&View(), key, modifiers);
    }
    QString RedoText() { return Frame().Action(ID_EDIT_REDO)->text(); }
};

// The selection the change acts on; it is no step of its own, so it comes before the state that
// undo must give back. An insertion deselects it, and its undo selects it again.
void Prepare(EChange change, CSavedProgram& program)
{
    CMyvorla_ltDoc& doc = program.Host().Doc();
    if (change == EChange::kCut || change == EChange::kInsert) doc.m_shapeList[0].m_selected = 1;
    if (change == EChange::kMove) doc.m_shapeList[1].m_selected = 1;
    program.View().SelectionChanged();
}

// Makes the change as a user does.
void Change(EChange change, CSavedProgram& program, CScriptedPrompts& prompts)
{
    CMyvorla_ltView& view = program.View();
    const float from[3] = {0, 0, 0};
    const float to[3] = {1234.5f, 0, 20000};
    switch (change) {
    case EChange::kCut: program.Press(Qt::Key_Delete); break;
    case EChange::kMove:
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ScreenOf(from));
        QTest::mouseMove(&view, ScreenOf(to));
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ScreenOf(to));
        break;
    case EChange::kInsert:
        // The insertion and the click that places its faces are one step.
        prompts.m_files.enqueue(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
        program.Frame().Action(ID_INSERT_MODEL)->trigger();
        QTest::mouseMove(&view, ScreenOf(to));
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ScreenOf(to));
        break;
    case EChange::kSphere: program.Frame().Action(ID_CREATE_SPHERE)->trigger(); break;
    case EChange::kImportDxf:
        prompts.m_files.enqueue(QStringLiteral(VORLA_TEST_DATA "/dxf/faces.dxf"));
        program.Frame().Action(ID_IMPORT_DXF)->trigger();
        break;
    case EChange::kLayers:
        WhenModalShows(QString::fromUtf8("画　　層"), [](QDialog* dialog) {
            auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("layerList"));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCentre(list, 0));
            ClickButton(dialog, "OK");
        });
        program.Frame().Action(ID_VIEW_LAYERS)->trigger();
        break;
    case EChange::kMaterial:
        WhenModalShows(QString::fromUtf8("画　　層"), [](QDialog* dialog) {
            auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("layerList"));
            WhenModalShows(QString::fromUtf8("色，材質"), [](QDialog* material) {
                TypeInto(material->findChild<QWidget*>(QStringLiteral("transparency")), QStringLiteral("128"));
                ClickButton(material, "OK");
            });
            DoubleClick(list->viewport(), RowCentre(list, 0));
            ClickButton(dialog, "ｷｬﾝｾﾙ");
        });
        program.Frame().Action(ID_VIEW_LAYERS)->trigger();
        break;
    case EChange::kRenderSettings:
        WhenModalShows(QString::fromUtf8("ﾀﾞｲｱﾛｸﾞ"), [](QDialog* dialog) {
            TypeInto(dialog->findChild<QWidget*>(QStringLiteral("north")), QStringLiteral("90"));
            ClickButton(dialog, "OK");
        });
        program.Frame().Action(ID_RENDER_SETTINGS)->trigger();
        break;
    }
}

}  // namespace

Q_DECLARE_METATYPE(EChange)

class CUndoTest : public QObject {
    Q_OBJECT
private slots:
    void undoAndRedoGiveBackEachChangeExactly_data();
    void undoAndRedoGiveBackEachChangeExactly();
    void sixtyStepsGoBackThroughASaveAndOpeningEndsTheHistory();

private:
    QTemporaryDir m_dir;
};

void CUndoTest::undoAndRedoGiveBackEachChangeExactly_data()
{
    QTest::addColumn<EChange>("change");
    QTest::addColumn<QString>("step");
    QTest::newRow("cut") << EChange::kCut << QString::fromUtf8("切り取り");
    QTest::newRow("move") << EChange::kMove << QString::fromUtf8("移動");
    QTest::newRow("insert and place") << EChange::kInsert << QString::fromUtf8("挿入");
    QTest::newRow("sphere") << EChange::kSphere << QString::fromUtf8("球");
    QTest::newRow("DXF import") << EChange::kImportDxf << QString::fromUtf8("DXF 読み込み");
    QTest::newRow("layers dialog") << EChange::kLayers << QString::fromUtf8("画層");
    QTest::newRow("colour and material") << EChange::kMaterial << QString::fromUtf8("色，材質");
    QTest::newRow("render settings") << EChange::kRenderSettings << QString::fromUtf8("レンダリング設定");
}

void CUndoTest::undoAndRedoGiveBackEachChangeExactly()
{
    QFETCH(EChange, change);
    QFETCH(QString, step);
    CScriptedPrompts prompts;
    CSavedProgram program(prompts, m_dir.filePath(QStringLiteral("saved.vrl")));
    const CMyvorla_ltDoc& doc = program.Host().Doc();
    QVERIFY(!doc.IsModified());
    QCOMPARE(program.UndoText(), QString::fromUtf8("元に戻す(&U)"));
    QVERIFY(!program.Frame().Action(ID_EDIT_UNDO)->isEnabled());
    Prepare(change, program);
    const std::string before = ModelState(doc);
    const QString title = program.Frame().windowTitle();

    Change(change, program, prompts);
    QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    const std::string after = ModelState(doc);
    QVERIFY(after != before);
    QVERIFY(doc.IsModified());
    QCOMPARE(program.UndoText(), QString::fromUtf8("元に戻す: ") + step);
    const QString changedTitle = program.Frame().windowTitle();

    for (int round = 0; round < 2; ++round) {
        program.Press(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(ModelState(doc) == before, "undo did not give back the model as it was");
        QVERIFY2(!doc.IsModified(), "back at the saved model, yet marked modified");
        QCOMPARE(program.Frame().windowTitle(), title);
        QCOMPARE(program.RedoText(), QString::fromUtf8("やり直し: ") + step);
        QCOMPARE(program.UndoText(), QString::fromUtf8("元に戻す(&U)"));

        program.Press(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY2(ModelState(doc) == after, "redo did not give back the changed model");
        QVERIFY(doc.IsModified());
        QCOMPARE(program.Frame().windowTitle(), changedTitle);
        QCOMPARE(program.RedoText(), QString::fromUtf8("やり直し(&R)"));
    }
}

void CUndoTest::sixtyStepsGoBackThroughASaveAndOpeningEndsTheHistory()
{
    CScriptedPrompts prompts;
    CSavedProgram program(prompts, m_dir.filePath(QStringLiteral("steps.vrl")));
    const CMyvorla_ltDoc& doc = program.Host().Doc();
    const std::string start = ModelState(doc);
    QAction* undo = program.Frame().Action(ID_EDIT_UNDO);
    QAction* redo = program.Frame().Action(ID_EDIT_REDO);
    for (int i = 0; i < 30; ++i) program.Frame().Action(ID_CREATE_SPHERE)->trigger();
    prompts.m_files.enqueue(m_dir.filePath(QStringLiteral("steps.vrl")));
    program.Frame().Action(ID_FILE_SAVE)->trigger();
    QVERIFY(!doc.IsModified());
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す: 球"));  // the save kept the history
    const std::string saved = ModelState(doc);
    for (int i = 0; i < 30; ++i) program.Frame().Action(ID_CREATE_SPHERE)->trigger();

    for (int i = 0; i < 60; ++i) {
        QVERIFY2(undo->isEnabled(), qPrintable(QStringLiteral("undo %1 of 60 is not there").arg(i + 1)));
        undo->trigger();
    }
    QVERIFY(!undo->isEnabled());
    QVERIFY(ModelState(doc) == start);
    QVERIFY2(doc.IsModified(), "the model differs from the file saved, yet counts as unmodified");
    for (int i = 0; i < 30; ++i) redo->trigger();
    QVERIFY(ModelState(doc) == saved);
    QVERIFY(!doc.IsModified());

    prompts.m_files.enqueue(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"));
    program.Frame().Action(ID_FILE_OPEN)->trigger();
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QCOMPARE(undo->text(), QString::fromUtf8("元に戻す(&U)"));
}

VORLA_GUI_TEST_MAIN(CUndoTest)
#include "UndoTest.moc"
