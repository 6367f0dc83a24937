// Rendering from the viewer: the scene file, the real POV-Ray, the one picture window and its
// save button, one render at a time with its progress and Cancel, the sun study's folder check,
// and what the user is told when there is no renderer, it cannot start, or it fails.
#include "GuiTestSupport.h"

#include "app/CommandIds.h"
#include "app/PictureWindow.h"

#include <QStatusBar>
#include "view/CameraState.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <memory>

namespace {

QWidget* Visible(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    return nullptr;
}

QWidget* RenderWindow() { return Visible("renderWindow"); }

QProgressDialog* Progress() { return qobject_cast<QProgressDialog*>(Visible("renderProgress")); }

int CountWindows(const char* name)
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == QLatin1String(name);
    return count;
}

QString WriteScript(const QTemporaryDir& dir, const char* name, const QByteArray& text)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write(text);
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// A stand-in renderer that records each start in "starts", begins its picture, reports half
// of the pixels done and then waits to be ended.
QString SlowEngine(const QTemporaryDir& dir)
{
    return WriteScript(dir, "slow-povray",
                       "#!/bin/sh\n"
                       "for a in \"$@\"; do case $a in +O*) out=${a#+O};; esac; done\n"
                       "echo $$ >>starts\n"
                       "echo partial >\"$out\"\n"
                       "printf '==== [Rendering...] ====\\nRendered 50 of 100 pixels (50%%)\\r' >&2\n"
                       "exec sleep 60\n");
}

// Whether the stand-in renderer started last still runs.
bool ProcessAlive(const QString& startsFile)
{
    QFile file(startsFile);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 pid = file.readAll().trimmed().split('\n').last().toLongLong();
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// A stand-in renderer: a script that prints a POV-Ray-like error and fails.
QString FailingEngine(const QTemporaryDir& dir)
{
    return WriteScript(dir, "failing-povray",
                       "#!/bin/sh\necho 'File TEMP.pov line 3: Parse Error: something odd' >&2\nexit 1\n");
}

}  // namespace

class CRenderTest : public QObject {
    Q_OBJECT
private slots:
    // Each test in a fresh current folder, where renders write their scene and picture.
    void init()
    {
        auto dir = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(dir->path());
        m_folder = std::move(dir);
    }
    void rendersAndShowsThePicture();
    void reusesThePictureWindowAndSavesThePicture();
    void aPictureBiggerThanTheScreenKeepsItsSaveButtonOnTheScreen();
    void oneRenderAtATimeShowsItsProgress();
    void cancelEndsTheRendererAndLeavesNoPicture();
    void sunStudyRefusesAFolderItCannotWriteBeforeRendering();
    void tellsWhenNoRendererIsFound();
    void tellsWhenTheRendererCannotStart();
    void showsTheRenderersErrorWhenItFails();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    const QTemporaryDir& Dir() const { return *m_folder; }
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
    QVERIFY(QFileInfo::exists(Dir().filePath(QStringLiteral("TEMP.pov"))));
    QTRY_VERIFY_WITH_TIMEOUT(RenderWindow() != nullptr || !prompts.m_shown.isEmpty(), 180000);
    QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    const QString title = RenderWindow()->windowTitle();
    QVERIFY2(title.startsWith(QStringLiteral("TEMP.png - %1 × %2 - ").arg(int(g_winWidth)).arg(int(g_winHeight))),
             qPrintable(title));
    QVERIFY(title.endsWith(QString::fromUtf8(" 秒")));
    RenderWindow()->close();
}

