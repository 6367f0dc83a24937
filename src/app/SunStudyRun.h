// CSunStudyRun: a sun study in the viewer. Its scenes are written when it starts (so it shows
// the model and camera of that moment), its pictures are rendered side by side on the free
// cores, and at the end the contact sheet is written beside them. The first failing picture
// stops the series.
#pragma once

#include "export/SunStudyScenes.h"
#include "export/SunStudySettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTemporaryDir>

#include <vector>

class CRenderJob;

class CSunStudyRun : public QObject {
    Q_OBJECT
public:
    explicit CSunStudyRun(QObject* parent = nullptr);
    ~CSunStudyRun() override;

    // Makes the output folder when it is missing and proves it can be written, writes the
    // scenes and starts the first renders. On failure nothing has started and `error` says why.
    bool Start(const CSunStudySettings& settings, const CShapeList& shapes, const QString& engine, int width,
               int height, QString& error);
    // Ends every render now; pictures already finished stay, no contact sheet is written.
    void Cancel();

    int Count() const { return int(m_jobs.size()); }
    int Done() const { return m_done; }
    // The whole series, 0 to 1, running pictures counted by how far they are.
    double Overall() const;
    // Labels ("08:00") of the pictures being rendered.
    QStringList Running() const;
    QString SheetPath() const { return m_sheet; }
    double Seconds() const { return m_clock.isValid() ? m_clock.nsecsElapsed() / 1e9 : 0.0; }

signals:
    void Progressed();
    // `ok`: every picture and the contact sheet are written. Otherwise `message` says which
    // picture failed and why.
    void Finished(bool ok, const QString& message);

private:
    void StartNext();
    void OnJobFinished(CRenderJob* job, std::size_t index, bool ok, const QString& message);
    void Complete();

    QTemporaryDir m_temp;
    std::vector<CSunStudyJob> m_jobs;
    std::vector<std::pair<CRenderJob*, std::size_t>> m_running;
    std::size_t m_next = 0;
    int m_done = 0;
    unsigned m_lanes = 1;
    int m_width = 0, m_height = 0;
    std::uint64_t m_triangles = 0;
    QString m_engine, m_sheet;
    QElapsedTimer m_clock;
};
