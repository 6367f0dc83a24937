// The render commands and what they share: one render activity at a time (a single render or a
// sun study), its progress window with Cancel, and the picture window.
#include "app/RenderCommands.h"

#include "app/DocumentHost.h"
#include "app/FileReasons.h"
#include "app/MainFrame.h"
#include "app/PictureWindow.h"
#include "app/RenderJob.h"
#include "app/SunStudyRun.h"
#include "app/UserPrompts.h"
#include "dialogs/SunStudyDlg.h"
#include "export/PovRender.h"
#include "export/PovWriter.h"
#include "export/SunPosition.h"
#include "model/FileAccess.h"
#include "view/CameraState.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QStatusBar>

#include <optional>

namespace {

// The picture POV-Ray writes while it renders; it becomes TEMP.png only when complete.
constexpr char kUnfinishedPicture[] = "TEMP.rendering.png";

constexpr char kRenderCaption[] = "レンダリング";
constexpr char kSunStudyCaption[] = "日影図";

void Warn(QWidget* parent, const QString& text, const char* caption = kRenderCaption)
{
    CUserPrompts::Get().Tell(parent, QMessageBox::Warning, QString::fromUtf8(caption), text);
}

QString PercentText(double fraction) { return QString::number(int(fraction * 100)) + QStringLiteral("%"); }

// One per main window: the running render or sun study, the progress window, the picture window.
class CRenderController : public QObject {
public:
    explicit CRenderController(CMainFrame& frame) : QObject(&frame), m_frame(frame)
    {
        setObjectName(QStringLiteral("renderController"));
    }

    static CRenderController& Of(CMainFrame& frame)
    {
        if (auto* controller = frame.findChild<CRenderController*>(QStringLiteral("renderController"),
                                                                   Qt::FindDirectChildrenOnly))
            return *controller;
        return *new CRenderController(frame);
    }

    bool Busy() const { return m_job || m_series; }

    void ShowProgress()
    {
        m_progress->show();
        m_progress->raise();
        m_progress->activateWindow();
    }

    void StartRender();
    void StartSunStudy();

private:
    bool HaveEngine()
    {
        if (!g_povEnginePath.empty()) return true;
        Warn(&m_frame, QString::fromUtf8("POV-Ray が見つかりません。povray をインストールしてください（Debian: apt-get install povray povray-includes）。"));
        return false;
    }
    void OpenProgress(const QString& title);
    void CloseProgress(const QString& status);
    void OnRenderProgress();
    void OnRenderFinished(bool ok, const QString& message);
    void OnSeriesProgress();
    void OnSeriesFinished(bool ok, const QString& message);
    void OnCancel();
    // Shows the picture in `path`; 保存... offers `offered` (a file name, with its folder).
    void ShowPictureFile(const QString& path, double seconds, const QString& offered);
    QString OfferedRenderName() const;

