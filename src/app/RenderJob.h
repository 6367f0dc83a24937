// CRenderJob: one POV-Ray run of the viewer. POV-Ray is started without a shell, its output is
// read as it arrives for the progress, and its picture is put in place only when the run
// succeeded, so a failed or cancelled run leaves no half picture.
#pragma once

#include "export/PovProgress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QStringList>

#include <cstdint>

struct CRenderJobSetup {
    QString engine;          // the POV-Ray executable
    QString folder;          // its working folder, where the scene is
    QStringList arguments;   // its options
    QString output;          // the picture POV-Ray writes in `folder`
    QString picture;         // where the finished picture goes (replaced only when complete)
    std::uint64_t triangles = 0;  // the scene's mesh, for the progress of its parse
};

class CRenderJob : public QObject {
    Q_OBJECT
public:
    explicit CRenderJob(const CRenderJobSetup& setup, QObject* parent = nullptr);
    // Ends POV-Ray if it still runs and removes what it wrote.
    ~CRenderJob() override;

    void Start();
    // Ends POV-Ray now and removes its unfinished picture; Finished is not emitted.
    void Cancel();

    const CRenderJobSetup& Setup() const { return m_setup; }
    const CPovProgress& Progress() const { return m_progress; }
    double Seconds() const { return m_clock.isValid() ? m_clock.nsecsElapsed() / 1e9 : 0.0; }
    bool Running() const { return m_process.state() != QProcess::NotRunning; }

signals:
    void Progressed();
    // `ok`: the picture is in place. Otherwise `message` says why, with POV-Ray's own words.
    void Finished(bool ok, const QString& message);

private:
    void OnOutput();
    void OnFinished(int code, QProcess::ExitStatus status);
    void OnError(QProcess::ProcessError error);
    QString OutputPath() const;

    CRenderJobSetup m_setup;
    QProcess m_process;
    CPovProgress m_progress;
    QElapsedTimer m_clock;
    bool m_over = false;
};

// Moves a finished picture to `to`, replacing it in one step (by copying into a temporary file
// beside it when the two are on different file systems). False with `error` set on failure.
bool MovePicture(const QString& from, const QString& to, QString& error);

// POV-Ray's failure message with the scene line it names, read from `scene`, when it names one.
QString PovFailureText(const std::string& transcript, const QString& scene);