void CRenderTest::reusesThePictureWindowAndSavesThePicture()
{
    if (QStandardPaths::findExecutable(QStringLiteral("povray")).isEmpty()) QSKIP("povray is not installed");
    CScriptedPrompts prompts;
    CStartedProgram program({QStringLiteral("vorla"), QStringLiteral(VORLA_EXAMPLES "/boxes.vrl")});
    QVERIFY(program.ok);
    for (const QSize size : {QSize(220, 200), QSize(260, 220)}) {
        program.Frame().resize(size);
        program.Grab();
        program.Frame().Action(ID_RENDER)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(
            (RenderWindow() && RenderWindow()->windowTitle().contains(QStringLiteral("× %1 ").arg(int(g_winHeight)))) ||
                !prompts.m_shown.isEmpty(),
            120000);
        QVERIFY2(prompts.m_shown.isEmpty(), qPrintable(prompts.m_shown.join('\n')));
    }
    QCOMPARE(CountWindows("renderWindow"), 1);
    QVERIFY(!QFileInfo::exists(Dir().filePath(QStringLiteral("TEMP.rendering.png"))));

    // 保存...: a name without the extension gets it; the file holds the picture shown.
    prompts.m_files.enqueue(Dir().filePath(QStringLiteral("saved")));
    auto* save = RenderWindow()->findChild<QPushButton*>(QStringLiteral("savePicture"));
    QVERIFY(save);
    QCOMPARE(save->text(), QString::fromUtf8("保存..."));
    save->click();
    // The picture is offered beside the model, under its name.
    QCOMPARE(prompts.m_offered, QStringList{QFileInfo(QStringLiteral(VORLA_EXAMPLES "/boxes.png")).absoluteFilePath()});
    const QImage saved(Dir().filePath(QStringLiteral("saved.png")));
    QCOMPARE(saved.size(), QSize(int(g_winWidth), int(g_winHeight)));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             QImage(Dir().filePath(QStringLiteral("TEMP.png"))).convertToFormat(QImage::Format_RGB32));
    // A folder that does not exist: told, nothing written.
    prompts.m_files.enqueue(Dir().filePath(QStringLiteral("missing/saved.png")));
    save->click();
    QCOMPARE(prompts.m_shown.size(), 1);
    QVERIFY(prompts.m_shown[0].contains(QString::fromUtf8("を保存できません")));
    RenderWindow()->close();
}

void CRenderTest::aPictureBiggerThanTheScreenKeepsItsSaveButtonOnTheScreen()
{
    CPictureWindow window(nullptr);
    const QRect area = window.screen()->availableGeometry();
    QImage picture(area.width() + 500, area.height() + 400, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    window.ShowPicture(picture, QStringLiteral("big"), QStringLiteral("big.png"));
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(area.contains(window.geometry()), qPrintable(QStringLiteral("%1x%2+%3+%4")
                                                              .arg(window.width())
                                                              .arg(window.height())
                                                              .arg(window.x())
                                                              .arg(window.y())));
    auto* save = window.findChild<QPushButton*>(QStringLiteral("savePicture"));
    QVERIFY(save->isVisible());
    QVERIFY(window.rect().contains(save->geometry()));
}

void CRenderTest::oneRenderAtATimeShowsItsProgress()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    g_povEnginePath = SlowEngine(Dir()).toStdString();
    program.Frame().Action(ID_RENDER)->trigger();
    QTRY_VERIFY(Progress() && Progress()->labelText().contains(QStringLiteral("50%")));
    QCOMPARE(Progress()->value(), 750);  // the parse is the first half of the run
    QVERIFY(program.Frame().statusBar()->currentMessage().contains(QStringLiteral("50%")));
    // Asking again while it runs shows the progress and starts nothing.
    Progress()->hide();
    program.Frame().Action(ID_RENDER)->trigger();
    program.Frame().Action(ID_SUN_STUDY)->trigger();
    QVERIFY(Progress());
    QTest::qWait(300);
    QFile starts(Dir().filePath(QStringLiteral("starts")));
    QVERIFY(starts.open(QIODevice::ReadOnly));
    QCOMPARE(starts.readAll().count('\n'), 1);
    QVERIFY(prompts.m_shown.isEmpty());
}

