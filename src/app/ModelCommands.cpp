// Insert and Sphere: the faces are added to the model, the view shows them at once, and each
// is one step of the undo history.
#include "app/ModelCommands.h"

#include "app/DocumentHost.h"
#include "app/FileReadTask.h"
#include "app/FileReasons.h"
#include "app/MainFrame.h"
#include "app/UserPrompts.h"
#include "import/ModelInsert.h"
#include "interaction/Editing.h"
#include "model/FileAccess.h"
#include "model/ModelEdits.h"
#include "view/GLView.h"
#include "view/Sphere.h"

void OnInsertModel(CMainFrame& frame, const QString& givenPath)
{
    CDocumentHost& host = frame.Host();
    if (host.IsReading()) return;
    CMyvorla_ltView& view = *frame.View();
    QString path = givenPath;
    if (path.isEmpty())
        path = CUserPrompts::Get().OpenFileName(&frame, QString::fromUtf8("Vorla_IIIファイル(*.vrl)"),
                                                QStringLiteral("*.vrl"));
    if (path.isEmpty()) return;

    CInputFile file;
    CFileProblem problem;
    if (!file.Open(path.toStdString(), problem)) {
        // As before any file is read, the selection is cleared.
        view.Apply(ClearSelection(host.Doc()));
        CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 が開けません\n\n%2").arg(path, JapaneseReason(problem)));
        return;
    }
    CInsertAside aside;
    const bool finished =
        CFileReadTask::Run(host, path, file, [&](CByteSource& source) { aside = ReadInsertion(source, file.Size()); });
    if (!finished) return;
    std::unique_ptr<CEditSequence> record;
    const CInsertResult result = ApplyInsertion(std::move(aside), host.Doc(), &record);
    if (!result.ok) {
        // Nothing of the file was merged; the model is as it was.
        CUserPrompts::Get().Tell(&frame, QMessageBox::Warning, QString::fromUtf8("ワーニング"),
                                 QString::fromUtf8("%1 は挿入できません\n\n%2").arg(path, JapaneseReason(result.problem)));
        return;
    }
    host.History().Record(EEditStep::kInsert, std::move(record));
    view.ModelChanged();
    if (result.startMoveTracking) view.OnInsertFinished();
}

void OnCreateSphere(CMainFrame& frame)
{
    CMyvorla_ltDoc& doc = frame.Host().Doc();
    frame.Host().History().Record(EEditStep::kSphere, RecordFacesAdded(doc, [&] { AddSphere(doc); }));
    frame.View()->ModelChanged();
}
