// Rendering from the viewer: the scene file, the real POV-Ray, the picture window, and what the
// user is told when there is no renderer, it cannot start, or it fails.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "view/CameraState.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QWidget* RenderWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("renderWindow") && w->isVisible()) return w;
    return nullptr;
}

// A stand-in renderer: a script that prints a POV-Ray-like error and fails.
QString FailingEngine(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("failing-povray"));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\necho 'File TEMP.pov line 3: Parse Error: something odd' >&2\nexit 1\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

}  // namespace

class CRenderTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir::setCurrent(m_dir.path()); }
    void rendersAndShowsThePicture();
    void tellsWhenNoRendererIsFound();
    void tellsWhenTheRendererCannotStart();
    void showsTheRenderersErrorWhenItFails();

private:
    QTemporaryDir m_dir;
};

void CRenderTest::rendersAndShowsThePicture()
{
    if (QStandardPaths::findExecutable(QStringLiteral("povray")).isEmpty()) QSKIP("povray is not installed");
    CScriptedPrompts prompts;
    CStartedProgram program({QStringLiteral("vorla"), QStringLiteral(VORLA_EXAMPLES "/boxes.vrl")});
    QVERIFY(program.ok);
    program.Frame().resize(400, 300);
    program.Grab();  // the render takes the size of the last frame
    QVERIFY(!g_povEnginePath.empty());
    program.Frame().Action(ID_RENDER)->trigger();
    QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("TEMP.pov"))));
    QTRY_VERIFY_WITH_TIMEOUT(RenderWindow() != nullptr || !prompts.m_shown.isEmpty(), 180000);
    QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    const QString title = RenderWindow()->windowTitle();
    QVERIFY2(title.startsWith(QStringLiteral("TEMP.png - %1 × %2 - ").arg(int(g_winWidth)).arg(int(g_winHeight))),
             qPrintable(title));
    QVERIFY(title.endsWith(QString::fromUtf8(" 秒")));
    RenderWindow()->close();
}

void CRenderTest::tellsWhenNoRendererIsFound()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    g_povEnginePath.clear();
    program.Frame().Action(ID_RENDER)->trigger();
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].contains(QString::fromUtf8("POV-Ray が見つかりません")));
}

void CRenderTest::tellsWhenTheRendererCannotStart()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    g_povEnginePath = "/nonexistent/povray";
    program.Frame().Action(ID_RENDER)->trigger();
    QTRY_COMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].contains(QString::fromUtf8("POV-Ray を起動できません")));
}

void CRenderTest::showsTheRenderersErrorWhenItFails()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    g_povEnginePath = FailingEngine(m_dir).toStdString();
    program.Frame().Action(ID_RENDER)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(prompts.m_shown.size(), 1, 30000);
    QVERIFY(prompts.m_shown[0].contains(QStringLiteral("Parse Error: something odd")));
    QVERIFY(prompts.m_shown[0].contains(QString::fromUtf8("終了コード 1")));
    QVERIFY(RenderWindow() == nullptr);
}

VORLA_GUI_TEST_MAIN(CRenderTest)
#include "RenderTest.moc"
