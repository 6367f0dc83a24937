// A POV-Ray run through QProcess: merged output fed to the progress reader, the picture moved
// into place on success and removed on failure or cancel.
#include "app/RenderJob.h"

#include "app/FileReasons.h"
#include "model/FileAccess.h"
#include "model/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

CRenderJob::CRenderJob(const CRenderJobSetup& setup, QObject* parent)
    : QObject(parent), m_setup(setup), m_progress(setup.triangles)
{
    m_process.setProgram(setup.engine);
    m_process.setArguments(setup.arguments);
    m_process.setWorkingDirectory(setup.folder);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &CRenderJob::OnOutput);
    connect(&m_process, &QProcess::finished, this, &CRenderJob::OnFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &CRenderJob::OnError);
}

CRenderJob::~CRenderJob() { Cancel(); }

QString CRenderJob::OutputPath() const { return QDir(m_setup.folder).filePath(m_setup.output); }

void CRenderJob::Start()
{
    QFile::remove(OutputPath());
    m_clock.start();
    m_process.start();
}

void CRenderJob::Cancel()
{
    m_over = true;
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    QFile::remove(OutputPath());
}

void CRenderJob::OnOutput()
{
    const QByteArray bytes = m_process.readAllStandardOutput();
    m_progress.Feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    emit Progressed();
}

void CRenderJob::OnError(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || m_over) return;
    m_over = true;
    emit Finished(false, QString::fromUtf8("POV-Ray を起動できません: %1\n\n%2").arg(m_setup.engine, m_process.errorString()));
}

void CRenderJob::OnFinished(int code, QProcess::ExitStatus status)
{
    if (m_over) return;
    m_over = true;
    OnOutput();
    const QString output = OutputPath();
    const QString scene = QDir(m_setup.folder).filePath(m_setup.arguments.value(0).mid(2));  // "+Iscene"
    if (status != QProcess::NormalExit || code != 0) {
        QFile::remove(output);
        const QString why = status == QProcess::NormalExit
                                ? QString::fromUtf8("POV-Ray がエラーで終了しました（終了コード %1）").arg(code)
                                : QString::fromUtf8("POV-Ray が異常終了しました");
        emit Finished(false, why + QStringLiteral("\n\n") + PovFailureText(m_progress.Transcript(), scene));
        return;
    }
    QString error;
    if (!QFileInfo::exists(output)) {
        emit Finished(false, QString::fromUtf8("POV-Ray が画像を書き出しませんでした\n\n%1")
                                 .arg(PovFailureText(m_progress.Transcript(), scene)));
        return;
    }
    if (!MovePicture(output, m_setup.picture, error)) {
        QFile::remove(output);
        emit Finished(false, QString::fromUtf8("画像 %1 を書き込めません\n\n%2").arg(m_setup.picture, error));
        return;
    }
    emit Finished(true, QString());
}

bool MovePicture(const QString& from, const QString& to, QString& error)
{
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(to);
    if (std::rename(source.constData(), target.constData()) == 0) return true;
    if (errno != EXDEV) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    QFile file(from);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    CFileProblem why;
    const bool ok = WriteFileAtomically(
        target.toStdString(), [&](CByteSink& sink) { return sink.Write(bytes.constData(), std::size_t(bytes.size())); },
        why);
    if (!ok) {
        error = JapaneseReason(why);
        return false;
    }
    file.remove();
    return true;
}

QString PovFailureText(const std::string& transcript, const QString& scene)
{
    const std::string message = PovRayMessage(transcript);
    const QString text = QString::fromLocal8Bit(message);
    const int number = PovMessageLine(message);
    if (number <= 0) return text;
    const QString line = QString::fromStdString(ToDisplayUtf8(ReadTextLine(QFile::encodeName(scene).toStdString(), number)))
                             .trimmed();
    if (line.isEmpty()) return text;
    return text + QString::fromUtf8("\n\nシーンの %1 行目: %2").arg(number).arg(line);
}
