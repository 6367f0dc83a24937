// The render command and the window that shows a finished picture.
#include "app/RenderCommands.h"

#include "app/DocumentHost.h"
#include "app/FileReasons.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "export/PovRender.h"
#include "model/FileAccess.h"
#include "view/CameraState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

void Warn(CMainFrame& frame, const QString& text)
{
    CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8("レンダリング"), text);
}

// A window with the rendered picture; its title gives the file, the size and the render time.
void ShowPicture(CMainFrame& frame, const QString& path, double seconds)
{
    const QImage picture(path);
    if (picture.isNull()) {
        Warn(frame, QString::fromUtf8("レンダリング結果 %1 を読み込めません").arg(path));
        return;
    }
    auto* window = new QWidget(&frame, Qt::Window);
    window->setObjectName(QStringLiteral("renderWindow"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QString::fromUtf8("%1 - %2 × %3 - %4 秒")
                               .arg(QFileInfo(path).fileName())
                               .arg(picture.width())
                               .arg(picture.height())
                               .arg(seconds, 0, 'f', 1));
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(picture));
    auto* scroll = new QScrollArea;
    scroll->setWidget(label);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    window->resize(std::min(picture.width() + 4, 1600), std::min(picture.height() + 4, 1200));
    window->show();
}

}  // namespace

void OnRender(CMainFrame& frame)
{
    if (g_povEnginePath.empty()) {
        Warn(frame, QString::fromUtf8("POV-Ray が見つかりません。povray をインストールしてください（Debian: apt-get install povray povray-includes）。"));
        return;
    }
    // The scene goes to the current folder, where the renderer also writes its picture.
    const QString folder = QDir::currentPath();
    const QString scene = QDir(folder).filePath(QString::fromLatin1(kRenderSceneFile));
    CFileProblem problem;
    const CShapeList& shapes = frame.Host().Doc().m_shapeList;
    if (!WriteFileAtomically(scene.toStdString(), [&](CByteSink& sink) { return WritePovRenderScene(sink, shapes); },
                             problem)) {
        Warn(frame, QString::fromUtf8("シーン ファイル %1 を書き込めません\n\n%2").arg(scene, JapaneseReason(problem)));
        return;
    }
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY");
    QStringList arguments;
    for (const std::string& option : BuildPovRenderOptions(g_winWidth, g_winHeight, noDisplay))
        arguments << QString::fromStdString(option);

    auto* process = new QProcess(&frame);
    process->setProgram(QString::fromStdString(g_povEnginePath));
    process->setArguments(arguments);
    process->setWorkingDirectory(folder);
    auto* clock = new QElapsedTimer;
    clock->start();
    const QString picture = QDir(folder).filePath(QString::fromLatin1(kRenderPictureFile));
    QFile::remove(picture);
    QObject::connect(process, &QProcess::errorOccurred, &frame, [&frame, process, clock](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart) return;
        Warn(frame, QString::fromUtf8("POV-Ray を起動できません: %1\n\n%2").arg(process->program(), process->errorString()));
        delete clock;
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, &frame,
                     [&frame, process, clock, picture](int code, QProcess::ExitStatus status) {
                         const double seconds = clock->nsecsElapsed() / 1e9;
                         delete clock;
                         process->deleteLater();
                         if (status == QProcess::NormalExit && code == 0 && QFileInfo::exists(picture)) {
                             ShowPicture(frame, picture, seconds);
                             return;
                         }
                         // POV-Ray tells what went wrong on its error stream; show its last lines.
                         QStringList lines = QString::fromLocal8Bit(process->readAllStandardError()).split('\n');
                         lines.removeAll(QString());
                         const QString tail = lines.mid(std::max<qsizetype>(0, lines.size() - 12)).join('\n');
                         Warn(frame, QString::fromUtf8("POV-Ray がエラーで終了しました（終了コード %1）\n\n%2").arg(code).arg(tail));
                     });
    frame.statusBar()->showMessage(QString::fromUtf8("POV-Ray でレンダリングしています…"), 5000);
    process->start();
}
