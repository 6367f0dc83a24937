// A display without OpenGL: the failure is reported once, then the program keeps working
// (menus, import, export, printing's picture) without a picture of the model. Before, Qt
// crashed composing the window as soon as it was shown.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>

class CNoGLTest : public QObject {
    Q_OBJECT
private slots:
    void programKeepsWorkingAfterTheMessage();
};

void CNoGLTest::programKeepsWorkingAfterTheMessage()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    QVERIFY(program.ok);
    QCOMPARE(prompts.m_shown, QStringList{QString::fromUtf8("OpenGL:致命的例外１|その値ではフレームバッファを初期化できません")});
    prompts.m_shown.clear();
    CMainFrame& frame = program.Frame();
    QVERIFY(!program.View().HasGL());
    QTest::qWait(100);  // the window is composed and flushed

    // A menu opens and paints.
    QMenu* file = frame.menuBar()->actions().value(0)->menu();
    file->popup(frame.mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    file->close();

    prompts.m_files << QStringLiteral(VORLA_TEST_DATA "/dxf/faces.dxf");
    frame.Action(ID_IMPORT_DXF)->trigger();
    QVERIFY(prompts.m_shown.isEmpty());
    QVERIFY(!program.Host().Doc().m_shapeList.empty());
    QVERIFY(frame.statusBar()->currentMessage().startsWith(QStringLiteral("DXF: ")));

    QTemporaryDir dir;
    const QString exported = dir.filePath(QStringLiteral("out.dxf"));
    prompts.m_files << exported;
    frame.Action(ID_EXPORT_DXF)->trigger();
    QCOMPARE(prompts.m_shown, QStringList{QString::fromUtf8("ＤＸＦ|DXFデータの書き込みが完了しました")});
    QVERIFY(QFileInfo(exported).size() > 0);

    // The view's commands and keys change nothing that could crash; the window still paints.
    for (int id : {ID_VIEW_WIREFRAME, ID_VIEW_PARALLEL, ID_VIEW_WALKTHROUGH, ID_VIEW_FIT, ID_CREATE_SPHERE, ID_EDIT_SELECT_ALL})
        frame.Action(id)->trigger();
    QTest::keyClick(&frame, Qt::Key_Home);
    QVERIFY(!frame.ViewPicture().isNull());
    const QImage window = frame.grab().toImage();
    auto* pane = frame.findChild<QLabel*>(QStringLiteral("noPicturePane"));
    QVERIFY(pane);
    QVERIFY(Near(window.pixel(pane->geometry().center() + QPoint(0, pane->height() / 4)), 0, 77, 77, 1));
}

int main(int argc, char** argv)
{
    // No OpenGL for this display, as on a server without GLX or EGL.
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    InitGuiTestEnvironment();
    QApplication app(argc, argv);
    CNoGLTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "NoGLTest.moc"
