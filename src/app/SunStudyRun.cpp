// The viewer's sun study: a queue of POV-Ray runs, as many at once as there are free cores.
#include "app/SunStudyRun.h"

#include "app/FileReasons.h"
#include "app/RenderJob.h"
#include "model/CoreLoad.h"
#include "picture/ContactSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <filesystem>

CSunStudyRun::CSunStudyRun(QObject* parent) : QObject(parent) {}

CSunStudyRun::~CSunStudyRun() { Cancel(); }

bool CSunStudyRun::Start(const CSunStudySettings& settings, const CShapeList& shapes, const QString& engine, int width,
                         int height, QString& error)
{
    const QString folder = QDir(QString::fromStdString(settings.m_folder)).absolutePath();
    const QString shown = QDir::toNativeSeparators(folder);
    std::error_code made;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), made);
    if (made || !QFileInfo(folder).isDir()) {
        const int why = made ? made.value() : ENOTDIR;
        error = QString::fromUtf8("出力フォルダー %1 を作成できません\n\n%2")
                    .arg(shown, JapaneseSystemError(why, made ? made.message() : std::string()));
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".vorla-write-test-XXXXXX")));
    if (!probe.open()) {
        error = QString::fromUtf8("出力フォルダー %1 に書き込めません\n\n%2").arg(shown, probe.errorString());
        return false;
    }
    probe.remove();
    if (!m_temp.isValid()) {
        error = QString::fromUtf8("作業用の一時フォルダーを作成できません\n\n%1").arg(m_temp.errorString());
        return false;
    }
    std::string why;
    if (!WriteSunStudyScenes(QFile::encodeName(m_temp.path()).toStdString(), shapes, SunSiteOf(settings),
                             SunStudyHourList(settings.m_hours), QFile::encodeName(folder).toStdString(), m_jobs,
                             m_triangles, why)) {
        error = QString::fromUtf8("シーン ファイルを書き込めません\n\n%1").arg(QString::fromLocal8Bit(why));
        return false;
    }
    m_engine = engine;
    m_width = width;
    m_height = height;
    m_sheet = QDir(folder).filePath(QString::fromLatin1(kContactSheetFile));
    m_lanes = std::min<unsigned>(CoresForWork(), unsigned(m_jobs.size()));
    m_clock.start();
    StartNext();
    return true;
}

void CSunStudyRun::StartNext()
{
    // One work thread each when several run side by side, so they share the cores evenly.
    const int threads = m_lanes > 1 ? 1 : 0;
    while (m_running.size() < m_lanes && m_next < m_jobs.size()) {
        const std::size_t index = m_next++;
        const CSunStudyJob& files = m_jobs[index];
        CRenderJobSetup setup;
        setup.engine = m_engine;
        setup.folder = m_temp.path();
        for (const std::string& option : SunStudyJobOptions(files, m_width, m_height, threads))
            setup.arguments << QString::fromStdString(option);
        setup.output = QString::fromStdString(files.output);
        setup.picture = QFile::decodeName(QByteArray::fromStdString(files.picture));
        setup.triangles = m_triangles;
        auto* job = new CRenderJob(setup, this);
        connect(job, &CRenderJob::Progressed, this, &CSunStudyRun::Progressed);
        connect(job, &CRenderJob::Finished, this,
                [this, job, index](bool ok, const QString& message) { OnJobFinished(job, index, ok, message); });
        m_running.emplace_back(job, index);
        job->Start();
    }
    emit Progressed();
}

void CSunStudyRun::OnJobFinished(CRenderJob* job, std::size_t index, bool ok, const QString& message)
{
    std::erase_if(m_running, [job](const auto& running) { return running.first == job; });
    job->deleteLater();
    if (!ok) {
        Cancel();
        const CSunStudyJob& files = m_jobs[index];
        emit Finished(false, QString::fromUtf8("日影図は %1（%2）の画像で止まりました\n\n%3")
                                 .arg(QString::fromStdString(files.output),
                                      QString::fromStdString(SunStudyLabel(files.hour)), message));
        return;
    }
    ++m_done;
    if (m_done == Count()) {
        Complete();
        return;
    }
    StartNext();
}

void CSunStudyRun::Complete()
{
    std::vector<CSheetPicture> pictures;
    for (const CSunStudyJob& files : m_jobs)
        pictures.push_back({QFile::decodeName(QByteArray::fromStdString(files.picture)),
                            QString::fromStdString(SunStudyLabel(files.hour))});
    QString error;
    if (!WriteContactSheet(pictures, m_sheet, error)) {
        emit Finished(false, QString::fromUtf8("一覧の画像 %1 を書き込めません\n\n%2").arg(QDir::toNativeSeparators(m_sheet), error));
        return;
    }
    emit Finished(true, QString());
}

void CSunStudyRun::Cancel()
{
    m_next = m_jobs.size();
    for (auto& [job, index] : m_running) {
        job->Cancel();
        job->deleteLater();
    }
    m_running.clear();
}

double CSunStudyRun::Overall() const
{
    if (m_jobs.empty()) return 0.0;
    double done = m_done;
    for (const auto& [job, index] : m_running) done += job->Progress().Overall();
    return done / double(m_jobs.size());
}

QStringList CSunStudyRun::Running() const
{
    QStringList labels;
    for (const auto& [job, index] : m_running) labels << QString::fromStdString(SunStudyLabel(m_jobs[index].hour));
    return labels;
}