void CRenderTest::cancelEndsTheRendererAndLeavesNoPicture()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    g_povEnginePath = SlowEngine(Dir()).toStdString();
    program.Frame().Action(ID_RENDER)->trigger();
    const QString unfinished = Dir().filePath(QStringLiteral("TEMP.rendering.png"));
    const QString starts = Dir().filePath(QStringLiteral("starts"));
    QTRY_VERIFY(Progress() && QFileInfo::exists(unfinished) && ProcessAlive(starts));
    auto* cancel = Progress()->findChild<QPushButton*>();
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QString::fromUtf8("ｷｬﾝｾﾙ"));
    cancel->click();
    QVERIFY(!ProcessAlive(starts));
    QVERIFY(!QFileInfo::exists(unfinished));
    QVERIFY(!QFileInfo::exists(Dir().filePath(QStringLiteral("TEMP.png"))));
    QVERIFY(!Progress());
    QCOMPARE(program.Frame().statusBar()->currentMessage(), QString::fromUtf8("レンダリングを中止しました"));
    QVERIFY(prompts.m_shown.isEmpty());
    // The next render starts afresh.
    program.Frame().Action(ID_RENDER)->trigger();
    QTRY_VERIFY(Progress() && ProcessAlive(starts));
    Progress()->cancel();
}

void CRenderTest::sunStudyRefusesAFolderItCannotWriteBeforeRendering()
{
    CScriptedPrompts prompts;
    CStartedProgram program;
    g_povEnginePath = SlowEngine(Dir()).toStdString();
    QFile file(Dir().filePath(QStringLiteral("a-file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    // The dialog is modal: fill it in once it shows.
    QTimer::singleShot(0, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("folder"))->setText(Dir().filePath(QStringLiteral("a-file/study")));
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    program.Frame().Action(ID_SUN_STUDY)->trigger();
    QCOMPARE(prompts.m_shown.size(), 1);
    // The sun study's own caption, and why the folder cannot be made.
    QVERIFY2(prompts.m_shown[0].startsWith(QString::fromUtf8("日影図|")), qPrintable(prompts.m_shown[0]));
    QVERIFY2(prompts.m_shown[0].contains(QString::fromUtf8("を作成できません\n\nパスの途中にフォルダでないものがあります")),
             qPrintable(prompts.m_shown[0]));
    QVERIFY(!QFileInfo::exists(Dir().filePath(QStringLiteral("starts"))));
    QVERIFY(!Progress());

    // The same model is offered the folder it was given; another model its own.
    QStringList offered;
    const auto readFolder = [&offered] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        offered << dialog->findChild<QLineEdit*>(QStringLiteral("folder"))->text();
        dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    };
    QTimer::singleShot(0, readFolder);
    program.Frame().Action(ID_SUN_STUDY)->trigger();
    QVERIFY(QDir().mkpath(Dir().filePath(QStringLiteral("other"))));
    const QString other = Dir().filePath(QStringLiteral("other/other.vrl"));
    QVERIFY(QFile::copy(QStringLiteral(VORLA_EXAMPLES "/boxes.vrl"), other));
    prompts.m_files.enqueue(other);
    program.Frame().Action(ID_FILE_OPEN)->trigger();
    QTimer::singleShot(0, readFolder);
    program.Frame().Action(ID_SUN_STUDY)->trigger();
    QCOMPARE(offered, (QStringList{Dir().filePath(QStringLiteral("a-file/study")),
                                   QDir::toNativeSeparators(Dir().filePath(QStringLiteral("other/sun-study")))}));
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
    g_povEnginePath = FailingEngine(Dir()).toStdString();
    program.Frame().Action(ID_RENDER)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(prompts.m_shown.size(), 1, 30000);
    QVERIFY(prompts.m_shown[0].contains(QStringLiteral("Parse Error: something odd")));
    QVERIFY(prompts.m_shown[0].contains(QString::fromUtf8("終了コード 1")));
    QVERIFY(RenderWindow() == nullptr);
}

VORLA_GUI_TEST_MAIN(CRenderTest)
#include "RenderTest.moc"