    CMainFrame& m_frame;
    QPointer<QProgressDialog> m_progress;
    QPointer<CPictureWindow> m_pictures;
    CRenderJob* m_job = nullptr;
    CSunStudyRun* m_series = nullptr;
    std::optional<CSunStudySettings> m_lastStudy;
    QString m_lastStudyModel;  // the path of the model m_lastStudy was asked for
};

void CRenderController::OpenProgress(const QString& title)
{
    if (!m_progress) {
        m_progress = new QProgressDialog(&m_frame);
        m_progress->setObjectName(QStringLiteral("renderProgress"));
        m_progress->setCancelButtonText(QString::fromUtf8("ｷｬﾝｾﾙ"));
        m_progress->setModal(false);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
        m_progress->setRange(0, 1000);
        m_progress->setMinimumWidth(360);
        connect(m_progress, &QProgressDialog::canceled, this, &CRenderController::OnCancel);
    }
    m_progress->setWindowTitle(title);
    m_progress->setLabelText(QString::fromUtf8("POV-Ray を起動しています…"));
    m_progress->setValue(0);
    ShowProgress();
}

void CRenderController::CloseProgress(const QString& status)
{
    if (m_progress) m_progress->hide();
    m_frame.statusBar()->showMessage(status, 8000);
}

void CRenderController::OnCancel()
{
    if (m_job) {
        m_job->Cancel();
        m_job->deleteLater();
        m_job = nullptr;
    }
    const bool series = m_series != nullptr;
    if (m_series) {
        m_series->Cancel();
        m_series->deleteLater();
        m_series = nullptr;
    }
    CloseProgress(series ? QString::fromUtf8("日影図を中止しました") : QString::fromUtf8("レンダリングを中止しました"));
}

void CRenderController::StartRender()
{
    if (!HaveEngine()) return;
    // The scene goes to the current folder, where the renderer also writes its picture.
    const QString folder = QDir::currentPath();
    const QString scene = QDir(folder).filePath(QString::fromLatin1(kRenderSceneFile));
    const CShapeList& shapes = m_frame.Host().Doc().m_shapeList;
    double sun[3];
    ComputeSunPosition(sun);
    CPovSceneStats stats;
    CFileProblem problem;
    const auto write = [&](CByteSink& sink) { return WritePovScene(sink, shapes, PovVariant::Render, sun, &stats); };
    if (!WriteFileAtomically(scene.toStdString(), write, problem)) {
        Warn(&m_frame, QString::fromUtf8("シーン ファイル %1 を書き込めません\n\n%2").arg(scene, JapaneseReason(problem)));
        return;
    }
    CRenderJobSetup setup;
    setup.engine = QString::fromStdString(g_povEnginePath);
    setup.folder = folder;
    // No preview window of POV-Ray's own: it would cover the progress and its Cancel, and the
    // finished picture opens in the picture window.
    for (const std::string& option : BuildPovRenderOptions(g_winWidth, g_winHeight, true))
        setup.arguments << QString::fromStdString(option);
    setup.arguments << QStringLiteral("+O") + QString::fromLatin1(kUnfinishedPicture) << QStringLiteral("+FN");
    setup.output = QString::fromLatin1(kUnfinishedPicture);
    setup.picture = QDir(folder).filePath(QString::fromLatin1(kRenderPictureFile));
    setup.triangles = stats.triangles;
    m_job = new CRenderJob(setup, this);
    connect(m_job, &CRenderJob::Progressed, this, &CRenderController::OnRenderProgress);
    connect(m_job, &CRenderJob::Finished, this, &CRenderController::OnRenderFinished);
    OpenProgress(QString::fromUtf8("レンダリング"));
    m_frame.statusBar()->showMessage(QString::fromUtf8("POV-Ray でレンダリングしています…"));
    m_job->Start();
}

void CRenderController::OnRenderProgress()
{
    if (!m_job || !m_progress) return;
    const CPovProgress& progress = m_job->Progress();
    QString text;
    switch (progress.Phase()) {
    case PovPhase::Starting: text = QString::fromUtf8("POV-Ray を起動しています…"); break;
    case PovPhase::Parsing:
        text = QString::fromUtf8("シーンを読み込んでいます… %1").arg(PercentText(progress.PhaseFraction()));
        break;
    case PovPhase::Rendering:
    case PovPhase::Finished:
        text = QString::fromUtf8("レンダリングしています… %1").arg(PercentText(progress.PhaseFraction()));
        break;
    }
    m_progress->setLabelText(text);
    m_progress->setValue(int(progress.Overall() * 1000));
    m_frame.statusBar()->showMessage(text);
}

void CRenderController::OnRenderFinished(bool ok, const QString& message)
{
    CRenderJob* job = m_job;
    m_job = nullptr;
    job->deleteLater();
    CloseProgress(ok ? QString::fromUtf8("レンダリングが終わりました") : QString::fromUtf8("レンダリングに失敗しました"));
    if (!ok) {
        Warn(&m_frame, message);
        return;
    }
    ShowPictureFile(job->Setup().picture, job->Seconds(), OfferedRenderName());
}

QString CRenderController::OfferedRenderName() const
{
    // The picture of a model is offered beside it under the model's name, not as the
    // renderer's temporary file in the current folder.
    const QString model = m_frame.Host().PathName();
    const QString untitled = QString::fromUtf8(kUntitled);
    if (model.isEmpty() || model == untitled) return QDir::current().filePath(untitled + QStringLiteral(".png"));
    const QFileInfo file(model);
    return file.absoluteDir().filePath(file.completeBaseName() + QStringLiteral(".png"));
}

void CRenderController::ShowPictureFile(const QString& path, double seconds, const QString& offered)
{
    const QImage picture(path);
    if (picture.isNull()) {
        Warn(&m_frame, QString::fromUtf8("レンダリング結果 %1 を読み込めません").arg(path));
        return;
    }
    if (!m_pictures) m_pictures = new CPictureWindow(&m_frame);
    const QString name = QFileInfo(path).fileName();
    m_pictures->ShowPicture(picture,
                            QString::fromUtf8("%1 - %2 × %3 - %4 秒")
                                .arg(name)
                                .arg(picture.width())
                                .arg(picture.height())
                                .arg(seconds, 0, 'f', 1),
                            offered);
}

void CRenderController::StartSunStudy()
{
    if (!HaveEngine()) return;
    CSunStudySettings settings;
    // What the last study asked is offered again for the same model only: another model's
    // pictures would otherwise go to, and replace those in, the first model's folder.
    if (m_lastStudy && m_lastStudyModel != m_frame.Host().PathName()) m_lastStudy.reset();
    if (m_lastStudy) {
        settings = *m_lastStudy;
    } else {
        settings = SunStudySettingsFromScene();
        const QString model = m_frame.Host().PathName();
        const QString base = model.isEmpty() ? QDir::currentPath() : QFileInfo(model).absolutePath();
        settings.m_folder = QDir::toNativeSeparators(QDir(base).filePath(QStringLiteral("sun-study"))).toStdString();
    }
    CSunStudyDlg dialog(settings, &m_frame);
    if (dialog.exec() != QDialog::Accepted) return;
    m_lastStudy = dialog.Settings();
    m_lastStudyModel = m_frame.Host().PathName();
    auto* series = new CSunStudyRun(this);
    QString error;
    if (!series->Start(dialog.Settings(), m_frame.Host().Doc().m_shapeList, QString::fromStdString(g_povEnginePath),
                       int(g_winWidth), int(g_winHeight), error)) {
        delete series;
        Warn(&m_frame, error, kSunStudyCaption);
        return;
    }
    m_series = series;
    connect(m_series, &CSunStudyRun::Progressed, this, &CRenderController::OnSeriesProgress);
    connect(m_series, &CSunStudyRun::Finished, this, &CRenderController::OnSeriesFinished);
    OpenProgress(QString::fromUtf8("日影図"));
    OnSeriesProgress();
}

void CRenderController::OnSeriesProgress()
{
    if (!m_series || !m_progress) return;
    const QString running = m_series->Running().join(QStringLiteral(", "));
    const QString text = QString::fromUtf8("日影図: %1 / %2 枚 %3")
                             .arg(m_series->Done())
                             .arg(m_series->Count())
                             .arg(running.isEmpty() ? QString() : QString::fromUtf8("（%1 をレンダリング中）").arg(running));
    m_progress->setLabelText(text);
    m_progress->setValue(int(m_series->Overall() * 1000));
    m_frame.statusBar()->showMessage(text);
}

void CRenderController::OnSeriesFinished(bool ok, const QString& message)
{
    CSunStudyRun* series = m_series;
    m_series = nullptr;
    series->deleteLater();
    CloseProgress(ok ? QString::fromUtf8("日影図を %1 に書き出しました").arg(QDir::toNativeSeparators(series->SheetPath()))
                     : QString::fromUtf8("日影図に失敗しました"));
    if (!ok) {
        Warn(&m_frame, message, kSunStudyCaption);
        return;
    }
    ShowPictureFile(series->SheetPath(), series->Seconds(), series->SheetPath());
}

}  // namespace

void OnRender(CMainFrame& frame)
{
    CRenderController& controller = CRenderController::Of(frame);
    if (controller.Busy()) {
        controller.ShowProgress();
        return;
    }
    controller.StartRender();
}

void OnSunStudy(CMainFrame& frame)
{
    CRenderController& controller = CRenderController::Of(frame);
    if (controller.Busy()) {
        controller.ShowProgress();
        return;
    }
    controller.StartSunStudy();
}
